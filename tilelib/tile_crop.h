#pragma once
// The crop rectangle of the tile image crop editor: a rectangle over the display picture
// of a tile's source photo, locked to the tile's aspect widthPx : heightPx, moved by
// dragging its inside and resized by dragging one of its four corners.
//
// Rules shared by the family:
// - Coordinates are view units over the display picture, whose size is dw x dh (its
//   pixel size divided by the display scale s); the display picture sits at (0, 0).
// - Corners are numbered 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
// - A tile size with a side of 0 or less has no aspect: the rectangle is not locked to
//   one and no result is made (CropResult gives a null image).

#include "imaging/color_records.h"

#include <QImage>
#include <QSize>

#include <array>

// The display scale's target box in view units: the display picture is the photo fitted
// into Trunc(400 * s) x Trunc(400 * s) device pixels.
inline constexpr int kCropViewSize = 400;
// A press closer than this to a corner grabs the corner.
inline constexpr float kCropCornerGrab = 20;

struct TileCrop {
    float dw = 0, dh = 0;          // display picture in view units
    int widthPx = 0, heightPx = 0; // the tile aspect
    TRectF rect{0, 0, 0, 0};
    std::array<TPointF, 4> corners{};
    int dragCorner = -1; // a corner being dragged, or -1
    bool moving = false; // the inside being dragged
    TPointF last{0, 0};  // last point of a move drag
};

// The photo fitted into Trunc(400 * s) x Trunc(400 * s) pixels on white (FitBitmap), with
// device pixel ratio s. A null photo gives a null picture.
QImage CropDisplayPicture(const QImage& photo, float s);

// A crop over a display picture of dw x dh view units: the rectangle (0, 0, widthPx,
// heightPx) scaled to the largest size inside 0.9 dw x 0.9 dh and centred. Without an
// aspect, the 0.9 dw x 0.9 dh rectangle, centred.
TileCrop InitialTileCrop(float dw, float dh, int widthPx, int heightPx);

// Corner points of a rectangle, in corner order.
std::array<TPointF, 4> CropCorners(const TRectF& rect);

// Mouse down: clears both drags; a press within 20 of a corner starts a corner drag (a
// later corner wins), else a press inside a rectangle wider and higher than 20 (left and
// top edges included, right and bottom excluded) starts a move drag.
void CropMouseDown(TileCrop& crop, float x, float y);
// Mouse move: drags the corner (clamped to the display picture, then fitted to the
// aspect from the opposite corner, which stays put) or moves the rectangle (each axis
// refused on its own when the moved rectangle would leave the display picture). Returns
// true when the rectangle may have changed (a drag is on).
bool CropMouseMove(TileCrop& crop, float x, float y);
// Mouse up or leave: ends both drags.
void CropMouseUp(TileCrop& crop);

// The rectangle after dragging corner k to (x, y): the moved edges are clamped to the
// display picture and stop at the fixed corner (never inside out), then the aspect fit
// truncates the longer side to whole view units and the rectangle is rebuilt from the
// fixed corner.
TRectF DragCropCorner(const TRectF& rect, int corner, float x, float y, float dw, float dh, int widthPx, int heightPx);

// The photo's part under the rectangle drawn over a widthPx x heightPx opaque white
// bitmap. `displayPicture` is the picture the rectangle was drawn over (its pixel width
// and device pixel ratio give the photo pixels per view unit). Null when the photo is
// null or the tile has no aspect.
QImage CropResult(const QImage& photo, const QImage& displayPicture, const TRectF& rect, int widthPx, int heightPx);
