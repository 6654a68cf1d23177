// The position guide card window driven as a user would: opened from the main window's
// hidden "Pos Card", refusing an unsaved project, writing one card per used tile and
// asking whether to open the card folder.

#include "app/main_window.h"
#include "output/guide_cards.h"
#include "output_windows/color_button.h"
#include "output_windows/guide_card_window.h"
#include "tests/windows/support/assembly_fixtures.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"

#include <QDir>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

// A 4 x 4 grid of 20-unit cells over a library of ten tiles written to disk; tiles 2, 5
// and 7 are placed (tile 5 twice), the other cells are empty.
struct Running {
    TestApp t;
    QString project;
    Running()
    {
        t.app().createWindows();
        ShowAndWait(t.app().Form1);
        LayGridProject(t.ws(), 4, 4, 20);
        const QString e = LoadPictureLibrary(t.ws(), t.documents.filePath("library"), 10);
        if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        place(0, 0, 2);
        place(3, 1, 5);
        place(1, 2, 5);
        place(2, 3, 7);
        MarkRendered(t.ws());
        project = t.documents.filePath("project");
    }
    void place(int x, int y, int tile)
    {
        t.ws().mproject.Cells[y][x].TileID = tile;
        t.ws().mtilelib.items[tile].Usecount += 1;
    }
    void save()
    {
        QDir().mkpath(project);
        t.ws().mproject.cfg.RootPath.set(project);
    }
    TfPosCard* window() { return t.app().fPosCard; }
    QString cards() const { return QDir(project).filePath("GuideCard"); }
};

// Every folder named "GuideCard" below `root`.
QStringList CardFoldersBelow(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString d = it.next();
        if (QFileInfo(d).fileName() == "GuideCard") found << d;
    }
    return found;
}

int CountPixels(const QImage& image, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y))) ++n;
    return n;
}

} // namespace

class GuideCardWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        Running r;
        TfPosCard* w = r.window();
        QCOMPARE(w->windowTitle(), QString("Position Guide Card"));
        QCOMPARE(w->size(), QSize(353, 327));
        QCOMPARE(Control<QGroupBox>(w, "gb_cardsize")->title(), QString("Card Size"));
        auto* card4x6 = Control<QRadioButton>(w, "rb_4x6");
        auto* card4x5 = Control<QRadioButton>(w, "rb_4x5");
        QCOMPARE(card4x6->text(), QString("4x6 Inch"));
        QCOMPARE(card4x5->text(), QString("4x5 Inch"));
        QVERIFY(card4x6->isChecked());
        QVERIFY(card4x6->isEnabled());
        QVERIFY(!card4x5->isEnabled());
        struct Case {
            const char* name;
            int minimum, maximum, value;
        };
        const Case boxes[] = {{"sb_count", 1, 5, 2}, {"sb_radius", 20, 100, 50}, {"sb_linesize", 1, 10, 5}};
        for (const Case& c : boxes) {
            auto* s = Control<QSpinBox>(w, c.name);
            QVERIFY2(s, c.name);
            QCOMPARE(s->minimum(), c.minimum);
            QCOMPARE(s->maximum(), c.maximum);
            QCOMPARE(s->value(), c.value);
        }
        QCOMPARE(Control<QLabel>(w, "lb_count")->text(), QString("Position Indicator count"));
        QCOMPARE(Control<QLabel>(w, "lb_radius")->text(), QString("Indicator Radius"));
        QCOMPARE(Control<QLabel>(w, "lb_linesize")->text(), QString("Indicator Line Size"));
        QCOMPARE(Control<QLabel>(w, "lb_color")->text(), QString("Position Indicator Color"));
        QCOMPARE(Control<ColorButton>(w, "cp_color")->color(), 0xFF00FF00u);
        QCOMPARE(Control<QLabel>(w, "lb_progress")->text(), QString("Progress"));
        QCOMPARE(Control<QAbstractButton>(w, "bt_start")->text(), QString("Start Output"));
    }

    void posCardInTheMainWindowShowsTheWindow()
    {
        Running r;
        r.t.ws().mproject.Rendered = false; // not guarded
        auto* button = Control<QToolButton>(r.t.app().Form1, "bt_poscard");
        QVERIFY(!button->isVisibleTo(r.t.app().Form1));
        button->click();
        QVERIFY(r.window()->isVisible());
        QVERIFY(r.t.messages.shown.isEmpty());
    }

    void anUnsavedProjectIsRefusedAndNothingIsWritten()
    {
        Running r;
        ShowAndWait(r.window());
        struct Case {
            const char* name;
            QString root;
        };
        const Case cases[] = {{"no project folder", QString()}, {"a project folder that does not exist", r.project}};
        for (const Case& c : cases) {
            r.t.messages.shown.clear();
            r.t.ws().mproject.cfg.RootPath.set(c.root);
            QVERIFY2(ClickButton(r.window(), "bt_start"), c.name);
            QCOMPARE(r.t.messages.shown.size(), 1);
            QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Information);
            QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::OKCancel);
            QCOMPARE(r.t.messages.shown[0].text, QString("your project is not saved yet, please save your project "
                                                         "before create the guide card"));
            QCOMPARE(r.t.messages.shown[0].text, GuideCardUnsavedText());
            QVERIFY2(!QFileInfo::exists(r.project), c.name);
            QCOMPARE(CardFoldersBelow(r.t.documents.path()), QStringList());
        }
        QVERIFY(r.t.shell.opened.isEmpty());
    }

    void threeUsedTilesOfTenGiveThreeCardsAndTheClosingQuestion()
    {
        Running r;
        r.save();
        ShowAndWait(r.window());
        r.t.messages.answer(MessageAnswer::No);
        QVERIFY(ClickButton(r.window(), "bt_start"));
        QCOMPARE(FileNamesIn(r.cards()), (QStringList{"TileCard 2.jpg", "TileCard 5.jpg", "TileCard 7.jpg"}));
        QCOMPARE(r.t.messages.shown.size(), 1);
        QCOMPARE(r.t.messages.shown[0].text, QString("GuideCard output finished, open card folder?"));
        QCOMPARE(r.t.messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(r.t.messages.shown[0].buttons, MessageButtons::YesNo);
        QVERIFY(r.t.shell.opened.isEmpty());
        QCOMPARE(Control<QLabel>(r.window(), "lb_progress")->text(), QString("Progress 10/10"));
        const QImage card(QDir(r.cards()).filePath("TileCard 5.jpg"));
        QCOMPARE(card.size(), QSize(1800, 1200));

        // Yes opens the card folder.
        r.t.messages.answer(MessageAnswer::Yes);
        QVERIFY(ClickButton(r.window(), "bt_start"));
        QCOMPARE(r.t.messages.shown.size(), 2);
        QCOMPARE(r.t.shell.opened, QStringList{r.cards()});
        QCOMPARE(FileNamesIn(r.cards()).size(), 3);
    }

    void theCirclesTakeTheChosenColourAndSize()
    {
        Running r;
        r.save();
        ShowAndWait(r.window());
        Control<ColorButton>(r.window(), "cp_color")->setColor(0xFFFF00FF);
        Control<QSpinBox>(r.window(), "sb_count")->setValue(1);
        Control<QSpinBox>(r.window(), "sb_linesize")->setValue(10);
        r.t.messages.answer(MessageAnswer::No);
        QVERIFY(ClickButton(r.window(), "bt_start"));
        // Tile 7 is used by one cell only, so its one circle marks that cell.
        const QImage card(QDir(r.cards()).filePath("TileCard 7.jpg"));
        QVERIFY(!card.isNull());
        auto magenta = [](QRgb p) { return qRed(p) > 170 && qBlue(p) > 170 && qGreen(p) < 90; };
        auto lime = [](QRgb p) { return qGreen(p) > 170 && qRed(p) < 90 && qBlue(p) < 90; };
        QVERIFY(CountPixels(card, magenta) > 1000);
        QCOMPARE(CountPixels(card, lime), 0);
        // Cell (2, 3) of an 80 x 80 mosaic shown 1200 wide: its centre is at (750, 1050).
        QVERIFY(magenta(card.pixel(750 + 50, 1050)));
        QVERIFY(magenta(card.pixel(750 - 50, 1050)));
        QVERIFY(!magenta(card.pixel(750, 1050)));
    }

    void anEmptyLibraryWritesNothingAndAsksNothing()
    {
        Running r;
        r.save();
        r.t.ws().mtilelib.Count = 0;
        QVERIFY(ClickButton(r.window(), "bt_start"));
        QVERIFY(r.t.messages.shown.isEmpty());
        QVERIFY(!QFileInfo::exists(r.cards()));
    }
};

QTEST_MAIN(GuideCardWindowTest)
#include "guide_card_window_test.moc"
