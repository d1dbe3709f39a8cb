// Delimited and fixed-width text files, described by their section of the
// schema file "SCHEMA.INI" in the same folder.

#include "FileSources.h"
#include "SourceReaders.h"

#include "Codec1252.h"

#include <algorithm>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QByteArrayView>

namespace {

const QString kSchemaFileName = QStringLiteral("SCHEMA.INI");

// The schema file of a data file's folder: "SCHEMA.INI", or a file of that
// name in other letter case.
QString SchemaPath(const QString& dataFile)
{
    const QDir folder = QFileInfo(dataFile).absoluteDir();
    const QString exact = folder.filePath(kSchemaFileName);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (name.compare(kSchemaFileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    return exact;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

// The section's name when the line opens one, else a null text.
QString SectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(u'[') && t.endsWith(u']'))
        return t.mid(1, t.size() - 2).trimmed();
    return QString();
}

struct SchemaKeys
{
    QString path;
    bool sectionFound = false;
    // Keys in lower case; the first of a repeated key counts.
    QHash<QString, QString> values;
};

bool ReadSchemaKeys(const QString& dataFile, SchemaKeys* keys, QString* error)
{
    const QString path = SchemaPath(dataFile);
    keys->path = path;
    if (!QFileInfo::exists(path))
        return true;
    QByteArray bytes;
    if (!ReadWholeFile(path, &bytes, error))
        return false;
    const QString section = QFileInfo(dataFile).fileName();
    bool inSection = false;
    for (const QString& line : SplitLines(FromWindows1252(bytes))) {
        const QString name = SectionName(line);
        if (!name.isNull()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            keys->sectionFound = keys->sectionFound || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u';'))
            continue;
        const qsizetype eq = t.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = t.left(eq).trimmed().toLower();
        if (!keys->values.contains(key))
            keys->values.insert(key, t.mid(eq + 1).trimmed());
    }
    return true;
}

bool ParseFormat(const QString& value, CTextSchema* schema)
{
    if (value.compare(u"TabDelimited", Qt::CaseInsensitive) == 0) {
        schema->delimiter = '\t';
        schema->fixedWidth = false;
        return true;
    }
    if (value.compare(u"CSVDelimited", Qt::CaseInsensitive) == 0) {
        schema->delimiter = ',';
        schema->fixedWidth = false;
        return true;
    }
    if (value.compare(u"FixedLength", Qt::CaseInsensitive) == 0) {
        schema->fixedWidth = true;
        return true;
    }
    // Delimited(c): one character of the Windows-1252 set other than a quote
    // or a line break.
    if (value.size() == 12 && value.startsWith(u"Delimited(", Qt::CaseInsensitive) &&
        value.endsWith(u')')) {
        const QChar c = value.at(10);
        const char byte = ToWindows1252Char(c);
        if (c == u'"' || c == u'\r' || c == u'\n' || (byte == '?' && c != u'?'))
            return false;
        schema->delimiter = byte;
        schema->fixedWidth = false;
        return true;
    }
    return false;
}

bool ParseCharacterSet(const QString& value, int* fileType)
{
    if (value.compare(u"ANSI", Qt::CaseInsensitive) == 0 || value == u"1252")
        *fileType = 0;
    else if (value.compare(u"OEM", Qt::CaseInsensitive) == 0 ||
             value.compare(u"ASCII", Qt::CaseInsensitive) == 0 || value == u"437")
        *fileType = 1;
    else if (value == u"65001" || value.compare(u"UTF-8", Qt::CaseInsensitive) == 0 ||
             value.compare(u"UTF8", Qt::CaseInsensitive) == 0)
        *fileType = 2;
    else
        return false;
    return true;
}

// The column type names and the older names that mean the same.
QString ColumnTypeName(const QString& word)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("bit"), QStringLiteral("Bit")},
        {QStringLiteral("byte"), QStringLiteral("Byte")},
        {QStringLiteral("short"), QStringLiteral("Short")},
        {QStringLiteral("integer"), QStringLiteral("Short")},
        {QStringLiteral("long"), QStringLiteral("Long")},
        {QStringLiteral("currency"), QStringLiteral("Currency")},
        {QStringLiteral("single"), QStringLiteral("Single")},
        {QStringLiteral("double"), QStringLiteral("Double")},
        {QStringLiteral("float"), QStringLiteral("Double")},
        {QStringLiteral("datetime"), QStringLiteral("DateTime")},
        {QStringLiteral("date"), QStringLiteral("DateTime")},
        {QStringLiteral("text"), QStringLiteral("Text")},
        {QStringLiteral("char"), QStringLiteral("Text")},
        {QStringLiteral("memo"), QStringLiteral("Memo")},
        {QStringLiteral("longchar"), QStringLiteral("Memo")},
    };
    return names.value(word.toLower());
}

// "Name" Type [Width n], or Name Type [Width n].
bool ParseColumn(const QString& value, CTextColumn* column)
{
    QString rest;
    if (value.startsWith(u'"')) {
        const qsizetype close = value.indexOf(u'"', 1);
        if (close < 0)
            return false;
        column->name = value.mid(1, close - 1);
        rest = value.mid(close + 1);
    } else {
        const qsizetype gap = value.indexOf(u' ');
        column->name = gap < 0 ? value : value.left(gap);
        rest = gap < 0 ? QString() : value.mid(gap + 1);
    }
    const QStringList words = rest.simplified().split(u' ', Qt::SkipEmptyParts);
    if (column->name.isEmpty() || words.isEmpty())
        return false;
    column->type = ColumnTypeName(words[0]);
    if (column->type.isEmpty())
        return false;
    column->width = 0;
    for (int i = 1; i < words.size(); ++i) {
        if (words[i].compare(u"Width", Qt::CaseInsensitive) == 0 && i + 1 < words.size()) {
            bool ok = false;
            const int width = words[i + 1].toInt(&ok);
            if (!ok || width < 1 || width > 32767)
                return false;
            column->width = width;
            ++i;
        }
    }
    return true;
}

// The schema of a data file as the reader uses it; charsetGiven tells
// whether the section names the character set.
bool SchemaFromKeys(const SchemaKeys& keys, CTextSchema* schema, bool* charsetGiven, QString* error)
{
    auto bad = [&](const QString& key, const QString& value) {
        if (error)
            *error = QStringLiteral("The schema file %1 has a value it does not understand: "
                                    "%2=%3")
                         .arg(QDir::toNativeSeparators(keys.path), key, value.left(100));
        return false;
    };
    CTextSchema result;
    if (auto it = keys.values.find(QStringLiteral("colnameheader")); it != keys.values.end()) {
        if (it->compare(u"True", Qt::CaseInsensitive) == 0)
            result.header = true;
        else if (it->compare(u"False", Qt::CaseInsensitive) == 0)
            result.header = false;
        else
            return bad(QStringLiteral("ColNameHeader"), *it);
    }
    if (auto it = keys.values.find(QStringLiteral("format")); it != keys.values.end())
        if (!ParseFormat(*it, &result))
            return bad(QStringLiteral("Format"), *it);
    *charsetGiven = false;
    if (auto it = keys.values.find(QStringLiteral("characterset")); it != keys.values.end()) {
        if (!ParseCharacterSet(*it, &result.fileType))
            return bad(QStringLiteral("CharacterSet"), *it);
        *charsetGiven = true;
        result.characterSetNamed = true;
    }
    for (int n = 1; n <= CSourceTable::kMaxColumns; ++n) {
        const auto it = keys.values.find(QStringLiteral("col%1").arg(n));
        if (it == keys.values.end())
            break;
        CTextColumn column;
        if (!ParseColumn(*it, &column))
            return bad(QStringLiteral("Col%1").arg(n), *it);
        if (result.fixedWidth && column.width == 0)
            return bad(QStringLiteral("Col%1").arg(n), *it);
        result.columns.append(column);
    }
    if (result.fixedWidth && result.columns.isEmpty()) {
        if (error)
            *error = QStringLiteral("The schema file gives a fixed-length file no columns.");
        return false;
    }
    *schema = result;
    return true;
}

ColumnKind KindForTypeName(const QString& type)
{
    if (type == u"Bit")
        return ColumnKind::Boolean;
    if (type == u"Byte" || type == u"Short" || type == u"Long")
        return ColumnKind::Integer;
    if (type == u"Currency" || type == u"Single" || type == u"Double")
        return ColumnKind::Real;
    if (type == u"DateTime")
        return ColumnKind::DateTime;
    return ColumnKind::Text;
}

QString DecodeText(const QByteArray& bytes, int fileType, bool charsetGiven)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (fileType == 2)
        return QString::fromUtf8(bytes);
    if (fileType == 1)
        return FromCodePage437(bytes);
    if (!charsetGiven) {
        // No character set named: a file that is valid UTF-8 with characters
        // beyond ASCII was written as UTF-8 (as today's tools do).
        // Checked where the bytes lie before any text is made of them.
        if (QByteArrayView(bytes).isValidUtf8())
            return QString::fromUtf8(bytes);
    }
    return FromWindows1252(bytes);
}

// A decoded text read span by span.
class CTextSpans
{
public:
    explicit CTextSpans(const QString& text) : m_text(text) {}
    qsizetype Size() const { return m_text.size(); }
    char16_t At(qsizetype i) const { return m_text.constData()[i].unicode(); }
    qsizetype IndexOfQuote(qsizetype from) const { return QStringView(m_text).indexOf(u'"', from); }
    QString Text(qsizetype start, qsizetype count) const
    {
        return QString(m_text.constData() + start, count);
    }

private:
    const QString& m_text;
};

// The file's bytes read span by span, each span decoded as it is taken.
// Only for files whose delimiter is ASCII: then a delimiter, a quote or a
// line break is the same byte in every character set read, and never part
// of a longer UTF-8 sequence, so decoding span by span gives the text that
// decoding the whole file would.
class CByteSpans
{
public:
    enum class Set
    {
        Utf8,
        Windows1252,
        CodePage437,
    };
    CByteSpans(const char* data, qsizetype size, Set set) : m_data(data), m_size(size), m_set(set)
    {
    }
    qsizetype Size() const { return m_size; }
    char16_t At(qsizetype i) const { return static_cast<unsigned char>(m_data[i]); }
    qsizetype IndexOfQuote(qsizetype from) const
    {
        const void* at = std::memchr(m_data + from, '"', size_t(m_size - from));
        return at ? static_cast<const char*>(at) - m_data : -1;
    }
    QString Text(qsizetype start, qsizetype count) const
    {
        switch (m_set) {
        case Set::Utf8:
            // A byte-order mark inside the file is a character of its field
            // (fromUtf8 would drop it at the start of a span).
            if (count >= 3 && std::memcmp(m_data + start, "\xEF\xBB\xBF", 3) == 0)
                return QChar(0xFEFF) + QString::fromUtf8(m_data + start + 3, count - 3);
            return QString::fromUtf8(m_data + start, count);
        case Set::Windows1252:
            return FromWindows1252(m_data + start, count);
        case Set::CodePage437:
            return FromCodePage437(QByteArray::fromRawData(m_data + start, count));
        }
        return QString();
    }

private:
    const char* m_data;
    qsizetype m_size;
    Set m_set;
};

// The text of a field as it is read: spans of the file, joined only when a
// field is made of more than one (a doubled quote, text after a closing
// quote), so that a plain field costs one copy of its characters.
template <typename Spans>
class CFieldText
{
public:
    explicit CFieldText(const Spans& spans) : m_spans(spans) {}

    void Add(qsizetype pos, qsizetype count)
    {
        if (count <= 0)
            return;
        if (!m_joined && m_length == 0) {
            m_start = pos;
            m_length = count;
        } else if (!m_joined && m_start + m_length == pos) {
            m_length += count;
        } else {
            if (!m_joined) {
                m_text = m_spans.Text(m_start, m_length);
                m_joined = true;
            }
            m_text.append(m_spans.Text(pos, count));
        }
    }
    bool IsEmpty() const { return m_joined ? m_text.isEmpty() : m_length == 0; }
    // The field's text (a null text when nothing was added); the builder is
    // empty afterwards.
    QString Take()
    {
        QString out = m_joined         ? std::move(m_text)
                      : m_length > 0 ? m_spans.Text(m_start, m_length)
                                     : QString();
        Clear();
        return out;
    }
    void Clear()
    {
        m_text = QString();
        m_joined = false;
        m_start = 0;
        m_length = 0;
    }

private:
    const Spans& m_spans;
    QString m_text;
    bool m_joined = false;
    qsizetype m_start = 0;
    qsizetype m_length = 0;
};

// Splits delimited text into records: fields may be quoted with '"' (a
// doubled quote inside stands for one) and then hold delimiters and line
// breaks; a quote met inside a field that did not open with one is part of
// it. Empty lines are skipped. An empty field is null. One pass over the
// text, copying each field's characters once.
template <typename Spans>
QVector<QVector<QVariant>> ParseDelimited(const Spans& text, char16_t delimiter)
{
    QVector<QVector<QVariant>> records;
    QVector<QVariant> record;
    CFieldText<Spans> field(text);
    bool fieldQuoted = false, inQuotes = false, fieldStarted = false;
    const bool quotes = delimiter != u'"';
    qsizetype widest = 0;
    auto endField = [&]() {
        // Fields past the last column read are dropped as they end.
        if (record.size() < CSourceTable::kMaxColumns) {
            const bool null = field.IsEmpty() && !fieldQuoted;
            QString value = field.Take();
            record.append(null ? QVariant() : QVariant(std::move(value)));
        }
        field.Clear();
        fieldQuoted = false;
        fieldStarted = false;
    };
    auto endRecord = [&]() {
        const bool blank = record.isEmpty() && field.IsEmpty() && !fieldQuoted;
        if (!blank) {
            endField();
            widest = std::max(widest, record.size());
            records.append(std::move(record));
            // The next record is made as wide as the widest so far.
            record = QVector<QVariant>();
            record.reserve(widest);
        }
        field.Clear();
        fieldQuoted = false;
        fieldStarted = false;
    };
    const qsizetype n = text.Size();
    qsizetype i = 0;
    while (i < n) {
        if (inQuotes) {
            // Up to the next quote: a doubled one stands for itself, a
            // single one closes the quotes.
            qsizetype q = text.IndexOfQuote(i);
            if (q < 0)
                q = n;
            field.Add(i, q - i);
            if (q >= n) {
                i = n;
                break;
            }
            if (q + 1 < n && text.At(q + 1) == u'"') {
                field.Add(q, 1);
                i = q + 2;
            } else {
                inQuotes = false;
                i = q + 1;
            }
            continue;
        }
        qsizetype j = i;
        while (j < n) {
            const char16_t c = text.At(j);
            if (c == delimiter || c == u'\n' || c == u'\r' || c == u'"')
                break;
            ++j;
        }
        if (j > i) {
            field.Add(i, j - i);
            fieldStarted = true;
        }
        if (j >= n) {
            i = n;
            break;
        }
        const char16_t c = text.At(j);
        i = j + 1;
        if (c == delimiter) {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i < n && text.At(i) == u'\n')
                ++i;
            endRecord();
        } else if (quotes && !fieldStarted) {
            inQuotes = true;
            fieldQuoted = true;
            fieldStarted = true;
        } else {
            field.Add(j, 1);
            fieldStarted = true;
        }
    }
    endRecord();
    return records;
}

// The records of a delimited file. A file with an ASCII delimiter is split
// where its bytes lie, and only its fields are decoded.
QVector<QVector<QVariant>> ReadDelimited(const QByteArray& bytes, const CTextSchema& schema,
                                         bool charsetGiven)
{
    const auto delimiter = static_cast<unsigned char>(schema.delimiter);
    if (delimiter >= 0x80) {
        const QString text = DecodeText(bytes, schema.fileType, charsetGiven);
        return ParseDelimited(CTextSpans(text), char16_t(delimiter));
    }
    const char* data = bytes.constData();
    qsizetype size = bytes.size();
    CByteSpans::Set set = CByteSpans::Set::Windows1252;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        data += 3;
        size -= 3;
        set = CByteSpans::Set::Utf8;
    } else if (schema.fileType == 2) {
        set = CByteSpans::Set::Utf8;
    } else if (schema.fileType == 1) {
        set = CByteSpans::Set::CodePage437;
    } else if (!charsetGiven && QByteArrayView(bytes).isValidUtf8()) {
        set = CByteSpans::Set::Utf8;
    }
    return ParseDelimited(CByteSpans(data, size, set), char16_t(delimiter));
}

QVector<QVector<QVariant>> ParseFixed(const QString& text, const QVector<CTextColumn>& columns)
{
    QVector<QVector<QVariant>> records;
    for (const QString& line : SplitLines(text)) {
        if (line.trimmed().isEmpty())
            continue;
        QVector<QVariant> record;
        qsizetype pos = 0;
        for (const CTextColumn& col : columns) {
            const QString value =
                pos < line.size() ? line.mid(pos, col.width).trimmed() : QString();
            record.append(value.isEmpty() ? QVariant() : QVariant(value));
            pos += col.width;
        }
        records.append(record);
    }
    return records;
}

QString SchemaFormatValue(const CTextSchema& schema)
{
    if (schema.fixedWidth)
        return QStringLiteral("FixedLength");
    if (schema.delimiter == '\t')
        return QStringLiteral("TabDelimited");
    if (schema.delimiter == ',')
        return QStringLiteral("CSVDelimited");
    return QStringLiteral("Delimited(%1)").arg(FromWindows1252(&schema.delimiter, 1));
}

} // namespace

bool ReadTextSchema(const QString& dataFile, CTextSchema* schema, QString* error,
                    bool* sectionFound)
{
    SchemaKeys keys;
    const bool read = ReadSchemaKeys(dataFile, &keys, error);
    if (sectionFound)
        *sectionFound = keys.sectionFound;
    if (!read)
        return false;
    if (!keys.sectionFound) {
        if (error)
            *error = QStringLiteral("The schema file has no section for %1.")
                         .arg(QFileInfo(dataFile).fileName());
        return false;
    }
    bool charsetGiven = false;
    return SchemaFromKeys(keys, schema, &charsetGiven, error);
}

QString TextColumnDeclaredType(const QString& typeName)
{
    return DeclaredType(KindForTypeName(typeName));
}

bool TextFileIsUtf8(const QString& dataFile)
{
    QByteArray bytes;
    QString error;
    if (!ReadWholeFile(dataFile, &bytes, &error))
        return false;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    const bool beyondAscii =
        std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return (c & 0x80) != 0; });
    // Checked where the bytes lie: no text is made of a large file here.
    return beyondAscii && QByteArrayView(bytes).isValidUtf8();
}

bool WriteTextSchema(const QString& dataFile, const CTextSchema& schema, QString* error)
{
    const QString path = SchemaPath(dataFile);
    const QString section = QFileInfo(dataFile).fileName();
    const char d = schema.delimiter;
    if (!schema.fixedWidth && (d == '"' || d == '\r' || d == '\n' || d == '\0')) {
        if (error)
            *error = QStringLiteral(
                "A quote or a line break cannot separate the fields of a text file.");
        return false;
    }
    QStringList kept;
    if (QFileInfo::exists(path)) {
        QByteArray bytes;
        if (!ReadWholeFile(path, &bytes, error))
            return false;
        QStringList lines = SplitLines(FromWindows1252(bytes));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        bool skipping = false;
        for (const QString& line : lines) {
            const QString name = SectionName(line);
            if (!name.isNull())
                skipping = name.compare(section, Qt::CaseInsensitive) == 0;
            if (!skipping)
                kept << line;
        }
    }
    QStringList ours;
    ours << u'[' + section + u']';
    ours << QStringLiteral("ColNameHeader=") +
                (schema.header ? QStringLiteral("True") : QStringLiteral("False"));
    ours << QStringLiteral("Format=") + SchemaFormatValue(schema);
    ours << QStringLiteral("MaxScanRows=25");
    ours << QStringLiteral("CharacterSet=") + (schema.fileType == 0   ? QStringLiteral("ANSI")
                                               : schema.fileType == 2 ? QStringLiteral("65001")
                                                                      : QStringLiteral("OEM"));
    int n = 0;
    for (const CTextColumn& col : schema.columns) {
        QString name = col.name;
        name.replace(u'"', u'\'');
        name.remove(u'\r');
        name.remove(u'\n');
        const QString type =
            ColumnTypeName(col.type).isEmpty() ? QStringLiteral("Text") : ColumnTypeName(col.type);
        QString line = QStringLiteral("Col%1=\"%2\" %3").arg(++n).arg(name, type);
        if (schema.fixedWidth || col.width > 0)
            line += QStringLiteral(" Width %1").arg(qBound(1, col.width, 32767));
        ours << line;
    }
    QStringList all = kept;
    all << ours;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("The schema file %1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    QByteArray out;
    for (const QString& line : all)
        out += ToWindows1252(line) + "\r\n";
    if (file.write(out) != out.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("The schema file %1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

bool ReadTextSource(const QString& path, CSourceTable* table, QString* error)
{
    SchemaKeys keys;
    if (!ReadSchemaKeys(path, &keys, error))
        return false;
    CTextSchema schema;
    bool charsetGiven = false;
    if (keys.sectionFound && !SchemaFromKeys(keys, &schema, &charsetGiven, error))
        return false;
    QByteArray bytes;
    if (!ReadWholeFile(path, &bytes, error))
        return false;
    QVector<QVector<QVariant>> records =
        schema.fixedWidth
            ? ParseFixed(DecodeText(bytes, schema.fileType, charsetGiven), schema.columns)
            : ReadDelimited(bytes, schema, charsetGiven);
    bytes = QByteArray();
    QStringList headerNames;
    if (schema.header && !records.isEmpty()) {
        for (const QVariant& v : records.first())
            headerNames << v.toString().trimmed();
        records.removeFirst();
    }
    table->columns.clear();
    if (!schema.columns.isEmpty()) {
        for (const CTextColumn& col : schema.columns)
            table->columns.append({col.name, KindForTypeName(col.type)});
    } else {
        qsizetype count = headerNames.size();
        for (const QVector<QVariant>& r : records)
            count = std::max(count, r.size());
        count = std::min<qsizetype>(count, CSourceTable::kMaxColumns);
        for (qsizetype c = 0; c < count; ++c)
            table->columns.append(
                {c < headerNames.size() ? headerNames[c] : QString(), ColumnKind::Guess});
    }
    table->rows = std::move(records);
    table->Settle();
    return true;
}
