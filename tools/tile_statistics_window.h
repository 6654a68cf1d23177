#pragma once
// The tile statistics window ("Tile count"): every tile of the working library with the
// number of cells that use it, by tile number or by use; tiles unchecked here are left
// out when the mosaic is rendered again. The list can be saved as picture pages or as
// a workbook.

#include "output/tile_statistics.h"

#include <QWidget>

#include <vector>

class AppContext;
class QListWidget;
class QRadioButton;
class Workspace;

class Tftilecount : public QWidget {
    Q_OBJECT
public:
    explicit Tftilecount(AppContext& app);
    ~Tftilecount() override;

    // Counts every tile's cells (add-on cells included), orders the pairs as the radio
    // buttons say and lists them: thumbnail, row text, check box from ItemEnable. A tile
    // picture that cannot be read is reported and the list stops before that tile.
    void FillList();
    // "Render Mosaic": the check boxes become the tiles' ItemEnable, the mosaic is
    // created again with the main window's progress bar, and the list is filled again.
    // Without a render hook (no new-project workflow to run) it says so and changes
    // nothing.
    void RenderMosaicClick();
    // "Save ": the list as picture pages, in tile order, under a name the user picks.
    void SaveClick();
    // "Export Excel (Win Version)": the three columns written to a workbook the user
    // places, which may then be opened.
    void ExportClick();

    // Shows the window over the main window as the last filling left it.
    void showWithoutRefill();

    // The (tile, count) pairs of the last filling, in list order.
    const std::vector<TileUse>& statistics() const { return m_stats; }

private:
    Workspace& ws();

    AppContext& m_app;
    QRadioButton* m_byId = nullptr;
    QRadioButton* m_byCount = nullptr;
    QListWidget* m_list = nullptr;
    std::vector<TileUse> m_stats;
};
