#pragma once
// The main window: the rendered mosaic in a scroll area, zoomed by the scale bar without
// drawing again, the menu bar and the tab pages of commands, the shared progress bar.
// It owns no mosaic data; commands go to the windows and the core.

#include <QMainWindow>

class AppContext;
class Progress;
class QLabel;
class QProgressBar;
class QScrollArea;

// The main window's part of the public contract other windows rely on.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(AppContext& app);
    ~TForm1() override;

    // The picture of the mosaic image control "Image1": its bitmap carries the display
    // scale as device pixel ratio. Others draw into it (Draw_MosaicToView,
    // Draw_FinalMosaic_OneCell) and then call ShowMosaicImage().
    QImage& Image1();
    // Shows Image1 again after it was drawn into, at the current zoom.
    void ShowMosaicImage();
    // The status bar's progress bar, for long operations started from other windows.
    Progress* mainProgress();
    QProgressBar* progressBar();

    // Click routing for the editing tools.
    bool SelectMode = false;
    bool PenMode = false;
    int PenTile = 0;

    // Opens a saved project: load, masks, library, main image, render with the overview
    // window's progress bar, set Rendered. Errors are shown in a message box; the
    // project stays as it was.
    bool OpenMosaicProject(const QString& path);
    // Redraws Image1 in a drawing mode at the project's preview scale.
    void ShowViewMode(int drawMode);

    // (controls and the rest of the window are the implementer's)
};
