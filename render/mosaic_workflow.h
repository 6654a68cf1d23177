#pragma once
// The new-project workflow without its window: the controls as values, the size update,
// the preview pipeline, the render options, the search and the drawing, in the order the
// window runs them. The new-project window and `quillary-cli mosaic create` both drive
// these functions.

#include "engine/main_image.h"
#include "engine/project_records.h"
#include "platform/result.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class Progress;
class Workspace;

// The values of the window's controls, with the window's defaults.
struct NewProjectSettings {
    // "Size and Pattern": page "Grid" (0) or "Circles" (1) of the inner tab control.
    int patternPage = 0;
    double horizontalCount = 48; // sbhcc, 5..100
    double verticalCount = 48;   // sbvcc, 5..100
    double horizontalGap = 2;    // SpinBox_horzGap, 0..100
    double verticalGap = 2;      // SpinBox_vertgap, 0..100
    int unitIndex = 2;           // C_MosaicUnit: 0 "inch", 1 "mm", 2 "pixel"
    double ppi = 100;            // E_MosaicPPI, 50..300
    double tileWidth = 60;       // sbcellwd_px, 0.1..200
    double tileHeight = 60;      // sbcellht_px, 0.1..200
    double enhance = 1.0;        // "Enhance", 1.0..2.0
    // "Circles"
    double circleCount = 20;
    double radiusStart = 100;
    double radiusInc = 64;
    double tangentSpace = 64;
    double stepDivisor = 3;
    double tangentRotateDegrees = 0;
    double rotateStepDegrees = 0;
    std::int32_t selectedShape = 1; // the current tile shape code

    // "Render Option"
    bool useAll = false;
    bool repeatMaxOn = true;
    double repeatMax = 50;
    bool repeatRadiusOn = true;
    double repeatRadius = 1;
    bool repeatMinOn = false;
    double repeatMin = 1;
    bool scanlineSearch = false;
    bool ditherOn = true;
    double dither = 100; // TrackBar_dither 0..100
    bool rgbMatch = false;
    double weightL = 0.7950819730758667;
    double weightC = 0.7950819730758667;
    double randomLevel = 15;
    double colorAdjust = 0.4; // tb_coloradj 0.01..0.5
    double alphaBlend = 0.25; // tb_alphablend 0.01..0.3
    bool colorEnhanceOn = true; // "Enable Color Enhance": off makes ColorAdjust 0
    bool alphaBlendOn = true;   // "Enable Alpha Blend": off makes AlphaBlend 0
    bool bgMainImage = false;
    TAlphaColor bgColor = 0xFFFFF8DC; // cornsilk
};

// The unit texts of C_MosaicUnit, by index.
QString SizeUnitText(int unitIndex);

struct SizeTexts {
    QString mosaicSize;    // lb_mosaicSize, "Mosaic Size 8000 x 8000pixel"
    QStringList sizeInfo;  // Memo_sizeinfo, one entry per line
};

// Copies the size controls into the project's configuration and computes every size
// (GetProjectSize, MainSize_Update); sets SizeChanged. `cellPreviewSize` is the cell
// preview control's logical size.
SizeTexts SizeUpdate(Workspace& ws, const NewProjectSettings& s, QSize cellPreviewSize);

// The option controls as options; Grayscale is kept from `current`.
TmosaicOptions ReadRenderOptions(const NewProjectSettings& s, const TmosaicOptions& current);

// Where the preview pipeline draws.
enum class PreviewTarget { CellPreview = 0, MainView = 1, None = 3 };

struct PreviewViews {
    QImage* cellPreview = nullptr; // Image_CellPreview
    QImage* mainView = nullptr;    // the main window's mosaic image
    Progress* progress = nullptr;  // pbar2
};

// Size update, layout, full-size image, colour reading of grid and add-on cells,
// drawing into the target; clears SizeChanged. `timeLabel` (Label_timecost1) receives
// "Cell<ms> ReadC2-<ms>  Draw<ms>".
Status PreviewPipeline(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QSize cellPreviewSize,
                       PreviewTarget target, const PreviewViews& views, QString* timeLabel);

// Options, shape masks, zeroed use counts and tiles, full-size image, colour reading of
// the grid, then the search; sets Rendered. Appends "ReadColor<ms>" and "  Render<ms>"
// to `timeLabel`.
Status RenderMosaic(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QString* timeLabel);

// Size update, RenderMosaic, then the final mosaic into `mainView` at PreviewScale.
Status CreateMosaic(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QSize cellPreviewSize,
                    QImage& mainView, Progress* progress, QString* timeLabel);

// The " Create Mosaic >>>" command: refuses without a main image or with an empty
// library (a message the window shows), enables every tile, lays out again when the size
// changed, CreateMosaic, appends "  Draw<ms>" and beeps. `timeLabel` is Label_timecost2.
Status CreateMosaicCommand(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QSize cellPreviewSize,
                           QImage& mainView, Progress* progress, QString* timeLabel);

// Searches the current project again with its own layout, options and main picture and
// draws the final mosaic into `mainView`: what the tile statistics window does after the
// user changed which tiles may be used. The enable flags are kept. Works the same for a
// project just created and for one opened from its folder (which has no photo, only
// its cropped main picture).
Status RenderMosaicAgain(Workspace& ws, QImage& mainView, Progress* progress);

// The priority click on the priority view (CellPlanScale units): the cell under the point
// or, for the circle layout, the add-on cell under it gets `level`. False when no cell
// was found.
bool SetPriorityAt(Workspace& ws, float x, float y, int level);

// The quick-save file of the data root.
QString QuickSaveFile(const Workspace& ws);
