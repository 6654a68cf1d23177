#include "tools/color_combo_box.h"

#include <QColorDialog>
#include <QIcon>
#include <QPixmap>

namespace {

constexpr int kColorRole = Qt::UserRole;
constexpr int kCustomRole = Qt::UserRole + 1;
constexpr TAlphaColor kWhite = 0xFFFFFFFF;

QIcon Swatch(TAlphaColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgba(color));
    return QIcon(pixmap);
}

QString CustomName(TAlphaColor color)
{
    const QColor c = QColor::fromRgba(color);
    return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb).toUpper();
}

} // namespace

ColorComboBox::ColorComboBox(QWidget* parent) : QComboBox(parent)
{
    for (const QString& name : QColor::colorNames()) {
        const QColor c = QColor::fromString(name);
        if (c.alpha() != 255) continue;
        addItem(Swatch(c.rgba()), name, QVariant::fromValue<uint>(c.rgba()));
    }
    addItem(QStringLiteral("More..."));
    chooseColor = [this](const QColor& start) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(start, this, QStringLiteral("Grout Color"));
        if (!c.isValid()) return std::nullopt;
        return c;
    };
    setColor(kWhite);
    connect(this, &QComboBox::activated, this, &ColorComboBox::onActivated);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0 || index == moreIndex()) return;
        m_lastIndex = index;
        emit colorChanged(color());
    });
}

TAlphaColor ColorComboBox::color() const
{
    const int index = currentIndex() >= 0 && currentIndex() != moreIndex() ? currentIndex() : m_lastIndex;
    return index >= 0 ? static_cast<TAlphaColor>(itemData(index, kColorRole).toUInt()) : kWhite;
}

int ColorComboBox::customIndex() const
{
    for (int i = 0; i < moreIndex(); ++i)
        if (itemData(i, kCustomRole).toBool()) return i;
    return -1;
}

void ColorComboBox::setColor(TAlphaColor color)
{
    for (int i = 0; i < moreIndex(); ++i)
        if (!itemData(i, kCustomRole).toBool() && static_cast<TAlphaColor>(itemData(i, kColorRole).toUInt()) == color) {
            setCurrentIndex(i);
            return;
        }
    int custom = customIndex();
    if (custom < 0) {
        custom = moreIndex();
        insertItem(custom, QString());
        setItemData(custom, true, kCustomRole);
    }
    const bool changed = static_cast<TAlphaColor>(itemData(custom, kColorRole).toUInt()) != color;
    setItemText(custom, CustomName(color));
    setItemIcon(custom, Swatch(color));
    setItemData(custom, QVariant::fromValue<uint>(color), kColorRole);
    if (currentIndex() == custom) {
        // The entry stays where it is, so no index change reports the new colour.
        m_lastIndex = custom;
        if (changed) emit colorChanged(color);
    } else {
        setCurrentIndex(custom);
    }
}

void ColorComboBox::onActivated(int index)
{
    if (index != moreIndex()) return;
    const TAlphaColor before = color();
    const int back = m_lastIndex;
    {
        // Back to the colour in use while the question is open, so that "More..." is
        // never the colour.
        const QSignalBlocker quiet(this);
        setCurrentIndex(back);
    }
    const std::optional<QColor> chosen = chooseColor ? chooseColor(QColor::fromRgba(before)) : std::nullopt;
    if (chosen && chosen->isValid()) setColor(chosen->rgba());
}
