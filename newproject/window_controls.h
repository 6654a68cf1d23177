#pragma once
// Controls of the new-project window that Qt lacks as such: an image control that shows
// its picture at its own logical size from the top-left corner and reports the mouse in
// those units, a track bar over a range of fractional values that keeps the exact value
// it was given, and a colour picker button.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSlider>
#include <QToolButton>
#include <QWidget>

// The picture is drawn unscaled at its device pixel ratio, so a bitmap made at the
// display's scale with the control's logical size fills it exactly, and a mouse position
// is a position in the picture's logical units.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    // Keeps the control as large as its picture (inside a scroll box).
    void setSizeToPicture(bool on) { m_sizeToPicture = on; }

signals:
    void pressed(QPointF position);
    void moved(QPointF position);
    void released(QPointF position);
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage m_picture;
    bool m_sizeToPicture = false;
};

// A horizontal track bar over minimum..maximum in steps of 1 / `stepsPerUnit`. The value
// set by setValue is kept exactly (the weights start at 0.7950819730758667, which no
// step hits) until the user moves the bar, which snaps it to a step.
class FractionSlider : public QSlider {
    Q_OBJECT
public:
    FractionSlider(double minimum, double maximum, double stepsPerUnit, QWidget* parent = nullptr);
    double fractionValue() const { return m_value; }
    void setFractionValue(double value);
    double minimumValue() const { return m_min; }
    double maximumValue() const { return m_max; }

signals:
    void fractionChanged(double value);

private:
    void onSliderValue(int position);
    int toPosition(double value) const;

    double m_min;
    double m_max;
    double m_steps;
    double m_value;
    bool m_setting = false;
};

// A button filled with its colour; a click offers the colour dialog.
class ColorPickerButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColorPickerButton(QWidget* parent = nullptr);
    QRgb color() const { return m_color; }
    // Emits colorChanged when the colour differs.
    void setColor(QRgb argb);

signals:
    void colorChanged(QRgb argb);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void pick();
    QRgb m_color = 0xFFFFFFFF;
};
