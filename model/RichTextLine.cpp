#include "RichTextLine.h"

#include "Codec1252.h"
#include "DC.h"
#include "Helpers.h"

#include <algorithm>
#include <climits>

namespace {

// The text as the segments hold it: one Windows-1252 byte per character, so
// that the line and its segments count the same characters.
QString SingleByte(const QString& text)
{
    return FromWindows1252(ToWindows1252(text));
}

int ClampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

} // namespace

CTextLines::CTextLines(std::vector<CFontRun> runs, const QString& text)
    : m_text(SingleByte(text)), m_runs(std::move(runs))
{
    // Every segment needs a font to borrow.
    const CTextDefaults& defaults = CTextDefaults::Current();
    if (m_runs.empty()) {
        CFontRun run;
        run.colour = defaults.colour;
        m_runs.push_back(std::move(run));
    }
    for (CFontRun& run : m_runs) {
        if (!run.font) {
            run.font = std::make_shared<const CLogFont>(defaults.font);
            run.gdiFont = run.font->GetDrawingFont();
        }
    }
    BuildSegments();
}

CTextLines::~CTextLines() = default;

CTextLines::Segment CTextLines::MakeSegment(const QString& text, size_t run, int start) const
{
    return Segment{CTextBase(m_runs[run].font.get(), text), start, run};
}

int CTextLines::FindRunIndex(int position) const
{
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].start == position)
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CTextLines::FindRunAt(int position, const CFontRun** run) const
{
    const int index = FindRunIndex(position);
    if (run)
        *run = index >= 0 ? &m_runs[size_t(index)] : nullptr;
    return index >= 0 ? TRUE : FALSE;
}

void CTextLines::BuildSegments()
{
    m_segments.clear();
    size_t run = 0;
    int cut = 0;
    for (int p = 1; p < GetLength(); ++p) {
        const int next = FindRunIndex(p);
        if (next < 0)
            continue;
        m_segments.push_back(MakeSegment(m_text.mid(cut, p - cut), run, cut));
        cut = p;
        run = size_t(next);
    }
    m_segments.push_back(MakeSegment(m_text.mid(cut), run, cut));
}

int CTextLines::SetText(const QString& text)
{
    m_text = SingleByte(text);
    if (m_runs.size() == 1 && m_segments.size() == 1)
        m_segments.front().text.SetText(m_text);
    else
        BuildSegments();
    return GetLength();
}

void CTextLines::InsertChar(QChar c, int position)
{
    if (position >= 0 && position <= GetLength()) {
        QString text = m_text;
        text.insert(position, c);
        SetText(text);
        return;
    }
    const QString ch = SingleByte(QString(c));
    m_text += ch;
    const int last = GetLength() - 1;
    const int run = last > 0 ? FindRunIndex(last) : -1;
    if (run >= 0 && m_segments.back().start < last)
        m_segments.push_back(MakeSegment(ch, size_t(run), last));
    else
        m_segments.back().text.InsertChar(ch.front());
}

void CTextLines::Truncate(int last)
{
    if (last >= GetLength() - 1)
        return;
    if (last < 0) {
        m_text.clear();
        BuildSegments();
        return;
    }
    m_text.truncate(last + 1);
    size_t keep = 0;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        if (m_segments[i].start <= last)
            keep = i;
    }
    m_segments.erase(m_segments.begin() + qsizetype(keep) + 1, m_segments.end());
    m_segments[keep].text.SetText(m_text.mid(m_segments[keep].start));
}

int CTextLines::GetWidth(int count) const
{
    if (count < 0 || count > GetLength())
        count = GetLength();
    qint64 sum = 0;
    for (const Segment& segment : m_segments) {
        const int length = segment.text.GetLength();
        const int inSegment = std::clamp(count - segment.start, 0, length);
        if (inSegment > 0)
            sum += segment.text.GetTextWidth(inSegment == length ? -1 : inSegment);
    }
    return ClampToInt((sum + 5) / 10);
}

int CTextLines::GetHeight() const
{
    int height = 0;
    for (const Segment& segment : m_segments) {
        const CTextMetrics& tm = segment.text.GetFont().GetTextMetrics();
        height = std::max(height, tm.tmHeight + tm.tmExternalLeading);
    }
    return height;
}

int CTextLines::GetAngle() const
{
    const LONG orientation = m_runs.front().font->GetLogFont().lfOrientation;
    return orientation > 0 ? 360 - orientation / 10 : 0;
}

void CTextLines::LayOut(CPoint origin)
{
    size_t tallest = 0;
    for (size_t i = 1; i < m_segments.size(); ++i) {
        if (m_segments[i].text.GetFont().GetHeight() >
            m_segments[tallest].text.GetFont().GetHeight())
            tallest = i;
    }
    const int tallestAscent = m_segments[tallest].text.GetFont().GetTextMetrics().tmAscent;
    const int angle = GetAngle();

    qint64 x = origin.x;
    int previousY = origin.y;
    int previousHeight = 0;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        Segment& segment = m_segments[i];
        const CFontRun& run = m_runs[segment.run];
        const CLogFont& font = segment.text.GetFont();
        int y;
        if (run.superscript)
            y = i == 0 ? origin.y : previousY;
        else if (run.subscript)
            y = i == 0 ? origin.y : previousY + (previousHeight - font.GetHeight());
        else
            y = origin.y + (tallestAscent - font.GetTextMetrics().tmAscent);

        CPoint place(ClampToInt(x), y);
        if (angle > 0)
            RotatePoint(place, origin.x, origin.y, angle);
        segment.text.SetOrigin(place.x, place.y);

        x += (segment.text.GetTextWidth() + 5) / 10;
        previousY = y;
        previousHeight = font.GetHeight();
    }
    m_origin = origin;
}

void CTextLines::Draw(CDC* dc) const
{
    if (!dc)
        return;
    for (const Segment& segment : m_segments) {
        const CFontRun& run = m_runs[segment.run];
        const LogFontFields oldFont = dc->SelectFont(run.gdiFont);
        const COLORREF oldColour = dc->SetTextColor(run.colour);
        segment.text.Draw(dc);
        dc->SetTextColor(oldColour);
        dc->SelectFont(oldFont);
    }
}
