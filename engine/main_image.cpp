#include "engine/main_image.h"

#include "engine/workspace.h"
#include "imaging/area_resample.h"
#include "imaging/bitmap_ops.h"
#include "imaging/color_measure.h"
#include "imaging/picture_io.h"

#include <QFileInfo>
#include <QIODevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Larger bitmaps come only from damaged sizes and would not be allocated anyway.
constexpr int kMaxBitmapSide = 16384;

bool containsPoint(const TRectF& r, TPointF p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool insideView(const TRectF& r, QSizeF view)
{
    return r.Left >= 0 && r.Top >= 0 && r.Right <= view.width() && r.Bottom <= view.height();
}

float truncated(double v)
{
    return static_cast<float>(std::trunc(v));
}

// Side of fullSizeImage for a working-canvas side, or 0 when there is none to make.
int halfSide(double canvasSide)
{
    const double half = std::trunc(canvasSide / 2);
    if (!(half >= 1) || half > kMaxBitmapSide) return 0;
    return static_cast<int>(half);
}

void setMainImage(Workspace& ws, QImage picture, double viewW, double viewH)
{
    const double scale = ws.screenScale;
    const auto physical = [scale](double logical) {
        const double v = std::trunc(logical * scale);
        return v >= 0 && v <= kMaxBitmapSide ? static_cast<int>(v) : 0;
    };
    ws.zoomedImage = FitBitmap(picture, physical(viewW), physical(viewH));
    ws.mainImage = std::move(picture);
}

} // namespace

void SetCropCorners(CropState& crop)
{
    const TRectF& r = crop.cropRect;
    crop.cropCorners[0] = TPointF{r.Left, r.Top};
    crop.cropCorners[1] = TPointF{r.Right, r.Top};
    crop.cropCorners[2] = TPointF{r.Right, r.Bottom};
    crop.cropCorners[3] = TPointF{r.Left, r.Bottom};
}

QSizeF CropViewBounds(const Workspace& ws)
{
    if (ws.zoomedImage.isNull() || !(ws.screenScale > 0)) return QSizeF(0, 0);
    return QSizeF(ws.zoomedImage.width() / double(ws.screenScale), ws.zoomedImage.height() / double(ws.screenScale));
}

int CropCornerAt(const CropState& crop, TPointF p)
{
    int result = -1;
    for (int i = 0; i < 4; ++i) {
        const double dx = double(p.X) - crop.cropCorners[i].X;
        const double dy = double(p.Y) - crop.cropCorners[i].Y;
        if (std::sqrt(dx * dx + dy * dy) < kCropGrabDistance) result = i; // a later corner overrides an earlier one
    }
    return result;
}

TRectF FitCropRect(const TRectF& rect, int anchor, double W, double H)
{
    if (!(W > 0) || !(H > 0) || anchor < 0 || anchor > 3) return rect;
    const float L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    // A handle dragged past the opposite corner must not turn the crop inside out.
    float w = std::max(R - L, 0.0f);
    float h = std::max(B - T, 0.0f);
    if (double(w) * H > double(h) * W)
        w = truncated(double(h) * W / H);
    else
        h = truncated(double(w) * H / W);
    switch (anchor) {
    case 0:
        return TRectF{L, T, L + w, T + h};
    case 1:
        return TRectF{R - w, T, R, T + h};
    case 2:
        return TRectF{R - w, B - h, R, B};
    default:
        return TRectF{L, B - h, L + w, B};
    }
}

TRectF AutoCropRectFor(double W, double H, QSizeF view)
{
    const double boxW = 0.9 * view.width(), boxH = 0.9 * view.height();
    if (!(W > 0) || !(H > 0) || !(boxW > 0) || !(boxH > 0)) return TRectF{0, 0, 0, 0};
    const double ratio = std::max(W / boxW, H / boxH);
    const float w = static_cast<float>(W / ratio), h = static_cast<float>(H / ratio);
    const float left = static_cast<float>((view.width() - w) / 2);
    const float top = static_cast<float>((view.height() - h) / 2);
    return TRectF{left, top, left + w, top + h};
}

std::optional<TAlphaColor> AutoCropRect(const Workspace& ws, CropState& crop)
{
    crop.cropRect = AutoCropRectFor(ws.mproject.cfg.WidthPx, ws.mproject.cfg.HeightPx, CropViewBounds(ws));
    SetCropCorners(crop);
    if (ws.zoomedImage.isNull()) return std::nullopt;
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    // The crop is in logical view units and zoomedImage in device pixels; measuring the
    // logical rectangle as pixels would read only the top-left part of the crop on a
    // high-DPI display.
    const double s = ws.screenScale > 0 ? ws.screenScale : 1.0;
    if (!GetImgColorInfo16(info, ws.zoomedImage, ScaleRect(crop.cropRect, s))) return std::nullopt;
    return info.ci1.rgb;
}

CropState CropMouseDown(const CropState& crop, TPointF p)
{
    CropState next = crop;
    next.cornerDrag = false;
    next.rectDrag = false;
    const int corner = CropCornerAt(crop, p);
    if (corner >= 0) {
        next.cornerDrag = true;
        next.cornerIndex = corner;
    } else if (crop.cropRect.Width() > kCropGrabDistance && crop.cropRect.Height() > kCropGrabDistance &&
               containsPoint(crop.cropRect, p)) {
        next.rectDrag = true;
        next.lastPoint = p;
    }
    return next;
}

CropState CropMouseMove(const CropState& crop, TPointF p, QSizeF view, double W, double H)
{
    CropState next = crop;
    const TRectF& r = crop.cropRect;
    const float vw = static_cast<float>(view.width()), vh = static_cast<float>(view.height());
    if (crop.cornerDrag) {
        // The pointer is held inside the view; the opposite corner stays where it is.
        switch (crop.cornerIndex) {
        case 0:
            next.cropRect = FitCropRect(TRectF{std::max(p.X, 0.0f), std::max(p.Y, 0.0f), r.Right, r.Bottom}, 2, W, H);
            break;
        case 1:
            next.cropRect = FitCropRect(TRectF{r.Left, std::max(p.Y, 0.0f), std::min(p.X, vw), r.Bottom}, 3, W, H);
            break;
        case 2:
            next.cropRect = FitCropRect(TRectF{r.Left, r.Top, std::min(p.X, vw), std::min(p.Y, vh)}, 0, W, H);
            break;
        case 3:
            next.cropRect = FitCropRect(TRectF{std::max(p.X, 0.0f), r.Top, r.Right, std::min(p.Y, vh)}, 1, W, H);
            break;
        default:
            return next;
        }
    } else if (crop.rectDrag) {
        // Each axis on its own: a rectangle against an edge still follows along the other.
        const float dx = p.X - crop.lastPoint.X;
        const TRectF shiftedX{r.Left + dx, r.Top, r.Right + dx, r.Bottom};
        if (insideView(shiftedX, view)) next.cropRect = shiftedX;
        next.lastPoint.X = p.X;
        const TRectF& rx = next.cropRect;
        const float dy = p.Y - crop.lastPoint.Y;
        const TRectF shiftedY{rx.Left, rx.Top + dy, rx.Right, rx.Bottom + dy};
        if (insideView(shiftedY, view)) next.cropRect = shiftedY;
        next.lastPoint.Y = p.Y;
    } else {
        return next;
    }
    SetCropCorners(next);
    return next;
}

CropState CropMouseUp(const CropState& crop)
{
    CropState next = crop;
    next.cornerDrag = false;
    next.rectDrag = false;
    return next;
}

CropState CropMouseLeave(const CropState& crop)
{
    return CropMouseUp(crop);
}

Result<bool> LoadMainImage(Workspace& ws, const QString& file, double viewW, double viewH)
{
    if (!QFileInfo(file).isFile()) return false;
    Result<QImage> picture = LoadPicture(file);
    if (!picture) return Result<bool>::failure(picture.error());
    setMainImage(ws, std::move(picture.value()), viewW, viewH);
    return true;
}

Result<bool> LoadMainImageFromStream(Workspace& ws, QIODevice& stream, double viewW, double viewH,
                                     const QString& sourceName)
{
    if (!stream.isSequential() && stream.size() <= 0) return false;
    const QByteArray bytes = stream.readAll();
    if (bytes.isEmpty()) return false;
    Result<QImage> picture = LoadPictureFromBytes(bytes, sourceName);
    if (!picture) return Result<bool>::failure(picture.error());
    setMainImage(ws, std::move(picture.value()), viewW, viewH);
    return true;
}

void MakeFullSize(Workspace& ws, const TRectF& cropRect)
{
    if (ws.mainImage.isNull()) return;
    const TprojectCFG& cfg = ws.mproject.cfg;
    const int W = halfSide(cfg.WidthPx), H = halfSide(cfg.HeightPx);
    if (W == 0 || H == 0) {
        ws.fullSizeImage = QImage();
        ws.mainImageScale = 0;
        return;
    }

    // Logical crop units to mainImage pixels.
    const double a =
        ws.zoomedImage.isNull() ? 0.0 : double(ws.mainImage.width()) / ws.zoomedImage.width() * ws.screenScale;
    const QRectF source(QPointF(cropRect.Left * a, cropRect.Top * a), QPointF(cropRect.Right * a, cropRect.Bottom * a));

    QImage full(W, H, QImage::Format_ARGB32_Premultiplied);
    full.fill(0xFFFFFFFFu);
    if (source.width() > 0 && source.height() > 0) {
        QPainter painter(&full);
        if (source.width() >= W && source.height() >= H) {
            // Shrinking: an exact area average, which is also much faster than a
            // smooth-scaled draw of a large photo; parts outside the photo come out
            // transparent and leave the white showing.
            painter.drawImage(QPointF(0, 0), AreaResample(ws.mainImage, source, W, H));
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawImage(QRectF(0, 0, W, H), ws.mainImage, source);
        }
    }
    ws.fullSizeImage = std::move(full);
    ws.mainImageScale = W / cfg.WidthPx;
}
