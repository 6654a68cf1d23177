#include "newproject/new_project_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/qt_platform.h"
#include "app/window_support.h"
#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/picture_io.h"
#include "imaging/shape_preview.h"
#include "library_windows/color_range_viewer.h"
#include "library_windows/new_library_window.h"
#include "newproject/window_controls.h"
#include "platform/number_format.h"
#include "render/color_charts.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <QSignalBlocker>

#include <cmath>
#include <functional>

namespace {

constexpr int kClientWidth = 631;
constexpr int kClientHeight = 495;
// The crop view and the cell preview; the size of the crop view is the size the photo
// is fitted into (zoomedImage).
const QRect kCropViewGeometry(8, 8, 430, 430);
const QRect kCellPreviewGeometry(8, 8, 450, 400);
constexpr int kHandleSide = 25;
constexpr int kHandleOffset = 13;
constexpr QRgb kOverlayFill = 0xFFFEF576;
constexpr QRgb kHandleFill = 0xFF66CCFF;
// Shape codes of the circle layout's shape list, by item.
constexpr std::int32_t kCircleShapes[4] = {20, 10, 30, 40};

// rect_microp, Circle_microp and Circle0..3: filled shapes the mouse passes through.
class OverlayShape : public QWidget {
public:
    OverlayShape(QWidget* parent, QRgb fill, double opacity, bool ellipse)
        : QWidget(parent), m_fill(fill), m_opacity(opacity), m_ellipse(ellipse)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(m_opacity);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(m_fill));
        if (m_ellipse)
            p.drawEllipse(QRectF(rect()));
        else
            p.fillRect(rect(), QColor::fromRgba(m_fill));
    }

private:
    QRgb m_fill;
    double m_opacity;
    bool m_ellipse;
};

// PictureView that reports a click (npa_mainimageOV picks the main image).
class ClickablePicture : public PictureView {
public:
    using PictureView::PictureView;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) onClick();
    }
};

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* l = named(new QLabel(text, parent), name);
    l->setGeometry(geometry);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(geometry);
    return b;
}

QSpinBox* intField(QWidget* parent, const char* name, int min, int max, int value, const QRect& geometry)
{
    auto* s = named(new QSpinBox(parent), name);
    s->setRange(min, max);
    s->setValue(value);
    s->setGeometry(geometry);
    s->setKeyboardTracking(false);
    return s;
}

QDoubleSpinBox* realField(QWidget* parent, const char* name, double min, double max, double value, int decimals,
                          double step, const QRect& geometry)
{
    auto* s = named(new QDoubleSpinBox(parent), name);
    s->setDecimals(decimals);
    s->setRange(min, max);
    s->setSingleStep(step);
    s->setValue(value);
    s->setGeometry(geometry);
    s->setKeyboardTracking(false);
    return s;
}

QString twoDecimals(double v)
{
    return FormatFixed(v, 2, 2);
}

} // namespace

TfnewprojectADV::TfnewprojectADV(AppContext& app)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_app(app)
{
    setObjectName(QStringLiteral("fnewprojectADV"));
    setWindowTitle(QStringLiteral("Create Mosaic Project"));
    setFixedSize(kClientWidth, kClientHeight);

    m_tabs = named(new QTabWidget(this), "TabControl1");
    m_tabs->setGeometry(0, 0, kClientWidth, kClientHeight);
    m_tabs->addTab(buildMainImagePage(), QStringLiteral("Main Image"));
    m_tabs->addTab(buildLibraryPage(), QStringLiteral("Photo Lib"));
    m_tabs->addTab(buildSizePage(), QStringLiteral("Size and Pattern"));
    m_tabs->addTab(buildCropPage(), QStringLiteral("Mainimage Crop"));
    m_tabs->addTab(buildCellPreviewPage(), QStringLiteral("Cell Preview"));
    m_tabs->addTab(buildOptionsPage(), QStringLiteral("Render Option"));
    m_tabs->addTab(buildPriorityPage(), QStringLiteral("Priority"));
    // The priority page works but is not offered.
    m_tabs->setTabVisible(6, false);
    m_tabs->setCurrentIndex(0);

    m_progress1 = std::make_unique<ProgressBarProgress>(m_pbar1);
    m_progress2 = std::make_unique<ProgressBarProgress>(m_pbar2);

    // The creation handler.
    cellPreviewDrawMode = kDrawSourceColor;
    priorityDrawMode = kDrawPriorityNumber;
    connectEvents();
}

TfnewprojectADV::~TfnewprojectADV() = default;

Workspace& TfnewprojectADV::ws()
{
    return m_app.ws();
}

// --- Pages ---------------------------------------------------------------------------

QWidget* TfnewprojectADV::buildMainImagePage()
{
    auto* page = named(new QWidget, "TabItem_mainimage");
    QLabel* title = label(page, "lb_welcome", QString::fromLatin1(kWelcomeTitle), QRect(12, 16, 290, 32));
    QFont f = title->font();
    f.setPointSize(16);
    f.setBold(true);
    title->setFont(f);
    QLabel* line = label(page, "lb_welcome2", QString::fromLatin1(kWelcomeLine), QRect(12, 60, 290, 60));
    line->setWordWrap(true);
    QLabel* steps = label(page, "lb_welcome3", QString::fromLatin1(kWelcomeSteps), QRect(12, 128, 290, 160));
    steps->setWordWrap(true);
    steps->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* picture = named(new ClickablePicture(page), "npa_mainimageOV");
    picture->setGeometry(312, 12, 300, 380);
    picture->setCursor(Qt::PointingHandCursor);
    picture->onClick = [this] { pickMainImage(); };
    m_mainImageOV = picture;
    QPushButton* pick =
        button(page, "bt_pickmainimage", QStringLiteral("Click to pick main image"), QRect(312, 400, 300, 32));
    connect(pick, &QPushButton::clicked, this, &TfnewprojectADV::pickMainImage);
    return page;
}

QWidget* TfnewprojectADV::buildLibraryPage()
{
    auto* page = named(new QWidget, "TabItem_photolib");
    m_libList = named(new QListWidget(page), "lb_imgliblist");
    m_libList->setGeometry(8, 8, 220, 424);
    m_libListFull = named(new QListWidget(page), "lb_imgliblist_fullname");
    m_libListFull->setGeometry(8, 8, 220, 424);
    m_libListFull->hide();
    m_libCount = label(page, "Lb_tileLibCount", QStringLiteral("Tile Count: "), QRect(236, 8, 380, 20));
    m_libPreview = named(new PictureView(page), "Img_imglibpreview");
    m_libPreview->setGeometry(236, 32, 380, 360);
    QPushButton* range =
        button(page, "bt_checkcolorrange", QStringLiteral("Check Color Range"), QRect(236, 400, 186, 32));
    QPushButton* newLib = button(page, "bt_newphotolib", QStringLiteral("New Photo Lib"), QRect(430, 400, 186, 32));
    connect(range, &QPushButton::clicked, this, &TfnewprojectADV::ShowColorRange);
    connect(newLib, &QPushButton::clicked, this, [this] {
        if (m_app.FnewImglib) m_app.FnewImglib->ShowForNewLibrary(QStringLiteral("New Photo Lib"));
    });
    return page;
}

QWidget* TfnewprojectADV::buildSizePage()
{
    auto* page = named(new QWidget, "TabItem_size");
    m_tabPattern = named(new QTabWidget(page), "TabPattern");
    m_tabPattern->setGeometry(8, 8, 300, 318);

    auto* grid = named(new QWidget, "TabItem_grid");
    label(grid, "lb_hcc", QStringLiteral("Horizontal Tile Count"), QRect(8, 6, 136, 18));
    m_hcc = intField(grid, "sbhcc", 5, 100, 48, QRect(8, 24, 132, 24));
    label(grid, "lb_vcc", QStringLiteral("Vertical Tile Count"), QRect(150, 6, 136, 18));
    m_vcc = intField(grid, "sbvcc", 5, 100, 48, QRect(150, 24, 132, 24));
    label(grid, "lb_horzgap", QStringLiteral("Horizontal Gap size"), QRect(8, 54, 136, 18));
    m_horzGap = realField(grid, "SpinBox_horzGap", 0, 100, 2, 2, 1, QRect(8, 72, 132, 24));
    label(grid, "lb_vertgap", QStringLiteral("Vertical Gap Size"), QRect(150, 54, 136, 18));
    m_vertGap = realField(grid, "SpinBox_vertgap", 0, 100, 2, 2, 1, QRect(150, 72, 132, 24));
    label(grid, "lb_patterns", QStringLiteral("Tile Shape and Pattern"), QRect(8, 104, 270, 18));
    m_patterns = named(new QListWidget(grid), "lbPatterns");
    m_patterns->setGeometry(8, 124, 132, 156);
    m_patternsFull = named(new QListWidget(grid), "lbPatterns_fullname");
    m_patternsFull->setGeometry(8, 124, 132, 156);
    m_patternsFull->hide();
    m_patternOV = named(new PictureView(grid), "Img_patternov");
    m_patternOV->setGeometry(150, 124, 132, 132);
    m_tabPattern->addTab(grid, QStringLiteral("Grid"));

    auto* circles = named(new QWidget, "TabItem_circles");
    label(circles, "lb_comingsoon", QStringLiteral("Coming Soon!"), QRect(8, 4, 270, 18));
    label(circles, "lb_circlecount", QStringLiteral("Circle Count"), QRect(8, 26, 100, 18));
    m_circleCount = intField(circles, "sb_circleCount", 10, 60, 20, QRect(110, 24, 80, 22));
    label(circles, "lb_rstart", QStringLiteral("Radius Start"), QRect(8, 52, 100, 18));
    m_rStart = realField(circles, "sb_rstart", 0, 10000, 100, 2, 1, QRect(110, 50, 80, 22));
    label(circles, "lb_rinc", QStringLiteral("Radius Inc"), QRect(8, 78, 100, 18));
    m_rInc = realField(circles, "sb_rinc", 0, 10000, 64, 2, 1, QRect(110, 76, 80, 22));
    label(circles, "lb_cellspace", QStringLiteral("Tangent Space"), QRect(8, 104, 100, 18));
    m_cellSpace = realField(circles, "sb_cellSpace", 0, 10000, 64, 2, 1, QRect(110, 102, 80, 22));
    label(circles, "lb_commondivisor", QStringLiteral("Step Divisor"), QRect(8, 130, 100, 18));
    m_commonDivisor = intField(circles, "sb_commonDivisor", 1, 100, 3, QRect(110, 128, 80, 22));
    label(circles, "lb_rotatestart", QStringLiteral("Tangent Rotate"), QRect(8, 156, 100, 18));
    m_rotateStart = realField(circles, "sb_rotateStart", 0, 360, 0, 2, 1, QRect(110, 154, 80, 22));
    label(circles, "lb_rotatestep", QStringLiteral("Rotate Step"), QRect(8, 182, 100, 18));
    m_rotateStep = realField(circles, "sb_rotatestep", 0, 360, 0, 2, 1, QRect(110, 180, 80, 22));
    m_shapeList = named(new QListWidget(circles), "ListBox1");
    m_shapeList->setGeometry(200, 24, 86, 100);
    m_shapeList->addItems({QStringLiteral("Caps"), QStringLiteral("Rect"), QStringLiteral("T"), QStringLiteral("R")});
    m_tabPattern->addTab(circles, QStringLiteral("Circles"));
    m_tabPattern->setTabVisible(1, false);
    m_tabPattern->setCurrentIndex(0);

    auto* unitGroup = named(new QGroupBox(QStringLiteral("Unit and Resolution"), page), "gb_unit");
    unitGroup->setGeometry(316, 8, 300, 76);
    label(unitGroup, "lb_unit", QStringLiteral("Size Unit"), QRect(10, 22, 130, 18));
    m_unit = named(new QComboBox(unitGroup), "C_MosaicUnit");
    m_unit->addItems({QStringLiteral("inch"), QStringLiteral("mm"), QStringLiteral("pixel")});
    m_unit->setCurrentIndex(2);
    m_unit->setEnabled(false);
    m_unit->setGeometry(10, 42, 130, 24);
    label(unitGroup, "lb_ppi", QStringLiteral("Resolution PPI"), QRect(156, 22, 130, 18));
    m_ppi = realField(unitGroup, "E_MosaicPPI", 50, 300, 100, 2, 1, QRect(156, 42, 130, 24));

    auto* shapeGroup = named(new QGroupBox(QStringLiteral("Tile Shape and Tile Size"), page), "gb_tileshape");
    shapeGroup->setGeometry(316, 90, 300, 130);
    label(shapeGroup, "lb_cellwd", QStringLiteral("Tile Width (Pixel)"), QRect(10, 22, 150, 18));
    m_cellWd = realField(shapeGroup, "sbcellwd_px", 0.1, 200, 60, 2, 1, QRect(10, 42, 130, 24));
    label(shapeGroup, "lb_cellht", QStringLiteral("Tile Height (Pixel)"), QRect(10, 70, 150, 18));
    m_cellHt = realField(shapeGroup, "sbcellht_px", 0.1, 200, 60, 2, 1, QRect(10, 90, 130, 24));
    m_shapeSample = named(new ImageControl(shapeGroup), "Image_ShapeSample");
    m_shapeSample->setGeometry(186, 22, 100, 100);

    m_sizeInfo = named(new QPlainTextEdit(page), "Memo_sizeinfo");
    m_sizeInfo->setGeometry(316, 226, 300, 166);
    m_sizeInfo->setReadOnly(true);
    m_sizeInfo->setPlainText(QStringLiteral("Cell size will be calculated automatically"));
    m_sizeInfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    QPushButton* update =
        button(page, "bt_updatepreview", QStringLiteral("Update Preview >>"), QRect(466, 400, 150, 32));
    connect(update, &QPushButton::clicked, this, &TfnewprojectADV::previewPage);
    return page;
}

QWidget* TfnewprojectADV::buildCropPage()
{
    auto* page = named(new QWidget, "TabItem_crop");
    m_cropView = named(new ImageControl(page), "Img_maincrop");
    m_cropView->setGeometry(kCropViewGeometry);
    m_cropView->setAutoFillBackground(true);
    QPalette pal = m_cropView->palette();
    pal.setColor(QPalette::Window, QColor(0xE8, 0xE8, 0xE8));
    m_cropView->setPalette(pal);

    m_cropRectOverlay = named(new OverlayShape(page, kOverlayFill, 0.4, false), "rect_microp");
    m_cropRectOverlay->hide();
    m_cropEllipse = named(new OverlayShape(page, kHandleFill, 0.33, true), "Circle_microp");
    m_cropEllipse->hide();
    for (int k = 0; k < 4; ++k) {
        m_handles[k] = new OverlayShape(page, kHandleFill, 0.5, true);
        m_handles[k]->setObjectName(QStringLiteral("Circle%1").arg(k));
        m_handles[k]->setFixedSize(kHandleSide, kHandleSide);
        m_handles[k]->hide();
    }

    const int x = 450, w = 166;
    QPushButton* load = button(page, "bt_loadpicture", QStringLiteral("Load Picture"), QRect(x, 8, w, 30));
    QPushButton* autoCrop = button(page, "bt_autocrop", QStringLiteral("Auto Crop "), QRect(x, 44, w, 30));
    m_miSize = label(page, "lb_miSize", QStringLiteral("File Size"), QRect(x, 82, w, 18));
    m_mosaicSize = label(page, "lb_mosaicSize", QStringLiteral("Mosaic Size"), QRect(x, 102, w, 36));
    m_mosaicSize->setWordWrap(true);
    m_mosaicSize->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label(page, "lb_enhance", QStringLiteral("Enhance"), QRect(x, 142, w, 18));
    m_enhance = realField(page, "SpinBox_enhance", 1.0, 2.0, 1.0, 2, 0.1, QRect(x, 160, w, 24));
    m_cropPreview = named(new PictureView(page), "Image_maincropPV");
    m_cropPreview->setGeometry(x, 192, w, w);
    QPushButton* preview = button(page, "bt_previewcrop", QStringLiteral("Preview >>"), QRect(x, 400, w, 32));

    connect(load, &QPushButton::clicked, this, &TfnewprojectADV::pickMainImage);
    connect(autoCrop, &QPushButton::clicked, this, [this] {
        AutoCropRect();
        ShowCropOverlay();
    });
    connect(preview, &QPushButton::clicked, this, &TfnewprojectADV::previewPage);
    connect(m_cropView, &ImageControl::pressed, this, &TfnewprojectADV::onCropPressed);
    connect(m_cropView, &ImageControl::moved, this, &TfnewprojectADV::onCropMoved);
    connect(m_cropView, &ImageControl::released, this, &TfnewprojectADV::onCropReleased);
    connect(m_cropView, &ImageControl::left, this, &TfnewprojectADV::onCropLeft);
    return page;
}

QWidget* TfnewprojectADV::buildCellPreviewPage()
{
    auto* page = named(new QWidget, "TabItem_cellpreview");
    m_cellPreview = named(new ImageControl(page), "Image_CellPreview");
    m_cellPreview->setGeometry(kCellPreviewGeometry);
    const int x = 466, w = 150;
    QPushButton* quickSave = button(page, "bt_quicksave", QStringLiteral("Quick Save"), QRect(x, 8, w, 30));
    QPushButton* quickLoad = button(page, "bt_quickload", QStringLiteral("Quick Load"), QRect(x, 44, w, 30));
    QPushButton* fullSize = button(page, "bt_fullsize", QStringLiteral("Full Size"), QRect(x, 92, w, 30));
    QPushButton* preview = button(page, "bt_preview", QStringLiteral("Preview"), QRect(x, 128, w, 30));
    QPushButton* range = button(page, "bt_colorrange", QStringLiteral("Color Range"), QRect(x, 176, w, 30));
    m_pbar2 = named(new QProgressBar(page), "pbar2");
    m_pbar2->setGeometry(8, 414, 608, 14);
    m_pbar2->setRange(0, 100);
    m_pbar2->setValue(0);
    m_pbar2->setTextVisible(false);
    m_timecost1 = label(page, "Label_timecost1", QString(), QRect(8, 432, 608, 18));

    connect(quickSave, &QPushButton::clicked, this, &TfnewprojectADV::QuickSave);
    connect(quickLoad, &QPushButton::clicked, this, &TfnewprojectADV::QuickLoad);
    connect(fullSize, &QPushButton::clicked, this, [this] { PreviewPipeline(1); });
    connect(preview, &QPushButton::clicked, this, [this] { PreviewPipeline(0); });
    connect(range, &QPushButton::clicked, this, &TfnewprojectADV::ShowColorRange);
    connect(m_cellPreview, &ImageControl::pressed, this, &TfnewprojectADV::onCellPreviewClicked);
    return page;
}

QWidget* TfnewprojectADV::buildOptionsPage()
{
    auto* page = named(new QWidget, "TabItem_renderoption");

    auto* repeat = named(new QGroupBox(QStringLiteral("Basic Repeat Control"), page), "gb_repeat");
    repeat->setGeometry(8, 4, 300, 132);
    m_useAll = named(new QCheckBox(QStringLiteral("Use All Image (target to Full Size Cell only)"), repeat),
                     "CheckBox_useall");
    m_useAll->setGeometry(10, 22, 286, 22);
    m_repeatMaxOn = named(new QCheckBox(QStringLiteral("Limit Max tile count"), repeat), "CheckBox_repeatMax");
    m_repeatMaxOn->setGeometry(10, 48, 180, 22);
    m_repeatMaxOn->setChecked(true);
    m_repeatMax = intField(repeat, "SpinBox_RepeatMax", 1, 100000, 50, QRect(196, 47, 94, 24));
    m_repeatRadiusOn = named(new QCheckBox(QStringLiteral("Limit Repeat Radius"), repeat), "CheckBox_repeatradius");
    m_repeatRadiusOn->setGeometry(10, 75, 180, 22);
    m_repeatRadiusOn->setChecked(true);
    m_repeatRadius = intField(repeat, "SpinBox_repeatRadius", 0, 100, 1, QRect(196, 74, 94, 24));
    m_repeatMinOn = named(new QCheckBox(QStringLiteral("Minimum Repeat"), repeat), "CheckBox_repeatmin");
    m_repeatMinOn->setGeometry(10, 102, 180, 22);
    m_repeatMin = intField(repeat, "SpinBox_repeatMin", 1, 100000, 1, QRect(196, 101, 94, 24));

    auto* search = named(new QGroupBox(QStringLiteral("Searching Algorithm"), page), "gb_search");
    search->setGeometry(8, 140, 300, 132);
    m_scanline =
        named(new QRadioButton(QStringLiteral("ScanLine, Top to Bottom, Left to Right"), search), "rb_search_scanline");
    m_scanline->setGeometry(10, 22, 286, 22);
    m_randomStart = named(new QRadioButton(QStringLiteral("Start at Random Position"), search), "rb_search_random");
    m_randomStart->setGeometry(10, 46, 286, 22);
    m_randomStart->setChecked(true);
    m_ditherOn = named(new QCheckBox(QStringLiteral("Enable Dither Rendering "), search), "CheckBox_Dither");
    m_ditherOn->setGeometry(10, 74, 220, 22);
    m_ditherOn->setChecked(true);
    m_dither = named(new FractionSlider(0, 100, 1, search), "TrackBar_dither");
    m_dither->setFractionValue(100);
    m_dither->setGeometry(10, 100, 230, 22);
    m_ditherLabel = label(search, "lb_dither", QStringLiteral("100%"), QRect(248, 100, 46, 22));

    auto* match = named(new QGroupBox(QStringLiteral("Color Matching Algorithm"), page), "gb_match");
    match->setGeometry(316, 4, 300, 190);
    m_rgbMatch = named(new QRadioButton(QStringLiteral("RGB Match"), match), "rb_rgbmatch");
    m_rgbMatch->setGeometry(10, 22, 130, 22);
    m_lightRgbMatch = named(new QRadioButton(QStringLiteral("Light-RGB Match"), match), "RadioButton10");
    m_lightRgbMatch->setGeometry(146, 22, 150, 22);
    m_lightRgbMatch->setChecked(true);
    label(match, "lb_weightl", QStringLiteral("Weight of Light Factor"), QRect(10, 50, 280, 18));
    m_weightL = named(new FractionSlider(0.5, 5, 100, match), "TrackBar_weightL");
    m_weightL->setFractionValue(NewProjectSettings{}.weightL);
    m_weightL->setGeometry(10, 68, 280, 22);
    label(match, "lb_weightc", QStringLiteral("Weight of Color Factor"), QRect(10, 96, 280, 18));
    m_weightC = named(new FractionSlider(0.5, 5, 100, match), "TrackBar_weightC");
    m_weightC->setFractionValue(NewProjectSettings{}.weightC);
    m_weightC->setGeometry(10, 114, 280, 22);
    label(match, "lb_randomlevel", QStringLiteral("Randomize Level"), QRect(10, 142, 200, 18));
    m_randomLevel = named(new FractionSlider(1, 100, 1, match), "TrackBar_Randomlevel");
    m_randomLevel->setFractionValue(15);
    m_randomLevel->setGeometry(10, 160, 230, 22);
    m_randomLevelLabel = label(match, "lb_randomlevelvalue", QStringLiteral("15"), QRect(248, 160, 46, 22));

    auto* enhance = named(new QGroupBox(QStringLiteral("Color Enhance"), page), "gb_colorenhance");
    enhance->setGeometry(316, 198, 148, 78);
    m_colorAdjustOn = named(new QCheckBox(QStringLiteral("Enable Color Enhance"), enhance), "CheckBox_coloradj");
    m_colorAdjustOn->setGeometry(8, 20, 136, 22);
    m_colorAdjustOn->setChecked(true);
    m_colorAdjust = named(new FractionSlider(0.01, 0.5, 100, enhance), "tb_coloradj");
    m_colorAdjust->setFractionValue(0.4);
    m_colorAdjust->setGeometry(8, 48, 96, 22);
    m_colorAdjustLabel = label(enhance, "lb_coloradj", QStringLiteral("0.40"), QRect(108, 48, 36, 22));

    auto* alpha = named(new QGroupBox(QStringLiteral("Alpha Blend"), page), "gb_alphablend");
    alpha->setGeometry(468, 198, 148, 78);
    m_alphaBlendOn = named(new QCheckBox(QStringLiteral("Enable Alpha Blend"), alpha), "CheckBox_alphablend");
    m_alphaBlendOn->setGeometry(8, 20, 136, 22);
    m_alphaBlendOn->setChecked(true);
    m_alphaBlend = named(new FractionSlider(0.01, 0.3, 100, alpha), "tb_alphablend");
    m_alphaBlend->setFractionValue(0.25);
    m_alphaBlend->setGeometry(8, 48, 96, 22);
    m_alphaBlendLabel = label(alpha, "lb_alphablend", QStringLiteral("0.25"), QRect(108, 48, 36, 22));

    auto* bg = named(new QGroupBox(QStringLiteral("BackGround Filling"), page), "gb_background");
    bg->setGeometry(8, 276, 300, 80);
    m_bgMain = named(new QRadioButton(QStringLiteral("Main Image as Background"), bg), "rb_bg_main");
    m_bgMain->setGeometry(10, 22, 220, 22);
    m_bgColor = named(new QRadioButton(QStringLiteral("Fill by Color"), bg), "RadioButton14");
    m_bgColor->setGeometry(10, 48, 160, 22);
    m_bgColor->setChecked(true);
    m_colorPicker = named(new ColorPickerButton(bg), "colorpicker1");
    m_colorPicker->setGeometry(180, 44, 60, 28);
    m_colorPicker->setColor(NewProjectSettings{}.bgColor);

    m_create = button(page, "bt_createmosaic", QStringLiteral(" Create Mosaic >>>"), QRect(316, 300, 300, 48));
    QFont f = m_create->font();
    f.setBold(true);
    m_create->setFont(f);
    m_pbar1 = named(new QProgressBar(page), "pbar1");
    m_pbar1->setGeometry(8, 414, 608, 14);
    m_pbar1->setRange(0, 100);
    m_pbar1->setValue(0);
    m_pbar1->setTextVisible(false);
    m_timecost2 = label(page, "Label_timecost2", QString(), QRect(8, 432, 608, 18));

    connect(m_create, &QPushButton::clicked, this, &TfnewprojectADV::CreateMosaicClick);
    return page;
}

QWidget* TfnewprojectADV::buildPriorityPage()
{
    auto* page = named(new QWidget, "TabItem_priority");
    static const char* const names[4] = {"SpeedButton_lv0", "SpeedButton_lv1", "SpeedButton_lv2", "SpeedButton_nofill"};
    const QString captions[4] = {QStringLiteral("Lv0 High"), QStringLiteral("Lv1 Normal"), QStringLiteral("Lv2 Low"),
                                 QStringLiteral("Do Not Fill Me!")};
    auto* group = new QButtonGroup(page);
    group->setExclusive(true);
    for (int k = 0; k < 4; ++k) {
        m_levels[k] = named(new QToolButton(page), names[k]);
        m_levels[k]->setText(captions[k]);
        m_levels[k]->setCheckable(true);
        m_levels[k]->setGeometry(8 + k * 92, 8, 88, 28);
        group->addButton(m_levels[k], k);
    }
    m_levels[0]->setChecked(true);
    m_showNumber = named(new QRadioButton(QStringLiteral("Show Number"), page), "rb_shownumber");
    m_showNumber->setGeometry(380, 4, 110, 18);
    m_showNumber->setChecked(true);
    m_showColor = named(new QRadioButton(QStringLiteral("Show Color"), page), "rb_showcolor");
    m_showColor->setGeometry(380, 22, 110, 18);
    QPushButton* reset = button(page, "bt_prireset", QStringLiteral("Reset"), QRect(494, 8, 40, 28));
    QPushButton* quickLoad = button(page, "bt_priquickload", QStringLiteral("Quick Load"), QRect(536, 8, 40, 28));
    QPushButton* quickSave = button(page, "bt_priquicksave", QStringLiteral("Quick Save"), QRect(578, 8, 40, 28));
    for (QPushButton* b : {reset, quickLoad, quickSave})
        b->setToolTip(b->text());

    auto* box = named(new QScrollArea(page), "ScrollBox_priority");
    box->setGeometry(8, 44, 608, 390);
    box->setWidgetResizable(false);
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_priority = named(new ImageControl, "Image_Priority");
    m_priority->setSizeToPicture(true);
    m_priority->resize(kCellPreviewGeometry.size());
    box->setWidget(m_priority);

    connect(m_showNumber, &QRadioButton::toggled, this, [this] {
        priorityDrawMode = m_showNumber->isChecked() ? kDrawPriorityNumber : kDrawPriorityColor;
        RedrawPriority();
    });
    connect(reset, &QPushButton::clicked, this, &TfnewprojectADV::RedrawPriority);
    connect(quickLoad, &QPushButton::clicked, this, &TfnewprojectADV::QuickLoad);
    connect(quickSave, &QPushButton::clicked, this, &TfnewprojectADV::QuickSave);
    connect(m_priority, &ImageControl::pressed, this, &TfnewprojectADV::PriorityClick);
    return page;
}

void TfnewprojectADV::connectEvents()
{
    connect(m_libList, &QListWidget::itemClicked, this, [this](QListWidgetItem*) {
        if (m_libList->currentRow() >= 0) SelectTileLib(m_libList->currentRow());
    });
    connect(m_patterns, &QListWidget::itemClicked, this, &TfnewprojectADV::onPatternClicked);
    connect(m_shapeList, &QListWidget::itemClicked, this, &TfnewprojectADV::onShapeClicked);

    for (QSpinBox* s : {m_hcc, m_vcc, m_circleCount, m_commonDivisor})
        connect(s, &QSpinBox::valueChanged, this, &TfnewprojectADV::onSizeFieldChanged);
    for (QDoubleSpinBox* s : {m_horzGap, m_vertGap, m_rStart, m_rInc, m_cellSpace, m_rotateStart, m_rotateStep, m_ppi})
        connect(s, &QDoubleSpinBox::valueChanged, this, &TfnewprojectADV::onSizeFieldChanged);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &TfnewprojectADV::onSizeFieldChanged);
    connect(m_tabPattern, &QTabWidget::tabBarClicked, this, [this](int) {
        // The page is current only after the click; the size update follows it.
        QMetaObject::invokeMethod(
            this, [this] { onSizeFieldChanged(); }, Qt::QueuedConnection);
    });
    connect(m_tabPattern, &QTabWidget::currentChanged, this, &TfnewprojectADV::onSizeFieldChanged);
    for (QDoubleSpinBox* s : {m_cellWd, m_cellHt, m_enhance})
        connect(s, &QDoubleSpinBox::valueChanged, this, &TfnewprojectADV::onTileSizeChanged);

    connect(m_dither, &FractionSlider::fractionChanged, this,
            [this](double v) { m_ditherLabel->setText(QString::number(static_cast<int>(std::trunc(v))) + '%'); });
    connect(m_randomLevel, &FractionSlider::fractionChanged, this,
            [this](double v) { m_randomLevelLabel->setText(twoDecimals(v)); });
    connect(m_colorAdjust, &FractionSlider::fractionChanged, this,
            [this](double v) { m_colorAdjustLabel->setText(twoDecimals(v)); });
    connect(m_alphaBlend, &FractionSlider::fractionChanged, this,
            [this](double v) { m_alphaBlendLabel->setText(twoDecimals(v)); });
    connect(m_colorPicker, &ColorPickerButton::colorChanged, this, [this](QRgb c) { ws().moptions.BgColor = c; });
}

// --- Reading the controls ------------------------------------------------------------

NewProjectSettings TfnewprojectADV::settings() const
{
    NewProjectSettings s;
    s.patternPage = m_tabPattern->currentIndex();
    s.horizontalCount = m_hcc->value();
    s.verticalCount = m_vcc->value();
    s.horizontalGap = m_horzGap->value();
    s.verticalGap = m_vertGap->value();
    s.unitIndex = m_unit->currentIndex();
    s.ppi = m_ppi->value();
    s.tileWidth = m_cellWd->value();
    s.tileHeight = m_cellHt->value();
    s.enhance = m_enhance->value();
    s.circleCount = m_circleCount->value();
    s.radiusStart = m_rStart->value();
    s.radiusInc = m_rInc->value();
    s.tangentSpace = m_cellSpace->value();
    s.stepDivisor = m_commonDivisor->value();
    s.tangentRotateDegrees = m_rotateStart->value();
    s.rotateStepDegrees = m_rotateStep->value();
    s.selectedShape = m_selectedShape;

    s.useAll = m_useAll->isChecked();
    s.repeatMaxOn = m_repeatMaxOn->isChecked();
    s.repeatMax = m_repeatMax->value();
    s.repeatRadiusOn = m_repeatRadiusOn->isChecked();
    s.repeatRadius = m_repeatRadius->value();
    s.repeatMinOn = m_repeatMinOn->isChecked();
    s.repeatMin = m_repeatMin->value();
    s.scanlineSearch = m_scanline->isChecked();
    s.ditherOn = m_ditherOn->isChecked();
    s.dither = m_dither->fractionValue();
    s.rgbMatch = m_rgbMatch->isChecked();
    s.weightL = m_weightL->fractionValue();
    s.weightC = m_weightC->fractionValue();
    s.randomLevel = m_randomLevel->fractionValue();
    s.colorAdjust = m_colorAdjust->fractionValue();
    s.alphaBlend = m_alphaBlend->fractionValue();
    s.colorEnhanceOn = m_colorAdjustOn->isChecked();
    s.alphaBlendOn = m_alphaBlendOn->isChecked();
    s.bgMainImage = m_bgMain->isChecked();
    s.bgColor = m_colorPicker->color();
    return s;
}

// --- Routines ------------------------------------------------------------------------

void TfnewprojectADV::InitNewProjectWindow()
{
    if (m_initialised) return;
    const DataFolders& f = ws().folders;
    QStringList names, folders;
    ListTilelibs(names, folders, f.programLibraryFolder, f.userLibraryFolder);
    m_libList->clear();
    m_libList->addItems(names);
    m_libListFull->clear();
    m_libListFull->addItems(folders);
    if (!names.isEmpty()) {
        m_libList->setCurrentRow(0);
        SelectTileLib(0);
    }

    QStringList patternNames, patternPaths;
    ListPatterns(patternNames, patternPaths, f.programPatternFolder, f.userPatternFolder);
    m_patterns->clear();
    m_patterns->addItems(patternNames);
    m_patternsFull->clear();
    m_patternsFull->addItems(patternPaths);
    if (!patternNames.isEmpty()) {
        m_patterns->setCurrentRow(0);
        SelectPattern(0);
    }

    m_selectedShape = ws().mproject.patterncfg.CellGroup[0][0].Shape;
    DrawShapeSample();
    SizeUpdate();
    {
        const QSignalBlocker quiet(m_shapeList);
        m_shapeList->setCurrentRow(0);
    }
    DrawShapeSample();
    m_initialised = true;
}

void TfnewprojectADV::RefreshLibraryLists()
{
    const QString current = m_libListFull->currentItem() ? m_libListFull->currentItem()->text() : QString();
    const DataFolders& f = ws().folders;
    QStringList names, folders;
    ListTilelibs(names, folders, f.programLibraryFolder, f.userLibraryFolder);
    m_libList->clear();
    m_libList->addItems(names);
    m_libListFull->clear();
    m_libListFull->addItems(folders);
    const int keep = current.isEmpty() ? -1 : int(folders.indexOf(current));
    if (keep >= 0) {
        m_libList->setCurrentRow(keep);
        m_libListFull->setCurrentRow(keep);
    }
}

void TfnewprojectADV::SelectTileLib(int i)
{
    if (i < 0 || i >= m_libListFull->count()) return;
    m_libListFull->setCurrentRow(i);
    const QString folder = m_libListFull->item(i)->text();
    const QString catalogue = GetTilelibFileName(folder);
    m_libCount->setText(QStringLiteral("Tile Count: ") + QString::number(ReadTilelibCount(catalogue)));
    if (Result<QImage> preview = LoadPicture(GetPreviewFileName(folder)))
        m_libPreview->setPicture(*preview);
    else {
        m_libPreview->setPicture(QImage());
        showError(preview.error());
    }
    if (Status st = ws().mtilelib.LoadTilelib(catalogue); !st) showError(st.error());
}

void TfnewprojectADV::SelectPattern(int i)
{
    if (i < 0 || i >= m_patternsFull->count()) return;
    const QString file = m_patternsFull->item(i)->text();
    if (Status st = LoadPattern(ws().mproject.patterncfg, file); !st) showError(st.error());
    if (Result<QImage> preview = LoadPicture(file + QStringLiteral(".jpg")))
        m_patternOV->setPicture(*preview);
    else {
        m_patternOV->setPicture(QImage());
        showError(preview.error());
    }
}

void TfnewprojectADV::SizeUpdate()
{
    const SizeTexts t = ::SizeUpdate(ws(), settings(), m_cellPreview->size());
    m_mosaicSize->setText(t.mosaicSize);
    m_sizeInfo->setPlainText(t.sizeInfo.join(QLatin1Char('\n')));
}

void TfnewprojectADV::DrawShapeSample()
{
    const TprojectCFG& c = ws().mproject.cfg;
    if (!(c.CellWdf * c.CellHtf > 0)) return;
    const float scale = ws().screenScale;
    const int w = static_cast<int>(std::trunc(m_shapeSample->width() * double(scale)));
    const int h = static_cast<int>(std::trunc(m_shapeSample->height() * double(scale)));
    if (w <= 0 || h <= 0) return;
    QImage bitmap(w, h, QImage::Format_ARGB32_Premultiplied);
    DrawShapePreview(bitmap, static_cast<float>(c.CellWdf), static_cast<float>(c.CellHtf), m_selectedShape, scale);
    bitmap.setDevicePixelRatio(scale);
    m_shapeSample->setPicture(bitmap);
}

void TfnewprojectADV::PreviewPipeline(int target)
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const PreviewTarget where = target == 0   ? PreviewTarget::CellPreview
                                : target == 1 ? PreviewTarget::MainView
                                              : PreviewTarget::None;
    m_timecost1->clear();
    PreviewViews views;
    views.cellPreview = &m_cellPreviewImage;
    views.mainView = m_app.Form1 ? &m_app.Form1->Image1() : nullptr;
    views.progress = m_progress2.get();
    QString timings;
    const Status st = ::PreviewPipeline(ws(), settings(), m_crop, m_cellPreview->size(), where, views, &timings);
    m_timecost1->setText(timings);
    m_cropPreview->setPicture(ws().fullSizeImage);
    if (where == PreviewTarget::CellPreview) m_cellPreview->setPicture(m_cellPreviewImage);
    if (where == PreviewTarget::MainView && m_app.Form1) m_app.Form1->ShowMosaicImage();
    if (!st) showError(st.error());
}

void TfnewprojectADV::ReadRenderOptions()
{
    ws().moptions = ::ReadRenderOptions(settings(), ws().moptions);
}

void TfnewprojectADV::RenderMosaic()
{
    QString timings = m_timecost2->text();
    const Status st = ::RenderMosaic(ws(), settings(), m_crop, &timings);
    m_timecost2->setText(timings);
    if (!st) showError(st.error());
}

bool TfnewprojectADV::CreateMosaic(Progress* progress)
{
    AppContext::LongCommand command(m_app);
    if (command.refused() || !m_app.Form1) return false;
    if (ws().mainImage.isNull()) {
        showError(QStringLiteral("Please pick a main image first."));
        return false;
    }
    QString timings = m_timecost2->text();
    const Status st =
        ::CreateMosaic(ws(), settings(), m_crop, m_cellPreview->size(), m_app.Form1->Image1(), progress, &timings);
    m_timecost2->setText(timings);
    m_cropPreview->setPicture(ws().fullSizeImage);
    m_app.Form1->ShowMosaicImage();
    if (!st) showError(st.error());
    return st.ok();
}

void TfnewprojectADV::CreateMosaicClick()
{
    AppContext::LongCommand command(m_app);
    if (command.refused() || !m_app.Form1) return;
    m_timecost2->clear();
    QString timings;
    const Status st = CreateMosaicCommand(ws(), settings(), m_crop, m_cellPreview->size(), m_app.Form1->Image1(),
                                          m_progress1.get(), &timings);
    m_timecost2->setText(timings);
    m_cropPreview->setPicture(ws().fullSizeImage);
    m_app.Form1->ShowMosaicImage();
    if (!st) showError(st.error());
}

// --- Main image and crop -------------------------------------------------------------

void TfnewprojectADV::pickMainImage()
{
    const QString file =
        m_app.dialogs().getOpenFileName(this, QStringLiteral("Open"), QString(),
                                        ToQtFilter(QStringLiteral("supported picture files|*.jpg;*.jpeg;*.bmp;*.png")));
    if (!file.isEmpty()) LoadMainImage(file);
}

bool TfnewprojectADV::LoadMainImage(const QString& file)
{
    const Result<bool> loaded = ::LoadMainImage(ws(), file, m_cropView->width(), m_cropView->height());
    if (!loaded) {
        showError(loaded.error());
        return false;
    }
    if (!*loaded) return false;
    afterMainImageLoaded();
    return true;
}

bool TfnewprojectADV::LoadMainImageFromStream(QIODevice& stream, const QString& sourceName)
{
    const Result<bool> loaded =
        ::LoadMainImageFromStream(ws(), stream, m_cropView->width(), m_cropView->height(), sourceName);
    if (!loaded) {
        showError(loaded.error());
        return false;
    }
    if (!*loaded) return false;
    afterMainImageLoaded();
    return true;
}

void TfnewprojectADV::afterMainImageLoaded()
{
    QImage shown = ws().zoomedImage;
    shown.setDevicePixelRatio(ws().screenScale);
    m_cropView->setPicture(shown);
    m_mainImageOV->setPicture(shown);
    m_miSize->setText(
        QStringLiteral("File Size %1x%2 pixels").arg(ws().mainImage.width()).arg(ws().mainImage.height()));
    AutoCropRect();
    ShowCropOverlay();
}

void TfnewprojectADV::AutoCropRect()
{
    if (const std::optional<TAlphaColor> average = ::AutoCropRect(ws(), m_crop)) m_colorPicker->setColor(*average);
}

void TfnewprojectADV::ShowCropOverlay()
{
    if (ws().zoomedImage.isNull()) return;
    const QPointF origin = m_cropView->pos();
    const TRectF& r = m_crop.cropRect;
    const QRect overlay = QRectF(origin + QPointF(r.Left, r.Top), QSizeF(r.Right - r.Left, r.Bottom - r.Top)).toRect();
    m_cropRectOverlay->setGeometry(overlay);
    m_cropRectOverlay->show();
    m_cropRectOverlay->raise();
    if (ws().mproject.cfg.ProjectPatternType != 0) {
        m_cropEllipse->setGeometry(overlay);
        m_cropEllipse->show();
        m_cropEllipse->raise();
    } else {
        m_cropEllipse->hide();
    }
    for (int k = 0; k < 4; ++k) {
        const TPointF c = m_crop.cropCorners[k];
        m_handles[k]->move((origin + QPointF(c.X, c.Y) - QPointF(kHandleOffset, kHandleOffset)).toPoint());
        m_handles[k]->show();
        m_handles[k]->raise();
    }
}

void TfnewprojectADV::MakeFullSize()
{
    ::MakeFullSize(ws(), m_crop.cropRect);
    m_cropPreview->setPicture(ws().fullSizeImage);
}

void TfnewprojectADV::onCropPressed(QPointF p)
{
    m_crop = CropMouseDown(m_crop, TPointF{float(p.x()), float(p.y())});
}

void TfnewprojectADV::onCropMoved(QPointF p)
{
    const TprojectCFG& c = ws().mproject.cfg;
    m_crop = CropMouseMove(m_crop, TPointF{float(p.x()), float(p.y())}, CropViewBounds(ws()), c.WidthPx, c.HeightPx);
    ShowCropOverlay();
}

void TfnewprojectADV::onCropReleased(QPointF)
{
    m_crop = CropMouseUp(m_crop);
    SizeUpdate();
    MakeFullSize();
}

void TfnewprojectADV::onCropLeft()
{
    m_crop = CropMouseLeave(m_crop);
}

// --- Events --------------------------------------------------------------------------

void TfnewprojectADV::onPatternClicked(QListWidgetItem*)
{
    const int row = m_patterns->currentRow();
    if (row >= 0) SelectPattern(row);
    m_selectedShape = ws().mproject.patterncfg.CellGroup[0][0].Shape;
    DrawShapeSample();
    SizeUpdate();
    AutoCropRect();
    ShowCropOverlay();
}

void TfnewprojectADV::onShapeClicked(QListWidgetItem* item)
{
    const int row = m_shapeList->row(item);
    if (row < 0 || row > 3) return;
    m_selectedShape = kCircleShapes[row];
    DrawShapeSample();
    SizeUpdate();
    AutoCropRect();
    ShowCropOverlay();
}

void TfnewprojectADV::onSizeFieldChanged()
{
    SizeUpdate();
    AutoCropRect();
    ShowCropOverlay();
}

void TfnewprojectADV::onTileSizeChanged()
{
    SizeUpdate();
    DrawShapeSample();
    AutoCropRect();
    ShowCropOverlay();
}

void TfnewprojectADV::previewPage()
{
    m_tabs->setCurrentIndex(4);
    QCoreApplication::processEvents();
    PreviewPipeline(0);
}

void TfnewprojectADV::onCellPreviewClicked()
{
    const Status st =
        Draw_MosaicToView(ws(), cellPreviewDrawMode, m_cellPreviewImage, ws().mproject.cfg.CellPlanScale, nullptr);
    m_cellPreview->setPicture(m_cellPreviewImage);
    if (!st) showError(st.error());
}

void TfnewprojectADV::ShowColorRange()
{
    TColorHistogram library;
    if (!ws().mproject.SizeChanged) {
        TColorHistogram project;
        ProjectColorHistogram(project, ws().mproject);
        DrawColorWheel(m_projectHueChart, project, kChartHueWheel);
        DrawColorWheel(m_projectWheelsChart, project, kChartThreeWheels);
    }
    TileLibColorHistogram(library, ws(), kChartSourceWorking);
    QImage libraryHue, libraryWheels;
    DrawColorWheel(libraryHue, library, kChartHueWheel);
    DrawColorWheel(libraryWheels, library, kChartThreeWheels);
    if (TfColorRangeViewer* viewer = m_app.fColorRangeViewer) {
        viewer->SetCharts(libraryHue, libraryWheels, m_projectHueChart, m_projectWheelsChart);
        viewer->showOver(this);
    }
}

void TfnewprojectADV::QuickSave()
{
    if (Status st = ws().mproject.SaveProjectFile(QuickSaveFile(ws())); !st) showError(st.error());
}

void TfnewprojectADV::QuickLoad()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    if (Status st = ws().mproject.LoadProjectFile(QuickSaveFile(ws())); !st) {
        showError(st.error());
        return;
    }
    Result<double> drawn =
        Draw_MosaicToImage(ws(), cellPreviewDrawMode, m_cellPreviewImage, m_cellPreview->size(), nullptr);
    m_cellPreview->setPicture(m_cellPreviewImage);
    if (!drawn) showError(drawn.error());
    drawn = Draw_MosaicToImage(ws(), kDrawPriorityNumber, m_priorityImage, m_cellPreview->size(), nullptr);
    m_priority->setPicture(m_priorityImage);
    if (!drawn) showError(drawn.error());
}

void TfnewprojectADV::RedrawPriority()
{
    const Status st =
        Draw_MosaicToView(ws(), priorityDrawMode, m_priorityImage, ws().mproject.cfg.CellPlanScale, nullptr);
    m_priority->setPicture(m_priorityImage);
    if (!st) showError(st.error());
}

int TfnewprojectADV::pressedPriorityLevel() const
{
    if (m_levels[3]->isChecked()) return 3;
    if (m_levels[2]->isChecked()) return 2;
    if (m_levels[1]->isChecked()) return 1;
    return 0;
}

void TfnewprojectADV::PriorityClick(QPointF p)
{
    SetPriorityAt(ws(), float(p.x()), float(p.y()), pressedPriorityLevel());
}

void TfnewprojectADV::showError(const QString& text)
{
    m_app.message(MessageKind::Error, text, MessageButtons::OK);
}

void TfnewprojectADV::showOver(QWidget* over)
{
    CentreWindow(this, over);
    show();
    raise();
    activateWindow();
}
