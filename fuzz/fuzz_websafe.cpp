// "websafe.rgb", opened read-only and shown at every page the palette can
// reach (tops 216, 208, ..., 144), whatever the file holds.
#include "Fuzz.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"
using namespace tintaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    putFile("websafe.rgb", startInput(data, size));
    PaletteFile file;
    if (!file.open("websafe.rgb", PaletteFile::Access::ReadOnly))
        std::abort();
    PaletteGrid grid;
    for (std::int32_t top = PaletteFile::kWebSafeCount; top >= 144; top -= 8)
        grid.fill(file, top);
    return 0;
}
