// mosaic create / export / info, and chart: the new-project workflow, the main window's
// views and the colour range charts without windows.

#include "cli/cli_common.h"

#include "engine/builtin_patterns.h"
#include "engine/data_folders.h"
#include "engine/patterns.h"
#include "engine/project_info.h"
#include "engine/workspace.h"
#include "imaging/picture_io.h"
#include "packages/sample_content.h"
#include "platform/file_io.h"
#include "render/color_charts.h"
#include "render/mosaic_views.h"
#include "render/mosaic_workflow.h"
#include "render/project_folder.h"
#include "render/working_views.h"
#include "tilelib/tilelib.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <memory>

namespace {

// The cell preview of the new-project window; only its size matters without a window.
const QSize kCellPreviewSize(400, 400);

const QStringList kCreateValued = {
    "--photo", "--library", "--out", "--pattern", "--cols", "--rows", "--tile-width", "--tile-height", "--gap-x",
    "--gap-y", "--unit", "--ppi", "--enhance", "--crop", "--seed", "--dither", "--random-level", "--repeat-max",
    "--repeat-radius", "--repeat-min", "--weight-l", "--weight-c", "--color-adjust", "--alpha-blend", "--grout",
    "--picture"};
const QStringList kCreateFlags = {"--scanline", "--no-dither", "--no-repeat-max", "--no-repeat-radius", "--use-all",
                                  "--rgb-match", "--bg-main-image", "--overwrite"};

QString need(const CliArgs& a, const char* name)
{
    const QString v = a.value(QString::fromLatin1(name));
    if (v.isEmpty())
        throw UsageError{QStringLiteral("%1 is required").arg(QLatin1String(name))};
    return v;
}

// A pattern given as a ".pat" file, or by name among the installed patterns, or by name
// of a built-in pattern.
Result<TpatternCfg> findPattern(const Workspace& ws, const QString& spec)
{
    TpatternCfg pattern = DefaultPattern();
    if (spec.isEmpty())
        return pattern;
    if (QFileInfo(spec).isFile()) {
        if (Status st = LoadPattern(pattern, spec); !st)
            return Result<TpatternCfg>::failure(st.error());
        return pattern;
    }
    const QString wanted = spec.endsWith(QLatin1String(".pat")) ? spec : spec + QStringLiteral(".pat");
    QStringList names, paths;
    ListPatterns(names, paths, ws.folders.programPatternFolder, ws.folders.userPatternFolder);
    const int i = names.indexOf(wanted);
    if (i >= 0) {
        if (Status st = LoadPattern(pattern, paths[i]); !st)
            return Result<TpatternCfg>::failure(st.error());
        return pattern;
    }
    for (const BuiltinPattern& b : BuiltinPatterns())
        if (b.fileName == wanted)
            return b.pattern;
    return Result<TpatternCfg>::failure(QStringLiteral("%1: no such pattern file or pattern name").arg(spec));
}

int unitIndexOf(const QString& unit)
{
    if (unit == QLatin1String("inch"))
        return 0;
    if (unit == QLatin1String("mm"))
        return 1;
    if (unit == QLatin1String("pixel"))
        return 2;
    throw UsageError{QStringLiteral("--unit expects pixel, inch or mm, got \"%1\"").arg(unit)};
}

TAlphaColor parseColour(const QString& text)
{
    bool ok = false;
    const uint rgb = text.toUInt(&ok, 16);
    if (!ok || text.size() != 6)
        throw UsageError{QStringLiteral("--grout expects RRGGBB, got \"%1\"").arg(text)};
    return 0xFF000000u | rgb;
}

bool folderIsEmptyOrMissing(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return true;
    return info.isDir() && QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// The workspace of one CLI run: folders computed (not created) so installed patterns and
// libraries are found.
std::unique_ptr<Workspace> makeWorkspace(std::uint32_t seed)
{
    auto ws = std::make_unique<Workspace>(Platform{}, seed);
    ws->folders = ComputeDataFolders(QCoreApplication::applicationDirPath(), DocumentsFolder());
    return ws;
}

int fail(const QString& message)
{
    printError(message);
    return kExitError;
}

} // namespace

int cmdMosaicCreate(const QStringList& args)
{
    CliArgs a(args, kCreateValued, kCreateFlags);
    const QString photo = need(a, "--photo");
    const QString library = need(a, "--library");
    const QString out = need(a, "--out");

    NewProjectSettings s;
    s.horizontalCount = a.intValue("--cols", 48);
    s.verticalCount = a.intValue("--rows", 48);
    if (s.horizontalCount < 1 || s.horizontalCount > 100 || s.verticalCount < 1 || s.verticalCount > 100)
        throw UsageError{QStringLiteral("--cols and --rows must lie in 1..100")};
    s.tileWidth = a.doubleValue("--tile-width", 60);
    s.tileHeight = a.doubleValue("--tile-height", 60);
    if (!(s.tileWidth > 0 && s.tileHeight > 0))
        throw UsageError{QStringLiteral("--tile-width and --tile-height must be above 0")};
    s.horizontalGap = a.doubleValue("--gap-x", 2);
    s.verticalGap = a.doubleValue("--gap-y", 2);
    s.unitIndex = unitIndexOf(a.value("--unit", "pixel"));
    s.ppi = a.doubleValue("--ppi", 100);
    s.enhance = a.doubleValue("--enhance", 1.0);
    s.scanlineSearch = a.flag("--scanline");
    s.ditherOn = !a.flag("--no-dither");
    s.dither = a.doubleValue("--dither", 100);
    s.randomLevel = a.intValue("--random-level", 15);
    s.repeatMaxOn = !a.flag("--no-repeat-max");
    s.repeatMax = a.intValue("--repeat-max", 50);
    s.repeatRadiusOn = !a.flag("--no-repeat-radius");
    s.repeatRadius = a.intValue("--repeat-radius", 1);
    s.repeatMinOn = a.has("--repeat-min");
    s.repeatMin = a.intValue("--repeat-min", 1);
    s.useAll = a.flag("--use-all");
    s.rgbMatch = a.flag("--rgb-match");
    s.weightL = a.doubleValue("--weight-l", s.weightL);
    s.weightC = a.doubleValue("--weight-c", s.weightC);
    s.colorAdjust = a.doubleValue("--color-adjust", 0.4);
    s.alphaBlend = a.doubleValue("--alpha-blend", 0.25);
    s.bgMainImage = a.flag("--bg-main-image");
    const bool groutGiven = a.has("--grout");
    if (groutGiven)
        s.bgColor = parseColour(a.value("--grout"));
    const std::uint32_t seed = a.has("--seed") ? static_cast<std::uint32_t>(a.intValue("--seed", 0))
                                               : static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());
    const bool cropGiven = a.has("--crop");
    const QList<double> cropValues = cropGiven ? a.numberList("--crop", 4) : QList<double>{};

    if (!folderIsEmptyOrMissing(out) && !a.flag("--overwrite"))
        return fail(QStringLiteral("%1: the folder is not empty (use --overwrite to save into it anyway)").arg(out));

    auto ws = makeWorkspace(seed);
    if (Status st = ws->mtilelib.LoadTilelib(GetTilelibFileName(library)); !st)
        return fail(st.error());
    auto pattern = findPattern(*ws, a.value("--pattern"));
    if (!pattern)
        return fail(pattern.error());
    ws->mproject.patterncfg = *pattern;

    // The crop view is the photo itself: crop units are photo pixels. "embedded:N" names
    // one of the sample photos inside the program.
    auto picture = photo.startsWith(QLatin1String("embedded:"))
                       ? LoadPictureFromBytes(ReadEmbeddedContent(EmbeddedContentRoot(),
                                                                  QStringLiteral("pngimage_") + photo.mid(9)),
                                              photo)
                       : LoadPicture(photo);
    if (!picture)
        return fail(picture.error());
    ws->mainImage = *picture;
    ws->zoomedImage = *picture;
    ws->screenScale = 1.0f;

    SizeUpdate(*ws, s, kCellPreviewSize);
    CropState crop;
    const std::optional<TAlphaColor> average = AutoCropRect(*ws, crop);
    if (cropGiven) {
        crop.cropRect = TRectF{float(cropValues[0]), float(cropValues[1]), float(cropValues[2]), float(cropValues[3])};
        if (!(crop.cropRect.Right > crop.cropRect.Left && crop.cropRect.Bottom > crop.cropRect.Top))
            throw UsageError{QStringLiteral("--crop must be L,T,R,B with R > L and B > T")};
        SetCropCorners(crop);
    }
    // As in the window, the grout colour defaults to the photo's average colour.
    if (!groutGiven && average)
        s.bgColor = *average;

    QImage view;
    QString timings;
    {
        TerminalProgress progress(QStringLiteral("Drawing"));
        if (Status st = CreateMosaicCommand(*ws, s, crop, kCellPreviewSize, view, &progress, &timings); !st)
            return fail(st.error());
    }
    printLine(QStringLiteral("timings (ms): ") + timings.simplified());
    {
        TerminalProgress progress(QStringLiteral("Saving"));
        if (Status st = SaveProjectFolder(*ws, out, view, &progress); !st)
            return fail(st.error());
    }
    printLine(QStringLiteral("project: %1").arg(QDir(out).absolutePath()));
    if (a.has("--picture")) {
        const QString pic = a.value("--picture");
        if (Status st = SavePicture(view, pic); !st)
            return fail(st.error());
        printLine(QStringLiteral("picture: %1").arg(QFileInfo(pic).absoluteFilePath()));
    }
    return kExitOk;
}

int cmdMosaicExport(const QStringList& args)
{
    CliArgs a(args, {"--view", "--text-height", "--out"}, {});
    const QString project = a.positional(0, "PROJECT");
    const QString out = need(a, "--out");
    const QString viewName = a.value("--view", "tile-pic");
    int mode = kDrawFinal;
    if (viewName == QLatin1String("tile-pic"))
        mode = kDrawFinal;
    else if (viewName == QLatin1String("tile-color"))
        mode = kDrawTileColor;
    else if (viewName == QLatin1String("source-color"))
        mode = kDrawSourceColor;
    else if (viewName == QLatin1String("tile-id-color"))
        mode = kDrawTileIdColor;
    else if (viewName == QLatin1String("tile-id"))
        mode = kDrawTileIdPlain;
    else
        throw UsageError{QStringLiteral("--view expects tile-pic, tile-color, source-color, tile-id-color or tile-id")};
    const double textHeight = a.doubleValue("--text-height", 18);

    auto ws = makeWorkspace(0);
    QImage view;
    {
        TerminalProgress progress(QStringLiteral("Opening"));
        if (Status st = OpenMosaicProject(*ws, project, view, &progress); !st)
            return fail(st.error());
    }
    if (mode != kDrawFinal) {
        ws->workplanCfg.IDTextHeight = static_cast<float>(textHeight);
        if (Status st = Draw_MosaicToView(*ws, mode, view, ws->mproject.cfg.PreviewScale, nullptr); !st)
            return fail(st.error());
    }
    if (Status st = SavePicture(view, out); !st)
        return fail(st.error());
    printLine(QStringLiteral("picture: %1 (%2 x %3)").arg(QFileInfo(out).absoluteFilePath()).arg(view.width()).arg(view.height()));
    return kExitOk;
}

namespace {
QString projectFileOf(const QString& path)
{
    return QFileInfo(path).isDir() ? joinPath(path, QStringLiteral("Mosaic.Prj")) : path;
}
} // namespace

int cmdMosaicInfo(const QStringList& args)
{
    CliArgs a(args, {}, {});
    const QString file = projectFileOf(a.positional(0, "PROJECT"));
    auto ws = makeWorkspace(0);
    if (Status st = ws->mproject.LoadProject(file); !st)
        return fail(st.error());
    ws->mtilelib.cfg = ReadTilelibCfg(GetTilelibFileName(QFileInfo(file).absolutePath()));
    for (const QString& line : ProjectInfoLines(ws->mproject, ws->mtilelib))
        printLine(line);
    return kExitOk;
}

int cmdChart(const QStringList& args)
{
    CliArgs a(args, {"--kind", "--out"}, {});
    const QString source = a.positional(0, "PROJECT or LIBRARY");
    const QString out = need(a, "--out");
    const int kind = a.intValue("--kind", 10);
    if (kind != kChartThreeWheels && kind != kChartHueWheel)
        throw UsageError{QStringLiteral("--kind expects 10 or 20")};

    auto ws = makeWorkspace(0);
    TColorHistogram hist;
    const QString projectFile = projectFileOf(source);
    if (QFileInfo(projectFile).isFile() && QFileInfo(projectFile).fileName().endsWith(QLatin1String(".Prj"), Qt::CaseInsensitive)) {
        if (Status st = ws->mproject.LoadProject(projectFile); !st)
            return fail(st.error());
        ProjectColorHistogram(hist, ws->mproject);
    } else if (IsTilelibFolder(source)) {
        if (Status st = ws->mtilelib.LoadTilelib(GetTilelibFileName(source)); !st)
            return fail(st.error());
        TileLibColorHistogram(hist, ws->mtilelib);
    } else {
        return fail(QStringLiteral("%1: neither a project nor a tile library").arg(source));
    }
    QImage chart;
    DrawColorWheel(chart, hist, kind);
    if (Status st = SavePicture(chart, out); !st)
        return fail(st.error());
    printLine(QStringLiteral("chart: %1").arg(QFileInfo(out).absoluteFilePath()));
    return kExitOk;
}
