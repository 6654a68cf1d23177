#pragma once
// The tile-library catalogue "imagelib.dat": a raw image of the library object, always
// 66,710,093 bytes (older catalogues with 1025 records are 33,371,725 bytes and load).

#include "imaging/color_records.h"
#include "platform/short_string.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

constexpr int kTileCapacity = 2049;   // item records 0..2048
constexpr int kTileCountMax = 2048;   // a library holds at most this many pictures
constexpr int kOldTileCapacity = 1025; // records in older catalogues

// SizeUnit of a library.
constexpr std::int32_t kTileUnitInch = 1;
constexpr std::int32_t kTileUnitMm = 2;

struct TtileLibCfg {
    ShortString<255> Rootpath; // set from the catalogue's folder on loading
    ShortString<255> brand;    // "N/A" in libraries created here
    ShortString<255> name;     // display name
    float Widthf;              // printed tile width in SizeUnit
    float Heightf;
    std::int32_t SizeUnit; // 1 inch, 2 mm
    float DPI;
    std::int32_t widthPx; // pixel size of every ready picture
    std::int32_t heightPx;
    std::int32_t shape; // 0; not read
};
static_assert(std::is_trivially_copyable_v<TtileLibCfg>);
static_assert(sizeof(TtileLibCfg) == 796);
static_assert(offsetof(TtileLibCfg, Rootpath) == 0);
static_assert(offsetof(TtileLibCfg, brand) == 256);
static_assert(offsetof(TtileLibCfg, name) == 512);
static_assert(offsetof(TtileLibCfg, Widthf) == 768);
static_assert(offsetof(TtileLibCfg, Heightf) == 772);
static_assert(offsetof(TtileLibCfg, SizeUnit) == 776);
static_assert(offsetof(TtileLibCfg, DPI) == 780);
static_assert(offsetof(TtileLibCfg, widthPx) == 784);
static_assert(offsetof(TtileLibCfg, heightPx) == 788);
static_assert(offsetof(TtileLibCfg, shape) == 792);

struct TTileItem {
    ShortString<255> FileName; // without folder; the same name in "source" and "ready"
    std::uint8_t NewFlag;      // written 0, never read
    std::uint8_t DelFlag;      // written 0, never read
    std::uint8_t gap258[2];
    std::int32_t Usecount;
    TimgColorInfo ColorInfo;       // upright ready tile
    TimgColorInfo RotColorInfo[12]; // turned by k * 30 degrees
};
static_assert(std::is_trivially_copyable_v<TTileItem>);
static_assert(sizeof(TTileItem) == 32556);
static_assert(offsetof(TTileItem, FileName) == 0);
static_assert(offsetof(TTileItem, NewFlag) == 256);
static_assert(offsetof(TTileItem, DelFlag) == 257);
static_assert(offsetof(TTileItem, gap258) == 258);
static_assert(offsetof(TTileItem, Usecount) == 260);
static_assert(offsetof(TTileItem, ColorInfo) == 264);
static_assert(offsetof(TTileItem, RotColorInfo) == 2748);

// The library's data in file order. The catalogue is the first kTilelibFileSize bytes
// of this block (the struct itself carries 3 bytes of tail padding).
struct TTilelibData {
    TtileLibCfg cfg;
    std::int32_t Count;
    TTileItem items[kTileCapacity];
    std::uint8_t ItemEnable[kTileCapacity];
};
static_assert(std::is_trivially_copyable_v<TTilelibData>);
static_assert(offsetof(TTilelibData, cfg) == 0);
static_assert(offsetof(TTilelibData, Count) == 796);
static_assert(offsetof(TTilelibData, items) == 800);
static_assert(offsetof(TTilelibData, ItemEnable) == 66708044);

constexpr std::size_t kTilelibFileSize = offsetof(TTilelibData, ItemEnable) + kTileCapacity;
static_assert(kTilelibFileSize == 66710093);
constexpr std::size_t kOldTilelibFileSize = 796 + 4 + std::size_t(kOldTileCapacity) * sizeof(TTileItem) + kOldTileCapacity;
static_assert(kOldTilelibFileSize == 33371725);
