// The colour set store. Four header bytes, then "set.dat", "colorset.dat", "set.tmp",
// "colorset.tmp" and a set name, split at "%%%%". Byte 0: bit i set when file i exists. Byte 1:
// 'r' or 'c' removes the set at position byte 2 - '0', 's' or 'x' saves the name with the first
// colours record. Leftovers are recovered and every set read, before and after.
#include "ColorSetStore.h"
#include "Fuzz.h"
#include "SetNameFile.h"
using namespace tintaro;

void fuzz(const QByteArray& input)
{
    const QByteArray head = input.left(4).leftJustified(4, 0);
    const QStringList parts = QString::fromLatin1(input.mid(4)).split("%%%%");
    const char* files[] = {"set.dat", "colorset.dat", "set.tmp", "colorset.tmp"};
    for (int i = 0; i < 4; ++i)
        if (head[0] >> i & 1)
            putFile(files[i], parts.value(i).toLatin1());
    ColorSetStore store;
    for (const bool before : {true, false}) {
        ColorSetStore::recover();
        for (qsizetype p = 0; p <= SetNameFile::load("set.dat").names.size(); ++p)
            store.read(std::int32_t(p));
        if (before && (head[1] == 'r' || head[1] == 'c'))
            store.remove(head[2] - '0');
        if (before && (head[1] == 's' || head[1] == 'x'))
            store.save(parts.value(4), ColorSetRecord::fromBytes(parts.value(1).toLatin1()));
    }
}
