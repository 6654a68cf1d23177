// The application's start: the windows it creates, the start screen and the extraction
// window, and the first showing of the main window: the sample content installed, then
// the project named on the command line or a sample photo for the new-project window.

#include "app/main_window.h"
#include "app/overview_window.h"
#include "app/package_extract_window.h"
#include "app/project_info_window.h"
#include "app/save_project_window.h"
#include "app/start_screen.h"
#include "newproject/new_project_window.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Always the same draw, so the test knows which sample photo is chosen.
class FixedRandom final : public RandomSource {
public:
    explicit FixedRandom(int value) : m_value(value) {}
    int Random(int n) override
    {
        ++draws;
        return n <= 1 ? 0 : m_value % n;
    }
    void seed(std::uint32_t) override {}
    int draws = 0;

private:
    int m_value;
};

// The small content of the window fixtures in a folder of its own.
struct SmallContent {
    QTemporaryDir root;
    QTemporaryDir scratch;
    QString error;
    SmallContent() { error = WriteSmallContentRoot(root.path(), scratch.path()); }
};

// An application with the first-show steps; `draw` is the random draw that picks the
// sample photo (1 + draw).
struct Starting {
    TestApp t;
    FixedRandom random;
    Starting(const QStringList& arguments, const QString& resourceRoot, int draw = 1)
        : t(arguments, resourceRoot, /*firstShowSteps=*/true), random(draw)
    {
        t.app().createWindows();
        t.ws().setRandom(random);
    }
    bool show() { return ShowAndWait(t.app().Form1); }
    Workspace& ws() { return t.ws(); }
    QString data(const QString& rel) { return QDir(ws().folders.DataRoot).filePath(rel); }
    QStringList entries(const QString& folder, const QStringList& filter = {})
    {
        return QDir(folder).entryList(filter, QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

class AppStartTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowIsCreatedHidden()
    {
        TestApp t;
        t.app().createWindows();
        AppContext& a = t.app();
        struct Case {
            QWidget* window;
            const char* caption;
        };
        const Case cases[] = {{a.fSaveProject, "Save Mosaic Project"},
                              {a.fprojectInfo, "Project Info"},
                              {a.fstartscreen, "Quillary"},
                              {a.fnewprojectADV, "Create Mosaic Project"},
                              {a.funzipper, "Package Extract"}};
        for (const Case& c : cases) {
            QVERIFY2(c.window, c.caption);
            QCOMPARE(c.window->windowTitle(), QString(c.caption));
            QVERIFY(!c.window->isVisible());
        }
        QVERIFY(a.Form1 && a.FnewImglib && a.fBrowseImglib && a.foverview && a.fCellImageEdit && a.fabout &&
                a.ftilelibeditor && a.fColorRangeViewer);
        QVERIFY(a.commands.showNewProject && a.commands.showSaveProject && a.commands.showProjectInfo &&
                a.commands.refreshLibraryLists);
        // Without the first-show steps the main window shows nothing else.
        QVERIFY(!a.commands.mainWindowShown);
    }

    void theStartScreen()
    {
        TestApp t;
        t.app().createWindows();
        Tfstartscreen* s = t.app().fstartscreen;
        QCOMPARE(s->size(), QSize(886, 505));
        QVERIFY(s->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE((s->windowFlags() & Qt::Tool), Qt::Tool);
        QCOMPARE(Control(s, "Image1")->size(), QSize(649, 489));
        QCOMPARE(Control<QLabel>(s, "lb_product")->text(), QString("Quillary"));
        QCOMPARE(Control<QLabel>(s, "lb_product")->font().pointSize(), 20);
        QCOMPARE(Control<QLabel>(s, "lb_version")->text(), QString("19.61 "));
        QCOMPARE(Control<QLabel>(s, "lb_date")->text(), QString("FEB 2020 "));
        QCOMPARE(Control<QLabel>(s, "lb_tagline")->text(), QString("Mosaic Design Toolkit."));
        // The illustration is the same picture every time, and not a plain one.
        const QImage a = StartScreenIllustration(649, 489), b = StartScreenIllustration(649, 489);
        QCOMPARE(a, b);
        QSet<QRgb> colours;
        for (int y = 0; y < a.height(); y += 7)
            for (int x = 0; x < a.width(); x += 7)
                colours.insert(a.pixel(x, y));
        QVERIFY(colours.size() > 100);
        QVERIFY(ShowAndWait(s));
        ClickButton(s, "bt_website");
        ClickButton(s, "bt_forum");
        QCOMPARE(t.shell.opened, (QStringList{TForm1::HomePage(), "https://quillary.invalid/forum"}));
        QVERIFY(s->isVisible());
        ClickButton(s, "bt_makemosaic");
        QVERIFY(!s->isVisible());
    }

    void theExtractionWindow()
    {
        TestApp t;
        t.app().createWindows();
        Tfunzipper* u = t.app().funzipper;
        QCOMPARE(u->size(), QSize(369, 93));
        QCOMPARE(Control<QLabel>(u, "Label_file")->text(), QString("name"));
        QCOMPARE(Control<QLabel>(u, "lb_progress")->text(), QString("0"));
        ExtractionMonitor* m = u->monitor();
        m->showPackage("Default Img");
        QVERIFY(u->isVisible());
        QCOMPARE(Control<QLabel>(u, "Label_file")->text(), QString("Default Img"));
        m->progress()->setMaximum(20);
        m->progress()->setValue(3);
        m->progress()->setText("3/20   a.jpg");
        QCOMPARE(Control<QProgressBar>(u, "ProgressBar1")->value(), 3);
        QCOMPARE(Control<QProgressBar>(u, "ProgressBar1")->maximum(), 20);
        QCOMPARE(Control<QLabel>(u, "lb_progress")->text(), QString("3/20   a.jpg"));
        m->close();
        QVERIFY(!u->isVisible());
    }

    void theFirstStartInstallsTheSamplesAndLoadsAPhoto()
    {
        SmallContent content;
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        Starting s({}, content.root.path(), /*draw=*/1);
        QVERIFY(s.show());
        QVERIFY(s.t.messages.shown.isEmpty());
        AppContext& a = s.t.app();
        QVERIFY(a.fstartscreen->isVisible());
        // The content on disk.
        QCOMPARE(ReadAll(s.data("QLYhelp.pdf")), QByteArray("%PDF-1.4 manual"));
        QCOMPARE(ReadAll(s.data("Patterns.zip")), ReadAll(content.root.filePath("Resource_2")));
        const QString libs = s.ws().folders.userLibraryFolder;
        QCOMPARE(ReadAll(libs + "/DefaultSample.zip"), ReadAll(content.root.filePath("Resource_1")));
        QCOMPARE(s.entries(libs + "/DefaultSample"), (QStringList{"imagelib.dat", "preview.jpg", "ready", "source"}));
        QCOMPARE(s.entries(libs + "/DefaultSample/ready").size(), 3);
        QCOMPARE(s.entries(s.ws().folders.userPatternFolder, {"*.pat"}),
                 (QStringList{"10_Rectangle.pat", "20_Ellipse.pat"}));
        // The extraction window is closed, back at its rest.
        Tfunzipper* u = a.funzipper;
        QVERIFY(!u->isVisible());
        QCOMPARE(Control<QLabel>(u, "Label_file")->text(), QString("Pattern"));
        QCOMPARE(Control<QLabel>(u, "lb_progress")->text(), QString("-/-"));
        QCOMPARE(Control<QProgressBar>(u, "ProgressBar1")->value(), 0);
        // The new-project window is filled, holds sample photo 2 and is not shown.
        TfnewprojectADV* w = a.fnewprojectADV;
        QVERIFY(w->initialised());
        QVERIFY(!w->isVisible());
        QCOMPARE(s.random.draws, 1);
        QCOMPARE(s.ws().mainImage.size(), QSize(SmallContentPhotoWidth(2), 20));
        QCOMPARE(s.ws().mtilelib.Count, 3);
        QCOMPARE(Control<QListWidget>(w, "lbPatterns")->count(), 2);
        QVERIFY(!s.ws().zoomedImage.isNull());
        QVERIFY(!a.foverview->isVisible());

        // Showing the main window again repeats none of it.
        ClickButton(a.fstartscreen, "bt_makemosaic");
        QVERIFY(QDir(libs + "/DefaultSample").removeRecursively());
        const qint64 photo = s.ws().mainImage.cacheKey();
        a.Form1->hide();
        QVERIFY(s.show());
        QVERIFY(!a.fstartscreen->isVisible());
        QVERIFY(!QFileInfo::exists(libs + "/DefaultSample"));
        QCOMPARE(s.ws().mainImage.cacheKey(), photo);
        QCOMPARE(s.random.draws, 1);
        QVERIFY(s.t.messages.shown.isEmpty());
    }

    void aFailedInstallIsReportedAndStartGoesOn()
    {
        SmallContent content;
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QVERIFY(QFile::remove(content.root.filePath("Resource_3")));
        Starting s({}, content.root.path(), 2);
        QVERIFY(s.show());
        QCOMPARE(s.t.messages.shown.size(), 1);
        QCOMPARE(s.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(s.t.messages.shown[0].text.contains("Resource_3"));
        // The packages were installed all the same, and the photo loaded.
        QVERIFY(QFileInfo::exists(s.ws().folders.userLibraryFolder + "/DefaultSample/imagelib.dat"));
        QVERIFY(QFileInfo::exists(s.ws().folders.userPatternFolder + "/20_Ellipse.pat"));
        QCOMPARE(s.ws().mainImage.width(), SmallContentPhotoWidth(3));
    }

    void aProjectOnTheCommandLineIsOpened()
    {
        SmallContent content;
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QTemporaryDir saved;
        const QString e = SaveFixtureProject(saved.filePath("project"), saved.filePath("scratch"));
        QVERIFY2(e.isEmpty(), qPrintable(e));
        Starting s({saved.filePath("project/Mosaic.Prj")}, content.root.path());
        QVERIFY(s.t.app().Form1->hasPendingProject());
        QVERIFY(s.show());
        QVERIFY(s.t.messages.shown.isEmpty());
        AppContext& a = s.t.app();
        QVERIFY(!a.Form1->hasPendingProject());
        QVERIFY(a.fstartscreen->isVisible());
        QVERIFY(a.foverview->isVisible());
        QVERIFY(s.ws().mproject.Rendered);
        QCOMPARE(s.ws().mproject.cfg.Hcc, kFixtureCells);
        QCOMPARE(s.ws().mproject.Cells[0][1].TileID, FixtureTileAt(1, 0));
        QVERIFY(!a.Form1->Image1().isNull());
        // No sample photo, and the new-project window waits until it is needed.
        QVERIFY(s.ws().mainImage.isNull());
        QCOMPARE(s.random.draws, 0);
        QVERIFY(!a.fnewprojectADV->initialised());
        // The samples were installed before the project was opened.
        QVERIFY(QFileInfo::exists(s.ws().folders.userPatternFolder + "/20_Ellipse.pat"));
        TriggerMenuItem(a.Form1, "MI_newmosaic");
        QVERIFY(a.fnewprojectADV->initialised());
        QVERIFY(a.fnewprojectADV->isVisible());
    }

    void aMissingProjectPathIsLikeNoArgument()
    {
        SmallContent content;
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        Starting s({QDir(content.scratch.path()).filePath("nowhere/Mosaic.Prj")}, content.root.path(), 0);
        QVERIFY(!s.t.app().Form1->hasPendingProject());
        QVERIFY(s.show());
        QVERIFY(s.t.messages.shown.isEmpty());
        QVERIFY(!s.t.app().foverview->isVisible());
        QVERIFY(!s.ws().mproject.Rendered);
        QVERIFY(s.t.app().fnewprojectADV->initialised());
        QVERIFY(!s.t.app().fnewprojectADV->isVisible());
        QCOMPARE(s.ws().mainImage.width(), SmallContentPhotoWidth(1));
    }

    void theEmbeddedContentInstalls()
    {
        Starting s({}, ":/content", 0);
        QVERIFY(s.show());
        QVERIFY2(s.t.messages.shown.isEmpty(), qPrintable(s.t.messages.texts().join('\n')));
        const QString lib = s.ws().folders.userLibraryFolder + "/DefaultSample";
        QCOMPARE(s.entries(lib), (QStringList{"imagelib.dat", "preview.jpg", "ready", "source"}));
        const int tiles = s.ws().mtilelib.Count;
        QVERIFY(tiles > 100);
        QCOMPARE(s.entries(lib + "/ready").size(), tiles);
        QCOMPARE(s.entries(lib + "/source").size(), tiles);
        QCOMPARE(s.entries(s.ws().folders.userPatternFolder, {"*.pat"}).size(), 16);
        QCOMPARE(s.entries(s.ws().folders.userPatternFolder, {"*.pat.jpg"}).size(), 16);
        QVERIFY(ReadAll(s.data("QLYhelp.pdf")).startsWith("%PDF"));
        QVERIFY(!s.ws().mainImage.isNull());
        QCOMPARE(Control<QListWidget>(s.t.app().fnewprojectADV, "lbPatterns")->count(), 16);
    }
};

QTEST_MAIN(AppStartTest)
#include "app_start_test.moc"
