#include "tools/tile_thumbnails.h"

#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"
#include "render/cell_text.h"
#include "tilelib/tilelib.h"

#include <QFileInfo>

#include <cmath>

namespace {
constexpr TAlphaColor kOpaqueWhite = 0xFFFFFFFF;
} // namespace

Result<QImage> TileThumbnail(const TTilelib& library, int tile, qreal devicePixelRatio)
{
    if (!WorkingTile(library, tile))
        return Result<QImage>::failure(QStringLiteral("tile %1: not a tile of the working library").arg(tile));
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int side = static_cast<int>(std::ceil(kToolThumbnailSide * ratio));
    PictureLoadOptions small;
    small.minSize = QSize(side, side);
    Result<QImage> picture = LoadPicture(library.GetFullName(tile), small);
    if (!picture) return Result<QImage>::failure(picture.error());
    QImage thumb = FitBitmapPadded(*picture, side, side, kOpaqueWhite);
    thumb.setDevicePixelRatio(ratio);
    return thumb;
}

QString TilePictureName(const TTilelib& library, int tile)
{
    return QFileInfo(library.GetFullName(tile)).fileName();
}
