#pragma once
// Finding the controls of a window by their names and using them as a user would.

#include <QAbstractButton>
#include <QAction>
#include <QTest>
#include <QWidget>

// The child of `window` called `name`, or null.
template <typename T = QWidget> T* Control(QWidget* window, const char* name)
{
    return window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
}

// A left click in the middle of a button; false when there is no such button.
inline bool ClickButton(QWidget* window, const char* name)
{
    auto* b = Control<QAbstractButton>(window, name);
    if (!b) return false;
    QTest::mouseClick(b, Qt::LeftButton);
    return true;
}

// Triggers the menu item called `name` of `window`; false when there is none.
inline bool TriggerMenuItem(QWidget* window, const char* name)
{
    auto* a = window ? window->findChild<QAction*>(QLatin1String(name)) : nullptr;
    if (!a) return false;
    a->trigger();
    return true;
}

// Shows the window and waits until it is on screen.
inline bool ShowAndWait(QWidget* window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window);
}
