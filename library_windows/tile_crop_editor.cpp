#include "library_windows/tile_crop_editor.h"

#include "app/app_context.h"
#include "app/picture_view.h"
#include "imaging/picture_io.h"
#include "newproject/window_controls.h"
#include "tilelib/tilelib.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <cmath>

namespace {

constexpr QColor kHandleColor = QColor(0x66, 0xCC, 0xFF);
constexpr int kHandleSide = 25;
constexpr int kHandleOffset = 13;
const QPoint kCropViewPos(8, 57);

// Rect_MIcrop: the crop rectangle's outline, thickness 2, no fill.
class CropOutline : public QWidget {
public:
    explicit CropOutline(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

// Circle0..3: the corner handles.
class CropHandle : public QWidget {
public:
    explicit CropHandle(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(kHandleSide, kHandleSide);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kHandleColor);
        p.drawEllipse(QRectF(rect()));
    }
};

} // namespace

TfCellImageEdit::TfCellImageEdit(AppContext& app) : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("fCellImageEdit"));
    setWindowTitle(QStringLiteral("Image Editor"));
    setFixedSize(605, 480);
    m_scale = static_cast<float>(devicePixelRatioF());

    auto button = [this](const char* name, const QString& text, int x) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 12, 90, 32);
        return b;
    };
    QPushButton* reload = button("bt_reload", QStringLiteral("Reload"), 8);
    QPushButton* crop = button("bt_crop", QStringLiteral("Crop"), 106);
    QPushButton* close = button("bt_close", QStringLiteral("Close"), 507);

    m_cropView = new ImageControl(this);
    m_cropView->setObjectName(QStringLiteral("Img_tilecrop"));
    m_cropView->setGeometry(QRect(kCropViewPos, QSize(kCropViewSize, kCropViewSize)));
    m_rect = new CropOutline(this);
    m_rect->setObjectName(QStringLiteral("Rect_MIcrop"));
    m_rect->hide();
    for (int k = 0; k < 4; ++k) {
        m_circles[k] = new CropHandle(this);
        m_circles[k]->setObjectName(QStringLiteral("Circle%1").arg(k));
        m_circles[k]->hide();
    }
    m_image1 = new PictureView(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(416, 57, 180, 180);
    m_image2 = new PictureView(this);
    m_image2->setObjectName(QStringLiteral("Image2"));
    m_image2->setGeometry(416, 277, 180, 180);

    connect(reload, &QPushButton::clicked, this, &TfCellImageEdit::LoadTile);
    connect(crop, &QPushButton::clicked, this, &TfCellImageEdit::Crop);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cropView, &ImageControl::pressed, this, &TfCellImageEdit::onPressed);
    connect(m_cropView, &ImageControl::moved, this, &TfCellImageEdit::onMoved);
    connect(m_cropView, &ImageControl::released, this, &TfCellImageEdit::onReleased);
    connect(m_cropView, &ImageControl::left, this, &TfCellImageEdit::onLeft);
}

void TfCellImageEdit::OpenTile(int index)
{
    const TTilelib& lib = m_app.ws().mbrowselib;
    if (index < 0 || index >= lib.Count || !QFileInfo::exists(lib.GetsourceName(index))) return;
    m_tileIndex = index;
    LoadTile();
    show();
    raise();
    activateWindow();
}

void TfCellImageEdit::LoadTile()
{
    const TTilelib& lib = m_app.ws().mbrowselib;
    const int i = m_tileIndex;
    if (i < 0 || i >= lib.Count || !QFileInfo::exists(lib.GetsourceName(i))) return;
    Result<QImage> photo = LoadPicture(lib.GetsourceName(i));
    if (!photo) {
        m_app.message(MessageKind::Error, photo.error(), MessageButtons::OK);
        return;
    }
    m_photo = std::move(*photo);
    QImage ready;
    if (QFileInfo::exists(lib.GetFullName(i))) {
        if (Result<QImage> r = LoadPicture(lib.GetFullName(i))) ready = std::move(*r);
    }
    m_image1->setPicture(ready.isNull() ? m_photo : ready);

    m_display = CropDisplayPicture(m_photo, m_scale);
    m_cropView->setPicture(m_display);
    const QSizeF d = m_display.isNull() ? QSizeF() : m_display.deviceIndependentSize();
    m_crop = InitialTileCrop(static_cast<float>(d.width()), static_cast<float>(d.height()), lib.cfg.widthPx,
                             lib.cfg.heightPx);
    RedrawOverlay();
    ComputeResult();
    m_image2->setPicture(m_result);
}

void TfCellImageEdit::Crop()
{
    ComputeResult();
    m_image1->setPicture(m_result);
    m_image2->setPicture(m_result);
}

void TfCellImageEdit::ComputeResult()
{
    if (m_photo.isNull()) return;
    const TTilelib& lib = m_app.ws().mbrowselib;
    m_result = CropResult(m_photo, m_display, m_crop.rect, lib.cfg.widthPx, lib.cfg.heightPx);
}

void TfCellImageEdit::RedrawOverlay()
{
    const QPointF origin = m_cropView->pos();
    const TRectF& r = m_crop.rect;
    m_rect->setGeometry(QRectF(origin + QPointF(r.Left, r.Top), QSizeF(r.Width(), r.Height())).toRect());
    m_rect->show();
    m_rect->raise();
    for (int k = 0; k < 4; ++k) {
        const TPointF c = m_crop.corners[k];
        m_circles[k]->move((origin + QPointF(c.X - kHandleOffset, c.Y - kHandleOffset)).toPoint());
        m_circles[k]->show();
        m_circles[k]->raise();
    }
}

void TfCellImageEdit::onPressed(QPointF p)
{
    CropMouseDown(m_crop, static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void TfCellImageEdit::onMoved(QPointF p)
{
    CropMouseMove(m_crop, static_cast<float>(p.x()), static_cast<float>(p.y()));
    RedrawOverlay();
}

void TfCellImageEdit::onReleased(QPointF)
{
    CropMouseUp(m_crop);
    ComputeResult();
    m_image2->setPicture(m_result);
}

void TfCellImageEdit::onLeft()
{
    CropMouseUp(m_crop);
}
