#include "SwatchLabel.h"

#include <QMouseEvent>

namespace tintaro {

SwatchLabel::SwatchLabel(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(true);
}

short SwatchLabel::buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

void SwatchLabel::setBackColor(const QColor& color)
{
    QPalette pal = palette();
    if (pal.color(QPalette::Window) == color)
        return; // repainting 144 swatches for nothing costs a page change dearly
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

QColor SwatchLabel::backColor() const { return palette().color(QPalette::Window); }

void SwatchLabel::setForeColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

QColor SwatchLabel::foreColor() const { return palette().color(QPalette::WindowText); }

void SwatchLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    event->accept();
}

void SwatchLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const short button = buttonNumber(event->button());
    const bool wasPressed = m_pressed;
    m_pressed = event->buttons() != Qt::NoButton;
    if (button != 0)
        Q_EMIT mouseUp(button);
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    event->accept();
}

} // namespace tintaro
