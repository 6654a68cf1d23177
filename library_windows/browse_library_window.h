#pragma once
// The library browser ("Photo Library"): the tile libraries of both library folders by
// name; clicking one shows its settings and preview and loads it into mbrowselib for the
// tile library editor.

#include <QString>
#include <QStringList>
#include <QWidget>

class AppContext;
class QLabel;
class QListWidget;
class PictureView;

class TfBrowseImglib : public QWidget {
    Q_OBJECT
public:
    explicit TfBrowseImglib(AppContext& app);

    // Fills the name list and the folder list with ListTilelibs (program library folder
    // first, then the user library folder). The selected library folder is kept.
    void FillLists();
    // Shows library j of the lists: reads its settings and count, loads its preview and
    // the whole library into mbrowselib. A library that does not load (a corrupt
    // catalogue, a missing preview) is reported and nothing changes: labels, preview,
    // selected folder and mbrowselib stay as they were.
    void ShowLibrary(int j);
    // "Manage": opens the tile library editor on mbrowselib when the selected folder
    // exists; otherwise "Please choose a image library first.".
    void Manage();

    // The folder of the library last shown; kept after the browser closes.
    QString selectedFolder() const { return m_selectedFolder; }
    const QStringList& libraryNames() const { return m_names; }
    const QStringList& libraryFolders() const { return m_folders; }

    // Shows the window centred on `over`.
    void showOver(QWidget* over);

private:
    AppContext& m_app;
    QListWidget* m_list = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_path = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_size = nullptr;
    PictureView* m_preview = nullptr;
    QStringList m_names;
    QStringList m_folders;
    QString m_selectedFolder;
};

// "Tile Size: " + Widthf "%4.2f" + "x" + Heightf "%4.2f" + " inch" (SizeUnit 1), " mm"
// (SizeUnit 2) or nothing.
QString TileSizeText(float widthf, float heightf, int sizeUnit);
