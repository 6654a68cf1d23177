// Build-time tool: pictures of the application's windows for the user manual.
//
//   quillary-screenshots <output folder>
//
// Runs the real windows off screen in a temporary documents folder with the embedded
// sample content installed, makes a small mosaic from a sample photo, and saves every
// window as "<output folder>/<name>.png". The manual is typeset after this tool ran, so
// the tool's own content has no manual; a placeholder stands in for it.

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/overview_window.h"
#include "app/project_info_window.h"
#include "app/save_project_window.h"
#include "app/start_screen.h"
#include "imaging/fonts.h"
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
#include "tools/grout_color_window.h"
#include "tools/tile_pen_window.h"
#include "tools/tile_picker_window.h"
#include "tools/tile_statistics_window.h"
#include "platform/file_io.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// Answers every box with its first button and says what it was asked.
class LoggingMessages final : public UserMessages {
public:
    MessageAnswer show(MessageKind, const QString& text, MessageButtons buttons) override
    {
        std::fprintf(stderr, "quillary-screenshots: message \"%s\"\n", text.toLocal8Bit().constData());
        ++count;
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::OK;
    }
    int count = 0;
};

class QuietShell final : public Shell {
public:
    void ShellOpen(const QString&) override {}
    void Beep() override {}
};

class FixedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2020, 2, 5), QTime(9, 7, 3)); }
};

// The sample photo of the screenshots: always the same one.
class FixedRandom final : public RandomSource {
public:
    int Random(int n) override { return n <= 1 ? 0 : m_next++ % n; }
    void seed(std::uint32_t) override {}

private:
    int m_next = 2;
};

int failedPictures = 0;

// A window that cannot be pictured fails the tool, so the manual never lacks a picture
// silently; a message box on the way is only reported.
bool grabInto(QWidget* window, const QString& folder, const QString& name)
{
    if (!window) {
        ++failedPictures;
        return false;
    }
    QCoreApplication::processEvents();
    const QImage picture = window->grab().toImage();
    const bool ok = !picture.isNull() && picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    if (!ok) {
        ++failedPictures;
        std::fprintf(stderr, "quillary-screenshots: %s could not be written\n", qPrintable(name));
    }
    return ok;
}

void typeInto(QSpinBox* field, int value)
{
    if (field) field->setValue(value);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    RegisterBundledFonts();
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quillary-screenshots <output folder>\n");
        return 2;
    }
    const QString out = args[0];
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "quillary-screenshots: cannot create %s\n", qPrintable(out));
        return 1;
    }

    QTemporaryDir documents, program;
    LoggingMessages messages;
    QuietShell shell;
    FixedClock clock;
    FixedRandom random;
    AppOptions options;
    options.executableFolder = program.path();
    options.documentsFolder = documents.path();
    options.resourceRoot = QStringLiteral(":/content");
    options.messages = &messages;
    options.shell = &shell;
    options.clock = &clock;
    // The manual is the one resource this tool cannot have; its placeholder keeps the
    // installation from asking for it.
    const QString dataRoot = QDir(documents.path()).filePath(QStringLiteral("Quillary"));
    if (!QDir().mkpath(dataRoot) ||
        !writeFileAtomically(QDir(dataRoot).filePath(QStringLiteral("QLYhelp.pdf")), QByteArray("%PDF-")).ok())
        return 1;

    AppContext app(std::move(options));
    app.createWindows();
    app.ws().setRandom(random);
    TForm1* form = app.Form1;
    form->show();
    QCoreApplication::processEvents();
    grabInto(app.fstartscreen, out, QStringLiteral("start_screen"));
    app.fstartscreen->close();

    TfnewprojectADV* np = app.fnewprojectADV;
    form->NewMosaic();
    typeInto(np->findChild<QSpinBox*>(QStringLiteral("sbhcc")), 40);
    typeInto(np->findChild<QSpinBox*>(QStringLiteral("sbvcc")), 30);
    auto* tabs = np->findChild<QTabWidget*>(QStringLiteral("TabControl1"));
    const char* const pages[] = {"new_project_main_image", "new_project_photo_lib",    "new_project_size_pattern",
                                 "new_project_crop",       "new_project_cell_preview", "new_project_render_option",
                                 "new_project_priority"};
    for (int i = 0; i < 7; ++i) {
        if (i == 4) np->PreviewPipeline(0);
        if (i == 6) {
            tabs->setTabVisible(6, true);
            np->RedrawPriority();
        }
        tabs->setCurrentIndex(i);
        grabInto(np, out, QLatin1String(pages[i]));
    }
    tabs->setTabVisible(6, false);
    tabs->setCurrentIndex(5);
    np->ShowColorRange();
    grabInto(app.fColorRangeViewer, out, QStringLiteral("color_range_viewer"));
    app.fColorRangeViewer->hide();
    np->CreateMosaicClick();
    np->hide();
    grabInto(form, out, QStringLiteral("main_window"));

    form->ShowOverview();
    app.foverview->OverviewRepaint();
    grabInto(app.foverview, out, QStringLiteral("overview"));
    app.foverview->hide();

    form->ManageLib();
    app.fBrowseImglib->ShowLibrary(0);
    if (auto* list = app.fBrowseImglib->findChild<QListWidget*>()) list->setCurrentRow(0);
    grabInto(app.fBrowseImglib, out, QStringLiteral("library_browser"));
    app.fBrowseImglib->hide();
    app.ftilelibeditor->FillTileList();
    app.ftilelibeditor->show();
    app.ftilelibeditor->ShowColorRange();
    grabInto(app.ftilelibeditor, out, QStringLiteral("library_editor"));
    app.fCellImageEdit->OpenTile(0);
    grabInto(app.fCellImageEdit, out, QStringLiteral("crop_editor"));
    app.fCellImageEdit->hide();
    app.ftilelibeditor->hide();
    app.FnewImglib->ShowForNewLibrary(QStringLiteral("New Photo Lib"));
    grabInto(app.FnewImglib, out, QStringLiteral("new_library"));
    app.FnewImglib->hide();

    // The editing tools and the assembly material, on the mosaic just made.
    form->Select();
    app.fCellEditor->SelectCell(12, 10);
    grabInto(app.fCellEditor, out, QStringLiteral("tile_picker"));
    app.fCellEditor->hide();
    form->Pen();
    app.ftilepen->PenItemClick(3);
    grabInto(app.ftilepen, out, QStringLiteral("tile_pen"));
    app.ftilepen->hide();
    form->GroutColor();
    grabInto(app.fChangeGrout, out, QStringLiteral("grout_color"));
    app.fChangeGrout->hide();
    form->TileStatistics();
    grabInto(app.ftilecount, out, QStringLiteral("tile_statistics"));
    app.ftilecount->hide();
    form->WorkPlan();
    app.fworkplan2->OnePage();
    grabInto(app.fworkplan2, out, QStringLiteral("work_plan"));
    app.fworkplan2->hide();
    form->ColorGroupPlan();
    app.fworkplan->Preview();
    grabInto(app.fworkplan, out, QStringLiteral("color_group_plan"));
    app.fworkplan->hide();
    form->ControlCodeGenerator();
    app.frobotcode->SinglePageRobotCode();
    grabInto(app.frobotcode, out, QStringLiteral("robot_code"));
    app.frobotcode->hide();
    form->PosCard();
    grabInto(app.fPosCard, out, QStringLiteral("guide_card"));
    app.fPosCard->hide();

    form->SaveProject();
    app.fSaveProject->SuggestFolder();
    grabInto(app.fSaveProject, out, QStringLiteral("save_project"));
    app.fSaveProject->hide();
    form->ProjectInfo();
    grabInto(app.fprojectInfo, out, QStringLiteral("project_info"));
    app.fprojectInfo->hide();
    return failedPictures == 0 ? 0 : 1;
}
