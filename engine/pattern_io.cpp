// Reading and writing ".pat" files: the raw TpatternCfg record, 2832 bytes.

#include "engine/patterns.h"

#include "platform/file_io.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

Status checkGroupCount(const QString& fileName, const char* field, std::int32_t count)
{
    if (count < 1 || count > kPatternGroupMax)
        return Failure(QStringLiteral("%1: %2 is %3, expected 1..%4")
                           .arg(fileName, QLatin1String(field))
                           .arg(count)
                           .arg(kPatternGroupMax));
    return {};
}

} // namespace

Status LoadPattern(TpatternCfg& pattern, const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        return {};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("%1: cannot open for reading (%2)").arg(fileName, file.errorString()));
    // Only the leading record counts; anything after it is not the pattern's.
    const QByteArray bytes = file.read(static_cast<qint64>(sizeof(TpatternCfg)));
    if (file.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("%1: read failed (%2)").arg(fileName, file.errorString()));
    return LoadPatternFromBytes(pattern, bytes, fileName);
}

Status LoadPatternFromBytes(TpatternCfg& pattern, const QByteArray& bytes, const QString& fileName)
{
    // A short file fills only the leading part; the rest keeps the current pattern.
    TpatternCfg loaded = pattern;
    const std::size_t size = std::min(static_cast<std::size_t>(bytes.size()), sizeof loaded);
    std::memcpy(&loaded, bytes.constData(), size);
    // The group counts drive the modulo addressing of the 8 x 8 group: zero would divide
    // by zero and more than 8 would address outside it.
    if (Status st = checkGroupCount(fileName, "HorzGroupCount", loaded.HorzGroupCount); !st)
        return st;
    if (Status st = checkGroupCount(fileName, "VertGroupCount", loaded.VertGroupCount); !st)
        return st;
    pattern = loaded;
    return {};
}

Status SavePattern(const TpatternCfg& pattern, const QString& fileName)
{
    TpatternCfg out = pattern;
    // The characters after the length carry no meaning and are written as zeros.
    const int len = out.Name.length();
    std::memset(out.Name.chars + len, 0, sizeof out.Name.chars - static_cast<std::size_t>(len));
    out.Name.len = static_cast<std::uint8_t>(len);
    std::memset(out.gap268, 0, sizeof out.gap268);
    return writeFileAtomically(fileName, reinterpret_cast<const char*>(&out), sizeof out);
}
