#pragma once
// The sub-commands of quillary-cli. Each takes the words after its name and returns the
// exit code; parsing problems throw UsageError.

#include <QStringList>

struct CliCommand {
    const char* name;    // first word(s), e.g. "library info"
    const char* usage;   // one line of help
    int (*run)(const QStringList& args);
};

// The table of all sub-commands, in the order --help lists them.
const CliCommand* cliCommands(int& count);
