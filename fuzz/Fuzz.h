#pragma once
// Each target defines fuzz(input), run in a new folder under TMPDIR made the working folder, as
// the readers take relative names. MUST aborts, so that libFuzzer keeps the input.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#define MUST(ok) ((ok) ? void() : std::abort())

inline void putFile(const char* name, const QByteArray& bytes)
{
    QFile file(QString::fromLatin1(name));
    MUST(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

void fuzz(const QByteArray& input);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QTemporaryDir dir; // removed, with what the input left, on return
    MUST(dir.isValid() && QDir::setCurrent(dir.path()));
    fuzz(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
