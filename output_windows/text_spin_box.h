#pragma once
// A spin box that keeps the text as the user typed it. The arrows and the arrow keys
// step the number the text holds, within the range; what the text means is read by the
// window when it acts, so a text that is not a number reaches the window (which reports
// it) instead of being silently put back.

#include <QAbstractSpinBox>
#include <QLocale>

class TextSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TextSpinBox(QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    // Writes the number as the text.
    void setValue(double value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    QString format(double value) const;
    double m_minimum = 0;
    double m_maximum = 99;
};
