// Work plans: the page grid with its shared settings, page ranges and files, and the
// colour groups with their blocks, names and empty pages.

#include "output/work_plan.h"

#include "engine/workspace.h"
#include "tests/render/final_render_fixtures.h"
#include "tests/render/working_view_fixtures.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using final_render_test::MakeGridProject;

constexpr TAlphaColor kWhite = 0xFFFFFFFF;

// Every pixel of rows y0..y1 opaque white.
bool RowsWhite(const QImage& image, int y0, int y1)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhite) return false;
    return true;
}

bool AnyNonWhite(const QImage& image, const QRect& area)
{
    return wvtest::CountPixels(image, area, [](QRgb p) { return p != kWhite; }) > 0;
}

// A mosaic 300 x 200 units: 30 x 20 cells of 10, tile i colour-coded, cell (x, y)
// holding tile (x + y) % 25.
class WorkPlan : public testing::Test {
protected:
    void SetUp() override
    {
        MakeGridProject(*ws, 30, 20, 10);
        ASSERT_EQ(ws->mproject.cfg.FullWidthF, 300);
        ASSERT_EQ(ws->mproject.cfg.FullHeightF, 200);
        for (int i = 0; i < 25; ++i)
            wvtest::SetTileColor(*ws, i, 40 + i * 8, 200 - i * 6, 90);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ws->mproject.Cells[y][x].TileID = (x + y) % 25;
        ASSERT_TRUE(dir.isValid());
    }
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
};

} // namespace

TEST_F(WorkPlan, RefreshComputesPageSizesAndScale)
{
    RefreshWorkplanCfg(*ws, 3, 3, 1000, 18, 20);
    const TworkplanCfg& w = ws->workplanCfg;
    EXPECT_EQ(w.PageCountH, 3);
    EXPECT_EQ(w.PageCountV, 3);
    EXPECT_DOUBLE_EQ(w.PageWidth, 100);
    EXPECT_DOUBLE_EQ(w.PageHeight, 200.0 / 3);
    EXPECT_DOUBLE_EQ(w.PageScale, 10);
    EXPECT_EQ(w.PageWidthPx, 1000);
    EXPECT_EQ(w.PageHeightPx, 1000);
    EXPECT_EQ(w.IDTextHeight, 18.0f);
    EXPECT_EQ(w.ColorCount, 20);

    // A page count of 0 (the spin boxes allow it) counts as one page.
    RefreshWorkplanCfg(*ws, 0, -4, 2000, 12, 5);
    EXPECT_EQ(w.PageCountH, 1);
    EXPECT_EQ(w.PageCountV, 1);
    EXPECT_DOUBLE_EQ(w.PageWidth, 300);
    EXPECT_DOUBLE_EQ(w.PageHeight, 200);
    EXPECT_DOUBLE_EQ(w.PageScale, 2000.0 / 300);

    ws->mproject.SizeUnitStr.set("mm");
    EXPECT_EQ(WorkplanSizeLabel(ws->mproject, QLocale::c()), QString("Mosaic size: 300.00 x 200.00mm"));
}

TEST_F(WorkPlan, PageRangesAndTheOnePageChoice)
{
    RefreshWorkplanCfg(*ws, 3, 3, 1000, 18, 20);
    const TRectF r = WorkplanPageRange(ws->workplanCfg, 2, 1);
    EXPECT_FLOAT_EQ(r.Left, 200);
    EXPECT_FLOAT_EQ(r.Top, 200.0f / 3);
    EXPECT_FLOAT_EQ(r.Right, 300);
    EXPECT_FLOAT_EQ(r.Bottom, 400.0f / 3);

    struct Case {
        const char* name;
        int X, Y, column, row;
    };
    const Case cases[] = {{"inside", 1, 2, 1, 2},
                          {"X past the last", 7, 0, 2, 0},
                          {"Y past the last", 0, 9, 0, 2},
                          {"negative", -3, -1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint p = WorkplanOnePage(ws->workplanCfg, c.X, c.Y);
        EXPECT_EQ(p.X, c.column);
        EXPECT_EQ(p.Y, c.row);
    }
    EXPECT_EQ(WorkplanPageFileName(2, 1), QString("WorkPlan_Page Y1X2.jpg"));
}

TEST_F(WorkPlan, NinePagesOf1000DrawTheirRangeInTheTop667Rows)
{
    RefreshWorkplanCfg(*ws, 3, 3, 1000, 18, 20);
    QImage page;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            SCOPED_TRACE(testing::Message() << "page " << j << ", " << i);
            ASSERT_TRUE(DrawWorkplanPage(*ws, page, j, i, /*fill=*/true, nullptr).ok());
            ASSERT_EQ(page.size(), QSize(1000, 1000));
            EXPECT_TRUE(AnyNonWhite(page, QRect(0, 0, 1000, 660)));
            // Row 6 of the cells (60..70 units) crosses the page border at 66.67: page 0
            // shows only its part, the rest of the picture stays white.
            EXPECT_TRUE(RowsWhite(page, 667, 999));
            // Cell centres show their tile's colour: the first cell of the page.
            const int cx = j * 10, cy = (i * 20 + 2) / 3; // a cell wholly on the page
            const TCell& cell = ws->mproject.Cells[cy][cx];
            const QPointF at((cell.CellCenterReal.X - j * 100.0) * 10 + 30,
                             (cell.CellCenterReal.Y - i * 200.0 / 3) * 10);
            EXPECT_TRUE(wvtest::Near(page.pixel(at.toPoint()), ws->mtilelib.items[cell.TileID].ColorInfo.ci1.rgb, 3))
                << std::hex << page.pixel(at.toPoint());
        }
    // The cell row across the border shows its other part at the top of the next page.
    ASSERT_TRUE(DrawWorkplanPage(*ws, page, 0, 1, /*fill=*/true, nullptr).ok());
    const TAlphaColor straddling = ws->mtilelib.items[ws->mproject.Cells[6][0].TileID].ColorInfo.ci1.rgb;
    EXPECT_TRUE(wvtest::Near(page.pixel(30, 15), straddling, 3)) << std::hex << page.pixel(30, 15);
}

TEST_F(WorkPlan, WithoutFillTheCellsAreWhiteWithOutlines)
{
    RefreshWorkplanCfg(*ws, 3, 3, 1000, 18, 20);
    QImage page;
    ASSERT_TRUE(DrawWorkplanPage(*ws, page, 0, 0, /*fill=*/false, nullptr).ok());
    EXPECT_EQ(page.pixel(15, 15), kWhite);
    EXPECT_TRUE(wvtest::IsLine(page.pixel(100, 50))); // the border between columns 0 and 1
    ASSERT_TRUE(DrawWorkplanPage(*ws, page, 0, 0, /*fill=*/true, nullptr).ok());
    EXPECT_NE(page.pixel(15, 15), kWhite);
}

TEST_F(WorkPlan, OutputAllWritesNinePagesIntoOneReusedBitmap)
{
    RefreshWorkplanCfg(*ws, 3, 3, 1000, 18, 20);
    QImage page;
    ASSERT_TRUE(DrawWorkplanPage(*ws, page, 0, 0, true, nullptr).ok());
    const uchar* bits = page.constBits();
    Result<QStringList> files = OutputAllWorkplanPages(*ws, page, dir.path(), true, nullptr);
    ASSERT_TRUE(files.ok()) << files.error().toStdString();
    EXPECT_EQ(page.constBits(), bits);
    QStringList expected;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            expected << dir.filePath(QStringLiteral("WorkPlan_Page Y%1X%2.jpg").arg(i).arg(j));
    EXPECT_EQ(*files, expected);
    for (const QString& f : expected) {
        SCOPED_TRACE(f.toStdString());
        const QImage written(f);
        ASSERT_EQ(written.size(), QSize(1000, 1000));
        // JPEG blurs the border a little; well below it the page is white.
        EXPECT_EQ(wvtest::CountPixels(written, QRect(0, 680, 1000, 320),
                                      [](QRgb p) { return qRed(p) < 245 || qGreen(p) < 245 || qBlue(p) < 245; }),
                  0);
        EXPECT_TRUE(AnyNonWhite(written, QRect(0, 0, 1000, 600)));
    }
}

TEST_F(WorkPlan, A4000PixelPageIsDrawn)
{
    RefreshWorkplanCfg(*ws, 3, 3, 4000, 18, 20);
    EXPECT_DOUBLE_EQ(ws->workplanCfg.PageScale, 40);
    QImage page;
    ASSERT_TRUE(DrawWorkplanPage(*ws, page, 2, 2, true, nullptr).ok());
    ASSERT_EQ(page.size(), QSize(4000, 4000));
    EXPECT_TRUE(AnyNonWhite(page, QRect(3900, 2600, 50, 50)));
    EXPECT_TRUE(RowsWhite(page, 2670, 2680));
}

TEST_F(WorkPlan, APageBeforeTheSettingsAreRefreshedIsRefused)
{
    QImage page;
    EXPECT_FALSE(DrawWorkplanPage(*ws, page, 0, 0, true, nullptr).ok());
    EXPECT_TRUE(page.isNull());
}

TEST_F(WorkPlan, GroupLabelsAndBlocks)
{
    ws->mproject.SizeUnitStr.set("pixel");
    const WorkplanGroupInfo info = WorkplanGroupLabels(ws->mproject, 24, 24, QLocale::c());
    EXPECT_EQ(info.horizontalCount, QString("Horizontal Tile Count :30"));
    EXPECT_EQ(info.verticalCount, QString("Vertical Tile Count :20"));
    EXPECT_EQ(info.mosaicSize, QString("Mosaic size: 300.00 x 200.00pixel"));
    EXPECT_EQ(info.pageCount, QString("Page count: 2 x 1 = 2"));
    EXPECT_EQ(info.pagesH, 2);
    EXPECT_EQ(info.pagesV, 1);

    // The last page column holds only the remaining six columns.
    const RobotPageBlock last = WorkplanGroupBlock(ws->mproject, 1, 0, 24, 24);
    EXPECT_EQ(last.x1, 24);
    EXPECT_EQ(last.x2, 29);
    EXPECT_EQ(last.y1, 0);
    EXPECT_EQ(last.y2, 19);
    EXPECT_EQ(WorkplanGroupFileName("plan.jpg", 1, 0, 10, 19), QString("plan.jpg_Page X1Y0_Color 10to19.jpg"));
}

TEST_F(WorkPlan, GroupPagesFitTheirBlockAndAPageBeyondTheLastDrawsNothing)
{
    WorkplanGroupSettings s;
    QImage page;
    // The narrow last column (6 x 20 cells) fits the 1000 box by its height.
    ASSERT_TRUE(DrawWorkplanGroupPreview(*ws, page, 1, 0, s, nullptr));
    EXPECT_EQ(page.size(), QSize(300, 1000));
    ASSERT_TRUE(DrawWorkplanGroupPreview(*ws, page, 0, 0, s, nullptr));
    EXPECT_EQ(page.size(), QSize(1000, 833));
    wvtest::RecordingProgress progress;
    EXPECT_FALSE(DrawWorkplanGroupPreview(*ws, page, 2, 0, s, &progress));
    EXPECT_TRUE(page.isNull()); // not the previous page
    EXPECT_FALSE(DrawWorkplanGroupPreview(*ws, page, 0, 1, s, nullptr));
    ASSERT_FALSE(progress.values.empty());
    EXPECT_EQ(progress.values.back(), 0);
}

TEST_F(WorkPlan, OutputAllGroupsWritesEveryGroupForEveryPage)
{
    // Tiles 20..24 are used by no cell: their group's pages are white.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ws->mproject.Cells[y][x].TileID = (x + y) % 20;
    WorkplanGroupSettings s;
    s.cellsH = 24;
    s.cellsV = 12;
    s.groupSize = 10;
    QImage page;
    Result<QStringList> files = OutputAllWorkplanGroups(*ws, page, dir.path(), "plan.jpg", s, nullptr);
    ASSERT_TRUE(files.ok()) << files.error().toStdString();
    QStringList expected;
    for (const char* group : {"0to9", "10to19", "20to29"})
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k)
                expected << dir.filePath(QStringLiteral("plan.jpg_Page X%1Y%2_Color %3.jpg").arg(j).arg(k).arg(group));
    EXPECT_EQ(*files, expected);
    QStringList onDisk = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(onDisk.size(), 12);

    const QImage firstGroup(dir.filePath("plan.jpg_Page X0Y0_Color 0to9.jpg"));
    ASSERT_EQ(firstGroup.size(), QSize(1000, 500));
    EXPECT_TRUE(AnyNonWhite(firstGroup, firstGroup.rect()));
    // Last column (6 columns), last row (8 rows): 60 x 80 units fitted into 1000.
    EXPECT_EQ(QImage(dir.filePath("plan.jpg_Page X1Y1_Color 10to19.jpg")).size(), QSize(750, 1000));
    const QImage unused(dir.filePath("plan.jpg_Page X1Y0_Color 20to29.jpg"));
    ASSERT_FALSE(unused.isNull());
    EXPECT_EQ(wvtest::CountPixels(unused, unused.rect(),
                                  [](QRgb p) { return qRed(p) < 250 || qGreen(p) < 250 || qBlue(p) < 250; }),
              0);
}
