#include "app/project_info_window.h"

#include "app/app_context.h"
#include "app/window_support.h"
#include "engine/project_info.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TfprojectInfo::TfprojectInfo(AppContext& app)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_app(app)
{
    setObjectName(QStringLiteral("fprojectInfo"));
    setWindowTitle(QStringLiteral("Project Info"));
    setFixedSize(391, 273);
    auto* title = new QLabel(QStringLiteral("Mosaic Detail "), this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setGeometry(12, 8, 367, 20);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setGeometry(12, 32, 367, 190);
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("bt_close"));
    close->setGeometry(299, 232, 80, 30);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void TfprojectInfo::FillInfo()
{
    m_memo->clear();
    m_memo->setPlainText(ProjectInfoLines(m_app.ws().mproject, m_app.ws().mtilelib).join(QLatin1Char('\n')));
}

void TfprojectInfo::showOver(QWidget* over)
{
    FillInfo();
    CentreWindow(this, over);
    show();
    raise();
    activateWindow();
}

QString TfprojectInfo::text() const
{
    return m_memo->toPlainText();
}
