#include "imaging/shapes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct Pt {
    float x, y;
};

QImage whiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(0xFFFFFFFF);
    return image;
}

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y); }

} // namespace

TEST(ShapePolygon, GivesTheOutlineOfEveryShapeCode)
{
    struct Case {
        const char* name;
        std::int32_t shape;
        std::vector<Pt> points; // for 40 x 20 around (100, 100)
    };
    const Case cases[] = {
        {"rectangle 0", 0, {{80, 90}, {120, 90}, {120, 110}, {80, 110}}},
        {"rectangle 1", 1, {{80, 90}, {120, 90}, {120, 110}, {80, 110}}},
        {"rectangle 10", 10, {{80, 90}, {120, 90}, {120, 110}, {80, 110}}},
        {"ellipse has no vertices", 20, {}},
        {"triangle apex up", 30, {{100, 90}, {120, 110}, {80, 110}}},
        {"triangle apex down", 32, {{100, 110}, {120, 90}, {80, 90}}},
        {"rhombus", 40, {{100, 90}, {120, 100}, {100, 110}, {80, 100}}},
        {"kite", 41, {{100, 90}, {120, 105}, {100, 110}, {80, 105}}},
        {"trapezoid", 42, {{90, 90}, {110, 90}, {120, 110}, {80, 110}}},
        {"hexagon pointed top", 60, {{100, 90}, {120, 95}, {120, 105}, {100, 110}, {80, 105}, {80, 95}}},
        {"hexagon flat top", 61, {{90, 90}, {110, 90}, {120, 100}, {110, 110}, {90, 110}, {80, 100}}},
        {"octagon", 80, {{90, 90}, {110, 90}, {120, 95}, {120, 105}, {110, 110}, {90, 110}, {80, 105}, {80, 95}}},
        {"unknown code", 99, {}},
        {"negative code", -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Tpoly poly = ShapePolygon(c.shape, 40, 20, 0.0, TPointF{100, 100});
        ASSERT_EQ(poly.Count, static_cast<int>(c.points.size()));
        for (int i = 0; i < poly.Count; ++i) {
            EXPECT_FLOAT_EQ(poly.pt[i].X, c.points[i].x) << "point " << i;
            EXPECT_FLOAT_EQ(poly.pt[i].Y, c.points[i].y) << "point " << i;
        }
        for (int i = poly.Count; i < 11; ++i) {
            EXPECT_EQ(poly.pt[i].X, 0.0f) << "unused point " << i;
            EXPECT_EQ(poly.pt[i].Y, 0.0f) << "unused point " << i;
        }
    }
}

TEST(ShapePolygon, RotatesAboutTheOriginBeforeMovingToTheCentre)
{
    struct Case {
        const char* name;
        double angle;
        Pt first; // of the 40 x 20 rectangle around (100, 50)
    };
    const Case cases[] = {
        {"quarter turn", std::numbers::pi / 2, {110, 30}},
        {"half turn", std::numbers::pi, {120, 60}},
        {"minus quarter turn", -std::numbers::pi / 2, {90, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Tpoly poly = ShapePolygon(kShapeRect, 40, 20, c.angle, TPointF{100, 50});
        ASSERT_EQ(poly.Count, 4);
        EXPECT_NEAR(poly.pt[0].X, c.first.x, 1e-4);
        EXPECT_NEAR(poly.pt[0].Y, c.first.y, 1e-4);
    }
}

TEST(DrawShape, EllipseCodeDrawsOnlyTheEllipse)
{
    QImage ellipse = whiteImage(100, 100);
    QImage square = whiteImage(100, 100);
    {
        Canvas canvas(ellipse);
        DrawShape(canvas, TRectF{0, 0, 100, 100}, kShapeEllipse, true, 1.0f, 0xFFFF0000, 1.0);
    }
    {
        Canvas canvas(square);
        DrawShape(canvas, TRectF{0, 0, 100, 100}, kShapeRect, true, 1.0f, 0xFFFF0000, 1.0);
    }
    EXPECT_EQ(at(ellipse, 50, 50), 0xFFFF0000u);
    EXPECT_EQ(at(ellipse, 50, 5), 0xFFFF0000u);
    // Inside the rectangle but outside the inscribed ellipse: no polygon was drawn.
    EXPECT_EQ(at(ellipse, 6, 6), 0xFFFFFFFFu);
    EXPECT_EQ(at(ellipse, 93, 93), 0xFFFFFFFFu);
    EXPECT_EQ(at(square, 6, 6), 0xFFFF0000u);
}

TEST(DrawShape, FillsWithTheOpacityAndOutlinesInOpaqueBlack)
{
    QImage image = whiteImage(100, 100);
    Canvas canvas(image);
    canvas.setStroke(0xFFFF0000, 6.0);
    DrawShape(canvas, TRectF{20, 20, 80, 80}, kShapeRect, true, 0.5f, 0xFF0000FF, 1.0);
    const QColor centre = QColor::fromRgba(at(image, 50, 50));
    EXPECT_NEAR(centre.red(), 128, 3);
    EXPECT_NEAR(centre.green(), 128, 3);
    EXPECT_EQ(centre.blue(), 255);
    // The outline runs along x = 20; its outer half stays black, not red or blue.
    const QColor edge = QColor::fromRgba(at(image, 19, 50));
    EXPECT_LT(edge.red(), 160);
    EXPECT_EQ(edge.red(), edge.blue());
    EXPECT_EQ(at(image, 17, 50), 0xFFFFFFFFu); // thickness 1, not the 6 set before
    EXPECT_EQ(canvas.strokeColor(), 0xFF000000u);
    EXPECT_EQ(canvas.strokeThickness(), 1.0);
}

TEST(DrawShape, UnfilledDrawsOnlyTheOutline)
{
    QImage image = whiteImage(100, 100);
    Canvas canvas(image);
    DrawShape(canvas, TRectF{20, 20, 80, 80}, kShapeRect, false, 1.0f, 0xFF0000FF, 1.0);
    EXPECT_EQ(at(image, 50, 50), 0xFFFFFFFFu);
    EXPECT_LT(qRed(at(image, 19, 50)), 160);
}

TEST(DrawShape, MultipliesPointsByTheScale)
{
    QImage image = whiteImage(100, 100);
    Canvas canvas(image);
    DrawShape(canvas, TRectF{0, 0, 100, 100}, kShapeRect, true, 1.0f, 0xFF00FF00, 0.5);
    EXPECT_EQ(at(image, 25, 25), 0xFF00FF00u);
    EXPECT_EQ(at(image, 75, 75), 0xFFFFFFFFu);
    EXPECT_EQ(at(image, 25, 75), 0xFFFFFFFFu);
}

TEST(DrawShapePolygon, DrawsNothingForAnOutlineWithoutPoints)
{
    QImage image = whiteImage(40, 40);
    Canvas canvas(image);
    DrawShapePolygon(canvas, ShapePolygon(kShapeEllipse, 40, 40, 0, TPointF{20, 20}), true, 1.0f, 0xFF000000, 1.0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(at(image, x, y), 0xFFFFFFFFu) << x << "," << y;
}

TEST(DrawShapePolygonAt, ReturnsTheClosedScaledAndMovedPointList)
{
    QImage image = whiteImage(200, 200);
    Canvas canvas(image);
    const Tpoly poly = ShapePolygon(kShapeTriangleUp, 20, 10, 0, TPointF{30, 40});
    Canvas::Scene scene(canvas);
    const QPolygonF drawn = DrawShapePolygonAt(canvas, poly, true, 1.0f, 0xFFFF0000, 2.0, QPointF(5, 7));
    ASSERT_EQ(drawn.size(), 4);
    EXPECT_DOUBLE_EQ(drawn[0].x(), 30 * 2 + 5);
    EXPECT_DOUBLE_EQ(drawn[0].y(), 35 * 2 + 7);
    EXPECT_DOUBLE_EQ(drawn[1].x(), 40 * 2 + 5);
    EXPECT_DOUBLE_EQ(drawn[1].y(), 45 * 2 + 7);
    EXPECT_EQ(drawn[3], drawn[0]);
}

TEST(DrawEllipseAt, ReturnsSixtyOnePointsStartingOnTheRotatedAxis)
{
    struct Case {
        const char* name;
        double angle;
        Pt first, quarter; // points 0 and 15
    };
    // Rectangle (10, 20)-(50, 40): centre (30, 30), half sizes 20 and 10; scale 2, offset (1, 3).
    const Case cases[] = {
        {"upright", 0.0, {50 * 2 + 1, 30 * 2 + 3}, {30 * 2 + 1, 40 * 2 + 3}},
        {"quarter turn", std::numbers::pi / 2, {30 * 2 + 1, 50 * 2 + 3}, {20 * 2 + 1, 30 * 2 + 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = whiteImage(200, 200);
        Canvas canvas(image);
        Canvas::Scene scene(canvas);
        const QPolygonF drawn =
            DrawEllipseAt(canvas, TRectF{10, 20, 50, 40}, c.angle, false, 1.0f, 0xFF000000, 2.0, QPointF(1, 3));
        ASSERT_EQ(drawn.size(), 61);
        EXPECT_NEAR(drawn[0].x(), c.first.x, 1e-9);
        EXPECT_NEAR(drawn[0].y(), c.first.y, 1e-9);
        EXPECT_NEAR(drawn[15].x(), c.quarter.x, 1e-9);
        EXPECT_NEAR(drawn[15].y(), c.quarter.y, 1e-9);
        EXPECT_EQ(drawn[60], drawn[0]);
    }
}

TEST(MakeShapeMask, IsOpaqueInsideTheShapeAndTransparentOutside)
{
    struct Case {
        const char* name;
        std::int32_t shape;
        std::vector<QPoint> inside, outside;
    };
    const Case cases[] = {
        {"rectangle", kShapeRect, {{128, 128}, {3, 3}, {252, 252}}, {}},
        {"ellipse", kShapeEllipse, {{128, 128}, {128, 4}, {4, 128}}, {{10, 10}, {245, 245}, {245, 10}}},
        {"triangle up", kShapeTriangleUp, {{128, 20}, {20, 245}, {128, 200}}, {{20, 20}, {235, 20}}},
        {"triangle down", kShapeTriangleDown, {{128, 236}, {20, 10}, {235, 10}}, {{20, 236}, {235, 236}}},
        {"rhombus", kShapeRhombus, {{128, 128}, {128, 10}, {10, 128}}, {{20, 20}, {235, 235}}},
        {"hexagon pointed", kShapeHexagonPointed, {{128, 30}, {5, 128}, {250, 128}}, {{5, 5}, {250, 250}}},
        {"hexagon flat", kShapeHexagonFlat, {{128, 5}, {5, 128}, {128, 250}}, {{5, 5}, {250, 5}}},
        {"unknown code", 77, {}, {{128, 128}, {3, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage mask(10, 10, QImage::Format_ARGB32);
        mask.fill(0xFF123456);
        MakeShapeMask(c.shape, mask);
        ASSERT_EQ(mask.size(), QSize(256, 256));
        for (const QPoint& p : c.inside)
            EXPECT_EQ(mask.pixel(p), 0xFF66CCFFu) << p.x() << "," << p.y();
        for (const QPoint& p : c.outside)
            EXPECT_EQ(qAlpha(mask.pixel(p)), 0) << p.x() << "," << p.y();
    }
}
