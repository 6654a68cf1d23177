#pragma once
// Rendered projects for the assembly-output windows, built in code straight into an
// application's workspace: a grid of square cells, tiles of flat colours (or a library
// written to disk when pictures are needed), and the rendered mark that unlocks the main
// window's guarded commands.

#include "imaging/color_records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class Workspace;

// Lays `cols` x `rows` square cells of `cell` layout units into ws.mproject, without
// gaps, in pixel units with a working canvas as large as the layout; size unit "pixel";
// every cell without a tile.
void LayGridProject(Workspace& ws, int cols, int rows, double cell);

// The flat colour the fixtures give tile i.
TAlphaColor FixtureTileColor(int i);

// Makes the working library `count` tiles of the flat colours FixtureTileColor (no
// pictures on disk).
void ColourTiles(Workspace& ws, int count);

// Writes a library of `count` flat-coloured tiles into `folder` and loads it as the
// working library; an empty string on success, else the reason.
QString LoadPictureLibrary(Workspace& ws, const QString& folder, int count);

// Marks the project searched and rendered.
void MarkRendered(Workspace& ws);

QByteArray ReadFileBytes(const QString& path);

// The names of the files in `folder`, sorted.
QStringList FileNamesIn(const QString& folder);
