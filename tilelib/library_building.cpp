#include "tilelib/library_building.h"

#include "imaging/bitmap_ops.h"
#include "imaging/color_measure.h"
#include "imaging/fonts.h"
#include "imaging/picture_io.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QRunnable>
#include <QSet>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr int kRotations = 12;
constexpr float kRotationStepDegrees = 30.0f;
constexpr int kShortStringBytes = 255;
// An extension longer than this is not one; the whole name is then treated as its stem.
constexpr int kLongestExtension = 32;
// A photo file is read into memory whole; a 200-megapixel uncompressed TIFF is 1.2 GB.
constexpr qint64 kMaxPhotoBytes = qint64(2) * 1024 * 1024 * 1024;

constexpr int kPreviewSide = 1000;
constexpr int kPreviewCells = 10;
constexpr int kPreviewCell = 100;
constexpr int kPreviewInset = 5;
constexpr int kPreviewPicture = 90;
constexpr int kPlaceholderSide = 512;

QString sourceFolder(const TTilelib& lib)
{
    return joinPath(lib.rootPath(), QStringLiteral("source"));
}
QString readyFolder(const TTilelib& lib)
{
    return joinPath(lib.rootPath(), QStringLiteral("ready"));
}

// Everything about one photo that does not depend on the library's other items, so it
// can be made on any thread and committed later.
struct PreparedPhoto {
    QString path;
    QString fileName; // as the photo is called, before TileFileNameFor
    QString error;    // empty when the rest is valid
    QByteArray bytes; // the photo file as read, written unchanged as the source copy
    QImage tile;
    TimgColorInfo colorInfo;
    TimgColorInfo rotColorInfo[kRotations];
    // Made ahead on a worker of a parallel run: the source copy and the encoded ready
    // tile, written and flushed under temporary names in the library's folders, so that
    // the commit only renames them. Empty when not staged.
    QString stagedSource;
    QString stagedReady;
    QString stagedReadySuffix; // the extension the ready tile was encoded for, lower case
};

// Where a parallel run stages its files, and every staged file not yet placed, so that
// none is left behind whatever the run does with the photo.
struct Staging {
    QString source, ready;
    std::mutex mutex;
    QSet<QString> pending;

    void add(const QString& path)
    {
        std::lock_guard lock(mutex);
        pending.insert(path);
    }
    void placed(const QString& path)
    {
        std::lock_guard lock(mutex);
        pending.remove(path);
    }
    // Removes a staged file that was not placed (a placed one is gone from the set).
    void discard(const QString& path)
    {
        std::lock_guard lock(mutex);
        if (pending.remove(path)) discardStagedFile(path);
    }
    void discardAll()
    {
        std::lock_guard lock(mutex);
        for (const QString& path : std::as_const(pending))
            discardStagedFile(path);
        pending.clear();
    }
};

Status checkTileSize(const TTilelib& lib)
{
    const int w = lib.cfg.widthPx;
    const int h = lib.cfg.heightPx;
    if (w < 1 || h < 1 || w > kMaxTilePixels || h > kMaxTilePixels)
        return Failure(QStringLiteral("%1: the tile size is %2 x %3 pixels, expected 1 to %4 on each side")
                           .arg(GetTilelibFileName(lib.rootPath()))
                           .arg(w)
                           .arg(h)
                           .arg(kMaxTilePixels));
    return {};
}

bool measureWhole(TimgColorInfo& info, const QImage& picture)
{
    // The measurement leaves hsl as it finds it; zeros keep equal photos' records equal.
    std::memset(&info, 0, sizeof info);
    return GetImgColorInfo8(info, picture, TRectF{0, 0, float(picture.width()), float(picture.height())});
}

// Reads, decodes, crops and measures the photo at `path` for tiles of w x h pixels.
// Touches nothing but the photo file, so it runs on worker threads.
PreparedPhoto preparePhotoUnguarded(const QString& path, int w, int h, Staging* staging)
{
    PreparedPhoto p;
    p.path = path;
    p.fileName = QFileInfo(path).fileName();
    const QFileInfo info(path);
    if (!info.exists()) {
        p.error = QStringLiteral("%1: cannot read picture (file not found)").arg(path);
        return p;
    }
    if (!info.isFile()) {
        p.error = QStringLiteral("%1: cannot read picture (not a file)").arg(path);
        return p;
    }
    Result<QByteArray> bytes = readWholeFile(path, kMaxPhotoBytes);
    if (!bytes.ok()) {
        p.error = bytes.error();
        return p;
    }
    // The tile is at most w x h, so the decoder may drop detail beyond twice that.
    Result<QImage> photo = LoadPictureFromBytes(*bytes, path, PictureLoadOptions{QSize(w, h)});
    if (!photo.ok()) {
        p.error = photo.error();
        return p;
    }
    p.tile = ResizeFill(*photo, w, h);
    photo = QImage();
    if (p.tile.isNull() || !measureWhole(p.colorInfo, p.tile)) {
        p.error =
            QStringLiteral("%1: cannot make a %2 x %3 tile of the picture (out of memory)").arg(path).arg(w).arg(h);
        return p;
    }
    for (int k = 0; k < kRotations; ++k) {
        // A fresh copy each time: turning the previous result again would add up the
        // resampling blur and the black corners.
        QImage turned = p.tile;
        RotateBitmap(turned, float(k) * kRotationStepDegrees);
        if (!measureWhole(p.rotColorInfo[k], turned)) {
            p.error = QStringLiteral("%1: cannot measure the turned tile (out of memory)").arg(path);
            return p;
        }
    }
    p.bytes = std::move(*bytes);
    if (staging) {
        // The name the photo will most likely be stored under; a commit that picks
        // another extension encodes the tile again.
        const QString stored = TileFileNameFor(p.fileName);
        Result<QByteArray> readyBytes = EncodePicture(p.tile, joinPath(staging->ready, stored));
        if (!readyBytes.ok()) {
            p.error = readyBytes.error();
            return p;
        }
        Result<QString> source = stageFile(staging->source, stored, p.bytes);
        if (!source.ok()) {
            p.error = source.error();
            return p;
        }
        staging->add(*source);
        p.stagedSource = *source;
        Result<QString> ready = stageFile(staging->ready, stored, *readyBytes);
        if (!ready.ok()) {
            staging->discard(p.stagedSource);
            p.stagedSource.clear();
            p.error = ready.error();
            return p;
        }
        staging->add(*ready);
        p.stagedReady = *ready;
        p.stagedReadySuffix = QFileInfo(stored).suffix().toLower();
        p.bytes = QByteArray(); // on disk now
    }
    return p;
}

PreparedPhoto preparePhoto(const QString& path, int w, int h, Staging* staging = nullptr)
{
    try {
        return preparePhotoUnguarded(path, w, h, staging);
    } catch (const std::bad_alloc&) {
        PreparedPhoto p;
        p.path = path;
        p.fileName = QFileInfo(path).fileName();
        p.error = QStringLiteral("%1: not enough memory to read the picture").arg(path);
        return p;
    }
}

bool isControl(char16_t u)
{
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0);
}

// A backslash is an ordinary character in a Linux file name but a folder separator
// where the catalogue may be opened, so the catalogue reader refuses it in a name.
bool isKeptInName(const QString& text)
{
    return fitsCp1252(text) && std::none_of(text.cbegin(), text.cend(), [](QChar c) {
               return isControl(c.unicode()) || c == QLatin1Char('\\') || c == QLatin1Char('/');
           });
}

// Splits at the last dot that is not the first character and leaves a short extension.
void splitExtension(const QString& name, QString& stem, QString& extension)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && name.size() - dot <= kLongestExtension) {
        stem = name.left(dot);
        extension = name.mid(dot);
    } else {
        stem = name;
        extension.clear();
    }
}

QString fitName(const QString& stem, const QString& extension, const QString& tail = QString())
{
    const qsizetype room = std::max<qsizetype>(1, kShortStringBytes - extension.size() - tail.size());
    return stem.left(room) + tail + extension;
}

bool fileIn(const QString& folder, const QString& name)
{
    return QFileInfo::exists(joinPath(folder, name));
}

// The name item Count gets: TileFileNameFor, then a number appended before the extension
// while another item has it. A changed name must not replace files either: a file of
// that name in "source" or "ready" belongs to some other photo.
QString chooseStoredName(const TTilelib& lib, const QString& fileName)
{
    const QString base = TileFileNameFor(fileName);
    const QString source = sourceFolder(lib);
    const QString ready = readyFolder(lib);
    const auto filesExist = [&](const QString& n) { return fileIn(source, n) || fileIn(ready, n); };
    if (!lib.ImgFileExists(base) && (base == fileName || !filesExist(base))) return base;
    QString stem, extension;
    splitExtension(base, stem, extension);
    for (int i = 2;; ++i) {
        const QString candidate = fitName(stem, extension, QStringLiteral("-%1").arg(i));
        if (!lib.ImgFileExists(candidate) && !filesExist(candidate)) return candidate;
    }
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Writes the photo's two files and fills item Count. The library must have room; on
// failure nothing of the library changes and no new file is left behind.
Status commitPhoto(TTilelib& lib, const PreparedPhoto& p, Staging* staging = nullptr)
{
    if (!p.error.isEmpty()) return Failure(p.error);
    const QString source = sourceFolder(lib);
    const QString ready = readyFolder(lib);
    for (const QString& folder : {source, ready}) {
        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
            return Failure(QStringLiteral("%1: cannot create the folder").arg(folder));
    }
    const QString name = chooseStoredName(lib, p.fileName);
    const QString sourcePath = joinPath(source, name);
    const QString readyPath = joinPath(ready, name);

    const bool sourceExisted = QFileInfo::exists(sourcePath);
    // A photo picked from the library's own source folder is its own copy.
    const bool isOwnCopy = sourceExisted && sameFile(p.path, sourcePath);
    const bool staged = staging && !p.stagedSource.isEmpty();
    if (!isOwnCopy) {
        if (staged) {
            if (Status s = placeStagedFile(p.stagedSource, sourcePath); !s.ok()) return s;
            staging->placed(p.stagedSource);
        } else if (Status s = writeFileAtomically(sourcePath, p.bytes); !s.ok()) {
            return s;
        }
    }
    const bool readyStaged = staged && QFileInfo(name).suffix().toLower() == p.stagedReadySuffix;
    if (Status s = readyStaged ? placeStagedFile(p.stagedReady, readyPath) : SavePicture(p.tile, readyPath); !s.ok()) {
        if (!isOwnCopy && !sourceExisted) QFile::remove(sourcePath);
        return s;
    }
    if (readyStaged) staging->placed(p.stagedReady);

    TTileItem& item = lib.items[lib.Count];
    item.FileName.set(name);
    item.NewFlag = 0;
    item.DelFlag = 0;
    item.gap258[0] = item.gap258[1] = 0;
    item.Usecount = 0;
    item.ColorInfo = p.colorInfo;
    for (int k = 0; k < kRotations; ++k)
        item.RotColorInfo[k] = p.rotColorInfo[k];
    ++lib.Count;
    return {};
}

bool isFull(const TTilelib& lib)
{
    return lib.Count + 1 >= kTileCapacity;
}

Status checkCount(const TTilelib& lib)
{
    if (lib.Count < 0)
        return Failure(QStringLiteral("%1: Count is %2, expected 0 to %3")
                           .arg(GetTilelibFileName(lib.rootPath()))
                           .arg(lib.Count)
                           .arg(kTileCountMax));
    return {};
}

// Whether a photo of this name is already in the library under its own or its stored name.
bool isPresent(const TTilelib& lib, const QString& fileName)
{
    return lib.ImgFileExists(fileName) || lib.ImgFileExists(TileFileNameFor(fileName));
}

// A job for the pool that hands its result to a future.
class PrepareJob final : public QRunnable {
public:
    PrepareJob(QString path, int w, int h, Staging* staging, std::promise<PreparedPhoto> promise)
        : m_path(std::move(path)), m_w(w), m_h(h), m_staging(staging), m_promise(std::move(promise))
    {
        setAutoDelete(true);
    }
    void run() override { m_promise.set_value(preparePhoto(m_path, m_w, m_h, m_staging)); }

private:
    QString m_path;
    int m_w, m_h;
    Staging* m_staging;
    std::promise<PreparedPhoto> m_promise;
};

} // namespace

// ---------------------------------------------------------------------------------------
// TTilelib building operations

bool TTilelib::ImgFileExists(const QString& fileName) const
{
    bool exact = false;
    const QByteArray bytes = toCp1252(fileName, &exact);
    // A name the records cannot hold is on no item.
    if (!exact || bytes.size() > kShortStringBytes) return false;
    const int n = std::clamp(Count, 0, kTileCountMax);
    for (int i = 0; i < n; ++i) {
        const ShortString<255>& s = items[i].FileName;
        if (s.length() == bytes.size() && std::memcmp(s.chars, bytes.constData(), size_t(bytes.size())) == 0)
            return true;
    }
    return false;
}

Result<bool> TTilelib::AddImgFile2(const QString& photoPath)
{
    if (Status s = checkCount(*this); !s.ok()) return Result<bool>::failure(s.error());
    if (isFull(*this)) return false;
    if (Status s = checkTileSize(*this); !s.ok()) return Result<bool>::failure(s.error());
    const PreparedPhoto p = preparePhoto(photoPath, cfg.widthPx, cfg.heightPx);
    if (Status s = commitPhoto(*this, p); !s.ok()) return Result<bool>::failure(s.error());
    return true;
}

Status TTilelib::BuildPreview() const
{
    const QString folder = rootPath();
    if (folder.isEmpty()) return Failure(QStringLiteral("preview.jpg: the library has no folder (Rootpath is empty)"));
    QImage sheet(kPreviewSide, kPreviewSide, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(0xFFFFFFFF);
    const int shown = std::clamp(Count, 0, kPreviewCells * kPreviewCells);
    {
        QPainter painter(&sheet);
        for (int i = 0; i < shown; ++i) {
            const QString path = GetFullName(i);
            if (!QFileInfo(path).isFile()) continue;
            // A ready picture the codec cannot read is treated as missing: the sheet is
            // only a preview, and one damaged tile must not keep the others from it.
            const Result<QImage> picture =
                LoadPicture(path, PictureLoadOptions{QSize(kPreviewPicture, kPreviewPicture)});
            if (!picture.ok()) continue;
            const QImage fitted = FitBitmapPadded(*picture, kPreviewPicture, kPreviewPicture, /*color=*/0xFFFFFFFF);
            const int r = i / kPreviewCells;
            const int c = i % kPreviewCells;
            painter.drawImage(QPoint(c * kPreviewCell + kPreviewInset, r * kPreviewCell + kPreviewInset), fitted);
        }
    }
    return SavePicture(sheet, GetPreviewFileName(folder));
}

// ---------------------------------------------------------------------------------------
// Module functions

QString TileFileNameFor(const QString& fileName)
{
    if (isKeptInName(fileName) && fileName.size() <= kShortStringBytes) return fileName;
    // Composed first, so that "e" + combining acute becomes the é the code page has.
    const QString composed = fileName.normalized(QString::NormalizationForm_C);
    QString folded;
    for (qsizetype i = 0; i < composed.size(); ++i) {
        QString unit(composed.at(i));
        if (composed.at(i).isHighSurrogate() && i + 1 < composed.size() && composed.at(i + 1).isLowSurrogate())
            unit += composed.at(++i);
        if (isKeptInName(unit)) {
            folded += unit;
            continue;
        }
        QString plain;
        for (QChar c : unit.normalized(QString::NormalizationForm_KD)) {
            const QString one(c);
            if (!c.isMark() && isKeptInName(one)) plain += one;
        }
        folded += plain.isEmpty() ? QStringLiteral("_") : plain;
    }
    if (folded.isEmpty()) folded = QStringLiteral("_");
    QString stem, extension;
    splitExtension(folded, stem, extension);
    return fitName(stem, extension);
}

QImage EmptyLibraryPlaceholder()
{
    QImage picture(kPlaceholderSide, kPlaceholderSide, QImage::Format_ARGB32_Premultiplied);
    picture.fill(0xFFFFFFFF);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font(TextFontFamily());
    font.setPixelSize(84);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 255));
    const QStringList words = {QStringLiteral("EMPTY"), QStringLiteral("IMAGE"), QStringLiteral("LIBRARY")};
    const int lineHeight = 120;
    const int top = (kPlaceholderSide - lineHeight * int(words.size())) / 2;
    for (int i = 0; i < words.size(); ++i)
        painter.drawText(QRect(0, top + i * lineHeight, kPlaceholderSide, lineHeight), Qt::AlignCenter, words[i]);
    return picture;
}

Status CreateTileLibrary(TTilelib& lib, const QString& folder, const QString& name, int widthPx, int heightPx,
                         double ppi)
{
    if (name.isEmpty()) return Failure(QStringLiteral("%1: the library needs a name").arg(folder));
    if (widthPx < 1 || heightPx < 1 || widthPx > kMaxTilePixels || heightPx > kMaxTilePixels)
        return Failure(QStringLiteral("%1: the tile size is %2 x %3 pixels, expected 1 to %4 on each side")
                           .arg(folder)
                           .arg(widthPx)
                           .arg(heightPx)
                           .arg(kMaxTilePixels));
    if (!(ppi > 0) || !std::isfinite(ppi))
        return Failure(
            QStringLiteral("%1: the pixels per inch are %2, expected a number above 0").arg(folder).arg(ppi));
    for (const char* sub : {"source", "ready"}) {
        const QString path = joinPath(folder, QLatin1String(sub));
        if (!QFileInfo(path).isDir() && !QDir().mkpath(path))
            return Failure(QStringLiteral("%1: cannot create the folder").arg(path));
    }
    lib.emptytilelib();
    lib.setRootpath(folder);
    lib.cfg.name.set(name);
    lib.cfg.widthPx = widthPx;
    lib.cfg.heightPx = heightPx;
    lib.cfg.SizeUnit = kTileUnitInch;
    lib.cfg.DPI = static_cast<float>(ppi);
    lib.cfg.Widthf = static_cast<float>(widthPx / ppi);
    lib.cfg.Heightf = static_cast<float>(heightPx / ppi);
    lib.cfg.shape = 0;
    if (Status s = SavePicture(EmptyLibraryPlaceholder(), GetPreviewFileName(folder)); !s.ok()) return s;
    return lib.SaveTilelib();
}

void ListTilelibs(QStringList& names, QStringList& folders, const QString& programRoot, const QString& userRoot)
{
    names.clear();
    folders.clear();
    QStringList scanned;
    for (const QString& root : {programRoot, userRoot}) {
        // QDir("") is the working folder, which is no library root.
        if (root.isEmpty() || !QFileInfo(root).isDir()) continue;
        const QString canonical = QFileInfo(root).canonicalFilePath();
        if (scanned.contains(canonical)) continue;
        scanned << canonical;
        const QStringList entries =
            QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
        for (const QString& entry : entries) {
            const QString folder = joinPath(root, entry);
            if (!IsTilelibFolder(folder)) continue;
            names << ReadTilelibCfg(GetTilelibFileName(folder)).name.get();
            folders << folder;
        }
    }
}

AddPhotosReport AddPhotos(TTilelib& lib, const QStringList& photos, const AddPhotosOptions& options, Progress* progress,
                          const Platform& platform)
{
    AddPhotosReport report;
    const int n = int(photos.size());
    const int w = lib.cfg.widthPx;
    const int h = lib.cfg.heightPx;
    const Status usable = [&] {
        Status s = checkCount(lib);
        return s.ok() ? checkTileSize(lib) : s;
    }();

    // Photos worth preparing ahead: those that cannot turn out to be skipped. A name seen
    // earlier in the list is prepared only when its turn comes and the earlier photo
    // failed, so the duplicate costs nothing in the usual case.
    std::vector<char> ahead(size_t(n), 0);
    {
        QSet<QString> seen;
        for (int a = 0; a < n; ++a) {
            const QString name = QFileInfo(photos[a]).fileName();
            const QString stored = TileFileNameFor(name);
            if (!options.skipExisting)
                ahead[a] = 1;
            else
                ahead[a] = !isPresent(lib, name) && !seen.contains(name) && !seen.contains(stored);
            seen.insert(name);
            seen.insert(stored);
        }
    }
    int threads = options.threads > 0 ? options.threads : QThread::idealThreadCount();
    if (!usable.ok()) threads = 1;
    threads = std::max(1, threads);
    const bool parallel = threads > 1;

    // A parallel run writes each photo's two files on the worker that prepared it, and
    // the commit in list order only renames them into place.
    Staging staging;
    Staging* stage = nullptr;
    if (parallel) {
        staging.source = sourceFolder(lib);
        staging.ready = readyFolder(lib);
        if (QDir().mkpath(staging.source) && QDir().mkpath(staging.ready)) stage = &staging;
    }
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    const int window = 2 * threads;
    std::vector<std::future<PreparedPhoto>> futures(size_t(parallel ? n : 0));
    int nextAhead = 0;
    int inFlight = 0;
    bool stopSubmitting = false;
    const auto topUp = [&] {
        while (parallel && !stopSubmitting && inFlight < window && nextAhead < n) {
            const int a = nextAhead++;
            if (!ahead[a]) continue;
            std::promise<PreparedPhoto> promise;
            futures[a] = promise.get_future();
            pool.start(new PrepareJob(photos[a], w, h, stage, std::move(promise)));
            ++inFlight;
        }
    };
    const auto release = [&](int a) {
        if (parallel && futures[a].valid()) {
            futures[a] = {};
            --inFlight;
        }
    };

    for (int a = 0; a < n; ++a) {
        const QString& path = photos[a];
        topUp();
        const QString name = QFileInfo(path).fileName();
        if (report.full) {
            release(a);
            report.notAdded << path;
        } else if (options.skipExisting && isPresent(lib, name)) {
            release(a);
            report.skipped << path;
        } else if (isFull(lib)) {
            report.full = true;
            stopSubmitting = true;
            release(a);
            report.notAdded << path;
        } else if (!usable.ok()) {
            report.failed << AddPhotoFailure{path, usable.error()};
        } else {
            PreparedPhoto p;
            if (parallel && futures[a].valid()) {
                std::future<PreparedPhoto>& f = futures[a];
                // Keep the window responsive while the photo is still being read.
                while (f.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
                    PumpEvents(platform);
                p = f.get();
                --inFlight;
                topUp();
            } else {
                p = preparePhoto(path, w, h);
            }
            const Status committed = commitPhoto(lib, p, stage);
            if (stage) {
                staging.discard(p.stagedSource);
                staging.discard(p.stagedReady);
            }
            if (Status s = committed; s.ok())
                report.added << path;
            else
                report.failed << AddPhotoFailure{path, s.error()};
        }
        SetProgress(progress, int(qint64(a) * 100 / std::max(1, n)));
        PumpEvents(platform);
    }
    // Jobs of photos left over when the library filled up still run; their futures are
    // gone, so their results are dropped.
    pool.waitForDone();
    staging.discardAll();
    SetProgress(progress, 0);
    return report;
}
