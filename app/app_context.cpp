#include "app/app_context.h"

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/overview_window.h"
#include "app/package_extract_window.h"
#include "app/project_info_window.h"
#include "app/save_project_window.h"
#include "app/start_screen.h"
#include "app/start_up.h"
#include "app/window_support.h"
#include "library_windows/browse_library_window.h"
#include "library_windows/color_range_viewer.h"
#include "library_windows/new_library_window.h"
#include "library_windows/tile_crop_editor.h"
#include "library_windows/tile_library_editor.h"
#include "newproject/new_project_window.h"
#include "output_windows/color_group_plan_window.h"
#include "output_windows/guide_card_window.h"
#include "output_windows/robot_code_window.h"
#include "output_windows/work_plan_window.h"
#include "render/mosaic_workflow.h"
#include "tools/grout_color_window.h"
#include "tools/tile_pen_window.h"
#include "tools/tile_picker_window.h"
#include "tools/tile_statistics_window.h"
#include "tools/tool_windows.h"

#include <memory>

AppContext::AppContext(AppOptions options) : m_options(std::move(options))
{
    Platform p;
    p.events = &m_events;
    p.messages = m_options.messages ? m_options.messages : &m_qtMessages;
    p.shell = m_options.shell ? m_options.shell : &m_qtShell;
    p.clock = m_options.clock;
    m_dialogs = m_options.dialogs ? m_options.dialogs : &m_qtDialogs;
    m_ws = std::make_unique<Workspace>(p);
}

AppContext::~AppContext()
{
    // Windows shown with the main window as parent are its children and go with it;
    // the guarded pointers see that, so nothing is deleted twice.
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        delete it->data();
    m_windows.clear();
}

AppContext::LongCommand::LongCommand(AppContext& app) : m_app(app), m_owner(!app.m_busy)
{
    if (m_owner)
        m_app.m_busy = true;
    else
        Beep(m_app.platform());
}

AppContext::LongCommand::~LongCommand()
{
    if (m_owner) m_app.m_busy = false;
}

void AppContext::createWindows()
{
    // In the start order, the main window first; the windows of the editing tools and
    // the assembly outputs take their places as they are written.
    if (Form1) return;
    Form1 = own(new TForm1(*this));                 //  1
    FnewImglib = own(new TFnewImglib(*this));       //  2
    fBrowseImglib = own(new TfBrowseImglib(*this)); //  3
    foverview = own(new Tfoverview(*this));         //  4
    fSaveProject = own(new TfSaveProject(*this));   //  5
    fCellEditor = own(new TfCellEditor(*this));     //  6
    fPosCard = own(new TfPosCard(*this));           //  7
    fCellImageEdit = own(new TfCellImageEdit(*this)); //  8
    frobotcode = own(new Tfrobotcode(*this));       //  9
    fworkplan = own(new Tfworkplan(*this));         // 10
    fChangeGrout = own(new TfChangeGrout(*this));   // 11
    ftilepen = own(new Tftilepen(*this));           // 12
    fprojectInfo = own(new TfprojectInfo(*this));   // 13
    fabout = own(new Tfabout(*this));               // 14
    fstartscreen = own(new Tfstartscreen(*this));   // 15
    ftilecount = own(new Tftilecount(*this));       // 16
    fnewprojectADV = own(new TfnewprojectADV(*this)); // 17
    fworkplan2 = own(new Tfworkplan2(*this));       // 18
    ftilelibeditor = own(new Tftilelibeditor(*this));       // 19
    fColorRangeViewer = own(new TfColorRangeViewer(*this)); // 20
    funzipper = own(new Tfunzipper(*this));                 // 21

    commands.showNewProject = [this] {
        // A start with a project on the command line leaves the window unfilled; it is
        // filled the first time it is needed.
        fnewprojectADV->InitNewProjectWindow();
        fnewprojectADV->showOver(Form1);
    };
    commands.showSaveProject = [this] { fSaveProject->showOver(Form1); };
    commands.showProjectInfo = [this] { fprojectInfo->showOver(Form1); };
    commands.refreshLibraryLists = [this] { fnewprojectADV->RefreshLibraryLists(); };
    // The statistics window renders the current project again with its own layout and
    // options (an opened project has no photo for the new-project window to crop).
    commands.renderMosaic = [this](Progress* progress) {
        LongCommand busy(*this);
        if (busy.refused())
            return Failure(QString());
        Status st = RenderMosaicAgain(ws(), Form1->Image1(), progress);
        Form1->ShowMosaicImage();
        return st;
    };
    if (m_options.runFirstShowSteps) {
        auto flags = std::make_shared<FirstShowFlags>();
        commands.mainWindowShown = [this, flags] { RunFirstShowSteps(*this, *flags); };
    }
    ConnectToolWindows(*this);

    commands.showWorkPlan = [this] { ShowWithParent(fworkplan2, Form1); };
    commands.showRobotCode = [this] {
        frobotcode->RefreshLabels();
        ShowWithParent(frobotcode, Form1);
    };
    commands.showPosCard = [this] { ShowWithParent(fPosCard, Form1); };
    commands.showColorGroupPlan = [this] {
        fworkplan->RefreshLabels();
        ShowWithParent(fworkplan, Form1);
    };
    commands.showTileCounter = [this] { ftilecount->showWithoutRefill(); };
}
