#pragma once
// Colour cards: a picture with its measured colours beside it, the whole-region colour
// as a large swatch and the 8 x 8 grid as small squares. Coordinates are the canvas's
// logical units; fills are at full opacity and have no outline.

#include "imaging/canvas.h"
#include "imaging/color_records.h"

#include <QImage>

inline constexpr int kColorCardWidth = 128;
inline constexpr int kColorCardHeight = 192;

// A 64 x 64 square of ci1's rgb at (x, y), corner radius 5, in its own scene. Nothing is
// drawn on a null bitmap.
void DrawColorSwatch(Canvas& canvas, float x, float y, const TimgColorInfo& info);

// The 64 ci64 colours (rgb with its stored alpha) as 7 x 7 squares, corner radius 1, on
// an 8-unit pitch from (x, y): entry i * 8 + j at (x + 8 j, y + 8 i). Own scene; nothing
// on a null bitmap.
void DrawColorGrid(Canvas& canvas, float x, float y, const TimgColorInfo& info);

// A 128 x 192 card, transparent where nothing is drawn: `picture` fitted and centred in
// the top 128 x 128 square (DrawBitmapFit), the swatch at (0, 128), the grid at (64, 128).
// A null picture leaves the square transparent.
QImage MakeColorInfoCard(const TimgColorInfo& info, const QImage& picture);
