#pragma once
// Small tile libraries built in code for tests: pictures filled with given colours (or
// given pictures), measured the way library building measures them, written into a
// library folder with their catalogue.

#include "imaging/color_records.h"
#include "tilelib/tilelib.h"

#include <QImage>
#include <QString>

#include <memory>
#include <vector>

struct FixtureTile {
    QString fileName;               // e.g. "red.png"; the extension picks the codec
    TAlphaColor color = 0xFF000000; // fills the picture when `picture` is null
    QImage picture;                 // written as the ready picture when not null
};

struct FixtureLibraryOptions {
    QString name = QStringLiteral("Fixture");
    int widthPx = 24;
    int heightPx = 16;
    float Widthf = 8.5f;
    float Heightf = 8.5f;
    std::int32_t SizeUnit = kTileUnitMm;
    float DPI = 200.0f;
    bool writeSource = true; // also copy each picture into "source"
    bool save = true;        // write imagelib.dat
};

// A widthPx x heightPx opaque picture of one colour.
QImage SolidPicture(int width, int height, TAlphaColor color);

// A library in `folder` (created with its "ready" and "source" folders) with one item per
// tile, in order: FileName, ColorInfo measured with GetImgColorInfo8 over the whole
// ready picture, every RotColorInfo a copy of ColorInfo, Usecount 0, ItemEnable 1.
// Rootpath is `folder`. Fails the calling test (and returns null) when a file cannot be
// written.
std::unique_ptr<TTilelib> MakeFixtureTilelib(const QString& folder, const std::vector<FixtureTile>& tiles,
                                             const FixtureLibraryOptions& options = {});
