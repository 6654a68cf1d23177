#include "output/robot_code.h"

#include "engine/project.h"
#include "platform/file_io.h"
#include "platform/number_format.h"
#include "tilelib/tilelib.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int kTrayColumns = 8;
constexpr int kTrayRows = 10;
constexpr int kTraySlots = kTrayColumns * kTrayRows;
constexpr double kTrayPitchX = 20;
constexpr double kTrayPitchY = 20;
constexpr double kPlaceOffsetX = -400;
constexpr double kExtraTrayPitch = 200;
constexpr double kExtraTrayRowY = 600;

const char* const kPickSequence[] = {"M201", "G4P 500", "M202", "G4P 500", "M101", "G4P 500"};
const char* const kPlaceSequence[] = {"M201", "G4P 500", "M102", "G4P 500", "M101", "G4P 500"};

int ceilDiv(int a, int b) { return b > 0 ? (a + b - 1) / b : 0; }

QString move(double x, double y, const QLocale& locale)
{
    return QStringLiteral("g0 X") + FormatFixed(x, 2, 4, locale) + QStringLiteral(" Y") + FormatFixed(y, 2, 4, locale);
}

TPointF centreOf(const TRectF& r) { return TPointF{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// One side of a page: first = page * perPage, last = min(count - 1, first + perPage - 1),
// in 64 bits. A page before the first (a negative page number) or without cells (a page
// size below 1) is empty, so the block never leaves 0..count-1.
void pageSpan(int page, int perPage, int count, int& first, int& last)
{
    const std::int64_t lo = std::int64_t(page) * perPage;
    if (lo < 0 || perPage < 1) {
        first = 0;
        last = -1;
        return;
    }
    first = int(std::min<std::int64_t>(lo, std::numeric_limits<int>::max()));
    last = int(std::min<std::int64_t>(count - 1, lo + perPage - 1));
}

} // namespace

RobotPageBlock RobotPage(const TMosaicProject& project, int px, int py, int ch, int cv)
{
    RobotPageBlock b;
    pageSpan(px, ch, std::clamp(project.cfg.Hcc, 0, kGridCountMax), b.x1, b.x2);
    pageSpan(py, cv, std::clamp(project.cfg.Vcc, 0, kGridCountMax), b.y1, b.y2);
    return b;
}

RobotInfo RobotInfoLabels(const TMosaicProject& project, int ch, int cv, const QLocale& locale)
{
    const TprojectCFG& c = project.cfg;
    const int pagesH = ceilDiv(c.Hcc, ch);
    const int pagesV = ceilDiv(c.Vcc, cv);
    RobotInfo info;
    info.horizontalCount = QStringLiteral("Horizontal Tile Count :%1").arg(c.Hcc);
    info.verticalCount = QStringLiteral("Vertical Tile Count :%1").arg(c.Vcc);
    info.mosaicSize = QStringLiteral("Mosaic size: ") + FormatFixed(c.FullWidthF, 2, 4, locale) + QStringLiteral(" x ") +
                      FormatFixed(c.FullHeightF, 2, 4, locale) + project.SizeUnitStr.get();
    info.pageCount = QStringLiteral("Page count: %1 x %2 = %3").arg(pagesH).arg(pagesV).arg(pagesH * pagesV);
    return info;
}

RobotFeederBase RobotFeederBasePosition(int feeder)
{
    static constexpr RobotFeederBase kBaseTable[5] = {{-500, 0}, {0, 0}, {0, 300}, {0, 0}, {0, 0}};
    if (feeder >= 0 && feeder < 5)
        return kBaseTable[feeder];
    return RobotFeederBase{(feeder - 4) * kExtraTrayPitch, kExtraTrayRowY};
}

QStringList GenerateRobotCode(const TMosaicProject& project, const TTilelib& library, int px, int py, int ch, int cv,
                              Progress* progress, const Platform& platform, const QLocale& locale)
{
    const RobotPageBlock b = RobotPage(project, px, py, ch, cv);
    QStringList lines;
    lines << QStringLiteral("(** Page X%1Y%2  **)").arg(px).arg(py);

    // The reference point is the page's top-left cell; a page beyond the mosaic has no
    // cell to place, so its reference is never read.
    const bool pageHasCells = b.x1 <= b.x2 && b.y1 <= b.y2;
    if (progress) {
        progress->setMaximum(pageHasCells ? (b.x2 - b.x1 + 1) * (b.y2 - b.y1 + 1) : 0);
        progress->setValue(0);
    }
    int done = 0;
    const TPointF c0 = pageHasCells ? centreOf(project.Cells[b.y1][b.x1].CellRectReal) : TPointF{0, 0};

    const int count = std::clamp(library.Count, 0, kTileCountMax);
    for (int t = 0; t < count; ++t) {
        const int feeder = t + 1;
        const RobotFeederBase base = RobotFeederBasePosition(feeder);
        int placed = 0;
        int slot = 0;
        lines << QStringLiteral("(***Feeder ID%1  ===================================***)").arg(feeder);
        for (int x = b.x1; x <= b.x2; ++x) {
            for (int y = b.y1; y <= b.y2; ++y) {
                const TCell& cell = project.Cells[y][x];
                if (cell.TileID != t)
                    continue;
                if (progress)
                    progress->setValue(++done);
                PumpEvents(platform);
                lines << move((slot % kTrayColumns) * kTrayPitchX + base.X, (slot / kTrayColumns) * kTrayPitchY + base.Y,
                              locale);
                for (const char* l : kPickSequence)
                    lines << QString::fromLatin1(l);
                const TPointF c = centreOf(cell.CellRectReal);
                lines << move(double(c.X) - c0.X + kPlaceOffsetX, double(c.Y) - c0.Y, locale);
                for (const char* l : kPlaceSequence)
                    lines << QString::fromLatin1(l);
                lines << QString();
                ++placed;
                if (++slot == kTraySlots) {
                    lines << QStringLiteral("(***change new panel! ----------------------------------***)");
                    slot = 0;
                }
            }
        }
        lines << QStringLiteral("(***Tile count: %1  ***)").arg(placed) << QString() << QString();
    }
    lines << QStringLiteral("(***Finished, return to zero pos ----------------------------------***)");
    const RobotFeederBase home = RobotFeederBasePosition(1);
    lines << move(home.X, home.Y, locale);
    if (progress)
        progress->setValue(0);
    return lines;
}

QString RobotCodeFileName(int px, int py)
{
    return QStringLiteral("Robot_X%1Y%2").arg(px).arg(py);
}

Status SaveRobotCode(const QStringList& lines, const QString& path)
{
    QByteArray bytes;
    for (const QString& l : lines) {
        // ASCII: anything outside it (only possible through a locale's separator) is '?'.
        for (QChar ch : l)
            bytes.append(ch.unicode() < 128 ? static_cast<char>(ch.unicode()) : '?');
        bytes.append("\r\n");
    }
    return writeFileAtomically(path, bytes);
}
