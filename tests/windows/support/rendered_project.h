#pragma once
// A rendered mosaic put straight into a running application's workspace, as if the
// new-project window had just created it: a library of solid tiles as the working
// library, a grid laid out, the cells' tiles and measured colours set by hand and the
// final mosaic drawn into the main window. The editing tools' tests start from it.

#include "imaging/color_records.h"

#include <QString>

#include <functional>

class AppContext;

struct RenderedProjectOptions {
    int cols = 4;
    int rows = 4;
    double cellWidth = 20;
    double cellHeight = 20;
    double gap = 0;
    int tiles = 3; // library tiles, tile i a solid picture of ToolTileColour(i)
    // The tile of grid cell (x, y); -1 leaves the cell empty. (x + y) % tiles by default.
    std::function<int(int x, int y)> tileAt;
    // Every cell's measured colour (its whole ICinfo measured over a solid picture).
    TAlphaColor measured = 0xFF808080;
    TAlphaColor grout = 0xFF202020;
    bool bgMainImage = false;
    TAlphaColor mainImage = 0xFF3366CC; // the main image, a solid picture
    bool draw = true;                   // draw the mosaic into the main window's image
};

// A distinct, clearly coloured tile per index (red, green and blue first).
TAlphaColor ToolTileColour(int i);

// Builds the project in `app`'s workspace with the library in `folder`; the main
// window must exist. Empty on success, the reason otherwise.
QString MakeRenderedProject(AppContext& app, const QString& folder, const RenderedProjectOptions& options = {});
