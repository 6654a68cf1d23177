#pragma once
// Building tile libraries: creating a library folder, adding photos (one at a time or
// many in parallel), the placeholder picture of a new library and the listing of the
// libraries on disk. The per-photo operations AddImgFile2, ImgFileExists and
// BuildPreview are methods of TTilelib (tilelib/tilelib.h).
//
// Shared rules:
// - Nothing here saves the catalogue; the caller calls SaveTilelib when the user
//   confirms. Picture files (the source copy, the ready tile, the preview) are written at
//   once, each through a temporary file, so a failed write keeps the previous file.
// - A photo is stored under one file name, the same in "source" and "ready": its own
//   name when the 8-bit code page of the catalogue holds it and it fits the 255 stored
//   bytes, otherwise a safe name made from it (TileFileNameFor). A name that an item
//   already carries is never given to a second item.
// - A photo that cannot be read, decoded or written leaves the library as it was: Count,
//   every item record and the folders (no new source copy, no ready tile).

#include "platform/result.h"
#include "platform/services.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class TTilelib;

// Largest tile side in pixels a library may have (the new-library window's limit).
inline constexpr int kMaxTilePixels = 800;

// The placeholder preview of a new library: 512 x 512, opaque white, the words EMPTY,
// IMAGE and LIBRARY in blue capitals on three centred lines.
QImage EmptyLibraryPlaceholder();

// Sets up `lib` as a new, empty library in `folder` and writes its first files: the
// "source" and "ready" folders (with any missing parents), the placeholder preview.jpg
// and imagelib.dat with Count 0. Rootpath is `folder` as given, name `name` (both cut to
// 255 stored characters), widthPx x heightPx the tile size, SizeUnit inch, DPI `ppi` and
// Widthf = widthPx / DPI, Heightf = heightPx / DPI. The caller has checked that the
// folder is empty or missing. Refused before anything is written: an empty name, a side
// outside 1..kMaxTilePixels, a ppi that is not a positive number. When a write fails the
// library object already describes the new library; the folder holds what was written
// before the failure (the preview is written before the catalogue, so a folder never
// lists as a library without its preview).
Status CreateTileLibrary(TTilelib& lib, const QString& folder, const QString& name, int widthPx, int heightPx,
                         double ppi);

// Clears both lists and appends one entry per library folder found: the display name to
// `names` and the folder (root joined with the entry name) to `folders`, at the same
// position. Roots are scanned in the order given (the program's library folder first,
// then the user's); within a root, sub-folders come in the order the file system returns
// them and only those holding an imagelib.dat are listed. An empty or missing root gives
// nothing, and a second root that is the same folder as the first is not scanned again.
void ListTilelibs(QStringList& names, QStringList& folders, const QString& programRoot, const QString& userRoot);

// The file name a photo called `fileName` (no folder) is stored under, before it is made
// unique: `fileName` itself when it fits the code page exactly, has no control
// characters or backslashes and is at most 255 bytes long; otherwise each character the
// code page lacks is folded to its plain letters (é stays, ř becomes r, ﬁ becomes fi) or
// replaced by '_', control characters and backslashes become '_', and the part before
// the extension is cut so that the whole name fits 255 bytes.
QString TileFileNameFor(const QString& fileName);

struct AddPhotosOptions {
    // Skip photos whose file name (or stored name) an item already has, checked in list
    // order, so a name given twice is added once.
    bool skipExisting = true;
    // Worker threads for reading, decoding and measuring: 0 means one per core, 1 does all
    // the work on the calling thread, as AddImgFile2 would.
    int threads = 0;
};

struct AddPhotoFailure {
    QString path;
    QString message;
};

struct AddPhotosReport {
    QStringList added;             // paths of the photos added, in order
    QStringList skipped;           // paths skipped because their name was already present
    QList<AddPhotoFailure> failed; // photos that could not be read, decoded or written
    QStringList notAdded;          // photos left over once the library was full
    bool full = false;             // the library reached its capacity during the run
};

// Adds the photos as AddImgFile2 would, one after another, with the reading, decoding,
// resampling and colour measurement spread over worker threads. Items are committed in
// the order of `photos`, so the library ends exactly as after the same AddImgFile2 calls
// on one thread (skipping names already present when `skipExisting`); a failed photo is
// reported and the run goes on with the next. A full library stops the run and the
// remaining photos are listed in notAdded. Progress is a * 100 / n after photo a, and 0
// at the end; events are pumped between photos. At most twice as many photos as workers
// are in memory at a time.
AddPhotosReport AddPhotos(TTilelib& lib, const QStringList& photos, const AddPhotosOptions& options, Progress* progress,
                          const Platform& platform);
