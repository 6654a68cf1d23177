#pragma once
// The main image and its crop: loading the photo into mainImage and zoomedImage (the
// photo fitted into the crop view), the crop rectangle that keeps the mosaic's
// proportions and the pointer rules that move and resize it, and the rendering of the
// crop into fullSizeImage, from which the cell colours are read.
//
// Shared rules: crop coordinates are the crop view's logical units, relative to the
// view picture's top-left corner; the view bounds are vw x vh = zoomedImage's size
// divided by the workspace's screenScale (CropViewBounds). The mosaic's proportions are
// cfg.WidthPx : cfg.HeightPx. The pointer functions are pure: they take the crop state
// and return the next one, so the window only forwards its mouse events and then shows
// the overlay.

#include "imaging/color_records.h"
#include "platform/result.h"

#include <QSizeF>
#include <QString>

#include <optional>

class QIODevice;
class Workspace;

// The crop of the new-project window.
struct CropState {
    TRectF cropRect{0, 0, 0, 0};
    TPointF cropCorners[4]{}; // left-top, right-top, right-bottom, left-bottom
    bool cornerDrag = false;
    int cornerIndex = -1; // 0..3 while cornerDrag
    bool rectDrag = false;
    TPointF lastPoint{0, 0}; // pointer position of the rectangle drag
};

// Handles closer than this to the pointer are grabbed; rectangles of at most this width
// or height cannot be moved.
inline constexpr float kCropGrabDistance = 20.0f;

// Sets the four corners from cropRect.
void SetCropCorners(CropState& crop);

// vw x vh: zoomedImage's size over screenScale (0 x 0 without a picture).
QSizeF CropViewBounds(const Workspace& ws);

// The index of the corner handle within kCropGrabDistance of `p`, the highest index when
// several are; -1 when none is.
int CropCornerAt(const CropState& crop, TPointF p);

// `rect` shrunk to the proportions W : H, the side that is too long truncated to whole
// units, keeping corner `anchor` (0 left-top, 1 right-top, 2 right-bottom, 3 left-bottom)
// in place. A rectangle turned inside out by a handle dragged past the opposite corner
// shrinks to zero size at the anchor instead of inverting. W or H of 0 or less, or an
// anchor outside 0..3, gives `rect` unchanged.
TRectF FitCropRect(const TRectF& rect, int anchor, double W, double H);

// The largest rectangle of the proportions W : H inside 0.9 vw x 0.9 vh (scaled up or
// down), centred in the view. Empty (all zero) for a zero size or view.
TRectF AutoCropRectFor(double W, double H, QSizeF view);

// Sets the crop to AutoCropRectFor the mosaic and the workspace's view, corners included,
// and returns the plain mean colour (ci1.rgb of GetImgColorInfo16) of zoomedImage under
// it, the default background colour. The crop is measured in zoomedImage's device pixels
// (the crop times screenScale). No colour without a zoomedImage.
std::optional<TAlphaColor> AutoCropRect(const Workspace& ws, CropState& crop);

// Pointer events on the crop view, `p` in logical units. Down grabs a corner handle
// (CropCornerAt) or, inside a movable rectangle (wider and higher than kCropGrabDistance;
// left and top edges inclusive), starts moving it.
CropState CropMouseDown(const CropState& crop, TPointF p);
// A corner drag resizes against the opposite corner, the pointer held inside the view,
// and fits the proportions W : H; a rectangle drag shifts per axis, refusing a shift
// that would leave the view (edges inclusive). Without a drag nothing changes.
CropState CropMouseMove(const CropState& crop, TPointF p, QSizeF view, double W, double H);
// Up and leave end any drag; after Up the window updates the sizes and runs MakeFullSize.
CropState CropMouseUp(const CropState& crop);
CropState CropMouseLeave(const CropState& crop);

// Loads the photo `file` into mainImage, upright by its EXIF orientation, and
// zoomedImage = FitBitmap of it into Trunc(viewW * screenScale) x Trunc(viewH *
// screenScale) physical pixels on white. The caller then runs AutoCropRect and shows the
// overlay. Returns false, changing nothing, when the file does not exist; an unreadable
// picture is an error and keeps the previous images.
Result<bool> LoadMainImage(Workspace& ws, const QString& file, double viewW, double viewH);
// The same from a stream read to its end (the sample picture at start-up); an empty
// stream returns false and changes nothing. `sourceName` names it in messages.
Result<bool> LoadMainImageFromStream(Workspace& ws, QIODevice& stream, double viewW, double viewH,
                                     const QString& sourceName = QString());

// Renders the crop into fullSizeImage: Trunc(WidthPx / 2) x Trunc(HeightPx / 2) pixels,
// opaque white, with the crop's part of mainImage drawn stretched over the whole of it
// (area-averaged when shrinking, smoothly interpolated when enlarging; parts of the crop
// outside the photo stay white). mainImageScale = fullSizeImage width / WidthPx. Nothing
// happens without a mainImage. A working canvas of no size (or one larger than 16384
// pixels a side, which only a damaged project holds) leaves a null fullSizeImage and scale 0.
void MakeFullSize(Workspace& ws, const TRectF& cropRect);
