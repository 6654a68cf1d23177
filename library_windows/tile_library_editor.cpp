#include "library_windows/tile_library_editor.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/qt_platform.h"
#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"
#include "library_windows/tile_crop_editor.h"
#include "platform/number_format.h"
#include "render/color_charts.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kThumbnail = 32;
constexpr TAlphaColor kOpaqueWhite = 0xFFFFFFFF;

} // namespace

QString TileRowText(int index, const QString& fileName)
{
    return FormatInt(index + 1, 3) + QStringLiteral(":    ") + fileName;
}

Tftilelibeditor::Tftilelibeditor(AppContext& app) : QWidget(nullptr, Qt::Window), m_app(app)
{
    setObjectName(QStringLiteral("ftilelibeditor"));
    setWindowTitle(QStringLiteral("Edit Image Library"));

    auto button = [](const char* name, const QString& text) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton* add = button("bt_addphotos", QStringLiteral("Add Photos"));
    QPushButton* save = button("bt_savechanges", QStringLiteral("Save Changes"));
    QPushButton* discard = button("bt_discardchanges", QStringLiteral("Discard Changes"));
    QPushButton* range = button("bt_colorrange", QStringLiteral("Show Color Range"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(save);
    buttons->addWidget(discard);
    buttons->addStretch();
    buttons->addWidget(range);

    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("lv_tiles"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Tile"), QStringLiteral("Picture")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setIconSize(QSize(kThumbnail, kThumbnail));
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    m_chart = new PictureView;
    m_chart->setObjectName(QStringLiteral("img_colorrange"));
    m_chart->setFixedSize(540, 180);
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("pb_progress"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_chart, 0, Qt::AlignHCenter);
    layout->addWidget(m_progressBar);
    resize(640, 640);

    m_progress = std::make_unique<ProgressBarProgress>(m_progressBar);
    connect(add, &QPushButton::clicked, this, &Tftilelibeditor::AddPhotos);
    connect(save, &QPushButton::clicked, this, &Tftilelibeditor::SaveChanges);
    connect(discard, &QPushButton::clicked, this, &Tftilelibeditor::DiscardChanges);
    connect(range, &QPushButton::clicked, this, &Tftilelibeditor::ShowColorRange);
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { OpenTile(m_list->indexOfTopLevelItem(item)); });
}

Tftilelibeditor::~Tftilelibeditor() = default;

void Tftilelibeditor::FillTileList()
{
    const TTilelib& lib = m_app.ws().mbrowselib;
    const qreal dpr = devicePixelRatioF();
    const int side = static_cast<int>(kThumbnail * dpr);
    PictureLoadOptions small;
    small.minSize = QSize(side, side);
    m_list->clear();
    const int count = std::clamp(lib.Count, 0, kTileCountMax);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString path = lib.GetFullName(i);
        const Result<QImage> picture = LoadPicture(path, small);
        // A ready picture that is missing or unreadable shows as a blank thumbnail; the
        // row is still there to be clicked.
        QImage thumb = FitBitmapPadded(picture ? *picture : QImage(), side, side, kOpaqueWhite);
        thumb.setDevicePixelRatio(dpr);
        auto* row = new QTreeWidgetItem({TileRowText(i, lib.items[i].FileName.get()), path});
        row->setIcon(0, QIcon(QPixmap::fromImage(thumb)));
        row->setToolTip(0, path);
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
}

void Tftilelibeditor::AddPhotos()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const QStringList files =
        m_app.dialogs().getOpenFileNames(this, QStringLiteral("Add Photos"), QString(), QString());
    if (!files.isEmpty()) {
        AddPhotosOptions options;
        options.skipExisting = true;
        const AddPhotosReport report =
            ::AddPhotos(m_app.ws().mbrowselib, files, options, m_progress.get(), m_app.platform());
        if (!report.failed.isEmpty()) {
            QStringList lines;
            for (const AddPhotoFailure& f : report.failed)
                lines << (f.message.contains(f.path) ? f.message : f.path + QStringLiteral(": ") + f.message);
            m_app.message(MessageKind::Error,
                          QStringLiteral("These photos could not be added:\n") + lines.join(QLatin1Char('\n')),
                          MessageButtons::OK);
        }
    }
    FillTileList();
    m_progressBar->setValue(0);
}

void Tftilelibeditor::SaveChanges()
{
    const TTilelib& lib = m_app.ws().mbrowselib;
    Status st = lib.SaveTilelib();
    if (st) st = lib.BuildPreview();
    if (!st) {
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return;
    }
    hide();
}

void Tftilelibeditor::DiscardChanges()
{
    hide();
}

void Tftilelibeditor::ShowColorRange()
{
    TColorHistogram hist;
    TileLibColorHistogram(hist, m_app.ws(), kChartSourceBrowse);
    QImage chart;
    DrawColorWheel(chart, hist, kChartThreeWheels);
    m_chart->setPicture(chart);
}

void Tftilelibeditor::OpenTile(int index)
{
    const TTilelib& lib = m_app.ws().mbrowselib;
    if (index < 0 || index >= lib.Count) return;
    m_selectedTile = index;
    if (!QFileInfo::exists(lib.GetsourceName(index))) return;
    if (TfCellImageEdit* editor = m_app.fCellImageEdit) editor->OpenTile(index);
}
