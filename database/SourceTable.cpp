#include "SourceTable.h"

#include "ReadOnlySql.h"

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sqlite3.h>

namespace {

bool IsDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// A plain decimal integer: optional sign, digits.
bool ParseInteger(const QString& text, bool strict, qint64* value)
{
    QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 20)
        return false;
    QStringView digits(t);
    if (digits.front() == u'-' || digits.front() == u'+') {
        if (strict && digits.front() == u'+')
            return false;
        digits = digits.mid(1);
    }
    if (!IsDigits(digits))
        return false;
    if (strict && digits.size() > 1 && digits.front() == u'0')
        return false;
    const QByteArray latin = t.toLatin1();
    const char* begin = latin.constData() + (latin.startsWith('+') ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, latin.constData() + latin.size(), *value);
    return ec == std::errc() && end == latin.constData() + latin.size();
}

bool ParseReal(const QString& text, bool strict, double* value)
{
    QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 64)
        return false;
    if (strict) {
        // Digits with at most one point, an optional '-': no exponent, no
        // leading zero before another digit.
        QStringView v(t);
        if (v.front() == u'-')
            v = v.mid(1);
        const qsizetype point = v.indexOf(u'.');
        QStringView whole = point < 0 ? v : v.left(point);
        QStringView frac = point < 0 ? QStringView() : v.mid(point + 1);
        if (whole.isEmpty() || !IsDigits(whole) || (point >= 0 && !IsDigits(frac)))
            return false;
        if (whole.size() > 1 && whole.front() == u'0')
            return false;
        // More digits than a double holds exactly: a code, not a number.
        if (whole.size() + frac.size() > 15)
            return false;
    }
    const QByteArray latin = t.toLatin1();
    const char* begin = latin.constData() + (latin.startsWith('+') ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, latin.constData() + latin.size(), *value,
                                           std::chars_format::general);
    return ec == std::errc() && end == latin.constData() + latin.size() && std::isfinite(*value);
}

bool ParseBoolean(const QString& text, bool* value)
{
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"yes" || t == u"1" || t == u"-1" || t == u"t" || t == u"y") {
        *value = true;
        return true;
    }
    if (t == u"false" || t == u"no" || t == u"0" || t == u"f" || t == u"n") {
        *value = false;
        return true;
    }
    return false;
}

QDate ParseDate(const QString& t, bool strict)
{
    QDate d = QDate::fromString(t, u"yyyy-MM-dd");
    if (d.isValid() || strict)
        return d;
    for (const char16_t* f : {u"M/d/yyyy", u"d.M.yyyy", u"yyyyMMdd"}) {
        d = QDate::fromString(t, QString::fromUtf16(f));
        if (d.isValid())
            return d;
    }
    return {};
}

QTime ParseTime(const QString& t)
{
    for (const char16_t* f : {u"hh:mm:ss", u"h:mm:ss", u"hh:mm", u"h:mm"}) {
        const QTime time = QTime::fromString(t, QString::fromUtf16(f));
        if (time.isValid())
            return time;
    }
    return {};
}

// A date, a date and time or a time of day in ISO form; the kind it is.
bool ParseDateTime(const QString& text, bool strict, ColumnKind* kind, QString* iso)
{
    const QString t = text.trimmed();
    if (t.size() < 4 || t.size() > 32)
        return false;
    if (QDate d = ParseDate(t, strict); d.isValid()) {
        *kind = ColumnKind::Date;
        *iso = d.toString(u"yyyy-MM-dd");
        return true;
    }
    qsizetype gap = t.indexOf(u'T');
    if (gap < 0)
        gap = t.indexOf(u' ');
    if (gap > 0) {
        const QDate d = ParseDate(t.left(gap), strict);
        const QTime time = ParseTime(t.mid(gap + 1).trimmed());
        if (d.isValid() && time.isValid()) {
            *kind = ColumnKind::DateTime;
            *iso = d.toString(u"yyyy-MM-dd") + u' ' + time.toString(u"hh:mm:ss");
            return true;
        }
    }
    if (QTime time = ParseTime(t); time.isValid()) {
        *kind = ColumnKind::Time;
        *iso = time.toString(u"hh:mm:ss");
        return true;
    }
    return false;
}

// Dates and times as the ISO texts they are stored as; other values as
// their text.
QString IsoText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(u"yyyy-MM-dd");
    case QMetaType::QDateTime:
        return v.toDateTime().toString(u"yyyy-MM-dd hh:mm:ss");
    case QMetaType::QTime:
        return v.toTime().toString(u"hh:mm:ss");
    default:
        return v.toString();
    }
}

ColumnKind KindOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return ColumnKind::Integer;
    case QMetaType::Double:
        return ColumnKind::Real;
    case QMetaType::Bool:
        return ColumnKind::Boolean;
    case QMetaType::QDate:
        return ColumnKind::Date;
    case QMetaType::QDateTime:
        return ColumnKind::DateTime;
    case QMetaType::QTime:
        return ColumnKind::Time;
    default:
        return ColumnKind::Text;
    }
}

// The text of a typed value, for a column that ends up as text.
QString TextOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
        return NumberText(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return IsoText(v);
    }
}

// One INSERT statement run once per record. Values are stored as the Qt
// driver stores them: null texts as NULL, booleans as 1 or 0, integers and
// doubles as themselves, dates and times as their ISO text, other values as
// their text.
class CInsertStatement
{
public:
    CInsertStatement(sqlite3* handle, const QString& sql) : m_handle(handle)
    {
        if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(QChar)),
                                 &m_statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
        }
    }
    ~CInsertStatement() { Finalize(); }
    CInsertStatement(const CInsertStatement&) = delete;
    CInsertStatement& operator=(const CInsertStatement&) = delete;

    bool Prepared() const { return m_statement != nullptr; }

    // Binds the value of column c (0-based). A text is bound where it lies:
    // the value must outlive the next Step.
    void Bind(int c, const QVariant& v)
    {
        const int at = c + 1;
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            sqlite3_bind_null(m_statement, at);
            return;
        case QMetaType::QString: {
            const QString* text = static_cast<const QString*>(v.constData());
            if (text->isNull())
                sqlite3_bind_null(m_statement, at);
            else
                sqlite3_bind_text16(m_statement, at, text->utf16(),
                                    int(text->size() * sizeof(QChar)), SQLITE_STATIC);
            return;
        }
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
            sqlite3_bind_int64(m_statement, at, v.toLongLong());
            return;
        case QMetaType::Bool:
            sqlite3_bind_int(m_statement, at, v.toBool() ? 1 : 0);
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(m_statement, at, v.toDouble());
            return;
        case QMetaType::QByteArray: {
            const QByteArray* bytes = static_cast<const QByteArray*>(v.constData());
            if (bytes->isNull())
                sqlite3_bind_null(m_statement, at);
            else
                sqlite3_bind_blob(m_statement, at, bytes->constData(), int(bytes->size()),
                                  SQLITE_STATIC);
            return;
        }
        default:
            break;
        }
        if (v.isNull()) {
            sqlite3_bind_null(m_statement, at);
            return;
        }
        const QString text = IsoText(v);
        sqlite3_bind_text16(m_statement, at, text.utf16(), int(text.size() * sizeof(QChar)),
                            SQLITE_TRANSIENT);
    }

    // Inserts the bound record; false with Error() when SQLite refuses.
    bool Step()
    {
        const int result = sqlite3_step(m_statement);
        if (result != SQLITE_DONE) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_handle));
            sqlite3_reset(m_statement);
            return false;
        }
        sqlite3_reset(m_statement);
        return true;
    }
    QString Error() const { return m_error; }

    void Finalize()
    {
        if (m_statement)
            sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }

private:
    sqlite3* m_handle;
    sqlite3_stmt* m_statement = nullptr;
    QString m_error;
};

} // namespace

QString DeclaredType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Real:
        return QStringLiteral("REAL");
    case ColumnKind::Boolean:
        return QStringLiteral("BOOLEAN");
    case ColumnKind::Date:
        return QStringLiteral("DATE");
    case ColumnKind::DateTime:
        return QStringLiteral("DATETIME");
    case ColumnKind::Time:
        return QStringLiteral("TIME");
    case ColumnKind::Text:
    case ColumnKind::Guess:
        break;
    }
    return QStringLiteral("TEXT");
}

QVariant ConvertText(const QString& text, ColumnKind kind, bool strictNumbers)
{
    if (text.isEmpty())
        return QVariant();
    switch (kind) {
    case ColumnKind::Integer: {
        qint64 v = 0;
        if (ParseInteger(text, strictNumbers, &v))
            return QVariant(v);
        double d = 0;
        // A whole number written with a point ("12.0") is still an integer.
        if (!strictNumbers && ParseReal(text, false, &d) && d == std::trunc(d) &&
            std::fabs(d) < 9.0e18)
            return QVariant(static_cast<qint64>(d));
        break;
    }
    case ColumnKind::Real: {
        double d = 0;
        if (ParseReal(text, strictNumbers, &d))
            return QVariant(d);
        break;
    }
    case ColumnKind::Boolean: {
        bool b = false;
        if (ParseBoolean(text, &b))
            return QVariant(b);
        break;
    }
    case ColumnKind::Date:
    case ColumnKind::DateTime:
    case ColumnKind::Time: {
        ColumnKind found = ColumnKind::Text;
        QString iso;
        if (ParseDateTime(text, strictNumbers, &found, &iso)) {
            if (kind == ColumnKind::DateTime && found == ColumnKind::Date)
                iso += QStringLiteral(" 00:00:00");
            return QVariant(iso);
        }
        break;
    }
    case ColumnKind::Text:
    case ColumnKind::Guess:
        break;
    }
    return QVariant(text);
}

namespace {

// The narrowest kind a text read from a text file has.
ColumnKind GuessedKind(const QString& s)
{
    qint64 i = 0;
    double d = 0;
    if (ParseInteger(s, true, &i))
        return ColumnKind::Integer;
    if (ParseReal(s, true, &d))
        return ColumnKind::Real;
    ColumnKind k = ColumnKind::Text;
    QString iso;
    if (ParseDateTime(s, true, &k, &iso))
        return k;
    return ColumnKind::Text;
}

// The kind of a column that holds values of both kinds.
ColumnKind Combined(ColumnKind a, ColumnKind b)
{
    if (a == ColumnKind::Guess || a == b)
        return b;
    auto either = [&](ColumnKind x, ColumnKind y) {
        return (a == x && b == y) || (a == y && b == x);
    };
    if (either(ColumnKind::Integer, ColumnKind::Real))
        return ColumnKind::Real;
    if (either(ColumnKind::Date, ColumnKind::DateTime))
        return ColumnKind::DateTime;
    return ColumnKind::Text;
}

// A value brought to the kind its column was given.
void SettleValue(QVariant& v, ColumnKind kind)
{
    if (v.isNull())
        return;
    if (v.typeId() == QMetaType::QString) {
        if (kind != ColumnKind::Text)
            v = ConvertText(v.toString(), kind);
    } else if (kind == ColumnKind::Text) {
        v = TextOf(v);
    } else if (kind == ColumnKind::Real && v.typeId() != QMetaType::Double) {
        v = QVariant(v.toDouble());
    } else if (kind == ColumnKind::DateTime && v.typeId() == QMetaType::QDate) {
        v = QVariant(QDateTime(v.toDate(), QTime(0, 0)));
    }
}

} // namespace

void CSourceTable::SetCells(QVector<CPlacedCell> cells)
{
    std::stable_sort(cells.begin(), cells.end(), [](const CPlacedCell& a, const CPlacedCell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    sparseRows.clear();
    QVector<CSourceCell> record;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        CPlacedCell& cell = cells[i];
        const bool lastOfPlace = i + 1 == cells.size() || cells[i + 1].row != cell.row ||
                                 cells[i + 1].column != cell.column;
        if (lastOfPlace && !cell.value.isNull() && cell.column >= 0 && cell.column < kMaxColumns)
            record.append({cell.column, std::move(cell.value)});
        if (i + 1 == cells.size() || cells[i + 1].row != cell.row) {
            if (!record.isEmpty())
                sparseRows.append(std::move(record));
            record = {};
        }
    }
}

qsizetype CSourceTable::UsedColumnCount() const
{
    qsizetype count = 0;
    for (const QVector<QVariant>& row : rows) {
        qsizetype last = row.size();
        while (last > count && row[last - 1].isNull())
            --last;
        count = std::max(count, last);
    }
    for (const QVector<CSourceCell>& record : sparseRows)
        if (!record.isEmpty())
            count = std::max<qsizetype>(count, record.last().column + 1);
    return std::min<qsizetype>(count, kMaxColumns);
}

void CSourceTable::Settle()
{
    const int columnCount = static_cast<int>(columns.size());
    if (!sparseRows.isEmpty()) {
        // Cell by cell: first the kind of every column from its values, in
        // record order, then each value brought to its column's kind.
        QVector<ColumnKind> kinds(columnCount);
        for (int c = 0; c < columnCount; ++c)
            kinds[c] = columns[c].kind;
        const QVector<bool> guessed = [&] {
            QVector<bool> g(columnCount);
            for (int c = 0; c < columnCount; ++c)
                g[c] = kinds[c] == ColumnKind::Guess;
            return g;
        }();
        for (const QVector<CSourceCell>& record : sparseRows) {
            for (const CSourceCell& cell : record) {
                const int c = cell.column;
                if (c >= columnCount || !guessed[c] || kinds[c] == ColumnKind::Text)
                    continue;
                const QVariant& v = cell.value;
                const ColumnKind k = v.typeId() == QMetaType::QString && !textIsFinal
                                         ? GuessedKind(v.toString())
                                         : KindOf(v);
                kinds[c] = Combined(kinds[c], k);
            }
        }
        for (int c = 0; c < columnCount; ++c) {
            if (kinds[c] == ColumnKind::Guess)
                kinds[c] = ColumnKind::Text;
            columns[c].kind = kinds[c];
        }
        for (QVector<CSourceCell>& record : sparseRows) {
            for (CSourceCell& cell : record) {
                if (cell.column < columnCount)
                    SettleValue(cell.value, kinds[cell.column]);
            }
        }
    }
    for (int c = 0; c < columnCount; ++c) {
        ColumnKind kind = columns[c].kind;
        if (kind == ColumnKind::Guess) {
            for (const QVector<QVariant>& row : rows) {
                if (c >= row.size() || row[c].isNull())
                    continue;
                const QVariant& v = row[c];
                const ColumnKind k = v.typeId() == QMetaType::QString && !textIsFinal
                                         ? GuessedKind(v.toString())
                                         : KindOf(v);
                kind = Combined(kind, k);
                if (kind == ColumnKind::Text)
                    break;
            }
            if (kind == ColumnKind::Guess)
                kind = ColumnKind::Text;
            columns[c].kind = kind;
        }
        for (QVector<QVariant>& row : rows) {
            if (c >= row.size() || row[c].isNull())
                continue;
            SettleValue(row[c], kind);
        }
    }
}

void CSourceTable::SettleNames()
{
    if (columns.size() > kMaxColumns)
        columns.resize(kMaxColumns);
    QSet<QString> used;
    for (int c = 0; c < columns.size(); ++c) {
        QString name;
        for (QChar ch : columns[c].name)
            if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F)
                name += ch;
        name = name.trimmed().left(64);
        if (name.isEmpty())
            name = QStringLiteral("F%1").arg(c + 1);
        QString unique = name;
        for (int n = 2; used.contains(unique.toCaseFolded()); ++n)
            unique = name + QStringLiteral("_%1").arg(n);
        used.insert(unique.toCaseFolded());
        columns[c].name = unique;
    }
}

bool CSourceTable::WriteTo(QSqlDatabase db, const QString& table, QString* error)
{
    // An empty source is still a table: one column and no record.
    if (columns.isEmpty())
        columns.append({QString(), ColumnKind::Text});
    SettleNames();
    auto fail = [&](const QSqlQuery& q, bool takeError = true) {
        if (error && takeError)
            *error = q.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK TO tabrel_load"));
        QSqlQuery(db).exec(QStringLiteral("RELEASE tabrel_load"));
        return false;
    };
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SAVEPOINT tabrel_load"))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    const QString quoted = QuoteSqlName(table);
    if (!q.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted)))
        return fail(q);
    QStringList defs, marks;
    for (const CSourceColumn& col : columns) {
        defs << QuoteSqlName(col.name) + u' ' + DeclaredType(col.kind);
        marks << QStringLiteral("?");
    }
    if (!q.exec(
            QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted, defs.join(QStringLiteral(", ")))))
        return fail(q);
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted, marks.join(u','));
    const int columnCount = static_cast<int>(columns.size());
    if (sqlite3* handle = ReadOnlySql::SqliteHandle(db)) {
        // SQLite itself: one statement bound and stepped per record, texts
        // bound where they lie.
        CInsertStatement insertRow(handle, insert);
        if (!insertRow.Prepared()) {
            if (error)
                *error = QString::fromUtf8(sqlite3_errmsg(handle));
            return fail(q, false);
        }
        for (const QVector<QVariant>& row : rows) {
            for (int c = 0; c < columnCount; ++c)
                insertRow.Bind(c, c < row.size() ? row[c] : QVariant());
            if (!insertRow.Step()) {
                if (error)
                    *error = insertRow.Error();
                insertRow.Finalize();
                return fail(q, false);
            }
        }
        // A sparse record is made whole one record at a time.
        for (const QVector<CSourceCell>& record : sparseRows) {
            qsizetype next = 0;
            for (int c = 0; c < columnCount; ++c) {
                while (next < record.size() && record[next].column < c)
                    ++next;
                insertRow.Bind(c, next < record.size() && record[next].column == c
                                      ? record[next].value
                                      : QVariant());
            }
            if (!insertRow.Step()) {
                if (error)
                    *error = insertRow.Error();
                insertRow.Finalize();
                return fail(q, false);
            }
        }
        insertRow.Finalize();
        if (!q.exec(QStringLiteral("RELEASE tabrel_load")))
            return fail(q);
        return true;
    }
    if (!q.prepare(insert))
        return fail(q);
    const auto bind = [&q](int c, QVariant v) {
        if (v.typeId() == QMetaType::Bool)
            v = QVariant(v.toBool() ? 1 : 0);
        else if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime ||
                 v.typeId() == QMetaType::QTime)
            v = QVariant(IsoText(v));
        q.bindValue(c, v);
    };
    for (const QVector<QVariant>& row : rows) {
        for (int c = 0; c < columnCount; ++c)
            bind(c, c < row.size() ? row[c] : QVariant());
        if (!q.exec())
            return fail(q);
    }
    // A sparse record is made whole one record at a time.
    for (const QVector<CSourceCell>& record : sparseRows) {
        qsizetype next = 0;
        for (int c = 0; c < columnCount; ++c) {
            while (next < record.size() && record[next].column < c)
                ++next;
            bind(c, next < record.size() && record[next].column == c ? record[next].value
                                                                     : QVariant());
        }
        if (!q.exec())
            return fail(q);
    }
    if (!q.exec(QStringLiteral("RELEASE tabrel_load")))
        return fail(q);
    return true;
}

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString text = QString::number(value, 'g', 15);
    return text;
}

QString QuoteSqlName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString FromCodePage437(const QByteArray& bytes)
{
    static const QString upper =
        QString::fromUtf8("ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
                          "└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0");
    QString text;
    text.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        text += b < 0x80 ? QChar(b) : upper.at(b - 0x80);
    }
    return text;
}
