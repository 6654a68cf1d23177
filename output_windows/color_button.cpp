#include "output_windows/color_button.h"

#include "imaging/canvas.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

ColorButton::ColorButton(TAlphaColor color, QWidget* parent) : QToolButton(parent), m_color(color)
{
    setIconSize(QSize(48, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    showSwatch();
    connect(this, &QToolButton::clicked, this, &ColorButton::choose);
}

void ColorButton::setColor(TAlphaColor color)
{
    if (color == m_color) return;
    m_color = color;
    showSwatch();
    emit colorChanged(m_color);
}

void ColorButton::choose()
{
    const QColor chosen = QColorDialog::getColor(toQColor(m_color), this, QString(), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid()) setColor(chosen.rgba());
}

void ColorButton::showSwatch()
{
    QPixmap swatch(iconSize());
    swatch.fill(Qt::transparent);
    QPainter p(&swatch);
    p.fillRect(swatch.rect().adjusted(0, 0, -1, -1), toQColor(m_color));
    p.setPen(Qt::black);
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    p.end();
    setIcon(QIcon(swatch));
    setToolTip(QStringLiteral("#%1").arg(m_color, 8, 16, QLatin1Char('0')).toUpper());
}
