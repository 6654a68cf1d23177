// quillary-cli robot-code: the pick-and-place program of one page of the mosaic.

#include "cli/cli_common.h"
#include "cli/cli_project.h"

#include "engine/workspace.h"
#include "output/robot_code.h"

#include <QFileInfo>

int cmdRobotCode(const QStringList& args)
{
    CliArgs a(args, {"--page", "--cells", "--out"}, {});
    const QString folder = projectFolderOf(a.positional(0, "PROJECT"));
    if (!a.has("--page") || !a.has("--out")) throw UsageError{QStringLiteral("--page X,Y and --out FILE are required")};
    const IntPair page = pairValue(a, QStringLiteral("--page"), QLatin1Char(','), {0, 0});
    const IntPair cells = pairValue(a, QStringLiteral("--cells"), QLatin1Char('x'), {10, 10});
    if (page.a < 0 || page.a > 100 || page.b < 0 || page.b > 100)
        throw UsageError{QStringLiteral("--page numbers must lie in 0..100")};
    if (cells.a < 1 || cells.a > 100 || cells.b < 1 || cells.b > 100)
        throw UsageError{QStringLiteral("--cells counts must lie in 1..100")};
    const QString out = QFileInfo(a.value("--out")).absoluteFilePath();

    auto ws = makeProjectWorkspace();
    if (Status st = loadProjectAndLibrary(*ws, folder); !st) return failWith(st.error());
    const RobotInfo info = RobotInfoLabels(ws->mproject, cells.a, cells.b);
    printLine(info.horizontalCount);
    printLine(info.verticalCount);
    printLine(info.mosaicSize);
    printLine(info.pageCount);
    QStringList lines;
    {
        TerminalProgress progress(QStringLiteral("Generating"));
        lines =
            GenerateRobotCode(ws->mproject, ws->mtilelib, page.a, page.b, cells.a, cells.b, &progress, ws->platform);
    }
    if (Status st = SaveRobotCode(lines, out); !st) return failWith(st.error());
    printLine(QStringLiteral("Lines: %1").arg(lines.size()));
    printLine(QStringLiteral("code: %1").arg(out));
    return kExitOk;
}
