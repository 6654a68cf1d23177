#pragma once
// The output windows build their controls in code; each control carries the object name
// the window's tests and the manual's screenshots find it by.

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QString>
#include <QVBoxLayout>

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

// "Page Size in Pixel": the three page sides the page windows offer, one of them
// chosen, 1000 at first.
struct PageSizeChoice {
    QGroupBox* box;
    QRadioButton *size1000, *size2000, *size4000;
};

inline PageSizeChoice pageSizeChoice(QWidget* owner)
{
    auto* box = new QGroupBox(QStringLiteral("Page Size in Pixel"));
    box->setObjectName(QStringLiteral("gb_pagesize"));
    const PageSizeChoice made{box, radio("rb_1000", QStringLiteral("1000x1000")),
                              radio("rb_2000", QStringLiteral("2000x2000")),
                              radio("rb_4000", QStringLiteral("4000x4000"))};
    made.size1000->setChecked(true);
    auto* group = new QButtonGroup(owner);
    auto* layout = new QVBoxLayout(box);
    for (QRadioButton* r : {made.size1000, made.size2000, made.size4000}) {
        group->addButton(r);
        layout->addWidget(r);
    }
    return made;
}

} // namespace named_controls
