#include "tools/tile_statistics_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/window_support.h"
#include "engine/workspace.h"
#include "tools/tile_thumbnails.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kNoRenderer = "Create a mosaic in the new-project window first.";

} // namespace

Tftilecount::Tftilecount(AppContext& app)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_app(app)
{
    setObjectName(QStringLiteral("ftilecount"));
    setWindowTitle(QStringLiteral("Tile count"));
    setFixedSize(368, 522);

    auto* top = new QWidget;
    top->setObjectName(QStringLiteral("Panel1"));
    m_byId = new QRadioButton(QStringLiteral("Order By Tile ID"));
    m_byId->setObjectName(QStringLiteral("rb_orderbyid"));
    m_byId->setChecked(true);
    m_byCount = new QRadioButton(QStringLiteral("Order By Tile Count"));
    m_byCount->setObjectName(QStringLiteral("rb_orderbycount"));
    auto* radios = new QHBoxLayout(top);
    radios->setContentsMargins(8, 4, 8, 4);
    radios->addWidget(m_byId);
    radios->addWidget(m_byCount);
    radios->addStretch();

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("lv_tilecount"));
    m_list->setIconSize(QSize(kToolThumbnailSide, kToolThumbnailSide));
    m_list->setUniformItemSizes(true);

    auto* bottom = new QWidget;
    bottom->setObjectName(QStringLiteral("Panel2"));
    auto* render = new QPushButton(QStringLiteral("Render Mosaic"));
    render->setObjectName(QStringLiteral("bt_rendermosaic"));
    auto* save = new QPushButton(QStringLiteral("Save "));
    save->setObjectName(QStringLiteral("bt_save"));
    auto* excel = new QPushButton(QStringLiteral("Export Excel (Win Version)"));
    excel->setObjectName(QStringLiteral("bt_excel"));
    auto* buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(8, 4, 8, 4);
    buttons->addWidget(render);
    buttons->addWidget(save);
    buttons->addWidget(excel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(bottom);

    // Each radio button refills on becoming checked, so a change refills once.
    connect(m_byId, &QRadioButton::toggled, this, [this](bool on) {
        if (on) FillList();
    });
    connect(m_byCount, &QRadioButton::toggled, this, [this](bool on) {
        if (on) FillList();
    });
    connect(render, &QPushButton::clicked, this, &Tftilecount::RenderMosaicClick);
    connect(save, &QPushButton::clicked, this, &Tftilecount::SaveClick);
    connect(excel, &QPushButton::clicked, this, &Tftilecount::ExportClick);
}

Tftilecount::~Tftilecount() = default;

Workspace& Tftilecount::ws()
{
    return m_app.ws();
}

void Tftilecount::FillList()
{
    const TTilelib& lib = ws().mtilelib;
    m_list->clear();
    m_stats = CountTileUse(ws().mproject, lib, /*includeAddon=*/true);
    if (m_byCount->isChecked()) OrderByCount(m_stats);
    const qreal ratio = devicePixelRatioF();
    for (const TileUse& use : m_stats) {
        const Result<QImage> thumb = TileThumbnail(lib, use.tile, ratio);
        if (!thumb) {
            m_app.message(MessageKind::Error, thumb.error(), MessageButtons::OK);
            break;
        }
        auto* item =
            new QListWidgetItem(QIcon(QPixmap::fromImage(*thumb)), TileListRow(use, TilePictureName(lib, use.tile)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(lib.ItemEnable[use.tile] ? Qt::Checked : Qt::Unchecked);
        m_list->addItem(item);
    }
}

void Tftilecount::RenderMosaicClick()
{
    if (!m_app.commands.renderMosaic) {
        m_app.message(MessageKind::Information, QString::fromLatin1(kNoRenderer), MessageButtons::OK);
        return;
    }
    // The render takes the long-command guard itself; it is only checked here so that
    // the check boxes are not applied under a command that is still running.
    if (m_app.busy()) {
        Beep(m_app.platform());
        return;
    }
    TTilelib& lib = ws().mtilelib;
    const int count = std::clamp(lib.Count, 0, kTileCountMax);
    const int rows = std::min(m_list->count(), static_cast<int>(m_stats.size()));
    for (int r = 0; r < rows; ++r) {
        const int tile = m_stats[static_cast<std::size_t>(r)].tile;
        // A library loaded since the filling may be smaller.
        if (tile >= 0 && tile < count) lib.ItemEnable[tile] = m_list->item(r)->checkState() == Qt::Checked ? 1 : 0;
    }
    TForm1* form = m_app.Form1;
    const Status st = m_app.commands.renderMosaic(form ? form->mainProgress() : nullptr);
    if (form) form->ShowMosaicImage();
    if (!st && !st.error().isEmpty()) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
    FillList();
}

void Tftilecount::SaveClick()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const QString file =
        m_app.dialogs().getSaveFileName(this, QStringLiteral("Save Tile Count List"), QStringLiteral("TileCountList"),
                                        ToQtFilter(QStringLiteral("*.jpg|*.jpg")), QStringLiteral("jpg"));
    if (file.isEmpty()) return;
    const QFileInfo chosen(file);
    TForm1* form = m_app.Form1;
    const Result<QStringList> written = SaveTileCountPages(ws(), chosen.absolutePath(), chosen.fileName(),
                                                           form ? form->mainProgress() : nullptr, m_app.platform());
    if (!written) m_app.message(MessageKind::Error, written.error(), MessageButtons::OK);
}

void Tftilecount::ExportClick()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const Workspace& w = ws();
    const QString root = w.mproject.cfg.RootPath.get();
    const QString folder = !root.isEmpty() && QFileInfo(root).isDir() ? root : w.folders.projectsFolder;
    const QString file = m_app.dialogs().getSaveFileName(
        this, QStringLiteral("Export Excel"), QDir(folder).filePath(QStringLiteral("TileStatistics.xlsx")),
        QStringLiteral("Excel workbook (*.xlsx)"), QStringLiteral("xlsx"));
    if (file.isEmpty()) return;
    if (Status st = WriteTileStatisticsXlsx(file, w.mproject, w.mtilelib); !st) {
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return;
    }
    if (m_app.message(MessageKind::Confirmation, QStringLiteral("Open the workbook now?"), MessageButtons::YesNo) ==
        MessageAnswer::Yes)
        m_app.shellOpen(file);
}

void Tftilecount::showWithoutRefill()
{
    ShowWithParent(this, m_app.Form1);
}
