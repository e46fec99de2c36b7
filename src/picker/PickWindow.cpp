#include "PickWindow.h"

#include "Delay.h"
#include "PenCursor.h"
#include "ReleaseMemory.h"
#include "ScreenGrabber.h"

#include <QCoreApplication>
#include <QCursor>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <cstdio>
#include <cstring>

namespace tintaro {
namespace {

// A view of a backing store's image in physical pixels: no device pixel
// ratio, so that copies and fills land on whole pixels and never resample.
QImage physicalView(QPaintDevice* device)
{
    if (!device || device->devType() != QInternal::Image)
        return QImage();
    auto* image = static_cast<QImage*>(device);
    return QImage(image->bits(), image->width(), image->height(), image->bytesPerLine(),
                  image->format());
}

void copyRows(const QImage& from, QRect source, QImage& to, QPoint at)
{
    const QRect target = QRect(at, source.size()) & to.rect();
    if (target.isEmpty())
        return;
    const int bytes = from.depth() / 8;
    for (int y = target.top(); y <= target.bottom(); ++y)
        std::memcpy(to.scanLine(y) + target.left() * bytes,
                    from.constScanLine(source.top() + y - at.y()) +
                        (source.left() + target.left() - at.x()) * bytes,
                    std::size_t(target.width()) * bytes);
}

ColorValue colorOf(QRgb rgb) { return makeColor(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

QColor backColor() { return QGuiApplication::palette().color(QPalette::Base); }

} // namespace

PickWindow::PickWindow() : m_store(this)
{
    setObjectName(QStringLiteral("frmGetColor"));
    // It never takes the focus: an active borderless window of the screen's
    // size is raised above the kept-on-top main window by some window
    // managers. Keys reach the session through the main window.
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setCursor(PenCursor::cursor());
}

PickWindow::~PickWindow() = default;

bool PickWindow::Form_Load(const LoadSteps& steps)
{
    hideSample();
    if (steps.hideMainWindow)
        steps.hideMainWindow();
    QCoreApplication::processEvents();
    if (steps.clearClipboard)
        steps.clearClipboard();
    QCoreApplication::processEvents();
    // Give the other windows time to repaint what the main window covered.
    Delay::wait(steps.delaySeconds);

    QString whyNot;
    std::optional<DesktopShot> shot =
        steps.grabber ? steps.grabber->grab(&whyNot) : std::nullopt;
    QCoreApplication::processEvents();
    if (shot) {
        m_layout = std::move(shot->layout);
        m_pending = std::move(shot->image);
        if (m_pending.format() != QImage::Format_RGB32)
            m_pending = std::move(m_pending).convertToFormat(QImage::Format_RGB32);
        m_hasImage = true;
    } else {
        // The session goes on over the plain back colour.
        std::fprintf(stderr, "tintaro: no image of the screen: %s\n",
                     qPrintable(steps.grabber ? whyNot : QStringLiteral("nothing to take it with")));
        m_layout = DesktopLayout::current();
        m_hasImage = false;
    }
    QCoreApplication::processEvents();
    if (steps.clearClipboard)
        steps.clearClipboard();
    QCoreApplication::processEvents();
    if (steps.showMainWindow)
        steps.showMainWindow();
    return m_hasImage;
}

void PickWindow::showOverDesktop()
{
    setGeometry(m_layout.logicalBounds());
    show();
    raise();
}

QRect PickWindow::physical(const QRect& logical) const
{
    const qreal ratio = devicePixelRatio();
    const QPoint topLeft(qRound(logical.x() * ratio), qRound(logical.y() * ratio));
    return QRect(topLeft, QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
}

void PickWindow::resizeEvent(QResizeEvent*)
{
    if (m_store.size() != size())
        m_storeHoldsImage = false;
}

void PickWindow::exposeEvent(QExposeEvent*)
{
    if (!isExposed())
        return;
    if (m_storeHoldsImage) {
        m_store.flush(QRect(QPoint(), size()));
        return;
    }
    paintBackground();
}

// Puts the image into the backing store, or the plain back colour where
// there is none. Only here is the whole window painted.
void PickWindow::paintBackground()
{
    const QRect all(QPoint(), size());
    m_store.resize(size());
    m_store.beginPaint(all);
    QImage view = physicalView(m_store.paintDevice());
    m_sampleVisible = false; // the next pointer movement shows it again
    if (!view.isNull()) {
        view.fill(backColor());
        if (!m_pending.isNull()) {
            const QImage source = m_pending.format() == view.format()
                                      ? m_pending
                                      : m_pending.convertToFormat(view.format());
            copyRows(source, source.rect(), view, QPoint());
        }
        // From now on the store is the only copy of the image.
        m_pending = QImage();
        m_storeHoldsImage = true;
        releaseFreedMemory();
    } else {
        QPainter painter(m_store.paintDevice());
        painter.fillRect(all, backColor());
        if (!m_pending.isNull()) {
            QImage scaled = m_pending;
            scaled.setDevicePixelRatio(devicePixelRatio());
            painter.drawImage(QPoint(), scaled);
        }
    }
    m_store.endPaint();
    m_store.flush(all);
}

ColorValue PickWindow::GetPixel(QPoint pixel)
{
    if (!m_hasImage)
        return QRect(QPoint(), size() * devicePixelRatio()).contains(pixel) ? colorOf(backColor().rgb())
                                                                            : -1;
    if (!m_storeHoldsImage)
        return m_pending.rect().contains(pixel) ? colorOf(m_pending.pixel(pixel)) : -1;
    m_store.beginPaint(QRect(QPoint(), QSize(1, 1)));
    const QImage view = physicalView(m_store.paintDevice());
    const ColorValue c = view.rect().contains(pixel) ? colorOf(view.pixel(pixel)) : -1;
    m_store.endPaint();
    return c;
}

void PickWindow::Form_MouseMove(QPointF global)
{
    m_keyboardPixel.reset(); // the keys go on from here
    m_lastGlobal = global;
    track(pixelUnder(global), global - QPointF(geometry().topLeft()));
}

// One pointer movement: reads the pixel under the hot spot and moves the
// floating sample, with the store opened once for both.
void PickWindow::track(std::optional<QPoint> pixel, QPointF windowPos)
{
    const QRect oldSample = m_sampleRect;
    const bool hadSample = m_sampleVisible;
    const QRect newSample(QPoint(qRound(windowPos.x() + kSampleDx), qRound(windowPos.y() + kSampleDy)),
                          QSize(kSampleWidth, kSampleHeight));
    QRegion dirty(newSample);
    if (hadSample)
        dirty += oldSample;

    m_store.beginPaint(dirty);
    QImage view = physicalView(m_store.paintDevice());
    // Put the image back under the old sample first: it may lie over the
    // pixel now under the pointer.
    if (hadSample && !view.isNull() && !m_underSample.isNull())
        copyRows(m_underSample, m_underSample.rect(), view, m_underSampleAt);

    ColorValue color = fromQColor(m_sampleColor);
    if (pixel) {
        if (!m_hasImage)
            color = colorOf(backColor().rgb());
        else if (!view.isNull())
            color = view.rect().contains(*pixel) ? colorOf(view.pixel(*pixel)) : -1;
        else
            color = m_pending.rect().contains(*pixel) ? colorOf(m_pending.pixel(*pixel)) : -1;
        if (color < 0)
            color = kBlack; // a failed read gives black
    }

    m_sampleRect = newSample;
    m_sampleColor = toQColor(color);
    m_sampleVisible = true;
    if (!view.isNull()) {
        const QRect area = physical(newSample) & view.rect();
        // Only the part of the sample on the window is saved, and put back
        // where it came from; a sample wholly off the window saves nothing.
        m_underSampleAt = area.topLeft();
        m_underSample = area.isEmpty() ? QImage() : view.copy(area);
        QPainter painter(&view);
        painter.fillRect(area, m_sampleColor);
        painter.setPen(Qt::black);
        painter.drawRect(physical(newSample).adjusted(0, 0, -1, -1));
    } else {
        QPainter painter(m_store.paintDevice());
        if (hadSample && !m_pending.isNull()) {
            QImage source = m_pending.copy(physical(oldSample));
            source.setDevicePixelRatio(devicePixelRatio());
            painter.drawImage(oldSample.topLeft(), source);
        }
        painter.fillRect(newSample, m_sampleColor);
        painter.setPen(Qt::black);
        painter.drawRect(newSample.adjusted(0, 0, -1, -1));
    }
    m_store.endPaint();
    present(dirty);
    if (pixel)
        Q_EMIT pointerMoved(color);
}

void PickWindow::hideSample()
{
    if (!m_sampleVisible)
        return;
    m_sampleVisible = false;
    if (m_store.size().isEmpty())
        return;
    m_store.beginPaint(m_sampleRect);
    QImage view = physicalView(m_store.paintDevice());
    if (!view.isNull() && !m_underSample.isNull()) {
        copyRows(m_underSample, m_underSample.rect(), view, m_underSampleAt);
    } else if (!m_pending.isNull()) {
        QPainter painter(m_store.paintDevice());
        QImage source = m_pending.copy(physical(m_sampleRect));
        source.setDevicePixelRatio(devicePixelRatio());
        painter.drawImage(m_sampleRect.topLeft(), source);
    }
    m_store.endPaint();
    present(m_sampleRect);
}

// The store is shown at the next turn of the event loop, as Qt shows every
// repainted widget: a burst of movements costs one flush, and a movement
// never waits for the window system to finish showing the one before.
void PickWindow::present(const QRegion& region)
{
    m_unflushed += region;
    requestUpdate();
}

bool PickWindow::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest) {
        if (isExposed() && !m_unflushed.isEmpty())
            m_store.flush(m_unflushed);
        m_unflushed = QRegion();
        return true;
    }
    return QWindow::event(event);
}

void PickWindow::Form_MouseUp() { Q_EMIT picked(); }

void PickWindow::mouseMoveEvent(QMouseEvent* event)
{
    // Qt rounds a widget's local position to whole logical pixels; the
    // global position keeps the fraction that names the physical pixel.
    // Our own keyboard move arrives where the warp put the pointer: at
    // ratios like 1.5 the window system rounds it to a device pixel, so it
    // may come back a fraction of a logical pixel off.
    const QPointF global = event->globalPosition();
    if (m_warpedTo && (global - *m_warpedTo).manhattanLength() < 1.0) {
        m_warpedTo.reset(); // our own keyboard move arriving: already shown
        return;
    }
    m_warpedTo.reset();
    Form_MouseMove(global);
}

void PickWindow::mouseReleaseEvent(QMouseEvent*) { Form_MouseUp(); }

void PickWindow::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event->key(), event->modifiers()))
        QWindow::keyPressEvent(event);
}

bool PickWindow::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const int step = modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1;
    QPoint delta;
    switch (key) {
    case Qt::Key_Left:
        delta = QPoint(-step, 0);
        break;
    case Qt::Key_Right:
        delta = QPoint(step, 0);
        break;
    case Qt::Key_Up:
        delta = QPoint(0, -step);
        break;
    case Qt::Key_Down:
        delta = QPoint(0, step);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Form_MouseUp();
        return true;
    case Qt::Key_Escape:
        Q_EMIT stopRequested();
        return true;
    default:
        return false;
    }
    std::optional<QPoint> from = m_keyboardPixel;
    if (!from)
        from = pixelUnder(m_lastGlobal ? *m_lastGlobal : QPointF(QCursor::pos()));
    if (!from)
        return true;
    const QRect desktop(QPoint(), m_layout.physicalBounds().size());
    QPoint to = *from + delta;
    to.setX(qBound(desktop.left(), to.x(), desktop.right()));
    to.setY(qBound(desktop.top(), to.y(), desktop.bottom()));
    movePointerTo(to);
    return true;
}

void PickWindow::movePointerTo(QPoint pixel)
{
    m_keyboardPixel = pixel;
    const QPointF logical = m_layout.logicalPoint(pixel);
    const QPoint warp(qRound(logical.x()), qRound(logical.y()));
    m_warpedTo = QPointF(warp);
    m_lastGlobal = logical;
    QCursor::setPos(warp);
    track(pixel, logical - QPointF(geometry().topLeft()));
}

} // namespace tintaro
