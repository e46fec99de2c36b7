#include "FuzzSupport.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace fuzz {
namespace {

std::string g_folder;

void removeFolder()
{
    if (g_folder.empty())
        return;
    // Leave the folder before removing it; "/" is always there.
    if (::chdir("/") != 0)
        return;
    QDir(QString::fromStdString(g_folder)).removeRecursively();
}

} // namespace

void freshFolder()
{
    if (g_folder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tintaro-fuzz.XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("tintaro fuzz: cannot create a private folder");
            std::abort();
        }
        g_folder = pattern;
        if (::chdir(g_folder.c_str()) != 0) {
            std::perror("tintaro fuzz: cannot enter the private folder");
            std::abort();
        }
        std::atexit(removeFolder);
        return;
    }
    // Everything a previous input left: the files written here and whatever
    // the code under test made of them.
    QDir dir(QString::fromStdString(g_folder));
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (!dir.remove(entry))
            QDir(dir.filePath(entry)).removeRecursively();
    }
}

void putFile(const char* name, const QByteArray& bytes)
{
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "tintaro fuzz: cannot write %s: %s\n", name,
                     qPrintable(file.errorString()));
        std::abort();
    }
}

QByteArray fileBytes(const char* name)
{
    QFile file(QString::fromLatin1(name));
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tintaro fuzz: cannot read %s: %s\n", name,
                     qPrintable(file.errorString()));
        std::abort();
    }
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray(""); // present but empty: not null
    return bytes;
}

bool fileExists(const char* name)
{
    return QFile::exists(QString::fromLatin1(name));
}

QList<QByteArray> splitParts(const std::uint8_t* data, std::size_t size, int maxParts)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray separator(kSeparator);
    QList<QByteArray> parts;
    qsizetype start = 0;
    while (parts.size() < maxParts - 1) {
        const qsizetype at = input.indexOf(separator, start);
        if (at < 0)
            break;
        parts.append(input.mid(start, at - start));
        start = at + separator.size();
    }
    parts.append(input.mid(start));
    for (QByteArray& part : parts) {
        if (part.isNull())
            part = QByteArray(""); // present, even when empty
    }
    while (parts.size() < maxParts)
        parts.append(QByteArray());
    return parts;
}

QByteArray show(const QByteArray& bytes)
{
    if (bytes.isNull())
        return "(absent)";
    QByteArray out = "\"";
    const qsizetype shown = qMin<qsizetype>(bytes.size(), 200);
    for (qsizetype i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes.at(i));
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"')
            out += char(c);
        else
            out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
    }
    out += '"';
    if (shown < bytes.size())
        out += "... (" + QByteArray::number(bytes.size()) + " bytes)";
    return out;
}

void fail(const char* file, int line, const char* what, const QByteArray& detail)
{
    std::fprintf(stderr, "\n%s:%d: property broken: %s\n%s\n", file, line, what,
                 detail.constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzz
