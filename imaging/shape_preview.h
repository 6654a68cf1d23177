#pragma once
// The preview of a cell shape that the new-project window shows beside its shape list.

#include <QImage>

#include <cstdint>

// Clears the bitmap to transparent white and draws, with w x h its size in pixels taken
// as canvas units: a box of aspect ratio aspectW : aspectH fitted and centred (0xFF66CCFF
// at half opacity, a black rounded outline of thickness 2), the shape `shape` fitted to
// the box (0xFFFFCC66 at opacity 0.9) with its points scaled by 1 / screenScale, and a
// black border of thickness 1 round (0, 0, w, h). Only the shape follows screenScale, so
// it fills the box exactly when screenScale is 1. A null bitmap draws nothing; a
// non-positive aspect or screen scale leaves the bitmap cleared.
void DrawShapePreview(QImage& bitmap, float aspectW, float aspectH, std::int32_t shape, float screenScale);
