#include "FileSources.h"
#include "SourceReaders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

enum SourceType
{
    TYPE_ACCESS = 0,
    TYPE_DBASE3 = 1,
    TYPE_DBASE5 = 3,
    TYPE_PARADOX3 = 4,
    TYPE_PARADOX5 = 6,
    TYPE_EXCEL = 7,
    TYPE_LOTUS_WKS = 8,
    TYPE_LOTUS_WK1 = 9,
    TYPE_LOTUS_WK4 = 11,
    TYPE_TEXT = 12,
};

// Files larger than this are refused rather than read into memory.
constexpr qint64 kMaxFileSize = qint64(1) << 30;

QString NotAvailable()
{
    return QStringLiteral("This file format is not available.");
}

bool IsXlsx(const QString& path)
{
    // A workbook of the newer kind is a zip archive, whatever its name says.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return file.read(4) == QByteArray("PK\x03\x04", 4);
    return path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
}

// The table name a one-table file is known by: "stock#csv" for a text file
// stock.csv, "stock" for a dBASE table stock.dbf.
QString DefaultTableName(int sourceType, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (sourceType == TYPE_TEXT) {
        QString table = name;
        const qsizetype dot = table.indexOf(u'.');
        if (dot >= 0)
            table[dot] = u'#';
        return table;
    }
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

// A worksheet named as a table: "Sheet1$", "'My Sheet$'" or "Sheet1".
QString SheetOfTable(const QString& table)
{
    QString sheet = table;
    if (sheet.size() >= 2 && sheet.startsWith(u'\'') && sheet.endsWith(u'\''))
        sheet = sheet.mid(1, sheet.size() - 2);
    if (sheet.endsWith(u'$'))
        sheet.chop(1);
    return sheet;
}

bool CheckFile(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        if (error)
            *error =
                QStringLiteral("The file %1 cannot be found.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

// The readers that rest on other libraries run apart (ReadIsolated): the
// names the lister finds in the file, none when it failed.
QStringList ListIsolated(const QString& path, QString* error,
                         QStringList (*list)(const QString& path, QString* error))
{
    QStringList names;
    ReadIsolated(
        [&](CSourceTable*, QStringList* n, QString* e) {
            *n = list(path, e);
            return !n->isEmpty();
        },
        nullptr, &names, error, QFileInfo(path).size());
    return names;
}

QStringList ListSheets(const QString& path, QString* error)
{
    if (IsXlsx(path))
        return ListXlsxSheets(path, error);
    return ListIsolated(path, error, ListXlsSheets);
}

QStringList ListAccess(const QString& path, QString* error)
{
    return ListIsolated(path, error, ListAccessTables);
}

bool ProbeDbf(const QString& path, QString* error)
{
    return ReadIsolated(
        [&](CSourceTable*, QStringList*, QString* e) { return ProbeDbfSource(path, e); }, nullptr,
        nullptr, error);
}

} // namespace

bool IsFileSourceType(int sourceType)
{
    return sourceType >= TYPE_ACCESS && sourceType <= TYPE_TEXT;
}

bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("The file %1 is too large to read.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

void TakeHeaderRow(CSourceTable* table, bool header)
{
    qsizetype count = 0;
    for (const QVector<QVariant>& row : table->rows)
        count = std::max(count, row.size());
    count = std::min<qsizetype>(std::max(count, table->UsedColumnCount()),
                                CSourceTable::kMaxColumns);
    QStringList names;
    if (header && !table->rows.isEmpty()) {
        for (const QVariant& v : table->rows.first())
            names << v.toString().trimmed();
        table->rows.removeFirst();
    } else if (header && !table->sparseRows.isEmpty()) {
        for (const CSourceCell& cell : table->sparseRows.first()) {
            while (names.size() < cell.column)
                names << QString();
            names << cell.value.toString().trimmed();
        }
        table->sparseRows.removeFirst();
    }
    table->columns.clear();
    for (qsizetype c = 0; c < count; ++c)
        table->columns.append({c < names.size() ? names[c] : QString(), ColumnKind::Guess});
    table->Settle();
}

QStringList ListFileSourceTables(int sourceType, const QString& path, QString* error)
{
    if (!IsFileSourceType(sourceType)) {
        if (error)
            *error = NotAvailable();
        return {};
    }
    if (!CheckFile(path, error))
        return {};
    if (sourceType > TYPE_LOTUS_WK1 && sourceType <= TYPE_LOTUS_WK4) {
        if (error)
            *error = NotAvailable();
        return {};
    }
    if (sourceType >= TYPE_PARADOX3 && sourceType <= TYPE_PARADOX5) {
        if (!ReadIsolated([&](CSourceTable* t, QStringList*,
                              QString* e) { return ReadParadoxTable(path, t, e); },
                          nullptr, nullptr, error))
            return {};
        return {DefaultTableName(sourceType, path)};
    }
    if (sourceType == TYPE_LOTUS_WKS || sourceType == TYPE_LOTUS_WK1) {
        CSourceTable probe;
        if (!ReadLotusSheet(path, true, &probe, error))
            return {};
        return {DefaultTableName(sourceType, path)};
    }
    if (sourceType == TYPE_EXCEL) {
        const QStringList sheets = ListSheets(path, error);
        QStringList tables;
        for (const QString& sheet : sheets)
            tables << sheet + u'$';
        return tables;
    }
    if (sourceType == TYPE_ACCESS)
        return ListAccess(path, error);
    if (sourceType != TYPE_TEXT && !ProbeDbf(path, error))
        return {};
    return {DefaultTableName(sourceType, path)};
}

bool LoadFileSource(int sourceType, const QString& path, const QString& table, QSqlDatabase db,
                    QString* error, bool firstRowHasNames)
{
    if (!IsFileSourceType(sourceType)) {
        if (error)
            *error = NotAvailable();
        return false;
    }
    if (!CheckFile(path, error))
        return false;
    if (!db.isOpen()) {
        if (error)
            *error = QStringLiteral("The database to load the file into is not open.");
        return false;
    }
    CSourceTable source;
    QString name = table;
    bool read = false;
    if (sourceType == TYPE_TEXT) {
        if (name.isEmpty())
            name = DefaultTableName(sourceType, path);
        read = ReadTextSource(path, &source, error);
    } else if (sourceType >= TYPE_DBASE3 && sourceType <= TYPE_DBASE5) {
        if (name.isEmpty())
            name = DefaultTableName(sourceType, path);
        read = ReadIsolated(
            [&](CSourceTable* t, QStringList*, QString* e) { return ReadDbfSource(path, t, e); },
            &source, nullptr, error, QFileInfo(path).size());
    } else if (sourceType == TYPE_EXCEL) {
        QString sheet = SheetOfTable(name);
        if (sheet.isEmpty()) {
            const QStringList sheets = ListSheets(path, error);
            if (sheets.isEmpty()) {
                if (error && error->isEmpty())
                    *error = QStringLiteral("The workbook has no worksheet.");
                return false;
            }
            sheet = sheets.first();
            name = sheet + u'$';
        }
        if (IsXlsx(path))
            read = ReadXlsxSheet(path, sheet, firstRowHasNames, &source, error);
        else
            read = ReadIsolated(
                [&](CSourceTable* t, QStringList*, QString* e) {
                    return ReadXlsSheet(path, sheet, firstRowHasNames, t, e);
                },
                &source, nullptr, error, QFileInfo(path).size());
    } else if (sourceType == TYPE_ACCESS) {
        if (name.isEmpty()) {
            const QStringList tables = ListAccess(path, error);
            if (tables.isEmpty()) {
                if (error && error->isEmpty())
                    *error = QStringLiteral("The database has no table.");
                return false;
            }
            name = tables.first();
        }
        read = ReadIsolated([&](CSourceTable* t, QStringList*,
                                QString* e) { return ReadAccessTable(path, name, t, e); },
                            &source, nullptr, error, QFileInfo(path).size());
    } else if (sourceType >= TYPE_PARADOX3 && sourceType <= TYPE_PARADOX5) {
        if (name.isEmpty())
            name = DefaultTableName(sourceType, path);
        read = ReadIsolated(
            [&](CSourceTable* t, QStringList*, QString* e) { return ReadParadoxTable(path, t, e); },
            &source, nullptr, error, QFileInfo(path).size());
    } else if (sourceType == TYPE_LOTUS_WKS || sourceType == TYPE_LOTUS_WK1) {
        if (name.isEmpty())
            name = DefaultTableName(sourceType, path);
        read = ReadLotusSheet(path, firstRowHasNames, &source, error);
    } else {
        if (error)
            *error = NotAvailable();
        return false;
    }
    if (!read)
        return false;
    return source.WriteTo(db, name, error);
}
