#pragma once
// The tile library editor ("Edit Image Library"): the tiles of mbrowselib as a list,
// adding photos, saving the catalogue and preview, and the library's colour range.

#include <QImage>
#include <QWidget>

#include <memory>

class AppContext;
class ProgressBarProgress;
class QLabel;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;
class PictureView;

class Tftilelibeditor : public QWidget {
    Q_OBJECT
public:
    explicit Tftilelibeditor(AppContext& app);
    ~Tftilelibeditor() override;

    // One row per item of mbrowselib: a 32 x 32 thumbnail of the ready picture on white,
    // the text FormatInt(i + 1, 3) + ":    " + FileName and the ready picture's path as
    // detail.
    void FillTileList();
    // "Add Photos": a multi-file chooser; photos whose names the library has are
    // skipped, the others added in the chooser's order (AddPhotos, in parallel, the
    // window kept responsive). Photos that cannot be added are listed in one message; the
    // good ones stay added. Then the list is refilled and the bar set to 0.
    void AddPhotos();
    // "Save Changes": SaveTilelib and BuildPreview of mbrowselib, then hide. A failure
    // is reported and the editor stays open.
    void SaveChanges();
    // "Discard Changes": hides the editor; nothing is undone.
    void DiscardChanges();
    // "Show Color Range": the three-wheel chart of mbrowselib into the chart area.
    void ShowColorRange();
    // A click on row `index`: the crop editor on that tile when its source picture exists.
    void OpenTile(int index);

    // The index in mbrowselib of the tile last clicked.
    int selectedTileIndex() const { return m_selectedTile; }
    QTreeWidget* tileList() const { return m_list; }

private:
    AppContext& m_app;
    QTreeWidget* m_list = nullptr;
    PictureView* m_chart = nullptr;
    QProgressBar* m_progressBar = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
    int m_selectedTile = 0;
};

// The text of row i: "%3d" of i + 1, ":    ", the file name ("  1:    a.jpg").
QString TileRowText(int index, const QString& fileName);
