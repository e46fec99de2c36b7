#include "SwatchLabel.h"

#include <QMouseEvent>
#include <QPainter>

namespace tintaro {

// The background is painted from a colour of its own rather than from the
// palette: a palette change costs far more than a repaint, and the swatches
// change colour on every page and every pointer movement. Without a colour
// the label is transparent (the logo).
SwatchLabel::SwatchLabel(QWidget* parent) : QLabel(parent) {}

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
    if (m_backColor == color)
        return;
    m_backColor = color;
    setAttribute(Qt::WA_OpaquePaintEvent, color.isValid() && color.alpha() == 255);
    update();
}

void SwatchLabel::paintEvent(QPaintEvent* event)
{
    if (m_backColor.isValid()) {
        QPainter painter(this);
        painter.fillRect(rect(), m_backColor);
    }
    QLabel::paintEvent(event);
}

void SwatchLabel::setForeColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

QColor SwatchLabel::foreColor() const
{
    return palette().color(QPalette::WindowText);
}

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
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    event->accept();
}

// The second press of a double click is still a press: the release after it
// reports as every release does.
void SwatchLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

} // namespace tintaro
