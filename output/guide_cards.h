#pragma once
// Position guide cards: one 1800 x 1200 picture (6 x 4 inches at 300 pixels per inch)
// per tile the mosaic uses, showing the whole mosaic small on the left (0, 0, 1200,
// 1200), the tile's picture large on the right (1250, 250, 1750, 750) and a few circles
// on the small mosaic around grid cells that hold the tile. Written as JPEG into the
// project folder's "GuideCard" folder, named "TileCard " + tile number + ".jpg";
// existing cards are replaced, cards of tiles no longer used are left alone. Add-on
// cells are neither counted nor marked.

#include "imaging/color_records.h"
#include "platform/result.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

class Progress;
class Workspace;
struct Platform;

struct GuideCardOptions {
    int count = 2;                  // circles per card, 1..5
    int radius = 50;                // card pixels, 20..100
    int lineSize = 5;               // card pixels, 1..10
    TAlphaColor color = 0xFF00FF00; // lime
};

struct GuideCardSummary {
    QString folder;    // the card folder; empty when nothing was done (empty library)
    QStringList files; // the cards written, in tile order
};

// The information text for a project that has not been saved (no RootPath folder).
QString GuideCardUnsavedText();
// The closing question after the cards were written.
QString GuideCardFinishedText();

// How the overview picture lies on a card: `origin` is the top-left corner of the
// overview's rectangle fitted (keeping its proportions, centred) into (0, 0, 1200,
// 1200), and `scale` = the fitted width / WidthPx maps working-canvas pixels
// (CellRect) to card pixels. An overview without pixels is fitted as WidthPx x HeightPx.
struct GuideCardMapping {
    QPointF origin;
    double scale = 0;
};
GuideCardMapping GuideCardMappingFor(const QSize& overviewSize, double widthPx, double heightPx);

// Writes every card. Nothing is done for an empty library. An unsaved project (RootPath
// empty or not an existing folder) fails with GuideCardUnsavedText() and creates no
// folder. The overview is ws.overviewImage, rendered first (RenderOverview) when it is
// empty. For each tile i in order: the progress text "Progress " + (i + 1) + "/" +
// Count and events pumped; then, for a tile in use, the card: white, the overview
// fitted into 1200 x 1200 on 0xFFFAFAFA, the tile's ready picture fitted into 500 x
// 500 on 0xFFFAFAFA, and `count` times a circle outline (colour, radius, thickness
// lineSize, opacity 0.8, cut by the card's edge, never moved) around the centre of the
// r-th grid cell (row by row) holding the tile, r = 1 + Random(Usecount).
//
// Use counts are kept by the search and not by hand edits, so they can disagree with
// the cells: a tile counts as in use when its Usecount is above 0 or grid cells hold it
// (the pen places tiles without counting them); the draw is over Usecount (over the
// cells holding it when Usecount is 0), and a draw beyond the cells holding the tile
// wraps round onto them, so every circle marks a real place of the tile. A tile in use
// by no grid cell gets a card without circles.
//
// Options outside their ranges are clamped into them. A tile picture that cannot be
// loaded, or a card that cannot be written, stops with the message; the cards written
// stay.
Result<GuideCardSummary> OutputGuideCards(Workspace& ws, const GuideCardOptions& options, Progress* progress,
                                          const Platform& platform);
