#pragma once
// A colour picker control: a button showing its colour as a swatch; a click opens the
// colour chooser (with the alpha channel) and a confirmed choice becomes the colour.

#include "imaging/color_records.h"

#include <QToolButton>

class ColorButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColorButton(TAlphaColor color, QWidget* parent = nullptr);
    TAlphaColor color() const { return m_color; }
    void setColor(TAlphaColor color);

signals:
    void colorChanged(TAlphaColor color);

private:
    void choose();
    void showSwatch();
    TAlphaColor m_color;
};
