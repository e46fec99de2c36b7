#include "Artwork.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tintaro::Artwork {
namespace {

const QColor kSwatches[] = {QColor(0xE5, 0x39, 0x35), QColor(0xFD, 0xD8, 0x35),
                            QColor(0x43, 0xA0, 0x47), QColor(0x1E, 0x88, 0xE5)};

QPixmap canvas(int width, int height, qreal dpr)
{
    QPixmap pixmap(qRound(width * dpr), qRound(height * dpr));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Four swatches fanned out under a slanted dropper: the program's emblem.
void paintEmblem(QPainter& p, qreal size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal cell = size * 0.36;
    for (int i = 0; i < 4; ++i) {
        const qreal x = size * 0.08 + (i % 2) * cell * 1.05;
        const qreal y = size * 0.22 + (i / 2) * cell * 1.05;
        p.setPen(QPen(QColor(40, 40, 40), qMax<qreal>(1.0, size / 32)));
        p.setBrush(kSwatches[i]);
        p.drawRoundedRect(QRectF(x, y, cell, cell), size / 16, size / 16);
    }
    QPainterPath dropper;
    dropper.moveTo(size * 0.55, size * 0.62);
    dropper.lineTo(size * 0.84, size * 0.18);
    dropper.lineTo(size * 0.94, size * 0.26);
    dropper.lineTo(size * 0.63, size * 0.68);
    dropper.lineTo(size * 0.52, size * 0.74);
    dropper.closeSubpath();
    p.setPen(QPen(Qt::black, qMax<qreal>(1.0, size / 24)));
    p.setBrush(Qt::white);
    p.drawPath(dropper);
    p.setBrush(kSwatches[3]);
    p.drawEllipse(QPointF(size * 0.52, size * 0.78), size / 14, size / 14);
}

} // namespace

QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap = canvas(size, size, 1.0);
        QPainter p(&pixmap);
        paintEmblem(p, size);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap emblem(qreal dpr)
{
    QPixmap pixmap = canvas(72, 72, dpr);
    QPainter p(&pixmap);
    paintEmblem(p, 72);
    return pixmap;
}

QPixmap logo(qreal dpr)
{
    QPixmap pixmap = canvas(130, 39, dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 130, 0);
    band.setColorAt(0.0, QColor(0x1E, 0x88, 0xE5));
    band.setColorAt(0.5, QColor(0x43, 0xA0, 0x47));
    band.setColorAt(1.0, QColor(0xE5, 0x39, 0x35));
    p.fillRect(QRectF(0, 33, 130, 4), band);
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(kSwatches[i]);
        p.drawRoundedRect(QRectF(2 + (i % 2) * 11, 4 + (i / 2) * 13, 10, 12), 2, 2);
    }
    // The shrunk window shows only the first 125 pixels: the name and its
    // version must both stand there.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(19);
    font.setBold(true);
    const QString name = QStringLiteral("Tintaro");
    const int nameWidth = QFontMetrics(font).horizontalAdvance(name);
    p.setFont(font);
    p.setPen(QColor(0x26, 0x32, 0x38));
    p.drawText(QRectF(27, 0, nameWidth + 2, 32), Qt::AlignLeft | Qt::AlignVCenter, name);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(QColor(0xE5, 0x39, 0x35));
    p.drawText(QRectF(28 + nameWidth, 4, 30, 20), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("2.0"));
    return pixmap;
}

QCursor logoCursor()
{
    QPixmap pixmap = canvas(32, 32, 1.0);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // An arrow pointing up-left with a small swatch at its tail.
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 19);
    arrow.lineTo(6, 14);
    arrow.lineTo(10, 22);
    arrow.lineTo(13, 21);
    arrow.lineTo(9, 13);
    arrow.lineTo(16, 13);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.setBrush(kSwatches[0]);
    p.drawRect(QRectF(17, 20, 10, 10));
    p.end();
    return QCursor(pixmap, 1, 1);
}

QString makerName() { return QStringLiteral("Tintaro Project"); }
QString homePage() { return QStringLiteral("https://tintaro.org"); }
QString emailAddress() { return QStringLiteral("hello@tintaro.org"); }

} // namespace tintaro::Artwork
