#include "app/package_extract_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/qt_platform.h"
#include "app/start_screen.h"
#include "app/window_support.h"

#include <QLabel>
#include <QProgressBar>

class Tfunzipper::Monitor final : public ExtractionMonitor {
public:
    explicit Monitor(Tfunzipper& window) : m_window(window) {}
    void showPackage(const QString& caption) override { m_window.showPackage(caption); }
    Progress* progress() override { return m_window.progress(); }
    void close() override { m_window.hide(); }

private:
    Tfunzipper& m_window;
};

Tfunzipper::Tfunzipper(AppContext& app)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_app(app)
{
    setObjectName(QStringLiteral("funzipper"));
    setWindowTitle(QStringLiteral("Package Extract"));
    setFixedSize(369, 93);
    m_file = new QLabel(QStringLiteral("name"), this);
    m_file->setObjectName(QStringLiteral("Label_file"));
    m_file->setGeometry(12, 8, 345, 20);
    m_progressText = new QLabel(QStringLiteral("0"), this);
    m_progressText->setObjectName(QStringLiteral("lb_progress"));
    m_progressText->setGeometry(12, 32, 345, 20);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setGeometry(12, 60, 345, 18);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_progress = std::make_unique<ProgressBarProgress>(m_bar, m_progressText);
    m_monitor = std::make_unique<Monitor>(*this);
}

Tfunzipper::~Tfunzipper() = default;

void Tfunzipper::showPackage(const QString& caption)
{
    m_file->setText(caption);
    QWidget* owner = m_app.fstartscreen && m_app.fstartscreen->isVisible() ? static_cast<QWidget*>(m_app.fstartscreen)
                                                                           : static_cast<QWidget*>(m_app.Form1);
    CentreWindow(this, owner);
    show();
    raise();
    PumpEvents(m_app.platform());
}

Progress* Tfunzipper::progress()
{
    return m_progress.get();
}

ExtractionMonitor* Tfunzipper::monitor()
{
    return m_monitor.get();
}
