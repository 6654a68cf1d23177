#pragma once
// Text and tile look-ups shared by the views that label cells: one line of text centred
// in a rectangle at a font size given in the painter's logical units, and the guarded
// reading of a cell's tile from the working library.

#include "imaging/color_records.h"
#include "tilelib/tilelib.h"

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <algorithm>

// `text` centred horizontally and vertically in `rect`, on one line (no word wrap), in
// `family` at `size` logical units (not points), opaque `color`. A size of 0 or less,
// or an empty text, draws nothing. The painter's state is restored afterwards.
inline void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text, TAlphaColor color,
                            const QString& family, double size, bool bold = false)
{
    if (size <= 0 || text.isEmpty() || !painter.device())
        return;
    QFont font(family);
    // Points are converted by the device's logical resolution; asking for the size in
    // points that give `size` units keeps fractional sizes, which setPixelSize rounds.
    const int dpi = painter.device()->logicalDpiY();
    font.setPointSizeF(size * 72.0 / (dpi > 0 ? dpi : 72));
    font.setBold(bold);
    painter.save();
    painter.setOpacity(1.0);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

// The item of `tileId` in the working library, or null when the id is no index of it
// (-1 for an empty cell, or a stale id beyond Count): such a cell is treated as having
// no tile, so no view reads outside the library.
inline const TTileItem* WorkingTile(const TTilelib& library, int tileId)
{
    const int count = std::clamp(library.Count, 0, kTileCapacity);
    return tileId >= 0 && tileId < count ? &library.items[tileId] : nullptr;
}
