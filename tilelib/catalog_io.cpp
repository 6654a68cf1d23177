// The one reader and writer of "imagelib.dat".

#include "tilelib/tilelib.h"

#include "platform/file_io.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr qint64 kHeaderSize = offsetof(TTilelibData, items); // settings and Count

template <int N> void zeroTail(ShortString<N>& s)
{
    std::memset(s.chars + s.length(), 0, static_cast<size_t>(N - s.length()));
}

void zeroReserved(TimgColorInfo& info)
{
    std::memset(&info.ci1.hsl, 0, sizeof(THSL));
    for (TColorInfo15& e : info.ci4)
        std::memset(&e.hsl, 0, sizeof(THSL));
    for (TColorInfo15& e : info.ci64)
        std::memset(&e.hsl, 0, sizeof(THSL));
}

// Bytes no reader interprets, written as zeros so that equal libraries give equal files.
void zeroInsignificant(TTilelibData& d)
{
    zeroTail(d.cfg.Rootpath);
    zeroTail(d.cfg.brand);
    zeroTail(d.cfg.name);
    for (TTileItem& item : d.items) {
        zeroTail(item.FileName);
        item.NewFlag = 0;
        item.DelFlag = 0;
        item.gap258[0] = item.gap258[1] = 0;
        zeroReserved(item.ColorInfo);
        for (TimgColorInfo& rot : item.RotColorInfo)
            zeroReserved(rot);
    }
}

// (An empty name names the folder itself, which no picture load or copy accepts.)
Status checkTileFileName(const QString& path, int index, const QString& name)
{
    if (IsPlainTileFileName(name)) return {};
    QString shown = name;
    shown.replace(QChar(0), QStringLiteral("\\0"));
    return Failure(QStringLiteral("%1: tile %2 has the file name \"%3\", a file name without folders expected")
                       .arg(path)
                       .arg(index)
                       .arg(shown));
}

} // namespace

Status TTilelib::SaveTilelib() const
{
    const QString folder = rootPath();
    if (folder.isEmpty())
        return Failure(QStringLiteral("imagelib.dat: the library has no folder (Rootpath is empty), cannot save it"));
    const QString path = GetTilelibFileName(folder);
    auto image = std::make_unique_for_overwrite<TTilelibData>();
    std::memcpy(image.get(), static_cast<const TTilelibData*>(this), kTilelibFileSize);
    zeroInsignificant(*image);
    return writeFileAtomically(path, reinterpret_cast<const char*>(image.get()), kTilelibFileSize);
}

Status TTilelib::LoadTilelib(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("%1: cannot open for reading (%2)").arg(path, file.errorString()));
    // Anything past the current size is ignored.
    const QByteArray bytes = file.read(static_cast<qint64>(kTilelibFileSize));
    if (file.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("%1: read failed (%2)").arg(path, file.errorString()));
    return LoadTilelibFromBytes(bytes, path);
}

Status TTilelib::LoadTilelibFromBytes(const QByteArray& bytes, const QString& path)
{
    const qint64 size = std::min<qint64>(bytes.size(), static_cast<qint64>(kTilelibFileSize));
    if (size < kHeaderSize)
        return Failure(QStringLiteral("%1: the file is %2 bytes, a tile-library catalogue has at least %3")
                           .arg(path)
                           .arg(size)
                           .arg(kHeaderSize));
    std::int32_t count;
    std::memcpy(&count, bytes.constData() + offsetof(TTilelibData, Count), sizeof count);
    if (count < 0 || count > kTileCountMax)
        return Failure(QStringLiteral("%1: Count is %2, expected 0 to %3").arg(path).arg(count).arg(kTileCountMax));
    const qint64 needed = kHeaderSize + qint64(count) * qint64(sizeof(TTileItem));
    if (size < needed)
        return Failure(QStringLiteral("%1: the file is %2 bytes, too short for its %3 tiles (%4 bytes expected)")
                           .arg(path)
                           .arg(size)
                           .arg(count)
                           .arg(needed));
    for (int i = 0; i < count; ++i) {
        ShortString<255> name;
        std::memcpy(&name, bytes.constData() + kHeaderSize + qint64(i) * qint64(sizeof(TTileItem)), sizeof name);
        if (Status st = checkTileFileName(path, i, name.get()); !st) return st;
    }

    // Settings, Count, items and enable flags as one run: an older, shorter catalogue
    // fills what it covers and the rest keeps its previous contents.
    std::memcpy(static_cast<TTilelibData*>(this), bytes.constData(), static_cast<size_t>(size));
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    setRootpath(folder);
    return {};
}

TtileLibCfg ReadTilelibCfg(const QString& path)
{
    TtileLibCfg cfg = DefaultTilelibCfg();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return cfg;
    const QByteArray bytes = file.read(sizeof(TtileLibCfg));
    if (bytes.size() == sizeof(TtileLibCfg)) std::memcpy(&cfg, bytes.constData(), sizeof cfg);
    return cfg;
}

int ReadTilelibCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offsetof(TTilelibData, Count))) return 0;
    const QByteArray bytes = file.read(sizeof(std::int32_t));
    if (bytes.size() != sizeof(std::int32_t)) return 0;
    std::int32_t count;
    std::memcpy(&count, bytes.constData(), sizeof count);
    return count;
}
