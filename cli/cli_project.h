#pragma once
// Shared by the sub-commands that work on a saved project folder: finding its files,
// loading it, and the small option formats "X,Y" and "WxH".

#include "platform/result.h"

#include <QString>

#include <cstdint>
#include <memory>

class CliArgs;
class Workspace;

// The project folder named by PROJECT (the folder or its "Mosaic.Prj"), absolute.
QString projectFolderOf(const QString& path);

// A workspace for one run, with the given random seed.
std::unique_ptr<Workspace> makeProjectWorkspace(std::uint32_t seed = 0);

// Loads the folder's "Mosaic.Prj" and "imagelib.dat" only (no pictures, no drawing):
// enough for counting, robot code and work plans.
Status loadProjectAndLibrary(Workspace& ws, const QString& folder);

struct IntPair {
    int a;
    int b;
};
// "a<sep>b" of whole numbers, e.g. "3,-1" or "10x10"; UsageError when malformed.
IntPair pairValue(const CliArgs& args, const QString& name, QChar separator, IntPair fallback);
// A value of `name` within lo..hi; UsageError otherwise.
int rangedInt(const CliArgs& args, const QString& name, int fallback, int lo, int hi);
// RRGGBB as an opaque colour; UsageError otherwise.
std::uint32_t colourValue(const CliArgs& args, const QString& name, std::uint32_t fallback);

// Prints the message as the one error line and gives exit code 1.
int failWith(const QString& message);
