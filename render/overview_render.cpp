#include "render/overview_render.h"

#include "engine/workspace.h"
#include "render/final_mosaic.h"
#include "render/working_views.h"

#include <cmath>

namespace {

constexpr double kOverviewFit = 2048;

// The working canvas fitted into 2048 x 2048; the limiting side is set to the box
// exactly, so that twice it cannot come out as 4095 after truncation.
bool fitOverview(double widthPx, double heightPx, double& w, double& h)
{
    if (!(std::isfinite(widthPx) && std::isfinite(heightPx) && widthPx > 0 && heightPx > 0))
        return false;
    const bool widthLimits = widthPx >= heightPx;
    w = widthLimits ? kOverviewFit : widthPx * kOverviewFit / heightPx;
    h = widthLimits ? heightPx * kOverviewFit / widthPx : kOverviewFit;
    return true;
}

} // namespace

QSize OverviewSizeFor(double widthPx, double heightPx)
{
    double w = 0, h = 0;
    if (!fitOverview(widthPx, heightPx, w, h))
        return QSize();
    return QSize(static_cast<int>(std::trunc(w * 2)), static_cast<int>(std::trunc(h * 2)));
}

Result<bool> RenderOverview(Workspace& ws, QImage& overview, Progress* progress)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    if (!cfg.searchDone)
        return false;
    double w = 0, h = 0;
    if (!fitOverview(cfg.WidthPx, cfg.HeightPx, w, h) || !(cfg.FullWidthF > 0))
        return false;
    const QSize size(static_cast<int>(std::trunc(w * 2)), static_cast<int>(std::trunc(h * 2)));
    QImage bitmap(size, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return Result<bool>::failure(
            QStringLiteral("overview: cannot make a %1 x %2 pixel picture").arg(size.width()).arg(size.height()));
    bitmap.fill(Qt::white);
    overview = std::move(bitmap);

    Canvas canvas(overview);
    PaintMosaicBackground(ws, canvas);
    if (Status st = Draw_FinalMosaic(ws, canvas, kDrawFinal, w / cfg.FullWidthF * 2, progress); !st)
        return Result<bool>::failure(st.error());
    return true;
}
