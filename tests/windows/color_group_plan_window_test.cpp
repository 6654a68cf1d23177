// The colour-group work plan window driven as a user would: opened from the main
// window's hidden "Color Group Plan", labels that follow the cells-per-page boxes, the
// preview, a page beyond the last, every page of every group written, and the tile
// counter.

#include "app/main_window.h"
#include "output_windows/color_group_plan_window.h"
#include "tests/windows/support/assembly_fixtures.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tools/tile_statistics_window.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

namespace {

// A mosaic of 30 x 20 cells of 10 units over 25 tiles, cell (x, y) holding tile
// (x + y) % 25; not yet rendered.
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
    }
    Tfworkplan* window() { return t.app().fworkplan; }
    QString label(const char* name) { return Control<QLabel>(window(), name)->text(); }
    QSpinBox* box(const char* name) { return Control<QSpinBox>(window(), name); }
    // "Color Group Plan" on the main window's hidden "Manual Assemble" page.
    void openFromMainWindow()
    {
        TForm1* f = t.app().Form1;
        auto* tabs = Control<QTabWidget>(f, "TabControl1");
        QWidget* page = Control(f, "tab_manual");
        tabs->setTabVisible(tabs->indexOf(page), true);
        tabs->setCurrentWidget(page);
        ClickButton(f, "bt_colorgroupplan");
    }
};

} // namespace

class ColorGroupPlanWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        Running r;
        Tfworkplan* w = r.window();
        QCOMPARE(w->windowTitle(), QString("Mosaic Workplan Generator"));
        QCOMPARE(w->size(), QSize(892, 613));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        struct Case {
            const char* name;
            int minimum, maximum, value;
        };
        const Case boxes[] = {{"sb_hcount", 1, 100, 24},   {"sb_vcount", 1, 100, 24}, {"sb_groupsize", 1, 100, 10},
                              {"sb_textsize", 1, 100, 18}, {"sb_pagex", 0, 100, 0},   {"sb_pagey", 0, 100, 0}};
        for (const Case& c : boxes) {
            QSpinBox* s = r.box(c.name);
            QVERIFY2(s, c.name);
            QCOMPARE(s->minimum(), c.minimum);
            QCOMPARE(s->maximum(), c.maximum);
            QCOMPARE(s->value(), c.value);
        }
        QCOMPARE(Control<QGroupBox>(w, "gb_mosaicinfo")->title(), QString("Mosaic Info"));
        QCOMPARE(Control<QGroupBox>(w, "gb_pagesize")->title(), QString("Page Size in Pixel"));
        QVERIFY(Control<QRadioButton>(w, "rb_1000")->isChecked());
        QCOMPARE(Control<QRadioButton>(w, "rb_4000")->text(), QString("4000x4000"));
        QCOMPARE(Control<QCheckBox>(w, "cb_fillcolor")->text(), QString("Fill cell with tile Color "));
        QVERIFY(Control<QCheckBox>(w, "cb_fillcolor")->isChecked());
        QCOMPARE(r.label("lb_pagecount"), QString("Total Page Count"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_preview")->text(), QString("Preview"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_outputall")->text(), QString("Output all"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_tilecounter")->text(), QString("Tile Counter"));
        QCOMPARE(Control<QProgressBar>(w, "pb_progress")->value(), 0);
        QVERIFY(Control<QScrollArea>(w, "sb_page"));
        QVERIFY(w->pagePicture().isNull());
    }

    void colorGroupPlanInTheMainWindowWaitsForARenderingThenShowsTheLabels()
    {
        Running r;
        r.openFromMainWindow();
        QCOMPARE(r.t.messages.texts(), QStringList{"Mosaic project not rendered yet!"});
        QVERIFY(!r.window()->isVisible());

        MarkRendered(r.t.ws());
        r.openFromMainWindow();
        QVERIFY(r.window()->isVisible());
        QCOMPARE(r.window()->parentWidget(), static_cast<QWidget*>(r.t.app().Form1));
        QCOMPARE(r.label("lb_hcount"), QString("Horizontal Tile Count :30"));
        QCOMPARE(r.label("lb_vcount"), QString("Vertical Tile Count :20"));
        QCOMPARE(r.label("lb_mosaicsize"), QString("Mosaic size: 300.00 x 200.00pixel"));
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 2 x 1 = 2"));
        QCOMPARE(r.t.messages.shown.size(), 1);
    }

    void theCellsPerPageBoxesRefreshTheLabels()
    {
        Running r;
        ShowAndWait(r.window());
        r.box("sb_hcount")->setValue(10);
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 3 x 1 = 3"));
        r.box("sb_vcount")->setValue(7);
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 3 x 3 = 9"));
        QCOMPARE(r.label("lb_hcount"), QString("Horizontal Tile Count :30"));
        // The other boxes leave them alone.
        r.t.ws().mproject.cfg.Hcc = 12;
        r.box("sb_groupsize")->setValue(5);
        QCOMPARE(r.label("lb_hcount"), QString("Horizontal Tile Count :30"));
    }

    void previewDrawsThePageWithEveryTileNumber()
    {
        Running r;
        ShowAndWait(r.window());
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        // 24 x 20 cells fitted into 1000 x 1000.
        const QImage& page = r.window()->pagePicture();
        QCOMPARE(page.size(), QSize(1000, 833));
        QCOMPARE(Control(r.window(), "img_page")->size(), QSize(1000, 833));
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 2 x 1 = 2"));
        QCOMPARE(Control<QProgressBar>(r.window(), "pb_progress")->value(), 0);
        // The numbers are sized in pixels of a cell's output size (10 here): at 18 they
        // cover the cells. At 4 the first cell shows its tile's colour round its number.
        const QImage large = page.copy();
        r.box("sb_textsize")->setValue(4);
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        QVERIFY(r.window()->pagePicture() != large);
        const QRgb corner = r.window()->pagePicture().pixel(4, 4);
        const TAlphaColor tile0 = FixtureTileColor(0);
        QVERIFY2(std::abs(qRed(corner) - qRed(tile0)) < 8 && std::abs(qGreen(corner) - qGreen(tile0)) < 8 &&
                     std::abs(qBlue(corner) - qBlue(tile0)) < 8,
                 qPrintable(QString::number(corner, 16)));
        // Without fill the cell is white.
        QCheckBox* fill = Control<QCheckBox>(r.window(), "cb_fillcolor");
        QTest::mouseClick(fill, Qt::LeftButton, {}, QPoint(8, fill->height() / 2));
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        QCOMPARE(r.window()->pagePicture().pixel(4, 4), 0xFFFFFFFFu);

        // The last page column holds only the remaining six columns.
        r.box("sb_pagex")->setValue(1);
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        QCOMPARE(r.window()->pagePicture().size(), QSize(300, 1000));
    }

    void previewOfAPageBeyondTheLastDrawsNothing()
    {
        Running r;
        ShowAndWait(r.window());
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        QVERIFY(!r.window()->pagePicture().isNull());
        r.box("sb_pagex")->setValue(2);
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        QVERIFY(r.window()->pagePicture().isNull());
        QCOMPARE(Control(r.window(), "img_page")->size(), QSize(0, 0));
        r.box("sb_pagex")->setValue(0);
        r.box("sb_pagey")->setValue(1);
        QVERIFY(ClickButton(r.window(), "bt_preview"));
        QVERIFY(r.window()->pagePicture().isNull());
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void outputAllWritesEveryPageOfEveryGroup()
    {
        Running r;
        const QString out = r.t.documents.filePath("groups");
        QVERIFY(QDir().mkpath(out));
        ShowAndWait(r.window());

        // Cancel: nothing is written.
        QVERIFY(ClickButton(r.window(), "bt_outputall"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].kind, QString("save"));
        QCOMPARE(r.t.dialogs.asked[0].folder, r.t.ws().folders.projectsFolder);
        QCOMPARE(r.label("lb_pagecount"), QString("Total Page Count"));

        r.t.dialogs.answer(QDir(out).filePath("plan.jpg"));
        QVERIFY(ClickButton(r.window(), "bt_outputall"));
        QVERIFY2(r.t.messages.shown.isEmpty(), qPrintable(r.t.messages.texts().join("; ")));
        QStringList expected;
        for (const char* group : {"0to9", "10to19", "20to29"})
            for (int j = 0; j < 2; ++j)
                expected << QStringLiteral("plan.jpg_Page X%1Y0_Color %2.jpg").arg(j).arg(QLatin1String(group));
        expected.sort();
        QCOMPARE(FileNamesIn(out), expected);
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 2 x 1 = 2"));
        for (const QString& name : expected) {
            const QImage written(QDir(out).filePath(name));
            QCOMPARE(written.size(), name.contains("X0") ? QSize(1000, 833) : QSize(300, 1000));
        }
        // Group 20to29 holds tiles 20..24 only: cell (0, 0) (tile 0) is left white, cell
        // (20, 0) is drawn.
        const QImage last(QDir(out).filePath("plan.jpg_Page X0Y0_Color 20to29.jpg"));
        const QRgb empty = last.pixel(3, 3);
        QVERIFY(qRed(empty) > 245 && qGreen(empty) > 245 && qBlue(empty) > 245);
        const QRgb drawn = last.pixel(20 * 1000 / 24 + 3, 3);
        QVERIFY(!(qRed(drawn) > 245 && qGreen(drawn) > 245 && qBlue(drawn) > 245));
        QCOMPARE(Control<QProgressBar>(r.window(), "pb_progress")->value(), 0);
    }

    void tileCounterShowsTheStatisticsWindowAsLastFilled()
    {
        Running r;
        MarkRendered(r.t.ws());
        ShowAndWait(r.window());
        Tftilecount* statistics = r.t.app().ftilecount;
        QVERIFY(!statistics->isVisible());
        QVERIFY(ClickButton(r.window(), "bt_tilecounter"));
        QVERIFY(statistics->isVisible());
        // Not filled again: the list was never filled (filling it would also ask for
        // the tiles' pictures, which these tiles have not got).
        QVERIFY(statistics->statistics().empty());
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void tileCounterWithoutAStatisticsWindowDoesNothing()
    {
        Running r;
        ShowAndWait(r.window());
        r.t.app().commands.showTileCounter = nullptr;
        QVERIFY(ClickButton(r.window(), "bt_tilecounter"));
        QVERIFY(!r.t.app().ftilecount->isVisible());
        int shown = 0;
        r.t.app().commands.showTileCounter = [&] { ++shown; };
        QVERIFY(ClickButton(r.window(), "bt_tilecounter"));
        QCOMPARE(shown, 1);
        QVERIFY(r.t.messages.shown.isEmpty());
    }
};

QTEST_MAIN(ColorGroupPlanWindowTest)
#include "color_group_plan_window_test.moc"
