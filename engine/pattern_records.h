#pragma once
// The pattern record, which is also the ".pat" file (2832 bytes, little-endian, no
// header). Elements outside the first VertGroupCount rows and HorzGroupCount columns
// are ignored.

#include "platform/short_string.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

struct TCellGroupItem {
    std::int32_t Shape; // shape code
    float Rotate;       // radians
    double Hscale;      // a cell's left edge advances by cell width * Hscale per column
    double Vscale;
    double Hoffset; // in cells
    double Voffset;
};
static_assert(std::is_trivially_copyable_v<TCellGroupItem>);
static_assert(sizeof(TCellGroupItem) == 40);
static_assert(offsetof(TCellGroupItem, Shape) == 0);
static_assert(offsetof(TCellGroupItem, Rotate) == 4);
static_assert(offsetof(TCellGroupItem, Hscale) == 8);
static_assert(offsetof(TCellGroupItem, Vscale) == 16);
static_assert(offsetof(TCellGroupItem, Hoffset) == 24);
static_assert(offsetof(TCellGroupItem, Voffset) == 32);

constexpr int kPatternGroupMax = 8;

struct TpatternCfg {
    ShortString<251> Name; // not used; written empty
    float Hscale;
    float Vscale;
    std::int32_t HorzGroupCount; // 1..8
    std::int32_t VertGroupCount; // 1..8
    std::uint8_t gap268[4];
    TCellGroupItem CellGroup[kPatternGroupMax][kPatternGroupMax]; // [row][column]
};
static_assert(std::is_trivially_copyable_v<TpatternCfg>);
static_assert(sizeof(TpatternCfg) == 2832);
static_assert(offsetof(TpatternCfg, Name) == 0);
static_assert(offsetof(TpatternCfg, Hscale) == 252);
static_assert(offsetof(TpatternCfg, Vscale) == 256);
static_assert(offsetof(TpatternCfg, HorzGroupCount) == 260);
static_assert(offsetof(TpatternCfg, VertGroupCount) == 264);
static_assert(offsetof(TpatternCfg, gap268) == 268);
static_assert(offsetof(TpatternCfg, CellGroup) == 272);
