#pragma once
// Entry points with which windows ask for a whole view of the project. A target image
// is an image control's picture: a QImage whose device pixel ratio is the display's
// scale (screenScale), so its logical size is the control's size and drawing happens
// in logical units at the display's physical resolution.

#include "platform/result.h"

#include <QImage>
#include <QSize>

class Progress;
class Workspace;

// The logical size of a view of the whole project at `scale`: Trunc(FullWidthF * scale)
// x Trunc(FullHeightF * scale), the size an image control showing it takes.
QSize MosaicViewSize(const Workspace& ws, double scale);

// Sizes `image` for the whole project at `scale` (Trunc(FullWidthF * scale *
// screenScale) pixels wide, device pixel ratio screenScale), clears it to white and
// draws the view: for mode 50 the background (the main image stretched, or BgColor)
// and the final mosaic, for other modes the working view. A project without size gives
// a null image; a side beyond 32768 pixels, or more than 200 megapixels in all
// (kMaxPicturePixels), is refused. A tile photo that cannot be
// loaded stops the drawing with its message; what was drawn stays.
Status Draw_MosaicToView(Workspace& ws, int drawMode, QImage& image, double scale, Progress* pbar);

// Fits the project (WidthPx x HeightPx) into the bitmap's current logical size (its
// pixels when the device pixel ratio is 1), resizes the bitmap to Trunc(w) x Trunc(h)
// logical units at its own pixel ratio, clears it light blue (0xFF66CCFF) and draws the
// view so that the whole project fills the bitmap: mode 50 the background and the final
// mosaic, other modes the working view, all at w / FullWidthF (layout units to the
// bitmap). Returns w / WidthPx, the bitmap's units per working-canvas pixel, which is
// the drawing scale when the working canvas has the layout's size. A null bitmap or a
// project without size gives a null bitmap and 0.
Result<double> Draw_MosaicToBitmap(Workspace& ws, int drawMode, QImage& bitmap, Progress* pbar);

// Makes `image` the given logical size (whole pixels at screenScale) and draws into it
// with Draw_MosaicToBitmap.
Result<double> Draw_MosaicToImage(Workspace& ws, int drawMode, QImage& image, QSize logicalSize, Progress* pbar);
