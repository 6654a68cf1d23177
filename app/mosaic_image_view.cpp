#include "app/mosaic_image_view.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

MosaicImageView::MosaicImageView(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image)
{
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void MosaicImageView::setZoom(double zoom)
{
    if (zoom > 0 && zoom != m_zoom) {
        m_zoom = zoom;
        refresh();
    }
}

QSizeF MosaicImageView::logicalSize() const
{
    return m_image.isNull() ? QSizeF() : m_image.deviceIndependentSize();
}

QSize MosaicImageView::sizeHint() const
{
    const QSizeF s = logicalSize() * m_zoom;
    return QSize(static_cast<int>(std::ceil(s.width())), static_cast<int>(std::ceil(s.height())));
}

void MosaicImageView::refresh()
{
    resize(sizeHint());
    update();
}

void MosaicImageView::paintEvent(QPaintEvent*)
{
    if (m_image.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1.0);
    painter.scale(m_zoom, m_zoom);
    painter.drawImage(QPointF(0, 0), m_image);
}

void MosaicImageView::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = event->position() / m_zoom;
    emit pressed(p, event->button());
}
