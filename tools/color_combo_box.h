#pragma once
// A drop-down colour box: the named colours, each with its swatch, and a last entry
// "More..." that asks for any colour. A colour that has no name (set from outside or
// chosen through "More...") is shown as an entry of its own, "#RRGGBB", before "More...".

#include "imaging/color_records.h"

#include <QColor>
#include <QComboBox>

#include <functional>
#include <optional>

class ColorComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColorComboBox(QWidget* parent = nullptr);

    // The colour shown, with its alpha.
    TAlphaColor color() const;
    // Shows `color`: its named entry when there is one, otherwise the entry of its own.
    // Emits colorChanged when the shown colour changes.
    void setColor(TAlphaColor color);

    // Asks the user for a colour, starting from the given one; none when cancelled. A
    // colour dialog by default; tests put an answer of their own here.
    std::function<std::optional<QColor>(const QColor& start)> chooseColor;

signals:
    void colorChanged(TAlphaColor color);

private:
    void onActivated(int index);
    int moreIndex() const { return count() - 1; }
    int customIndex() const;

    int m_lastIndex = -1;
};
