#include "imaging/picture_io.h"

#include "platform/file_io.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cmath>

namespace {

QString cannotRead(const QString& name, const QString& reason)
{
    return QStringLiteral("%1: cannot read picture (%2)").arg(name, reason);
}

QString tooLarge(const QString& name, QSize size)
{
    const double megapixels = static_cast<double>(size.width()) * size.height() / 1e6;
    return QStringLiteral("%1: picture is %2 x %3 pixels (%4 megapixels), at most %5 megapixels allowed")
        .arg(name)
        .arg(size.width())
        .arg(size.height())
        .arg(megapixels, 0, 'f', 1)
        .arg(kMaxPicturePixels / 1'000'000);
}

bool exceedsPixelLimit(QSize size)
{
    return static_cast<std::int64_t>(size.width()) * size.height() > kMaxPicturePixels;
}

// The decode size for `options.minSize`, or an invalid size for a full decode. `stored` is
// the size as encoded, before the orientation is applied.
QSize scaledDecodeSize(QSize stored, bool quarterTurn, const PictureLoadOptions& options)
{
    if (options.minSize.isEmpty() || stored.isEmpty())
        return QSize();
    const QSize need = quarterTurn ? options.minSize.transposed() : options.minSize;
    const double f = std::max(2.0 * need.width() / stored.width(), 2.0 * need.height() / stored.height());
    if (f > 0.5)
        return QSize();
    // Rounding noise must not cost a pixel below the promised twice-the-minimum.
    const int w = std::max(2 * need.width(), static_cast<int>(std::ceil(stored.width() * f - 1e-6)));
    const int h = std::max(2 * need.height(), static_cast<int>(std::ceil(stored.height() * f - 1e-6)));
    return QSize(w, h);
}

Result<QImage> readPicture(QImageReader& reader, const QString& name, const PictureLoadOptions& options)
{
    // A 50-megapixel photo needs 200 MB as 32-bit pixels, above the codecs' default limit.
    QImageReader::setAllocationLimit(kPictureAllocationLimitMB);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return Result<QImage>::failure(cannotRead(name, reader.errorString()));

    const QSize stored = reader.size(); // from the header; invalid when the codec cannot tell
    if (stored.isValid()) {
        if (exceedsPixelLimit(stored))
            return Result<QImage>::failure(tooLarge(name, stored));
        if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
            const bool quarterTurn = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
            const QSize scaled = scaledDecodeSize(stored, quarterTurn, options);
            if (scaled.isValid())
                reader.setScaledSize(scaled);
        }
    }

    QImage image;
    if (!reader.read(&image))
        return Result<QImage>::failure(cannotRead(name, reader.errorString()));
    // Some codecs (MNG among them) report success for a damaged stream and give no
    // pixels; every caller needs a picture with a size.
    if (image.isNull())
        return Result<QImage>::failure(cannotRead(name, QStringLiteral("the data holds no picture")));
    if (exceedsPixelLimit(image.size()))
        return Result<QImage>::failure(tooLarge(name, image.size()));
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1.0);
    return image;
}

// Qt's writer format for a file extension, or nullptr.
const char* writerFormat(const QString& suffix)
{
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "JPEG";
    if (suffix == QLatin1String("png"))
        return "PNG";
    if (suffix == QLatin1String("bmp"))
        return "BMP";
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff"))
        return "TIFF";
    return nullptr;
}

} // namespace

Result<QImage> LoadPicture(const QString& path, const PictureLoadOptions& options)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Result<QImage>::failure(cannotRead(path, QStringLiteral("file not found")));
    if (!info.isFile())
        return Result<QImage>::failure(cannotRead(path, QStringLiteral("not a file")));
    QImageReader reader(path);
    return readPicture(reader, path, options);
}

Result<QImage> LoadPictureFromBytes(const QByteArray& bytes, const QString& sourceName,
                                    const PictureLoadOptions& options)
{
    const QString name = sourceName.isEmpty() ? QStringLiteral("picture data") : sourceName;
    if (bytes.isEmpty())
        return Result<QImage>::failure(cannotRead(name, QStringLiteral("no data")));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readPicture(reader, name, options);
}

Result<QByteArray> EncodePicture(const QImage& image, const QString& path)
{
    if (image.isNull())
        return Result<QByteArray>::failure(QStringLiteral("%1: no picture to save").arg(path));
    const QString suffix = QFileInfo(path).suffix().toLower();
    const char* format = writerFormat(suffix);
    if (!format) {
        const QString named = suffix.isEmpty() ? QStringLiteral("no extension") : QLatin1Char('.') + suffix;
        return Result<QByteArray>::failure(QStringLiteral("%1: cannot save a picture with %2, expected .jpg, .jpeg, .png, .bmp, .tif "
                                      "or .tiff")
                           .arg(path, named));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "JPEG") == 0)
        writer.setQuality(kJpegQuality);
    if (!writer.write(image))
        return Result<QByteArray>::failure(QStringLiteral("%1: cannot write picture (%2)").arg(path, writer.errorString()));
    buffer.close();
    return bytes;
}

Status SavePicture(const QImage& image, const QString& path)
{
    Result<QByteArray> bytes = EncodePicture(image, path);
    if (!bytes) return Failure(bytes.error());
    return writeFileAtomically(path, *bytes);
}
