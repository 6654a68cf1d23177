#include "output/cell_texts.h"

#include "engine/project_records.h"
#include "imaging/color_convert.h"
#include "platform/number_format.h"
#include "render/cell_text.h"
#include "tilelib/tilelib.h"

QString CellPositionText(const TCell& cell, const QLocale& locale)
{
    return QStringLiteral("Pos: X") + FormatFixed(cell.CellCenterReal.X, 2, 6, locale) + QStringLiteral(" Y") +
           FormatFixed(cell.CellCenterReal.Y, 2, 6, locale);
}

QString ColorComponentsText(TAlphaColor color)
{
    int a = 0, r = 0, g = 0, b = 0;
    SplitColor(color, a, r, g, b);
    return QStringLiteral("R%1 G%2 B%3").arg(r).arg(g).arg(b);
}

QString TileIdText(int tileId)
{
    return QStringLiteral("Tile ID: %1").arg(tileId);
}

std::optional<QString> CurrentDiffText(const TCell& cell, const TTilelib& library)
{
    const TTileItem* tile = WorkingTile(library, cell.TileID);
    if (!tile) return std::nullopt;
    return QStringLiteral("Current Diff= %1 ").arg(ImgColorDiff64(cell.ICinfo, tile->ColorInfo)) +
           ColorComponentsText(tile->ColorInfo.ci1.rgb);
}
