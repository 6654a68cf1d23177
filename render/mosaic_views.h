#pragma once
// Entry points with which windows ask for a whole view of the project. A target image
// is an image control's picture: a QImage whose device pixel ratio is the display's
// scale (screenScale), so its logical size is the control's size and drawing happens
// in logical units at the display's physical resolution.

#include "platform/result.h"

#include <QImage>

class Progress;
class Workspace;

// Sizes `image` for the whole project at `scale` (Trunc(FullWidthF * scale *
// screenScale) pixels wide, device pixel ratio screenScale), clears it to white and
// draws the view: for mode 50 the background (the main image stretched, or BgColor)
// and the final mosaic, for other modes the working view.
Status Draw_MosaicToView(Workspace& ws, int drawMode, QImage& image, double scale, Progress* pbar);

// Fits the project (WidthPx x HeightPx) into the bitmap's current size, resizes the
// bitmap to the fitted size, clears it light blue and draws; returns the scale used.
Result<double> Draw_MosaicToBitmap(Workspace& ws, int drawMode, QImage& bitmap, Progress* pbar);

// Makes `image` the given logical size (whole pixels at screenScale) and draws into it
// with Draw_MosaicToBitmap.
Result<double> Draw_MosaicToImage(Workspace& ws, int drawMode, QImage& image, QSize logicalSize, Progress* pbar);
