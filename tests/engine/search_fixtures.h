#pragma once
// Cells, tiles and platform doubles built by hand for the sampling, diffusion and search
// tests: colour descriptions of one colour, a library filled in memory, a grid of
// square cells, and shells and pumps that count what the engine asked of them.

#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "platform/services.h"

#include <cstring>
#include <memory>
#include <vector>

// Every entry of the description the colour (r, g, b): Lab, rgb and rgba complete,
// hsl zero.
inline TimgColorInfo UniformInfo(int r, int g, int b)
{
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    CompleteColorInfo(info.ci1, r, g, b);
    for (TColorInfo15& e : info.ci4)
        CompleteColorInfo(e, r, g, b);
    for (TColorInfo15& e : info.ci64)
        CompleteColorInfo(e, r, g, b);
    return info;
}

// Appends an enabled tile whose upright and rotated descriptions are all `info`.
inline int AddTile(TTilelib& lib, const TimgColorInfo& info)
{
    const int i = lib.Count;
    TTileItem& item = lib.items[i];
    item.ColorInfo = info;
    for (TimgColorInfo& rot : item.RotColorInfo)
        rot = info;
    item.Usecount = 0;
    lib.ItemEnable[i] = 1;
    lib.Count = i + 1;
    return i;
}

inline int AddTile(TTilelib& lib, int r, int g, int b)
{
    return AddTile(lib, UniformInfo(r, g, b));
}

// A cols x rows grid of square cells `side` canvas pixels wide without gaps, laid out as
// the layout leaves them: free, enabled, normal priority, Rotate 0, one grey colour.
inline void SetUpGrid(TMosaicProject& project, int cols, int rows, float side = 10)
{
    project.cfg.ProjectPatternType = kPatternGrid;
    project.cfg.Hcc = cols;
    project.cfg.Vcc = rows;
    project.cfg.AddonTilesCount = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            TCell& c = project.Cells[y][x];
            c.CellX = x;
            c.CellY = y;
            c.TileID = -1;
            c.CellShape = kShapeRect;
            c.CellRect = TRectF{x * side, y * side, (x + 1) * side, (y + 1) * side};
            c.CellRectReal = c.CellRect;
            c.Rotate = 0;
            c.NewTypeCell = 1;
            c.enable = 1;
            c.PriLevel = kPriorityNormal;
            c.SplitLevel = 0;
            c.ICinfo = UniformInfo(128, 128, 128);
        }
}

// `count` add-on cells of the circle layout, free, enabled, normal priority, grey.
inline void SetUpAddons(TMosaicProject& project, int count)
{
    project.cfg.ProjectPatternType = kPatternCircles;
    project.cfg.Hcc = 0;
    project.cfg.Vcc = 0;
    project.cfg.AddonTilesCount = count;
    for (int i = 0; i < count; ++i) {
        TCell& c = project.AddonTiles[i];
        c.CellAID = i;
        c.TileID = -1;
        c.CellShape = kShapeEllipse;
        c.CellRect = TRectF{i * 10.0f, 0, i * 10.0f + 10, 10};
        c.Rotate = 0.25 * i + 0.1;
        c.NewTypeCell = 1;
        c.enable = 1;
        c.PriLevel = kPriorityNormal;
        c.ICinfo = UniformInfo(128, 128, 128);
    }
}

class CountingShell final : public Shell {
public:
    void ShellOpen(const QString&) override {}
    void Beep() override { ++beeps; }
    int beeps = 0;
};

class CountingPump final : public EventPump {
public:
    void processEvents() override { ++calls; }
    int calls = 0;
};

// Returns the scripted values in turn (then 0) and records every bound asked for.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values = {}) : m_values(std::move(values)) {}
    int Random(int n) override
    {
        bounds.push_back(n);
        return m_next < m_values.size() ? m_values[m_next++] : 0;
    }
    void seed(std::uint32_t) override {}
    std::vector<int> bounds;

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

// Options with every repeat rule off, scan-line order, no dither, RandomLevel 1 and the
// default Light-RGB weights.
inline TmosaicOptions PlainOptions()
{
    TmosaicOptions o;
    std::memset(&o, 0, sizeof o);
    o.RandomLevel = 1;
    o.WeightL = kDefaultMatchWeight;
    o.WeightC = kDefaultMatchWeight;
    o.ScanlineSearch = 1;
    o.DitherLevel = 1.0f;
    return o;
}
