// Excel workbooks: the older binary kind (.xls) through libfreexl, the
// newer zipped XML kind (.xlsx) through libzip and QXmlStreamReader. A
// worksheet becomes one table; rows without any value are left out.

#include "SourceReaders.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QXmlStreamReader>

#include <charconv>
#include <cmath>
#include <memory>

#include <freexl.h>
#include <zip.h>

namespace {

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Leaves out rows without a value and columns after the last one that has
// a value anywhere.
void DropEmpty(CSourceTable* table)
{
    QVector<QVector<QVariant>> kept;
    kept.reserve(table->rows.size());
    for (QVector<QVariant>& row : table->rows) {
        qsizetype last = row.size();
        while (last > 0 && row[last - 1].isNull())
            --last;
        if (last == 0)
            continue;
        row.resize(last);
        kept.append(std::move(row));
    }
    table->rows = std::move(kept);
    // Sparse records hold only cells with a value already.
    table->sparseRows.removeIf([](const QVector<CSourceCell>& record) { return record.isEmpty(); });
}

// ---- .xls ----------------------------------------------------------------

struct XlsCloser
{
    void operator()(const void* h) const { freexl_close(h); }
};
using XlsHandle = std::unique_ptr<const void, XlsCloser>;

bool OpenXls(const QString& path, bool infoOnly, XlsHandle* handle, QString* error)
{
    const void* h = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc =
        infoOnly ? freexl_open_info(name.constData(), &h) : freexl_open(name.constData(), &h);
    handle->reset(h);
    if (rc != FREEXL_OK || !h)
        return Fail(error, QStringLiteral("The file %1 is not an Excel workbook or is damaged.")
                               .arg(QDir::toNativeSeparators(path)));
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return Fail(error, QStringLiteral("The workbook %1 is protected by a password.")
                               .arg(QDir::toNativeSeparators(path)));
    return true;
}

QStringList XlsSheetNames(const void* h)
{
    QStringList names;
    unsigned int count = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        return names;
    for (unsigned int i = 0; i < count && i < 65535; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(h, static_cast<unsigned short>(i), &name) != FREEXL_OK ||
            !name)
            break;
        names << QString::fromUtf8(name);
    }
    return names;
}

} // namespace

QStringList ListXlsSheets(const QString& path, QString* error)
{
    XlsHandle h;
    if (!OpenXls(path, true, &h, error))
        return {};
    const QStringList names = XlsSheetNames(h.get());
    if (names.isEmpty() && error)
        *error = QStringLiteral("The workbook has no worksheet.");
    return names;
}

bool ReadXlsSheet(const QString& path, const QString& sheet, bool header, CSourceTable* table,
                  QString* error)
{
    XlsHandle h;
    if (!OpenXls(path, false, &h, error))
        return false;
    const QStringList names = XlsSheetNames(h.get());
    int index = -1;
    for (int i = 0; i < names.size() && index < 0; ++i)
        if (names[i].compare(sheet, Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0)
        return Fail(error,
                    QStringLiteral("The workbook has no worksheet named %1.").arg(sheet.left(100)));
    if (freexl_select_active_worksheet(h.get(), static_cast<unsigned short>(index)) != FREEXL_OK)
        return Fail(error, QStringLiteral("The worksheet %1 cannot be read.").arg(sheet.left(100)));
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    if (freexl_worksheet_dimensions(h.get(), &rowCount, &columnCount) != FREEXL_OK)
        return Fail(error, QStringLiteral("The worksheet %1 cannot be read.").arg(sheet.left(100)));
    const int columns = std::min<int>(columnCount, CSourceTable::kMaxColumns);
    table->rows.clear();
    table->sparseRows.clear();
    for (unsigned int r = 0; r < rowCount && r < 65536; ++r) {
        // Only the cells with a value are kept: a sheet's used range may be
        // far larger than what it holds.
        QVector<CSourceCell> record;
        for (int c = 0; c < columns; ++c) {
            QVariant value;
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(h.get(), r, static_cast<unsigned short>(c), &cell) !=
                FREEXL_OK)
                continue;
            switch (cell.type) {
            case FREEXL_CELL_INT:
                value = QVariant(qint64(cell.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                if (std::isfinite(cell.value.double_value)) {
                    const double d = cell.value.double_value;
                    value = d == std::trunc(d) && std::fabs(d) < 1e15 ? QVariant(qint64(d))
                                                                       : QVariant(d);
                }
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                if (cell.value.text_value && *cell.value.text_value)
                    value = QString::fromUtf8(cell.value.text_value);
                break;
            case FREEXL_CELL_DATE:
                if (cell.value.text_value) {
                    const QDate d = QDate::fromString(QString::fromLatin1(cell.value.text_value),
                                                      u"yyyy-MM-dd");
                    if (d.isValid())
                        value = d;
                }
                break;
            case FREEXL_CELL_DATETIME:
                if (cell.value.text_value) {
                    const QDateTime d = QDateTime::fromString(
                        QString::fromLatin1(cell.value.text_value), u"yyyy-MM-dd hh:mm:ss");
                    if (d.isValid())
                        value = d;
                }
                break;
            case FREEXL_CELL_TIME:
                if (cell.value.text_value) {
                    const QTime t =
                        QTime::fromString(QString::fromLatin1(cell.value.text_value), u"hh:mm:ss");
                    if (t.isValid())
                        value = t;
                }
                break;
            default:
                break;
            }
            if (!value.isNull())
                record.append({c, std::move(value)});
        }
        if (!record.isEmpty())
            table->sparseRows.append(std::move(record));
    }
    DropEmpty(table);
    table->textIsFinal = true;
    TakeHeaderRow(table, header);
    return true;
}

// ---- .xlsx ---------------------------------------------------------------

namespace {

// No part of a workbook is unpacked beyond this size.
constexpr zip_uint64_t kMaxPartSize = 256u << 20;

struct ZipCloser
{
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

bool OpenZip(const QString& path, ZipHandle* zip, QString* error)
{
    int code = 0;
    zip->reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!*zip)
        return Fail(error, QStringLiteral("The file %1 is not an Excel workbook or is damaged.")
                               .arg(QDir::toNativeSeparators(path)));
    return true;
}

// One part of the package; a missing part gives false with no error text
// when optional.
bool ReadPart(zip_t* zip, const QString& name, QByteArray* bytes, bool optional, QString* error)
{
    bytes->clear();
    const zip_int64_t index = zip_name_locate(zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0)
        return optional ? false
                        : Fail(error,
                               QStringLiteral("The workbook is damaged: %1 is missing.").arg(name));
    zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0);
    if (!file)
        return Fail(error,
                    QStringLiteral("The workbook is damaged: %1 cannot be unpacked.").arg(name));
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0) {
            ok = Fail(error,
                      QStringLiteral("The workbook is damaged: %1 cannot be unpacked.").arg(name));
            break;
        }
        if (got == 0)
            break;
        if (static_cast<zip_uint64_t>(bytes->size()) + static_cast<zip_uint64_t>(got) >
            kMaxPartSize) {
            ok = Fail(error, QStringLiteral("The workbook is too large to read."));
            break;
        }
        bytes->append(buffer, static_cast<qsizetype>(got));
    }
    zip_fclose(file);
    if (!ok)
        bytes->clear();
    return ok;
}

QString Attribute(const QXmlStreamReader& xml, QStringView localName)
{
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == localName)
            return a.value().toString();
    return QString();
}

bool XmlFailed(const QXmlStreamReader& xml, const QString& part, QString* error)
{
    if (!xml.hasError())
        return false;
    Fail(error, QStringLiteral("The workbook is damaged: %1 cannot be read (%2).")
                    .arg(part, xml.errorString()));
    return true;
}

struct SheetEntry
{
    QString name;
    QString part; // e.g. "xl/worksheets/sheet1.xml"
};

// The worksheets of the workbook in its order, with the parts that hold
// them; date1904 tells the workbook's date system.
bool ReadWorkbook(zip_t* zip, QVector<SheetEntry>* sheets, bool* date1904, QString* error)
{
    QByteArray bytes;
    if (!ReadPart(zip, QStringLiteral("xl/workbook.xml"), &bytes, false, error))
        return false;
    QVector<QPair<QString, QString>> named; // name, relationship id
    *date1904 = false;
    {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"sheet") {
                named.append({Attribute(xml, u"name"), Attribute(xml, u"id")});
            } else if (xml.name() == u"workbookPr") {
                const QString v = Attribute(xml, u"date1904");
                *date1904 = v == u"1" || v.compare(u"true", Qt::CaseInsensitive) == 0;
            }
        }
        if (XmlFailed(xml, QStringLiteral("xl/workbook.xml"), error))
            return false;
    }
    QHash<QString, QString> targets;
    if (ReadPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), &bytes, false, error)) {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"Relationship" &&
                Attribute(xml, u"Type").endsWith(u"/worksheet")) {
                QString target = Attribute(xml, u"Target");
                target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
                targets.insert(Attribute(xml, u"Id"), target);
            }
        }
        if (XmlFailed(xml, QStringLiteral("xl/_rels/workbook.xml.rels"), error))
            return false;
    } else {
        return false;
    }
    for (const auto& [name, id] : named)
        if (!name.isEmpty() && targets.contains(id))
            sheets->append({name, targets.value(id)});
    return true;
}

QVector<QString> ReadSharedStrings(zip_t* zip, bool* ok, QString* error)
{
    QVector<QString> strings;
    QByteArray bytes;
    *ok = true;
    if (!ReadPart(zip, QStringLiteral("xl/sharedStrings.xml"), &bytes, true, error)) {
        *ok = error == nullptr || error->isEmpty();
        return strings;
    }
    QXmlStreamReader xml(bytes);
    QString current;
    bool inItem = false;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"si") {
                inItem = true;
                current.clear();
            } else if (xml.name() == u"rPh") {
                ++phonetic;
            } else if (xml.name() == u"t" && inItem && phonetic == 0) {
                current += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == u"si") {
                strings.append(current);
                inItem = false;
            } else if (xml.name() == u"rPh") {
                --phonetic;
            }
        }
    }
    if (XmlFailed(xml, QStringLiteral("xl/sharedStrings.xml"), error))
        *ok = false;
    return strings;
}

bool IsDateFormatCode(const QString& code)
{
    // Date and time letters outside quoted text, escapes and [colour] or
    // [$-locale] brackets; "General" holds none.
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            // [h], [m], [s]: elapsed time.
            const qsizetype close = code.indexOf(u']', i);
            const QString inner = close > i ? code.mid(i + 1, close - i - 1).toLower() : QString();
            if (!inner.isEmpty() &&
                (inner.count(u'h') == inner.size() || inner.count(u'm') == inner.size() ||
                 inner.count(u's') == inner.size()))
                return true;
            ++bracket;
        } else if (c == u']') {
            bracket = std::max(0, bracket - 1);
        } else if (bracket == 0) {
            const QChar l = c.toLower();
            if (l == u'd' || l == u'm' || l == u'y' || l == u'h' || l == u's')
                return true;
        }
    }
    return false;
}

// For each cell style index, whether its number format shows a date or time.
QVector<bool> ReadDateStyles(zip_t* zip, QString* error, bool* ok)
{
    QVector<bool> dateStyles;
    QByteArray bytes;
    *ok = true;
    if (!ReadPart(zip, QStringLiteral("xl/styles.xml"), &bytes, true, error)) {
        *ok = error == nullptr || error->isEmpty();
        return dateStyles;
    }
    QHash<int, bool> customDate;
    QXmlStreamReader xml(bytes);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt") {
                customDate.insert(Attribute(xml, u"numFmtId").toInt(),
                                  IsDateFormatCode(Attribute(xml, u"formatCode")));
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (xml.name() == u"xf" && inCellXfs) {
                const int id = Attribute(xml, u"numFmtId").toInt();
                const bool builtInDate = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) ||
                                         (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
                dateStyles.append(customDate.contains(id) ? customDate.value(id) : builtInDate);
            }
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    if (XmlFailed(xml, QStringLiteral("xl/styles.xml"), error))
        *ok = false;
    return dateStyles;
}

// A date serial of the workbook as a date, a date and time or a time.
QVariant DateFromSerial(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return QVariant(serial);
    qint64 days = static_cast<qint64>(std::floor(serial));
    qint64 ms = std::llround((serial - double(days)) * 86400000.0);
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    if (days == 0 && !date1904)
        return QVariant(time);
    QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    if (!date1904 && days < 60)
        base = QDate(1899, 12, 31); // before the 1900 leap-year slip
    const QDate date = base.addDays(days);
    if (ms == 0)
        return QVariant(date);
    return QVariant(QDateTime(date, QTime(time.hour(), time.minute(), time.second())));
}

// "BC12" → column 54 (0-based), row 11 (0-based); false when it is no cell
// reference.
bool ParseCellRef(QStringView ref, qint64* column, qint64* row)
{
    qint64 col = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        const char16_t c = ref[i].toUpper().unicode();
        if (c < u'A' || c > u'Z' || i >= 3)
            return false;
        col = col * 26 + (c - u'A' + 1);
    }
    if (i == 0)
        return false;
    qint64 r = 0;
    qsizetype digits = 0;
    for (; i < ref.size(); ++i, ++digits) {
        if (ref[i] < u'0' || ref[i] > u'9' || digits >= 8)
            return false;
        r = r * 10 + (ref[i].unicode() - u'0');
    }
    if (digits == 0 || r < 1)
        return false;
    *column = col - 1;
    *row = r - 1;
    return true;
}

} // namespace

QStringList ListXlsxSheets(const QString& path, QString* error)
{
    ZipHandle zip;
    if (!OpenZip(path, &zip, error))
        return {};
    QVector<SheetEntry> sheets;
    bool date1904 = false;
    if (!ReadWorkbook(zip.get(), &sheets, &date1904, error))
        return {};
    QStringList names;
    for (const SheetEntry& s : sheets)
        names << s.name;
    if (names.isEmpty() && error)
        *error = QStringLiteral("The workbook has no worksheet.");
    return names;
}

bool ReadXlsxSheet(const QString& path, const QString& sheet, bool header, CSourceTable* table,
                   QString* error)
{
    ZipHandle zip;
    if (!OpenZip(path, &zip, error))
        return false;
    QVector<SheetEntry> sheets;
    bool date1904 = false;
    if (!ReadWorkbook(zip.get(), &sheets, &date1904, error))
        return false;
    QString part;
    for (const SheetEntry& s : sheets)
        if (part.isEmpty() && s.name.compare(sheet, Qt::CaseInsensitive) == 0)
            part = s.part;
    if (part.isEmpty())
        return Fail(error,
                    QStringLiteral("The workbook has no worksheet named %1.").arg(sheet.left(100)));
    bool ok = true;
    const QVector<QString> strings = ReadSharedStrings(zip.get(), &ok, error);
    if (!ok)
        return false;
    const QVector<bool> dateStyles = ReadDateStyles(zip.get(), error, &ok);
    if (!ok)
        return false;
    QByteArray bytes;
    if (!ReadPart(zip.get(), part, &bytes, false, error))
        return false;
    zip.reset();

    QVector<CPlacedCell> cells;
    QXmlStreamReader xml(bytes);
    qint64 rowIndex = -1, columnIndex = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            bool good = false;
            const qint64 r = Attribute(xml, u"r").toLongLong(&good);
            rowIndex = good && r >= 1 && r <= 1048576 ? r - 1 : rowIndex + 1;
            columnIndex = -1;
            continue;
        }
        if (xml.name() != u"c")
            continue;
        qint64 col = columnIndex + 1, row = std::max<qint64>(rowIndex, 0);
        const QString ref = Attribute(xml, u"r");
        // A reference that names no cell of a worksheet leaves the cell out.
        const bool placed = ref.isEmpty() || ParseCellRef(ref, &col, &row);
        if (placed)
            columnIndex = col;
        const QString type = Attribute(xml, u"t");
        const int style = Attribute(xml, u"s").toInt();
        // The cell's value: <v> for most types, <is><t> for inline texts.
        QString value;
        bool hasValue = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c")
                break;
            if (xml.isStartElement()) {
                if (xml.name() == u"v") {
                    value = xml.readElementText(QXmlStreamReader::SkipChildElements);
                    hasValue = true;
                } else if (xml.name() == u"t" && type == u"inlineStr") {
                    value += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    hasValue = true;
                }
            }
        }
        if (!placed || !hasValue || col < 0 || col >= CSourceTable::kMaxColumns || row > 1048575)
            continue;
        QVariant cell;
        if (type == u"s") {
            bool good = false;
            const qint64 i = value.trimmed().toLongLong(&good);
            if (good && i >= 0 && i < strings.size() && !strings[i].isEmpty())
                cell = strings[i];
        } else if (type == u"inlineStr" || type == u"str") {
            if (!value.isEmpty())
                cell = value;
        } else if (type == u"b") {
            cell = QVariant(value.trimmed() == u"1" ||
                            value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0);
        } else if (type == u"d") {
            const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODate);
            const QDate day = QDate::fromString(value.trimmed(), Qt::ISODate);
            if (day.isValid())
                cell = day;
            else if (when.isValid())
                cell = when;
        } else if (type == u"e") {
            // An error value (#N/A, #DIV/0!) reads as no value.
        } else {
            const QByteArray latin = value.trimmed().toLatin1();
            double d = 0;
            const auto [end, ec] =
                std::from_chars(latin.constData(), latin.constData() + latin.size(), d);
            if (ec == std::errc() && end == latin.constData() + latin.size() && std::isfinite(d)) {
                if (style >= 0 && style < dateStyles.size() && dateStyles[style])
                    cell = DateFromSerial(d, date1904);
                else if (d == std::trunc(d) && std::fabs(d) < 1e15)
                    cell = QVariant(static_cast<qint64>(d));
                else
                    cell = QVariant(d);
            } else if (!value.isEmpty()) {
                cell = value;
            }
        }
        if (cell.isNull())
            continue;
        cells.append({row, int(col), std::move(cell)});
    }
    if (XmlFailed(xml, part, error))
        return false;
    table->rows.clear();
    table->SetCells(std::move(cells));
    DropEmpty(table);
    table->textIsFinal = true;
    TakeHeaderRow(table, header);
    return true;
}
