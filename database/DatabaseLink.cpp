#include "DatabaseLink.h"

#include "AppContext.h"
#include "FileName.h"
#include "FileSources.h"
#include "Helpers.h"
#include "Messages.h"
#include "ReadOnlySql.h"
#include "RecordFilter.h"
#include "SourceTable.h"
#include "ResourceIds.h"
#include "TextExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QScopedValueRollback>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

std::function<QString(const QString& missing, bool& abort)> CDatabaseLink::s_locateMissingFile;
std::function<void(const QString& error)> CDatabaseLink::s_showError;
int CDatabaseLink::s_queryBudgetMs = 10000;

namespace {

// Virtual-machine steps of the engine between two looks at the clock.
constexpr int kQueryProgressSteps = 1000;

qint64 MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A value as read for an element: a text or binary value longer than an
// element takes is cut, so that the records hold no more than is shown.
QVariant BoundedValue(QVariant value)
{
    const int limit = CDatabaseLink::kMaxFieldChars;
    if (value.typeId() == QMetaType::QString) {
        if (const QString text = value.toString(); text.size() > limit)
            value = QVariant(text.left(limit));
    } else if (value.typeId() == QMetaType::QByteArray) {
        // Shown as two hexadecimal digits a byte.
        if (const QByteArray bytes = value.toByteArray(); bytes.size() > limit / 2)
            value = QVariant(bytes.left(limit / 2));
    }
    return value;
}

const CDatabaseTypeRow kTypes[kDatabaseTypeCount] = {
    {0, "Access      (*.mdb;*.accdb)", false, "*.mdb;*.accdb", nullptr},
    {1, "dBASE III   (*.dbf)", true, "*.dbf", "dBASE III"},
    {2, "dBASE IV    (*.dbf)", true, "*.dbf", "dBASE IV"},
    {3, "dBASE 5     (*.dbf)", true, "*.dbf", "dBASE 5.0"},
    {4, "Paradox 3.x (*.db)", true, "*.db", "Paradox 3.x"},
    {5, "Paradox 4.x (*.db)", true, "*.db", "Paradox 4.x"},
    {6, "Paradox 5.x (*.db)", true, "*.db", "Paradox 5.x"},
    {7, "Excel       (*.xls;*.xlsx)", false, "*.xls;*.xlsx", "Excel 8.0"},
    {8, "Lotus WKS   (*.wks)", false, "*.wks", "Lotus WK1"},
    {9, "Lotus WK1   (*.wk1)", false, "*.wk1", "Lotus WK1"},
    {10, "Lotus WK3   (*.wk3)", false, "*.wk3", "Lotus WK3"},
    {11, "Lotus WK4   (*.wk4)", false, "*.wk4", "Lotus WK4"},
    {12, "Text File   (*.txt;*.csv)", true, "*.txt;*.csv", "Text"},
    {13, "OLE DB", false, "", nullptr},
};

// ADO-style type codes of the field types.
enum : int
{
    kTypeEmpty = 0,
    kTypeSmallInt = 2,
    kTypeInteger = 3,
    kTypeSingle = 4,
    kTypeDouble = 5,
    kTypeDate = 7,
    kTypeBoolean = 11,
    kTypeUnsignedByte = 17,
    kTypeUnsignedInt = 19,
    kTypeBigInt = 20,
    kTypeUnsignedBigInt = 21,
    kTypeGuid = 72,
    kTypeBinary = 128,
    kTypeDbDate = 133,
    kTypeDbTime = 134,
    kTypeDbTimeStamp = 135,
    kTypeVarWChar = 202,
};

int TypeCodeOf(const QMetaType& type)
{
    switch (type.id()) {
    case QMetaType::Short:
        return kTypeSmallInt;
    case QMetaType::Int:
    case QMetaType::Long:
        return kTypeInteger;
    case QMetaType::UInt:
    case QMetaType::ULong:
        return kTypeUnsignedInt;
    case QMetaType::LongLong:
        return kTypeBigInt;
    case QMetaType::ULongLong:
        return kTypeUnsignedBigInt;
    case QMetaType::Float:
        return kTypeSingle;
    case QMetaType::Double:
        return kTypeDouble;
    case QMetaType::Bool:
        return kTypeBoolean;
    case QMetaType::UChar:
        return kTypeUnsignedByte;
    case QMetaType::QDate:
        return kTypeDbDate;
    case QMetaType::QTime:
        return kTypeDbTime;
    case QMetaType::QDateTime:
        return kTypeDbTimeStamp;
    case QMetaType::QUuid:
        return kTypeGuid;
    case QMetaType::QByteArray:
        return kTypeBinary;
    default:
        return kTypeVarWChar;
    }
}

// Where a keyword stands in an SQL text as a word of its own, outside every
// quoted name or literal: its position and length. -1 when absent.
std::pair<qsizetype, qsizetype> FindKeyword(const QString& text, const QString& keyword)
{
    return CRecordFilter::FindKeyword(text, keyword, false);
}

QString TrimEnd(QString text, const QString& characters)
{
    while (!text.isEmpty() && characters.contains(text.back()))
        text.chop(1);
    return text;
}

// A sort text read into (field, descending) pairs: "[A] ASC, B DESC".
QVector<std::pair<QString, bool>> ParseSort(const QString& sort)
{
    QVector<std::pair<QString, bool>> keys;
    QString part;
    QChar close;
    const auto flush = [&] {
        QString item = part.trimmed();
        part.clear();
        if (item.isEmpty())
            return;
        bool descending = false;
        const auto [descAt, descLength] = FindKeyword(item, QStringLiteral("DESC"));
        const auto [ascAt, ascLength] = FindKeyword(item, QStringLiteral("ASC"));
        if (descAt > 0 && descAt + descLength == item.size()) {
            descending = true;
            item = item.left(descAt).trimmed();
        } else if (ascAt > 0 && ascAt + ascLength == item.size()) {
            item = item.left(ascAt).trimmed();
        }
        if (item.size() >= 2 && !CRecordFilter::ClosingQuote(item.front()).isNull() &&
            item.back() == CRecordFilter::ClosingQuote(item.front())) {
            const QChar quote = item.back();
            item = item.mid(1, item.size() - 2);
            item.replace(QString(2, quote), QString(quote));
        }
        keys.push_back({item, descending});
    };
    for (const QChar c : sort) {
        if (!close.isNull()) {
            part += c;
            if (c == close)
                close = QChar();
            continue;
        }
        if (c == u',') {
            flush();
            continue;
        }
        close = CRecordFilter::ClosingQuote(c);
        part += c;
    }
    flush();
    return keys;
}

bool IsNumber(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

int CompareValues(const QVariant& a, const QVariant& b)
{
    const bool aNull = a.isNull() || !a.isValid();
    const bool bNull = b.isNull() || !b.isValid();
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    if (IsNumber(a) && IsNumber(b)) {
        if ((a.metaType().id() == QMetaType::LongLong || a.metaType().id() == QMetaType::Int) &&
            (b.metaType().id() == QMetaType::LongLong || b.metaType().id() == QMetaType::Int)) {
            const qlonglong x = a.toLongLong();
            const qlonglong y = b.toLongLong();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.metaType().id() == QMetaType::QString && b.metaType().id() == QMetaType::QString)
        return static_cast<const QString*>(a.constData())
            ->compare(*static_cast<const QString*>(b.constData()), Qt::CaseInsensitive);
    const QPartialOrdering order = QVariant::compare(a, b);
    if ((a.metaType() == b.metaType()) && a.metaType().id() != QMetaType::QString) {
        if (order == QPartialOrdering::Less)
            return -1;
        if (order == QPartialOrdering::Greater)
            return 1;
        if (order == QPartialOrdering::Equivalent)
            return 0;
    }
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

// Compares two texts as QString::compare with Qt::CaseInsensitive does,
// without folding the units they share: only what follows the first unit
// that differs is folded. A low surrogate folds with the high one before
// it, so a pair is never split.
int CompareTextCaseless(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    qsizetype same = 0;
    while (same < common && x[same] == y[same])
        ++same;
    if (same > 0 && QChar::isHighSurrogate(x[same - 1]))
        --same;
    return a.sliced(same).compare(b.sliced(same), Qt::CaseInsensitive);
}

// One field of one record in a sort by a text field: its text, or none for
// a null, which comes before every text.
struct TextKey
{
    QStringView text;
    bool null = true;
};

int CompareTextKeys(const TextKey& a, const TextKey& b)
{
    if (a.null || b.null)
        return a.null == b.null ? 0 : (a.null ? -1 : 1);
    return CompareTextCaseless(a.text, b.text);
}

// The texts of a field for every record, when every value of it is a text
// or null; empty otherwise (the values are then compared as they are). The
// beginning all the texts share (codes such as "TAB000...") is left out of
// the views: it decides nothing.
std::vector<TextKey> TextKeys(const QVector<QVector<QVariant>>& rows, int column)
{
    std::vector<TextKey> keys(rows.size());
    QStringView shared;
    bool first = true;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QVariant& value = rows[row][column];
        if (value.isNull() || !value.isValid())
            continue;
        if (value.metaType().id() != QMetaType::QString)
            return {};
        const QStringView text = *static_cast<const QString*>(value.constData());
        keys[size_t(row)] = {text, false};
        if (first) {
            shared = text;
            first = false;
        } else if (!shared.isEmpty()) {
            const qsizetype common = std::min(shared.size(), text.size());
            qsizetype same = 0;
            while (same < common && shared[same] == text[same])
                ++same;
            shared.truncate(same);
        }
    }
    qsizetype skip = shared.size();
    if (skip > 0 && shared[skip - 1].isHighSurrogate())
        --skip;
    if (skip > 0) {
        for (TextKey& key : keys) {
            if (!key.null)
                key.text = key.text.sliced(skip);
        }
    }
    return keys;
}

std::atomic<int> g_connectionCounter{0};

bool IsSqliteFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Closes and forgets a connection of the link, if it has one.
void CloseConnection(QString& name)
{
    if (name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
    name.clear();
}

} // namespace

const CDatabaseTypeRow& DatabaseTypeRow(int id)
{
    return kTypes[id >= 0 && id < kDatabaseTypeCount ? id : 0];
}

// --- construction ------------------------------------------------------------------

CDatabaseLink::CDatabaseLink()
{
    m_jetPresent = QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")) ? TRUE : FALSE;
}

CDatabaseLink::~CDatabaseLink()
{
    Disconnect();
    if (App().dataLink == this)
        App().dataLink = nullptr;
}

CDatabaseLink::CDatabaseLink(const CDatabaseLink& other)
{
    *this = other;
}

CDatabaseLink& CDatabaseLink::operator=(const CDatabaseLink& other)
{
    if (this == &other)
        return *this;
    Disconnect();
    m_jetPresent = other.m_jetPresent;
    m_typeId = other.m_typeId;
    m_customViewQuery = other.m_customViewQuery;
    m_dataSource = other.m_dataSource;
    m_keyField = other.m_keyField;
    m_textDelimiter = other.m_textDelimiter;
    m_textFileType = other.m_textFileType;
    m_textHeader = other.m_textHeader;
    m_textFields = other.m_textFields;
    m_firstFieldIsCopyQuantity = other.m_firstFieldIsCopyQuantity;
    m_storeCopyQuantity = other.m_storeCopyQuantity;
    m_excelHeader = other.m_excelHeader;
    std::copy_n(other.m_nameDelimiters, 2, m_nameDelimiters);
    std::copy_n(other.m_stringDelimiters, 2, m_stringDelimiters);
    std::copy_n(other.m_dateDelimiters, 2, m_dateDelimiters);
    m_wildcard = other.m_wildcard;
    m_linkKind = 0;
    if (other.IsConnected()) {
        const QString source = other.m_dataSource;
        m_dataSource.clear();
        if (Connect(source, TRUE) && !other.m_tableName.isEmpty())
            OpenTable(other.m_tableName);
    }
    return *this;
}

void CDatabaseLink::TakeOver(CDatabaseLink& other)
{
    if (this == &other)
        return;
    const QString connection = std::exchange(other.m_connectionName, QString());
    const QString table = other.m_tableName;
    const bool readOnly = other.m_readOnly;
    // The settings, without a connection of its own.
    *this = other;
    if (!connection.isEmpty()) {
        m_connectionName = connection;
        m_tableName = table;
        m_readOnly = readOnly;
        m_textLoad = other.m_textLoad;
    }
    other.Disconnect();
}

// --- connection ----------------------------------------------------------------------

QSqlDatabase CDatabaseLink::Database() const
{
    if (m_connectionName.isEmpty())
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

CDatabaseLink::CConnectionParts CDatabaseLink::ParseConnectionString(const QString& text)
{
    CConnectionParts parts;
    QString provider;
    QStringList rest;
    // key=value pairs separated by ';'; a value in braces may hold ';'.
    QStringList pairs;
    QString current;
    int braces = 0;
    for (const QChar c : text) {
        if (c == u'{')
            ++braces;
        else if (c == u'}' && braces > 0)
            --braces;
        if (c == u';' && braces == 0) {
            pairs << current;
            current.clear();
        } else {
            current += c;
        }
    }
    pairs << current;
    QMap<QString, QString> values;
    for (const QString& pair : std::as_const(pairs)) {
        if (pair.trimmed().isEmpty())
            continue;
        const qsizetype eq = pair.indexOf(u'=');
        const QString key = (eq < 0 ? pair : pair.left(eq)).trimmed().toLower();
        const QString value = eq < 0 ? QString() : pair.mid(eq + 1).trimmed();
        if (key == QLatin1String("provider")) {
            provider = value.toUpper();
            continue;
        }
        values.insert(key, value);
        rest << pair.trimmed();
    }
    const auto first = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            if (values.contains(QLatin1String(key)))
                return values.value(QLatin1String(key));
        }
        return QString();
    };
    if (provider == QLatin1String("QSQLITE")) {
        parts.driver = QStringLiteral("QSQLITE");
        parts.database = first({"data source", "database", "dbname"});
    } else if (provider == QLatin1String("QPSQL")) {
        parts.driver = QStringLiteral("QPSQL");
        parts.database = first({"database", "dbname", "initial catalog"});
        parts.host = first({"host", "server", "data source"});
        bool ok = false;
        const int port = first({"port"}).toInt(&ok);
        parts.port = ok && port > 0 && port < 65536 ? port : -1;
        parts.user = first({"user", "user id", "uid"});
        parts.password = first({"password", "pwd"});
        parts.options = first({"options"});
    } else {
        parts.driver = QStringLiteral("QODBC");
        parts.database = rest.join(u';');
    }
    return parts;
}

bool CDatabaseLink::ConnectDatabase(QString* error)
{
    const QString name = QStringLiteral("tabrel-link-%1").arg(g_connectionCounter.fetch_add(1) + 1);
    QString driver = QStringLiteral("QSQLITE");
    CConnectionParts parts;
    bool memory = false;
    if (m_typeId == kDatabaseTypeConnectionString) {
        parts = ParseConnectionString(m_dataSource);
        driver = parts.driver;
        if (driver == QLatin1String("QSQLITE") && !QFileInfo::exists(parts.database)) {
            *error = QStringLiteral("The database file \"%1\" does not exist.").arg(parts.database);
            return false;
        }
    } else {
        if (!QFileInfo(m_dataSource).isFile()) {
            *error = QStringLiteral("The file \"%1\" does not exist.").arg(m_dataSource);
            return false;
        }
        if (m_typeId == kDatabaseTypeAccess && IsSqliteFile(m_dataSource)) {
            parts.database = m_dataSource;
        } else if (!IsFileSourceType(m_typeId)) {
            *error = QStringLiteral("This file format is not available.");
            return false;
        } else {
            memory = true;
            parts.database = QStringLiteral(":memory:");
        }
        if (m_typeId == kDatabaseTypeText)
            SyncTextSchema(m_dataSource);
    }
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        *error = QStringLiteral("The database driver %1 is not installed.").arg(driver);
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(parts.database);
        if (!parts.host.isEmpty())
            db.setHostName(parts.host);
        if (parts.port > 0)
            db.setPort(parts.port);
        if (!parts.user.isEmpty())
            db.setUserName(parts.user);
        if (!parts.password.isEmpty())
            db.setPassword(parts.password);
        QStringList options;
        if (driver == QLatin1String("QSQLITE") && !memory && m_readOnly)
            options << QStringLiteral("QSQLITE_OPEN_READONLY");
        if (driver == QLatin1String("QPSQL") && !parts.options.isEmpty())
            options << parts.options;
        if (driver == QLatin1String("QPSQL"))
            options << QStringLiteral("connect_timeout=10");
        if (const QString readOnly = ReadOnlySql::ReadOnlyConnectOption(driver);
            !readOnly.isEmpty())
            options << readOnly;
        db.setConnectOptions(options.join(u';'));
        if (!db.open()) {
            *error = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return false;
        }
        // What a sign or the user writes into SQL may only read.
        ReadOnlySql::GuardConnection(db);
    }
    m_connectionName = name;
    // Statements that run past their budget are stopped by the engine.
    m_sqliteHandle = nullptr;
    if (driver == QLatin1String("QSQLITE")) {
        const QVariant handle = QSqlDatabase::database(name, false).driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_sqliteHandle = *static_cast<sqlite3* const*>(handle.constData());
        if (m_sqliteHandle)
            sqlite3_progress_handler(static_cast<sqlite3*>(m_sqliteHandle), kQueryProgressSteps,
                                     &OnQueryProgress, this);
    }
    // PostgreSQL knows neither bracketed names nor #dates#: the link's
    // untouched defaults become the standard quotes there.
    if (driver == QLatin1String("QPSQL")) {
        if (m_nameDelimiters[0] == '[' && m_nameDelimiters[1] == ']')
            m_nameDelimiters[0] = m_nameDelimiters[1] = '"';
        if (m_dateDelimiters[0] == '#' && m_dateDelimiters[1] == '#')
            m_dateDelimiters[0] = m_dateDelimiters[1] = '\'';
    }
    return true;
}

// The text reader sees a text source's settings only through the schema
// file: the link's header row, delimiter and character set are written to
// the file's section, and its declared columns when it has any (a section's
// own columns stay when the link declares none, and a fixed-width section
// keeps its widths). Nothing is written when the section already says so,
// nor when the section holds a line that cannot be read: what the user
// wrote stays, and the reader refuses the line with its message.
// The character set that the section names holds (it may have been written
// by hand), and the link takes it; a section that names none gets UTF-8 for
// a file that is UTF-8, else the link's.
void CDatabaseLink::SyncTextSchema(const QString& path, bool keepCharacterSet)
{
    CTextSchema held;
    QString error;
    bool sectionFound = false;
    const bool has = ReadTextSchema(path, &held, &error, &sectionFound);
    if (!has && sectionFound)
        return;
    if (keepCharacterSet) {
        if (has && held.characterSetNamed)
            m_textFileType = held.fileType;
        else if (TextFileIsUtf8(path))
            m_textFileType = 2;
    }
    CTextSchema wanted = has ? held : CTextSchema();
    wanted.header = m_textHeader != FALSE;
    wanted.fileType = m_textFileType;
    if (!wanted.fixedWidth)
        wanted.delimiter = m_textDelimiter;
    if (!m_textFields.isEmpty() && !wanted.fixedWidth) {
        wanted.columns.clear();
        for (const CTextField& field : m_textFields)
            wanted.columns.push_back({field.name, field.type, 0});
    }
    // A sign names its data file: the schema file is written only beside a
    // file that is plainly a text table, never beside whatever a damaged or
    // hostile sign may name.
    static const QStringList kTextSuffixes = {"txt", "csv", "tab", "asc", "prn"};
    if (!kTextSuffixes.contains(QFileInfo(path).suffix().toLower()) || !QFileInfo(path).isFile())
        return;
    bool same = has && held.header == wanted.header && held.fileType == wanted.fileType &&
                held.delimiter == wanted.delimiter && held.fixedWidth == wanted.fixedWidth &&
                held.columns.size() == wanted.columns.size();
    if (!keepCharacterSet)
        same = same && held.characterSetNamed;
    for (qsizetype i = 0; same && i < held.columns.size(); ++i)
        same = held.columns[i].name == wanted.columns[i].name &&
               held.columns[i].type == wanted.columns[i].type &&
               held.columns[i].width == wanted.columns[i].width;
    if (!same)
        WriteTextSchema(path, wanted, &error);
}

BOOL CDatabaseLink::WriteSchemaIni()
{
    if (m_typeId != kDatabaseTypeText || m_dataSource.isEmpty())
        return FALSE;
    m_textFileType = qBound(0, m_textFileType, 2);
    SyncTextSchema(m_dataSource, false);
    CTextSchema held;
    QString error;
    return ReadTextSchema(m_dataSource, &held, &error) && held.fileType == m_textFileType ? TRUE
                                                                                          : FALSE;
}

BOOL CDatabaseLink::Connect(const QString& dataSource, BOOL readOnly)
{
    if (!m_jetPresent)
        return FALSE;
    if (IsConnected()) {
        if (dataSource == m_dataSource)
            return TRUE;
        const int kind = m_linkKind;
        const int type = m_typeId;
        Disconnect();
        m_linkKind = kind;
        m_typeId = type;
    }
    m_dataSource = dataSource;
    m_readOnly = readOnly != FALSE;
    QString error;
    if (!ConnectDatabase(&error)) {
        ShowError(error);
        return FALSE;
    }
    return TRUE;
}

int CDatabaseLink::OnQueryProgress(void* link)
{
    auto* self = static_cast<CDatabaseLink*>(link);
    if (self->m_queryDeadline == 0 || MonotonicMs() <= self->m_queryDeadline)
        return 0;
    self->m_queryStopped = true;
    return 1;
}

void CDatabaseLink::Disconnect()
{
    m_recordset.reset();
    if (m_sqliteHandle) {
        sqlite3_progress_handler(static_cast<sqlite3*>(m_sqliteHandle), 0, nullptr, nullptr);
        m_sqliteHandle = nullptr;
    }
    m_queryDeadline = 0;
    CloseConnection(m_connectionName);
    m_tableName.clear();
    m_textLoad = CTextLoad();
    m_linkKind = -1;
    m_dataSource.clear();
    m_customViewQuery.clear();
    m_keyField.clear();
    m_textFields.clear();
}

BOOL CDatabaseLink::Reopen()
{
    m_recordset.reset();
    const QString table = m_tableName;
    m_tableName.clear();
    m_textLoad = CTextLoad();
    CloseConnection(m_connectionName);
    QString error;
    m_readOnly = true;
    if (!ConnectDatabase(&error)) {
        ShowError(error);
        return FALSE;
    }
    if (!table.isEmpty())
        return OpenTable(table);
    return TRUE;
}

bool CDatabaseLink::TextLoadIsCurrent(const CTextSchema& now)
{
    const CTextSchema& was = m_textLoad.schema;
    const QFileInfo file(m_dataSource);
    if (!m_textLoad.valid || file.size() != m_textLoad.size ||
        file.lastModified().toMSecsSinceEpoch() != m_textLoad.modified ||
        now.header != was.header || now.delimiter != was.delimiter ||
        now.fixedWidth != was.fixedWidth || now.fileType != was.fileType)
        return false;
    if (!was.columns.isEmpty() || now.fixedWidth) {
        if (now.columns.size() != was.columns.size())
            return false;
        for (qsizetype i = 0; i < now.columns.size(); ++i) {
            const CTextColumn& a = now.columns[i];
            const CTextColumn& b = was.columns[i];
            if (a.name != b.name || a.type != b.type || a.width != b.width)
                return false;
        }
        return true;
    }
    // Columns taken from the header and guessed from the values: columns
    // declared now load the same table when they carry the names and the
    // types that were loaded.
    if (now.columns.isEmpty())
        return true;
    const CProgramStatements describing(Database());
    QSqlQuery info(Database());
    if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QuoteSqlName(m_tableName))))
        return false;
    qsizetype i = 0;
    while (info.next()) {
        if (i >= now.columns.size() || info.value(1).toString() != now.columns[i].name ||
            info.value(2).toString() != TextColumnDeclaredType(now.columns[i].type))
            return false;
        ++i;
    }
    return i == now.columns.size();
}

BOOL CDatabaseLink::ReopenIfChanged()
{
    if (m_typeId != kDatabaseTypeText || !IsConnected() || m_tableName.isEmpty() ||
        Database().databaseName() != QLatin1String(":memory:"))
        return Reopen();
    // The link's text settings reach the schema file first, as connecting
    // would write them.
    SyncTextSchema(m_dataSource);
    CTextSchema now;
    QString error;
    if (!ReadTextSchema(m_dataSource, &now, &error) || !TextLoadIsCurrent(now))
        return Reopen();
    m_recordset.reset();
    m_readOnly = true;
    m_textLoad.schema = now;
    return TRUE;
}

void CDatabaseLink::SetDatabaseType(int id)
{
    if (id < 0 || id >= kDatabaseTypeCount)
        id = 0;
    if (id != m_typeId)
        Disconnect();
    m_typeId = id;
}

void CDatabaseLink::ShowError(const QString& error) const
{
    if (s_showError)
        s_showError(error);
    else
        AppMessageBox(QStringLiteral("\"%1\"").arg(ElideMiddle(error, 400)),
                      MB_OK | MB_ICONEXCLAMATION);
}

// --- tables and fields -------------------------------------------------------------

QStringList CDatabaseLink::TableNames()
{
    if (!IsConnected())
        return {};
    const QSqlDatabase db = Database();
    if (db.driverName() == QLatin1String("QSQLITE") &&
        db.databaseName() == QLatin1String(":memory:")) {
        QString error;
        const QStringList tables = ListFileSourceTables(m_typeId, m_dataSource, &error);
        if (!error.isEmpty())
            ShowError(error);
        return tables;
    }
    QStringList tables = db.tables(QSql::Tables);
    tables += db.tables(QSql::Views);
    return tables;
}

BOOL CDatabaseLink::OpenTable(const QString& name)
{
    if (!IsConnected())
        return FALSE;
    QSqlDatabase db = Database();
    QString table = name;
    if (db.databaseName() == QLatin1String(":memory:")) {
        if (table.isEmpty())
            GetDefaultTableName(table);
        bool loaded = false;
        for (const QString& held : db.tables()) {
            if (held.compare(table, Qt::CaseInsensitive) == 0) {
                loaded = true;
                table = held;
            }
        }
        if (!loaded) {
            QString error;
            const CProgramStatements loading(db);
            ++m_filesRead;
            // What the text is read with, for ReopenIfChanged.
            CTextLoad load;
            if (m_typeId == kDatabaseTypeText) {
                QString schemaError;
                const QFileInfo file(m_dataSource);
                load.valid = ReadTextSchema(m_dataSource, &load.schema, &schemaError);
                load.size = file.size();
                load.modified = file.lastModified().toMSecsSinceEpoch();
            }
            if (!LoadFileSource(m_typeId, m_dataSource, table, db, &error,
                                m_excelHeader != FALSE)) {
                ShowError(error.isEmpty()
                              ? QStringLiteral("The table \"%1\" cannot be read.").arg(table)
                              : error);
                return FALSE;
            }
            m_textLoad = load;
        }
    }
    QStringList known = db.tables(QSql::Tables);
    known += db.tables(QSql::Views);
    for (const QString& held : std::as_const(known)) {
        if (held == table || held.compare(table, Qt::CaseInsensitive) == 0) {
            m_tableName = held;
            return TRUE;
        }
    }
    ShowError(QStringLiteral("The table \"%1\" does not exist.").arg(name));
    return FALSE;
}

BOOL CDatabaseLink::GetDefaultTableName(QString& name) const
{
    if (!DatabaseTypeRow(m_typeId).folderBased)
        return FALSE;
    const QFileInfo info(NormalizeStoredPath(m_dataSource, QString()));
    if (m_typeId == kDatabaseTypeText) {
        name = info.fileName();
        const qsizetype dot = name.indexOf(u'.');
        if (dot >= 0)
            name[dot] = u'#';
    } else {
        name = info.completeBaseName();
    }
    return TRUE;
}

bool CDatabaseLink::TableHasColumn(const QString& name)
{
    if (!IsConnected() || m_tableName.isEmpty())
        return false;
    const QSqlRecord record = Database().record(m_tableName);
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString CDatabaseLink::GetKeyField()
{
    if (!m_keyField.isEmpty())
        return m_keyField;
    if (!IsConnected() || m_tableName.isEmpty())
        return QString();
    const QSqlIndex index = Database().primaryIndex(m_tableName);
    return index.count() > 0 ? index.fieldName(0) : QString();
}

QStringList CDatabaseLink::FieldNames()
{
    if (m_recordset)
        return m_recordset->names;
    const QScopedValueRollback columnsOnly(m_columnsOnly, true);
    if (!OpenRecordset() && !m_recordset)
        return {};
    const QStringList names = m_recordset ? m_recordset->names : QStringList();
    CloseRecordset();
    return names;
}

int CDatabaseLink::GetFieldType(const QString& name)
{
    const bool own = !m_recordset;
    const QScopedValueRollback columnsOnly(m_columnsOnly, own);
    if (own)
        OpenRecordset();
    int type = kTypeEmpty;
    const int index = FieldIndex(name);
    if (m_recordset && index >= 0)
        type = m_recordset->types.value(index);
    if (own)
        CloseRecordset();
    return type;
}

QString CDatabaseLink::GetFieldTypeName(int type) const
{
    // The text reader knows fewer types: dates are all DateTime, yes/no is
    // Bit, and whatever else it holds is Text.
    const bool text = m_typeId == kDatabaseTypeText;
    switch (type) {
    case 2:
    case 18:
        return QStringLiteral("Short");
    case 3:
    case 19:
        return QStringLiteral("Long");
    case 4:
        return QStringLiteral("Single");
    case 5:
        return QStringLiteral("Double");
    case 6:
        return QStringLiteral("Currency");
    case 7:
    case 133:
        return text ? QStringLiteral("DateTime") : QStringLiteral("Date");
    case 134:
        return text ? QStringLiteral("DateTime") : QStringLiteral("Time");
    case 135:
        return QStringLiteral("DateTime");
    case 11:
        return text ? QStringLiteral("Bit") : QStringLiteral("Boolean");
    case 16:
    case 17:
        return QStringLiteral("Byte");
    case 201:
    case 203:
        return QStringLiteral("Memo");
    default:
        break;
    }
    if (text)
        return QStringLiteral("Text");
    switch (type) {
    case 8:
    case 129:
    case 130:
    case 200:
    case 202:
        return QStringLiteral("Text");
    case 14:
    case 131:
    case 139:
        return QStringLiteral("Decimal");
    case 20:
    case 21:
        return QStringLiteral("Big Integer");
    case 72:
        return QStringLiteral("GUID");
    case 128:
    case 204:
    case 205:
        return QStringLiteral("Binary");
    default:
        return QStringLiteral("Unknown");
    }
}

// --- SQL text ---------------------------------------------------------------------------

namespace {

QString Quoted(const QString& text, char open, char close)
{
    // A bracketed name cannot hold a closing bracket in every dialect: such
    // a name takes the standard double quotes instead.
    if (open == '[' && close == ']' && text.contains(u']')) {
        QString inner = text;
        inner.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return u'"' + inner + u'"';
    }
    QString inner = text;
    const QString closing(QChar::fromLatin1(close));
    inner.replace(closing, closing + closing);
    return QChar::fromLatin1(open) + inner + QChar::fromLatin1(close);
}

} // namespace

QString CDatabaseLink::QuoteName(const QString& text) const
{
    return Quoted(text, m_nameDelimiters[0], m_nameDelimiters[1]);
}

QString CDatabaseLink::QuoteString(const QString& text) const
{
    return Quoted(text, m_stringDelimiters[0], m_stringDelimiters[1]);
}

QString CDatabaseLink::QuoteDate(const QString& text) const
{
    return Quoted(text, m_dateDelimiters[0], m_dateDelimiters[1]);
}

QString CDatabaseLink::StartsWithCondition(const QString& field, const QString& text) const
{
    const QChar escape = u'\\';
    QString pattern;
    for (const QChar c : text) {
        if (c == escape || c == u'%' || c == u'_' || c == QChar::fromLatin1(m_wildcard))
            pattern += escape;
        pattern += c;
    }
    pattern += QChar::fromLatin1(m_wildcard);
    return QStringLiteral("%1 LIKE %2 ESCAPE %3")
        .arg(QuoteName(field), QuoteString(pattern), QuoteString(QString(escape)));
}

std::pair<QString, QString> CDatabaseLink::SplitQuery(const QString& text,
                                                      const QString& quotedTable)
{
    const auto [select, selectLength] = FindKeyword(text, QStringLiteral("SELECT"));
    const auto [where, whereLength] = FindKeyword(text, QStringLiteral("WHERE"));
    const auto [order, orderLength] = FindKeyword(text, QStringLiteral("ORDER BY"));
    Q_UNUSED(selectLength);
    Q_UNUSED(whereLength);
    QString statement;
    QString sort;
    if (!quotedTable.isEmpty()) {
        if (select < 0) {
            statement = QStringLiteral("SELECT * FROM ") + quotedTable;
        } else {
            qsizetype end = text.size();
            if (where >= 0)
                end = where;
            if (order >= 0 && order < end)
                end = order;
            statement = text.mid(select, end - select).trimmed();
        }
        qsizetype conditionStart = -1;
        if (where >= 0 && (order < 0 || where < order)) {
            conditionStart = where;
        } else if (where < 0 && select < 0 && order != 0 && !text.trimmed().isEmpty() &&
                   FindKeyword(text.trimmed(), QStringLiteral("ORDER BY")).first != 0) {
            statement += QStringLiteral(" WHERE");
            conditionStart = 0;
        }
        if (conditionStart >= 0) {
            const qsizetype end = order > conditionStart ? order : text.size();
            const QString condition = text.mid(conditionStart, end - conditionStart).trimmed();
            if (!condition.isEmpty())
                statement += u' ' + condition;
            else if (statement.endsWith(QStringLiteral(" WHERE")))
                statement.chop(6);
        }
        if (order >= 0)
            sort = TrimEnd(text.mid(order + orderLength), QStringLiteral(" ;\r\n\t")).trimmed();
    } else if (order >= 0) {
        sort = TrimEnd(text.mid(order + orderLength), QStringLiteral(" ;\r\n\t")).trimmed();
        statement = text.left(order).trimmed();
    } else {
        statement = text;
    }
    return {statement, sort};
}

QString CDatabaseLink::GetDefaultSql() const
{
    const QString key = m_keyField;
    if (!m_customViewQuery.isEmpty()) {
        // The view as a whole statement; its own ORDER BY is its sort, and
        // only a view without one is sorted by the key.
        auto [statement, sort] = SplitQuery(
            m_customViewQuery, m_tableName.isEmpty() ? QString() : QuoteName(m_tableName));
        if (sort.isEmpty() && !key.isEmpty())
            sort = QuoteName(key) + QStringLiteral(" ASC");
        return sort.isEmpty() ? statement : statement + QStringLiteral(" ORDER BY ") + sort;
    }
    if (!key.isEmpty()) {
        return QStringLiteral("SELECT * FROM %1 ORDER BY %2 ASC")
            .arg(QuoteName(m_tableName), QuoteName(key));
    }
    return QStringLiteral("SELECT * FROM %1").arg(QuoteName(m_tableName));
}

QString CDatabaseLink::GetCurrentSql(bool withFilter, bool withSort) const
{
    if (!m_recordset)
        return QString();
    QString sql = TrimEnd(m_recordset->command, QStringLiteral(" ;\r\n"));
    // The filter joins the statement's own condition as a whole (an OR in
    // either keeps its meaning); a view that names or groups its columns is
    // filtered as a sub-query, as the recordset itself is.
    if (withFilter && !m_recordset->filter.isEmpty())
        sql = CRecordFilter::AddCondition(sql, m_recordset->filter);
    if (withSort && !m_recordset->sort.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + m_recordset->sort;
    return sql;
}

// --- recordset -------------------------------------------------------------------------

bool CDatabaseLink::LoadRecordset(CRecordset& set, const QString& statement, QString* error)
{
    if (!IsConnected()) {
        *error = QStringLiteral("The database is not connected.");
        return false;
    }
    m_refused = false;
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    QString sql = statement;
    if (!set.filter.isEmpty()) {
        sql = QStringLiteral("SELECT * FROM (%1) tabrel_view WHERE %2")
                  .arg(TrimEnd(statement, QStringLiteral(" ;\r\n")), set.filter);
    }
    // The statement runs under its budget until its last record is read.
    struct Budget
    {
        CDatabaseLink& link;
        explicit Budget(CDatabaseLink& l) : link(l)
        {
            link.m_queryStopped = false;
            link.m_queryDeadline = MonotonicMs() + std::max(s_queryBudgetMs, 1);
        }
        ~Budget() { link.m_queryDeadline = 0; }
    } budget(*this);
    const auto stopped = [&] {
        *error = QStringLiteral("The query was stopped: it ran longer than %1 seconds without "
                                "coming to an end.\n\n%2")
                     .arg(std::max(s_queryBudgetMs, 1000) / 1000)
                     .arg(sql.left(400));
        return false;
    };
    // The statement comes from the sign or the user: it may only read.
    CReadOnlyStatement reading(Database());
    if (!reading.Exec(query, sql, error)) {
        if (reading.Refused() != ReadOnlySql::Refusal::None) {
            m_refused = true;
            const bool view = m_runningView && set.filter.isEmpty();
            *error = view ? QStringLiteral("The custom view may only read data.")
                          : QStringLiteral("The filter may only read data.");
            if (reading.Refused() == ReadOnlySql::Refusal::Multiple)
                *error += QStringLiteral(" It holds more than one statement.");
        } else if (m_queryStopped) {
            return stopped();
        }
        return false;
    }
    const QSqlRecord record = query.record();
    QStringList names;
    QVector<int> types;
    // PostgreSQL hands GUIDs over as plain text: they are read as GUIDs.
    constexpr int kPostgresUuid = 2950;
    const bool postgres = Database().driverName() == QLatin1String("QPSQL");
    QVector<int> guidColumns;
    for (int i = 0; i < record.count(); ++i) {
        names << record.fieldName(i);
        const QSqlField field = record.field(i);
        if (postgres && field.typeID() == kPostgresUuid) {
            types << kTypeGuid;
            guidColumns << i;
        } else {
            types << TypeCodeOf(field.metaType());
        }
    }
    QVector<QVector<QVariant>> rows;
    while (!m_columnsOnly && query.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = BoundedValue(query.value(i));
        for (const int i : std::as_const(guidColumns)) {
            const QUuid guid(row[i].toString());
            if (!row[i].isNull() && !guid.isNull())
                row[i] = guid;
        }
        rows.push_back(std::move(row));
    }
    if (m_queryStopped)
        return stopped();
    if (query.lastError().isValid()) {
        *error = query.lastError().text();
        return false;
    }
    query.finish();
    reading.Finish();
    set.command = statement;
    set.names = names;
    set.types = types;
    m_recordsRead += rows.size();
    set.rows = std::move(rows);
    set.order.resize(set.rows.size());
    for (int i = 0; i < set.order.size(); ++i)
        set.order[i] = i;
    set.current = set.rows.isEmpty() ? -1 : 0;
    return true;
}

void CDatabaseLink::ApplySort(CRecordset& set) const
{
    for (int i = 0; i < set.order.size(); ++i)
        set.order[i] = i;
    QVector<std::pair<int, bool>> keys;
    for (const auto& [name, descending] : ParseSort(set.sort)) {
        for (int i = 0; i < set.names.size(); ++i) {
            if (set.names[i].compare(name, Qt::CaseInsensitive) == 0) {
                keys.push_back({i, descending});
                break;
            }
        }
    }
    if (!keys.isEmpty()) {
        // A text field is compared through its texts, taken from the
        // records once: a million comparisons then do not each look into
        // two records' values.
        std::vector<std::vector<TextKey>> texts;
        for (const auto& key : keys)
            texts.push_back(TextKeys(set.rows, key.first));
        const auto before = [&](int a, int b) {
            for (qsizetype k = 0; k < keys.size(); ++k) {
                const auto& [column, descending] = keys[k];
                const std::vector<TextKey>& text = texts[size_t(k)];
                const int c = text.empty()
                                  ? CompareValues(set.rows[a][column], set.rows[b][column])
                                  : CompareTextKeys(text[size_t(a)], text[size_t(b)]);
                if (c != 0)
                    return descending ? c > 0 : c < 0;
            }
            return false;
        };
        // Records often come in the order of their key already.
        if (!std::is_sorted(set.order.begin(), set.order.end(), before))
            std::stable_sort(set.order.begin(), set.order.end(), before);
    }
    set.current = set.order.isEmpty() ? -1 : 0;
}

int CDatabaseLink::OpenRecordset(const QString& sql)
{
    const bool fresh = !m_recordset;
    QString statement;
    QString sort;
    if (sql.isEmpty() && m_customViewQuery.isEmpty()) {
        statement = QStringLiteral("SELECT * FROM ") + QuoteName(m_tableName);
    } else if (!sql.isEmpty() && !m_customViewQuery.isEmpty() &&
               FindKeyword(sql, QStringLiteral("SELECT")).first < 0) {
        // A condition (a search, a filter) or a sort for a custom view: the
        // view's records are searched as a sub-query, and the view's own
        // ORDER BY stays the sort unless the text brings one.
        QString viewSort;
        std::tie(statement, viewSort) = SplitQuery(
            m_customViewQuery, m_tableName.isEmpty() ? QString() : QuoteName(m_tableName));
        QString condition = sql.trimmed();
        const auto [order, orderLength] = FindKeyword(condition, QStringLiteral("ORDER BY"));
        if (order >= 0) {
            sort = TrimEnd(condition.mid(order + orderLength), QStringLiteral(" ;\r\n\t")).trimmed();
            condition = condition.left(order).trimmed();
        }
        const auto [where, whereLength] = FindKeyword(condition, QStringLiteral("WHERE"));
        if (where == 0)
            condition = condition.mid(whereLength).trimmed();
        if (!condition.isEmpty()) {
            statement = QStringLiteral("SELECT * FROM (%1) tabrel_view WHERE %2")
                            .arg(TrimEnd(statement, QStringLiteral(" ;\r\n")), condition);
        }
        if (sort.isEmpty())
            sort = viewSort;
    } else {
        std::tie(statement, sort) =
            SplitQuery(sql.isEmpty() ? m_customViewQuery : sql,
                       m_tableName.isEmpty() ? QString() : QuoteName(m_tableName));
    }
    if (sort.isEmpty() && m_recordset)
        sort = m_recordset->sort;
    if (sort.isEmpty()) {
        m_keyField = GetKeyField();
        if (!m_keyField.isEmpty())
            sort = QuoteName(m_keyField) + QStringLiteral(" ASC");
    }
    QString error;
    // A refusal names the custom view when its text is what runs.
    m_runningView = sql.isEmpty() && !m_customViewQuery.isEmpty();
    if (!m_recordset) {
        auto set = std::make_unique<CRecordset>();
        if (!LoadRecordset(*set, statement, &error)) {
            ShowError(error);
            return 0;
        }
        m_recordset = std::move(set);
    } else {
        m_recordset->filter.clear();
        if (!LoadRecordset(*m_recordset, statement, &error)) {
            ShowError(error);
            m_recordset.reset();
            return 0;
        }
        if (m_recordset->rows.isEmpty() && m_customViewQuery.isEmpty()) {
            if (!LoadRecordset(*m_recordset,
                               QStringLiteral("SELECT * FROM ") + QuoteName(m_tableName), &error)) {
                ShowError(error);
                m_recordset.reset();
            }
            return 0;
        }
    }
    m_recordset->sort = sort;
    m_recordset->whole = fresh && sql.isEmpty();
    ApplySort(*m_recordset);
    return int(m_recordset->rows.size());
}

void CDatabaseLink::CloseRecordset()
{
    m_recordset.reset();
}

int CDatabaseLink::SetFilter(const QString& text)
{
    if (!m_recordset)
        return 0;
    const QString previous = m_recordset->filter;
    m_recordset->filter = text;
    m_recordset->whole = false;
    m_runningView = false;
    QString error;
    if (!LoadRecordset(*m_recordset, m_recordset->command, &error)) {
        ShowError(error);
        const bool refused = m_refused;
        m_recordset->filter = previous;
        LoadRecordset(*m_recordset, m_recordset->command, &error);
        ApplySort(*m_recordset);
        m_refused = refused;
        return 0;
    }
    ApplySort(*m_recordset);
    return int(m_recordset->rows.size());
}

QString CDatabaseLink::GetFilter() const
{
    return m_recordset ? m_recordset->filter : QString();
}

BOOL CDatabaseLink::SortBy(const QString& field)
{
    if (!m_recordset)
        return FALSE;
    m_recordset->sort = QuoteName(field) + QStringLiteral(" ASC");
    m_recordset->whole = false;
    ApplySort(*m_recordset);
    return TRUE;
}

// --- navigation ---------------------------------------------------------------------------

int CDatabaseLink::GetRecordCount() const
{
    return m_recordset ? int(m_recordset->order.size()) : 0;
}

int CDatabaseLink::GetPosition() const
{
    return m_recordset && m_recordset->current >= 0 ? m_recordset->current + 1 : 0;
}

BOOL CDatabaseLink::MoveTo(int position)
{
    if (!m_recordset || position < 1 || position > GetRecordCount())
        return FALSE;
    m_recordset->current = position - 1;
    return TRUE;
}

BOOL CDatabaseLink::MoveFirst()
{
    return MoveTo(1);
}

BOOL CDatabaseLink::MoveLast()
{
    return MoveTo(GetRecordCount());
}

BOOL CDatabaseLink::MovePrevious()
{
    if (!m_recordset || m_recordset->order.isEmpty())
        return FALSE;
    m_recordset->current = std::max(0, m_recordset->current - 1);
    return TRUE;
}

BOOL CDatabaseLink::MoveNext()
{
    if (!m_recordset || m_recordset->order.isEmpty())
        return FALSE;
    if (m_recordset->current + 1 >= m_recordset->order.size()) {
        m_recordset->current = int(m_recordset->order.size()) - 1;
        return FALSE;
    }
    ++m_recordset->current;
    return TRUE;
}

int CDatabaseLink::GetBookmark() const
{
    return m_recordset && m_recordset->current >= 0 ? m_recordset->order[m_recordset->current] : -1;
}

BOOL CDatabaseLink::GotoBookmark(int bookmark)
{
    if (!m_recordset)
        return FALSE;
    const qsizetype at = m_recordset->order.indexOf(bookmark);
    if (at < 0)
        return FALSE;
    m_recordset->current = int(at);
    return TRUE;
}

BOOL CDatabaseLink::FindRecord(const QString& field, const QString& value)
{
    if (!m_recordset || m_recordset->order.isEmpty())
        return FALSE;
    const int column = FieldIndex(field);
    if (column < 0)
        return FALSE;
    const auto matches = [&](int position) {
        const QVariant& cell = m_recordset->rows[m_recordset->order[position]][column];
        return FormatValue(cell).compare(value, Qt::CaseInsensitive) == 0;
    };
    if (matches(m_recordset->current))
        return TRUE;
    for (int i = 0; i < m_recordset->order.size(); ++i) {
        if (matches(i)) {
            m_recordset->current = i;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CDatabaseLink::GotoKey(const QString& value)
{
    if (GetRecordCount() == 0)
        return FALSE;
    m_keyField = GetKeyField();
    if (m_keyField.isEmpty())
        return FALSE;
    return FindRecord(m_keyField, value);
}

// --- values ---------------------------------------------------------------------------------

int CDatabaseLink::FieldIndex(const QString& name) const
{
    if (!m_recordset)
        return -1;
    for (int i = 0; i < m_recordset->names.size(); ++i) {
        if (m_recordset->names[i] == name)
            return i;
    }
    for (int i = 0; i < m_recordset->names.size(); ++i) {
        if (m_recordset->names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const QVector<QVariant>* CDatabaseLink::CurrentRow() const
{
    if (!m_recordset || m_recordset->current < 0 ||
        m_recordset->current >= m_recordset->order.size())
        return nullptr;
    return &m_recordset->rows[m_recordset->order[m_recordset->current]];
}

QString CDatabaseLink::FormatValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return QString::number(d);
        QString text = QString::number(d, 'f', 6);
        if (text.contains(u'.')) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        }
        if (text == QLatin1String("-0"))
            text = QStringLiteral("0");
        return text;
    }
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return QLocale().toString(value.toTime(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return QLocale().toString(value.toDateTime(), QLocale::ShortFormat);
    case QMetaType::QUuid:
        return value.toUuid().toString(QUuid::WithBraces).toUpper();
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        // A 16-byte value is a GUID in its usual form.
        if (bytes.size() == 16)
            return QUuid::fromRfc4122(bytes).toString(QUuid::WithBraces).toUpper();
        return QString::fromLatin1(bytes.toHex()).toUpper();
    }
    case QMetaType::QString:
        return value.toString();
    default:
        if (value.canConvert<QString>())
            return value.toString();
        return QStringLiteral("VT_UNSUPPORTED");
    }
}

QString CDatabaseLink::GetFieldValue(const QString& field)
{
    const bool own = !m_recordset;
    if (own && !OpenRecordset() && !m_recordset)
        return QString();
    QString text;
    const int column = FieldIndex(field);
    if (const QVector<QVariant>* row = CurrentRow(); row && column >= 0)
        text = FormatValue(row->value(column));
    if (own)
        CloseRecordset();
    return text;
}

QString CDatabaseLink::GetFieldValueAt(int index)
{
    const bool own = !m_recordset;
    if (own && !OpenRecordset() && !m_recordset)
        return QString();
    QString text;
    if (const QVector<QVariant>* row = CurrentRow(); row && index >= 0 && index < row->size())
        text = FormatValue(row->value(index));
    if (own)
        CloseRecordset();
    return text;
}

QStringList CDatabaseLink::FieldValues(const QString& field)
{
    QStringList values;
    if (!m_recordset)
        return values;
    const int column = FieldIndex(field);
    if (column < 0)
        return values;
    for (int i = 0; i < m_recordset->order.size(); ++i)
        values << FormatValue(m_recordset->rows[m_recordset->order[i]][column]);
    if (!m_recordset->order.isEmpty())
        m_recordset->current = int(m_recordset->order.size()) - 1;
    return values;
}

QStringList CDatabaseLink::GetColumnValues(const QString& field)
{
    // With no recordset open (an option list filled while the sign is
    // designed), one is opened for the call.
    const bool own = !m_recordset;
    if (own && (!IsConnected() || (!OpenRecordset() && !m_recordset)))
        return {};
    const int current = m_recordset->current;
    QStringList values = FieldValues(field);
    m_recordset->current = current;
    if (own)
        CloseRecordset();
    return values;
}

QVector<std::pair<int, QString>> CDatabaseLink::ValueWindow(const QString& field, int count)
{
    QVector<std::pair<int, QString>> items;
    const int total = GetRecordCount();
    const int column = FieldIndex(field);
    if (total == 0 || column < 0 || count < 1)
        return items;
    const int current = GetPosition();
    // Half the window before the current record; near the end the window
    // ends at the last record.
    int first = std::max(1, current - count / 2);
    if (first + count - 1 > total)
        first = std::max(1, total - count + 1);
    for (int position = first; position <= total && items.size() < count; ++position)
        items.push_back(
            {position, FormatValue(m_recordset->rows[m_recordset->order[position - 1]][column])});
    return items;
}

int CDatabaseLink::GetStoreRecordCount()
{
    if (m_linkKind != 1 || !IsConnected())
        return 0;
    if (!m_recordset)
        OpenRecordset();
    return GetRecordCount();
}

// --- paths --------------------------------------------------------------------------------

QString CDatabaseLink::StoredDataSource() const
{
    if (m_typeId == kDatabaseTypeConnectionString || m_dataSource.isEmpty())
        return m_dataSource;
    CAppContext& app = App();
    if (app.packageExport)
        return app.packageDatabasePrefix + QFileInfo(m_dataSource).fileName();
    if (app.general.storeRelativePaths && !app.signFolder.isEmpty()) {
        // Relative to the sign's folder, where the reader looks: only a file
        // inside that folder is stored so.
        const QString folder = QDir::cleanPath(app.signFolder);
        const QString path = QDir::cleanPath(NormalizeStoredPath(m_dataSource, QString()));
        if (QDir::isAbsolutePath(path) && path.startsWith(folder + u'/')) {
            QString rest = path.mid(folder.size() + 1);
            rest.replace(u'/', u'\\');
            return QStringLiteral(".\\") + rest;
        }
    }
    return m_dataSource;
}

QString CDatabaseLink::ResolveStoredDataSource(const QString& stored)
{
    return NormalizeStoredPath(stored, App().signFolder);
}

// --- the sign's block -----------------------------------------------------------------------

void CDatabaseLink::Serialize(CArchive& ar)
{
    if (!ar.IsStoring()) {
        ReadBlock(ar);
        App().StepProgress();
        return;
    }
    if (!IsConnected()) {
        ar << DWORD(0);
        App().StepProgress();
        return;
    }
    ar << DWORD(1) << DWORD(m_linkKind < 0 ? 0 : m_linkKind) << DWORD(m_typeId);
    ar << StoredDataSource();
    ar << m_tableName;
    ar << m_customViewQuery << TheCustomViewList().NameOfQuery(m_customViewQuery);
    ar << m_keyField;
    if (m_typeId == kDatabaseTypeText) {
        ar << BYTE(m_textDelimiter) << DWORD(m_textFileType) << DWORD(m_textHeader)
           << DWORD(m_textFields.size());
        for (const CTextField& field : m_textFields)
            ar << field.name << field.type;
    }
    ar << DWORD(m_firstFieldIsCopyQuantity) << DWORD(m_storeCopyQuantity) << DWORD(m_excelHeader);
    ar << BYTE(m_nameDelimiters[0]) << BYTE(m_nameDelimiters[1]) << BYTE(m_stringDelimiters[0])
       << BYTE(m_stringDelimiters[1]) << BYTE(m_dateDelimiters[0]) << BYTE(m_dateDelimiters[1])
       << BYTE(m_wildcard);
    App().StepProgress();
}

void CDatabaseLink::ReadBlock(CArchive& ar)
{
    const int version = App().fileVersion;
    Disconnect();
    // What an older block does not hold takes the defaults, not the values
    // of the sign read before.
    *this = CDatabaseLink();
    m_linkKind = -1;
    if (ar.ReadDWord() == 0)
        return;
    int kind = version >= 105 ? ar.ReadInt() : 0;
    if (kind != 0 && kind != 1)
        kind = 0;
    int type = ar.ReadInt();
    QString source = ar.ReadString();
    if (version >= 265 && version <= 299)
        ar.ReadDWord();
    const QString table = ar.ReadString();
    QString viewQuery;
    QString viewName;
    if (version >= 310) {
        viewQuery = ar.ReadString();
        viewName = ar.ReadString();
    }
    const QString keyField = ar.ReadString();
    // Type numbers of older signs, brought to today's numbering.
    if (version < 250 && type >= 7)
        type -= 1;
    if (version < 260 && type >= 7) {
        if (type <= 10) {
            type = kDatabaseTypeConnectionString;
            QString folder = NormalizeStoredPath(source, QString());
            folder = QFileInfo(folder).path();
            folder.replace(u'/', u'\\');
            source =
                QStringLiteral("SourceType=DBF;SourceDB=%1;Driver={Microsoft Visual FoxPro Driver}")
                    .arg(folder);
        } else if (type <= 14) {
            type -= 4;
        } else {
            type -= 3;
        }
    }
    if (version < 320 && type != kDatabaseTypeConnectionString) {
        if (type >= 8 && type <= 11)
            type = kDatabaseTypeExcel;
        else if (type >= 12)
            type -= 4;
    }
    const bool knownType = type >= 0 && type < kDatabaseTypeCount;
    if (type == kDatabaseTypeText) {
        m_textDelimiter = char(ar.ReadByte());
        // 0 Windows (ANSI), 1 DOS, 2 UTF-8; any other value is a DOS file
        // as it always was.
        const DWORD fileType = ar.ReadDWord();
        m_textFileType = fileType == 2 ? 2 : fileType != 0 ? 1 : 0;
        m_textHeader = ar.ReadDWord() != 0 ? TRUE : FALSE;
        const DWORD fields = ar.ReadDWord();
        if (fields > DWORD(ar.BytesRemaining() / 2))
            throw CArchiveException(CArchiveException::endOfFile, "archive: bad field count");
        m_textFields.clear();
        for (DWORD i = 0; i < fields; ++i) {
            CTextField field;
            field.name = ar.ReadString();
            field.type = ar.ReadString();
            m_textFields.push_back(field);
        }
    }
    if (version >= 230)
        m_firstFieldIsCopyQuantity = ar.ReadDWord() != 0 ? TRUE : FALSE;
    if (version >= 330)
        m_storeCopyQuantity = ar.ReadDWord() != 0 ? TRUE : FALSE;
    if (version >= 320)
        m_excelHeader = ar.ReadDWord() != 0 ? TRUE : FALSE;
    if (version >= 263) {
        const QByteArray bytes = ar.ReadBytes(7);
        // A delimiter must be a visible character; anything else keeps the
        // default.
        const auto take = [](char& target, char value) {
            if (value > ' ' && value < 127)
                target = value;
        };
        take(m_nameDelimiters[0], bytes[0]);
        take(m_nameDelimiters[1], bytes[1]);
        take(m_stringDelimiters[0], bytes[2]);
        take(m_stringDelimiters[1], bytes[3]);
        take(m_dateDelimiters[0], bytes[4]);
        take(m_dateDelimiters[1], bytes[5]);
        take(m_wildcard, bytes[6]);
    }

    // The custom view, reconciled with the program's list of views.
    bool viewAdded = false;
    if (!viewQuery.isEmpty() && !viewName.isEmpty()) {
        CCustomViewList& views = TheCustomViewList();
        const QString listed = views.Find(viewName);
        if (listed.isNull()) {
            views.Set(viewName, viewQuery);
            viewAdded = true;
        } else if (listed.compare(viewQuery, Qt::CaseInsensitive) != 0) {
            switch (AppMessageBoxIdArgs(IDS_REPLACE_CUSTOM_VIEW, {viewName},
                                        MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                views.Set(viewName, viewQuery);
                break;
            case IDNO:
                viewQuery = listed;
                break;
            default:
                throw CUserException();
            }
        }
    }

    m_typeId = knownType ? type : 0;
    if (type != kDatabaseTypeConnectionString)
        source = ResolveStoredDataSource(source);

    // The text settings reach the text reader through the schema file.
    if (type == kDatabaseTypeText && QFileInfo::exists(source))
        SyncTextSchema(source);

    if (knownType && type != kDatabaseTypeConnectionString && !QFileInfo::exists(source) &&
        s_locateMissingFile) {
        bool abort = false;
        const QString chosen = s_locateMissingFile(source, abort);
        if (abort)
            throw CUserException();
        if (!chosen.isEmpty()) {
            source = chosen;
            App().loadOutcome = 3;
        }
    }

    bool linked = false;
    if (knownType) {
        const QVector<CTextField> textFields = m_textFields;
        m_linkKind = kind;
        if (Connect(source, kind == 0 ? TRUE : FALSE)) {
            m_textFields = textFields;
            m_keyField = keyField;
            m_customViewQuery = viewQuery;
            if (!table.isEmpty() || viewQuery.isEmpty())
                linked = OpenTable(table) != FALSE;
            else
                linked = true;
            // A view opens its recordset; an empty one is a link all the
            // same.
            if (linked && !viewQuery.isEmpty()) {
                OpenRecordset();
                linked = IsRecordsetOpen();
                // A view that would write was refused (and said why): the
                // sign keeps its table without the view, and the view does
                // not join the program's list.
                if (!linked && m_refused) {
                    if (viewAdded)
                        TheCustomViewList().Remove(viewName);
                    m_customViewQuery.clear();
                    linked = !m_tableName.isEmpty();
                }
            }
        }
    }
    if (linked) {
        m_linkKind = kind;
        return;
    }
    Disconnect();
    const int id = kind == 0 ? IDS_CANNOT_RECREATE_DATA_LINK : IDS_CANNOT_REOPEN_DATA_STORE;
    if (AppMessageBox(FormatStringId(id, {ElideMiddle(source)}), MB_YESNO | MB_ICONEXCLAMATION) !=
        IDYES)
        throw CUserException();
    App().loadOutcome = kind == 0 ? 1 : 2;
}

void CDatabaseLink::WriteXml(CTextExportFile& file) const
{
    const bool connected = IsConnected();
    QString text = QStringLiteral("<database>\n\n");
    if (connected) {
        text += QStringLiteral("  <link-type=\"%1\"/>\n").arg(m_linkKind);
        text += QStringLiteral("  <file-type=\"%1\"/>\n").arg(m_typeId);
        text += QStringLiteral("  <file=\"%1\"/>\n").arg(m_dataSource);
        if (!m_tableName.isEmpty())
            text += QStringLiteral("  <table=\"%1\"/>\n").arg(HtmlEscape(m_tableName));
        else
            text += QStringLiteral("  <custom-view=\"%1\"/>\n").arg(m_customViewQuery);
        text += QStringLiteral("  <primary-key=\"%1\"/>\n").arg(HtmlEscape(m_keyField));
    }
    if (m_typeId == kDatabaseTypeText) {
        text += QStringLiteral("\n  <text-schema>\n\n");
        text += QStringLiteral("    <delimiter=\"%1\"/>\n")
                    .arg(HtmlEscape(QString(QChar::fromLatin1(m_textDelimiter))));
        text += QStringLiteral("    <file-type=\"%1\"/>\n").arg(m_textFileType);
        text += QStringLiteral("    <header=\"%1\"/>\n").arg(m_textHeader);
        for (int i = 0; i < m_textFields.size(); ++i)
            text += QStringLiteral("    <field%1 name=\"%2\" type=\"%3\"/>\n")
                        .arg(i + 1)
                        .arg(HtmlEscape(m_textFields[i].name), HtmlEscape(m_textFields[i].type));
        text += QStringLiteral("    <first-field-is-copy-quantity=\"%1\"/>\n")
                    .arg(m_firstFieldIsCopyQuantity);
        text += QStringLiteral("\n  </text-schema>\n");
    }
    if (connected) {
        const auto ch = [](char c) { return HtmlEscape(QString(QChar::fromLatin1(c))); };
        text += QStringLiteral("\n  <SQL>\n\n");
        for (int i = 0; i < 2; ++i) {
            text += QStringLiteral("    <name-delimiter%1=\"%2\"/>\n")
                        .arg(i + 1)
                        .arg(ch(m_nameDelimiters[i]));
            text += QStringLiteral("    <string-delimiter%1=\"%2\"/>\n")
                        .arg(i + 1)
                        .arg(ch(m_stringDelimiters[i]));
            text += QStringLiteral("    <date-delimiter%1=\"%2\"/>\n")
                        .arg(i + 1)
                        .arg(ch(m_dateDelimiters[i]));
        }
        text += QStringLiteral("    <wildcard=\"%1\"/>\n").arg(ch(m_wildcard));
        text += QStringLiteral("\n  </SQL>\n");
    }
    text += QStringLiteral("\n</database>\n\n");
    file.WriteString(text);
}

// --- custom views -----------------------------------------------------------------------------

QString CCustomViewList::Find(const QString& name) const
{
    const auto it = m_index.constFind(name.toCaseFolded());
    return it == m_index.constEnd() ? QString() : m_views[*it].second;
}

void CCustomViewList::Set(const QString& name, const QString& query)
{
    const QString key = name.toCaseFolded();
    if (const auto it = m_index.constFind(key); it != m_index.constEnd()) {
        m_views[*it].second = query;
        return;
    }
    m_index.insert(key, m_views.size());
    m_views.push_back({name, query});
}

bool CCustomViewList::Remove(const QString& name)
{
    const auto it = m_index.constFind(name.toCaseFolded());
    if (it == m_index.constEnd())
        return false;
    m_views.removeAt(*it);
    m_index.clear();
    for (qsizetype i = 0; i < m_views.size(); ++i)
        m_index.insert(m_views[i].first.toCaseFolded(), i);
    return true;
}

QString CCustomViewList::NameOfQuery(const QString& query) const
{
    if (query.isEmpty())
        return QString();
    for (const auto& [viewName, viewQuery] : m_views) {
        if (viewQuery.compare(query, Qt::CaseInsensitive) == 0)
            return viewName;
    }
    return QString();
}

CCustomViewList& TheCustomViewList()
{
    return App().Get<CCustomViewList>();
}

CDatabaseLink& TheDatabaseLink()
{
    CAppContext& app = App();
    CDatabaseLink& link = app.Get<CDatabaseLink>();
    if (!app.dataLink)
        app.dataLink = &link;
    return link;
}
