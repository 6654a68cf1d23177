#include "engine/main_image.h"

#include "engine/workspace.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage halves(int w, int h, QRgb left, QRgb right)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(left);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            img.setPixel(x, y, right);
    return img;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

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

// A JPEG with an APP1 Exif segment holding only the orientation tag, right after the
// start-of-image marker as cameras write it.
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
    return jpeg.left(2) + segment + jpeg.mid(2);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void expectRect(const TRectF& r, float l, float t, float rr, float b)
{
    EXPECT_FLOAT_EQ(r.Left, l);
    EXPECT_FLOAT_EQ(r.Top, t);
    EXPECT_FLOAT_EQ(r.Right, rr);
    EXPECT_FLOAT_EQ(r.Bottom, b);
}

// Colour distance small enough for a smooth or area-averaged draw of a flat region.
void expectNear(QRgb got, QRgb want)
{
    EXPECT_NEAR(qRed(got), qRed(want), 1);
    EXPECT_NEAR(qGreen(got), qGreen(want), 1);
    EXPECT_NEAR(qBlue(got), qBlue(want), 1);
    EXPECT_EQ(qAlpha(got), 255);
}

class MainImage : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    TprojectCFG& cfg = ws->mproject.cfg;
    QTemporaryDir dir;

    void mosaic(double w, double h)
    {
        cfg.WidthPx = w;
        cfg.HeightPx = h;
    }
    QString path(const char* name) const { return QDir(dir.path()).filePath(QLatin1String(name)); }
};

TEST_F(MainImage, APhotoInASquareMosaicGetsACentredSquareOfNinetyPercent)
{
    ASSERT_TRUE(dir.isValid());
    const QString file = path("photo.jpg");
    ASSERT_TRUE(halves(4000, 3000, 0xFF3080C0, 0xFF3080C0).save(file));
    mosaic(8000, 8000);
    for (float scale : {1.0f, 2.0f, 1.5f}) {
        SCOPED_TRACE(scale);
        ws->screenScale = scale;
        const Result<bool> loaded = LoadMainImage(*ws, file, 400, 300);
        ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
        EXPECT_TRUE(loaded.value());
        EXPECT_EQ(ws->mainImage.size(), QSize(4000, 3000));
        EXPECT_EQ(ws->zoomedImage.size(), QSize(int(400 * scale), int(300 * scale)));
        const QSizeF view = CropViewBounds(*ws);
        EXPECT_DOUBLE_EQ(view.width(), 400);
        EXPECT_DOUBLE_EQ(view.height(), 300);

        CropState crop;
        const std::optional<TAlphaColor> colour = AutoCropRect(*ws, crop);
        // 90 % of the smaller side, centred.
        expectRect(crop.cropRect, 65, 15, 335, 285);
        EXPECT_FLOAT_EQ(crop.cropCorners[0].X, 65);
        EXPECT_FLOAT_EQ(crop.cropCorners[1].X, 335);
        EXPECT_FLOAT_EQ(crop.cropCorners[2].Y, 285);
        EXPECT_FLOAT_EQ(crop.cropCorners[3].X, 65);
        EXPECT_FLOAT_EQ(crop.cropCorners[3].Y, 285);
        ASSERT_TRUE(colour.has_value());
        // The photo's colour, after the JPEG round trip.
        EXPECT_NEAR(int((*colour >> 16) & 0xFF), 0x30, 3);
        EXPECT_NEAR(int((*colour >> 8) & 0xFF), 0x80, 3);
        EXPECT_NEAR(int(*colour & 0xFF), 0xC0, 3);
        EXPECT_EQ(*colour >> 24, 0xFFu);
    }
}

TEST_F(MainImage, AutoCropFitsTheMosaicProportionsAndMeasuresTheCropInViewPixels)
{
    struct Case {
        const char* name;
        double W, H;
        TRectF expected;
    };
    const Case cases[] = {
        {"wide mosaic", 8000, 4000, {20, 60, 380, 240}},
        {"tall mosaic", 4000, 8000, {132.5f, 15, 267.5f, 285}},
        {"same proportions as the view", 8000, 6000, {20, 15, 380, 285}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRectF r = AutoCropRectFor(c.W, c.H, QSizeF(400, 300));
        expectRect(r, c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom);
    }
    expectRect(AutoCropRectFor(0, 4000, QSizeF(400, 300)), 0, 0, 0, 0);
    expectRect(AutoCropRectFor(8000, 4000, QSizeF(0, 0)), 0, 0, 0, 0);

    // A red and a blue half; the 2:1 crop (20..380) covers 180 units of each.
    ws->zoomedImage = halves(400, 300, 0xFFFF0000, 0xFF0000FF);
    mosaic(8000, 4000);
    CropState crop;
    const std::optional<TAlphaColor> colour = AutoCropRect(*ws, crop);
    ASSERT_TRUE(colour.has_value());
    EXPECT_EQ(*colour, 0xFF7F007Fu);

    // On a display of scale 2 the view picture has twice the pixels; the crop still
    // covers both halves equally.
    ws->screenScale = 2.0f;
    ws->zoomedImage = halves(800, 600, 0xFFFF0000, 0xFF0000FF);
    const std::optional<TAlphaColor> hiDpi = AutoCropRect(*ws, crop);
    ASSERT_TRUE(hiDpi.has_value());
    EXPECT_EQ(*hiDpi, 0xFF7F007Fu);
    ws->screenScale = 1.0f;

    ws->zoomedImage = QImage();
    EXPECT_FALSE(AutoCropRect(*ws, crop).has_value());
    expectRect(crop.cropRect, 0, 0, 0, 0);
}

TEST(FitCropRect, KeepsTheAnchorCornerAndTruncatesTheLongSide)
{
    struct Case {
        const char* name;
        TRectF rect;
        int anchor;
        double W, H;
        TRectF expected;
    };
    const Case cases[] = {
        {"too wide, left-top", {10, 20, 110, 70}, 0, 1, 1, {10, 20, 60, 70}},
        {"too wide, right-top", {10, 20, 110, 70}, 1, 1, 1, {60, 20, 110, 70}},
        {"too tall, right-bottom", {10, 20, 60, 120}, 2, 1, 1, {10, 70, 60, 120}},
        {"too tall, left-bottom", {10, 20, 60, 120}, 3, 1, 1, {10, 70, 60, 120}},
        {"3:2, truncated height", {0, 0, 100, 100}, 0, 3, 2, {0, 0, 100, 66}},
        {"2:3, truncated width", {0, 0, 100, 100}, 2, 2, 3, {34, 0, 100, 100}},
        {"already right", {5, 5, 45, 25}, 1, 2, 1, {5, 5, 45, 25}},
        {"inside out shrinks to the anchor", {50, 50, 30, 80}, 0, 1, 1, {50, 50, 50, 50}},
        {"no mosaic size", {0, 0, 10, 20}, 0, 0, 1, {0, 0, 10, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRectF r = FitCropRect(c.rect, c.anchor, c.W, c.H);
        expectRect(r, c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom);
    }
}

CropState cropAt(TRectF r)
{
    CropState crop;
    crop.cropRect = r;
    SetCropCorners(crop);
    return crop;
}

TEST(CropCornerAt, FindsTheHandleWithinTwentyUnitsTheLaterOneWinning)
{
    const CropState crop = cropAt({100, 100, 200, 150});
    struct Case {
        const char* name;
        TPointF p;
        int expected;
    };
    const Case cases[] = {
        {"on the left-top", {100, 100}, 0}, {"near the right-top", {190, 110}, 1},
        {"right-bottom", {205, 155}, 2},    {"left-bottom", {85, 150}, 3},
        {"exactly 20 away", {80, 100}, -1}, {"inside, far from all", {150, 125}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CropCornerAt(crop, c.p), c.expected);
    }
    // A tiny rectangle: every corner is near, the last one wins.
    EXPECT_EQ(CropCornerAt(cropAt({100, 100, 105, 105}), TPointF{102, 102}), 3);
}

TEST(CropDrag, CornerDragsStopAtTheViewEdgeWithTheOppositeCornerFixed)
{
    const QSizeF view(400, 300);
    struct Case {
        const char* name;
        TPointF grab, to;
        TRectF expected;
    };
    const Case cases[] = {
        {"right-bottom past the edge", {335, 285}, {500, 400}, {65, 15, 350, 300}},
        {"left-top past the edge", {65, 15}, {-50, -50}, {50, 0, 335, 285}},
        {"right-top past the edge", {335, 15}, {450, -10}, {65, 0, 350, 285}},
        {"left-bottom past the edge", {65, 285}, {-10, 350}, {50, 15, 335, 300}},
        {"right-bottom inwards", {335, 285}, {200, 250}, {65, 15, 200, 150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CropState crop = cropAt({65, 15, 335, 285});
        crop = CropMouseDown(crop, c.grab);
        ASSERT_TRUE(crop.cornerDrag);
        EXPECT_FALSE(crop.rectDrag);
        crop = CropMouseMove(crop, c.to, view, 8000, 8000);
        expectRect(crop.cropRect, c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom);
        EXPECT_FLOAT_EQ(crop.cropCorners[2].X, c.expected.Right);
        EXPECT_FLOAT_EQ(crop.cropCorners[0].Y, c.expected.Top);
        crop = CropMouseUp(crop);
        EXPECT_FALSE(crop.cornerDrag);
    }
}

TEST(CropDrag, MovesAreRefusedPerAxisAtTheViewEdges)
{
    const QSizeF view(400, 300);
    CropState crop = cropAt({65, 15, 335, 285});
    crop = CropMouseDown(crop, TPointF{200, 150});
    ASSERT_TRUE(crop.rectDrag);
    EXPECT_FALSE(crop.cornerDrag);

    // Left by 100 would leave the view; down by 10 fits.
    crop = CropMouseMove(crop, TPointF{100, 160}, view, 8000, 8000);
    expectRect(crop.cropRect, 65, 25, 335, 295);
    // The refused move still moved the reference: right by 10 follows at once, down by 40
    // is refused.
    crop = CropMouseMove(crop, TPointF{110, 200}, view, 8000, 8000);
    expectRect(crop.cropRect, 75, 25, 345, 295);
    // Up to the edges exactly: inclusive.
    crop = CropMouseMove(crop, TPointF{165, 205}, view, 8000, 8000);
    expectRect(crop.cropRect, 130, 30, 400, 300);
    EXPECT_FLOAT_EQ(crop.cropCorners[1].X, 400);

    crop = CropMouseLeave(crop);
    EXPECT_FALSE(crop.rectDrag);
    const TRectF before = crop.cropRect;
    crop = CropMouseMove(crop, TPointF{0, 0}, view, 8000, 8000);
    expectRect(crop.cropRect, before.Left, before.Top, before.Right, before.Bottom);
}

TEST(CropDrag, OnlyRectanglesWiderAndHigherThanTwentyCanBeMoved)
{
    struct Case {
        const char* name;
        TRectF rect;
        TPointF p;
        bool moves;
    };
    const Case cases[] = {
        {"20 wide", {100, 100, 120, 150}, {110, 125}, false},
        {"21 wide", {100, 100, 121, 150}, {110.5f, 125}, true},
        {"20 high", {100, 100, 150, 120}, {125, 110}, false},
        {"outside", {100, 100, 200, 200}, {250, 150}, false},
        {"on the right edge", {100, 100, 200, 200}, {200, 150}, false},
        {"on the left edge", {100, 100, 200, 200}, {100, 150}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CropState crop = CropMouseDown(cropAt(c.rect), c.p);
        EXPECT_EQ(crop.rectDrag, c.moves);
        EXPECT_FALSE(crop.cornerDrag);
    }
}

TEST_F(MainImage, FullSizeImageIsHalfTheWorkingCanvas)
{
    struct Case {
        const char* name;
        double W, H;
        QSize expected;
    };
    const Case cases[] = {
        {"square 8000", 8000, 8000, {4000, 4000}},
        {"wide", 8000, 4000, {4000, 2000}},
        {"odd sizes truncate", 8000, 2975.7, {4000, 1487}},
    };
    ws->mainImage = halves(400, 300, 0xFF102030, 0xFF102030);
    ws->zoomedImage = ws->mainImage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mosaic(c.W, c.H);
        MakeFullSize(*ws, TRectF{10, 10, 110, 110});
        EXPECT_EQ(ws->fullSizeImage.size(), c.expected);
        EXPECT_DOUBLE_EQ(ws->mainImageScale, c.expected.width() / c.W);
    }
}

TEST_F(MainImage, FullSizeImageShowsTheCropShrunkOrEnlargedOnWhite)
{
    struct Case {
        const char* name;
        int photoW, photoH; // red left half, blue right half
        double canvas;      // square working canvas
    };
    const Case cases[] = {
        {"shrinking", 4000, 2000, 1000}, // 2000 photo pixels into 500
        {"enlarging", 400, 200, 8000},   // 200 photo pixels into 4000
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws->mainImage = halves(c.photoW, c.photoH, 0xFFFF0000, 0xFF0000FF);
        ws->zoomedImage = halves(400, 200, 0xFFFF0000, 0xFF0000FF);
        mosaic(c.canvas, c.canvas);
        const int side = int(c.canvas / 2);

        MakeFullSize(*ws, TRectF{200, 0, 400, 200}); // the blue half
        ASSERT_EQ(ws->fullSizeImage.size(), QSize(side, side));
        for (QPoint p : {QPoint(side / 10, side / 10), QPoint(side / 2, side / 2), QPoint(side - 2, side - 2)})
            expectNear(ws->fullSizeImage.pixel(p), 0xFF0000FF);

        MakeFullSize(*ws, TRectF{300, 0, 500, 200}); // half of it beyond the photo
        expectNear(ws->fullSizeImage.pixel(side / 4, side / 2), 0xFF0000FF);
        expectNear(ws->fullSizeImage.pixel(3 * side / 4, side / 2), 0xFFFFFFFF);
        expectNear(ws->fullSizeImage.pixel(side - 1, side - 1), 0xFFFFFFFF);
    }
}

TEST_F(MainImage, FullSizeUsesTheDisplayScaleOfTheView)
{
    // A view at display scale 2: zoomedImage has twice the logical size in pixels.
    ws->screenScale = 2;
    ws->mainImage = halves(400, 200, 0xFFFF0000, 0xFF0000FF);
    ws->zoomedImage = QImage(800, 400, QImage::Format_ARGB32_Premultiplied);
    mosaic(1000, 1000);
    // Logical units of the 400-unit view are photo pixels here; without the display scale
    // the crop would land in the red half.
    MakeFullSize(*ws, TRectF{250, 0, 350, 100});
    expectNear(ws->fullSizeImage.pixel(250, 250), 0xFF0000FF);
    expectNear(ws->fullSizeImage.pixel(20, 20), 0xFF0000FF);
}

TEST_F(MainImage, WithoutAPhotoOrACanvasNothingIsDrawn)
{
    ws->fullSizeImage = QImage(7, 7, QImage::Format_ARGB32_Premultiplied);
    ws->mainImageScale = 0.25;
    mosaic(8000, 8000);
    MakeFullSize(*ws, TRectF{0, 0, 10, 10});
    EXPECT_EQ(ws->fullSizeImage.size(), QSize(7, 7));
    EXPECT_EQ(ws->mainImageScale, 0.25);

    ws->mainImage = halves(40, 20, 0xFFFF0000, 0xFF0000FF);
    ws->zoomedImage = ws->mainImage;
    mosaic(0, 0);
    MakeFullSize(*ws, TRectF{0, 0, 10, 10});
    EXPECT_TRUE(ws->fullSizeImage.isNull());
    EXPECT_EQ(ws->mainImageScale, 0);
}

TEST_F(MainImage, AnExifRotatedPhotoLoadsUpright)
{
    ASSERT_TRUE(dir.isValid());
    // Stored 80 x 40, red left, blue right; orientation 6 turns it clockwise for display,
    // so upright it is 40 x 80 with red on top.
    const QByteArray stored = encoded(halves(80, 40, 0xFFFF0000, 0xFF0000FF), "JPG");
    const QString file = path("phone.jpg");
    ASSERT_TRUE(writeBytes(file, withExifOrientation(stored, 6)));
    const Result<bool> loaded = LoadMainImage(*ws, file, 100, 100);
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_EQ(ws->mainImage.size(), QSize(40, 80));
    expectNear(ws->mainImage.pixel(20, 10) | 0xFF000000, 0xFFFF0000);
    EXPECT_GT(qBlue(ws->mainImage.pixel(20, 70)), 200);
    EXPECT_LT(qRed(ws->mainImage.pixel(20, 70)), 60);
    EXPECT_EQ(ws->zoomedImage.size(), QSize(50, 100));
}

TEST_F(MainImage, AnUnreadablePictureIsAnErrorAndKeepsThePreviousImage)
{
    ASSERT_TRUE(dir.isValid());
    const QString good = path("good.png");
    ASSERT_TRUE(halves(60, 30, 0xFF00FF00, 0xFF00FF00).save(good));
    ASSERT_TRUE(LoadMainImage(*ws, good, 120, 120).ok());
    const qint64 mainKey = ws->mainImage.cacheKey(), zoomKey = ws->zoomedImage.cacheKey();

    const QString bad = path("broken.jpg");
    ASSERT_TRUE(writeBytes(bad, QByteArray("this is not a picture at all")));
    const Result<bool> loaded = LoadMainImage(*ws, bad, 120, 120);
    ASSERT_FALSE(loaded.ok());
    EXPECT_TRUE(loaded.error().contains(QLatin1String("broken.jpg"))) << loaded.error().toStdString();
    EXPECT_EQ(ws->mainImage.cacheKey(), mainKey);
    EXPECT_EQ(ws->zoomedImage.cacheKey(), zoomKey);

    const Result<bool> missing = LoadMainImage(*ws, path("nothing-here.jpg"), 120, 120);
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing.value());
    EXPECT_EQ(ws->mainImage.cacheKey(), mainKey);
}

TEST_F(MainImage, LoadsFromAStreamAndIgnoresAnEmptyOne)
{
    QByteArray none;
    QBuffer empty(&none);
    ASSERT_TRUE(empty.open(QIODevice::ReadOnly));
    const Result<bool> nothing = LoadMainImageFromStream(*ws, empty, 100, 100);
    ASSERT_TRUE(nothing.ok());
    EXPECT_FALSE(nothing.value());
    EXPECT_TRUE(ws->mainImage.isNull());

    QByteArray png = encoded(halves(64, 32, 0xFFFF0000, 0xFF0000FF), "PNG");
    QBuffer stream(&png);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    const Result<bool> loaded = LoadMainImageFromStream(*ws, stream, 100, 100);
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_TRUE(loaded.value());
    EXPECT_EQ(ws->mainImage.size(), QSize(64, 32));
    EXPECT_EQ(ws->zoomedImage.size(), QSize(100, 50));
    EXPECT_EQ(ws->zoomedImage.pixel(10, 10), 0xFFFF0000u);

    QByteArray junk("garbage bytes");
    QBuffer bad(&junk);
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_FALSE(LoadMainImageFromStream(*ws, bad, 100, 100, QStringLiteral("sample")).ok());
    EXPECT_EQ(ws->mainImage.size(), QSize(64, 32));
}

} // namespace
