#pragma once
// The main window: the rendered mosaic in a scroll area, zoomed by the scale bar without
// drawing again, the menu bar and the tab pages of commands, the shared progress bar.
// It owns no mosaic data; commands go to the windows and the core.

#include <QImage>
#include <QMainWindow>
#include <QPointF>

#include <memory>

class AppContext;
class MosaicImageView;
class Progress;
class ProgressBarProgress;
class QLabel;
class QLineEdit;
class QProgressBar;
class QScrollArea;
class QSlider;
class QTabWidget;
class QToolButton;
class Workspace;

// The main window's part of the public contract other windows rely on.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The creation handler: screenScale from the window's display, the data folders (a
    // folder that cannot be created is reported and start-up goes on), the command-line
    // project.
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

    // The project named on the command line (an existing file), waiting for the first
    // showing of the main window; the start-up clears it when it opens the project.
    bool hasPendingProject() const { return m_hasPendingProject; }
    QString pendingProjectPath() const { return m_pendingProject; }
    void clearPendingProject() { m_hasPendingProject = false; }

    // The zoom of the mosaic image (1.0 at start) and the scale bar's position (10..100).
    double zoom() const;
    double scalePosition() const;

    // The product's home page, opened by "Website Home" and the start screen.
    static QString HomePage();

public slots:
    // The commands of the menu bar and the tab pages (a menu item and a button bound to
    // the same command call the same slot).
    void NewMosaic();
    void OpenProject();
    void SaveProject();
    void MI_savepicClick();
    void bt_SavepicClick();
    void ExitApplication();
    void ManageLib();
    void WebsiteHome();
    void UserManual();
    void About();
    void TilePic();
    void TileColor();
    void SourceColor();
    void TileIdWithColor();
    void TileIdWithoutColor();
    void ShowOverview();
    void Select();
    void Pen();
    void GroutColor();
    void TileStatistics();
    void WorkPlan();
    void ColorGroupPlan();
    void ControlCodeGenerator();
    void PosCard();
    void ProjectInfo();
    void ShowProjectFolder();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Workspace& ws();
    void buildMenus();
    QWidget* buildTopPanel();
    void buildStatusBar();
    QToolButton* addCommand(QWidget* page, const char* objectName, const QString& caption, int glyph,
                            void (TForm1::*slot)());
    bool projectRendered();
    bool readIdTextHeight();
    void savePicture(const QString& caption, const QString& filter);
    void onScaleChanged(int hundredths);
    void onImagePressed(QPointF position);

    AppContext& m_app;
    QImage m_image1;
    MosaicImageView* m_view = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLabel* m_scaleLabel = nullptr;
    QSlider* m_scaleBar = nullptr;
    QLineEdit* m_idTextHeight = nullptr;
    QProgressBar* m_progressBar = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
    QString m_pendingProject;
    bool m_hasPendingProject = false;
};
