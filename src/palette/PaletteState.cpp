#include "PaletteState.h"

namespace tintaro {

void PaletteState::saveButtons()
{
    if (ShowingWebSafe) {
        WebSafeNextEnabled = nextEnabled ? 1 : 0;
        WebSafePrevEnabled = prevEnabled ? 1 : 0;
    } else {
        UserNextEnabled = nextEnabled ? 1 : 0;
        UserPrevEnabled = prevEnabled ? 1 : 0;
    }
}

void PaletteState::startUp(std::int32_t userColorCount)
{
    ShowingWebSafe = 0;
    WebSafePagePos = kWebSafeCount;
    UserColorCount = userColorCount;
    cleanEnabled = UserColorCount >= 2;
    prevEnabled = false;
    UserPagePos = UserColorCount;
    nextEnabled = UserColorCount > kPageSize;
    saveButtons();
    WebSafePrevEnabled = 0;
    WebSafeNextEnabled = 1;
}

void PaletteState::next()
{
    std::int32_t& top = ShowingWebSafe ? WebSafePagePos : UserPagePos;
    top -= kPageStep;
    prevEnabled = true;
    // Record 1 is on the page once the top is within one page of it.
    if (top <= kPageSize)
        nextEnabled = false;
    saveButtons();
}

void PaletteState::previous()
{
    if (ShowingWebSafe) {
        WebSafePagePos += kPageStep;
        nextEnabled = true;
        if (WebSafePagePos >= kWebSafeCount)
            prevEnabled = false;
    } else {
        UserPagePos += kPageStep;
        // Enabled whenever there is more than a page, even where record 1
        // is already shown: the next step then lands on a shorter page.
        nextEnabled = UserColorCount > kPageSize;
        if (UserPagePos >= UserColorCount)
            prevEnabled = false;
    }
    saveButtons();
}

void PaletteState::showUser()
{
    nextEnabled = UserNextEnabled == 1;
    prevEnabled = UserPrevEnabled == 1;
    ShowingWebSafe = 0;
}

void PaletteState::showWebSafe()
{
    nextEnabled = WebSafeNextEnabled == 1;
    prevEnabled = WebSafePrevEnabled == 1;
    ShowingWebSafe = 1;
}

void PaletteState::picked()
{
    ++UserColorCount;
    ++UserPagePos; // the page keeps its distance from the newest record
    nextEnabled = UserColorCount > kPageSize;
    saveButtons();
    if (UserColorCount >= 2)
        cleanEnabled = true;
}

void PaletteState::deleted()
{
    --UserPagePos; // cell 0 keeps showing the same record
    --UserColorCount;
    if (UserColorCount <= kPageSize)
        nextEnabled = false;
    saveButtons();
}

void PaletteState::cleaned(std::int32_t kept)
{
    UserColorCount = kept;
    UserPagePos = kept;
    prevEnabled = false;
    nextEnabled = UserColorCount > kPageSize;
    cleanEnabled = false;
    saveButtons();
}

void PaletteState::grown(std::int32_t count)
{
    UserColorCount = count;
    UserPagePos = count;
    prevEnabled = false;
    nextEnabled = UserColorCount > kPageSize;
    cleanEnabled = UserColorCount >= 2;
    saveButtons();
}

} // namespace tintaro
