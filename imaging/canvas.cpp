#include "imaging/canvas.h"

#include "imaging/fonts.h"

#include <cassert>

Canvas::Canvas(QImage& image) : m_image(image), m_font(TextFontFamily()) {}

Canvas::~Canvas()
{
    assert(m_depth == 0 && "every BeginScene has its EndScene");
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

QPainter& Canvas::BeginScene()
{
    if (m_depth++ == 0) {
        m_painter = std::make_unique<QPainter>();
        m_painter->begin(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, true);
        m_painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
        m_painter->setPen(pen());
        m_painter->setFont(m_font);
    }
    return *m_painter;
}

void Canvas::EndScene()
{
    assert(m_depth > 0 && "EndScene without BeginScene");
    if (--m_depth == 0) {
        m_painter->end();
        m_painter.reset();
    }
}

QSizeF Canvas::logicalSize() const { return m_image.deviceIndependentSize(); }

void Canvas::setStroke(TAlphaColor color, double thickness)
{
    m_strokeColor = color;
    m_strokeThickness = thickness;
    if (m_painter)
        m_painter->setPen(pen());
}

QPen Canvas::pen() const
{
    QPen p(toQColor(m_strokeColor));
    p.setWidthF(m_strokeThickness);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void Canvas::setFont(const QFont& font)
{
    m_font = font;
    if (m_painter)
        m_painter->setFont(m_font);
}

void Canvas::Clear(TAlphaColor color)
{
    if (m_painter) {
        // Inside a scene: replace every pixel, as a clear does, not blend over them.
        m_painter->save();
        m_painter->setCompositionMode(QPainter::CompositionMode_Source);
        m_painter->resetTransform();
        m_painter->fillRect(QRectF(QPointF(0, 0), logicalSize()), toQColor(color));
        m_painter->restore();
    } else {
        m_image.fill(toQColor(color));
    }
}
