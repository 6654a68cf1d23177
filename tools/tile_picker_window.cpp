#include "tools/tile_picker_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "engine/workspace.h"
#include "output/cell_edit.h"
#include "output/cell_texts.h"

#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <functional>
#include <utility>

namespace {

constexpr int kVisibleStripWidth = kPickerVisibleCards * kPickerCardWidth;
constexpr TAlphaColor kCandidateBackground = 0xF0F0F0F0;

// The candidate image: its bitmap at its own logical size from the top-left corner,
// presses on the bitmap reported in its logical units.
class CandidateImage final : public QWidget {
public:
    CandidateImage(const QImage& bitmap, std::function<void(double)> pressed, QWidget* parent)
        : QWidget(parent), m_bitmap(bitmap), m_pressed(std::move(pressed))
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_bitmap.isNull()) return;
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), m_bitmap);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        // The control is wider than its picture; a press beside the picture would name a
        // card that is not on show, so only presses on the picture count.
        const QPointF p = event->position();
        const QSizeF shown = m_bitmap.deviceIndependentSize();
        if (p.x() >= 0 && p.x() < shown.width() && p.y() >= 0 && p.y() < shown.height()) m_pressed(p.x());
    }

private:
    const QImage& m_bitmap;
    std::function<void(double)> m_pressed;
};

QLabel* InfoLabel(const char* name, QWidget* parent, int y)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(8, y, 132, 18);
    return label;
}

} // namespace

TfCellEditor::TfCellEditor(AppContext& app)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_app(app)
{
    setObjectName(QStringLiteral("fCellEditor"));
    setWindowTitle(QStringLiteral("Tile Picker"));
    setFixedSize(723, 281);

    auto* info = new QGroupBox(QStringLiteral("Cell Info"), this);
    info->setObjectName(QStringLiteral("GroupBox1"));
    info->setGeometry(8, 12, 145, 257);
    m_cellCard = new PictureView(info);
    m_cellCard->setObjectName(QStringLiteral("Img_cellinfo"));
    m_cellCard->setGeometry(8, 20, 128, 153);
    m_position = InfoLabel("lb_cellpos", info, 178);
    m_color = InfoLabel("lb_cellcolor", info, 198);
    m_tileId = InfoLabel("lb_tileid", info, 218);

    m_matchGroup = new QGroupBox(QStringLiteral("Images Match the Cell"), this);
    m_matchGroup->setObjectName(QStringLiteral("GroupBox2"));
    m_matchGroup->setGeometry(162, 12, 553, 257);

    // Sized from the window's own display scale, as the main image's bitmap is; straight
    // alpha keeps the translucent clearing colour exact.
    const qreal scale = devicePixelRatioF();
    m_candidates = QImage(static_cast<int>(kVisibleStripWidth * scale), static_cast<int>(kPickerCardHeight * scale),
                          QImage::Format_ARGB32);
    m_candidates.fill(QColor::fromRgba(kCandidateBackground));
    m_candidates.setDevicePixelRatio(scale);
    m_candidateImage = new CandidateImage(
        m_candidates, [this](double x) { CandidateClick(x); }, m_matchGroup);
    m_candidateImage->setObjectName(QStringLiteral("Img_candidates"));
    m_candidateImage->setGeometry(8, 20, 537, 192);

    m_scrollBar = new QScrollBar(Qt::Horizontal, m_matchGroup);
    m_scrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    m_scrollBar->setGeometry(8, 232, 537, 17);
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setSingleStep(kPickerCardWidth / 4);
    m_scrollBar->setPageStep(kVisibleStripWidth);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { ShowStrip(); });
}

TfCellEditor::~TfCellEditor() = default;

Workspace& TfCellEditor::ws()
{
    return m_app.ws();
}

void TfCellEditor::SelectCell(int x, int y)
{
    if (!m_ready) return;
    // Reading the cells while a search or a redraw is changing them would show a
    // mosaic that is not there.
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    if (!EditedCell(ws().mproject, x, y)) return;
    m_ready = false;
    struct Rearm {
        bool& ready;
        ~Rearm() { ready = true; }
    } rearm{m_ready};

    m_selected = TPoint{x, y};
    ShowCellDetails(x, y);
    FillPickerCandidates(ws(), x, y);
    const TGoodTileList& list = ws().pickerList;
    {
        const QSignalBlocker quiet(m_scrollBar);
        m_scrollBar->setRange(0, CandidateScrollMaximum(list));
        m_scrollBar->setValue(0);
    }
    m_matchGroup->setTitle(CandidateCaption(list));
    const Status built = BuildCandidateStrip(ws(), list, m_strip);
    ShowStrip();
    if (!built) m_app.message(MessageKind::Error, built.error(), MessageButtons::OK);
}

void TfCellEditor::ShowCellDetails(int x, int y)
{
    const TCell* cell = EditedCell(ws().mproject, x, y);
    if (!cell) return;
    Result<QImage> card = CellInfoCard(ws(), x, y);
    m_cellCard->setPicture(card ? *card : QImage());
    m_position->setText(CellPositionText(*cell));
    m_color->setText(ColorComponentsText(cell->ICinfo.ci1.rgb));
    m_tileId->setText(TileIdText(cell->TileID));
    const std::optional<QString> diff = CurrentDiffText(*cell, ws().mtilelib);
    setWindowTitle(diff ? *diff : QStringLiteral("Tile Picker"));
    if (!card) m_app.message(MessageKind::Error, card.error(), MessageButtons::OK);
}

void TfCellEditor::CandidateClick(double x)
{
    const int a = CandidateIndexAt(ws().pickerList, m_scrollBar->value(), x);
    if (a < 0) return;
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    TForm1* form = m_app.Form1;
    const Status st =
        PickCandidate(ws(), m_selected.X, m_selected.Y, ws().pickerList.Tiles[a], form ? &form->Image1() : nullptr);
    if (form) form->ShowMosaicImage();
    if (!st) {
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return;
    }
    ShowCellDetails(m_selected.X, m_selected.Y);
}

void TfCellEditor::ShowStrip()
{
    if (m_strip.isNull()) return;
    ShowCandidateStrip(m_candidates, m_strip, m_scrollBar->value());
    m_candidateImage->update();
}

void TfCellEditor::hideEvent(QHideEvent* event)
{
    // A window manager hiding the picker with its minimised main window is no closing.
    if (!event->spontaneous() && m_app.Form1) m_app.Form1->SelectMode = false;
    QWidget::hideEvent(event);
}
