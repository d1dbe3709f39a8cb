// Paradox tables (.db), read through pxlib. Memo and picture fields live in
// a side file (.mb) that is not read; they read as no value.

#include "SourceReaders.h"

#include "Codec1252.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <vector>

// pxlib declares its functions without C linkage of their own.
extern "C" {
#include <paradox.h>
}

namespace {

// pxlib reports a damaged file through its error handler; the read then
// fails on its own, so the report itself is dropped.
void IgnorePxError(pxdoc_t*, int, const char*, void*) {}

// Days of the proleptic Gregorian calendar: Paradox counts from 1 January of
// year 1, the serial day numbers of pxlib from 4714 BC.
constexpr long kSerialDayOfYearOne = 1721425;

QDate DateOfDay(long day)
{
    if (day <= 0 || day > 3652059)
        return QDate();
    int y = 0, m = 0, d = 0;
    PX_SdnToGregorian(day + kSerialDayOfYearOne, &y, &m, &d);
    return QDate(y, m, d);
}

struct PxCloser
{
    void operator()(pxdoc_t* px) const
    {
        PX_close(px);
        PX_delete(px);
    }
};

quint16 U16(const QByteArray& b, qsizetype at)
{
    return static_cast<quint16>(static_cast<unsigned char>(b[at]) |
                                static_cast<unsigned char>(b[at + 1]) << 8);
}

// The chain of data blocks from the header's first block must stay inside
// the file and visit no block twice: pxlib would follow a circle forever.
bool BlockChainIsSound(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(0x20);
    if (head.size() < 0x20)
        return false;
    const qint64 headerSize = U16(head, 0x02);
    const qint64 blockSize = qint64(static_cast<unsigned char>(head[0x05])) * 1024;
    const qint64 fileBlocks = U16(head, 0x0C);
    qint64 block = U16(head, 0x0E);
    if (blockSize <= 0 || headerSize <= 0)
        return false;
    const qint64 room = (file.size() - headerSize) / blockSize;
    std::vector<bool> seen(static_cast<size_t>(std::max<qint64>(room, 0)) + 1, false);
    qint64 walked = 0;
    while (block != 0) {
        if (block < 1 || block > room || seen[static_cast<size_t>(block)] || ++walked > fileBlocks)
            return false;
        seen[static_cast<size_t>(block)] = true;
        if (!file.seek(headerSize + (block - 1) * blockSize))
            return false;
        const QByteArray blockHead = file.read(6);
        if (blockHead.size() < 6)
            return false;
        block = U16(blockHead, 0);
    }
    return true;
}

} // namespace

bool ReadParadoxTable(const QString& path, CSourceTable* table, QString* error)
{
    static const bool booted = (PX_boot(), true);
    (void)booted;
    const QString shown = QDir::toNativeSeparators(path);
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!BlockChainIsSound(path))
        return fail(QStringLiteral("The file %1 is not a Paradox table or is damaged.").arg(shown));
    pxdoc_t* raw = PX_new2(IgnorePxError, nullptr, nullptr, nullptr);
    if (!raw)
        return fail(QStringLiteral("The file %1 cannot be read.").arg(shown));
    if (PX_open_file(raw, QFile::encodeName(path).constData()) < 0) {
        PX_delete(raw);
        return fail(QStringLiteral("The file %1 is not a Paradox table or is damaged.").arg(shown));
    }
    std::unique_ptr<pxdoc_t, PxCloser> px(raw);
    const bool utf8 = PX_set_targetencoding(raw, "UTF-8") >= 0;
    const bool dos = raw->px_head && raw->px_head->px_doscodepage == 437;
    const int fieldCount = PX_get_num_fields(raw);
    pxfield_t* fields = PX_get_fields(raw);
    const int recordSize = PX_get_recordsize(raw);
    if (fieldCount <= 0 || !fields || recordSize <= 0)
        return fail(QStringLiteral("The Paradox table %1 has no fields or is damaged.").arg(shown));
    std::vector<int> offsets(static_cast<size_t>(fieldCount));
    int offset = 0;
    for (int f = 0; f < fieldCount; ++f) {
        offsets[f] = offset;
        if (fields[f].px_flen <= 0 || offset + fields[f].px_flen > recordSize)
            return fail(QStringLiteral("The Paradox table %1 is damaged (field %2).")
                            .arg(shown)
                            .arg(f + 1));
        offset += fields[f].px_flen;
    }
    if (!table)
        return true; // only asked whether the file is a table
    auto text = [&](const char* bytes) {
        const QByteArray b(bytes);
        return utf8 ? QString::fromUtf8(b) : dos ? FromCodePage437(b) : FromWindows1252(b);
    };
    const int columnCount = std::min(fieldCount, CSourceTable::kMaxColumns);
    table->columns.clear();
    for (int f = 0; f < columnCount; ++f) {
        ColumnKind kind = ColumnKind::Text;
        switch (fields[f].px_ftype) {
        case pxfShort:
        case pxfLong:
        case pxfAutoInc:
            kind = ColumnKind::Integer;
            break;
        case pxfCurrency:
        case pxfNumber:
        case pxfBCD:
            kind = ColumnKind::Real;
            break;
        case pxfLogical:
            kind = ColumnKind::Boolean;
            break;
        case pxfDate:
            kind = ColumnKind::Date;
            break;
        case pxfTime:
            kind = ColumnKind::Time;
            break;
        case pxfTimestamp:
            kind = ColumnKind::DateTime;
            break;
        default:
            break;
        }
        table->columns.append({fields[f].px_fname ? text(fields[f].px_fname) : QString(), kind});
    }
    // No more records than the file has room for, whatever the header says.
    const qint64 room = std::max<qint64>(0, QFileInfo(path).size()) / recordSize;
    const int recordCount =
        static_cast<int>(std::min<qint64>(std::max(0, PX_get_num_records(raw)), room));
    std::vector<char> record(static_cast<size_t>(recordSize) + 1);
    table->rows.clear();
    for (int r = 0; r < recordCount; ++r) {
        if (!PX_get_record(raw, r, record.data()))
            return fail(QStringLiteral("The Paradox table %1 is damaged: record %2 cannot be read.")
                            .arg(shown)
                            .arg(r + 1));
        QVector<QVariant> row(columnCount);
        for (int f = 0; f < columnCount; ++f) {
            char* data = record.data() + offsets[f];
            const int len = fields[f].px_flen;
            QVariant value;
            switch (fields[f].px_ftype) {
            case pxfAlpha: {
                char* s = nullptr;
                if (PX_get_data_alpha(raw, data, len, &s) > 0 && s) {
                    value = text(s);
                    raw->free(raw, s);
                }
                break;
            }
            case pxfShort: {
                short v = 0;
                if (PX_get_data_short(raw, data, len, &v) > 0)
                    value = qint64(v);
                break;
            }
            case pxfLong:
            case pxfAutoInc: {
                long v = 0;
                if (PX_get_data_long(raw, data, len, &v) > 0)
                    value = qint64(v);
                break;
            }
            case pxfCurrency:
            case pxfNumber: {
                double v = 0;
                if (PX_get_data_double(raw, data, len, &v) > 0 && std::isfinite(v))
                    value = v;
                break;
            }
            case pxfBCD: {
                char* s = nullptr;
                if (PX_get_data_bcd(raw, reinterpret_cast<unsigned char*>(data), fields[f].px_fdc,
                                    &s) > 0 &&
                    s) {
                    value = ConvertText(QString::fromLatin1(s), ColumnKind::Real);
                    raw->free(raw, s);
                }
                break;
            }
            case pxfLogical: {
                char v = 0;
                if (PX_get_data_byte(raw, data, len, &v) > 0)
                    value = v != 0;
                break;
            }
            case pxfDate: {
                long v = 0;
                if (PX_get_data_long(raw, data, len, &v) > 0) {
                    const QDate d = DateOfDay(v);
                    if (d.isValid())
                        value = d;
                }
                break;
            }
            case pxfTime: {
                long v = 0;
                if (PX_get_data_long(raw, data, len, &v) > 0 && v >= 0 && v < 86400000)
                    value = QTime::fromMSecsSinceStartOfDay(int(v));
                break;
            }
            case pxfTimestamp: {
                double v = 0;
                if (PX_get_data_double(raw, data, len, &v) > 0 && std::isfinite(v) && v > 0 &&
                    v < 3.2e14) {
                    // Milliseconds since the start of year 1, one day ahead.
                    const double days = std::floor(v / 86400000.0);
                    const QDate d = DateOfDay(long(days));
                    const int ms = int(std::fmod(v, 86400000.0));
                    if (d.isValid())
                        value = QDateTime(d, QTime::fromMSecsSinceStartOfDay(ms));
                }
                break;
            }
            default:
                break;
            }
            row[f] = value;
        }
        table->rows.append(std::move(row));
    }
    return true;
}
