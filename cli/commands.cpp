#include "cli/commands.h"

// One declaration per sub-command, implemented in cmd_*.cpp.
int cmdVersion(const QStringList& args);
int cmdMatch(const QStringList& args);
int cmdLibraryInfo(const QStringList& args);
int cmdLibraryCreate(const QStringList& args);
int cmdLibraryAdd(const QStringList& args);
int cmdLibraryList(const QStringList& args);
int cmdLibraryPreview(const QStringList& args);
int cmdPackageExtract(const QStringList& args);

const CliCommand* cliCommands(int& count)
{
    static const CliCommand kCommands[] = {
        {"version", "", &cmdVersion},
        {"match", "<picture> <library-folder> [--rect L,T,R,B] [--top 10]", &cmdMatch},
        {"library info", "<library-folder>", &cmdLibraryInfo},
        {"library create", "<folder> --name N [--width 400] [--height 400] [--ppi 200]", &cmdLibraryCreate},
        {"library add", "<library-folder> <photo-or-folder>... [--recursive] [--threads 0]", &cmdLibraryAdd},
        {"library list", "[--program-root DIR] [--user-root DIR]", &cmdLibraryList},
        {"library preview", "<library-folder>", &cmdLibraryPreview},
        {"package extract", "<zip> <folder>", &cmdPackageExtract},
    };
    count = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
    return kCommands;
}
