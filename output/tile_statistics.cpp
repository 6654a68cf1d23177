#include "output/tile_statistics.h"

#include "engine/project.h"
#include "output/xlsx_writer.h"
#include "platform/number_format.h"
#include "tilelib/tilelib.h"

#include <algorithm>
#include <utility>

std::vector<TileUse> CountTileUse(const TMosaicProject& project, const TTilelib& library, bool includeAddon)
{
    const int count = std::clamp(library.Count, 0, kTileCountMax);
    std::vector<TileUse> uses(static_cast<std::size_t>(count));
    for (int t = 0; t < count; ++t)
        uses[t] = TileUse{t, 0};
    // One pass over the cells gives the same counts as a pass per tile.
    auto add = [&](int id) {
        if (id >= 0 && id < count)
            ++uses[static_cast<std::size_t>(id)].count;
    };
    const int vcc = std::clamp(project.cfg.Vcc, 0, kGridCountMax);
    const int hcc = std::clamp(project.cfg.Hcc, 0, kGridCountMax);
    for (int y = 0; y < vcc; ++y)
        for (int x = 0; x < hcc; ++x)
            add(project.Cells[y][x].TileID);
    if (includeAddon) {
        const int addons = std::clamp(project.cfg.AddonTilesCount, 0, kAddonCapacity);
        for (int i = 0; i < addons; ++i)
            add(project.AddonTiles[i].TileID);
    }
    return uses;
}

void OrderByCount(std::vector<TileUse>& uses)
{
    for (std::size_t i = 0; i < uses.size(); ++i)
        for (std::size_t j = i; j < uses.size(); ++j)
            if (uses[i].count < uses[j].count)
                std::swap(uses[i], uses[j]);
}

QString TileListRow(const TileUse& use, const QString& fileName)
{
    return QStringLiteral("ID:") + FormatInt(use.tile, 4) + QStringLiteral("   Count:") + FormatInt(use.count, 6) +
           QStringLiteral("   <File:") + fileName + QStringLiteral(">");
}

Status WriteTileStatisticsXlsx(const QString& path, const TMosaicProject& project, const TTilelib& library)
{
    const std::vector<TileUse> uses = CountTileUse(project, library, /*includeAddon=*/false);
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(uses.size());
    for (const TileUse& u : uses)
        rows.push_back({QVariant(u.tile), QVariant(u.count), QVariant(library.GetFullName(u.tile))});
    return WriteXlsxSheet(path, {QStringLiteral("Tile ID"), QStringLiteral("Count"), QStringLiteral("File Name")}, rows);
}
