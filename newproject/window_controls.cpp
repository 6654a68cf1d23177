#include "newproject/window_controls.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void ImageControl::setPicture(const QImage& picture)
{
    m_picture = picture;
    if (m_sizeToPicture && !m_picture.isNull()) resize(m_picture.deviceIndependentSize().toSize());
    update();
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull()) return;
    QPainter p(this);
    p.drawImage(QPointF(0, 0), m_picture);
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->position());
}

void ImageControl::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->position());
}

void ImageControl::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit left();
}

FractionSlider::FractionSlider(double minimum, double maximum, double stepsPerUnit, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_min(minimum), m_max(maximum), m_steps(stepsPerUnit), m_value(minimum)
{
    setRange(toPosition(minimum), toPosition(maximum));
    setSingleStep(1);
    setPageStep(std::max(1, static_cast<int>(std::lround(m_steps / 10))));
    connect(this, &QSlider::valueChanged, this, &FractionSlider::onSliderValue);
}

int FractionSlider::toPosition(double value) const
{
    return static_cast<int>(std::lround(value * m_steps));
}

void FractionSlider::setFractionValue(double value)
{
    value = std::clamp(value, m_min, m_max);
    const bool changed = value != m_value;
    m_value = value;
    m_setting = true;
    setValue(toPosition(value));
    m_setting = false;
    if (changed) emit fractionChanged(m_value);
}

void FractionSlider::onSliderValue(int position)
{
    if (m_setting) return;
    const double value = std::clamp(position / m_steps, m_min, m_max);
    if (value == m_value) return;
    m_value = value;
    emit fractionChanged(m_value);
}

ColorPickerButton::ColorPickerButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(false);
    connect(this, &QToolButton::clicked, this, &ColorPickerButton::pick);
}

void ColorPickerButton::setColor(QRgb argb)
{
    if (argb == m_color) return;
    m_color = argb;
    update();
    emit colorChanged(m_color);
}

void ColorPickerButton::pick()
{
    const QColor chosen =
        QColorDialog::getColor(QColor::fromRgba(m_color), this, QString(), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid()) setColor(chosen.rgba());
}

void ColorPickerButton::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor::fromRgba(m_color));
    p.drawRect(rect().adjusted(4, 4, -5, -5));
}
