// quillary-cli library info: a library's settings and size, without loading its items.

#include "cli/cli_common.h"
#include "tilelib/tilelib.h"

#include <QFileInfo>

int cmdLibraryInfo(const QStringList& args)
{
    CliArgs a(args, {}, {});
    const QString folder = a.positional(0, "library folder");
    if (a.positional().size() > 1)
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a.positional()[1])};

    const QString path = GetTilelibFileName(folder);
    if (!IsTilelibFolder(folder)) {
        printError(QStringLiteral("%1: no tile-library catalogue here").arg(path));
        return kExitError;
    }
    const qint64 size = QFileInfo(path).size();
    if (size < 800) {
        printError(
            QStringLiteral("%1: the file is %2 bytes, a tile-library catalogue has at least 800").arg(path).arg(size));
        return kExitError;
    }
    const TtileLibCfg cfg = ReadTilelibCfg(path);
    const int count = ReadTilelibCount(path);
    if (count < 0 || count > kTileCountMax) {
        printError(QStringLiteral("%1: Count is %2, expected 0 to %3").arg(path).arg(count).arg(kTileCountMax));
        return kExitError;
    }

    QString unit;
    if (cfg.SizeUnit == kTileUnitMm)
        unit = QStringLiteral(" mm");
    else if (cfg.SizeUnit == kTileUnitInch)
        unit = QStringLiteral(" inch");
    else
        unit = QStringLiteral(" (unit %1)").arg(cfg.SizeUnit);

    printLine(QStringLiteral("name: %1").arg(cfg.name.get()));
    printLine(QStringLiteral("brand: %1").arg(cfg.brand.get()));
    printLine(QStringLiteral("tile pixels: %1x%2").arg(cfg.widthPx).arg(cfg.heightPx));
    printLine(QStringLiteral("printed size: ") +
              QString::asprintf("%4.2fx%4.2f", double(cfg.Widthf), double(cfg.Heightf)) + unit);
    printLine(QStringLiteral("DPI: %1").arg(double(cfg.DPI)));
    printLine(QStringLiteral("Count: %1").arg(count));
    return kExitOk;
}
