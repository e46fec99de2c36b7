#include "PickWindow.h"

#include "GlyphText.h"
#include "PenCursor.h"
#include "ReleaseMemory.h"

#include <QCursor>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>
#include <utility>

namespace tintaro {
namespace {

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

ColorValue colorOf(QRgb rgb)
{
    return makeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QColor backColor()
{
    return QGuiApplication::palette().color(QPalette::Base);
}

// The cross-hair's arms reach this far from the marked pixel, and leave
// the pixel and its neighbours free.
constexpr int kArm = 10;
constexpr int kArmGap = 2;

} // namespace

PickWindow::PickWindow(PickTraits traits)
    : m_traits(traits), m_store(this), m_loupe(std::make_shared<LoupeSettings>())
{
    setObjectName(QStringLiteral("frmGetColor"));
    // Where the main window stays above it, it never takes the focus: an
    // active borderless window of the screen's size is raised above the
    // kept-on-top main window by some window managers, and keys reach the
    // session through the main window. Elsewhere it does take it, as the
    // main window may lie beneath.
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (m_traits.keepsMainWindowOnTop)
        flags |= Qt::WindowDoesNotAcceptFocus;
    setFlags(flags);
    setCursor(PenCursor::cursor());
    if (!m_traits.keepsMainWindowOnTop) {
        // The readout's size, once: a swatch two lines high, and the texts.
        const QFontMetrics metrics(QGuiApplication::font());
        m_readoutLine = metrics.height();
        m_readoutSize =
            QSize(m_readoutLine + 6 + metrics.horizontalAdvance(QStringLiteral("255,255,255")) + 6,
                  2 * m_readoutLine + 6);
    }
}

PickWindow::~PickWindow() = default;

void PickWindow::setImage(const DesktopLayout& layout, QRect area, QImage image)
{
    hideSample();
    m_layout = layout;
    m_area = area;
    // The image pixels of the area: its corners through the layout.
    const QPoint origin = m_layout.physicalBounds().topLeft();
    m_part = m_layout.physicalBounds().translated(-origin);
    for (const DesktopLayout::Screen& s : m_layout.screens())
        if (s.logical == area)
            m_part = m_layout.imageArea(s);
    m_hasImage = !image.isNull();
    m_pending = std::move(image);
    if (m_hasImage && m_pending.format() != QImage::Format_RGB32)
        m_pending = std::move(m_pending).convertToFormat(QImage::Format_RGB32);
    m_storeHoldsImage = false;
}

void PickWindow::showOver(QScreen* screen)
{
    // The screen first: where Qt scales windows itself, it maps the geometry
    // to the window system's pixels through the window's screen.
    if (screen)
        setScreen(screen);
    setGeometry(m_area);
    // Full screen only where the compositor alone places windows: window
    // managers lift full-screen windows above the kept-on-top main window.
    if (screen && !m_traits.keepsMainWindowOnTop)
        showFullScreen();
    else
        show();
    raise();
}

QRect PickWindow::physical(const QRect& logical) const
{
    const qreal ratio = devicePixelRatio();
    const QPoint topLeft(qRound(logical.x() * ratio), qRound(logical.y() * ratio));
    return QRect(topLeft, QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
}

// The store holds the image pixel for pixel: the window is its area's size
// at the ratio the image was taken at.
bool PickWindow::storeIsExact() const
{
    return m_store.size() == size() && physical(QRect(QPoint(), size())).size() == m_part.size();
}

void PickWindow::resizeEvent(QResizeEvent*)
{
    if (m_store.size() == size() || !m_storeHoldsImage) {
        m_storeHoldsImage = m_storeHoldsImage && m_store.size() == size();
        return;
    }
    // The desktop may still change the window's size once it is painted
    // (a work area first, full screen after): the store is the only copy
    // of the image, so it is taken back, without the marks, before the
    // store follows the new size.
    m_store.beginPaint(QRegion());
    QImage view = MarkWindow::physicalView(m_store.paintDevice());
    restoreUnderMarks(view, QRegion());
    m_pending = view.copy();
    m_store.endPaint();
    m_storeHoldsImage = false;
}

void PickWindow::exposeEvent(QExposeEvent*)
{
    if (!isExposed())
        return;
    if (m_storeHoldsImage) {
        // A compositor that keeps the shown buffer keeps showing it; a
        // mark's window moving brings an expose here too.
        if (!m_traits.marksApart)
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
    QImage view = MarkWindow::physicalView(m_store.paintDevice());
    for (Mark& mark : m_marks)
        mark.visible = false; // the next movement shows them again
    if (!view.isNull() && storeIsExact()) {
        view.fill(backColor());
        if (!m_pending.isNull())
            copyRows(m_pending, m_pending.rect(), view, QPoint());
        // From now on the store is the only copy of the image.
        m_pending = QImage();
        m_storeHoldsImage = true;
        releaseFreedMemory();
    } else {
        // The window is not (yet) its area's size, or the screen shows it at
        // another ratio: the image is drawn to fit and kept for reading.
        repaintImage(m_store.paintDevice(), QRegion(all));
    }
    m_store.endPaint();
    m_store.flush(all);
}

void PickWindow::repaintImage(QPaintDevice* device, const QRegion& region)
{
    QPainter painter(device);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region) {
        if (m_pending.isNull()) {
            painter.fillRect(r, backColor());
            continue;
        }
        const qreal sx = qreal(m_pending.width()) / width();
        const qreal sy = qreal(m_pending.height()) / height();
        painter.drawImage(QRectF(r), m_pending,
                          QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy));
    }
}

ColorValue PickWindow::readPixel(const QImage& view, QPoint local) const
{
    if (!m_hasImage)
        return QRect(QPoint(), m_part.size()).contains(local) ? colorOf(backColor().rgb()) : -1;
    const QImage& from = m_storeHoldsImage ? view : m_pending;
    return from.rect().contains(local) ? colorOf(from.pixel(local)) : -1;
}

ColorValue PickWindow::GetPixel(QPoint pixel)
{
    if (!m_storeHoldsImage)
        return readPixel(QImage(), pixel - m_part.topLeft());
    if (m_traits.marksApart)
        return readPixel(shownImage(), pixel - m_part.topLeft());
    // An empty region: stores that clear what is repainted clear nothing.
    m_store.beginPaint(QRegion());
    const ColorValue c = readPixel(shownImage(), pixel - m_part.topLeft());
    m_store.endPaint();
    return c;
}

void PickWindow::Form_MouseMove(QPointF global)
{
    m_keyboardPixel.reset(); // the keys go on from here
    m_lastGlobal = global;
    track(pixelUnder(global), global - QPointF(m_area.topLeft()));
}

QRect PickWindow::readoutPlace(QPointF windowPos) const
{
    const QSize box = m_readoutSize;
    const QPoint at = windowPos.toPoint();
    // Below and right of the hot spot; where that leaves the window, above
    // or left of it, and never over the floating sample.
    const bool right = at.x() + kReadoutGap + box.width() <= width();
    const bool below = at.y() + kReadoutGap + box.height() <= height();
    QRect place(QPoint(), box);
    place.moveTop(below ? at.y() + kReadoutGap : at.y() - kReadoutGap - box.height() + 1);
    if (!right)
        place.moveRight(at.x() - kReadoutGap);
    else if (below)
        place.moveLeft(at.x() + kReadoutGap);
    else
        place.moveLeft(at.x() + kSampleDx + kSampleWidth + 2);
    return place;
}

// Draws a mark with `painter` working in this window's physical pixels.
void PickWindow::drawMark(MarkKind kind, QPainter& painter, ColorValue color,
                          QPoint crosshairAt) const
{
    const Mark& mark = m_marks[kind];
    const qreal ratio = devicePixelRatio();
    const QColor fill = toQColor(color);
    switch (kind) {
    case Sample:
        painter.fillRect(physical(mark.rect), fill);
        painter.setPen(Qt::black);
        painter.drawRect(physical(mark.rect).adjusted(0, 0, -1, -1));
        break;
    case Readout: {
        painter.scale(ratio, ratio);
        const QRect r = mark.rect;
        const int line = m_readoutLine;
        painter.fillRect(r, QGuiApplication::palette().color(QPalette::ToolTipBase));
        painter.setPen(Qt::black);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        const QRect swatch(r.left() + 3, r.top() + 3, line, 2 * line);
        painter.fillRect(swatch, fill);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        painter.setPen(QGuiApplication::palette().color(QPalette::ToolTipText));
        painter.setFont(QGuiApplication::font());
        const QRect text(swatch.right() + 4, r.top() + 3, r.right() - swatch.right() - 6, line);
        painter.drawText(text, Qt::AlignVCenter, ColorToHtml(color));
        painter.drawText(text.translated(0, line), Qt::AlignVCenter, DecimalTriple(color));
        break;
    }
    case Crosshair: {
        // Dark arms over a light pixel, light ones over a dark pixel.
        const bool light = GetRed(color) + GetGreen(color) + GetBlue(color) > 3 * 128;
        painter.setPen(light ? Qt::black : Qt::white);
        const QPoint c = crosshairAt;
        painter.drawLine(c.x() - kArm, c.y(), c.x() - kArmGap, c.y());
        painter.drawLine(c.x() + kArmGap, c.y(), c.x() + kArm, c.y());
        painter.drawLine(c.x(), c.y() - kArm, c.x(), c.y() - kArmGap);
        painter.drawLine(c.x(), c.y() + kArmGap, c.x(), c.y() + kArm);
        break;
    }
    case Loupe:
        drawLoupe(painter, color);
        break;
    case MarkCount:
        break;
    }
}

void PickWindow::setLoupeSettings(std::shared_ptr<LoupeSettings> settings)
{
    if (settings)
        m_loupe = std::move(settings);
}

// Beside the hot spot on the pointer's screen, clear of the hot spot and of
// the other marks.
QRect PickWindow::loupePlace(QPointF windowPos, const std::array<QRect, MarkCount>& next) const
{
    const QPoint hot = windowPos.toPoint();
    const QPoint global = hot + m_area.topLeft();
    QRect screen = QRect(QPoint(), size());
    for (const DesktopLayout::Screen& s : m_layout.screens())
        if (s.logical.contains(global))
            screen &= s.logical.translated(-m_area.topLeft());
    std::vector<QRect> avoid = {QRect(hot - QPoint(2, 2), QSize(5, 5))};
    for (const int k : {Sample, Readout, Crosshair})
        if (!next[k].isNull())
            avoid.push_back(next[k].adjusted(-2, -2, 2, 2));
    return LoupeGeometry::place(hot, screen, avoid).value_or(QRect());
}

// The pixels the loupe shows, taken from the image before anything is
// drawn over it: the middle one is `local`, the pixel a click appends.
void PickWindow::takeLoupeSource(const QImage& view, QPoint local, std::optional<QPoint> pixel)
{
    const QRect place = m_marks[Loupe].rect;
    if (place.isNull())
        return;
    const int side = physical(QRect(place.topLeft(), QSize(place.width(), place.width()))).width();
    m_loupeZoom = m_loupe->zoom;
    const int across = LoupeGeometry::pixelsAcross(side - 2, m_loupeZoom);
    const QRect source(local - QPoint(across / 2, across / 2), QSize(across, across));
    const QImage& from = m_storeHoldsImage ? view : m_pending;
    // Past the image's edge the loupe shows the window's plain back colour.
    m_loupeSource = QImage(source.size(), QImage::Format_RGB32);
    m_loupeSource.fill(backColor());
    if (m_hasImage && !from.isNull())
        copyRows(from, source & from.rect(), m_loupeSource,
                 (source & from.rect()).topLeft() - source.topLeft());
    if (pixel)
        m_loupePixel = *pixel + m_layout.physicalBounds().topLeft();
}

// Every pixel a sharp square of the zoom's side, in the window's physical
// pixels: a whole-number scaling that takes each source pixel as it is.
void PickWindow::drawLoupe(QPainter& painter, ColorValue color) const
{
    const QRect place = m_marks[Loupe].rect;
    const QRect whole = physical(place);
    const QRect square = physical(QRect(place.topLeft(), QSize(place.width(), place.width())))
                             .adjusted(1, 1, -1, -1);
    const int across = m_loupeSource.width(), zoom = m_loupeZoom, side = across * zoom;
    const QPoint at =
        square.topLeft() + QPoint((square.width() - side) / 2, (square.height() - side) / 2);
    const QRect magnified(at, QSize(side, side));
    // Around the magnified pixels only: they cover the rest.
    const QColor base = QGuiApplication::palette().color(QPalette::ToolTipBase);
    painter.fillRect(QRect(whole.topLeft(), QPoint(whole.right(), magnified.top() - 1)), base);
    painter.fillRect(QRect(QPoint(whole.left(), magnified.bottom() + 1), whole.bottomRight()),
                     base);
    painter.fillRect(QRect(QPoint(whole.left(), magnified.top()),
                           QPoint(magnified.left() - 1, magnified.bottom())),
                     base);
    painter.fillRect(QRect(QPoint(magnified.right() + 1, magnified.top()),
                           QPoint(whole.right(), magnified.bottom())),
                     base);
    painter.setPen(Qt::black);
    painter.drawRect(whole.adjusted(0, 0, -1, -1));
    // Each pixel repeated into a square, row by row, then shown unscaled: a
    // scaling painter would cost twice as much.
    if (m_loupeMagnified.size() != magnified.size())
        m_loupeMagnified = QImage(magnified.size(), QImage::Format_RGB32);
    for (int sy = 0; sy < across; ++sy) {
        const auto* from = reinterpret_cast<const QRgb*>(m_loupeSource.constScanLine(sy));
        auto* row = reinterpret_cast<QRgb*>(m_loupeMagnified.scanLine(sy * zoom));
        for (int sx = 0; sx < across; ++sx)
            std::fill_n(row + sx * zoom, zoom, from[sx]);
        for (int k = 1; k < zoom; ++k)
            std::memcpy(m_loupeMagnified.scanLine(sy * zoom + k), row,
                        std::size_t(side) * sizeof(QRgb));
    }
    painter.drawImage(at, m_loupeMagnified);
    // The middle pixel outlined, dark on light, light on dark.
    const bool light = GetRed(color) + GetGreen(color) + GetBlue(color) > 3 * 128;
    painter.setPen(light ? Qt::black : Qt::white);
    const QPoint middle = at + QPoint(across / 2 * zoom, across / 2 * zoom);
    painter.drawRect(QRect(middle - QPoint(1, 1), QSize(zoom + 1, zoom + 1)));
    painter.save();
    const qreal ratio = devicePixelRatio();
    painter.scale(ratio, ratio);
    painter.setPen(QGuiApplication::palette().color(QPalette::ToolTipText));
    painter.setFont(QGuiApplication::font());
    // Its colour, then where it is: the physical pixel on the desktop.
    const int line = (LoupeGeometry::kTextHeight - 2) / 2;
    const QRect text(place.left() + 4, place.top() + place.width(), place.width() - 8, line);
    if (!m_glyphText)
        m_glyphText = std::make_unique<GlyphText>(QGuiApplication::font());
    const auto say = [&](const QRect& r, Qt::Alignment side, const QString& words) {
        if (const std::optional<QGlyphRun> run = m_glyphText->run(words)) {
            const qreal x =
                side == Qt::AlignRight ? r.right() + 1 - m_glyphText->width(*run) : r.left();
            const qreal height = m_glyphText->ascent() + m_glyphText->descent();
            painter.drawGlyphRun(
                QPointF(x, r.top() + (r.height() - height) / 2 + m_glyphText->ascent()), *run);
        } else {
            painter.drawText(r, Qt::AlignVCenter | side, words);
        }
    };
    say(text, Qt::AlignLeft, ColorToHtml(color));
    say(text, Qt::AlignRight, DecimalTriple(color));
    say(text.translated(0, line), Qt::AlignLeft,
        QStringLiteral("%1,%2").arg(m_loupePixel.x()).arg(m_loupePixel.y()));
    painter.restore();
}

QRect PickWindow::loupeRect() const
{
    return m_marks[Loupe].visible ? m_marks[Loupe].rect : QRect();
}

QImage PickWindow::loupeImage() const
{
    const QRect rect = loupeRect();
    if (rect.isNull())
        return QImage();
    const QRect whole = physical(rect);
    QImage image(whole.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.translate(-whole.topLeft());
    drawLoupe(painter, fromQColor(m_sampleColor));
    return image;
}

void PickWindow::retrack()
{
    if (m_keyboardPixel)
        track(m_keyboardPixel, m_layout.logicalPoint(*m_keyboardPixel) - QPointF(m_area.topLeft()));
    else if (m_lastGlobal)
        track(pixelUnder(*m_lastGlobal), *m_lastGlobal - QPointF(m_area.topLeft()));
}

void PickWindow::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y();
    if (!m_loupe->shown || steps == 0)
        return;
    m_loupe->zoom =
        steps > 0 ? LoupeGeometry::zoomIn(m_loupe->zoom) : LoupeGeometry::zoomOut(m_loupe->zoom);
    retrack();
}

// Marks apart: each in its window, moved and painted; the store is only
// read. The windows' new places show with the image's next commit.
void PickWindow::moveMarksApart(const std::array<QRect, MarkCount>& next, ColorValue color,
                                QPoint crosshairAt)
{
    for (int k = 0; k < MarkCount; ++k) {
        Mark& mark = m_marks[k];
        mark.rect = next[k];
        mark.visible = !next[k].isNull();
        if (!mark.visible) {
            if (mark.window)
                mark.window->hide();
            continue;
        }
        if (!mark.window)
            mark.window = std::make_unique<MarkWindow>(this);
        const QRect place = mark.rect.adjusted(-1, -1, 1, 1);
        mark.window->showAt(place, physical(place).topLeft(),
                            [this, k, color, crosshairAt](QPainter& painter) {
                                drawMark(MarkKind(k), painter, color, crosshairAt);
                            });
    }
    m_marksMoved = true;
    requestUpdate();
}

// The store's image, for reading. Where marks are apart it is read as it
// stands, unopened: opening it for painting takes a second buffer while
// the compositor holds the first.
QImage PickWindow::shownImage()
{
    return MarkWindow::physicalView(m_store.paintDevice());
}

// One pointer movement: reads the pixel under the hot spot and moves what
// is drawn over the image, with the store opened once for all of it.
void PickWindow::track(std::optional<QPoint> pixel, QPointF windowPos)
{
    const bool showReadout = !m_traits.keepsMainWindowOnTop;
    const bool showCrosshair = m_keyboardPixel && !m_traits.movesPointer;
    const QPoint local = pixel ? *pixel - m_part.topLeft() : QPoint();

    std::array<QRect, MarkCount> next;
    next[Sample] =
        QRect(QPoint(qRound(windowPos.x() + kSampleDx), qRound(windowPos.y() + kSampleDy)),
              QSize(kSampleWidth, kSampleHeight));
    if (showCrosshair) {
        const qreal ratio = devicePixelRatio();
        next[Crosshair] = QRectF(QPointF(local - QPoint(kArm, kArm)) / ratio,
                                 QSizeF(2 * kArm + 1, 2 * kArm + 1) / ratio)
                              .toAlignedRect();
    }
    // The loupe, where it fits, says all the readout would.
    if (m_loupe->shown && pixel)
        next[Loupe] = loupePlace(windowPos, next);
    if (showReadout && next[Loupe].isNull())
        next[Readout] = readoutPlace(windowPos);
    if (m_traits.marksApart) {
        ColorValue color = fromQColor(m_sampleColor);
        const QImage shown = shownImage();
        if (pixel)
            color = readPixel(shown, local);
        if (color < 0)
            color = kBlack; // a failed read gives black
        m_sampleColor = toQColor(color);
        m_marks[Loupe].rect = next[Loupe];
        takeLoupeSource(shown, local, pixel);
        moveMarksApart(next, color, local);
        if (pixel)
            Q_EMIT pointerMoved(color);
        return;
    }
    QRegion before, after;
    for (int k = 0; k < MarkCount; ++k) {
        if (m_marks[k].visible)
            before += m_marks[k].rect.adjusted(-1, -1, 1, 1);
        if (!next[k].isNull())
            after += next[k].adjusted(-1, -1, 1, 1);
    }

    // Two passes, as a store may clear what is repainted (those with an
    // alpha channel do, as on Wayland). First the image back under the old
    // marks, which may lie over the pixel now under the pointer, and the
    // image under the new ones saved; then the new marks.
    m_store.beginPaint(before);
    QImage view = MarkWindow::physicalView(m_store.paintDevice());
    restoreUnderMarks(view, before);
    ColorValue color = fromQColor(m_sampleColor);
    if (pixel) {
        color = readPixel(view, local);
        if (color < 0)
            color = kBlack; // a failed read gives black
    }
    m_sampleColor = toQColor(color);
    m_marks[Loupe].rect = next[Loupe];
    takeLoupeSource(view, local, pixel); // before any mark covers the image again
    for (int k = 0; k < MarkCount; ++k) {
        Mark& mark = m_marks[k];
        mark.rect = next[k];
        // Only the part on the window is saved, and put back where it came
        // from; a mark wholly off the window saves nothing.
        const QRect area = physical(mark.rect.adjusted(-1, -1, 1, 1)) & view.rect();
        mark.underAt = area.topLeft();
        if (area.isEmpty() || mark.rect.isNull()) {
            mark.under = QImage();
        } else {
            // The last patch's buffer where it fits: a new one of the loupe's
            // size each movement would cost more than the copy.
            if (mark.under.size() != area.size() || mark.under.format() != view.format())
                mark.under = QImage(area.size(), view.format());
            copyRows(view, area, mark.under, QPoint());
        }
    }
    m_store.endPaint();

    m_store.beginPaint(after);
    view = MarkWindow::physicalView(m_store.paintDevice());
    if (!view.isNull()) {
        QPainter painter(&view);
        for (int k = 0; k < MarkCount; ++k) {
            Mark& mark = m_marks[k];
            if (next[k].isNull())
                continue;
            // The image first: a store may have cleared what is repainted.
            if (!mark.under.isNull())
                copyRows(mark.under, mark.under.rect(), view, mark.underAt);
            mark.visible = true;
            painter.save();
            drawMark(MarkKind(k), painter, color, local);
            painter.restore();
        }
    }
    m_store.endPaint();
    present(before + after);
    if (pixel)
        Q_EMIT pointerMoved(color);
}

// Puts the image back under the visible marks, the last drawn first.
void PickWindow::restoreUnderMarks(QImage& view, const QRegion& dirty)
{
    if (view.isNull()) {
        repaintImage(m_store.paintDevice(), dirty);
    } else {
        for (int k = MarkCount - 1; k >= 0; --k) {
            const Mark& mark = m_marks[k];
            if (mark.visible && !mark.under.isNull())
                copyRows(mark.under, mark.under.rect(), view, mark.underAt);
        }
    }
    for (Mark& mark : m_marks)
        mark.visible = false;
}

QRect PickWindow::readoutRect() const
{
    return m_marks[Readout].visible ? m_marks[Readout].rect : QRect();
}

std::optional<QPoint> PickWindow::crosshairPixel() const
{
    if (!m_marks[Crosshair].visible)
        return std::nullopt;
    return m_keyboardPixel;
}

void PickWindow::hideSample()
{
    QRegion dirty;
    for (const Mark& mark : m_marks)
        if (mark.visible)
            dirty += mark.rect.adjusted(-1, -1, 1, 1);
    if (dirty.isEmpty())
        return;
    if (m_traits.marksApart) {
        moveMarksApart({}, kBlack, QPoint());
        return;
    }
    if (m_store.size().isEmpty()) {
        for (Mark& mark : m_marks)
            mark.visible = false;
        return;
    }
    m_store.beginPaint(dirty);
    QImage view = MarkWindow::physicalView(m_store.paintDevice());
    restoreUnderMarks(view, dirty);
    m_store.endPaint();
    present(dirty);
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
        if (std::exchange(m_marksMoved, false))
            commitMarkPlaces();
        return true;
    }
    if (event->type() == QEvent::Enter && m_traits.windowPerScreen)
        Q_EMIT entered(QPointF(m_area.topLeft()) + static_cast<QEnterEvent*>(event)->position());
    return QWindow::event(event);
}

// A child window's new place takes effect with its parent's next commit.
// The image's store has nothing new to commit (that would need a second
// buffer), and Qt offers no bare commit; setting the input region does
// commit, so it is set anew, to the whole window either way.
void PickWindow::commitMarkPlaces()
{
    m_maskToggle = !m_maskToggle;
    const QRect all(QPoint(), size());
    setMask(m_maskToggle ? QRegion(all) : QRegion(all.adjusted(-1, -1, 1, 1)));
}

void PickWindow::Form_MouseUp()
{
    Q_EMIT picked();
}

void PickWindow::mouseMoveEvent(QMouseEvent* event)
{
    // A window per screen knows only its own place: the compositor tells
    // no client where its windows are.
    if (m_traits.windowPerScreen) {
        Form_MouseMove(QPointF(m_area.topLeft()) + event->position());
        return;
    }
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

void PickWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_rightButtonStops && event->button() == Qt::RightButton)
        Q_EMIT stopRequested();
    else
        Form_MouseUp();
}

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
    case Qt::Key_Z:
        m_loupe->shown = !m_loupe->shown;
        retrack();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: // + without Shift on many keyboards
    case Qt::Key_Minus:
        if (!m_loupe->shown)
            return false;
        m_loupe->zoom = key == Qt::Key_Minus ? LoupeGeometry::zoomOut(m_loupe->zoom)
                                             : LoupeGeometry::zoomIn(m_loupe->zoom);
        retrack();
        return true;
    default:
        return false;
    }
    std::optional<QPoint> from = m_keyboardPixel;
    if (!from && m_lastGlobal)
        from = pixelUnder(*m_lastGlobal);
    if (!from && m_traits.movesPointer)
        from = pixelUnder(QPointF(QCursor::pos()));
    if (!from || !m_part.contains(*from))
        from = m_part.center(); // the pointer is elsewhere: start mid-window
    QPoint to = *from + delta;
    if (!m_part.contains(to) && m_traits.movesPointer && m_layout.holdsPixel(to)) {
        // Another screen's window has that pixel: the pointer takes the keys
        // on there, and that window reads it as it would any movement.
        m_keyboardPixel.reset();
        warpPointer(to);
        return true;
    }
    to.setX(qBound(m_part.left(), to.x(), m_part.right()));
    to.setY(qBound(m_part.top(), to.y(), m_part.bottom()));
    movePointerTo(to);
    return true;
}

void PickWindow::movePointerTo(QPoint pixel)
{
    m_keyboardPixel = pixel;
    const QPointF logical = m_layout.logicalPoint(pixel);
    m_lastGlobal = logical;
    if (m_traits.movesPointer)
        m_warpedTo = warpPointer(pixel);
    track(pixel, logical - QPointF(m_area.topLeft()));
}

QPointF PickWindow::warpPointer(QPoint pixel)
{
    const QPointF logical = m_layout.logicalPoint(pixel);
    if (m_movePointer && m_movePointer(pixel + m_layout.physicalBounds().topLeft()))
        return logical;
    const QPoint warp(qRound(logical.x()), qRound(logical.y()));
    QCursor::setPos(warp);
    return QPointF(warp);
}

} // namespace tintaro
