// The page-grid work plan window driven as a user would: opened from the main window's
// hidden "Work Plan", all pages into a chosen folder, one page, a text size that is not
// a number, and the zoom of the scale bar.

#include "app/main_window.h"
#include "app/mosaic_image_view.h"
#include "output/work_plan.h"
#include "output_windows/text_spin_box.h"
#include "output_windows/work_plan_window.h"
#include "tests/windows/support/assembly_fixtures.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

namespace {

// A mosaic 300 x 200 units: 30 x 20 cells of 10, cell (x, y) holding tile (x + y) % 25.
struct Running {
    TestApp t;
    Running()
    {
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
        LayGridProject(t.ws(), 30, 20, 10);
        ColourTiles(t.ws(), 25);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                t.ws().mproject.Cells[y][x].TileID = (x + y) % 25;
        MarkRendered(t.ws());
    }
    Tfworkplan2* window() { return t.app().fworkplan2; }
    QString label(const char* name) { return Control<QLabel>(window(), name)->text(); }
    void type(const char* editName, const QString& text)
    {
        auto* e = Control<QLineEdit>(window(), editName);
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    void typeTextSize(const QString& text)
    {
        auto* box = Control<TextSpinBox>(window(), "sb_textsize");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    QWidget* picture() { return Control(window(), "img_page"); }
};

} // namespace

class WorkPlanWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        Running r;
        Tfworkplan2* w = r.window();
        QCOMPARE(w->windowTitle(), QString("Work Plan Generator"));
        QCOMPARE(w->size(), QSize(798, 624));
        QCOMPARE(Control<QGroupBox>(w, "gb_projectinfo")->title(), QString("Project Info"));
        QCOMPARE(r.label("lb_mosaicsize"), QString("Mosaic Size:"));
        for (const char* name : {"sb_hpagecount", "sb_vpagecount"}) {
            auto* s = Control<QSpinBox>(w, name);
            QCOMPARE(s->value(), 3);
            QCOMPARE(s->minimum(), 1); // 0 pages would divide the mosaic by zero
            QCOMPARE(s->maximum(), 100);
        }
        QCOMPARE(Control<QGroupBox>(w, "gb_pagesize")->title(), QString("Page Size in Pixel"));
        QCOMPARE(Control<QRadioButton>(w, "rb_1000")->text(), QString("1000x1000"));
        QCOMPARE(Control<QRadioButton>(w, "rb_2000")->text(), QString("2000x2000"));
        QCOMPARE(Control<QRadioButton>(w, "rb_4000")->text(), QString("4000x4000"));
        QVERIFY(Control<QRadioButton>(w, "rb_1000")->isChecked());
        QCOMPARE(Control<QGroupBox>(w, "gb_guide")->title(), QString("Guide text and color"));
        QCOMPARE(Control<QCheckBox>(w, "cb_fillcolor")->text(), QString("Fill cell with tile Color "));
        QVERIFY(Control<QCheckBox>(w, "cb_fillcolor")->isChecked());
        auto* textSize = Control<TextSpinBox>(w, "sb_textsize");
        QCOMPARE(textSize->text(), QString("18"));
        QCOMPARE(textSize->minimum(), 1.0);
        QCOMPARE(textSize->maximum(), 100.0);
        QCOMPARE(Control<QSpinBox>(w, "sb_colorcount")->value(), 20);
        QCOMPARE(Control<QSpinBox>(w, "sb_colorcount")->minimum(), 1);
        QCOMPARE(Control<QSpinBox>(w, "sb_colorcount")->maximum(), 100);
        QCOMPARE(Control<QLineEdit>(w, "ed_pagex")->text(), QString("0"));
        QCOMPARE(Control<QLineEdit>(w, "ed_pagey")->text(), QString("0"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_onepage")->text(), QString("One Page"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_outputall")->text(), QString("Output All Page"));
        QCOMPARE(Control<QProgressBar>(w, "pb_progress")->value(), 0);
        auto* scale = Control<QSlider>(w, "tb_scale");
        QCOMPARE(scale->minimum(), 10);
        QCOMPARE(scale->maximum(), 100);
        QCOMPARE(r.label("lb_scale"), QString("Scale: 1"));
        QCOMPARE(w->zoom(), 1.0);
        QVERIFY(Control<QScrollArea>(w, "sb_page"));
        QVERIFY(w->pagePicture().isNull());
    }

    void workPlanInTheMainWindowShowsItWithoutRefreshingTheLabel()
    {
        Running r;
        TForm1* f = r.t.app().Form1;
        auto* tabs = Control<QTabWidget>(f, "TabControl1");
        QWidget* page = Control(f, "tab_manual");
        tabs->setTabVisible(tabs->indexOf(page), true);
        tabs->setCurrentWidget(page);
        QVERIFY(ClickButton(f, "bt_workplan"));
        QVERIFY(r.window()->isVisible());
        QCOMPARE(r.window()->parentWidget(), static_cast<QWidget*>(f));
        QCOMPARE(r.label("lb_mosaicsize"), QString("Mosaic Size:"));
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void outputAllPageWritesNinePagesIntoTheChosenFolder()
    {
        Running r;
        const QString project = r.t.documents.filePath("project");
        const QString out = r.t.documents.filePath("plans");
        QVERIFY(QDir().mkpath(project));
        QVERIFY(QDir().mkpath(out));
        r.t.ws().mproject.cfg.RootPath.set(project);
        ShowAndWait(r.window());

        // Cancel: nothing is written.
        QVERIFY(ClickButton(r.window(), "bt_outputall"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].kind, QString("folder"));
        QCOMPARE(r.t.dialogs.asked[0].caption, QString("picker"));
        QCOMPARE(r.t.dialogs.asked[0].folder, project);
        QCOMPARE(FileNamesIn(out), QStringList());
        QCOMPARE(FileNamesIn(project), QStringList());

        // Every page is drawn into the one page bitmap the window shows.
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        const uchar* bitmap = r.window()->pagePicture().constBits();
        r.t.dialogs.answer(out);
        QVERIFY(ClickButton(r.window(), "bt_outputall"));
        QVERIFY2(r.t.messages.shown.isEmpty(), qPrintable(r.t.messages.texts().join("; ")));
        QCOMPARE(r.window()->pagePicture().constBits(), bitmap);
        QStringList expected;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                expected << QStringLiteral("WorkPlan_Page Y%1X%2.jpg").arg(i).arg(j);
        expected.sort();
        QCOMPARE(FileNamesIn(out), expected);
        for (const QString& name : expected) {
            const QImage written(QDir(out).filePath(name));
            QVERIFY2(written.size() == QSize(1000, 1000), qPrintable(name));
            // The page is drawn in its top 667 rows; below them the picture stays white.
            const QRgb below = written.pixel(500, 900);
            QVERIFY2(qRed(below) > 245 && qGreen(below) > 245 && qBlue(below) > 245, qPrintable(name));
            const QRgb inside = written.pixel(55, 55);
            QVERIFY2(!(qRed(inside) > 245 && qGreen(inside) > 245 && qBlue(inside) > 245), qPrintable(name));
        }
        const TworkplanCfg& cfg = r.t.ws().workplanCfg;
        QCOMPARE(cfg.PageCountH, 3);
        QCOMPARE(cfg.PageCountV, 3);
        QCOMPARE(cfg.PageWidth, 100.0);
        QCOMPARE(cfg.PageHeight, 200.0 / 3);
        QCOMPARE(cfg.PageScale, 10.0);
        QCOMPARE(cfg.PageWidthPx, 1000);
        QCOMPARE(cfg.IDTextHeight, 18.0f);
        QCOMPARE(cfg.ColorCount, 20);
        QCOMPARE(r.label("lb_mosaicsize"), QString("Mosaic size: 300.00 x 200.00pixel"));
        // The last page stays on show, at its own pixel size.
        QCOMPARE(r.window()->pagePicture().size(), QSize(1000, 1000));
        QCOMPARE(r.picture()->size(), QSize(1000, 1000));
        QCOMPARE(Control<QProgressBar>(r.window(), "pb_progress")->value(), 0);
    }

    void onePageCutsTheColumnToTheLastPage()
    {
        Running r;
        ShowAndWait(r.window());
        r.type("ed_pagex", "7");
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        QVERIFY2(r.t.messages.shown.isEmpty(), qPrintable(r.t.messages.texts().join("; ")));
        const QImage shown = r.window()->pagePicture();
        QCOMPARE(shown.size(), QSize(1000, 1000));

        QImage column2, column0;
        QVERIFY(DrawWorkplanPage(r.t.ws(), column2, 2, 0, /*fill=*/true, nullptr).ok());
        QVERIFY(DrawWorkplanPage(r.t.ws(), column0, 0, 0, /*fill=*/true, nullptr).ok());
        QVERIFY(column0 != column2);
        QVERIFY(shown == column2);
        // No file is written for one page.
        QCOMPARE(FileNamesIn(r.t.ws().folders.projectsFolder), QStringList());

        // Without fill the cells are white with their numbers.
        QTest::mouseClick(Control<QCheckBox>(r.window(), "cb_fillcolor"), Qt::LeftButton);
        r.type("ed_pagex", "0");
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        QImage plain;
        QVERIFY(DrawWorkplanPage(r.t.ws(), plain, 0, 0, /*fill=*/false, nullptr).ok());
        QVERIFY(r.window()->pagePicture() == plain);
        QVERIFY(plain != column0);
    }

    void aTextSizeThatIsNotANumberIsReportedAndNothingIsDrawn()
    {
        Running r;
        ShowAndWait(r.window());
        r.typeTextSize("abc");
        QCOMPARE(Control<TextSpinBox>(r.window(), "sb_textsize")->text(), QString("abc"));
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QCOMPARE(r.t.messages.shown[0].text, QString("'abc' is not a valid floating point value"));
        QVERIFY(r.window()->pagePicture().isNull());
        QCOMPARE(r.t.ws().workplanCfg.PageWidthPx, 0);

        // "Output All Page" stops before asking for a folder.
        QVERIFY(ClickButton(r.window(), "bt_outputall"));
        QCOMPARE(r.t.messages.shown.size(), 2);
        QVERIFY(r.t.dialogs.asked.isEmpty());

        // A number typed in the box is the text size.
        r.typeTextSize("24");
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        QCOMPARE(r.t.messages.shown.size(), 2);
        QCOMPARE(r.t.ws().workplanCfg.IDTextHeight, 24.0f);
        QVERIFY(!r.window()->pagePicture().isNull());
        // The arrows step it.
        QTest::keyClick(Control<TextSpinBox>(r.window(), "sb_textsize"), Qt::Key_Up);
        QCOMPARE(Control<TextSpinBox>(r.window(), "sb_textsize")->text(), QString("25"));
    }

    void pageNumbersThatAreNotNumbersAreReported()
    {
        Running r;
        ShowAndWait(r.window());
        r.type("ed_pagey", "two");
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        QCOMPARE(r.t.messages.texts(), QStringList{"'two' is not a valid integer value"});
        QVERIFY(r.window()->pagePicture().isNull());
    }

    void theScaleBarZoomsThePictureWithoutDrawingItAgain()
    {
        Running r;
        ShowAndWait(r.window());
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        const qint64 drawn = r.window()->pagePicture().cacheKey();
        const QImage before = r.window()->pagePicture().copy();
        auto* scale = Control<QSlider>(r.window(), "tb_scale");
        scale->setFocus();
        QTest::keyClick(scale, Qt::Key_Home);
        QCOMPARE(scale->value(), 10);
        QCOMPARE(r.label("lb_scale"), QString("Scale: 0.10"));
        QCOMPARE(r.window()->zoom(), 0.1);
        QCOMPARE(r.picture()->size(), QSize(100, 100));
        QCOMPARE(r.window()->pagePicture().cacheKey(), drawn);
        QVERIFY(r.window()->pagePicture() == before);
        QTest::keyClick(scale, Qt::Key_End);
        QCOMPARE(r.label("lb_scale"), QString("Scale: 1.00"));
        QCOMPARE(r.picture()->size(), QSize(1000, 1000));
    }

    void pagesOf4000PixelsAreDrawn()
    {
        Running r;
        ShowAndWait(r.window());
        auto* size4000 = Control<QRadioButton>(r.window(), "rb_4000");
        // On the indicator: a radio button takes clicks on its indicator and text only.
        QTest::mouseClick(size4000, Qt::LeftButton, {}, QPoint(8, size4000->height() / 2));
        QVERIFY(Control<QRadioButton>(r.window(), "rb_4000")->isChecked());
        r.type("ed_pagex", "2");
        r.type("ed_pagey", "2");
        QVERIFY(ClickButton(r.window(), "bt_onepage"));
        QVERIFY2(r.t.messages.shown.isEmpty(), qPrintable(r.t.messages.texts().join("; ")));
        const QImage& page = r.window()->pagePicture();
        QCOMPARE(page.size(), QSize(4000, 4000));
        QCOMPARE(r.t.ws().workplanCfg.PageScale, 40.0);
        QCOMPARE(r.picture()->size(), QSize(4000, 4000));
        QVERIFY(page.pixel(3950, 2600) != 0xFFFFFFFF);
        QCOMPARE(page.pixel(2000, 3000), 0xFFFFFFFFu);
    }
};

QTEST_MAIN(WorkPlanWindowTest)
#include "work_plan_window_test.moc"
