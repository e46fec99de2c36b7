#pragma once

#include <QFont>
#include <QSize>
#include <QString>

class QWidget;

namespace tintaro {

// The two type faces of the windows: the classic dialog face maps to the
// platform's sans-serif, Arial to itself or its metric twin.
namespace Fonts {

QFont dialog(qreal pointSize = 8.25, bool bold = false, bool underline = false);
QFont arial(qreal pointSize);

// The controls were drawn for a narrow bitmap face; a platform face at the
// same point size is often wider. Returns `font` when `text` fits into
// `room`, else the same face narrowed (then, as a last resort, made smaller)
// just enough to fit. With `wrap`, the text may break into lines.
QFont fitted(const QFont& font, const QString& text, QSize room, bool wrap = false);

// The room a control leaves for its caption, after its frame, margins and
// indicator; the part of it cut off by the left edge of the window counts
// as lost.
QSize captionRoom(const QWidget* control);

// Gives `control` a font in which `text` fits its caption room.
void fitCaption(QWidget* control, const QString& text, bool wrap = false);

} // namespace Fonts
} // namespace tintaro
