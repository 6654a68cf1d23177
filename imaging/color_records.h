#pragma once
// The colour records stored byte for byte in project files and tile-library catalogues.
// Little-endian, no padding beyond the named gaps; the offsets below are file formats.

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <type_traits>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the stored records are little-endian images of memory");

// 0xAARRGGBB; in memory and in files the bytes are B, G, R, A.
using TAlphaColor = std::uint32_t;

struct TPointF {
    float X;
    float Y;
};
static_assert(sizeof(TPointF) == 8);

struct TRectF {
    float Left;
    float Top;
    float Right;
    float Bottom;

    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
};
static_assert(sizeof(TRectF) == 16);
static_assert(offsetof(TRectF, Left) == 0 && offsetof(TRectF, Top) == 4 && offsetof(TRectF, Right) == 8 &&
              offsetof(TRectF, Bottom) == 12);

struct TPoint {
    std::int32_t X;
    std::int32_t Y;
};
static_assert(sizeof(TPoint) == 8);

struct Trgba {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
    std::uint8_t a;
};
static_assert(std::is_trivially_copyable_v<Trgba>);
static_assert(sizeof(Trgba) == 4);
static_assert(offsetof(Trgba, r) == 0 && offsetof(Trgba, g) == 1 && offsetof(Trgba, b) == 2 && offsetof(Trgba, a) == 3);

// Reserved: no operation computes it; written as zeros, ignored when read.
struct THSL {
    float h;
    float s;
    float l;
};
static_assert(sizeof(THSL) == 12);
static_assert(offsetof(THSL, h) == 0 && offsetof(THSL, s) == 4 && offsetof(THSL, l) == 8);

struct TVector4 {
    float X; // L* 0..100
    float Y; // a*
    float Z; // b*
    float W; // 1.0
};
static_assert(sizeof(TVector4) == 16);

// The colour of one sample. Lab is RGBToLab of rgb's channels; rgba holds the same
// channels with alpha 255; rgb's alpha is 255 except in the ci64 entries.
struct TColorInfo15 {
    TVector4 Lab;
    THSL hsl;
    TAlphaColor rgb;
    Trgba rgba;
};
static_assert(std::is_trivially_copyable_v<TColorInfo15>);
static_assert(sizeof(TColorInfo15) == 36);
static_assert(offsetof(TColorInfo15, Lab) == 0);
static_assert(offsetof(TColorInfo15, hsl) == 16);
static_assert(offsetof(TColorInfo15, rgb) == 28);
static_assert(offsetof(TColorInfo15, rgba) == 32);

// The colour description of one image region: whole, 2 x 2 quadrants (top-left,
// top-right, bottom-left, bottom-right) and an 8 x 8 grid indexed row * 8 + column.
struct TimgColorInfo {
    TColorInfo15 ci1;
    TColorInfo15 ci4[4];
    TColorInfo15 ci64[64];
};
static_assert(std::is_trivially_copyable_v<TimgColorInfo>);
static_assert(sizeof(TimgColorInfo) == 2484);
static_assert(offsetof(TimgColorInfo, ci1) == 0);
static_assert(offsetof(TimgColorInfo, ci4) == 36);
static_assert(offsetof(TimgColorInfo, ci64) == 180);
