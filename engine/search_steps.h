#pragma once
// Small steps shared by the plain tile search and its fast path, so that both decide
// free cells, differences and progress in exactly the same way.

#include "engine/project_records.h"
#include "imaging/color_convert.h"
#include "platform/services.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

inline bool isFreeCell(const TCell& cell)
{
    return cell.enable && cell.TileID == -1;
}

inline bool isCandidateCell(const TCell& cell, int priority)
{
    return isFreeCell(cell) && cell.PriLevel == priority;
}

inline ColorMatchSettings matchSettings(const TmosaicOptions& options)
{
    return ColorMatchSettings{options.WeightL, options.WeightC, options.RGBMatch != 0};
}

// Trunc of a difference into an Integer. Weights from a damaged project file can make
// the value too large or NaN; those rank last.
inline int truncatedDiff(double d)
{
    if (!(d < 2147483647.0)) return INT_MAX;
    if (d <= -2147483648.0) return INT_MIN;
    return static_cast<int>(std::trunc(d));
}

// Progress of a pass: step of total, reported only when the percentage changes.
inline void reportSearchProgress(Progress* progress, int step, int total)
{
    if (!progress || total <= 0) return;
    const int value = static_cast<int>(std::int64_t(step) * 100 / total);
    if (value != progress->value()) progress->setValue(value);
}

// Index bounds lo..hi of a neighbourhood of radius R around `centre`, inside 0..count-1
// (empty when lo > hi), in 64 bits so that no radius or stored position can overflow.
struct Span {
    int lo, hi;
};
inline Span neighbourhood(int centre, int R, int count)
{
    const std::int64_t lo = std::int64_t(centre) - R, hi = std::int64_t(centre) + R;
    return Span{int(std::clamp<std::int64_t>(lo, 0, count)), int(std::clamp<std::int64_t>(hi, -1, count - 1))};
}
