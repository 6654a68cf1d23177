#include "output_windows/guide_card_window.h"

#include "app/app_context.h"
#include "output/guide_cards.h"
#include "output_windows/color_button.h"
#include "output_windows/named_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using named_controls::label;
using named_controls::spinBox;

} // namespace

TfPosCard::TfPosCard(AppContext& app) : QWidget(nullptr, Qt::Window), m_app(app)
{
    setObjectName(QStringLiteral("fPosCard"));
    setWindowTitle(QStringLiteral("Position Guide Card"));

    auto* size = new QGroupBox(QStringLiteral("Card Size"));
    size->setObjectName(QStringLiteral("gb_cardsize"));
    m_card4x6 = new QRadioButton(QStringLiteral("4x6 Inch"));
    m_card4x6->setObjectName(QStringLiteral("rb_4x6"));
    m_card4x6->setChecked(true);
    // No layout exists for the smaller card.
    m_card4x5 = new QRadioButton(QStringLiteral("4x5 Inch"));
    m_card4x5->setObjectName(QStringLiteral("rb_4x5"));
    m_card4x5->setEnabled(false);
    auto* sizeLayout = new QHBoxLayout(size);
    sizeLayout->addWidget(m_card4x6);
    sizeLayout->addWidget(m_card4x5);

    m_count = spinBox("sb_count", 1, 5, 2);
    m_radius = spinBox("sb_radius", 20, 100, 50);
    m_lineSize = spinBox("sb_linesize", 1, 10, 5);
    m_color = new ColorButton(0xFF00FF00);
    m_color->setObjectName(QStringLiteral("cp_color"));
    auto* grid = new QGridLayout;
    grid->addWidget(label("lb_count", QStringLiteral("Position Indicator count")), 0, 0);
    grid->addWidget(m_count, 0, 1);
    grid->addWidget(label("lb_radius", QStringLiteral("Indicator Radius")), 1, 0);
    grid->addWidget(m_radius, 1, 1);
    grid->addWidget(label("lb_linesize", QStringLiteral("Indicator Line Size")), 2, 0);
    grid->addWidget(m_lineSize, 2, 1);
    grid->addWidget(label("lb_color", QStringLiteral("Position Indicator Color")), 3, 0);
    grid->addWidget(m_color, 3, 1);

    m_progressLabel = label("lb_progress", QStringLiteral("Progress"));
    auto* start = new QPushButton(QStringLiteral("Start Output"));
    start->setObjectName(QStringLiteral("bt_start"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(size);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(m_progressLabel);
    layout->addWidget(start);
    resize(353, 327);

    connect(start, &QPushButton::clicked, this, &TfPosCard::StartOutput);
}

void TfPosCard::StartOutput()
{
    // The cards pump events once per tile, so a second click could start them again.
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    GuideCardOptions options;
    options.count = m_count->value();
    options.radius = m_radius->value();
    options.lineSize = m_lineSize->value();
    options.color = m_color->color();
    ProgressBarProgress progress(nullptr, m_progressLabel);
    const Result<GuideCardSummary> done = OutputGuideCards(m_app.ws(), options, &progress, m_app.platform());
    if (!done) {
        if (done.error() == GuideCardUnsavedText())
            m_app.message(MessageKind::Information, done.error(), MessageButtons::OKCancel);
        else
            m_app.message(MessageKind::Error, done.error(), MessageButtons::OK);
        return;
    }
    // An empty library writes nothing and asks nothing.
    if (done->folder.isEmpty()) return;
    if (m_app.message(MessageKind::Information, GuideCardFinishedText(), MessageButtons::YesNo) == MessageAnswer::Yes)
        m_app.shellOpen(done->folder);
}
