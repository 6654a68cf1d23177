#pragma once
// One tile library in memory: settings, Count, 2049 item records and their enable
// flags, held by value (about 66.7 MB, so library objects live on the heap). A tile is
// identified everywhere by its 0-based index in `items`.

#include "platform/result.h"
#include "tilelib/tilelib_records.h"

#include <QString>

class Progress;

class TTilelib : public TTilelibData {
public:
    // Every byte zero, Count 0.
    TTilelib();
    TTilelib(const TTilelib&) = delete;
    TTilelib& operator=(const TTilelib&) = delete;

    // Rootpath joined with "ready" (or "source") and the item's FileName. No range check.
    QString GetFullName(int index) const;
    QString GetsourceName(int index) const;
    // Default settings, Count 0, every FileName empty; other bytes stay.
    void emptytilelib();
    void ZeroUsecount();

    // Writes the whole catalogue to Rootpath/imagelib.dat through a temporary file.
    Status SaveTilelib() const;
    // Reads a catalogue (current or 1025-record) and sets Rootpath to its folder. A
    // refused file (unreadable, or a Count outside 0..2048) leaves the library as it was.
    Status LoadTilelib(const QString& path);

    // Building (library building and maintenance).
    bool ImgFileExists(const QString& fileName) const;
    // Adds the photo as item Count. Returns false, changing nothing, when the library is
    // full; an error when the photo cannot be copied, decoded or its tile written (the
    // library is then unchanged as well).
    Result<bool> AddImgFile2(const QString& photoPath);
    Status BuildPreview() const;

    QString rootPath() const { return cfg.Rootpath.get(); }
};

// The default configuration: brand and name "N/A", 400 x 300 pixels, shape 0.
TtileLibCfg DefaultTilelibCfg();

QString GetTilelibFileName(const QString& folder);
QString GetPreviewFileName(const QString& folder);
bool IsTilelibFolder(const QString& folder);
// The default configuration, replaced by the file's first 796 bytes when it exists.
TtileLibCfg ReadTilelibCfg(const QString& path);
// 0 when the file does not exist, else the Integer at offset 796.
int ReadTilelibCount(const QString& path);
