#pragma once

#include <QBackingStore>
#include <QWindow>

#include <functional>

class QPainter;

namespace tintaro {

// Something drawn over a picking window's image (the floating sample, the
// readout, the keyboard's cross-hair) in a small window of its own, a child
// of the picking window. Where the compositor keeps reading the buffer it
// shows, any change to the image's own store costs the toolkit a second
// buffer of the whole image; a child window changes only itself, so the
// image is painted once and held once.
class MarkWindow : public QWindow
{
public:
    // Paints the mark; the painter works in the parent's physical pixels.
    using Paint = std::function<void(QPainter&)>;

    explicit MarkWindow(QWindow* parent);
    ~MarkWindow() override;

    // Shows the mark over `rect` (logical, in the parent), whose top left
    // lies on the parent's physical pixel `origin`.
    void showAt(const QRect& rect, QPoint origin, Paint paint);

    // A view of a store's image in physical pixels: no device pixel ratio,
    // so that copies and fills land on whole pixels and never resample.
    static QImage physicalView(QPaintDevice* device);

protected:
    void exposeEvent(QExposeEvent* event) override;

private:
    void paint();

    QBackingStore m_store;
    QPoint m_origin;
    Paint m_paint;
};

} // namespace tintaro
