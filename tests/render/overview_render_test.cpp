// The overview picture: its size for a working canvas and its render of the final mosaic.

#include "render/overview_render.h"

#include "tests/render/final_render_fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace final_render_test;

TEST(OverviewSize, TheLongerSideIs4096)
{
    struct Case {
        const char* name;
        double w, h;
        QSize size;
    };
    const Case cases[] = {
        {"8000 x 6000", 8000, 6000, {4096, 3072}}, {"1000 x 1000 is scaled up", 1000, 1000, {4096, 4096}},
        {"portrait", 6000, 8000, {3072, 4096}},    {"400 x 60", 400, 60, {4096, 614}},
        {"no width", 0, 100, {}},                  {"negative", 100, -5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OverviewSizeFor(c.w, c.h), c.size);
    }
}

TEST(OverviewRender, DrawsTheMosaicOverTheWholeBitmapInLayoutUnits)
{
    auto ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // 4 x 2 cells of 10 units on a working canvas twice the layout (80 x 40 pixels).
    MakeGridProject(*ws, 4, 2, 10);
    ws->mproject.cfg.PreviewBMPsize = 80;
    ws->mproject.MainSize_Update();
    ws->mproject.Cell_Reset();
    ASSERT_EQ(ws->mproject.cfg.WidthPx, 80);
    PlainOptions(*ws, 0xFF000000);
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("red.png", 0xFFE02020), Tile("blue.png", 0xFF2020E0)},
                           {.widthPx = 16, .heightPx = 16}));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            SetCellTile(*ws, x, y, x == 3 && y == 1 ? 1 : (x == 0 && y == 0 ? -1 : 0));

    QImage overview(5, 5, QImage::Format_ARGB32_Premultiplied);
    overview.fill(Qt::green);
    // Before the search has completed nothing happens.
    Result<bool> none = RenderOverview(*ws, overview, nullptr);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(*none);
    EXPECT_EQ(overview.size(), QSize(5, 5));

    ws->mproject.cfg.searchDone = 1;
    RecordingProgress progress;
    Result<bool> done = RenderOverview(*ws, overview, &progress);
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_TRUE(*done);
    ASSERT_EQ(overview.size(), QSize(4096, 2048));
    // Each cell is 1024 pixels wide: the last cell of row 1 is blue, the first of row 0
    // shows the grout, the others red, right up to the bitmap's far corner.
    EXPECT_TRUE(Near(PixelAt(overview, 3 * 1024 + 512, 1024 + 512), 0xFF2020E0, 3));
    EXPECT_TRUE(Near(PixelAt(overview, 4090, 2040), 0xFF2020E0, 3));
    EXPECT_TRUE(Near(PixelAt(overview, 512, 512), 0xFF000000, 3));
    EXPECT_TRUE(Near(PixelAt(overview, 1024 + 512, 512), 0xFFE02020, 3));
    ASSERT_FALSE(progress.values.empty());
    EXPECT_EQ(progress.values.back(), 0);
}
