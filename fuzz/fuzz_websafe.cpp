// "websafe.rgb", opened read-only and shown at every page the palette can
// reach (tops 216, 208, ..., 144), whatever the file holds.
#include "Fuzz.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"
using namespace tintaro;

void fuzz(const QByteArray& input)
{
    putFile("websafe.rgb", input);
    PaletteFile file;
    MUST(file.open("websafe.rgb", PaletteFile::Access::ReadOnly));
    PaletteGrid grid;
    for (std::int32_t top = PaletteFile::kWebSafeCount; top >= 144; top -= 8)
        grid.fill(file, top);
}
