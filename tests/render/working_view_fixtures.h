#pragma once
// Hand-built cells, libraries and recorders for the working-view, chart and guide tests.

#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "imaging/shapes.h"
#include "platform/services.h"

#include <QImage>
#include <QRect>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace wvtest {

constexpr TAlphaColor kOpaqueWhite = 0xFFFFFFFF;

inline TAlphaColor Rgb(int r, int g, int b) { return MakeColor(r, g, b, 255); }

// Every ICinfo entry the given colour, as a measurement of a flat region gives.
inline void SetMeasured(TCell& cell, int r, int g, int b)
{
    CompleteColorInfo(cell.ICinfo.ci1, r, g, b);
    for (TColorInfo15& c : cell.ICinfo.ci4)
        CompleteColorInfo(c, r, g, b);
    for (TColorInfo15& c : cell.ICinfo.ci64)
        CompleteColorInfo(c, r, g, b);
}

// An enabled cell of `shape` filling `rect` (layout units), turned by `rotate`, with its
// outline made as the layout makes it, priority normal.
inline TCell MakeCell(std::int32_t shape, TRectF rect, int tileId = -1, double rotate = 0.0)
{
    TCell cell;
    std::memset(&cell, 0, sizeof cell);
    cell.CellShape = shape;
    cell.CellRectReal = rect;
    cell.CellCenterReal = TPointF{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
    cell.Rotate = rotate;
    cell.CellPolyReal = ShapePolygon(shape, rect.Width(), rect.Height(), rotate, cell.CellCenterReal);
    cell.TileID = tileId;
    cell.PriLevel = kPriorityNormal;
    cell.enable = 1;
    SetMeasured(cell, 128, 128, 128);
    return cell;
}

// A grid of cols x rows touching square cells of `size` layout units, shape 1, no tiles.
inline void MakeGrid(Workspace& ws, int cols, int rows, float size, std::int32_t shape = kShapeRect)
{
    TMosaicProject& prj = ws.mproject;
    prj.cfg.ProjectPatternType = kPatternGrid;
    prj.cfg.Hcc = cols;
    prj.cfg.Vcc = rows;
    prj.cfg.AddonTilesCount = 0;
    prj.cfg.CellWdf = prj.cfg.CellHtf = size;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            TCell& c = prj.Cells[y][x];
            c = MakeCell(shape, TRectF{x * size, y * size, (x + 1) * size, (y + 1) * size});
            c.CellX = x;
            c.CellY = y;
        }
}

// Tile i of the working library gets a flat colour; Count grows to cover it.
inline void SetTileColor(Workspace& ws, int i, int r, int g, int b)
{
    TTilelib& lib = ws.mtilelib;
    TimgColorInfo& info = lib.items[i].ColorInfo;
    CompleteColorInfo(info.ci1, r, g, b);
    for (TColorInfo15& c : info.ci4)
        CompleteColorInfo(c, r, g, b);
    for (TColorInfo15& c : info.ci64)
        CompleteColorInfo(c, r, g, b);
    lib.ItemEnable[i] = 1;
    if (lib.Count < i + 1)
        lib.Count = i + 1;
}

inline QImage WhiteImage(int w, int h, qreal dpr = 1.0)
{
    QImage image(int(std::lround(w * dpr)), int(std::lround(h * dpr)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(kOpaqueWhite);
    return image;
}

inline int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (test(image.pixel(x, y)))
                ++n;
    return n;
}

inline bool IsDark(QRgb p) { return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80; }
// Clearly darker than `background` (sum of channels lower by more than 120): an
// antialiased one-unit line on a pixel boundary still counts.
inline bool Darkened(QRgb p, TAlphaColor background)
{
    return (qRed(background) + qGreen(background) + qBlue(background)) - (qRed(p) + qGreen(p) + qBlue(p)) > 120;
}
inline bool IsLine(QRgb p) { return Darkened(p, kOpaqueWhite); }
inline bool IsWhite(QRgb p) { return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255 && qAlpha(p) == 255; }
inline bool Near(QRgb p, TAlphaColor c, int tolerance = 2)
{
    return std::abs(qRed(p) - qRed(c)) <= tolerance && std::abs(qGreen(p) - qGreen(c)) <= tolerance &&
           std::abs(qBlue(p) - qBlue(c)) <= tolerance;
}

// Records every value and maximum it is given.
class RecordingProgress final : public Progress {
public:
    void setMaximum(int maximum) override { maximums.push_back(maximum); }
    void setValue(int v) override
    {
        values.push_back(v);
        m_value = v;
    }
    int value() const override { return m_value; }
    std::vector<int> values;
    std::vector<int> maximums;

private:
    int m_value = 0;
};

class CountingPump final : public EventPump {
public:
    void processEvents() override { ++count; }
    int count = 0;
};

} // namespace wvtest
