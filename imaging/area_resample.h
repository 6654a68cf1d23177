#pragma once
// Exact area averaging: every target pixel is the mean of the source area it covers,
// with fractional pixel coverage at the edges (a box filter). Deterministic and free of
// aliasing, which matters when tiles are made from photos many times their size and
// when a cell's 8 x 8 colour grid is read from a large region.
//
// Shared rules: the result is Format_ARGB32_Premultiplied; parts of the source
// rectangle that lie outside the source bitmap contribute transparent black, so a
// region half outside comes out half as bright with half the alpha; an empty source
// rectangle or target size gives a transparent black result (or a null image for a
// zero target size).

#include <QImage>
#include <QRectF>

// The area `srcRect` (source pixel coordinates, fractional allowed) of `src` averaged
// into a W x H bitmap.
QImage AreaResample(const QImage& src, const QRectF& srcRect, int W, int H);

// AreaResample with the four channels of a pixel summed side by side in vector lanes:
// every lane does the same double operations in the same order, so the result is the
// same bitmap, bit for bit, several times faster. The rendering's hot path uses it;
// AreaResample stays the plain definition it is tested against.
QImage AreaResampleVectorised(const QImage& src, const QRectF& srcRect, int W, int H);
