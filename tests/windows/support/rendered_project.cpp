#include "tests/windows/support/rendered_project.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "engine/patterns.h"
#include "imaging/color_convert.h"
#include "imaging/color_measure.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"
#include "tests/windows/support/window_fixtures.h"
#include "tilelib/tilelib.h"

#include <QDir>

#include <algorithm>
#include <cstring>

TAlphaColor ToolTileColour(int i)
{
    static constexpr TAlphaColor kFirst[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    if (i >= 0 && i < 3) return kFirst[i];
    return MakeColor(40 + (i * 37) % 180, 30 + (i * 53) % 160, 20 + (i * 71) % 200, 255);
}

QString MakeRenderedProject(AppContext& app, const QString& folder, const RenderedProjectOptions& o)
{
    if (!app.Form1) return QStringLiteral("no main window");
    std::vector<LibraryFixtureTile> tiles;
    for (int i = 0; i < o.tiles; ++i)
        tiles.push_back({QStringLiteral("t%1.png").arg(i), ToolTileColour(i), {}});
    LibraryFixtureOptions libraryOptions;
    libraryOptions.writeSource = false;
    libraryOptions.writePreview = false;
    const QString libFolder = QDir(folder).filePath(QStringLiteral("library"));
    if (QString e = WriteFixtureLibrary(libFolder, tiles, libraryOptions); !e.isEmpty()) return e;

    Workspace& ws = app.ws();
    if (Status st = ws.mtilelib.LoadTilelib(GetTilelibFileName(libFolder)); !st) return st.error();
    TMosaicProject& prj = ws.mproject;
    TprojectCFG& cfg = prj.cfg;
    prj.patterncfg = DefaultPattern();
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = o.cols;
    cfg.Vcc = o.rows;
    cfg.CellWdf = o.cellWidth;
    cfg.CellHtf = o.cellHeight;
    cfg.CellgapwdF = cfg.CellgaphtF = o.gap;
    cfg.AddonTilesCount = 0;
    const TPointF size = prj.GetProjectSize();
    cfg.FullWidthF = size.X;
    cfg.FullHeightF = size.Y;
    cfg.CanvasUnit = kUnitPixel;
    cfg.CanvasPPI = 100;
    cfg.PreviewBMPsize = static_cast<std::int32_t>(std::max(size.X, size.Y));
    cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 100;
    prj.MainSize_Update();
    prj.Cell_Reset();
    BuildPatternShapeMasks(ws.shapeMasks, prj.patterncfg);

    std::memset(&ws.moptions, 0, sizeof ws.moptions);
    ws.moptions.BgColor = o.grout;
    ws.moptions.BgMainImage = o.bgMainImage ? 1 : 0;
    ws.moptions.AlphaBlend = 0.05; // both adjustments off: tiles keep their colours
    ws.moptions.ColorAdjust = 0.05;
    ws.fullSizeImage = SolidPicture(std::max(1, static_cast<int>(cfg.WidthPx / 2)),
                                    std::max(1, static_cast<int>(cfg.HeightPx / 2)), o.mainImage)
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ws.mainImageScale = ws.fullSizeImage.width() / cfg.WidthPx;

    TimgColorInfo measured{};
    const QImage sample = SolidPicture(16, 16, o.measured);
    GetImgColorInfo8(measured, sample, TRectF{0, 0, 16, 16});
    for (int y = 0; y < o.rows; ++y)
        for (int x = 0; x < o.cols; ++x) {
            TCell& c = prj.Cells[y][x];
            c.TileID = o.tileAt ? o.tileAt(x, y) : (o.tiles > 0 ? (x + y) % o.tiles : -1);
            c.ICinfo = measured;
            if (c.TileID >= 0 && c.TileID < ws.mtilelib.Count) ++ws.mtilelib.items[c.TileID].Usecount;
        }
    cfg.searchDone = 1;
    if (o.draw) {
        if (Status st = Draw_MosaicToView(ws, kDrawFinal, app.Form1->Image1(), cfg.PreviewScale, nullptr); !st)
            return st.error();
        app.Form1->ShowMosaicImage();
    }
    prj.Rendered = true;
    return {};
}
