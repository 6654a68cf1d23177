#include "engine/patterns.h"

#include "imaging/shapes.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

// Counts outside 1..8 never reach here from a file (LoadPattern refuses them), but a
// record filled another way is kept inside the 8 x 8 group rather than trusted.
int groupCount(std::int32_t count) { return std::clamp<std::int32_t>(count, 1, kPatternGroupMax); }

int wrap(int index, int count)
{
    const int m = index % count;
    return m < 0 ? m + count : m;
}

const TCellGroupItem& elementAt(const TpatternCfg& pattern, int x, int y)
{
    return pattern.CellGroup[wrap(y, groupCount(pattern.VertGroupCount))]
                            [wrap(x, groupCount(pattern.HorzGroupCount))];
}

void appendPatternFiles(QStringList& names, QStringList& paths, const QString& folder)
{
    // An empty path would make QDir list the working directory.
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QStringList{QStringLiteral("*.pat")}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        names << entry.fileName();
        paths << entry.absoluteFilePath();
    }
}

} // namespace

TpatternCfg DefaultPattern()
{
    TpatternCfg p;
    std::memset(&p, 0, sizeof p);
    p.Hscale = 1.0f;
    p.Vscale = 1.0f;
    p.HorzGroupCount = 1;
    p.VertGroupCount = 1;
    for (auto& row : p.CellGroup)
        for (TCellGroupItem& e : row)
            e = TCellGroupItem{1, 0.0f, 1.0, 1.0, 0.0, 0.0};
    return p;
}

std::int32_t PatternCellShape(const TpatternCfg& pattern, int x, int y) { return elementAt(pattern, x, y).Shape; }

float PatternCellRotate(const TpatternCfg& pattern, int x, int y) { return elementAt(pattern, x, y).Rotate; }

TRectF PatternCellRect(int x, int y, float cellWidth, float cellHeight, float gapW, float gapH,
                       const TpatternCfg& pattern)
{
    const TCellGroupItem& e = elementAt(pattern, x, y);
    TRectF r;
    r.Left = static_cast<float>((x + e.Hoffset) * cellWidth * e.Hscale + static_cast<double>(x) * gapW);
    r.Top = static_cast<float>((y + e.Voffset) * cellHeight * e.Vscale + static_cast<double>(y) * gapH);
    r.Right = r.Left + cellWidth;
    r.Bottom = r.Top + cellHeight;
    return r;
}

void BuildPatternShapeMasks(ShapeMasks& masks, const TpatternCfg& pattern)
{
    const int rows = groupCount(pattern.VertGroupCount);
    const int cols = groupCount(pattern.HorzGroupCount);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            MakeShapeMask(pattern.CellGroup[r][c].Shape, masks[r][c]);
}

void ListPatterns(QStringList& names, QStringList& paths, const QString& programPatternFolder,
                  const QString& userPatternFolder)
{
    names.clear();
    paths.clear();
    appendPatternFiles(names, paths, programPatternFolder);
    appendPatternFiles(names, paths, userPatternFolder);
}
