// One table read from a data file, held until it is written into SQLite:
// the readers of the file formats fill it, and it makes the SQLite table in
// one step, so a file that fails half way changes nothing.
#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>

// What a column holds. Guess: texts whose type is decided from the values.
enum class ColumnKind
{
    Text,
    Integer,
    Real,
    Boolean,
    Date,
    DateTime,
    Time,
    Guess,
};

struct CSourceColumn
{
    QString name;
    ColumnKind kind = ColumnKind::Guess;
};

// One cell of a record read cell by cell: its column and its value.
struct CSourceCell
{
    int column = 0;
    QVariant value;
};

// A cell as a worksheet reader meets it: where it stands and its value.
struct CPlacedCell
{
    qint64 row = 0;
    int column = 0;
    QVariant value;
};

class CSourceTable
{
public:
    // Columns beyond this many are not read (the most any source offers).
    static constexpr int kMaxColumns = 255;

    QVector<CSourceColumn> columns;
    // One entry per record; a cell is null, a text, a 64-bit integer, a
    // double, a bool, or a QDate, QDateTime or QTime. A record may be shorter than the column list
    // (the missing cells are null); cells past the column list are dropped.
    QVector<QVector<QVariant>> rows;
    // Records of a worksheet, which may hold a few cells far apart: only the
    // cells that have a value, each record's in column order, so that what
    // is held grows with the cells present rather than with the sheet's
    // used range. A table holds its records in rows or here, not in both.
    QVector<QVector<CSourceCell>> sparseRows;

    // Fills sparseRows from the cells in the order met: records in row
    // order, a place met twice keeps its last value, null values and
    // columns from kMaxColumns on are left out, and so are records without
    // any cell left.
    void SetCells(QVector<CPlacedCell> cells);
    // The number of records, in either form.
    qsizetype RecordCount() const { return rows.size() + sparseRows.size(); }
    // Columns up to the last that holds a value in any record.
    qsizetype UsedColumnCount() const;

    // Texts are what the source says they are (a workbook's text cells),
    // rather than texts whose kind is guessed (a text file's fields).
    bool textIsFinal = false;

    // Decides the kind of every Guess column from its values and converts the
    // texts of every column to its kind; a text that does not convert stays
    // a text. A column whose values are of mixed types becomes Text.
    void Settle();

    // Makes the names usable: empty ones become F1, F2, ... by position, a
    // name repeated (case ignored) gets "_2", "_3", ...; control characters
    // are dropped and names cut to 64 characters.
    void SettleNames();

    // Replaces the table of that name in db by this one, in one transaction;
    // false with *error (db unchanged) when SQLite refuses.
    bool WriteTo(QSqlDatabase db, const QString& table, QString* error);
};

// The SQLite type a column is declared with.
QString DeclaredType(ColumnKind kind);

// A text converted to a column kind: an integer, double, bool or ISO date
// text; the text itself when it does not convert; null for an empty text.
// strictNumbers refuses forms that would lose a code's look (leading zeros,
// exponents, a '+'): used when guessing.
QVariant ConvertText(const QString& text, ColumnKind kind, bool strictNumbers = false);

// Decodes DOS (code page 437) bytes.
QString FromCodePage437(const QByteArray& bytes);

// The text of a value read from a source: integers in full, doubles with up
// to 15 significant digits and no exponent for ordinary sizes.
QString NumberText(double value);

// A name quoted for SQLite ("" doubled inside).
QString QuoteSqlName(const QString& name);
