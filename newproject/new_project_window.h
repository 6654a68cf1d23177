#pragma once
// The new-project window ("Create Mosaic Project"): the main photo and its crop, the tile
// library, the cell pattern with counts, sizes and gaps, the cell preview, the search and
// rendering options and the priority map. The window maps its controls into
// NewProjectSettings and drives the workflow of render/mosaic_workflow.h; the mosaic it
// creates goes into the main window's image. Created once at start, initialised on the
// first showing of the main window, shown by "New Mosaic", never destroyed; it keeps its
// control values between projects.

#include "engine/main_image.h"
#include "render/mosaic_workflow.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class AppContext;
class ColorPickerButton;
class FractionSlider;
class ImageControl;
class PictureView;
class Progress;
class ProgressBarProgress;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QIODevice;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class Workspace;

class TfnewprojectADV : public QWidget {
    Q_OBJECT
public:
    explicit TfnewprojectADV(AppContext& app);
    ~TfnewprojectADV() override;

    // Drawing modes of the cell preview (10, measured colours) and of the priority view
    // (40 numbers, 41 shading).
    int cellPreviewDrawMode = 10;
    int priorityDrawMode = 40;

    // The one-time filling of the library and pattern lists (first entries selected and
    // loaded), the shape sample and the first size update. Later calls do nothing.
    void InitNewProjectWindow();
    bool initialised() const { return m_initialised; }

    // Loads library i of the list into mtilelib; an index outside the list does nothing.
    // A library that cannot be loaded is reported and mtilelib stays as it was.
    void SelectTileLib(int i);
    // Loads pattern i of the list into the project's pattern (unchanged when the file is
    // missing or refused, which is reported) and shows its preview.
    void SelectPattern(int i);
    // The size controls into the project's configuration, the sizes computed, the size
    // texts written; marks the layout stale.
    void SizeUpdate();
    // The current tile shape in Image_ShapeSample, in the tile's proportions.
    void DrawShapeSample();
    // Layout, full-size image and colour reading, then drawing into the cell preview
    // (target 0), into the main window's image (1) or nowhere (any other). Refused while
    // another long command runs.
    void PreviewPipeline(int target);
    // The option controls into moptions.
    void ReadRenderOptions();
    // Options, masks, cleared tiles, colours and the search, without drawing.
    void RenderMosaic();
    // Size update, RenderMosaic and the final mosaic drawn into the main window's image,
    // which is then shown. The tile statistics window calls this to render again after
    // changing which tiles are enabled (it keeps ItemEnable as it is). Takes the
    // application's long-command guard itself, so it must not be called while the
    // caller holds one; returns false when it was refused or failed (the failure is
    // shown).
    bool CreateMosaic(Progress* progress);
    // " Create Mosaic >>>": every tile enabled, a new layout when the size changed, the
    // mosaic created with pbar1 and shown in the main window. Refused without a main
    // image or with an empty library (the reason is shown), and while another long
    // command runs.
    void CreateMosaicClick();

    // Loads a photo as main image into the crop view (and page 0), then the automatic
    // crop. A missing file does nothing; a picture that cannot be decoded is reported and
    // the previous main image stays. True when a picture was loaded.
    bool LoadMainImage(const QString& file);
    // The same from a stream (the sample photo at start-up); an empty stream does nothing.
    bool LoadMainImageFromStream(QIODevice& stream, const QString& sourceName = QString());
    // The largest centred crop of the mosaic's proportions; the background colour picker
    // takes the picture's average colour under it.
    void AutoCropRect();
    // The overlay rectangle, the ellipse (circle layout) and the handles on the crop.
    void ShowCropOverlay();
    // The crop rendered into fullSizeImage and shown in Image_maincropPV.
    void MakeFullSize();

    // "Check Color Range" / "Color Range": the library's charts and, while the layout is
    // not stale, the project's, into the colour range viewer, which is shown.
    void ShowColorRange();
    // "Quick Save" / "Quick Load" of the data root's "TempMosaic.Prj".
    void QuickSave();
    void QuickLoad();
    // "Reset" and the "Show Number" / "Show Color" switch: the priority view drawn again.
    void RedrawPriority();
    // A click at `p` (Image_Priority units) gives the cell under it the pressed level.
    void PriorityClick(QPointF p);
    // Refills the library lists (a library was created elsewhere); the loaded library
    // stays loaded and stays selected when it is still listed.
    void RefreshLibraryLists();

    // The controls as values.
    NewProjectSettings settings() const;
    const CropState& crop() const { return m_crop; }
    std::int32_t selectedShape() const { return m_selectedShape; }
    // Shows the window centred on `over`.
    void showOver(QWidget* over);

private:
    QWidget* buildMainImagePage();
    QWidget* buildLibraryPage();
    QWidget* buildSizePage();
    QWidget* buildCropPage();
    QWidget* buildCellPreviewPage();
    QWidget* buildOptionsPage();
    QWidget* buildPriorityPage();
    void connectEvents();

    Workspace& ws();
    void pickMainImage();
    void afterMainImageLoaded();
    void onPatternClicked(QListWidgetItem* item);
    void onShapeClicked(QListWidgetItem* item);
    void onSizeFieldChanged();
    void onTileSizeChanged();
    void onCropPressed(QPointF p);
    void onCropMoved(QPointF p);
    void onCropReleased(QPointF p);
    void onCropLeft();
    void onCellPreviewClicked();
    void previewPage();
    void showError(const QString& text);
    int pressedPriorityLevel() const;

    AppContext& m_app;
    bool m_initialised = false;
    std::int32_t m_selectedShape = 1;
    CropState m_crop;

    QTabWidget* m_tabs = nullptr;
    // Page 0.
    PictureView* m_mainImageOV = nullptr;
    // Page 1.
    QListWidget* m_libList = nullptr;
    QListWidget* m_libListFull = nullptr;
    PictureView* m_libPreview = nullptr;
    QLabel* m_libCount = nullptr;
    // Page 2.
    QTabWidget* m_tabPattern = nullptr;
    QSpinBox* m_hcc = nullptr;
    QSpinBox* m_vcc = nullptr;
    QDoubleSpinBox* m_horzGap = nullptr;
    QDoubleSpinBox* m_vertGap = nullptr;
    QListWidget* m_patterns = nullptr;
    QListWidget* m_patternsFull = nullptr;
    PictureView* m_patternOV = nullptr;
    QComboBox* m_unit = nullptr;
    QDoubleSpinBox* m_ppi = nullptr;
    QDoubleSpinBox* m_cellWd = nullptr;
    QDoubleSpinBox* m_cellHt = nullptr;
    ImageControl* m_shapeSample = nullptr;
    QPlainTextEdit* m_sizeInfo = nullptr;
    QSpinBox* m_circleCount = nullptr;
    QDoubleSpinBox* m_rStart = nullptr;
    QDoubleSpinBox* m_rInc = nullptr;
    QDoubleSpinBox* m_cellSpace = nullptr;
    QSpinBox* m_commonDivisor = nullptr;
    QDoubleSpinBox* m_rotateStart = nullptr;
    QDoubleSpinBox* m_rotateStep = nullptr;
    QListWidget* m_shapeList = nullptr;
    // Page 3.
    ImageControl* m_cropView = nullptr;
    QWidget* m_cropRectOverlay = nullptr;
    QWidget* m_cropEllipse = nullptr;
    std::array<QWidget*, 4> m_handles{};
    QLabel* m_miSize = nullptr;
    QLabel* m_mosaicSize = nullptr;
    QDoubleSpinBox* m_enhance = nullptr;
    PictureView* m_cropPreview = nullptr;
    // Page 4.
    ImageControl* m_cellPreview = nullptr;
    QProgressBar* m_pbar2 = nullptr;
    QLabel* m_timecost1 = nullptr;
    // Page 5.
    QCheckBox* m_useAll = nullptr;
    QCheckBox* m_repeatMaxOn = nullptr;
    QSpinBox* m_repeatMax = nullptr;
    QCheckBox* m_repeatRadiusOn = nullptr;
    QSpinBox* m_repeatRadius = nullptr;
    QCheckBox* m_repeatMinOn = nullptr;
    QSpinBox* m_repeatMin = nullptr;
    QRadioButton* m_scanline = nullptr;
    QRadioButton* m_randomStart = nullptr;
    QCheckBox* m_ditherOn = nullptr;
    FractionSlider* m_dither = nullptr;
    QLabel* m_ditherLabel = nullptr;
    QRadioButton* m_rgbMatch = nullptr;
    QRadioButton* m_lightRgbMatch = nullptr;
    FractionSlider* m_weightL = nullptr;
    FractionSlider* m_weightC = nullptr;
    FractionSlider* m_randomLevel = nullptr;
    QLabel* m_randomLevelLabel = nullptr;
    QCheckBox* m_colorAdjustOn = nullptr;
    FractionSlider* m_colorAdjust = nullptr;
    QLabel* m_colorAdjustLabel = nullptr;
    QCheckBox* m_alphaBlendOn = nullptr;
    FractionSlider* m_alphaBlend = nullptr;
    QLabel* m_alphaBlendLabel = nullptr;
    QRadioButton* m_bgMain = nullptr;
    QRadioButton* m_bgColor = nullptr;
    ColorPickerButton* m_colorPicker = nullptr;
    QPushButton* m_create = nullptr;
    QProgressBar* m_pbar1 = nullptr;
    QLabel* m_timecost2 = nullptr;
    // Page 6.
    std::array<QToolButton*, 4> m_levels{};
    QRadioButton* m_showNumber = nullptr;
    QRadioButton* m_showColor = nullptr;
    ImageControl* m_priority = nullptr;

    std::unique_ptr<ProgressBarProgress> m_progress1;
    std::unique_ptr<ProgressBarProgress> m_progress2;
    QImage m_cellPreviewImage;
    QImage m_priorityImage;
    QImage m_projectHueChart;
    QImage m_projectWheelsChart;
};

// The texts of page 0, in order.
inline constexpr const char* kWelcomeTitle = "Welcome to Quillary";
inline constexpr const char* kWelcomeLine =
    "This softwaer helps you Convert a photo to a mosaic, use small photos from your own collection.";
inline constexpr const char* kWelcomeSteps =
    "At the top are the 6 easy steps you will go through to do this. You can click between them at any time. When "
    "you're happy with a step click next. So let's get started! Pick an image by clicking the photo on the right or "
    "click next if you want to use that one.";
