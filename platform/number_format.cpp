#include "platform/number_format.h"

#include <cmath>

QString FormatFixed(double value, int decimals, int width, const QLocale& locale)
{
    QString s = QString::asprintf("%.*f", decimals, value);
    const QString point = locale.decimalPoint();
    if (point != QLatin1String("."))
        s.replace(QLatin1Char('.'), point);
    if (s.size() < width)
        s = QString(width - s.size(), QLatin1Char(' ')) + s;
    return s;
}

QString FormatInt(long long value, int width)
{
    return QString::asprintf("%*lld", width, value);
}

bool ParseUserNumber(const QString& text, double& value, const QLocale& locale)
{
    const QString t = text.trimmed();
    bool ok = false;
    const double v = locale.toDouble(t, &ok);
    if (ok && std::isfinite(v)) {
        value = v;
        return true;
    }
    const double c = QLocale::c().toDouble(t, &ok);
    if (ok && std::isfinite(c)) {
        value = c;
        return true;
    }
    return false;
}
