#pragma once
// The tile image crop editor ("Image Editor"): one tile of mbrowselib next to the photo
// it was made from, with a crop rectangle locked to the tile's aspect that the mouse
// moves and resizes. A preview only: nothing is written to the library or to disk.

#include "tilelib/tile_crop.h"

#include <QImage>
#include <QWidget>

#include <array>

class AppContext;
class ImageControl;
class PictureView;

class TfCellImageEdit : public QWidget {
    Q_OBJECT
public:
    explicit TfCellImageEdit(AppContext& app);

    // Loads tile `index` of mbrowselib and shows the window; nothing happens when the
    // tile has no picture in "source".
    void OpenTile(int index);
    // "Reload": loads the current tile again from its picture files. A photo that cannot
    // be read is reported and the previous pictures stay.
    void LoadTile();
    // "Crop": computes the result and shows it in Image1 and Image2.
    void Crop();

    int tileIndex() const { return m_tileIndex; }
    float displayScale() const { return m_scale; }
    const TileCrop& crop() const { return m_crop; }
    const QImage& displayPicture() const { return m_display; }
    const QImage& result() const { return m_result; }

private:
    void onPressed(QPointF p);
    void onMoved(QPointF p);
    void onReleased(QPointF p);
    void onLeft();
    void RedrawOverlay();
    void ComputeResult();

    AppContext& m_app;
    float m_scale = 1.0f;
    int m_tileIndex = 0;
    QImage m_photo;
    QImage m_display;
    QImage m_result;
    TileCrop m_crop;
    ImageControl* m_cropView = nullptr;
    QWidget* m_rect = nullptr;
    std::array<QWidget*, 4> m_circles{};
    PictureView* m_image1 = nullptr;
    PictureView* m_image2 = nullptr;
};
