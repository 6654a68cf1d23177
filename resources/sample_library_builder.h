#pragma once
// The sample tile library that ships inside the executable, built from the tile photos
// in the repository with the system's own library code, and zipped.

#include "platform/result.h"

#include <QString>

// 66 x 66 pixel tiles, 8.5 x 8.5 mm at 200 DPI, every photo of `tilesDir` in name
// order; the archive holds imagelib.dat, preview.jpg and the source and ready folders.
Status BuildSampleLibraryZip(const QString& tilesDir, const QString& zipPath);
