// Damaged projects (cell sizes and factors no window sets) and failing writes in the
// drawing layer: bounded memory, no writes outside the project folder, previous files
// kept.

#include "render/final_mosaic.h"
#include "render/guide_rendering.h"
#include "render/mosaic_views.h"
#include "render/project_folder.h"
#include "render/working_views.h"

#include "platform/file_io.h"
#include "tests/render/final_render_fixtures.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

using namespace final_render_test;

namespace {

bool failEveryWrite(const QString&)
{
    return false;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(FinalTileSize, IsHeldToTheTileBitmapLimitKeepingItsProportions)
{
    auto ws = std::make_unique<Workspace>();
    struct Case {
        const char* name;
        double wd, ht;
        QSize expected;
    };
    const Case cases[] = {
        {"ordinary cell", 20, 15, QSize(80, 60)},
        {"largest unshrunk square", 2048, 2048, QSize(8192, 8192)},
        {"a damaged project's huge cell", 30000, 30000, QSize(8192, 8192)},
        {"wide huge cell keeps its proportions", 32000, 8000, QSize(16384, 4096)},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), 10, QSize(0, 40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws->mproject.cfg.CellWdPx = c.wd;
        ws->mproject.cfg.CellHtPx = c.ht;
        const QSize size = FinalTileSize(*ws);
        EXPECT_EQ(size, c.expected);
        EXPECT_LE(std::int64_t(size.width()) * size.height(), kMaxTileBitmapPixels);
    }
}

TEST(GuideCell, ACellTooLargeForAnyBitmapDrawsNothing)
{
    auto ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    MakeGridProject(*ws, 1, 1, 20);
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("red.png", 0xFFFF0000)}));
    SetCellTile(*ws, 0, 0, 0);
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    struct Case {
        const char* name;
        double wd, ht;
        bool drawn;
    };
    const Case cases[] = {{"ordinary cell", 20, 20, true},
                          {"9000 x 9000 pixels, above the limit", 9000, 9000, false},
                          {"not a number", std::numeric_limits<double>::quiet_NaN(), 20, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        image.fill(0xFF0000FF);
        ws->mproject.cfg.CellWdPx = c.wd;
        ws->mproject.cfg.CellHtPx = c.ht;
        Canvas canvas(image);
        Draw_FinalMosaic_OneCell_Guide(*ws, canvas, ws->mproject.Cells[0][0], 1.0, QPointF(0, 0), 10, true);
        EXPECT_EQ(PixelAt(image, 10, 10) != 0xFF0000FF, c.drawn) << Hex(PixelAt(image, 10, 10));
    }
}

TEST(CellPicture, AColourAdjustmentFactorBeyondAnyChannelSaturates)
{
    auto ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    MakeGridProject(*ws, 1, 1, 20);
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("grey.png", 0xFF808080)}));
    PlainOptions(*ws);
    SetCellTile(*ws, 0, 0, 0, 0xFFFF0000);
    ws->mproject.cfg.CellWdPx = ws->mproject.cfg.CellHtPx = 20;
    const QImage tile = *PrepareTileBitmap(*ws, 0, QSize(8, 8));
    const QImage mask = [] {
        QImage m(8, 8, QImage::Format_ARGB32_Premultiplied);
        m.fill(0xFFFFFFFF);
        return m;
    }();
    struct Case {
        const char* name;
        double factor;
        TAlphaColor expected;
    };
    const Case cases[] = {{"full step", 1.0, 0xFFFF0000},
                          {"far beyond a channel", 1e12, 0xFFFF0000},
                          {"far below zero, which switches it off", -1e12, 0xFF808080},
                          {"not a number", std::numeric_limits<double>::quiet_NaN(), 0xFF808080}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws->moptions.ColorAdjust = c.factor;
        const QImage cell = PrepareCellPicture(*ws, tile, 0, ws->mproject.Cells[0][0], mask);
        EXPECT_TRUE(Near(PixelAt(cell, 4, 4), c.expected, 2)) << Hex(PixelAt(cell, 4, 4));
    }
}

TEST(TilePhotoOfADamagedCell, AHugeCellAsksForABoundedDecode)
{
    auto ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    MakeGridProject(*ws, 1, 1, 20);
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("red.png", 0xFFFF0000)}));
    SetCellTile(*ws, 0, 0, 0);
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(0xFF0000FF);
    Canvas canvas(image);
    // A cell 1e10 layout units wide, as a damaged project may hold.
    ws->mproject.Cells[0][0].CellRectReal = TRectF{-5e9f, -5e9f, 5e9f, 5e9f};
    const Status st = Draw_onecell_tilephoto(*ws, 0, 0, canvas, 1.0);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_TRUE(Near(PixelAt(image, 10, 10), 0xFFFF0000, 2)) << Hex(PixelAt(image, 10, 10));
}

TEST(ProjectFolderWrites, ATileNameWithFoldersIsRefusedBeforeAnythingIsWritten)
{
    auto ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    MakeGridProject(*ws, 1, 1, 20);
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("a.png", 0xFFFF0000), Tile("b.png", 0xFF00FF00)}));
    ASSERT_TRUE(writeFileAtomically(dir.filePath("outside.png"), QByteArray("mine")).ok());
    // The reader refuses such a catalogue; a library filled some other way may hold one.
    ws->mtilelib.items[1].FileName.set("../../outside.png");
    QImage view(4, 4, QImage::Format_ARGB32_Premultiplied);
    view.fill(0xFF000000);
    const Status st = SaveProjectFolder(*ws, dir.filePath("projects/p"), view, nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("tile 1 has the file name \"../../outside.png\"")) << st.error().toStdString();
    EXPECT_EQ(readFile(dir.filePath("outside.png")), QByteArray("mine"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("projects/p/ready/a.png")));
}

TEST(ProjectFolderWrites, AFailedWriteKeepsTheSavedFolder)
{
    auto ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    MakeGridProject(*ws, 2, 2, 20);
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("a.png", 0xFFFF0000)}));
    SetMainImage(*ws, SolidPicture(20, 20, 0xFF808080));
    SetCellTile(*ws, 0, 0, 0);
    QImage view(8, 8, QImage::Format_ARGB32_Premultiplied);
    view.fill(0xFF102030);
    const QString folder = dir.filePath("saved");
    ASSERT_TRUE(SaveProjectFolder(*ws, folder, view, nullptr).ok());
    QStringList names;
    QList<QByteArray> before;
    for (const char* name : {"Mosaic.Prj", "imagelib.dat", "mainimage.jpg", "MosaicPicture.jpg", "ready/a.png"}) {
        names << QString::fromLatin1(name);
        before << readFile(joinPath(folder, QString::fromLatin1(name)));
    }

    SetCellTile(*ws, 1, 1, 0);
    view.fill(0xFFFFFFFF);
    SetMainImage(*ws, SolidPicture(20, 20, 0xFF000000));
    setWriteFaultHook(&failEveryWrite);
    const Status st = SaveProjectFolder(*ws, folder, view, nullptr);
    setWriteFaultHook(nullptr);

    ASSERT_FALSE(st.ok());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_TRUE(readFile(joinPath(folder, names[i])) == before[i]) << names[i].toStdString();
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    EXPECT_EQ(files, (QStringList{"Mosaic.Prj", "MosaicPicture.jpg", "imagelib.dat", "mainimage.jpg"}));
}

TEST(MosaicViewSize, AViewOfMoreThanTwoHundredMegapixelsIsRefusedBeforeItIsMade)
{
    auto ws = std::make_unique<Workspace>();
    struct Case {
        const char* name;
        double w, h;
        bool refused;
    };
    // Each side within 32768 pixels; only the whole is too much.
    const Case cases[] = {{"20000 x 20000", 20000, 20000, true}, {"32000 x 7000", 32000, 7000, true},
                          {"200 x 100", 200, 100, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws->mproject.cfg.FullWidthF = c.w;
        ws->mproject.cfg.FullHeightF = c.h;
        QImage view(3, 3, QImage::Format_ARGB32_Premultiplied);
        const Status st = Draw_MosaicToView(*ws, kDrawOutline, view, 1.0, nullptr);
        EXPECT_EQ(st.ok(), !c.refused) << st.error().toStdString();
        if (c.refused) {
            EXPECT_TRUE(st.error().contains("at most 200 megapixels")) << st.error().toStdString();
            EXPECT_EQ(view.size(), QSize(3, 3)); // nothing was allocated for it
        } else {
            EXPECT_EQ(view.size(), QSize(200, 100));
        }
    }
}
