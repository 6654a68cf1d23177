#include "library_windows/browse_library_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/window_support.h"
#include "imaging/picture_io.h"
#include "library_windows/tile_library_editor.h"
#include "platform/number_format.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

QString TileSizeText(float widthf, float heightf, int sizeUnit)
{
    QString text =
        QStringLiteral("Tile Size: ") + FormatFixed(widthf, 2, 4) + QLatin1Char('x') + FormatFixed(heightf, 2, 4);
    if (sizeUnit == kTileUnitInch)
        text += QStringLiteral(" inch");
    else if (sizeUnit == kTileUnitMm)
        text += QStringLiteral(" mm");
    return text;
}

TfBrowseImglib::TfBrowseImglib(AppContext& app) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_app(app)
{
    setObjectName(QStringLiteral("fBrowseImglib"));
    setWindowTitle(QStringLiteral("Photo Library"));

    auto* manage = new QPushButton(QStringLiteral("Manage"));
    manage->setObjectName(QStringLiteral("bt_manage"));
    auto* exit = new QPushButton(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("bt_exit"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(manage);
    buttons->addWidget(exit);
    buttons->addStretch();

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("lb_imgliblist"));

    auto* details = new QWidget;
    details->setObjectName(QStringLiteral("pn_details"));
    auto label = [](const char* name, const QString& text) {
        auto* l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    m_name = label("lb_libname", QStringLiteral("Tile Lib Name: "));
    m_path = label("lb_libpath", QStringLiteral("Tile Lib path: "));
    m_count = label("lb_tilecount", QStringLiteral("Tile Count: "));
    m_size = label("lb_tilesize", QStringLiteral("Tile Size: "));
    m_preview = new PictureView;
    m_preview->setObjectName(QStringLiteral("img_preview"));
    auto* right = new QVBoxLayout(details);
    right->setContentsMargins(6, 0, 0, 0);
    right->addWidget(m_name);
    right->addWidget(m_path);
    right->addWidget(m_count);
    right->addWidget(m_size);
    right->addWidget(m_preview, 1);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(m_list);
    splitter->addWidget(details);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 440});

    auto* status = new QStatusBar;
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    layout->addWidget(status);
    setFixedSize(660, 480);

    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { ShowLibrary(m_list->row(item)); });
    connect(manage, &QPushButton::clicked, this, &TfBrowseImglib::Manage);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

void TfBrowseImglib::FillLists()
{
    const DataFolders& f = m_app.ws().folders;
    ListTilelibs(m_names, m_folders, f.programLibraryFolder, f.userLibraryFolder);
    m_list->clear();
    m_list->addItems(m_names);
}

void TfBrowseImglib::ShowLibrary(int j)
{
    if (j < 0 || j >= m_folders.size()) return;
    // Loading replaces mbrowselib, which a run of "Add Photos" may be filling.
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    const QString folder = m_folders[j];
    const QString catalogue = GetTilelibFileName(folder);
    const TtileLibCfg cfg = ReadTilelibCfg(catalogue);
    const int count = ReadTilelibCount(catalogue);

    // Preview and library first: the window only shows a library that is the one loaded,
    // so "Manage" never edits another than the one on display.
    Result<QImage> preview = LoadPicture(GetPreviewFileName(folder));
    if (!preview) {
        m_app.message(MessageKind::Error, preview.error(), MessageButtons::OK);
        return;
    }
    if (Status st = m_app.ws().mbrowselib.LoadTilelib(catalogue); !st) {
        m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
        return;
    }
    m_selectedFolder = folder;
    m_name->setText(QStringLiteral("Tile Lib Name: ") + cfg.name.get());
    m_path->setText(QStringLiteral("Tile Lib path: ") + folder);
    m_count->setText(QStringLiteral("Tile Count: ") + QString::number(count));
    m_size->setText(TileSizeText(cfg.Widthf, cfg.Heightf, cfg.SizeUnit));
    m_preview->setPicture(*preview);
}

void TfBrowseImglib::Manage()
{
    if (m_selectedFolder.isEmpty() || !QFileInfo(m_selectedFolder).isDir()) {
        m_app.message(MessageKind::Error, QStringLiteral("Please choose a image library first."),
                      MessageButtons::OKCancel);
        return;
    }
    if (Tftilelibeditor* editor = m_app.ftilelibeditor) {
        editor->FillTileList();
        ShowWithParent(editor, m_app.Form1);
    }
    close();
}

void TfBrowseImglib::showOver(QWidget* over)
{
    CentreWindow(this, over);
    show();
    raise();
    activateWindow();
}
