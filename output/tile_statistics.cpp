#include "output/tile_statistics.h"

#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/fonts.h"
#include "imaging/picture_io.h"
#include "output/xlsx_writer.h"
#include "platform/file_io.h"
#include "platform/number_format.h"
#include "tilelib/tilelib.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

constexpr int kRowsPerPage = 50;
constexpr int kRowHeight = 32;
constexpr int kPageWidth = 512;
constexpr int kTextLeft = 64;
constexpr int kTextPixelSize = 13;

} // namespace

std::vector<TileUse> CountTileUse(const TMosaicProject& project, const TTilelib& library, bool includeAddon)
{
    const int count = std::clamp(library.Count, 0, kTileCountMax);
    std::vector<TileUse> uses(static_cast<std::size_t>(count));
    for (int t = 0; t < count; ++t)
        uses[t] = TileUse{t, 0};
    // One pass over the cells gives the same counts as a pass per tile.
    auto add = [&](int id) {
        if (id >= 0 && id < count) ++uses[static_cast<std::size_t>(id)].count;
    };
    const int vcc = std::clamp(project.cfg.Vcc, 0, kGridCountMax);
    const int hcc = std::clamp(project.cfg.Hcc, 0, kGridCountMax);
    for (int y = 0; y < vcc; ++y)
        for (int x = 0; x < hcc; ++x)
            add(project.Cells[y][x].TileID);
    if (includeAddon) {
        const int addons = std::clamp(project.cfg.AddonTilesCount, 0, kAddonCapacity);
        for (int i = 0; i < addons; ++i)
            add(project.AddonTiles[i].TileID);
    }
    return uses;
}

void OrderByCount(std::vector<TileUse>& uses)
{
    for (std::size_t i = 0; i < uses.size(); ++i)
        for (std::size_t j = i; j < uses.size(); ++j)
            if (uses[i].count < uses[j].count) std::swap(uses[i], uses[j]);
}

QString TileListRow(const TileUse& use, const QString& fileName)
{
    return QStringLiteral("ID:") + FormatInt(use.tile, 4) + QStringLiteral("   Count:") + FormatInt(use.count, 6) +
           QStringLiteral("   <File:") + fileName + QStringLiteral(">");
}

Status WriteTileStatisticsXlsx(const QString& path, const TMosaicProject& project, const TTilelib& library)
{
    const std::vector<TileUse> uses = CountTileUse(project, library, /*includeAddon=*/false);
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(uses.size());
    for (const TileUse& u : uses)
        rows.push_back({QVariant(u.tile), QVariant(u.count), QVariant(library.GetFullName(u.tile))});
    return WriteXlsxSheet(path, {QStringLiteral("Tile ID"), QStringLiteral("Count"), QStringLiteral("File Name")},
                          rows);
}

QString TileCountPageText(const TileUse& use, const QString& fileName)
{
    return QStringLiteral("ID:%1 Count%2 File:").arg(use.tile).arg(use.count) + fileName;
}

Result<QStringList> SaveTileCountPages(const Workspace& ws, const QString& folder, const QString& name,
                                       Progress* progress, const Platform& platform)
{
    const TTilelib& library = ws.mtilelib;
    const std::vector<TileUse> uses = CountTileUse(ws.mproject, library, /*includeAddon=*/false);
    const int count = static_cast<int>(uses.size());
    QStringList written;
    if (count == 0) return written;

    const int pages = (count + kRowsPerPage - 1) / kRowsPerPage;
    QImage page(kPageWidth, kRowHeight * std::min(count, kRowsPerPage), QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    QFont font(TextFontFamily());
    font.setPixelSize(kTextPixelSize);

    for (int p = 0; p < pages; ++p) {
        {
            QPainter painter(&page);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setRenderHint(QPainter::TextAntialiasing, true);
            painter.setFont(font);
            painter.setPen(Qt::black);
            for (int j = 0; j < kRowsPerPage; ++j) {
                const int id = p * kRowsPerPage + j;
                if (id >= count) break;
                SetProgress(progress, id * 100 / count);
                const QString picturePath = library.GetFullName(id);
                Result<QImage> picture = LoadPicture(picturePath);
                if (!picture) {
                    SetProgress(progress, 0);
                    return Result<QStringList>::failure(picture.error());
                }
                const QImage thumb = FitBitmapPadded(*picture, kRowHeight, kRowHeight, 0xFFFFFFFF);
                painter.drawImage(QPoint(0, kRowHeight * j), thumb);
                // The band ends 64 pixels before the page's right edge; a long file name is
                // cut there rather than wrapped onto the next row.
                const QRect band(kTextLeft, kRowHeight * j, kPageWidth - 2 * kTextLeft, kRowHeight);
                painter.save();
                painter.setClipRect(band);
                painter.drawText(
                    band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    TileCountPageText(uses[static_cast<std::size_t>(id)], library.items[id].FileName.get()));
                painter.restore();
            }
        }
        const QString path = joinPath(folder, name + QString::number(p) + QStringLiteral(".jpg"));
        if (Status st = SavePicture(page, path); !st) {
            SetProgress(progress, 0);
            return Result<QStringList>::failure(st.error());
        }
        written << path;
        page.fill(Qt::white);
        PumpEvents(platform);
    }
    SetProgress(progress, 0);
    return written;
}
