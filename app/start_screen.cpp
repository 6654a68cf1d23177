#include "app/start_screen.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/window_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The landscape the tiles are coloured from, u and v in 0..1 across and down.
QColor dusk(double u, double v)
{
    const double horizon = 0.62;
    QColor c = v < horizon ? mix(QColor(28, 40, 110), QColor(250, 150, 70), std::pow(v / horizon, 1.6))
                           : mix(QColor(60, 50, 90), QColor(20, 24, 40), (v - horizon) / (1 - horizon));
    const double sun = std::hypot((u - 0.68) * 1.33, v - 0.50);
    if (sun < 0.11)
        c = mix(QColor(255, 236, 140), QColor(255, 190, 80), sun / 0.11);
    else if (sun < 0.2 && v < horizon)
        c = mix(c, QColor(255, 210, 120), (0.2 - sun) / 0.09 * 0.6);
    const double ridge = 0.58 + 0.06 * std::sin(u * 7.0 + 1.3) + 0.03 * std::sin(u * 19.0);
    if (v > ridge) c = mix(QColor(70, 48, 96), QColor(40, 30, 64), (v - ridge) * 4);
    const double hill = 0.78 + 0.05 * std::sin(u * 4.0 + 0.4) + 0.02 * std::sin(u * 13.0 + 2.0);
    if (v > hill) c = mix(QColor(34, 70, 60), QColor(14, 34, 30), (v - hill) * 4);
    return c;
}

// A fixed, small variation per tile, so the picture reads as many photos.
double jitter(int x, int y)
{
    std::uint32_t h = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h % 1000) / 1000.0 - 0.5;
}

} // namespace

QImage StartScreenIllustration(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(36, 32, 40));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const int pitch = 22, side = 19;
    const int cols = width / pitch + 1, rows = height / pitch + 1;
    const int ox = (width - (cols - 1) * pitch - side) / 2, oy = (height - (rows - 1) * pitch - side) / 2;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const double u = (ox + x * pitch + side / 2.0) / width, v = (oy + y * pitch + side / 2.0) / height;
            QColor c = dusk(u, v);
            const double j = jitter(x, y);
            c = c.lighter(100 + int(j * 24));
            p.setBrush(c);
            p.drawRoundedRect(QRectF(ox + x * pitch, oy + y * pitch, side, side), 3, 3);
            // A highlight on each tile, as on a glazed tile.
            p.setBrush(QColor(255, 255, 255, 28));
            p.drawRoundedRect(QRectF(ox + x * pitch + 2, oy + y * pitch + 2, side - 8, side / 3.0), 2, 2);
        }
    return img;
}

Tfstartscreen::Tfstartscreen(AppContext& app) : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("fstartscreen"));
    setWindowTitle(QStringLiteral("Quillary"));
    setFixedSize(886, 505);

    auto* picture = new PictureView(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(8, 8, 649, 489);
    picture->setPicture(StartScreenIllustration(649, 489));

    auto* group = new QGroupBox(QStringLiteral("Version Info"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(665, 8, 213, 489);
    auto label = [group](const char* name, const QString& text, int y, int h) {
        auto* l = new QLabel(text, group);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(12, y, 189, h);
        return l;
    };
    QLabel* product = label("lb_product", QStringLiteral("Quillary"), 32, 40);
    QFont f = product->font();
    f.setPointSize(20);
    product->setFont(f);
    label("lb_version", QStringLiteral("19.61 "), 80, 20);
    label("lb_date", QStringLiteral("FEB 2020 "), 102, 20);
    label("lb_tagline", QStringLiteral("Mosaic Design Toolkit."), 124, 20);

    auto button = [group](const char* name, const QString& text, int y) {
        auto* b = new QPushButton(text, group);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(12, y, 189, 36);
        return b;
    };
    QPushButton* website = button("bt_website", QStringLiteral("Visit Website"), 340);
    QPushButton* forum = button("bt_forum", QStringLiteral("Support Forum"), 384);
    QPushButton* make = button("bt_makemosaic", QStringLiteral("Make Mosaic"), 436);
    make->setDefault(true);
    connect(website, &QPushButton::clicked, this, [this] { m_app.shellOpen(TForm1::HomePage()); });
    connect(forum, &QPushButton::clicked, this,
            [this] { m_app.shellOpen(QStringLiteral("https://quillary.invalid/forum")); });
    connect(make, &QPushButton::clicked, this, &QWidget::close);
}

void Tfstartscreen::showOver(QWidget* over)
{
    CentreWindow(this, over);
    show();
    raise();
}
