#include "engine/data_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

TEST(InitDataFolders, FirstStartCreatesExactlyTheUserFolders)
{
    QTemporaryDir docs, exe;
    auto ws = std::make_unique<Workspace>();
    ASSERT_TRUE(InitDataFolders(*ws, exe.path(), docs.path()).ok());

    const QString root = QDir(docs.path()).filePath("Quillary");
    EXPECT_EQ(ws->folders.DataRoot, root);
    EXPECT_EQ(QDir(docs.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Quillary"});
    QStringList made = QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    made.sort();
    EXPECT_EQ(made, (QStringList{"DLCs", "Patterns", "Projects", "Tilelibs"}));
    // The program side is only read: a missing Data folder is not created.
    EXPECT_FALSE(QFileInfo::exists(QDir(exe.path()).filePath("Data")));
    EXPECT_EQ(ws->folders.ProgramFolder, QDir(exe.path()).absolutePath() + "/");
    EXPECT_EQ(ws->folders.programPatternFolder, QDir(exe.path()).filePath("Data/Patterns"));
    EXPECT_EQ(ws->folders.userLibraryFolder, root + "/Tilelibs");
}

TEST(InitDataFolders, SecondStartChangesNothing)
{
    QTemporaryDir docs, exe;
    auto ws = std::make_unique<Workspace>();
    ASSERT_TRUE(InitDataFolders(*ws, exe.path(), docs.path()).ok());
    const QString marker = QDir(docs.path()).filePath("Quillary/Projects/keep.txt");
    QFile f(marker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    ASSERT_TRUE(InitDataFolders(*ws, exe.path(), docs.path()).ok());
    EXPECT_TRUE(QFileInfo::exists(marker));
}

TEST(InitDataFolders, ReportsAFolderThatCannotBeCreated)
{
    QTemporaryDir docs, exe;
    // A file where the data root should be.
    QFile blocker(QDir(docs.path()).filePath("Quillary"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto ws = std::make_unique<Workspace>();
    const Status st = InitDataFolders(*ws, exe.path(), docs.path());
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("Quillary")) << st.error().toStdString();
}
