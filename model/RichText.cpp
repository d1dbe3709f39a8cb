#include "RichText.h"

#include "Archive.h"
#include "Codec1252.h"

#include <QLatin1StringView>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

namespace {

// The text as the sign holds it: one Windows-1252 byte per character.
QString SingleByte(const QString& text)
{
    return FromWindows1252(ToWindows1252(text));
}

bool IsWhite(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

int ClampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

// Counts characters as CountChars does, one character at a time: a line
// break right after a different one that is not yet paired adds nothing.
class CharCounter
{
public:
    void Add(QChar c)
    {
        if (m_pending != 0 && CRichText::IsLineBreak(c) && c.unicode() != m_pending) {
            m_pending = 0;
            return;
        }
        ++m_count;
        m_pending = CRichText::IsLineBreak(c) ? c.unicode() : 0;
    }
    qint64 Count() const { return m_count; }

private:
    qint64 m_count = 0;
    char16_t m_pending = 0;
};

// A number as atof reads it in the C locale: leading white space, a sign,
// digits with a decimal point and an exponent; 0 when there is none. Values
// beyond the range of a double come back infinite (or 0 when too small).
double AToF(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && IsWhite(text[i]))
        ++i;
    QByteArray bytes = text.mid(i).toLatin1();
    bool negative = false;
    if (!bytes.isEmpty() && (bytes[0] == '+' || bytes[0] == '-')) {
        negative = bytes[0] == '-';
        bytes.remove(0, 1);
        if (!bytes.isEmpty() && (bytes[0] == '+' || bytes[0] == '-'))
            return 0;
    }
    double value = 0;
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large, or too small: tell them apart by the exponent's sign.
        const qsizetype e = std::max(bytes.indexOf('e'), bytes.indexOf('E'));
        const bool tiny = e >= 0 && e + 1 < bytes.size() && bytes[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (result.ec != std::errc()) {
        value = 0;
    }
    return negative ? -value : value;
}

// Point sizes worth handing to the font: what is not a number counts as 0,
// and absurd sizes are brought into a range the height conversion holds
// (the record snaps the height to what the face allows in any case).
double SanePoints(double points)
{
    constexpr double kLargest = 100000.0;
    if (std::isnan(points))
        return 0;
    return std::clamp(points, 0.0, kLargest);
}

// "#RRGGBB", white space allowed after the "#"; what follows the six
// digits is not looked at.
bool ParseColour(const QString& value, COLORREF& colour)
{
    if (!value.startsWith(u'#'))
        return false;
    qsizetype i = 1;
    while (i < value.size() && IsWhite(value[i]))
        ++i;
    const auto hex = [](QChar c) {
        if (c >= u'0' && c <= u'9')
            return c.unicode() - u'0';
        if (c >= u'a' && c <= u'f')
            return c.unicode() - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c.unicode() - u'A' + 10;
        return -1;
    };
    int rgb[3] = {0, 0, 0};
    for (int& component : rgb) {
        for (int digit = 0; digit < 2; ++digit, ++i) {
            const int v = i < value.size() ? hex(value[i]) : -1;
            if (v < 0)
                return false;
            component = component * 16 + v;
        }
    }
    colour = MakeRGB(rgb[0], rgb[1], rgb[2]);
    return true;
}

// Case-insensitive: does the text hold the word at the index?
bool WordAt(QStringView text, qsizetype at, QLatin1StringView word)
{
    return at >= 0 && at + word.size() <= text.size() &&
           text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

bool OnlyWhite(QStringView text)
{
    return std::all_of(text.begin(), text.end(), IsWhite);
}

// A line-break tag: "<", white space, "BR" in any case, white space, ">".
bool IsBreakTag(QStringView tag)
{
    qsizetype p = 1;
    const qsizetype end = tag.size() - 1;
    while (p < end && IsWhite(tag[p]))
        ++p;
    return WordAt(tag, p, QLatin1StringView("br")) && p + 2 <= end &&
           OnlyWhite(tag.mid(p + 2, end - p - 2));
}

} // namespace

// --- construction -------------------------------------------------------------

CRichText::CRichText(const CRichText& other) : CObject(other)
{
    *this = other;
}

CRichText& CRichText::operator=(const CRichText& other)
{
    if (this == &other)
        return *this;
    m_tags = other.m_tags;
    m_runs = other.m_runs;
    for (CFontRun& run : m_runs) {
        if (run.font)
            run.font = std::make_shared<const CLogFont>(*run.font);
    }
    return *this;
}

CRichText::~CRichText() = default;

void CRichText::ClearTags()
{
    m_tags.clear();
}

void CRichText::ClearRuns()
{
    m_runs.clear();
}

void CRichText::AddRun(const CLogFont& font, COLORREF colour)
{
    CFontRun run;
    run.colour = colour;
    run.font = std::make_shared<const CLogFont>(font);
    run.gdiFont = font.GetDrawingFont();
    m_runs.push_back(std::move(run));
}

// --- parsing ------------------------------------------------------------------

namespace {

// Reads one tag (from "<" to ">" inclusive) into a tag record. openFonts
// holds the opening font tags not yet closed, innermost last: a closing font
// tag closes the innermost one, which is what a backward search over the
// font tags with a depth count finds.
bool ParseTag(QStringView tag, std::vector<int>& openFonts, std::vector<CRichTag>& tags,
              CRichTag& out)
{
    const qsizetype end = tag.size() - 1; // the ">"
    qsizetype p = 1;
    while (p < end && IsWhite(tag[p]))
        ++p;
    bool closing = false;
    if (p < end && tag[p] == u'/') {
        closing = true;
        ++p;
        while (p < end && IsWhite(tag[p]))
            ++p;
    }

    struct Simple
    {
        const char* name;
        CRichTag::Kind kind;
    };
    static constexpr Simple kSimple[] = {{"b", CRichTag::Bold},
                                         {"i", CRichTag::Italic},
                                         {"u", CRichTag::Underline},
                                         {"sup", CRichTag::Superscript},
                                         {"sub", CRichTag::Subscript}};
    for (const Simple& s : kSimple) {
        const QLatin1StringView name(s.name);
        if (WordAt(tag, p, name) && p + name.size() <= end &&
            OnlyWhite(tag.mid(p + name.size(), end - p - name.size()))) {
            out.kind = closing ? BYTE(s.kind) : BYTE(CRichTag::kOpening | s.kind);
            return true;
        }
    }

    if (!WordAt(tag, p, QLatin1StringView("font")) || p + 4 > end)
        return false;
    p += 4;
    if (closing) {
        if (!OnlyWhite(tag.mid(p, end - p)) || openFonts.empty())
            return false;
        const int opening = openFonts.back();
        openFonts.pop_back();
        out.kind = tags[size_t(opening)].BaseKind();
        out.match = opening;
        return true;
    }

    // An opening font tag: the first attribute decides, the rest is not read.
    if (p >= end || !IsWhite(tag[p]))
        return false;
    while (p < end && IsWhite(tag[p]))
        ++p;
    struct Attribute
    {
        const char* name;
        CRichTag::Kind kind;
    };
    static constexpr Attribute kAttributes[] = {
        {"face", CRichTag::Face}, {"size", CRichTag::Size}, {"colour", CRichTag::Colour}};
    for (const Attribute& a : kAttributes) {
        const QLatin1StringView name(a.name);
        if (!WordAt(tag, p, name))
            continue;
        qsizetype v = p + name.size();
        if (v >= end || !(IsWhite(tag[v]) || tag[v] == u'=' || tag[v] == u'"'))
            return false;
        while (v < end && (IsWhite(tag[v]) || tag[v] == u'=' || tag[v] == u'"'))
            ++v;
        const qsizetype quote = tag.left(end).indexOf(u'"', v);
        if (quote <= v)
            return false;
        out.kind = BYTE(CRichTag::kOpening | a.kind);
        out.value = tag.mid(v, quote - v).toString();
        openFonts.push_back(static_cast<int>(tags.size()));
        return true;
    }
    return false;
}

} // namespace

void CRichText::Parse(QString& text, int startOffset, const CLogFont& defaultFont,
                      COLORREF defaultColour)
{
    ClearTags();
    const QString in = SingleByte(text);
    QString out;
    out.reserve(in.size());
    CharCounter counter;
    const auto append = [&](QChar c) {
        out.append(c);
        counter.Add(c);
    };
    const auto position = [&] { return ClampToInt(counter.Count() + startOffset); };
    const QLatin1StringView nbsp("&nbsp;");

    std::vector<int> openFonts;
    qsizetype nextClose = -1; // the next ">" at or after the walk; in.size(): none
    qsizetype i = 0;
    while (i < in.size()) {
        const QChar c = in[i];
        const bool room = m_tags.size() < size_t(kMaxTags);
        if (c == u'&' && room && WordAt(in, i, nbsp)) {
            m_tags.push_back({position(), BYTE(CRichTag::kOpening | CRichTag::Nbsp), {}, 0});
            append(u' ');
            i += nbsp.size();
            continue;
        }
        if (c == u'<') {
            if (nextClose < i) {
                nextClose = in.indexOf(u'>', i);
                if (nextClose < 0)
                    nextClose = in.size();
            }
            if (nextClose < in.size()) {
                const QStringView tag = QStringView(in).mid(i, nextClose - i + 1);
                if (IsBreakTag(tag)) {
                    append(u'\n');
                    i = nextClose + 1;
                    continue;
                }
                CRichTag record;
                if (room && ParseTag(tag, openFonts, m_tags, record)) {
                    record.position = position();
                    m_tags.push_back(std::move(record));
                    i = nextClose + 1;
                    continue;
                }
            }
        }
        append(c);
        ++i;
    }
    text = out;
    BuildRuns(defaultFont, defaultColour);
}

// --- runs ---------------------------------------------------------------------

void CRichText::SetDefaultFont(const CLogFont& defaultFont, COLORREF defaultColour)
{
    BuildRuns(defaultFont, defaultColour);
}

void CRichText::BuildRuns(const CLogFont& defaultFont, COLORREF defaultColour)
{
    ClearRuns();
    // The record of the run being built is ours to change until the end.
    std::shared_ptr<CLogFont> font = std::make_shared<CLogFont>(defaultFont);
    CFontRun first;
    first.colour = defaultColour;
    first.font = font;
    m_runs.push_back(std::move(first));

    // What was in effect just before each opening font tag took effect: a
    // closing font tag puts that back, so that other tags at the same place
    // (a "<b>" right before the "<font>") outlive the font tag.
    struct Before
    {
        std::shared_ptr<const CLogFont> font;
        COLORREF colour = 0;
    };
    std::vector<Before> before(m_tags.size());
    const auto restore = [&](const CRichTag& closing, size_t index) -> const Before* {
        const size_t match = size_t(unsigned(closing.match));
        if (closing.match < 0 || match >= index || !before[match].font)
            return nullptr;
        return &before[match];
    };
    const double defaultPoints = defaultFont.HeightToPoints();
    const auto setPoints = [](CLogFont& record, double points) {
        const int height = record.SnapHeight(record.PointsToHeight(SanePoints(points)));
        if (height != record.GetHeight())
            record.SetHeight(height);
    };

    for (size_t i = 0; i < m_tags.size(); ++i) {
        const CRichTag& tag = m_tags[i];
        const BYTE kind = tag.BaseKind();
        if (kind >= CRichTag::Nbsp)
            continue;
        if (tag.position != m_runs.back().start) {
            CFontRun next = m_runs.back();
            next.start = tag.position;
            font = std::make_shared<CLogFont>(*font);
            next.font = font;
            m_runs.push_back(std::move(next));
        }
        CFontRun& run = m_runs.back();
        const bool opening = tag.IsOpening();
        if (opening && kind <= CRichTag::Colour)
            before[i] = {std::make_shared<const CLogFont>(*font), run.colour};

        switch (kind) {
        case CRichTag::Face:
        case CRichTag::Size:
            if (!opening) {
                const Before* b = restore(tag, i);
                *font = b ? *b->font : defaultFont;
            } else if (kind == CRichTag::Face) {
                font->SetFaceName(tag.value);
            } else {
                const double v = AToF(tag.value);
                double points = v;
                if (tag.value.startsWith(u'+') || tag.value.startsWith(u'-')) {
                    const double share = std::abs(v) * defaultPoints / 100.0;
                    points = v >= 0 ? defaultPoints + share : defaultPoints - share;
                }
                setPoints(*font, points);
            }
            break;
        case CRichTag::Colour:
            if (opening) {
                ParseColour(tag.value, run.colour);
            } else {
                const Before* b = restore(tag, i);
                run.colour = b ? b->colour : defaultColour;
            }
            break;
        case CRichTag::Bold:
            if (font->GetLogFont().lfWeight != (opening ? 700 : 0))
                font->SetBold(opening ? 1 : 0);
            break;
        case CRichTag::Italic:
            if (font->GetLogFont().lfItalic != (opening ? 1 : 0))
                font->SetItalic(opening ? 1 : 0);
            break;
        case CRichTag::Underline:
            if (font->GetLogFont().lfUnderline != (opening ? 1 : 0))
                font->SetUnderline(opening ? 1 : 0);
            break;
        case CRichTag::Superscript:
        case CRichTag::Subscript: {
            BOOL& flag = kind == CRichTag::Superscript ? run.superscript : run.subscript;
            flag = opening ? TRUE : FALSE;
            const double points = font->HeightToPoints();
            setPoints(*font, opening ? points / 3.0 * 2.0 : points * 0.5 * 3.0);
            break;
        }
        default:
            break;
        }
    }
    for (CFontRun& run : m_runs)
        run.gdiFont = run.font->GetDrawingFont();
}

std::vector<CFontRun> CRichText::GetRunsFrom(int position) const
{
    std::vector<CFontRun> copies;
    size_t from = m_runs.size();
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].start <= position)
            from = i;
    }
    if (from == m_runs.size())
        return copies;
    copies.assign(m_runs.begin() + qsizetype(from), m_runs.end());
    copies.front().start = 0;
    for (size_t i = 1; i < copies.size(); ++i)
        copies[i].start = ClampToInt(qint64(copies[i].start) - position);
    return copies;
}

BOOL CRichText::IsNbspAt(int position) const
{
    return std::any_of(m_tags.begin(), m_tags.end(), [position](const CRichTag& tag) {
        return tag.BaseKind() == CRichTag::Nbsp && tag.position == position;
    });
}

int CRichText::CountChars(const QString& text)
{
    CharCounter counter;
    for (QChar c : text)
        counter.Add(c);
    return ClampToInt(counter.Count());
}

// --- writing the mark-up back -------------------------------------------------------

QString CRichText::ToMarkup(const QString& plainText, int offset) const
{
    QString out;
    out.reserve(plainText.size() + qsizetype(m_tags.size()) * 8);
    // Where the walk is in the plain text: its index and the position it
    // counts (a pair of different line breaks is one position).
    qsizetype index = 0;
    qint64 counted = 0;
    const auto step = [&] {
        const QChar c = plainText[index++];
        if (index < plainText.size() && IsLineBreak(c) && IsLineBreak(plainText[index]) &&
            plainText[index] != c)
            ++index;
        ++counted;
    };

    for (const CRichTag& tag : m_tags) {
        const qsizetype cut = index;
        const qint64 target = qint64(tag.position) - offset;
        while (counted < target && index < plainText.size())
            step();
        out += QStringView(plainText).mid(cut, index - cut);

        const bool opening = tag.IsOpening();
        switch (tag.BaseKind()) {
        case CRichTag::Face:
        case CRichTag::Size:
        case CRichTag::Colour:
            if (opening) {
                static constexpr const char* kAttribute[] = {"face", "size", "colour"};
                out += QStringLiteral("<font %1=\"%2\">")
                           .arg(QLatin1StringView(kAttribute[tag.BaseKind()]), tag.value);
            } else {
                out += QStringLiteral("</font>");
            }
            break;
        case CRichTag::Bold:
            out += opening ? QStringLiteral("<b>") : QStringLiteral("</b>");
            break;
        case CRichTag::Italic:
            out += opening ? QStringLiteral("<i>") : QStringLiteral("</i>");
            break;
        case CRichTag::Underline:
            out += opening ? QStringLiteral("<u>") : QStringLiteral("</u>");
            break;
        case CRichTag::Superscript:
            out += opening ? QStringLiteral("<sup>") : QStringLiteral("</sup>");
            break;
        case CRichTag::Subscript:
            out += opening ? QStringLiteral("<sub>") : QStringLiteral("</sub>");
            break;
        case CRichTag::Nbsp:
            out += QStringLiteral("&nbsp;");
            // The space that stands for it (when the text still has one there).
            if (index < plainText.size() && plainText[index] == u' ' && counted == target)
                step();
            break;
        default:
            break;
        }
    }
    out += QStringView(plainText).mid(index);
    return out;
}

// --- archive ------------------------------------------------------------------

void CRichText::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << DWORD(m_tags.size());
        for (const CRichTag& tag : m_tags)
            ar << tag.position << tag.kind << tag.value << tag.match;
        ar << DWORD(m_runs.size());
        for (const CFontRun& run : m_runs) {
            ar << run.start << DWORD(run.colour) << int(run.superscript) << int(run.subscript);
            // Storing reads the record only; it was made as a mutable object.
            const_cast<CLogFont&>(*run.font).Serialize(ar);
        }
        return;
    }

    ClearTags();
    ClearRuns();
    // Smallest records: a tag with an empty value, a run with an empty face.
    constexpr qsizetype kMinTagBytes = 4 + 1 + 1 + 4;
    constexpr qsizetype kMinRunBytes = 4 * 4 + 5 * 4 + 8 + 1;
    const DWORD tagCount = ar.ReadDWord();
    ar.EnsureRemaining(qsizetype(tagCount) * kMinTagBytes);
    m_tags.reserve(tagCount);
    for (DWORD i = 0; i < tagCount; ++i) {
        CRichTag tag;
        tag.position = ar.ReadInt();
        tag.kind = ar.ReadByte();
        tag.value = ar.ReadString();
        tag.match = ar.ReadInt();
        m_tags.push_back(std::move(tag));
    }
    const DWORD runCount = ar.ReadDWord();
    ar.EnsureRemaining(qsizetype(runCount) * kMinRunBytes);
    m_runs.reserve(runCount);
    for (DWORD i = 0; i < runCount; ++i) {
        CFontRun run;
        run.start = ar.ReadInt();
        run.colour = ar.ReadDWord();
        run.superscript = ar.ReadInt() != 0 ? TRUE : FALSE;
        run.subscript = ar.ReadInt() != 0 ? TRUE : FALSE;
        auto font = std::make_shared<CLogFont>();
        font->Serialize(ar);
        run.gdiFont = font->GetDrawingFont();
        run.font = std::move(font);
        m_runs.push_back(std::move(run));
    }
}
