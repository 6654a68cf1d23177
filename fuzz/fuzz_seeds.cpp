// Writes the seed corpora of the fuzz targets with the system's own writers: small
// projects of both file kinds, short catalogues, the built-in patterns, zip packages
// with folders and stored and deflated entries, and pictures in every written format.
// Large fixed-size formats are cut where their readers accept short files.
//
// Usage: fuzz_seeds <folder>; writes <folder>/<target>/<seed>.

#include "engine/builtin_patterns.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_support.h"
#include "imaging/picture_io.h"
#include "packages/zip_write.h"
#include "platform/file_io.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cstdio>
#include <cstring>
#include <memory>
#include <tuple>

namespace {

int g_written = 0;

void writeSeed(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    const Status st = writeFileAtomically(joinPath(folder, name), bytes);
    FuzzCheck(st.ok(), "a seed can be written");
    ++g_written;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    FuzzCheck(f.open(QIODevice::ReadOnly), "a written file can be read back");
    return f.readAll();
}

void gridProject(Workspace& ws, int rows, int cols, const TpatternCfg& pattern)
{
    TMosaicProject& p = ws.mproject;
    p.patterncfg = pattern;
    p.cfg.ProjectPatternType = kPatternGrid;
    p.cfg.Vcc = rows;
    p.cfg.Hcc = cols;
    p.cfg.CellWdf = p.cfg.CellHtf = 10;
    p.cfg.CellgapwdF = p.cfg.CellgaphtF = 1;
    p.cfg.CanvasUnit = 1;
    p.cfg.CanvasPPI = 100;
    // A small working canvas keeps the cells' pixel sizes, and so the tile bitmaps, small.
    p.cfg.PreviewBMPsize = 24;
    p.cfg.CellPlanBMPsizeWD = p.cfg.CellPlanBMPsizeHT = 100;
    p.cfg.SrcColorEnhance = 1;
    const TPointF extent = p.GetProjectSize();
    p.cfg.FullWidthF = extent.X;
    p.cfg.FullHeightF = extent.Y;
    p.MainSize_Update();
    p.Cell_Counttosize();
    p.Cell_Reset();
    p.SizeUnitStr.set(QStringLiteral("mm"));
    int k = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x, ++k) {
            TCell& c = p.Cells[y][x];
            c.ICinfo = ws.mtilelib.items[k % 3].ColorInfo;
            c.PriLevel = k % 4;
            if (k % 5 != 4) p.Cell_SetTile_R(c, k % 3, k % 12);
        }
}

void circleProject(Workspace& ws)
{
    TMosaicProject& p = ws.mproject;
    p.cfg.ProjectPatternType = kPatternCircles;
    p.cfg.Vcc = p.cfg.Hcc = 0;
    p.cfg.CircleCount = 2;
    p.cfg.Rstart = 6;
    p.cfg.Rinc = 8;
    p.cfg.CellSpace = 9;
    p.cfg.CellWdf = p.cfg.CellHtf = 8;
    p.cfg.BaseTileShape = 20;
    p.cfg.CanvasUnit = 2;
    p.cfg.CanvasPPI = 72;
    p.cfg.PreviewBMPsize = 40;
    const TPointF extent = p.GetProjectSize();
    p.cfg.FullWidthF = extent.X;
    p.cfg.FullHeightF = extent.Y;
    p.MainSize_Update();
    p.Cell_Reset();
    for (int i = 0; i < p.cfg.AddonTilesCount; ++i)
        p.Cell_SetTile_R(p.AddonTiles[i], i % 3, i % 12);
}

// A quick-save file cut after the add-on cells in use, with its closing count, as the
// project target's padded mode takes it.
QByteArray cutQuickSave(const QByteArray& file, const TprojectCFG& cfg)
{
    const qsizetype used = 3440 + qsizetype(cfg.Vcc + 1) * cfg.Hcc * qsizetype(sizeof(TCell)) +
                           qsizetype(cfg.AddonTilesCount) * qsizetype(sizeof(TCell));
    return file.left(used) + file.right(4);
}

void projectSeeds(const QString& out, const QString& work)
{
    auto ws = std::make_unique<Workspace>(Platform{}, 5);
    MakeFuzzLibrary(ws->mtilelib, work + QStringLiteral("/library"), 3);
    const QString folder = out + QStringLiteral("/fuzz_project_file");
    struct Grid {
        const char* name;
        int rows, cols, pattern;
    };
    const std::vector<BuiltinPattern> patterns = BuiltinPatterns();
    for (const Grid& g : {Grid{"grid-1x1", 1, 1, 0}, Grid{"grid-2x3", 2, 3, 1}, Grid{"hexagon-3x2", 3, 2, 14},
                          Grid{"triangle-2x2", 2, 2, 11}}) {
        ws->mproject.cell_ClearTileID();
        gridProject(*ws, g.rows, g.cols, patterns[size_t(g.pattern)].pattern);
        ws->mproject.cfg.RootPath.set(work);
        FuzzCheck(ws->mproject.SaveProject().ok(), "a seed project can be saved");
        writeSeed(folder, QStringLiteral("%1.prj").arg(QLatin1String(g.name)),
                  QByteArray(1, '\0') + fileBytes(work + QStringLiteral("/Mosaic.Prj")));
        const QString quick = work + QStringLiteral("/TempMosaic.Prj");
        FuzzCheck(ws->mproject.SaveProjectFile(quick).ok(), "a seed quick-save can be written");
        writeSeed(folder, QStringLiteral("%1.quick").arg(QLatin1String(g.name)),
                  QByteArray(1, '\3') + cutQuickSave(fileBytes(quick), ws->mproject.cfg));
    }
    // A stale tile number and a disabled cell, as a project meets a changed library.
    ws->mproject.Cells[0][1].TileID = 7;
    ws->mproject.Cells[1][0].enable = 0;
    FuzzCheck(ws->mproject.SaveProject().ok(), "a seed project can be saved");
    writeSeed(folder, QStringLiteral("stale-tile.prj"),
              QByteArray(1, '\0') + fileBytes(work + QStringLiteral("/Mosaic.Prj")));

    circleProject(*ws);
    FuzzCheck(ws->mproject.SaveProject().ok(), "a seed project can be saved");
    writeSeed(folder, QStringLiteral("circles.prj"),
              QByteArray(1, '\0') + fileBytes(work + QStringLiteral("/Mosaic.Prj")));
    const QString quick = work + QStringLiteral("/TempMosaic.Prj");
    FuzzCheck(ws->mproject.SaveProjectFile(quick).ok(), "a seed quick-save can be written");
    const QByteArray whole = fileBytes(quick);
    writeSeed(folder, QStringLiteral("circles.quick"), QByteArray(1, '\3') + cutQuickSave(whole, ws->mproject.cfg));
    // The unpadded reader on a cut file: refused as too short.
    writeSeed(folder, QStringLiteral("circles-cut.quick"), QByteArray(1, '\1') + whole.left(9000));
}

void catalogueSeeds(const QString& out, const QString& work)
{
    auto lib = std::make_unique<TTilelib>();
    const QString folder = out + QStringLiteral("/fuzz_catalogue");
    for (int count : {0, 1, 3}) {
        MakeFuzzLibrary(*lib, work + QStringLiteral("/cat%1").arg(count), count);
        lib->cfg.name.set(QStringLiteral("Seed %1").arg(count));
        lib->cfg.brand.set(QStringLiteral("N/A"));
        FuzzCheck(lib->SaveTilelib().ok(), "a seed catalogue can be saved");
        const QByteArray file = fileBytes(GetTilelibFileName(lib->rootPath()));
        // The reader takes a catalogue that ends after its last item.
        writeSeed(folder, QStringLiteral("count%1.dat").arg(count),
                  file.left(800 + count * qsizetype(sizeof(TTileItem))));
    }
}

void patternSeeds(const QString& out)
{
    const QString folder = out + QStringLiteral("/fuzz_pattern");
    QDir().mkpath(folder);
    for (const BuiltinPattern& p : BuiltinPatterns()) {
        FuzzCheck(SavePattern(p.pattern, joinPath(folder, p.fileName)).ok(), "a seed pattern can be saved");
        ++g_written;
    }
}

QImage smallPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 128));
    return img;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    FuzzCheck(writer.write(image), "a seed picture can be encoded");
    return bytes;
}

void zipSeeds(const QString& out, const QString& work)
{
    const QString folder = out + QStringLiteral("/fuzz_zip_extract");
    QDir().mkpath(folder);
    const QByteArray png = encoded(smallPicture(4, 4), "PNG");
    TpatternCfg pattern = DefaultPattern();
    const QByteArray pat(reinterpret_cast<const char*>(&pattern), sizeof pattern);
    struct Zip {
        const char* name;
        QList<ZipSource> entries;
    };
    const Zip zips[] = {
        {"empty.zip", {}},
        {"one-stored.zip", {ZipSource::fromBytes(QStringLiteral("a.txt"), "hello", /*stored=*/true)}},
        {"one-deflated.zip", {ZipSource::fromBytes(QStringLiteral("b.txt"), QByteArray(300, 'b'))}},
        {"library.zip",
         {ZipSource::folderEntry(QStringLiteral("Lib/")), ZipSource::folderEntry(QStringLiteral("Lib/ready/")),
          ZipSource::fromBytes(QStringLiteral("Lib/ready/a.png"), png, /*stored=*/true),
          ZipSource::fromBytes(QStringLiteral("Lib/imagelib.dat"), QByteArray(800, '\0'))}},
        {"patterns.zip",
         {ZipSource::fromBytes(QStringLiteral("10_Rectangle.pat"), pat),
          ZipSource::fromBytes(QStringLiteral("10_Rectangle.pat.jpg"), encoded(smallPicture(6, 6), "JPEG"), true)}},
        {"nested.zip",
         {ZipSource::fromBytes(QStringLiteral("x/y/z/deep.bin"), QByteArray(40, 'z')),
          ZipSource::fromBytes(QStringLiteral("x/./y.bin"), "dot", true)}},
    };
    for (const Zip& z : zips) {
        const QString path = joinPath(folder, QLatin1String(z.name));
        FuzzCheck(WriteZip(path, z.entries).ok(), "a seed archive can be written");
        ++g_written;
    }
    (void)work;

    // Entry descriptions for the target's own archive builder: count, then per entry
    // flags, name length, name, data length, data.
    const auto describe = [](std::initializer_list<std::tuple<int, QByteArray, QByteArray>> entries) {
        QByteArray out(1, char(entries.size() - 1));
        for (const auto& [flags, name, data] : entries)
            out += char(flags) + (char(name.size()) + name) + (char(data.size()) + data);
        return out;
    };
    writeSeed(folder, QStringLiteral("described-folders.bin"),
              describe({{2, "lib/", ""}, {0, "lib/ready/a.jpg", "jpeg"}, {0, "lib/imagelib.dat", "catalogue"}}));
    writeSeed(folder, QStringLiteral("described-link.bin"), describe({{1, "link", "/tmp"}, {0, "link/x", "x"}}));
    writeSeed(folder, QStringLiteral("described-escape.bin"),
              describe({{0, "../up.txt", "up"}, {4, "a\\..\\..\\b", "b"}, {8, "big.bin", "small"}}));
}

// The Exif orientation segment cameras put right after the start-of-image marker.
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray tiff("II\x2A\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00", 18);
    tiff.append(char(orientation));
    tiff.append(QByteArray(7, '\0'));
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const int length = int(payload.size()) + 2;
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    return jpeg.left(2) + segment + payload + jpeg.mid(2);
}

void pictureSeeds(const QString& out)
{
    const QString folder = out + QStringLiteral("/fuzz_picture");
    struct Pic {
        const char* name;
        int w, h;
        const char* format;
    };
    for (const Pic& p :
         {Pic{"one.png", 1, 1, "PNG"}, Pic{"small.jpg", 7, 5, "JPEG"}, Pic{"gradient.bmp", 32, 24, "BMP"},
          Pic{"square.tif", 9, 9, "TIFF"}, Pic{"wide.png", 40, 3, "PNG"}, Pic{"big.jpg", 64, 48, "JPEG"}})
        writeSeed(folder, QLatin1String(p.name), encoded(smallPicture(p.w, p.h), p.format));
    writeSeed(folder, QStringLiteral("portrait-exif.jpg"),
              withExifOrientation(encoded(smallPicture(12, 8), "JPEG"), 6));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    InitFuzzEnvironment(&argc, &argv);
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString work = FuzzScratchFolder() + QStringLiteral("/seeds");
    QDir().mkpath(work);
    projectSeeds(out, work);
    catalogueSeeds(out, work);
    patternSeeds(out);
    zipSeeds(out, work);
    pictureSeeds(out);
    std::printf("fuzz_seeds: %d seed files in %s\n", g_written, qPrintable(out));
    return 0;
}
