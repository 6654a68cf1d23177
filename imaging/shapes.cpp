#include "imaging/shapes.h"

#include <QPainter>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr TAlphaColor kOutlineColor = 0xFF000000;
constexpr double kOutlineThickness = 1.0;
constexpr int kEllipseSegments = 60;

struct Vertex {
    double x, y;
};

// Vertices relative to the centre for a w x h box, y downward; returns the count.
int shapeVertices(std::int32_t shape, double w, double h, Vertex (&v)[11])
{
    const double w2 = w / 2, h2 = h / 2, w4 = w / 4, h4 = h / 4;
    auto set = [&v](std::initializer_list<Vertex> list) {
        int n = 0;
        for (const Vertex& p : list)
            v[n++] = p;
        return n;
    };
    switch (shape) {
    case kShapeRect0:
    case kShapeRect:
    case kShapeRect10:
        return set({{-w2, -h2}, {w2, -h2}, {w2, h2}, {-w2, h2}});
    case kShapeTriangleUp:
        return set({{0, -h2}, {w2, h2}, {-w2, h2}});
    case kShapeTriangleDown:
        return set({{0, h2}, {w2, -h2}, {-w2, -h2}});
    case kShapeRhombus:
        return set({{0, -h2}, {w2, 0}, {0, h2}, {-w2, 0}});
    case kShapeKite:
        return set({{0, -h2}, {w2, h4}, {0, h2}, {-w2, h4}});
    case kShapeTrapezoid:
        return set({{-w4, -h2}, {w4, -h2}, {w2, h2}, {-w2, h2}});
    case kShapeHexagonPointed:
        return set({{0, -h2}, {w2, -h4}, {w2, h4}, {0, h2}, {-w2, h4}, {-w2, -h4}});
    case kShapeHexagonFlat:
        return set({{-w4, -h2}, {w4, -h2}, {w2, 0}, {w4, h2}, {-w4, h2}, {-w2, 0}});
    case kShapeOctagon:
        return set({{-w4, -h2}, {w4, -h2}, {w2, -h4}, {w2, h4}, {w4, h2}, {-w4, h2}, {-w2, h4}, {-w2, -h4}});
    default:
        return 0; // the ellipse and unknown codes have no vertices
    }
}

// Outline first, then the fill over it, with the outline always at full opacity. The
// caller's transform and opacity are kept.
void strokeAndFill(Canvas& canvas, QPainter& painter, const QPolygonF& points, bool fill, float opacity,
                   TAlphaColor fillColor)
{
    painter.save();
    painter.setOpacity(1.0);
    painter.setPen(canvas.pen());
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(points);
    if (fill) {
        painter.setOpacity(opacity);
        painter.setPen(Qt::NoPen);
        painter.setBrush(toQColor(fillColor));
        painter.drawPolygon(points);
    }
    painter.restore();
}

QPolygonF closedPolygon(const Tpoly& poly, double scale, QPointF offset)
{
    QPolygonF points;
    const int count = poly.Count < 0 ? 0 : (poly.Count > 11 ? 11 : poly.Count);
    if (count == 0)
        return points;
    points.reserve(count + 1);
    for (int i = 0; i < count; ++i)
        points << QPointF(poly.pt[i].X * scale, poly.pt[i].Y * scale) + offset;
    points << points.front();
    return points;
}

QPolygonF ellipsePoints(const TRectF& rect, double angle, double scale, QPointF offset)
{
    const double w = static_cast<double>(rect.Right) - rect.Left;
    const double h = static_cast<double>(rect.Bottom) - rect.Top;
    const double cx = (static_cast<double>(rect.Left) + rect.Right) / 2;
    const double cy = (static_cast<double>(rect.Top) + rect.Bottom) / 2;
    const double ca = std::cos(angle), sa = std::sin(angle);
    QPolygonF points;
    points.reserve(kEllipseSegments + 1);
    for (int i = 0; i < kEllipseSegments; ++i) {
        const double t = i * 2 * std::numbers::pi / kEllipseSegments;
        const double x = w / 2 * std::cos(t), y = h / 2 * std::sin(t);
        const double rx = x * ca - y * sa + cx, ry = x * sa + y * ca + cy;
        points << QPointF(rx * scale, ry * scale) + offset;
    }
    points << points.front();
    return points;
}

} // namespace

Tpoly ShapePolygon(std::int32_t shape, double w, double h, double angle, TPointF centre)
{
    Tpoly poly;
    std::memset(&poly, 0, sizeof poly);
    Vertex v[11];
    const int count = shapeVertices(shape, w, h, v);
    // The rotation is taken in Single precision, as the stored cell outlines were made.
    const float a = static_cast<float>(angle);
    const float ca = std::cos(a), sa = std::sin(a);
    for (int i = 0; i < count; ++i) {
        poly.pt[i].X = static_cast<float>(v[i].x * ca - v[i].y * sa + centre.X);
        poly.pt[i].Y = static_cast<float>(v[i].x * sa + v[i].y * ca + centre.Y);
    }
    poly.Count = count;
    return poly;
}

QPolygonF DrawShapePolygonAt(Canvas& canvas, const Tpoly& poly, bool fill, float opacity, TAlphaColor fillColor,
                             double scale, QPointF offset)
{
    canvas.setStroke(kOutlineColor, kOutlineThickness);
    QPolygonF points = closedPolygon(poly, scale, offset);
    if (points.isEmpty())
        return points;
    Canvas::Scene scene(canvas);
    strokeAndFill(canvas, scene.painter(), points, fill, opacity, fillColor);
    return points;
}

void DrawShapePolygon(Canvas& canvas, const Tpoly& poly, bool fill, float opacity, TAlphaColor fillColor, double scale)
{
    canvas.setStroke(kOutlineColor, kOutlineThickness);
    if (poly.Count <= 0)
        return;
    Canvas::Scene scene(canvas);
    DrawShapePolygonAt(canvas, poly, fill, opacity, fillColor, scale, QPointF(0, 0));
}

QPolygonF DrawEllipseAt(Canvas& canvas, const TRectF& rect, double angle, bool fill, float opacity,
                        TAlphaColor fillColor, double scale, QPointF offset)
{
    canvas.setStroke(kOutlineColor, kOutlineThickness);
    QPolygonF points = ellipsePoints(rect, angle, scale, offset);
    Canvas::Scene scene(canvas);
    strokeAndFill(canvas, scene.painter(), points, fill, opacity, fillColor);
    return points;
}

void DrawEllipse(Canvas& canvas, const TRectF& rect, double angle, bool fill, float opacity, TAlphaColor fillColor,
                 double scale)
{
    Canvas::Scene scene(canvas);
    DrawEllipseAt(canvas, rect, angle, fill, opacity, fillColor, scale, QPointF(0, 0));
}

void DrawShape(Canvas& canvas, const TRectF& rect, std::int32_t shape, bool fill, float opacity, TAlphaColor fillColor,
               double scale)
{
    const TPointF centre{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
    const Tpoly poly = ShapePolygon(shape, rect.Width(), rect.Height(), 0.0, centre);
    DrawShapePolygon(canvas, poly, fill, opacity, fillColor, scale);
    if (shape == kShapeEllipse)
        DrawEllipse(canvas, rect, 0.0, fill, opacity, fillColor, scale);
}

void MakeShapeMask(std::int32_t shape, QImage& mask)
{
    mask = QImage(256, 256, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    Canvas canvas(mask);
    DrawShape(canvas, TRectF{0, 0, 256, 256}, shape, /*fill=*/true, 1.0f, 0xFF66CCFF, 1.0);
}
