#include "imaging/picture_io.h"

#include "platform/file_io.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

// Four quadrants: red, green / blue, white.
QImage quadrants(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, QColor::fromRgba(kRed));
    p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor::fromRgba(kGreen));
    p.fillRect(0, h / 2, w / 2, h - h / 2, QColor::fromRgba(kBlue));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor::fromRgba(kWhite));
    return img;
}

// Left half red, right half blue.
QImage halves(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, QColor::fromRgba(kRed));
    p.fillRect(w / 2, 0, w - w / 2, h, QColor::fromRgba(kBlue));
    return img;
}

::testing::AssertionResult colourNear(const QImage& img, int x, int y, QRgb expected, int tolerance)
{
    const QRgb got = img.pixelColor(x, y).rgba();
    const int d[] = {qRed(got) - qRed(expected), qGreen(got) - qGreen(expected), qBlue(got) - qBlue(expected),
                     qAlpha(got) - qAlpha(expected)};
    for (int v : d)
        if (std::abs(v) > tolerance)
            return ::testing::AssertionFailure()
                   << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected " << expected;
    return ::testing::AssertionSuccess();
}

QByteArray encode(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(img)) << writer.errorString().toStdString();
    return bytes;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putFile(const QString& path, const QByteArray& bytes) { ASSERT_TRUE(writeFileAtomically(path, bytes).ok()); }

void appendLE16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void appendLE32(QByteArray& b, quint32 v)
{
    appendLE16(b, quint16(v & 0xFFFF));
    appendLE16(b, quint16(v >> 16));
}
void appendBE32(QByteArray& b, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b.append(char((v >> shift) & 0xFF));
}

// A JPEG with an APP1 Exif segment holding only the orientation tag, placed right after
// the start-of-image marker as cameras write it.
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray tiff("II\x2A\x00", 4);
    appendLE32(tiff, 8);      // first IFD right after the header
    appendLE16(tiff, 1);      // one entry
    appendLE16(tiff, 0x0112); // Orientation
    appendLE16(tiff, 3);      // SHORT
    appendLE32(tiff, 1);      // one value
    appendLE16(tiff, quint16(orientation));
    appendLE16(tiff, 0);
    appendLE32(tiff, 0); // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const int length = payload.size() + 2;
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    segment += payload;
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    return jpeg.left(2) + segment + jpeg.mid(2);
}

quint32 crc32(const QByteArray& data)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : data) {
        c ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void appendPngChunk(QByteArray& png, const QByteArray& typeAndData)
{
    appendBE32(png, quint32(typeAndData.size() - 4));
    png += typeAndData;
    appendBE32(png, crc32(typeAndData));
}

// A PNG claiming w x h pixels whose image data is empty.
QByteArray pngHeaderOnly(quint32 w, quint32 h)
{
    QByteArray header("IHDR");
    appendBE32(header, w);
    appendBE32(header, h);
    header.append(QByteArray("\x08\x02\x00\x00\x00", 5)); // 8-bit RGB, no interlace
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    appendPngChunk(png, header);
    appendPngChunk(png, "IDAT");
    appendPngChunk(png, "IEND");
    return png;
}

// A BMP file and info header claiming w x h 24-bit pixels, with no pixel data.
QByteArray bmpHeaderOnly(quint32 w, quint32 h)
{
    QByteArray bmp("BM");
    appendLE32(bmp, 54 + 3 * w * h);
    appendLE32(bmp, 0);
    appendLE32(bmp, 54);
    appendLE32(bmp, 40);
    appendLE32(bmp, w);
    appendLE32(bmp, h);
    appendLE16(bmp, 1);
    appendLE16(bmp, 24);
    for (int i = 0; i < 6; ++i)
        appendLE32(bmp, 0);
    return bmp;
}

} // namespace

TEST(SavePicture, WritesTheFormatItsExtensionNamesAndReadsBack)
{
    struct Case {
        const char* name;
        const char* file;
        QByteArray magic, altMagic;
        int tolerance;
    };
    const Case cases[] = {
        {"png", "out.png", QByteArray("\x89PNG", 4), {}, 0},
        {"upper-case png", "OUT.PNG", QByteArray("\x89PNG", 4), {}, 0},
        {"bmp", "out.bmp", "BM", {}, 0},
        {"tif", "out.tif", QByteArray("II\x2A\x00", 4), QByteArray("MM\x00\x2A", 4), 0},
        {"tiff", "out.tiff", QByteArray("II\x2A\x00", 4), QByteArray("MM\x00\x2A", 4), 0},
        {"jpg", "out.jpg", QByteArray("\xFF\xD8\xFF", 3), {}, 12},
        {"jpeg", "out.jpeg", QByteArray("\xFF\xD8\xFF", 3), {}, 12},
    };
    QTemporaryDir dir;
    const QImage picture = quadrants(64, 48);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.file);
        const Status saved = SavePicture(picture, path);
        ASSERT_TRUE(saved.ok()) << saved.error().toStdString();
        const QByteArray bytes = fileBytes(path);
        EXPECT_TRUE(bytes.startsWith(c.magic) || (!c.altMagic.isEmpty() && bytes.startsWith(c.altMagic)));
        const Result<QImage> loaded = LoadPicture(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        EXPECT_EQ(loaded->format(), QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(loaded->size(), QSize(64, 48));
        EXPECT_TRUE(colourNear(*loaded, 8, 8, kRed, c.tolerance));
        EXPECT_TRUE(colourNear(*loaded, 56, 8, kGreen, c.tolerance));
        EXPECT_TRUE(colourNear(*loaded, 8, 40, kBlue, c.tolerance));
        EXPECT_TRUE(colourNear(*loaded, 56, 40, kWhite, c.tolerance));
    }
}

TEST(SavePicture, JpegIsWrittenAtQuality90)
{
    // Quality shows in the size: a noisy picture at the codec's default (75) is smaller.
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * x + y * 7) % 256, (x * y) % 256));
    QTemporaryDir dir;
    const QString path = dir.filePath("q.jpg");
    ASSERT_TRUE(SavePicture(noise, path).ok());
    QByteArray q90, q75;
    {
        QBuffer b(&q90);
        b.open(QIODevice::WriteOnly);
        QImageWriter w(&b, "JPEG");
        w.setQuality(90);
        ASSERT_TRUE(w.write(noise));
    }
    q75 = encode(noise, "JPEG");
    EXPECT_EQ(fileBytes(path), q90);
    EXPECT_NE(q90.size(), q75.size());
}

TEST(SavePicture, PngAndTiffKeepAlpha)
{
    QImage translucent(8, 8, QImage::Format_ARGB32);
    translucent.fill(QColor(255, 0, 0, 128));
    QTemporaryDir dir;
    for (const char* file : {"a.png", "a.tif"}) {
        SCOPED_TRACE(file);
        const QString path = dir.filePath(file);
        ASSERT_TRUE(SavePicture(translucent, path).ok());
        const Result<QImage> loaded = LoadPicture(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        EXPECT_TRUE(colourNear(*loaded, 3, 3, 0x80FF0000, 1));
    }
}

TEST(SavePicture, RefusesUnknownExtensionsAndNullPictures)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        const char* file;
        const char* mentions;
    };
    const Case cases[] = {{"gif", "out.gif", ".gif"}, {"no extension", "out", "no extension"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.file);
        const Status st = SavePicture(quadrants(8, 8), path);
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(path)) << st.error().toStdString();
        EXPECT_TRUE(st.error().contains(c.mentions)) << st.error().toStdString();
        EXPECT_TRUE(st.error().contains(".jpg")) << "names what is expected";
        EXPECT_FALSE(QFile::exists(path));
    }
    const Status none = SavePicture(QImage(), dir.filePath("x.png"));
    EXPECT_FALSE(none.ok());
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
}

namespace {
bool failEveryWrite(const QString&) { return false; }
} // namespace

TEST(SavePicture, AFailedWriteKeepsThePreviousPicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("mainimage.png");
    ASSERT_TRUE(SavePicture(quadrants(16, 16), path).ok());
    const QByteArray before = fileBytes(path);
    setWriteFaultHook(&failEveryWrite);
    const Status st = SavePicture(halves(32, 32), path);
    setWriteFaultHook(nullptr);
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(fileBytes(path), before);
}

TEST(LoadPicture, RecognisesTheFormatFromTheContent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    putFile(path, encode(quadrants(20, 10), "PNG"));
    const Result<QImage> loaded = LoadPicture(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_EQ(loaded->size(), QSize(20, 10));
    EXPECT_TRUE(colourNear(*loaded, 2, 2, kRed, 0)) << "decoded losslessly as the PNG it is";
}

TEST(LoadPicture, AppliesTheExifOrientation)
{
    // Stored 40 x 20, left half red, right half blue.
    const QByteArray plain = encode(halves(40, 20), "JPEG");
    struct Case {
        const char* name;
        int orientation;
        QSize size;
        QPoint redAt, blueAt;
    };
    const Case cases[] = {
        {"upright", 1, QSize(40, 20), QPoint(5, 10), QPoint(35, 10)},
        // A phone held upright: turn clockwise, the left edge comes to the top.
        {"rotate 90 clockwise", 6, QSize(20, 40), QPoint(10, 5), QPoint(10, 35)},
        {"rotate 180", 3, QSize(40, 20), QPoint(35, 10), QPoint(5, 10)},
        {"rotate 90 anticlockwise", 8, QSize(20, 40), QPoint(10, 35), QPoint(10, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<QImage> loaded = LoadPictureFromBytes(withExifOrientation(plain, c.orientation), "phone.jpg");
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        ASSERT_EQ(loaded->size(), c.size);
        EXPECT_TRUE(colourNear(*loaded, c.redAt.x(), c.redAt.y(), kRed, 40));
        EXPECT_TRUE(colourNear(*loaded, c.blueAt.x(), c.blueAt.y(), kBlue, 40));
    }
}

TEST(LoadPicture, RefusesPicturesAbove200MegapixelsFromTheHeader)
{
    struct Case {
        const char* name;
        const char* file;
        QByteArray bytes;
        const char* size;
    };
    const Case cases[] = {
        {"png of 210 megapixels", "huge.png", pngHeaderOnly(15000, 14000), "15000 x 14000"},
        {"bmp of 225 megapixels", "huge.bmp", bmpHeaderOnly(15000, 15000), "15000 x 15000"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.file);
        putFile(path, c.bytes);
        const Result<QImage> loaded = LoadPicture(path);
        ASSERT_FALSE(loaded.ok());
        EXPECT_TRUE(loaded.error().contains(path)) << loaded.error().toStdString();
        EXPECT_TRUE(loaded.error().contains(c.size)) << loaded.error().toStdString();
        EXPECT_TRUE(loaded.error().contains("at most 200 megapixels")) << loaded.error().toStdString();
    }
}

TEST(LoadPicture, ReadsPhotosBeyondTheCodecsDefaultAllocationLimit)
{
    // 6000 x 6000 is 144 MB as 32-bit pixels, above Qt's default limit of 128 MB.
    QImage big(6000, 6000, QImage::Format_RGB32);
    big.fill(QColor(10, 200, 30));
    const QByteArray jpeg = encode(big, "JPEG");
    big = QImage();
    QTemporaryDir dir;
    const QString path = dir.filePath("big.jpg");
    putFile(path, jpeg);

    const int previous = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(128);
    {
        QImageReader plainReader(path);
        EXPECT_TRUE(plainReader.read().isNull()) << "the default limit refuses it";
    }
    const Result<QImage> loaded = LoadPicture(path);
    QImageReader::setAllocationLimit(previous);
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_EQ(loaded->size(), QSize(6000, 6000));
    EXPECT_TRUE(colourNear(*loaded, 3000, 3000, qRgb(10, 200, 30), 4));
}

TEST(LoadPicture, ScaledDecodingKeepsTwiceTheRequestedSize)
{
    const QByteArray landscape = encode(quadrants(800, 400), "JPEG");
    const QByteArray portraitPhone = withExifOrientation(landscape, 6); // upright 400 x 800
    struct Case {
        const char* name;
        QByteArray bytes;
        QSize minSize;
        QSize expected;
    };
    const Case cases[] = {
        {"no minimum", landscape, QSize(), QSize(800, 400)},
        {"width limits", landscape, QSize(60, 10), QSize(120, 60)},
        {"sides rounded up", landscape, QSize(7, 7), QSize(28, 14)},
        {"not four times larger", landscape, QSize(150, 150), QSize(800, 400)},
        // The minimum is upright; the decoder works on the stored, sideways picture.
        {"quarter turn, wide minimum", portraitPhone, QSize(100, 50), QSize(200, 400)},
        {"quarter turn, tall minimum", portraitPhone, QSize(50, 100), QSize(100, 200)},
        {"quarter turn, too large", portraitPhone, QSize(150, 150), QSize(400, 800)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<QImage> loaded = LoadPictureFromBytes(c.bytes, "photo.jpg", PictureLoadOptions{c.minSize});
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        EXPECT_EQ(loaded->size(), c.expected);
        if (c.minSize.isValid()) {
            EXPECT_GE(loaded->width(), 2 * c.minSize.width());
            EXPECT_GE(loaded->height(), 2 * c.minSize.height());
        }
        // Still the whole picture, the right way up.
        const QImage& img = *loaded;
        const bool turned = img.height() > img.width();
        const QPoint red(turned ? img.width() * 3 / 4 : img.width() / 4, img.height() / 4);
        EXPECT_TRUE(colourNear(img, red.x(), red.y(), kRed, 40));
    }
}

TEST(LoadPicture, CodecsWithoutScaledDecodingGiveTheFullPicture)
{
    const Result<QImage> loaded =
        LoadPictureFromBytes(encode(quadrants(400, 200), "BMP"), "photo.bmp", PictureLoadOptions{QSize(10, 10)});
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_EQ(loaded->size(), QSize(400, 200));
}

TEST(LoadPicture, UnreadableFilesNameThePathAndTheReason)
{
    QTemporaryDir dir;
    const QString garbage = dir.filePath("garbage.jpg");
    putFile(garbage, QByteArray(500, '\x5A'));
    const QString empty = dir.filePath("empty.png");
    putFile(empty, QByteArray());
    QByteArray brokenPng = encode(quadrants(64, 64), "PNG");
    const int idat = brokenPng.indexOf("IDAT");
    ASSERT_GT(idat, 0);
    for (int i = idat + 8; i < idat + 40 && i < brokenPng.size(); ++i)
        brokenPng[i] = char(0xFF);
    const QString broken = dir.filePath("broken.png");
    putFile(broken, brokenPng);
    struct Case {
        const char* name;
        QString path;
    };
    const Case cases[] = {{"garbage", garbage},
                          {"empty file", empty},
                          {"corrupt data", broken},
                          {"missing", dir.filePath("missing.jpg")},
                          {"a folder", dir.path()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<QImage> loaded = LoadPicture(c.path);
        ASSERT_FALSE(loaded.ok());
        const QString expectedStart = c.path + ": cannot read picture (";
        EXPECT_TRUE(loaded.error().startsWith(expectedStart)) << loaded.error().toStdString();
        EXPECT_TRUE(loaded.error().endsWith(")")) << loaded.error().toStdString();
        EXPECT_GT(loaded.error().size(), expectedStart.size() + 1) << "a reason is given";
    }
}

TEST(LoadPictureFromBytes, NamesTheSourceInMessages)
{
    const Result<QImage> none = LoadPictureFromBytes(QByteArray());
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error(), QStringLiteral("picture data: cannot read picture (no data)"));
    const Result<QImage> bad = LoadPictureFromBytes(QByteArray(64, 'x'), "sample1.jpg");
    ASSERT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error().startsWith("sample1.jpg: cannot read picture (")) << bad.error().toStdString();
}
