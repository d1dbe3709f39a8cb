// Copy-fit and word wrap of text elements: the size search, the wrap that
// each try of it makes, and the cheaper wrap while data is typed.
#include "Text.h"

#include "WaitCursor.h"

#include <algorithm>
#include <climits>

namespace {

// A search on any face needs a few dozen tries at most (halvings over
// 3..3527); the cap ends one that snapping or an uneven fit keeps going.
constexpr int kMaxCopyFitTries = 64;

bool IsBreakingSpace(QChar c)
{
    return c == u' ';
}

} // namespace

void CText::CopyFit()
{
    CWaitCursor wait;
    ClearLines();
    m_bulletLines.clear();
    if (m_text.isEmpty())
        return;

    const int minimum = m_minHeight;
    const int maximum = m_maxHeight;
    // The fitting rectangle at a height: the format rectangle, less the
    // bullets' indent on the left.
    const auto prepare = [this](int height) {
        m_font.SetHeight(height);
        m_richText.SetDefaultFont(m_font, m_textColour);
        CRect rect = m_formatRect;
        if (m_bullets) {
            m_bullets->Layout(CountParagraphs(), nullptr, m_font.GetHeight());
            rect.left += m_bullets->GetIndent();
        }
        return rect;
    };
    const auto snap = [this](qint64 height) {
        return m_font.SnapHeight(static_cast<int>(std::clamp<qint64>(height, INT_MIN, INT_MAX)));
    };

    // The first try is the rectangle's own height; a fit climbs by halves of
    // the last step, a miss bisects between the best fit so far and itself.
    qint64 s = std::min(m_formatRect.Height(), maximum);
    if (minimum > s)
        s = minimum;
    qint64 prev = 2 * s;
    bool prevFits = false;
    qint64 best = minimum;
    for (int tries = 0; tries < kMaxCopyFitTries; ++tries) {
        const int cur = snap(s);
        const bool fits = TryFit(prepare(cur)) != FALSE;
        qint64 next = cur;
        bool stop = false;
        if (prevFits && fits) {
            next = snap(std::min<qint64>(cur + (cur - prev) / 2, maximum));
            best = std::max<qint64>(best, cur);
            stop = next == cur;
        } else if (prevFits) {
            next = snap(std::min<qint64>(prev + (cur - prev) / 2, maximum));
            if (next == prev || next == cur) {
                best = prev;
                stop = true;
            }
        } else if (fits) {
            next = snap(std::min<qint64>(cur + (prev - cur) / 2, maximum));
            best = std::max<qint64>(best, cur);
            stop = next == cur;
        } else {
            next = snap(std::max<qint64>(best + (cur - best) / 2, minimum));
            if (next == minimum || next == cur) {
                best = std::max<qint64>(best, minimum);
                stop = true;
            }
        }
        if (stop)
            break;
        prevFits = fits;
        prev = cur;
        s = next;
    }

    TryFit(prepare(snap(best)));
}

BOOL CText::TryFit(const CRect& rect)
{
    ClearLines();
    m_bulletLines.clear();
    InsertLine(0, 0);
    const int width = rect.Width();
    const int height = rect.Height();
    const qsizetype length = m_text.size();

    qint64 used = 0;
    int paragraphStart = 0;
    int line = 0;
    qsizetype pos = 0;
    QChar c;
    bool fits = true;
    while (pos < length) {
        c = m_text[pos++];
        CTextLines& current = *m_lines[size_t(line)];
        if (c != u'\n') {
            current.InsertChar(c);
            if (current.GetWidth() <= width)
                continue;
        }
        // The line ends, at a hard break or because it overflowed.
        if (m_maxLines > 0 && line + 1 >= m_maxLines) {
            // The last line allowed: the text fits only when it ends here.
            fits = c == u'\n' && pos >= length;
            break;
        }
        if (c != u'\n') {
            const int k = FindWrapPoint(line);
            if (k <= 0) {
                fits = false; // a word wider than the rectangle
                break;
            }
            const int cutOff = current.GetLength() - k;
            current.Truncate(k - 1);
            pos -= cutOff - 1; // resume after the space
        }
        if (c == u'\n' && m_bullets) {
            MarkBulletLines(paragraphStart);
            paragraphStart = line + 1;
        }
        used += GetLineSpacing(line);
        if (used > height) {
            fits = false;
            break;
        }
        ++line;
        // Leading spaces of a line are dropped, after a hard break too; the
        // line starts at its first character kept.
        while (pos < length && IsBreakingSpace(m_text[pos]))
            ++pos;
        InsertLine(line, static_cast<int>(pos));
    }
    if (m_bullets && c != u'\n')
        MarkBulletLines(paragraphStart);
    if (!fits)
        return FALSE;

    qint64 total = 0;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        total +=
            i + 1 < m_lines.size() ? GetLineSpacing(static_cast<int>(i)) : m_lines[i]->GetHeight();
    }
    return total <= height ? TRUE : FALSE;
}

int CText::FindWrapPoint(int line) const
{
    if (line < 0 || size_t(line) >= m_lines.size())
        return -1;
    const QString& text = m_lines[size_t(line)]->GetText();
    const int start = static_cast<int>(m_lineStarts[size_t(line)]);
    for (int j = static_cast<int>(text.size()) - 1; j >= 0; --j) {
        if (IsBreakingSpace(text[j]) && !m_richText.IsNbspAt(start + j))
            return j;
    }
    return -1;
}

void CText::WrapAsTyped()
{
    ClearLines();
    InsertLine(0, 0);
    int line = 0;
    const int width = m_formatRect.Width();
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (c == u'\n') {
            ++line;
            InsertLine(line, static_cast<int>(i + 1));
            continue;
        }
        CTextLines& current = *m_lines[size_t(line)];
        current.InsertChar(c);
        if (current.GetWidth() <= width)
            continue;
        // Cut after the last space, or, with none after the first character,
        // after the last-but-two character.
        const QString text = current.GetText();
        int keep = static_cast<int>(text.lastIndexOf(u' '));
        if (keep < 1)
            keep = std::max(static_cast<int>(text.size()) - 3, 0);
        const QString rest = text.mid(keep + 1);
        current.Truncate(keep);
        const int start = static_cast<int>(m_lineStarts[size_t(line)]) + keep + 1;
        ++line;
        InsertLine(line, start, rest);
    }
}

void CText::MarkBulletLines(int from)
{
    if (from == -1) {
        m_bulletLines.clear();
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i]->GetLength() > 0)
                m_bulletLines.push_back(DWORD(i));
        }
        return;
    }
    if (from < 0 || size_t(from) >= m_lines.size() || m_lines[size_t(from)]->GetLength() == 0)
        return;
    if (std::find(m_bulletLines.begin(), m_bulletLines.end(), DWORD(from)) == m_bulletLines.end())
        m_bulletLines.push_back(DWORD(from));
}
