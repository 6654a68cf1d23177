#include "render/mosaic_views.h"

#include "engine/workspace.h"
#include "imaging/picture_io.h"
#include "render/final_mosaic.h"
#include "render/working_views.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr TAlphaColor kViewWhite = 0xFFFFFFFF;
constexpr TAlphaColor kBitmapBlue = 0xFF66CCFF;
// Larger sides cannot be allocated (and a corrupt project must not overflow Trunc).
constexpr double kMaxSide = 32768;

// Trunc of a pixel side; -1 for a value that is not a usable size.
int pixelSide(double v)
{
    if (!std::isfinite(v) || v < 0 || v > kMaxSide) return -1;
    return static_cast<int>(v);
}

Status makeBitmap(QImage& image, int w, int h, double dpr)
{
    if (w <= 0 || h <= 0) {
        // A project without size has nothing to show; an empty picture says so.
        image = QImage();
        return {};
    }
    // Each side may be allowed and the whole still be gigabytes: a damaged project's
    // size must not exhaust memory.
    if (std::int64_t(w) * h > kMaxPicturePixels)
        return Failure(QStringLiteral("the mosaic view would be %1 x %2 pixels (%3 megapixels), at most %4 "
                                      "megapixels allowed")
                           .arg(w)
                           .arg(h)
                           .arg(double(w) * h / 1e6, 0, 'f', 1)
                           .arg(kMaxPicturePixels / 1'000'000));
    QImage made(w, h, QImage::Format_ARGB32_Premultiplied);
    if (made.isNull())
        return Failure(QStringLiteral("cannot make a %1 x %2 pixel picture of the mosaic").arg(w).arg(h));
    made.setDevicePixelRatio(dpr);
    image = std::move(made);
    return {};
}

Status badSize(const char* what, double w, double h)
{
    return Failure(QStringLiteral("%1: the mosaic view would be %2 x %3 pixels, at most %4 allowed")
                       .arg(QLatin1String(what))
                       .arg(w)
                       .arg(h)
                       .arg(kMaxSide));
}

} // namespace

QSize MosaicViewSize(const Workspace& ws, double scale)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    return QSize(std::max(0, pixelSide(cfg.FullWidthF * scale)), std::max(0, pixelSide(cfg.FullHeightF * scale)));
}

Status Draw_MosaicToView(Workspace& ws, int drawMode, QImage& image, double scale, Progress* pbar)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    const double dpr = ws.screenScale > 0 ? ws.screenScale : 1.0;
    const double pw = cfg.FullWidthF * scale * dpr, ph = cfg.FullHeightF * scale * dpr;
    const int w = pixelSide(pw), h = pixelSide(ph);
    if (w < 0 || h < 0) return badSize("Draw_MosaicToView", pw, ph);
    if (Status st = makeBitmap(image, w, h, dpr); !st) return st;
    if (image.isNull()) return {};
    image.fill(toQColor(kViewWhite));

    Canvas canvas(image);
    if (drawMode == kDrawFinal) {
        PaintMosaicBackground(ws, canvas);
        return Draw_FinalMosaic(ws, canvas, drawMode, scale, pbar);
    }
    return Draw_Allcell(ws, canvas, drawMode, scale, pbar);
}

Result<double> Draw_MosaicToBitmap(Workspace& ws, int drawMode, QImage& bitmap, Progress* pbar)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    // The fit is in the bitmap's logical units, which are its pixels for an ordinary
    // bitmap; an image control's bitmap keeps its display resolution.
    const double dpr = bitmap.isNull() ? 1.0 : bitmap.devicePixelRatio();
    const QSizeF box = bitmap.isNull() ? QSizeF() : bitmap.deviceIndependentSize();
    if (!(cfg.WidthPx > 0) || !(cfg.HeightPx > 0) || box.isEmpty()) {
        bitmap = QImage();
        return 0.0;
    }
    const double ratio = std::max(cfg.WidthPx / box.width(), cfg.HeightPx / box.height());
    const double w = cfg.WidthPx / ratio, h = cfg.HeightPx / ratio;
    const int pw = pixelSide(w * dpr), ph = pixelSide(h * dpr);
    if (pw < 0 || ph < 0) return Result<double>::failure(badSize("Draw_MosaicToBitmap", w * dpr, h * dpr).error());
    if (Status st = makeBitmap(bitmap, pw, ph, dpr); !st) return Result<double>::failure(st.error());
    const double fitted = w / cfg.WidthPx;
    if (bitmap.isNull()) return fitted;
    bitmap.fill(toQColor(kBitmapBlue));

    // Cells are placed by their layout units, so the scale that fits the whole project
    // into the bitmap is its width per layout unit. w / WidthPx (per working-canvas
    // pixel) is the same only when the working canvas has the layout's size; otherwise
    // the mosaic would cover just a corner of its background.
    const double layoutScale = cfg.FullWidthF > 0 ? w / cfg.FullWidthF : fitted;
    Canvas canvas(bitmap);
    Status drawn;
    if (drawMode == kDrawFinal) {
        PaintMosaicBackground(ws, canvas);
        drawn = Draw_FinalMosaic(ws, canvas, drawMode, layoutScale, pbar);
    } else {
        drawn = Draw_Allcell(ws, canvas, drawMode, layoutScale, pbar);
    }
    if (!drawn) return Result<double>::failure(drawn.error());
    return fitted;
}

Result<double> Draw_MosaicToImage(Workspace& ws, int drawMode, QImage& image, QSize logicalSize, Progress* pbar)
{
    const double dpr = ws.screenScale > 0 ? ws.screenScale : 1.0;
    const double pw = std::max(0, logicalSize.width()) * dpr, ph = std::max(0, logicalSize.height()) * dpr;
    const int w = pixelSide(pw), h = pixelSide(ph);
    if (w < 0 || h < 0) return Result<double>::failure(badSize("Draw_MosaicToImage", pw, ph).error());
    if (Status st = makeBitmap(image, w, h, dpr); !st) return Result<double>::failure(st.error());
    return Draw_MosaicToBitmap(ws, drawMode, image, pbar);
}
