#pragma once
// The overview picture: the final mosaic rendered once more, off screen, at up to 4096
// pixels along its longer side, into the workspace's overview bitmap. Small projects
// are scaled up, so every overview has 4096 pixels along its longer side (less a pixel
// lost to truncation of the other).

#include "platform/result.h"

#include <QImage>
#include <QSize>

class Progress;
class Workspace;

// The overview bitmap's size for a working canvas of widthPx x heightPx: the canvas
// fitted into 2048 x 2048 keeping its proportions (the limiting side exactly 2048),
// giving w x h, then Trunc(2w) x Trunc(2h). 8000 x 6000 gives 4096 x 3072, 1000 x 1000
// gives 4096 x 4096. A canvas without size (a side 0 or less, or not finite) gives an
// empty size.
QSize OverviewSizeFor(double widthPx, double heightPx);

// Renders the final mosaic into `overview` as the overview window's "RePaint" does: the
// bitmap is made OverviewSizeFor(WidthPx, HeightPx) (device pixel ratio 1) and cleared
// white, the background is painted (the main image stretched, or BgColor), then the
// final mosaic is drawn at the scale that makes FullWidthF layout units the bitmap's
// width (the cells are placed in layout units). Before the search has completed
// (searchDone false), or for a project without size, nothing happens and `overview`
// keeps its picture; the result says whether a picture was rendered. A tile photo that
// cannot be loaded stops the render with its message; what was drawn stays.
Result<bool> RenderOverview(Workspace& ws, QImage& overview, Progress* progress);
