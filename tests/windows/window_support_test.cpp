// The habits the windows share: dialog filters and start folders, dated folder names,
// and where secondary windows appear.

#include "app/window_support.h"
#include "tests/windows/support/scripted_platform.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class WindowSupportTest : public QObject {
    Q_OBJECT
private slots:
    void filtersAreWrittenTheQtWay()
    {
        QCOMPARE(ToQtFilter("Mosaic Project|*.prj"), QString("Mosaic Project (*.prj)"));
        QCOMPARE(ToQtFilter("JPG|*.jpg|Bitmap |*.bmp|PNG |*.png"), QString("JPG (*.jpg);;Bitmap (*.bmp);;PNG (*.png)"));
        QCOMPARE(ToQtFilter("jpg|*.jpg|bmp|*.bmp|png|*.png"), QString("jpg (*.jpg);;bmp (*.bmp);;png (*.png)"));
        QCOMPARE(ToQtFilter("supported picture files|*.jpg;*.jpeg;*.bmp;*.png"),
                 QString("supported picture files (*.jpg *.jpeg *.bmp *.png)"));
        QCOMPARE(ToQtFilter(""), QString());
    }

    void datedFolderNamesHaveNoLeadingZeros()
    {
        struct Case {
            const char* name;
            QString folder;
            QDateTime time;
            QString expected;
        };
        const Case cases[] = {
            {"flowers", "flowers", QDateTime(QDate(2019, 4, 26), QTime(1, 24, 2)), "/libs/flowers2019-4-26-1-24-2"},
            {"the save dialog's example", "New Mosaic Project", QDateTime(QDate(2020, 2, 5), QTime(9, 7, 3)),
             "/libs/New Mosaic Project2020-2-5-9-7-3"},
            {"two-digit fields", "x", QDateTime(QDate(2021, 12, 31), QTime(23, 59, 10)), "/libs/x2021-12-31-23-59-10"},
            {"midnight", "", QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)), "/libs/2000-1-1-0-0-0"},
        };
        for (const Case& c : cases)
            QVERIFY2(DatedFolderName("/libs", c.folder, c.time) == c.expected, c.name);
    }

    void dialogsStartInAFolderThatExists()
    {
        QTemporaryDir dir;
        const QString mixed = dir.filePath("Quillary/Projects");
        QVERIFY(QDir().mkpath(mixed));
        // On a case-sensitive file system the lower-cased path names nothing.
        QCOMPARE(DialogStartFolder(mixed), mixed);
        const QString lower = dir.filePath("quillary2/projects");
        QVERIFY(QDir().mkpath(lower));
        QCOMPARE(DialogStartFolder(lower), lower);
        if (dir.path() == dir.path().toLower()) {
            // Both spellings exist as different folders: the one named is kept.
            QVERIFY(QDir().mkpath(dir.filePath("quillary/projects")));
            QCOMPARE(DialogStartFolder(mixed), mixed);
        }
    }

    void aWindowShownWithAParentIsCentredOverIt()
    {
        QWidget parent;
        parent.resize(600, 400);
        parent.move(100, 100);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        auto* tool = new QWidget(nullptr, Qt::Tool);
        tool->resize(200, 100);
        ShowWithParent(tool, &parent);
        QCOMPARE(tool->parentWidget(), &parent);
        QVERIFY(tool->isWindow());
        QVERIFY(tool->isVisible());
        // Within the frame's width: a window's frame is known only once it is shown.
        QVERIFY(qAbs(tool->frameGeometry().center().x() - parent.frameGeometry().center().x()) <= 4);
        QVERIFY(qAbs(tool->frameGeometry().center().y() - parent.frameGeometry().center().y()) <= 4);
    }

    void aSaveNameWithoutExtensionGetsTheDefault()
    {
        QCOMPARE(WithDefaultSuffix("/a/Untitled", "jpg"), QString("/a/Untitled.jpg"));
        QCOMPARE(WithDefaultSuffix("/a/picture.png", "jpg"), QString("/a/picture.png"));
        QCOMPARE(WithDefaultSuffix("", "jpg"), QString());
    }
};

QTEST_MAIN(WindowSupportTest)
#include "window_support_test.moc"
