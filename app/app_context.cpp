#include "app/app_context.h"

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

AppContext::~AppContext() = default;

void AppContext::createWindows()
{
    // In the start order; each window is added here as it is written:
    //  1 TForm1  2 TFnewImglib  3 TfBrowseImglib  4 Tfoverview  5 TfSaveProject
    //  6 TfCellEditor  7 TfPosCard  8 TfCellImageEdit  9 Tfrobotcode  10 Tfworkplan
    // 11 TfChangeGrout  12 Tftilepen  13 TfprojectInfo  14 Tfabout  15 Tfstartscreen
    // 16 Tftilecount  17 TfnewprojectADV  18 Tfworkplan2  19 Tftilelibeditor
    // 20 TfColorRangeViewer  21 Tfunzipper
}
