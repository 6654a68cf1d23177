#include "imaging/fonts.h"

#include <QFontDatabase>

bool RegisterBundledFonts()
{
    const int regular = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
    const int bold = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans-Bold.ttf"));
    return regular >= 0 && bold >= 0;
}
