#pragma once

#include "ColorValue.h"

#include <array>
#include <cstdint>

namespace tintaro {

class PaletteFile;

// The contents of the 144 swatches for one page: cell i shows record
// top - i when top > i and is an empty white cell otherwise.
class PaletteGrid
{
public:
    static constexpr int kCells = 144;
    static constexpr int kRows = 8;
    static constexpr int kColumns = 18;

    PaletteGrid();

    // Fills every cell from the open file. A record that is missing (past the
    // end of a short file) gives an empty cell; a record that is not six
    // hexadecimal digits shows white but keeps its record number, so that it
    // can still be selected and deleted.
    void fill(PaletteFile& file, std::int32_t top);

    ColorValue color(int cell) const { return m_colors[cell]; }
    std::int32_t cellRecord(int cell) const { return m_cellRecords[cell]; }
    const std::array<ColorValue, kCells>& colors() const { return m_colors; }
    const std::array<std::int32_t, kCells>& cellRecords() const { return m_cellRecords; }

private:
    std::array<ColorValue, kCells> m_colors;
    std::array<std::int32_t, kCells> m_cellRecords;
};

} // namespace tintaro
