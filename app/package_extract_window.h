#pragma once
// The extraction window ("Package Extract"): which package is being installed, how many
// of its entries are done and the current entry, while the sample content is unpacked
// at first start. The installer drives it through ExtractionMonitor.

#include "packages/sample_content.h"

#include <QWidget>

#include <memory>

class AppContext;
class ProgressBarProgress;
class QLabel;
class QProgressBar;

class Tfunzipper : public QWidget {
    Q_OBJECT
public:
    explicit Tfunzipper(AppContext& app);
    ~Tfunzipper() override;

    // Label_file takes the caption; the window is shown centred on the start screen (on
    // the main window when the start screen is hidden).
    void showPackage(const QString& caption);
    // ProgressBar1 counts the entries, lb_progress names the current one; pending events
    // run on every step so the window repaints.
    Progress* progress();
    // The window as the installer sees it.
    ExtractionMonitor* monitor();

private:
    class Monitor;
    AppContext& m_app;
    std::unique_ptr<Monitor> m_monitor;
    QLabel* m_file = nullptr;
    QLabel* m_progressText = nullptr;
    QProgressBar* m_bar = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
};
