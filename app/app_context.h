#pragma once
// The running application: the one workspace, the Qt platform services and every window,
// created once at start in a fixed order and kept until the process ends (windows are
// shown, hidden and refilled, never destroyed). Windows receive the AppContext; only
// level-3 code reaches it. Tests build their own with scripted messages and dialogs.

#include "app/qt_platform.h"
#include "engine/workspace.h"
#include "platform/result.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

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
    // The first-show steps of the main window (start screen, sample content, the
    // command-line project or a sample photo); tests of other windows leave them out.
    bool runFirstShowSteps = true;
};

// The main window's commands that belong to windows written elsewhere. The main window
// does its own part (the rendered-project guard, SelectMode / PenMode, screenScale) and
// then calls the hook; a hook left empty means the window does not exist yet and the
// command does nothing more. The window that implements a hook sets it when it is
// created (in AppContext::createWindows).
struct WindowCommands {
    std::function<void()> showNewProject;     // "New Mosaic" / "New"
    std::function<void()> showSaveProject;    // "Save Project" / "Save"
    std::function<void()> showTilePicker;     // "Select": set the picker's ready flag, show it
    std::function<void()> showTilePen;        // "Pen": fill the pen's tile list, show it
    std::function<void()> showGroutColor;     // "Grout Color": picker to BgColor, labels, show
    std::function<void()> showTileStatistics; // "Tile Stastics": fill the list, show
    std::function<void()> showWorkPlan;       // "Work Plan": show Tfworkplan2
    std::function<void()> showRobotCode;      // "Control Code Generator": labels, show
    std::function<void()> showPosCard;        // "Pos Card"
    std::function<void()> showColorGroupPlan; // "Color Group Plan": labels, show Tfworkplan
    std::function<void()> showTileCounter;    // Tfworkplan's "Tile Counter": statistics as last filled
    std::function<void()> showProjectInfo;    // "Project Info": fill the text, show
    // A click on the mosaic in SelectMode: the cell found by Cell_GetIdByMouse (column or
    // add-on index in X, row or -1 in Y), never a negative X.
    std::function<void(TPoint cell)> selectCell;
    // A click on the mosaic in PenMode: the cell as above and the pen tile (>= 0).
    std::function<void(TPoint cell, int tile)> paintCell;
    // A library was created: refill the new-project window's library lists.
    std::function<void()> refreshLibraryLists;
    // The tile statistics window's "Render Mosaic": the new-project workflow's
    // CreateMosaic with the window's settings (size update, colour reading, search,
    // drawing into the main window) reporting on `progress`, ItemEnable kept as it is.
    // Called without a LongCommand held, so the implementation takes its own. A failure
    // is returned, and shown by the caller unless its message is empty (already shown).
    std::function<Status(Progress* progress)> renderMosaic;
    // Every showing of the main window (the first-show steps of the application start
    // keep their own once-only flags).
    std::function<void()> mainWindowShown;
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
    void shellOpen(const QString& target)
    {
        if (m_ws->platform.shell) m_ws->platform.shell->ShellOpen(target);
    }

    // Creates every window in the start order; the main window first. The context owns
    // them and deletes them, last created first, when it is destroyed.
    void createWindows();

    // Hooks into windows of other folders.
    WindowCommands commands;

    // Long commands (opening a project, drawing a view, adding photos) run inside event
    // handlers that pump events, so a second click could start the same command over
    // the one in progress. A command holds a LongCommand while it runs; one that finds
    // another running is refused (with a beep) and does nothing.
    class LongCommand {
    public:
        explicit LongCommand(AppContext& app);
        ~LongCommand();
        LongCommand(const LongCommand&) = delete;
        LongCommand& operator=(const LongCommand&) = delete;
        bool refused() const { return !m_owner; }

    private:
        AppContext& m_app;
        bool m_owner;
    };
    bool busy() const { return m_busy; }

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
    template <typename W> W* own(W* window)
    {
        m_windows.emplace_back(window);
        return window;
    }

    AppOptions m_options;
    QtEventPump m_events;
    QtMessages m_qtMessages;
    QtShell m_qtShell;
    QtFileDialogs m_qtDialogs;
    FileDialogs* m_dialogs;
    std::unique_ptr<Workspace> m_ws;
    std::vector<QPointer<QObject>> m_windows;
    bool m_busy = false;
};
