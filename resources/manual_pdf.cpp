#include "resources/manual_pdf.h"

#include "imaging/fonts.h"
#include "platform/file_io.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace {

// Finds pictures beside the Markdown file or in the extra picture folders.
class ManualDocument : public QTextDocument {
public:
    ManualDocument(QString markdownFolder, QStringList pictureFolders, double maxWidth)
        : m_folders(QStringList{std::move(markdownFolder)} + pictureFolders), m_maxWidth(maxWidth)
    {
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type != QTextDocument::ImageResource) return QTextDocument::loadResource(type, name);
        // The name may arrive resolved against the Markdown file's folder already.
        QString relative = name.isRelative() ? name.path() : QString();
        QStringList candidates;
        if (name.isLocalFile()) {
            const QString file = name.toLocalFile();
            candidates << file;
            const QString base = m_folders.first() + QLatin1Char('/');
            if (file.startsWith(base)) relative = file.mid(base.size());
        }
        if (!relative.isEmpty())
            for (const QString& folder : m_folders)
                candidates << QDir(folder).filePath(relative);
        for (const QString& file : candidates) {
            QImage picture(file);
            if (picture.isNull()) continue;
            if (picture.width() > m_maxWidth)
                picture = picture.scaledToWidth(static_cast<int>(m_maxWidth), Qt::SmoothTransformation);
            return picture;
        }
        return QTextDocument::loadResource(type, name);
    }

private:
    QStringList m_folders;
    double m_maxWidth;
};

} // namespace

Status WriteManualPdf(const QString& markdownPath, const QString& pdfPath, const QStringList& pictureFolders)
{
    auto text = readWholeFile(markdownPath, 16 << 20);
    if (!text) return Failure(text.error());

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

        // The text width in the document's units, which print() maps to the page.
        const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
        const double textWidth = page.width() * 96.0 / writer.resolution();
        ManualDocument doc(QFileInfo(markdownPath).absolutePath(), pictureFolders, textWidth * 0.9);
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
