#include "tilelib/tilelib.h"

#include "platform/file_io.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

TTilelib::TTilelib()
{
    std::memset(static_cast<TTilelibData*>(this), 0, sizeof(TTilelibData));
}

QString TTilelib::GetFullName(int index) const
{
    return joinPath(joinPath(rootPath(), QStringLiteral("ready")), items[index].FileName.get());
}

QString TTilelib::GetsourceName(int index) const
{
    return joinPath(joinPath(rootPath(), QStringLiteral("source")), items[index].FileName.get());
}

void TTilelib::emptytilelib()
{
    cfg = DefaultTilelibCfg();
    Count = 0;
    for (TTileItem& item : items)
        item.FileName.clear();
    m_rootFull.clear();
}

void TTilelib::ZeroUsecount()
{
    const int n = std::clamp(Count, 0, kTileCapacity);
    for (int i = 0; i < n; ++i)
        items[i].Usecount = 0;
}

void TTilelib::setRootpath(const QString& folder)
{
    cfg.Rootpath.set(folder);
    m_rootFull = folder;
}

QString TTilelib::rootPath() const
{
    if (!m_rootFull.isEmpty()) {
        // Valid only while nobody has written another folder into the record since.
        ShortString<255> stored;
        stored.set(m_rootFull);
        if (stored.length() == cfg.Rootpath.length() &&
            std::memcmp(stored.chars, cfg.Rootpath.chars, static_cast<size_t>(stored.length())) == 0)
            return m_rootFull;
    }
    return cfg.Rootpath.get();
}

TtileLibCfg DefaultTilelibCfg()
{
    TtileLibCfg c;
    std::memset(&c, 0, sizeof c);
    c.brand.set(QStringLiteral("N/A"));
    c.name.set(QStringLiteral("N/A"));
    c.widthPx = 400;
    c.heightPx = 300;
    c.shape = 0;
    return c;
}

QString GetTilelibFileName(const QString& folder)
{
    return joinPath(folder, QStringLiteral("imagelib.dat"));
}

QString GetPreviewFileName(const QString& folder)
{
    return joinPath(folder, QStringLiteral("preview.jpg"));
}

bool IsPlainTileFileName(const QString& name)
{
    return name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

bool IsTilelibFolder(const QString& folder)
{
    return QFileInfo(GetTilelibFileName(folder)).isFile();
}
