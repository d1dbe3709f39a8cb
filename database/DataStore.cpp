#include "DataStore.h"

#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "FileName.h"
#include "Messages.h"
#include "ReadOnlySql.h"
#include "ResourceIds.h"
#include "SourceTable.h"
#include "Variable.h"
#include "VariableList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

const QString CDataStore::kRecordColumn = QStringLiteral("RecordId");

namespace {

constexpr int kAccessType = 0;

enum class FileState
{
    Missing,
    Store,
    Foreign,
};

FileState StateOf(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return FileState::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return FileState::Foreign;
    const QByteArray head = file.read(16);
    // An empty file is what a store file is before SQLite writes its first page.
    if (head.isEmpty() || head == QByteArray("SQLite format 3\0", 16))
        return FileState::Store;
    return FileState::Foreign;
}

// Makes the store file (when missing) and its table (when it has none).
bool PrepareStoreFile(const QString& path, const QString& table, QString* error)
{
    const QString name =
        QStringLiteral("tabrel-store-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 INTEGER PRIMARY KEY)")
                            .arg(QuoteSqlName(table), QuoteSqlName(CDataStore::kRecordColumn)));
            if (!ok)
                *error = q.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool IsStoreVariable(const CVariable* variable)
{
    const int type = variable->GetTypeCode();
    return type == VARIABLE_OPTION_LIST ||
           (type == VARIABLE_DATE_TIME && variable->IsKeyboardSourced());
}

} // namespace

QString CDataStore::MakeStorePath(const QString& signPath, const QString& fileName, bool withFolder)
{
    const CFileName sign(signPath);
    const QString path = fileName.isEmpty() ? sign.ReplaceExtension(QStringLiteral(".mdb"))
                                            : sign.GetFolder(true) + fileName;
    return withFolder ? path : CFileName(path).GetFileTitle(true);
}

QStringList CDataStore::StoreColumnNames(const CElementList& elements,
                                         const CVariableList& variables, QString* clash)
{
    QStringList names;
    QStringList elementNames;
    for (const CElement* element : elements)
        if (element->m_dataSource == SOURCE_KEYBOARD) {
            names << element->m_name;
            elementNames << element->m_name;
        }
    QStringList variableNames;
    for (const CVariable* variable : variables)
        if (variable->GetTypeCode() == VARIABLE_OPTION_LIST)
            variableNames << variable->GetName();
    for (const CVariable* variable : variables)
        if (variable->GetTypeCode() == VARIABLE_DATE_TIME && IsStoreVariable(variable))
            variableNames << variable->GetName();
    for (const QString& name : variableNames) {
        if (elementNames.contains(name, Qt::CaseInsensitive)) {
            if (clash)
                *clash = name;
            return {};
        }
        names << name;
    }
    return names;
}

bool CDataStore::IsStore() const
{
    return m_link.GetLinkKind() == 1 && m_link.IsConnected() && !m_link.CurrentTable().isEmpty();
}

bool CDataStore::Fail(const QString& error)
{
    m_error = error;
    m_link.ShowError(error);
    return false;
}

BOOL CDataStore::CreateDataStore(const QString& signPath, const QString& fileName,
                                 const CElementList& elements, const CVariableList& variables)
{
    m_error.clear();
    if (m_link.GetLinkKind() != -1)
        return FALSE;
    QString clash;
    const QStringList columns = StoreColumnNames(elements, variables, &clash);
    if (!clash.isEmpty()) {
        Fail(QStringLiteral(
                 "The element and the variable named \"%1\" would share one column of the "
                 "data store. Rename one of them.")
                 .arg(ElideMiddle(clash)));
        return FALSE;
    }
    const QString path = MakeStorePath(signPath, fileName, true);
    const QString table = CFileName(path).GetFileTitle(false);
    if (table.isEmpty()) {
        Fail(QStringLiteral("The data store needs a file name."));
        return FALSE;
    }
    const FileState state = StateOf(path);
    if (state == FileState::Foreign) {
        // A file of another program (an Access database, say) is never
        // written to.
        Fail(QStringLiteral(
                 "The file \"%1\" is not a data store of this program and is left as it is.")
                 .arg(QDir::toNativeSeparators(path)));
        return FALSE;
    }
    QString error;
    if (!PrepareStoreFile(path, table, &error)) {
        Fail(QStringLiteral("The data store \"%1\" cannot be made: %2")
                 .arg(QDir::toNativeSeparators(path), error));
        return FALSE;
    }
    m_link.SetDatabaseType(kAccessType);
    if (!m_link.Connect(path, FALSE))
        return FALSE;
    if (!m_link.OpenTable(table)) {
        m_link.Disconnect();
        return FALSE;
    }
    m_link.m_linkKind = 1;
    for (const QString& column : columns) {
        if (!AddStoreColumn(column)) {
            m_link.Disconnect();
            return FALSE;
        }
    }
    return TRUE;
}

QStringList CDataStore::Columns() const
{
    QStringList columns;
    if (!IsStore())
        return columns;
    QSqlQuery q(m_link.Database());
    if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QuoteSqlName(m_link.CurrentTable()))))
        while (q.next())
            columns << q.value(1).toString();
    return columns;
}

BOOL CDataStore::AddStoreColumn(const QString& name)
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    if (name.trimmed().isEmpty())
        return Fail(QStringLiteral("A data store column needs a name."));
    if (Columns().contains(name, Qt::CaseInsensitive))
        return TRUE;
    m_link.CloseRecordset();
    const CProgramStatements own(m_link.Database());
    QSqlQuery q(m_link.Database());
    if (!q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT")
                    .arg(QuoteSqlName(m_link.CurrentTable()), QuoteSqlName(name))))
        return Fail(q.lastError().text());
    return TRUE;
}

BOOL CDataStore::SyncStoreColumn(const CElement& element, const QString& previousName,
                                 const CVariableList* variables)
{
    m_error.clear();
    if (m_link.GetLinkKind() != 1 || element.m_dataSource != SOURCE_KEYBOARD)
        return TRUE;
    if (!IsStore())
        return FALSE;
    const bool sameName = previousName.compare(element.m_name, Qt::CaseInsensitive) == 0;
    if (!sameName && variables) {
        for (const CVariable* variable : *variables)
            if (IsStoreVariable(variable) &&
                variable->GetName().compare(element.m_name, Qt::CaseInsensitive) == 0)
                return Fail(
                    QStringLiteral("The variable \"%1\" keeps its own column in the data store; "
                                   "the element cannot take that name's column as well.")
                        .arg(ElideMiddle(variable->GetName())));
    }
    const QStringList columns = Columns();
    if (!columns.contains(previousName, Qt::CaseInsensitive) || previousName.isEmpty())
        return AddStoreColumn(element.m_name);
    if (sameName)
        return TRUE;
    return RenameStoreColumn(previousName, element.m_name);
}

BOOL CDataStore::RenameStoreColumn(const QString& oldName, const QString& newName)
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    const QStringList columns = Columns();
    QString oldColumn;
    for (const QString& c : columns)
        if (c.compare(oldName, Qt::CaseInsensitive) == 0)
            oldColumn = c;
    if (oldColumn.isEmpty() || oldColumn.compare(kRecordColumn, Qt::CaseInsensitive) == 0)
        return Fail(
            QStringLiteral("The data store has no column \"%1\".").arg(ElideMiddle(oldName)));
    if (newName.trimmed().isEmpty())
        return Fail(QStringLiteral("A data store column needs a name."));
    if (oldName.compare(newName, Qt::CaseInsensitive) == 0)
        return TRUE;
    if (columns.contains(newName, Qt::CaseInsensitive))
        return Fail(
            QStringLiteral("The data store has a column \"%1\" already; the values of \"%2\" are "
                           "not mixed into it.")
                .arg(ElideMiddle(newName), ElideMiddle(oldName)));
    m_link.CloseRecordset();
    QSqlDatabase db = m_link.Database();
    const CProgramStatements own(db);
    if (!db.transaction())
        return Fail(db.lastError().text());
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("ALTER TABLE %1 RENAME COLUMN %2 TO %3")
                    .arg(QuoteSqlName(m_link.CurrentTable()), QuoteSqlName(oldColumn),
                         QuoteSqlName(newName)))) {
        const QString error = q.lastError().text();
        db.rollback();
        return Fail(error);
    }
    if (!db.commit()) {
        const QString error = db.lastError().text();
        db.rollback();
        return Fail(error);
    }
    if (m_link.m_keyField == oldName)
        m_link.m_keyField = newName;
    return TRUE;
}

BOOL CDataStore::DeleteStoreColumn(const QString& name)
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    if (name.compare(kRecordColumn, Qt::CaseInsensitive) == 0 ||
        !Columns().contains(name, Qt::CaseInsensitive))
        return Fail(QStringLiteral("The data store has no column \"%1\".").arg(ElideMiddle(name)));
    m_link.CloseRecordset();
    const CProgramStatements own(m_link.Database());
    QSqlQuery q(m_link.Database());
    if (!q.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                    .arg(QuoteSqlName(m_link.CurrentTable()), QuoteSqlName(name))))
        return Fail(q.lastError().text());
    return TRUE;
}

BOOL CDataStore::EnsureStoreColumns(const QStringList& names)
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    const QStringList columns = Columns();
    QStringList missing;
    for (const QString& name : names)
        if (!columns.contains(name, Qt::CaseInsensitive) &&
            !missing.contains(name, Qt::CaseInsensitive))
            missing << name;
    if (missing.isEmpty())
        return TRUE;
    const bool open = m_link.IsRecordsetOpen();
    const qint64 current = CurrentRecordId();
    bool ok = true;
    for (const QString& name : missing)
        if (!AddStoreColumn(name)) {
            ok = false;
            break;
        }
    if (open && !m_link.IsRecordsetOpen())
        ReopenAt(current);
    return ok ? TRUE : FALSE;
}

bool CDataStore::ColumnIsEmpty(const QString& name) const
{
    if (!IsStore() || name.compare(kRecordColumn, Qt::CaseInsensitive) == 0)
        return false;
    QString column;
    for (const QString& c : Columns())
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            column = c;
    if (column.isEmpty())
        return false;
    QSqlQuery q(m_link.Database());
    if (!q.exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 IS NOT NULL AND %2 <> '' LIMIT 1")
                    .arg(QuoteSqlName(m_link.CurrentTable()), QuoteSqlName(column))))
        return false;
    return !q.next();
}

qint64 CDataStore::CurrentRecordId()
{
    if (!m_link.IsRecordsetOpen() || m_link.GetPosition() < 1)
        return -1;
    bool ok = false;
    const qint64 id = m_link.GetFieldValue(kRecordColumn).toLongLong(&ok);
    return ok ? id : -1;
}

bool CDataStore::ReopenAt(qint64 recordId)
{
    m_link.CloseRecordset();
    m_link.OpenRecordset();
    if (recordId < 0 || !m_link.IsRecordsetOpen())
        return true;
    return m_link.FindRecord(kRecordColumn, QString::number(recordId)) != FALSE;
}

BOOL CDataStore::AddNewRecord()
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    qint64 id = -1;
    {
        const CProgramStatements own(m_link.Database());
        QSqlQuery q(m_link.Database());
        if (!q.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES")
                        .arg(QuoteSqlName(m_link.CurrentTable()))))
            return Fail(q.lastError().text());
        id = q.lastInsertId().toLongLong();
    }
    return ReopenAt(id) ? TRUE : FALSE;
}

BOOL CDataStore::DeleteCurrentRecord()
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    if (!m_link.IsRecordsetOpen())
        m_link.OpenRecordset();
    const int count = m_link.GetRecordCount();
    const qint64 id = CurrentRecordId();
    if (count < 1 || id < 0)
        return FALSE;
    qint64 neighbour = -1;
    if (count > 1) {
        const int position = m_link.GetPosition();
        m_link.MoveTo(position < count ? position + 1 : position - 1);
        neighbour = CurrentRecordId();
        m_link.MoveTo(position);
    }
    {
        const CProgramStatements own(m_link.Database());
        QSqlQuery q(m_link.Database());
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                      .arg(QuoteSqlName(m_link.CurrentTable()), QuoteSqlName(kRecordColumn)));
        q.addBindValue(id);
        if (!q.exec())
            return Fail(q.lastError().text());
    }
    ReopenAt(neighbour);
    return TRUE;
}

BOOL CDataStore::SetFieldValue(const QString& field, const QString& text)
{
    m_error.clear();
    if (!IsStore())
        return FALSE;
    if (!m_link.IsRecordsetOpen())
        m_link.OpenRecordset();
    const qint64 id = CurrentRecordId();
    if (id < 0)
        return Fail(QStringLiteral("The data store has no current record."));
    QString value = text;
    if (value.size() > kMaxValueLength) {
        AppMessageBoxId(IDS_TEXT_TOO_LONG_FOR_FIELD, MB_OK | MB_ICONINFORMATION);
        value.truncate(kMaxValueLength);
    }
    QString column;
    for (const QString& c : Columns())
        if (c.compare(field, Qt::CaseInsensitive) == 0)
            column = c;
    if (column.isEmpty() || column.compare(kRecordColumn, Qt::CaseInsensitive) == 0)
        return Fail(QStringLiteral("The data store has no column \"%1\".").arg(ElideMiddle(field)));
    {
        const CProgramStatements own(m_link.Database());
        QSqlQuery q(m_link.Database());
        q.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                      .arg(QuoteSqlName(m_link.CurrentTable()), QuoteSqlName(column),
                           QuoteSqlName(kRecordColumn)));
        q.addBindValue(value);
        q.addBindValue(id);
        if (!q.exec())
            return Fail(q.lastError().text());
    }
    // The open recordset shows the new value at once.
    CRecordset* set = m_link.m_recordset.get();
    if (set && set->current >= 0 && set->current < set->order.size()) {
        const qsizetype at = set->names.indexOf(column);
        QVector<QVariant>& row = set->rows[set->order[set->current]];
        if (at >= 0 && at < row.size())
            row[at] = value;
    }
    return TRUE;
}
