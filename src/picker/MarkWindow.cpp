#include "MarkWindow.h"

#include <QPainter>

namespace tintaro {

MarkWindow::MarkWindow(QWindow* parent) : QWindow(parent), m_store(this)
{
    setFlags(Qt::Widget | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
             Qt::WindowDoesNotAcceptFocus);
    // The pointer must reach the image beneath, never the mark: Qt's
    // Wayland plugin of Debian 12 ignores the flag above, but passes an
    // input region on, and one wholly off the window takes no input.
    setMask(QRegion(-2, -2, 1, 1));
}

MarkWindow::~MarkWindow() = default;

QImage MarkWindow::physicalView(QPaintDevice* device)
{
    if (!device || device->devType() != QInternal::Image)
        return QImage();
    auto* image = static_cast<QImage*>(device);
    return QImage(image->bits(), image->width(), image->height(), image->bytesPerLine(),
                  image->format());
}

void MarkWindow::showAt(const QRect& rect, QPoint origin, Paint paint)
{
    m_origin = origin;
    m_paint = std::move(paint);
    setGeometry(rect);
    if (isVisible() && isExposed())
        this->paint();
    else
        show();
}

void MarkWindow::exposeEvent(QExposeEvent*)
{
    if (isExposed())
        paint();
}

void MarkWindow::paint()
{
    const QRect all(QPoint(), size());
    m_store.resize(size());
    m_store.beginPaint(all);
    QImage view = physicalView(m_store.paintDevice());
    if (!view.isNull()) {
        view.fill(Qt::transparent); // only what the mark draws covers the image
        QPainter painter(&view);
        painter.translate(-m_origin);
        if (m_paint)
            m_paint(painter);
    }
    m_store.endPaint();
    m_store.flush(all);
}

} // namespace tintaro
