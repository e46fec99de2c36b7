#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace tintaro {

// The program's pictures, drawn in code so that nothing has to be found on
// disk at start-up and every size is sharp at any device pixel ratio.
namespace Artwork {

QIcon windowIcon();                     // 32 x 32 (and 16 x 16)
QPixmap logo(qreal devicePixelRatio);   // 130 x 39 logical pixels
QPixmap emblem(qreal devicePixelRatio); // 72 x 72 logical pixels
QCursor logoCursor();                   // 32 x 32, a pointing hand with a swatch

// The maker shown by the logo and the About box.
QString makerName();
QString homePage();
QString emailAddress();

} // namespace Artwork
} // namespace tintaro
