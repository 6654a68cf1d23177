#pragma once
// The overview window ("Monitor"): the final mosaic rendered once more off screen at up
// to 4096 pixels, shown fitted into the window and saved as a picture; also the progress
// monitor while a saved project is opened.

#include "app/picture_view.h"

#include <QImage>
#include <QWidget>

#include <memory>

class AppContext;
class Progress;
class ProgressBarProgress;
class QLabel;
class QProgressBar;
class QPushButton;

class Tfoverview : public QWidget {
    Q_OBJECT
public:
    explicit Tfoverview(AppContext& app);
    ~Tfoverview() override;

    // The drawing mode of the overview; 50 before every render.
    int drawMode = 50;

    // "RePaint": renders the final mosaic into the overview bitmap and shows it. Does
    // nothing before a search has completed.
    void OverviewRepaint();
    // Shows a copy of the main window's picture (fitted into 1024, at twice the size).
    void OverviewFromMainView();
    // "Save Picture": asks for a file name and saves the shown picture.
    void Button2Click();
    // "Close".
    void Button3Click();

    // The render's progress bar (Overview_pbar1), for opening a project.
    Progress* progress();
    // Shows the window centred on `over`, above the other windows.
    void showOver(QWidget* over);
    // The picture Img_overview shows.
    const QImage& shownPicture() const;

private:
    AppContext& m_app;
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    PictureView* m_picture = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
};
