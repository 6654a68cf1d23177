#pragma once
// Colour error diffusion: after a tile is placed, the difference between the cell's
// colour and the tile's is pushed into the colour descriptions of cells searched later,
// so that their choices compensate and an area keeps its average colour. The grid
// spreads it Floyd-Steinberg fashion (TMosaicProject::Cell_SetDither_R), the add-on
// cells pass it whole to the next cell (TMosaicProject::Cell_SetDither_addonR).
//
// Shared rules: the error is taken from the ci1 rgba bytes; a target changes only in
// ci1.rgba and in the rgba and rgb of its 64 ci64 entries (Lab, ci4 and ci1.rgb stay as
// measured). Each adjusted channel is computed in double precision, rounded to a Single
// and then clamped, so that values a hair below a whole number truncate the same way
// every time.

#include "imaging/color_records.h"

// 0 below 0 (and for NaN), 255 above 255, otherwise truncated toward zero.
int ClampByte(float v);

// `D` with S's ci1 error against T (S - T per channel, signed) times `f` added to its
// ci1 rgba (alpha 255) and to every ci64 entry (each keeps its own alpha byte, and its
// rgb becomes the adjusted channels with that alpha).
TimgColorInfo ErrorDiffuse(const TimgColorInfo& S, const TimgColorInfo& T, const TimgColorInfo& D, float f);

// ErrorDiffuse into `D` itself, without copying the record (S and T must not be D).
void ErrorDiffuseInPlace(const TimgColorInfo& S, const TimgColorInfo& T, TimgColorInfo& D, float f);
