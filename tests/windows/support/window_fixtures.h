#pragma once
// Libraries, photos and saved projects built in code for the window tests. Each builder
// returns an empty string on success and the reason otherwise, so a test can
// QVERIFY2(error.isEmpty(), qPrintable(error)).

#include "imaging/color_records.h"
#include "tilelib/tilelib_records.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

struct LibraryFixtureTile {
    QString fileName; // "red.png"; the extension picks the codec
    TAlphaColor color = 0xFF000000;
    QImage picture; // written instead of a solid picture when not null
};

struct LibraryFixtureOptions {
    QString name = QStringLiteral("Fixture");
    int widthPx = 20;
    int heightPx = 20;
    float Widthf = 8.5f;
    float Heightf = 8.5f;
    std::int32_t SizeUnit = kTileUnitMm;
    float DPI = 200.0f;
    bool writeSource = true;
    bool writePreview = true;
};

QImage SolidPicture(int width, int height, TAlphaColor color);

// A library folder: "source" and "ready" with one picture per tile, "imagelib.dat" with
// the tiles measured over their ready pictures, and a "preview.jpg".
QString WriteFixtureLibrary(const QString& folder, const std::vector<LibraryFixtureTile>& tiles,
                            const LibraryFixtureOptions& options = {});

// The colours of the fixture project's tiles, by tile index.
inline constexpr TAlphaColor kFixtureRed = 0xFFFF0000;
inline constexpr TAlphaColor kFixtureGreen = 0xFF00FF00;
inline constexpr TAlphaColor kFixtureBlue = 0xFF0000FF;
inline constexpr TAlphaColor kFixtureGrout = 0xFF202020;
// The fixture project's grid: 4 x 4 square cells of 20 layout units, no gaps; the
// working canvas is as large as the layout, so PreviewScale 1 shows it at 80 x 80.
inline constexpr int kFixtureCells = 4;
inline constexpr int kFixtureCellSide = 20;

// The TileID the fixture project puts into grid cell (x, y): tiles 0 and 1 in a
// checkerboard; tile 2 is unused.
inline int FixtureTileAt(int x, int y)
{
    return (x + y) % 2;
}

// Saves a searched 4 x 4 project over the three-tile library (red, green, blue) into the
// project folder `folder`, built in a workspace of its own with the core's
// SaveProjectFolder. `scratch` holds the library it was made from.
QString SaveFixtureProject(const QString& folder, const QString& scratch);

// Writes the built-in pattern `fileName` ("10_Rectangle.pat") and its preview into
// `folder`, creating it. False when there is no such pattern or a file cannot be written.
bool InstallBuiltinPattern(const QString& folder, const QString& fileName);

// A small stand-in for the embedded content under `root`: "Resource_1" a zip of the
// three-tile fixture library (red, green, blue) with its folder entries, "Resource_2" a
// zip of "10_Rectangle.pat" and "20_Ellipse.pat" with their previews (the ellipse last),
// "Resource_3" a few bytes of PDF, and "pngimage_1".."pngimage_3" PNG photos n * 10 + 20
// pixels wide and 20 high, so a loaded photo tells which one it was. `scratch` holds the
// files the archives are made from.
QString WriteSmallContentRoot(const QString& root, const QString& scratch);
inline int SmallContentPhotoWidth(int n)
{
    return n * 10 + 20;
}
