#pragma once
// The colour-group work plan window ("Mosaic Workplan Generator"): the grid cut into
// pages of a fixed number of cells, and for every page one guide picture per group of
// consecutive tile numbers, so that one group of colours can be laid at a time. Its
// settings are its own; the shared work-plan settings are not touched.

#include "output/work_plan.h"

#include <QImage>
#include <QWidget>

#include <memory>

class AppContext;
class MosaicImageView;
class ProgressBarProgress;
class QCheckBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QScrollArea;
class QSpinBox;

class Tfworkplan : public QWidget {
    Q_OBJECT
public:
    explicit Tfworkplan(AppContext& app);
    ~Tfworkplan() override;

    // The labels of "Mosaic Info" and "Total Page Count" from the project and the
    // cells-per-page boxes.
    void RefreshLabels();
    // "Preview": page (PageID X, PageID Y) with every tile number; a page beyond the last
    // shows nothing.
    void Preview();
    // "Output all": asks for a folder and base name and writes every page of every group.
    void OutputAll();
    // "Tile Counter": the tile statistics window as it was last filled.
    void TileCounter();

    // The settings the controls hold.
    WorkplanGroupSettings settings() const;
    // The page picture as last drawn; null when the last preview drew nothing.
    const QImage& pagePicture() const { return m_page; }

private:
    AppContext& m_app;
    QImage m_page;
    QLabel* m_horizontalCount = nullptr;
    QLabel* m_verticalCount = nullptr;
    QLabel* m_mosaicSize = nullptr;
    QLabel* m_pageCount = nullptr;
    QSpinBox* m_cellsH = nullptr;
    QSpinBox* m_cellsV = nullptr;
    QRadioButton* m_size1000 = nullptr;
    QRadioButton* m_size2000 = nullptr;
    QRadioButton* m_size4000 = nullptr;
    QSpinBox* m_groupSize = nullptr;
    QCheckBox* m_fill = nullptr;
    QSpinBox* m_textSize = nullptr;
    QSpinBox* m_pageX = nullptr;
    QSpinBox* m_pageY = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    MosaicImageView* m_picture = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
};
