#include "fuzz/fuzz_support.h"

#include "imaging/color_measure.h"
#include "imaging/fonts.h"
#include "imaging/picture_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QString& scratchPath()
{
    static QString* path = new QString;
    return *path;
}

void removeScratch()
{
    if (!scratchPath().isEmpty()) QDir(scratchPath()).removeRecursively();
}

} // namespace

void InitFuzzEnvironment(int* argc, char*** argv)
{
    // The replay tests run the targets inside a test program that has its application.
    if (QCoreApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", qPrintable(FuzzScratchFolder()), 1);
    // Qt keeps the references; the application lives until the process ends.
    static int qtArgc = 1;
    static char* qtArgv[] = {argc && *argc > 0 ? (*argv)[0] : const_cast<char*>("fuzz"), nullptr};
    new QGuiApplication(qtArgc, qtArgv);
    RegisterBundledFonts();
}

QString FuzzScratchFolder()
{
    if (scratchPath().isEmpty()) {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        scratchPath() = QStringLiteral("%1/quillary-fuzz-%2").arg(base).arg(getpid());
        QDir(scratchPath()).removeRecursively();
        QDir().mkpath(scratchPath());
        // Private, as Qt wants its runtime folder to be.
        QFile::setPermissions(scratchPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        std::atexit(removeScratch);
    }
    return scratchPath();
}

void FuzzCheck(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void FuzzCheckRefusal(const QString& message, const QString& fileName)
{
    if (!message.isEmpty() && message.contains(fileName)) return;
    std::fprintf(stderr, "refusal without the file name \"%s\": \"%s\"\n", qPrintable(fileName), qPrintable(message));
    std::abort();
}

void MakeFuzzLibrary(TTilelib& lib, const QString& folder, int count)
{
    QDir().mkpath(folder + QStringLiteral("/ready"));
    lib.emptytilelib();
    lib.setRootpath(folder);
    lib.cfg.widthPx = 8;
    lib.cfg.heightPx = 8;
    lib.cfg.Widthf = 8;
    lib.cfg.Heightf = 8;
    lib.cfg.SizeUnit = 2;
    lib.cfg.DPI = 200;
    for (int i = 0; i < count && i < kTileCountMax; ++i) {
        QImage picture(8, 8, QImage::Format_ARGB32);
        picture.fill(QColor::fromHsv((i * 47) % 360, 200, 60 + (i * 31) % 190));
        TTileItem& item = lib.items[i];
        item.FileName.set(QStringLiteral("tile%1.png").arg(i));
        item.Usecount = 0;
        GetImgColorInfo8(item.ColorInfo, picture, TRectF{0, 0, 8, 8});
        for (TimgColorInfo& rot : item.RotColorInfo)
            rot = item.ColorInfo;
        lib.ItemEnable[i] = 1;
        lib.Count = i + 1;
        FuzzCheck(SavePicture(picture, lib.GetFullName(i)).ok(), "the fuzz library's pictures can be written");
    }
}
