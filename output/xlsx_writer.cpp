#include "output/xlsx_writer.h"

#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

Status WriteXlsxSheet(const QString& path, const QStringList& headers, const std::vector<std::vector<QVariant>>& rows)
{
    const QFileInfo target(path);
    QString tempPath;
    {
        // Reserve a unique name beside the target; libxlsxwriter then writes it anew.
        QTemporaryFile reserve(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            return Failure(QStringLiteral("%1: cannot create a file in %2 (%3)")
                               .arg(path, target.absolutePath(), reserve.errorString()));
        tempPath = reserve.fileName();
    }
    const QByteArray tempName = QFile::encodeName(tempPath);
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(tempName.constData(), &options);
    if (!book) {
        QFile::remove(tempPath);
        return Failure(QStringLiteral("%1: cannot start the workbook").arg(path));
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    for (int c = 0; c < headers.size(); ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), headers[c].toUtf8().constData(), nullptr);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const QVariant& v = rows[r][c];
            const auto col = static_cast<lxw_col_t>(c);
            const auto type = v.typeId();
            if (type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::Double ||
                type == QMetaType::UInt || type == QMetaType::ULongLong)
                worksheet_write_number(sheet, row, col, v.toDouble(), nullptr);
            else
                worksheet_write_string(sheet, row, col, v.toString().toUtf8().constData(), nullptr);
        }
    }
    const lxw_error err = workbook_close(book);
    if (err != LXW_NO_ERROR) {
        QFile::remove(tempPath);
        return Failure(QStringLiteral("%1: cannot write the workbook (%2)")
                           .arg(path, QString::fromLatin1(lxw_strerror(err))));
    }
    return replaceFileWith(tempPath, path);
}
