#pragma once
// The output windows build their controls in code; each control carries the object name
// the window's tests and the manual's screenshots find it by.

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QString>

namespace named_controls {

inline QLabel* label(const char* name, const QString& text)
{
    auto* l = new QLabel(text);
    l->setObjectName(QLatin1String(name));
    return l;
}

inline QSpinBox* spinBox(const char* name, int minimum, int maximum, int value)
{
    auto* s = new QSpinBox;
    s->setObjectName(QLatin1String(name));
    s->setRange(minimum, maximum);
    s->setValue(value);
    return s;
}

inline QRadioButton* radio(const char* name, const QString& text)
{
    auto* r = new QRadioButton(text);
    r->setObjectName(QLatin1String(name));
    return r;
}

inline QPushButton* button(const char* name, const QString& text)
{
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace named_controls
