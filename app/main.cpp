// Program entry of the desktop application.

#include "app/app_context.h"
#include "app/main_window.h"
#include "engine/data_folders.h"
#include "imaging/fonts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillary"));
    QApplication::setApplicationVersion(QStringLiteral("19.61"));
    QApplication::setDesktopFileName(QStringLiteral("quillary"));
    RegisterBundledFonts();

    AppOptions options;
    options.executableFolder = QCoreApplication::applicationDirPath();
    options.documentsFolder = DocumentsFolder();
    options.resourceRoot = QStringLiteral(":/content");
    options.arguments = QCoreApplication::arguments().mid(1);
    AppContext context(std::move(options));
    context.createWindows();
    context.Form1->show();
    return app.exec();
}
