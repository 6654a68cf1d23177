#include "tests/support/tilelib_fixtures.h"

#include "imaging/color_measure.h"

#include <QDir>

#include <gtest/gtest.h>

QImage SolidPicture(int width, int height, TAlphaColor color)
{
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(color);
    return img;
}

std::unique_ptr<TTilelib> MakeFixtureTilelib(const QString& folder, const std::vector<FixtureTile>& tiles,
                                             const FixtureLibraryOptions& options)
{
    if (tiles.size() > size_t(kTileCountMax)) {
        ADD_FAILURE() << "a fixture library holds at most " << kTileCountMax << " tiles";
        return nullptr;
    }
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("ready")) || (options.writeSource && !dir.mkpath(QStringLiteral("source")))) {
        ADD_FAILURE() << "cannot create the folders of " << folder.toStdString();
        return nullptr;
    }
    auto lib = std::make_unique<TTilelib>();
    lib->emptytilelib();
    lib->setRootpath(folder);
    lib->cfg.name.set(options.name);
    lib->cfg.Widthf = options.Widthf;
    lib->cfg.Heightf = options.Heightf;
    lib->cfg.SizeUnit = options.SizeUnit;
    lib->cfg.DPI = options.DPI;
    lib->cfg.widthPx = options.widthPx;
    lib->cfg.heightPx = options.heightPx;

    for (const FixtureTile& tile : tiles) {
        const int i = lib->Count;
        const QImage picture =
            tile.picture.isNull() ? SolidPicture(options.widthPx, options.heightPx, tile.color) : tile.picture;
        TTileItem& item = lib->items[i];
        item.FileName.set(tile.fileName);
        item.Usecount = 0;
        const TRectF whole{0, 0, float(picture.width()), float(picture.height())};
        GetImgColorInfo8(item.ColorInfo, picture, whole);
        for (TimgColorInfo& rot : item.RotColorInfo)
            rot = item.ColorInfo;
        lib->ItemEnable[i] = 1;
        lib->Count = i + 1;
        if (!picture.save(lib->GetFullName(i)) || (options.writeSource && !picture.save(lib->GetsourceName(i)))) {
            ADD_FAILURE() << "cannot write the picture " << lib->GetFullName(i).toStdString();
            return nullptr;
        }
    }
    if (options.save) {
        const Status saved = lib->SaveTilelib();
        if (!saved.ok()) {
            ADD_FAILURE() << saved.error().toStdString();
            return nullptr;
        }
    }
    return lib;
}
