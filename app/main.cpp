// Program entry of the desktop application.

#include "imaging/fonts.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillary"));
    QApplication::setApplicationVersion(QStringLiteral("19.61"));
    RegisterBundledFonts();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quillary 19.61"));
    window.setCentralWidget(new QLabel(QStringLiteral("Quillary")));
    window.resize(1049, 659);
    window.show();
    return app.exec();
}
