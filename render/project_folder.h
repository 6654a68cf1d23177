#pragma once
// Project folders: a saved project with everything it needs to be opened again without
// the library folder or the photo it was made from.
//
//   "ready"              the ready picture of every tile of the working library
//   "imagelib.dat"       the working library, its root being the folder
//   "mainimage.jpg"      fullSizeImage
//   "Mosaic.Prj"         the project, its RootPath being the folder
//   "MosaicPicture.jpg"  the picture the main window shows
//
// Both operations stop at the first failure and return its message (naming the file).

#include "platform/result.h"

#include <QImage>
#include <QString>

class Progress;
class Workspace;

// Writes the project folder `folder` (created with its "ready" folder when missing):
// copies every tile's ready picture, points the working library at the folder and
// saves it, saves fullSizeImage, sets RootPath to the folder and saves the project, and
// saves `mosaicPicture`. Re-saving into the folder the project already lives in keeps
// its pictures. A folder whose path does not fit the project's 250-character 8-bit
// RootPath (too long, or characters the code page lacks) is refused before anything
// is written, since the project could not be saved into it or opened from it; so is a
// library with a tile file name that has folders in it ("../x"). Later
// files are not written after a failure. Progress per tile copied, 0 at the end.
Status SaveProjectFolder(Workspace& ws, const QString& folder, const QImage& mosaicPicture, Progress* progress);

// Opens a project folder, given as the folder or its "Mosaic.Prj": loads the project,
// the folder's library and main picture, rebuilds the shape masks, sets mainImageScale
// (fullSizeImage pixels per working-canvas pixel), draws the final mosaic into
// `mainView` at PreviewScale (Draw_MosaicToView, mode 50) and sets Rendered.
// A folder without "Mosaic.Prj", "imagelib.dat" or "mainimage.jpg", or whose files do
// not load, is refused with the reason and leaves mproject, moptions, mtilelib,
// fullSizeImage, mainImageScale and the shape masks as they were. When the files load
// but the drawing fails (a tile picture missing from "ready"), the project is open but
// not rendered (Rendered false) and the drawing's message is returned.
Status OpenMosaicProject(Workspace& ws, const QString& projectFile, QImage& mainView, Progress* progress);
