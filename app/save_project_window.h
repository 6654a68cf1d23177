#pragma once
// The project save dialog ("Save Mosaic Project"): a name that suggests a dated folder
// under the projects folder, the folder, and "Save Mosaic", which writes the project
// folder (tile pictures, library, main picture, project file, mosaic picture).

#include <QWidget>

class AppContext;
class QLineEdit;

class TfSaveProject : public QWidget {
    Q_OBJECT
public:
    explicit TfSaveProject(AppContext& app);

    // The folder box becomes the projects folder joined with the name and the current
    // date and time (Y-M-D-h-m-s). Runs on every key release in the name box.
    void SuggestFolder();
    // "Save Mosaic": an empty name or folder is reported and the dialog stays open; an
    // existing folder that is not empty is saved into only after a Yes, a missing one is
    // created after a Yes. The dialog then closes, except when saving failed (the reason
    // is shown) or another long command was running.
    void SaveMosaic();
    // Shows the dialog over the main window, keeping the last name and folder.
    void showOver(QWidget* over);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool saveInto(const QString& folder);

    AppContext& m_app;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_folder = nullptr;
};
