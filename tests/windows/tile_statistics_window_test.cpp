// The tile statistics window driven as a user would: the main window's command fills
// it, the radio buttons reorder it, the check boxes reach the library through "Render
// Mosaic", and the list is saved as pages or as a workbook through scripted dialogs.

#include "app/main_window.h"
#include "tests/windows/support/rendered_project.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tools/tile_statistics_window.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

#include <cstdlib>

namespace {

bool Near(QRgb a, QRgb b, int tolerance = 8)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

bool RowIsWhite(const QImage& page, int row)
{
    for (int y = row * 32; y < row * 32 + 32; ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qRed(page.pixel(x, y)) < 235 || qGreen(page.pixel(x, y)) < 235 || qBlue(page.pixel(x, y)) < 235)
                return false;
    return true;
}

QString Unzip(const QString& archive, const QString& member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, member});
    if (!unzip.waitForFinished(30000)) return {};
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

struct Running {
    TestApp t;
    Running()
    {
        t.app().createWindows();
        ShowAndWait(form());
    }
    TForm1* form() { return t.app().Form1; }
    Workspace& ws() { return t.ws(); }
    Tftilecount* window() { return t.app().ftilecount; }
    QListWidget* list() { return Control<QListWidget>(window(), "lv_tilecount"); }
    QString docs(const QString& name) const { return t.documents.filePath(name); }

    bool build(RenderedProjectOptions options = {})
    {
        options.draw = false;
        const QString e = MakeRenderedProject(t.app(), docs("project"), options);
        if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        return e.isEmpty();
    }
    QStringList rows()
    {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->item(i)->text();
        return texts;
    }
    // The tile numbers of the rows, read back from their texts.
    QList<int> rowTiles()
    {
        QList<int> tiles;
        static const QRegularExpression id(QStringLiteral("^ID:\\s*(\\d+)"));
        for (const QString& row : rows())
            tiles << id.match(row).captured(1).toInt();
        return tiles;
    }
    int countSum()
    {
        int sum = 0;
        static const QRegularExpression count(QStringLiteral("Count:\\s*(\\d+)"));
        for (const QString& row : rows())
            sum += count.match(row).captured(1).toInt();
        return sum;
    }
    void toggleRow(int row)
    {
        list()->setFocus();
        list()->setCurrentRow(row);
        QTest::keyClick(list(), Qt::Key_Space);
    }
};

// Counts 5, 9, 5, 9 for tiles 0..3 in a 7 x 4 grid.
int EqualCountsTile(int x, int y)
{
    const int i = y * 7 + x;
    return i < 5 ? 0 : i < 14 ? 1 : i < 19 ? 2 : 3;
}

} // namespace

class TileStatisticsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsAtStart()
    {
        Running r;
        Tftilecount* w = r.window();
        QVERIFY(w);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->windowTitle(), QString("Tile count"));
        QCOMPARE(w->size(), QSize(368, 522));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(Control<QRadioButton>(w, "rb_orderbyid")->isChecked());
        QCOMPARE(Control<QRadioButton>(w, "rb_orderbyid")->text(), QString("Order By Tile ID"));
        QCOMPARE(Control<QRadioButton>(w, "rb_orderbycount")->text(), QString("Order By Tile Count"));
        QCOMPARE(Control<QPushButton>(w, "bt_rendermosaic")->text(), QString("Render Mosaic"));
        QCOMPARE(Control<QPushButton>(w, "bt_save")->text(), QString("Save "));
        QCOMPARE(Control<QPushButton>(w, "bt_excel")->text(), QString("Export Excel (Win Version)"));
    }

    void theCommandListsEveryTileWithItsCountAndCheckBox()
    {
        Running r;
        QVERIFY(r.build()); // 4 x 4 cells, tile (x + y) % 3: counts 6, 5, 5
        r.ws().mtilelib.ItemEnable[1] = 0;
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QVERIFY(r.window()->isVisible());
        QCOMPARE(r.rows(),
                 (QStringList{"ID:   0   Count:     6   <File:t0.png>", "ID:   1   Count:     5   <File:t1.png>",
                              "ID:   2   Count:     5   <File:t2.png>"}));
        QCOMPARE(r.list()->item(0)->checkState(), Qt::Checked);
        QCOMPARE(r.list()->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(r.list()->item(2)->checkState(), Qt::Checked);
        for (int i = 0; i < 3; ++i) {
            const QImage thumb =
                r.list()->item(i)->icon().pixmap(QSize(32, 32), r.window()->devicePixelRatioF()).toImage();
            QVERIFY2(Near(thumb.pixel(thumb.width() / 2, thumb.height() / 2), ToolTileColour(i), 2),
                     qPrintable(QString::number(i)));
        }
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void equalCountsKeepTheOrderOfTheExchangeProcedure()
    {
        Running r;
        RenderedProjectOptions o;
        o.cols = 7;
        o.rows = 4;
        o.tiles = 4;
        o.tileAt = EqualCountsTile;
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QCOMPARE(r.rowTiles(), (QList<int>{0, 1, 2, 3}));

        QTest::mouseClick(Control<QRadioButton>(r.window(), "rb_orderbycount"), Qt::LeftButton);
        QCOMPARE(r.rowTiles(), (QList<int>{1, 3, 2, 0}));
        QCOMPARE(r.rows()[0], QString("ID:   1   Count:     9   <File:t1.png>"));
        QCOMPARE(r.rows()[3], QString("ID:   0   Count:     5   <File:t0.png>"));
        QCOMPARE(r.window()->statistics()[1].tile, 3);

        // An unapplied check-box change is lost when the order changes.
        r.toggleRow(0);
        QCOMPARE(r.list()->item(0)->checkState(), Qt::Unchecked);
        QTest::mouseClick(Control<QRadioButton>(r.window(), "rb_orderbyid"), Qt::LeftButton);
        QCOMPARE(r.rowTiles(), (QList<int>{0, 1, 2, 3}));
        QCOMPARE(r.list()->item(1)->checkState(), Qt::Checked);
        QCOMPARE(r.ws().mtilelib.ItemEnable[1], std::uint8_t(1));
    }

    void theCountsOfA40By30GridAddUpTo1200()
    {
        Running r;
        RenderedProjectOptions o;
        o.cols = 40;
        o.rows = 30;
        o.tiles = 7;
        o.tileAt = [](int x, int y) { return (3 * x + y * y) % 7; };
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QCOMPARE(r.list()->count(), 7);
        QCOMPARE(r.countSum(), 1200);
        int expected3 = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                expected3 += (3 * x + y * y) % 7 == 3;
        QVERIFY(r.rows()[3].contains(QString("Count:%1").arg(expected3, 6)));
    }

    void aCircleLayoutListsItsAddOnCellsButSavesZeros()
    {
        Running r;
        QVERIFY(r.build());
        TMosaicProject& p = r.ws().mproject;
        p.cfg.ProjectPatternType = kPatternCircles;
        p.cfg.Hcc = p.cfg.Vcc = 0;
        p.cfg.AddonTilesCount = 7;
        for (int i = 0; i < 7; ++i)
            p.AddonTiles[i].TileID = i % 3;
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QCOMPARE(r.rows(),
                 (QStringList{"ID:   0   Count:     3   <File:t0.png>", "ID:   1   Count:     2   <File:t1.png>",
                              "ID:   2   Count:     2   <File:t2.png>"}));

        // The pages count grid cells only: they are the pages of a mosaic without tiles.
        QVERIFY(QDir().mkpath(r.docs("out")));
        r.t.dialogs.answer(r.docs("out/circle.jpg"));
        QVERIFY(ClickButton(r.window(), "bt_save"));
        p.cfg.AddonTilesCount = 0;
        r.t.dialogs.answer(r.docs("out/none.jpg"));
        QVERIFY(ClickButton(r.window(), "bt_save"));
        const QImage circle(r.docs("out/circle.jpg0.jpg")), none(r.docs("out/none.jpg0.jpg"));
        QVERIFY(!circle.isNull());
        QVERIFY(circle == none);
        p.cfg.AddonTilesCount = 7;

        // So does the workbook.
        r.t.dialogs.answer(r.docs("out/circle.xlsx"));
        r.t.messages.answer(MessageAnswer::No);
        QVERIFY(ClickButton(r.window(), "bt_excel"));
        const QString sheet = Unzip(r.docs("out/circle.xlsx"), "xl/worksheets/sheet1.xml");
        for (const char* cell : {"<c r=\"B2\"><v>0</v></c>", "<c r=\"B3\"><v>0</v></c>", "<c r=\"B4\"><v>0</v></c>"})
            QVERIFY2(sheet.contains(cell), qPrintable(sheet));
        QVERIFY2(r.t.messages.texts() == QStringList{"Open the workbook now?"},
                 qPrintable(r.t.messages.texts().join("; ")));
    }

    void saveWritesPagesOf50RowsInTileOrder()
    {
        Running r;
        RenderedProjectOptions o;
        o.tiles = 120;
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QTest::mouseClick(Control<QRadioButton>(r.window(), "rb_orderbycount"), Qt::LeftButton);
        QVERIFY(r.rowTiles().first() != 0);

        QVERIFY(QDir().mkpath(r.docs("pages")));
        r.t.dialogs.answer(r.docs("pages/TileCountList.jpg"));
        QVERIFY(ClickButton(r.window(), "bt_save"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].kind, QString("save"));
        QCOMPARE(r.t.dialogs.asked[0].folder, QString("TileCountList"));
        QCOMPARE(r.t.dialogs.asked[0].filter, QString("*.jpg (*.jpg)"));
        QCOMPARE(r.t.dialogs.asked[0].suffix, QString("jpg"));
        QStringList files = QDir(r.docs("pages")).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, (QStringList{"TileCountList.jpg0.jpg", "TileCountList.jpg1.jpg", "TileCountList.jpg2.jpg"}));
        for (int page = 0; page < 3; ++page) {
            const QImage img(r.docs(QString("pages/TileCountList.jpg%1.jpg").arg(page)));
            QCOMPARE(img.size(), QSize(512, 1600));
            // Tile order whatever the list's order.
            QVERIFY2(Near(img.pixel(16, 16), ToolTileColour(page * 50)), qPrintable(QString::number(page)));
        }
        const QImage third(r.docs("pages/TileCountList.jpg2.jpg"));
        QVERIFY(Near(third.pixel(16, 19 * 32 + 16), ToolTileColour(119)));
        QVERIFY(!RowIsWhite(third, 19));
        for (int row = 20; row < 50; ++row)
            QVERIFY2(RowIsWhite(third, row), qPrintable(QString::number(row)));
        QCOMPARE(r.form()->progressBar()->value(), 0);

        // A name typed without an extension gets ".jpg"; cancelling writes nothing.
        r.t.dialogs.answer(r.docs("pages/mine"));
        QVERIFY(ClickButton(r.window(), "bt_save"));
        QVERIFY(QFileInfo::exists(r.docs("pages/mine.jpg0.jpg")));
        QVERIFY(ClickButton(r.window(), "bt_save"));
        QCOMPARE(QDir(r.docs("pages")).entryList(QDir::Files).size(), 6);
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void thirtyTilesGiveOnePage512By960()
    {
        Running r;
        RenderedProjectOptions o;
        o.tiles = 30;
        QVERIFY(r.build(o));
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QVERIFY(QDir().mkpath(r.docs("pages")));
        r.t.dialogs.answer(r.docs("pages/TileCountList.jpg"));
        QVERIFY(ClickButton(r.window(), "bt_save"));
        QCOMPARE(QDir(r.docs("pages")).entryList(QDir::Files), QStringList{"TileCountList.jpg0.jpg"});
        const QImage page(r.docs("pages/TileCountList.jpg0.jpg"));
        QCOMPARE(page.size(), QSize(512, 960));
        QVERIFY(Near(page.pixel(16, 29 * 32 + 16), ToolTileColour(29)));
    }

    void theWorkbookIsWrittenWhereTheUserSaysAndOpenedOnYes()
    {
        Running r;
        QVERIFY(r.build()); // counts 6, 5, 5
        TMosaicProject& p = r.ws().mproject;
        p.cfg.AddonTilesCount = 1;
        p.AddonTiles[0] = p.Cells[0][0];
        p.AddonTiles[0].TileID = 2; // listed, not exported
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QVERIFY(r.rows()[2].contains("Count:     6"));

        const QString first = r.docs("stats.xlsx");
        r.t.dialogs.answer(first);
        r.t.messages.answer(MessageAnswer::No);
        QVERIFY(ClickButton(r.window(), "bt_excel"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].folder, r.ws().folders.projectsFolder + "/TileStatistics.xlsx");
        QCOMPARE(r.t.dialogs.asked[0].filter, QString("Excel workbook (*.xlsx)"));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].text, QString("Open the workbook now?"));
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Confirmation);
        QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::YesNo);
        QVERIFY(r.t.shell.opened.isEmpty());

        const QString sheet = Unzip(first, "xl/worksheets/sheet1.xml");
        for (const char* cell : {"<c r=\"A2\"><v>0</v></c>", "<c r=\"B2\"><v>6</v></c>", "<c r=\"A4\"><v>2</v></c>",
                                 "<c r=\"B4\"><v>5</v></c>"})
            QVERIFY2(sheet.contains(cell), qPrintable(sheet));
        QVERIFY(!sheet.contains("r=\"A5\""));
        const QString strings = Unzip(first, "xl/sharedStrings.xml");
        for (const QString& text : {QString("Tile ID"), QString("Count"), QString("File Name"),
                                    r.ws().mtilelib.GetFullName(0), r.ws().mtilelib.GetFullName(2)})
            QVERIFY2(strings.contains(text), qPrintable(text));

        // A saved project proposes its own folder; Yes opens the workbook.
        QVERIFY(QDir().mkpath(r.docs("saved")));
        p.cfg.RootPath.set(r.docs("saved"));
        const QString second = r.docs("saved/TileStatistics.xlsx");
        r.t.dialogs.answer(second);
        r.t.messages.answer(MessageAnswer::Yes);
        QVERIFY(ClickButton(r.window(), "bt_excel"));
        QCOMPARE(r.t.dialogs.asked[1].folder, second);
        QCOMPARE(r.t.shell.opened, QStringList{second});
        QVERIFY(QFileInfo(second).size() > 0);
        QCOMPARE(Control<QPushButton>(r.window(), "bt_excel")->text(), QString("Export Excel (Win Version)"));

        // Cancelled: nothing written, nothing asked.
        QVERIFY(ClickButton(r.window(), "bt_excel"));
        QCOMPARE(r.t.messages.shown.size(), 2);
        QCOMPARE(r.t.shell.opened.size(), 1);
    }

    void renderMosaicSearchesTheOpenProjectAgainWithoutTheUncheckedTile()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        r.toggleRow(0); // tile 0 off
        const QImage before = r.form()->Image1().copy();
        QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        QVERIFY(r.t.messages.shown.isEmpty());
        QVERIFY(r.ws().mproject.Rendered);
        QCOMPARE(r.ws().mtilelib.ItemEnable[0], std::uint8_t(0));
        const TMosaicProject& p = r.ws().mproject;
        int filled = 0;
        for (int y = 0; y < p.cfg.Vcc; ++y)
            for (int x = 0; x < p.cfg.Hcc; ++x) {
                QVERIFY(p.Cells[y][x].TileID != 0);
                filled += p.Cells[y][x].TileID >= 0;
            }
        QVERIFY(filled > 0);
        QCOMPARE(r.ws().mtilelib.items[0].Usecount, 0);
        QVERIFY(r.form()->Image1() != before);
        QCOMPARE(r.list()->item(0)->checkState(), Qt::Unchecked);
    }

    void renderMosaicWithoutTheWorkflowSaysSoAndChangesNothing()
    {
        Running r;
        QVERIFY(r.build());
        r.t.app().commands.renderMosaic = nullptr; // no render pipeline to call
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        r.toggleRow(1);
        QCOMPARE(r.list()->item(1)->checkState(), Qt::Unchecked);
        QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        QCOMPARE(r.t.messages.texts(), QStringList{"Create a mosaic in the new-project window first."});
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(r.ws().mtilelib.ItemEnable[1], std::uint8_t(1));
        QCOMPARE(r.list()->item(1)->checkState(), Qt::Unchecked);
    }

    void renderMosaicAppliesTheCheckBoxesRendersAndRefills()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QTest::mouseClick(Control<QRadioButton>(r.window(), "rb_orderbycount"), Qt::LeftButton);
        QCOMPARE(r.rowTiles(), (QList<int>{0, 1, 2}));
        r.toggleRow(2); // tile 2

        int calls = 0;
        Progress* given = nullptr;
        QList<int> enabledAtRender;
        r.t.app().commands.renderMosaic = [&](Progress* progress) -> Status {
            ++calls;
            given = progress;
            for (int i = 0; i < 3; ++i)
                enabledAtRender << r.ws().mtilelib.ItemEnable[i];
            // The search leaves the unchecked tile out.
            TMosaicProject& p = r.ws().mproject;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    if (p.Cells[y][x].TileID == 2) p.Cells[y][x].TileID = 1;
            return {};
        };
        QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        QCOMPARE(calls, 1);
        QCOMPARE(given, r.form()->mainProgress());
        QCOMPARE(enabledAtRender, (QList<int>{1, 1, 0}));
        // Filled again, still by count.
        QCOMPARE(r.rows(),
                 (QStringList{"ID:   1   Count:    10   <File:t1.png>", "ID:   0   Count:     6   <File:t0.png>",
                              "ID:   2   Count:     0   <File:t2.png>"}));
        QCOMPARE(r.list()->item(2)->checkState(), Qt::Unchecked);
        QVERIFY(r.t.messages.shown.isEmpty());

        // A failed render is reported (unless it reported itself); the list is refilled.
        r.t.app().commands.renderMosaic = [](Progress*) { return Failure("Mosaic.Prj: no main image"); };
        QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        QCOMPARE(r.t.messages.texts(), QStringList{"Mosaic.Prj: no main image"});
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        r.t.app().commands.renderMosaic = [](Progress*) { return Failure(QString()); };
        QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        QCOMPARE(r.t.messages.shown.size(), 1);

        // Not while another long command runs.
        calls = 0;
        r.t.app().commands.renderMosaic = [&](Progress*) -> Status {
            ++calls;
            return {};
        };
        r.toggleRow(0);
        {
            AppContext::LongCommand running(r.t.app());
            QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        }
        QCOMPARE(calls, 0);
        QCOMPARE(r.t.shell.beeps, 1);
        QCOMPARE(r.ws().mtilelib.ItemEnable[1], std::uint8_t(1));
    }

    void showingWithoutRefillKeepsTheLastFilling()
    {
        Running r;
        QVERIFY(r.build());
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        const QStringList before = r.rows();
        r.window()->close();
        r.ws().mproject.Cells[0][0].TileID = 2;
        r.window()->showWithoutRefill();
        QVERIFY(r.window()->isVisible());
        QCOMPARE(r.rows(), before);
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QVERIFY(r.rows() != before);
    }

    void aMissingTilePictureIsReportedAndTheListStopsThere()
    {
        Running r;
        RenderedProjectOptions o;
        o.tiles = 5;
        QVERIFY(r.build(o));
        QVERIFY(QFile::remove(r.ws().mtilelib.GetFullName(3)));
        QVERIFY(ClickButton(r.form(), "bt_tilestat"));
        QCOMPARE(r.rowTiles(), (QList<int>{0, 1, 2}));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Error);
        QVERIFY2(r.t.messages.shown[0].text.contains("t3.png"), qPrintable(r.t.messages.shown[0].text));

        // "Render Mosaic" applies the rows that are there.
        r.t.messages.shown.clear();
        r.ws().mtilelib.ItemEnable[4] = 0;
        r.toggleRow(0);
        r.t.app().commands.renderMosaic = [](Progress*) -> Status { return {}; };
        QVERIFY(ClickButton(r.window(), "bt_rendermosaic"));
        QCOMPARE(r.ws().mtilelib.ItemEnable[0], std::uint8_t(0));
        QCOMPARE(r.ws().mtilelib.ItemEnable[4], std::uint8_t(0));
        QCOMPARE(r.ws().mtilelib.ItemEnable[3], std::uint8_t(1));
    }
};

QTEST_MAIN(TileStatisticsWindowTest)
#include "tile_statistics_window_test.moc"
