// The main window driven as a user would: commands before and after a project is open,
// opening saved and broken project folders, view modes, zoom, picture export and the
// click routing of the editing tools.

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/overview_window.h"
#include "engine/data_folders.h"
#include "imaging/picture_io.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <cstdlib>

namespace {

bool Near(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A whole application with its windows, the main window on screen.
struct Running {
    TestApp t;
    explicit Running(const QStringList& arguments = {}) : t(arguments)
    {
        t.app().createWindows();
        ShowAndWait(form());
    }
    TForm1* form() { return t.app().Form1; }
    Workspace& ws() { return t.ws(); }
    QString docs(const QString& name) const { return t.documents.filePath(name); }

    // Saves the fixture project into documents/<name> and returns its Mosaic.Prj.
    QString savedProject(const QString& name = QStringLiteral("saved"))
    {
        const QString e = SaveFixtureProject(docs(name), docs(QStringLiteral("scratch")));
        if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        return docs(name) + QStringLiteral("/Mosaic.Prj");
    }
    // "Open" with the dialog answered by `file`.
    void openThroughDialog(const QString& file)
    {
        t.dialogs.answer(file);
        ClickButton(form(), "bt_open");
    }
    void showPage(const char* page)
    {
        auto* tabs = Control<QTabWidget>(form(), "TabControl1");
        QWidget* w = Control(form(), page);
        tabs->setTabVisible(tabs->indexOf(w), true);
        tabs->setCurrentWidget(w);
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void layoutAsAtStart()
    {
        Running r;
        TForm1* f = r.form();
        QCOMPARE(f->windowTitle(), QString("Quillary 19.61"));
        auto* tabs = Control<QTabWidget>(f, "TabControl1");
        QVERIFY(tabs);
        QStringList captions;
        QList<bool> visible;
        for (int i = 0; i < tabs->count(); ++i) {
            captions << tabs->tabText(i);
            visible << tabs->isTabVisible(i);
        }
        QCOMPARE(captions,
                 (QStringList{"Project", "View", "Edit", "Manual Assemble", "Robotic Assemble", "Project Info"}));
        QCOMPARE(visible, (QList<bool>{true, false, true, false, false, true}));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!Control<QToolButton>(f, "bt_showoverview")->isVisibleTo(f));
        QVERIFY(!Control<QToolButton>(f, "bt_poscard")->isVisibleTo(f));
        QCOMPARE(Control<QToolButton>(f, "bt_select")->iconSize(), QSize(32, 32));
        QCOMPARE(Control<QLabel>(f, "lb_scale")->text(), QString("Scale: 1"));
        QCOMPARE(f->scalePosition(), 94.14);
        QCOMPARE(f->zoom(), 1.0);
        QCOMPARE(Control<QLineEdit>(f, "ed_idtextheight")->text(), QString("18"));
        auto* box = Control<QScrollArea>(f, "ScrollBox1");
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(Control<QLabel>(f, "lb_progress")->text(), QString("Progress"));
        QCOMPARE(f->progressBar()->value(), 0);
        QVERIFY(f->findChild<QAction*>("MI_newmosaic")->shortcut() == QKeySequence(QKeySequence::New));
        QVERIFY(f->findChild<QAction*>("MI_exit")->shortcut() == QKeySequence(QKeySequence::Quit));
        // The creation handler made the user's data folders.
        QVERIFY(QFileInfo(r.ws().folders.projectsFolder).isDir());
        QVERIFY(!r.form()->hasPendingProject());
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void guardedCommandsBeforeRenderingOpenNothing()
    {
        Running r;
        QStringList called;
        WindowCommands& c = r.t.app().commands;
        c.showTilePicker = [&] { called << "picker"; };
        c.showTilePen = [&] { called << "pen"; };
        c.showGroutColor = [&] { called << "grout"; };
        c.showTileStatistics = [&] { called << "statistics"; };
        c.showWorkPlan = [&] { called << "workplan"; };
        c.showRobotCode = [&] { called << "robot"; };
        c.showProjectInfo = [&] { called << "info"; };
        r.showPage("tab_manual");
        r.showPage("tab_robotic");
        const char* guarded[] = {"bt_select", "bt_pen", "bt_groutcolor", "bt_tilestat", "bt_workplan", "bt_robotcode"};
        for (const char* name : guarded) {
            r.t.messages.shown.clear();
            QVERIFY2(ClickButton(r.form(), name), name);
            QCOMPARE(r.t.messages.shown.size(), 1);
            QCOMPARE(r.t.messages.shown[0].text, QString("Mosaic project not rendered yet!"));
            QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Information);
            QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::OK);
        }
        QVERIFY(called.isEmpty());
        QVERIFY(!r.form()->SelectMode);
        QVERIFY(!r.form()->PenMode);

        // Not guarded: they work before any rendering.
        r.t.messages.shown.clear();
        QVERIFY(ClickButton(r.form(), "bt_projectinfo"));
        QCOMPARE(called, QStringList{"info"});
        QVERIFY(ClickButton(r.form(), "bt_showfolder"));
        QCOMPARE(r.t.shell.opened, QStringList{r.ws().folders.DataRoot});
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void openingASavedProjectRendersItAndShowsTheOverview()
    {
        Running r;
        const QString prj = r.savedProject();
        QVERIFY(QFileInfo::exists(prj));
        r.openThroughDialog(prj);

        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].kind, QString("open"));
        QCOMPARE(r.t.dialogs.asked[0].filter, QString("Mosaic Project (*.prj)"));
        QCOMPARE(r.t.dialogs.asked[0].folder, r.ws().folders.projectsFolder);
        QVERIFY2(r.t.messages.shown.isEmpty(), qPrintable(r.t.messages.texts().join("; ")));
        QVERIFY(r.ws().mproject.Rendered);
        QCOMPARE(r.ws().mtilelib.Count, 3);

        const QImage& view = r.form()->Image1();
        QCOMPARE(view.deviceIndependentSize().toSize(), QSize(80, 80));
        for (int y = 0; y < kFixtureCells; ++y)
            for (int x = 0; x < kFixtureCells; ++x) {
                const QRgb expected = FixtureTileAt(x, y) == 0 ? kFixtureRed : kFixtureGreen;
                const QRgb got = view.pixel(x * 20 + 10, y * 20 + 10);
                QVERIFY2(Near(got, expected), qPrintable(QString("cell %1,%2: %3").arg(x).arg(y).arg(got, 8, 16)));
            }
        QCOMPARE(Control(r.form(), "Image1")->size(), QSize(80, 80));

        Tfoverview* overview = r.t.app().foverview;
        QVERIFY(overview->isVisible());
        QCOMPARE(overview->drawMode, 50);
        QCOMPARE(overview->shownPicture().size(), QSize(2048, 2048));
        QVERIFY(Near(overview->shownPicture().pixel(100, 100), kFixtureRed));
        QCOMPARE(Control<QLabel>(overview, "LB_Progress")->text(), QString("Draw Done"));
        QCOMPARE(Control<QProgressBar>(overview, "Overview_pbar1")->value(), 0);

        // The guarded commands are unlocked.
        int pickers = 0;
        r.t.app().commands.showTilePicker = [&] { ++pickers; };
        QVERIFY(ClickButton(r.form(), "bt_select"));
        QCOMPARE(pickers, 1);
        QVERIFY(r.form()->SelectMode);
        QVERIFY(r.t.messages.shown.isEmpty());
        // The project now lives in its folder.
        QVERIFY(ClickButton(r.form(), "bt_showfolder"));
        QCOMPARE(QFileInfo(r.t.shell.opened.last()).canonicalFilePath(),
                 QFileInfo(r.docs("saved")).canonicalFilePath());
    }

    void cancellingOrAVanishedFileOpensNothing()
    {
        Running r;
        r.openThroughDialog(QString());
        r.openThroughDialog(r.docs("gone/Mosaic.Prj"));
        QVERIFY(!r.ws().mproject.Rendered);
        QVERIFY(r.form()->Image1().isNull());
        QVERIFY(!r.t.app().foverview->isVisible());
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void brokenProjectFoldersAreReportedAndChangeNothing()
    {
        struct Case {
            const char* name;
            const char* file;
            bool remove; // else cut to a few bytes
            const char* inMessage;
        };
        const Case cases[] = {
            {"no imagelib.dat", "imagelib.dat", true, "imagelib.dat"},
            {"no mainimage.jpg", "mainimage.jpg", true, "mainimage.jpg"},
            {"corrupt Mosaic.Prj", "Mosaic.Prj", false, "Mosaic.Prj"},
        };
        for (const Case& c : cases) {
            Running r;
            // A good project first, so that "nothing changed" can be seen.
            r.openThroughDialog(r.savedProject(QStringLiteral("good")));
            QVERIFY(r.ws().mproject.Rendered);
            const QImage before = r.form()->Image1().copy();
            const QByteArray cfgBefore(reinterpret_cast<const char*>(&r.ws().mproject.cfg), sizeof(TprojectCFG));
            const QString libRoot = r.ws().mtilelib.rootPath();

            const QString bad = r.savedProject(QStringLiteral("bad"));
            const QString target = r.docs("bad/") + c.file;
            if (c.remove)
                QVERIFY(QFile::remove(target));
            else
                QVERIFY(WriteAll(target, ReadAll(target).left(40)));
            r.t.app().foverview->hide();
            r.openThroughDialog(bad);

            QVERIFY2(r.t.messages.shown.size() == 1, c.name);
            QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
            QVERIFY2(r.t.messages.shown[0].text.contains(c.inMessage), qPrintable(r.t.messages.shown[0].text));
            QVERIFY2(r.ws().mproject.Rendered, c.name);
            QVERIFY2(r.form()->Image1() == before, c.name);
            QVERIFY2(QByteArray(reinterpret_cast<const char*>(&r.ws().mproject.cfg), sizeof(TprojectCFG)) == cfgBefore,
                     c.name);
            QCOMPARE(r.ws().mtilelib.rootPath(), libRoot);
            QVERIFY2(!r.t.app().foverview->isVisible(), c.name);
        }
    }

    void viewModesRedrawTheMosaic()
    {
        Running r;
        r.openThroughDialog(r.savedProject());
        r.showPage("tab_view");
        const QImage final = r.form()->Image1().copy();
        const QRgb cellColour = final.pixel(10, 10);

        QVERIFY(ClickButton(r.form(), "bt_sourcecolor"));
        const QImage source = r.form()->Image1().copy();
        QVERIFY(source != final);
        QVERIFY2(Near(source.pixel(10, 10), 0xFF808080), "source colour is the measured grey");

        QVERIFY(ClickButton(r.form(), "bt_tilecolor"));
        const QImage tile = r.form()->Image1().copy();
        QVERIFY(tile != source);

        QVERIFY(ClickButton(r.form(), "bt_tilepic"));
        QVERIFY(Near(r.form()->Image1().pixel(10, 10), cellColour));
        QVERIFY(r.t.messages.shown.isEmpty());
        QCOMPARE(r.form()->zoom(), 1.0);
    }

    void tileIdViewsReadTheTextHeight()
    {
        Running r;
        r.openThroughDialog(r.savedProject());
        r.showPage("tab_view");
        auto* height = Control<QLineEdit>(r.form(), "ed_idtextheight");
        const QImage before = r.form()->Image1().copy();

        height->clear();
        QTest::keyClicks(height, "abc");
        QVERIFY(ClickButton(r.form(), "bt_tileidcolor"));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(r.t.messages.shown[0].text.contains("abc"));
        QCOMPARE(r.ws().workplanCfg.IDTextHeight, 18.0f);
        QVERIFY2(r.form()->Image1() == before, "not redrawn");

        height->clear();
        QTest::keyClicks(height, "9");
        QVERIFY(ClickButton(r.form(), "bt_tileidnocolor"));
        QCOMPARE(r.ws().workplanCfg.IDTextHeight, 9.0f);
        const QImage plain = r.form()->Image1().copy();
        QVERIFY(plain != before);
        QVERIFY2(Near(plain.pixel(3, 3), 0xFFFFFFFF), "mode 31 has no tile colour");

        QVERIFY(ClickButton(r.form(), "bt_tileidcolor"));
        QVERIFY(r.form()->Image1() != plain);
        QCOMPARE(r.t.messages.shown.size(), 1);
    }

    void theScaleBarZoomsWithoutDrawingAgain()
    {
        Running r;
        r.openThroughDialog(r.savedProject());
        const qint64 key = r.form()->Image1().cacheKey();
        auto* bar = Control<QSlider>(r.form(), "tb_scale");
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(r.form()->scalePosition(), 10.0);
        QCOMPARE(Control<QLabel>(r.form(), "lb_scale")->text(), QString("Scale: 0.10"));
        QCOMPARE(r.form()->zoom(), 0.1);
        QCOMPARE(r.form()->Image1().cacheKey(), key);
        QCOMPARE(Control(r.form(), "Image1")->size(), QSize(8, 8));

        QTest::keyClick(bar, Qt::Key_End);
        QCOMPARE(Control<QLabel>(r.form(), "lb_scale")->text(), QString("Scale: 1.00"));
        QCOMPARE(r.form()->Image1().cacheKey(), key);
        QCOMPARE(Control(r.form(), "Image1")->size(), QSize(80, 80));
    }

    void savePictureWritesWhatTheViewShows()
    {
        Running r;
        r.openThroughDialog(r.savedProject());
        r.t.dialogs.asked.clear();
        const QString name = r.docs("mine");
        r.t.dialogs.answer(name);
        QVERIFY(ClickButton(r.form(), "bt_savepic"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].folder, QString("Untitled"));
        QCOMPARE(r.t.dialogs.asked[0].suffix, QString("jpg"));
        QCOMPARE(r.t.dialogs.asked[0].filter, QString("JPG (*.jpg);;Bitmap (*.bmp);;PNG (*.png)"));
        QVERIFY(QFileInfo::exists(name + ".jpg"));
        Result<QImage> saved = LoadPicture(name + ".jpg");
        QVERIFY(saved.ok());
        QCOMPARE(saved->size(), r.form()->Image1().size());
        QVERIFY(ReadAll(name + ".jpg").startsWith("\xFF\xD8"));

        // The top bar's handler: its own title and filter; a ".png" name writes PNG.
        r.t.dialogs.answer(r.docs("other.png"));
        r.form()->bt_SavepicClick();
        QCOMPARE(r.t.dialogs.asked[1].caption, QString("Save Mosiac Picture"));
        QCOMPARE(r.t.dialogs.asked[1].filter, QString("jpg (*.jpg);;bmp (*.bmp);;png (*.png)"));
        QVERIFY(ReadAll(r.docs("other.png")).startsWith("\x89PNG"));

        // The menu item is the same command; cancelling writes nothing.
        QVERIFY(TriggerMenuItem(r.form(), "MI_savepic"));
        QCOMPARE(r.t.dialogs.asked.size(), 3);
        QVERIFY(r.t.messages.shown.isEmpty());

        // A name the codecs do not know is reported.
        r.t.dialogs.answer(r.docs("picture.xyz"));
        QVERIFY(ClickButton(r.form(), "bt_savepic"));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(!QFileInfo::exists(r.docs("picture.xyz")));
    }

    void clicksOnTheMosaicGoToTheToolsInTheImagesOwnUnits()
    {
        Running r;
        r.openThroughDialog(r.savedProject());
        QList<TPoint> selected;
        QList<QPair<TPoint, int>> painted;
        WindowCommands& c = r.t.app().commands;
        c.selectCell = [&](TPoint p) { selected << p; };
        c.paintCell = [&](TPoint p, int tile) { painted << qMakePair(p, tile); };
        QWidget* image = Control(r.form(), "Image1");

        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(30, 50));
        QVERIFY(selected.isEmpty() && painted.isEmpty());

        r.form()->PenMode = true;
        r.form()->PenTile = 2;
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(30, 50));
        QCOMPARE(painted.size(), 1);
        QCOMPARE(painted[0].first.X, 1);
        QCOMPARE(painted[0].first.Y, 2);
        QCOMPARE(painted[0].second, 2);
        r.form()->PenTile = -1;
        QTest::mouseClick(image, Qt::RightButton, {}, QPoint(30, 50));
        QCOMPARE(painted.size(), 1);

        // Select takes precedence over the pen; the zoom does not change the cell found.
        QVERIFY(ClickButton(r.form(), "bt_select"));
        auto* bar = Control<QSlider>(r.form(), "tb_scale");
        bar->setValue(5000);
        QCOMPARE(image->size(), QSize(40, 40));
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(35, 5));
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected[0].X, 3);
        QCOMPARE(selected[0].Y, 0);
        QCOMPARE(painted.size(), 1);
    }

    void aLongCommandIsNotStartedTwice()
    {
        Running r;
        r.openThroughDialog(r.savedProject());
        r.showPage("tab_view");
        const QImage before = r.form()->Image1().copy();
        {
            AppContext::LongCommand running(r.t.app());
            QVERIFY(!running.refused());
            QVERIFY(ClickButton(r.form(), "bt_sourcecolor"));
            QVERIFY2(r.form()->Image1() == before, "refused while another command runs");
            QCOMPARE(r.t.shell.beeps, 1);
            QVERIFY(!r.form()->OpenMosaicProject(r.docs("saved/Mosaic.Prj")));
        }
        QVERIFY(ClickButton(r.form(), "bt_sourcecolor"));
        QVERIFY(r.form()->Image1() != before);
    }

    void helpAndLinks()
    {
        Running r;
        QVERIFY(ClickButton(r.form(), "bt_help"));
        QVERIFY(TriggerMenuItem(r.form(), "MI_manual"));
        QVERIFY(TriggerMenuItem(r.form(), "MI_website"));
        const QString manual = r.ws().folders.DataRoot + "/QLYhelp.pdf";
        QCOMPARE(r.t.shell.opened, (QStringList{manual, manual, "https://quillary.invalid/"}));
        QVERIFY(TriggerMenuItem(r.form(), "MI_about"));
        QWidget* about = r.t.app().fabout;
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QString("About"));
        QVERIFY(Control<QLabel>(about, "lb_product")->font().pointSize() == 32);
        QCOMPARE(Control<QLabel>(about, "lb_version")->text(), QString("19.61"));
        QCOMPARE(Control<QLabel>(about, "lb_releasedate")->text(), QString("Release Date: FEB 2020 "));
        QVERIFY(ClickButton(about, "bt_homepage"));
        QCOMPARE(r.t.shell.opened.last(), QString("https://quillary.invalid/"));
        QVERIFY(ClickButton(about, "bt_close"));
        QVERIFY(!about->isVisible());
    }

    void newAndSaveGoToTheirWindowsAndExitCloses()
    {
        Running r;
        QStringList called;
        r.t.app().commands.showNewProject = [&] { called << "new"; };
        r.t.app().commands.showSaveProject = [&] { called << "save"; };
        r.ws().screenScale = 3.0f;
        QVERIFY(ClickButton(r.form(), "bt_new"));
        QCOMPARE(r.ws().screenScale, float(r.form()->devicePixelRatioF()));
        QVERIFY(TriggerMenuItem(r.form(), "MI_saveproject"));
        QCOMPARE(called, (QStringList{"new", "save"}));
        QVERIFY(TriggerMenuItem(r.form(), "MI_exit"));
        QVERIFY(!r.form()->isVisible());
    }

    void theFirstArgumentNamesAPendingProject()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Mosaic.Prj");
        QVERIFY(WriteAll(file, "x"));
        {
            TestApp t({file});
            t.app().createWindows();
            QVERIFY(t.app().Form1->hasPendingProject());
            QCOMPARE(t.app().Form1->pendingProjectPath(), file);
        }
        for (const QStringList& args :
             {QStringList{dir.filePath("missing.prj")}, QStringList{dir.path()}, QStringList{}}) {
            TestApp t(args);
            t.app().createWindows();
            QVERIFY(!t.app().Form1->hasPendingProject());
            QVERIFY(t.messages.shown.isEmpty());
        }
    }

    void everyShowingCallsTheStartHook()
    {
        TestApp t;
        int shown = 0;
        t.app().commands.mainWindowShown = [&] { ++shown; };
        t.app().createWindows();
        QVERIFY(ShowAndWait(t.app().Form1));
        t.app().Form1->hide();
        t.app().Form1->show();
        QCOMPARE(shown, 2);
    }

    void aDataFolderThatCannotBeMadeIsReportedAndStartUpGoesOn()
    {
        TestApp t;
        // A file where the data root should be.
        QVERIFY(WriteAll(t.documents.filePath("Quillary"), "in the way"));
        t.app().createWindows();
        QVERIFY(t.app().Form1);
        QCOMPARE(t.messages.shown.size(), 1);
        QCOMPARE(t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(t.app().foverview);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
