#include "output_windows/robot_code_window.h"

#include "app/app_context.h"
#include "app/window_support.h"
#include "output/robot_code.h"
#include "output_windows/named_controls.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using named_controls::label;
using named_controls::spinBox;

// The core sets the bar's maximum to the page's cell count, which is zero or negative
// for a page beyond the mosaic; a QProgressBar would take that as its minimum too and
// keep it for every later run, so the maximum is held at one or more.
class PageProgress final : public Progress {
public:
    explicit PageProgress(Progress& bar) : m_bar(bar) {}
    void setMaximum(int maximum) override { m_bar.setMaximum(std::max(1, maximum)); }
    void setValue(int value) override { m_bar.setValue(value); }
    int value() const override { return m_bar.value(); }

private:
    Progress& m_bar;
};

QListWidget* infoList(const char* name, const QStringList& items)
{
    auto* l = new QListWidget;
    l->setObjectName(QLatin1String(name));
    l->addItems(items);
    l->setCurrentRow(0);
    // Only informative: the generator knows one robot and one feeder.
    l->setEnabled(false);
    l->setMaximumHeight(72);
    return l;
}

} // namespace

Tfrobotcode::Tfrobotcode(AppContext& app) : QWidget(nullptr, Qt::Window), m_app(app)
{
    setObjectName(QStringLiteral("frobotcode"));
    setWindowTitle(QStringLiteral("Robot Control Code Generator"));

    auto* info = new QGroupBox(QStringLiteral("Mosaic Info"));
    info->setObjectName(QStringLiteral("gb_mosaicinfo"));
    m_horizontalCount = label("lb_hcount", QStringLiteral("Horizontal Tile Count :"));
    m_verticalCount = label("lb_vcount", QStringLiteral("Vertical Tile Count :"));
    m_mosaicSize = label("lb_mosaicsize", QStringLiteral("Mosaic size:"));
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(m_horizontalCount);
    infoLayout->addWidget(m_verticalCount);
    infoLayout->addWidget(m_mosaicSize);

    auto* setup = new QGroupBox(QStringLiteral("Page Setup"));
    setup->setObjectName(QStringLiteral("gb_pagesetup"));
    m_cellsH = spinBox("sb_hcount", 1, 100, 10);
    m_cellsV = spinBox("sb_vcount", 1, 100, 10);
    m_pageCount = label("lb_pagecount", QStringLiteral("Total Page Count"));
    auto* setupLayout = new QGridLayout(setup);
    setupLayout->addWidget(label("lb_hcountcaption", QStringLiteral("Horz Tile Count per page")), 0, 0);
    setupLayout->addWidget(m_cellsH, 0, 1);
    setupLayout->addWidget(label("lb_vcountcaption", QStringLiteral("Vert Tile Count per page")), 1, 0);
    setupLayout->addWidget(m_cellsV, 1, 1);
    setupLayout->addWidget(m_pageCount, 2, 0, 1, 2);

    auto* robot = new QGroupBox(QStringLiteral("Robot Info"));
    robot->setObjectName(QStringLiteral("gb_robotinfo"));
    m_robotType = infoList("lb_robottype", {QStringLiteral("TSL Mosaic Robot - Mark 1 - Single picker"),
                                            QStringLiteral("TSL Mosaic Robot - Mark 1 - 2x picker"),
                                            QStringLiteral("TSL Mosaic Robot - Mark 1 - 4x picker")});
    m_feederType = infoList("lb_feedertype", {QStringLiteral("Standard Pallet 100- C2020 T1616   "),
                                              QStringLiteral("Standard Pallet 100- C2020 T1818 ")});
    auto* robotLayout = new QVBoxLayout(robot);
    robotLayout->addWidget(label("lb_robottypecaption", QStringLiteral("Robot Type")));
    robotLayout->addWidget(m_robotType);
    robotLayout->addWidget(label("lb_feedertypecaption", QStringLiteral("Feeder Type")));
    robotLayout->addWidget(m_feederType);

    m_pageX = spinBox("sb_pagex", 0, 100, 0);
    m_pageY = spinBox("sb_pagey", 0, 100, 0);
    auto* generate = new QPushButton(QStringLiteral("Single Page Robot Code"));
    generate->setObjectName(QStringLiteral("bt_singlepage"));
    auto* pageRow = new QGridLayout;
    pageRow->addWidget(label("lb_pagex", QStringLiteral("PageID X")), 0, 0);
    pageRow->addWidget(m_pageX, 0, 1);
    pageRow->addWidget(label("lb_pagey", QStringLiteral("PageID Y")), 1, 0);
    pageRow->addWidget(m_pageY, 1, 1);
    pageRow->addWidget(generate, 2, 0, 1, 2);

    auto* left = new QVBoxLayout;
    left->addWidget(info);
    left->addWidget(setup);
    left->addWidget(robot);
    left->addLayout(pageRow);
    left->addStretch();

    m_code = new QPlainTextEdit;
    m_code->setObjectName(QStringLiteral("mm_code"));
    m_code->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lines = label("lb_lines", QStringLiteral("Lines:"));
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("pb_progress"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    auto* save = new QPushButton(QStringLiteral("Save Code"));
    save->setObjectName(QStringLiteral("bt_savecode"));
    auto* exit = new QPushButton(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("bt_exit"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_lines);
    buttons->addWidget(m_progressBar, 1);
    buttons->addWidget(save);
    buttons->addWidget(exit);
    auto* right = new QVBoxLayout;
    right->addWidget(m_code, 1);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    setFixedSize(732, 508);

    m_progress = std::make_unique<ProgressBarProgress>(m_progressBar);
    connect(generate, &QPushButton::clicked, this, &Tfrobotcode::SinglePageRobotCode);
    connect(save, &QPushButton::clicked, this, &Tfrobotcode::SaveCode);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

Tfrobotcode::~Tfrobotcode() = default;

void Tfrobotcode::RefreshLabels()
{
    const RobotInfo info = RobotInfoLabels(m_app.ws().mproject, m_cellsH->value(), m_cellsV->value());
    m_horizontalCount->setText(info.horizontalCount);
    m_verticalCount->setText(info.verticalCount);
    m_mosaicSize->setText(info.mosaicSize);
    m_pageCount->setText(info.pageCount);
}

void Tfrobotcode::SinglePageRobotCode()
{
    // The generation pumps events after every placed tile, so a second click could
    // start another one over it.
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    RefreshLabels();
    Workspace& ws = m_app.ws();
    m_code->clear();
    PageProgress progress(*m_progress);
    const QStringList lines = GenerateRobotCode(ws.mproject, ws.mtilelib, m_pageX->value(), m_pageY->value(),
                                                m_cellsH->value(), m_cellsV->value(), &progress, m_app.platform());
    m_code->setPlainText(lines.join(QLatin1Char('\n')));
    m_progressBar->setValue(0);
    m_lines->setText(QStringLiteral("Lines: %1").arg(lines.size()));
}

QStringList Tfrobotcode::codeLines() const
{
    const QString text = m_code->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void Tfrobotcode::SaveCode()
{
    const Workspace& ws = m_app.ws();
    const QString root = ws.mproject.cfg.RootPath.get();
    const QString folder = !root.isEmpty() && QFileInfo(root).isDir() ? root : ws.folders.projectsFolder;
    const QString proposed = QDir(folder).filePath(RobotCodeFileName(m_pageX->value(), m_pageY->value()));
    const QString file = m_app.dialogs().getSaveFileName(
        this, QStringLiteral("Save Code"), proposed, ToQtFilter(QStringLiteral("txt|*.txt")), QStringLiteral("txt"));
    if (file.isEmpty()) return;
    if (Status st = SaveRobotCode(codeLines(), file); !st)
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}
