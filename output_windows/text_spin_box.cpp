#include "output_windows/text_spin_box.h"

#include "platform/number_format.h"

#include <QLineEdit>

#include <algorithm>

TextSpinBox::TextSpinBox(QWidget* parent) : QAbstractSpinBox(parent) {}

void TextSpinBox::setRange(double minimum, double maximum)
{
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
}

void TextSpinBox::setValue(double value)
{
    lineEdit()->setText(format(std::clamp(value, m_minimum, m_maximum)));
}

QString TextSpinBox::format(double value) const
{
    return locale().toString(value, 'g', 15);
}

void TextSpinBox::stepBy(int steps)
{
    double value = 0;
    // A text that is not a number starts again from the bottom of the range.
    if (ParseUserNumber(text(), value, locale()))
        setValue(value + steps);
    else
        setValue(m_minimum);
    selectAll();
}

QValidator::State TextSpinBox::validate(QString&, int&) const
{
    return QValidator::Acceptable;
}

void TextSpinBox::fixup(QString&) const {}

QSize TextSpinBox::sizeHint() const
{
    QSize s = QAbstractSpinBox::sizeHint();
    const int digits = fontMetrics().horizontalAdvance(format(m_maximum) + QStringLiteral("00"));
    s.setWidth(std::max(s.width(), digits + 24));
    return s;
}

QAbstractSpinBox::StepEnabled TextSpinBox::stepEnabled() const
{
    double value = 0;
    if (!ParseUserNumber(text(), value, locale())) return StepUpEnabled;
    StepEnabled e = StepNone;
    if (value > m_minimum) e |= StepDownEnabled;
    if (value < m_maximum) e |= StepUpEnabled;
    return e;
}
