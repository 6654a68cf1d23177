// make_bench_photos: the photos the peer comparison feeds to both mosaic programs, made
// the same way on every machine: tile photos (colour fields, gradients, a few shapes
// and grain, as holiday snapshots look from far away) and one square main photo of a
// landscape with sky, sun, hills, water and trees.
//
// usage: make_bench_photos OUT_DIR [--tiles 500] [--tile-width 1600] [--tile-height 1200]
//                          [--photo-size 2000] [--seed 1] [--photo-from FILE]
// writes OUT_DIR/tiles/tileNNNN.jpg (none with --tiles 0) and OUT_DIR/photo.jpg, the
// landscape or, with --photo-from, the largest centred square of FILE scaled to the
// photo size.

#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

QColor randomColour(std::mt19937& rng)
{
    // Hues of everything, saturation and value spread like photos: many muted colours.
    std::uniform_int_distribution<int> hue(0, 359);
    std::normal_distribution<double> sat(110, 60), val(140, 60);
    return QColor::fromHsv(hue(rng), std::clamp(int(sat(rng)), 0, 255), std::clamp(int(val(rng)), 10, 255));
}

void addGrain(QImage& img, std::mt19937& rng, int amount)
{
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(rng() % (2 * amount + 1)) - amount;
            auto c = [n](int v) { return std::clamp(v + n, 0, 255); };
            line[x] = qRgb(c(qRed(line[x])), c(qGreen(line[x])), c(qBlue(line[x])));
        }
    }
}

QImage tilePhoto(std::mt19937& rng, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, w * (rng() % 100) / 100.0, h);
    const QColor a = randomColour(rng);
    g.setColorAt(0, a);
    g.setColorAt(1, a.darker(100 + int(rng() % 80)));
    p.fillRect(img.rect(), g);
    const int shapes = 2 + int(rng() % 5);
    for (int s = 0; s < shapes; ++s) {
        QColor c = (rng() % 3 == 0) ? randomColour(rng) : a.lighter(80 + int(rng() % 60));
        c.setAlpha(120 + int(rng() % 136));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const double x = double(rng() % w), y = double(rng() % h);
        const double rx = w * (0.05 + (rng() % 30) / 100.0), ry = h * (0.05 + (rng() % 30) / 100.0);
        if (rng() % 2)
            p.drawEllipse(QPointF(x, y), rx, ry);
        else
            p.drawRect(QRectF(x - rx, y - ry, 2 * rx, 2 * ry));
    }
    p.end();
    addGrain(img, rng, 6);
    return img;
}

QImage landscape(std::mt19937& rng, int side)
{
    QImage img(side, side, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, side * 0.55);
    sky.setColorAt(0, QColor(30, 70, 160));
    sky.setColorAt(0.7, QColor(140, 180, 230));
    sky.setColorAt(1, QColor(250, 200, 150));
    p.fillRect(img.rect(), sky);
    QRadialGradient sun(QPointF(side * 0.72, side * 0.22), side * 0.12);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(0.4, QColor(255, 220, 120));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(img.rect(), sun);
    const QColor hills[3] = {QColor(90, 110, 140), QColor(60, 120, 70), QColor(40, 90, 40)};
    for (int k = 0; k < 3; ++k) {
        QPainterPath path;
        const double base = side * (0.45 + 0.08 * k);
        path.moveTo(0, side);
        for (int x = 0; x <= side; x += side / 40) {
            const double y = base - side * 0.06 * std::sin(x * (3.0 + k) / side + k) -
                             side * 0.03 * std::sin(x * 11.0 / side + 2 * k);
            path.lineTo(x, y);
        }
        path.lineTo(side, side);
        path.closeSubpath();
        p.fillPath(path, hills[k]);
    }
    QLinearGradient water(0, side * 0.7, 0, side);
    water.setColorAt(0, QColor(70, 120, 170));
    water.setColorAt(1, QColor(20, 50, 90));
    p.fillRect(QRectF(0, side * 0.72, side, side * 0.28), water);
    for (int t = 0; t < 14; ++t) {
        const double x = side * (0.05 + 0.065 * t), y = side * (0.66 + 0.01 * (t % 3));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 50, 30));
        p.drawRect(QRectF(x - side * 0.004, y, side * 0.008, side * 0.06));
        p.setBrush(QColor(30 + 10 * (t % 4), 100 + 12 * (t % 5), 40));
        p.drawEllipse(QPointF(x, y), side * 0.025, side * 0.04);
    }
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(side * 0.55, side * 0.62, side * 0.1, side * 0.07));
    p.setBrush(QColor(120, 30, 30));
    QPolygonF roof;
    roof << QPointF(side * 0.54, side * 0.62) << QPointF(side * 0.6, side * 0.56) << QPointF(side * 0.66, side * 0.62);
    p.drawPolygon(roof);
    p.end();
    addGrain(img, rng, 4);
    return img;
}

int intArg(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

const char* textArg(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: make_bench_photos OUT_DIR [--tiles 500] [--tile-width 1600] "
                             "[--tile-height 1200] [--photo-size 2000] [--seed 1]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int tiles = intArg(argc, argv, "--tiles", 500);
    const int tw = intArg(argc, argv, "--tile-width", 1600), th = intArg(argc, argv, "--tile-height", 1200);
    const int side = intArg(argc, argv, "--photo-size", 2000);
    std::mt19937 rng(std::uint32_t(intArg(argc, argv, "--seed", 1)));
    if (!QDir().mkpath(out + QStringLiteral("/tiles"))) {
        std::fprintf(stderr, "make_bench_photos: cannot create %s/tiles\n", argv[1]);
        return 1;
    }
    for (int i = 0; i < tiles; ++i) {
        const QString path = QStringLiteral("%1/tiles/tile%2.jpg").arg(out).arg(i, 4, 10, QLatin1Char('0'));
        if (Status st = SavePicture(tilePhoto(rng, tw, th), path); !st) {
            std::fprintf(stderr, "make_bench_photos: %s\n", qPrintable(st.error()));
            return 1;
        }
    }
    QImage photo;
    if (const char* from = textArg(argc, argv, "--photo-from")) {
        Result<QImage> loaded = LoadPicture(QString::fromLocal8Bit(from));
        if (!loaded) {
            std::fprintf(stderr, "make_bench_photos: %s\n", qPrintable(loaded.error()));
            return 1;
        }
        photo = ResizeFill(*loaded, side, side).convertToFormat(QImage::Format_RGB32);
    } else {
        photo = landscape(rng, side);
    }
    if (Status st = SavePicture(photo, out + QStringLiteral("/photo.jpg")); !st) {
        std::fprintf(stderr, "make_bench_photos: %s\n", qPrintable(st.error()));
        return 1;
    }
    return 0;
}
