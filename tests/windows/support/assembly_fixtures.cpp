#include "tests/windows/support/assembly_fixtures.h"

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "tests/windows/support/window_fixtures.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

void LayGridProject(Workspace& ws, int cols, int rows, double cell)
{
    TMosaicProject& prj = ws.mproject;
    TprojectCFG& cfg = prj.cfg;
    prj.patterncfg = DefaultPattern();
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = cols;
    cfg.Vcc = rows;
    cfg.CellWdf = cfg.CellHtf = cell;
    cfg.CellgapwdF = cfg.CellgaphtF = 0;
    const TPointF size = prj.GetProjectSize();
    cfg.FullWidthF = size.X;
    cfg.FullHeightF = size.Y;
    cfg.CanvasUnit = kUnitPixel;
    cfg.CanvasPPI = 100;
    cfg.PreviewBMPsize = static_cast<std::int32_t>(std::max(size.X, size.Y));
    cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 100;
    prj.SizeUnitStr.set(QStringLiteral("pixel"));
    prj.MainSize_Update();
    prj.Cell_Reset();
    BuildPatternShapeMasks(ws.shapeMasks, prj.patterncfg);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            prj.Cells[y][x].TileID = -1;

    std::memset(&ws.moptions, 0, sizeof ws.moptions);
    ws.moptions.BgColor = 0xFF202020;
    ws.moptions.AlphaBlend = 0.05; // both adjustments off: tiles keep their colours
    ws.moptions.ColorAdjust = 0.05;
    ws.fullSizeImage = SolidPicture(std::max(1, int(cfg.WidthPx / 2)), std::max(1, int(cfg.HeightPx / 2)), 0xFF808080)
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ws.mainImageScale = ws.fullSizeImage.width() / cfg.WidthPx;
}

TAlphaColor FixtureTileColor(int i)
{
    const int r = 40 + (i * 37) % 200, g = 220 - (i * 23) % 180, b = 60 + (i * 53) % 190;
    return 0xFF000000u | (TAlphaColor(r) << 16) | (TAlphaColor(g) << 8) | TAlphaColor(b);
}

void ColourTiles(Workspace& ws, int count)
{
    TTilelib& lib = ws.mtilelib;
    lib.emptytilelib();
    for (int i = 0; i < count; ++i) {
        const TAlphaColor c = FixtureTileColor(i);
        TimgColorInfo& info = lib.items[i].ColorInfo;
        const int r = qRed(c), g = qGreen(c), b = qBlue(c);
        CompleteColorInfo(info.ci1, r, g, b);
        for (TColorInfo15& part : info.ci4)
            CompleteColorInfo(part, r, g, b);
        for (TColorInfo15& part : info.ci64)
            CompleteColorInfo(part, r, g, b);
        lib.items[i].FileName.set(QStringLiteral("tile%1.png").arg(i));
        lib.ItemEnable[i] = 1;
    }
    lib.Count = count;
}

QString LoadPictureLibrary(Workspace& ws, const QString& folder, int count)
{
    std::vector<LibraryFixtureTile> tiles;
    for (int i = 0; i < count; ++i)
        tiles.push_back({QStringLiteral("tile%1.png").arg(i), FixtureTileColor(i), {}});
    LibraryFixtureOptions options;
    options.writeSource = false;
    if (QString e = WriteFixtureLibrary(folder, tiles, options); !e.isEmpty()) return e;
    if (Status st = ws.mtilelib.LoadTilelib(GetTilelibFileName(folder)); !st) return st.error();
    return {};
}

void MarkRendered(Workspace& ws)
{
    ws.mproject.cfg.searchDone = 1;
    ws.mproject.Rendered = true;
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList FileNamesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
