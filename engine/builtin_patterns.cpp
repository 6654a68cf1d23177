#include "engine/builtin_patterns.h"

#include "engine/patterns.h"
#include "imaging/canvas.h"
#include "imaging/shapes.h"
#include "platform/file_io.h"

#include <QBuffer>
#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

struct ElementRow {
    int row, col;
    std::int32_t shape;
    double hoffset, voffset;
};

struct PatternRow {
    const char* fileName;
    int cols, rows; // group counts: HorzGroupCount, VertGroupCount
    double hscale, vscale; // Single in the record, Double in its elements
    int elementCount;
    ElementRow elements[3];
};

// The pattern pack. Element indices are [row][column]; "cols x rows" are the counts.
constexpr PatternRow kPatternTable[] = {
    {"10_Rectangle.pat", 1, 1, 1.0, 1.0, 1, {{0, 0, 1, 0, 0}}},
    {"10_Rectangle_11.pat", 2, 1, 1.0, 1.0, 2, {{0, 0, 1, 0, 0}, {0, 1, 1, 0, 0.5}}},
    {"10_Rectangle_12.pat", 3, 1, 1.0, 1.0, 3, {{0, 0, 1, 0, 0}, {0, 1, 1, 0, 0.3333}, {0, 2, 1, 0, 0.6666}}},
    {"10_Rectangle_21.pat", 1, 2, 1.0, 1.0, 2, {{0, 0, 1, 0, 0}, {1, 0, 1, 0.5, 0}}},
    {"10_Rectangle_22.pat", 1, 3, 1.0, 1.0, 3, {{0, 0, 1, 0, 0}, {1, 0, 1, 0.3333, 0}, {2, 0, 1, 0.6666, 0}}},
    {"20_Ellipse.pat", 1, 1, 1.0, 1.0, 1, {{0, 0, 20, 0, 0}}},
    {"20_Ellipse_11.pat", 2, 1, 1.0, 1.0, 2, {{0, 0, 20, 0, 0}, {0, 1, 20, 0, 0.5}}},
    {"20_Ellipse_12.pat", 2, 1, 0.88, 1.0, 2, {{0, 0, 20, 0, 0}, {0, 1, 20, 0, 0.5}}},
    {"20_Ellipse_21.pat", 1, 2, 1.0, 1.0, 2, {{0, 0, 20, 0, 0}, {1, 0, 20, 0.5, 0}}},
    {"20_Ellipse_22.pat", 1, 2, 1.0, 0.88, 2, {{0, 0, 20, 0, 0}, {1, 0, 20, 0.5, 0}}},
    {"30_triangle_1.pat", 1, 1, 1.0, 1.0, 1, {{0, 0, 30, 0, 0}}},
    {"30_triangle_2.pat", 2, 1, 0.5, 1.0, 2, {{0, 0, 30, 0, 0}, {0, 1, 32, 0, 0}}},
    {"40_rhombus.pat", 1, 1, 1.0, 1.0, 1, {{0, 0, 40, 0, 0}}},
    {"40_rhombus_2.pat", 2, 1, 0.5, 1.0, 2, {{0, 0, 40, 0, 0}, {0, 1, 40, 0, 0.5}}},
    {"60_hexagon.pat", 1, 2, 1.0, 0.75, 2, {{0, 0, 60, 0, 0}, {1, 0, 60, 0.5, 0}}},
    {"61_hexagon.pat", 2, 1, 0.75, 1.0, 2, {{0, 0, 61, 0, 0}, {0, 1, 61, 0, 0.5}}},
};

TpatternCfg makePattern(const PatternRow& row)
{
    TpatternCfg p = DefaultPattern();
    p.Hscale = static_cast<float>(row.hscale);
    p.Vscale = static_cast<float>(row.vscale);
    p.HorzGroupCount = row.cols;
    p.VertGroupCount = row.rows;
    for (int i = 0; i < row.elementCount; ++i) {
        const ElementRow& e = row.elements[i];
        p.CellGroup[e.row][e.col] = TCellGroupItem{e.shape, 0.0f, row.hscale, row.vscale, e.hoffset, e.voffset};
    }
    return p;
}

// Fill colours by group position, so the repeat of the group is visible in the preview.
constexpr TAlphaColor kPreviewColors[] = {0xFF66CCFF, 0xFFFFCC66, 0xFF99DD88, 0xFFEE8899};

Result<QByteArray> encodeJpeg(const QImage& image, const QString& where)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 90))
        return Result<QByteArray>::failure(QStringLiteral("%1: JPEG encoding failed").arg(where));
    return bytes;
}

} // namespace

std::vector<BuiltinPattern> BuiltinPatterns()
{
    std::vector<BuiltinPattern> out;
    out.reserve(std::size(kPatternTable));
    for (const PatternRow& row : kPatternTable)
        out.push_back(BuiltinPattern{QString::fromLatin1(row.fileName), makePattern(row)});
    return out;
}

QImage PatternPreview(const TpatternCfg& pattern, int columns, int rows, int cellSize)
{
    const float cell = static_cast<float>(cellSize);
    float right = 0, bottom = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const TRectF r = PatternCellRect(x, y, cell, cell, 0, 0, pattern);
            right = std::max(right, r.Right);
            bottom = std::max(bottom, r.Bottom);
        }
    const int margin = std::max(2, cellSize / 8);
    QImage image(static_cast<int>(std::ceil(right)) + 2 * margin, static_cast<int>(std::ceil(bottom)) + 2 * margin,
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    Canvas canvas(image);
    Canvas::Scene scene(canvas);
    const QPointF offset(margin, margin);
    const int groupCols = std::clamp<int>(pattern.HorzGroupCount, 1, kPatternGroupMax);
    const int groupRows = std::clamp<int>(pattern.VertGroupCount, 1, kPatternGroupMax);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const TRectF r = PatternCellRect(x, y, cell, cell, 0, 0, pattern);
            const TPointF centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
            const std::int32_t shape = PatternCellShape(pattern, x, y);
            const float rotate = PatternCellRotate(pattern, x, y);
            const int position = (y % groupRows) * groupCols + (x % groupCols);
            const TAlphaColor color = kPreviewColors[position % std::size(kPreviewColors)];
            DrawShapePolygonAt(canvas, ShapePolygon(shape, cell, cell, rotate, centre), /*fill=*/true, 1.0f, color,
                               1.0, offset);
            if (shape == kShapeEllipse)
                DrawEllipseAt(canvas, r, rotate, /*fill=*/true, 1.0f, color, 1.0, offset);
        }
    return image;
}

Status WriteBuiltinPatterns(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return Failure(QStringLiteral("%1: cannot create the folder").arg(folder));
    for (const BuiltinPattern& p : BuiltinPatterns()) {
        const QString path = joinPath(folder, p.fileName);
        if (Status st = SavePattern(p.pattern, path); !st)
            return st;
        const QString previewPath = path + QStringLiteral(".jpg");
        Result<QByteArray> jpeg = encodeJpeg(PatternPreview(p.pattern), previewPath);
        if (!jpeg)
            return Failure(jpeg.error());
        if (Status st = writeFileAtomically(previewPath, *jpeg); !st)
            return st;
    }
    return {};
}
