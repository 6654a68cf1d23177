#pragma once
// The small pictures with which the tool windows list the tiles of the working library.

#include "platform/result.h"

#include <QImage>
#include <QString>

class TTilelib;

// The side of a list thumbnail, in logical units.
inline constexpr int kToolThumbnailSide = 32;

// The ready picture of `tile` fitted into a 32 x 32 square on opaque white
// (FitBitmapPadded), made at `devicePixelRatio` times that size so that it stays sharp
// on a high-density display (the image carries the ratio). The loader's message (naming
// the file) when the picture cannot be read; a tile outside the library is refused.
Result<QImage> TileThumbnail(const TTilelib& library, int tile, qreal devicePixelRatio);

// The ready picture's file name without its folder.
QString TilePictureName(const TTilelib& library, int tile);
