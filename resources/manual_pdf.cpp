#include "resources/manual_pdf.h"

#include "imaging/fonts.h"
#include "platform/file_io.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

Status WriteManualPdf(const QString& markdownPath, const QString& pdfPath)
{
    auto text = readWholeFile(markdownPath, 16 << 20);
    if (!text)
        return Failure(text.error());

    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Quillary User Manual"));
        writer.setCreator(QStringLiteral("Quillary 19.61"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        writer.setResolution(150);

        QTextDocument doc;
        doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(markdownPath).absolutePath() + QLatin1Char('/')));
        QFont font(TextFontFamily());
        font.setPointSizeF(10.5);
        doc.setDefaultFont(font);
        doc.setDefaultStyleSheet(QStringLiteral("code { font-family: DejaVu Sans Mono; }"));
        doc.setMarkdown(QString::fromUtf8(*text));
        doc.print(&writer);
    }
    if (pdf.size() < 1000 || !pdf.startsWith("%PDF"))
        return Failure(QStringLiteral("%1: the manual could not be typeset").arg(pdfPath));
    return writeFileAtomically(pdfPath, pdf);
}
