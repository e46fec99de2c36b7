#include "Fonts.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QWidget>

namespace tintaro::Fonts {
namespace {

bool fits(const QFont& font, const QString& text, QSize room, bool wrap)
{
    const QFontMetrics fm(font);
    if (!wrap)
        return fm.horizontalAdvance(text) <= room.width() && fm.height() <= room.height();
    const QRect needed = fm.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

} // namespace

QFont dialog(qreal pointSize, bool bold, bool underline)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont arial(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

QFont fitted(const QFont& font, const QString& text, QSize room, bool wrap)
{
    if (text.isEmpty() || fits(font, text, room, wrap))
        return font;
    QFont narrow = font;
    for (const int stretch : {94, 88, 82, 76}) {
        narrow.setStretch(stretch);
        if (fits(narrow, text, room, wrap))
            return narrow;
    }
    for (qreal size = font.pointSizeF() - 0.25; size >= 5.0; size -= 0.25) {
        narrow.setPointSizeF(size);
        if (fits(narrow, text, room, wrap))
            return narrow;
    }
    return narrow;
}

QSize captionRoom(const QWidget* control)
{
    const QStyle* style = control->style();
    // A control standing partly left of its window shows only the rest.
    int width = control->x() < 0 ? control->width() + control->x() : control->width();
    int height = control->height();
    if (qobject_cast<const QRadioButton*>(control)) {
        width -= style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control) +
                 style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control);
        height = qMax(height, style->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, control));
    } else if (qobject_cast<const QPushButton*>(control)) {
        width -= style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control);
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        // QLineEdit keeps two pixels of its own on either side of the text.
        const int frame = edit->hasFrame()
                              ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control)
                              : 0;
        width -= 2 * frame + 4;
        height -= 2 * frame;
    } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const QRect inside = label->contentsRect();
        width -= label->width() - inside.width();
        height = inside.height();
    }
    return QSize(width, height);
}

void fitCaption(QWidget* control, const QString& text, bool wrap)
{
    control->setFont(fitted(control->font(), text, captionRoom(control), wrap));
}

} // namespace tintaro::Fonts
