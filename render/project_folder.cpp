#include "render/project_folder.h"

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/picture_io.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "platform/services.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr QLatin1String kProjectFile("Mosaic.Prj");
constexpr QLatin1String kLibraryFile("imagelib.dat");
constexpr QLatin1String kReadyFolder("ready");
constexpr QLatin1String kMainImageFile("mainimage.jpg");
constexpr QLatin1String kMosaicPictureFile("MosaicPicture.jpg");

using RootPathField = decltype(TprojectCFG::RootPath);

QString absoluteFolder(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// SaveProject writes into the folder RootPath names, and the project is known by it
// afterwards; a path the field cannot hold would send the project somewhere else.
Status checkRootPathFits(const QString& folder)
{
    if (!fitsCp1252(folder))
        return Failure(QStringLiteral("%1: the project folder's path has characters that the project file cannot "
                                      "store (Windows-1252 expected); choose another folder")
                           .arg(folder));
    if (toCp1252(folder).size() > RootPathField::capacity)
        return Failure(QStringLiteral("%1: the project folder's path is %2 characters long, at most %3 allowed")
                           .arg(folder)
                           .arg(toCp1252(folder).size())
                           .arg(RootPathField::capacity));
    return {};
}

Status requireFile(const QString& folder, QLatin1String name)
{
    const QString path = joinPath(folder, name);
    if (!QFileInfo(path).isFile())
        return Failure(QStringLiteral("%1: not a project folder, \"%2\" is missing").arg(folder, name));
    return {};
}

// Tile pictures copied at once: the work is mostly waiting for the disk to flush.
constexpr int kCopyThreads = 4;
constexpr int kCopiesAhead = 16;

struct StagedCopy {
    bool done = false;
    bool sameFile = false; // already in place: the library lives in the project folder
    QString staged;
    Status status;
};

// Copies the library's ready pictures 0..count-1 into `ready`, as copyFileReplacing one
// after another would: each picture is read and written (flushed) under a temporary
// name on a worker thread, and renamed into place in index order, so a picture that
// cannot be copied stops the save with exactly the pictures before it in place.
// Progress i * 100 / count before picture i.
Status copyTilePictures(const TTilelib& lib, int count, const QString& ready, Progress* progress)
{
    std::vector<StagedCopy> copies(static_cast<std::size_t>(count));
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0, placed = 0;
    bool stop = false;
    const auto target = [&](int i) { return joinPath(ready, lib.items[i].FileName.get()); };
    std::vector<std::thread> pool;
    for (int t = 0; t < std::min(kCopyThreads, count); ++t)
        pool.emplace_back([&] {
            for (;;) {
                int i;
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stop || next >= count || next < placed + kCopiesAhead; });
                    if (stop || next >= count) return;
                    i = next++;
                }
                StagedCopy c;
                const QString from = lib.GetFullName(i), to = target(i);
                if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath() && QFileInfo::exists(to)) {
                    c.sameFile = true; // copying a file onto itself would truncate it
                } else if (Result<QByteArray> bytes = readWholeFile(from, qint64(1) << 31); !bytes.ok()) {
                    c.status = Failure(bytes.error());
                } else if (Result<QString> staged = stageFile(ready, lib.items[i].FileName.get(), *bytes); !staged.ok()) {
                    c.status = Failure(staged.error());
                } else {
                    c.staged = *staged;
                }
                {
                    std::lock_guard lock(mutex);
                    c.done = true;
                    copies[std::size_t(i)] = std::move(c);
                }
                changed.notify_all();
            }
        });
    Status result;
    for (int i = 0; i < count && result.ok(); ++i) {
        SetProgress(progress, i * 100 / count);
        StagedCopy c;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return copies[std::size_t(i)].done; });
            c = std::move(copies[std::size_t(i)]);
            placed = i + 1;
        }
        changed.notify_all();
        if (!c.status.ok())
            result = c.status;
        else if (!c.sameFile)
            result = placeStagedFile(c.staged, target(i));
        if (!result.ok()) discardStagedFile(c.staged);
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& t : pool)
        t.join();
    for (StagedCopy& c : copies) // copies made ahead of a failure
        if (c.done) discardStagedFile(c.staged);
    return result;
}

} // namespace

Status SaveProjectFolder(Workspace& ws, const QString& folder, const QImage& mosaicPicture, Progress* progress)
{
    if (folder.trimmed().isEmpty()) return Failure(QStringLiteral("project folder: no folder given"));
    const QString F = absoluteFolder(folder);
    if (Status st = checkRootPathFits(F); !st) return st;

    const QString ready = joinPath(F, kReadyFolder);
    if (!QDir().mkpath(ready)) return Failure(QStringLiteral("%1: cannot create the folder").arg(ready));

    TTilelib& lib = ws.mtilelib;
    const int count = std::clamp(lib.Count, 0, kTileCountMax);
    for (int i = 0; i < count; ++i) {
        // The catalogue reader refuses such names; a library filled another way must not
        // write outside "ready" either.
        const QString name = lib.items[i].FileName.get();
        if (!IsPlainTileFileName(name))
            return Failure(QStringLiteral("%1: tile %2 has the file name \"%3\", which is not a file in \"ready\"")
                               .arg(GetTilelibFileName(lib.rootPath()))
                               .arg(i)
                               .arg(name));
    }
    // A picture copied onto itself is left alone, so re-saving into the folder the
    // library already lives in keeps its pictures.
    if (Status st = copyTilePictures(lib, count, ready, progress); !st) return st;

    lib.setRootpath(F + QLatin1Char('/'));
    if (Status st = lib.SaveTilelib(); !st) return st;
    if (Status st = SavePicture(ws.fullSizeImage, joinPath(F, kMainImageFile)); !st) return st;
    ws.mproject.cfg.RootPath.set(F);
    if (Status st = ws.mproject.SaveProject(); !st) return st;
    if (Status st = SavePicture(mosaicPicture, joinPath(F, kMosaicPictureFile)); !st) return st;
    SetProgress(progress, 0);
    return {};
}

Status OpenMosaicProject(Workspace& ws, const QString& projectFile, QImage& mainView, Progress* progress)
{
    const QFileInfo given(projectFile);
    const QString folder = given.isDir() ? absoluteFolder(projectFile) : absoluteFolder(given.absolutePath());
    const QString prj = given.isDir() ? joinPath(folder, kProjectFile) : given.absoluteFilePath();
    if (!QFileInfo(prj).isFile()) return Failure(QStringLiteral("%1: no such project file").arg(prj));
    if (Status st = requireFile(folder, kLibraryFile); !st) return st;
    if (Status st = requireFile(folder, kMainImageFile); !st) return st;

    // Everything is read into temporaries first and the project last (its reader changes
    // nothing when it refuses), so a folder that does not open leaves the open project
    // as it was.
    Result<QImage> mainImage = LoadPicture(joinPath(folder, kMainImageFile));
    if (!mainImage) return Failure(mainImage.error());
    auto lib = std::make_unique<TTilelib>();
    // An older, shorter catalogue fills only what it covers, over the current library.
    static_cast<TTilelibData&>(*lib) = static_cast<const TTilelibData&>(ws.mtilelib);
    if (Status st = lib->LoadTilelib(joinPath(folder, kLibraryFile)); !st) return st;
    if (Status st = ws.mproject.LoadProject(prj); !st) return st;

    static_cast<TTilelibData&>(ws.mtilelib) = static_cast<const TTilelibData&>(*lib);
    ws.mtilelib.setRootpath(lib->rootPath());
    lib.reset();
    ws.fullSizeImage = std::move(*mainImage);
    const TprojectCFG& cfg = ws.mproject.cfg;
    ws.mainImageScale = cfg.WidthPx > 0 ? ws.fullSizeImage.width() / cfg.WidthPx : 0.0;
    BuildPatternShapeMasks(ws.shapeMasks, ws.mproject.patterncfg);
    ws.mproject.Rendered = false;

    if (Status st = Draw_MosaicToView(ws, kDrawFinal, mainView, cfg.PreviewScale, progress); !st) return st;
    ws.mproject.Rendered = true;
    return {};
}
