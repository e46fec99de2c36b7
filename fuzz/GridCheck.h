#pragma once

// What a page of the swatch grid must show for a given record file, worked
// out from the file's bytes alone, and the check of a filled grid against it.

#include "FuzzSupport.h"

#include "ColorRecord.h"
#include "ColorValue.h"
#include "PaletteFile.h"
#include "PaletteGrid.h"

#include <QByteArray>

#include <cstdint>

namespace fuzz {

// Record n (1-based) of `bytes`, when the file holds all six of its bytes.
inline QByteArray recordBytes(const QByteArray& bytes, std::int64_t n)
{
    if (n < 1 || n * tintaro::ColorRecord::kSize > bytes.size())
        return QByteArray();
    return bytes.mid(qsizetype((n - 1) * tintaro::ColorRecord::kSize), tintaro::ColorRecord::kSize);
}

inline int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The colour of six red, green, blue digits (either case), white otherwise.
inline tintaro::ColorValue expectedColor(const QByteArray& record)
{
    int digits[6];
    for (int i = 0; i < 6; ++i) {
        digits[i] = hexDigit(record.at(i));
        if (digits[i] < 0)
            return tintaro::kWhite;
    }
    const int red = digits[0] * 16 + digits[1];
    const int green = digits[2] * 16 + digits[3];
    const int blue = digits[4] * 16 + digits[5];
    return blue * 65536 + green * 256 + red;
}

// Fills a grid at `top` and checks every cell: cell i shows record top - i
// when top > i and the file holds that whole record, its colour (white for
// a damaged record) and its number; any other cell is white and numbered 0.
inline void checkPage(tintaro::PaletteFile& file, const QByteArray& bytes, std::int32_t top)
{
    tintaro::PaletteGrid grid;
    grid.fill(file, top);
    for (int cell = 0; cell < tintaro::PaletteGrid::kCells; ++cell) {
        const std::int64_t n = std::int64_t(top) - cell;
        const QByteArray record = top > cell ? recordBytes(bytes, n) : QByteArray();
        const std::int32_t wantRecord = record.isNull() ? 0 : std::int32_t(n);
        const tintaro::ColorValue wantColor =
            record.isNull() ? tintaro::kWhite : expectedColor(record);
        // Only worded when a check fails: filling is checked very often.
        const auto where = [&] {
            return "top " + QByteArray::number(top) + ", cell " + QByteArray::number(cell) +
                   ", record " + show(record);
        };
        FUZZ_CHECK(grid.cellRecord(cell) == wantRecord,
                   where() + ": numbered " + QByteArray::number(grid.cellRecord(cell)));
        FUZZ_CHECK(grid.color(cell) == wantColor,
                   where() + ": colour " + QByteArray::number(grid.color(cell), 16) +
                       ", expected " + QByteArray::number(wantColor, 16));
    }
}

} // namespace fuzz
