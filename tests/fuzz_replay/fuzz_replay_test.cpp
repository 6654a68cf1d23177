// Every file under tests/<layer>/regressions/ is an input on which a fuzz target once
// crashed or broke one of its checks. Its name starts with the target's name
// ("fuzz_project_file-robot-page-before-the-first.prj"); it is replayed through that
// target's entry point, which aborts the test program on any crash or failed check.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#define QUILLARY_FUZZ_TARGET(name)                                                                                     \
    extern "C" int name##_Initialize(int* argc, char*** argv);                                                         \
    extern "C" int name##_OneInput(const std::uint8_t* data, std::size_t size);
QUILLARY_FUZZ_TARGET(fuzz_project_file)
QUILLARY_FUZZ_TARGET(fuzz_catalogue)
QUILLARY_FUZZ_TARGET(fuzz_pattern)
QUILLARY_FUZZ_TARGET(fuzz_zip_extract)
QUILLARY_FUZZ_TARGET(fuzz_picture)
#undef QUILLARY_FUZZ_TARGET

namespace {

struct Target {
    const char* name;
    int (*initialize)(int*, char***);
    int (*oneInput)(const std::uint8_t*, std::size_t);
};

const Target kTargets[] = {
    {"fuzz_project_file", fuzz_project_file_Initialize, fuzz_project_file_OneInput},
    {"fuzz_catalogue", fuzz_catalogue_Initialize, fuzz_catalogue_OneInput},
    {"fuzz_pattern", fuzz_pattern_Initialize, fuzz_pattern_OneInput},
    {"fuzz_zip_extract", fuzz_zip_extract_Initialize, fuzz_zip_extract_OneInput},
    {"fuzz_picture", fuzz_picture_Initialize, fuzz_picture_OneInput},
};

QStringList regressionFiles()
{
    QStringList files;
    QDirIterator it(QStringLiteral(QUILLARY_TESTS_DIR), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).dir().dirName() == QLatin1String("regressions")) files << path;
    }
    files.sort();
    return files;
}

const Target* targetOf(const QString& fileName)
{
    for (const Target& t : kTargets)
        if (fileName.startsWith(QLatin1String(t.name) + QLatin1Char('-'))) return &t;
    return nullptr;
}

} // namespace

TEST(FuzzRegressions, EveryFileNamesItsTarget)
{
    const QStringList files = regressionFiles();
    EXPECT_FALSE(files.isEmpty());
    for (const QString& path : files)
        EXPECT_NE(targetOf(QFileInfo(path).fileName()), nullptr) << path.toStdString();
}

TEST(FuzzRegressions, EveryFileReplaysWithoutACrash)
{
    bool initialized[std::size(kTargets)] = {};
    for (const QString& path : regressionFiles()) {
        SCOPED_TRACE(path.toStdString());
        const Target* target = targetOf(QFileInfo(path).fileName());
        if (!target) continue;
        const std::size_t index = std::size_t(target - kTargets);
        if (!initialized[index]) {
            int argc = 0;
            char** argv = nullptr;
            target->initialize(&argc, &argv);
            initialized[index] = true;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(target->oneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
                  0);
    }
}
