#pragma once
// The user manual: Markdown sources in docs/ typeset into a PDF with Qt's text layout.

#include "platform/result.h"

#include <QString>

// Pictures referenced by the Markdown are resolved relative to the Markdown file.
Status WriteManualPdf(const QString& markdownPath, const QString& pdfPath);
