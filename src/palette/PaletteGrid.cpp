#include "PaletteGrid.h"

#include "PaletteFile.h"

#include <algorithm>

namespace tintaro {

PaletteGrid::PaletteGrid()
{
    m_colors.fill(kWhite);
    m_cellRecords.fill(0);
}

void PaletteGrid::fill(PaletteFile& file, std::int32_t top)
{
    m_colors.fill(kWhite);
    m_cellRecords.fill(0);
    const int filled = int(std::clamp<std::int32_t>(top, 0, kCells));
    if (filled == 0)
        return;

    // The page is one contiguous run of records, oldest last: one read.
    std::array<std::optional<ColorRecord>, kCells> records;
    const std::int32_t oldest = top - filled + 1;
    file.readRange(oldest, top, records.data());
    for (int cell = 0; cell < filled; ++cell) {
        const std::optional<ColorRecord>& record = records[filled - 1 - cell];
        if (!record)
            continue; // past the end of a short file
        m_cellRecords[cell] = top - cell;
        m_colors[cell] = record->toColor().value_or(kWhite);
    }
}

} // namespace tintaro
