// quillary-cli workplan and workplan-groups: the work-plan pages of the page grid and
// of the colour groups.

#include "cli/cli_common.h"
#include "cli/cli_project.h"

#include "engine/workspace.h"
#include "output/work_plan.h"

#include <QDir>
#include <QFileInfo>

namespace {

int pageSizeValue(const CliArgs& a)
{
    const int size = a.intValue(QStringLiteral("--size"), 1000);
    if (size != 1000 && size != 2000 && size != 4000)
        throw UsageError{QStringLiteral("--size expects 1000, 2000 or 4000, got %1").arg(size)};
    return size;
}

} // namespace

int cmdWorkplan(const QStringList& args)
{
    CliArgs a(args, {"--out", "--pages", "--size", "--text-size"}, {"--no-fill"});
    const QString folder = projectFolderOf(a.positional(0, "PROJECT"));
    if (!a.has("--out")) throw UsageError{QStringLiteral("--out DIR is required")};
    const IntPair pages = pairValue(a, QStringLiteral("--pages"), QLatin1Char('x'), {3, 3});
    if (pages.a < 1 || pages.a > 100 || pages.b < 1 || pages.b > 100)
        throw UsageError{QStringLiteral("--pages counts must lie in 1..100")};
    const int size = pageSizeValue(a);
    const double textSize = a.doubleValue(QStringLiteral("--text-size"), 18);
    if (!(textSize >= 1 && textSize <= 100)) throw UsageError{QStringLiteral("--text-size must lie in 1..100")};
    const QString out = QFileInfo(a.value("--out")).absoluteFilePath();

    auto ws = makeProjectWorkspace();
    if (Status st = loadProjectAndLibrary(*ws, folder); !st) return failWith(st.error());
    if (!QDir().mkpath(out)) return failWith(QStringLiteral("%1: cannot create the folder").arg(out));
    RefreshWorkplanCfg(*ws, pages.a, pages.b, size, textSize, 20);
    printLine(WorkplanSizeLabel(ws->mproject));
    QImage page;
    Result<QStringList> files = QStringList();
    {
        TerminalProgress progress(QStringLiteral("Pages"));
        files = OutputAllWorkplanPages(*ws, page, out, !a.flag("--no-fill"), &progress);
    }
    if (!files) return failWith(files.error());
    for (const QString& f : *files)
        printLine(QStringLiteral("page: %1").arg(f));
    return kExitOk;
}

int cmdWorkplanGroups(const QStringList& args)
{
    CliArgs a(args, {"--out", "--cells", "--group", "--size", "--text-size"}, {"--no-fill"});
    const QString folder = projectFolderOf(a.positional(0, "PROJECT"));
    if (!a.has("--out")) throw UsageError{QStringLiteral("--out DIR/NAME.jpg is required")};
    const QFileInfo target(a.value("--out"));
    if (target.fileName().isEmpty()) throw UsageError{QStringLiteral("--out expects DIR/NAME.jpg")};
    WorkplanGroupSettings s;
    const IntPair cells = pairValue(a, QStringLiteral("--cells"), QLatin1Char('x'), {24, 24});
    if (cells.a < 1 || cells.a > 100 || cells.b < 1 || cells.b > 100)
        throw UsageError{QStringLiteral("--cells counts must lie in 1..100")};
    s.cellsH = cells.a;
    s.cellsV = cells.b;
    s.groupSize = rangedInt(a, QStringLiteral("--group"), 10, 1, 100);
    s.pagePx = pageSizeValue(a);
    s.fontSize = rangedInt(a, QStringLiteral("--text-size"), 18, 1, 100);
    s.fill = !a.flag("--no-fill");

    auto ws = makeProjectWorkspace();
    if (Status st = loadProjectAndLibrary(*ws, folder); !st) return failWith(st.error());
    const QString dir = target.absolutePath();
    if (!QDir().mkpath(dir)) return failWith(QStringLiteral("%1: cannot create the folder").arg(dir));
    const WorkplanGroupInfo info = WorkplanGroupLabels(ws->mproject, s.cellsH, s.cellsV);
    printLine(info.horizontalCount);
    printLine(info.verticalCount);
    printLine(info.mosaicSize);
    printLine(info.pageCount);
    QImage page;
    Result<QStringList> files = QStringList();
    {
        TerminalProgress progress(QStringLiteral("Pages"));
        files = OutputAllWorkplanGroups(*ws, page, dir, target.fileName(), s, &progress);
    }
    if (!files) return failWith(files.error());
    for (const QString& f : *files)
        printLine(QStringLiteral("page: %1").arg(f));
    return kExitOk;
}
