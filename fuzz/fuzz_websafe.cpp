// The web-safe colour file "websafe.rgb", opened read-only and shown at
// each of its page tops (216, 208, ..., 144), whatever it holds: the
// program shows it as it stands, short, long or damaged.
//
// Input: the content of "websafe.rgb".
//
// Checked: the file opens read-only and is never changed; every cell of
// every web-safe page shows the right record and colour; a missing file is
// not created by opening it.

#include "FuzzSupport.h"
#include "GridCheck.h"

#include "PaletteFile.h"
#include "PaletteState.h"

#include <QByteArray>

#include <cstdint>

using namespace tintaro;

namespace {

constexpr char kFile[] = "websafe.rgb";

// Opening a missing web-safe file fails and creates nothing. Needs no
// input, so it runs once.
void checkMissing()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    fuzz::freshFolder();
    PaletteFile file;
    FUZZ_CHECK(!file.open(QString::fromLatin1(kFile), PaletteFile::Access::ReadOnly),
               QByteArray("a missing websafe.rgb opened"));
    FUZZ_CHECK(!fuzz::fileExists(kFile), QByteArray("opening websafe.rgb created it"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkMissing();
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    fuzz::freshFolder();
    fuzz::putFile(kFile, original);

    PaletteFile file;
    FUZZ_CHECK(file.open(QString::fromLatin1(kFile), PaletteFile::Access::ReadOnly),
               file.errorString().toLocal8Bit());
    FUZZ_CHECK(!file.isWritable(), QByteArray("opened read-only, but writable"));
    FUZZ_CHECK(file.countRecords() == original.size() / ColorRecord::kSize,
               "counted " + QByteArray::number(file.countRecords()) + " records in " +
                   QByteArray::number(original.size()) + " bytes");

    // Every page top the web-safe palette can have, in the order paging
    // reaches them, and back again.
    PaletteState state;
    state.startUp(0);
    state.showWebSafe();
    FUZZ_CHECK(state.pageTop() == PaletteFile::kWebSafeCount,
               "first web-safe page at " + QByteArray::number(state.pageTop()));
    int pages = 0;
    for (;;) {
        fuzz::checkPage(file, original, state.pageTop());
        ++pages;
        if (!state.nextEnabled)
            break;
        state.next();
        FUZZ_CHECK(pages < 100, QByteArray("paging forward never ends"));
    }
    FUZZ_CHECK(state.pageTop() == PaletteFile::kWebSafeCount - 72,
               "last web-safe page at " + QByteArray::number(state.pageTop()));
    while (state.prevEnabled) {
        state.previous();
        FUZZ_CHECK(--pages >= 0, QByteArray("paging back never ends"));
    }
    FUZZ_CHECK(state.pageTop() == PaletteFile::kWebSafeCount,
               "back to the web-safe page at " + QByteArray::number(state.pageTop()));

    // A write is refused, and nothing changed the file.
    FUZZ_CHECK(!file.write(1, ColorRecord::fromColor(0x123456)),
               QByteArray("wrote into the read-only file"));
    file.close();
    FUZZ_CHECK(fuzz::fileBytes(kFile) == original,
               "the file changed to " + fuzz::show(fuzz::fileBytes(kFile)));
    return 0;
}
