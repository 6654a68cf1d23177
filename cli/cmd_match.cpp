// quillary-cli match: the tiles of a library that fit a picture region best.

#include "cli/cli_common.h"
#include "imaging/color_convert.h"
#include "imaging/color_measure.h"
#include "imaging/picture_io.h"
#include "tilelib/tilelib.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

int cmdMatch(const QStringList& args)
{
    CliArgs a(args, {QStringLiteral("--rect"), QStringLiteral("--top")}, {});
    const QString picturePath = a.positional(0, "picture");
    const QString folder = a.positional(1, "library folder");
    if (a.positional().size() > 2)
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a.positional()[2])};
    const int top = a.intValue(QStringLiteral("--top"), 10);
    if (top < 1) throw UsageError{QStringLiteral("--top must be at least 1, got %1").arg(top)};
    std::optional<TRectF> region;
    if (a.has(QStringLiteral("--rect"))) {
        const QList<double> r = a.numberList(QStringLiteral("--rect"), 4);
        if (!(r[0] < r[2]) || !(r[1] < r[3]))
            throw UsageError{QStringLiteral("--rect needs Left < Right and Top < Bottom, got \"%1\"")
                                 .arg(a.value(QStringLiteral("--rect")))};
        region = TRectF{float(r[0]), float(r[1]), float(r[2]), float(r[3])};
    }

    // The one picture reader: orientation applied, the pixel limit kept.
    const Result<QImage> loaded = LoadPicture(picturePath);
    if (!loaded) {
        printError(loaded.error());
        return kExitError;
    }
    const QImage& picture = *loaded;
    auto lib = std::make_unique<TTilelib>();
    if (const Status st = lib->LoadTilelib(GetTilelibFileName(folder)); !st.ok()) {
        printError(st.error());
        return kExitError;
    }
    if (lib->Count == 0) {
        printError(QStringLiteral("%1: the library holds no tiles").arg(GetTilelibFileName(folder)));
        return kExitError;
    }

    TimgColorInfo measured{};
    if (!GetImgColorInfo8(measured, picture,
                          region.value_or(TRectF{0, 0, float(picture.width()), float(picture.height())}))) {
        printError(QStringLiteral("%1: cannot measure the region (out of memory)").arg(picturePath));
        return kExitError;
    }

    // Ranked as the tile search ranks: the difference truncated to a whole number.
    const ColorMatchSettings settings{kDefaultMatchWeight, kDefaultMatchWeight, /*RGBMatch=*/false};
    struct Ranked {
        long long diff;
        int index;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(static_cast<size_t>(lib->Count));
    for (int i = 0; i < lib->Count; ++i)
        ranked.push_back(
            {static_cast<long long>(std::trunc(ImgColorDiff(measured, lib->items[i].ColorInfo, settings))), i});
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& x, const Ranked& y) { return x.diff < y.diff; });

    printLine(QStringLiteral("rank\tindex\tfile\tdifference"));
    const int shown = std::min<int>(top, static_cast<int>(ranked.size()));
    for (int k = 0; k < shown; ++k) {
        const Ranked& r = ranked[static_cast<size_t>(k)];
        printLine(QStringLiteral("%1\t%2\t%3\t%4")
                      .arg(k + 1)
                      .arg(r.index)
                      .arg(lib->items[r.index].FileName.get())
                      .arg(r.diff));
    }
    return kExitOk;
}
