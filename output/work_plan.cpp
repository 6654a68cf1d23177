#include "output/work_plan.h"

#include "engine/workspace.h"
#include "imaging/canvas.h"
#include "imaging/picture_io.h"
#include "platform/file_io.h"
#include "platform/number_format.h"
#include "render/guide_rendering.h"
#include "render/working_views.h"

#include <algorithm>
#include <cmath>

namespace {

// Stands in for the progress bar Draw_GuideCellsByRange requires when the caller has none.
class NoProgress final : public Progress {
public:
    void setValue(int) override {}
};

double safeRatio(double a, double b)
{
    return b > 0 && std::isfinite(a / b) ? a / b : 0.0;
}

Status ensurePage(QImage& page, int w, int h)
{
    if (page.width() == w && page.height() == h && page.format() == QImage::Format_ARGB32_Premultiplied &&
        page.devicePixelRatio() == 1.0)
        return {};
    QImage made(w, h, QImage::Format_ARGB32_Premultiplied);
    if (made.isNull()) return Failure(QStringLiteral("work plan: cannot make a %1 x %2 pixel page").arg(w).arg(h));
    page = std::move(made);
    return {};
}

} // namespace

void RefreshWorkplanCfg(Workspace& ws, int pagesH, int pagesV, int pagePx, double textSize, int colorCount)
{
    const TprojectCFG& c = ws.mproject.cfg;
    TworkplanCfg& w = ws.workplanCfg;
    w.ColorCount = colorCount;
    w.PageCountH = std::max(1, pagesH);
    w.PageCountV = std::max(1, pagesV);
    w.PageWidth = c.FullWidthF / w.PageCountH;
    w.PageHeight = c.FullHeightF / w.PageCountV;
    w.IDTextHeight = static_cast<float>(textSize);
    w.PageWidthPx = std::max(1, pagePx);
    w.PageHeightPx = w.PageWidthPx;
    const double sx = safeRatio(w.PageWidthPx, w.PageWidth);
    const double sy = safeRatio(w.PageHeightPx, w.PageHeight);
    w.PageScale = std::min(sx, sy);
}

QString WorkplanSizeLabel(const TMosaicProject& project, const QLocale& locale)
{
    const TprojectCFG& c = project.cfg;
    return QStringLiteral("Mosaic size: ") + FormatFixed(c.FullWidthF, 2, 4, locale) + QStringLiteral(" x ") +
           FormatFixed(c.FullHeightF, 2, 4, locale) + project.SizeUnitStr.get();
}

TRectF WorkplanPageRange(const TworkplanCfg& cfg, int j, int i)
{
    return TRectF{static_cast<float>(cfg.PageWidth * j), static_cast<float>(cfg.PageHeight * i),
                  static_cast<float>(cfg.PageWidth * (j + 1)), static_cast<float>(cfg.PageHeight * (i + 1))};
}

TPoint WorkplanOnePage(const TworkplanCfg& cfg, int X, int Y)
{
    return TPoint{std::max(0, std::min(cfg.PageCountH - 1, X)), std::max(0, std::min(cfg.PageCountV - 1, Y))};
}

QString WorkplanPageFileName(int j, int i)
{
    return QStringLiteral("WorkPlan_Page Y%1X%2.jpg").arg(i).arg(j);
}

Status DrawWorkplanPage(Workspace& ws, QImage& page, int j, int i, bool fill, Progress* progress)
{
    const TworkplanCfg& w = ws.workplanCfg;
    if (w.PageWidthPx < 1 || w.PageHeightPx < 1 || w.PageCountH < 1 || w.PageCountV < 1)
        return Failure(QStringLiteral("work plan: the page settings have not been set (page size %1 x %2, %3 x %4 "
                                      "pages)")
                           .arg(w.PageWidthPx)
                           .arg(w.PageHeightPx)
                           .arg(w.PageCountH)
                           .arg(w.PageCountV));
    if (Status st = ensurePage(page, w.PageWidthPx, w.PageHeightPx); !st) return st;
    page.fill(Qt::white);
    const TRectF range = WorkplanPageRange(w, j, i);
    Canvas canvas(page);
    // The drawing nests in this scene, so the cut to the page's range holds for every
    // cell drawn: a cell across the border shows only its part on this page.
    Canvas::Scene scene(canvas);
    scene->setClipRect(QRectF(0, 0, (double(range.Right) - range.Left) * w.PageScale,
                              (double(range.Bottom) - range.Top) * w.PageScale));
    return Draw_CellsByRange(ws, canvas, range, fill ? kDrawTileIdColor : kDrawTileIdPlain, w.PageScale, progress);
}

Result<QStringList> OutputAllWorkplanPages(Workspace& ws, QImage& page, const QString& folder, bool fill,
                                           Progress* progress)
{
    QStringList written;
    const TworkplanCfg& w = ws.workplanCfg;
    for (int i = 0; i < w.PageCountV; ++i)
        for (int j = 0; j < w.PageCountH; ++j) {
            if (Status st = DrawWorkplanPage(ws, page, j, i, fill, progress); !st)
                return Result<QStringList>::failure(st.error());
            const QString path = joinPath(folder, WorkplanPageFileName(j, i));
            if (Status st = SavePicture(page, path); !st) return Result<QStringList>::failure(st.error());
            written << path;
        }
    return written;
}

WorkplanGroupInfo WorkplanGroupLabels(const TMosaicProject& project, int cellsH, int cellsV, const QLocale& locale)
{
    cellsH = std::max(1, cellsH);
    cellsV = std::max(1, cellsV);
    const RobotInfo labels = RobotInfoLabels(project, cellsH, cellsV, locale);
    WorkplanGroupInfo info;
    info.horizontalCount = labels.horizontalCount;
    info.verticalCount = labels.verticalCount;
    info.mosaicSize = labels.mosaicSize;
    info.pageCount = labels.pageCount;
    const int hcc = std::max(0, project.cfg.Hcc), vcc = std::max(0, project.cfg.Vcc);
    info.pagesH = (hcc + cellsH - 1) / cellsH;
    info.pagesV = (vcc + cellsV - 1) / cellsV;
    return info;
}

RobotPageBlock WorkplanGroupBlock(const TMosaicProject& project, int j, int k, int cellsH, int cellsV)
{
    return RobotPage(project, j, k, std::max(1, cellsH), std::max(1, cellsV));
}

QString WorkplanGroupFileName(const QString& baseName, int j, int k, int first, int last)
{
    return baseName + QStringLiteral("_Page X%1Y%2_Color %3to%4.jpg").arg(j).arg(k).arg(first).arg(last);
}

bool DrawWorkplanGroupPage(Workspace& ws, QImage& page, int j, int k, int idMin, int idMax,
                           const WorkplanGroupSettings& settings, Progress* progress)
{
    const RobotPageBlock b = WorkplanGroupBlock(ws.mproject, j, k, settings.cellsH, settings.cellsV);
    NoProgress none;
    Progress& bar = progress ? *progress : none;
    const double t = b.x1 <= b.x2 && b.y1 <= b.y2
                         ? Draw_GuideCellsByRange(ws, b.x1, b.y1, b.x2, b.y2, idMin, idMax, settings.pagePx,
                                                  settings.pagePx, settings.fontSize, settings.fill, page, bar)
                         : 0.0;
    bar.setValue(0);
    if (t > 0) return true;
    page = QImage();
    return false;
}

bool DrawWorkplanGroupPreview(Workspace& ws, QImage& page, int j, int k, const WorkplanGroupSettings& settings,
                              Progress* progress)
{
    const int count = std::clamp(ws.mtilelib.Count, 0, kTileCountMax);
    return DrawWorkplanGroupPage(ws, page, j, k, 0, count - 1, settings, progress);
}

Result<QStringList> OutputAllWorkplanGroups(Workspace& ws, QImage& page, const QString& folder, const QString& baseName,
                                            const WorkplanGroupSettings& settings, Progress* progress)
{
    QStringList written;
    const int count = std::clamp(ws.mtilelib.Count, 0, kTileCountMax);
    const int groupSize = std::max(1, settings.groupSize);
    const int groups = (count + groupSize - 1) / groupSize;
    const WorkplanGroupInfo info = WorkplanGroupLabels(ws.mproject, settings.cellsH, settings.cellsV);
    const int box = std::max(1, settings.pagePx);
    for (int g = 0; g < groups; ++g) {
        const int first = g * groupSize;
        const int last = first + groupSize - 1;
        for (int j = 0; j < info.pagesH; ++j)
            for (int k = 0; k < info.pagesV; ++k) {
                if (!DrawWorkplanGroupPage(ws, page, j, k, first, last, settings, progress)) {
                    // A block without extent still gets its page, white like any page
                    // without a cell of the group.
                    if (Status st = ensurePage(page, box, box); !st) return Result<QStringList>::failure(st.error());
                    page.fill(Qt::white);
                }
                const QString path = joinPath(folder, WorkplanGroupFileName(baseName, j, k, first, last));
                if (Status st = SavePicture(page, path); !st) return Result<QStringList>::failure(st.error());
                written << path;
            }
    }
    return written;
}
