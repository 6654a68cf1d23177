// The library windows driven as a user would: browsing libraries, creating one, adding
// photos in the editor, its colour range, and opening the crop editor.

#include "app/main_window.h"
#include "app/picture_view.h"
#include "imaging/picture_io.h"
#include "library_windows/browse_library_window.h"
#include "library_windows/color_range_viewer.h"
#include "library_windows/new_library_window.h"
#include "library_windows/tile_crop_editor.h"
#include "library_windows/tile_library_editor.h"
#include "render/color_charts.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"
#include "tilelib/tilelib.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

namespace {

struct Running {
    TestApp t;
    Running()
    {
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
    }
    AppContext& app() { return t.app(); }
    Workspace& ws() { return t.ws(); }
    QString userLib(const QString& name) const
    {
        return QDir(t.context->ws().folders.userLibraryFolder).filePath(name);
    }
    QString docs(const QString& name) const { return t.documents.filePath(name); }

    // "Manage Lib", then a click on the library called `name`.
    bool browseTo(const QString& name)
    {
        TriggerMenuItem(app().Form1, "MI_managelib");
        auto* list = Control<QListWidget>(app().fBrowseImglib, "lb_imgliblist");
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        if (found.size() != 1) return false;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
        return true;
    }
    QString label(QWidget* w, const char* name) { return Control<QLabel>(w, name)->text(); }
};

QStringList Entries(const QString& folder)
{
    QStringList e = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    e.sort();
    return e;
}

} // namespace

class LibraryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void theBrowserShowsALibrarysSettings()
    {
        Running r;
        LibraryFixtureOptions options;
        options.name = "Garden";
        QString e = WriteFixtureLibrary(
            r.userLib("garden"), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF00FF00, {}}, {"c.png", 0xFF0000FF, {}}},
            options);
        QVERIFY2(e.isEmpty(), qPrintable(e));
        TfBrowseImglib* browser = r.app().fBrowseImglib;
        QVERIFY(r.browseTo("Garden"));
        QVERIFY(browser->isVisible());
        QCOMPARE(browser->windowTitle(), QString("Photo Library"));
        QCOMPARE(r.label(browser, "lb_libname"), QString("Tile Lib Name: Garden"));
        QCOMPARE(r.label(browser, "lb_libpath"), "Tile Lib path: " + r.userLib("garden"));
        QCOMPARE(r.label(browser, "lb_tilecount"), QString("Tile Count: 3"));
        QCOMPARE(r.label(browser, "lb_tilesize"), QString("Tile Size: 8.50x8.50 mm"));
        QCOMPARE(r.ws().mbrowselib.Count, 3);
        QCOMPARE(browser->selectedFolder(), r.userLib("garden"));
        QVERIFY(!Control<PictureView>(browser, "img_preview")->picture().isNull());
        QVERIFY(r.t.messages.shown.isEmpty());

        // A library whose catalogue is cut short: reported, and nothing changes.
        options.name = "Broken";
        e = WriteFixtureLibrary(r.userLib("broken"), {{"x.png", 0xFF000000, {}}}, options);
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QFile cat(GetTilelibFileName(r.userLib("broken")));
        QVERIFY(cat.open(QIODevice::ReadWrite));
        QVERIFY(cat.resize(900));
        cat.close();
        QVERIFY(r.browseTo("Broken"));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(r.t.messages.shown[0].text.contains("imagelib.dat"));
        QCOMPARE(r.ws().mbrowselib.Count, 3);
        QCOMPARE(browser->selectedFolder(), r.userLib("garden"));
        QCOMPARE(r.label(browser, "lb_libname"), QString("Tile Lib Name: Garden"));
    }

    void aLibraryIsNotLoadedWhileALongCommandRuns()
    {
        Running r;
        const QString e =
            WriteFixtureLibrary(r.userLib("garden"), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF00FF00, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        {
            // As while "Add Photos" fills mbrowselib and lets events run.
            AppContext::LongCommand adding(r.app());
            QVERIFY(r.browseTo("Fixture"));
            QCOMPARE(r.ws().mbrowselib.Count, 0);
            QCOMPARE(r.app().fBrowseImglib->selectedFolder(), QString());
            QCOMPARE(r.t.shell.beeps, 1);
        }
        QVERIFY(r.browseTo("Fixture"));
        QCOMPARE(r.ws().mbrowselib.Count, 2);
    }

    void theTileSizeTextNamesTheUnit()
    {
        QCOMPARE(TileSizeText(8.5f, 8.5f, 2), QString("Tile Size: 8.50x8.50 mm"));
        QCOMPARE(TileSizeText(2.0f, 1.5f, 1), QString("Tile Size: 2.00x1.50 inch"));
        QCOMPARE(TileSizeText(2.0f, 1.5f, 0), QString("Tile Size: 2.00x1.50"));
        QCOMPARE(TileSizeText(12.25f, 100.0f, 2), QString("Tile Size: 12.25x100.00 mm"));
    }

    void manageNeedsALibraryAndOpensTheEditor()
    {
        Running r;
        TfBrowseImglib* browser = r.app().fBrowseImglib;
        TriggerMenuItem(r.app().Form1, "MI_managelib");
        QVERIFY(ClickButton(browser, "bt_manage"));
        QCOMPARE(r.t.messages.texts(), QStringList{"Please choose a image library first."});
        QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::OKCancel);
        QVERIFY(!r.app().ftilelibeditor->isVisible());

        const QString e =
            WriteFixtureLibrary(r.userLib("garden"), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF00FF00, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(browser, "bt_manage"));
        QVERIFY(r.app().ftilelibeditor->isVisible());
        QCOMPARE(r.app().ftilelibeditor->windowTitle(), QString("Edit Image Library"));
        QCOMPARE(r.app().ftilelibeditor->tileList()->topLevelItemCount(), 2);
        QVERIFY(!browser->isVisible());
        QCOMPARE(r.t.messages.shown.size(), 1);
    }

    void theSizeTextFollowsTheBoxes()
    {
        Running r;
        TFnewImglib* w = r.app().FnewImglib;
        QCOMPARE(w->windowTitle(), QString("Create New Image Lib"));
        QCOMPARE(r.label(w, "lb_cellsize"), QString("Printed Cell Size"));
        QCOMPARE(Control<QLineEdit>(w, "ed_libname")->text(), QString("Untitled Image Lib"));
        auto* width = Control<QSpinBox>(w, "sb_width");
        auto* height = Control<QSpinBox>(w, "sb_height");
        auto* ppi = Control<QDoubleSpinBox>(w, "sb_ppi");
        QCOMPARE(width->value(), 400);
        QCOMPARE(height->value(), 400);
        QCOMPARE(ppi->value(), 200.0);
        QCOMPARE(width->maximum(), 800);
        QCOMPARE(ppi->maximum(), 600.0);
        ShowAndWait(w);
        width->setValue(401);
        width->setValue(400);
        QCOMPARE(r.label(w, "lb_cellsize"), QString("Printed Cell Size :2.00 x 2.00 Inch  or  50.80 x 50.80 mm"));
        height->setValue(100);
        QCOMPARE(r.label(w, "lb_cellsize"), QString("Printed Cell Size :2.00 x 0.50 Inch  or  50.80 x 12.70 mm"));
        ppi->setValue(0);
        QCOMPARE(r.label(w, "lb_cellsize"), QString("Printed Cell Size : PPI must be more than 0"));
    }

    void theFolderIsSuggestedOnEveryKeyRelease()
    {
        Running r;
        r.t.clock.time = QDateTime(QDate(2019, 4, 26), QTime(1, 24, 2));
        TFnewImglib* w = r.app().FnewImglib;
        ShowAndWait(w);
        auto* name = Control<QLineEdit>(w, "ed_libname");
        auto* folder = Control<QLineEdit>(w, "ed_folder");
        QCOMPARE(folder->text(), QString());
        name->clear();
        QTest::keyClicks(name, "flowers");
        QCOMPARE(folder->text(), r.userLib("flowers2019-4-26-1-24-2"));
        r.t.clock.time = QDateTime(QDate(2021, 12, 31), QTime(23, 5, 9));
        QTest::keyClicks(name, "s");
        QCOMPARE(folder->text(), r.userLib("flowerss2021-12-31-23-5-9"));
    }

    void theFolderChooserStartsInTheLibraryFolder()
    {
        Running r;
        TFnewImglib* w = r.app().FnewImglib;
        r.t.dialogs.answer(r.docs("chosen"));
        QVERIFY(ClickButton(w, "bt_select"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].kind, QString("folder"));
        QCOMPARE(r.t.dialogs.asked[0].caption, QString("Select"));
        QCOMPARE(r.t.dialogs.asked[0].folder, r.ws().folders.userLibraryFolder);
        QCOMPARE(Control<QLineEdit>(w, "ed_folder")->text(), r.docs("chosen"));
        QVERIFY(ClickButton(w, "bt_select")); // cancelled: the field stays
        QCOMPARE(Control<QLineEdit>(w, "ed_folder")->text(), r.docs("chosen"));
    }

    void creatingIsRefusedWithoutNameFolderOrEmptyFolder()
    {
        Running r;
        TFnewImglib* w = r.app().FnewImglib;
        auto* name = Control<QLineEdit>(w, "ed_libname");
        auto* folder = Control<QLineEdit>(w, "ed_folder");
        name->clear();
        QVERIFY(ClickButton(w, "bt_ok"));
        folder->clear();
        QTest::keyClicks(name, "x");
        folder->clear();
        QVERIFY(ClickButton(w, "bt_ok"));
        QCOMPARE(r.t.messages.texts(), (QStringList{"Please give your image lib a NAME!",
                                                    "Please select a folder to store your image lib!"}));
        QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::OKCancel);
        QCOMPARE(r.t.messages.shown[1].kind, MessageKind::Error);

        const QString full = r.docs("full");
        QVERIFY(QDir().mkpath(full));
        QFile f(full + "/photo.jpg");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        folder->setText(full);
        r.t.messages.shown.clear();
        QVERIFY(ClickButton(w, "bt_ok"));
        QCOMPARE(r.t.messages.texts(), QStringList{"The folder is not empty, Please select an empty folder"});
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::OK);
        QCOMPARE(Entries(full), QStringList{"photo.jpg"});
        QVERIFY(!r.app().ftilelibeditor->isVisible());
    }

    void creatingInAMissingFolderAsksAndMakesTheLibrary()
    {
        Running r;
        // The editor showed another library before.
        const QString e = WriteFixtureLibrary(r.userLib("garden"), {{"a.png", 0xFFFF0000, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        QCOMPARE(r.app().ftilelibeditor->tileList()->topLevelItemCount(), 1);
        r.app().ftilelibeditor->hide();

        int refreshed = 0;
        r.app().commands.refreshLibraryLists = [&] { ++refreshed; };
        TFnewImglib* w = r.app().FnewImglib;
        r.app().FnewImglib->ShowForNewLibrary("New Photo Lib");
        QVERIFY(w->isVisible());
        QVERIFY(!r.app().fBrowseImglib->isVisible());
        auto* folder = Control<QLineEdit>(w, "ed_folder");
        QCOMPARE(folder->text(), r.userLib("New Photo Lib2020-2-5-9-7-3"));

        // Answered No: nothing is made.
        const QString target = r.userLib("new lib");
        folder->setText(target);
        r.t.messages.answer(MessageAnswer::No);
        QVERIFY(ClickButton(w, "bt_ok"));
        QCOMPARE(r.t.messages.texts(), QStringList{"The folder does not exists, create?"});
        QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::YesNo);
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(w->isVisible());

        // Yes: the folder with its parents, the library, the editor on it.
        r.t.messages.shown.clear();
        r.t.messages.answer(MessageAnswer::Yes);
        QVERIFY(ClickButton(w, "bt_ok"));
        QCOMPARE(r.t.messages.texts(), QStringList{"The folder does not exists, create?"});
        QCOMPARE(Entries(target), (QStringList{"imagelib.dat", "preview.jpg", "ready", "source"}));
        QCOMPARE(ReadTilelibCount(GetTilelibFileName(target)), 0);
        const TtileLibCfg cfg = ReadTilelibCfg(GetTilelibFileName(target));
        QCOMPARE(cfg.name.get(), QString("New Photo Lib"));
        QCOMPARE(cfg.widthPx, 400);
        QCOMPARE(cfg.heightPx, 400);
        QCOMPARE(r.ws().mbrowselib.Count, 0);
        QVERIFY(r.app().ftilelibeditor->isVisible());
        QCOMPARE(r.app().ftilelibeditor->tileList()->topLevelItemCount(), 0);
        QVERIFY(!w->isVisible());
        QCOMPARE(refreshed, 1);
        QVERIFY(r.app().fBrowseImglib->libraryNames().contains("New Photo Lib"));

        // Missing parents are made too.
        const QString deep = r.docs("a/b/deeper");
        r.app().FnewImglib->ShowForNewLibrary("Deep");
        folder->setText(deep);
        QVERIFY(ClickButton(w, "bt_ok"));
        QCOMPARE(Entries(deep), (QStringList{"imagelib.dat", "preview.jpg", "ready", "source"}));
        QCOMPARE(refreshed, 2);
    }

    void editorRowsNameTheirTiles()
    {
        QCOMPARE(TileRowText(0, "a.jpg"), QString("  1:    a.jpg"));
        QCOMPARE(TileRowText(41, "b.png"), QString(" 42:    b.png"));
        QCOMPARE(TileRowText(1233, "c.png"), QString("1234:    c.png"));

        Running r;
        const QString folder = r.userLib("garden");
        const QString e = WriteFixtureLibrary(folder, {{"a.jpg", 0xFFFF0000, {}}, {"b.jpg", 0xFF00FF00, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        QTreeWidget* list = r.app().ftilelibeditor->tileList();
        QCOMPARE(list->topLevelItem(0)->text(0), QString("  1:    a.jpg"));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("  2:    b.jpg"));
        QCOMPARE(list->topLevelItem(0)->text(1), r.ws().mbrowselib.GetFullName(0));
        QVERIFY(list->topLevelItem(0)->text(1).endsWith("/ready/a.jpg"));
        const QImage thumb = list->topLevelItem(0)->icon(0).pixmap(QSize(32, 32)).toImage();
        QCOMPARE(thumb.size(), QSize(32, 32));
        QVERIFY(qRed(thumb.pixel(16, 16)) > 200 && qGreen(thumb.pixel(16, 16)) < 60);
    }

    void addingPhotosSkipsNamesThatAreThereAndResetsTheBar()
    {
        Running r;
        const QString e =
            WriteFixtureLibrary(r.userLib("garden"), {{"p0.jpg", 0xFFFF0000, {}}, {"p1.jpg", 0xFF00FF00, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        Tftilelibeditor* editor = r.app().ftilelibeditor;

        QDir().mkpath(r.docs("photos"));
        QStringList photos;
        for (int i = 0; i < 10; ++i) {
            const QString p = r.docs(QString("photos/p%1.jpg").arg(i));
            QVERIFY(SavePicture(SolidPicture(60, 40, 0xFF000000 | (i * 25) << 16 | 0x40), p).ok());
            photos << p;
        }
        r.t.dialogs.answerMany(photos);
        QVERIFY(ClickButton(editor, "bt_addphotos"));
        QCOMPARE(r.t.dialogs.asked.last().kind, QString("openMany"));
        QCOMPARE(r.t.dialogs.asked.last().filter, QString());
        QCOMPARE(r.ws().mbrowselib.Count, 10);
        QCOMPARE(editor->tileList()->topLevelItemCount(), 10);
        QCOMPARE(editor->tileList()->topLevelItem(9)->text(0), QString(" 10:    p9.jpg"));
        QCOMPARE(Control<QProgressBar>(editor, "pb_progress")->value(), 0);
        QVERIFY(r.t.messages.shown.isEmpty());
        // Only the catalogue on disk waits for "Save Changes".
        QCOMPARE(ReadTilelibCount(GetTilelibFileName(r.userLib("garden"))), 2);
        QVERIFY(QFileInfo::exists(r.userLib("garden/ready/p9.jpg")));

        QVERIFY(ClickButton(editor, "bt_savechanges"));
        QCOMPARE(ReadTilelibCount(GetTilelibFileName(r.userLib("garden"))), 10);
        QVERIFY(!editor->isVisible());
    }

    void photosThatFailAreListedInOneMessage()
    {
        Running r;
        const QString e = WriteFixtureLibrary(r.userLib("garden"), {{"a.jpg", 0xFFFF0000, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        QDir().mkpath(r.docs("photos"));
        const QString good1 = r.docs("photos/good1.png"), good2 = r.docs("photos/good2.png");
        const QString bad1 = r.docs("photos/bad1.jpg"), bad2 = r.docs("photos/bad2.jpg");
        QVERIFY(SavePicture(SolidPicture(30, 30, 0xFF00FF00), good1).ok());
        QVERIFY(SavePicture(SolidPicture(30, 30, 0xFF0000FF), good2).ok());
        for (const QString& p : {bad1, bad2}) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a picture");
        }
        r.t.dialogs.answerMany({bad1, good1, bad2, good2});
        QVERIFY(ClickButton(r.app().ftilelibeditor, "bt_addphotos"));
        QCOMPARE(r.ws().mbrowselib.Count, 3);
        QCOMPARE(r.ws().mbrowselib.items[1].FileName.get(), QString("good1.png"));
        QCOMPARE(r.ws().mbrowselib.items[2].FileName.get(), QString("good2.png"));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(r.t.messages.shown[0].text.contains(bad1));
        QVERIFY(r.t.messages.shown[0].text.contains(bad2));
        QVERIFY(!r.t.messages.shown[0].text.contains(good1));
        QCOMPARE(r.app().ftilelibeditor->tileList()->topLevelItemCount(), 3);
    }

    void discardKeepsTheItemsInMemoryOnly()
    {
        Running r;
        const QString e = WriteFixtureLibrary(r.userLib("garden"), {{"a.jpg", 0xFFFF0000, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        const QString p = r.docs("new.png");
        QVERIFY(SavePicture(SolidPicture(30, 30, 0xFF00FF00), p).ok());
        r.t.dialogs.answerMany({p});
        QVERIFY(ClickButton(r.app().ftilelibeditor, "bt_addphotos"));
        QVERIFY(ClickButton(r.app().ftilelibeditor, "bt_discardchanges"));
        QVERIFY(!r.app().ftilelibeditor->isVisible());
        QCOMPARE(r.ws().mbrowselib.Count, 2);
        QCOMPARE(ReadTilelibCount(GetTilelibFileName(r.userLib("garden"))), 1);
    }

    void theColorRangeOfTheLibrary()
    {
        Running r;
        const QString e =
            WriteFixtureLibrary(r.userLib("garden"), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF0000FF, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        auto* chart = Control<PictureView>(r.app().ftilelibeditor, "img_colorrange");
        QCOMPARE(chart->size(), QSize(540, 180));
        QVERIFY(chart->picture().isNull());
        QVERIFY(ClickButton(r.app().ftilelibeditor, "bt_colorrange"));
        QCOMPARE(chart->picture().size(), QSize(1080, 360));
        TColorHistogram hist;
        TileLibColorHistogram(hist, r.ws().mbrowselib);
        QImage expected;
        DrawColorWheel(expected, hist, kChartThreeWheels);
        QVERIFY(chart->picture() == expected);
    }

    void theColorRangeViewerShowsFourCharts()
    {
        Running r;
        TfColorRangeViewer* v = r.app().fColorRangeViewer;
        QCOMPARE(v->windowTitle(), QString("Color Range Viewer"));
        QCOMPARE(r.label(v, "lb_librange"), QString("Tile Lib's Color Range"));
        QCOMPARE(r.label(v, "lb_prjrange"), QString("Project's Color Range"));
        QCOMPARE(Control(v, "img_libhue")->size(), QSize(240, 241));
        QCOMPARE(Control(v, "img_prjwheels")->size(), QSize(720, 240));
        TColorHistogram lib, prj;
        ClearColorHistogram(lib);
        ClearColorHistogram(prj);
        CountColor(lib, 0xFFFF0000);
        CountColor(prj, 0xFF00FF00);
        v->ShowHistograms(lib, prj);
        QCOMPARE(Control<PictureView>(v, "img_libhue")->picture().size(), QSize(360, 360));
        QCOMPARE(Control<PictureView>(v, "img_libwheels")->picture().size(), QSize(1080, 360));
        QVERIFY(Control<PictureView>(v, "img_libhue")->picture() != Control<PictureView>(v, "img_prjhue")->picture());
    }

    void aRowOpensTheCropEditorWhenTheSourcePictureExists()
    {
        Running r;
        const QString e =
            WriteFixtureLibrary(r.userLib("garden"), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF00FF00, {}}});
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(QFile::remove(r.userLib("garden/source/a.png")));
        QVERIFY(r.browseTo("Fixture"));
        QVERIFY(ClickButton(r.app().fBrowseImglib, "bt_manage"));
        QTreeWidget* list = r.app().ftilelibeditor->tileList();
        auto clickRow = [&](int i) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->topLevelItem(i)).center());
        };
        clickRow(0);
        QCOMPARE(r.app().ftilelibeditor->selectedTileIndex(), 0);
        QVERIFY(!r.app().fCellImageEdit->isVisible());
        clickRow(1);
        QCOMPARE(r.app().ftilelibeditor->selectedTileIndex(), 1);
        QVERIFY(r.app().fCellImageEdit->isVisible());
        QCOMPARE(r.app().fCellImageEdit->tileIndex(), 1);
        QVERIFY(r.t.messages.shown.isEmpty());
    }
};

QTEST_MAIN(LibraryWindowsTest)
#include "library_windows_test.moc"
