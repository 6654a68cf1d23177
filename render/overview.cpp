#include "render/overview.h"

#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/canvas.h"
#include "render/final_mosaic.h"
#include "render/working_views.h"

#include <cmath>

namespace {

constexpr double kOverviewBox = 2048;
constexpr double kViewCopyBox = 1024;
constexpr TAlphaColor kOpaqueWhite = 0xFFFFFFFF;

bool usableSide(double v)
{
    return std::isfinite(v) && v > 0;
}

QSize doubled(const QSizeF& fitted)
{
    if (fitted.isEmpty()) return QSize(0, 0);
    return QSize(static_cast<int>(fitted.width() * 2), static_cast<int>(fitted.height() * 2));
}

} // namespace

QSizeF FitIntoSquare(double width, double height, double box)
{
    if (!usableSide(width) || !usableSide(height) || !usableSide(box)) return {};
    // The limiting side is set to the box exactly; dividing through the ratio could land
    // a hair below it and lose a pixel to the truncation.
    if (width >= height) return QSizeF(box, height * box / width);
    return QSizeF(width * box / height, box);
}

QSize OverviewSize(double widthPx, double heightPx)
{
    return doubled(FitIntoSquare(widthPx, heightPx, kOverviewBox));
}

QSize OverviewSize(const Workspace& ws)
{
    return OverviewSize(ws.mproject.cfg.WidthPx, ws.mproject.cfg.HeightPx);
}

double OverviewScale(const Workspace& ws)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    const QSizeF fitted = FitIntoSquare(cfg.WidthPx, cfg.HeightPx, kOverviewBox);
    if (fitted.isEmpty()) return 0;
    const double layoutWidth = usableSide(cfg.FullWidthF) ? cfg.FullWidthF : cfg.WidthPx;
    return fitted.width() / layoutWidth * 2;
}

Status RenderOverview(Workspace& ws, QImage& overview, Progress* progress)
{
    const QSize size = OverviewSize(ws);
    if (size.isEmpty()) return {};
    QImage made(size, QImage::Format_ARGB32_Premultiplied);
    if (made.isNull())
        return Failure(
            QStringLiteral("overview: cannot make a %1 x %2 pixel picture").arg(size.width()).arg(size.height()));
    made.fill(toQColor(kOpaqueWhite));
    overview = std::move(made);
    Canvas canvas(overview);
    PaintMosaicBackground(ws, canvas);
    return Draw_FinalMosaic(ws, canvas, kDrawFinal, OverviewScale(ws), progress);
}

QImage OverviewFromView(const QImage& view, QSizeF viewLogicalSize)
{
    const QSize size = doubled(FitIntoSquare(viewLogicalSize.width(), viewLogicalSize.height(), kViewCopyBox));
    if (size.isEmpty() || view.isNull()) return {};
    QImage copy(size, QImage::Format_ARGB32_Premultiplied);
    copy.fill(toQColor(kOpaqueWhite));
    QPainter painter(&copy);
    DrawScaled(painter, QRectF(QPointF(0, 0), QSizeF(size)), view);
    return copy;
}
