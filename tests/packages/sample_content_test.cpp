#include "packages/sample_content.h"

#include "engine/data_folders.h"
#include "engine/workspace.h"
#include "packages/zip_write.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordingMonitor final : public ExtractionMonitor {
public:
    struct P : Progress {
        void setValue(int v) override { value = v; }
        void setText(const QString& t) override { text = t; }
        int value = -1;
        QString text;
    };
    void showPackage(const QString& caption) override { captions << caption; }
    Progress* progress() override { return &p; }
    void close() override { ++closed; }
    QStringList captions;
    P p;
    int closed = 0;
};

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A resource root holding a small library package, a pattern pack and a manual.
struct Content {
    QTemporaryDir root;
    explicit Content(bool brokenLibrary = false)
    {
        QList<ZipSource> lib = {ZipSource::fromBytes("imagelib.dat", QByteArray(1000, 'c')),
                                ZipSource::fromBytes("preview.jpg", "jpeg"), ZipSource::folderEntry("source/"),
                                ZipSource::folderEntry("ready/"), ZipSource::fromBytes("ready/a.jpg", "a")};
        EXPECT_TRUE(WriteZip(root.filePath("Resource_1"), lib).ok());
        if (brokenLibrary) {
            QByteArray bytes = readFile(root.filePath("Resource_1"));
            bytes.truncate(bytes.size() / 2);
            EXPECT_TRUE(writeFileAtomically(root.filePath("Resource_1"), bytes).ok());
        }
        QList<ZipSource> pats = {ZipSource::fromBytes("10_Rectangle.pat", QByteArray(2832, 1)),
                                 ZipSource::fromBytes("10_Rectangle.pat.jpg", "p"),
                                 ZipSource::fromBytes("20_Ellipse.pat", QByteArray(2832, 2))};
        EXPECT_TRUE(WriteZip(root.filePath("Resource_2"), pats).ok());
        EXPECT_TRUE(writeFileAtomically(root.filePath("Resource_3"), QByteArray("%PDF-1.4 manual")).ok());
    }
};

struct Machine {
    QTemporaryDir docs, exe;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    Machine() { EXPECT_TRUE(InitDataFolders(*ws, exe.path(), docs.path()).ok()); }
    QString data(const QString& rel) const { return joinPath(ws->folders.DataRoot, rel); }
};

} // namespace

TEST(InstallSampleContent, FirstStartWritesTheFilesAndExtractsBothPackages)
{
    Content content;
    Machine m;
    RecordingMonitor monitor;
    ASSERT_TRUE(InstallSampleContent(*m.ws, content.root.path(), &monitor).ok());

    EXPECT_EQ(readFile(m.data("QLYhelp.pdf")), QByteArray("%PDF-1.4 manual"));
    EXPECT_EQ(readFile(m.data("Patterns.zip")), readFile(content.root.filePath("Resource_2")));
    EXPECT_EQ(readFile(m.data("Tilelibs/DefaultSample.zip")), readFile(content.root.filePath("Resource_1")));
    EXPECT_TRUE(QFileInfo(m.data("Tilelibs/DefaultSample/imagelib.dat")).isFile());
    EXPECT_TRUE(QFileInfo(m.data("Tilelibs/DefaultSample/source")).isDir());
    EXPECT_TRUE(QFileInfo(m.data("Tilelibs/DefaultSample/ready/a.jpg")).isFile());
    EXPECT_FALSE(QFileInfo::exists(m.data("Tilelibs/DefaultSample.partial")));
    EXPECT_TRUE(QFileInfo(m.data("Patterns/20_Ellipse.pat")).isFile());
    EXPECT_TRUE(QFileInfo(m.data("Patterns/10_Rectangle.pat.jpg")).isFile());
    EXPECT_EQ(monitor.captions, (QStringList{"Default Img", "Pattern"}));
    EXPECT_EQ(monitor.closed, 1);
    EXPECT_EQ(monitor.p.text, QString("-/-"));
}

TEST(InstallSampleContent, SecondStartExtractsNothingAndRewritesOnlyTheZips)
{
    Content content;
    Machine m;
    ASSERT_TRUE(InstallSampleContent(*m.ws, content.root.path(), nullptr).ok());
    ASSERT_TRUE(writeFileAtomically(m.data("QLYhelp.pdf"), QByteArray("user's copy")).ok());
    ASSERT_TRUE(writeFileAtomically(m.data("Patterns.zip"), QByteArray("stale")).ok());
    ASSERT_TRUE(writeFileAtomically(m.data("Tilelibs/DefaultSample/ready/a.jpg"), QByteArray("edited")).ok());

    RecordingMonitor monitor;
    ASSERT_TRUE(InstallSampleContent(*m.ws, content.root.path(), &monitor).ok());
    EXPECT_TRUE(monitor.captions.isEmpty());
    EXPECT_EQ(readFile(m.data("QLYhelp.pdf")), QByteArray("user's copy"));
    EXPECT_EQ(readFile(m.data("Patterns.zip")), readFile(content.root.filePath("Resource_2")));
    EXPECT_EQ(readFile(m.data("Tilelibs/DefaultSample/ready/a.jpg")), QByteArray("edited"));
}

TEST(InstallSampleContent, OnlyAMissingEllipsePatternBringsThePackBack)
{
    Content content;
    Machine m;
    ASSERT_TRUE(InstallSampleContent(*m.ws, content.root.path(), nullptr).ok());

    QFile::remove(m.data("Patterns/10_Rectangle.pat"));
    RecordingMonitor first;
    ASSERT_TRUE(InstallSampleContent(*m.ws, content.root.path(), &first).ok());
    EXPECT_TRUE(first.captions.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m.data("Patterns/10_Rectangle.pat")));

    QFile::remove(m.data("Patterns/20_Ellipse.pat"));
    RecordingMonitor second;
    ASSERT_TRUE(InstallSampleContent(*m.ws, content.root.path(), &second).ok());
    EXPECT_EQ(second.captions, QStringList{"Pattern"});
    EXPECT_TRUE(QFileInfo::exists(m.data("Patterns/10_Rectangle.pat")));
}

TEST(InstallSampleContent, AFailedLibraryExtractionLeavesNoHalfLibraryAndIsRepairedNextTime)
{
    Machine m;
    {
        Content broken(/*brokenLibrary=*/true);
        const Status st = InstallSampleContent(*m.ws, broken.root.path(), nullptr);
        EXPECT_FALSE(st.ok());
        EXPECT_FALSE(QFileInfo::exists(m.data("Tilelibs/DefaultSample")));
        EXPECT_FALSE(QFileInfo::exists(m.data("Tilelibs/DefaultSample.partial")));
        // The other steps still ran.
        EXPECT_TRUE(QFileInfo::exists(m.data("Patterns/20_Ellipse.pat")));
    }
    Content good;
    ASSERT_TRUE(InstallSampleContent(*m.ws, good.root.path(), nullptr).ok());
    EXPECT_TRUE(QFileInfo(m.data("Tilelibs/DefaultSample/imagelib.dat")).isFile());
}

TEST(InstallSampleContent, AMissingResourceIsReportedByName)
{
    Content content;
    QFile::remove(content.root.filePath("Resource_3"));
    Machine m;
    const Status st = InstallSampleContent(*m.ws, content.root.path(), nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("Resource_3")) << st.error().toStdString();
    EXPECT_TRUE(QFileInfo::exists(m.data("Patterns/20_Ellipse.pat")));
}
