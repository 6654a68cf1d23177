#include "cli/cli_project.h"

#include "cli/cli_common.h"
#include "engine/workspace.h"
#include "platform/file_io.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFileInfo>

QString projectFolderOf(const QString& path)
{
    const QFileInfo info(path);
    return QDir::cleanPath(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

std::unique_ptr<Workspace> makeProjectWorkspace(std::uint32_t seed)
{
    return std::make_unique<Workspace>(Platform{}, seed);
}

Status loadProjectAndLibrary(Workspace& ws, const QString& folder)
{
    const QString prj = joinPath(folder, QStringLiteral("Mosaic.Prj"));
    if (!QFileInfo(prj).isFile()) return Failure(QStringLiteral("%1: no such project file").arg(prj));
    if (Status st = ws.mtilelib.LoadTilelib(GetTilelibFileName(folder)); !st) return st;
    return ws.mproject.LoadProject(prj);
}

IntPair pairValue(const CliArgs& args, const QString& name, QChar separator, IntPair fallback)
{
    if (!args.has(name)) return fallback;
    const QString text = args.value(name);
    const QStringList parts = text.split(separator);
    bool okA = false, okB = false;
    IntPair p{0, 0};
    if (parts.size() == 2) {
        p.a = parts[0].trimmed().toInt(&okA);
        p.b = parts[1].trimmed().toInt(&okB);
    }
    if (!okA || !okB)
        throw UsageError{QStringLiteral("%1 expects two whole numbers as a%2b, got \"%3\"").arg(name, separator, text)};
    return p;
}

int rangedInt(const CliArgs& args, const QString& name, int fallback, int lo, int hi)
{
    const int v = args.intValue(name, fallback);
    if (v < lo || v > hi)
        throw UsageError{QStringLiteral("%1 must lie in %2..%3, got %4").arg(name).arg(lo).arg(hi).arg(v)};
    return v;
}

std::uint32_t colourValue(const CliArgs& args, const QString& name, std::uint32_t fallback)
{
    if (!args.has(name)) return fallback;
    const QString text = args.value(name);
    bool ok = false;
    const uint rgb = text.toUInt(&ok, 16);
    if (!ok || text.size() != 6) throw UsageError{QStringLiteral("%1 expects RRGGBB, got \"%2\"").arg(name, text)};
    return 0xFF000000u | rgb;
}

int failWith(const QString& message)
{
    printError(message);
    return kExitError;
}
