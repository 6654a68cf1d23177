#include "tilelib/tile_crop.h"

#include "imaging/bitmap_ops.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool hasAspect(int widthPx, int heightPx)
{
    return widthPx > 0 && heightPx > 0;
}

bool inside(const TRectF& r, float dw, float dh)
{
    return r.Left >= 0 && r.Top >= 0 && r.Right <= dw && r.Bottom <= dh;
}

TRectF shifted(const TRectF& r, float dx, float dy)
{
    return TRectF{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

} // namespace

QImage CropDisplayPicture(const QImage& photo, float s)
{
    if (photo.isNull()) return {};
    const int side = static_cast<int>(kCropViewSize * s);
    QImage display = FitBitmap(photo, side, side);
    if (!display.isNull()) display.setDevicePixelRatio(s);
    return display;
}

TileCrop InitialTileCrop(float dw, float dh, int widthPx, int heightPx)
{
    TileCrop crop;
    crop.dw = dw;
    crop.dh = dh;
    crop.widthPx = widthPx;
    crop.heightPx = heightPx;
    const float boxW = 0.9f * dw, boxH = 0.9f * dh;
    float w = boxW, h = boxH;
    if (hasAspect(widthPx, heightPx)) {
        const float k = std::min(boxW / widthPx, boxH / heightPx);
        w = widthPx * k;
        h = heightPx * k;
    }
    const float left = (dw - w) / 2, top = (dh - h) / 2;
    crop.rect = TRectF{left, top, left + w, top + h};
    crop.corners = CropCorners(crop.rect);
    return crop;
}

std::array<TPointF, 4> CropCorners(const TRectF& r)
{
    return {TPointF{r.Left, r.Top}, TPointF{r.Right, r.Top}, TPointF{r.Right, r.Bottom}, TPointF{r.Left, r.Bottom}};
}

void CropMouseDown(TileCrop& crop, float x, float y)
{
    crop.dragCorner = -1;
    crop.moving = false;
    int corner = -1;
    for (int k = 0; k < 4; ++k)
        if (std::hypot(x - crop.corners[k].X, y - crop.corners[k].Y) < kCropCornerGrab) corner = k;
    if (corner >= 0) {
        crop.dragCorner = corner;
        return;
    }
    const TRectF& r = crop.rect;
    if (r.Width() > kCropCornerGrab && r.Height() > kCropCornerGrab && x >= r.Left && x < r.Right && y >= r.Top &&
        y < r.Bottom) {
        crop.moving = true;
        crop.last = TPointF{x, y};
    }
}

TRectF DragCropCorner(const TRectF& r, int corner, float x, float y, float dw, float dh, int widthPx, int heightPx)
{
    // The clamps of the table, and the dragged corner stops at the fixed one: a rectangle
    // turned inside out would have negative sides, could not be moved and would crop
    // nothing.
    const float left = std::min(std::max(x, 0.0f), r.Right), top = std::min(std::max(y, 0.0f), r.Bottom);
    const float right = std::max(std::min(x, dw), r.Left), bottom = std::max(std::min(y, dh), r.Top);
    TRectF n = r;
    switch (corner) {
    case 0:
        n.Left = left;
        n.Top = top;
        break;
    case 1:
        n.Top = top;
        n.Right = right;
        break;
    case 2:
        n.Right = right;
        n.Bottom = bottom;
        break;
    case 3:
        n.Left = left;
        n.Bottom = bottom;
        break;
    default:
        return r;
    }
    float f = n.Right - n.Left, m = n.Bottom - n.Top;
    if (hasAspect(widthPx, heightPx)) {
        if (static_cast<double>(f) * heightPx > static_cast<double>(m) * widthPx)
            f = std::trunc(static_cast<double>(m) * widthPx / heightPx);
        else
            m = std::trunc(static_cast<double>(f) * heightPx / widthPx);
    }
    switch (corner) {
    case 0:
        return TRectF{n.Right - f, n.Bottom - m, n.Right, n.Bottom};
    case 1:
        return TRectF{n.Left, n.Bottom - m, n.Left + f, n.Bottom};
    case 2:
        return TRectF{n.Left, n.Top, n.Left + f, n.Top + m};
    default:
        return TRectF{n.Right - f, n.Top, n.Right, n.Top + m};
    }
}

bool CropMouseMove(TileCrop& crop, float x, float y)
{
    if (crop.dragCorner >= 0) {
        crop.rect = DragCropCorner(crop.rect, crop.dragCorner, x, y, crop.dw, crop.dh, crop.widthPx, crop.heightPx);
        crop.corners = CropCorners(crop.rect);
        return true;
    }
    if (!crop.moving) return false;
    TRectF r = crop.rect;
    const TRectF h = shifted(r, x - crop.last.X, 0);
    if (inside(h, crop.dw, crop.dh)) r = h;
    crop.last.X = x;
    const TRectF v = shifted(r, 0, y - crop.last.Y);
    if (inside(v, crop.dw, crop.dh)) r = v;
    crop.last.Y = y;
    crop.rect = r;
    crop.corners = CropCorners(r);
    return true;
}

void CropMouseUp(TileCrop& crop)
{
    crop.dragCorner = -1;
    crop.moving = false;
}

QImage CropResult(const QImage& photo, const QImage& displayPicture, const TRectF& rect, int widthPx, int heightPx)
{
    if (photo.isNull() || displayPicture.isNull() || !hasAspect(widthPx, heightPx)) return {};
    const double e = static_cast<double>(photo.width()) / displayPicture.width() * displayPicture.devicePixelRatio();
    QImage result(widthPx, heightPx, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::white);
    const QRectF src(QPointF(rect.Left * e, rect.Top * e), QPointF(rect.Right * e, rect.Bottom * e));
    if (src.width() > 0 && src.height() > 0) {
        QPainter painter(&result);
        DrawScaled(painter, QRectF(0, 0, widthPx, heightPx), photo, src);
    }
    return result;
}
