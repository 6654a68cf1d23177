// Build-time tool: makes the content embedded in the executables from the sources in
// the repository, with the system's own code.
//
//   quillary-content-builder write-patterns <folder>
//   quillary-content-builder patterns <pattern-dir> <out.zip>
//   quillary-content-builder manual <manual.md> <out.pdf> [<picture folder>...]
//   quillary-content-builder photo <in-picture> <out.png>
//   quillary-content-builder library <tiles-dir> <out.zip>

#include "engine/builtin_patterns.h"
#include "imaging/fonts.h"
#include "imaging/picture_io.h"
#include "packages/zip_write.h"
#include "resources/manual_pdf.h"
#include "resources/sample_library_builder.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "quillary-content-builder: %s\n", message.toLocal8Bit().constData());
    return 1;
}

int patternPack(const QString& dir, const QString& out)
{
    QStringList names = QDir(dir).entryList({QStringLiteral("*.pat"), QStringLiteral("*.pat.jpg")}, QDir::Files,
                                            QDir::Name);
    // "20_Ellipse.pat" goes last: the installer takes its presence as "the pack is complete".
    const QString marker = QStringLiteral("20_Ellipse.pat");
    if (!names.removeOne(marker))
        return fail(QStringLiteral("%1: no %2").arg(dir, marker));
    names << marker;
    QList<ZipSource> entries;
    for (const QString& n : names)
        entries << ZipSource::fromFile(n, QDir(dir).filePath(n));
    const Status st = WriteZip(out, entries);
    return st ? 0 : fail(st.error());
}

int photo(const QString& in, const QString& out)
{
    auto img = LoadPicture(in);
    if (!img)
        return fail(img.error());
    const Status st = SavePicture(*img, out);
    return st ? 0 : fail(st.error());
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    RegisterBundledFonts();
    const QStringList a = QCoreApplication::arguments().mid(1);
    if (a.size() == 2 && a[0] == QLatin1String("write-patterns")) {
        const Status st = WriteBuiltinPatterns(a[1]);
        return st ? 0 : fail(st.error());
    }
    if (a.size() == 3 && a[0] == QLatin1String("patterns"))
        return patternPack(a[1], a[2]);
    if (a.size() >= 3 && a[0] == QLatin1String("manual")) {
        const Status st = WriteManualPdf(a[1], a[2], a.mid(3));
        return st ? 0 : fail(st.error());
    }
    if (a.size() == 3 && a[0] == QLatin1String("photo"))
        return photo(a[1], a[2]);
    if (a.size() == 3 && a[0] == QLatin1String("library")) {
        const Status st = BuildSampleLibraryZip(a[1], a[2]);
        return st ? 0 : fail(st.error());
    }
    return fail(QStringLiteral("usage: write-patterns <folder> | patterns|manual|photo|library <in> <out>"));
}
