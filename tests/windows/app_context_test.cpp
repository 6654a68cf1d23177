// The application frame: scripted services stand in for the user.

#include "tests/windows/support/scripted_platform.h"

#include <QtTest>

class AppContextTest : public QObject {
    Q_OBJECT
private slots:
    void scriptedAnswersReachTheCore()
    {
        TestApp t;
        t.messages.answer(MessageAnswer::No);
        QCOMPARE(t.app().message(MessageKind::Confirmation, "Continue?", MessageButtons::YesNo), MessageAnswer::No);
        QCOMPARE(t.app().message(MessageKind::Information, "Done", MessageButtons::OK), MessageAnswer::OK);
        QCOMPARE(t.messages.texts(), (QStringList{"Continue?", "Done"}));
        t.app().shellOpen("/tmp");
        QCOMPARE(t.shell.opened, QStringList{"/tmp"});
        QCOMPARE(Now(t.ws().platform), QDateTime(QDate(2020, 2, 5), QTime(9, 7, 3)));
    }
    void saveAnswersGetTheDefaultSuffix()
    {
        TestApp t;
        t.dialogs.answer("/tmp/picture");
        t.dialogs.answer("/tmp/picture.png");
        t.dialogs.answer("");
        QCOMPARE(t.app().dialogs().getSaveFileName(nullptr, "Save", "", "jpg|*.jpg", "jpg"), QString("/tmp/picture.jpg"));
        QCOMPARE(t.app().dialogs().getSaveFileName(nullptr, "Save", "", "jpg|*.jpg", "jpg"), QString("/tmp/picture.png"));
        QCOMPARE(t.app().dialogs().getSaveFileName(nullptr, "Save", "", "jpg|*.jpg", "jpg"), QString());
    }
};

QTEST_MAIN(AppContextTest)
#include "app_context_test.moc"
