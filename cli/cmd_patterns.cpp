// quillary-cli patterns write <folder>
// quillary-cli patterns list [--program-folder P] [--user-folder U]

#include "cli/cli_common.h"
#include "engine/builtin_patterns.h"
#include "engine/patterns.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

int cmdPatternsWrite(const QStringList& args)
{
    CliArgs a(args, {}, {});
    const QString folder = a.positional(0, "folder");
    if (Status st = WriteBuiltinPatterns(folder); !st) {
        printError(st.error());
        return kExitError;
    }
    return kExitOk;
}

int cmdPatternsList(const QStringList& args)
{
    CliArgs a(args, {QStringLiteral("--program-folder"), QStringLiteral("--user-folder")}, {});
    const QString programFolder =
        a.value(QStringLiteral("--program-folder"),
                QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Data/Patterns")));
    const QString userFolder =
        a.value(QStringLiteral("--user-folder"),
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quillary/Patterns"));
    QStringList names, paths;
    ListPatterns(names, paths, programFolder, userFolder);
    for (int i = 0; i < names.size(); ++i)
        printLine(names[i] + QLatin1Char('\t') + paths[i]);
    return kExitOk;
}
