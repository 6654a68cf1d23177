#pragma once
// The project records, stored byte for byte in "Mosaic.Prj" and "TempMosaic.Prj".
// Little-endian; gaps are named and written as zeros; the offsets are the file format.

#include "imaging/color_records.h"
#include "imaging/shapes.h"
#include "platform/short_string.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

constexpr int kGridCapacity = 101;  // rows and columns 0..100; laid out at most 100 x 100
constexpr int kGridCountMax = 100;  // Vcc, Hcc
constexpr int kAddonCapacity = 5001; // add-on cells 0..5000

// Layout kinds (ProjectPatternType).
constexpr std::int32_t kPatternGrid = 0;
constexpr std::int32_t kPatternCircles = 10;

// Size units (CanvasUnit).
constexpr std::int32_t kUnitInch = 0;
constexpr std::int32_t kUnitMm = 1;
constexpr std::int32_t kUnitPixel = 2;

struct TprojectCFG {
    ShortString<250> RootPath; // project folder, set when saved
    std::uint8_t gap251;
    std::int32_t ProjectPatternType; // 0 grid, 10 concentric circles
    std::int32_t AddonTilesCount;    // 0..5001
    std::int32_t Vcc;                // rows
    std::int32_t Hcc;                // columns
    std::int32_t BaseTileShape;      // 20 also switches the search to rotation-aware matching
    std::int32_t BaseTileRotateCount;
    std::int32_t BaseTileRotateAngle;
    std::int32_t CircleCount;
    std::uint8_t gap284[4];
    double Rstart;
    double Rinc;
    double CellSpace;
    double RotateStart; // radians
    double RotateStep;  // radians
    std::int32_t Commondivisor;
    std::uint8_t gap332[4];
    double SrcColorEnhance;
    double CellWdf;
    double CellHtf;
    double CellgapwdF;
    double CellgaphtF;
    double MaxCellgapwd;
    double MaxCellgapht;
    double FullWidthF;
    double FullHeightF;
    std::int32_t CanvasUnit; // 0 inch, 1 mm, 2 pixel
    std::uint8_t gap412[4];
    double CanvasPPI;
    double CellWdPx;
    double CellHtPx;
    double CellgapwdPX;
    double cellgapHtpx;
    double FullWidthPX;
    double FullHeightpx;
    std::int32_t PreviewBMPsize;
    std::uint8_t gap476[4];
    double PreviewScale;
    std::int32_t CellPlanBMPsizeWD;
    std::int32_t CellPlanBMPsizeHT;
    double CellPlanScale;
    double WidthPx;
    double HeightPx;
    double CanvasScale;
    std::uint8_t searchDone;
    std::uint8_t gap529[7];
};
static_assert(std::is_trivially_copyable_v<TprojectCFG>);
static_assert(sizeof(TprojectCFG) == 536);
static_assert(offsetof(TprojectCFG, RootPath) == 0);
static_assert(offsetof(TprojectCFG, gap251) == 251);
static_assert(offsetof(TprojectCFG, ProjectPatternType) == 252);
static_assert(offsetof(TprojectCFG, AddonTilesCount) == 256);
static_assert(offsetof(TprojectCFG, Vcc) == 260);
static_assert(offsetof(TprojectCFG, Hcc) == 264);
static_assert(offsetof(TprojectCFG, BaseTileShape) == 268);
static_assert(offsetof(TprojectCFG, BaseTileRotateCount) == 272);
static_assert(offsetof(TprojectCFG, BaseTileRotateAngle) == 276);
static_assert(offsetof(TprojectCFG, CircleCount) == 280);
static_assert(offsetof(TprojectCFG, gap284) == 284);
static_assert(offsetof(TprojectCFG, Rstart) == 288);
static_assert(offsetof(TprojectCFG, Rinc) == 296);
static_assert(offsetof(TprojectCFG, CellSpace) == 304);
static_assert(offsetof(TprojectCFG, RotateStart) == 312);
static_assert(offsetof(TprojectCFG, RotateStep) == 320);
static_assert(offsetof(TprojectCFG, Commondivisor) == 328);
static_assert(offsetof(TprojectCFG, gap332) == 332);
static_assert(offsetof(TprojectCFG, SrcColorEnhance) == 336);
static_assert(offsetof(TprojectCFG, CellWdf) == 344);
static_assert(offsetof(TprojectCFG, CellHtf) == 352);
static_assert(offsetof(TprojectCFG, CellgapwdF) == 360);
static_assert(offsetof(TprojectCFG, CellgaphtF) == 368);
static_assert(offsetof(TprojectCFG, MaxCellgapwd) == 376);
static_assert(offsetof(TprojectCFG, MaxCellgapht) == 384);
static_assert(offsetof(TprojectCFG, FullWidthF) == 392);
static_assert(offsetof(TprojectCFG, FullHeightF) == 400);
static_assert(offsetof(TprojectCFG, CanvasUnit) == 408);
static_assert(offsetof(TprojectCFG, gap412) == 412);
static_assert(offsetof(TprojectCFG, CanvasPPI) == 416);
static_assert(offsetof(TprojectCFG, CellWdPx) == 424);
static_assert(offsetof(TprojectCFG, CellHtPx) == 432);
static_assert(offsetof(TprojectCFG, CellgapwdPX) == 440);
static_assert(offsetof(TprojectCFG, cellgapHtpx) == 448);
static_assert(offsetof(TprojectCFG, FullWidthPX) == 456);
static_assert(offsetof(TprojectCFG, FullHeightpx) == 464);
static_assert(offsetof(TprojectCFG, PreviewBMPsize) == 472);
static_assert(offsetof(TprojectCFG, gap476) == 476);
static_assert(offsetof(TprojectCFG, PreviewScale) == 480);
static_assert(offsetof(TprojectCFG, CellPlanBMPsizeWD) == 488);
static_assert(offsetof(TprojectCFG, CellPlanBMPsizeHT) == 492);
static_assert(offsetof(TprojectCFG, CellPlanScale) == 496);
static_assert(offsetof(TprojectCFG, WidthPx) == 504);
static_assert(offsetof(TprojectCFG, HeightPx) == 512);
static_assert(offsetof(TprojectCFG, CanvasScale) == 520);
static_assert(offsetof(TprojectCFG, searchDone) == 528);
static_assert(offsetof(TprojectCFG, gap529) == 529);

// Search priorities (PriLevel).
constexpr std::int32_t kPriorityHigh = 0;
constexpr std::int32_t kPriorityNormal = 1;
constexpr std::int32_t kPriorityLow = 2;
constexpr std::int32_t kPriorityNever = 3;

struct TCell {
    std::int32_t CellX;   // grid column (grid cells)
    std::int32_t CellY;   // grid row (grid cells)
    std::int32_t CellAID; // own index in AddonTiles (add-on cells)
    std::int32_t TileID;  // index in the working library, -1 = no tile
    std::int32_t CellShape;
    TRectF CellRectReal; // real units
    TRectF CellRect;     // working-canvas pixels
    std::uint8_t NewTypeCell;
    std::uint8_t gap53[3];
    TPointF CellCenterReal;
    Tpoly CellPolyReal;
    std::uint8_t gap156[4];
    double Rotate; // radians
    TimgColorInfo ICinfo;
    std::int32_t SplitLevel;
    std::int32_t PriLevel; // 0 high, 1 normal, 2 low, 3 never filled
    std::uint8_t enable;
    std::uint8_t gap2661[3];
};
static_assert(std::is_trivially_copyable_v<TCell>);
static_assert(sizeof(TCell) == 2664);
static_assert(offsetof(TCell, CellX) == 0);
static_assert(offsetof(TCell, CellY) == 4);
static_assert(offsetof(TCell, CellAID) == 8);
static_assert(offsetof(TCell, TileID) == 12);
static_assert(offsetof(TCell, CellShape) == 16);
static_assert(offsetof(TCell, CellRectReal) == 20);
static_assert(offsetof(TCell, CellRect) == 36);
static_assert(offsetof(TCell, NewTypeCell) == 52);
static_assert(offsetof(TCell, gap53) == 53);
static_assert(offsetof(TCell, CellCenterReal) == 56);
static_assert(offsetof(TCell, CellPolyReal) == 64);
static_assert(offsetof(TCell, gap156) == 156);
static_assert(offsetof(TCell, Rotate) == 160);
static_assert(offsetof(TCell, ICinfo) == 168);
static_assert(offsetof(TCell, SplitLevel) == 2652);
static_assert(offsetof(TCell, PriLevel) == 2656);
static_assert(offsetof(TCell, enable) == 2660);
static_assert(offsetof(TCell, gap2661) == 2661);

struct TmosaicOptions {
    std::uint8_t UseAll;
    std::uint8_t RepeatMinOn;
    std::uint8_t RepeatMaxOn;
    std::uint8_t RepeatRadiusOn;
    std::int32_t RepeatMin;
    std::int32_t RepeatMax;
    std::int32_t RepeatRadius;
    std::int32_t RandomLevel;
    float WeightL;
    float WeightC;
    std::uint8_t DitherOn;
    std::uint8_t gap29[3];
    float DitherLevel; // 0.0..1.0
    std::uint8_t ScanlineSearch;
    std::uint8_t RGBMatch;
    std::uint8_t BgMainImage;
    std::uint8_t gap39;
    TAlphaColor BgColor;
    std::uint8_t gap44[4];
    double AlphaBlend;
    double ColorAdjust;
    std::uint8_t Grayscale;
    std::uint8_t gap65[7];
};
static_assert(std::is_trivially_copyable_v<TmosaicOptions>);
static_assert(sizeof(TmosaicOptions) == 72);
static_assert(offsetof(TmosaicOptions, UseAll) == 0);
static_assert(offsetof(TmosaicOptions, RepeatMinOn) == 1);
static_assert(offsetof(TmosaicOptions, RepeatMaxOn) == 2);
static_assert(offsetof(TmosaicOptions, RepeatRadiusOn) == 3);
static_assert(offsetof(TmosaicOptions, RepeatMin) == 4);
static_assert(offsetof(TmosaicOptions, RepeatMax) == 8);
static_assert(offsetof(TmosaicOptions, RepeatRadius) == 12);
static_assert(offsetof(TmosaicOptions, RandomLevel) == 16);
static_assert(offsetof(TmosaicOptions, WeightL) == 20);
static_assert(offsetof(TmosaicOptions, WeightC) == 24);
static_assert(offsetof(TmosaicOptions, DitherOn) == 28);
static_assert(offsetof(TmosaicOptions, gap29) == 29);
static_assert(offsetof(TmosaicOptions, DitherLevel) == 32);
static_assert(offsetof(TmosaicOptions, ScanlineSearch) == 36);
static_assert(offsetof(TmosaicOptions, RGBMatch) == 37);
static_assert(offsetof(TmosaicOptions, BgMainImage) == 38);
static_assert(offsetof(TmosaicOptions, gap39) == 39);
static_assert(offsetof(TmosaicOptions, BgColor) == 40);
static_assert(offsetof(TmosaicOptions, gap44) == 44);
static_assert(offsetof(TmosaicOptions, AlphaBlend) == 48);
static_assert(offsetof(TmosaicOptions, ColorAdjust) == 56);
static_assert(offsetof(TmosaicOptions, Grayscale) == 64);
static_assert(offsetof(TmosaicOptions, gap65) == 65);
