#pragma once
// Windows-1252, the 8-bit code page of every stored text field.

#include <QByteArray>
#include <QString>

// Characters the code page cannot hold are replaced by '?'. `exact`, when given, is set
// to whether every character survived, for callers that need a faithful round trip.
QByteArray toCp1252(const QString& text, bool* exact = nullptr);
QString fromCp1252(const QByteArray& bytes);
// True when `text` survives a round trip through the code page unchanged.
bool fitsCp1252(const QString& text);
