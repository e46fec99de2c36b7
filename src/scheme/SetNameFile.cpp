#include "SetNameFile.h"

#include <QFile>

namespace tintaro {

SetNameFile::LoadResult SetNameFile::load(const QString& fileName)
{
    LoadResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Cannot read the colour set names from \"%1\": %2")
                           .arg(fileName, file.errorString());
        return result;
    }
    // The file is a few names long; one read and a split beat line-wise input.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Cannot read the colour set names from \"%1\": %2")
                           .arg(fileName, file.errorString());
        return result;
    }

    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size(); // a last line without a line end still counts
        if (end > start && bytes.at(end - 1) == '\r')
            --end;
        result.names.append(
            nameFromLine(QByteArray::fromRawData(bytes.constData() + start, end - start)));
        start = next;
    }
    result.ok = true;
    return result;
}

QString SetNameFile::nameFromLine(const QByteArray& line)
{
    if (line.size() < 2)
        return QString(); // too short to hold both quotes: keep the position only
    return QString::fromLocal8Bit(line.constData() + 1, line.size() - 2);
}

} // namespace tintaro
