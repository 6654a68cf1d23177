#include "app/overview_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/window_support.h"
#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"
#include "render/overview.h"
#include "render/working_views.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

Tfoverview::Tfoverview(AppContext& app) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("foverview"));
    setWindowTitle(QStringLiteral("Monitor"));

    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(49);
    auto* repaint = new QPushButton(QStringLiteral("RePaint"));
    repaint->setObjectName(QStringLiteral("Button1"));
    auto* save = new QPushButton(QStringLiteral("Save Picture"));
    save->setObjectName(QStringLiteral("Button2"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("Button3"));
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("Overview_pbar1"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressLabel = new QLabel(QStringLiteral("Progress"));
    m_progressLabel->setObjectName(QStringLiteral("LB_Progress"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    row->addWidget(repaint);
    row->addWidget(save);
    row->addWidget(close);
    row->addWidget(m_progressBar, 1);
    row->addWidget(m_progressLabel);

    m_picture = new PictureView;
    m_picture->setObjectName(QStringLiteral("Img_overview"));
    auto* status = new QStatusBar;
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(m_picture, 1);
    layout->addWidget(status);
    resize(640, 480);

    m_progress = std::make_unique<ProgressBarProgress>(m_progressBar);
    connect(repaint, &QPushButton::clicked, this, &Tfoverview::OverviewRepaint);
    connect(save, &QPushButton::clicked, this, &Tfoverview::Button2Click);
    connect(close, &QPushButton::clicked, this, &Tfoverview::Button3Click);
}

Tfoverview::~Tfoverview() = default;

Progress* Tfoverview::progress()
{
    return m_progress.get();
}

const QImage& Tfoverview::shownPicture() const
{
    return m_picture->picture();
}

void Tfoverview::showOver(QWidget* over)
{
    // A window of its own (not a child of the main window), so that it stays above
    // every other window while a project opens.
    CentreWindow(this, over);
    show();
    raise();
}

void Tfoverview::OverviewRepaint()
{
    Workspace& ws = m_app.ws();
    if (!ws.mproject.cfg.searchDone) return;
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    drawMode = kDrawFinal;
    m_progressLabel->setText(QStringLiteral("Draw Start..."));
    const Status st = RenderOverview(ws, ws.overviewImage, m_progress.get());
    m_progressLabel->setText(QStringLiteral("Draw Done"));
    m_progressBar->setValue(0);
    m_picture->setPicture(ws.overviewImage.copy());
    if (!st) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}

void Tfoverview::OverviewFromMainView()
{
    Workspace& ws = m_app.ws();
    const QImage& view = m_app.Form1 ? m_app.Form1->Image1() : QImage();
    ws.overviewImage = OverviewFromView(view, view.isNull() ? QSizeF() : view.deviceIndependentSize());
    m_progressLabel->setText(QStringLiteral("Draw Done"));
    m_picture->setPicture(ws.overviewImage.copy());
}

void Tfoverview::Button2Click()
{
    const Workspace& ws = m_app.ws();
    const QString root = ws.mproject.cfg.RootPath.get();
    const QString folder = !root.isEmpty() && QFileInfo(root).isDir() ? root : ws.folders.projectsFolder;
    const QString file = m_app.dialogs().getSaveFileName(this, QStringLiteral("Save Picture"), folder,
                                                         ToQtFilter(QStringLiteral("jpg|*.jpg|bmp|*.bmp|png|*.png")),
                                                         QStringLiteral("jpg"));
    if (file.isEmpty()) return;
    if (Status st = SavePicture(m_picture->picture(), file); !st)
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}

void Tfoverview::Button3Click()
{
    close();
}
