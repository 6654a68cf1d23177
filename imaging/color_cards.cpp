#include "imaging/color_cards.h"

#include "imaging/bitmap_ops.h"

#include <QPainter>

namespace {

void fillRounded(QPainter& painter, const QRectF& rect, double radius, TAlphaColor color)
{
    painter.setBrush(toQColor(color));
    painter.drawRoundedRect(rect, radius, radius);
}

} // namespace

void DrawColorSwatch(Canvas& canvas, float x, float y, const TimgColorInfo& info)
{
    if (canvas.image().isNull())
        return;
    Canvas::Scene scene(canvas);
    QPainter& painter = scene.painter();
    painter.save();
    painter.setOpacity(1.0);
    painter.setPen(Qt::NoPen);
    fillRounded(painter, QRectF(x, y, 64, 64), 5, info.ci1.rgb);
    painter.restore();
}

void DrawColorGrid(Canvas& canvas, float x, float y, const TimgColorInfo& info)
{
    if (canvas.image().isNull())
        return;
    Canvas::Scene scene(canvas);
    QPainter& painter = scene.painter();
    painter.save();
    painter.setOpacity(1.0);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            fillRounded(painter, QRectF(x + 8 * j, y + 8 * i, 7, 7), 1, info.ci64[i * 8 + j].rgb);
    painter.restore();
}

QImage MakeColorInfoCard(const TimgColorInfo& info, const QImage& picture)
{
    QImage card(kColorCardWidth, kColorCardHeight, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    Canvas canvas(card);
    DrawBitmapFit(canvas, picture, QRect(0, 0, 128, 128));
    DrawColorSwatch(canvas, 0, 128, info);
    DrawColorGrid(canvas, 64, 128, info);
    return card;
}
