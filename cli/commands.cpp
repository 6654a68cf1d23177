#include "cli/commands.h"

// One declaration per sub-command, implemented in cmd_*.cpp.
int cmdVersion(const QStringList& args);
int cmdPackageExtract(const QStringList& args);

const CliCommand* cliCommands(int& count)
{
    static const CliCommand kCommands[] = {
        {"version", "", &cmdVersion},
        {"package extract", "<zip> <folder>", &cmdPackageExtract},
    };
    count = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
    return kCommands;
}
