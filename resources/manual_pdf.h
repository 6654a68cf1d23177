#pragma once
// The user manual: Markdown sources in docs/ typeset into a PDF with Qt's text layout.

#include "platform/result.h"

#include <QString>
#include <QStringList>

// Pictures referenced by the Markdown are resolved relative to the Markdown file, then
// relative to each of `pictureFolders` in turn (the window pictures are made in the
// build folder). Pictures wider than the text are scaled down to its width. A picture
// found nowhere is left out of the manual.
Status WriteManualPdf(const QString& markdownPath, const QString& pdfPath, const QStringList& pictureFolders = {});
