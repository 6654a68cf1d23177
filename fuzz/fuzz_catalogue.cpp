// Tile-library catalogues ("imagelib.dat") from the fuzzer's bytes, through the whole
// reader and the two partial readers; then what reads a loaded library: the colour
// histogram, the tile ranking of a cell with and without rotations, the paths of every
// tile, and the working views that draw tile colours and numbers.
//
// The library object (66.7 MB) is made once and reused: a short catalogue fills over
// what the previous input left, as it fills over the previous library in the program.

#include "engine/grid_bounds.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_support.h"
#include "imaging/shapes.h"
#include "output/cell_texts.h"
#include "output/tile_statistics.h"
#include "platform/file_io.h"
#include "render/color_charts.h"
#include "render/working_views.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace {

Workspace& workspace()
{
    static Workspace* ws = [] {
        auto* w = new Workspace(Platform{}, 7);
        // A 2 x 2 grid of square cells whose colours are the tiles' own, for the ranking.
        TMosaicProject& p = w->mproject;
        p.cfg.ProjectPatternType = kPatternGrid;
        p.cfg.Vcc = p.cfg.Hcc = 2;
        p.cfg.CellWdf = p.cfg.CellHtf = 10;
        p.cfg.CanvasScale = 1;
        p.cfg.FullWidthF = p.cfg.FullHeightF = 20;
        p.Cell_Reset();
        return w;
    }();
    return *ws;
}

QString catalogueFolder()
{
    static QString* folder = new QString(FuzzScratchFolder() + QStringLiteral("/lib"));
    return *folder;
}

void useLibrary(Workspace& ws)
{
    TTilelib& lib = ws.mtilelib;
    const int count = tileCount(lib);
    const QString root = QDir::cleanPath(catalogueFolder());
    const auto inside = [](const QString& path, const QString& folder) {
        // An empty name names the folder itself, which no load or copy accepts as a file.
        const QString clean = QDir::cleanPath(path);
        return clean == folder || clean.startsWith(folder + QLatin1Char('/'));
    };
    for (int i = 0; i < count; ++i) {
        // Every tile's files stay in the library's own folders.
        FuzzCheck(inside(lib.GetFullName(i), root + QStringLiteral("/ready")),
                  "a tile's ready picture lies in the library's ready folder");
        FuzzCheck(inside(lib.GetsourceName(i), root + QStringLiteral("/source")),
                  "a tile's source picture lies in the library's source folder");
    }

    TColorHistogram hist;
    TileLibColorHistogram(hist, lib);
    TileLibColorHistogram(hist, ws, kChartSourceWorking);

    TMosaicProject& p = ws.mproject;
    for (int k = 0; k < 4; ++k) {
        TCell& cell = p.Cells[k / 2][k % 2];
        cell.TileID = -1;
        if (count > 0) cell.ICinfo = lib.items[k % count].ColorInfo;
    }
    ws.moptions.RepeatMaxOn = 1;
    ws.moptions.RepeatMax = 2;
    ws.moptions.RepeatRadiusOn = 1;
    ws.moptions.RepeatRadius = 1;
    for (std::int32_t shape : {kShapeRect, kShapeEllipse}) {
        p.cfg.BaseTileShape = shape;
        p.GetGoodTileList(p.Cells[0][0], ws.goodTileList, /*bypassAC=*/false);
        FuzzCheck(ws.goodTileList.Count >= 0 && ws.goodTileList.Count <= TGoodTileList::kCapacity,
                  "the candidate list stays within its capacity");
        for (int i = 0; i < ws.goodTileList.Count; ++i)
            FuzzCheck(isLibraryTile(lib, ws.goodTileList.Tiles[i].tileid), "candidates are tiles of the library");
    }
    lib.ZeroUsecount();
    for (int t = 0; t < count && t < 4; ++t)
        p.Cell_SetTile(p.Cells[t / 2][t % 2], t);

    for (const TileUse& use : CountTileUse(p, lib, /*includeAddon=*/true))
        (void)TileCountPageText(use, lib.items[use.tile].FileName.get());
    for (int k = 0; k < 4; ++k)
        (void)CurrentDiffText(p.Cells[k / 2][k % 2], lib);

    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    Canvas canvas(image);
    for (int mode : {kDrawTileColor, kDrawTileIdColor})
        (void)Draw_Allcell(ws, canvas, mode, 1.0, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    InitFuzzEnvironment(argc, argv);
    workspace();
    QDir().mkpath(catalogueFolder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Workspace& ws = workspace();
    const QByteArray bytes = FuzzBytes(data, size);
    const QString path = GetTilelibFileName(catalogueFolder());

    // The partial readers work on the file itself; the inputs are small.
    {
        QFile file(path);
        FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                  "the scratch catalogue can be written");
    }
    const TtileLibCfg cfg = ReadTilelibCfg(path);
    (void)cfg.name.get();
    (void)cfg.brand.get();
    (void)ReadTilelibCount(path);
    (void)IsTilelibFolder(catalogueFolder());

    const Status st = ws.mtilelib.LoadTilelibFromBytes(bytes, path);
    if (!st) {
        FuzzCheckRefusal(st.error(), path);
        return 0;
    }
    useLibrary(ws);
    return 0;
}
