// Lotus 1-2-3 worksheets of the first two releases (.wks, .wk1): a run of
// records, each an opcode, a length and a body, with one record per cell.
// Later releases (.wk3, .wk4) are another format and are not read.

#include "SourceReaders.h"

#include "Codec1252.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QMap>

#include <cmath>
#include <cstring>

namespace {

enum LotusRecord : quint16
{
    REC_BOF = 0x00,
    REC_EOF = 0x01,
    REC_INTEGER = 0x0D,
    REC_NUMBER = 0x0E,
    REC_LABEL = 0x0F,
    REC_FORMULA = 0x10,
    REC_STRING = 0x33,
};

quint16 U16(const unsigned char* p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

double F64(const unsigned char* p)
{
    double d = 0;
    std::memcpy(&d, p, 8);
    return d;
}

// A number shown with a date or time format becomes a date or time: the
// special formats (type 7) D1 to D5 are dates, D6 to D9 times.
QVariant NumberCell(double value, unsigned char format)
{
    if (!std::isfinite(value))
        return QVariant();
    if (((format >> 4) & 7) == 7) {
        const int special = format & 0x0F;
        const bool date =
            special == 2 || special == 3 || special == 4 || special == 9 || special == 10;
        const bool time = special == 7 || special == 8 || special == 11 || special == 12;
        if ((date || time) && value >= 0 && value < 2958466) {
            const qint64 days = static_cast<qint64>(std::floor(value));
            const int ms = static_cast<int>(std::llround((value - double(days)) * 86400.0)) * 1000;
            if (time)
                return QTime::fromMSecsSinceStartOfDay(ms % 86400000);
            // Day 1 is 1 January 1900; day 60 is the 29 February that 1900
            // did not have.
            const QDate base = days < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
            return base.addDays(days);
        }
    }
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QVariant(static_cast<qint64>(value));
    return QVariant(value);
}

// A label's text without its alignment prefix.
QString LabelText(const unsigned char* p, qsizetype size)
{
    qsizetype end = 0;
    while (end < size && p[end] != 0)
        ++end;
    QByteArray bytes(reinterpret_cast<const char*>(p), end);
    if (!bytes.isEmpty() && QByteArray("'\"^\\|").contains(bytes[0]))
        bytes.remove(0, 1);
    return FromWindows1252(bytes);
}

} // namespace

bool ReadLotusSheet(const QString& path, bool header, CSourceTable* table, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    if (!ReadWholeFile(path, &bytes, error))
        return false;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 6 || U16(data) != REC_BOF || U16(data + 2) < 2) {
        if (error)
            *error = QStringLiteral("The file %1 is not a Lotus worksheet.").arg(shown);
        return false;
    }
    const quint16 version = U16(data + 4);
    if (version < 0x0404 || version > 0x0406) {
        if (error)
            *error = QStringLiteral("This file format is not available.");
        return false;
    }
    // Only the cells present are held, however far apart they stand.
    QVector<CPlacedCell> cells;
    auto put = [&](int column, int row, const QVariant& value) {
        if (value.isNull() || column < 0 || column >= CSourceTable::kMaxColumns)
            return;
        cells.append({row, column, value});
    };
    qsizetype pos = 0;
    bool ended = false;
    while (pos + 4 <= size) {
        const quint16 opcode = U16(data + pos);
        const quint16 length = U16(data + pos + 2);
        const unsigned char* body = data + pos + 4;
        if (pos + 4 + length > size)
            break;
        pos += 4 + length;
        if (opcode == REC_EOF) {
            ended = true;
            break;
        }
        if (length < 5)
            continue;
        const unsigned char format = body[0];
        const int column = U16(body + 1);
        const int row = U16(body + 3);
        switch (opcode) {
        case REC_INTEGER:
            if (length >= 7)
                put(column, row, NumberCell(static_cast<qint16>(U16(body + 5)), format));
            break;
        case REC_NUMBER:
        case REC_FORMULA:
            if (length >= 13)
                put(column, row, NumberCell(F64(body + 5), format));
            break;
        case REC_LABEL:
        case REC_STRING: {
            const QString text = LabelText(body + 5, length - 5);
            if (!text.isEmpty())
                put(column, row, text);
            else if (opcode == REC_STRING && column < CSourceTable::kMaxColumns)
                cells.append({row, column, QVariant()}); // an empty string result
            break;
        }
        default:
            break;
        }
    }
    if (!ended) {
        if (error)
            *error =
                QStringLiteral("The Lotus worksheet %1 is damaged: it ends too early.").arg(shown);
        return false;
    }
    table->rows.clear();
    table->SetCells(std::move(cells));
    table->textIsFinal = true;
    TakeHeaderRow(table, header);
    return true;
}
