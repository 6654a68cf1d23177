#include "tools/tile_pen_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "engine/workspace.h"
#include "imaging/color_cards.h"
#include "imaging/picture_io.h"
#include "output/cell_edit.h"
#include "render/cell_text.h"
#include "tools/tile_thumbnails.h"

#include <QHideEvent>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

Tftilepen::Tftilepen(AppContext& app)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_app(app)
{
    setObjectName(QStringLiteral("ftilepen"));
    setWindowTitle(QStringLiteral("Tile Pen"));
    setFixedSize(242, 482);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lv_pentiles"));
    m_list->setGeometry(8, 8, 225, 393);
    m_list->setIconSize(QSize(kToolThumbnailSide, kToolThumbnailSide));
    m_list->setUniformItemSizes(true);

    m_preview = new PictureView(this);
    m_preview->setObjectName(QStringLiteral("Img_penpreview"));
    m_preview->setGeometry(8, 409, 65, 65);

    auto* close = new QPushButton(QStringLiteral("CLOSE"), this);
    close->setObjectName(QStringLiteral("bt_close"));
    close->setGeometry(144, 428, 89, 28);

    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { PenItemClick(m_list->row(item)); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

Tftilepen::~Tftilepen() = default;

Workspace& Tftilepen::ws()
{
    return m_app.ws();
}

void Tftilepen::FillPenList()
{
    const TTilelib& lib = ws().mtilelib;
    m_list->clear();
    const qreal ratio = devicePixelRatioF();
    const int count = std::clamp(lib.Count, 0, kTileCountMax);
    for (int i = 0; i < count; ++i) {
        const Result<QImage> thumb = TileThumbnail(lib, i, ratio);
        if (!thumb) {
            m_app.message(MessageKind::Error, thumb.error(), MessageButtons::OK);
            break;
        }
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(*thumb)), QString::number(i));
        m_list->addItem(item);
    }
    if (m_list->count() > 0) m_list->setCurrentRow(0);
}

void Tftilepen::PenItemClick(int index)
{
    if (!m_app.Form1) return;
    m_app.Form1->PenTile = index;
    const TTileItem* tile = WorkingTile(ws().mtilelib, index);
    if (!tile) return;
    const Result<QImage> picture = LoadPicture(ws().mtilelib.GetFullName(index));
    if (!picture) {
        m_app.message(MessageKind::Error, picture.error(), MessageButtons::OK);
        return;
    }
    m_preview->setPicture(MakeColorInfoCard(tile->ColorInfo, *picture));
}

void Tftilepen::PaintCell(int x, int y, int tile)
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    TForm1* form = m_app.Form1;
    const Status st = ::PaintCell(ws(), x, y, tile, form ? &form->Image1() : nullptr);
    if (form) form->ShowMosaicImage();
    if (!st) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}

void Tftilepen::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous() && m_app.Form1) m_app.Form1->PenMode = false;
    QWidget::hideEvent(event);
}
