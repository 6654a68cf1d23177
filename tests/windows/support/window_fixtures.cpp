#include "tests/windows/support/window_fixtures.h"

#include "engine/builtin_patterns.h"
#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/color_measure.h"
#include "imaging/picture_io.h"
#include "packages/zip_write.h"
#include "platform/file_io.h"
#include "render/mosaic_views.h"
#include "render/project_folder.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <memory>

QImage SolidPicture(int width, int height, TAlphaColor color)
{
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(color);
    return img;
}

QString WriteFixtureLibrary(const QString& folder, const std::vector<LibraryFixtureTile>& tiles,
                            const LibraryFixtureOptions& options)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("ready")) || (options.writeSource && !dir.mkpath(QStringLiteral("source"))))
        return folder + QStringLiteral(": cannot create the library folders");
    auto lib = std::make_unique<TTilelib>();
    lib->emptytilelib();
    lib->setRootpath(folder);
    lib->cfg.name.set(options.name);
    lib->cfg.Widthf = options.Widthf;
    lib->cfg.Heightf = options.Heightf;
    lib->cfg.SizeUnit = options.SizeUnit;
    lib->cfg.DPI = options.DPI;
    lib->cfg.widthPx = options.widthPx;
    lib->cfg.heightPx = options.heightPx;
    for (const LibraryFixtureTile& tile : tiles) {
        const int i = lib->Count;
        const QImage picture =
            tile.picture.isNull() ? SolidPicture(options.widthPx, options.heightPx, tile.color) : tile.picture;
        TTileItem& item = lib->items[i];
        item.FileName.set(tile.fileName);
        const TRectF whole{0, 0, float(picture.width()), float(picture.height())};
        GetImgColorInfo8(item.ColorInfo, picture, whole);
        for (TimgColorInfo& rot : item.RotColorInfo)
            rot = item.ColorInfo;
        lib->ItemEnable[i] = 1;
        lib->Count = i + 1;
        if (Status st = SavePicture(picture, lib->GetFullName(i)); !st) return st.error();
        if (options.writeSource)
            if (Status st = SavePicture(picture, lib->GetsourceName(i)); !st) return st.error();
    }
    if (Status st = lib->SaveTilelib(); !st) return st.error();
    if (options.writePreview)
        if (Status st = SavePicture(SolidPicture(64, 64, 0xFF3366CC), GetPreviewFileName(folder)); !st)
            return st.error();
    return {};
}

QString SaveFixtureProject(const QString& folder, const QString& scratch)
{
    const QString libFolder = QDir(scratch).filePath(QStringLiteral("fixture-library"));
    LibraryFixtureOptions options;
    options.writeSource = false;
    if (QString e = WriteFixtureLibrary(libFolder,
                                        {{QStringLiteral("red.png"), kFixtureRed, {}},
                                         {QStringLiteral("green.png"), kFixtureGreen, {}},
                                         {QStringLiteral("blue.png"), kFixtureBlue, {}}},
                                        options);
        !e.isEmpty())
        return e;

    auto ws = std::make_unique<Workspace>();
    if (Status st = ws->mtilelib.LoadTilelib(GetTilelibFileName(libFolder)); !st) return st.error();
    TMosaicProject& prj = ws->mproject;
    TprojectCFG& cfg = prj.cfg;
    prj.patterncfg = DefaultPattern();
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = cfg.Vcc = kFixtureCells;
    cfg.CellWdf = cfg.CellHtf = kFixtureCellSide;
    cfg.CellgapwdF = cfg.CellgaphtF = 0;
    const TPointF size = prj.GetProjectSize();
    cfg.FullWidthF = size.X;
    cfg.FullHeightF = size.Y;
    cfg.CanvasUnit = kUnitPixel;
    cfg.CanvasPPI = 100;
    cfg.PreviewBMPsize = static_cast<std::int32_t>(std::max(size.X, size.Y));
    cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 100;
    prj.MainSize_Update();
    prj.Cell_Reset();
    BuildPatternShapeMasks(ws->shapeMasks, prj.patterncfg);

    std::memset(&ws->moptions, 0, sizeof ws->moptions);
    ws->moptions.BgColor = kFixtureGrout;
    ws->moptions.AlphaBlend = 0.05; // both adjustments off: tiles keep their colours
    ws->moptions.ColorAdjust = 0.05;
    ws->fullSizeImage = SolidPicture(static_cast<int>(cfg.WidthPx / 2), static_cast<int>(cfg.HeightPx / 2), 0xFF808080)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ws->mainImageScale = ws->fullSizeImage.width() / cfg.WidthPx;
    for (int y = 0; y < kFixtureCells; ++y)
        for (int x = 0; x < kFixtureCells; ++x) {
            TCell& c = prj.Cells[y][x];
            c.TileID = FixtureTileAt(x, y);
            c.ICinfo.ci1.rgb = 0xFF808080;
        }
    cfg.searchDone = 1;

    QImage view;
    if (Status st = Draw_MosaicToView(*ws, 50, view, cfg.PreviewScale, nullptr); !st) return st.error();
    if (Status st = SaveProjectFolder(*ws, folder, view, nullptr); !st) return st.error();
    return {};
}

bool InstallBuiltinPattern(const QString& folder, const QString& fileName)
{
    if (!QDir().mkpath(folder)) return false;
    for (const BuiltinPattern& b : BuiltinPatterns())
        if (b.fileName == fileName)
            return SavePattern(b.pattern, QDir(folder).filePath(fileName)).ok() &&
                   SavePicture(PatternPreview(b.pattern), QDir(folder).filePath(fileName + ".jpg")).ok();
    return false;
}

QString WriteSmallContentRoot(const QString& root, const QString& scratch)
{
    const QString lib = QDir(scratch).filePath(QStringLiteral("content-library"));
    if (QString e = WriteFixtureLibrary(lib, {{QStringLiteral("red.png"), kFixtureRed, {}},
                                              {QStringLiteral("green.png"), kFixtureGreen, {}},
                                              {QStringLiteral("blue.png"), kFixtureBlue, {}}});
        !e.isEmpty())
        return e;
    QList<ZipSource> library = {
        ZipSource::fromFile(QStringLiteral("imagelib.dat"), lib + QStringLiteral("/imagelib.dat")),
        ZipSource::fromFile(QStringLiteral("preview.jpg"), lib + QStringLiteral("/preview.jpg")),
        ZipSource::folderEntry(QStringLiteral("source/")), ZipSource::folderEntry(QStringLiteral("ready/"))};
    for (const char* name : {"red.png", "green.png", "blue.png"})
        for (const char* sub : {"source", "ready"}) {
            const QString entry = QStringLiteral("%1/%2").arg(QLatin1String(sub), QLatin1String(name));
            library << ZipSource::fromFile(entry, QDir(lib).filePath(entry));
        }
    if (Status st = WriteZip(QDir(root).filePath(QStringLiteral("Resource_1")), library); !st) return st.error();

    const QString patterns = QDir(scratch).filePath(QStringLiteral("content-patterns"));
    QList<ZipSource> pack;
    for (const QString& name : {QStringLiteral("10_Rectangle.pat"), QStringLiteral("20_Ellipse.pat")}) {
        if (!InstallBuiltinPattern(patterns, name)) return name + QStringLiteral(": cannot write the pattern");
        pack << ZipSource::fromFile(name + QStringLiteral(".jpg"),
                                    QDir(patterns).filePath(name + QStringLiteral(".jpg")))
             << ZipSource::fromFile(name, QDir(patterns).filePath(name));
    }
    if (Status st = WriteZip(QDir(root).filePath(QStringLiteral("Resource_2")), pack); !st) return st.error();
    if (Status st =
            writeFileAtomically(QDir(root).filePath(QStringLiteral("Resource_3")), QByteArray("%PDF-1.4 manual"));
        !st)
        return st.error();
    for (int n = 1; n <= 3; ++n) {
        const QString png = QDir(scratch).filePath(QStringLiteral("photo%1.png").arg(n));
        if (Status st = SavePicture(SolidPicture(SmallContentPhotoWidth(n), 20, 0xFF336699), png); !st)
            return st.error();
        if (!QFile::copy(png, QDir(root).filePath(QStringLiteral("pngimage_%1").arg(n))))
            return png + QStringLiteral(": cannot copy the photo");
    }
    return {};
}
