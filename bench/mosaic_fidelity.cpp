// mosaic_fidelity: how close a mosaic looks to its photo from a distance. Both pictures
// are cut into the same cols x rows cells; each cell gives one sample, the mean of its
// pixels in linear light (sRGB decoded with its transfer curve), converted to CIE L*a*b*
// (sRGB primaries, D65 white); the score is the mean CIE76 Delta E over the cells. Lower
// is closer; about 2 is the smallest difference people notice.
//
// usage: mosaic_fidelity PHOTO MOSAIC [--cols 100] [--rows 100]
// prints "mean_delta_e=<value>" and exits 0, or a message and 1.

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Lab {
    double L, a, b;
};

double srgbToLinear(int v)
{
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Lab linearToLab(double r, double g, double b)
{
    const double X = 0.4124564 * r + 0.3575761 * g + 0.1804375 * b;
    const double Y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double Z = 0.0193339 * r + 0.1191920 * g + 0.9503041 * b;
    const auto f = [](double t) {
        constexpr double d = 6.0 / 29.0;
        return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29.0;
    };
    const double fx = f(X / 0.95047), fy = f(Y / 1.0), fz = f(Z / 1.08883);
    return Lab{116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// One Lab sample per cell: the mean linear colour of the cell's pixels.
std::vector<Lab> cellSamples(const QImage& img, int cols, int rows)
{
    std::array<double, 256> lut{};
    for (int v = 0; v < 256; ++v)
        lut[std::size_t(v)] = srgbToLinear(v);
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    std::vector<double> sum(std::size_t(cols) * rows * 3, 0.0);
    std::vector<long> count(std::size_t(cols) * rows, 0);
    const int W = rgb.width(), H = rgb.height();
    for (int y = 0; y < H; ++y) {
        const int cy = std::min(rows - 1, int(std::int64_t(y) * rows / H));
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < W; ++x) {
            const int cx = std::min(cols - 1, int(std::int64_t(x) * cols / W));
            const std::size_t c = std::size_t(cy) * cols + cx;
            sum[3 * c] += lut[std::size_t(qRed(line[x]))];
            sum[3 * c + 1] += lut[std::size_t(qGreen(line[x]))];
            sum[3 * c + 2] += lut[std::size_t(qBlue(line[x]))];
            ++count[c];
        }
    }
    std::vector<Lab> out(std::size_t(cols) * rows);
    for (std::size_t c = 0; c < out.size(); ++c) {
        const double n = std::max<long>(count[c], 1);
        out[c] = linearToLab(sum[3 * c] / n, sum[3 * c + 1] / n, sum[3 * c + 2] / n);
    }
    return out;
}

int intArg(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: mosaic_fidelity PHOTO MOSAIC [--cols 100] [--rows 100]\n");
        return 2;
    }
    const int cols = intArg(argc, argv, "--cols", 100), rows = intArg(argc, argv, "--rows", 100);
    if (cols < 1 || rows < 1) {
        std::fprintf(stderr, "mosaic_fidelity: --cols and --rows must be at least 1\n");
        return 2;
    }
    QImageReader::setAllocationLimit(0);
    QImage pictures[2];
    for (int k = 0; k < 2; ++k) {
        QImageReader reader(QString::fromLocal8Bit(argv[1 + k]));
        reader.setAutoTransform(true);
        pictures[k] = reader.read();
        if (pictures[k].isNull()) {
            std::fprintf(stderr, "mosaic_fidelity: %s: %s\n", argv[1 + k], qPrintable(reader.errorString()));
            return 1;
        }
    }
    const std::vector<Lab> a = cellSamples(pictures[0], cols, rows), b = cellSamples(pictures[1], cols, rows);
    double total = 0;
    for (std::size_t c = 0; c < a.size(); ++c)
        total += std::sqrt((a[c].L - b[c].L) * (a[c].L - b[c].L) + (a[c].a - b[c].a) * (a[c].a - b[c].a) +
                           (a[c].b - b[c].b) * (a[c].b - b[c].b));
    std::printf("mean_delta_e=%.3f\n", total / double(a.size()));
    return 0;
}
