#pragma once
// The project information window ("Project Info"): the size figures of the current
// project as text, refilled each time it is shown.

#include <QWidget>

class AppContext;
class QPlainTextEdit;

class TfprojectInfo : public QWidget {
    Q_OBJECT
public:
    explicit TfprojectInfo(AppContext& app);

    // Clears and refills the text from the project and the working library.
    void FillInfo();
    // "Project Info" of the main window: FillInfo, then the window centred on `over`.
    void showOver(QWidget* over);
    QString text() const;

private:
    AppContext& m_app;
    QPlainTextEdit* m_memo = nullptr;
};
