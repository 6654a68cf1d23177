// The new-project window driven as a user would: the pages and their defaults, the size
// text, the pattern and library lists, the crop, previews, " Create Mosaic >>>", quick
// save and load, priorities, the colour range charts, and what happens with a photo that
// cannot be read or without a library.

#include "app/main_window.h"
#include "app/picture_view.h"
#include "engine/builtin_patterns.h"
#include "engine/patterns.h"
#include "imaging/picture_io.h"
#include "library_windows/color_range_viewer.h"
#include "library_windows/new_library_window.h"
#include "newproject/new_project_window.h"
#include "newproject/window_controls.h"
#include "platform/file_io.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>

namespace {

// "2.00" in the user's number format (no group separators).
QString Fixed2(double v)
{
    return QString::number(v, 'f', 2).replace('.', QLocale().decimalPoint());
}

// Nine tiles of different colours: enough that the default repeat radius of 1 (eight
// neighbours) never runs out of tiles.
std::vector<LibraryFixtureTile> NineTiles()
{
    const TAlphaColor colours[9] = {kFixtureRed, kFixtureGreen, kFixtureBlue, 0xFFFFFF00, 0xFF00FFFF,
                                    0xFFFF00FF,  0xFF808080,    0xFFFF8000,   0xFF004080};
    std::vector<LibraryFixtureTile> tiles;
    for (int i = 0; i < 9; ++i)
        tiles.push_back({QString("tile%1.png").arg(i), colours[i], {}});
    return tiles;
}

// A 400 x 300 photo: orange on the left, teal on the right.
QImage TwoColourPhoto()
{
    QImage photo(400, 300, QImage::Format_ARGB32);
    photo.fill(QColor(240, 140, 40));
    QPainter p(&photo);
    p.fillRect(200, 0, 200, 300, QColor(30, 150, 150));
    return photo;
}

// Types `text` into a field as a user would: select what is there, type, Enter.
void Type(QAbstractSpinBox* field, const QString& text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Enter);
}

struct Window {
    TestApp t;
    TfnewprojectADV* w = nullptr;

    // A nine-tile library in the user library folder and the pattern
    // "10_Rectangle.pat" in the program's pattern folder, unless left out.
    explicit Window(bool library = true, bool patterns = true, bool init = true)
    {
        t.app().createWindows();
        w = t.app().fnewprojectADV;
        if (library) {
            const QString e =
                WriteFixtureLibrary(QDir(t.ws().folders.userLibraryFolder).filePath("Fixture"), NineTiles());
            if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        }
        if (patterns && !InstallBuiltinPattern(t.ws().folders.programPatternFolder, "10_Rectangle.pat"))
            qWarning("the pattern could not be installed");
        if (init) w->InitNewProjectWindow();
    }
    Workspace& ws() { return t.ws(); }
    template <typename T = QWidget> T* c(const char* name) { return Control<T>(w, name); }
    QString docs(const QString& name) const { return t.documents.filePath(name); }

    // "Click to pick main image" with the dialog answered by `file`.
    void pickPhoto(const QString& file)
    {
        t.dialogs.answer(file);
        ClickButton(w, "bt_pickmainimage");
    }
    QString writePhoto(const QImage& photo = TwoColourPhoto(), const QString& name = "photo.png")
    {
        if (!SavePicture(photo, docs(name))) qWarning("the photo could not be written");
        return docs(name);
    }
    void setCounts(int columns, int rows)
    {
        Type(c<QSpinBox>("sbhcc"), QString::number(columns));
        Type(c<QSpinBox>("sbvcc"), QString::number(rows));
    }
    // Makes page `index` visible and current, its lists laid out.
    void showPage(int index)
    {
        auto* tabs = c<QTabWidget>("TabControl1");
        tabs->setTabVisible(index, true);
        tabs->setCurrentIndex(index);
        QCoreApplication::processEvents();
    }
    // A small mosaic: photo, 8 x 8 cells, " Create Mosaic >>>".
    void createSmallMosaic()
    {
        pickPhoto(writePhoto());
        setCounts(8, 8);
        ClickButton(w, "bt_createmosaic");
    }
    QString memo() { return c<QPlainTextEdit>("Memo_sizeinfo")->toPlainText(); }
    QString label(const char* name) { return c<QLabel>(name)->text(); }
    bool everyCellHasATile()
    {
        const TprojectCFG& cfg = ws().mproject.cfg;
        for (int y = 0; y < cfg.Vcc; ++y)
            for (int x = 0; x < cfg.Hcc; ++x)
                if (ws().mproject.Cells[y][x].TileID < 0) return false;
        return cfg.Vcc > 0 && cfg.Hcc > 0;
    }
    bool noCellHasATile()
    {
        const TprojectCFG& cfg = ws().mproject.cfg;
        for (int y = 0; y < cfg.Vcc; ++y)
            for (int x = 0; x < cfg.Hcc; ++x)
                if (ws().mproject.Cells[y][x].TileID != -1) return false;
        return true;
    }
};

} // namespace

class NewProjectTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        Window win(true, true, /*init=*/false);
        TfnewprojectADV* w = win.w;
        QCOMPARE(w->windowTitle(), QString("Create Mosaic Project"));
        QCOMPARE(w->size(), QSize(631, 495));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!w->isVisible());
        auto* tabs = win.c<QTabWidget>("TabControl1");
        QStringList captions;
        QList<bool> visible;
        for (int i = 0; i < tabs->count(); ++i) {
            captions << tabs->tabText(i);
            visible << tabs->isTabVisible(i);
        }
        QCOMPARE(captions, (QStringList{"Main Image", "Photo Lib", "Size and Pattern", "Mainimage Crop", "Cell Preview",
                                        "Render Option", "Priority"}));
        QCOMPARE(visible, (QList<bool>{true, true, true, true, true, true, false}));
        auto* pattern = win.c<QTabWidget>("TabPattern");
        QCOMPARE(pattern->tabText(0), QString("Grid"));
        QCOMPARE(pattern->tabText(1), QString("Circles"));
        QVERIFY(!pattern->isTabVisible(1));
        QCOMPARE(win.label("lb_comingsoon"), QString("Coming Soon!"));

        QCOMPARE(win.label("lb_welcome"), QString("Welcome to Quillary"));
        QCOMPARE(win.label("lb_welcome2"), QString("This softwaer helps you Convert a photo to a mosaic, use small "
                                                   "photos from your own collection."));
        QVERIFY(win.label("lb_welcome3").startsWith("At the top are the 6 easy steps"));
        QVERIFY(win.label("lb_welcome3").endsWith("click next if you want to use that one."));

        struct Spin {
            const char* name;
            double min, max, value;
        };
        const Spin spins[] = {{"sbhcc", 5, 100, 48},
                              {"sbvcc", 5, 100, 48},
                              {"SpinBox_horzGap", 0, 100, 2},
                              {"SpinBox_vertgap", 0, 100, 2},
                              {"E_MosaicPPI", 50, 300, 100},
                              {"sbcellwd_px", 0.1, 200, 60},
                              {"sbcellht_px", 0.1, 200, 60},
                              {"sb_circleCount", 10, 60, 20},
                              {"sb_rstart", 0, 10000, 100},
                              {"sb_rinc", 0, 10000, 64},
                              {"sb_cellSpace", 0, 10000, 64},
                              {"sb_commonDivisor", 1, 100, 3},
                              {"sb_rotateStart", 0, 360, 0},
                              {"sb_rotatestep", 0, 360, 0},
                              {"SpinBox_RepeatMax", 1, 100000, 50},
                              {"SpinBox_repeatRadius", 0, 100, 1},
                              {"SpinBox_repeatMin", 1, 100000, 1},
                              {"SpinBox_enhance", 1, 2, 1}};
        for (const Spin& s : spins) {
            QWidget* field = win.c(s.name);
            QVERIFY2(field, s.name);
            double min, max, value;
            if (auto* i = qobject_cast<QSpinBox*>(field)) {
                min = i->minimum(), max = i->maximum(), value = i->value();
            } else {
                auto* d = qobject_cast<QDoubleSpinBox*>(field);
                QVERIFY2(d, s.name);
                min = d->minimum(), max = d->maximum(), value = d->value();
            }
            QVERIFY2(min == s.min && max == s.max && value == s.value, s.name);
        }
        auto* unit = win.c<QComboBox>("C_MosaicUnit");
        QVERIFY(!unit->isEnabled());
        QCOMPARE(unit->currentText(), QString("pixel"));
        QCOMPARE(unit->count(), 3);
        QVERIFY(!win.c("lbPatterns_fullname")->isVisibleTo(w));
        QVERIFY(!win.c("lb_imgliblist_fullname")->isVisibleTo(w));
        QCOMPARE(win.memo(), QString("Cell size will be calculated automatically"));
        QCOMPARE(win.label("Lb_tileLibCount"), QString("Tile Count: "));
        QStringList shapes;
        for (int i = 0; i < win.c<QListWidget>("ListBox1")->count(); ++i)
            shapes << win.c<QListWidget>("ListBox1")->item(i)->text();
        QCOMPARE(shapes, (QStringList{"Caps", "Rect", "T", "R"}));

        // The options page: texts and defaults.
        QCOMPARE(win.c<QCheckBox>("CheckBox_useall")->text(), QString("Use All Image (target to Full Size Cell only)"));
        QVERIFY(!win.c<QCheckBox>("CheckBox_useall")->isChecked());
        QVERIFY(win.c<QCheckBox>("CheckBox_repeatMax")->isChecked());
        QVERIFY(win.c<QCheckBox>("CheckBox_repeatradius")->isChecked());
        QVERIFY(!win.c<QCheckBox>("CheckBox_repeatmin")->isChecked());
        QVERIFY(win.c<QRadioButton>("rb_search_random")->isChecked());
        QCOMPARE(win.c<QRadioButton>("rb_search_scanline")->text(), QString("ScanLine, Top to Bottom, Left to Right"));
        QVERIFY(win.c<QCheckBox>("CheckBox_Dither")->isChecked());
        QVERIFY(win.c<QRadioButton>("RadioButton10")->isChecked());
        QCOMPARE(win.c<QRadioButton>("RadioButton10")->text(), QString("Light-RGB Match"));
        QVERIFY(win.c<QRadioButton>("RadioButton14")->isChecked());
        QCOMPARE(win.c<QRadioButton>("rb_bg_main")->text(), QString("Main Image as Background"));
        QCOMPARE(win.label("lb_dither"), QString("100%"));
        QCOMPARE(win.label("lb_randomlevelvalue"), QString("15"));
        QCOMPARE(win.label("lb_coloradj"), QString("0.40"));
        QCOMPARE(win.label("lb_alphablend"), QString("0.25"));
        QCOMPARE(win.c<ColorPickerButton>("colorpicker1")->color(), QRgb(0xFFFFF8DC));
        QCOMPARE(win.c<QPushButton>("bt_createmosaic")->text(), QString(" Create Mosaic >>>"));
        QCOMPARE(win.c<QPushButton>("bt_autocrop")->text(), QString("Auto Crop "));

        // The controls as settings: the window's defaults exactly.
        const NewProjectSettings s = w->settings();
        const NewProjectSettings d;
        QCOMPARE(s.weightL, 0.7950819730758667);
        QCOMPARE(s.weightC, 0.7950819730758667);
        QCOMPARE(s.colorAdjust, d.colorAdjust);
        QCOMPARE(s.alphaBlend, d.alphaBlend);
        QCOMPARE(s.dither, 100.0);
        QCOMPARE(s.randomLevel, 15.0);
        QCOMPARE(s.horizontalCount, 48.0);
        QCOMPARE(s.unitIndex, 2);
        QCOMPARE(s.bgColor, TAlphaColor(0xFFFFF8DC));
        QVERIFY(!s.scanlineSearch && s.ditherOn && !s.rgbMatch && !s.bgMainImage && s.repeatMaxOn && s.repeatRadiusOn &&
                !s.repeatMinOn && !s.useAll && s.colorEnhanceOn && s.alphaBlendOn);

        // The priority page's controls.
        QVERIFY(win.c<QToolButton>("SpeedButton_lv0")->isChecked());
        QCOMPARE(win.c<QToolButton>("SpeedButton_nofill")->text(), QString("Do Not Fill Me!"));
        QVERIFY(win.c<QRadioButton>("rb_shownumber")->isChecked());
        QCOMPARE(w->cellPreviewDrawMode, 10);
        QCOMPARE(w->priorityDrawMode, 40);
    }

    void theDefaultSizeText()
    {
        Window win;
        QVERIFY(win.w->initialised());
        QCOMPARE(win.c<QListWidget>("lbPatterns")->item(0)->text(), QString("10_Rectangle.pat"));
        const QStringList lines = win.memo().split('\n');
        const QString d = QString(QLocale().decimalPoint());
        const QStringList expected{"Tile Size " + Fixed2(60) + " x " + Fixed2(60) + "pixel",
                                   "Gap Size " + Fixed2(2) + " x " + Fixed2(2) + "pixel",
                                   "Tile Count 2304",
                                   "Mosaic Size " + Fixed2(2974) + " x " + Fixed2(2974) + "pixel",
                                   "-------",
                                   "Full Image Size 2974 x 2974Pixels",
                                   "Max Pixel Size is limited to 8192; // According DirectX 10 specification. "};
        QCOMPARE(lines, expected);
        QCOMPARE(lines[0], "Tile Size 60" + d + "00 x 60" + d + "00pixel");
        QCOMPARE(win.label("lb_mosaicSize"), QString("Mosaic Size 8000 x 8000pixel"));
        QVERIFY(win.ws().mproject.SizeChanged);
    }

    void theFirstLibraryAndPatternAreLoaded()
    {
        Window win;
        auto* libs = win.c<QListWidget>("lb_imgliblist");
        QCOMPARE(libs->count(), 1);
        QCOMPARE(libs->item(0)->text(), QString("Fixture"));
        QCOMPARE(libs->currentRow(), 0);
        QCOMPARE(win.label("Lb_tileLibCount"), QString("Tile Count: 9"));
        QCOMPARE(win.ws().mtilelib.Count, 9);
        QVERIFY(!win.c<PictureView>("Img_imglibpreview")->picture().isNull());
        QVERIFY(!win.c<PictureView>("Img_patternov")->picture().isNull());
        TpatternCfg expected = DefaultPattern();
        QVERIFY(LoadPattern(expected, win.ws().folders.programPatternFolder + "/10_Rectangle.pat").ok());
        QCOMPARE(win.ws().mproject.patterncfg.CellGroup[0][0].Shape, expected.CellGroup[0][0].Shape);
        QCOMPARE(win.w->selectedShape(), expected.CellGroup[0][0].Shape);
        QCOMPARE(win.c<QListWidget>("ListBox1")->currentRow(), 0);
        // The shape sample: the square tile fills the middle of the control.
        const QImage sample = win.c<ImageControl>("Image_ShapeSample")->picture();
        QCOMPARE(sample.deviceIndependentSize().toSize(), win.c("Image_ShapeSample")->size());
        QCOMPARE(QColor(sample.pixel(sample.width() / 2, sample.height() / 2)).alpha(), 255);
        // A second call fills nothing twice.
        win.w->InitNewProjectWindow();
        QCOMPARE(win.c<QListWidget>("lb_imgliblist")->count(), 1);
    }

    void clickingAPatternLoadsItAndItsShape()
    {
        Window second(true, false, false);
        QVERIFY(InstallBuiltinPattern(second.ws().folders.programPatternFolder, "10_Rectangle.pat"));
        QVERIFY(InstallBuiltinPattern(second.ws().folders.userPatternFolder, "20_Ellipse.pat"));
        second.w->InitNewProjectWindow();
        auto* list = second.c<QListWidget>("lbPatterns");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QString("20_Ellipse.pat"));
        QVERIFY(ShowAndWait(second.w));
        second.showPage(2);
        const QRect item = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        TpatternCfg ellipse = DefaultPattern();
        QVERIFY(LoadPattern(ellipse, second.ws().folders.userPatternFolder + "/20_Ellipse.pat").ok());
        QVERIFY(ellipse.CellGroup[0][0].Shape != 1);
        QCOMPARE(second.ws().mproject.patterncfg.CellGroup[0][0].Shape, ellipse.CellGroup[0][0].Shape);
        QCOMPARE(second.w->selectedShape(), ellipse.CellGroup[0][0].Shape);
        QVERIFY(second.t.messages.shown.isEmpty());
    }

    void aPhotoIsFittedAndCroppedToTheMosaic()
    {
        Window win;
        QVERIFY(ShowAndWait(win.w));
        win.pickPhoto(win.writePhoto());
        const ScriptedDialogs::Asked& asked = win.t.dialogs.asked.last();
        QCOMPARE(asked.filter, QString("supported picture files (*.jpg *.jpeg *.bmp *.png)"));
        QCOMPARE(win.ws().mainImage.size(), QSize(400, 300));
        // Fitted into the 430 x 430 crop view.
        QCOMPARE(win.ws().zoomedImage.size(), QSize(430, 322));
        QCOMPARE(win.label("lb_miSize"), QString("File Size 400x300 pixels"));
        const TRectF r = win.w->crop().cropRect;
        QCOMPARE(r.Right - r.Left, r.Bottom - r.Top);
        QVERIFY(std::fabs((r.Right - r.Left) - 0.9f * 322) < 0.01f);
        QVERIFY(std::fabs(r.Left - (430 - (r.Right - r.Left)) / 2) < 0.01f);
        // The overlay lies on the crop, the handles on its corners.
        const QPoint origin = win.c("Img_maincrop")->pos();
        QCOMPARE(win.c("rect_microp")->geometry(),
                 QRectF(QPointF(origin) + QPointF(r.Left, r.Top), QSizeF(r.Right - r.Left, r.Bottom - r.Top)).toRect());
        QCOMPARE(win.c("Circle2")->pos(), (QPointF(origin) + QPointF(r.Right, r.Bottom) - QPointF(13, 13)).toPoint());
        QVERIFY(!win.c("rect_microp")->isHidden());
        QVERIFY(win.c("Circle_microp")->isHidden());
        // Page 0 shows the same picture; the background colour is the crop's average.
        QCOMPARE(win.c<PictureView>("npa_mainimageOV")->picture().size(), QSize(430, 322));
        const QColor average = QColor::fromRgba(win.c<ColorPickerButton>("colorpicker1")->color());
        QVERIFY(average.red() > 100 && average.red() < 160);
        QCOMPARE(win.ws().moptions.BgColor, win.c<ColorPickerButton>("colorpicker1")->color());

        // Dragging the right-bottom handle past the view's edge stops at the edge.
        win.showPage(3);
        QWidget* view = win.c("Img_maincrop");
        QTest::mousePress(view, Qt::LeftButton, {}, QPointF(r.Right, r.Bottom).toPoint());
        QTest::mouseMove(view, QPoint(429, 429));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(429, 429));
        const TRectF moved = win.w->crop().cropRect;
        QCOMPARE(moved.Left, r.Left);
        QCOMPARE(moved.Top, r.Top);
        QVERIFY(moved.Bottom <= 322.0f);
        QVERIFY(moved.Right - moved.Left > r.Right - r.Left);
        // The release made the full-size picture of the crop.
        QCOMPARE(win.ws().fullSizeImage.size(), QSize(4000, 4000));
        QVERIFY(!win.c<PictureView>("Image_maincropPV")->picture().isNull());
        // "Auto Crop " puts the centred crop back.
        ClickButton(win.w, "bt_autocrop");
        QCOMPARE(win.w->crop().cropRect.Left, r.Left);
        QCOMPARE(win.w->crop().cropRect.Right, r.Right);
    }

    void anUndecodablePhotoKeepsThePreviousImage()
    {
        Window win;
        win.pickPhoto(win.writePhoto());
        const qint64 before = win.ws().mainImage.cacheKey();
        const QImage shown = win.c<ImageControl>("Img_maincrop")->picture();
        QFile bad(win.docs("broken.jpg"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("this is no picture at all");
        bad.close();
        win.pickPhoto(win.docs("broken.jpg"));
        QCOMPARE(win.t.messages.shown.size(), 1);
        QCOMPARE(win.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY(win.t.messages.shown[0].text.contains("broken.jpg"));
        QCOMPARE(win.ws().mainImage.cacheKey(), before);
        QCOMPARE(win.c<ImageControl>("Img_maincrop")->picture().cacheKey(), shown.cacheKey());
        QCOMPARE(win.label("lb_miSize"), QString("File Size 400x300 pixels"));
        // A cancelled dialog changes nothing either.
        win.pickPhoto(QString());
        QCOMPARE(win.ws().mainImage.cacheKey(), before);
        QCOMPARE(win.t.messages.shown.size(), 1);
    }

    void createLaysTheCellsOutAgainAfterASizeChange()
    {
        Window win;
        QVERIFY(ShowAndWait(win.w));
        win.pickPhoto(win.writePhoto());
        win.setCounts(8, 8);
        ClickButton(win.w, "bt_preview");
        QVERIFY(!win.ws().mproject.SizeChanged);
        QCOMPARE(win.ws().mproject.Cells[0][1].CellRectReal.Left, 62.0f);
        QVERIFY(QRegularExpression("^Cell\\d+ ReadC2-\\d+  Draw\\d+$").match(win.label("Label_timecost1")).hasMatch());

        Type(win.c<QDoubleSpinBox>("sbcellwd_px"), "30");
        QVERIFY(win.ws().mproject.SizeChanged);
        QVERIFY(win.memo().startsWith("Tile Size " + Fixed2(30) + " x " + Fixed2(60) + "pixel"));
        ClickButton(win.w, "bt_createmosaic");
        QVERIFY(win.t.messages.shown.isEmpty());
        const TMosaicProject& p = win.ws().mproject;
        QCOMPARE(p.Cells[0][1].CellRectReal.Left, 32.0f);
        QCOMPARE(p.Cells[0][1].CellRectReal.Right, 62.0f);
        QVERIFY(p.Rendered);
        QVERIFY(win.everyCellHasATile());
        QVERIFY(
            QRegularExpression("^ReadColor\\d+  Render\\d+  Draw\\d+$").match(win.label("Label_timecost2")).hasMatch());
        QCOMPARE(win.t.shell.beeps, 1);
        // The main window shows the new mosaic: 8 x 30 + 7 x 2 by 8 x 60 + 7 x 2.
        const QImage& mosaic = win.t.app().Form1->Image1();
        QCOMPARE(mosaic.deviceIndependentSize().toSize(), QSize(254, 494));
        QCOMPARE(win.c<QProgressBar>("pbar1")->value(), 0);
    }

    void quickSaveThenQuickLoadRestoresCellsAndOptions()
    {
        Window win;
        win.createSmallMosaic();
        QVERIFY(win.everyCellHasATile());
        int tiles[8][8];
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tiles[y][x] = win.ws().mproject.Cells[y][x].TileID;
        const TmosaicOptions saved = win.ws().moptions;
        ClickButton(win.w, "bt_quicksave");
        QVERIFY(QFileInfo::exists(win.ws().folders.DataRoot + "/TempMosaic.Prj"));

        // Another search with other options, then a smaller layout without tiles.
        Type(win.c<QSpinBox>("SpinBox_RepeatMax"), "30");
        win.c<QCheckBox>("CheckBox_Dither")->click();
        ClickButton(win.w, "bt_createmosaic");
        QCOMPARE(win.ws().moptions.RepeatMax, 30);
        QCOMPARE(win.ws().moptions.DitherOn, std::uint8_t(0));
        win.setCounts(6, 6);
        ClickButton(win.w, "bt_preview");
        QCOMPARE(win.ws().mproject.cfg.Hcc, 6);

        ClickButton(win.w, "bt_quickload");
        QVERIFY(win.t.messages.shown.isEmpty());
        QCOMPARE(win.ws().mproject.cfg.Hcc, 8);
        QCOMPARE(win.ws().mproject.cfg.Vcc, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(win.ws().mproject.Cells[y][x].TileID, tiles[y][x]);
        QCOMPARE(win.ws().moptions.RepeatMax, 50);
        QCOMPARE(win.ws().moptions.DitherOn, saved.DitherOn);
        QCOMPARE(win.ws().moptions.WeightL, saved.WeightL);
        QCOMPARE(win.ws().moptions.BgColor, saved.BgColor);
        QVERIFY(!win.c<ImageControl>("Image_CellPreview")->picture().isNull());
        QVERIFY(!win.c<ImageControl>("Image_Priority")->picture().isNull());
    }

    void aPreviewAfterASearchClearsTheTiles()
    {
        Window win;
        win.createSmallMosaic();
        QVERIFY(win.everyCellHasATile());
        const QImage before = win.t.app().Form1->Image1().copy();
        ClickButton(win.w, "bt_preview");
        QVERIFY(win.noCellHasATile());
        QCOMPARE(win.t.app().Form1->Image1(), before);
        QVERIFY(!win.c<ImageControl>("Image_CellPreview")->picture().isNull());
        QCOMPARE(win.c<QProgressBar>("pbar2")->value(), 0);
        // "Full Size" draws the measured colours into the main window instead.
        ClickButton(win.w, "bt_fullsize");
        QVERIFY(win.t.app().Form1->Image1() != before);
    }

    void aPriorityClickSetsTheCellsLevel()
    {
        Window win;
        win.pickPhoto(win.writePhoto());
        win.setCounts(8, 8);
        ClickButton(win.w, "bt_preview");
        win.showPage(6);
        QVERIFY(ShowAndWait(win.w));
        ClickButton(win.w, "bt_prireset");
        auto* view = win.c<ImageControl>("Image_Priority");
        QVERIFY(!view->picture().isNull());
        const TMosaicProject& p = win.ws().mproject;
        const double scale = p.cfg.CellPlanScale;
        const int initial = p.Cells[7][7].PriLevel;
        auto centre = [&](int x, int y) {
            const TRectF& r = p.Cells[y][x].CellRectReal;
            return QPointF((r.Left + r.Right) / 2 * scale, (r.Top + r.Bottom) / 2 * scale).toPoint();
        };
        QTest::mouseClick(win.c<QToolButton>("SpeedButton_lv2"), Qt::LeftButton);
        QTest::mouseClick(view, Qt::LeftButton, {}, centre(1, 0));
        QTest::mouseClick(win.c<QToolButton>("SpeedButton_nofill"), Qt::LeftButton);
        QTest::mouseClick(view, Qt::LeftButton, {}, centre(3, 5));
        QVERIFY(!win.c<QToolButton>("SpeedButton_lv2")->isChecked());
        QCOMPARE(p.Cells[0][1].PriLevel, 2);
        QCOMPARE(p.Cells[5][3].PriLevel, 3);
        int changed = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                changed += p.Cells[y][x].PriLevel != initial;
        QCOMPARE(changed, 2);
        // "Show Color" draws the shading instead of the numbers.
        const QImage numbers = view->picture().copy();
        win.c<QRadioButton>("rb_showcolor")->click();
        QCOMPARE(win.w->priorityDrawMode, 41);
        QVERIFY(view->picture() != numbers);
    }

    void aSecondCreateWhileOneRunsIsRefused()
    {
        Window win;
        win.pickPhoto(win.writePhoto());
        win.setCounts(8, 8);
        bool wasBusy = false;
        int beepsBefore = -1, beepsAfter = -1;
        QString labelDuring;
        QTimer::singleShot(0, win.w, [&] {
            wasBusy = win.t.app().busy();
            beepsBefore = win.t.shell.beeps;
            ClickButton(win.w, "bt_createmosaic");
            beepsAfter = win.t.shell.beeps;
            labelDuring = win.label("Label_timecost2");
        });
        ClickButton(win.w, "bt_createmosaic");
        QVERIFY(wasBusy);
        // The second click only beeped; the first run went on and finished with its own beep.
        QCOMPARE(beepsAfter, beepsBefore + 1);
        QCOMPARE(win.t.shell.beeps, 2);
        QVERIFY(labelDuring.isEmpty());
        QVERIFY(win.everyCellHasATile());
        QVERIFY(!win.t.app().busy());
        QVERIFY(win.t.messages.shown.isEmpty());
    }

    void withoutALibraryCreateIsRefused()
    {
        Window win(/*library=*/false, /*patterns=*/false);
        QCOMPARE(win.c<QListWidget>("lb_imgliblist")->count(), 0);
        QCOMPARE(win.c<QListWidget>("lbPatterns")->count(), 0);
        QCOMPARE(win.label("Lb_tileLibCount"), QString("Tile Count: "));
        // Still usable: the size text follows the fields.
        QVERIFY(win.memo().startsWith("Tile Size "));
        win.setCounts(10, 12);
        QVERIFY(win.memo().contains("Tile Count 120"));
        ClickButton(win.w, "bt_createmosaic");
        QCOMPARE(win.t.messages.texts(), QStringList{"Please pick a main image first."});
        win.pickPhoto(win.writePhoto());
        ClickButton(win.w, "bt_createmosaic");
        QCOMPARE(win.t.messages.texts().last(),
                 QString("The tile library holds no tiles. Please choose a tile library with photos."));
        QVERIFY(!win.ws().mproject.Rendered);
        QVERIFY(win.t.app().Form1->Image1().isNull());
        QCOMPARE(win.t.shell.beeps, 0);
        // The preview still works.
        ClickButton(win.w, "bt_preview");
        QCOMPARE(win.ws().mproject.cfg.Hcc, 10);
        QVERIFY(!win.c<ImageControl>("Image_CellPreview")->picture().isNull());
    }

    void colourEnhanceAndAlphaBlendCanBeSwitchedOff()
    {
        Window win;
        win.pickPhoto(win.writePhoto());
        win.setCounts(8, 8);
        ClickButton(win.w, "bt_createmosaic");
        QCOMPARE(win.ws().moptions.ColorAdjust, 0.4);
        QCOMPARE(win.ws().moptions.AlphaBlend, 0.25);
        QCOMPARE(win.ws().moptions.WeightL, 0.7950819730758667f);
        win.c<QCheckBox>("CheckBox_coloradj")->click();
        win.c<QCheckBox>("CheckBox_alphablend")->click();
        win.c<QRadioButton>("rb_search_scanline")->click();
        ClickButton(win.w, "bt_createmosaic");
        QCOMPARE(win.ws().moptions.ColorAdjust, 0.0);
        QCOMPARE(win.ws().moptions.AlphaBlend, 0.0);
        QCOMPARE(win.ws().moptions.ScanlineSearch, std::uint8_t(1));
    }

    void trackBarsShowTheirValues()
    {
        Window win;
        auto* dither = win.c<FractionSlider>("TrackBar_dither");
        QTest::keyClick(dither, Qt::Key_Left);
        QCOMPARE(win.label("lb_dither"), QString("99%"));
        QCOMPARE(win.w->settings().dither, 99.0);
        auto* adjust = win.c<FractionSlider>("tb_coloradj");
        QTest::keyClick(adjust, Qt::Key_Left);
        QCOMPARE(win.label("lb_coloradj"), Fixed2(0.39));
        auto* random = win.c<FractionSlider>("TrackBar_Randomlevel");
        QTest::keyClick(random, Qt::Key_Right);
        QCOMPARE(win.label("lb_randomlevelvalue"), Fixed2(16));
        QCOMPARE(win.w->settings().randomLevel, 16.0);
        // A weight keeps its exact start value until the bar is moved.
        auto* weight = win.c<FractionSlider>("TrackBar_weightL");
        QCOMPARE(win.w->settings().weightL, 0.7950819730758667);
        QTest::keyClick(weight, Qt::Key_Right);
        QCOMPARE(win.w->settings().weightL, 0.81);
        QCOMPARE(win.w->settings().weightC, 0.7950819730758667);
        // The colour picker feeds the background colour at once.
        win.c<ColorPickerButton>("colorpicker1")->setColor(0xFF102030);
        QCOMPARE(win.ws().moptions.BgColor, TAlphaColor(0xFF102030));
    }

    void theColourRangeChartsGoToTheViewer()
    {
        Window win;
        win.pickPhoto(win.writePhoto());
        win.setCounts(8, 8);
        TfColorRangeViewer* viewer = win.t.app().fColorRangeViewer;
        auto chart = [&](const char* name) { return Control<PictureView>(viewer, name)->picture(); };
        // With a stale layout only the library's row is drawn.
        ClickButton(win.w, "bt_checkcolorrange");
        QVERIFY(viewer->isVisible());
        QCOMPARE(chart("img_libhue").size(), QSize(360, 360));
        QCOMPARE(chart("img_libwheels").size(), QSize(1080, 360));
        QVERIFY(chart("img_prjhue").isNull());
        ClickButton(win.w, "bt_preview");
        ClickButton(win.w, "bt_colorrange");
        QCOMPARE(chart("img_prjhue").size(), QSize(360, 360));
        QCOMPARE(chart("img_prjwheels").size(), QSize(1080, 360));
        // The library's three colours are pure red, green and blue: hue buckets 0, 20 and
        // 40 of the brightest band; the orange and teal photo gives other hues.
        QVERIFY(chart("img_libhue") != chart("img_prjhue"));
    }

    void theCircleLayoutWorksWhenShown()
    {
        Window win;
        win.pickPhoto(win.writePhoto());
        auto* pattern = win.c<QTabWidget>("TabPattern");
        pattern->setTabVisible(1, true);
        pattern->setCurrentIndex(1);
        QCOMPARE(win.ws().mproject.cfg.ProjectPatternType, 10);
        QCOMPARE(win.ws().mproject.cfg.Hcc, 0);
        QCOMPARE(win.ws().mproject.cfg.CircleCount, 20);
        QVERIFY(!win.c("Circle_microp")->isHidden());
        QCOMPARE(win.c("Circle_microp")->geometry(), win.c("rect_microp")->geometry());
        QVERIFY(ShowAndWait(win.w));
        auto* shapes = win.c<QListWidget>("ListBox1");
        win.showPage(2);
        QTest::mouseClick(shapes->viewport(), Qt::LeftButton, {}, shapes->visualItemRect(shapes->item(2)).center());
        QCOMPARE(win.w->selectedShape(), 30);
        QCOMPARE(win.ws().mproject.cfg.BaseTileShape, 30);
        QCOMPARE(win.ws().mproject.cfg.BaseTileRotateCount, 3);
        pattern->setCurrentIndex(0);
        QCOMPARE(win.ws().mproject.cfg.ProjectPatternType, 0);
        QVERIFY(win.c("Circle_microp")->isHidden());
    }

    void newPhotoLibOpensTheNewLibraryWindow()
    {
        Window win;
        ClickButton(win.w, "bt_newphotolib");
        TFnewImglib* newLib = win.t.app().FnewImglib;
        QVERIFY(newLib->isVisible());
        QCOMPARE(Control<QLineEdit>(newLib, "ed_libname")->text(), QString("New Photo Lib"));
        QCOMPARE(Control<QLineEdit>(newLib, "ed_folder")->text(),
                 QDir(win.ws().folders.userLibraryFolder).filePath("New Photo Lib2020-2-5-9-7-3"));
    }

    void aLibraryMadeElsewhereJoinsTheList()
    {
        Window win;
        LibraryFixtureOptions named;
        named.name = "Second";
        const QString e = WriteFixtureLibrary(QDir(win.ws().folders.userLibraryFolder).filePath("Second"),
                                              {{"grey.png", 0xFF808080, {}}}, named);
        QVERIFY2(e.isEmpty(), qPrintable(e));
        win.t.app().commands.refreshLibraryLists();
        auto* libs = win.c<QListWidget>("lb_imgliblist");
        QCOMPARE(libs->count(), 2);
        QCOMPARE(win.ws().mtilelib.Count, 9);
        QVERIFY(libs->currentItem() && libs->currentItem()->text() == "Fixture");
        QVERIFY(ShowAndWait(win.w));
        win.showPage(1);
        const int second = libs->item(0)->text() == "Second" ? 0 : 1;
        QTest::mouseClick(libs->viewport(), Qt::LeftButton, {}, libs->visualItemRect(libs->item(second)).center());
        QCOMPARE(win.ws().mtilelib.Count, 1);
        QCOMPARE(win.label("Lb_tileLibCount"), QString("Tile Count: 1"));
    }

    void newMosaicShowsTheWindowFilled()
    {
        Window win(true, true, /*init=*/false);
        ShowAndWait(win.t.app().Form1);
        TriggerMenuItem(win.t.app().Form1, "MI_newmosaic");
        QVERIFY(win.w->isVisible());
        QVERIFY(win.w->initialised());
        QCOMPARE(win.ws().mtilelib.Count, 9);
    }
};

QTEST_MAIN(NewProjectTest)
#include "new_project_test.moc"
