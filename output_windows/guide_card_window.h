#pragma once
// The position guide card window ("Position Guide Card"): the card size, the number,
// radius, line size and colour of the position circles, and "Start Output", which writes
// one card per tile the mosaic uses into the project folder's "GuideCard" folder.

#include <QWidget>

class AppContext;
class ColorButton;
class QLabel;
class QRadioButton;
class QSpinBox;

class TfPosCard : public QWidget {
    Q_OBJECT
public:
    explicit TfPosCard(AppContext& app);

    // "Start Output": writes the cards, reporting "Progress i/n" in the progress label;
    // an unsaved project gets the information box that asks for a save, and after the
    // cards the question whether to open their folder.
    void StartOutput();

private:
    AppContext& m_app;
    QRadioButton* m_card4x6 = nullptr;
    QRadioButton* m_card4x5 = nullptr;
    QSpinBox* m_count = nullptr;
    QSpinBox* m_radius = nullptr;
    QSpinBox* m_lineSize = nullptr;
    ColorButton* m_color = nullptr;
    QLabel* m_progressLabel = nullptr;
};
