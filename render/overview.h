#pragma once
// The overview picture: the final mosaic drawn once more, off screen, at up to 4096
// pixels along its longer side, or a copy of the main view at up to 2048. Both are
// made at twice the fitted size, so the picture stays sharp when shown on a high-density
// display or saved. An empty or unusable project size gives the size 0 x 0 and draws
// nothing.

#include "platform/result.h"

#include <QImage>
#include <QSize>
#include <QSizeF>

class Progress;
class Workspace;

// (width, height) fitted into (box, box) keeping its proportions, up or down; the
// limiting side is exactly `box`. Empty for a side that is not a positive number.
QSizeF FitIntoSquare(double width, double height, double box);

// The overview bitmap's size for a WidthPx x HeightPx project: fitted into 2048, then
// Trunc(w * 2) x Trunc(h * 2). 8000 x 6000 gives 4096 x 3072, 1000 x 1000 gives 4096 x 4096.
QSize OverviewSize(double widthPx, double heightPx);
QSize OverviewSize(const Workspace& ws);

// The scale from layout units to overview pixels: the fitted width times 2 over the
// project's layout width FullWidthF, so the mosaic covers the whole bitmap whatever the
// working canvas's size. (w / WidthPx * 2, the same when the working canvas is as wide
// as the layout, would draw a project laid out in millimetres into one corner.) 0 when
// the project has no size.
double OverviewScale(const Workspace& ws);

// Makes `overview` OverviewSize(ws) pixels, opaque white, paints the background (the main
// image stretched, or BgColor) and draws the final mosaic at OverviewScale with the
// progress. Does nothing and succeeds when the project has no size. A tile picture that
// cannot be loaded stops the drawing with its message.
Status RenderOverview(Workspace& ws, QImage& overview, Progress* progress);

// The main view's picture in the overview: the view's logical size fitted into 1024,
// the bitmap Trunc(w * 2) x Trunc(h * 2), opaque white, the view stretched over all of
// it. An empty view gives a null picture.
QImage OverviewFromView(const QImage& view, QSizeF viewLogicalSize);
