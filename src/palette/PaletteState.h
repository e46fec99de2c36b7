#pragma once

#include <cstdint>

namespace tintaro {

// Which palette the grid shows, where each palette's page stands, and the
// enabled state of the page buttons and "Clean duplicate". Each palette
// keeps its own page and button states while the other one is shown.
//
// Invariants: UserColorCount - UserPagePos is a multiple of 8 and at least
// 0 (picks and deletions move both by one), UserPagePos >= 0, and
// WebSafePagePos is one of 216, 208, ..., 144.
struct PaletteState
{
    static constexpr std::int32_t kPageSize = 144;
    static constexpr std::int32_t kPageStep = 8;
    static constexpr std::int32_t kWebSafeCount = 216;

    std::int32_t UserColorCount = 0;
    std::int32_t UserPagePos = 0;
    std::int32_t ShowingWebSafe = 0;
    std::int32_t WebSafePagePos = kWebSafeCount;
    std::int32_t UserNextEnabled = 0;
    std::int32_t UserPrevEnabled = 0;
    std::int32_t WebSafeNextEnabled = 1;
    std::int32_t WebSafePrevEnabled = 0;

    // The buttons as they stand now, for the palette shown.
    bool nextEnabled = false;
    bool prevEnabled = false;
    bool cleanEnabled = false;

    // The page top of the palette shown.
    std::int32_t pageTop() const { return ShowingWebSafe ? WebSafePagePos : UserPagePos; }

    void startUp(std::int32_t userColorCount);
    void next();        // towards older records
    void previous();    // towards newer records
    void showUser();    // buttons as the user palette left them
    void showWebSafe(); // buttons as the web-safe palette left them
    void picked();      // one colour appended to the user's file
    void deleted();     // one user colour removed from the page shown
    void cleaned(std::int32_t kept);
    // The user's file holds `count` records after colours were added to it
    // (an import): its newest page is shown.
    void grown(std::int32_t count);

private:
    void saveButtons();
};

} // namespace tintaro
