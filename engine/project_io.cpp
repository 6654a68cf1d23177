// "Mosaic.Prj" and the quick-save "TempMosaic.Prj": raw images of the project records.
//
//   offset 0     TprojectCFG      536 bytes
//          536   TpatternCfg     2832 bytes
//          3368  TmosaicOptions    72 bytes
//          3440  grid cells, rows 0..Vcc inclusive, columns 0..Hcc-1, 2664 bytes each
//   then "Mosaic.Prj":     AddonTilesCount add-on cells
//   or   "TempMosaic.Prj": all 5001 add-on cells, then AddonTilesCount again (int32)
//
// Readers take the whole file into memory, check the counts and the length they imply,
// and only then copy, so a refused file changes nothing. Bytes after the last block are
// ignored: the counts say where the data ends, and nothing the system writes goes there.

#include "engine/project.h"

#include "engine/workspace.h"
#include "platform/file_io.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

enum class ProjectFileKind { Project, QuickSave };

constexpr qint64 kCellBytes = sizeof(TCell);
constexpr qint64 kPatternOffset = sizeof(TprojectCFG);
constexpr qint64 kOptionsOffset = kPatternOffset + sizeof(TpatternCfg);
constexpr qint64 kGridOffset = kOptionsOffset + sizeof(TmosaicOptions);
constexpr qint64 kAllAddonsBytes = kAddonCapacity * kCellBytes;
static_assert(kPatternOffset == 536 && kOptionsOffset == 3368 && kGridOffset == 3440);
static_assert(kAllAddonsBytes == 13322664);

// The longest file either kind can need; anything a reader sees beyond it is ignored.
constexpr qint64 kMaxFileBytes =
    kGridOffset + qint64(kGridCountMax + 1) * kGridCountMax * kCellBytes + kAllAddonsBytes + 4;

qint64 gridBytes(const TprojectCFG& cfg)
{
    // One row more than laid out: the spare row Vcc travels with the file.
    return qint64(cfg.Vcc + 1) * cfg.Hcc * kCellBytes;
}

qint64 fileBytes(const TprojectCFG& cfg, ProjectFileKind kind)
{
    const qint64 addons =
        kind == ProjectFileKind::Project ? qint64(cfg.AddonTilesCount) * kCellBytes : kAllAddonsBytes + 4;
    return kGridOffset + gridBytes(cfg) + addons;
}

Status checkCount(const QString& fileName, const char* field, std::int32_t value, std::int32_t max)
{
    if (value < 0)
        return Failure(
            QStringLiteral("%1: %2 is %3, at least 0 expected").arg(fileName, QLatin1String(field)).arg(value));
    if (value > max)
        return Failure(
            QStringLiteral("%1: %2 is %3, at most %4 allowed").arg(fileName, QLatin1String(field)).arg(value).arg(max));
    return {};
}

// The counts that decide how much of the cell arrays a file covers.
Status checkCounts(const QString& fileName, const TprojectCFG& cfg)
{
    if (Status st = checkCount(fileName, "Vcc", cfg.Vcc, kGridCountMax); !st) return st;
    if (Status st = checkCount(fileName, "Hcc", cfg.Hcc, kGridCountMax); !st) return st;
    return checkCount(fileName, "AddonTilesCount", cfg.AddonTilesCount, kAddonCapacity);
}

Status writeProjectFile(const TMosaicProject& project, const TmosaicOptions& options, const QString& path,
                        ProjectFileKind kind)
{
    const TprojectCFG& cfg = project.cfg;
    // Counts beyond the arrays would make the writer read past them.
    if (Status st = checkCounts(QFileInfo(path).fileName(), cfg); !st) return st;

    QByteArray bytes(fileBytes(cfg, kind), Qt::Uninitialized);
    char* out = bytes.data();
    std::memcpy(out, &cfg, sizeof cfg);
    std::memcpy(out + kPatternOffset, &project.patterncfg, sizeof project.patterncfg);
    std::memcpy(out + kOptionsOffset, &options, sizeof options);
    qint64 at = kGridOffset;
    const qint64 rowBytes = qint64(cfg.Hcc) * kCellBytes;
    for (int y = 0; y <= cfg.Vcc && rowBytes > 0; ++y, at += rowBytes)
        std::memcpy(out + at, &project.Cells[y][0], static_cast<std::size_t>(rowBytes));
    if (kind == ProjectFileKind::Project) {
        std::memcpy(out + at, project.AddonTiles, static_cast<std::size_t>(cfg.AddonTilesCount * kCellBytes));
    } else {
        std::memcpy(out + at, project.AddonTiles, static_cast<std::size_t>(kAllAddonsBytes));
        std::memcpy(out + at + kAllAddonsBytes, &cfg.AddonTilesCount, sizeof cfg.AddonTilesCount);
    }
    return writeFileAtomically(path, bytes);
}

Status readProjectBytes(TMosaicProject& project, TmosaicOptions& options, const QByteArray& bytes,
                        const QString& fileName, ProjectFileKind kind)
{
    const qint64 size = std::min<qint64>(bytes.size(), kMaxFileBytes);
    const char* in = bytes.constData();

    if (size < kGridOffset)
        return Failure(
            QStringLiteral("%1: file is %2 bytes, at least %3 expected").arg(fileName).arg(size).arg(kGridOffset));
    TprojectCFG cfg;
    std::memcpy(&cfg, in, sizeof cfg);
    if (Status st = checkCounts(fileName, cfg); !st) return st;
    const qint64 needed = fileBytes(cfg, kind);
    if (size < needed)
        return Failure(QStringLiteral("%1: file is %2 bytes, the counts need %3").arg(fileName).arg(size).arg(needed));
    std::int32_t trailingCount = 0;
    if (kind == ProjectFileKind::QuickSave) {
        std::memcpy(&trailingCount, in + needed - 4, sizeof trailingCount);
        if (Status st = checkCount(fileName, "AddonTilesCount at the end", trailingCount, kAddonCapacity); !st)
            return st;
    }

    project.cfg = cfg;
    // The pattern's group counts are not checked: every reader of a project's pattern
    // keeps them within the 8 x 8 group itself.
    std::memcpy(&project.patterncfg, in + kPatternOffset, sizeof project.patterncfg);
    std::memcpy(&options, in + kOptionsOffset, sizeof options);
    qint64 at = kGridOffset;
    const qint64 rowBytes = qint64(cfg.Hcc) * kCellBytes;
    for (int y = 0; y <= cfg.Vcc && rowBytes > 0; ++y, at += rowBytes)
        std::memcpy(&project.Cells[y][0], in + at, static_cast<std::size_t>(rowBytes));
    if (kind == ProjectFileKind::Project) {
        std::memcpy(project.AddonTiles, in + at, static_cast<std::size_t>(cfg.AddonTilesCount * kCellBytes));
    } else {
        std::memcpy(project.AddonTiles, in + at, static_cast<std::size_t>(kAllAddonsBytes));
        project.cfg.AddonTilesCount = trailingCount;
    }
    return {};
}

Status readProjectFile(TMosaicProject& project, TmosaicOptions& options, const QString& path, ProjectFileKind kind)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("%1: cannot open for reading (%2)").arg(path, file.errorString()));
    const QByteArray bytes = file.read(kMaxFileBytes);
    if (file.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("%1: read failed (%2)").arg(path, file.errorString()));
    return readProjectBytes(project, options, bytes, QFileInfo(path).fileName(), kind);
}

} // namespace

Status TMosaicProject::SaveProject() const
{
    const QString folder = cfg.RootPath.get();
    if (folder.isEmpty()) return Failure(QStringLiteral("Mosaic.Prj: the project has no folder (RootPath is empty)"));
    return writeProjectFile(*this, ws().moptions, joinPath(folder, QStringLiteral("Mosaic.Prj")),
                            ProjectFileKind::Project);
}

Status TMosaicProject::LoadProject(const QString& filename)
{
    return readProjectFile(*this, ws().moptions, filename, ProjectFileKind::Project);
}

Status TMosaicProject::SaveProjectFile(const QString& filename) const
{
    return writeProjectFile(*this, ws().moptions, filename, ProjectFileKind::QuickSave);
}

Status TMosaicProject::LoadProjectFile(const QString& filename)
{
    return readProjectFile(*this, ws().moptions, filename, ProjectFileKind::QuickSave);
}

Status TMosaicProject::LoadProjectFromBytes(const QByteArray& bytes, const QString& fileName)
{
    return readProjectBytes(*this, ws().moptions, bytes, fileName, ProjectFileKind::Project);
}

Status TMosaicProject::LoadProjectFileFromBytes(const QByteArray& bytes, const QString& fileName)
{
    return readProjectBytes(*this, ws().moptions, bytes, fileName, ProjectFileKind::QuickSave);
}
