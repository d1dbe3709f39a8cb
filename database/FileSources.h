// Data files that no SQL server holds: delimited and fixed-width text,
// dBASE and FoxPro tables, Excel workbooks and Access databases. Each is read
// whole into a table of an open (normally in-memory) SQLite connection, so
// the SQL the link builds runs on every kind of source the same way.
//
// Source types are the database type ids of the link:
//   0 Access (.mdb, .accdb)      1-3 dBASE III, IV, 5 (.dbf, FoxPro too)
//   4-6 Paradox (.db)            7 Excel (.xls, .xlsx)
//   8-11 Lotus (.wks .. .wk4)    12 Text (.txt, .csv)
// The later Lotus releases (.wk3, .wk4) have no reader here: they fail with
// the message "This file format is not available.".
//
// Every reader takes time linear in the file's size, brings each value into
// range, and reports a damaged file with a clear error; a failed load leaves
// the connection as it was (the table is made in one transaction, and not at
// all when reading fails). Files are only ever read.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

// The tables a data file offers, in the file's own order:
//   type 12, 1-6 and 8-9 (one table per file): the file's one table, named
//     as the link's GetDefaultTableName names it ("stock#csv" for
//     stock.csv, "stock" for stock.dbf, stock.db and stock.wk1);
//   type 7: the worksheets of the workbook, each as its name followed by
//     '$' ("Sheet1$"); LoadFileSource takes that form, the bare sheet name,
//     or either in single quotes;
//   type 0: the user tables of the Access database.
// Empty with *error set when the file cannot be read or is of no supported
// format.
QStringList ListFileSourceTables(int sourceType, const QString& path, QString* error);

// Loads one table of a data file into db as a table of the same name
// (replacing a table of that name made by an earlier load). For types 12,
// 1-6 and 8-9 the table argument may be empty (the file's one table).
// Column names are the source's own; column types are SQLite's affinities
// for the source's types, declared as INTEGER, REAL, TEXT, BOOLEAN (stored 1
// or 0), DATE, DATETIME or TIME (these three stored as ISO text
// "yyyy-MM-dd", "yyyy-MM-dd hh:mm:ss", "hh:mm:ss"); a value that does not
// fit its column's type is kept as its text rather than lost; empty cells
// and dBASE null values are NULL. Rows of a worksheet without any value are
// left out. firstRowHasNames is the Excel header setting, used for Lotus
// worksheets too (text files take theirs from the schema file). False with
// *error set when the file cannot be read; db is then unchanged.
bool LoadFileSource(int sourceType, const QString& path, const QString& table, QSqlDatabase db,
                    QString* error, bool firstRowHasNames = true);

// Whether a source type is read through LoadFileSource (types 0 to 12).
bool IsFileSourceType(int sourceType);

// ---- The schema file of text sources -------------------------------------
//
// A text source is described by a section of the file "SCHEMA.INI" in the
// text file's folder; the section is named after the text file (name with
// extension, matched without regard to case). Lines end in CR LF when
// written; LF and CR LF are read. The file is Windows-1252.

struct CTextColumn
{
    QString name;
    // "Bit", "Byte", "Short", "Long", "Currency", "Single", "Double",
    // "DateTime", "Text" or "Memo".
    QString type;
    // Fixed-width files only: the column's width in characters.
    int width = 0;
};

struct CTextSchema
{
    // "ColNameHeader": the first line holds the field names.
    bool header = true;
    // "Format": a delimiter character ('\t' for TabDelimited, ',' for
    // CSVDelimited, else Delimited(c)), or fixedWidth for FixedLength.
    char delimiter = ',';
    bool fixedWidth = false;
    // "CharacterSet": 0 Windows (ANSI, Windows-1252), 1 DOS (OEM, code page
    // 437), 2 UTF-8 ("65001" or "UTF-8").
    int fileType = 0;
    // Read only: whether the section names the character set.
    bool characterSetNamed = false;
    // "Col1", "Col2", ...: the declared columns; empty means the columns are
    // taken from the header line (or named F1, F2, ...) and their types
    // guessed from the values.
    QVector<CTextColumn> columns;
};

// Reads the section of the text file dataFile. False (with *error) when the
// schema file or the section is missing or a value is not understood; the
// schema is then left as it was. A key that is missing keeps its default
// above; "Col1", "Col2", ... are read up to the first number missing, and a
// bad one is an error too. *sectionFound (when given) tells whether the
// schema file has a section for the file, read or not.
bool ReadTextSchema(const QString& dataFile, CTextSchema* schema, QString* error,
                    bool* sectionFound = nullptr);

// The SQLite type a column declared in the schema file with that type name
// ("Long", "Double", "Text", ...) is loaded as: "INTEGER", "REAL", "TEXT",
// "BOOLEAN" or "DATETIME".
QString TextColumnDeclaredType(const QString& typeName);

// Whether a text file is UTF-8: it begins with the UTF-8 byte-order mark, or
// its bytes are valid UTF-8 and hold characters beyond ASCII. False when the
// file cannot be read.
bool TextFileIsUtf8(const QString& dataFile);

// Writes the section of the text file dataFile: "ColNameHeader", "Format",
// "MaxScanRows" (25), "CharacterSet", then "Col1".. for the declared
// columns. The whole section is replaced, so no column of an earlier schema
// is left behind; the other sections of the file stay as they were. The file
// is replaced whole (a failed write leaves the old file). False with *error
// on failure.
bool WriteTextSchema(const QString& dataFile, const CTextSchema& schema, QString* error);
