#include "cli/cli_common.h"
#include "packages/zip_extract.h"

#include <QFileInfo>

int cmdPackageExtract(const QStringList& args)
{
    CliArgs a(args, {}, {});
    const QString archive = a.positional(0, "archive");
    const QString folder = a.positional(1, "target folder");
    if (a.positional().size() > 2)
        throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a.positional()[2])};
    // The library skips a missing archive silently, as first-run installation wants;
    // on the command line a mistyped path deserves an error.
    if (!QFileInfo::exists(archive)) {
        printError(QStringLiteral("%1: no such archive").arg(archive));
        return kExitError;
    }
    Status st;
    {
        TerminalProgress progress(QStringLiteral("Extracting"));
        st = ExtractPackage(archive, folder, &progress, Platform{});
    } // ends the progress line before any message
    if (!st.ok()) {
        printError(st.error());
        return kExitError;
    }
    printLine(QStringLiteral("%1: extracted into %2").arg(archive, folder));
    return kExitOk;
}
