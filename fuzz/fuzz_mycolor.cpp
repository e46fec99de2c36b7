// "mycolor.rgb", then after "%%%%" a "mycolor.tmp" left by an interrupted
// rewrite: every page read, also past the end, then a rewrite keeping every
// other record, so that the writer meets damaged records and leftovers too.
#include "Fuzz.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"
#include "RecordRewriter.h"
using namespace tintaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList parts = QString::fromLatin1(startInput(data, size)).split("%%%%");
    putFile("mycolor.rgb", parts[0].toLatin1());
    if (parts.size() > 1)
        putFile("mycolor.tmp", parts[1].toLatin1());
    PaletteFile file;
    if (!file.open("mycolor.rgb", PaletteFile::Access::ReadWrite))
        std::abort();
    PaletteGrid grid;
    for (std::int32_t top = file.countRecords() + 8; top >= 0; top -= 8)
        grid.fill(file, top);
    const auto odd = [](std::int32_t n, const ColorRecord&) { return n % 2 == 1; };
    if (!RecordRewriter::rewrite(file, file.countRecords(), odd).ok)
        std::abort(); // a writable file in a writable folder
    return 0;
}
