#pragma once
// A one-sheet .xlsx workbook. The only user of libxlsxwriter; none of its types leaves
// xlsx_writer.cpp.

#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

// `rows` cells are numbers (int, double) or text (anything else, converted to text).
// Written to a temporary file in the target folder, then renamed over `path`.
Status WriteXlsxSheet(const QString& path, const QStringList& headers, const std::vector<std::vector<QVariant>>& rows);
