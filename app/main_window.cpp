#include "app/main_window.h"

#include "app/about_window.h"
#include "app/app_context.h"
#include "app/command_icons.h"
#include "app/mosaic_image_view.h"
#include "app/overview_window.h"
#include "app/window_support.h"
#include "engine/data_folders.h"
#include "imaging/picture_io.h"
#include "library_windows/browse_library_window.h"
#include "platform/number_format.h"
#include "render/mosaic_views.h"
#include "render/project_folder.h"
#include "render/working_views.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The scale bar holds hundredths of its position, so that its start position of
// 94.13953399658203 is kept to the hundredth.
constexpr int kScaleBarMin = 10 * 100;
constexpr int kScaleBarMax = 100 * 100;
constexpr int kScaleBarStart = 9414;

const char* const kNotRendered = "Mosaic project not rendered yet!";

} // namespace

TForm1::TForm1(AppContext& app) : m_app(app)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillary 19.61"));
    setWindowIcon(ApplicationIcon());

    buildMenus();
    QWidget* topPanel = buildTopPanel();

    m_view = new MosaicImageView(m_image1);
    connect(m_view, &MosaicImageView::pressed, this, [this](QPointF p, Qt::MouseButton) { onImagePressed(p); });
    m_scrollBox = new QScrollArea;
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setFrameShape(QFrame::StyledPanel);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scrollBox->setWidget(m_view);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(topPanel);
    layout->addWidget(m_scrollBox, 1);
    setCentralWidget(central);
    buildStatusBar();

    resize(1049, 659);
    CentreWindow(this);

    // The creation handler.
    Workspace& w = ws();
    w.screenScale = static_cast<float>(devicePixelRatioF());
    const AppOptions& o = m_app.options();
    if (Status st = InitDataFolders(w, o.executableFolder, o.documentsFolder); !st)
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
    if (!o.arguments.isEmpty() && QFileInfo(o.arguments.first()).isFile()) {
        m_pendingProject = o.arguments.first();
        m_hasPendingProject = true;
    }
}

TForm1::~TForm1() = default;

Workspace& TForm1::ws()
{
    return m_app.ws();
}

QImage& TForm1::Image1()
{
    return m_image1;
}

void TForm1::ShowMosaicImage()
{
    m_view->refresh();
}

Progress* TForm1::mainProgress()
{
    return m_progress.get();
}

QProgressBar* TForm1::progressBar()
{
    return m_progressBar;
}

double TForm1::zoom() const
{
    return m_view->zoom();
}

double TForm1::scalePosition() const
{
    return m_scaleBar->value() / 100.0;
}

QString TForm1::HomePage()
{
    return QStringLiteral("https://quillary.invalid/");
}

QToolButton* TForm1::addCommand(QWidget* page, const char* objectName, const QString& caption, int glyph,
                                void (TForm1::*slot)())
{
    auto* b = new QToolButton(page);
    b->setObjectName(QLatin1String(objectName));
    b->setText(caption);
    b->setIcon(CommandIcon(static_cast<CommandGlyph>(glyph)));
    b->setIconSize(QSize(kCommandIconSize, kCommandIconSize));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, slot);
    if (page->layout()) page->layout()->addWidget(b);
    return b;
}

void TForm1::buildMenus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& text, CommandGlyph glyph, void (TForm1::*slot)(),
                      QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
        QAction* a = menu->addAction(CommandIcon(glyph), text);
        a->setObjectName(QLatin1String(name));
        if (key != QKeySequence::UnknownKey) a->setShortcut(QKeySequence(key));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* project = menuBar()->addMenu(QStringLiteral("Mosaic Project"));
    project->setObjectName(QStringLiteral("MI_project"));
    add(project, "MI_newmosaic", QStringLiteral("New Mosaic"), CommandGlyph::NewProject, &TForm1::NewMosaic,
        QKeySequence::New);
    add(project, "MI_openproject", QStringLiteral("Open Project"), CommandGlyph::OpenProject, &TForm1::OpenProject,
        QKeySequence::Open);
    add(project, "MI_saveproject", QStringLiteral("Save Project"), CommandGlyph::SaveProject, &TForm1::SaveProject,
        QKeySequence::Save);
    add(project, "MI_savepic", QStringLiteral("Save Picture"), CommandGlyph::SavePicture, &TForm1::MI_savepicClick);
    project->addSeparator();
    add(project, "MI_exit", QStringLiteral("Exit"), CommandGlyph::Exit, &TForm1::ExitApplication, QKeySequence::Quit);

    QMenu* library = menuBar()->addMenu(QStringLiteral("Photo Library"));
    library->setObjectName(QStringLiteral("MI_library"));
    add(library, "MI_managelib", QStringLiteral("Manage Lib"), CommandGlyph::Library, &TForm1::ManageLib);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("MI_help"));
    add(help, "MI_website", QStringLiteral("Website Home"), CommandGlyph::Website, &TForm1::WebsiteHome);
    add(help, "MI_manual", QStringLiteral("User Manual"), CommandGlyph::Help, &TForm1::UserManual,
        QKeySequence::HelpContents);
    add(help, "MI_about", QStringLiteral("About"), CommandGlyph::About, &TForm1::About);
}

QWidget* TForm1::buildTopPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("TopPanel"));
    panel->setFixedHeight(89);

    m_tabs = new QTabWidget(panel);
    m_tabs->setObjectName(QStringLiteral("TabControl1"));
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->setGeometry(8, 4, 753, 69 + 12);

    auto page = [this](const char* name, const QString& caption) {
        auto* w = new QWidget;
        w->setObjectName(QLatin1String(name));
        auto* l = new QHBoxLayout(w);
        l->setContentsMargins(2, 1, 2, 1);
        l->setSpacing(2);
        m_tabs->addTab(w, caption);
        return w;
    };
    using G = CommandGlyph;
    QWidget* project = page("tab_project", QStringLiteral("Project"));
    addCommand(project, "bt_new", QStringLiteral("New"), int(G::NewProject), &TForm1::NewMosaic);
    addCommand(project, "bt_open", QStringLiteral("Open"), int(G::OpenProject), &TForm1::OpenProject);
    addCommand(project, "bt_save", QStringLiteral("Save"), int(G::SaveProject), &TForm1::SaveProject);
    addCommand(project, "bt_savepic", QStringLiteral("Save Pic"), int(G::SavePicture), &TForm1::MI_savepicClick);
    addCommand(project, "bt_help", QStringLiteral("Help"), int(G::Help), &TForm1::UserManual);
    static_cast<QHBoxLayout*>(project->layout())->addStretch();

    QWidget* view = page("tab_view", QStringLiteral("View"));
    addCommand(view, "bt_tilepic", QStringLiteral("Tile Pic"), int(G::TilePicture), &TForm1::TilePic);
    addCommand(view, "bt_tilecolor", QStringLiteral("Tile Color"), int(G::TileColor), &TForm1::TileColor);
    addCommand(view, "bt_sourcecolor", QStringLiteral("Source Color"), int(G::SourceColor), &TForm1::SourceColor);
    addCommand(view, "bt_tileidcolor", QStringLiteral("Tile ID with Color"), int(G::TileIdWithColor),
               &TForm1::TileIdWithColor);
    addCommand(view, "bt_tileidnocolor", QStringLiteral("Tile ID without Color"), int(G::TileIdWithoutColor),
               &TForm1::TileIdWithoutColor);
    {
        auto* box = new QWidget(view);
        auto* l = new QVBoxLayout(box);
        l->setContentsMargins(2, 0, 2, 0);
        l->setSpacing(1);
        auto* label = new QLabel(QStringLiteral("ID Text Height"), box);
        label->setObjectName(QStringLiteral("lb_idtextheight"));
        m_idTextHeight = new QLineEdit(QStringLiteral("18"), box);
        m_idTextHeight->setObjectName(QStringLiteral("ed_idtextheight"));
        m_idTextHeight->setFixedWidth(80);
        l->addWidget(label);
        l->addWidget(m_idTextHeight);
        view->layout()->addWidget(box);
    }
    addCommand(view, "bt_showoverview", QStringLiteral("Show Overview"), int(G::Overview), &TForm1::ShowOverview)
        ->setVisible(false);
    static_cast<QHBoxLayout*>(view->layout())->addStretch();

    QWidget* edit = page("tab_edit", QStringLiteral("Edit"));
    addCommand(edit, "bt_select", QStringLiteral("Select"), int(G::Select), &TForm1::Select);
    addCommand(edit, "bt_pen", QStringLiteral("Pen"), int(G::Pen), &TForm1::Pen);
    addCommand(edit, "bt_groutcolor", QStringLiteral("Grout Color"), int(G::GroutColor), &TForm1::GroutColor);
    addCommand(edit, "bt_tilestat", QStringLiteral("Tile Stastics"), int(G::Statistics), &TForm1::TileStatistics);
    static_cast<QHBoxLayout*>(edit->layout())->addStretch();

    QWidget* manual = page("tab_manual", QStringLiteral("Manual Assemble"));
    addCommand(manual, "bt_workplan", QStringLiteral("Work Plan"), int(G::WorkPlan), &TForm1::WorkPlan);
    addCommand(manual, "bt_colorgroupplan", QStringLiteral("Color Group Plan"), int(G::WorkPlan),
               &TForm1::ColorGroupPlan);
    static_cast<QHBoxLayout*>(manual->layout())->addStretch();

    QWidget* robotic = page("tab_robotic", QStringLiteral("Robotic Assemble"));
    addCommand(robotic, "bt_robotcode", QStringLiteral("Control Code Generator"), int(G::RobotCode),
               &TForm1::ControlCodeGenerator);
    static_cast<QHBoxLayout*>(robotic->layout())->addStretch();

    QWidget* info = page("tab_projectinfo", QStringLiteral("Project Info"));
    addCommand(info, "bt_projectinfo", QStringLiteral("Project Info"), int(G::ProjectInfo), &TForm1::ProjectInfo);
    addCommand(info, "bt_showfolder", QStringLiteral("Show Project Folder"), int(G::ProjectFolder),
               &TForm1::ShowProjectFolder);
    static_cast<QHBoxLayout*>(info->layout())->addStretch();

    // The pages of the assembly outputs and the working views are complete but not
    // offered in the default layout.
    m_tabs->setTabVisible(m_tabs->indexOf(view), false);
    m_tabs->setTabVisible(m_tabs->indexOf(manual), false);
    m_tabs->setTabVisible(m_tabs->indexOf(robotic), false);
    m_tabs->setCurrentWidget(project);

    auto* posCard = new QToolButton(panel);
    posCard->setObjectName(QStringLiteral("bt_poscard"));
    posCard->setText(QStringLiteral("Pos Card"));
    posCard->setIcon(CommandIcon(G::PosCard));
    posCard->setIconSize(QSize(kCommandIconSize, kCommandIconSize));
    posCard->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    posCard->setGeometry(990, 32, 50, 40);
    posCard->setVisible(false);
    connect(posCard, &QToolButton::clicked, this, &TForm1::PosCard);

    m_scaleLabel = new QLabel(QStringLiteral("Scale: 1"), panel);
    m_scaleLabel->setObjectName(QStringLiteral("lb_scale"));
    m_scaleLabel->setGeometry(768, 8, 209, 20);
    m_scaleBar = new QSlider(Qt::Horizontal, panel);
    m_scaleBar->setObjectName(QStringLiteral("tb_scale"));
    m_scaleBar->setGeometry(768, 32, 209, 24);
    m_scaleBar->setRange(kScaleBarMin, kScaleBarMax);
    m_scaleBar->setSingleStep(100);
    m_scaleBar->setPageStep(1000);
    // The start position does not zoom: the picture starts at 1.0 and the label says so
    // until the bar is moved.
    m_scaleBar->setValue(kScaleBarStart);
    connect(m_scaleBar, &QSlider::valueChanged, this, &TForm1::onScaleChanged);
    return panel;
}

void TForm1::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    auto* label = new QLabel(QStringLiteral("Progress"));
    label->setObjectName(QStringLiteral("lb_progress"));
    label->setFixedWidth(120);
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setMaximumHeight(14);
    bar->addWidget(label);
    bar->addWidget(m_progressBar, 1);
    m_progress = std::make_unique<ProgressBarProgress>(m_progressBar);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_app.commands.mainWindowShown) m_app.commands.mainWindowShown();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    // The other windows are hidden, not closed; the program ends with this one.
    if (event->isAccepted()) QCoreApplication::quit();
}

bool TForm1::projectRendered()
{
    if (ws().mproject.Rendered) return true;
    m_app.message(MessageKind::Information, QString::fromLatin1(kNotRendered), MessageButtons::OK);
    return false;
}

bool TForm1::OpenMosaicProject(const QString& path)
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return false;
    Tfoverview* overview = m_app.foverview;
    const bool overviewWasVisible = overview && overview->isVisible();
    if (overview) {
        overview->drawMode = kDrawFinal;
        overview->showOver(this);
    }
    Progress* progress = overview ? overview->progress() : mainProgress();
    const Status st = ::OpenMosaicProject(ws(), path, m_image1, progress);
    ShowMosaicImage();
    if (!st) {
        SetProgress(progress, 0);
        if (overview && !overviewWasVisible) overview->hide();
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return false;
    }
    if (overview) overview->OverviewFromMainView();
    return true;
}

void TForm1::ShowViewMode(int drawMode)
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const Status st = Draw_MosaicToView(ws(), drawMode, m_image1, ws().mproject.cfg.PreviewScale, nullptr);
    ShowMosaicImage();
    if (!st) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}

void TForm1::onScaleChanged(int hundredths)
{
    const double z = hundredths / 100.0 / 100.0;
    m_scaleLabel->setText(QStringLiteral("Scale: ") + FormatFixed(z, 2, 4));
    m_view->setZoom(z);
}

void TForm1::onImagePressed(QPointF position)
{
    const auto hit = [&] {
        return ws().mproject.Cell_GetIdByMouse(static_cast<float>(position.x()), static_cast<float>(position.y()),
                                               static_cast<float>(ws().mproject.cfg.PreviewScale));
    };
    if (SelectMode) {
        const TPoint cell = hit();
        if (cell.X >= 0 && m_app.commands.selectCell) m_app.commands.selectCell(cell);
    } else if (PenMode) {
        const TPoint cell = hit();
        if (cell.X >= 0 && PenTile >= 0 && m_app.commands.paintCell) m_app.commands.paintCell(cell, PenTile);
    }
}

// --- Project commands ---------------------------------------------------------------

void TForm1::NewMosaic()
{
    ws().screenScale = static_cast<float>(devicePixelRatioF());
    if (m_app.commands.showNewProject) m_app.commands.showNewProject();
}

void TForm1::OpenProject()
{
    const QString file = m_app.dialogs().getOpenFileName(this, QStringLiteral("Open Project"),
                                                         DialogStartFolder(ws().folders.projectsFolder),
                                                         ToQtFilter(QStringLiteral("Mosaic Project|*.prj")));
    if (file.isEmpty() || !QFileInfo(file).isFile()) return;
    OpenMosaicProject(file);
}

void TForm1::SaveProject()
{
    if (m_app.commands.showSaveProject) m_app.commands.showSaveProject();
}

void TForm1::savePicture(const QString& caption, const QString& filter)
{
    const QString file = m_app.dialogs().getSaveFileName(this, caption, QStringLiteral("Untitled"), ToQtFilter(filter),
                                                         QStringLiteral("jpg"));
    if (file.isEmpty()) return;
    if (Status st = SavePicture(m_image1, file); !st) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}

void TForm1::MI_savepicClick()
{
    savePicture(QStringLiteral("Save Picture"), QStringLiteral("JPG|*.jpg|Bitmap |*.bmp|PNG |*.png"));
}

void TForm1::bt_SavepicClick()
{
    savePicture(QStringLiteral("Save Mosiac Picture"), QStringLiteral("jpg|*.jpg|bmp|*.bmp|png|*.png"));
}

void TForm1::ExitApplication()
{
    close();
}

void TForm1::ManageLib()
{
    if (TfBrowseImglib* browser = m_app.fBrowseImglib) {
        browser->FillLists();
        browser->showOver(this);
    }
}

void TForm1::WebsiteHome()
{
    m_app.shellOpen(HomePage());
}

void TForm1::UserManual()
{
    m_app.shellOpen(ws().folders.DataRoot + QStringLiteral("/QLYhelp.pdf"));
}

void TForm1::About()
{
    if (m_app.fabout) m_app.fabout->showOver(this);
}

// --- View commands ------------------------------------------------------------------

void TForm1::TilePic()
{
    ShowViewMode(kDrawFinal);
}

void TForm1::TileColor()
{
    ShowViewMode(kDrawTileColor);
}

void TForm1::SourceColor()
{
    ShowViewMode(kDrawSourceColor);
}

bool TForm1::readIdTextHeight()
{
    double value = 0;
    const QString text = m_idTextHeight->text();
    if (!ParseUserNumber(text, value)) {
        m_app.message(MessageKind::Error, QStringLiteral("'%1' is not a valid floating point value").arg(text),
                      MessageButtons::OK);
        return false;
    }
    ws().workplanCfg.IDTextHeight = static_cast<float>(value);
    return true;
}

void TForm1::TileIdWithColor()
{
    if (readIdTextHeight()) ShowViewMode(kDrawTileIdColor);
}

void TForm1::TileIdWithoutColor()
{
    if (readIdTextHeight()) ShowViewMode(kDrawTileIdPlain);
}

void TForm1::ShowOverview()
{
    if (m_app.foverview) m_app.foverview->showOver(this);
}

// --- Edit and output commands (the windows belong to the tools) ----------------------

void TForm1::Select()
{
    if (!projectRendered()) return;
    SelectMode = true;
    if (m_app.commands.showTilePicker) m_app.commands.showTilePicker();
}

void TForm1::Pen()
{
    if (!projectRendered()) return;
    if (m_app.commands.showTilePen) m_app.commands.showTilePen();
    PenMode = true;
}

void TForm1::GroutColor()
{
    if (projectRendered() && m_app.commands.showGroutColor) m_app.commands.showGroutColor();
}

void TForm1::TileStatistics()
{
    if (projectRendered() && m_app.commands.showTileStatistics) m_app.commands.showTileStatistics();
}

void TForm1::WorkPlan()
{
    if (projectRendered() && m_app.commands.showWorkPlan) m_app.commands.showWorkPlan();
}

void TForm1::ColorGroupPlan()
{
    if (projectRendered() && m_app.commands.showColorGroupPlan) m_app.commands.showColorGroupPlan();
}

void TForm1::ControlCodeGenerator()
{
    if (projectRendered() && m_app.commands.showRobotCode) m_app.commands.showRobotCode();
}

void TForm1::PosCard()
{
    if (m_app.commands.showPosCard) m_app.commands.showPosCard();
}

void TForm1::ProjectInfo()
{
    if (m_app.commands.showProjectInfo) m_app.commands.showProjectInfo();
}

void TForm1::ShowProjectFolder()
{
    const QString root = ws().mproject.cfg.RootPath.get();
    if (!root.isEmpty() && QFileInfo(root).isDir())
        m_app.shellOpen(root);
    else
        m_app.shellOpen(ws().folders.DataRoot);
}
