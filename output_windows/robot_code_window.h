#pragma once
// The robot control code window ("Robot Control Code Generator"): the mosaic's counts
// and size, the page setup with the page count it gives, the (informative) robot and
// feeder types, and the motion program of one page in a text box that can be saved.

#include <QStringList>
#include <QWidget>

#include <memory>

class AppContext;
class ProgressBarProgress;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QSpinBox;

class Tfrobotcode : public QWidget {
    Q_OBJECT
public:
    explicit Tfrobotcode(AppContext& app);
    ~Tfrobotcode() override;

    // The mosaic labels and "Total Page Count" from the project and the page-setup boxes;
    // run by the main window before it shows the window and by every generation.
    void RefreshLabels();
    // "Single Page Robot Code": the program of page (PageID X, PageID Y) into the text box
    // and its line count into "Lines:". Refused (with a beep) while another long command
    // runs, this one included.
    void SinglePageRobotCode();
    // "Save Code": asks for a file and writes the text box's lines as ASCII with CR LF.
    void SaveCode();

    // The text box's lines, as "Save Code" writes them (none for an empty box).
    QStringList codeLines() const;

private:
    AppContext& m_app;
    QLabel* m_horizontalCount = nullptr;
    QLabel* m_verticalCount = nullptr;
    QLabel* m_mosaicSize = nullptr;
    QLabel* m_pageCount = nullptr;
    QSpinBox* m_cellsH = nullptr;
    QSpinBox* m_cellsV = nullptr;
    QSpinBox* m_pageX = nullptr;
    QSpinBox* m_pageY = nullptr;
    QListWidget* m_robotType = nullptr;
    QListWidget* m_feederType = nullptr;
    QPlainTextEdit* m_code = nullptr;
    QLabel* m_lines = nullptr;
    QProgressBar* m_progressBar = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
};
