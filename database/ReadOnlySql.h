// Statements that come from a sign or from the user (a custom view, a
// filter, a condition or sort built with the sign's SQL format) may read
// data and nothing else.
//
// - SQLite (a data file read into memory, an SQLite file, the data store):
//   the link's connection carries an authorizer that allows reading and
//   refuses every write, ATTACH and DETACH, transactions, a PRAGMA that
//   changes state, VACUUM and the functions that reach files
//   (load_extension, readfile, writefile, edit). The statement is compiled
//   first: more than one statement, or one that would write, is refused
//   before it runs.
// - PostgreSQL and ODBC: the text must be one statement; it runs in a
//   transaction made read-only (SET TRANSACTION READ ONLY; the ODBC
//   connection is opened in the read-only access mode) that is rolled back
//   when the rows are read.
//
// The program's own statements that write (a data file loaded into memory,
// the data store's columns and records) run inside a CProgramStatements
// scope on that connection; no text from a sign ever runs inside one.
#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlQuery;
struct sqlite3;

namespace ReadOnlySql {

// Why a statement was refused.
enum class Refusal
{
    None,
    Writes,   // it would change data, settings or files
    Multiple, // more than one statement
};

// Called as soon as a connection of the link is open: an SQLite
// connection gets the authorizer.
void GuardConnection(const QSqlDatabase& db);

// The connect option that opens a connection of that driver read-only, or
// empty (ODBC: the read-only access mode).
QString ReadOnlyConnectOption(const QString& driver);

// Whether the text holds more than one statement in the eyes of a server:
// a ';' followed by anything but blanks, line breaks and further ';'. A ';'
// inside a quoted literal counts too, since dialects differ on how a
// literal ends.
bool HoldsMoreThanOneStatement(const QString& sql);

// The SQLite connection under a Qt connection, or null when it is not one.
sqlite3* SqliteHandle(const QSqlDatabase& db);

} // namespace ReadOnlySql

// While it lives, the program's own statements on the connection may write.
class CProgramStatements
{
public:
    explicit CProgramStatements(const QSqlDatabase& db);
    ~CProgramStatements();
    CProgramStatements(const CProgramStatements&) = delete;
    CProgramStatements& operator=(const CProgramStatements&) = delete;

private:
    void* m_handle = nullptr;
};

// Runs one statement from a sign or the user, read-only. On a server the
// read-only transaction lasts as long as this object: read the rows, then
// let it go (or call Finish) to roll the transaction back.
class CReadOnlyStatement
{
public:
    explicit CReadOnlyStatement(const QSqlDatabase& db);
    ~CReadOnlyStatement();
    CReadOnlyStatement(const CReadOnlyStatement&) = delete;
    CReadOnlyStatement& operator=(const CReadOnlyStatement&) = delete;

    // Checks the text and runs it on query (which must be on the same
    // connection). False with *error set when it was refused or failed;
    // Refused() tells which.
    bool Exec(QSqlQuery& query, const QString& sql, QString* error);
    ReadOnlySql::Refusal Refused() const { return m_refusal; }
    // Ends the transaction of a server statement (rolled back).
    void Finish();

private:
    QSqlDatabase m_db;
    ReadOnlySql::Refusal m_refusal = ReadOnlySql::Refusal::None;
    bool m_inTransaction = false;
};
