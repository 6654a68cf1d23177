#include "app/save_project_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/window_support.h"
#include "render/project_folder.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfSaveProject::TfSaveProject(AppContext& app) : QWidget(nullptr, Qt::Tool), m_app(app)
{
    setObjectName(QStringLiteral("fSaveProject"));
    setWindowTitle(QStringLiteral("Save Mosaic Project"));
    setFixedSize(489, 160);

    auto* nameLabel = new QLabel(QStringLiteral("Project Name"), this);
    nameLabel->setObjectName(QStringLiteral("lb_projectname"));
    nameLabel->setGeometry(12, 8, 300, 18);
    m_name = new QLineEdit(QStringLiteral("New Mosaic Project"), this);
    m_name->setObjectName(QStringLiteral("ed_projectname"));
    m_name->setGeometry(12, 28, 465, 24);
    m_name->installEventFilter(this);
    auto* folderLabel = new QLabel(QStringLiteral("Folder"), this);
    folderLabel->setObjectName(QStringLiteral("lb_folder"));
    folderLabel->setGeometry(12, 60, 300, 18);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("ed_folder"));
    m_folder->setGeometry(12, 80, 377, 24);
    auto* select = new QPushButton(QStringLiteral("Select..."), this);
    select->setObjectName(QStringLiteral("bt_select"));
    select->setGeometry(397, 78, 80, 28);
    auto* save = new QPushButton(QStringLiteral("Save Mosaic"), this);
    save->setObjectName(QStringLiteral("bt_savemosaic"));
    save->setGeometry(289, 120, 100, 30);
    save->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("bt_cancel"));
    cancel->setGeometry(397, 120, 80, 30);

    connect(select, &QPushButton::clicked, this, [this] {
        const QString chosen = m_app.dialogs().getExistingDirectory(
            this, QStringLiteral("Choose a folder"), DialogStartFolder(m_app.ws().folders.projectsFolder));
        if (!chosen.isEmpty()) m_folder->setText(chosen);
    });
    connect(save, &QPushButton::clicked, this, &TfSaveProject::SaveMosaic);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

bool TfSaveProject::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_name && event->type() == QEvent::KeyRelease) SuggestFolder();
    return QWidget::eventFilter(watched, event);
}

void TfSaveProject::SuggestFolder()
{
    m_folder->setText(DatedFolderName(m_app.ws().folders.projectsFolder, m_name->text(), Now(m_app.platform())));
}

void TfSaveProject::SaveMosaic()
{
    if (m_name->text().isEmpty()) {
        m_app.message(MessageKind::Error, QStringLiteral("Please give your mosaic project a NAME!"),
                      MessageButtons::OKCancel);
        return;
    }
    const QString folder = m_folder->text();
    if (folder.isEmpty()) {
        m_app.message(MessageKind::Error, QStringLiteral("Please select a folder to store your image lib!"),
                      MessageButtons::OKCancel);
        return;
    }
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        // A file of that name can hold no project; the dialog stays open for another name.
        m_app.message(MessageKind::Error, QStringLiteral("%1 is a file, not a folder.").arg(folder),
                      MessageButtons::OK);
        return;
    }
    if (info.isDir()) {
        const bool empty = QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        if (empty || m_app.message(MessageKind::Confirmation,
                                   QStringLiteral("The folder is not empty, using it might ERASE existing files, "
                                                  "Continue?"),
                                   MessageButtons::YesNo) == MessageAnswer::Yes) {
            if (!saveInto(folder)) return;
        }
    } else if (m_app.message(MessageKind::Confirmation, QStringLiteral("The folder does not exists, create?"),
                             MessageButtons::YesNo) == MessageAnswer::Yes) {
        if (QDir().mkpath(folder) && !saveInto(folder)) return;
    }
    close();
}

bool TfSaveProject::saveInto(const QString& folder)
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return false;
    TForm1* form = m_app.Form1;
    const QImage picture = form ? form->Image1() : QImage();
    const Status st = SaveProjectFolder(m_app.ws(), folder, picture, form ? form->mainProgress() : nullptr);
    if (!st) {
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return false;
    }
    return true;
}

void TfSaveProject::showOver(QWidget* over)
{
    ShowWithParent(this, over);
}
