#pragma once

#include "ColorValue.h"
#include "PaletteState.h"

#include <cstdint>

namespace tintaro {

// The program's one piece of shared state, read and written by the palette,
// paging and picking handlers of the main window: the palette's counts,
// page tops and saved button states, and whether a picking session runs.
struct AppState : PaletteState
{
    std::int32_t Picking = 0; // 1 while a screen-picking session runs
    // The pixel under the pointer at its last movement over the picking
    // window; kept between sessions, black until the first movement.
    ColorValue PointerColor = kBlack;
};

} // namespace tintaro
