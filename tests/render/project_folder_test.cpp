#include "render/project_folder.h"

#include "imaging/picture_io.h"
#include "render/mosaic_views.h"
#include "tests/render/final_render_fixtures.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

using namespace final_render_test;

namespace {

constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kGreen = 0xFF00FF00;
constexpr TAlphaColor kBlue = 0xFF0000FF;

template <typename T> QByteArray bytesOf(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    names.sort();
    return names;
}

// Everything an open that is refused must leave alone.
struct WorkspaceState {
    QByteArray cfg, pattern, cells, addons, options, library;
    QString libraryRoot;
    QImage fullSizeImage, mask;
    double mainImageScale;
    bool rendered;

    explicit WorkspaceState(const Workspace& ws)
        : cfg(bytesOf(ws.mproject.cfg)), pattern(bytesOf(ws.mproject.patterncfg)), cells(bytesOf(ws.mproject.Cells)),
          addons(bytesOf(ws.mproject.AddonTiles)), options(bytesOf(ws.moptions)),
          library(bytesOf(static_cast<const TTilelibData&>(ws.mtilelib))), libraryRoot(ws.mtilelib.rootPath()),
          fullSizeImage(ws.fullSizeImage), mask(ws.shapeMasks[0][0]), mainImageScale(ws.mainImageScale),
          rendered(ws.mproject.Rendered)
    {
    }

    void expectSame(const WorkspaceState& o) const
    {
        EXPECT_TRUE(cfg == o.cfg) << "cfg";
        EXPECT_TRUE(pattern == o.pattern) << "patterncfg";
        EXPECT_TRUE(cells == o.cells) << "Cells";
        EXPECT_TRUE(addons == o.addons) << "AddonTiles";
        EXPECT_TRUE(options == o.options) << "moptions";
        EXPECT_TRUE(library == o.library) << "mtilelib";
        EXPECT_EQ(libraryRoot, o.libraryRoot);
        EXPECT_TRUE(fullSizeImage == o.fullSizeImage) << "fullSizeImage";
        EXPECT_TRUE(mask == o.mask) << "shapeMasks";
        EXPECT_EQ(mainImageScale, o.mainImageScale);
        EXPECT_EQ(rendered, o.rendered);
    }
};

class ProjectFolder : public testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QImage view;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // A 4 x 4 project of three tiles (the blue one unused) with every render option on,
    // over a uniform grey main image, which JPEG stores exactly.
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        MakeGridProject(*ws, 4, 4, 20);
        FixtureLibraryOptions o;
        o.widthPx = o.heightPx = 20;
        ASSERT_TRUE(UseLibrary(*ws, path("lib"),
                               {Tile("red.png", kRed), Tile("green.png", kGreen), Tile("blue.png", kBlue)}, o));
        PlainOptions(*ws, 0xFF202020);
        ws->moptions.BgMainImage = 1;
        ws->moptions.AlphaBlend = 0.25;
        ws->moptions.ColorAdjust = 0.4;
        SetMainImage(*ws, SolidPicture(40, 40, 0xFFC8C8C8));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                SetCellTile(*ws, x, y, (x + y) % 2, 0xFF000000 | (0x30 * x) << 16 | (0x30 * y) << 8 | 0x80);
        ws->mproject.Cells[1][2].TileID = -1;
        ws->mproject.Cells[2][1].Rotate = 0.5;
        renderView(*ws, view);
    }

    static void renderView(Workspace& w, QImage& out)
    {
        const Status st = Draw_MosaicToView(w, 50, out, w.mproject.cfg.PreviewScale, nullptr);
        ASSERT_TRUE(st.ok()) << st.error().toStdString();
        ASSERT_FALSE(out.isNull());
    }

    void save(const QString& folder, Progress* progress = nullptr)
    {
        const Status st = SaveProjectFolder(*ws, folder, view, progress);
        ASSERT_TRUE(st.ok()) << st.error().toStdString();
    }

    Status open(Workspace& target, const QString& file, QImage& out)
    {
        return OpenMosaicProject(target, file, out, nullptr);
    }
};

TEST_F(ProjectFolder, SavingWritesTheFiveEntriesAndEveryTilePicture)
{
    const QString F = path("saved");
    RecordingProgress progress;
    save(F, &progress);
    EXPECT_EQ(entries(F), (QStringList{"Mosaic.Prj", "MosaicPicture.jpg", "imagelib.dat", "mainimage.jpg", "ready"}));
    EXPECT_EQ(entries(F + "/ready"), (QStringList{"blue.png", "green.png", "red.png"})) << "the unused tile too";
    for (const char* name : {"red.png", "green.png", "blue.png"})
        EXPECT_EQ(readFile(F + "/ready/" + name), readFile(path("lib") + "/ready/" + name)) << name;
    EXPECT_EQ(progress.values, (std::vector<int>{0, 33, 66, 0}));
    EXPECT_EQ(ws->mproject.cfg.RootPath.get(), F);
    EXPECT_EQ(QFileInfo(ws->mtilelib.GetFullName(0)).absolutePath(), F + "/ready");
    const Result<QImage> picture = LoadPicture(F + "/MosaicPicture.jpg");
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture->size(), view.size());
}

TEST_F(ProjectFolder, AReopenedFolderRendersTheSamePicture)
{
    const QString F = path("saved");
    save(F);
    struct Case {
        const char* name;
        QString given;
    };
    const Case cases[] = {{"the project file", F + "/Mosaic.Prj"}, {"the folder", F}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace reopened;
        QImage reopenedView;
        const Status st = open(reopened, c.given, reopenedView);
        ASSERT_TRUE(st.ok()) << st.error().toStdString();
        EXPECT_TRUE(reopened.mproject.Rendered);
        ASSERT_TRUE(reopened.fullSizeImage == ws->fullSizeImage) << "the grey main image comes back exactly";
        EXPECT_DOUBLE_EQ(reopened.mainImageScale, ws->mainImageScale);
        EXPECT_TRUE(bytesOf(reopened.mproject.cfg) == bytesOf(ws->mproject.cfg));
        EXPECT_TRUE(bytesOf(reopened.mproject.Cells) == bytesOf(ws->mproject.Cells));
        EXPECT_TRUE(bytesOf(reopened.moptions) == bytesOf(ws->moptions));
        EXPECT_TRUE(bytesOf(static_cast<const TTilelibData&>(reopened.mtilelib)) ==
                    bytesOf(static_cast<const TTilelibData&>(ws->mtilelib)));
        EXPECT_TRUE(reopened.shapeMasks[0][0] == ws->shapeMasks[0][0]);
        EXPECT_EQ(reopenedView.size(), view.size());
        EXPECT_TRUE(reopenedView == view) << "pixel-identical";
    }
}

TEST_F(ProjectFolder, ReSavingIntoTheSameFolderKeepsItsPictures)
{
    const QString F = path("saved");
    save(F);
    const QByteArray red = readFile(F + "/ready/red.png");
    ASSERT_FALSE(red.isEmpty());
    ws->mproject.Cells[0][0].TileID = 2;
    renderView(*ws, view);
    save(F);
    EXPECT_EQ(readFile(F + "/ready/red.png"), red);
    Workspace reopened;
    QImage reopenedView;
    const Status st = open(reopened, F, reopenedView);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(reopened.mproject.Cells[0][0].TileID, 2);
    EXPECT_TRUE(reopenedView == view);
}

TEST_F(ProjectFolder, AFolderThatTheProjectCannotNameIsRefusedBeforeWriting)
{
    struct Case {
        const char* name;
        QString folder;
        const char* message;
    };
    const Case cases[] = {
        {"too long", path("long/") + QString(260, QLatin1Char('a')), "at most 250"},
        {"outside the code page", path("\u041F\u0440\u043E\u0435\u043A\u0442"), "Windows-1252"},
    };
    const WorkspaceState before(*ws);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status st = SaveProjectFolder(*ws, c.folder, view, nullptr);
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(QLatin1String(c.message))) << st.error().toStdString();
        EXPECT_FALSE(QFileInfo::exists(c.folder));
        before.expectSame(WorkspaceState(*ws));
    }
}

TEST_F(ProjectFolder, ATilePictureThatCannotBeCopiedStopsTheSave)
{
    ASSERT_TRUE(QFile::remove(path("lib/ready/green.png")));
    const QString F = path("saved");
    const Status st = SaveProjectFolder(*ws, F, view, nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(QStringLiteral("green.png"))) << st.error().toStdString();
    EXPECT_EQ(entries(F), QStringList{"ready"});
    EXPECT_EQ(entries(F + "/ready"), QStringList{"red.png"});
}

TEST_F(ProjectFolder, AFolderThatDoesNotOpenChangesNothing)
{
    const QString F = path("saved");
    save(F);
    const QByteArray prj = readFile(F + "/Mosaic.Prj");
    const QByteArray lib = readFile(F + "/imagelib.dat");
    const QByteArray mainImage = readFile(F + "/mainimage.jpg");

    // The project already open: another library, main image and layout.
    Workspace current;
    MakeGridProject(current, 3, 2, 10);
    FixtureLibraryOptions o;
    o.widthPx = o.heightPx = 10;
    ASSERT_TRUE(UseLibrary(current, path("otherlib"), {Tile("grey.png", 0xFF808080)}, o));
    SetMainImage(current, SolidPicture(15, 10, 0xFF123456));
    PlainOptions(current, 0xFF00FF00);
    current.mproject.Cells[1][2].TileID = 0;
    current.mproject.Rendered = true;
    const WorkspaceState before(current);

    struct Case {
        const char* name;
        std::function<void()> breakFolder;
        QString given;
        const char* message;
    };
    const Case cases[] = {
        {"no imagelib.dat", [&] { QFile::remove(F + "/imagelib.dat"); }, F + "/Mosaic.Prj", "imagelib.dat"},
        {"no mainimage.jpg", [&] { QFile::remove(F + "/mainimage.jpg"); }, F + "/Mosaic.Prj", "mainimage.jpg"},
        {"no Mosaic.Prj", [&] { QFile::remove(F + "/Mosaic.Prj"); }, F, "Mosaic.Prj"},
        {"truncated Mosaic.Prj", [&] { writeFile(F + "/Mosaic.Prj", prj.left(3440 + 2664)); }, F, "Mosaic.Prj"},
        {"Mosaic.Prj with Vcc 5000",
         [&] {
             QByteArray bad = prj;
             const std::int32_t vcc = 5000;
             std::memcpy(bad.data() + offsetof(TprojectCFG, Vcc), &vcc, sizeof vcc);
             writeFile(F + "/Mosaic.Prj", bad);
         },
         F, "Vcc is 5000"},
        {"truncated imagelib.dat", [&] { writeFile(F + "/imagelib.dat", lib.left(900)); }, F, "imagelib.dat"},
        {"mainimage.jpg not a picture", [&] { writeFile(F + "/mainimage.jpg", "not a picture"); }, F, "mainimage.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFile(F + "/Mosaic.Prj", prj) && writeFile(F + "/imagelib.dat", lib) &&
                    writeFile(F + "/mainimage.jpg", mainImage));
        c.breakFolder();
        QImage currentView(7, 7, QImage::Format_ARGB32_Premultiplied);
        currentView.fill(Qt::cyan);
        const QImage viewBefore = currentView;
        const Status st = open(current, c.given, currentView);
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(QLatin1String(c.message))) << st.error().toStdString();
        before.expectSame(WorkspaceState(current));
        EXPECT_TRUE(currentView == viewBefore) << "the main view is not touched";
    }
}

TEST_F(ProjectFolder, AMissingTilePictureOpensTheProjectUnrendered)
{
    const QString F = path("saved");
    save(F);
    ASSERT_TRUE(QFile::remove(F + "/ready/blue.png"));
    Workspace reopened;
    reopened.mproject.Rendered = true;
    QImage reopenedView;
    const Status st = open(reopened, F, reopenedView);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(QStringLiteral("blue.png"))) << st.error().toStdString();
    EXPECT_FALSE(reopened.mproject.Rendered);
    EXPECT_EQ(reopened.mproject.cfg.Hcc, 4) << "the project itself is open";
    EXPECT_EQ(reopened.mtilelib.Count, 3);
}

} // namespace
