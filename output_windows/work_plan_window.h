#pragma once
// The page-grid work plan window ("Work Plan Generator"): the mosaic's full size cut
// into a grid of equal pages, each drawn with the tile numbers (over the tile colours
// or not) into one page picture that is reused for every page, shown in a scroll box
// at its own pixel size and zoomed by the scale bar without drawing it again.

#include <QImage>
#include <QWidget>

#include <memory>

class AppContext;
class MosaicImageView;
class ProgressBarProgress;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class TextSpinBox;

class Tfworkplan2 : public QWidget {
    Q_OBJECT
public:
    explicit Tfworkplan2(AppContext& app);
    ~Tfworkplan2() override;

    // The size label and the shared TworkplanCfg from the controls. A "TileID Text
    // Size" that is not a number is reported and nothing is changed; false then.
    bool RefreshWorkplanCfg();
    // "One Page": draws page (column X, row Y), each cut to the last page, into the page
    // picture without writing a file.
    void OnePage();
    // "Output All Page": asks for a folder and writes every page into it.
    void OutputAllPage();

    // The page picture as drawn (device pixel ratio 1); null before the first page.
    const QImage& pagePicture() const { return m_page; }
    // The zoom of the page picture (position of the scale bar / 100).
    double zoom() const;

private:
    int pagePixels() const;
    bool readInteger(const QLineEdit* box, int& value);
    void preparePage();
    void onScaleChanged(int position);

    AppContext& m_app;
    QImage m_page;
    QLabel* m_sizeLabel = nullptr;
    QSpinBox* m_pagesH = nullptr;
    QSpinBox* m_pagesV = nullptr;
    QRadioButton* m_size1000 = nullptr;
    QRadioButton* m_size2000 = nullptr;
    QRadioButton* m_size4000 = nullptr;
    QCheckBox* m_fill = nullptr;
    TextSpinBox* m_textSize = nullptr;
    QSpinBox* m_colorCount = nullptr;
    QLineEdit* m_pageX = nullptr;
    QLineEdit* m_pageY = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QSlider* m_scaleBar = nullptr;
    QLabel* m_scaleLabel = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    MosaicImageView* m_picture = nullptr;
    std::unique_ptr<ProgressBarProgress> m_progress;
};
