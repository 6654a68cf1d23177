#include "engine/patterns.h"

#include "engine/builtin_patterns.h"
#include "imaging/shapes.h"

#include <gtest/gtest.h>

namespace {

TpatternCfg builtin(const char* fileName)
{
    for (const BuiltinPattern& p : BuiltinPatterns())
        if (p.fileName == QLatin1String(fileName))
            return p.pattern;
    ADD_FAILURE() << "no built-in pattern " << fileName;
    return DefaultPattern();
}

} // namespace

TEST(DefaultPattern, IsOneUnitSquareElement)
{
    const TpatternCfg p = DefaultPattern();
    EXPECT_EQ(p.Name.len, 0);
    EXPECT_EQ(p.Hscale, 1.0f);
    EXPECT_EQ(p.Vscale, 1.0f);
    EXPECT_EQ(p.HorzGroupCount, 1);
    EXPECT_EQ(p.VertGroupCount, 1);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const TCellGroupItem& e = p.CellGroup[r][c];
            EXPECT_EQ(e.Shape, 1);
            EXPECT_EQ(e.Rotate, 0.0f);
            EXPECT_EQ(e.Hscale, 1.0);
            EXPECT_EQ(e.Vscale, 1.0);
            EXPECT_EQ(e.Hoffset, 0.0);
            EXPECT_EQ(e.Voffset, 0.0);
        }
}

TEST(PatternCellRect, PlacesCellsByPitchOffsetAndGap)
{
    struct Case {
        const char* name;
        const char* pattern;
        int x, y;
        float w, h, gw, gh;
        TRectF expected;
        std::int32_t shape;
    };
    const Case cases[] = {
        {"hexagon column 0 row 0", "60_hexagon.pat", 0, 0, 60, 60, 0, 0, {0, 0, 60, 60}, 60},
        {"hexagon column 0 row 1", "60_hexagon.pat", 0, 1, 60, 60, 0, 0, {30, 45, 90, 105}, 60},
        {"hexagon column 1 row 1", "60_hexagon.pat", 1, 1, 60, 60, 0, 0, {90, 45, 150, 105}, 60},
        {"hexagon column 2 row 2 repeats row 0", "60_hexagon.pat", 2, 2, 60, 60, 0, 0, {120, 90, 180, 150}, 60},
        {"triangle up", "30_triangle_2.pat", 0, 0, 40, 40, 0, 0, {0, 0, 40, 40}, 30},
        {"triangle down", "30_triangle_2.pat", 1, 0, 40, 40, 0, 0, {20, 0, 60, 40}, 32},
        {"triangle third column is up again", "30_triangle_2.pat", 2, 0, 40, 40, 0, 0, {40, 0, 80, 40}, 30},
        {"flat hexagon column 1", "61_hexagon.pat", 1, 0, 60, 60, 0, 0, {45, 30, 105, 90}, 61},
        {"flat hexagon column 2", "61_hexagon.pat", 2, 1, 60, 60, 0, 0, {90, 60, 150, 120}, 61},
        {"rectangle with gaps", "10_Rectangle.pat", 1, 1, 10, 10, 1, 1, {11, 11, 21, 21}, 1},
        {"rectangle unequal gaps", "10_Rectangle.pat", 3, 2, 10, 20, 2, 5, {36, 50, 46, 70}, 1},
        {"brick third column", "10_Rectangle_12.pat", 2, 0, 60, 60, 0, 0, {120, 39.996f, 180, 99.996f}, 1},
        {"ellipse pitch 0.88", "20_Ellipse_12.pat", 1, 0, 50, 50, 0, 0, {44, 25, 94, 75}, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TpatternCfg p = builtin(c.pattern);
        const TRectF r = PatternCellRect(c.x, c.y, c.w, c.h, c.gw, c.gh, p);
        EXPECT_NEAR(r.Left, c.expected.Left, 1e-4);
        EXPECT_NEAR(r.Top, c.expected.Top, 1e-4);
        EXPECT_NEAR(r.Right, c.expected.Right, 1e-4);
        EXPECT_NEAR(r.Bottom, c.expected.Bottom, 1e-4);
        EXPECT_EQ(PatternCellShape(p, c.x, c.y), c.shape);
    }
}

TEST(PatternCellShape, AddressesRowFirstAndWrapsBothCounts)
{
    TpatternCfg p = DefaultPattern();
    p.HorzGroupCount = 3;
    p.VertGroupCount = 2;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            p.CellGroup[r][c].Shape = r * 10 + c;
            p.CellGroup[r][c].Rotate = static_cast<float>(r) + c / 10.0f;
        }
    struct Case {
        int x, y, shape;
    };
    const Case cases[] = {{0, 0, 0}, {2, 0, 2}, {3, 0, 0}, {1, 1, 11}, {5, 3, 12}, {7, 4, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y);
        EXPECT_EQ(PatternCellShape(p, c.x, c.y), c.shape);
        EXPECT_FLOAT_EQ(PatternCellRotate(p, c.x, c.y), static_cast<float>(c.shape / 10) + (c.shape % 10) / 10.0f);
    }
}

TEST(PatternCellShape, KeepsARecordWithCountsOutsideTheGroupInsideIt)
{
    TpatternCfg p = DefaultPattern();
    p.CellGroup[0][0].Shape = 30;
    p.CellGroup[0][7].Shape = 40;
    p.HorzGroupCount = 0;
    EXPECT_EQ(PatternCellShape(p, 5, 0), 30);
    p.HorzGroupCount = 50;
    EXPECT_EQ(PatternCellShape(p, 15, 0), 40);
}

TEST(BuildPatternShapeMasks, FillsOnlyTheGroupPositions)
{
    TpatternCfg p = DefaultPattern();
    p.HorzGroupCount = 2;
    p.VertGroupCount = 1;
    p.CellGroup[0][0].Shape = kShapeEllipse;
    p.CellGroup[0][1].Shape = kShapeTriangleUp;
    ShapeMasks masks;
    BuildPatternShapeMasks(masks, p);
    ASSERT_EQ(masks[0][0].size(), QSize(256, 256));
    ASSERT_EQ(masks[0][1].size(), QSize(256, 256));
    EXPECT_TRUE(masks[1][0].isNull());
    EXPECT_TRUE(masks[0][2].isNull());
    // Ellipse: the corner is outside; triangle: the bottom corners are inside.
    EXPECT_EQ(qAlpha(masks[0][0].pixel(8, 8)), 0);
    EXPECT_EQ(qAlpha(masks[0][0].pixel(128, 128)), 255);
    EXPECT_EQ(qAlpha(masks[0][1].pixel(8, 248)), 255);
    EXPECT_EQ(qAlpha(masks[0][1].pixel(8, 8)), 0);
}
