#pragma once
// Colour measurement of a bitmap region: the region is averaged down to N x N samples
// (AreaResample) and the samples' premultiplied channels give the colours of the whole
// region (ci1), its 2 x 2 quadrants (ci4) and, in the 8 x 8 variant, every sample (ci64).
//
// Shared rules: `rect` is in the bitmap's pixel coordinates (Left, Top, Right, Bottom,
// fractional allowed). Parts of it outside the bitmap count as transparent black, so a
// region partly outside comes out darker and one wholly outside (or of zero width or
// height) comes out black, with ci64 rgb values of 0. Averages are integer sums divided
// with truncation; every filled TColorInfo15 gets Lab, rgb and rgba, never hsl, and
// entries a variant does not fill keep their bytes. When the sample bitmap cannot be
// made, nothing is filled and the function returns false.

#include "imaging/color_records.h"

#include <QImage>

// Fills ci64 (rgb as sampled, alpha included), the four ci4 means and the
// CenterWeights-weighted ci1 (the colour of the inscribed disc) from 8 x 8 samples.
bool GetImgColorInfo8(TimgColorInfo& info, const QImage& bitmap, const TRectF& rect);

// Fills the four ci4 means and the plain mean ci1 from 16 x 16 samples; ci64 untouched.
bool GetImgColorInfo16(TimgColorInfo& info, const QImage& bitmap, const TRectF& rect);
