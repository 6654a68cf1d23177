#include "app/about_window.h"

#include "app/app_context.h"
#include "app/command_icons.h"
#include "app/main_window.h"
#include "app/window_support.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Tfabout::Tfabout(AppContext& app) : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("fabout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(ApplicationIcon());

    auto* name = new QLabel(QStringLiteral("Quillary"));
    name->setObjectName(QStringLiteral("lb_product"));
    QFont big = name->font();
    big.setPointSize(32);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(QStringLiteral("19.61"));
    version->setObjectName(QStringLiteral("lb_version"));
    version->setAlignment(Qt::AlignCenter);
    auto* date = new QLabel(QStringLiteral("Release Date: FEB 2020 "));
    date->setObjectName(QStringLiteral("lb_releasedate"));
    date->setAlignment(Qt::AlignCenter);

    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("bt_close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* visit = new QPushButton(QStringLiteral("Visit Homepage"));
    visit->setObjectName(QStringLiteral("bt_homepage"));
    connect(visit, &QPushButton::clicked, this, [this] { m_app.shellOpen(TForm1::HomePage()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(visit);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(date);
    layout->addStretch();
    layout->addLayout(buttons);

    setFixedSize(420, 240);
}

void Tfabout::showOver(QWidget* over)
{
    ShowWithParent(this, over);
}
