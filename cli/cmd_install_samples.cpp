#include "cli/cli_common.h"

#include "engine/data_folders.h"
#include "engine/workspace.h"
#include "packages/sample_content.h"

#include <QCoreApplication>

#include <memory>

namespace {

// The extraction window's face on a terminal: one progress line per package.
class TerminalExtraction final : public ExtractionMonitor {
public:
    void showPackage(const QString& caption) override { m_progress = std::make_unique<TerminalProgress>(caption); }
    Progress* progress() override { return m_progress.get(); }
    void close() override { m_progress.reset(); }

private:
    std::unique_ptr<TerminalProgress> m_progress;
};

} // namespace

int cmdInstallSamples(const QStringList& args)
{
    CliArgs a(args, {}, {});
    auto ws = std::make_unique<Workspace>();
    if (Status st = InitDataFolders(*ws, QCoreApplication::applicationDirPath(), DocumentsFolder()); !st) {
        printError(st.error());
        return kExitError;
    }
    TerminalExtraction monitor;
    if (Status st = InstallSampleContent(*ws, EmbeddedContentRoot(), &monitor); !st) {
        printError(st.error());
        return kExitError;
    }
    printLine(QStringLiteral("data folder: %1").arg(ws->folders.DataRoot));
    printLine(QStringLiteral("sample library: %1/DefaultSample").arg(ws->folders.userLibraryFolder));
    printLine(QStringLiteral("patterns: %1").arg(ws->folders.userPatternFolder));
    printLine(QStringLiteral("manual: %1/QLYhelp.pdf").arg(ws->folders.DataRoot));
    return kExitOk;
}
