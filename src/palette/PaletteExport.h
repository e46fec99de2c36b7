#pragma once

#include "ColorValue.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

namespace tintaro {

// A colour under the name it is exported with; an empty name exports as the
// colour's "#RRGGBB".
struct NamedColor
{
    QString name;
    ColorValue color = kBlack;
};

// Colours that leave the program together: the user's palette, or a colour set.
struct ColorGroup
{
    QString name;
    std::vector<NamedColor> colors;
};

enum class ExportFormat
{
    Gpl,    // GIMP palette
    Css,    // custom properties of :root
    Scss,   // Sass variables
    Tokens, // design tokens, JSON
    Ase,    // Adobe Swatch Exchange, binary
    HexList // one #RRGGBB a line
};

// Writes groups of colours in formats that editors, design tools and style
// sheets read. Names are made to suit each format: CSS and Sass names become
// identifiers unique in the file, token names unique within their group.
class PaletteExport
{
public:
    // Keys: "gpl", "css", "scss", "tokens", "ase", "hex"; either letter case.
    static std::optional<ExportFormat> exportFormatFromKey(QStringView key);
    static QString exportFormatKey(ExportFormat format);
    // The usual ending of such a file, without the leading dot: "gpl", "tokens.json".
    static QString fileSuffix(ExportFormat format);

    // The user's colours, oldest first, as "color-1", "color-2", ...
    static ColorGroup paletteGroup(const QString& name, const std::vector<ColorValue>& colors);
    // A set's colours in ColorSetRecord's field order, named "text", "background",
    // "link", "visited", "active" and "hover"; a colour that is not known is left out.
    static ColorGroup colorSetGroup(const QString& name,
                                    const std::array<std::optional<ColorValue>, 6>& colors);

    static QByteArray exportGroups(const std::vector<ColorGroup>& groups, ExportFormat format);

    // Replaces `path` with `bytes` in one step. On failure the folder is as it
    // was and `error` (when given) says why, naming the file. A file already
    // under the name of the writer's temporary ("x.tmp" for "x.gpl") fails the
    // export rather than being removed: beside an export it may be the user's.
    static bool writeExport(const QString& path, const QByteArray& bytes, QString* error);
};

} // namespace tintaro
