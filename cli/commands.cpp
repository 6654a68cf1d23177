#include "cli/commands.h"

// One declaration per sub-command, implemented in cmd_*.cpp.
int cmdVersion(const QStringList& args);
int cmdMatch(const QStringList& args);
int cmdLibraryInfo(const QStringList& args);
int cmdPackageExtract(const QStringList& args);
int cmdPatternsWrite(const QStringList& args);
int cmdPatternsList(const QStringList& args);
int cmdInstallSamples(const QStringList& args);

const CliCommand* cliCommands(int& count)
{
    static const CliCommand kCommands[] = {
        {"version", "", &cmdVersion},
        {"match", "<picture> <library-folder> [--rect L,T,R,B] [--top 10]", &cmdMatch},
        {"library info", "<library-folder>", &cmdLibraryInfo},
        {"package extract", "<zip> <folder>", &cmdPackageExtract},
        {"patterns write", "<folder>", &cmdPatternsWrite},
        {"patterns list", "[--program-folder P] [--user-folder U]", &cmdPatternsList},
        {"install-samples", "", &cmdInstallSamples},
    };
    count = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
    return kCommands;
}
