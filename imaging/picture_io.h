#pragma once
// The one picture reader and writer of the system.
//
// Reading: the format is recognised from the content (JPEG, PNG, BMP, TIFF and whatever
// else the installed codecs read), whatever the file is called; the EXIF orientation is
// applied, so a portrait phone photo comes out upright. Pictures up to 200 megapixels are
// read (the codecs' allocation limit is raised to kPictureAllocationLimitMB); larger ones
// are refused from their header, before anything is decoded. The result is
// Format_ARGB32_Premultiplied with device pixel ratio 1, the working format of the bitmap
// operations.
//
// Writing: the codec is chosen by the file name's extension (.jpg/.jpeg JPEG at quality
// 90, .png, .bmp, .tif/.tiff); the picture is encoded in memory and the file replaced
// through writeFileAtomically, so a failed save leaves the previous file intact.
//
// Messages name the file: "<path>: cannot read picture (<reason>)".

#include "platform/result.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

inline constexpr std::int64_t kMaxPicturePixels = 200'000'000;
inline constexpr int kPictureAllocationLimitMB = 1024;
inline constexpr int kJpegQuality = 90;

struct PictureLoadOptions {
    // The smallest upright size the caller will draw the picture at. When valid and the
    // codec decodes scaled (JPEG does, in its DCT), a picture at least four times larger in
    // both dimensions is decoded at scale f = max(2 * minW / W, 2 * minH / H) of its upright
    // W x H, each side rounded up: at least twice minSize in each dimension, so later area
    // averaging still has detail to work with. The scaled size applies before the EXIF
    // orientation, so it is swapped for quarter turns. Smaller pictures, codecs without
    // scaled decoding and an invalid minSize give the full picture.
    QSize minSize;
};

// Reads the picture file at `path`. Fails for a missing, unreadable, corrupt or oversized
// file, with the path in the message.
Result<QImage> LoadPicture(const QString& path, const PictureLoadOptions& options = {});

// The same from bytes in memory; `sourceName` stands for the path in messages (empty:
// "picture data").
Result<QImage> LoadPictureFromBytes(const QByteArray& bytes, const QString& sourceName = QString(),
                                    const PictureLoadOptions& options = {});

// Writes `image` to `path` in the format its extension names (case-insensitive). Refuses a
// null image and an unsupported extension, naming the path and the extensions expected.
Status SavePicture(const QImage& image, const QString& path);
// The bytes SavePicture would write to `path` (the format from its extension), with the
// same refusals; nothing is written.
Result<QByteArray> EncodePicture(const QImage& image, const QString& path);
