#pragma once
// Numbers in texts and generated files follow the user's number format: printf-style
// widths ("%4.2f", "%6.2f", "%3d") with the locale's decimal separator and no thousands
// separator. Tests pass an explicit locale.

#include <QLocale>
#include <QString>

// "%<width>.<decimals>f": fixed point, right-aligned in `width` characters (never cut).
QString FormatFixed(double value, int decimals, int width = 0, const QLocale& locale = QLocale());
// "%<width>d".
QString FormatInt(long long value, int width = 0);
// A number typed by the user in the locale's format (either '.' or the locale's
// separator is accepted). False, leaving `value` alone, when the text is not a number.
bool ParseUserNumber(const QString& text, double& value, const QLocale& locale = QLocale());
