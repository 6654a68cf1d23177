#pragma once
// Packing and unpacking of colour values, RGB to CIE L*a*b* and RGB <-> HSV, the
// saturation-and-brightness boost and the two colour-difference measures the tile
// search ranks with.
//
// Shared rules: channel values are integers 0..255 (nothing here clamps or masks unless
// it says so); TAlphaColor is 0xAARRGGBB. "Round" is to the nearest integer with halves
// to the even neighbour, "Trunc" toward zero, "Floor" toward minus infinity; all other
// arithmetic is in double precision. Every function is pure and allocation-free.

#include "imaging/color_records.h"

#include <cstdint>

// The 8 x 8 weights (row * 8 + column) that favour the disc inscribed in the square;
// they sum to 424. Corner weights are zero.
// clang-format off
inline constexpr std::int32_t CenterWeights[64] = {
    0, 0,  3,  7,  7,  3,  0, 0,
    0, 8,  9,  10, 10, 9,  8, 0,
    3, 9,  10, 10, 10, 10, 9, 3,
    7, 10, 10, 10, 10, 10, 10, 7,
    7, 10, 10, 10, 10, 10, 10, 7,
    3, 9,  10, 10, 10, 10, 9, 3,
    0, 8,  9,  10, 10, 9,  8, 0,
    0, 0,  3,  7,  7,  3,  0, 0,
};
// clang-format on
inline constexpr std::int32_t kCenterWeightSum = 424;

// The three fields of the mosaic options that ImgColorDiff reads. RGBMatch true is
// "RGB Match" (plain RGB distance), false "Light-RGB Match" (weighted L* plus RGB).
struct ColorMatchSettings {
    float WeightL;
    float WeightC;
    bool RGBMatch;
};

// The starting value of both weights in the new-project window's options.
inline constexpr float kDefaultMatchWeight = 0.7950819730758667f;

// a * 2^24 + r * 2^16 + g * 2^8 + b, without masking.
inline constexpr TAlphaColor MakeColor(int r, int g, int b, int a)
{
    return static_cast<TAlphaColor>(a) * 16777216u + static_cast<TAlphaColor>(r) * 65536u +
           static_cast<TAlphaColor>(g) * 256u + static_cast<TAlphaColor>(b);
}

inline constexpr void SplitColor(TAlphaColor c, int& a, int& r, int& g, int& b)
{
    a = static_cast<int>((c >> 24) & 0xFF);
    r = static_cast<int>((c >> 16) & 0xFF);
    g = static_cast<int>((c >> 8) & 0xFF);
    b = static_cast<int>(c & 0xFF);
}

// The low byte of each argument.
inline constexpr Trgba MakeRgba(int r, int g, int b, int a)
{
    return Trgba{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b),
                 static_cast<std::uint8_t>(a)};
}

// L* 0..100 and a*, b* offset by 128, from the channel values taken directly as the
// D65 tristimulus inputs (no gamma linearisation: mid-grey 128 is L 76).
void RGBToLab(int r, int g, int b, int& L, int& aPlus128, int& bPlus128);

// Hue in degrees 0..360, saturation and value in percent. Greys have H 0 and S 0;
// black has V 0.
void RGBToHSV(int r, int g, int b, double& H, double& S, double& V);

// Channels truncated from the HSV colour, and gray = Trunc(0.299 r + 0.587 g + 0.114 b).
// Values above 100 % are not clamped.
void HSVToRGB(double H, double S, double V, int& r, int& g, int& b, int& gray);

// Saturation and value multiplied by `factor` (each capped at 100 %); alpha becomes 255.
// Both conversions truncate, so factor 1 may lower a channel by one.
TAlphaColor EnhanceColor(TAlphaColor c, float factor);

// Fills Lab, rgb (alpha 255) and rgba (alpha 255) of `info` from R, G, B; hsl is left.
void CompleteColorInfo(TColorInfo15& info, int R, int G, int B);

// Sum over ci1 and the four ci4 entries: dR^2 + dG^2 + dB^2 of the rgba bytes, or, in
// Light-RGB mode, WeightL * dL^2 + WeightC * (dR^2 + dG^2 + dB^2) with L the Lab X.
// 0 for equal records; symmetric. ci64 is not read.
double ImgColorDiff(const TimgColorInfo& A, const TimgColorInfo& B, const ColorMatchSettings& settings);

// In 32-bit integers: sum over the 64 ci64 entries of CenterWeights[k] * (dR^2 + dG^2 +
// dB^2) plus the unweighted term of ci1. At most 82,906,875.
std::int32_t ImgColorDiff64(const TimgColorInfo& A, const TimgColorInfo& B);
