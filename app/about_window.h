#pragma once
// The about window: product name, version and release date, a link to the home page.

#include <QWidget>

class AppContext;

class Tfabout : public QWidget {
    Q_OBJECT
public:
    explicit Tfabout(AppContext& app);
    // Shows the window centred on `over`, above it.
    void showOver(QWidget* over);

private:
    AppContext& m_app;
};
