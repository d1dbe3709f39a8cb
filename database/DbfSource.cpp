// dBASE and FoxPro tables, read through shapelib's DBF reader.

#include "SourceReaders.h"

#include "Codec1252.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <memory>

#include <shapefil.h>

namespace {

// shapelib reports its troubles through a hook; the last one is kept for
// the error text instead of going to the console.
QString s_lastDbfMessage;

void KeepDbfMessage(const char* message)
{
    s_lastDbfMessage = QString::fromLocal8Bit(message).trimmed();
}

// shapelib looks for "name.dbf" and then "name.DBF"; the table the user chose
// is opened whatever its extension's letter case (or extension) is.
QByteArray s_tablePath;

SAFile OpenChosenTable(const char* name, const char* access)
{
    const QByteArray requested(name);
    const bool table = requested.toLower().endsWith(".dbf");
    return reinterpret_cast<SAFile>(std::fopen(table ? s_tablePath.constData() : name, access));
}

struct DbfCloser
{
    void operator()(DBFInfo* h) const { DBFClose(h); }
};

enum class TextCoding
{
    Windows1252,
    Dos437,
    Utf8,
};

TextCoding CodingOf(DBFHandle h)
{
    const char* page = DBFGetCodePage(h);
    const QString p = page ? QString::fromLatin1(page).trimmed() : QString();
    if (p.contains(u"UTF-8", Qt::CaseInsensitive) || p.contains(u"UTF8", Qt::CaseInsensitive) ||
        p.contains(u"65001"))
        return TextCoding::Utf8;
    if (p == u"LDID/1" || p == u"437" || p.endsWith(u" 437"))
        return TextCoding::Dos437;
    return TextCoding::Windows1252;
}

QString Decode(const char* bytes, TextCoding coding)
{
    const QByteArray raw(bytes);
    switch (coding) {
    case TextCoding::Utf8:
        return QString::fromUtf8(raw);
    case TextCoding::Dos437:
        return FromCodePage437(raw);
    case TextCoding::Windows1252:
        break;
    }
    return FromWindows1252(raw);
}

qint64 LittleEndian(const unsigned char* p, int size)
{
    quint64 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    if (size < 8 && (p[size - 1] & 0x80))
        v |= ~quint64(0) << (8 * size); // sign extension
    return static_cast<qint64>(v);
}

// The memo file beside a table: "name.dbt" (dBASE) or "name.fpt" (FoxPro),
// the extension in any letter case.
QString MemoPath(const QString& path)
{
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    const QStringList names = info.absoluteDir().entryList(QDir::Files);
    for (const char* ext : {".dbt", ".fpt"})
        for (const QString& name : names)
            if (name.compare(base + QLatin1String(ext), Qt::CaseInsensitive) == 0)
                return info.absoluteDir().filePath(name);
    return QString();
}

// Memo texts of dBASE III, dBASE IV and FoxPro memo files. The bytes read
// for all memos together are limited to twice the memo file's size (and a
// megabyte), so records that all point at one long memo cannot make reading
// take more than linear time.
class CMemoFile
{
public:
    explicit CMemoFile(const QString& path) : m_file(path)
    {
        if (path.isEmpty() || !m_file.open(QIODevice::ReadOnly))
            return;
        m_size = m_file.size();
        m_budget = 2 * m_size + (1 << 20);
        m_fox = path.endsWith(QLatin1String(".fpt"), Qt::CaseInsensitive);
        const QByteArray head = m_file.read(32);
        if (head.size() < 32)
            return;
        const auto* h = reinterpret_cast<const unsigned char*>(head.constData());
        if (m_fox) {
            m_blockSize = (h[6] << 8) | h[7];
        } else {
            const int size = h[20] | (h[21] << 8);
            // dBASE IV files give their block size; dBASE III ones use 512.
            m_dbase4 = head[16] != 0x03 && size > 0;
            m_blockSize = m_dbase4 ? size : 512;
        }
        if (m_blockSize < 1 || m_blockSize > 65536)
            m_blockSize = 512;
        m_open = true;
    }

    bool IsOpen() const { return m_open; }

    // The memo at a block; null when there is none or it cannot be read.
    QByteArray Read(qint64 block)
    {
        if (!m_open || block <= 0)
            return QByteArray();
        const qint64 offset = block * m_blockSize;
        if (offset >= m_size || !m_file.seek(offset))
            return QByteArray();
        if (m_fox || m_dbase4) {
            const QByteArray head = m_file.read(8);
            if (head.size() < 8)
                return QByteArray();
            const auto* h = reinterpret_cast<const unsigned char*>(head.constData());
            qint64 length = 0;
            if (m_fox) {
                length = qint64(h[4]) << 24 | h[5] << 16 | h[6] << 8 | h[7];
            } else {
                length = (qint64(h[4]) | h[5] << 8 | h[6] << 16 | qint64(h[7]) << 24) - 8;
            }
            return Take(std::clamp<qint64>(length, 0, m_size - offset - 8), false);
        }
        return Take(m_size - offset, true);
    }

private:
    QByteArray Take(qint64 length, bool untilEnd)
    {
        length = std::min(length, m_budget);
        if (length <= 0)
            return QByteArray();
        QByteArray bytes;
        if (untilEnd) {
            // dBASE III: the text runs to the first end-of-file mark.
            while (bytes.size() < length) {
                const QByteArray chunk =
                    m_file.read(std::min<qint64>(m_blockSize, length - bytes.size()));
                if (chunk.isEmpty())
                    break;
                const qsizetype end = chunk.indexOf('\x1A');
                bytes += end >= 0 ? chunk.left(end) : chunk;
                if (end >= 0)
                    break;
            }
        } else {
            bytes = m_file.read(length);
        }
        m_budget -= bytes.size();
        return bytes;
    }

    QFile m_file;
    qint64 m_size = 0;
    qint64 m_budget = 0;
    int m_blockSize = 512;
    bool m_fox = false;
    bool m_dbase4 = false;
    bool m_open = false;
};

bool ReadDbf(const QString& path, CSourceTable* table, QString* error);

} // namespace

bool ReadDbfSource(const QString& path, CSourceTable* table, QString* error)
{
    return ReadDbf(path, table, error);
}

bool ProbeDbfSource(const QString& path, QString* error)
{
    return ReadDbf(path, nullptr, error);
}

namespace {

// Reads the table, or with no table only checks that the file is one.
bool ReadDbf(const QString& path, CSourceTable* table, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    const QString shown = QDir::toNativeSeparators(path);
    const qint64 fileSize = QFileInfo(path).size();
    {
        // The header alone tells a table from something else: a version
        // byte, a header length of at least one field and a record length.
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("The file %1 cannot be read: %2").arg(shown, probe.errorString()));
        const QByteArray head = probe.read(32);
        if (head.size() < 32)
            return fail(QStringLiteral("The file %1 is not a dBASE table.").arg(shown));
    }
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.Error = KeepDbfMessage;
    hooks.FOpen = OpenChosenTable;
    s_lastDbfMessage.clear();
    s_tablePath = QFile::encodeName(path);
    std::unique_ptr<DBFInfo, DbfCloser> dbf(
        DBFOpenLL(QFile::encodeName(path).constData(), "rb", &hooks));
    if (!dbf)
        return fail(QStringLiteral("The file %1 is not a dBASE table or is damaged.").arg(shown));
    DBFHandle h = dbf.get();
    const int fieldCount = DBFGetFieldCount(h);
    if (fieldCount <= 0 || h->nRecordLength <= 1 || h->nHeaderLength < 32)
        return fail(QStringLiteral("The dBASE table %1 has no fields or is damaged.").arg(shown));
    // Every field must lie inside the record.
    for (int f = 0; f < fieldCount; ++f)
        if (h->panFieldOffset[f] < 1 || h->panFieldSize[f] < 1 ||
            h->panFieldOffset[f] + h->panFieldSize[f] > h->nRecordLength)
            return fail(
                QStringLiteral("The dBASE table %1 is damaged (field %2).").arg(shown).arg(f + 1));
    // No more records than the file holds, whatever the header claims.
    const qint64 room = std::max<qint64>(0, fileSize - h->nHeaderLength) / h->nRecordLength;
    const int recordCount =
        static_cast<int>(std::min<qint64>(std::max(0, DBFGetRecordCount(h)), room));
    const TextCoding coding = CodingOf(h);
    if (!table)
        return true;
    CMemoFile memos(MemoPath(path));

    const int columnCount = std::min(fieldCount, CSourceTable::kMaxColumns);
    QVector<char> types(columnCount);
    table->columns.clear();
    for (int f = 0; f < columnCount; ++f) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, dec = 0;
        DBFGetFieldInfo(h, f, name, &width, &dec);
        types[f] = static_cast<char>(
            std::toupper(static_cast<unsigned char>(DBFGetNativeFieldType(h, f))));
        ColumnKind kind = ColumnKind::Text;
        switch (types[f]) {
        case 'N':
        case 'F':
            kind = dec == 0 && types[f] == 'N' ? ColumnKind::Integer : ColumnKind::Real;
            break;
        case 'I':
        case '+':
            kind = ColumnKind::Integer;
            break;
        case 'B':
        case 'O':
        case 'Y':
            kind = ColumnKind::Real;
            break;
        case 'L':
            kind = ColumnKind::Boolean;
            break;
        case 'D':
            kind = ColumnKind::Date;
            break;
        case 'T':
        case '@':
            kind = ColumnKind::DateTime;
            break;
        default:
            kind = ColumnKind::Text;
            break;
        }
        table->columns.append({Decode(name, coding), kind});
    }
    table->rows.clear();
    table->rows.reserve(recordCount);
    for (int r = 0; r < recordCount; ++r) {
        const char* tuple = DBFReadTuple(h, r);
        if (!tuple)
            return fail(QStringLiteral("The dBASE table %1 is damaged: record %2 cannot be read.")
                            .arg(shown)
                            .arg(r + 1));
        if (tuple[0] == '*')
            continue; // deleted
        const auto* raw = reinterpret_cast<const unsigned char*>(tuple);
        QVector<QVariant> row(columnCount);
        for (int f = 0; f < columnCount; ++f) {
            const unsigned char* field = raw + h->panFieldOffset[f];
            const int size = h->panFieldSize[f];
            QVariant value;
            switch (types[f]) {
            case 'I':
                if (size == 4)
                    value = QVariant(LittleEndian(field, 4));
                break;
            case '+':
                // Autoincrement: big-endian with the sign bit flipped.
                if (size == 4)
                    value =
                        QVariant(qint64(qint32((quint32(field[0]) << 24 | quint32(field[1]) << 16 |
                                                quint32(field[2]) << 8 | field[3]) ^
                                               0x80000000u)));
                break;
            case 'B':
                if (size == 8) {
                    double d = 0;
                    std::memcpy(&d, field, 8);
                    if (std::isfinite(d))
                        value = QVariant(d);
                }
                break;
            case 'Y':
                if (size == 8)
                    value = QVariant(double(LittleEndian(field, 8)) / 10000.0);
                break;
            case 'T':
            case '@':
                if (size == 8) {
                    const qint64 julian = LittleEndian(field, 4);
                    const qint64 ms = LittleEndian(field + 4, 4);
                    if (julian > 0 && ms >= 0 && ms < 86400000) {
                        const QDate d = QDate::fromJulianDay(julian);
                        if (d.isValid())
                            value = d.toString(u"yyyy-MM-dd") + u' ' +
                                    QTime::fromMSecsSinceStartOfDay(int(ms)).toString(u"hh:mm:ss");
                    }
                }
                break;
            case 'L': {
                if (DBFIsAttributeNULL(h, r, f))
                    break;
                const char* logical = DBFReadLogicalAttribute(h, r, f);
                const char c =
                    logical
                        ? static_cast<char>(std::toupper(static_cast<unsigned char>(logical[0])))
                        : 0;
                if (c == 'T' || c == 'Y')
                    value = QVariant(true);
                else if (c == 'F' || c == 'N')
                    value = QVariant(false);
                break;
            }
            case 'M': {
                // The block number: ten digits (dBASE) or four binary bytes
                // (Visual FoxPro).
                qint64 block = 0;
                if (size == 4) {
                    block = LittleEndian(field, 4);
                } else {
                    bool ok = false;
                    block = QByteArray(reinterpret_cast<const char*>(field), size)
                                .trimmed()
                                .toLongLong(&ok);
                    if (!ok)
                        block = 0;
                }
                const QByteArray memo = memos.Read(block);
                if (!memo.isEmpty())
                    value = Decode(memo.constData(), coding);
                break;
            }
            case 'G':
            case 'P':
            case 'W':
            case 'V':
            case 'Q':
                // Pictures and binary data: not text.
                break;
            default: {
                if (types[f] != 'C' && DBFIsAttributeNULL(h, r, f))
                    break;
                const char* text = DBFReadStringAttribute(h, r, f);
                if (!text || !*text)
                    break;
                const QString s = Decode(text, coding);
                if (types[f] == 'D')
                    value = ConvertText(s, ColumnKind::Date);
                else if (types[f] == 'N' || types[f] == 'F')
                    value = ConvertText(s, table->columns[f].kind);
                else
                    value = s;
                break;
            }
            }
            row[f] = value;
        }
        table->rows.append(row);
    }
    return true;
}

} // namespace
