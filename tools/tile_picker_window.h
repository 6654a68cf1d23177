#pragma once
// The tile picker ("Tile Picker"): one cell of the mosaic beside the library tiles that
// match it best; a click on a candidate puts that tile into the cell. The main window
// hands it the cells clicked while SelectMode is set; hiding or closing it clears
// SelectMode. It keeps its last cell, candidate list and strip while hidden.

#include "engine/project_records.h"

#include <QImage>
#include <QWidget>

class AppContext;
class PictureView;
class QGroupBox;
class QLabel;
class QScrollBar;
class Workspace;

class TfCellEditor : public QWidget {
    Q_OBJECT
public:
    explicit TfCellEditor(AppContext& app);
    ~TfCellEditor() override;

    // The ready flag: true while no selection is being built. The main window's "Select"
    // sets it; a selection clears it while it runs.
    bool isReady() const { return m_ready; }
    void setReady(bool ready) { m_ready = ready; }

    // Selects the cell (x, y) (the add-on cell x when y is -1): shows its details, ranks
    // the candidates into the picker list, builds the strip and shows its first four
    // cards. Ignored while the ready flag is false, for a cell that is not laid out and
    // while another long command runs. A tile picture that cannot be read is reported;
    // the cards made before it are shown.
    void SelectCell(int x, int y);
    // The details of the cell (x, y): the card of its tile over its own measured colours,
    // position, colour and tile texts, and the difference in the window caption. A cell
    // without a tile shows no card, and the caption no difference.
    void ShowCellDetails(int x, int y);
    // A press at horizontal position `x` (logical units) of the candidate image: the
    // candidate under it goes into the selected cell, which is repainted on the main
    // window's mosaic, and the details are shown again. The blank area after the last
    // card and presses beside the shown picture do nothing.
    void CandidateClick(double x);
    // Draws the part of the strip at the scroll bar's position into the candidate image.
    void ShowStrip();

    TPoint selectedCell() const { return m_selected; }
    // The 6400 x 192 strip of candidate cards (null before the first selection).
    const QImage& strip() const { return m_strip; }
    // The candidate image's bitmap: 512 x 192 logical units at the window's display
    // scale.
    const QImage& candidateBitmap() const { return m_candidates; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Workspace& ws();

    AppContext& m_app;
    bool m_ready = false;
    TPoint m_selected{0, -2};
    QImage m_strip;
    QImage m_candidates;
    PictureView* m_cellCard = nullptr;
    QLabel* m_position = nullptr;
    QLabel* m_color = nullptr;
    QLabel* m_tileId = nullptr;
    QGroupBox* m_matchGroup = nullptr;
    QWidget* m_candidateImage = nullptr;
    QScrollBar* m_scrollBar = nullptr;
};
