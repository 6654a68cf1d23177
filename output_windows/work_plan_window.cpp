#include "output_windows/work_plan_window.h"

#include "app/app_context.h"
#include "app/mosaic_image_view.h"
#include "app/window_support.h"
#include "output/work_plan.h"
#include "output_windows/named_controls.h"
#include "output_windows/text_spin_box.h"
#include "platform/number_format.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using named_controls::label;
using named_controls::spinBox;

} // namespace

Tfworkplan2::Tfworkplan2(AppContext& app) : QWidget(nullptr, Qt::Window), m_app(app)
{
    setObjectName(QStringLiteral("fworkplan2"));
    setWindowTitle(QStringLiteral("Work Plan Generator"));

    auto* project = new QGroupBox(QStringLiteral("Project Info"));
    project->setObjectName(QStringLiteral("gb_projectinfo"));
    m_sizeLabel = label("lb_mosaicsize", QStringLiteral("Mosaic Size:"));
    m_sizeLabel->setWordWrap(true);
    (new QVBoxLayout(project))->addWidget(m_sizeLabel);

    // Page counts start at 1: a count of 0 would make the page width a division by zero.
    m_pagesH = spinBox("sb_hpagecount", 1, 100, 3);
    m_pagesV = spinBox("sb_vpagecount", 1, 100, 3);
    auto* counts = new QGridLayout;
    counts->addWidget(label("lb_hpagecount", QStringLiteral("Horizontal Page Count")), 0, 0);
    counts->addWidget(m_pagesH, 0, 1);
    counts->addWidget(label("lb_vpagecount", QStringLiteral("Vertical Page Count")), 1, 0);
    counts->addWidget(m_pagesV, 1, 1);

    const named_controls::PageSizeChoice pageSizes = named_controls::pageSizeChoice(this);
    QGroupBox* sizes = pageSizes.box;
    m_size1000 = pageSizes.size1000;
    m_size2000 = pageSizes.size2000;
    m_size4000 = pageSizes.size4000;

    auto* guide = new QGroupBox(QStringLiteral("Guide text and color"));
    guide->setObjectName(QStringLiteral("gb_guide"));
    m_fill = new QCheckBox(QStringLiteral("Fill cell with tile Color "));
    m_fill->setObjectName(QStringLiteral("cb_fillcolor"));
    m_fill->setChecked(true);
    m_textSize = new TextSpinBox;
    m_textSize->setObjectName(QStringLiteral("sb_textsize"));
    m_textSize->setRange(1, 100);
    m_textSize->setValue(18);
    m_colorCount = spinBox("sb_colorcount", 1, 100, 20);
    auto* guideLayout = new QGridLayout(guide);
    guideLayout->addWidget(m_fill, 0, 0, 1, 2);
    guideLayout->addWidget(label("lb_textsize", QStringLiteral("TileID Text Size")), 1, 0);
    guideLayout->addWidget(m_textSize, 1, 1);
    guideLayout->addWidget(label("lb_colorcount", QStringLiteral("Max Color Count Per Page:")), 2, 0);
    guideLayout->addWidget(m_colorCount, 2, 1);

    auto* onePage = new QPushButton(QStringLiteral("One Page"));
    onePage->setObjectName(QStringLiteral("bt_onepage"));
    m_pageX = new QLineEdit(QStringLiteral("0"));
    m_pageX->setObjectName(QStringLiteral("ed_pagex"));
    m_pageY = new QLineEdit(QStringLiteral("0"));
    m_pageY->setObjectName(QStringLiteral("ed_pagey"));
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(onePage);
    pageRow->addWidget(label("lb_pagex", QStringLiteral("X")));
    pageRow->addWidget(m_pageX);
    pageRow->addWidget(label("lb_pagey", QStringLiteral("Y")));
    pageRow->addWidget(m_pageY);

    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("pb_progress"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    auto* outputAll = new QPushButton(QStringLiteral("Output All Page"));
    outputAll->setObjectName(QStringLiteral("bt_outputall"));

    auto* side = new QWidget;
    side->setObjectName(QStringLiteral("pn_settings"));
    side->setFixedWidth(260);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(6, 6, 6, 6);
    sideLayout->addWidget(project);
    sideLayout->addLayout(counts);
    sideLayout->addWidget(sizes);
    sideLayout->addWidget(guide);
    sideLayout->addLayout(pageRow);
    sideLayout->addWidget(m_progressBar);
    sideLayout->addWidget(outputAll);
    sideLayout->addStretch();

    auto* top = new QWidget;
    top->setObjectName(QStringLiteral("pn_top"));
    m_scaleBar = new QSlider(Qt::Horizontal);
    m_scaleBar->setObjectName(QStringLiteral("tb_scale"));
    m_scaleBar->setRange(10, 100);
    m_scaleBar->setValue(100);
    m_scaleBar->setFixedWidth(209);
    m_scaleLabel = label("lb_scale", QStringLiteral("Scale: 1"));
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(6, 4, 6, 4);
    topLayout->addWidget(m_scaleBar);
    topLayout->addWidget(m_scaleLabel);
    topLayout->addStretch();

    m_picture = new MosaicImageView(m_page);
    m_picture->setObjectName(QStringLiteral("img_page"));
    m_scrollBox = new QScrollArea;
    m_scrollBox->setObjectName(QStringLiteral("sb_page"));
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scrollBox->setWidget(m_picture);

    auto* client = new QVBoxLayout;
    client->setSpacing(0);
    client->addWidget(top);
    client->addWidget(m_scrollBox, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(side);
    layout->addLayout(client, 1);
    resize(798, 624);

    m_progress = std::make_unique<ProgressBarProgress>(m_progressBar);
    connect(onePage, &QPushButton::clicked, this, &Tfworkplan2::OnePage);
    connect(outputAll, &QPushButton::clicked, this, &Tfworkplan2::OutputAllPage);
    connect(m_scaleBar, &QSlider::valueChanged, this, &Tfworkplan2::onScaleChanged);
}

Tfworkplan2::~Tfworkplan2() = default;

double Tfworkplan2::zoom() const
{
    return m_picture->zoom();
}

int Tfworkplan2::pagePixels() const
{
    if (m_size4000->isChecked()) return 4000;
    if (m_size2000->isChecked()) return 2000;
    return 1000;
}

bool Tfworkplan2::RefreshWorkplanCfg()
{
    Workspace& ws = m_app.ws();
    m_sizeLabel->setText(WorkplanSizeLabel(ws.mproject));
    double textSize = 0;
    if (!ParseUserNumber(m_textSize->text(), textSize)) {
        m_app.message(MessageKind::Error,
                      QStringLiteral("'%1' is not a valid floating point value").arg(m_textSize->text()),
                      MessageButtons::OK);
        return false;
    }
    textSize = std::clamp(textSize, m_textSize->minimum(), m_textSize->maximum());
    ::RefreshWorkplanCfg(ws, m_pagesH->value(), m_pagesV->value(), pagePixels(), textSize, m_colorCount->value());
    return true;
}

bool Tfworkplan2::readInteger(const QLineEdit* box, int& value)
{
    bool ok = false;
    const int v = box->text().trimmed().toInt(&ok);
    if (!ok) {
        m_app.message(MessageKind::Error, QStringLiteral("'%1' is not a valid integer value").arg(box->text()),
                      MessageButtons::OK);
        return false;
    }
    value = v;
    return true;
}

void Tfworkplan2::preparePage()
{
    // One bitmap for every page: made once per page size and cleared for each page.
    const TworkplanCfg& w = m_app.ws().workplanCfg;
    if (m_page.width() != w.PageWidthPx || m_page.height() != w.PageHeightPx ||
        m_page.format() != QImage::Format_ARGB32_Premultiplied)
        m_page = QImage(w.PageWidthPx, w.PageHeightPx, QImage::Format_ARGB32_Premultiplied);
    m_page.fill(Qt::white);
    m_picture->refresh();
}

void Tfworkplan2::OnePage()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    if (!RefreshWorkplanCfg()) return;
    int x = 0, y = 0;
    if (!readInteger(m_pageX, x) || !readInteger(m_pageY, y)) return;
    Workspace& ws = m_app.ws();
    preparePage();
    const TPoint page = WorkplanOnePage(ws.workplanCfg, x, y);
    const Status st = DrawWorkplanPage(ws, m_page, page.X, page.Y, m_fill->isChecked(), m_progress.get());
    m_progressBar->setValue(0);
    m_picture->refresh();
    if (!st) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}

void Tfworkplan2::OutputAllPage()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    if (!RefreshWorkplanCfg()) return;
    Workspace& ws = m_app.ws();
    const QString root = ws.mproject.cfg.RootPath.get();
    const QString start = !root.isEmpty() && QFileInfo(root).isDir() ? root : ws.folders.projectsFolder;
    const QString folder = m_app.dialogs().getExistingDirectory(this, QStringLiteral("picker"), start);
    if (folder.isEmpty()) return;
    preparePage();
    const Result<QStringList> written =
        OutputAllWorkplanPages(ws, m_page, folder, m_fill->isChecked(), m_progress.get());
    m_progressBar->setValue(0);
    m_picture->refresh();
    if (!written) m_app.message(MessageKind::Error, written.error(), MessageButtons::OK);
}

void Tfworkplan2::onScaleChanged(int position)
{
    const double z = position / 100.0;
    m_scaleLabel->setText(QStringLiteral("Scale: ") + FormatFixed(z, 2, 4));
    m_picture->setZoom(z);
}
