// quillary-cli guide-cards: a position guide card per used tile, in PROJECT/GuideCard.

#include "cli/cli_common.h"
#include "cli/cli_project.h"

#include "engine/workspace.h"
#include "output/guide_cards.h"
#include "render/project_folder.h"

#include <QDateTime>

int cmdGuideCards(const QStringList& args)
{
    CliArgs a(args, {"--count", "--radius", "--line", "--color", "--seed"}, {});
    const QString folder = projectFolderOf(a.positional(0, "PROJECT"));
    GuideCardOptions options;
    options.count = rangedInt(a, QStringLiteral("--count"), 2, 1, 5);
    options.radius = rangedInt(a, QStringLiteral("--radius"), 50, 20, 100);
    options.lineSize = rangedInt(a, QStringLiteral("--line"), 5, 1, 10);
    options.color = colourValue(a, QStringLiteral("--color"), 0xFF00FF00);
    const std::uint32_t seed = a.has("--seed") ? static_cast<std::uint32_t>(a.intValue("--seed", 0))
                                               : static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());

    auto ws = makeProjectWorkspace(seed);
    QImage view;
    {
        TerminalProgress progress(QStringLiteral("Opening"));
        if (Status st = OpenMosaicProject(*ws, folder, view, &progress); !st) return failWith(st.error());
    }
    // The folder opened is the project's folder, wherever it was saved from.
    ws->mproject.cfg.RootPath.set(folder);
    Result<GuideCardSummary> done = GuideCardSummary{};
    {
        TerminalProgress progress(QStringLiteral("Cards"));
        done = OutputGuideCards(*ws, options, &progress, ws->platform);
    }
    if (!done) return failWith(done.error());
    for (const QString& f : done->files)
        printLine(QStringLiteral("card: %1").arg(f));
    if (!done->folder.isEmpty()) printLine(QStringLiteral("folder: %1").arg(done->folder));
    return kExitOk;
}
