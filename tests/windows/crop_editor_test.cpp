// The tile image crop editor driven with the mouse: the initial square over a photo, a
// corner drag, a move against the edge, Crop and Reload.

#include "app/picture_view.h"
#include "imaging/picture_io.h"
#include "library_windows/tile_crop_editor.h"
#include "tests/windows/support/scripted_platform.h"
#include "tests/windows/support/window_driving.h"
#include "tests/windows/support/window_fixtures.h"
#include "tilelib/tilelib.h"

#include <QPainter>
#include <QtTest>

namespace {

// A 200 x 150 photo: left half red, right half blue.
QImage HalvesPhoto()
{
    QImage photo(200, 150, QImage::Format_ARGB32);
    photo.fill(Qt::red);
    QPainter p(&photo);
    p.fillRect(100, 0, 100, 150, Qt::blue);
    return photo;
}

struct Editor {
    TestApp t;
    TfCellImageEdit* editor = nullptr;
    QWidget* view = nullptr;

    // A 66 x 66 library whose tile 0 was made from the halves photo (its ready picture
    // is green, so it can be told from a crop); tile 1 has no source picture.
    Editor()
    {
        t.app().createWindows();
        LibraryFixtureOptions options;
        options.widthPx = options.heightPx = 66;
        const QString folder = t.documents.filePath("lib");
        const QString e =
            WriteFixtureLibrary(folder, {{"photo.png", 0xFF00FF00, {}}, {"other.png", 0xFF000000, {}}}, options);
        if (!e.isEmpty()) qWarning("%s", qPrintable(e));
        if (!SavePicture(HalvesPhoto(), folder + "/source/photo.png") || !QFile::remove(folder + "/source/other.png") ||
            !t.ws().mbrowselib.LoadTilelib(GetTilelibFileName(folder)))
            qWarning("the crop editor's library could not be made");
        editor = t.app().fCellImageEdit;
        view = Control(editor, "Img_tilecrop");
    }
    QRect rectControl() const { return Control(editor, "Rect_MIcrop")->geometry(); }
    QPoint circle(int k) const { return Control(editor, QString("Circle%1").arg(k).toLatin1().constData())->pos(); }
    const QImage& shown(const char* name) const { return Control<PictureView>(editor, name)->picture(); }
};

} // namespace

class CropEditorTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowAsLaidOut()
    {
        Editor e;
        QCOMPARE(e.editor->windowTitle(), QString("Image Editor"));
        QCOMPARE(e.editor->size(), QSize(605, 480));
        QCOMPARE(e.view->geometry(), QRect(8, 57, 400, 400));
        QCOMPARE(Control(e.editor, "Image1")->geometry(), QRect(416, 57, 180, 180));
        QCOMPARE(Control(e.editor, "Image2")->geometry(), QRect(416, 277, 180, 180));
        QCOMPARE(Control(e.editor, "Circle0")->size(), QSize(25, 25));
        QVERIFY(Control(e.editor, "Rect_MIcrop")->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void openingATileShowsTheInitialSquare()
    {
        Editor e;
        e.editor->OpenTile(0);
        QVERIFY(e.editor->isVisible());
        QCOMPARE(e.editor->displayScale(), 1.0f);
        QCOMPARE(e.editor->displayPicture().size(), QSize(400, 300));
        QCOMPARE(e.rectControl(), QRect(8 + 65, 57 + 15, 270, 270));
        QCOMPARE(e.circle(0), QPoint(8 + 65 - 13, 57 + 15 - 13));
        QCOMPARE(e.circle(2), QPoint(8 + 335 - 13, 57 + 285 - 13));
        // Image1 shows the ready picture, Image2 the crop of the initial square.
        QCOMPARE(e.shown("Image1").pixel(10, 10), QColor(Qt::green).rgba());
        QCOMPARE(e.shown("Image2").size(), QSize(66, 66));
        QCOMPARE(e.shown("Image2").pixel(5, 33), QColor(Qt::red).rgba());
        QCOMPARE(e.shown("Image2").pixel(60, 33), QColor(Qt::blue).rgba());
    }

    void draggingTheBottomRightCornerKeepsTheSquare()
    {
        Editor e;
        e.editor->OpenTile(0);
        QVERIFY(ShowAndWait(e.editor));
        QTest::mousePress(e.view, Qt::LeftButton, {}, QPoint(335, 285));
        QTest::mouseMove(e.view, QPoint(390, 200));
        QCOMPARE(e.rectControl(), QRect(8 + 65, 57 + 15, 185, 185));
        QCOMPARE(e.circle(2), QPoint(8 + 250 - 13, 57 + 200 - 13));
        QTest::mouseRelease(e.view, Qt::LeftButton, {}, QPoint(390, 200));
        const TRectF r = e.editor->crop().rect;
        QCOMPARE(r.Left, 65.0f);
        QCOMPARE(r.Top, 15.0f);
        QCOMPARE(r.Width(), 185.0f);
        QCOMPARE(r.Height(), 185.0f);
        // View 65..250 over the photo's middle at view 200: red up to result column 48.
        QCOMPARE(e.shown("Image2").pixel(44, 33), QColor(Qt::red).rgba());
        QCOMPARE(e.shown("Image2").pixel(53, 33), QColor(Qt::blue).rgba());
        // Moves after the release drag nothing.
        QTest::mouseMove(e.view, QPoint(100, 100));
        QCOMPARE(e.rectControl(), QRect(8 + 65, 57 + 15, 185, 185));
    }

    void movingStopsAtTheEdgeAxisByAxis()
    {
        Editor e;
        e.editor->OpenTile(0);
        QVERIFY(ShowAndWait(e.editor));
        QTest::mousePress(e.view, Qt::LeftButton, {}, QPoint(200, 150));
        QTest::mouseMove(e.view, QPoint(300, 160)); // right edge would be 435: refused; 10 down taken
        QCOMPARE(e.rectControl(), QRect(8 + 65, 57 + 25, 270, 270));
        QTest::mouseMove(e.view, QPoint(330, 150));
        QCOMPARE(e.rectControl(), QRect(8 + 95, 57 + 15, 270, 270));
        QTest::mouseRelease(e.view, Qt::LeftButton, {}, QPoint(330, 150));
    }

    void cropThenReloadShowsTheReadyPictureAgain()
    {
        Editor e;
        e.editor->OpenTile(0);
        QVERIFY(ClickButton(e.editor, "bt_crop"));
        QCOMPARE(e.shown("Image1").size(), QSize(66, 66));
        QCOMPARE(e.shown("Image1").pixel(5, 33), QColor(Qt::red).rgba());
        QCOMPARE(e.shown("Image1"), e.shown("Image2"));
        QVERIFY(ClickButton(e.editor, "bt_reload"));
        QCOMPARE(e.shown("Image1").pixel(5, 33), QColor(Qt::green).rgba());
        QVERIFY(ClickButton(e.editor, "bt_close"));
        QVERIFY(!e.editor->isVisible());
    }

    void aTileWithoutSourceOpensNothing()
    {
        Editor e;
        e.editor->OpenTile(1);
        QVERIFY(!e.editor->isVisible());
        QVERIFY(e.editor->displayPicture().isNull());
        QVERIFY(e.t.messages.shown.isEmpty());
    }

    void anUnreadablePhotoIsReportedAndThePicturesStay()
    {
        Editor e;
        e.editor->OpenTile(0);
        const QImage display = e.editor->displayPicture();
        QFile f(e.t.documents.filePath("lib/source/photo.png"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("broken");
        f.close();
        QVERIFY(ClickButton(e.editor, "bt_reload"));
        QCOMPARE(e.t.messages.shown.size(), 1);
        QCOMPARE(e.t.messages.shown[0].kind, MessageKind::Error);
        QCOMPARE(e.editor->displayPicture(), display);
        QCOMPARE(e.rectControl(), QRect(8 + 65, 57 + 15, 270, 270));
    }
};

QTEST_MAIN(CropEditorTest)
#include "crop_editor_test.moc"
