#pragma once

#include <QCursor>

namespace tintaro {

// The picking pointer: a slanted pen, black outline and white body, its tip
// at the lower left. The hot spot is the tip, at (11, 20) of 32 x 32.
namespace PenCursor {

constexpr int kHotX = 11;
constexpr int kHotY = 20;

QCursor cursor();

} // namespace PenCursor
} // namespace tintaro
