#include "TableFormat.h"

#include <QStringView>

#include <algorithm>
#include <climits>

namespace {

// Walks the format text (already stripped of white space and lowered) and
// fails at the first thing out of place.
class CFormatReader
{
public:
    explicit CFormatReader(QString text) : m_text(std::move(text)) {}

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

private:
    QString m_text;
    qsizetype m_pos = 0;
};

QString Stripped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u' ' || c == u'\r' || c == u'\n' || c == u'\t')
            continue;
        // Only ASCII letters matter to the grammar; lowering them alone keeps
        // every other character where it was.
        out.append(c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c);
    }
    return out;
}

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
        if (in.Take(u"width=")) {
            std::optional<int> n = in.TakePercent(false);
            if (!n)
                return false;
            cell.width = Hundredths(*n);
        } else if (in.Take(u"type=")) {
            if (!in.Take(u"\""))
                return false;
            cell.type = in.TakeNumber().value_or(0);
            if (!in.Take(u"\""))
                return false;
        } else if (in.Take(u"padding-horz=")) {
            std::optional<int> n = in.TakePercent(false);
            if (!n)
                return false;
            cell.paddingHorz = std::min(*n, 100);
        } else if (in.Take(u"padding-vert=")) {
            std::optional<int> n = in.TakePercent(false);
            if (!n)
                return false;
            cell.paddingVert = std::min(*n, 100);
        } else {
            in.Skip();
        }
    }
    // A cell has no content: it closes straight away.
    return in.Take(u"></td>");
}

bool ReadRowAttributes(CFormatReader& in, STableRowFormat& row)
{
    while (!in.AtEnd() && in.Peek() != u'>') {
        if (in.Take(u"height=")) {
            std::optional<int> n = in.TakePercent(true);
            if (!n)
                return false;
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
    return in.Take(u">");
}

} // namespace

const QString& CTableFormat::DefaultText()
{
    static const QString text = QStringLiteral("<table>\n\t<tr>\n\t\t<td></td>\n\t</tr>\n</table>");
    return text;
}

std::optional<CTableFormat> CTableFormat::Parse(const QString& text)
{
    CFormatReader in(Stripped(text));
    if (!in.Take(u"<table>"))
        return std::nullopt;

    CTableFormat format;
    while (in.Take(u"<tr")) {
        STableRowFormat row;
        if (!ReadRowAttributes(in, row))
            return std::nullopt;
        while (in.Take(u"<td")) {
            STableCellFormat cell;
            if (!ReadCell(in, cell))
                return std::nullopt;
            row.cells.push_back(cell);
        }
        if (!in.Take(u"</tr>"))
            return std::nullopt;
        if (!Share(row.cells, [](STableCellFormat& c) -> int& { return c.width; }))
            return std::nullopt;
        format.rows.push_back(std::move(row));
    }
    // Whatever follows the closing tag is not the table's.
    if (!in.Take(u"</table>"))
        return std::nullopt;
    if (!Share(format.rows, [](STableRowFormat& r) -> int& { return r.height; }))
        return std::nullopt;
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
