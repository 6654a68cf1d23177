#pragma once
// The tile pen ("Tile Pen"): the tiles of the working library as a list; the clicked one
// becomes the main window's PenTile, which every click on the mosaic in PenMode paints
// into the cell under it. Hiding the window clears PenMode.

#include <QWidget>

class AppContext;
class PictureView;
class QListWidget;
class QListWidgetItem;
class Workspace;

class Tftilepen : public QWidget {
    Q_OBJECT
public:
    explicit Tftilepen(AppContext& app);
    ~Tftilepen() override;

    // Lists every tile of the working library (its thumbnail and its number) and selects
    // the first item; PenTile is left as it is. A tile picture that cannot be read is
    // reported and the list stops before that tile.
    void FillPenList();
    // The pen item `index` clicked: PenTile := index, and the preview shows the tile's
    // colour card.
    void PenItemClick(int index);
    // Puts `tile` into the cell (x, y) (the add-on cell x when y is -1), keeping its
    // rotation and the use counts, repaints it on the main window's mosaic and shows the
    // mosaic. A refused edit (a cell or tile that does not exist, a picture that cannot
    // be read) is reported and changes nothing.
    void PaintCell(int x, int y, int tile);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Workspace& ws();

    AppContext& m_app;
    QListWidget* m_list = nullptr;
    PictureView* m_preview = nullptr;
};
