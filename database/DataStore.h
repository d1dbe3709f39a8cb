// The data store: the sign's own database of the data typed at print time.
// It is an SQLite file beside the sign (by default the sign's name with the
// extension ".mdb", as signs have always named it) holding one table, named
// after the file, with one text column per keyboard-entry element, per
// option-list variable and per date/time stamp whose extra days are typed,
// and "CopyQty" when the store keeps copy quantities. The sign's link opens
// it as link kind 1; CDataStore keeps its columns in step with the sign and
// adds, changes and deletes its records.
#pragma once

#include "Types.h"

#include <QString>
#include <QStringList>

class CDatabaseLink;
class CElement;
class CElementList;
class CVariableList;

class CDataStore
{
public:
    // The column that numbers the records; every store table has it first.
    static const QString kRecordColumn;
    // Values longer than this are cut (with a message).
    static constexpr int kMaxValueLength = 255;

    explicit CDataStore(CDatabaseLink& link) : m_link(link) {}

    // With a file name: the sign's folder and that name; without: the sign
    // path with its extension replaced by ".mdb". Without withFolder only
    // the file name is returned.
    static QString MakeStorePath(const QString& signPath, const QString& fileName, bool withFolder);

    // Makes the link the sign's data store: the store file is opened, or
    // made when it does not exist, and a column is added for every element
    // and variable that takes typed data (in list order: elements, option
    // lists, date/time stamps). FALSE, with the link left unlinked, when the
    // link is in use, the file is not a data store, a column cannot be made,
    // or an element and a variable would share a column.
    BOOL CreateDataStore(const QString& signPath, const QString& fileName,
                         const CElementList& elements, const CVariableList& variables);

    // The names of the store's columns for the sign's elements and
    // variables, in order; empty with *clash set to the name when an
    // element and a variable have the same name (case ignored).
    static QStringList StoreColumnNames(const CElementList& elements,
                                        const CVariableList& variables, QString* clash);

    // The columns of the store table, record column first; empty when the
    // link is no data store.
    QStringList Columns() const;

    // A text column of that name; TRUE when it is there already (case
    // ignored).
    BOOL AddStoreColumn(const QString& name);
    // After an element's name or data source may have changed: a keyboard
    // element gets its column, under its new name when it had one under the
    // previous name. Refused (FALSE, nothing changed) when the new name is
    // that of a variable with a column of its own.
    BOOL SyncStoreColumn(const CElement& element, const QString& previousName,
                         const CVariableList* variables = nullptr);
    // Renames a column with its values, in one transaction; a key field that
    // named the old column names the new one. Refused when another column
    // already has the new name, so that no two columns' values are mixed.
    BOOL RenameStoreColumn(const QString& oldName, const QString& newName);
    BOOL DeleteStoreColumn(const QString& name);
    // A column for each of the names that has none, the current record kept
    // current. FALSE (the error shown) when one cannot be made.
    BOOL EnsureStoreColumns(const QStringList& names);
    // Whether no record holds a value (other than an empty text) in the
    // column; false when there is no such column.
    bool ColumnIsEmpty(const QString& name) const;

    // Records of the link's recordset (it is opened when it is not).
    // A new empty record, made current.
    BOOL AddNewRecord();
    // Deletes the current record; the next record becomes current, or the
    // previous one when it was the last.
    BOOL DeleteCurrentRecord();
    // Writes one field of the current record at once. A text longer than
    // 255 characters is cut after message 63062.
    BOOL SetFieldValue(const QString& field, const QString& text);

    // The last error, for tests and callers that show their own.
    const QString& LastError() const { return m_error; }

private:
    bool IsStore() const;
    bool Fail(const QString& error);
    qint64 CurrentRecordId();
    bool ReopenAt(qint64 recordId);

    CDatabaseLink& m_link;
    QString m_error;
};
