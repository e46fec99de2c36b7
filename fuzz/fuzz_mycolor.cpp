// "mycolor.rgb" [%%%% a "mycolor.tmp" left by an interrupted rewrite]: every page read, also past
// the end, then a rewrite keeping every other record, over damaged records and leftovers alike.
#include "Fuzz.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"
#include "RecordRewriter.h"
using namespace tintaro;

void fuzz(const QByteArray& input)
{
    const QStringList parts = QString::fromLatin1(input).split("%%%%");
    putFile("mycolor.rgb", parts[0].toLatin1());
    if (parts.size() > 1)
        putFile("mycolor.tmp", parts[1].toLatin1());
    PaletteFile file;
    MUST(file.open("mycolor.rgb", PaletteFile::Access::ReadWrite));
    PaletteGrid grid;
    for (std::int32_t top = file.countRecords() + 8; top >= 0; top -= 8)
        grid.fill(file, top);
    const auto odd = [](std::int32_t n, const ColorRecord&) { return n % 2 == 1; };
    MUST(RecordRewriter::rewrite(file, file.countRecords(), odd).ok); // a writable file and folder
}
