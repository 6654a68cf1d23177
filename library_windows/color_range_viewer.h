#pragma once
// The colour range viewer ("Color Range Viewer"): the colour range charts of the working
// library and of the current project, one row each, a hue wheel and the three value
// wheels. The window has no controls of its own; the new-project window fills it.

#include <QImage>
#include <QWidget>

class AppContext;
class PictureView;
struct TColorHistogram;

class TfColorRangeViewer : public QWidget {
    Q_OBJECT
public:
    explicit TfColorRangeViewer(AppContext& app);

    // The four pictures: the library's hue wheel (kind 20) and three wheels (kind 10),
    // then the project's.
    void SetCharts(const QImage& libraryHueWheel, const QImage& libraryWheels, const QImage& projectHueWheel,
                   const QImage& projectWheels);
    // Draws the four charts of two histograms with DrawColorWheel and shows them.
    void ShowHistograms(const TColorHistogram& library, const TColorHistogram& project);
    // Shows the window centred on `over`.
    void showOver(QWidget* over);

private:
    PictureView* m_libraryHue = nullptr;
    PictureView* m_libraryWheels = nullptr;
    PictureView* m_projectHue = nullptr;
    PictureView* m_projectWheels = nullptr;
};
