// The tile picker, the tile pen and the grout window driven as a user would: the main
// window's commands open them, clicks on the mosaic select or paint cells, clicks on
// the candidate image, the pen list and the buttons do the rest.

#include "app/main_window.h"
#include "app/picture_view.h"
#include "output/cell_texts.h"
#include "tests/windows/support/rendered_project.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tools/color_combo_box.h"
#include "tools/grout_color_window.h"
#include "tools/tile_pen_window.h"
#include "tools/tile_picker_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

namespace {

bool Near(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

QString Hex(QRgb c)
{
    return QString::number(c, 16).toUpper();
}

// A whole application with its windows, the main window on screen.
struct Running {
    TestApp t;
    Running()
    {
        t.app().createWindows();
        ShowAndWait(form());
    }
    TForm1* form() { return t.app().Form1; }
    Workspace& ws() { return t.ws(); }
    TfCellEditor* picker() { return t.app().fCellEditor; }
    Tftilepen* pen() { return t.app().ftilepen; }
    TfChangeGrout* grout() { return t.app().fChangeGrout; }

    bool build(const RenderedProjectOptions& options = {})
    {
        const QString e = MakeRenderedProject(t.app(), t.documents.filePath("project"), options);
        if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        return e.isEmpty();
    }
    // A press on the main window's mosaic at (x, y) of the picture.
    void clickMosaic(int x, int y) { QTest::mouseClick(Control(form(), "Image1"), Qt::LeftButton, {}, QPoint(x, y)); }
    void clickCandidate(int x, int y = 60)
    {
        QTest::mouseClick(Control(picker(), "Img_candidates"), Qt::LeftButton, {}, QPoint(x, y));
    }
    QRgb viewPixel(int x, int y) { return form()->Image1().pixel(x, y); }
    QString pickerText(const char* label) { return Control<QLabel>(picker(), label)->text(); }
    QString matchCaption() { return Control<QGroupBox>(picker(), "GroupBox2")->title(); }
    QScrollBar* scrollBar() { return Control<QScrollBar>(picker(), "ScrollBar1"); }
};

// The colour of card `i` of a strip (or a candidate image showing it from scroll 0) in
// the tile's picture square.
QRgb CardPicture(const QImage& image, int i)
{
    return image.pixel(i * 128 + 64, 60);
}

void ClickListRow(QListWidget* list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace

class ToolWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // --- Tile picker --------------------------------------------------------------

    void thePickerIsBuiltAsAtStart()
    {
        Running r;
        TfCellEditor* p = r.picker();
        QVERIFY(p);
        QVERIFY(!p->isVisible());
        QCOMPARE(p->windowTitle(), QString("Tile Picker"));
        QCOMPARE(p->size(), QSize(723, 281));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        QVERIFY(!p->isReady());
        QCOMPARE(Control<QGroupBox>(p, "GroupBox1")->title(), QString("Cell Info"));
        QCOMPARE(Control<QGroupBox>(p, "GroupBox1")->size(), QSize(145, 257));
        QCOMPARE(Control<QGroupBox>(p, "GroupBox2")->size(), QSize(553, 257));
        QCOMPARE(r.matchCaption(), QString("Images Match the Cell"));
        QCOMPARE(Control(p, "Img_candidates")->size(), QSize(537, 192));
        QCOMPARE(Control(p, "Img_cellinfo")->size(), QSize(128, 153));
        const QImage& bitmap = p->candidateBitmap();
        QCOMPARE(bitmap.deviceIndependentSize().toSize(), QSize(512, 192));
        QCOMPARE(bitmap.size(), QSize(512, 192) * p->devicePixelRatioF());
        QCOMPARE(bitmap.pixel(0, 0), QRgb(0xF0F0F0F0));
        QCOMPARE(bitmap.pixel(511, 191), QRgb(0xF0F0F0F0));
    }

    void threeTilesGiveThreeCardsAndNoScrolling()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_select"));
        QVERIFY(r.picker()->isVisible());
        QVERIFY(r.form()->SelectMode);
        QVERIFY(r.picker()->isReady());

        r.clickMosaic(30, 10); // cell (1, 0), the green tile
        QCOMPARE(r.picker()->selectedCell().X, 1);
        QCOMPARE(r.picker()->selectedCell().Y, 0);
        QVERIFY(r.picker()->isReady());
        const TGoodTileList& list = r.ws().pickerList;
        QCOMPARE(list.Count, 3);
        QCOMPARE(r.matchCaption(), QString("Images Match the Cell: 3"));
        QCOMPARE(r.scrollBar()->maximum(), 0);
        QCOMPARE(r.scrollBar()->value(), 0);

        const QImage& strip = r.picker()->strip();
        QCOMPARE(strip.size(), QSize(6400, 192));
        const QImage& shown = r.picker()->candidateBitmap();
        for (int i = 0; i < 4; ++i) {
            const QRgb expected = i < 3 ? ToolTileColour(list.Tiles[i].tileid) : 0xFFFFFFFF;
            QVERIFY2(Near(CardPicture(strip, i), expected), qPrintable(QString("strip card %1").arg(i)));
            QVERIFY2(Near(CardPicture(shown, i), expected), qPrintable(QString("shown card %1").arg(i)));
        }
        // The best candidate of a grey cell among pure red, green and blue is any; every
        // tile is listed once.
        QList<int> tiles{list.Tiles[0].tileid, list.Tiles[1].tileid, list.Tiles[2].tileid};
        std::sort(tiles.begin(), tiles.end());
        QCOMPARE(tiles, (QList<int>{0, 1, 2}));

        // The cell's details.
        QCOMPARE(r.pickerText("lb_tileid"), QString("Tile ID: 1"));
        QCOMPARE(r.pickerText("lb_cellcolor"), QString("R128 G128 B128"));
        QCOMPARE(r.pickerText("lb_cellpos"), QString("Pos: X 30.00 Y 10.00"));
        QVERIFY(r.picker()->windowTitle().startsWith("Current Diff= "));
        QVERIFY2(r.picker()->windowTitle().endsWith(" R0 G255 B0"), qPrintable(r.picker()->windowTitle()));
        QCOMPARE(r.picker()->windowTitle(), *CurrentDiffText(r.ws().mproject.Cells[0][1], r.ws().mtilelib));
        const QImage card = Control<PictureView>(r.picker(), "Img_cellinfo")->picture();
        QCOMPARE(card.size(), QSize(128, 192));
        QVERIFY(Near(card.pixel(64, 64), 0xFF00FF00));  // the tile's picture
        QVERIFY(Near(card.pixel(32, 160), 0xFF808080)); // over the cell's own colour
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void aClickRightOfTheLastCardDoesNothing()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(30, 10);
        const QImage before = r.form()->Image1().copy();
        const TCell cellBefore = r.ws().mproject.Cells[0][1];
        const int uses[] = {r.ws().mtilelib.items[0].Usecount, r.ws().mtilelib.items[1].Usecount,
                            r.ws().mtilelib.items[2].Usecount};
        const QString title = r.picker()->windowTitle();

        r.clickCandidate(3 * 128 + 40); // the blank fourth card
        r.clickCandidate(520);          // beside the picture
        QVERIFY(std::memcmp(&r.ws().mproject.Cells[0][1], &cellBefore, sizeof(TCell)) == 0);
        QVERIFY(r.form()->Image1() == before);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(r.ws().mtilelib.items[i].Usecount, uses[i]);
        QCOMPARE(r.picker()->windowTitle(), title);
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void aCandidateClickPutsTheTileIntoTheCellAndRepaintsIt()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(30, 10); // cell (1, 0) holds tile 1
        const TGoodTileList& list = r.ws().pickerList;
        int k = 0;
        while (list.Tiles[k].tileid == 1)
            ++k;
        const TGoodTileList::Entry entry = list.Tiles[k];
        const int usesBefore = r.ws().mtilelib.items[entry.tileid].Usecount;
        r.ws().mproject.Cells[0][1].Rotate = 1.0;
        const QRgb neighbour = r.viewPixel(10, 10);
        const QImage stripBefore = r.picker()->strip().copy();

        r.clickCandidate(k * 128 + 100, 150);
        const TCell& cell = r.ws().mproject.Cells[0][1];
        QCOMPARE(cell.TileID, entry.tileid);
        QVERIFY(std::abs(cell.Rotate - entry.RotateID * std::numbers::pi / 6) < 1e-6);
        QCOMPARE(r.ws().mtilelib.items[entry.tileid].Usecount, usesBefore + 1);
        QVERIFY2(Near(r.viewPixel(30, 10), ToolTileColour(entry.tileid)), qPrintable(Hex(r.viewPixel(30, 10))));
        QCOMPARE(r.viewPixel(10, 10), neighbour);
        // The details follow the new tile; the candidates stay as they were.
        QCOMPARE(r.pickerText("lb_tileid"), QString("Tile ID: %1").arg(entry.tileid));
        QCOMPARE(r.picker()->windowTitle(), *CurrentDiffText(cell, r.ws().mtilelib));
        const QImage card = Control<PictureView>(r.picker(), "Img_cellinfo")->picture();
        QVERIFY(Near(card.pixel(64, 64), ToolTileColour(entry.tileid)));
        QCOMPARE(list.Count, 3);
        QVERIFY(r.picker()->strip() == stripBefore);
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void twoHundredTilesListFiftyCardsAndScrollToTheLastFour()
    {
        Running r;
        RenderedProjectOptions o;
        o.tiles = 200;
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(50, 30); // cell (2, 1)
        const TGoodTileList& list = r.ws().pickerList;
        QCOMPARE(list.Count, 100);
        QCOMPARE(r.matchCaption(), QString("Images Match the Cell: 50"));
        QCOMPARE(r.scrollBar()->maximum(), (50 - 4) * 128);

        const QImage& strip = r.picker()->strip();
        for (int i : {0, 45, 49})
            QVERIFY2(Near(CardPicture(strip, i), ToolTileColour(list.Tiles[i].tileid), 1),
                     qPrintable(QString::number(i)));

        r.scrollBar()->setFocus();
        QTest::keyClick(r.scrollBar(), Qt::Key_End);
        const int v = r.scrollBar()->value();
        QCOMPARE(v, 46 * 128);
        const QImage& shown = r.picker()->candidateBitmap();
        for (int j = 0; j < 4; ++j) {
            const QRgb expected = ToolTileColour(list.Tiles[46 + j].tileid);
            QVERIFY2(
                Near(CardPicture(shown, j), expected, 1),
                qPrintable(QString("card %1: %2 vs %3").arg(46 + j).arg(Hex(CardPicture(shown, j)), Hex(expected))));
            // The strip's window (v, 0, v + 512, 192) stretched over 196 rows: row 60 of
            // the image shows row 60 * 192 / 196 of the strip, the swatch row 170 its row
            // 166.
            QVERIFY(Near(shown.pixel(j * 128 + 20, 170), strip.pixel(v + j * 128 + 20, 166), 1));
        }

        // The last card is the 50th candidate.
        r.clickCandidate(3 * 128 + 5);
        QCOMPARE(r.ws().mproject.Cells[1][2].TileID, list.Tiles[49].tileid);

        QTest::keyClick(r.scrollBar(), Qt::Key_Home);
        QVERIFY(Near(CardPicture(shown, 0), ToolTileColour(list.Tiles[0].tileid), 1));
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void aCellWithoutATileShowsNoCardAndNoDifference()
    {
        Running r;
        RenderedProjectOptions o;
        o.tileAt = [](int x, int y) { return x == 2 && y == 2 ? -1 : (x + y) % 3; };
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(10, 10);
        QVERIFY(r.picker()->windowTitle().startsWith("Current Diff= "));
        QVERIFY(!Control<PictureView>(r.picker(), "Img_cellinfo")->picture().isNull());

        r.clickMosaic(50, 50); // the empty cell (2, 2)
        QCOMPARE(r.picker()->selectedCell().X, 2);
        QCOMPARE(r.picker()->selectedCell().Y, 2);
        QCOMPARE(r.picker()->windowTitle(), QString("Tile Picker"));
        QVERIFY(Control<PictureView>(r.picker(), "Img_cellinfo")->picture().isNull());
        QCOMPARE(r.pickerText("lb_tileid"), QString("Tile ID: -1"));
        QCOMPARE(r.pickerText("lb_cellpos"), QString("Pos: X 50.00 Y 50.00"));
        // Its candidates are listed all the same, and one can be put into it.
        QCOMPARE(r.ws().pickerList.Count, 3);
        r.clickCandidate(10);
        QCOMPARE(r.ws().mproject.Cells[2][2].TileID, r.ws().pickerList.Tiles[0].tileid);
        QVERIFY(r.picker()->windowTitle().startsWith("Current Diff= "));
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void thePositionTextRightAlignsBothNumbers()
    {
        Running r;
        RenderedProjectOptions o;
        o.cellWidth = 25;
        o.cellHeight = 14.5;
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(3, 3);
        const TCell& cell = r.ws().mproject.Cells[0][0];
        QCOMPARE(cell.CellCenterReal.X, 12.5f);
        QCOMPARE(cell.CellCenterReal.Y, 7.25f);
        QCOMPARE(r.pickerText("lb_cellpos"), QString("Pos: X 12.50 Y  7.25"));
    }

    void aSelectionIsIgnoredWhileTheReadyFlagIsClear()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.picker()->setReady(false);
        r.clickMosaic(30, 10);
        QCOMPARE(r.ws().pickerList.Count, 0);
        QCOMPARE(r.matchCaption(), QString("Images Match the Cell"));
        QCOMPARE(r.picker()->windowTitle(), QString("Tile Picker"));
        QVERIFY(r.picker()->strip().isNull());

        // "Select" arms it again.
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(30, 10);
        QCOMPARE(r.ws().pickerList.Count, 3);
    }

    void aSelectionWaitsForALongCommand()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_select"));
        {
            AppContext::LongCommand running(r.t.app());
            r.clickMosaic(30, 10);
            QCOMPARE(r.ws().pickerList.Count, 0);
            QCOMPARE(r.t.shell.beeps, 1);
        }
        QVERIFY(r.picker()->isReady());
        r.clickMosaic(30, 10);
        QCOMPARE(r.ws().pickerList.Count, 3);
    }

    void aTilePictureThatCannotBeReadIsReported()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(QFile::remove(r.ws().mtilelib.GetFullName(1)));
        QVERIFY(ClickButton(r.form(), "bt_select"));
        r.clickMosaic(30, 10); // cell (1, 0) holds tile 1
        QVERIFY(!r.t.messages.shown.isEmpty());
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY2(r.t.messages.shown[0].text.contains("t1.png"), qPrintable(r.t.messages.shown[0].text));
        QVERIFY(r.picker()->isReady());

        // Putting that tile into another cell is refused and the cell keeps its tile.
        r.t.messages.shown.clear();
        r.clickMosaic(10, 10); // cell (0, 0) holds tile 0
        const TGoodTileList& list = r.ws().pickerList;
        int k = 0;
        while (k < list.Count && list.Tiles[k].tileid != 1)
            ++k;
        QVERIFY(k < list.Count);
        r.t.messages.shown.clear();
        r.clickCandidate(k * 128 + 10);
        QCOMPARE(r.ws().mproject.Cells[0][0].TileID, 0);
        QCOMPARE(r.t.messages.shown.size(), 1);
        QVERIFY(r.t.messages.shown[0].text.contains("t1.png"));
    }

    void hidingThePickerClearsSelectModeAndHidingThePenClearsPenMode()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_select"));
        QVERIFY(r.form()->SelectMode);
        r.picker()->close();
        QVERIFY(!r.form()->SelectMode);
        QVERIFY(ClickButton(r.form(), "bt_select"));
        QVERIFY(r.form()->SelectMode);
        r.picker()->hide();
        QVERIFY(!r.form()->SelectMode);

        QVERIFY(ClickButton(r.form(), "bt_select"));
        QVERIFY(ClickButton(r.form(), "bt_pen"));
        QVERIFY(r.pen()->isVisible());
        QVERIFY(r.form()->PenMode);
        QVERIFY(ClickButton(r.pen(), "bt_close"));
        QVERIFY(!r.pen()->isVisible());
        QVERIFY(!r.form()->PenMode);
        QVERIFY(r.form()->SelectMode); // the pen leaves the picker's flag alone
        QVERIFY(ClickButton(r.form(), "bt_pen"));
        r.pen()->hide();
        QVERIFY(!r.form()->PenMode);
    }

    // --- Tile pen -----------------------------------------------------------------

    void thePenListsEveryTileAndAClickPicksThePenTile()
    {
        Running r;
        QVERIFY(r.build());
        Tftilepen* pen = r.pen();
        QCOMPARE(pen->windowTitle(), QString("Tile Pen"));
        QCOMPARE(pen->size(), QSize(242, 482));
        QCOMPARE(Control(pen, "lv_pentiles")->size(), QSize(225, 393));
        QCOMPARE(Control(pen, "Img_penpreview")->size(), QSize(65, 65));
        QCOMPARE(Control<QPushButton>(pen, "bt_close")->text(), QString("CLOSE"));

        r.form()->PenTile = 2;
        QVERIFY(ClickButton(r.form(), "bt_pen"));
        auto* list = Control<QListWidget>(pen, "lv_pentiles");
        QCOMPARE(list->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->item(i)->text(), QString::number(i));
            const QImage thumb = list->item(i)->icon().pixmap(QSize(32, 32), pen->devicePixelRatioF()).toImage();
            QVERIFY2(Near(thumb.pixel(thumb.width() / 2, thumb.height() / 2), ToolTileColour(i)),
                     qPrintable(QString::number(i)));
        }
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(r.form()->PenTile, 2); // filling leaves the pen tile alone

        ClickListRow(list, 1);
        QCOMPARE(r.form()->PenTile, 1);
        const QImage preview = Control<PictureView>(pen, "Img_penpreview")->picture();
        QCOMPARE(preview.size(), QSize(128, 192));
        QVERIFY(Near(preview.pixel(64, 64), 0xFF00FF00));
        QVERIFY(Near(preview.pixel(32, 160), 0xFF00FF00)); // the tile's own colours
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void thePenPaintsTheClickedCellKeepingRotationAndUseCounts()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_pen"));
        ClickListRow(Control<QListWidget>(r.pen(), "lv_pentiles"), 2);
        r.ws().mproject.Cells[1][1].Rotate = 0.5;
        int uses[3];
        for (int i = 0; i < 3; ++i)
            uses[i] = r.ws().mtilelib.items[i].Usecount;
        const QRgb neighbour = r.viewPixel(10, 30);

        r.clickMosaic(30, 30); // cell (1, 1), tile 2 now
        const TCell& cell = r.ws().mproject.Cells[1][1];
        QCOMPARE(cell.TileID, 2);
        QCOMPARE(cell.Rotate, 0.5);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(r.ws().mtilelib.items[i].Usecount, uses[i]);
        QVERIFY2(Near(r.viewPixel(30, 30), 0xFF0000FF), qPrintable(Hex(r.viewPixel(30, 30))));
        QCOMPARE(r.viewPixel(10, 30), neighbour);
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void thePenIntoAnAddOnCellChangesOnlyThatCell()
    {
        Running r;
        QVERIFY(r.build());
        TMosaicProject& p = r.ws().mproject;
        // An add-on cell a little above and left of the grid cell (3, 2), so that a
        // click near its centre finds it.
        TCell addon = p.Cells[2][3];
        auto shift = [](TRectF& rect) {
            rect.Left -= 4;
            rect.Top -= 4;
            rect.Right -= 4;
            rect.Bottom -= 4;
        };
        shift(addon.CellRectReal);
        shift(addon.CellRect);
        addon.CellCenterReal.X -= 4;
        addon.CellCenterReal.Y -= 4;
        addon.CellAID = 0;
        addon.TileID = -1;
        p.AddonTiles[0] = addon;
        p.cfg.AddonTilesCount = 1;
        QByteArray gridBefore(reinterpret_cast<const char*>(p.Cells), sizeof p.Cells);

        QVERIFY(ClickButton(r.form(), "bt_pen"));
        ClickListRow(Control<QListWidget>(r.pen(), "lv_pentiles"), 0);
        const QRgb outside = r.viewPixel(78, 58);
        r.clickMosaic(65, 45);
        QCOMPARE(p.AddonTiles[0].TileID, 0);
        QVERIFY(QByteArray(reinterpret_cast<const char*>(p.Cells), sizeof p.Cells) == gridBefore);
        QCOMPARE(p.Cells[0][0].TileID, 0); // column 0 of row 0 is untouched
        QCOMPARE(p.Cells[2][3].TileID, 2);
        QVERIFY2(Near(r.viewPixel(62, 42), 0xFFFF0000), qPrintable(Hex(r.viewPixel(62, 42))));
        QCOMPARE(r.viewPixel(78, 58), outside);
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void thePenWaitsForALongCommandAndRefusesATileThatIsGone()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_pen"));
        ClickListRow(Control<QListWidget>(r.pen(), "lv_pentiles"), 2);
        const QImage before = r.form()->Image1().copy();
        {
            AppContext::LongCommand running(r.t.app());
            r.clickMosaic(10, 10);
        }
        QCOMPARE(r.ws().mproject.Cells[0][0].TileID, 0);
        QVERIFY(r.form()->Image1() == before);
        QCOMPARE(r.t.shell.beeps, 1);

        // A pen tile beyond the library (a smaller library was loaded since) is refused.
        r.form()->PenTile = 7;
        r.clickMosaic(10, 10);
        QCOMPARE(r.ws().mproject.Cells[0][0].TileID, 0);
        QCOMPARE(r.t.messages.shown.size(), 1);
        QVERIFY(r.t.messages.shown[0].text.contains("tile 7"));
    }

    // --- Grout colour -------------------------------------------------------------

    void theGroutWindowOpensWithTheColourInUse()
    {
        Running r;
        TfChangeGrout* g = r.grout();
        QCOMPARE(g->windowTitle(), QString("Change Grout Color"));
        QCOMPARE(g->size(), QSize(269, 168));
        QCOMPARE(g->pickedColor(), TAlphaColor(0xFFFFFFFF));
        QCOMPARE(Control<QLabel>(g, "lb_rgb")->text(), QString("R255 G255 B255"));
        QCOMPARE(Control<QLabel>(g, "Label1")->text(), QString("Grout Color"));
        QCOMPARE(Control<QPushButton>(g, "bt_apply")->text(), QString("Apply "));
        QCOMPARE(Control<QPushButton>(g, "bt_close")->text(), QString("Close"));

        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_groutcolor"));
        QVERIFY(g->isVisible());
        QCOMPARE(g->pickedColor(), TAlphaColor(0xFF202020));
        QCOMPARE(Control<QComboBox>(g, "ComboColorBox1")->currentText(), QString("#202020"));
        QCOMPARE(Control<QLabel>(g, "lb_rgb")->text(), QString("R32 G32 B32"));

        // A named colour shows as its entry.
        r.ws().moptions.BgColor = 0xFFFFA500;
        QVERIFY(ClickButton(r.form(), "bt_groutcolor"));
        QCOMPARE(Control<QComboBox>(g, "ComboColorBox1")->currentText(), QString("orange"));
        QCOMPARE(Control<QLabel>(g, "lb_rgb")->text(), QString("R255 G165 B0"));
        QVERIFY(ClickButton(g, "bt_close"));
        QVERIFY(!g->isVisible());
    }

    void theLabelFollowsThePickerAndMoreAsksForAnyColour()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_groutcolor"));
        auto* box = Control<ColorComboBox>(r.grout(), "ComboColorBox1");
        box->setFocus();
        box->setCurrentIndex(box->findText("yellow"));
        QCOMPARE(Control<QLabel>(r.grout(), "lb_rgb")->text(), QString("R255 G255 B0"));

        QList<QColor> asked;
        box->chooseColor = [&](const QColor& start) -> std::optional<QColor> {
            asked << start;
            return QColor(10, 20, 30);
        };
        QTest::keyClick(box, Qt::Key_End); // "More..."
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].rgba(), QRgb(0xFFFFFF00));
        QCOMPARE(r.grout()->pickedColor(), TAlphaColor(0xFF0A141E));
        QCOMPARE(box->currentText(), QString("#0A141E"));
        QCOMPARE(Control<QLabel>(r.grout(), "lb_rgb")->text(), QString("R10 G20 B30"));

        // Cancelled: the colour stays.
        box->chooseColor = [&](const QColor& start) -> std::optional<QColor> {
            asked << start;
            return std::nullopt;
        };
        QTest::keyClick(box, Qt::Key_Home);
        QCOMPARE(box->currentText(), QString("aliceblue"));
        QTest::keyClick(box, Qt::Key_End);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].rgba(), QRgb(0xFFF0F8FF));
        QCOMPARE(box->currentText(), QString("aliceblue"));
        QCOMPARE(r.grout()->pickedColor(), TAlphaColor(0xFFF0F8FF));
        QCOMPARE(Control<QLabel>(r.grout(), "lb_rgb")->text(), QString("R240 G248 B255"));
        // Nothing reached the project before "Apply ".
        QCOMPARE(r.ws().moptions.BgColor, TAlphaColor(0xFF202020));
    }

    void applyOverAMainImageBackgroundSwitchesToTheFlatColour()
    {
        Running r;
        RenderedProjectOptions o;
        o.gap = 4;
        o.bgMainImage = true;
        QVERIFY(r.build(o));
        const TMosaicProject& p = r.ws().mproject;
        const TRectF a = p.Cells[0][0].CellRectReal;
        const TRectF b = p.Cells[0][1].CellRectReal;
        QVERIFY(b.Left - a.Right >= 3);
        const int gapX = static_cast<int>((a.Right + b.Left) / 2);
        const int midY = static_cast<int>((a.Top + a.Bottom) / 2);
        const int cellX = static_cast<int>((a.Left + a.Right) / 2);
        QVERIFY2(Near(r.viewPixel(gapX, midY), 0xFF3366CC, 4), qPrintable(Hex(r.viewPixel(gapX, midY))));

        QVERIFY(ClickButton(r.form(), "bt_groutcolor"));
        auto* box = Control<ColorComboBox>(r.grout(), "ComboColorBox1");
        box->setCurrentIndex(box->findText("yellow"));
        QVERIFY(ClickButton(r.grout(), "bt_apply"));
        QCOMPARE(r.ws().moptions.BgColor, TAlphaColor(0xFFFFFF00));
        QCOMPARE(r.ws().moptions.BgMainImage, std::uint8_t(0));
        QVERIFY2(Near(r.viewPixel(gapX, midY), 0xFFFFFF00), qPrintable(Hex(r.viewPixel(gapX, midY))));
        QVERIFY(Near(r.viewPixel(cellX, midY), ToolTileColour(0)));
        QCOMPARE(r.form()->progressBar()->value(), 0);
        QVERIFY(r.t.messages.shown.isEmpty());
    }
};

QTEST_MAIN(ToolWindowsTest)
#include "tool_windows_test.moc"
