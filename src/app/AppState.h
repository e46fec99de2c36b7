#pragma once

#include <cstdint>

namespace tintaro {

// The program's one piece of shared state, read and written by the palette,
// paging and picking handlers of the main window.
struct AppState
{
    std::int32_t UserColorCount = 0;   // whole records in "mycolor.rgb"
    std::int32_t UserPagePos = 0;      // record shown in cell 0 of the user palette
    std::int32_t ShowingWebSafe = 0;   // 1 while the web-safe palette is shown
    std::int32_t WebSafePagePos = 216; // record shown in cell 0 of the web-safe palette
    std::int32_t UserNextEnabled = 0;  // saved page-button states of each palette
    std::int32_t UserPrevEnabled = 0;
    std::int32_t WebSafeNextEnabled = 1;
    std::int32_t WebSafePrevEnabled = 0;
    std::int32_t Picking = 0; // 1 while a screen-picking session runs
};

} // namespace tintaro
