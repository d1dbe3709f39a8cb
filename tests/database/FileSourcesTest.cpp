// The data-file readers: each format read from a file written by a real
// writer (our own schema writer, shapelib, xlwt, openpyxl, libzip), then
// damaged.

#include "FileSources.h"
#include "Damage.h"
#include "SourceReaders.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>

#include <cmath>
#include <ostream>
#include <random>

// pxlib declares its functions without C linkage of their own.
extern "C" {
#include <paradox.h>
}
#include <shapefil.h>
#include <zip.h>

QT_BEGIN_NAMESPACE
// Texts in failure messages as texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// A private in-memory SQLite database for one test.
class CMemoryDb
{
public:
    CMemoryDb() : m_name(QUuid::createUuid().toString())
    {
        // The same application as every other test of the program makes,
        // whichever runs first; it lives to the end of the process.
        EnsureGuiApp();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
    }
    ~CMemoryDb()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase Db() const { return QSqlDatabase::database(m_name, false); }

    QStringList Tables() const { return Db().tables(); }

    // "name TYPE" of each column, in order.
    QStringList Columns(const QString& table) const
    {
        QStringList cols;
        QString quoted = table;
        quoted.replace(u'"', QStringLiteral("\"\""));
        QSqlQuery q(Db());
        q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted));
        while (q.next())
            cols << q.value(1).toString() + u' ' + q.value(2).toString();
        return cols;
    }

    // Each row as its cells joined by '|': NULL as "-", an integer as
    // "i:N", a real as "r:N", a text as it is.
    QStringList Rows(const QString& table) const
    {
        QString quoted = table;
        quoted.replace(u'"', QStringLiteral("\"\""));
        QStringList rows;
        QSqlQuery q(Db());
        q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(quoted));
        while (q.next()) {
            QStringList cells;
            for (int c = 0; c < q.record().count(); ++c) {
                const QVariant v = q.value(c);
                if (v.isNull())
                    cells << QStringLiteral("-");
                else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                    cells << QStringLiteral("i:") + QString::number(v.toLongLong());
                else if (v.typeId() == QMetaType::Double)
                    cells << QStringLiteral("r:") + QString::number(v.toDouble(), 'g', 12);
                else
                    cells << v.toString();
            }
            rows << cells.join(u'|');
        }
        return rows;
    }

private:
    QString m_name;
};

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString FixturePath(const char* name)
{
    return QStringLiteral(TABREL_DATABASE_FIXTURES "/") + QString::fromLatin1(name);
}

// Reads damaged copies of a good file: none may crash or hang; a refused one
// says why and leaves the database without a table; the damaged file itself
// is never changed.
void ReadDamagedCopies(int sourceType, const QString& goodFile, const QString& table, int rounds)
{
    const QByteArray seed = ReadBytes(goodFile);
    ASSERT_FALSE(seed.isEmpty());
    QTemporaryDir dir;
    const QString copy = dir.filePath(QFileInfo(goodFile).fileName());
    std::mt19937 rng(20261210);
    for (int i = 0; i < rounds; ++i) {
        const QByteArray damaged =
            sourceType == 12 && i % 2 ? DamagedTextCopy(seed, rng) : DamagedCopy(seed, rng);
        WriteBytes(copy, damaged);
        CMemoryDb db;
        QString error;
        ListFileSourceTables(sourceType, copy, &error);
        error.clear();
        const bool loaded = LoadFileSource(sourceType, copy, table, db.Db(), &error);
        if (!loaded) {
            EXPECT_FALSE(error.isEmpty()) << "round " << i;
            EXPECT_TRUE(db.Tables().isEmpty()) << "round " << i;
        }
        EXPECT_EQ(ReadBytes(copy), damaged) << "round " << i;
    }
}

// ---- text files ------------------------------------------------------------

struct TextCase
{
    const char* what;
    QByteArray data;
    QByteArray schemaSection; // without the section line; empty: no schema
    QStringList columns;
    QStringList rows;
};

TEST(TextSource, ReadsDelimitedAndFixedFilesAsTheSchemaSays)
{
    const QList<TextCase> cases = {
        {"comma file, no schema: names from the header, types from the values, quoted "
         "fields keep delimiters, quotes and line breaks",
         "Name,Code,Price,Count,Added\r\n"
         "\"Widget, large\",007,2.5,12,2024-01-31\r\n"
         "\"Say \"\"hi\"\"\nthere\",TAB1,7,0,2023-12-01\r\n"
         "\r\n"
         "Plain,,1e3,-4,\n",
         {},
         {"Name TEXT", "Code TEXT", "Price TEXT", "Count INTEGER", "Added DATE"},
         {"Widget, large|007|2.5|i:12|2024-01-31", "Say \"hi\"\nthere|TAB1|7|i:0|2023-12-01",
          "Plain|-|1e3|i:-4|-"}},
        {"digits that no number holds exactly stay a text",
         "Code,Small\n12345678901234567890,1.5\n4006381333931,1234567890123.456\n",
         {},
         {"Code TEXT", "Small TEXT"},
         {"12345678901234567890|1.5", "4006381333931|1234567890123.456"}},
        {"numbers in a column: integers and reals make it REAL",
         "Price\n2.5\n7\n",
         {},
         {"Price REAL"},
         {"r:2.5", "r:7"}},
        {"semicolons, Windows-1252",
         "Nom;Prix\r\nCr\xE8me br\xFBl\xE9\x65;3\r\n",
         "ColNameHeader=True\r\nFormat=Delimited(;)\r\nCharacterSet=ANSI\r\n",
         {"Nom TEXT", QString::fromUtf8("Prix INTEGER")},
         {QString::fromUtf8("Crème brûlée|i:3")}},
        {"tabs without a header line: columns F1, F2; DOS characters",
         "caf\x82\t1\nna\xA4\x61\t2\n",
         "ColNameHeader=False\r\nFormat=TabDelimited\r\nCharacterSet=OEM\r\n",
         {"F1 TEXT", "F2 INTEGER"},
         {QString::fromUtf8("café|i:1"), QString::fromUtf8("naña|i:2")}},
        {"UTF-8 named by the schema, and a byte-order mark",
         "\xEF\xBB\xBFName\n\xE2\x80\x94 dash\n",
         "Format=CSVDelimited\r\nCharacterSet=65001\r\n",
         {"Name TEXT"},
         {QString::fromUtf8("— dash")}},
        {"UTF-8 without a schema is recognised",
         "Name\nProduct 0001 \xE2\x80\x94 Example\n",
         {},
         {"Name TEXT"},
         {QString::fromUtf8("Product 0001 — Example")}},
        {"declared columns name and type the fields; a value too large for its declared "
         "size is kept whole, one of the wrong form as text",
         "a,b,c,d,e\n1,40000,yes,2024-02-03 10:20,x\n2,-5,0,03/04/2024,y\n",
         "ColNameHeader=True\r\nFormat=CSVDelimited\r\nCol1=\"Key\" Long\r\nCol2=Small Short\r\n"
         "Col3=\"Flag\" Bit\r\nCol4=\"When\" DateTime\r\nCol5=\"Price\" Currency\r\n",
         {"Key INTEGER", "Small INTEGER", "Flag BOOLEAN", "When DATETIME", "Price REAL"},
         {"i:1|i:40000|i:1|2024-02-03 10:20:00|x", "i:2|i:-5|i:0|2024-03-04 00:00:00|y"}},
        {"fixed-width columns, trimmed, the header line skipped",
         "CODE  NAME      \r\nA1    First one \r\nB22   Second\r\n",
         "ColNameHeader=True\r\nFormat=FixedLength\r\nCol1=\"Code\" Text Width 6\r\n"
         "Col2=\"Name\" Text Width 10\r\n",
         {"Code TEXT", "Name TEXT"},
         {"A1|First one", "B22|Second"}},
        {"empty, repeated and odd header names are made usable",
         "Name,,name,\"Tab\tbed\"\n1,2,3,4\n",
         {},
         {"Name INTEGER", "F2 INTEGER", "name_2 INTEGER", "Tabbed INTEGER"},
         {"i:1|i:2|i:3|i:4"}},
        {"records longer than the header get columns of their own",
         "A\n1,2\n",
         {},
         {"A INTEGER", "F2 INTEGER"},
         {"i:1|i:2"}},
        {"a quote that is never closed takes the rest of the file",
         "A,B\n1,\"open\n2,3\n",
         {},
         {"A INTEGER", "B TEXT"},
         {"i:1|open\n2,3\n"}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("stock.csv"));
        WriteBytes(file, c.data);
        if (!c.schemaSection.isEmpty())
            WriteBytes(dir.filePath(QStringLiteral("SCHEMA.INI")),
                       "[other.txt]\r\nFormat=TabDelimited\r\n"
                       "[STOCK.CSV]\r\n" +
                           c.schemaSection);
        QString error;
        EXPECT_EQ(ListFileSourceTables(12, file, &error), QStringList{QStringLiteral("stock#csv")});
        CMemoryDb db;
        ASSERT_TRUE(LoadFileSource(12, file, QString(), db.Db(), &error)) << error.toStdString();
        EXPECT_EQ(db.Columns(QStringLiteral("stock#csv")), c.columns);
        EXPECT_EQ(db.Rows(QStringLiteral("stock#csv")), c.rows);
    }
}

// How quotes, line ends and empty fields split, case by case: text after a
// closing quote belongs to the field, a quote inside a field that did not
// open with one is kept, "" is an empty text rather than a missing value.
TEST(TextSource, QuotesLineEndsAndEmptyFieldsSplitAsWritten)
{
    const QList<TextCase> cases = {
        {"text after a closing quote, and a quote inside an unquoted field",
         "A,B\n\"ab\"cd,ab\"c\n\"ab\" \"c\",x\"\"y\n", {}, {"A TEXT", "B TEXT"},
         {"abcd|ab\"c", "ab \"c\"|x\"\"y"}},
        {"doubled quotes only, and a quoted field holding CR LF and the delimiter",
         "A,B\n\"\"\"\"\"\",\"a,\r\nb\"\r\n", {}, {"A TEXT", "B TEXT"},
         {"\"\"|a,\r\nb"}},
        {"a quoted empty field is missing like an unquoted one, and its column is a text",
         "A,B,C\n\"\",,1\n", {}, {"A TEXT", "B TEXT", "C INTEGER"}, {"-|-|i:1"}},
        {"lines ended by CR alone, the last without an end, a trailing delimiter",
         "A,B\r1,2\r\r3,", {}, {"A INTEGER", "B INTEGER"}, {"i:1|i:2", "i:3|-"}},
        {"bytes that are not UTF-8 are read as Windows-1252 when no schema names the set",
         "Name\nCaf\xE9 \x97 x\n", {}, {"Name TEXT"}, {QString::fromUtf8("Café — x")}},
        {"a schema naming UTF-8 with a damaged byte keeps the rest of the field",
         "Name,N\nab\xFF\x63\x64,1\n", "Format=CSVDelimited\r\nCharacterSet=65001\r\n",
         {"Name TEXT", "N INTEGER"}, {QString::fromUtf8("ab\xEF\xBF\xBD" "cd|i:1")}},
        {"a byte-order mark that starts a field inside a UTF-8 file is not kept",
         "A,B\n\xEF\xBB\xBFx,\"\xEF\xBB\xBFy\"\n", "Format=CSVDelimited\r\nCharacterSet=65001\r\n",
         {"A TEXT", "B TEXT"}, {"x|y"}},
        {"a delimiter beyond ASCII, Windows-1252",
         "A\xA7" "B\n\"x\xA7y\"\xA7\xE9\n", "Format=Delimited(\xA7)\r\nCharacterSet=ANSI\r\n",
         {"A TEXT", "B TEXT"}, {QString::fromUtf8("x§y|é")}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("stock.csv"));
        WriteBytes(file, c.data);
        if (!c.schemaSection.isEmpty())
            WriteBytes(dir.filePath(QStringLiteral("SCHEMA.INI")),
                       "[STOCK.CSV]\r\n" + c.schemaSection);
        QString error;
        CMemoryDb db;
        ASSERT_TRUE(LoadFileSource(12, file, QString(), db.Db(), &error)) << error.toStdString();
        EXPECT_EQ(db.Columns(QStringLiteral("stock#csv")), c.columns);
        EXPECT_EQ(db.Rows(QStringLiteral("stock#csv")), c.rows);
    }
}

TEST(TextSource, SchemaFileIsWrittenWholeAndReadBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.txt"));
    const QString schemaFile = dir.filePath(QStringLiteral("SCHEMA.INI"));
    WriteBytes(
        schemaFile,
        "; kept\r\n[other.csv]\r\nFormat=TabDelimited\r\n[LIST.TXT]\r\nCol9=\"Ghost\" Text\r\n"
        "DateTimeFormat=dd.mm.yy\r\n[last.csv]\r\nColNameHeader=False\r\n");
    CTextSchema schema;
    schema.header = true;
    schema.delimiter = ';';
    schema.fileType = 1;
    schema.columns = {
        {"Name", "Text", 0}, {"Price", "Currency", 0}, {"Count", "Long", 0}, {"Note", "Memo", 0}};
    QString error;
    ASSERT_TRUE(WriteTextSchema(file, schema, &error)) << error.toStdString();
    // Fewer columns the second time: nothing of the first schema may stay.
    schema.columns.resize(2);
    ASSERT_TRUE(WriteTextSchema(file, schema, &error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(schemaFile),
              QByteArray("; kept\r\n[other.csv]\r\nFormat=TabDelimited\r\n"
                         "[last.csv]\r\nColNameHeader=False\r\n"
                         "[list.txt]\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\n"
                         "MaxScanRows=25\r\nCharacterSet=OEM\r\n"
                         "Col1=\"Name\" Text\r\nCol2=\"Price\" Currency\r\n"));
    CTextSchema back;
    ASSERT_TRUE(ReadTextSchema(file, &back, &error)) << error.toStdString();
    EXPECT_TRUE(back.header);
    EXPECT_EQ(back.delimiter, ';');
    EXPECT_EQ(back.fileType, 1);
    ASSERT_EQ(back.columns.size(), 2);
    EXPECT_EQ(back.columns[1].name, QStringLiteral("Price"));
    EXPECT_EQ(back.columns[1].type, QStringLiteral("Currency"));

    // The writer's values for each setting.
    struct FormatCase
    {
        char delimiter;
        bool fixed;
        int fileType;
        const char* format;
        const char* charset;
    };
    const FormatCase formats[] = {
        {',', false, 0, "CSVDelimited", "ANSI"},
        {'\t', false, 0, "TabDelimited", "ANSI"},
        {'|', false, 2, "Delimited(|)", "65001"},
        {',', true, 0, "FixedLength", "ANSI"},
    };
    for (const FormatCase& f : formats) {
        CTextSchema s;
        s.delimiter = f.delimiter;
        s.fixedWidth = f.fixed;
        s.fileType = f.fileType;
        s.columns = {{"A", "Text", 5}};
        ASSERT_TRUE(WriteTextSchema(file, s, &error));
        const QByteArray text = ReadBytes(schemaFile);
        EXPECT_TRUE(text.contains(QByteArray("Format=") + f.format + "\r\n")) << f.format;
        EXPECT_TRUE(text.contains(QByteArray("CharacterSet=") + f.charset + "\r\n")) << f.format;
        CTextSchema r;
        ASSERT_TRUE(ReadTextSchema(file, &r, &error));
        EXPECT_EQ(r.fixedWidth, f.fixed);
        if (!f.fixed) {
            EXPECT_EQ(r.delimiter, f.delimiter);
        }
        EXPECT_EQ(r.fileType, f.fileType);
    }
}

TEST(TextSource, SchemaWithADelimiterThatCannotBeReadBackIsNotWritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.csv"));
    for (char delimiter : {'"', '\n', '\r', '\0'}) {
        CTextSchema schema;
        schema.delimiter = delimiter;
        QString error;
        EXPECT_FALSE(WriteTextSchema(file, schema, &error)) << int(delimiter);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("SCHEMA.INI"))));
    }
}

TEST(TextSource, SchemaThatCannotBeUnderstoodChangesNothing)
{
    const QList<QByteArray> sections = {
        "ColNameHeader=Maybe\r\n",
        "Format=Delimited(;;)\r\n",
        "Format=Delimited(\")\r\n",
        "CharacterSet=EBCDIC\r\n",
        "Col1=\"Name\" Varchar\r\n",
        "Col1=\"Unclosed Text\r\n",
        "Format=FixedLength\r\nCol1=\"Code\" Text\r\n",
        "Format=FixedLength\r\nCol1=\"Code\" Text Width 0\r\n",
        "Format=FixedLength\r\n",
    };
    for (const QByteArray& section : sections) {
        SCOPED_TRACE(section.toStdString());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.csv"));
        WriteBytes(file, "A\n1\n");
        WriteBytes(dir.filePath(QStringLiteral("schema.ini")), "[a.csv]\r\n" + section);
        CTextSchema schema;
        schema.delimiter = '!';
        QString error;
        EXPECT_FALSE(ReadTextSchema(file, &schema, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(schema.delimiter, '!');

        // A load through the bad schema fails and keeps the earlier table.
        CMemoryDb db;
        QSqlQuery(db.Db()).exec(QStringLiteral("CREATE TABLE \"a#csv\" (x)"));
        error.clear();
        EXPECT_FALSE(LoadFileSource(12, file, QString(), db.Db(), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(db.Columns(QStringLiteral("a#csv")), QStringList{QStringLiteral("x ")});
    }
    QTemporaryDir dir;
    CTextSchema schema;
    QString error;
    EXPECT_FALSE(ReadTextSchema(dir.filePath(QStringLiteral("none.csv")), &schema, &error));
}

TEST(TextSource, LoadingAgainReplacesTheTable)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.csv"));
    CMemoryDb db;
    QString error;
    WriteBytes(file, "A,B\n1,2\n3,4\n");
    ASSERT_TRUE(LoadFileSource(12, file, QStringLiteral("p#csv"), db.Db(), &error));
    WriteBytes(file, "C\nx\n");
    ASSERT_TRUE(LoadFileSource(12, file, QStringLiteral("p#csv"), db.Db(), &error));
    EXPECT_EQ(db.Columns(QStringLiteral("p#csv")), QStringList{QStringLiteral("C TEXT")});
    EXPECT_EQ(db.Rows(QStringLiteral("p#csv")), QStringList{QStringLiteral("x")});
}

TEST(TextSource, RowsWiderThanTheColumnsReadAreCut)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("wide.csv"));
    QByteArray line;
    for (int i = 0; i < 100000; ++i)
        line += QByteArray::number(i) + ',';
    WriteBytes(file, "A\n" + line + "\n");
    CMemoryDb db;
    QString error;
    ASSERT_TRUE(LoadFileSource(12, file, QString(), db.Db(), &error)) << error.toStdString();
    const QStringList columns = db.Columns(QStringLiteral("wide#csv"));
    ASSERT_EQ(columns.size(), 255);
    EXPECT_EQ(columns.last(), QStringLiteral("F255 INTEGER"));
    EXPECT_TRUE(db.Rows(QStringLiteral("wide#csv")).value(0).endsWith(QStringLiteral("|i:254")));
}

TEST(TextSource, DamagedCopiesAreReadOrRefused)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("seed.csv"));
    WriteBytes(file,
               "Name,Code,Price\r\n\"Widget, large\",TAB0000001,2.5\r\nBolt,TAB0000002,0.25\r\n"
               "\"Nut \"\"M6\"\"\",TAB0000003,12\r\n");
    ReadDamagedCopies(12, file, QString(), 300);
}

// ---- dBASE -------------------------------------------------------------------

QString WriteDbf(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("goods.dbf"));
    DBFHandle h = DBFCreateEx(QFile::encodeName(path).constData(), "LDID/87");
    EXPECT_NE(h, nullptr);
    if (!h)
        return path;
    DBFAddField(h, "NAME", FTString, 20, 0);
    DBFAddField(h, "QTY", FTInteger, 6, 0);
    DBFAddField(h, "PRICE", FTDouble, 10, 2);
    DBFAddField(h, "ACTIVE", FTLogical, 1, 0);
    DBFAddNativeFieldType(h, "ADDED", 'D', 8, 0);
    const char* names[] = {"Cr\xE8me", "Bolt", "Gone", "Empty"};
    for (int r = 0; r < 4; ++r) {
        DBFWriteStringAttribute(h, r, 0, names[r]);
        if (r == 3) {
            DBFWriteNULLAttribute(h, r, 1);
            DBFWriteNULLAttribute(h, r, 2);
            DBFWriteNULLAttribute(h, r, 3);
            DBFWriteNULLAttribute(h, r, 4);
            continue;
        }
        DBFWriteIntegerAttribute(h, r, 1, r == 0 ? 12 : -400);
        DBFWriteDoubleAttribute(h, r, 2, r == 0 ? 2.5 : 1234.75);
        DBFWriteLogicalAttribute(h, r, 3, r == 0 ? 'T' : 'F');
        // shapelib writes texts into date fields as numbers; the date goes in
        // as the field's raw bytes.
        char date[9];
        memcpy(date, r == 0 ? "20240131" : "19991231", 9);
        DBFWriteAttributeDirectly(h, r, 4, date);
    }
    DBFMarkRecordDeleted(h, 2, 1);
    DBFClose(h);
    return path;
}

TEST(DbfSource, ReadsTheFieldsAndRecordsShapelibWrote)
{
    QTemporaryDir dir;
    const QString path = WriteDbf(dir.path());
    QString error;
    EXPECT_EQ(ListFileSourceTables(1, path, &error), QStringList{QStringLiteral("goods")});
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(2, path, QString(), db.Db(), &error)) << error.toStdString();
    EXPECT_EQ(
        db.Columns(QStringLiteral("goods")),
        (QStringList{"NAME TEXT", "QTY INTEGER", "PRICE REAL", "ACTIVE BOOLEAN", "ADDED DATE"}));
    // The deleted record is left out; null values are NULL.
    EXPECT_EQ(db.Rows(QStringLiteral("goods")),
              (QStringList{QString::fromUtf8("Crème|i:12|r:2.5|i:1|2024-01-31"),
                           "Bolt|i:-400|r:1234.75|i:0|1999-12-31", "Empty|-|-|-|-"}));
}

TEST(DbfSource, TableIsReadWhateverItsExtension)
{
    QTemporaryDir dir, other;
    const QString written = WriteDbf(dir.path());
    for (const char* name : {"GOODS.Dbf", "goods.dat"}) {
        const QString path = other.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QFile::copy(written, path));
        CMemoryDb db;
        QString error;
        const QString table = QFileInfo(path).completeBaseName();
        ASSERT_TRUE(LoadFileSource(1, path, QString(), db.Db(), &error))
            << name << error.toStdString();
        EXPECT_EQ(db.Rows(table).size(), 3) << name;
    }
}

TEST(DbfSource, HeaderThatPromisesMoreThanTheFileHoldsIsBroughtIntoRange)
{
    QTemporaryDir dir;
    const QString path = WriteDbf(dir.path());
    QByteArray bytes = ReadBytes(path);
    // Record count 0x7FFFFFFF: reading stops where the file ends.
    bytes[4] = '\xFF';
    bytes[5] = '\xFF';
    bytes[6] = '\xFF';
    bytes[7] = '\x7F';
    WriteBytes(path, bytes);
    CMemoryDb db;
    QString error;
    ASSERT_TRUE(LoadFileSource(1, path, QString(), db.Db(), &error)) << error.toStdString();
    EXPECT_EQ(db.Rows(QStringLiteral("goods")).size(), 3);
}

TEST(DbfSource, MemoTextsComeFromTheMemoFile)
{
    // dBASE III keeps a memo in 512-byte blocks up to an end mark; FoxPro
    // gives each memo a typed, sized block of the file's block size.
    QByteArray dbase3(512 * 3, '\0');
    dbase3[0] = 3;
    dbase3[16] = 3;
    dbase3.replace(512, 15, "Long note text\x1A");
    dbase3.replace(1024, 8, "Second\x1A\x1A");
    QByteArray fox(64 * 3, '\0');
    fox[3] = 3;
    fox[7] = 64;
    fox.replace(64, 8, QByteArray("\0\0\0\1\0\0\0\x0E", 8));
    fox.replace(72, 14, "Long note text");
    fox.replace(128, 8, QByteArray("\0\0\0\1\0\0\x7F\xFF", 8)); // longer than the file
    fox.replace(136, 6, "Second");
    struct Case
    {
        const char* memoName;
        QByteArray memo;
        const char* blocks[3];
        QStringList rows;
    };
    const Case cases[] = {
        {"notes.dbt",
         dbase3,
         {"         1", "         2", "        99"},
         {"Long note text", "Second", "-"}},
        {"NOTES.FPT",
         fox,
         {"         1", "         2", "          "},
         {"Long note text", "Second", "-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.memoName);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.dbf"));
        DBFHandle h = DBFCreate(QFile::encodeName(path).constData());
        ASSERT_NE(h, nullptr);
        DBFAddNativeFieldType(h, "NOTE", 'M', 10, 0);
        for (int r = 0; r < 3; ++r) {
            char block[11];
            memcpy(block, c.blocks[r], 11);
            DBFWriteAttributeDirectly(h, r, 0, block);
        }
        DBFClose(h);
        WriteBytes(dir.filePath(QString::fromLatin1(c.memoName)), c.memo);
        CMemoryDb db;
        QString error;
        ASSERT_TRUE(LoadFileSource(1, path, QString(), db.Db(), &error)) << error.toStdString();
        EXPECT_EQ(db.Columns(QStringLiteral("notes")), QStringList{"NOTE TEXT"});
        EXPECT_EQ(db.Rows(QStringLiteral("notes")), c.rows);
    }
}

TEST(DbfSource, ReadsTablesWithMemosWrittenByPythonDbf)
{
    const QString note =
        QStringLiteral("A long note about tea, longer than any character field would hold. "
                       "A long note about tea, longer than any character field would hold. "
                       "A long note about tea, longer than any character field would hold. ");
    struct Case
    {
        const char* file;
        int type;
        QStringList columns;
        QStringList rows;
    };
    const Case cases[] = {
        {"notes3.dbf",
         1,
         {"NAME TEXT", "NOTE TEXT", "QTY INTEGER", "PRICE REAL", "ADDED DATE", "ACTIVE BOOLEAN"},
         {"Tea|" + note + "|i:12|r:2.5|2024-01-31|i:1", "Jam|Short|i:-4|r:1234.75|1999-12-31|i:0"}},
        {"notesvfp.dbf",
         3,
         {"NAME TEXT", "NOTE TEXT", "QTY INTEGER", "PRICE REAL", "ADDED DATE", "ACTIVE BOOLEAN",
          "STAMP DATETIME", "CASH REAL"},
         {"Tea|" + note + "|i:12|r:2.5|2024-01-31|i:1|2024-02-03 10:20:30|r:19.5",
          "Jam|Short|i:-4|r:1234.75|1999-12-31|i:0|2024-02-03 10:20:30|r:19.5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = FixturePath(c.file);
        const QString table = QFileInfo(path).completeBaseName();
        CMemoryDb db;
        QString error;
        ASSERT_TRUE(LoadFileSource(c.type, path, QString(), db.Db(), &error))
            << error.toStdString();
        EXPECT_EQ(db.Columns(table), c.columns);
        EXPECT_EQ(db.Rows(table), c.rows);
    }
}

TEST(DbfSource, DamagedMemoFilesAreReadOrRefused)
{
    for (const char* name : {"notes3", "notesvfp"}) {
        SCOPED_TRACE(name);
        const bool fox = QByteArray(name) == "notesvfp";
        const QString memoName = QString::fromLatin1(name) + (fox ? ".fpt" : ".dbt");
        const QByteArray seed =
            ReadBytes(FixturePath((QByteArray(name) + (fox ? ".fpt" : ".dbt")).constData()));
        ASSERT_FALSE(seed.isEmpty());
        QTemporaryDir dir;
        const QString table = dir.filePath(QString::fromLatin1(name) + ".dbf");
        ASSERT_TRUE(QFile::copy(FixturePath((QByteArray(name) + ".dbf").constData()), table));
        std::mt19937 rng(9);
        for (int round = 0; round < 100; ++round) {
            WriteBytes(dir.filePath(memoName), DamagedCopy(seed, rng));
            CMemoryDb db;
            QString error;
            // The table itself is whole: it is read, whatever the memos hold.
            EXPECT_TRUE(LoadFileSource(fox ? 3 : 1, table, QString(), db.Db(), &error))
                << error.toStdString();
            EXPECT_EQ(db.Rows(QString::fromLatin1(name)).size(), 2);
        }
    }
}

TEST(DbfSource, DamagedCopiesAreReadOrRefused)
{
    QTemporaryDir dir;
    ReadDamagedCopies(3, WriteDbf(dir.path()), QString(), 300);
}

// ---- Excel 97 ----------------------------------------------------------------

TEST(XlsSource, ReadsTheSheetsOfAWorkbookWrittenByXlwt)
{
    const QString path = FixturePath("prices.xls");
    QString error;
    EXPECT_EQ(ListFileSourceTables(7, path, &error), (QStringList{"Prices$", "Second Sheet$"}))
        << error.toStdString();
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(7, path, QStringLiteral("Prices$"), db.Db(), &error))
        << error.toStdString();
    EXPECT_EQ(db.Columns(QStringLiteral("Prices$")),
              (QStringList{"Name TEXT", "Code TEXT", "Price REAL", "Added DATE", "Count INTEGER"}));
    EXPECT_EQ(db.Rows(QStringLiteral("Prices$")),
              (QStringList{QString::fromUtf8("Crème brûlée|TAB0000001|r:2.5|2024-01-31|i:12"),
                           "Widget, large|TAB0000002|r:7|2023-12-01|i:0",
                           QString::fromUtf8("Ünïcödé ☺|00123|r:1234.125|2000-02-29|i:-3")}));
    // Without the header row the names row is a record and every column
    // holds texts.
    ASSERT_TRUE(LoadFileSource(7, path, QStringLiteral("'Second Sheet$'"), db.Db(), &error, false))
        << error.toStdString();
    EXPECT_EQ(db.Columns(QStringLiteral("'Second Sheet$'")), QStringList{"F1 TEXT"});
    EXPECT_EQ(db.Rows(QStringLiteral("'Second Sheet$'")), (QStringList{"Only", "1"}));

    EXPECT_FALSE(LoadFileSource(7, path, QStringLiteral("Missing$"), db.Db(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Missing")));
}

TEST(XlsSource, DamagedCopiesAreReadOrRefused)
{
    ReadDamagedCopies(7, FixturePath("prices.xls"), QStringLiteral("Prices$"), 300);
}

// ---- Excel 2007 and later ------------------------------------------------------

QString WriteXlsx(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("stock.xlsx"));
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(zip, nullptr);
    if (!zip)
        return path;
    auto add = [&](const char* name, const char* text) {
        zip_source_t* src = zip_source_buffer(zip, text, strlen(text), 0);
        zip_file_add(zip, name, src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    };
    add("[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    add("xl/workbook.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<workbookPr/><sheets><sheet name=\"Stock\" sheetId=\"1\" r:id=\"rId2\"/>"
        "<sheet name=\"Chart\" sheetId=\"3\" r:id=\"rId9\"/>"
        "<sheet name=\"Empty one\" sheetId=\"2\" r:id=\"rId1\"/></sheets></workbook>");
    add("xl/_rels/workbook.xml.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/sheet2.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"/xl/worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId9\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet\" "
        "Target=\"chartsheets/sheet1.xml\"/></Relationships>");
    add("xl/sharedStrings.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "count=\"999999999\">"
        "<si><t>Name</t></si><si><t>Code</t></si><si><t>Price</t></si><si><t>Added</t></si>"
        "<si><t>Ok</t></si>"
        "<si><r><t>Cr\xC3\xA8me </t></r><r><rPr><b/></rPr><t>br\xC3\xBBl\xC3\xA9\x65</t></r>"
        "<rPh><t>ignored</t></rPh></si>"
        "<si><t xml:space=\"preserve\">  spaced &amp; &lt;marked&gt;</t></si></sst>");
    add("xl/styles.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\\ "
        "hh:mm\"/></numFmts>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
        "<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
        "<xf numFmtId=\"4\"/></cellXfs></styleSheet>");
    add("xl/worksheets/sheet1.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" "
        "t=\"s\"><v>4</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>5</v></c><c r=\"B2\" "
        "t=\"inlineStr\"><is><t>TAB0000001</t></is></c>"
        "<c r=\"C2\" s=\"3\"><v>2.5</v></c><c r=\"D2\" s=\"1\"><v>45322</v></c><c r=\"E2\" "
        "t=\"b\"><v>1</v></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>6</v></c><c r=\"B4\" "
        "t=\"str\"><f>A1</f><v>00123</v></c>"
        "<c r=\"C4\"><v>7</v></c><c r=\"D4\" s=\"1\"><v>45323</v></c><c r=\"E4\" "
        "t=\"b\"><v>0</v></c></row>"
        "<row r=\"6\"><c r=\"A6\" t=\"s\"><v>99</v></c><c t=\"e\"><v>#N/A</v></c></row>"
        "<row r=\"7\"><c r=\"A7\" t=\"inlineStr\"><is><t>Later</t></is></c><c "
        "r=\"C7\"><v>1E-3</v></c>"
        "<c r=\"D7\" s=\"2\"><v>45323.75</v></c><c r=\"ZZZZ7\"><v>5</v></c><c "
        "r=\"XFD7\"><v>6</v></c></row>"
        "</sheetData></worksheet>");
    add("xl/worksheets/sheet2.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                    "<worksheet "
                                    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                                    "main\"><sheetData/></worksheet>");
    EXPECT_EQ(zip_close(zip), 0);
    return path;
}

TEST(XlsxSource, ReadsSharedAndInlineStringsNumbersDatesAndBooleans)
{
    QTemporaryDir dir;
    const QString path = WriteXlsx(dir.path());
    QString error;
    EXPECT_EQ(ListFileSourceTables(7, path, &error), (QStringList{"Stock$", "Empty one$"}))
        << error.toStdString();
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(7, path, QStringLiteral("Stock$"), db.Db(), &error))
        << error.toStdString();
    EXPECT_EQ(
        db.Columns(QStringLiteral("Stock$")),
        (QStringList{"Name TEXT", "Code TEXT", "Price REAL", "Added DATETIME", "Ok BOOLEAN"}));
    // Row 3 is missing and row 6 has no usable value: both left out. A
    // shared-string index out of range is no value; a cell far to the right
    // is beyond the columns read.
    EXPECT_EQ(
        db.Rows(QStringLiteral("Stock$")),
        (QStringList{QString::fromUtf8("Crème brûlée|TAB0000001|r:2.5|2024-01-31 00:00:00|i:1"),
                     "  spaced & <marked>|00123|r:7|2024-02-01 00:00:00|i:0",
                     "Later|-|r:0.001|2024-02-01 18:00:00|-"}));
    // An empty worksheet is an empty table, not a failure.
    ASSERT_TRUE(LoadFileSource(7, path, QStringLiteral("Empty one"), db.Db(), &error))
        << error.toStdString();
    EXPECT_EQ(db.Columns(QStringLiteral("Empty one")), QStringList{"F1 TEXT"});
    EXPECT_TRUE(db.Rows(QStringLiteral("Empty one")).isEmpty());
}

TEST(XlsxSource, ReadsAWorkbookWrittenByOpenpyxl)
{
    const QString path = FixturePath("prices.xlsx");
    QString error;
    EXPECT_EQ(ListFileSourceTables(7, path, &error), (QStringList{"Price List$", "Notes$"}))
        << error.toStdString();
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(7, path, QStringLiteral("'Price List$'"), db.Db(), &error))
        << error.toStdString();
    EXPECT_EQ(db.Columns(QStringLiteral("'Price List$'")),
              (QStringList{"Name TEXT", "Code TEXT", "Price REAL", "Added DATETIME",
                           "In stock BOOLEAN", "Count INTEGER"}));
    EXPECT_EQ(db.Rows(QStringLiteral("'Price List$'")),
              (QStringList{
                  QString::fromUtf8("Crème brûlée|TAB0000001|r:2.5|2024-01-31 00:00:00|i:1|i:12"),
                  "Widget, large|TAB0000002|r:7|2023-12-01 08:30:00|i:0|i:0",
                  QString::fromUtf8("Ünïcödé ☺|00123|r:1234.125|2000-02-29 00:00:00|-|i:-3")}));
}

TEST(XlsxSource, DamagedCopiesOfAWorkbookWrittenByOpenpyxlAreReadOrRefused)
{
    ReadDamagedCopies(7, FixturePath("prices.xlsx"), QStringLiteral("Price List$"), 300);
}

TEST(XlsxSource, DamagedCopiesAreReadOrRefused)
{
    QTemporaryDir dir;
    ReadDamagedCopies(7, WriteXlsx(dir.path()), QStringLiteral("Stock$"), 300);
}

// The values a table read from a file holds, null ones among them.
qsizetype HeldValues(const CSourceTable& table)
{
    qsizetype held = 0;
    for (const QVector<QVariant>& row : table.rows)
        held += row.size();
    for (const QVector<CSourceCell>& record : table.sparseRows)
        held += record.size();
    return held;
}

// A workbook of one sheet whose records each hold one cell in the last
// column read, below a header of two cells.
QString WriteSparseXlsx(const QString& folder, int records)
{
    const QString path = QDir(folder).filePath(QStringLiteral("sparse.xlsx"));
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(zip, nullptr);
    if (!zip)
        return path;
    static QByteArray parts[3];
    parts[0] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
               "<sheets><sheet name=\"Far\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    parts[1] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<Relationships "
               "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
               "<Relationship Id=\"rId1\" "
               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
               "worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
    QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
                       "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                       "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Code</t></is>"
                       "</c><c r=\"IU1\" t=\"inlineStr\"><is><t>Far</t></is></c></row>";
    for (int r = 2; r < records + 2; ++r)
        sheet += QStringLiteral("<row r=\"%1\"><c r=\"IU%1\"><v>%1</v></c></row>").arg(r).toUtf8();
    sheet += "</sheetData></worksheet>";
    parts[2] = sheet;
    const char* names[3] = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                            "xl/worksheets/sheet1.xml"};
    for (int i = 0; i < 3; ++i)
        zip_file_add(zip, names[i], zip_source_buffer(zip, parts[i].constData(),
                                                      zip_uint64_t(parts[i].size()), 0),
                     ZIP_FL_OVERWRITE);
    EXPECT_EQ(zip_close(zip), 0);
    return path;
}

// A sheet whose few cells stand far apart is held as the cells present, not
// as its used range: each record here holds one cell in column 255.
TEST(XlsxSource, ASparseSheetIsHeldAsTheCellsItHas)
{
    QTemporaryDir dir;
    const int records = 2000;
    const QString path = WriteSparseXlsx(dir.path(), records);
    CSourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsxSheet(path, QStringLiteral("Far"), true, &table, &error))
        << error.toStdString();
    EXPECT_EQ(table.RecordCount(), records);
    EXPECT_EQ(table.columns.size(), 255);
    EXPECT_LE(HeldValues(table), records);

    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(7, path, QStringLiteral("Far$"), db.Db(), &error))
        << error.toStdString();
    const QStringList columns = db.Columns(QStringLiteral("Far$"));
    ASSERT_EQ(columns.size(), 255);
    EXPECT_EQ(columns.first(), "Code TEXT");
    EXPECT_EQ(columns.last(), "Far INTEGER");
    QSqlQuery q(db.Db());
    ASSERT_TRUE(q.exec("SELECT COUNT(*), SUM(Far), COUNT(Code), COUNT(F2) FROM \"Far$\""));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), records);
    EXPECT_EQ(q.value(1).toLongLong(), qint64(records + 3) * records / 2);
    EXPECT_EQ(q.value(2).toInt(), 0);
    EXPECT_EQ(q.value(3).toInt(), 0);
}

// ---- Paradox ------------------------------------------------------------------------

QString WriteParadox(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("stock.db"));
    PX_boot();
    pxdoc_t* px = PX_new();
    struct Field
    {
        const char* name;
        char type;
        int length;
    };
    const Field spec[] = {{"Name", pxfAlpha, 20},   {"Qty", pxfShort, 2},     {"Count", pxfLong, 4},
                          {"Price", pxfNumber, 8},  {"Cash", pxfCurrency, 8}, {"Added", pxfDate, 4},
                          {"Active", pxfLogical, 1}};
    const int count = 7;
    auto* fields = static_cast<pxfield_t*>(px->malloc(px, count * sizeof(pxfield_t), "fields"));
    int recordSize = 0;
    for (int f = 0; f < count; ++f) {
        fields[f].px_fname = PX_strdup(px, spec[f].name);
        fields[f].px_ftype = spec[f].type;
        fields[f].px_flen = spec[f].length;
        fields[f].px_fdc = 0;
        recordSize += spec[f].length;
    }
    EXPECT_GE(PX_create_file(px, fields, count, QFile::encodeName(path).constData(),
                             pxfFileTypNonIndexDB),
              0);
    PX_set_inputencoding(px, "CP1252");
    struct Row
    {
        const char* name;
        short qty;
        int count;
        double price, cash;
        int y, m, d;
        char active;
    };
    const Row rows[] = {{"Cr\xE8me", 12, 100000, 2.5, 19.99, 2024, 1, 31, 1},
                        {"Jam", -4, -7, 1234.75, 0.5, 1999, 12, 31, 0}};
    for (const Row& r : rows) {
        std::vector<char> data(static_cast<size_t>(recordSize), 0);
        char* p = data.data();
        PX_put_data_alpha(px, p, 20, const_cast<char*>(r.name));
        PX_put_data_short(px, p + 20, 2, r.qty);
        PX_put_data_long(px, p + 22, 4, r.count);
        PX_put_data_double(px, p + 26, 8, r.price);
        PX_put_data_double(px, p + 34, 8, r.cash);
        PX_put_data_long(px, p + 42, 4, int(PX_GregorianToSdn(r.y, r.m, r.d) - 1721425));
        PX_put_data_byte(px, p + 46, 1, r.active);
        EXPECT_GE(PX_put_record(px, data.data()), 0);
    }
    PX_close(px);
    PX_delete(px);
    return path;
}

TEST(ParadoxSource, ReadsATableWrittenByPxlib)
{
    QTemporaryDir dir;
    const QString path = WriteParadox(dir.path());
    QString error;
    EXPECT_EQ(ListFileSourceTables(5, path, &error), QStringList{"stock"}) << error.toStdString();
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(5, path, QString(), db.Db(), &error)) << error.toStdString();
    EXPECT_EQ(db.Columns(QStringLiteral("stock")),
              (QStringList{"Name TEXT", "Qty INTEGER", "Count INTEGER", "Price REAL", "Cash REAL",
                           "Added DATE", "Active BOOLEAN"}));
    EXPECT_EQ(db.Rows(QStringLiteral("stock")),
              (QStringList{QString::fromUtf8("Crème|i:12|i:100000|r:2.5|r:19.99|2024-01-31|i:1"),
                           "Jam|i:-4|i:-7|r:1234.75|r:0.5|1999-12-31|i:0"}));
}

TEST(ParadoxSource, DamagedCopiesAreReadOrRefused)
{
    QTemporaryDir dir;
    // pxlib can run round in circles on a damaged table; each such copy costs
    // the reader's time limit, so fewer copies are read here.
    ReadDamagedCopies(4, WriteParadox(dir.path()), QString(), 100);
}

// ---- Lotus 1-2-3 ----------------------------------------------------------------

// A worksheet of release 2, record by record: no program installed here
// writes one, so the test lays the records down as the format has them.
QByteArray LotusRecord(quint16 opcode, const QByteArray& body)
{
    QByteArray r;
    r.append(char(opcode & 0xFF)).append(char(opcode >> 8));
    r.append(char(body.size() & 0xFF)).append(char(body.size() >> 8));
    return r + body;
}

QByteArray LotusCell(unsigned char format, int column, int row)
{
    QByteArray b;
    b.append(char(format)).append(char(column & 0xFF)).append(char(column >> 8));
    b.append(char(row & 0xFF)).append(char(row >> 8));
    return b;
}

QByteArray LotusDouble(double value)
{
    QByteArray b(8, '\0');
    memcpy(b.data(), &value, 8);
    return b;
}

QByteArray LotusWorksheet(quint16 version = 0x0406)
{
    QByteArray file = LotusRecord(0x00, QByteArray(1, char(version & 0xFF)) + char(version >> 8));
    const char* names[] = {"'Name", "\"Price", "^Count", "'Added"};
    for (int c = 0; c < 4; ++c)
        file += LotusRecord(0x0F, LotusCell(0xFF, c, 0) + names[c] + '\0');
    file += LotusRecord(0x0F, LotusCell(0xFF, 0, 1) + "'Cr\xE8me" + '\0');
    file += LotusRecord(0x0E, LotusCell(0x02, 1, 1) + LotusDouble(2.5));
    file += LotusRecord(0x0D, LotusCell(0x00, 2, 1) + QByteArray("\x0C\x00", 2));
    file += LotusRecord(0x0E, LotusCell(0x72, 3, 1) + LotusDouble(45322));
    // A formula whose value is text: the string record that follows holds it.
    file +=
        LotusRecord(0x10, LotusCell(0xFF, 0, 3) + LotusDouble(NAN) + QByteArray("\x01\x00\x03", 3));
    file += LotusRecord(0x33, LotusCell(0xFF, 0, 3) + "Jam" + '\0');
    file +=
        LotusRecord(0x10, LotusCell(0x02, 1, 3) + LotusDouble(7) + QByteArray("\x01\x00\x03", 3));
    file += LotusRecord(0x0D, LotusCell(0x00, 2, 3) + QByteArray("\xFD\xFF", 2));
    file += LotusRecord(0x0E, LotusCell(0x72, 3, 3) + LotusDouble(59));
    file += LotusRecord(0x0D, LotusCell(0x00, 300, 3) +
                                  QByteArray("\x01\x00", 2)); // beyond the columns read
    file += LotusRecord(0x01, QByteArray());
    return file;
}

TEST(LotusSource, ReadsAWorksheetOfTheSecondRelease)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prices.wk1"));
    WriteBytes(path, LotusWorksheet());
    QString error;
    EXPECT_EQ(ListFileSourceTables(9, path, &error), QStringList{"prices"}) << error.toStdString();
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(9, path, QString(), db.Db(), &error)) << error.toStdString();
    EXPECT_EQ(db.Columns(QStringLiteral("prices")),
              (QStringList{"Name TEXT", "Price REAL", "Count INTEGER", "Added DATE"}));
    EXPECT_EQ(
        db.Rows(QStringLiteral("prices")),
        (QStringList{QString::fromUtf8("Crème|r:2.5|i:12|2024-01-31"), "Jam|r:7|i:-3|1900-02-28"}));

    // A worksheet of a later release, and one cut short.
    WriteBytes(path, LotusWorksheet(0x1003));
    EXPECT_FALSE(LoadFileSource(9, path, QString(), db.Db(), &error));
    EXPECT_EQ(error, QStringLiteral("This file format is not available."));
    WriteBytes(path, LotusWorksheet().left(60));
    EXPECT_FALSE(LoadFileSource(9, path, QString(), db.Db(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("damaged")));
}

// A Lotus sheet of cells far apart is held as its cells, as a workbook is.
TEST(LotusSource, ASparseSheetIsHeldAsTheCellsItHas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("far.wk1"));
    QByteArray file = LotusRecord(0x00, QByteArray("\x06\x04", 2));
    const int records = 2000;
    for (int r = 0; r < records; ++r)
        file += LotusRecord(0x0D, LotusCell(0x00, 254, r) + QByteArray("\x01\x00", 2));
    // An empty text result takes back the value before it.
    file += LotusRecord(0x33, LotusCell(0xFF, 254, 0) + '\0');
    file += LotusRecord(0x01, QByteArray());
    WriteBytes(path, file);
    CSourceTable table;
    QString error;
    ASSERT_TRUE(ReadLotusSheet(path, false, &table, &error)) << error.toStdString();
    EXPECT_EQ(table.RecordCount(), records - 1);
    EXPECT_EQ(table.columns.size(), 255);
    EXPECT_LE(HeldValues(table), records);
    CMemoryDb db;
    ASSERT_TRUE(LoadFileSource(9, path, QString(), db.Db(), &error, false)) << error.toStdString();
    QSqlQuery q(db.Db());
    ASSERT_TRUE(q.exec("SELECT COUNT(*), SUM(F255) FROM far"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), records - 1);
    EXPECT_EQ(q.value(1).toInt(), records - 1);
}

TEST(LotusSource, DamagedCopiesAreReadOrRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prices.wks"));
    WriteBytes(path, LotusWorksheet(0x0404));
    ReadDamagedCopies(8, path, QString(), 300);
}

// ---- what cannot be read -------------------------------------------------------

// Access databases: no tool installed here writes an .mdb or .accdb file, so
// there is no fixture to read; only the refusal of other files is tested.

TEST(AccessSource, DamagedDatabasesAreRefusedWithoutHarm)
{
    // Files that start as an Access database does, followed by noise: the
    // reader may refuse them but the program goes on.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("noise.mdb"));
    std::mt19937 rng(5104);
    for (int round = 0; round < 40; ++round) {
        QByteArray bytes(4096 * (2 + round % 6), '\0');
        for (char& b : bytes)
            b = static_cast<char>(rng() & 0xFF);
        bytes.replace(0, 4, QByteArray("\0\1\0\0", 4));
        bytes.replace(4, 15, round % 2 ? "Standard Jet DB" : "Standard ACE DB");
        bytes[20] = static_cast<char>(round % 3);
        WriteBytes(file, bytes);
        CMemoryDb db;
        QString error;
        const QStringList tables = ListFileSourceTables(0, file, &error);
        if (tables.isEmpty()) {
            EXPECT_FALSE(error.isEmpty());
        }
        error.clear();
        if (!LoadFileSource(0, file, QString(), db.Db(), &error)) {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_TRUE(db.Tables().isEmpty());
        }
        EXPECT_EQ(ReadBytes(file), bytes);
    }
}

TEST(FileSources, FormatsWithoutAReaderAndForeignFilesAreRefusedClearly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("thing.db"));
    WriteBytes(file, QByteArray(8192, 'x'));
    struct Case
    {
        int type;
        const char* message;
    };
    const Case cases[] = {
        {4, "not a Paradox table"},
        {10, "This file format is not available."},
        {11, "This file format is not available."},
        {13, "This file format is not available."},
        {0, "not an Access database"},
        {7, "not an Excel workbook"},
        {1, "not a dBASE table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CMemoryDb db;
        QString error;
        EXPECT_TRUE(ListFileSourceTables(c.type, file, &error).isEmpty());
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.message))) << error.toStdString();
        error.clear();
        EXPECT_FALSE(LoadFileSource(c.type, file, QStringLiteral("t"), db.Db(), &error));
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.message))) << error.toStdString();
        EXPECT_TRUE(db.Tables().isEmpty());
    }
    QString error;
    CMemoryDb db;
    EXPECT_FALSE(LoadFileSource(12, dir.filePath(QStringLiteral("missing.csv")), QString(), db.Db(),
                                &error));
    EXPECT_TRUE(error.contains(QStringLiteral("cannot be found")));
}

} // namespace
