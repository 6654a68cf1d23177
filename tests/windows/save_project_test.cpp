// The project save dialog and the project information window driven as a user would,
// and a whole run from the start of the application to a saved project folder.

#include "app/main_window.h"
#include "app/project_info_window.h"
#include "app/save_project_window.h"
#include "app/start_screen.h"
#include "app/window_support.h"
#include "newproject/new_project_window.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QtTest>

namespace {

// The main window with the fixture project open (three tiles, 4 x 4 cells).
struct Saving {
    TestApp t;
    TfSaveProject* dialog = nullptr;
    Saving()
    {
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
        const QString e = SaveFixtureProject(docs("opened"), docs("scratch"));
        if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        if (!t.app().Form1->OpenMosaicProject(docs("opened/Mosaic.Prj"))) qWarning("the fixture did not open");
        dialog = t.app().fSaveProject;
    }
    Workspace& ws() { return t.ws(); }
    QString docs(const QString& name) const { return t.documents.filePath(name); }
    QLineEdit* name() { return Control<QLineEdit>(dialog, "ed_projectname"); }
    QLineEdit* folder() { return Control<QLineEdit>(dialog, "ed_folder"); }
    // "Save" on the main window's Project tab.
    void open() { ClickButton(t.app().Form1, "bt_save"); }
    QStringList entries(const QString& f)
    {
        return QDir(f).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
};

const QStringList kProjectEntries{"Mosaic.Prj", "MosaicPicture.jpg", "imagelib.dat", "mainimage.jpg", "ready"};

} // namespace

class SaveProjectTest : public QObject {
    Q_OBJECT
private slots:
    void theDialogAsLaidOut()
    {
        Saving s;
        s.open();
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.dialog->windowTitle(), QString("Save Mosaic Project"));
        QCOMPARE(s.dialog->size(), QSize(489, 160));
        QCOMPARE((s.dialog->windowFlags() & Qt::Tool), Qt::Tool);
        QCOMPARE(s.name()->text(), QString("New Mosaic Project"));
        QVERIFY(s.folder()->text().isEmpty());
        QCOMPARE(Control<QAbstractButton>(s.dialog, "bt_select")->text(), QString("Select..."));
        QCOMPARE(Control<QAbstractButton>(s.dialog, "bt_savemosaic")->text(), QString("Save Mosaic"));
        ClickButton(s.dialog, "bt_cancel");
        QVERIFY(!s.dialog->isVisible());
    }

    void savingBeforeTypingAsksForAFolder()
    {
        Saving s;
        s.open();
        ClickButton(s.dialog, "bt_savemosaic");
        QCOMPARE(s.t.messages.texts(), QStringList{"Please select a folder to store your image lib!"});
        QCOMPARE(s.t.messages.shown[0].kind, MessageKind::Error);
        QCOMPARE(s.t.messages.shown[0].buttons, MessageButtons::OKCancel);
        QVERIFY(s.dialog->isVisible());
    }

    void anEmptyNameIsRefused()
    {
        Saving s;
        s.open();
        s.name()->selectAll();
        QTest::keyClick(s.name(), Qt::Key_Backspace);
        QVERIFY(s.name()->text().isEmpty());
        // The key release suggested a folder all the same.
        QVERIFY(!s.folder()->text().isEmpty());
        ClickButton(s.dialog, "bt_savemosaic");
        QCOMPARE(s.t.messages.texts(), QStringList{"Please give your mosaic project a NAME!"});
        QCOMPARE(s.t.messages.shown[0].buttons, MessageButtons::OKCancel);
        QVERIFY(s.dialog->isVisible());
    }

    void typingSuggestsADatedFolder()
    {
        Saving s;
        s.open();
        QTest::keyClick(s.name(), Qt::Key_End);
        QCOMPARE(s.folder()->text(), QDir(s.ws().folders.projectsFolder).filePath("New Mosaic Project2020-2-5-9-7-3"));
        s.t.clock.time = QDateTime(QDate(2021, 11, 30), QTime(23, 59, 0));
        QTest::keyClicks(s.name(), "s");
        QCOMPARE(s.folder()->text(),
                 QDir(s.ws().folders.projectsFolder).filePath("New Mosaic Projects2021-11-30-23-59-0"));
    }

    void selectChoosesTheFolder()
    {
        Saving s;
        s.open();
        s.t.dialogs.answer(s.docs("chosen"));
        ClickButton(s.dialog, "bt_select");
        QCOMPARE(s.t.dialogs.asked.last().kind, QString("folder"));
        QCOMPARE(s.t.dialogs.asked.last().caption, QString("Choose a folder"));
        QCOMPARE(s.t.dialogs.asked.last().folder, DialogStartFolder(s.ws().folders.projectsFolder));
        QCOMPARE(s.folder()->text(), s.docs("chosen"));
        // A cancelled choice keeps the folder.
        ClickButton(s.dialog, "bt_select");
        QCOMPARE(s.folder()->text(), s.docs("chosen"));
    }

    void aNewFolderHoldsTheFiveEntries()
    {
        Saving s;
        s.open();
        const QString target = s.docs("new/deeper/project");
        s.folder()->setText(target);
        ClickButton(s.dialog, "bt_savemosaic");
        QCOMPARE(s.t.messages.texts(), QStringList{"The folder does not exists, create?"});
        QCOMPARE(s.t.messages.shown[0].buttons, MessageButtons::YesNo);
        QVERIFY(!s.dialog->isVisible());
        QCOMPARE(s.entries(target), kProjectEntries);
        QCOMPARE(s.entries(target + "/ready"), (QStringList{"blue.png", "green.png", "red.png"}));
        QCOMPARE(QDir(s.ws().mproject.cfg.RootPath.get()).absolutePath(), QDir(target).absolutePath());
        // "Show Project Folder" opens it, and the folder opens again as a project.
        ClickButton(s.t.app().Form1, "bt_showfolder");
        QCOMPARE(QDir(s.t.shell.opened.last()).absolutePath(), QDir(target).absolutePath());
        TestApp other;
        other.app().createWindows();
        QVERIFY(other.app().Form1->OpenMosaicProject(target + "/Mosaic.Prj"));
        for (int y = 0; y < kFixtureCells; ++y)
            for (int x = 0; x < kFixtureCells; ++x)
                QCOMPARE(other.ws().mproject.Cells[y][x].TileID, FixtureTileAt(x, y));
    }

    void answeringNoToAMissingFolderMakesNothing()
    {
        Saving s;
        s.open();
        s.folder()->setText(s.docs("missing"));
        s.t.messages.answer(MessageAnswer::No);
        ClickButton(s.dialog, "bt_savemosaic");
        QVERIFY(!QFileInfo::exists(s.docs("missing")));
        QVERIFY(!s.dialog->isVisible());
    }

    void answeringNoForAFullFolderWritesNothing()
    {
        Saving s;
        QVERIFY(QDir().mkpath(s.docs("full")));
        QFile keep(s.docs("full/keep.txt"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("mine");
        keep.close();
        s.open();
        s.folder()->setText(s.docs("full"));
        s.t.messages.answer(MessageAnswer::No);
        ClickButton(s.dialog, "bt_savemosaic");
        QCOMPARE(s.t.messages.texts(),
                 QStringList{"The folder is not empty, using it might ERASE existing files, Continue?"});
        QCOMPARE(s.t.messages.shown[0].kind, MessageKind::Confirmation);
        QCOMPARE(s.entries(s.docs("full")), QStringList{"keep.txt"});
        QVERIFY(!s.dialog->isVisible());
        // Yes saves beside what is there.
        s.open();
        ClickButton(s.dialog, "bt_savemosaic");
        QStringList expected = kProjectEntries;
        expected << "keep.txt";
        expected.sort();
        QCOMPARE(s.entries(s.docs("full")), expected);
    }

    void anEmptyFolderIsSavedIntoWithoutAQuestion()
    {
        Saving s;
        QVERIFY(QDir().mkpath(s.docs("empty")));
        s.open();
        s.folder()->setText(s.docs("empty"));
        ClickButton(s.dialog, "bt_savemosaic");
        QVERIFY(s.t.messages.shown.isEmpty());
        QCOMPARE(s.entries(s.docs("empty")), kProjectEntries);
    }

    void aTileThatCannotBeCopiedKeepsTheDialogOpen()
    {
        Saving s;
        // The open project's library lives in its folder; one of its pictures is gone.
        QVERIFY(QFile::remove(s.docs("opened/ready/green.png")));
        s.open();
        s.folder()->setText(s.docs("target"));
        ClickButton(s.dialog, "bt_savemosaic");
        QCOMPARE(s.t.messages.shown.size(), 2);
        QCOMPARE(s.t.messages.shown[1].kind, MessageKind::Error);
        QVERIFY(s.t.messages.shown[1].text.contains("green.png"));
        QVERIFY(s.dialog->isVisible());
        QVERIFY(!QFileInfo::exists(s.docs("target/Mosaic.Prj")));
    }

    void projectInfoListsTheSizes()
    {
        TestApp t;
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
        TfnewprojectADV* w = t.app().fnewprojectADV;
        w->InitNewProjectWindow();
        for (auto [name, value] : {std::pair{"sbhcc", "40"}, std::pair{"sbvcc", "30"}}) {
            auto* field = Control<QSpinBox>(w, name);
            field->selectAll();
            QTest::keyClicks(field, value);
            QTest::keyClick(field, Qt::Key_Enter);
        }
        ClickButton(t.app().Form1, "bt_projectinfo");
        TfprojectInfo* info = t.app().fprojectInfo;
        QVERIFY(info->isVisible());
        QCOMPARE(info->windowTitle(), QString("Project Info"));
        QCOMPARE(info->size(), QSize(391, 273));
        QVERIFY(Control<QPlainTextEdit>(info, "Memo1")->isReadOnly());
        const QStringList lines = info->text().split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[3], QString("Mosaic contains 30 x 40 = 1200 Tiles."));
        QVERIFY(lines[0].startsWith("Mosaic size: "));
        // The text is made again at every showing.
        ClickButton(info, "bt_close");
        QVERIFY(!info->isVisible());
        auto* rows = Control<QSpinBox>(w, "sbvcc");
        rows->selectAll();
        QTest::keyClicks(rows, "5");
        QTest::keyClick(rows, Qt::Key_Enter);
        ClickButton(t.app().Form1, "bt_projectinfo");
        QCOMPARE(info->text().split('\n')[3], QString("Mosaic contains 5 x 40 = 200 Tiles."));
    }

    void fromTheStartToASavedProject()
    {
        // The whole road through the windows with the real embedded content.
        TestApp t({}, ":/content", /*firstShowSteps=*/true);
        t.app().createWindows();
        AppContext& a = t.app();
        QVERIFY(ShowAndWait(a.Form1));
        QVERIFY(a.fstartscreen->isVisible());
        ClickButton(a.fstartscreen, "bt_makemosaic");
        ClickButton(a.Form1, "bt_new");
        TfnewprojectADV* w = a.fnewprojectADV;
        QVERIFY(w->isVisible());
        QVERIFY(!t.ws().mainImage.isNull());
        for (auto [name, value] : {std::pair{"sbhcc", "12"}, std::pair{"sbvcc", "10"}}) {
            auto* field = Control<QSpinBox>(w, name);
            field->selectAll();
            QTest::keyClicks(field, value);
            QTest::keyClick(field, Qt::Key_Enter);
        }
        ClickButton(w, "bt_createmosaic");
        QVERIFY2(t.messages.shown.isEmpty(), qPrintable(t.messages.texts().join('\n')));
        QVERIFY(t.ws().mproject.Rendered);
        QVERIFY(!a.Form1->Image1().isNull());

        ClickButton(a.Form1, "bt_save");
        TfSaveProject* dialog = a.fSaveProject;
        QVERIFY(dialog->isVisible());
        auto* name = Control<QLineEdit>(dialog, "ed_projectname");
        name->selectAll();
        QTest::keyClicks(name, "Bridge");
        const QString folder = Control<QLineEdit>(dialog, "ed_folder")->text();
        QCOMPARE(folder, QDir(t.ws().folders.projectsFolder).filePath("Bridge2020-2-5-9-7-3"));
        ClickButton(dialog, "bt_savemosaic");
        QCOMPARE(t.messages.texts(), QStringList{"The folder does not exists, create?"});
        QVERIFY(!dialog->isVisible());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), kProjectEntries);
        QCOMPARE(QDir(folder + "/ready").entryList(QDir::Files).size(), t.ws().mtilelib.Count);

        int tiles[10][12];
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                tiles[y][x] = t.ws().mproject.Cells[y][x].TileID;
        TestApp other;
        other.app().createWindows();
        QVERIFY(other.app().Form1->OpenMosaicProject(folder + "/Mosaic.Prj"));
        QCOMPARE(other.ws().mproject.cfg.Hcc, 12);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                QCOMPARE(other.ws().mproject.Cells[y][x].TileID, tiles[y][x]);
    }
};

QTEST_MAIN(SaveProjectTest)
#include "save_project_test.moc"
