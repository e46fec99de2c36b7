#pragma once

#include "PaletteExport.h"

#include <QString>

#include <vector>

namespace tintaro {

// The colours an export takes, read from the program's files in the current
// folder: the user's palette, the web-safe palette, the saved colour sets.
// The command line and the export dialog read them alike.
class ExportSource
{
public:
    enum class Order
    {
        FileOrder,  // oldest first, as the file holds them
        NewestFirst // as the palette grid shows them
    };

    // Each appends its group(s) to `groups`, or leaves them as they were and
    // says why in `error`: a file that cannot be read, a record that is no
    // colour (named by its number in the file).
    static bool addUserPalette(std::vector<ColorGroup>& groups, Order order, QString* error);
    static bool addWebSafePalette(std::vector<ColorGroup>& groups, QString* error);
    // A group of six for each saved set, under the set's name; a colour its
    // record does not give is left out.
    static bool addColourSets(std::vector<ColorGroup>& groups, QString* error);

private:
    static bool addPalette(std::vector<ColorGroup>& groups, const char* fileName,
                           const QString& groupName, Order order, QString* error);
};

} // namespace tintaro
