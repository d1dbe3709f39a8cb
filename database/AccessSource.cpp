// Access databases (.mdb, .accdb), read through libmdb of mdbtools.

#include "SourceReaders.h"

#include <QDir>
#include <QFile>

#include <memory>
#include <vector>

#include <mdbtools.h>

namespace {

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

struct MdbCloser
{
    void operator()(MdbHandle* h) const { mdb_close(h); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;

struct TableCloser
{
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableCloser>;

// Each value is read as text into a buffer of this size; longer memo texts
// are cut there.
constexpr size_t kBindSize = 65536;

// The page header of a Jet or ACE database names its engine; anything else
// is refused before the library looks at it.
bool LooksLikeAccess(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("The file %1 cannot be read: %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray head = file.read(32);
    if (head.size() < 32 ||
        (head.mid(4, 15) != "Standard Jet DB" && head.mid(4, 15) != "Standard ACE DB") ||
        file.size() < 4096)
        return Fail(error, QStringLiteral("The file %1 is not an Access database or is damaged.")
                               .arg(QDir::toNativeSeparators(path)));
    return true;
}

bool OpenMdb(const QString& path, MdbPtr* mdb, QString* error)
{
    if (!LooksLikeAccess(path, error))
        return false;
    mdb->reset(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!*mdb || !mdb_read_catalog(mdb->get(), MDB_TABLE))
        return Fail(error, QStringLiteral("The file %1 is not an Access database or is damaged.")
                               .arg(QDir::toNativeSeparators(path)));
    mdb_set_date_fmt(mdb->get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_bind_size(mdb->get(), kBindSize);
    return true;
}

QVector<MdbCatalogEntry*> UserTables(MdbHandle* mdb)
{
    QVector<MdbCatalogEntry*> tables;
    for (unsigned int i = 0; i < mdb->num_catalog && mdb->catalog && i < mdb->catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry && entry->object_type == MDB_TABLE && !mdb_is_system_table(entry))
            tables.append(entry);
    }
    return tables;
}

ColumnKind KindOfColumn(int type)
{
    switch (type) {
    case MDB_BOOL:
        return ColumnKind::Boolean;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return ColumnKind::Integer;
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return ColumnKind::Real;
    case MDB_DATETIME:
        return ColumnKind::DateTime;
    default:
        return ColumnKind::Text;
    }
}

} // namespace

QStringList ListAccessTables(const QString& path, QString* error)
{
    MdbPtr mdb;
    if (!OpenMdb(path, &mdb, error))
        return {};
    QStringList names;
    for (MdbCatalogEntry* entry : UserTables(mdb.get()))
        names << QString::fromUtf8(entry->object_name);
    if (names.isEmpty() && error)
        *error = QStringLiteral("The database has no table.");
    return names;
}

bool ReadAccessTable(const QString& path, const QString& name, CSourceTable* table, QString* error)
{
    MdbPtr mdb;
    if (!OpenMdb(path, &mdb, error))
        return false;
    MdbCatalogEntry* found = nullptr;
    for (MdbCatalogEntry* entry : UserTables(mdb.get()))
        if (!found && QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) == 0)
            found = entry;
    if (!found)
        return Fail(error,
                    QStringLiteral("The database has no table named %1.").arg(name.left(100)));
    TablePtr def(mdb_read_table(found));
    if (!def || !mdb_read_columns(def.get()) || !def->columns)
        return Fail(error, QStringLiteral("The table %1 cannot be read.").arg(name.left(100)));
    const int columnCount = static_cast<int>(std::min<unsigned>(
        std::min<unsigned>(def->num_cols, def->columns->len), CSourceTable::kMaxColumns));
    std::vector<std::vector<char>> buffers(static_cast<size_t>(columnCount),
                                           std::vector<char>(kBindSize + 1));
    std::vector<int> lengths(static_cast<size_t>(columnCount));
    std::vector<int> types(static_cast<size_t>(columnCount));
    table->columns.clear();
    for (int c = 0; c < columnCount; ++c) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
        types[c] = col->col_type;
        table->columns.append({QString::fromUtf8(col->name), KindOfColumn(col->col_type)});
        if (col->col_type != MDB_OLE && col->col_type != MDB_BINARY && col->col_type != MDB_COMPLEX)
            mdb_bind_column(def.get(), c + 1, buffers[c].data(), &lengths[c]);
    }
    mdb_rewind_table(def.get());
    table->rows.clear();
    while (mdb_fetch_row(def.get())) {
        QVector<QVariant> row(columnCount);
        for (int c = 0; c < columnCount; ++c) {
            if (types[c] == MDB_OLE || types[c] == MDB_BINARY || types[c] == MDB_COMPLEX)
                continue;
            const int length = std::clamp(lengths[c], 0, static_cast<int>(kBindSize));
            if (length == 0)
                continue;
            const QString text = QString::fromUtf8(buffers[c].data(), length);
            row[c] = ConvertText(text, table->columns[c].kind);
        }
        table->rows.append(std::move(row));
    }
    return true;
}
