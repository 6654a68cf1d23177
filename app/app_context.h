#pragma once
// The running application: the one workspace, the Qt platform services and every window,
// created once at start in a fixed order and kept until the process ends (windows are
// shown, hidden and refilled, never destroyed). Windows receive the AppContext; only
// level-3 code reaches it. Tests build their own with scripted messages and dialogs.

#include "app/qt_platform.h"
#include "engine/workspace.h"

#include <QString>
#include <QStringList>

#include <memory>

class TForm1;
class TFnewImglib;
class TfBrowseImglib;
class Tfoverview;
class TfSaveProject;
class TfCellEditor;
class TfPosCard;
class TfCellImageEdit;
class Tfrobotcode;
class Tfworkplan;
class TfChangeGrout;
class Tftilepen;
class TfprojectInfo;
class Tfabout;
class Tfstartscreen;
class Tftilecount;
class TfnewprojectADV;
class Tfworkplan2;
class Tftilelibeditor;
class TfColorRangeViewer;
class Tfunzipper;

struct AppOptions {
    QString executableFolder; // the program folder (Data/ beside it is read)
    QString documentsFolder;  // the user's documents folder (Quillary/ is created in it)
    QString resourceRoot;     // embedded content, ":/content" in the application
    QStringList arguments;    // command-line arguments after the program name
    // Replacements for tests; null means the Qt implementation.
    UserMessages* messages = nullptr;
    FileDialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    Clock* clock = nullptr;
};

class AppContext {
public:
    explicit AppContext(AppOptions options);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const AppOptions& options() const { return m_options; }
    Workspace& ws() { return *m_ws; }
    const Platform& platform() const { return m_ws->platform; }
    FileDialogs& dialogs() { return *m_dialogs; }
    MessageAnswer message(MessageKind kind, const QString& text, MessageButtons buttons)
    {
        return ShowMessage(m_ws->platform, kind, text, buttons);
    }
    void shellOpen(const QString& target) { if (m_ws->platform.shell) m_ws->platform.shell->ShellOpen(target); }

    // Creates every window in the start order; the main window first.
    void createWindows();

    // The windows (null until createWindows), named as the system names them.
    TForm1* Form1 = nullptr;
    TFnewImglib* FnewImglib = nullptr;
    TfBrowseImglib* fBrowseImglib = nullptr;
    Tfoverview* foverview = nullptr;
    TfSaveProject* fSaveProject = nullptr;
    TfCellEditor* fCellEditor = nullptr;
    TfPosCard* fPosCard = nullptr;
    TfCellImageEdit* fCellImageEdit = nullptr;
    Tfrobotcode* frobotcode = nullptr;
    Tfworkplan* fworkplan = nullptr;
    TfChangeGrout* fChangeGrout = nullptr;
    Tftilepen* ftilepen = nullptr;
    TfprojectInfo* fprojectInfo = nullptr;
    Tfabout* fabout = nullptr;
    Tfstartscreen* fstartscreen = nullptr;
    Tftilecount* ftilecount = nullptr;
    TfnewprojectADV* fnewprojectADV = nullptr;
    Tfworkplan2* fworkplan2 = nullptr;
    Tftilelibeditor* ftilelibeditor = nullptr;
    TfColorRangeViewer* fColorRangeViewer = nullptr;
    Tfunzipper* funzipper = nullptr;

private:
    AppOptions m_options;
    QtEventPump m_events;
    QtMessages m_qtMessages;
    QtShell m_qtShell;
    QtFileDialogs m_qtDialogs;
    FileDialogs* m_dialogs;
    std::unique_ptr<Workspace> m_ws;
};
