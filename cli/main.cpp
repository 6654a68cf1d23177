// quillary-cli: every capability of Quillary without windows.

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "imaging/fonts.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void printUsage(FILE* to)
{
    std::fprintf(to, "usage: quillary-cli <command> [arguments]\n\ncommands:\n");
    int count = 0;
    const CliCommand* commands = cliCommands(count);
    for (int i = 0; i < count; ++i)
        std::fprintf(to, "  %s %s\n", commands[i].name, commands[i].usage);
}

// Longest command name that the arguments start with ("library info" before "library").
const CliCommand* findCommand(const QStringList& args, int& words)
{
    int count = 0;
    const CliCommand* commands = cliCommands(count);
    const CliCommand* best = nullptr;
    for (int i = 0; i < count; ++i) {
        const QStringList name = QString::fromLatin1(commands[i].name).split(QLatin1Char(' '));
        if (name.size() <= args.size() && args.mid(0, name.size()) == name && (!best || name.size() > words)) {
            best = &commands[i];
            words = name.size();
        }
    }
    return best;
}

} // namespace

// Qt warns on stderr about a missing runtime folder; a private one keeps stderr for the
// command's own messages.
static void ensureRuntimeDir()
{
    if (std::getenv("XDG_RUNTIME_DIR"))
        return;
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillary-runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid())
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

int main(int argc, char** argv)
{
    // The CLI never shows a window; drawing text still needs a GUI application.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ensureRuntimeDir();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quillary"));
    RegisterBundledFonts();

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    int words = 0;
    const CliCommand* command = findCommand(args, words);
    if (!command) {
        printError(QStringLiteral("unknown command \"%1\" (see --help)").arg(args.join(QLatin1Char(' '))));
        return kExitUsage;
    }
    const QStringList rest = args.mid(words);
    if (rest.contains(QLatin1String("--help"))) {
        std::printf("usage: quillary-cli %s %s\n", command->name, command->usage);
        return kExitOk;
    }
    try {
        return command->run(rest);
    } catch (const UsageError& e) {
        printError(e.message);
        std::fprintf(stderr, "usage: quillary-cli %s %s\n", command->name, command->usage);
        return kExitUsage;
    }
}
