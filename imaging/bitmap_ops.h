#pragma once
// Bitmap operations the rest of the system combines: cropping and scaling a photo to a
// tile, fitting a picture into a box, grey conversion, cutting to a mask, colour shifts,
// blending and rotation.
//
// Rules shared by the whole family:
// - Pixel format. Every bitmap these operations make is Format_ARGB32_Premultiplied with
//   device pixel ratio 1, and the in-place operations leave their bitmap in that format
//   (other formats are converted first). Colour arithmetic (grey, shifts, the kept colour
//   of a mask cut) is done on straight, un-premultiplied channels and premultiplied
//   again; fully opaque pixels, the common case, take no conversion at all.
// - Sizes, source rectangles and per-pixel work are in pixels. Destination rectangles are
//   in the target painter's logical units, which are pixels for every bitmap this family
//   makes; only a Canvas over a high-DPI bitmap differs. In-place operations keep the
//   bitmap's device pixel ratio.
// - Argument order: the bitmap changed in place comes first, then the inputs. Operations
//   that make a new bitmap return it, so a source may be replaced by its own result
//   (`img = ResizeFill(img, w, h)`).
// - "Draw" is DrawScaled below: smooth interpolation, source-over blending. A null or
//   empty source draws nothing; a null target of an in-place operation is left alone.
// - Channels: TAlphaColor is 0xAARRGGBB; channel results are clamped to 0..255.

#include "imaging/canvas.h"
#include "imaging/color_records.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>

// The one scaled bitmap draw of the system: `srcRect` of `src` (source pixels,
// fractional allowed) into `dstRect` (the painter's logical units) at `opacity`, with
// smooth interpolation. Where the draw shrinks the picture by more than 2 in an axis
// (measured on the device, through the painter's transform), the source is first
// area-averaged (AreaResample, run as AreaResampleVectorised) to the device size, because bilinear sampling of a photo
// many times larger than its target aliases; the painter then only places that result.
// The painter's state (opacity, render hints) is restored afterwards.
void DrawScaled(QPainter& painter, const QRectF& dstRect, const QImage& src, const QRectF& srcRect,
                double opacity = 1.0);
// The whole of `src` into `dstRect`.
inline void DrawScaled(QPainter& painter, const QRectF& dstRect, const QImage& src, double opacity = 1.0)
{
    DrawScaled(painter, dstRect, src, QRectF(src.rect()), opacity);
}

// DrawScaled in two steps, so that the filtering can run ahead (on another thread) of
// the draw: PrepareScaledDraw makes the picture as it will be placed (area-averaged when
// it shrinks by more than 2 in an axis) and DrawPreparedScaled places it. `deviceScaleX`
// and `deviceScaleY` are the lengths of the painter's unit vectors on the device
// (through its combinedTransform). The two steps draw exactly what DrawScaled draws.
struct PreparedScaledDraw {
    QImage image; // null: nothing to draw
    QRectF sourceRect;
    QRectF target;
    double opacity = 1.0;
};
PreparedScaledDraw PrepareScaledDraw(const QImage& src, const QRectF& dstRect, const QRectF& srcRect,
                                     double deviceScaleX, double deviceScaleY, double opacity = 1.0);
void DrawPreparedScaled(QPainter& painter, const PreparedScaledDraw& prepared);
// The same on a canvas, in a scene of its own.
void DrawPreparedScaled(Canvas& canvas, const PreparedScaledDraw& prepared);

// The same on a canvas, in a scene of its own (nested in the caller's when one is open).
void DrawScaled(Canvas& canvas, const QRectF& dstRect, const QImage& src, const QRectF& srcRect,
                double opacity = 1.0);
inline void DrawScaled(Canvas& canvas, const QRectF& dstRect, const QImage& src, double opacity = 1.0)
{
    DrawScaled(canvas, dstRect, src, QRectF(src.rect()), opacity);
}

// A W x H bitmap showing the largest centred part of `src` with the proportions W : H,
// scaled to fill it. With w x h the source size: when h*W >= H*w (integer products) strips
// of d = (h*W - H*w) / (2*W) source pixels (fractional) are cut from top and bottom,
// otherwise strips of d = (H*w - h*W) / (2*H) from left and right. Starts transparent, so
// an empty source gives a transparent W x H bitmap; W or H of 0 or less gives a null image.
QImage ResizeFill(const QImage& src, int W, int H);

// `src` scaled (up or down) to fit inside W x H keeping its proportions, on opaque white.
// The size is Trunc(s*w) x Trunc(s*h) with s = min(W/w, H/h), computed exactly (the
// limiting side is exactly W or H). An empty source, or a box giving a zero side, gives a
// null image (callers keep what they had).
QImage FitBitmap(const QImage& src, int W, int H);

// Exactly W x H: `color` background (any alpha), FitBitmap(src, W, H) centred at its own
// size at ((W - tw) div 2, (H - th) div 2). An empty source gives the plain background;
// W or H of 0 or less gives a null image.
QImage FitBitmapPadded(const QImage& src, int W, int H, TAlphaColor color);

// Draws `src` fitted and centred in a box of `box`'s size placed at the canvas origin
// (box's own left and top are not used), in its own scene. s = min(box w / w, box h / h),
// e x f = Trunc(s*w) x Trunc(s*h) computed exactly, placed at ((box w - e) div 2,
// (box h - f) div 2). Nothing happens for an empty source or box.
void DrawBitmapFit(Canvas& canvas, const QImage& src, const QRect& box);

// Every pixel becomes grey g = Trunc(0.299 R + 0.587 G + 0.114 B) of its straight
// colour, evaluated exactly in integers (so a grey pixel keeps its value); alpha kept.
void GrayscaleBitmap(QImage& bitmap);

// Cuts `target` to `mask`: the whole mask is drawn stretched over a transparent-white
// bitmap of the target's size, and each target pixel keeps its straight r, g, b with that
// bitmap's alpha A; where A < 128 the pixel becomes 0 (transparent black). So a shape's
// edge fades to half opacity and then ends sharply. A null mask leaves the target alone.
void ApplyAlphaMask(QImage& target, const QImage& mask);
// ApplyAlphaMask in two steps, so that a mask used for many targets of one size is
// stretched once: the mask drawn over a transparent-white w x h bitmap, then the cut with
// such a bitmap (of the target's size; a null or differently sized one cuts nothing).
QImage StretchAlphaMask(const QImage& mask, int w, int h);
void ApplyStretchedAlphaMask(QImage& target, const QImage& stretched);

// Moves every pixel's straight red, green and blue by the offsets through three 256-entry
// lookup tables (clamped to 0..255); alpha kept.
void ShiftRGB(QImage& bitmap, int dR, int dG, int dB);

// ShiftRGB by Trunc(factor * (target - source)) per channel, the colours being the `ci1`
// `rgb` of `source` and `target`: a tile moves a fraction of the way toward its cell's
// colour.
void ShiftTowardColor(QImage& bitmap, const TimgColorInfo& source, const TimgColorInfo& target, float factor);

// `srcRect` of `src` drawn over `dstRect` of `dst` at `opacity` (source-over), in one
// scene. `srcRect` is in pixels of `src`, `dstRect` in logical units of the target.
void BlendBitmap(QImage& dst, const QImage& src, const TRectF& srcRect, const TRectF& dstRect, float opacity);
void BlendBitmap(Canvas& dst, const QImage& src, const TRectF& srcRect, const TRectF& dstRect, float opacity);

// Rotates the picture in place about its centre by `angle` degrees (positive turns
// clockwise on screen, y pointing down) within its own size: corners of the picture that
// leave the bitmap are cut off and uncovered corners are opaque black (0xFF000000).
// Angle 0 changes nothing.
void RotateBitmap(QImage& bitmap, float angle);

// As RotateBitmap, but uncovered corners are transparent (0). Used for the add-on cells
// of grid patterns. Angle 0 changes nothing.
void RotateBitmapTransparent(QImage& bitmap, double degrees);

// `src` rotated about its centre by `degrees` into a bitmap that grows to the bounding
// box of the rotated picture (each side rounded up, ignoring rounding noise below 1e-6
// pixel, so 90 degrees of w x h gives exactly h x w), centred, transparent outside the
// picture. Angle 0 gives a copy in the working format. A null source gives a null image.
QImage RotatedBitmapGrown(const QImage& src, double degrees);
