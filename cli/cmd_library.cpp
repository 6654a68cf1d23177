// quillary-cli library create / add / list / preview: building tile libraries without
// the library windows.

#include "cli/cli_common.h"
#include "engine/data_folders.h"
#include "platform/file_io.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

const QStringList& photoSuffixes()
{
    static const QStringList suffixes = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                         QStringLiteral("bmp"), QStringLiteral("tif"),  QStringLiteral("tiff")};
    return suffixes;
}

bool isPhotoFile(const QFileInfo& info)
{
    return info.isFile() && photoSuffixes().contains(info.suffix().toLower());
}

// The photos of a folder, by path relative to it in code-point order, so a run adds the
// same photos in the same order wherever the folder lies.
QStringList photosInFolder(const QString& folder, bool recursive)
{
    QStringList relative;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot,
                    recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    const QDir base(QFileInfo(folder).absoluteFilePath());
    while (it.hasNext()) {
        it.next();
        if (isPhotoFile(it.fileInfo())) relative << base.relativeFilePath(it.fileInfo().absoluteFilePath());
    }
    std::sort(relative.begin(), relative.end());
    QStringList out;
    for (const QString& r : relative)
        out << joinPath(folder, r); // in the form the user gave, for the messages
    return out;
}

// The terminal line keeps its last value: the operations reset their progress to 0 at the
// end, which would otherwise be the line left on screen.
class KeepingProgress final : public Progress {
public:
    explicit KeepingProgress(Progress& to) : m_to(to) {}
    void setValue(int value) override
    {
        if (value >= m_to.value()) m_to.setValue(value);
    }
    int value() const override { return m_to.value(); }

private:
    Progress& m_to;
};

bool isEmptyFolder(const QString& folder)
{
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

std::unique_ptr<TTilelib> loadLibrary(const QString& folder, QString& error)
{
    auto lib = std::make_unique<TTilelib>();
    if (!IsTilelibFolder(folder)) {
        error = QStringLiteral("%1: no tile-library catalogue here").arg(GetTilelibFileName(folder));
        return nullptr;
    }
    if (Status s = lib->LoadTilelib(GetTilelibFileName(folder)); !s.ok()) {
        error = s.error();
        return nullptr;
    }
    return lib;
}

} // namespace

int cmdLibraryCreate(const QStringList& args)
{
    CliArgs a(
        args,
        {QStringLiteral("--name"), QStringLiteral("--width"), QStringLiteral("--height"), QStringLiteral("--ppi")}, {});
    const QString folder = a.positional(0, "library folder");
    if (a.positional().size() > 1)
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a.positional()[1])};
    const QString name = a.value(QStringLiteral("--name"));
    if (name.isEmpty()) throw UsageError{QStringLiteral("Please give your image lib a NAME! (--name)")};
    const int width = a.intValue(QStringLiteral("--width"), 400);
    const int height = a.intValue(QStringLiteral("--height"), 400);
    const double ppi = a.doubleValue(QStringLiteral("--ppi"), 200);
    if (width < 1 || width > kMaxTilePixels || height < 1 || height > kMaxTilePixels)
        throw UsageError{QStringLiteral("--width and --height expect 1 to %1 pixels, got %2 x %3")
                             .arg(kMaxTilePixels)
                             .arg(width)
                             .arg(height)};
    if (!(ppi > 0)) throw UsageError{QStringLiteral("--ppi expects a number above 0, got %1").arg(ppi)};

    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        printError(QStringLiteral("%1: is a file, not a folder").arg(folder));
        return kExitError;
    }
    if (info.isDir() && !isEmptyFolder(folder)) {
        printError(QStringLiteral("%1: The folder is not empty, Please select an empty folder").arg(folder));
        return kExitError;
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        printError(QStringLiteral("%1: cannot create the folder").arg(folder));
        return kExitError;
    }
    auto lib = std::make_unique<TTilelib>();
    if (Status s = CreateTileLibrary(*lib, folder, name, width, height, ppi); !s.ok()) {
        printError(s.error());
        return kExitError;
    }
    printLine(QStringLiteral("created \"%1\" in %2: tiles %3x%4 pixels, ").arg(name, folder).arg(width).arg(height) +
              QString::asprintf("%4.2fx%4.2f inch", double(lib->cfg.Widthf), double(lib->cfg.Heightf)));
    return kExitOk;
}

int cmdLibraryAdd(const QStringList& args)
{
    CliArgs a(args, {QStringLiteral("--threads")}, {QStringLiteral("--recursive")});
    const QString folder = a.positional(0, "library folder");
    if (a.positional().size() < 2) throw UsageError{QStringLiteral("missing photo or folder of photos")};
    const int threads = a.intValue(QStringLiteral("--threads"), 0);
    if (threads < 0)
        throw UsageError{QStringLiteral("--threads expects 0 (one per core) or more, got %1").arg(threads)};

    QString error;
    std::unique_ptr<TTilelib> lib = loadLibrary(folder, error);
    if (!lib) {
        printError(error);
        return kExitError;
    }
    QStringList photos;
    for (const QString& given : a.positional().mid(1)) {
        if (QFileInfo(given).isDir())
            photos << photosInFolder(given, a.flag(QStringLiteral("--recursive")));
        else
            photos << given; // a missing or unreadable file is reported with the failures
    }

    AddPhotosReport report;
    {
        TerminalProgress terminal(QStringLiteral("adding photos"));
        KeepingProgress progress(terminal);
        report = AddPhotos(*lib, photos, AddPhotosOptions{.skipExisting = true, .threads = threads}, &progress, {});
        if (!photos.isEmpty()) terminal.setValue(100);
    }
    for (const AddPhotoFailure& f : report.failed)
        printError(f.message);
    if (report.full)
        printError(QStringLiteral("%1: the library is full (%2 tiles), %3 photos not added")
                       .arg(folder)
                       .arg(kTileCountMax)
                       .arg(report.notAdded.size()));

    if (!report.added.isEmpty()) {
        if (Status s = lib->SaveTilelib(); !s.ok()) {
            printError(s.error());
            return kExitError;
        }
        if (Status s = lib->BuildPreview(); !s.ok()) {
            printError(s.error());
            return kExitError;
        }
    }
    printLine(
        QStringLiteral("added %1, skipped %2 (already in the library), failed %3%4; %5 tiles")
            .arg(report.added.size())
            .arg(report.skipped.size())
            .arg(report.failed.size())
            .arg(report.full ? QStringLiteral(", not added %1 (library full)").arg(report.notAdded.size()) : QString())
            .arg(lib->Count));
    // Failures are listed above; the run failed only when it could save nothing at all.
    const bool nothingSaved = report.added.isEmpty() && (!report.failed.isEmpty() || !report.notAdded.isEmpty());
    return nothingSaved ? kExitError : kExitOk;
}

int cmdLibraryList(const QStringList& args)
{
    CliArgs a(args, {QStringLiteral("--program-root"), QStringLiteral("--user-root")}, {});
    if (!a.positional().isEmpty())
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a.positional()[0])};
    const DataFolders defaults = ComputeDataFolders(QCoreApplication::applicationDirPath(), DocumentsFolder());
    const QString programRoot = a.value(QStringLiteral("--program-root"), defaults.programLibraryFolder);
    const QString userRoot = a.value(QStringLiteral("--user-root"), defaults.userLibraryFolder);
    QStringList names, folders;
    ListTilelibs(names, folders, programRoot, userRoot);
    printLine(QStringLiteral("name\tfolder"));
    for (int j = 0; j < names.size(); ++j)
        printLine(names[j] + QLatin1Char('\t') + folders[j]);
    return kExitOk;
}

int cmdLibraryPreview(const QStringList& args)
{
    CliArgs a(args, {}, {});
    const QString folder = a.positional(0, "library folder");
    if (a.positional().size() > 1)
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a.positional()[1])};
    QString error;
    std::unique_ptr<TTilelib> lib = loadLibrary(folder, error);
    if (!lib) {
        printError(error);
        return kExitError;
    }
    if (Status s = lib->BuildPreview(); !s.ok()) {
        printError(s.error());
        return kExitError;
    }
    printLine(GetPreviewFileName(folder));
    return kExitOk;
}
