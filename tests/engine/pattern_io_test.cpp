#include "engine/patterns.h"

#include "engine/builtin_patterns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray bytesOf(const TpatternCfg& p) { return QByteArray(reinterpret_cast<const char*>(&p), sizeof p); }

// A pattern that differs from the default everywhere a file could write.
TpatternCfg marker()
{
    TpatternCfg p = DefaultPattern();
    p.Hscale = 0.25f;
    p.Vscale = 0.125f;
    p.HorzGroupCount = 4;
    p.VertGroupCount = 5;
    for (auto& row : p.CellGroup)
        for (TCellGroupItem& e : row)
            e = TCellGroupItem{80, 0.5f, 2.0, 3.0, 0.25, 0.75};
    return p;
}

struct Element {
    int row, col, shape;
    double hoffset, voffset;
};

struct PackEntry {
    const char* file;
    int cols, rows;
    double hscale, vscale;
    std::vector<Element> elements;
};

// The pattern pack as published, written out independently of the engine's table.
std::vector<PackEntry> publishedPack()
{
    return {
        {"10_Rectangle.pat", 1, 1, 1, 1, {{0, 0, 1, 0, 0}}},
        {"10_Rectangle_11.pat", 2, 1, 1, 1, {{0, 0, 1, 0, 0}, {0, 1, 1, 0, 0.5}}},
        {"10_Rectangle_12.pat", 3, 1, 1, 1, {{0, 0, 1, 0, 0}, {0, 1, 1, 0, 0.3333}, {0, 2, 1, 0, 0.6666}}},
        {"10_Rectangle_21.pat", 1, 2, 1, 1, {{0, 0, 1, 0, 0}, {1, 0, 1, 0.5, 0}}},
        {"10_Rectangle_22.pat", 1, 3, 1, 1, {{0, 0, 1, 0, 0}, {1, 0, 1, 0.3333, 0}, {2, 0, 1, 0.6666, 0}}},
        {"20_Ellipse.pat", 1, 1, 1, 1, {{0, 0, 20, 0, 0}}},
        {"20_Ellipse_11.pat", 2, 1, 1, 1, {{0, 0, 20, 0, 0}, {0, 1, 20, 0, 0.5}}},
        {"20_Ellipse_12.pat", 2, 1, 0.88, 1, {{0, 0, 20, 0, 0}, {0, 1, 20, 0, 0.5}}},
        {"20_Ellipse_21.pat", 1, 2, 1, 1, {{0, 0, 20, 0, 0}, {1, 0, 20, 0.5, 0}}},
        {"20_Ellipse_22.pat", 1, 2, 1, 0.88, {{0, 0, 20, 0, 0}, {1, 0, 20, 0.5, 0}}},
        {"30_triangle_1.pat", 1, 1, 1, 1, {{0, 0, 30, 0, 0}}},
        {"30_triangle_2.pat", 2, 1, 0.5, 1, {{0, 0, 30, 0, 0}, {0, 1, 32, 0, 0}}},
        {"40_rhombus.pat", 1, 1, 1, 1, {{0, 0, 40, 0, 0}}},
        {"40_rhombus_2.pat", 2, 1, 0.5, 1, {{0, 0, 40, 0, 0}, {0, 1, 40, 0, 0.5}}},
        {"60_hexagon.pat", 1, 2, 1, 0.75, {{0, 0, 60, 0, 0}, {1, 0, 60, 0.5, 0}}},
        {"61_hexagon.pat", 2, 1, 0.75, 1, {{0, 0, 61, 0, 0}, {0, 1, 61, 0, 0.5}}},
    };
}

} // namespace

TEST(BuiltinPatterns, WrittenFilesMatchThePublishedPack)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("Patterns");
    ASSERT_TRUE(WriteBuiltinPatterns(folder).ok());

    const std::vector<PackEntry> pack = publishedPack();
    const QStringList written = QDir(folder).entryList({"*.pat"}, QDir::Files, QDir::Name);
    EXPECT_EQ(written.size(), 16);
    ASSERT_EQ(BuiltinPatterns().size(), pack.size());
    for (const PackEntry& e : pack) {
        SCOPED_TRACE(e.file);
        const QString path = folder + "/" + e.file;
        const QByteArray bytes = contents(path);
        ASSERT_EQ(bytes.size(), 2832);
        // Name: length 0 and zeros after it; the gap is zero.
        EXPECT_EQ(bytes.left(252), QByteArray(252, '\0'));
        EXPECT_EQ(bytes.mid(268, 4), QByteArray(4, '\0'));

        TpatternCfg p = marker();
        ASSERT_TRUE(LoadPattern(p, path).ok());
        EXPECT_FLOAT_EQ(p.Hscale, static_cast<float>(e.hscale));
        EXPECT_FLOAT_EQ(p.Vscale, static_cast<float>(e.vscale));
        EXPECT_EQ(p.HorzGroupCount, e.cols);
        EXPECT_EQ(p.VertGroupCount, e.rows);
        int listed = 0;
        for (int r = 0; r < e.rows; ++r)
            for (int c = 0; c < e.cols; ++c) {
                SCOPED_TRACE(testing::Message() << "element [" << r << "][" << c << "]");
                const Element* want = nullptr;
                for (const Element& el : e.elements)
                    if (el.row == r && el.col == c)
                        want = &el;
                ASSERT_NE(want, nullptr) << "the group position has no listed element";
                ++listed;
                const TCellGroupItem& got = p.CellGroup[r][c];
                EXPECT_EQ(got.Shape, want->shape);
                EXPECT_EQ(got.Rotate, 0.0f);
                EXPECT_EQ(got.Hscale, e.hscale);
                EXPECT_EQ(got.Vscale, e.vscale);
                EXPECT_EQ(got.Hoffset, want->hoffset);
                EXPECT_EQ(got.Voffset, want->voffset);
            }
        EXPECT_EQ(listed, static_cast<int>(e.elements.size()));

        const QImage preview(path + ".jpg");
        EXPECT_FALSE(preview.isNull());
        EXPECT_GT(preview.width(), 100);
    }
}

TEST(PatternPreview, ShowsTheRepeatOfTheGroup)
{
    TpatternCfg brick = DefaultPattern();
    brick.HorzGroupCount = 2;
    brick.CellGroup[0][1].Voffset = 0.5;
    // 4 x 4 cells of 48 pixels with a 6-pixel margin.
    const QImage plain = PatternPreview(DefaultPattern(), 4, 4, 48);
    const QImage shifted = PatternPreview(brick, 4, 4, 48);
    EXPECT_EQ(plain.size(), QSize(204, 204));
    EXPECT_EQ(shifted.size(), QSize(204, 228));
    // Column 1 near the top: a cell in the plain grid, background in the brick one.
    EXPECT_NE(plain.pixel(78, 14), 0xFFFFFFFFu);
    EXPECT_EQ(shifted.pixel(78, 14), 0xFFFFFFFFu);
    EXPECT_NE(shifted.pixel(78, 40), 0xFFFFFFFFu);
    // The two group positions get different colours.
    EXPECT_NE(shifted.pixel(30, 100), shifted.pixel(78, 100));
}

TEST(LoadPattern, MissingFileLeavesThePatternUnchanged)
{
    QTemporaryDir dir;
    TpatternCfg p = marker();
    const QByteArray before = bytesOf(p);
    EXPECT_TRUE(LoadPattern(p, dir.filePath("nothing.pat")).ok());
    EXPECT_EQ(bytesOf(p), before);
}

TEST(LoadPattern, ShortFileFillsOnlyTheLeadingPart)
{
    QTemporaryDir dir;
    TpatternCfg source = DefaultPattern();
    source.Hscale = 0.5f;
    source.Vscale = 0.75f;
    source.HorzGroupCount = 2;
    source.VertGroupCount = 3;
    source.CellGroup[0][0].Shape = 61;
    const QString path = dir.filePath("short.pat");
    // Up to and including the first element's Shape and Rotate.
    writeBytes(path, bytesOf(source).left(280));

    TpatternCfg p = marker();
    ASSERT_TRUE(LoadPattern(p, path).ok());
    EXPECT_EQ(p.Hscale, 0.5f);
    EXPECT_EQ(p.Vscale, 0.75f);
    EXPECT_EQ(p.HorzGroupCount, 2);
    EXPECT_EQ(p.VertGroupCount, 3);
    EXPECT_EQ(p.CellGroup[0][0].Shape, 61);
    EXPECT_EQ(p.CellGroup[0][0].Rotate, 0.0f);
    EXPECT_EQ(p.CellGroup[0][0].Hscale, 2.0); // beyond the file: as before
    EXPECT_EQ(p.CellGroup[0][1].Shape, 80);
    EXPECT_EQ(p.CellGroup[7][7].Voffset, 0.75);
}

TEST(LoadPattern, ReadsOnlyTheRecordOfALongerFile)
{
    QTemporaryDir dir;
    TpatternCfg source = DefaultPattern();
    source.HorzGroupCount = 3;
    const QString path = dir.filePath("long.pat");
    writeBytes(path, bytesOf(source) + QByteArray(500, '\x7f'));
    TpatternCfg p = marker();
    ASSERT_TRUE(LoadPattern(p, path).ok());
    EXPECT_EQ(bytesOf(p), bytesOf(source));
}

TEST(LoadPattern, RefusesGroupCountsOutsideOneToEight)
{
    struct Case {
        const char* name;
        int horz, vert;
        const char* field;
    };
    const Case cases[] = {
        {"no columns", 0, 1, "HorzGroupCount is 0"},
        {"nine columns", 9, 1, "HorzGroupCount is 9"},
        {"no rows", 1, 0, "VertGroupCount is 0"},
        {"nine rows", 2, 9, "VertGroupCount is 9"},
        {"negative rows", 1, -3, "VertGroupCount is -3"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TpatternCfg bad = DefaultPattern();
        bad.HorzGroupCount = c.horz;
        bad.VertGroupCount = c.vert;
        bad.Hscale = 0.5f;
        const QString path = dir.filePath("bad.pat");
        ASSERT_TRUE(SavePattern(bad, path).ok());

        TpatternCfg p = marker();
        const QByteArray before = bytesOf(p);
        const Status st = LoadPattern(p, path);
        EXPECT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(path)) << st.error().toStdString();
        EXPECT_TRUE(st.error().contains(c.field)) << st.error().toStdString();
        EXPECT_TRUE(st.error().contains("1..8")) << st.error().toStdString();
        EXPECT_EQ(bytesOf(p), before);
    }
}

TEST(LoadPattern, AcceptsTheBoundaryCounts)
{
    QTemporaryDir dir;
    TpatternCfg source = DefaultPattern();
    source.HorzGroupCount = 8;
    source.VertGroupCount = 1;
    const QString path = dir.filePath("wide.pat");
    ASSERT_TRUE(SavePattern(source, path).ok());
    TpatternCfg p = marker();
    ASSERT_TRUE(LoadPattern(p, path).ok());
    EXPECT_EQ(p.HorzGroupCount, 8);
    EXPECT_EQ(p.VertGroupCount, 1);
}

TEST(SavePattern, WritesZerosAfterTheNameAndInTheGap)
{
    QTemporaryDir dir;
    TpatternCfg p = DefaultPattern();
    std::memset(p.Name.chars, 'x', sizeof p.Name.chars);
    p.Name.len = 3;
    std::memcpy(p.Name.chars, "abc", 3);
    std::memset(p.gap268, 0xEE, sizeof p.gap268);
    const QString path = dir.filePath("named.pat");
    ASSERT_TRUE(SavePattern(p, path).ok());
    const QByteArray bytes = contents(path);
    ASSERT_EQ(bytes.size(), 2832);
    EXPECT_EQ(bytes.left(4), QByteArray("\x03" "abc", 4));
    EXPECT_EQ(bytes.mid(4, 248), QByteArray(248, '\0'));
    EXPECT_EQ(bytes.mid(268, 4), QByteArray(4, '\0'));
    EXPECT_EQ(bytes.mid(272), bytesOf(p).mid(272));
}

TEST(SavePattern, ReportsAFolderThatDoesNotExist)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/folder/x.pat");
    const Status st = SavePattern(DefaultPattern(), path);
    EXPECT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(path));
}

TEST(ListPatterns, ListsProgramPatternsFirstThenUserPatterns)
{
    QTemporaryDir dir;
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("program/e.pat"));  // a folder, not a pattern
    ASSERT_TRUE(root.mkpath("user"));
    for (const char* f : {"program/b.pat", "program/a.pat", "program/c.txt", "program/a.pat.jpg", "user/u.pat"})
        writeBytes(root.filePath(f), QByteArray(10, 'p'));

    QStringList names{"stale"}, paths{"stale", "more"};
    ListPatterns(names, paths, root.filePath("program"), root.filePath("user"));
    ASSERT_EQ(names.size(), 3);
    ASSERT_EQ(paths.size(), 3);
    QStringList programNames = names.mid(0, 2);
    programNames.sort();
    EXPECT_EQ(programNames, (QStringList{"a.pat", "b.pat"}));
    EXPECT_EQ(names[2], "u.pat");
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QString folder = root.filePath(i < 2 ? "program" : "user");
        EXPECT_EQ(QFileInfo(paths[i]).absoluteFilePath(), QFileInfo(folder + "/" + names[i]).absoluteFilePath());
        EXPECT_TRUE(QFileInfo(paths[i]).isAbsolute());
    }
}

TEST(ListPatterns, EmptyOrMissingFoldersGiveEmptyLists)
{
    struct Case {
        const char* name;
        QString program, user;
    };
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("empty1");
    QDir(dir.path()).mkpath("empty2");
    // The working directory holds a pattern file that an empty folder path must not list.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    writeBytes(dir.filePath("cwd.pat"), QByteArray(10, 'p'));
    const Case cases[] = {
        {"both empty", dir.filePath("empty1"), dir.filePath("empty2")},
        {"both missing", dir.filePath("missing1"), dir.filePath("missing2")},
        {"no paths", QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList names{"stale"}, paths{"stale"};
        ListPatterns(names, paths, c.program, c.user);
        EXPECT_TRUE(names.isEmpty());
        EXPECT_TRUE(paths.isEmpty());
    }
    QDir::setCurrent(cwd);
}
