// quillary-cli edit: one cell set by hand as the tile pen sets it, the picture redrawn
// and the project folder saved again.

#include "cli/cli_common.h"
#include "cli/cli_project.h"

#include "engine/workspace.h"
#include "output/cell_edit.h"
#include "render/project_folder.h"

int cmdEdit(const QStringList& args)
{
    CliArgs a(args, {"--cell", "--tile"}, {});
    const QString folder = projectFolderOf(a.positional(0, "PROJECT"));
    if (!a.has("--cell") || !a.has("--tile")) throw UsageError{QStringLiteral("--cell X,Y and --tile N are required")};
    const IntPair cell = pairValue(a, QStringLiteral("--cell"), QLatin1Char(','), {0, 0});
    const int tile = a.intValue(QStringLiteral("--tile"), -1);

    auto ws = makeProjectWorkspace();
    QImage view;
    {
        TerminalProgress progress(QStringLiteral("Opening"));
        if (Status st = OpenMosaicProject(*ws, folder, view, &progress); !st) return failWith(st.error());
    }
    const TCell* edited = EditedCell(ws->mproject, cell.a, cell.b);
    const int before = edited ? edited->TileID : -1;
    if (Status st = PaintCell(*ws, cell.a, cell.b, tile, &view); !st) return failWith(st.error());
    {
        TerminalProgress progress(QStringLiteral("Saving"));
        if (Status st = SaveProjectFolder(*ws, folder, view, &progress); !st) return failWith(st.error());
    }
    const QString where = cell.b == -1 ? QStringLiteral("add-on cell %1").arg(cell.a)
                                       : QStringLiteral("cell (%1, %2)").arg(cell.a).arg(cell.b);
    printLine(QStringLiteral("%1: tile %2 -> %3").arg(where).arg(before).arg(tile));
    printLine(QStringLiteral("project: %1").arg(folder));
    return kExitOk;
}
