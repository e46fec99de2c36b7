// The colour-set names "set.dat", loaded into the list at start-up.
//
// Input: the content of "set.dat".
//
// Checked: loading succeeds and gives one entry per line (a line ends at
// LF; a CR just before it belongs to the line end; a last line without one
// still counts), each entry being its line without the first and the last
// character, or empty for a line shorter than two; loading changes nothing.
// A missing file fails to load, with a reason, and is not created.

#include "FuzzSupport.h"

#include "SetNameFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

using namespace tintaro;

namespace {

constexpr char kFile[] = "set.dat";

// The lines of the file, worked out byte by byte.
QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    QByteArray line;
    bool open = false; // a line has started and not yet ended
    for (char c : bytes) {
        open = true;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        line.clear();
        open = false;
    }
    if (open) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
    }
    return lines;
}

void checkMissing()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    fuzz::freshFolder();
    const SetNameFile::LoadResult result = SetNameFile::load(QString::fromLatin1(kFile));
    FUZZ_CHECK(!result.ok, QByteArray("a missing set.dat loaded"));
    FUZZ_CHECK(!result.error.isEmpty(), QByteArray("a missing set.dat failed without a reason"));
    FUZZ_CHECK(result.names.isEmpty(), QByteArray("a missing set.dat gave names"));
    FUZZ_CHECK(!fuzz::fileExists(kFile), QByteArray("loading set.dat created it"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkMissing();
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    fuzz::freshFolder();
    fuzz::putFile(kFile, original);

    const SetNameFile::LoadResult result = SetNameFile::load(QString::fromLatin1(kFile));
    FUZZ_CHECK(result.ok, "load failed: " + result.error.toLocal8Bit());
    FUZZ_CHECK(result.error.isEmpty(), "loaded with an error: " + result.error.toLocal8Bit());
    const QList<QByteArray> lines = linesOf(original);
    FUZZ_CHECK(result.names.size() == lines.size(),
               QByteArray::number(result.names.size()) + " names from " +
                   QByteArray::number(lines.size()) + " lines");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const QString want =
            line.size() < 2 ? QString() : QString::fromLocal8Bit(line.mid(1, line.size() - 2));
        FUZZ_CHECK(result.names[i] == want, "line " + QByteArray::number(i + 1) + " " +
                                                fuzz::show(line) + " gave " +
                                                fuzz::show(result.names[i].toUtf8()) +
                                                ", expected " + fuzz::show(want.toUtf8()));
        FUZZ_CHECK(SetNameFile::nameFromLine(line) == want,
                   "nameFromLine(" + fuzz::show(line) + ") gave " +
                       fuzz::show(SetNameFile::nameFromLine(line).toUtf8()));
    }
    FUZZ_CHECK(fuzz::fileBytes(kFile) == original,
               "loading changed the file to " + fuzz::show(fuzz::fileBytes(kFile)));
    return 0;
}
