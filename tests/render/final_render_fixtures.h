#pragma once
// Small mosaic projects built in code for the final-render tests: a grid of square
// cells in pixel units whose working canvas is as large as the layout (CanvasScale 1),
// a tile library written into a temporary folder, a main image, and pixel helpers.

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/color_measure.h"
#include "platform/services.h"
#include "tests/support/tilelib_fixtures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace final_render_test {

// Lays out cols x rows square cells of `cell` layout units with `gap` between them,
// one-element pattern of shape 1, working canvas == layout size, and builds the masks.
inline void MakeGridProject(Workspace& ws, int cols, int rows, double cell, double gap = 0)
{
    TMosaicProject& prj = ws.mproject;
    TprojectCFG& cfg = prj.cfg;
    prj.patterncfg = DefaultPattern();
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = cols;
    cfg.Vcc = rows;
    cfg.CellWdf = cfg.CellHtf = cell;
    cfg.CellgapwdF = cfg.CellgaphtF = gap;
    const TPointF size = prj.GetProjectSize();
    cfg.FullWidthF = size.X;
    cfg.FullHeightF = size.Y;
    cfg.CanvasUnit = kUnitPixel;
    cfg.CanvasPPI = 100;
    cfg.PreviewBMPsize = static_cast<std::int32_t>(std::max(size.X, size.Y));
    cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 100;
    prj.MainSize_Update();
    prj.Cell_Reset();
    BuildPatternShapeMasks(ws.shapeMasks, prj.patterncfg);
}

// Options with both adjustments off, plain background.
inline void PlainOptions(Workspace& ws, TAlphaColor bg = 0xFF000000)
{
    std::memset(&ws.moptions, 0, sizeof ws.moptions);
    ws.moptions.BgColor = bg;
    ws.moptions.AlphaBlend = 0.05;
    ws.moptions.ColorAdjust = 0.05;
}

// The main image at half the working canvas, as the new-project window makes it.
inline void SetMainImage(Workspace& ws, const QImage& picture)
{
    ws.fullSizeImage = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ws.mainImageScale = ws.fullSizeImage.width() / ws.mproject.cfg.WidthPx;
}

inline FixtureTile Tile(const char* fileName, TAlphaColor color)
{
    FixtureTile t;
    t.fileName = QString::fromLatin1(fileName);
    t.color = color;
    return t;
}

inline FixtureTile PictureTile(const char* fileName, const QImage& picture)
{
    FixtureTile t;
    t.fileName = QString::fromLatin1(fileName);
    t.picture = picture;
    return t;
}

// Writes the library into `folder` and loads it as the working library.
inline bool UseLibrary(Workspace& ws, const QString& folder, const std::vector<FixtureTile>& tiles,
                       FixtureLibraryOptions options = {})
{
    options.writeSource = false;
    if (!MakeFixtureTilelib(folder, tiles, options)) return false;
    const Status st = ws.mtilelib.LoadTilelib(GetTilelibFileName(folder));
    EXPECT_TRUE(st.ok()) << st.error().toStdString();
    return st.ok();
}

// Puts tile `id` into the grid cell (x, y) and gives the cell a measured colour.
inline void SetCellTile(Workspace& ws, int x, int y, int id, TAlphaColor measured = 0xFF808080)
{
    TCell& c = ws.mproject.Cells[y][x];
    c.TileID = id;
    c.ICinfo.ci1.rgb = measured;
}

// A picture of four coloured quadrants: top-left, top-right, bottom-left, bottom-right.
inline QImage Quadrants(int w, int h, TAlphaColor tl, TAlphaColor tr, TAlphaColor bl, TAlphaColor br)
{
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, QColor::fromRgba(tl));
    p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor::fromRgba(tr));
    p.fillRect(0, h / 2, w / 2, h - h / 2, QColor::fromRgba(bl));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor::fromRgba(br));
    return img;
}

// The straight colour of a pixel.
inline TAlphaColor PixelAt(const QImage& img, int x, int y)
{
    return img.pixel(x, y);
}

// True when every channel (alpha included) is within `tolerance`.
inline bool Near(TAlphaColor a, TAlphaColor b, int tolerance = 1)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

inline std::string Hex(TAlphaColor c)
{
    return QString::number(c, 16).toUpper().toStdString();
}

// Records every value it is given.
class RecordingProgress final : public Progress {
public:
    void setValue(int value) override { values.push_back(value); }
    int value() const override { return values.empty() ? 0 : values.back(); }
    std::vector<int> values;
};

class CountingPump final : public EventPump {
public:
    void processEvents() override { ++calls; }
    int calls = 0;
};

} // namespace final_render_test
