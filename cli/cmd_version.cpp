#include "cli/cli_common.h"

int cmdVersion(const QStringList& args)
{
    CliArgs a(args, {}, {});
    printLine(QStringLiteral("Quillary 19.61"));
    return kExitOk;
}
