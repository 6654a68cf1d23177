// The tile pen and the tile picker: which cell changes, what it takes, the repaint of
// the main view, refused edits and the picker's texts, candidates and cards.

#include "output/cell_edit.h"
#include "output/cell_texts.h"

#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"
#include "tests/render/final_render_fixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

using namespace final_render_test;

namespace {

constexpr TAlphaColor kRed = 0xFFE02020;
constexpr TAlphaColor kGreen = 0xFF20C040;
constexpr TAlphaColor kBlue = 0xFF2020E0;
constexpr TAlphaColor kGrout = 0xFF000000;

// A 4 x 3 grid of 20-unit cells drawn one to one, three tiles, two add-on cells: add-on
// 0 over the grid cell (0, 2) and add-on 1 over the grid cell (3, 2), both empty.
class CellEdit : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        MakeGridProject(*ws, 4, 3, 20);
        PlainOptions(*ws, kGrout);
        ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"),
                               {Tile("red.png", kRed), Tile("green.png", kGreen), Tile("blue.png", kBlue)},
                               {.widthPx = 16, .heightPx = 16}));
        TMosaicProject& p = ws->mproject;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                SetCellTile(*ws, x, y, -1);
        for (int x = 0; x < 3; ++x)
            SetCellTile(*ws, x, 0, 0); // row 0: red, except column 3
        p.cfg.AddonTilesCount = 2;
        p.AddonTiles[0] = p.Cells[2][0];
        p.AddonTiles[1] = p.Cells[2][3];
        p.AddonTiles[0].CellAID = 0;
        p.AddonTiles[1].CellAID = 1;
        p.AddonTiles[1].Rotate = 0.25;
        ws->mtilelib.items[0].Usecount = 3;
        ASSERT_TRUE(Draw_MosaicToView(*ws, kDrawFinal, view, p.cfg.PreviewScale, nullptr).ok());
        ASSERT_EQ(view.size(), QSize(80, 60));
    }
    TAlphaColor centreOf(int x, int y) const { return PixelAt(view, x * 20 + 10, y * 20 + 10); }

    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    QImage view;
};

} // namespace

TEST_F(CellEdit, PenIntoAnAddOnCellChangesOnlyThatCell)
{
    TMosaicProject& p = ws->mproject;
    const TCell gridBefore = p.Cells[0][1];
    ASSERT_TRUE(PaintCell(*ws, 1, -1, 2, &view).ok());
    EXPECT_EQ(p.AddonTiles[1].TileID, 2);
    EXPECT_EQ(p.AddonTiles[1].Rotate, 0.25);
    EXPECT_EQ(p.AddonTiles[0].TileID, -1);
    // The grid cell in column 1 of row 0 is untouched.
    EXPECT_EQ(std::memcmp(&p.Cells[0][1], &gridBefore, sizeof(TCell)), 0);
    EXPECT_EQ(ws->mtilelib.items[2].Usecount, 0);
    // Repainted where the add-on cell lies; the rest of the view stays.
    EXPECT_TRUE(Near(centreOf(3, 2), kBlue, 3)) << Hex(centreOf(3, 2));
    EXPECT_TRUE(Near(centreOf(0, 2), kGrout, 3)) << Hex(centreOf(0, 2));
    EXPECT_TRUE(Near(centreOf(1, 0), kRed, 3)) << Hex(centreOf(1, 0));
}

TEST_F(CellEdit, PenIntoAGridCellKeepsRotationAndUseCounts)
{
    TMosaicProject& p = ws->mproject;
    p.Cells[0][2].Rotate = 0.5;
    ASSERT_TRUE(PaintCell(*ws, 2, 0, 1, &view).ok());
    EXPECT_EQ(p.Cells[0][2].TileID, 1);
    EXPECT_EQ(p.Cells[0][2].Rotate, 0.5);
    EXPECT_EQ(ws->mtilelib.items[0].Usecount, 3);
    EXPECT_EQ(ws->mtilelib.items[1].Usecount, 0);
    EXPECT_TRUE(Near(centreOf(2, 0), kGreen, 3)) << Hex(centreOf(2, 0));
    EXPECT_TRUE(Near(centreOf(1, 0), kRed, 3));
}

TEST_F(CellEdit, PickerOnAGridCellSetsTheRotationAndRaisesTheUseCount)
{
    TMosaicProject& p = ws->mproject;
    ASSERT_TRUE(PickCandidate(*ws, 3, 1, TGoodTileList::Entry{2, 3, 100}, &view).ok());
    EXPECT_EQ(p.Cells[1][3].TileID, 2);
    EXPECT_NEAR(p.Cells[1][3].Rotate, std::numbers::pi / 2, 1e-6);
    EXPECT_EQ(ws->mtilelib.items[2].Usecount, 1);
    EXPECT_TRUE(Near(centreOf(3, 1), kBlue, 3)) << Hex(centreOf(3, 1));
}

TEST_F(CellEdit, PickerOnAnAddOnCellSetsTheTileOnly)
{
    TMosaicProject& p = ws->mproject;
    ASSERT_TRUE(PickCandidate(*ws, 1, -1, TGoodTileList::Entry{1, 5, 100}, nullptr).ok());
    EXPECT_EQ(p.AddonTiles[1].TileID, 1);
    EXPECT_EQ(p.AddonTiles[1].Rotate, 0.25);
    EXPECT_EQ(ws->mtilelib.items[1].Usecount, 0);
}

TEST_F(CellEdit, RefusesCellsOutsideTheLayoutAndTilesOutsideTheLibrary)
{
    struct Case {
        const char* name;
        int x, y, tile;
        const char* says;
    };
    const Case cases[] = {
        {"column past the grid", 4, 0, 1, "cell (4, 0)"},
        {"row past the grid", 0, 3, 1, "cell (0, 3)"},
        {"negative column", -1, 0, 1, "cell (-1, 0)"},
        {"add-on past the count", 2, -1, 1, "add-on cell 2"},
        {"row below -1", 0, -2, 1, "cell (0, -2)"},
        {"tile -1", 0, 0, -1, "tile -1"},
        {"tile at Count", 0, 0, 3, "tile 3"},
    };
    const QImage before = view;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status pen = PaintCell(*ws, c.x, c.y, c.tile, &view);
        ASSERT_FALSE(pen.ok());
        EXPECT_TRUE(pen.error().contains(c.says)) << pen.error().toStdString();
        EXPECT_FALSE(PickCandidate(*ws, c.x, c.y, TGoodTileList::Entry{c.tile, 0, 0}, &view).ok());
    }
    EXPECT_EQ(view, before);
    EXPECT_EQ(ws->mproject.Cells[0][0].TileID, 0);
    EXPECT_EQ(ws->mtilelib.items[0].Usecount, 3);
    EXPECT_EQ(ws->mtilelib.items[1].Usecount, 0);
}

TEST_F(CellEdit, ATilePictureThatCannotBeLoadedLeavesTheCellAndCounts)
{
    ASSERT_TRUE(QFile::remove(ws->mtilelib.GetFullName(2)));
    const Status pen = PaintCell(*ws, 1, 0, 2, &view);
    ASSERT_FALSE(pen.ok());
    EXPECT_TRUE(pen.error().contains("blue.png")) << pen.error().toStdString();
    EXPECT_EQ(ws->mproject.Cells[0][1].TileID, 0);
    const Status pick = PickCandidate(*ws, 1, 0, TGoodTileList::Entry{2, 3, 0}, &view);
    ASSERT_FALSE(pick.ok());
    EXPECT_EQ(ws->mproject.Cells[0][1].TileID, 0);
    EXPECT_EQ(ws->mproject.Cells[0][1].Rotate, 0.0);
    EXPECT_EQ(ws->mtilelib.items[2].Usecount, 0);
    // Without a view there is nothing to load, so the edit is made.
    EXPECT_TRUE(PaintCell(*ws, 1, 0, 2, nullptr).ok());
    EXPECT_EQ(ws->mproject.Cells[0][1].TileID, 2);
}

TEST_F(CellEdit, CandidatesAreTheEnabledTilesRankedForTheCell)
{
    TCell& cell = ws->mproject.Cells[1][1];
    cell.ICinfo = ws->mtilelib.items[1].ColorInfo; // measured exactly green
    cell.ICinfo.ci1.rgb = kGreen;
    ws->moptions.WeightL = ws->moptions.WeightC = kDefaultMatchWeight;
    ws->moptions.RepeatMaxOn = 1; // bypassed
    ws->moptions.RepeatMax = 0;
    ASSERT_TRUE(FillPickerCandidates(*ws, 1, 1));
    const TGoodTileList& list = ws->pickerList;
    ASSERT_EQ(list.Count, 3);
    EXPECT_EQ(list.Tiles[0].tileid, 1);
    EXPECT_EQ(CandidateCaption(list), QString("Images Match the Cell: 3"));
    EXPECT_EQ(CandidateScrollMaximum(list), 0);
    ws->mtilelib.ItemEnable[0] = 0;
    ASSERT_TRUE(FillPickerCandidates(*ws, 1, 1));
    EXPECT_EQ(list.Count, 2);
    EXPECT_FALSE(FillPickerCandidates(*ws, 9, 9));
    EXPECT_EQ(list.Count, 2);

    QImage strip;
    ASSERT_TRUE(BuildCandidateStrip(*ws, list, strip).ok());
    ASSERT_EQ(strip.size(), QSize(6400, 192));
    // Card i's picture is centred in its top 128 x 128 square; after the cards, white.
    EXPECT_TRUE(Near(PixelAt(strip, 64, 64), kGreen, 3)) << Hex(PixelAt(strip, 64, 64));
    EXPECT_TRUE(Near(PixelAt(strip, 128 + 64, 64), list.Tiles[1].tileid == 2 ? kBlue : kRed, 3));
    EXPECT_EQ(PixelAt(strip, 2 * 128 + 64, 64), 0xFFFFFFFFu);

    QImage target(512, 196, QImage::Format_ARGB32_Premultiplied);
    target.fill(0xF0F0F0F0);
    ShowCandidateStrip(target, strip, 128);
    EXPECT_TRUE(Near(PixelAt(target, 64, 64), list.Tiles[1].tileid == 2 ? kBlue : kRed, 3));
    // The card's swatch (its tile's average colour) is stretched down to the last row.
    EXPECT_TRUE(Near(PixelAt(target, 10, 195), list.Tiles[1].tileid == 2 ? kBlue : kRed, 3))
        << Hex(PixelAt(target, 10, 195));
}

TEST(CandidateClick, FindsTheCardUnderThePointerAndNothingPastTheLast)
{
    TGoodTileList list;
    for (int i = 0; i < 100; ++i)
        list.TryAddTile(i, i);
    ASSERT_EQ(list.Count, 100);
    EXPECT_EQ(CandidateCaption(list), QString("Images Match the Cell: 50"));
    const int end = CandidateScrollMaximum(list);
    EXPECT_EQ(end, 46 * 128);
    EXPECT_EQ(CandidateIndexAt(list, end, 0), 46);
    EXPECT_EQ(CandidateIndexAt(list, end, 511), 49);
    EXPECT_EQ(CandidateIndexAt(list, 0, 127.9), 0);
    EXPECT_EQ(CandidateIndexAt(list, 0, 128), 1);
    EXPECT_EQ(CandidateIndexAt(list, 0, -3), -1);

    TGoodTileList three;
    for (int i = 0; i < 3; ++i)
        three.TryAddTile(i, i);
    EXPECT_EQ(CandidateIndexAt(three, 0, 2 * 128 + 5), 2);
    EXPECT_EQ(CandidateIndexAt(three, 0, 3 * 128 + 5), -1); // the blank area after the last card
    EXPECT_EQ(CandidateScrollMaximum(three), 0);
}

TEST_F(CellEdit, TextsDescribeTheCellAndItsTile)
{
    TCell& cell = ws->mproject.Cells[0][0];
    cell.CellCenterReal = TPointF{12.5f, 7.25f};
    CompleteColorInfo(cell.ICinfo.ci1, 200, 120, 64);
    EXPECT_EQ(CellPositionText(cell, QLocale::c()), QString("Pos: X 12.50 Y  7.25"));
    EXPECT_EQ(CellPositionText(cell, QLocale(QLocale::German)), QString("Pos: X 12,50 Y  7,25"));
    EXPECT_EQ(ColorComponentsText(cell.ICinfo.ci1.rgb), QString("R200 G120 B64"));
    EXPECT_EQ(ColorComponentsText(0x80010203), QString("R1 G2 B3"));
    EXPECT_EQ(TileIdText(7), QString("Tile ID: 7"));

    const std::optional<QString> diff = CurrentDiffText(cell, ws->mtilelib);
    ASSERT_TRUE(diff.has_value());
    const int expected = ImgColorDiff64(cell.ICinfo, ws->mtilelib.items[0].ColorInfo);
    EXPECT_GT(expected, 0);
    EXPECT_EQ(*diff, QString("Current Diff= %1 R224 G32 B32").arg(expected));

    // A cell without a tile has no difference and no card.
    EXPECT_FALSE(CurrentDiffText(ws->mproject.Cells[0][3], ws->mtilelib).has_value());
    Result<QImage> none = CellInfoCard(*ws, 3, 0);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none->isNull());
    cell.TileID = 5; // a stale id beyond the library
    EXPECT_FALSE(CurrentDiffText(cell, ws->mtilelib).has_value());
    cell.TileID = 0;

    Result<QImage> card = CellInfoCard(*ws, 0, 0);
    ASSERT_TRUE(card.ok()) << card.error().toStdString();
    ASSERT_EQ(card->size(), QSize(128, 192));
    EXPECT_TRUE(Near(PixelAt(*card, 64, 64), kRed, 3)); // the tile's picture
}
