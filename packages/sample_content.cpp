#include "packages/sample_content.h"

#include "engine/workspace.h"
#include "packages/zip_extract.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxResourceBytes = qint64(512) << 20;

Status writeResource(const QString& resourceRoot, const QString& name, const QString& target)
{
    const QString source = joinPath(resourceRoot, name);
    auto bytes = readWholeFile(source, kMaxResourceBytes);
    if (!bytes)
        return Failure(QStringLiteral("embedded content \"%1\" is missing (%2)").arg(name, bytes.error()));
    return writeFileAtomically(target, *bytes);
}

void keepFirst(Status& first, const Status& next)
{
    if (first.ok() && !next.ok())
        first = next;
}

Status extractInto(const QString& zip, const QString& folder, const QString& caption, ExtractionMonitor* monitor,
                   const Platform& platform)
{
    if (monitor)
        monitor->showPackage(caption);
    return ExtractPackage(zip, folder, monitor ? monitor->progress() : nullptr, platform);
}

} // namespace

QByteArray ReadEmbeddedContent(const QString& resourceRoot, const QString& name)
{
    auto bytes = readWholeFile(joinPath(resourceRoot, name), kMaxResourceBytes);
    return bytes ? *bytes : QByteArray();
}

Status InstallSampleContent(Workspace& ws, const QString& resourceRoot, ExtractionMonitor* monitor)
{
    const DataFolders& f = ws.folders;
    Status result;

    const QString help = joinPath(f.DataRoot, QStringLiteral("QLYhelp.pdf"));
    if (!QFileInfo::exists(help))
        keepFirst(result, writeResource(resourceRoot, QStringLiteral("Resource_3"), help));

    const QString zip = joinPath(f.userLibraryFolder, QStringLiteral("DefaultSample.zip"));
    const QString folder = joinPath(f.userLibraryFolder, QStringLiteral("DefaultSample"));
    keepFirst(result, writeResource(resourceRoot, QStringLiteral("Resource_1"), zip));
    if (!QFileInfo::exists(folder) && QFileInfo::exists(zip)) {
        // A half-extracted library would look installed to the next start.
        const QString partial = folder + QStringLiteral(".partial");
        QDir(partial).removeRecursively();
        Status st = extractInto(zip, partial, QStringLiteral("Default Img"), monitor, ws.platform);
        if (st.ok() && !QDir().rename(partial, folder))
            st = Failure(QStringLiteral("%1: cannot move the extracted library into place").arg(folder));
        if (!st.ok())
            QDir(partial).removeRecursively();
        keepFirst(result, st);
    }

    const QString pz = joinPath(f.DataRoot, QStringLiteral("Patterns.zip"));
    keepFirst(result, writeResource(resourceRoot, QStringLiteral("Resource_2"), pz));
    // The pack stores "20_Ellipse.pat" last, so its presence means the pack is complete.
    if (!QFileInfo::exists(joinPath(f.userPatternFolder, QStringLiteral("20_Ellipse.pat"))) && QFileInfo::exists(pz))
        keepFirst(result, extractInto(pz, f.userPatternFolder, QStringLiteral("Pattern"), monitor, ws.platform));

    if (monitor)
        monitor->close();
    return result;
}
