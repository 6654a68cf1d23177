#include "imaging/color_convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

TimgColorInfo randomInfo(std::mt19937& rng)
{
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    auto fill = [&](TColorInfo15& e) { CompleteColorInfo(e, rng() % 256, rng() % 256, rng() % 256); };
    fill(info.ci1);
    for (TColorInfo15& e : info.ci4)
        fill(e);
    for (TColorInfo15& e : info.ci64)
        fill(e);
    return info;
}

TimgColorInfo uniformInfo(int r, int g, int b)
{
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    CompleteColorInfo(info.ci1, r, g, b);
    for (TColorInfo15& e : info.ci4)
        CompleteColorInfo(e, r, g, b);
    for (TColorInfo15& e : info.ci64)
        CompleteColorInfo(e, r, g, b);
    return info;
}

constexpr ColorMatchSettings kLightRgb{1.0f, 1.0f, false};
constexpr ColorMatchSettings kRgb{1.0f, 1.0f, true};

} // namespace

TEST(MakeColor, PacksAlphaRedGreenBlue)
{
    EXPECT_EQ(MakeColor(132, 112, 94, 255), 0xFF84705Eu);
    EXPECT_EQ(MakeColor(0, 0, 0, 0), 0u);
    EXPECT_EQ(MakeColor(1, 2, 3, 4), 0x04010203u);
    int a, r, g, b;
    SplitColor(0x80C86432u, a, r, g, b);
    EXPECT_EQ(a, 0x80);
    EXPECT_EQ(r, 200);
    EXPECT_EQ(g, 100);
    EXPECT_EQ(b, 50);
    const Trgba c = MakeRgba(0x1FF, 0x100 + 7, 3, 255);
    EXPECT_EQ(c.r, 0xFF);
    EXPECT_EQ(c.g, 7);
    EXPECT_EQ(c.b, 3);
    EXPECT_EQ(c.a, 255);
}

TEST(RGBToLab, MatchesTheReferenceValues)
{
    struct Case {
        const char* name;
        int r, g, b, L, a, bb;
    };
    const Case cases[] = {
        {"black", 0, 0, 0, 0, 0, 0},
        {"white", 255, 255, 255, 100, 0, 0},
        {"mid grey is L 76", 128, 128, 128, 76, 0, 0},
        {"dark grey takes the linear branch", 2, 2, 2, 7, 0, 0},
        {"red", 255, 0, 0, 53, 80, 67},
        {"green", 0, 255, 0, 88, -86, 83},
        {"blue", 0, 0, 255, 32, 79, -108},
        {"skin", 132, 112, 94, 73, 3, 9},
        {"orange", 200, 100, 50, 74, 17, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int L, ap, bp;
        RGBToLab(c.r, c.g, c.b, L, ap, bp);
        EXPECT_EQ(L, c.L);
        EXPECT_EQ(ap - 128, c.a);
        EXPECT_EQ(bp - 128, c.bb);
    }
}

TEST(RGBToLab, GreysHaveNoColourAndLightnessRisesWithTheGrey)
{
    int previous = -1;
    for (int v = 0; v < 256; ++v) {
        int L, ap, bp;
        RGBToLab(v, v, v, L, ap, bp);
        ASSERT_EQ(ap, 128) << v;
        ASSERT_EQ(bp, 128) << v;
        ASSERT_GE(L, previous) << v;
        ASSERT_LE(L, 100);
        previous = L;
    }
    EXPECT_EQ(previous, 100);
}

TEST(CompleteColorInfo, FillsLabRgbAndRgbaButNotHsl)
{
    TColorInfo15 e;
    std::memset(&e, 0xAB, sizeof e);
    CompleteColorInfo(e, 132, 112, 94);
    EXPECT_EQ(e.Lab.X, 73.0f);
    EXPECT_EQ(e.Lab.Y, 3.0f);
    EXPECT_EQ(e.Lab.Z, 9.0f);
    EXPECT_EQ(e.Lab.W, 1.0f);
    EXPECT_EQ(e.rgb, 0xFF84705Eu);
    EXPECT_EQ(e.rgba.r, 132);
    EXPECT_EQ(e.rgba.g, 112);
    EXPECT_EQ(e.rgba.b, 94);
    EXPECT_EQ(e.rgba.a, 255);
    // The stored bytes: rgb little-endian B, G, R, A at offset 28.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&e);
    EXPECT_EQ(bytes[28], 0x5E);
    EXPECT_EQ(bytes[29], 0x70);
    EXPECT_EQ(bytes[30], 0x84);
    EXPECT_EQ(bytes[31], 0xFF);
    float lab[4];
    std::memcpy(lab, bytes, sizeof lab);
    EXPECT_EQ(lab[0], 73.0f);
    EXPECT_EQ(lab[3], 1.0f);
    for (int i = 16; i < 28; ++i)
        EXPECT_EQ(bytes[i], 0xAB) << "hsl byte " << i;
}

TEST(RGBToHSV, MatchesTheReferenceValues)
{
    struct Case {
        const char* name;
        int r, g, b;
        double H, S, V;
    };
    const Case cases[] = {
        {"orange", 200, 100, 50, 20, 75, 200 * 100.0 / 255},
        {"black without a division by zero", 0, 0, 0, 0, 0, 0},
        {"grey", 128, 128, 128, 0, 0, 128 * 100.0 / 255},
        {"white", 255, 255, 255, 0, 0, 100},
        {"red", 255, 0, 0, 0, 100, 100},
        {"green", 0, 255, 0, 120, 100, 100},
        {"blue", 0, 0, 255, 240, 100, 100},
        {"magenta wraps below 360", 255, 0, 128, 360 - 128 * 60.0 / 255, 100, 100},
        {"yellow", 255, 255, 0, 60, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double H, S, V;
        RGBToHSV(c.r, c.g, c.b, H, S, V);
        EXPECT_NEAR(H, c.H, 1e-9);
        EXPECT_NEAR(S, c.S, 1e-9);
        EXPECT_NEAR(V, c.V, 1e-9);
    }
    double H, S, V;
    RGBToHSV(200, 100, 50, H, S, V);
    EXPECT_NEAR(V, 78.4313725490196, 1e-12);
}

TEST(HSVToRGB, ConvertsBackWithTruncation)
{
    struct Case {
        const char* name;
        int r, g, b, gray;
    };
    const Case cases[] = {
        {"grey", 128, 128, 128, 127}, {"red", 255, 0, 0, 76},        {"green", 0, 255, 0, 149},
        {"blue", 0, 0, 255, 29},      {"white", 255, 255, 255, 255}, {"black", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double H, S, V;
        RGBToHSV(c.r, c.g, c.b, H, S, V);
        int r, g, b, gray;
        HSVToRGB(H, S, V, r, g, b, gray);
        EXPECT_EQ(r, c.r);
        EXPECT_EQ(g, c.g);
        EXPECT_EQ(b, c.b);
        EXPECT_EQ(gray, c.gray);
    }
}

TEST(HSVToRGB, EverySectorOfTheHueCircle)
{
    struct Case {
        double H;
        int r, g, b;
    };
    // Full saturation and value at the middle of each 60-degree sector.
    const Case cases[] = {{30, 255, 127, 0},  {90, 127, 255, 0},  {150, 0, 255, 127},
                          {210, 0, 127, 255}, {270, 127, 0, 255}, {330, 255, 0, 127}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.H);
        int r, g, b, gray;
        HSVToRGB(c.H, 100, 100, r, g, b, gray);
        EXPECT_EQ(r, c.r);
        EXPECT_EQ(g, c.g);
        EXPECT_EQ(b, c.b);
    }
}

TEST(HSVToRGB, AHueJustBelowAFullTurnIsRedNotUndefined)
{
    // h - Floor(h) rounds to 1.0 here, which would select a seventh sector.
    int r = -1, g = -1, b = -1, gray = -1;
    HSVToRGB(-1e-17, 100, 100, r, g, b, gray);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    HSVToRGB(720, 100, 100, r, g, b, gray);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
}

TEST(EnhanceColor, BoostsSaturationAndValueAndSetsAlpha)
{
    struct Case {
        const char* name;
        TAlphaColor in;
        float factor;
        TAlphaColor out;
    };
    const Case cases[] = {
        {"orange", MakeColor(200, 100, 50, 255), 1.5f, MakeColor(255, 84, 0, 255)},
        {"grey", MakeColor(128, 128, 128, 255), 1.5f, MakeColor(192, 192, 192, 255)},
        {"alpha is not kept", MakeColor(128, 128, 128, 0), 1.5f, MakeColor(192, 192, 192, 255)},
        {"black stays black", MakeColor(0, 0, 0, 7), 2.0f, MakeColor(0, 0, 0, 255)},
        {"white is capped", MakeColor(255, 255, 255, 255), 3.0f, MakeColor(255, 255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EnhanceColor(c.in, c.factor), c.out);
    }
}

TEST(ImgColorDiff, IsZeroOnItselfAndSymmetric)
{
    std::mt19937 rng(11);
    for (int i = 0; i < 50; ++i) {
        const TimgColorInfo a = randomInfo(rng);
        const TimgColorInfo b = randomInfo(rng);
        for (const ColorMatchSettings& s : {kLightRgb, kRgb, ColorMatchSettings{0.5f, 5.0f, false}}) {
            EXPECT_EQ(ImgColorDiff(a, a, s), 0.0);
            EXPECT_EQ(ImgColorDiff(a, b, s), ImgColorDiff(b, a, s));
            EXPECT_GT(ImgColorDiff(a, b, s), 0.0);
        }
        EXPECT_EQ(ImgColorDiff64(a, a), 0);
        EXPECT_EQ(ImgColorDiff64(a, b), ImgColorDiff64(b, a));
        EXPECT_GT(ImgColorDiff64(a, b), 0);
    }
}

TEST(ImgColorDiff, TenUnitsOfLightnessInCi1Give100)
{
    TimgColorInfo a = uniformInfo(100, 100, 100);
    TimgColorInfo b = a;
    b.ci1.Lab.X += 10;
    EXPECT_EQ(ImgColorDiff(a, b, kLightRgb), 100.0);
    EXPECT_EQ(ImgColorDiff(a, b, kRgb), 0.0); // RGB Match ignores L
    EXPECT_DOUBLE_EQ(ImgColorDiff(a, b, ColorMatchSettings{2.5f, 1.0f, false}), 250.0);
}

TEST(ImgColorDiff, WeighsEachOfTheFiveSamples)
{
    const TimgColorInfo a = uniformInfo(10, 20, 30);
    TimgColorInfo b = a;
    b.ci4[3].rgba.r += 3;
    b.ci4[3].rgba.g += 4; // 9 + 16 = 25
    b.ci1.rgba.b += 1;    // 1
    b.ci4[0].Lab.X -= 2;  // 4 of lightness
    EXPECT_EQ(ImgColorDiff(a, b, kRgb), 26.0);
    const float w = kDefaultMatchWeight;
    EXPECT_DOUBLE_EQ(ImgColorDiff(a, b, ColorMatchSettings{w, w, false}), double(w) * 4 + double(w) * 26);
    EXPECT_DOUBLE_EQ(ImgColorDiff(a, b, ColorMatchSettings{0.5f, 2.0f, false}), 0.5 * 4 + 2.0 * 26);

    // The 8 x 8 grid is not part of this measure.
    TimgColorInfo c = a;
    for (TColorInfo15& e : c.ci64)
        CompleteColorInfo(e, 255, 0, 255);
    EXPECT_EQ(ImgColorDiff(a, c, kLightRgb), 0.0);
}

TEST(ImgColorDiff64, WeighsTheGridByCenterWeightsPlusCi1)
{
    const TimgColorInfo a = uniformInfo(0, 0, 0);
    TimgColorInfo b = a;
    b.ci64[0].rgba.r = 200; // a corner: weight 0
    EXPECT_EQ(ImgColorDiff64(a, b), 0);
    b.ci64[3 * 8 + 3].rgba.g = 2; // centre: weight 10
    EXPECT_EQ(ImgColorDiff64(a, b), 40);
    b.ci64[1 * 8 + 1].rgba.b = 3; // weight 8
    EXPECT_EQ(ImgColorDiff64(a, b), 40 + 72);
    b.ci1.rgba.r = 5; // unweighted
    EXPECT_EQ(ImgColorDiff64(a, b), 40 + 72 + 25);
    // ci4 and Lab are not part of this measure.
    b.ci4[2].rgba.r = 99;
    b.ci64[4].Lab.X = 50;
    EXPECT_EQ(ImgColorDiff64(a, b), 40 + 72 + 25);
}

TEST(ImgColorDiff64, BlackAgainstWhiteIsTheLargestValue)
{
    EXPECT_EQ(ImgColorDiff64(uniformInfo(0, 0, 0), uniformInfo(255, 255, 255)), 82906875);
}

TEST(CenterWeights, FavourTheInscribedDiscAndSumTo424)
{
    int sum = 0;
    for (int k = 0; k < 64; ++k) {
        sum += CenterWeights[k];
        // Symmetric under both mirrors and the transpose.
        const int row = k / 8, col = k % 8;
        EXPECT_EQ(CenterWeights[k], CenterWeights[row * 8 + (7 - col)]);
        EXPECT_EQ(CenterWeights[k], CenterWeights[(7 - row) * 8 + col]);
        EXPECT_EQ(CenterWeights[k], CenterWeights[col * 8 + row]);
    }
    EXPECT_EQ(sum, 424);
    EXPECT_EQ(CenterWeights[0], 0);
    EXPECT_EQ(CenterWeights[2], 3);
    EXPECT_EQ(CenterWeights[3], 7);
    EXPECT_EQ(CenterWeights[9], 8);
    EXPECT_EQ(CenterWeights[10], 9);
    EXPECT_EQ(CenterWeights[27], 10);
}
