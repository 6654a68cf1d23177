#pragma once
// The data folders: read-only ones beside the executable, and the user's own under the
// documents folder, which are created at start.

#include "engine/workspace.h"
#include "platform/result.h"

#include <QString>

// Every path of the folder table from the executable's folder and the documents folder.
DataFolders ComputeDataFolders(const QString& executableFolder, const QString& documentsFolder);

// The documents folder as the platform reports it (QStandardPaths; tests set HOME or
// XDG_DOCUMENTS_DIR to a temporary folder).
QString DocumentsFolder();

// Seeds the workspace's random source from the clock, computes the folders into
// ws.folders and creates DataRoot, then the user library, user pattern, projects and
// package folders, each when missing. The program-side folders are never created. A
// folder that cannot be created is reported; the later ones are still tried.
Status InitDataFolders(Workspace& ws, const QString& executableFolder, const QString& documentsFolder);
