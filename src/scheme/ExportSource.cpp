#include "ExportSource.h"

#include "ColorSetRecord.h"
#include "ColorSetStore.h"
#include "PaletteFile.h"
#include "SetNameFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace tintaro {

bool ExportSource::addPalette(std::vector<ColorGroup>& groups, const char* fileName,
                              const QString& groupName, Order order, QString* error)
{
    const QString name = QString::fromLatin1(fileName);
    PaletteFile file;
    if (!file.open(name, PaletteFile::Access::ReadOnly)) {
        *error = QStringLiteral("cannot read \"%1\" in \"%2\": %3")
                     .arg(name, QDir::toNativeSeparators(QDir::currentPath()), file.errorString());
        return false;
    }
    const std::int32_t count = file.countRecords();
    std::vector<std::optional<ColorRecord>> records(static_cast<std::size_t>(count));
    if (count > 0)
        file.readRange(1, count, records.data());
    std::vector<ColorValue> colours;
    colours.reserve(records.size());
    for (std::size_t n = 0; n < records.size(); ++n) {
        const std::optional<ColorValue> c = records[n] ? records[n]->toColor() : std::nullopt;
        if (!c) {
            *error = QStringLiteral("record %1 of \"%2\" is not a colour").arg(n + 1).arg(name);
            return false;
        }
        colours.push_back(*c);
    }
    if (order == Order::NewestFirst)
        std::reverse(colours.begin(), colours.end());
    groups.push_back(PaletteExport::paletteGroup(groupName, colours));
    return true;
}

bool ExportSource::addUserPalette(std::vector<ColorGroup>& groups, Order order, QString* error)
{
    return addPalette(groups, "mycolor.rgb", QStringLiteral("my colours"), order, error);
}

bool ExportSource::addWebSafePalette(std::vector<ColorGroup>& groups, QString* error)
{
    return addPalette(groups, "websafe.rgb", QStringLiteral("web-safe"), Order::FileOrder, error);
}

bool ExportSource::addColourSets(std::vector<ColorGroup>& groups, QString* error)
{
    const SetNameFile::LoadResult names =
        SetNameFile::load(QString::fromLatin1(ColorSetStore::kNamesFile));
    if (!names.ok) {
        *error = QStringLiteral("cannot read \"%1\": %2")
                     .arg(QLatin1String(ColorSetStore::kNamesFile), names.error);
        return false;
    }
    QFile colours(ColorSetStore::coloursFileInUse());
    (void)colours.open(QIODevice::ReadOnly); // missing: sets without colours
    for (int p = 0; p < names.names.size(); ++p)
        groups.push_back(PaletteExport::colorSetGroup(
            names.names[p], ColorSetRecord::readAt(colours, p).knownColors()));
    return true;
}

} // namespace tintaro
