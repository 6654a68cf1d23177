#pragma once
// Test doubles that stand in for the user at message boxes and file dialogs: answers
// are queued in advance, every question is recorded.

#include "app/app_context.h"
#include "app/qt_platform.h"

#include <QDateTime>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class ScriptedMessages final : public UserMessages {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        MessageButtons buttons;
    };
    MessageAnswer show(MessageKind kind, const QString& text, MessageButtons buttons) override;
    // Answers for the next questions, in order; without one a box is answered with its
    // first button (OK or Yes).
    void answer(MessageAnswer a) { m_answers.enqueue(a); }
    QList<Shown> shown;
    QStringList texts() const;

private:
    QQueue<MessageAnswer> m_answers;
};

class ScriptedDialogs final : public FileDialogs {
public:
    struct Asked {
        QString kind; // "open", "openMany", "save", "folder"
        QString caption, folder, filter, suffix;
    };
    QString getOpenFileName(QWidget*, const QString& caption, const QString& folder, const QString& filter) override;
    QStringList getOpenFileNames(QWidget*, const QString& caption, const QString& folder,
                                 const QString& filter) override;
    QString getSaveFileName(QWidget*, const QString& caption, const QString& folderOrFile, const QString& filter,
                            const QString& defaultSuffix) override;
    QString getExistingDirectory(QWidget*, const QString& caption, const QString& folder) override;

    // The next answers, in order; an empty string (or list) is a cancel. A save answer
    // goes through the same default-suffix rule as the real dialog.
    void answer(const QString& path) { m_answers.enqueue(QStringList{path}); }
    void answerMany(const QStringList& paths) { m_answers.enqueue(paths); }
    QList<Asked> asked;

private:
    QStringList next();
    QQueue<QStringList> m_answers;
};

class RecordingShell final : public Shell {
public:
    void ShellOpen(const QString& target) override { opened << target; }
    void Beep() override { ++beeps; }
    QStringList opened;
    int beeps = 0;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime t) : time(std::move(t)) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};

// A whole application in a temporary documents folder and program folder, with every
// user-facing service scripted.
struct TestApp {
    QTemporaryDir documents;
    QTemporaryDir program;
    ScriptedMessages messages;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    FixedClock clock{QDateTime(QDate(2020, 2, 5), QTime(9, 7, 3))};
    std::unique_ptr<AppContext> context;

    // `resourceRoot` defaults to the embedded content. The first-show steps of the main
    // window (start screen, sample content, sample photo) run only when asked for.
    explicit TestApp(const QStringList& arguments = {}, const QString& resourceRoot = QStringLiteral(":/content"),
                     bool firstShowSteps = false);
    AppContext& app() { return *context; }
    Workspace& ws() { return context->ws(); }
};
