// The sign's link to a database: which source (a database server, an SQLite
// database or a data file read into memory), which table or custom view,
// the open recordset with its sort and filter, the key field and the SQL
// delimiters used when conditions are written. Everything the rest of the
// program reads from a database goes through it.
//
// Sources by database type (the type table below):
//   0-12  data files: read into an in-memory SQLite database through the
//         file-source readers (an Access-type file that is an SQLite
//         database is opened as it stands);
//   13    a connection string: "Provider=QSQLITE;Data Source=<file>",
//         "Provider=QPSQL;Host=..;Port=..;Database=..;User=..;Password=..",
//         or any ODBC connection string ("DSN=..." or "Driver=...;...").
//
// The recordset is held on the client: its rows are read once when it is
// opened, sorted here and walked by position, as the keyset cursor of the
// design; a filter runs the statement again with the condition.
#pragma once

#include "Archive.h"
#include "FileSources.h"
#include "Seams.h"
#include "Types.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <utility>

class CTextExportFile;

struct CDatabaseTypeRow
{
    int id;
    const char* name;
    bool folderBased;
    const char* filter;
    const char* isamName;
};

constexpr int kDatabaseTypeCount = 14;
constexpr int kDatabaseTypeAccess = 0;
constexpr int kDatabaseTypeExcel = 7;
constexpr int kDatabaseTypeText = 12;
constexpr int kDatabaseTypeConnectionString = 13;

// The row of a type id; row 0 for an id out of range.
const CDatabaseTypeRow& DatabaseTypeRow(int id);

// A declared column of a delimited text source.
struct CTextField
{
    QString name;
    QString type;
    bool operator==(const CTextField&) const = default;
};

// The open recordset: the rows as read, and the order in which the sort
// shows them.
struct CRecordset
{
    QString command; // the statement it was opened with
    QString sort;    // e.g. "[Price] ASC, [Name] DESC"
    QString filter;
    QStringList names;
    QVector<int> types; // ADO-style type codes of the fields
    QVector<QVector<QVariant>> rows;
    QVector<int> order; // positions in rows, in sorted order
    int current = -1;   // index into order; -1 with no record
    // Opened over the whole table or view in its own order, and neither
    // filtered nor sorted since.
    bool whole = false;
};

class CDatabaseLink : public CDataLinkSeam
{
public:
    CDatabaseLink();
    ~CDatabaseLink() override;
    // A copy is linked to the same source (read-only) and table as an
    // external database; connections are never shared.
    CDatabaseLink(const CDatabaseLink& other);
    CDatabaseLink& operator=(const CDatabaseLink& other);
    // Takes the other link's settings and, when it is connected, its
    // connection and current table as they stand: a data file it read into
    // memory is not read again. The other link is left disconnected.
    void TakeOver(CDatabaseLink& other);

    // --- connection ----------------------------------------------------------
    BOOL Connect(const QString& dataSource, BOOL readOnly);
    void Disconnect();
    BOOL Reopen();
    // Reopen for a text file whose table is in memory: the file is read
    // again only when what the schema file now says would load it
    // differently (another delimiter, header row, character set, or columns
    // of other names or types than those loaded) or the file has changed
    // since; else the table stays as it was loaded.
    BOOL ReopenIfChanged();
    void SetDatabaseType(int id);
    // A text source: writes the link's text settings, its character set
    // among them, into the file's section of the schema file (the user chose
    // them). Connecting keeps the character set that the section names.
    BOOL WriteSchemaIni();
    bool IsConnected() const { return !m_connectionName.isEmpty(); }
    QSqlDatabase Database() const;
    // What a connection string of type 13 asks for: the Qt driver and its
    // settings (a QODBC string is passed on whole as the database name).
    struct CConnectionParts
    {
        QString driver;
        QString database;
        QString host;
        int port = -1;
        QString user;
        QString password;
        QString options;
    };
    static CConnectionParts ParseConnectionString(const QString& text);

    // --- tables and fields ---------------------------------------------------
    // The tables and views of the source.
    QStringList TableNames();
    BOOL OpenTable(const QString& name);
    const QString& CurrentTable() const { return m_tableName; }
    BOOL GetDefaultTableName(QString& name) const;
    bool TableHasColumn(const QString& name) override;
    QString GetKeyField();
    // The fields of the open recordset; with none open, those the recordset
    // would have, read from the statement's columns without its records.
    QStringList FieldNames();
    QStringList GetFieldNames() override { return IsConnected() ? FieldNames() : QStringList(); }
    int GetFieldType(const QString& name);
    QString GetFieldTypeName(int type) const;

    // --- recordset -----------------------------------------------------------
    int OpenRecordset(const QString& sql = QString());
    void CloseRecordset();
    bool IsRecordsetOpen() const { return m_recordset != nullptr; }
    QString GetDefaultSql() const;
    QString GetCurrentSql(bool withFilter, bool withSort) const;
    int SetFilter(const QString& text);
    int ClearFilter() { return SetFilter(QString()); }
    QString GetFilter() const;
    BOOL SortBy(const QString& field);
    // A custom view split into its statement and its sort; tableName is the
    // quoted current table, or empty with no current table.
    static std::pair<QString, QString> SplitQuery(const QString& text, const QString& quotedTable);

    // --- navigation ----------------------------------------------------------
    int GetRecordCount() const;
    int GetPosition() const;
    BOOL MoveTo(int position);
    BOOL MoveFirst();
    BOOL MoveLast();
    BOOL MovePrevious();
    BOOL MoveNext();
    int GetBookmark() const;
    BOOL GotoBookmark(int bookmark);
    BOOL FindRecord(const QString& field, const QString& value);
    BOOL GotoKey(const QString& value);

    // --- values --------------------------------------------------------------
    QString GetFieldValue(const QString& field) override;
    QString GetFieldValueAt(int index);
    // Every record's value of the field, first to last (the recordset stays
    // on the last record).
    QStringList FieldValues(const QString& field);
    // The same, leaving the recordset on the record it was on (an option
    // list filled from the link must not move the records being printed).
    QStringList GetColumnValues(const QString& field) override;
    // Up to count records around the current one, count / 2 before it (the
    // last count records near the end): (record number, value).
    QVector<std::pair<int, QString>> ValueWindow(const QString& field, int count);
    static QString FormatValue(const QVariant& value);

    // Names and literals for conditions: the text between the link's
    // delimiters, a closing delimiter inside doubled, so that no typed text
    // can end the quote early.
    QString QuoteName(const QString& text) const;
    QString QuoteString(const QString& text) const;
    QString QuoteDate(const QString& text) const;
    // A condition that the field starts with the text: the LIKE wildcards
    // and the escape character in the text stand for themselves.
    QString StartsWithCondition(const QString& field, const QString& text) const;

    // --- the sign's block and text export ------------------------------------
    void Serialize(CArchive& ar);
    void WriteXml(CTextExportFile& file) const;
    // The data source as a sign stores it and as it is read back.
    QString StoredDataSource() const;
    static QString ResolveStoredDataSource(const QString& stored);

    // --- CDataLinkSeam --------------------------------------------------------
    int GetLinkKind() const override { return m_linkKind; }
    int GetStoreRecordCount() override;

    // Asks for a data file that is not there: the chosen path, or empty to
    // go on without it; abort set to abandon the load. Installed by the
    // user interface; without it a missing file is not asked for.
    static std::function<QString(const QString& missing, bool& abort)> s_locateMissingFile;
    // Reports an error of the source to the user (the error dialog);
    // without it a message box names the error.
    static std::function<void(const QString& error)> s_showError;

    // The longest a statement of the link (opening records, a filter, a
    // custom view) may run on an SQLite connection, in milliseconds: one
    // that runs longer (a recursive query that never ends) is stopped and
    // fails with a message saying so.
    static int s_queryBudgetMs;
    // The most characters a value read for an element holds; a longer text
    // (or a longer binary value) is cut there, so that one huge value cannot
    // hold printing up.
    static constexpr int kMaxFieldChars = 65535;

    // --- fields ----------------------------------------------------------------
    BOOL m_jetPresent = TRUE; // the SQL drivers are there
    int m_linkKind = -1;
    int m_typeId = 0;
    QString m_customViewQuery;
    QString m_dataSource;
    QString m_keyField;
    char m_textDelimiter = ',';
    // 0 Windows (ANSI), 1 DOS (OEM), 2 Unicode (UTF-8).
    int m_textFileType = 0;
    BOOL m_textHeader = 0;
    QVector<CTextField> m_textFields;
    BOOL m_firstFieldIsCopyQuantity = 0;
    BOOL m_storeCopyQuantity = 0;
    BOOL m_excelHeader = 1;
    char m_nameDelimiters[2] = {'[', ']'};
    char m_stringDelimiters[2] = {'\'', '\''};
    char m_dateDelimiters[2] = {'#', '#'};
    char m_wildcard = '%';

    // The connection, current table and recordset; the data store's
    // operations work on them too.
    QString m_connectionName;
    QString m_tableName;
    std::unique_ptr<CRecordset> m_recordset;
    bool m_readOnly = true;
    // The last statement was refused for writing (or for holding more than
    // one statement).
    bool m_refused = false;
    bool m_runningView = false;
    // Records read into recordsets, and data files read into memory, since
    // the link was made.
    qint64 m_recordsRead = 0;
    int m_filesRead = 0;

    void ShowError(const QString& error) const;

private:
    // A recordset of the columns alone, for the names and types of its
    // fields: the records are not read.
    bool m_columnsOnly = false;

    static int OnQueryProgress(void* link);
    // The engine of an SQLite connection, for the query budget; null for
    // the other drivers.
    void* m_sqliteHandle = nullptr;
    // While a statement runs under its budget: when it is up (monotonic
    // milliseconds), and whether it was reached.
    qint64 m_queryDeadline = 0;
    bool m_queryStopped = false;

    // The schema and the file's size and time that the text table in
    // memory was loaded with.
    struct CTextLoad
    {
        bool valid = false;
        CTextSchema schema;
        qint64 size = -1;
        qint64 modified = 0;
    } m_textLoad;
    bool TextLoadIsCurrent(const CTextSchema& now);

    bool ConnectDatabase(QString* error);
    void SyncTextSchema(const QString& path, bool keepCharacterSet = true);
    bool LoadRecordset(CRecordset& set, const QString& statement, QString* error);
    void ApplySort(CRecordset& set) const;
    int FieldIndex(const QString& name) const;
    const QVector<QVariant>* CurrentRow() const;
    void ReadBlock(CArchive& ar);
};

// The named custom views the program keeps (name to query).
class CCustomViewList
{
public:
    // The query of the name (case ignored), or a null text.
    QString Find(const QString& name) const;
    void Set(const QString& name, const QString& query);
    // Removes the view of the name (case ignored); false when none.
    bool Remove(const QString& name);
    // The name of the first view of that query (case ignored), else empty.
    QString NameOfQuery(const QString& query) const;
    const QVector<std::pair<QString, QString>>& Views() const { return m_views; }

private:
    QVector<std::pair<QString, QString>> m_views;
    // Each view's place in m_views, by its name case-folded.
    QHash<QString, qsizetype> m_index;
};

CCustomViewList& TheCustomViewList();

// The sign's link of the current application context; made (and installed
// as the context's data link) on first use.
CDatabaseLink& TheDatabaseLink();

// Makes the database library known to the rest of the program: the sign's
// database block, the data-path map and the hooks of the sign's load.
void RegisterDatabaseSignParts();
