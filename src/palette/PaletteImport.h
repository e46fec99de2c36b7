#pragma once

#include "ColorValue.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace tintaro {

struct ImportResult
{
    bool ok = false;
    std::vector<ColorValue> colors; // in the file's order; none unless ok
    QString error;                  // why not, for the user
};

// Reads the colours of palette files made by other programs. A file is taken
// whole or not at all: anything it holds that the palette cannot (a damaged
// line, a colour in another model) fails the import with the reason.
class PaletteImport
{
public:
    // Far more than any palette needs; larger files are refused unread.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    // A GIMP palette. The error names the line: "line 7: ...".
    static ImportResult importGpl(const QByteArray& bytes);
    // An Adobe Swatch Exchange file: its RGB colours, groups flattened.
    static ImportResult importAse(const QByteArray& bytes);
    // Either of the two, told apart by content rather than the name's ending;
    // the error names the file.
    static ImportResult importPaletteFile(const QString& path);
};

} // namespace tintaro
