#include "app/app_context.h"

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/overview_window.h"
#include "app/window_support.h"
#include "library_windows/browse_library_window.h"
#include "library_windows/color_range_viewer.h"
#include "library_windows/new_library_window.h"
#include "library_windows/tile_crop_editor.h"
#include "library_windows/tile_library_editor.h"
#include "output_windows/color_group_plan_window.h"
#include "output_windows/guide_card_window.h"
#include "output_windows/robot_code_window.h"
#include "output_windows/work_plan_window.h"

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
    // In the start order; each window is added here as it is written:
    //  1 TForm1  2 TFnewImglib  3 TfBrowseImglib  4 Tfoverview  5 TfSaveProject
    //  6 TfCellEditor  7 TfPosCard  8 TfCellImageEdit  9 Tfrobotcode  10 Tfworkplan
    // 11 TfChangeGrout  12 Tftilepen  13 TfprojectInfo  14 Tfabout  15 Tfstartscreen
    // 16 Tftilecount  17 TfnewprojectADV  18 Tfworkplan2  19 Tftilelibeditor
    // 20 TfColorRangeViewer  21 Tfunzipper
    if (Form1) return;
    Form1 = own(new TForm1(*this));
    FnewImglib = own(new TFnewImglib(*this));
    fBrowseImglib = own(new TfBrowseImglib(*this));
    foverview = own(new Tfoverview(*this));
    fPosCard = own(new TfPosCard(*this));
    fCellImageEdit = own(new TfCellImageEdit(*this));
    frobotcode = own(new Tfrobotcode(*this));
    fworkplan = own(new Tfworkplan(*this));
    fabout = own(new Tfabout(*this));
    fworkplan2 = own(new Tfworkplan2(*this));
    ftilelibeditor = own(new Tftilelibeditor(*this));
    fColorRangeViewer = own(new TfColorRangeViewer(*this));

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
}
