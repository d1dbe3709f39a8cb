#include "TextExport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(TextExportTest, WindowsEncodingAndCrLf)
{
    QByteArray out;
    CTextExportFile file(&out);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.WriteString("Price \u20ac 5\n"));
    EXPECT_TRUE(file.WriteString("caf\u00e9 \u4e2d\n\nend"));
    EXPECT_EQ(out, QByteArray("Price \x80 5\r\ncaf\xe9 ?\r\n\r\nend"));

    const QByteArray written = out;
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.WriteString("after close"));
    EXPECT_EQ(out, written);
}

TEST(TextExportTest, ExportLines)
{
    EXPECT_EQ(ExportLine(0, "Name", "Sale"), "<Name=\"Sale\"/>\n");
    EXPECT_EQ(ExportLine(4, "Text", "a < b & \"c\"\r\nnext"),
              "    <Text=\"a &lt; b &amp; &quot;c&quot;<br>next\"/>\n");
    // Placeholder-like text in a value is kept as it is.
    EXPECT_EQ(ExportLine(2, "Text", "%1 %2 %L1"), "  <Text=\"%1 %2 %L1\"/>\n");
    EXPECT_EQ(ExportLine(2, "Left", -150), "  <Left=\"-150\"/>\n");
    EXPECT_EQ(ExportLine(0, "Count", 0), "<Count=\"0\"/>\n");
}

TEST(TextExportTest, WritesAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sign.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("much longer old content that must go");
    }
    CTextExportFile file;
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.WriteString("nothing open"));
    ASSERT_TRUE(file.Open(path));
    EXPECT_TRUE(file.WriteString("<Sign>\n" + ExportLine(2, "Colour", "#FF0000") + "</Sign>\n"));
    EXPECT_TRUE(file.Close());

    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), QByteArray("<Sign>\r\n  <Colour=\"#FF0000\"/>\r\n</Sign>\r\n"));
}

TEST(TextExportTest, OpenFailsForAMissingFolder)
{
    QTemporaryDir dir;
    CTextExportFile file;
    EXPECT_FALSE(file.Open(dir.filePath("no/such/folder/out.txt")));
    EXPECT_FALSE(file.IsOpen());
}

} // namespace
