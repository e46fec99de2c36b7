#include "PenCursor.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tintaro::PenCursor {

QCursor cursor()
{
    // Two colours only, drawn without smoothing, so that every cursor
    // format of every window system shows it as drawn.
    QPixmap pen(32, 32);
    pen.fill(Qt::transparent);
    QPainter p(&pen);
    QPainterPath body;
    body.moveTo(kHotX, kHotY); // the tip
    body.lineTo(kHotX + 2, kHotY - 6);
    body.lineTo(kHotX + 15, kHotY - 19); // up along the barrel to the right
    body.lineTo(kHotX + 19, kHotY - 15);
    body.lineTo(kHotX + 6, kHotY - 2);
    body.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(body);
    p.drawLine(kHotX + 2, kHotY - 6, kHotX + 6, kHotY - 2); // where the nib starts
    p.drawLine(kHotX + 12, kHotY - 16, kHotX + 16, kHotY - 12);
    p.end();
    return QCursor(pen, kHotX, kHotY);
}

} // namespace tintaro::PenCursor
