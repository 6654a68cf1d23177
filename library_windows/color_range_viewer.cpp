#include "library_windows/color_range_viewer.h"

#include "app/picture_view.h"
#include "app/window_support.h"
#include "render/color_charts.h"

#include <QGridLayout>
#include <QLabel>

TfColorRangeViewer::TfColorRangeViewer(AppContext&) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fColorRangeViewer"));
    setWindowTitle(QStringLiteral("Color Range Viewer"));

    auto picture = [](const char* name, int w, int h) {
        auto* p = new PictureView;
        p->setObjectName(QLatin1String(name));
        p->setFixedSize(w, h);
        return p;
    };
    auto title = [](const char* name, const QString& text) {
        auto* l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    m_libraryHue = picture("img_libhue", 240, 241);
    m_libraryWheels = picture("img_libwheels", 720, 240);
    m_projectHue = picture("img_prjhue", 240, 241);
    m_projectWheels = picture("img_prjwheels", 720, 240);

    auto* grid = new QGridLayout(this);
    grid->addWidget(title("lb_librange", QStringLiteral("Tile Lib's Color Range")), 0, 0, 1, 2);
    grid->addWidget(m_libraryHue, 1, 0);
    grid->addWidget(m_libraryWheels, 1, 1);
    grid->addWidget(title("lb_prjrange", QStringLiteral("Project's Color Range")), 2, 0, 1, 2);
    grid->addWidget(m_projectHue, 3, 0);
    grid->addWidget(m_projectWheels, 3, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TfColorRangeViewer::SetCharts(const QImage& libraryHueWheel, const QImage& libraryWheels,
                                   const QImage& projectHueWheel, const QImage& projectWheels)
{
    m_libraryHue->setPicture(libraryHueWheel);
    m_libraryWheels->setPicture(libraryWheels);
    m_projectHue->setPicture(projectHueWheel);
    m_projectWheels->setPicture(projectWheels);
}

void TfColorRangeViewer::ShowHistograms(const TColorHistogram& library, const TColorHistogram& project)
{
    QImage lh, lw, ph, pw;
    DrawColorWheel(lh, library, kChartHueWheel);
    DrawColorWheel(lw, library, kChartThreeWheels);
    DrawColorWheel(ph, project, kChartHueWheel);
    DrawColorWheel(pw, project, kChartThreeWheels);
    SetCharts(lh, lw, ph, pw);
}

void TfColorRangeViewer::showOver(QWidget* over)
{
    CentreWindow(this, over);
    show();
    raise();
}
