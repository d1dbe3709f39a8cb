#include "FileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FileNameTest, NameParts)
{
    struct Case
    {
        QString path;
        QString titleWithExt;
        QString title;
        QString extension;
        QString folder;
        QString folderWithSep;
    };
    const Case cases[] = {
        {"C:/A.B/name.tar.gz", "name.tar.gz", "name", ".B/name.tar.gz", "C:/A.B", "C:/A.B/"},
        {"C:/dir/README", "README", "README", "", "C:/dir", "C:/dir/"},
        {"C:/A.B/name.sgn", "name.sgn", "name", ".B/name.sgn", "C:/A.B", "C:/A.B/"},
        {"/home/u/sign.sgn", "sign.sgn", "sign", ".sgn", "/home/u", "/home/u/"},
        {"C:\\dir\\file.sgn", "file.sgn", "file", ".sgn", "C:\\dir", "C:\\dir/"},
        {"C:\\dir/sub\\file.sgn", "file.sgn", "file", ".sgn", "C:\\dir/sub", "C:\\dir/sub/"},
        {"file.sgn", "file.sgn", "file", ".sgn", "", ""},
        {"/file", "file", "file", "", "", "/"},
        {"", "", "", "", "", ""},
    };
    for (const Case& c : cases) {
        const CFileName name(c.path);
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(name.GetFileTitle(true), c.titleWithExt);
        EXPECT_EQ(name.GetFileTitle(false), c.title);
        EXPECT_EQ(name.GetExtension(), c.extension);
        EXPECT_EQ(name.GetFolder(false), c.folder);
        EXPECT_EQ(name.GetFolder(true), c.folderWithSep);
    }
}

TEST(FileNameTest, ExtensionFilterAndReplacement)
{
    EXPECT_EQ(CFileName("C:/dir/picture.bmp").GetExtensionFilter("*.*"), "*.bmp");
    EXPECT_EQ(CFileName("C:/dir/picture").GetExtensionFilter("*.*"), "*.*");
    EXPECT_EQ(CFileName("C:/dir/file.sgn").ReplaceExtension(".txt"), "C:/dir/file.txt");
    EXPECT_EQ(CFileName("C:/dir/file").ReplaceExtension(".txt"), "C:/dir/file.txt");
    EXPECT_EQ(CFileName("a.tar.gz").ReplaceExtension(".zip"), "a.tar.zip");
}

TEST(FileNameTest, SplitPath)
{
    struct Case
    {
        QString path;
        QStringList parts;
    };
    const Case cases[] = {
        {"C:/a/b/c.sgn", {"C:", "a", "b", "c.sgn"}},
        {"C:\\a\\b\\c.sgn", {"C:", "a", "b", "c.sgn"}},
        {"//server/share/x", {"server", "share", "x"}},
        {"\\\\server\\share\\x", {"server", "share", "x"}},
        {"C:/a/", {"C:", "a"}},
        {"/home/u/x.sgn", {"home", "u", "x.sgn"}},
        {"/home//x", {"home", "", "x"}},
        {"rel/x", {"rel", "x"}},
        {"C:", {"C:"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        QStringList parts{"stale"};
        EXPECT_EQ(CFileName(c.path).SplitPath(parts), c.parts.size()) << c.path.toStdString();
        EXPECT_EQ(parts, c.parts) << c.path.toStdString();
    }
}

TEST(FileNameTest, AbbreviatedPath)
{
    struct Case
    {
        QString path;
        int maxLength;
        QString out;
    };
    const QString path = "C:/one/two/three/file.sgn"; // 25 characters
    const Case cases[] = {
        {path, 25, path},
        {path, 100, path},
        // Excess 3: dropping "one/two" saves 5.
        {path, 22, "C:/../three/file.sgn"},
        // Excess 5: a saving of exactly 5 is not enough, so up to the last.
        {path, 20, "C:/../file.sgn"},
        {path, 5, "C:/../file.sgn"},
        {"C:\\one\\two\\three\\file.sgn", 22, "C:\\..\\three\\file.sgn"},
        // No separator after the first, or none at all: unchanged.
        {"C:/verylongfilename.sgn", 5, "C:/verylongfilename.sgn"},
        {"verylongfilename.sgn", 5, "verylongfilename.sgn"},
        // The result may even be longer than the maximum.
        {"C:/a/verylongfilename.sgn", 5, "C:/../verylongfilename.sgn"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFileName(c.path).GetAbbreviatedPath(c.maxLength), c.out)
            << c.path.toStdString() << " " << c.maxLength;
}

TEST(FileNameTest, NormalizeStoredPath)
{
    EXPECT_EQ(NormalizeStoredPath("C:\\Signs\\a.bmp", "/x"), "C:/Signs/a.bmp");
    EXPECT_EQ(NormalizeStoredPath(".\\pics\\a.bmp", "/home/u/signs"), "/home/u/signs/pics/a.bmp");
    EXPECT_EQ(NormalizeStoredPath("./a.bmp", "/home/u/signs/"), "/home/u/signs/a.bmp");
    EXPECT_EQ(NormalizeStoredPath(".\\a.bmp", "C:\\signs"), "C:/signs/a.bmp");
    EXPECT_EQ(NormalizeStoredPath("./a.bmp", ""), "./a.bmp");
    EXPECT_EQ(NormalizeStoredPath("../a.bmp", "/s"), "../a.bmp");
    EXPECT_EQ(NormalizeStoredPath(".hidden", "/s"), ".hidden");
}

class FileNameDiskTest : public ::testing::Test
{
protected:
    QString Make(const QString& name, qsizetype size)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(FileNameDiskTest, SizeText)
{
    const std::pair<qsizetype, const char*> cases[] = {
        {0, "0KB"}, {1, "1KB"}, {1024, "1KB"}, {1025, "2KB"}, {4096, "4KB"},
    };
    for (const auto& [size, text] : cases) {
        const CFileName name(Make(QString("f%1.bin").arg(size), size));
        EXPECT_EQ(name.GetFileSize(), size);
        EXPECT_EQ(name.GetSizeText(), text) << size;
    }
}

TEST_F(FileNameDiskTest, MissingFile)
{
    const CFileName name(dir.filePath("missing.sgn"));
    EXPECT_FALSE(name.Exists());
    EXPECT_EQ(name.GetFileSize(), 0);
    EXPECT_EQ(name.GetSizeText(), "");
    EXPECT_FALSE(name.GetLastWriteTime().isValid());
    EXPECT_EQ(name.GetTimeText(), "");
    EXPECT_FALSE(CFileName("").Exists());
}

TEST_F(FileNameDiskTest, ExistsAcceptsBackslashesAndWildcards)
{
    Make("b.sgn", 3);
    Make("a.sgn", 7);
    QString backslashed = dir.filePath("a.sgn");
    backslashed.replace('/', '\\');
    EXPECT_TRUE(CFileName(dir.filePath("a.sgn")).Exists());
    EXPECT_TRUE(CFileName(backslashed).Exists());
    EXPECT_TRUE(CFileName(dir.path()).Exists());
    // A wildcard search takes the first match by name.
    EXPECT_TRUE(CFileName(dir.filePath("*.sgn")).Exists());
    EXPECT_EQ(CFileName(dir.filePath("?.sgn")).GetFileSize(), 7);
    EXPECT_FALSE(CFileName(dir.filePath("*.bmp")).Exists());
}

TEST_F(FileNameDiskTest, ExistsInSystemFolder)
{
    Make("sys.fon", 1);
    const QByteArray saved = qgetenv("TABREL_SYSTEM_DIR");
    const bool wasSet = qEnvironmentVariableIsSet("TABREL_SYSTEM_DIR");

    qunsetenv("TABREL_SYSTEM_DIR");
    EXPECT_FALSE(CFileName("sys.fon").Exists(true));
    qputenv("TABREL_SYSTEM_DIR", dir.path().toLocal8Bit());
    EXPECT_TRUE(CFileName("sys.fon").Exists(true));
    EXPECT_FALSE(CFileName("other.fon").Exists(true));
    // Without the flag the bare name is looked for where we stand.
    EXPECT_FALSE(CFileName("sys.fon").Exists(false));

    if (wasSet)
        qputenv("TABREL_SYSTEM_DIR", saved);
    else
        qunsetenv("TABREL_SYSTEM_DIR");
}

TEST_F(FileNameDiskTest, LastWriteTime)
{
    const QString path = Make("t.sgn", 1);
    const QDateTime when(QDate(2009, 3, 7), QTime(14, 5, 0));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const CFileName name(path);
    EXPECT_EQ(name.GetLastWriteTime(), when);
    EXPECT_EQ(name.GetTimeText(), "07/03/09 14:05");
}

} // namespace
