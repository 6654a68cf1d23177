#pragma once
// One tile library in memory: settings, Count, 2049 item records and their enable
// flags, held by value (about 66.7 MB, so library objects live on the heap). A tile is
// identified everywhere by its 0-based index in `items`.

#include "platform/result.h"
#include "tilelib/tilelib_records.h"

#include <QByteArray>
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

    // Writes the whole catalogue to rootPath()/imagelib.dat through a temporary file, so
    // a failed write keeps the previous file. The insignificant bytes (string tails, the
    // flag and gap bytes of the items, hsl) are written as zeros. Refused when the
    // library has no folder.
    Status SaveTilelib() const;
    // Reads a catalogue (current or 1025-record), copying what the file covers over the
    // data, and sets Rootpath to the file's folder with a trailing separator. A longer
    // file is read up to the current size. Refused, leaving the library as it was: a file
    // that cannot be read, one shorter than the settings and Count (800 bytes), a Count
    // outside 0..2048, a file too short to hold its Count items, or an item below Count
    // whose FileName is "." or "..", or holds a folder separator ('/' or '\\') or a NUL.
    Status LoadTilelib(const QString& path);
    // The same over the file's bytes already in memory; `path` is the file they came from.
    Status LoadTilelibFromBytes(const QByteArray& bytes, const QString& path);

    // Building (library building and maintenance).
    bool ImgFileExists(const QString& fileName) const;
    // Adds the photo as item Count. Returns false, changing nothing, when the library is
    // full; an error when the photo cannot be copied, decoded or its tile written (the
    // library is then unchanged as well).
    Result<bool> AddImgFile2(const QString& photoPath);
    Status BuildPreview() const;

    // Sets Rootpath (cut to its 255 stored characters) and keeps the folder as given, so
    // that a long folder, or one with characters the stored code page lacks, still gives
    // working paths.
    void setRootpath(const QString& folder);
    // The library folder paths are built from: the folder last given to setRootpath (or
    // found by LoadTilelib) while Rootpath still holds its stored form, else Rootpath.
    QString rootPath() const;

private:
    QString m_rootFull;
};

// The default configuration: brand and name "N/A", 400 x 300 pixels, shape 0.
TtileLibCfg DefaultTilelibCfg();

QString GetTilelibFileName(const QString& folder);
QString GetPreviewFileName(const QString& folder);
// True when a tile's file name stays inside the folder it is joined to: no folders,
// no "." or "..", no NUL (tile pictures are found, copied and written that way).
bool IsPlainTileFileName(const QString& name);
// True when folder/imagelib.dat is a file.
bool IsTilelibFolder(const QString& folder);
// The default configuration, replaced by the file's first 796 bytes when it has them.
TtileLibCfg ReadTilelibCfg(const QString& path);
// 0 when the file does not exist (or is shorter than 800 bytes), else the Integer at
// offset 796 as stored, unchecked.
int ReadTilelibCount(const QString& path);
