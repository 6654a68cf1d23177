// The overview window: rendering on "RePaint", saving, closing.

#include "app/main_window.h"
#include "app/overview_window.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class OverviewWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        TestApp t;
        t.app().createWindows();
        Tfoverview* o = t.app().foverview;
        QCOMPARE(o->windowTitle(), QString("Monitor"));
        QCOMPARE(o->size(), QSize(640, 480));
        QVERIFY(o->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(Control(o, "Panel1")->height(), 49);
        QCOMPARE(Control<QLabel>(o, "LB_Progress")->text(), QString("Progress"));
        QCOMPARE(Control<QAbstractButton>(o, "Button1")->text(), QString("RePaint"));
        QCOMPARE(Control<QAbstractButton>(o, "Button2")->text(), QString("Save Picture"));
        QCOMPARE(Control<QAbstractButton>(o, "Button3")->text(), QString("Close"));
    }

    void repaintWaitsForASearchedProject()
    {
        TestApp t;
        t.app().createWindows();
        Tfoverview* o = t.app().foverview;
        ShowAndWait(o);
        QVERIFY(ClickButton(o, "Button1"));
        QVERIFY(o->shownPicture().isNull());
        QCOMPARE(Control<QLabel>(o, "LB_Progress")->text(), QString("Progress"));
    }

    void repaintRendersTheOverviewAndSaveWritesIt()
    {
        TestApp t;
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
        const QString folder = t.documents.filePath("saved");
        const QString e = SaveFixtureProject(folder, t.documents.filePath("scratch"));
        QVERIFY2(e.isEmpty(), qPrintable(e));
        QVERIFY(t.app().Form1->OpenMosaicProject(folder + "/Mosaic.Prj"));
        Tfoverview* o = t.app().foverview;
        QVERIFY(o->isVisible());
        QCOMPARE(o->shownPicture().size(), QSize(2048, 2048));

        QVERIFY(ClickButton(o, "Button1"));
        QCOMPARE(o->shownPicture().size(), QSize(4096, 4096));
        QCOMPARE(t.ws().overviewImage.size(), QSize(4096, 4096));
        QCOMPARE(Control<QLabel>(o, "LB_Progress")->text(), QString("Draw Done"));
        QCOMPARE(Control<QProgressBar>(o, "Overview_pbar1")->value(), 0);
        const QRgb corner = o->shownPicture().pixel(4000, 4000);
        QVERIFY2(qRed(corner) > 200 && qGreen(corner) < 60, "the last cell (red) reaches the corner");

        t.dialogs.answer(folder + "/overview.png");
        QVERIFY(ClickButton(o, "Button2"));
        QCOMPARE(t.dialogs.asked.last().folder, folder);
        QCOMPARE(t.dialogs.asked.last().filter, QString("jpg (*.jpg);;bmp (*.bmp);;png (*.png)"));
        QFile saved(folder + "/overview.png");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.read(4) == "\x89PNG");
        t.dialogs.answer(folder + "/overview");
        QVERIFY(ClickButton(o, "Button2"));
        QVERIFY(QFileInfo::exists(folder + "/overview.jpg"));
        QVERIFY(t.messages.shown.isEmpty());

        QVERIFY(ClickButton(o, "Button3"));
        QVERIFY(!o->isVisible());
    }

    void saveStartsInTheProjectsFolderWithoutAProjectFolder()
    {
        TestApp t;
        t.app().createWindows();
        QVERIFY(ClickButton(t.app().foverview, "Button2"));
        QCOMPARE(t.dialogs.asked.size(), 1);
        QCOMPARE(t.dialogs.asked[0].folder, t.ws().folders.projectsFolder);
        QVERIFY(t.messages.shown.isEmpty());
    }
};

QTEST_MAIN(OverviewWindowTest)
#include "overview_window_test.moc"
