#pragma once
// The main window's mosaic image control: shows a picture at its own logical size (the
// bitmap's pixels over its device pixel ratio) times a zoom, without drawing it again,
// and reports presses in the picture's own coordinates, before the zoom.

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QWidget>

class MosaicImageView : public QWidget {
    Q_OBJECT
public:
    MosaicImageView(const QImage& image, QWidget* parent = nullptr);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    // The picture's logical size (no zoom).
    QSizeF logicalSize() const;
    // Takes the picture's current size and repaints.
    void refresh();

    QSize sizeHint() const override;

signals:
    void pressed(QPointF imagePosition, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const QImage& m_image;
    double m_zoom = 1.0;
};
