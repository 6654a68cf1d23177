// quillary-cli stats: the tile statistics list, its workbook and its picture pages.

#include "cli/cli_common.h"
#include "cli/cli_project.h"

#include "engine/workspace.h"
#include "output/tile_statistics.h"

#include <QDir>
#include <QFileInfo>

int cmdStats(const QStringList& args)
{
    CliArgs a(args, {"--xlsx", "--pages"}, {"--by-count"});
    const QString folder = projectFolderOf(a.positional(0, "PROJECT"));
    auto ws = makeProjectWorkspace();
    if (Status st = loadProjectAndLibrary(*ws, folder); !st) return failWith(st.error());

    // The list counts add-on cells too; the workbook and the pages count grid cells only.
    std::vector<TileUse> uses = CountTileUse(ws->mproject, ws->mtilelib, /*includeAddon=*/true);
    if (a.flag("--by-count")) OrderByCount(uses);
    for (const TileUse& u : uses)
        printLine(TileListRow(u, ws->mtilelib.items[u.tile].FileName.get()));

    if (a.has("--xlsx")) {
        const QString path = QFileInfo(a.value("--xlsx")).absoluteFilePath();
        if (Status st = WriteTileStatisticsXlsx(path, ws->mproject, ws->mtilelib); !st) return failWith(st.error());
        printLine(QStringLiteral("workbook: %1").arg(path));
    }
    if (a.has("--pages")) {
        const QFileInfo target(a.value("--pages"));
        if (target.fileName().isEmpty()) throw UsageError{QStringLiteral("--pages expects DIR/NAME.jpg")};
        const QString dir = target.absolutePath();
        if (!QDir().mkpath(dir)) return failWith(QStringLiteral("%1: cannot create the folder").arg(dir));
        TerminalProgress progress(QStringLiteral("Pages"));
        Result<QStringList> pages = SaveTileCountPages(*ws, dir, target.fileName(), &progress, ws->platform);
        if (!pages) return failWith(pages.error());
        for (const QString& page : *pages)
            printLine(QStringLiteral("page: %1").arg(page));
    }
    return kExitOk;
}
