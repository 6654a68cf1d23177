#include "library_windows/new_library_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/window_support.h"
#include "library_windows/browse_library_window.h"
#include "library_windows/tile_library_editor.h"
#include "platform/number_format.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

QString PrintedCellSizeText(int width, int height, double ppi, const QLocale& locale)
{
    const QString head = QStringLiteral("Printed Cell Size :");
    if (!(ppi > 0) || !std::isfinite(ppi)) return head + QStringLiteral(" PPI must be more than 0");
    const double wi = width / ppi, hi = height / ppi;
    return head + FormatFixed(wi, 2, 2, locale) + QStringLiteral(" x ") + FormatFixed(hi, 2, 2, locale) +
           QStringLiteral(" Inch") + QStringLiteral("  or  ") + FormatFixed(wi * 25.4, 2, 2, locale) +
           QStringLiteral(" x ") + FormatFixed(hi * 25.4, 2, 2, locale) + QStringLiteral(" mm");
}

TFnewImglib::TFnewImglib(AppContext& app) : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("FnewImglib"));
    setWindowTitle(QStringLiteral("Create New Image Lib"));

    auto label = [](const char* name, const QString& text) {
        auto* l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    m_name = new QLineEdit(QStringLiteral("Untitled Image Lib"));
    m_name->setObjectName(QStringLiteral("ed_libname"));
    m_name->installEventFilter(this);
    m_folder = new QLineEdit;
    m_folder->setObjectName(QStringLiteral("ed_folder"));
    auto* select = new QPushButton(QStringLiteral("Select..."));
    select->setObjectName(QStringLiteral("bt_select"));

    auto* group = new QGroupBox(QStringLiteral("Image Size"));
    group->setObjectName(QStringLiteral("gb_imagesize"));
    m_width = new QSpinBox;
    m_width->setObjectName(QStringLiteral("sb_width"));
    m_width->setRange(0, kMaxTilePixels);
    m_width->setValue(400);
    m_height = new QSpinBox;
    m_height->setObjectName(QStringLiteral("sb_height"));
    m_height->setRange(0, kMaxTilePixels);
    m_height->setValue(400);
    m_ppi = new QDoubleSpinBox;
    m_ppi->setObjectName(QStringLiteral("sb_ppi"));
    m_ppi->setRange(0, 600);
    m_ppi->setDecimals(2);
    m_ppi->setValue(200);
    m_sizeText = label("lb_cellsize", QStringLiteral("Printed Cell Size"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(label("lb_width", QStringLiteral("Width ( 800 Pixel Max )")), 0, 0);
    grid->addWidget(m_width, 1, 0);
    grid->addWidget(label("lb_height", QStringLiteral("Height ( 800 Pixel Max)")), 0, 1);
    grid->addWidget(m_height, 1, 1);
    grid->addWidget(label("lb_ppi", QStringLiteral("PPI (for reference only)")), 0, 2);
    grid->addWidget(m_ppi, 1, 2);
    grid->addWidget(m_sizeText, 2, 0, 1, 3);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("bt_ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("bt_cancel"));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(select);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label("lb_libname", QStringLiteral("Tile Lib Name")));
    layout->addWidget(m_name);
    layout->addWidget(label("lb_folder", QStringLiteral("Folder")));
    layout->addLayout(folderRow);
    layout->addWidget(group);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(520, 300);

    connect(select, &QPushButton::clicked, this, [this] {
        const QString chosen = m_app.dialogs().getExistingDirectory(
            this, QStringLiteral("Select"), DialogStartFolder(m_app.ws().folders.userLibraryFolder));
        if (!chosen.isEmpty()) m_folder->setText(chosen);
    });
    connect(m_width, &QSpinBox::valueChanged, this, &TFnewImglib::UpdateSizeText);
    connect(m_height, &QSpinBox::valueChanged, this, &TFnewImglib::UpdateSizeText);
    connect(m_ppi, &QDoubleSpinBox::valueChanged, this, &TFnewImglib::UpdateSizeText);
    connect(ok, &QPushButton::clicked, this, &TFnewImglib::CreateLibrary);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
}

bool TFnewImglib::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_name && event->type() == QEvent::KeyRelease) SuggestFolder();
    return QWidget::eventFilter(watched, event);
}

void TFnewImglib::SuggestFolder()
{
    m_folder->setText(DatedFolderName(m_app.ws().folders.userLibraryFolder, m_name->text(), Now(m_app.platform())));
}

void TFnewImglib::UpdateSizeText()
{
    m_sizeText->setText(PrintedCellSizeText(m_width->value(), m_height->value(), m_ppi->value()));
}

void TFnewImglib::CreateLibrary()
{
    const QString name = m_name->text();
    const QString folder = m_folder->text();
    if (name.isEmpty()) {
        m_app.message(MessageKind::Error, QStringLiteral("Please give your image lib a NAME!"),
                      MessageButtons::OKCancel);
        return;
    }
    if (folder.isEmpty()) {
        m_app.message(MessageKind::Error, QStringLiteral("Please select a folder to store your image lib!"),
                      MessageButtons::OKCancel);
        return;
    }
    // Sizes the library cannot have are refused before a folder is made for it.
    if (m_width->value() < 1 || m_height->value() < 1) {
        m_app.message(MessageKind::Error,
                      QStringLiteral("Please give the tiles a width and a height of at least 1 pixel!"),
                      MessageButtons::OKCancel);
        return;
    }
    if (!(m_ppi->value() > 0)) {
        m_app.message(MessageKind::Error, QStringLiteral("Please give a PPI of more than 0!"),
                      MessageButtons::OKCancel);
        return;
    }
    const QFileInfo info(folder);
    if (info.isDir()) {
        if (!QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
            m_app.message(MessageKind::Warning,
                          QStringLiteral("The folder is not empty, Please select an empty folder"), MessageButtons::OK);
            return;
        }
    } else {
        if (m_app.message(MessageKind::Confirmation, QStringLiteral("The folder does not exists, create?"),
                          MessageButtons::YesNo) != MessageAnswer::Yes)
            return;
        if (!QDir().mkpath(folder)) return;
    }

    Workspace& ws = m_app.ws();
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    if (Status st = CreateTileLibrary(ws.mbrowselib, folder, name, m_width->value(), m_height->value(), m_ppi->value());
        !st) {
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return;
    }
    if (Tftilelibeditor* editor = m_app.ftilelibeditor) {
        editor->FillTileList();
        ShowWithParent(editor, m_app.Form1);
    }
    if (m_app.fBrowseImglib) m_app.fBrowseImglib->FillLists();
    if (m_app.commands.refreshLibraryLists) m_app.commands.refreshLibraryLists();
    hide();
}

void TFnewImglib::ShowForNewLibrary(const QString& name)
{
    m_name->setText(name);
    SuggestFolder();
    UpdateSizeText();
    CentreWindow(this, m_app.Form1);
    show();
    raise();
    activateWindow();
    if (m_app.fBrowseImglib) m_app.fBrowseImglib->hide();
}
