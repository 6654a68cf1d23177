#include "output/guide_cards.h"

#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"
#include "platform/file_io.h"
#include "platform/services.h"
#include "render/overview.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

constexpr int kCardWidth = 1800;
constexpr int kCardHeight = 1200;
constexpr int kOverviewBox = 1200;
constexpr int kTileBox = 500;
constexpr QRect kTileRect(1250, 250, kTileBox, kTileBox);
constexpr TAlphaColor kPadColor = 0xFFFAFAFA;
constexpr double kCircleOpacity = 0.8;

// Grid cells holding each tile, row by row, gathered in one pass over the grid.
std::vector<std::vector<const TCell*>> cellsByTile(const TMosaicProject& project, int count)
{
    std::vector<std::vector<const TCell*>> cells(static_cast<std::size_t>(count));
    const int vcc = std::clamp(project.cfg.Vcc, 0, kGridCountMax);
    const int hcc = std::clamp(project.cfg.Hcc, 0, kGridCountMax);
    for (int y = 0; y < vcc; ++y)
        for (int x = 0; x < hcc; ++x) {
            const int id = project.Cells[y][x].TileID;
            if (id >= 0 && id < count) cells[static_cast<std::size_t>(id)].push_back(&project.Cells[y][x]);
        }
    return cells;
}

} // namespace

QString GuideCardUnsavedText()
{
    return QStringLiteral("your project is not saved yet, please save your project before create the guide card");
}

QString GuideCardFinishedText()
{
    return QStringLiteral("GuideCard output finished, open card folder?");
}

GuideCardMapping GuideCardMappingFor(const QSize& overviewSize, double widthPx, double heightPx)
{
    GuideCardMapping m;
    double w = overviewSize.width(), h = overviewSize.height();
    if (!(w > 0 && h > 0)) {
        w = widthPx;
        h = heightPx;
    }
    const QSizeF f = FitIntoSquare(w, h, kOverviewBox);
    if (f.isEmpty() || !(widthPx > 0)) return m;
    m.origin = QPointF((kOverviewBox - f.width()) / 2, (kOverviewBox - f.height()) / 2);
    m.scale = f.width() / widthPx;
    return m;
}

Result<GuideCardSummary> OutputGuideCards(Workspace& ws, const GuideCardOptions& options, Progress* progress,
                                          const Platform& platform)
{
    using R = Result<GuideCardSummary>;
    GuideCardSummary summary;
    TTilelib& lib = ws.mtilelib;
    const int count = std::clamp(lib.Count, 0, kTileCountMax);
    if (count == 0) return summary;
    const QString root = ws.mproject.cfg.RootPath.get();
    if (root.isEmpty() || !QFileInfo(root).isDir()) return R::failure(GuideCardUnsavedText());
    const QString folder = joinPath(root, QStringLiteral("GuideCard"));
    if (!QDir().mkpath(folder)) return R::failure(QStringLiteral("%1: cannot create the folder").arg(folder));
    summary.folder = folder;

    const int n = std::clamp(options.count, 1, 5);
    const int radius = std::clamp(options.radius, 20, 100);
    const int lineSize = std::clamp(options.lineSize, 1, 10);

    if (ws.overviewImage.isNull()) {
        if (Status st = RenderOverview(ws, ws.overviewImage, nullptr); !st) return R::failure(st.error());
    }
    const QImage O = FitBitmapPadded(ws.overviewImage, kOverviewBox, kOverviewBox, kPadColor);
    const TprojectCFG& cfg = ws.mproject.cfg;
    const GuideCardMapping map = GuideCardMappingFor(ws.overviewImage.size(), cfg.WidthPx, cfg.HeightPx);
    const std::vector<std::vector<const TCell*>> holders = cellsByTile(ws.mproject, count);

    QImage card(kCardWidth, kCardHeight, QImage::Format_ARGB32_Premultiplied);
    if (card.isNull())
        return R::failure(
            QStringLiteral("guide card: cannot make a %1 x %2 pixel card").arg(kCardWidth).arg(kCardHeight));
    QPen pen(toQColor(options.color));
    pen.setWidthF(lineSize);

    for (int i = 0; i < count; ++i) {
        if (progress) {
            progress->setText(QStringLiteral("Progress %1/%2").arg(i + 1).arg(count));
            progress->setValue(i * 100 / count);
        }
        PumpEvents(platform);
        const std::vector<const TCell*>& cells = holders[static_cast<std::size_t>(i)];
        const int cellCount = static_cast<int>(cells.size());
        const int usecount = lib.items[i].Usecount;
        if (usecount <= 0 && cellCount == 0) continue;

        Result<QImage> picture = LoadPicture(lib.GetFullName(i));
        if (!picture) {
            SetProgress(progress, 0);
            return R::failure(picture.error());
        }
        const QImage T = FitBitmapPadded(*picture, kTileBox, kTileBox, kPadColor);
        card.fill(Qt::white);
        {
            QPainter painter(&card);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            DrawScaled(painter, QRectF(0, 0, kOverviewBox, kOverviewBox), O, QRectF(0, 0, kOverviewBox, kOverviewBox));
            DrawScaled(painter, QRectF(kTileRect), T, QRectF(0, 0, kTileBox, kTileBox));
            painter.setOpacity(kCircleOpacity);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            const int range = usecount > 0 ? usecount : cellCount;
            for (int k = 0; k < n; ++k) {
                int r = 1 + ws.random().Random(range);
                if (cellCount == 0) continue;
                if (r > cellCount) r = (r - 1) % cellCount + 1;
                const TRectF& rect = cells[static_cast<std::size_t>(r - 1)]->CellRect;
                const QPointF p((double(rect.Left) + rect.Right) / 2, (double(rect.Top) + rect.Bottom) / 2);
                painter.drawEllipse(p * map.scale + map.origin, radius, radius);
            }
        }
        const QString path = joinPath(folder, QStringLiteral("TileCard %1.jpg").arg(i));
        if (Status st = SavePicture(card, path); !st) {
            SetProgress(progress, 0);
            return R::failure(st.error());
        }
        summary.files << path;
    }
    SetProgress(progress, 0);
    return summary;
}
