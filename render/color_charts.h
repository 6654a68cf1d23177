#pragma once
// Colour range charts: which hues, saturations and brightnesses occur among the cells of
// a project or the tiles of a library, as dots on colour wheels. H, S and V come from
// RGBToHSV of a colour's rgb; hue buckets are 6 degrees wide (0..59), saturation and value
// bands split 0..100 into 0..33, 34..67 and 68..100. Hue bucket j sits at j * 6 degrees,
// clockwise on screen from the positive x axis. A dot only shows that a bucket is not
// empty; its size does not grow with the count.

#include "imaging/color_records.h"

#include <QImage>

class TMosaicProject;
class TTilelib;
class Workspace;

inline constexpr int kHueBuckets = 60;
inline constexpr int kColorBands = 3;

// Chart kinds of DrawColorWheel.
inline constexpr int kChartThreeWheels = 10; // 1080 x 360
inline constexpr int kChartHueWheel = 20;    // 360 x 360

// Library sources of TileLibColorHistogram.
inline constexpr int kChartSourceWorking = 10; // mtilelib
inline constexpr int kChartSourceBrowse = 20;  // mbrowselib

struct TColorHistogram {
    int HSVCount[kHueBuckets][kColorBands][kColorBands]; // [Trunc(H) div 6][Trunc(S) div 34][Trunc(V) div 34]
    int HueCount[kHueBuckets];                           // [Trunc(H / 6)]
};

// Every count 0.
void ClearColorHistogram(TColorHistogram& hist);
// Adds one colour (its red, green and blue; alpha ignored). Indexes beyond the buckets
// (a hue of 360) count in the last bucket.
void CountColor(TColorHistogram& hist, TAlphaColor rgb);

// Clears, then counts the measured colour (ICinfo.ci1.rgb) of every grid cell row by row
// and then every add-on cell in use, enabled or not. Counts are clamped to the arrays.
void ProjectColorHistogram(TColorHistogram& hist, const TMosaicProject& project);
// Clears, then counts ColorInfo.ci1.rgb of items 0..Count-1 (clamped to the items),
// enabled or not.
void TileLibColorHistogram(TColorHistogram& hist, const TTilelib& library);
// Source 10 counts the working library, 20 the library of the library windows; any other
// source leaves the histogram empty.
void TileLibColorHistogram(TColorHistogram& hist, const Workspace& ws, int source);

// Makes `bitmap` the chart of `kind` (10: three wheels for the value bands, dark on the
// right; 20: one hue wheel), opaque white behind. Other kinds leave the bitmap as it was.
void DrawColorWheel(QImage& bitmap, const TColorHistogram& hist, int kind);
