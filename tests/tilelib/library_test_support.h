#pragma once
// Helpers shared by the library-building tests: photos made in code, snapshots of a
// library's bytes, and listings of its folders.

#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

// An opaque picture of vertical bands: `colors[i]` fills columns [edges[i], edges[i+1]).
inline QImage VerticalBands(int w, int h, const std::vector<int>& edges, const std::vector<QRgb>& colors)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t band = 0;
            while (band + 1 < colors.size() && x >= edges[band + 1])
                ++band;
            img.setPixel(x, y, colors[band]);
        }
    return img;
}

inline QImage Transposed(const QImage& img)
{
    QImage out(img.height(), img.width(), QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            out.setPixel(y, x, img.pixel(x, y));
    return out;
}

// A smooth, non-symmetric picture whose colours differ everywhere.
inline QImage GradientPhoto(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         qRgb((x * 255 / std::max(1, w - 1) + seed * 40) % 256,
                              (y * 255 / std::max(1, h - 1) + seed * 70) % 256, (seed * 90 + (x + y) / 3) % 256));
    return img;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline std::unique_ptr<TTilelibData> Snapshot(const TTilelib& lib)
{
    auto copy = std::make_unique<TTilelibData>();
    std::memcpy(copy.get(), static_cast<const TTilelibData*>(&lib), sizeof(TTilelibData));
    return copy;
}

inline bool SameBytes(const TTilelib& lib, const TTilelibData& data)
{
    return std::memcmp(static_cast<const TTilelibData*>(&lib), &data, kTilelibFileSize) == 0;
}

// File names in a folder, sorted.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// An empty library of w x h tiles in `folder`, with its "source" and "ready" folders.
inline std::unique_ptr<TTilelib> EmptyLibrary(const QString& folder, int w, int h)
{
    QDir().mkpath(folder + "/source");
    QDir().mkpath(folder + "/ready");
    auto lib = std::make_unique<TTilelib>();
    lib->emptytilelib();
    lib->setRootpath(folder);
    lib->cfg.name.set("Test");
    lib->cfg.widthPx = w;
    lib->cfg.heightPx = h;
    lib->cfg.SizeUnit = kTileUnitInch;
    lib->cfg.DPI = 200;
    lib->cfg.Widthf = float(w) / 200;
    lib->cfg.Heightf = float(h) / 200;
    return lib;
}

// Channel distance of two colours (the largest of the three).
inline int ColorDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}
