#pragma once
// The grout window ("Change Grout Color"): picks the colour that shows between the
// tiles and redraws the mosaic over it.

#include "imaging/color_records.h"

#include <QWidget>

class AppContext;
class ColorComboBox;
class QLabel;

class TfChangeGrout : public QWidget {
    Q_OBJECT
public:
    explicit TfChangeGrout(AppContext& app);
    ~TfChangeGrout() override;

    // The colour picker's colour.
    TAlphaColor pickedColor() const;
    void setPickedColor(TAlphaColor color);
    // Shows the picked colour's components, "R.. G.. B..".
    void RefreshGroutLabels();
    // "Apply ": the picked colour becomes the grout colour over a flat background (also
    // where the background was the main image) and the whole mosaic is drawn again into
    // the main window with its progress bar. A drawing that fails is reported; what was
    // drawn is shown.
    void ApplyClick();

    ColorComboBox* colorPicker() const { return m_picker; }

private:
    AppContext& m_app;
    ColorComboBox* m_picker = nullptr;
    QLabel* m_components = nullptr;
};
