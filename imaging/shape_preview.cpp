#include "imaging/shape_preview.h"

#include "imaging/canvas.h"
#include "imaging/shapes.h"

#include <algorithm>
#include <cmath>

void DrawShapePreview(QImage& bitmap, float aspectW, float aspectH, std::int32_t shape, float screenScale)
{
    if (bitmap.isNull())
        return;
    const double w = bitmap.width(), h = bitmap.height();
    Canvas canvas(bitmap);
    canvas.Clear(0x00FFFFFF);
    if (!(aspectW > 0) || !(aspectH > 0) || !(screenScale > 0))
        return;

    const double e = std::min(w / aspectW, h / aspectH);
    const double l = std::trunc(e * aspectW), m = std::trunc(e * aspectH);
    const QRectF box((w - l) / 2, (h - m) / 2, l, m);

    Canvas::Scene scene(canvas);
    QPainter& painter = scene.painter();
    canvas.setStroke(0xFF000000, 2.0);
    painter.save();
    painter.setOpacity(0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(0xFF66CCFF));
    painter.drawRoundedRect(box, 2, 2);
    painter.setOpacity(1.0);
    painter.setPen(canvas.pen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box, 2, 2);
    painter.restore();

    DrawShape(canvas, toTRectF(box), shape, /*fill=*/true, 0.9f, 0xFFFFCC66, 1.0 / screenScale);

    canvas.setStroke(0xFF000000, 1.0);
    painter.save();
    painter.setPen(canvas.pen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, 0, w, h));
    painter.restore();
}
