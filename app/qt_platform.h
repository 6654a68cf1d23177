#pragma once
// The platform services on Qt: event pumping, message boxes, the system shell, progress
// bars, and file dialogs. Windows reach them through the AppContext; tests replace the
// message boxes and the dialogs with scripted answers.

#include "platform/services.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QLabel;
class QProgressBar;
class QWidget;

class QtEventPump final : public EventPump {
public:
    void processEvents() override;
};

// Modal QMessageBox with the system's kinds and buttons.
class QtMessages final : public UserMessages {
public:
    MessageAnswer show(MessageKind kind, const QString& text, MessageButtons buttons) override;
};

// QDesktopServices for files, folders and web addresses; QApplication::beep.
class QtShell final : public Shell {
public:
    void ShellOpen(const QString& target) override;
    void Beep() override;
};

// A long operation's progress on a QProgressBar (and optionally a label), letting
// pending events run on every change so the bar repaints.
class ProgressBarProgress final : public Progress {
public:
    explicit ProgressBarProgress(QProgressBar* bar, QLabel* label = nullptr);
    void setMaximum(int maximum) override;
    void setValue(int value) override;
    int value() const override;
    void setText(const QString& text) override;

private:
    QPointer<QProgressBar> m_bar;
    QPointer<QLabel> m_label;
};

// File and folder choosers. An empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) = 0;
    virtual QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
                                         const QString& filter) = 0;
    // `defaultSuffix` (without the dot) is added when the user types a name without one.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folderOrFile,
                                    const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& folder) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) override;
    QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) override;
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folderOrFile,
                            const QString& filter, const QString& defaultSuffix) override;
    QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& folder) override;
};

// The suffix rule of the save dialogs: a name typed without an extension gets
// `defaultSuffix`.
QString WithDefaultSuffix(const QString& fileName, const QString& defaultSuffix);
