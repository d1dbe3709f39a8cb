// A restriction of the linked records, kept as a list of conditions rather
// than as one text, so that taking a record out of a filter removes exactly
// its own condition ("[Id] = 3" never touches "[Id] = 30").
//
// The text it gives the link is: a condition made elsewhere, the selected
// records' conditions joined by OR, and every excluded record's condition,
// all joined by AND (each group in parentheses when it holds an OR).
//
// Also the SQL text helpers of the filter dialogs: values written by their
// field's type, the statement editor's token insertion and conditions added
// to a statement. Every value, whether read from the database or typed by
// the user, goes into SQL through the link's quoting, never pasted.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <utility>

class CDatabaseLink;

class CRecordFilter
{
public:
    // Starts from the link's filter text, kept whole as one condition.
    explicit CRecordFilter(const QString& current = QString());

    // Filter By Selection: exactly the records whose conditions are given
    // (each "[Key] = value"); replaces whatever the filter was.
    void SelectRecords(const QStringList& equalConditions);
    // Filter Excluding Selection, for one record: its "[Key] = value"
    // condition leaves the selected records when it is one of them;
    // otherwise "[Key] <> value" is added. Taking out the last selected
    // record leaves a filter that no record passes.
    void ExcludeRecord(const QString& equalCondition, const QString& differsCondition);
    void Clear();

    QString Text() const;
    bool IsEmpty() const { return Text().isEmpty(); }
    const QStringList& Selected() const { return m_selected; }
    const QStringList& Excluded() const { return m_excluded; }

    // The condition that the field equals, or differs from, a value read
    // from the database, written by the field's type code. A null value is
    // compared with IS NULL / IS NOT NULL.
    static QString EqualCondition(const CDatabaseLink& link, const QString& field, int type,
                                  const QVariant& value);
    static QString DiffersCondition(const CDatabaseLink& link, const QString& field, int type,
                                    const QVariant& value);
    // A value read from the database as SQL: date types (7, 133) in the
    // link's date delimiters, text types in its string delimiters, numbers
    // and Booleans as they are; anything else that is not a plain number is
    // written as a string.
    static QString ValueLiteral(const CDatabaseLink& link, int type, const QVariant& value);
    // A value typed by the user for a field of the type: a text type in the
    // link's string delimiters (quotes the user typed around it are taken
    // off first, and an opening quote alone is closed), a date type in its
    // date delimiters, any other type as typed when it is a plain number or
    // TRUE/FALSE, else as a string. Never the typed text pasted.
    static QString TypedLiteral(const CDatabaseLink& link, int type, const QString& typed);
    static bool IsTextType(int type);
    static bool IsDateType(int type);

    // The statement editor's insertion: the token goes in front of a
    // top-level ORDER BY, else at the end after a blank; "WHERE " first when
    // the statement has none; a blank after the token.
    static QString InsertToken(const QString& statement, const QString& token);
    // The conditions that each field starts with its text (fields paired
    // with texts; empty texts left out), joined by AND.
    static QString StartsWithAll(const CDatabaseLink& link,
                                 const QVector<std::pair<QString, QString>>& fieldTexts);
    // The statement restricted further by the condition: a plain
    // SELECT ... FROM ... [WHERE ...] takes it with WHERE or AND (the old
    // condition in parentheses); any other statement (a custom view, a
    // grouped or joined query) is wrapped as a sub-query. A trailing ORDER BY
    // stays the sort at the end.
    static QString AddCondition(const QString& statement, const QString& condition);
    // The position of a keyword outside quotes and parentheses, or -1.
    static qsizetype FindTopLevelKeyword(const QString& text, const QString& keyword);
    // Where a keyword stands in an SQL text as a word of its own, outside
    // every quoted name or literal, and with topLevel outside parentheses
    // too: its position and length (the blanks between the words of
    // "ORDER BY" may be any run of white space). {-1, 0} when absent.
    static std::pair<qsizetype, qsizetype> FindKeyword(const QString& text, const QString& keyword,
                                                       bool topLevel);
    // The closing quote of an opening quote character of SQL (' " ` [), or
    // a null character.
    static QChar ClosingQuote(QChar c);

private:
    QString m_base;
    QStringList m_selected;
    QStringList m_excluded;
    bool m_none = false;
};
