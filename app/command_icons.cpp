#include "app/command_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSide = 32;

// Four tiles of a small mosaic, the picture behind most of the project commands.
void drawTiles(QPainter& p, const QColor (&colors)[4], QRectF box)
{
    const double h = box.width() / 2, v = box.height() / 2;
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(box.left() + (i % 2) * h, box.top() + (i / 2) * v, h, v);
        p.fillRect(cell.adjusted(1, 1, -1, -1), colors[i]);
    }
}

void drawSheet(QPainter& p, const QColor& fill)
{
    QPainterPath sheet;
    sheet.moveTo(7, 3);
    sheet.lineTo(20, 3);
    sheet.lineTo(26, 9);
    sheet.lineTo(26, 29);
    sheet.lineTo(7, 29);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(fill);
    p.drawPath(sheet);
}

void drawText(QPainter& p, const QRectF& box, const QString& text, const QColor& color, int pixelSize)
{
    QFont f = p.font();
    f.setPixelSize(pixelSize);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

void paintGlyph(QPainter& p, CommandGlyph glyph)
{
    const QColor mosaic[4] = {QColor(0xE0, 0x4F, 0x3A), QColor(0xF2, 0xB1, 0x34), QColor(0x3A, 0x8F, 0xD0),
                              QColor(0x4C, 0xAF, 0x50)};
    const QColor pale[4] = {QColor(0xF0, 0xA0, 0x90), QColor(0xF8, 0xD8, 0x90), QColor(0x9C, 0xC8, 0xEC),
                            QColor(0xA8, 0xD8, 0xAA)};
    const QRectF full(3, 3, 26, 26);
    switch (glyph) {
    case CommandGlyph::NewProject:
        drawSheet(p, Qt::white);
        drawText(p, QRectF(7, 8, 19, 20), QStringLiteral("+"), QColor(0x2E, 0x7D, 0x32), 20);
        break;
    case CommandGlyph::OpenProject:
        p.setPen(QPen(QColor(0x8D, 0x6E, 0x18), 1.5));
        p.setBrush(QColor(0xF7, 0xCA, 0x4A));
        p.drawRect(QRectF(3, 9, 26, 19));
        p.drawRect(QRectF(3, 6, 10, 4));
        break;
    case CommandGlyph::SaveProject:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2F, 0x5D, 0x9B));
        p.drawRoundedRect(full, 3, 3);
        p.fillRect(QRectF(9, 5, 14, 9), Qt::white);
        p.fillRect(QRectF(8, 19, 16, 9), QColor(0xDD, 0xE6, 0xF2));
        break;
    case CommandGlyph::SavePicture:
        drawTiles(p, mosaic, QRectF(3, 3, 20, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2F, 0x5D, 0x9B));
        p.drawRoundedRect(QRectF(15, 15, 15, 15), 2, 2);
        p.fillRect(QRectF(18, 16, 9, 5), Qt::white);
        break;
    case CommandGlyph::Help:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1E, 0x88, 0xE5));
        p.drawEllipse(full);
        drawText(p, full, QStringLiteral("?"), Qt::white, 22);
        break;
    case CommandGlyph::TilePicture:
        drawTiles(p, mosaic, full);
        break;
    case CommandGlyph::TileColor:
        drawTiles(p, pale, full);
        break;
    case CommandGlyph::SourceColor: {
        QLinearGradient g(3, 3, 29, 29);
        g.setColorAt(0, QColor(0xE0, 0x4F, 0x3A));
        g.setColorAt(0.5, QColor(0xF2, 0xB1, 0x34));
        g.setColorAt(1, QColor(0x3A, 0x8F, 0xD0));
        p.fillRect(full, g);
        break;
    }
    case CommandGlyph::TileIdWithColor:
        drawTiles(p, pale, full);
        drawText(p, full, QStringLiteral("12"), Qt::black, 14);
        break;
    case CommandGlyph::TileIdWithoutColor:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 3.5, 25, 25));
        p.drawLine(QPointF(16, 3.5), QPointF(16, 28.5));
        p.drawLine(QPointF(3.5, 16), QPointF(28.5, 16));
        drawText(p, full, QStringLiteral("12"), Qt::black, 14);
        break;
    case CommandGlyph::Overview:
        drawTiles(p, mosaic, QRectF(3, 6, 26, 20));
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2, 5, 28, 22));
        break;
    case CommandGlyph::Select:
        drawTiles(p, pale, full);
        p.setPen(QPen(QColor(0xD3, 0x2F, 0x2F), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(17, 17, 11, 11));
        break;
    case CommandGlyph::Pen: {
        p.setPen(QPen(QColor(50, 50, 50), 1.5));
        p.setBrush(QColor(0xF2, 0xB1, 0x34));
        QPolygonF pen;
        pen << QPointF(22, 4) << QPointF(28, 10) << QPointF(11, 27) << QPointF(4, 28) << QPointF(5, 21);
        p.drawPolygon(pen);
        break;
    }
    case CommandGlyph::GroutColor:
        p.fillRect(full, QColor(90, 90, 90));
        drawTiles(p, mosaic, QRectF(5, 5, 22, 22));
        break;
    case CommandGlyph::Statistics:
        p.fillRect(QRectF(5, 18, 5, 10), QColor(0xE0, 0x4F, 0x3A));
        p.fillRect(QRectF(13, 8, 5, 20), QColor(0x3A, 0x8F, 0xD0));
        p.fillRect(QRectF(21, 13, 5, 15), QColor(0x4C, 0xAF, 0x50));
        p.fillRect(QRectF(3, 28, 26, 1.5), Qt::black);
        break;
    case CommandGlyph::WorkPlan:
        drawSheet(p, Qt::white);
        drawTiles(p, pale, QRectF(9, 11, 14, 14));
        break;
    case CommandGlyph::RobotCode:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x45, 0x5A, 0x64));
        p.drawRoundedRect(full, 4, 4);
        drawText(p, full, QStringLiteral("G1"), QColor(0x80, 0xFF, 0x80), 13);
        break;
    case CommandGlyph::PosCard:
        drawSheet(p, QColor(0xFF, 0xF8, 0xE1));
        p.setPen(QPen(QColor(0xD3, 0x2F, 0x2F), 2));
        p.drawLine(QPointF(16.5, 10), QPointF(16.5, 24));
        p.drawLine(QPointF(9.5, 17), QPointF(23.5, 17));
        break;
    case CommandGlyph::ProjectInfo:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x00, 0x89, 0x7B));
        p.drawEllipse(full);
        drawText(p, full, QStringLiteral("i"), Qt::white, 22);
        break;
    case CommandGlyph::ProjectFolder:
        p.setPen(QPen(QColor(0x8D, 0x6E, 0x18), 1.5));
        p.setBrush(QColor(0xF7, 0xCA, 0x4A));
        p.drawRect(QRectF(3, 9, 26, 19));
        p.drawRect(QRectF(3, 6, 10, 4));
        drawTiles(p, mosaic, QRectF(10, 13, 12, 12));
        break;
    case CommandGlyph::Library:
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRectF(4 + i * 3, 4 + i * 3, 18, 18).adjusted(0, 0, 0, 0), mosaic[i]);
        break;
    case CommandGlyph::Website:
        p.setPen(QPen(QColor(0x1E, 0x88, 0xE5), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(4, 4, 24, 24));
        p.drawEllipse(QRectF(11, 4, 10, 24));
        p.drawLine(QPointF(4, 16), QPointF(28, 16));
        break;
    case CommandGlyph::About:
        drawTiles(p, mosaic, full);
        drawText(p, full, QStringLiteral("Q"), Qt::white, 20);
        break;
    case CommandGlyph::Exit:
        p.setPen(QPen(QColor(0xD3, 0x2F, 0x2F), 3));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    }
}

QPixmap glyphPixmap(CommandGlyph glyph, qreal dpr)
{
    QPixmap pm(QSize(kSide, kSide) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paintGlyph(p, glyph);
    return pm;
}

} // namespace

QIcon CommandIcon(CommandGlyph glyph)
{
    QIcon icon;
    icon.addPixmap(glyphPixmap(glyph, 1));
    icon.addPixmap(glyphPixmap(glyph, 2));
    return icon;
}

QIcon ApplicationIcon()
{
    return CommandIcon(CommandGlyph::About);
}
