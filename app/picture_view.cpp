#include "app/picture_view.h"

#include "imaging/bitmap_ops.h"

#include <QPainter>

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull()) return;
    const QSizeF size = m_picture.deviceIndependentSize().scaled(QSizeF(this->size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    QPainter painter(this);
    DrawScaled(painter, target, m_picture);
}
