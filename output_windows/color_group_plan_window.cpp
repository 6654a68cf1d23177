#include "output_windows/color_group_plan_window.h"

#include "app/app_context.h"
#include "app/mosaic_image_view.h"
#include "app/window_support.h"
#include "output_windows/named_controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using named_controls::label;
using named_controls::spinBox;
using named_controls::button;

} // namespace

Tfworkplan::Tfworkplan(AppContext& app) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("fworkplan"));
    setWindowTitle(QStringLiteral("Mosaic Workplan Generator"));

    auto* info = new QGroupBox(QStringLiteral("Mosaic Info"));
    info->setObjectName(QStringLiteral("gb_mosaicinfo"));
    m_horizontalCount = label("lb_hcount", QStringLiteral("Horizontal Tile Count :"));
    m_verticalCount = label("lb_vcount", QStringLiteral("Vertical Tile Count :"));
    m_mosaicSize = label("lb_mosaicsize", QStringLiteral("Mosaic size:"));
    m_mosaicSize->setWordWrap(true);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(m_horizontalCount);
    infoLayout->addWidget(m_verticalCount);
    infoLayout->addWidget(m_mosaicSize);

    m_cellsH = spinBox("sb_hcount", 1, 100, 24);
    m_cellsV = spinBox("sb_vcount", 1, 100, 24);
    m_pageCount = label("lb_pagecount", QStringLiteral("Total Page Count"));
    auto* cells = new QGridLayout;
    cells->addWidget(label("lb_hcountcaption", QStringLiteral("Horz Tile Count per page")), 0, 0);
    cells->addWidget(m_cellsH, 0, 1);
    cells->addWidget(label("lb_vcountcaption", QStringLiteral("Vert Tile Count per page")), 1, 0);
    cells->addWidget(m_cellsV, 1, 1);
    cells->addWidget(m_pageCount, 2, 0, 1, 2);

    const named_controls::PageSizeChoice pageSizes = named_controls::pageSizeChoice(this);
    QGroupBox* sizes = pageSizes.box;
    m_size1000 = pageSizes.size1000;
    m_size2000 = pageSizes.size2000;
    m_size4000 = pageSizes.size4000;

    m_groupSize = spinBox("sb_groupsize", 1, 100, 10);
    m_fill = new QCheckBox(QStringLiteral("Fill cell with tile Color "));
    m_fill->setObjectName(QStringLiteral("cb_fillcolor"));
    m_fill->setChecked(true);
    m_textSize = spinBox("sb_textsize", 1, 100, 18);
    m_pageX = spinBox("sb_pagex", 0, 100, 0);
    m_pageY = spinBox("sb_pagey", 0, 100, 0);
    auto* guide = new QGridLayout;
    guide->addWidget(label("lb_groupsize", QStringLiteral("Color Count division")), 0, 0);
    guide->addWidget(m_groupSize, 0, 1);
    guide->addWidget(m_fill, 1, 0, 1, 2);
    guide->addWidget(label("lb_textsize", QStringLiteral("TileID Text Size")), 2, 0);
    guide->addWidget(m_textSize, 2, 1);
    guide->addWidget(label("lb_pagex", QStringLiteral("PageID X")), 3, 0);
    guide->addWidget(m_pageX, 3, 1);
    guide->addWidget(label("lb_pagey", QStringLiteral("PageID Y")), 4, 0);
    guide->addWidget(m_pageY, 4, 1);

    auto* preview = button("bt_preview", QStringLiteral("Preview"));
    auto* outputAll = button("bt_outputall", QStringLiteral("Output all"));
    auto* tileCounter = button("bt_tilecounter", QStringLiteral("Tile Counter"));
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("pb_progress"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);

    auto* side = new QWidget;
    side->setObjectName(QStringLiteral("pn_settings"));
    side->setFixedWidth(270);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(6, 6, 6, 6);
    sideLayout->addWidget(info);
    sideLayout->addLayout(cells);
    sideLayout->addWidget(sizes);
    sideLayout->addLayout(guide);
    sideLayout->addWidget(preview);
    sideLayout->addWidget(outputAll);
    sideLayout->addWidget(tileCounter);
    sideLayout->addWidget(m_progressBar);
    sideLayout->addStretch();

    m_picture = new MosaicImageView(m_page);
    m_picture->setObjectName(QStringLiteral("img_page"));
    m_scrollBox = new QScrollArea;
    m_scrollBox->setObjectName(QStringLiteral("sb_page"));
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scrollBox->setWidget(m_picture);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(side);
    layout->addWidget(m_scrollBox, 1);
    setFixedSize(892, 613);

    m_progress = std::make_unique<ProgressBarProgress>(m_progressBar);
    connect(m_cellsH, &QSpinBox::valueChanged, this, &Tfworkplan::RefreshLabels);
    connect(m_cellsV, &QSpinBox::valueChanged, this, &Tfworkplan::RefreshLabels);
    connect(preview, &QPushButton::clicked, this, &Tfworkplan::Preview);
    connect(outputAll, &QPushButton::clicked, this, &Tfworkplan::OutputAll);
    connect(tileCounter, &QPushButton::clicked, this, &Tfworkplan::TileCounter);
}

Tfworkplan::~Tfworkplan() = default;

WorkplanGroupSettings Tfworkplan::settings() const
{
    WorkplanGroupSettings s;
    s.cellsH = m_cellsH->value();
    s.cellsV = m_cellsV->value();
    s.groupSize = m_groupSize->value();
    s.pagePx = m_size4000->isChecked() ? 4000 : m_size2000->isChecked() ? 2000 : 1000;
    s.fontSize = m_textSize->value();
    s.fill = m_fill->isChecked();
    return s;
}

void Tfworkplan::RefreshLabels()
{
    const WorkplanGroupInfo info = WorkplanGroupLabels(m_app.ws().mproject, m_cellsH->value(), m_cellsV->value());
    m_horizontalCount->setText(info.horizontalCount);
    m_verticalCount->setText(info.verticalCount);
    m_mosaicSize->setText(info.mosaicSize);
    m_pageCount->setText(info.pageCount);
}

void Tfworkplan::Preview()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    RefreshLabels();
    DrawWorkplanGroupPreview(m_app.ws(), m_page, m_pageX->value(), m_pageY->value(), settings(), m_progress.get());
    m_progressBar->setValue(0);
    m_picture->refresh();
}

void Tfworkplan::OutputAll()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const Workspace& ws = m_app.ws();
    const QString root = ws.mproject.cfg.RootPath.get();
    const QString start = !root.isEmpty() && QFileInfo(root).isDir() ? root : ws.folders.projectsFolder;
    const QString file = m_app.dialogs().getSaveFileName(
        this, QStringLiteral("Output all"), start, ToQtFilter(QStringLiteral("jpg|*.jpg")), QStringLiteral("jpg"));
    if (file.isEmpty()) return;
    RefreshLabels();
    const QFileInfo chosen(file);
    const Result<QStringList> written = OutputAllWorkplanGroups(m_app.ws(), m_page, chosen.absolutePath(),
                                                                chosen.fileName(), settings(), m_progress.get());
    m_progressBar->setValue(0);
    m_picture->refresh();
    if (!written) m_app.message(MessageKind::Error, written.error(), MessageButtons::OK);
}

void Tfworkplan::TileCounter()
{
    if (m_app.commands.showTileCounter) m_app.commands.showTileCounter();
}
