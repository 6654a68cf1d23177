// The robot control code window driven as a user would: opened from the main window's
// hidden "Control Code Generator", generating one page, saving it, a page beyond the
// mosaic and a second click while a generation runs.

#include "app/main_window.h"
#include "output_windows/robot_code_window.h"
#include "tests/windows/support/assembly_fixtures.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

namespace {

// The application with its windows, the main window on screen, and a project of
// `cols` x `rows` cells of 20 units (centres 10, 30, ...) over `tiles` tiles.
struct Running {
    TestApp t;
    Running(int cols, int rows, int tiles)
    {
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
        LayGridProject(t.ws(), cols, rows, 20);
        ColourTiles(t.ws(), tiles);
        MarkRendered(t.ws());
    }
    Tfrobotcode* window() { return t.app().frobotcode; }
    TCell& cell(int x, int y) { return t.ws().mproject.Cells[y][x]; }
    QString label(const char* name) { return Control<QLabel>(window(), name)->text(); }
    QSpinBox* box(const char* name) { return Control<QSpinBox>(window(), name); }
    QString code() { return Control<QPlainTextEdit>(window(), "mm_code")->toPlainText(); }
    // "Control Code Generator" on the main window's hidden "Robotic Assemble" page.
    void openFromMainWindow()
    {
        TForm1* f = t.app().Form1;
        auto* tabs = Control<QTabWidget>(f, "TabControl1");
        QWidget* page = Control(f, "tab_robotic");
        tabs->setTabVisible(tabs->indexOf(page), true);
        tabs->setCurrentWidget(page);
        ClickButton(f, "bt_robotcode");
    }
};

QStringList GoldenLines()
{
    const QString golden = QFINDTESTDATA("../output/golden/robot_two_tiles.txt");
    QString text = QString::fromLatin1(ReadFileBytes(golden));
    if (text.endsWith(QStringLiteral("\r\n"))) text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

class RobotCodeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        Running r(2, 1, 2);
        Tfrobotcode* w = r.window();
        QCOMPARE(w->windowTitle(), QString("Robot Control Code Generator"));
        QCOMPARE(w->size(), QSize(732, 508));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        struct Case {
            const char* name;
            int minimum, maximum, value;
        };
        const Case boxes[] = {
            {"sb_hcount", 1, 100, 10}, {"sb_vcount", 1, 100, 10}, {"sb_pagex", 0, 100, 0}, {"sb_pagey", 0, 100, 0}};
        for (const Case& c : boxes) {
            QSpinBox* s = r.box(c.name);
            QVERIFY2(s, c.name);
            QCOMPARE(s->minimum(), c.minimum);
            QCOMPARE(s->maximum(), c.maximum);
            QCOMPARE(s->value(), c.value);
        }
        QCOMPARE(Control<QGroupBox>(w, "gb_mosaicinfo")->title(), QString("Mosaic Info"));
        QCOMPARE(Control<QGroupBox>(w, "gb_pagesetup")->title(), QString("Page Setup"));
        QCOMPARE(Control<QGroupBox>(w, "gb_robotinfo")->title(), QString("Robot Info"));
        QCOMPARE(r.label("lb_pagecount"), QString("Total Page Count"));
        QCOMPARE(r.label("lb_lines"), QString("Lines:"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_singlepage")->text(), QString("Single Page Robot Code"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_savecode")->text(), QString("Save Code"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_exit")->text(), QString("Exit"));

        auto items = [&](const char* name) {
            auto* list = Control<QListWidget>(w, name);
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
            return texts;
        };
        QCOMPARE(items("lb_robottype"),
                 (QStringList{"TSL Mosaic Robot - Mark 1 - Single picker", "TSL Mosaic Robot - Mark 1 - 2x picker",
                              "TSL Mosaic Robot - Mark 1 - 4x picker"}));
        QCOMPARE(items("lb_feedertype"),
                 (QStringList{"Standard Pallet 100- C2020 T1616   ", "Standard Pallet 100- C2020 T1818 "}));
        for (const char* name : {"lb_robottype", "lb_feedertype"}) {
            auto* list = Control<QListWidget>(w, name);
            QVERIFY2(!list->isEnabled(), name);
            QCOMPARE(list->currentRow(), 0);
        }
    }

    void openingFromTheMainWindowRefreshesTheLabels()
    {
        Running r(48, 30, 2);
        r.openFromMainWindow();
        Tfrobotcode* w = r.window();
        QVERIFY(w->isVisible());
        QCOMPARE(w->parentWidget(), static_cast<QWidget*>(r.t.app().Form1));
        QCOMPARE(r.label("lb_hcount"), QString("Horizontal Tile Count :48"));
        QCOMPARE(r.label("lb_vcount"), QString("Vertical Tile Count :30"));
        QCOMPARE(r.label("lb_mosaicsize"), QString("Mosaic size: 960.00 x 600.00pixel"));
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 5 x 3 = 15"));

        // The page-setup boxes alone do not refresh the labels; the next opening does.
        r.box("sb_hcount")->setValue(24);
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 5 x 3 = 15"));
        QVERIFY(ClickButton(w, "bt_exit"));
        QVERIFY(!w->isVisible());
        r.openFromMainWindow();
        QVERIFY(w->isVisible());
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 2 x 3 = 6"));
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void onePageOfTwoTilesGivesTheExampleProgram()
    {
        Running r(2, 1, 2);
        r.cell(0, 0).TileID = 1;
        r.cell(1, 0).TileID = 0;
        ShowAndWait(r.window());
        QVERIFY(ClickButton(r.window(), "bt_singlepage"));

        const QStringList golden = GoldenLines();
        QCOMPARE(golden.size(), 41);
        QCOMPARE(r.window()->codeLines(), golden);
        QCOMPARE(r.label("lb_lines"), QString("Lines: 41"));
        QCOMPARE(Control<QProgressBar>(r.window(), "pb_progress")->value(), 0);
        // Every generation refreshes the labels.
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 1 x 1 = 1"));
        QCOMPARE(r.t.shell.beeps, 0);
    }

    void saveCodeWritesAsciiLinesEndingInCrLf()
    {
        Running r(2, 1, 2);
        r.cell(0, 0).TileID = 1;
        r.cell(1, 0).TileID = 0;
        const QString project = r.t.documents.filePath("project");
        QVERIFY(QDir().mkpath(project));
        r.t.ws().mproject.cfg.RootPath.set(project);
        ShowAndWait(r.window());
        QVERIFY(ClickButton(r.window(), "bt_singlepage"));

        // A name typed without an extension gets ".txt".
        r.t.dialogs.answer(project + "/page");
        QVERIFY(ClickButton(r.window(), "bt_savecode"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        const ScriptedDialogs::Asked& asked = r.t.dialogs.asked[0];
        QCOMPARE(asked.kind, QString("save"));
        QCOMPARE(asked.folder, QDir(project).filePath("Robot_X0Y0"));
        QCOMPARE(asked.filter, QString("txt (*.txt)"));
        QCOMPARE(asked.suffix, QString("txt"));
        const QByteArray written = ReadFileBytes(project + "/page.txt");
        QCOMPARE(written, ReadFileBytes(QFINDTESTDATA("../output/golden/robot_two_tiles.txt")));
        QCOMPARE(written.count("\r\n"), 41);
        QCOMPARE(written.count('\n'), 41);

        // What the text box holds is what is written, edits included; an existing file
        // is replaced.
        Control<QPlainTextEdit>(r.window(), "mm_code")->setPlainText("g0 X1.00 Y2.00\n(** edited **)");
        r.t.dialogs.answer(project + "/page.txt");
        QVERIFY(ClickButton(r.window(), "bt_savecode"));
        QCOMPARE(ReadFileBytes(project + "/page.txt"), QByteArray("g0 X1.00 Y2.00\r\n(** edited **)\r\n"));

        // Cancel writes nothing.
        QVERIFY(QFile::remove(project + "/page.txt"));
        QVERIFY(ClickButton(r.window(), "bt_savecode"));
        QCOMPARE(FileNamesIn(project), QStringList());
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void saveCodeStartsInTheProjectsFolderWithoutAProjectFolder()
    {
        Running r(2, 1, 2);
        r.t.ws().mproject.cfg.RootPath.set(r.t.documents.filePath("never-saved"));
        r.box("sb_pagex")->setValue(3);
        r.box("sb_pagey")->setValue(1);
        QVERIFY(ClickButton(r.window(), "bt_savecode"));
        QCOMPARE(r.t.dialogs.asked.size(), 1);
        QCOMPARE(r.t.dialogs.asked[0].folder, QDir(r.t.ws().folders.projectsFolder).filePath("Robot_X3Y1"));
    }

    void aPageBeyondTheMosaicListsEveryFeederWithCountZero()
    {
        Running r(4, 4, 3);
        r.cell(0, 0).TileID = 1;
        ShowAndWait(r.window());
        r.box("sb_hcount")->setValue(2);
        r.box("sb_vcount")->setValue(2);
        r.box("sb_pagex")->setValue(5);
        QVERIFY(ClickButton(r.window(), "bt_singlepage"));
        const QStringList lines = r.window()->codeLines();
        QCOMPARE(lines.first(), QString("(** Page X5Y0  **)"));
        QCOMPARE(lines.count("(***Tile count: 0  ***)"), 3);
        QCOMPARE(lines.size(), 1 + 3 * 4 + 2);
        QCOMPARE(lines.last(), QString("g0 X0.00 Y0.00"));
        QCOMPARE(r.label("lb_lines"), QString("Lines: 15"));
        QCOMPARE(r.label("lb_pagecount"), QString("Page count: 2 x 2 = 4"));

        // The empty page leaves the bar as it was for the next page.
        auto* bar = Control<QProgressBar>(r.window(), "pb_progress");
        QCOMPARE(bar->minimum(), 0);
        QVERIFY(bar->maximum() >= 1);
        r.box("sb_pagex")->setValue(0);
        QVERIFY(ClickButton(r.window(), "bt_singlepage"));
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 4);
        QCOMPARE(r.window()->codeLines().count("(***Tile count: 1  ***)"), 1);
    }

    void aSecondClickWhileAPageIsGeneratedIsRefused()
    {
        Running r(10, 10, 1);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                r.cell(x, y).TileID = 0;
        ShowAndWait(r.window());
        auto* bar = Control<QProgressBar>(r.window(), "pb_progress");
        int clicksDuring = 0;
        // The user clicks again while the bar moves (events run between placements).
        QMetaObject::Connection c = connect(bar, &QProgressBar::valueChanged, this, [&](int v) {
            if (v == 40 && clicksDuring == 0) {
                ++clicksDuring;
                ClickButton(r.window(), "bt_singlepage");
            }
        });
        QVERIFY(ClickButton(r.window(), "bt_singlepage"));
        disconnect(c);
        QCOMPARE(clicksDuring, 1);
        QCOMPARE(r.t.shell.beeps, 1);
        const QStringList lines = r.window()->codeLines();
        QCOMPARE(lines.count("(** Page X0Y0  **)"), 1);
        QCOMPARE(lines.count("(***Tile count: 100  ***)"), 1);
        QCOMPARE(r.label("lb_lines"), QString("Lines: %1").arg(lines.size()));
        QVERIFY(!r.t.app().busy());

        // Once it has finished, the next click generates again.
        QVERIFY(ClickButton(r.window(), "bt_singlepage"));
        QCOMPARE(r.t.shell.beeps, 1);
        QCOMPARE(r.window()->codeLines(), lines);
    }
};

QTEST_MAIN(RobotCodeWindowTest)
#include "robot_code_window_test.moc"
