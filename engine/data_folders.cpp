#include "engine/data_folders.h"

#include "platform/file_io.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

DataFolders ComputeDataFolders(const QString& executableFolder, const QString& documentsFolder)
{
    DataFolders f;
    f.ProgramFolder = QDir(executableFolder).absolutePath();
    if (!f.ProgramFolder.endsWith(QLatin1Char('/')))
        f.ProgramFolder += QLatin1Char('/');
    f.programDataFolder = f.ProgramFolder + QStringLiteral("Data");
    f.programLibraryFolder = joinPath(f.programDataFolder, QStringLiteral("Tilelibs"));
    f.programPatternFolder = joinPath(f.programDataFolder, QStringLiteral("Patterns"));
    f.DataRoot = joinPath(QDir(documentsFolder).absolutePath(), QStringLiteral("Quillary"));
    f.userLibraryFolder = joinPath(f.DataRoot, QStringLiteral("Tilelibs"));
    f.userPatternFolder = joinPath(f.DataRoot, QStringLiteral("Patterns"));
    f.projectsFolder = QFileInfo(joinPath(f.DataRoot, QStringLiteral("Projects"))).absoluteFilePath();
    f.packageFolder = QFileInfo(joinPath(f.DataRoot, QStringLiteral("DLCs"))).absoluteFilePath();
    return f;
}

QString DocumentsFolder()
{
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return docs;
}

Status InitDataFolders(Workspace& ws, const QString& executableFolder, const QString& documentsFolder)
{
    ws.random().seed(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    ws.folders = ComputeDataFolders(executableFolder, documentsFolder);
    const DataFolders& f = ws.folders;
    QStringList failed;
    for (const QString& folder : {f.DataRoot, f.userLibraryFolder, f.userPatternFolder, f.projectsFolder, f.packageFolder}) {
        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
            failed << folder;
    }
    if (!failed.isEmpty())
        return Failure(QStringLiteral("cannot create the data folder %1").arg(failed.join(QStringLiteral(", "))));
    return {};
}
