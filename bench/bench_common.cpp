#include "bench_common.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace bench {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

long residentKilobytes()
{
    // /proc files have no size: read them whole rather than to atEnd().
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// `count` distinct six-byte records (RRGGBB).
QByteArray records(qint64 count)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray bytes(qsizetype(count * 6), Qt::Uninitialized);
    char* p = bytes.data();
    for (qint64 i = 0; i < count; ++i)
        for (int shift = 20; shift >= 0; shift -= 4)
            *p++ = kHex[(i * 4099 % 0xFFFFFF >> shift) & 0xF];
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The shipped files from `data` and `colours` as mycolor.rgb, in `folder`.
bool prepareFolder(const QString& data, const QString& folder, const QByteArray& colours)
{
    for (const char* name : {"set.dat", "colorset.dat", "websafe.rgb"})
        if (!QFile::copy(data + '/' + QLatin1String(name), folder + '/' + QLatin1String(name)))
            return false;
    return writeFile(folder + QStringLiteral("/mycolor.rgb"), colours);
}

} // namespace bench
