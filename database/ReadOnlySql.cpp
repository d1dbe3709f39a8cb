#include "ReadOnlySql.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <QHash>

#include <sqlite3.h>

#include <cstring>
#include <strings.h>

namespace {

// The SQLite connections inside a CProgramStatements scope, with the depth
// of their scopes. Only connections of the user-interface thread are
// guarded; the lock keeps the table sound all the same.
QMutex g_trustedLock;
QHash<const void*, int> g_trusted;

// The connection whose authorizer last refused something.
thread_local const void* t_refusedOn = nullptr;

bool IsTrusted(const void* handle)
{
    const QMutexLocker lock(&g_trustedLock);
    return g_trusted.value(handle, 0) > 0;
}

bool OneOf(const char* name, std::initializer_list<const char*> names)
{
    if (!name)
        return false;
    for (const char* n : names)
        if (strcasecmp(name, n) == 0)
            return true;
    return false;
}

// The PRAGMAs that only describe the database (the driver reads tables'
// columns and keys through them); every other one may change a setting or
// the file.
bool IsDescribingPragma(const char* name)
{
    return OneOf(name, {"table_info", "table_xinfo", "table_list", "index_list", "index_info",
                        "index_xinfo", "foreign_key_list", "database_list", "collation_list",
                        "function_list", "module_list", "pragma_list", "compile_options"});
}

bool IsFileFunction(const char* name)
{
    return OneOf(name, {"load_extension", "readfile", "writefile", "edit", "fts3_tokenizer"});
}

int Judge(int action, const char* first, const char* second)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_FUNCTION:
        // The name of the function is the second argument.
        return IsFileFunction(second) ? SQLITE_DENY : SQLITE_OK;
    case SQLITE_PRAGMA:
        return IsDescribingPragma(first) ? SQLITE_OK : SQLITE_DENY;
    default:
        // Writes, ATTACH, DETACH, transactions, schema changes, ANALYZE,
        // REINDEX, savepoints: refused.
        return SQLITE_DENY;
    }
}

int Authorize(void* handle, int action, const char* first, const char* second, const char*,
              const char*)
{
    if (IsTrusted(handle))
        return SQLITE_OK;
    const int answer = Judge(action, first, second);
    if (answer == SQLITE_DENY)
        t_refusedOn = handle;
    return answer;
}

// The first word of a statement, after blanks, comments and opening
// parentheses, in upper case.
QString FirstWord(const QString& sql)
{
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        if (sql[i].isSpace() || sql[i] == u'(') {
            ++i;
        } else if (sql.mid(i, 2) == QLatin1String("--")) {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
        ++j;
    return sql.mid(i, j - i).toUpper();
}

} // namespace

namespace ReadOnlySql {

sqlite3* SqliteHandle(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.driver() || db.driverName() != QLatin1String("QSQLITE"))
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

void GuardConnection(const QSqlDatabase& db)
{
    if (sqlite3* handle = SqliteHandle(db))
        sqlite3_set_authorizer(handle, &Authorize, handle);
}

QString ReadOnlyConnectOption(const QString& driver)
{
    if (driver == QLatin1String("QODBC"))
        return QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY");
    return QString();
}

bool HoldsMoreThanOneStatement(const QString& sql)
{
    const qsizetype semicolon = sql.indexOf(u';');
    if (semicolon < 0)
        return false;
    for (qsizetype i = semicolon; i < sql.size(); ++i)
        if (sql[i] != u';' && !sql[i].isSpace())
            return true;
    return false;
}

} // namespace ReadOnlySql

// --- the program's own statements ---------------------------------------------------

CProgramStatements::CProgramStatements(const QSqlDatabase& db)
    : m_handle(ReadOnlySql::SqliteHandle(db))
{
    if (!m_handle)
        return;
    const QMutexLocker lock(&g_trustedLock);
    ++g_trusted[m_handle];
}

CProgramStatements::~CProgramStatements()
{
    if (!m_handle)
        return;
    const QMutexLocker lock(&g_trustedLock);
    if (--g_trusted[m_handle] <= 0)
        g_trusted.remove(m_handle);
}

// --- a statement from a sign or the user ------------------------------------------------

CReadOnlyStatement::CReadOnlyStatement(const QSqlDatabase& db) : m_db(db) {}

CReadOnlyStatement::~CReadOnlyStatement()
{
    Finish();
}

void CReadOnlyStatement::Finish()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    m_db.rollback();
}

bool CReadOnlyStatement::Exec(QSqlQuery& query, const QString& sql, QString* error)
{
    using ReadOnlySql::Refusal;
    m_refusal = Refusal::None;
    const auto refuse = [&](Refusal why) {
        m_refusal = why;
        if (error)
            *error = why == Refusal::Multiple
                         ? QStringLiteral("The statement holds more than one statement.")
                         : QStringLiteral("The statement would change data or files.");
        return false;
    };
    if (sqlite3* handle = ReadOnlySql::SqliteHandle(m_db)) {
        // Compiled once to be judged: the authorizer answers while it is
        // compiled, and what it would do is known before it runs.
        if (IsTrusted(handle))
            return refuse(Refusal::Writes);
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        t_refusedOn = nullptr;
        const int rc =
            sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, &tail);
        if (t_refusedOn == handle || (rc & 0xff) == SQLITE_AUTH) {
            sqlite3_finalize(statement);
            return refuse(Refusal::Writes);
        }
        if (rc == SQLITE_OK) {
            const bool reads = !statement || sqlite3_stmt_readonly(statement) != 0;
            sqlite3_finalize(statement);
            if (!reads)
                return refuse(Refusal::Writes);
            // What follows the first statement must be nothing but blanks,
            // ';' and comments.
            while (tail && *tail) {
                sqlite3_stmt* next = nullptr;
                const char* rest = nullptr;
                const int more = sqlite3_prepare_v2(handle, tail, -1, &next, &rest);
                if (more != SQLITE_OK || next) {
                    sqlite3_finalize(next);
                    return refuse(Refusal::Multiple);
                }
                if (rest == tail)
                    break;
                tail = rest;
            }
        }
        // A text that does not compile runs on, to report its own error.
        t_refusedOn = nullptr;
        if (!query.exec(sql)) {
            if (error)
                *error = query.lastError().text();
            if (t_refusedOn == handle)
                refuse(Refusal::Writes);
            return false;
        }
        return true;
    }

    // A server: one statement that reads, in a read-only transaction. What
    // else a dialect knows (ATTACH, COPY, VACUUM) is not read: only a query
    // runs.
    if (ReadOnlySql::HoldsMoreThanOneStatement(sql))
        return refuse(Refusal::Multiple);
    if (const QString word = FirstWord(sql);
        word != QLatin1String("SELECT") && word != QLatin1String("WITH"))
        return refuse(Refusal::Writes);
    const bool postgres = m_db.driverName() == QLatin1String("QPSQL");
    if (m_db.driver() && m_db.driver()->hasFeature(QSqlDriver::Transactions)) {
        m_inTransaction = m_db.transaction();
        if (!m_inTransaction && postgres) {
            if (error)
                *error = m_db.lastError().text();
            return false;
        }
    }
    if (m_inTransaction) {
        // PostgreSQL must take it; through ODBC the read-only access mode
        // is the rule, and a server that knows the statement takes it too.
        QSqlQuery readOnly(m_db);
        if (!readOnly.exec(QStringLiteral("SET TRANSACTION READ ONLY")) && postgres) {
            if (error)
                *error = readOnly.lastError().text();
            Finish();
            return false;
        }
    }
    if (!query.exec(sql)) {
        if (error)
            *error = query.lastError().text();
        // PostgreSQL names the refusal of a read-only transaction by its
        // state: 25006.
        if (query.lastError().nativeErrorCode() == QLatin1String("25006"))
            refuse(Refusal::Writes);
        query.finish();
        Finish();
        return false;
    }
    // A statement that gives no records did something else than read; what
    // it did is rolled back.
    if (!query.isSelect()) {
        query.finish();
        Finish();
        return refuse(Refusal::Writes);
    }
    return true;
}
