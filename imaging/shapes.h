#pragma once
// Cell shapes: the shape codes shared by patterns, cells and tiles, their outline
// polygons, and the shape drawing used by the views and the masks. Drawing rules shared
// by the whole family: outlines are opaque black (0xFF000000), thickness 1, opacity 1;
// fills use the given colour and opacity; points are multiplied by `scale` (layout units
// to canvas units). The operations whose names end in "At" draw inside the
// caller's open scene, the others open their own scene (scenes nest, see Canvas). The operations set the canvas stroke to
// opaque black, thickness 1, and leave it so.

#include "imaging/color_records.h"

#include "imaging/canvas.h"

#include <QImage>
#include <QPolygonF>

#include <cstdint>
#include <type_traits>

// Shape codes (0, 1 and 10 are rectangles; any other code has no vertices).
enum ShapeCode : std::int32_t {
    kShapeRect0 = 0,
    kShapeRect = 1,
    kShapeRect10 = 10,
    kShapeEllipse = 20,
    kShapeTriangleUp = 30,
    kShapeTriangleDown = 32,
    kShapeRhombus = 40,
    kShapeKite = 41,
    kShapeTrapezoid = 42,
    kShapeHexagonPointed = 60,
    kShapeHexagonFlat = 61,
    kShapeOctagon = 80,
};

// An outline of up to 11 points; points beyond Count are zero.
struct Tpoly {
    TPointF pt[11];
    std::int32_t Count;
};
static_assert(std::is_trivially_copyable_v<Tpoly>);
static_assert(sizeof(Tpoly) == 92);
static_assert(offsetof(Tpoly, pt) == 0);
static_assert(offsetof(Tpoly, Count) == 88);

// The outline of `shape` for a w x h box centred on the origin, rotated about the
// origin by `angle` (radians, Single precision) and then moved to `centre`.
Tpoly ShapePolygon(std::int32_t shape, double w, double h, double angle, TPointF centre);

// Draws the closed outline of `poly` (and fills it when `fill`) in its own scene.
// Nothing is drawn when Count is 0.
void DrawShapePolygon(Canvas& canvas, const Tpoly& poly, bool fill, float opacity, TAlphaColor fillColor, double scale);
// The same inside the caller's scene, every scaled point moved by `offset`; returns the
// closed point list drawn (Count + 1 points).
QPolygonF DrawShapePolygonAt(Canvas& canvas, const Tpoly& poly, bool fill, float opacity, TAlphaColor fillColor,
                             double scale, QPointF offset);
// The 60-segment ellipse inscribed in `rect`, rotated by `angle` about the rectangle's
// centre, in its own scene.
void DrawEllipse(Canvas& canvas, const TRectF& rect, double angle, bool fill, float opacity, TAlphaColor fillColor,
                 double scale);
QPolygonF DrawEllipseAt(Canvas& canvas, const TRectF& rect, double angle, bool fill, float opacity,
                        TAlphaColor fillColor, double scale, QPointF offset);
// The shape fitted to `rect`: its polygon and, for code 20, the ellipse; own scene.
void DrawShape(Canvas& canvas, const TRectF& rect, std::int32_t shape, bool fill, float opacity, TAlphaColor fillColor,
               double scale);
// A 256 x 256 mask: transparent outside the shape, 0xFF66CCFF inside.
void MakeShapeMask(std::int32_t shape, QImage& mask);
