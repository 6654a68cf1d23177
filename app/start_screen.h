#pragma once
// The start screen: a tool window kept on top while the sample content is installed at
// first start, with the product's version, release and links.

#include <QImage>
#include <QWidget>

class AppContext;

class Tfstartscreen : public QWidget {
    Q_OBJECT
public:
    explicit Tfstartscreen(AppContext& app);

    // Shows the window centred on `over`.
    void showOver(QWidget* over);

private:
    AppContext& m_app;
};

// The fixed illustration of the start screen: a mosaic of rounded tiles over a dark
// grout, the tiles coloured from a landscape at dusk. The same picture every time.
QImage StartScreenIllustration(int width, int height);
