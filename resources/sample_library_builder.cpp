#include "resources/sample_library_builder.h"

#include "packages/zip_write.h"
#include "platform/file_io.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

Status BuildSampleLibraryZip(const QString& tilesDir, const QString& zipPath)
{
    QTemporaryDir work;
    if (!work.isValid())
        return Failure(QStringLiteral("cannot make a working folder for the sample library"));
    const QString folder = work.filePath(QStringLiteral("DefaultSample"));
    if (!QDir().mkpath(folder))
        return Failure(QStringLiteral("%1: cannot create").arg(folder));

    auto lib = std::make_unique<TTilelib>();
    if (Status st = CreateTileLibrary(*lib, folder, QStringLiteral("Default Sample"), 66, 66, 200); !st)
        return st;
    lib->cfg.SizeUnit = kTileUnitMm;
    lib->cfg.Widthf = 8.5f;
    lib->cfg.Heightf = 8.5f;
    lib->cfg.DPI = 200.0f;

    const QStringList photos =
        QDir(tilesDir).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    if (photos.isEmpty())
        return Failure(QStringLiteral("%1: no tile photos").arg(tilesDir));
    for (const QString& name : photos) {
        auto added = lib->AddImgFile2(QDir(tilesDir).filePath(name));
        if (!added)
            return Failure(added.error());
    }
    for (int i = 0; i < lib->Count; ++i)
        lib->ItemEnable[i] = 1;
    if (Status st = lib->SaveTilelib(); !st)
        return st;
    if (Status st = lib->BuildPreview(); !st)
        return st;

    QList<ZipSource> entries;
    entries << ZipSource::fromFile(QStringLiteral("imagelib.dat"), joinPath(folder, QStringLiteral("imagelib.dat")))
            << ZipSource::fromFile(QStringLiteral("preview.jpg"), joinPath(folder, QStringLiteral("preview.jpg")))
            << ZipSource::folderEntry(QStringLiteral("source/")) << ZipSource::folderEntry(QStringLiteral("ready/"));
    for (const QString& sub : {QStringLiteral("source"), QStringLiteral("ready")}) {
        const QDir d(joinPath(folder, sub));
        for (const QString& n : d.entryList(QDir::Files, QDir::Name))
            // Pictures are already compressed; storing them keeps extraction cheap.
            entries << ZipSource::fromFile(sub + QLatin1Char('/') + n, d.filePath(n), /*stored=*/true);
    }
    return WriteZip(zipPath, entries);
}
