#include "engine/project_info.h"

#include "engine/project.h"
#include "platform/number_format.h"
#include "tilelib/tilelib.h"

QStringList ProjectInfoLines(const TMosaicProject& project, const TTilelib& library, const QLocale& locale)
{
    const TprojectCFG& c = project.cfg;
    auto f = [&](double v) { return FormatFixed(v, 2, 4, locale); };
    QStringList lines;
    lines << QStringLiteral("Mosaic size: ") + f(c.FullWidthF) + QStringLiteral(" x ") + f(c.FullHeightF) +
                 project.SizeUnitStr.get();
    lines << QStringLiteral("     Picture File size = ") + f(c.WidthPx) + QStringLiteral(" x ") + f(c.HeightPx) +
                 QStringLiteral(" pixels");
    lines << QStringLiteral("     Scale = ") + f(c.CanvasScale);
    lines << QStringLiteral("Mosaic contains %1 x %2 = %3 Tiles.")
                 .arg(c.Vcc)
                 .arg(c.Hcc)
                 .arg(static_cast<long long>(c.Vcc) * c.Hcc);
    QString unit;
    if (library.cfg.SizeUnit == kTileUnitInch)
        unit = QStringLiteral(" inch");
    else if (library.cfg.SizeUnit == kTileUnitMm)
        unit = QStringLiteral(" mm");
    if (!unit.isEmpty()) {
        lines << QStringLiteral("Tile Size: ") + f(library.cfg.Widthf) + QStringLiteral("x") + f(library.cfg.Heightf) +
                     unit;
        lines << QStringLiteral("Gap Size: ") + f(c.CellgapwdF) + QStringLiteral("x") + f(c.CellgaphtF) + unit;
    }
    return lines;
}
