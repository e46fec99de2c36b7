#include "ShapeWidget.h"

#include <QPainter>

namespace tintaro {

ShapeWidget::ShapeWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void ShapeWidget::setBorderColor(const QColor& color)
{
    m_border = color;
    update();
}

void ShapeWidget::setFillColor(const QColor& color)
{
    m_fill = color;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_fill.isValid())
        painter.fillRect(rect(), m_fill);
    painter.setPen(m_border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace tintaro
