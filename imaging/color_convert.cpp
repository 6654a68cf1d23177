#include "imaging/color_convert.h"

#include <algorithm>
#include <cmath>

namespace {

// Halves to the even neighbour; independent of the floating-point rounding mode.
inline int roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5) return static_cast<int>(f) + 1;
    if (diff < 0.5) return static_cast<int>(f);
    const int i = static_cast<int>(f);
    return (i % 2 == 0) ? i : i + 1;
}

inline double labF(double t)
{
    return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0;
}

inline std::int32_t rgbDistance2(const Trgba& a, const Trgba& b)
{
    const std::int32_t dr = std::int32_t(a.r) - std::int32_t(b.r);
    const std::int32_t dg = std::int32_t(a.g) - std::int32_t(b.g);
    const std::int32_t db = std::int32_t(a.b) - std::int32_t(b.b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

void RGBToLab(int r, int g, int b, int& L, int& aPlus128, int& bPlus128)
{
    // 242.36628 and 277.63227 are 255 times the D65 white point's X and Z.
    const double X = (0.412453 * r + 0.357580 * g + 0.180423 * b) / 242.36628;
    const double Y = (0.212671 * r + 0.715160 * g + 0.072169 * b) / 255.0;
    const double Z = (0.019334 * r + 0.119193 * g + 0.950227 * b) / 277.63227;
    const double fy = labF(Y);
    L = Y > 0.008856 ? roundHalfEven(116.0 * std::cbrt(Y) - 16.0) : roundHalfEven(903.3 * Y);
    aPlus128 = roundHalfEven(500.0 * (labF(X) - fy)) + 128;
    bPlus128 = roundHalfEven(200.0 * (fy - labF(Z))) + 128;
}

void RGBToHSV(int r, int g, int b, double& H, double& S, double& V)
{
    const int mx = std::max(r, std::max(g, b));
    const int mn = std::min(r, std::min(g, b));
    const int delta = mx - mn;
    const double s255 = mx != 0 ? double(delta) * 255.0 / mx : 0.0;
    H = 0;
    if (s255 != 0) {
        if (r == mx)
            H = double((g - b) * 60) / delta + 360.0;
        else if (g == mx)
            H = double((b - r) * 60) / delta + 120.0;
        else
            H = double((r - g) * 60) / delta + 240.0;
    }
    while (H >= 360)
        H -= 360;
    while (H < 0)
        H += 360;
    S = s255 * 100.0 / 255.0;
    V = double(mx) * 100.0 / 255.0;
}

void HSVToRGB(double H, double S, double V, int& r, int& g, int& b, int& gray)
{
    const double h = H / 360.0;
    const double s = S / 100.0;
    const double v = V / 100.0;
    double rr, gg, bb;
    if (s == 0) {
        rr = gg = bb = v;
    } else {
        const double h6 = (h - std::floor(h)) * 6.0;
        int i = static_cast<int>(std::trunc(h6));
        // A hue a hair below a multiple of 360 makes h - Floor(h) round to 1.0, so h6 is
        // 6; that is hue 0, sector 0 (f is then 0 as well).
        if (i >= 6 || i < 0) i = 0;
        const double f = h6 - std::floor(h6);
        const double p = v * (1.0 - s);
        const double q = v * (1.0 - s * f);
        const double t = v * (1.0 - s * (1.0 - f));
        // clang-format off
        switch (i) {
        case 0: rr = v; gg = t; bb = p; break;
        case 1: rr = q; gg = v; bb = p; break;
        case 2: rr = p; gg = v; bb = t; break;
        case 3: rr = p; gg = q; bb = v; break;
        case 4: rr = t; gg = p; bb = v; break;
        default: rr = v; gg = p; bb = q; break;
        }
        // clang-format on
    }
    r = static_cast<int>(std::trunc(rr * 255.0));
    g = static_cast<int>(std::trunc(gg * 255.0));
    b = static_cast<int>(std::trunc(bb * 255.0));
    gray = static_cast<int>(std::trunc(0.299 * r + 0.587 * g + 0.114 * b));
}

TAlphaColor EnhanceColor(TAlphaColor c, float factor)
{
    int a, r, g, b;
    SplitColor(c, a, r, g, b);
    double H, S, V;
    RGBToHSV(r, g, b, H, S, V);
    S = std::min(S * double(factor), 100.0);
    V = std::min(V * double(factor), 100.0);
    int gray;
    HSVToRGB(H, S, V, r, g, b, gray);
    return MakeColor(r, g, b, 255);
}

void CompleteColorInfo(TColorInfo15& info, int R, int G, int B)
{
    int L, ap, bp;
    RGBToLab(R, G, B, L, ap, bp);
    info.Lab = TVector4{float(L), float(ap - 128), float(bp - 128), 1.0f};
    info.rgb = MakeColor(R, G, B, 255);
    info.rgba = MakeRgba(R, G, B, 255);
}

double ImgColorDiff(const TimgColorInfo& A, const TimgColorInfo& B, const ColorMatchSettings& settings)
{
    const TColorInfo15* a[5] = {&A.ci1, &A.ci4[0], &A.ci4[1], &A.ci4[2], &A.ci4[3]};
    const TColorInfo15* b[5] = {&B.ci1, &B.ci4[0], &B.ci4[1], &B.ci4[2], &B.ci4[3]};
    double sum = 0;
    if (settings.RGBMatch) {
        for (int k = 0; k < 5; ++k)
            sum += double(rgbDistance2(a[k]->rgba, b[k]->rgba));
    } else {
        const double wl = settings.WeightL;
        const double wc = settings.WeightC;
        for (int k = 0; k < 5; ++k) {
            const double dl = double(a[k]->Lab.X) - double(b[k]->Lab.X);
            sum += wl * (dl * dl) + wc * double(rgbDistance2(a[k]->rgba, b[k]->rgba));
        }
    }
    return sum;
}

std::int32_t ImgColorDiff64(const TimgColorInfo& A, const TimgColorInfo& B)
{
    std::int32_t sum = 0;
    for (int k = 0; k < 64; ++k)
        sum += CenterWeights[k] * rgbDistance2(A.ci64[k].rgba, B.ci64[k].rgba);
    return sum + rgbDistance2(A.ci1.rgba, B.ci1.rgba);
}
