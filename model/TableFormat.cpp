#include "TableFormat.h"

#include <QStringView>

#include <algorithm>
#include <climits>

namespace {

// Walks the format text (already stripped of white space and lowered) and
// fails at the first thing out of place, noting what was wrong and where.
class CFormatReader
{
public:
    CFormatReader(const QString& original, QString text, std::vector<qsizetype> origin)
        : m_original(original), m_text(std::move(text)), m_origin(std::move(origin))
    {
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : m_text.at(m_pos); }
    void Skip(qsizetype count = 1) { m_pos = std::min(m_pos + count, m_text.size()); }

    bool LooksAt(QStringView word) const { return QStringView(m_text).mid(m_pos).startsWith(word); }

    bool Take(QStringView word)
    {
        if (!LooksAt(word))
            return false;
        m_pos += word.size();
        return true;
    }

    // One or more decimal digits; a run too long for an int saturates.
    std::optional<int> TakeNumber()
    {
        qsizetype start = m_pos;
        long long value = 0;
        while (!AtEnd() && Peek() >= u'0' && Peek() <= u'9') {
            value = std::min<long long>(value * 10 + (Peek().unicode() - u'0'), INT_MAX);
            ++m_pos;
        }
        if (m_pos == start)
            return std::nullopt;
        return static_cast<int>(value);
    }

    // A double-quoted per cent: "N%" with N above 0. The closing quote is
    // required only where asked; elsewhere a missing one is passed over like
    // any other stray character.
    std::optional<int> TakePercent(bool closingQuote)
    {
        if (!Take(u"\""))
            return std::nullopt;
        std::optional<int> n = TakeNumber();
        if (!n || *n <= 0 || !Take(u"%"))
            return std::nullopt;
        if (!Take(u"\"") && closingQuote)
            return std::nullopt;
        return n;
    }

    qsizetype Position() const { return m_pos; }

    // Notes the first thing wrong, at a position of the stripped text, with
    // its line and column in the text as typed and what stands there.
    bool Fail(const QString& what, qsizetype at)
    {
        if (!m_problem.isEmpty())
            return false;
        if (at >= m_text.size()) {
            m_problem = QStringLiteral("%1 at the end of the text.").arg(what);
            return false;
        }
        const qsizetype from = m_origin[static_cast<size_t>(std::max<qsizetype>(at, 0))];
        qsizetype line = 1;
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < from; ++i) {
            if (m_original.at(i) == u'\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        // What stands there: up to the end of its tag, on one line.
        constexpr qsizetype kShown = 30;
        QString found;
        for (qsizetype i = from; i < m_original.size() && found.size() < kShown; ++i) {
            const QChar c = m_original.at(i);
            if (c == u'\r' || c == u'\n' || c == u'\t')
                break;
            found.append(c);
            if (c == u'>' && i > from)
                break;
        }
        m_problem = QStringLiteral("Line %1, column %2: %3, found \"%4\".")
                        .arg(line)
                        .arg(from - lineStart + 1)
                        .arg(what, found);
        return false;
    }
    bool Fail(const QString& what) { return Fail(what, m_pos); }
    // A problem of the whole text, not of one place in it.
    bool FailWhole(const QString& what)
    {
        if (m_problem.isEmpty())
            m_problem = what;
        return false;
    }
    const QString& Problem() const { return m_problem; }

private:
    const QString& m_original;
    QString m_text;
    std::vector<qsizetype> m_origin; // where each character stood in the text as typed
    qsizetype m_pos = 0;
    QString m_problem;
};

QString Stripped(const QString& text, std::vector<qsizetype>& origin)
{
    QString out;
    out.reserve(text.size());
    origin.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u' ' || c == u'\r' || c == u'\n' || c == u'\t')
            continue;
        // Only ASCII letters matter to the grammar; lowering them alone keeps
        // every other character where it was.
        out.append(c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c);
        origin.push_back(i);
    }
    return out;
}

const QString kPercentNeeded =
    QStringLiteral("%1 needs a per cent above 0 in quotes, such as \"40%\"");

int Hundredths(int percent)
{
    return std::min(percent, 100) * 100;
}

// Shares what the stated sizes leave among the unstated ones; fails when the
// stated ones already pass the whole.
template <typename Items, typename Size> bool Share(Items& items, Size size)
{
    long long stated = 0;
    int unstated = 0;
    for (auto& item : items) {
        if (size(item) > 0)
            stated += size(item);
        else
            ++unstated;
    }
    if (stated > CTableFormat::kFull)
        return false;
    if (unstated > 0) {
        int share = static_cast<int>((CTableFormat::kFull - stated) / unstated);
        for (auto& item : items) {
            if (size(item) == 0)
                size(item) = share;
        }
    }
    return true;
}

bool ReadCell(CFormatReader& in, STableCellFormat& cell)
{
    while (!in.AtEnd() && in.Peek() != u'>') {
        const qsizetype at = in.Position();
        if (in.Take(u"width=")) {
            std::optional<int> n = in.TakePercent(false);
            if (!n)
                return in.Fail(kPercentNeeded.arg(QStringLiteral("A cell's width")), at);
            cell.width = Hundredths(*n);
        } else if (in.Take(u"type=")) {
            const auto bad = [&] {
                return in.Fail(
                    QStringLiteral("A cell's type needs a number in quotes, such as \"3\""), at);
            };
            if (!in.Take(u"\""))
                return bad();
            cell.type = in.TakeNumber().value_or(0);
            if (!in.Take(u"\""))
                return bad();
        } else if (in.Take(u"padding-horz=")) {
            std::optional<int> n = in.TakePercent(false);
            if (!n)
                return in.Fail(kPercentNeeded.arg(QStringLiteral("padding-horz")), at);
            cell.paddingHorz = std::min(*n, 100);
        } else if (in.Take(u"padding-vert=")) {
            std::optional<int> n = in.TakePercent(false);
            if (!n)
                return in.Fail(kPercentNeeded.arg(QStringLiteral("padding-vert")), at);
            cell.paddingVert = std::min(*n, 100);
        } else {
            in.Skip();
        }
    }
    // A cell has no content: it closes straight away.
    return in.Take(u"></td>") ||
           in.Fail(
               QStringLiteral("A cell holds nothing and closes at once, \"<td></td>\" expected"));
}

bool ReadRowAttributes(CFormatReader& in, STableRowFormat& row)
{
    while (!in.AtEnd() && in.Peek() != u'>') {
        const qsizetype at = in.Position();
        if (in.Take(u"height=")) {
            std::optional<int> n = in.TakePercent(true);
            if (!n)
                return in.Fail(kPercentNeeded.arg(QStringLiteral("A row's height")), at);
            row.height = Hundredths(*n);
        } else if (in.Take(u"separat")) {
            // The word is known by its first seven letters; the rest of it is
            // passed over, but never the ">" that ends the tag.
            in.Take(u"or");
            row.separator = true;
        } else {
            in.Skip();
        }
    }
    return in.Take(u">") || in.Fail(QStringLiteral("\">\" expected to end the row's tag"));
}

} // namespace

const QString& CTableFormat::DefaultText()
{
    static const QString text = QStringLiteral("<table>\n\t<tr>\n\t\t<td></td>\n\t</tr>\n</table>");
    return text;
}

std::optional<CTableFormat> CTableFormat::Parse(const QString& text, QString* problem)
{
    std::vector<qsizetype> origin;
    QString stripped = Stripped(text, origin);
    CFormatReader in(text, std::move(stripped), std::move(origin));
    const auto fail = [&]() -> std::optional<CTableFormat> {
        if (problem)
            *problem = in.Problem();
        return std::nullopt;
    };
    if (!in.Take(u"<table>")) {
        in.Fail(QStringLiteral("\"<table>\" expected"));
        return fail();
    }

    CTableFormat format;
    while (in.Take(u"<tr")) {
        STableRowFormat row;
        if (!ReadRowAttributes(in, row))
            return fail();
        while (in.Take(u"<td")) {
            STableCellFormat cell;
            if (!ReadCell(in, cell))
                return fail();
            row.cells.push_back(cell);
        }
        if (!in.Take(u"</tr>")) {
            in.Fail(QStringLiteral("\"<td>\" or \"</tr>\" expected"));
            return fail();
        }
        if (!Share(row.cells, [](STableCellFormat& c) -> int& { return c.width; })) {
            in.FailWhole(QStringLiteral("The cell widths of row %1 add up to more than 100%.")
                             .arg(format.rows.size() + 1));
            return fail();
        }
        format.rows.push_back(std::move(row));
    }
    // Whatever follows the closing tag is not the table's.
    if (!in.Take(u"</table>")) {
        in.Fail(QStringLiteral("\"<tr>\" or \"</table>\" expected"));
        return fail();
    }
    if (!Share(format.rows, [](STableRowFormat& r) -> int& { return r.height; })) {
        in.FailWhole(QStringLiteral("The row heights add up to more than 100%."));
        return fail();
    }
    if (problem)
        problem->clear();
    return format;
}

QString CTableFormat::ElementClassForType(int type)
{
    switch (type) {
    case 0:
        return QStringLiteral("CLine");
    case 1:
        return QStringLiteral("CBox");
    case 2:
        return QStringLiteral("CEllipse");
    case 3:
        return QStringLiteral("CText");
    case 4:
        return QStringLiteral("CPriceField");
    case 5:
        return QStringLiteral("CImage");
    case 8:
        return QStringLiteral("CSymbol");
    case 9:
        return QStringLiteral("CTable");
    case 10:
        return QStringLiteral("CArcText");
    default:
        return {};
    }
}
