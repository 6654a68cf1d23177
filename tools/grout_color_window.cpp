#include "tools/grout_color_window.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "engine/workspace.h"
#include "output/cell_texts.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"
#include "tools/color_combo_box.h"

#include <QLabel>
#include <QPushButton>

TfChangeGrout::TfChangeGrout(AppContext& app)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_app(app)
{
    setObjectName(QStringLiteral("fChangeGrout"));
    setWindowTitle(QStringLiteral("Change Grout Color"));
    setFixedSize(269, 168);

    auto* caption = new QLabel(QStringLiteral("Grout Color"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->setGeometry(16, 16, 120, 20);
    m_picker = new ColorComboBox(this);
    m_picker->setObjectName(QStringLiteral("ComboColorBox1"));
    m_picker->setGeometry(16, 40, 237, 26);
    m_components = new QLabel(this);
    m_components->setObjectName(QStringLiteral("lb_rgb"));
    m_components->setGeometry(16, 74, 237, 20);

    auto* apply = new QPushButton(QStringLiteral("Apply "), this);
    apply->setObjectName(QStringLiteral("bt_apply"));
    apply->setGeometry(16, 120, 110, 30);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("bt_close"));
    close->setGeometry(143, 120, 110, 30);

    RefreshGroutLabels();
    connect(m_picker, &ColorComboBox::colorChanged, this, [this] { RefreshGroutLabels(); });
    connect(apply, &QPushButton::clicked, this, &TfChangeGrout::ApplyClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

TfChangeGrout::~TfChangeGrout() = default;

TAlphaColor TfChangeGrout::pickedColor() const
{
    return m_picker->color();
}

void TfChangeGrout::setPickedColor(TAlphaColor color)
{
    m_picker->setColor(color);
}

void TfChangeGrout::RefreshGroutLabels()
{
    m_components->setText(ColorComponentsText(pickedColor()));
}

void TfChangeGrout::ApplyClick()
{
    AppContext::LongCommand command(m_app);
    if (command.refused()) return;
    Workspace& ws = m_app.ws();
    ws.moptions.BgColor = pickedColor();
    ws.moptions.BgMainImage = 0;
    TForm1* form = m_app.Form1;
    if (!form) return;
    const Status st =
        Draw_MosaicToView(ws, kDrawFinal, form->Image1(), ws.mproject.cfg.PreviewScale, form->mainProgress());
    form->ShowMosaicImage();
    if (!st) m_app.message(MessageKind::Error, st.error(), MessageButtons::OK);
}
