#pragma once

// Shared by the fuzz targets: a private working folder, whole-file helpers,
// splitting one input into several files, and checks that stop the fuzzer.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Creates a private folder under $TMPDIR (or /tmp) on the first call, makes
// it the current directory and removes it again when the process exits.
// Every later call only empties it, so that each input starts from nothing.
void freshFolder();

// Writes `bytes` as the file `name` of the current directory.
void putFile(const char* name, const QByteArray& bytes);

// The whole content of `name`, or a null array when it does not exist.
QByteArray fileBytes(const char* name);
bool fileExists(const char* name);

// The input as text of the files it stands for: the parts between the
// separator below, at most `maxParts` of them (the last takes the rest).
// Missing parts are absent (null), so that "no such part" and "an empty
// part" differ.
inline constexpr char kSeparator[] = "%%%%";
QList<QByteArray> splitParts(const std::uint8_t* data, std::size_t size, int maxParts);

// Reports a broken property with what was expected and what was seen, and
// aborts: the fuzzer then keeps the input that broke it.
[[noreturn]] void fail(const char* file, int line, const char* what, const QByteArray& detail);

// Printable form of a few bytes for failure reports.
QByteArray show(const QByteArray& bytes);

} // namespace fuzz

#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::fuzz::fail(__FILE__, __LINE__, #cond, (detail));                                     \
    } while (false)
