#include "RecordFilter.h"

#include "DatabaseLink.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

namespace {

constexpr int kTypeBoolean = 11;

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool IsPlainNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

// The text inside quotes the user typed around a value: 'x', "x" or, with
// a date, the link's date delimiters; an opening quote alone is dropped.
// Quotes doubled inside stand for one.
QString Unquoted(const QString& typed, QChar dateOpen = QChar(), QChar dateClose = QChar())
{
    if (typed.isEmpty())
        return typed;
    const QChar first = typed.front();
    QChar close;
    if (first == u'\'' || first == u'"')
        close = first;
    else if (!dateOpen.isNull() && first == dateOpen)
        close = dateClose;
    if (close.isNull())
        return typed;
    QString inner =
        typed.size() >= 2 && typed.back() == close ? typed.mid(1, typed.size() - 2) : typed.mid(1);
    inner.replace(QString(2, close), QString(close));
    return inner;
}

bool IsCompound(const QString& condition)
{
    return CRecordFilter::FindTopLevelKeyword(condition, QStringLiteral("OR")) >= 0;
}

QString Grouped(const QString& condition)
{
    return IsCompound(condition) ? u'(' + condition + u')' : condition;
}

} // namespace

CRecordFilter::CRecordFilter(const QString& current) : m_base(current.trimmed()) {}

void CRecordFilter::SelectRecords(const QStringList& equalConditions)
{
    m_base.clear();
    m_excluded.clear();
    m_selected.clear();
    m_none = false;
    for (const QString& condition : equalConditions) {
        if (!m_selected.contains(condition))
            m_selected << condition;
    }
}

void CRecordFilter::ExcludeRecord(const QString& equalCondition, const QString& differsCondition)
{
    if (m_none)
        return;
    if (m_selected.removeAll(equalCondition) > 0) {
        if (m_selected.isEmpty())
            m_none = true;
        return;
    }
    if (!m_excluded.contains(differsCondition))
        m_excluded << differsCondition;
}

void CRecordFilter::Clear()
{
    m_base.clear();
    m_selected.clear();
    m_excluded.clear();
    m_none = false;
}

QString CRecordFilter::Text() const
{
    if (m_none)
        return QStringLiteral("1 = 0");
    QStringList parts;
    const bool several = (!m_base.isEmpty()) + (!m_selected.isEmpty()) + m_excluded.size() > 1;
    if (!m_base.isEmpty())
        parts << (several ? Grouped(m_base) : m_base);
    if (!m_selected.isEmpty()) {
        const QString any = m_selected.join(QStringLiteral(" OR "));
        parts << (several && m_selected.size() > 1 ? u'(' + any + u')' : any);
    }
    parts << m_excluded;
    return parts.join(QStringLiteral(" AND "));
}

// --- values -----------------------------------------------------------------------------------

bool CRecordFilter::IsTextType(int type)
{
    switch (type) {
    case 8:
    case 129:
    case 130:
    case 200:
    case 201:
    case 202:
    case 203:
        return true;
    default:
        return false;
    }
}

bool CRecordFilter::IsDateType(int type)
{
    return type == 7 || type == 133;
}

QString CRecordFilter::ValueLiteral(const CDatabaseLink& link, int type, const QVariant& value)
{
    if (IsDateType(type)) {
        QString text;
        if (value.metaType().id() == QMetaType::QDate)
            text = value.toDate().toString(Qt::ISODate);
        else if (value.metaType().id() == QMetaType::QDateTime)
            text = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        else
            text = value.toString();
        return link.QuoteDate(text);
    }
    if (IsTextType(type))
        return link.QuoteString(value.toString());
    if (type == kTypeBoolean || value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    // A column of one type may hold values of another (SQLite does not
    // enforce its types): only a plain number goes in as it is.
    const QString text = value.toString();
    return IsPlainNumber(text) ? text : link.QuoteString(text);
}

QString CRecordFilter::EqualCondition(const CDatabaseLink& link, const QString& field, int type,
                                      const QVariant& value)
{
    if (value.isNull())
        return link.QuoteName(field) + QStringLiteral(" IS NULL");
    return QStringLiteral("%1 = %2").arg(link.QuoteName(field), ValueLiteral(link, type, value));
}

QString CRecordFilter::DiffersCondition(const CDatabaseLink& link, const QString& field, int type,
                                        const QVariant& value)
{
    if (value.isNull())
        return link.QuoteName(field) + QStringLiteral(" IS NOT NULL");
    return QStringLiteral("%1 <> %2").arg(link.QuoteName(field), ValueLiteral(link, type, value));
}

QString CRecordFilter::TypedLiteral(const CDatabaseLink& link, int type, const QString& typed)
{
    if (IsDateType(type)) {
        return link.QuoteDate(Unquoted(typed.trimmed(), QChar::fromLatin1(link.m_dateDelimiters[0]),
                                       QChar::fromLatin1(link.m_dateDelimiters[1])));
    }
    if (IsTextType(type))
        return link.QuoteString(Unquoted(typed));
    const QString trimmed = typed.trimmed();
    if (IsPlainNumber(trimmed) ||
        trimmed.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
        trimmed.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return trimmed;
    return link.QuoteString(Unquoted(trimmed));
}

// --- statements ---------------------------------------------------------------------------------

QChar CRecordFilter::ClosingQuote(QChar c)
{
    switch (c.unicode()) {
    case u'\'':
        return u'\'';
    case u'"':
        return u'"';
    case u'`':
        return u'`';
    case u'[':
        return u']';
    default:
        return QChar();
    }
}

std::pair<qsizetype, qsizetype> CRecordFilter::FindKeyword(const QString& text,
                                                           const QString& keyword, bool topLevel)
{
    const QStringList words = keyword.split(u' ', Qt::SkipEmptyParts);
    const qsizetype n = text.size();
    int depth = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const QChar close = ClosingQuote(c);
        if (!close.isNull()) {
            // Past the quoted token; a doubled closing quote stays inside.
            qsizetype j = i + 1;
            while (j < n) {
                if (text[j] == close) {
                    if (j + 1 < n && text[j + 1] == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j;
            continue;
        }
        if (topLevel && c == u'(') {
            ++depth;
            continue;
        }
        if (topLevel && c == u')') {
            if (depth > 0)
                --depth;
            continue;
        }
        if (depth > 0 || (i > 0 && IsNameChar(text[i - 1])))
            continue;
        qsizetype at = i;
        bool match = true;
        for (qsizetype w = 0; w < words.size() && match; ++w) {
            if (w > 0) {
                const qsizetype gap = at;
                while (at < n && text[at].isSpace())
                    ++at;
                if (at == gap) {
                    match = false;
                    break;
                }
            }
            const QString& word = words[w];
            if (at + word.size() > n ||
                QStringView(text).mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0) {
                match = false;
                break;
            }
            at += word.size();
        }
        if (match && (at >= n || !IsNameChar(text[at])))
            return {i, at - i};
    }
    return {-1, 0};
}

qsizetype CRecordFilter::FindTopLevelKeyword(const QString& text, const QString& keyword)
{
    return FindKeyword(text, keyword, true).first;
}

QString CRecordFilter::InsertToken(const QString& statement, const QString& token)
{
    const bool hasWhere = FindTopLevelKeyword(statement, QStringLiteral("WHERE")) >= 0;
    const qsizetype order = FindTopLevelKeyword(statement, QStringLiteral("ORDER BY"));
    QString insert;
    if (!hasWhere)
        insert = QStringLiteral("WHERE ");
    insert += token + u' ';
    if (order >= 0) {
        QString result = statement;
        QString before = result.left(order);
        if (!before.isEmpty() && !before.endsWith(u' '))
            insert.prepend(u' ');
        result.insert(order, insert);
        return result;
    }
    QString result = statement;
    if (!result.isEmpty() && !result.endsWith(u' '))
        result += u' ';
    return result + insert;
}

QString CRecordFilter::StartsWithAll(const CDatabaseLink& link,
                                     const QVector<std::pair<QString, QString>>& fieldTexts)
{
    QStringList conditions;
    for (const auto& [field, text] : fieldTexts) {
        if (!field.isEmpty() && !text.isEmpty())
            conditions << link.StartsWithCondition(field, text);
    }
    return conditions.join(QStringLiteral(" AND "));
}

QString CRecordFilter::AddCondition(const QString& statement, const QString& condition)
{
    QString head = statement.trimmed();
    while (head.endsWith(u';'))
        head = head.chopped(1).trimmed();
    if (condition.trimmed().isEmpty())
        return head;
    QString tail;
    const qsizetype order = FindTopLevelKeyword(head, QStringLiteral("ORDER BY"));
    if (order >= 0) {
        tail = u' ' + head.mid(order).trimmed();
        head = head.left(order).trimmed();
    }
    // Only a statement of whole rows takes the condition in its own WHERE:
    // a list of columns may rename them, and the condition names the
    // columns as the records show them.
    static const QRegularExpression wholeRows(QStringLiteral("^SELECT\\s+\\*\\s+FROM\\s"),
                                              QRegularExpression::CaseInsensitiveOption);
    bool plain = wholeRows.match(head).hasMatch();
    for (const char* clause : {"GROUP BY", "HAVING", "UNION", "EXCEPT", "INTERSECT", "LIMIT",
                               "OFFSET", "FETCH", "WINDOW"}) {
        if (plain && FindTopLevelKeyword(head, QString::fromLatin1(clause)) >= 0)
            plain = false;
    }
    if (!plain) {
        return QStringLiteral("SELECT * FROM (%1) AS tabrel_filtered WHERE %2%3")
            .arg(head, condition, tail);
    }
    const qsizetype where = FindTopLevelKeyword(head, QStringLiteral("WHERE"));
    if (where < 0)
        return QStringLiteral("%1 WHERE %2%3").arg(head, condition, tail);
    const QString existing = head.mid(where + 5).trimmed();
    return QStringLiteral("%1 WHERE %2 AND %3%4")
        .arg(head.left(where).trimmed(), Grouped(existing), Grouped(condition), tail);
}
