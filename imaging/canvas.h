#pragma once
// A drawing surface with scenes, as the drawing operations of the system expect: a
// bitmap whose drawing happens between BeginScene and EndScene. Scenes nest (an
// operation that opens its own scene may be called inside the caller's), which a bare
// QPainter does not allow on one QImage. The canvas keeps its stroke and font between
// scenes, and its coordinates are logical units: a bitmap with device pixel ratio 2 is
// drawn at twice the resolution, as an image control's bitmap on a high-DPI display.

#include "imaging/color_records.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <memory>

class Canvas {
public:
    explicit Canvas(QImage& image);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Opens a scene (or enters the open one) and returns its painter; antialiasing and
    // smooth bitmap scaling are on, pen and font are the canvas's current ones.
    QPainter& BeginScene();
    void EndScene();
    bool inScene() const { return m_depth > 0; }

    QImage& image() { return m_image; }
    // Size in logical units.
    QSizeF logicalSize() const;

    // Current stroke, kept between scenes.
    void setStroke(TAlphaColor color, double thickness);
    TAlphaColor strokeColor() const { return m_strokeColor; }
    double strokeThickness() const { return m_strokeThickness; }
    QPen pen() const;

    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }

    // Clears the whole bitmap to a colour (outside any scene, or inside one).
    void Clear(TAlphaColor color);

    // RAII scene.
    class Scene {
    public:
        explicit Scene(Canvas& canvas) : m_canvas(canvas), m_painter(canvas.BeginScene()) {}
        ~Scene() { m_canvas.EndScene(); }
        Scene(const Scene&) = delete;
        Scene& operator=(const Scene&) = delete;
        QPainter& painter() { return m_painter; }
        QPainter* operator->() { return &m_painter; }

    private:
        Canvas& m_canvas;
        QPainter& m_painter;
    };

private:
    QImage& m_image;
    std::unique_ptr<QPainter> m_painter;
    int m_depth = 0;
    TAlphaColor m_strokeColor = 0xFF000000;
    double m_strokeThickness = 1.0;
    QFont m_font;
};

// Qt colour from a TAlphaColor (0xAARRGGBB).
inline QColor toQColor(TAlphaColor c) { return QColor::fromRgba(c); }
inline QRectF toQRectF(const TRectF& r) { return QRectF(QPointF(r.Left, r.Top), QPointF(r.Right, r.Bottom)); }
inline TRectF toTRectF(const QRectF& r)
{
    return TRectF{static_cast<float>(r.left()), static_cast<float>(r.top()), static_cast<float>(r.right()),
                  static_cast<float>(r.bottom())};
}
