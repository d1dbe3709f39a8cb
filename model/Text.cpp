#include "Text.h"

#include "AppContext.h"
#include "Box.h"
#include "Codec1252.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "Messages.h"
#include "Rounding.h"
#include "TextExport.h"
#include "WaitCursor.h"

#include <QStringList>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numbers>
#include <optional>

IMPLEMENT_PERSISTENT(CText, CElement, 1)

namespace {

// Stored coordinates and margins beyond these cannot come from a sign; a
// record holding them is damaged.
constexpr int kMaxStoredCoordinate = 1 << 20;

TextBulletFactory g_makeBullets = nullptr;

// The text as the sign holds it: one Windows-1252 byte per character.
QString SingleByte(const QString& text)
{
    return FromWindows1252(ToWindows1252(text));
}

int ClampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

int ClampToInt(double value)
{
    if (!(value > double(INT_MIN)))
        return INT_MIN;
    if (!(value < double(INT_MAX)))
        return INT_MAX;
    return static_cast<int>(value);
}

// Half of a free length, as the alignment takes it: (free + 1) / 2.
int HalfOf(int free)
{
    return ClampToInt((double(free) + 1.0) * 0.5);
}

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

int RotationStepDegrees()
{
    return RoundHalfAway(App().general.rotationAngle * 180.0 / std::numbers::pi);
}

// The smallest rectangle around the rectangle's corners turned clockwise by
// the angle about the centre.
CRect TurnedBounds(const CRect& r, CPoint centre, int degrees)
{
    CPoint corners[4] = {
        {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    CRect bounds(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (CPoint& p : corners) {
        RotatePoint(p, centre.x, centre.y, degrees);
        bounds.left = std::min(bounds.left, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::max(bounds.bottom, p.y);
    }
    return bounds;
}

void CheckCoordinate(int v)
{
    if (std::abs(qint64(v)) > kMaxStoredCoordinate)
        throw CArchiveException(CArchiveException::generic,
                                "archive: text coordinate out of range");
}

CPoint ReadStoredPoint(CArchive& ar)
{
    CPoint p;
    ar >> p;
    CheckCoordinate(p.x);
    CheckCoordinate(p.y);
    return p;
}

CRect ReadStoredRect(CArchive& ar)
{
    CRect r;
    ar >> r;
    for (int v : {r.left, r.top, r.right, r.bottom})
        CheckCoordinate(v);
    return r;
}

} // namespace

void RegisterTextBullets(TextBulletFactory make)
{
    g_makeBullets = make;
}

// --- construction ------------------------------------------------------------

CText::CText()
{
    const CTextDefaults& text = CTextDefaults::Current();
    const CTextElementDefaults& d = App().Get<CTextElementDefaults>();
    m_font = text.font;
    m_textColour = text.colour;
    m_colouredBackground = d.colouredBackground;
    m_backgroundColour = d.backgroundColour;
    m_horzJustify = d.horzJustify;
    m_vertJustify = d.vertJustify;
    m_minHeight = m_font.SnapHeight(d.minHeight);
    m_maxHeight = m_font.SnapHeight(d.maxHeight);
    m_preserveBreaks = d.preserveLineBreaks;
    m_sampleText = m_text = LoadStringId(IDS_SAMPLE_TEXT);
    m_richText.AddRun(m_font, m_textColour);
    m_sampleRichText.AddRun(m_font, m_textColour);
}

CText::CText(const CText& other) : CElement(other)
{
    CopyFrom(other);
}

CText& CText::operator=(const CText& other)
{
    if (this == &other)
        return *this;
    CElement::operator=(other);
    CopyFrom(other);
    return *this;
}

CText::~CText() = default;

void CText::CopyFrom(const CText& other)
{
    m_position = other.m_position;
    m_text = other.m_text;
    m_richText = other.m_richText;
    m_textRect = other.m_textRect;
    m_font = other.m_font;
    m_colouredBackground = other.m_colouredBackground;
    m_textColour = other.m_textColour;
    m_backgroundColour = other.m_backgroundColour;
    m_forceSpellCheck = other.m_forceSpellCheck;
    m_formatRect = other.m_formatRect;
    m_horzJustify = other.m_horzJustify;
    m_vertJustify = other.m_vertJustify;
    m_copyFit = other.m_copyFit;
    m_minHeight = other.m_minHeight;
    m_maxHeight = other.m_maxHeight;
    m_lineSpaceMode = other.m_lineSpaceMode;
    m_lineSpaceAmount = other.m_lineSpaceAmount;
    m_preserveBreaks = other.m_preserveBreaks;
    m_maxLines = other.m_maxLines;
    m_frameBox = other.m_frameBox ? std::make_unique<CBox>(*other.m_frameBox) : nullptr;
    m_frameRect = other.m_frameRect;
    m_horzMargin = other.m_horzMargin;
    m_vertMargin = other.m_vertMargin;
    m_bullets.reset(other.m_bullets ? other.m_bullets->Clone() : nullptr);
    m_bulletLines = other.m_bulletLines;
    m_sampleText = other.m_sampleText;
    m_sampleRichText = other.m_sampleRichText;

    // The lines again, with runs of this text's own rich text, where the
    // other's lines stand.
    ClearLines();
    for (size_t i = 0; i < other.m_lines.size(); ++i) {
        const CTextLines& source = *other.m_lines[i];
        CTextLines& line = InsertLine(static_cast<int>(i), static_cast<int>(other.m_lineStarts[i]),
                                      source.GetText());
        line.LayOut(source.GetOrigin());
    }
}

CElement* CopyTextElement(const CElement& element)
{
    if (!element.IsKindOf(RUNTIME_CLASS(CText)))
        return nullptr;
    return new CText(static_cast<const CText&>(element));
}

// --- lines -------------------------------------------------------------------

void CText::ClearLines()
{
    m_lines.clear();
    m_lineStarts.clear();
}

CTextLines& CText::InsertLine(int index, int start, const QString& text)
{
    const auto at = static_cast<qsizetype>(index);
    m_lines.insert(m_lines.begin() + at,
                   std::make_unique<CTextLines>(m_richText.GetRunsFrom(start), text));
    m_lineStarts.insert(m_lineStarts.begin() + at, DWORD(std::max(start, 0)));
    return *m_lines[size_t(index)];
}

void CText::SplitLines(const QString& text)
{
    ClearLines();
    QStringList parts;
    std::vector<int> starts;
    QString part;
    int position = 0; // a pair of different breaks counts once, as rich text counts
    int partStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!CRichText::IsLineBreak(c)) {
            part += c;
            ++position;
            continue;
        }
        parts << part;
        starts.push_back(partStart);
        part.clear();
        if (i + 1 < text.size() && CRichText::IsLineBreak(text[i + 1]) && text[i + 1] != c)
            ++i;
        ++position;
        partStart = position;
    }
    parts << part;
    starts.push_back(partStart);

    if (m_copyFit && !m_preserveBreaks) {
        InsertLine(0, 0, parts.join(u' '));
        return;
    }
    for (qsizetype k = 0; k < parts.size(); ++k) {
        if (!m_copyFit && m_maxLines > 0 && k >= m_maxLines)
            break;
        InsertLine(static_cast<int>(k), starts[size_t(k)], parts[k]);
    }
}

void CText::SetTextFromLines(const QString& text)
{
    QString value = SingleByte(text);
    FormatDataText(value);
    SplitLines(value);
    QStringList lines;
    for (const auto& line : m_lines)
        lines << line->GetText();
    m_text = lines.join(u'\n');
}

int CText::CountParagraphs() const
{
    if (m_text.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == u'\n' && (i == 0 || m_text[i - 1] != u'\n'))
            ++count;
    }
    if (!m_text.endsWith(u'\n'))
        ++count;
    return count;
}

int CText::GetLineSpacing(int line) const
{
    switch (m_lineSpaceMode) {
    case LINESPACE_PERCENT: {
        const CTextMetrics& tm = m_font.GetTextMetrics();
        return ClampToInt(double(tm.tmHeight + tm.tmExternalLeading) * m_lineSpaceAmount * 0.01 +
                          0.5);
    }
    case LINESPACE_PER_INCH:
        // No lines per inch at all is no rule: the lines keep their heights.
        if (m_lineSpaceAmount > 0)
            return RoundHalfUp(1.0 / m_lineSpaceAmount * 254.0);
        break;
    default:
        break;
    }
    if (line < 0 || size_t(line) >= m_lines.size())
        return 0;
    return m_lines[size_t(line)]->GetHeight();
}

int CText::GetAngle() const
{
    const LONG orientation = m_font.GetLogFont().lfOrientation;
    if (orientation <= 0)
        return 0;
    return ((360 - orientation / 10) % 360 + 360) % 360;
}

CRect CText::GetPlacedFormatRect() const
{
    return CRect(m_position.x, m_position.y, m_position.x + m_formatRect.Width(),
                 m_position.y + m_formatRect.Height());
}

void CText::GrowFrameToFit()
{
    int needHeight = 0;
    int needWidth = 0;
    if (!m_lines.empty() && !m_text.isEmpty()) {
        needHeight = m_lines.front()->GetHeight();
        needWidth = m_lines.front()->GetWidth(1);
        if (needWidth == 0)
            needWidth = m_font.GetTextMetrics().tmAveCharWidth;
    } else {
        std::optional<CLogFont> smallest;
        if (m_copyFit && m_text.isEmpty()) {
            smallest.emplace(m_font);
            smallest->SetHeight(m_minHeight);
        }
        const CTextMetrics& tm = (smallest ? *smallest : m_font).GetTextMetrics();
        needHeight = tm.tmHeight + tm.tmExternalLeading;
        needWidth = tm.tmAveCharWidth;
    }
    if (m_bullets) {
        m_bullets->Layout(CountParagraphs(), nullptr, m_font.GetHeight());
        needWidth += m_bullets->GetIndent();
    }
    if (m_formatRect.Height() < needHeight)
        m_formatRect.bottom = m_formatRect.top + needHeight;
    if (m_formatRect.Width() < needWidth)
        m_formatRect.right = m_formatRect.left + needWidth;
}

void CText::ApplyFont()
{
    m_richText.SetDefaultFont(m_font, m_textColour);
    m_sampleRichText.SetDefaultFont(m_font, m_textColour);
    m_minHeight = m_font.SnapHeight(m_minHeight);
    m_maxHeight = m_font.SnapHeight(m_maxHeight);
    SplitLines(m_text);
}

void CText::ShowSample()
{
    QString plain = m_sampleText;
    m_sampleRichText.Parse(plain, StartOffset(), m_font, m_textColour);
    m_richText = m_sampleRichText;
    SetTextFromLines(plain);
}

// --- layout --------------------------------------------------------------------

void CText::Reformat()
{
    Reformat(CurrentView(), FALSE);
}

void CText::Reformat(CView* view, BOOL skipCopyFit)
{
    CWaitCursor wait;
    Invalidate(view, TRUE);

    if (m_copyFit && !skipCopyFit)
        CopyFit();
    else if (!m_copyFit && m_bullets)
        MarkBulletLines(-1);

    int indent = 0;
    if (m_bullets && !m_bulletLines.empty()) {
        m_bullets->Layout(static_cast<int>(m_bulletLines.size()), nullptr, m_font.GetHeight());
        indent = m_bullets->GetIndent();
    }

    // The block at the position: every line's spacing but the last one's,
    // which counts with its own height.
    const size_t count = m_lines.size();
    std::vector<int> widths(count);
    qint64 height = 0;
    int widest = 0;
    for (size_t i = 0; i < count; ++i) {
        widths[i] = m_lines[i]->GetWidth();
        widest = std::max(widest, widths[i]);
        height += i + 1 < count ? GetLineSpacing(static_cast<int>(i)) : m_lines[i]->GetHeight();
    }
    m_textRect =
        CRect(m_position.x, m_position.y, ClampToInt(qint64(m_position.x) + indent + widest),
              ClampToInt(m_position.y + height));

    const CRect format = GetPlacedFormatRect();
    if (m_copyFit) {
        m_textRect.bottom = std::min(m_textRect.bottom, format.bottom);
        const int freeWidth = format.Width() - m_textRect.Width();
        const int freeHeight = format.Height() - m_textRect.Height();
        int dx = 0;
        if (m_horzJustify == JUSTIFY_CENTRE || m_horzJustify == JUSTIFY_BLOCK_CENTRE)
            dx = HalfOf(freeWidth);
        else if (m_horzJustify == JUSTIFY_RIGHT)
            dx = freeWidth;
        int dy = 0;
        if (m_vertJustify == JUSTIFY_MIDDLE)
            dy = HalfOf(freeHeight);
        else if (m_vertJustify == JUSTIFY_BOTTOM)
            dy = freeHeight;
        m_textRect.OffsetRect(dx, dy);
    }

    const int blockWidth = m_textRect.Width() - indent;
    std::vector<CPoint> origins(count);
    qint64 y = m_textRect.top;
    for (size_t i = 0; i < count; ++i) {
        int x = m_textRect.left + indent;
        if (m_horzJustify == JUSTIFY_CENTRE)
            x += HalfOf(blockWidth - widths[i]);
        else if (m_horzJustify == JUSTIFY_RIGHT)
            x += blockWidth - widths[i];
        origins[i] = CPoint(x, ClampToInt(y));
        m_lines[i]->LayOut(origins[i]);
        y += GetLineSpacing(static_cast<int>(i));
    }

    if (m_bullets) {
        std::vector<CPoint> places;
        for (DWORD line : m_bulletLines) {
            if (line < count)
                places.emplace_back(origins[line].x - indent, origins[line].y);
        }
        if (places.empty())
            m_bullets->Clear();
        else
            m_bullets->Layout(static_cast<int>(places.size()), &places, m_font.GetHeight());
    }

    if (m_frameBox)
        PlaceFrame(m_copyFit ? format : m_textRect);

    const int angle = GetAngle();
    if (angle > 0) {
        for (const auto& line : m_lines) {
            CPoint origin = line->GetOrigin();
            RotatePoint(origin, m_position.x, m_position.y, angle);
            line->LayOut(origin);
        }
        if (m_bullets)
            m_bullets->RotateItems(m_position, angle);
    }

    UpdateRects(view);
    Invalidate(view, FALSE);
}

void CText::PlaceFrame(const CRect& around)
{
    const int thickness = m_frameBox->m_thickness;
    CRect r = around;
    r.InflateRect(m_horzMargin, m_vertMargin, m_horzMargin, m_vertMargin);
    r.InflateRect(thickness, thickness, thickness, thickness);
    m_frameRect = r;
    // A box stands upright: a turned text gets the box around its turned
    // frame, which is the frame itself for quarter turns.
    const int angle = GetAngle();
    m_frameBox->SetBounds(nullptr, angle > 0 ? TurnedBounds(r, m_position, angle) : r);
}

void CText::RecalcPosition(CView* view)
{
    const int angle = GetAngle();
    m_orientation = angle / 90 * 90;
    if (m_frameBox) {
        // The box stands upright around the frame turned with the lines.
        m_frameBox->RecalcPosition(view);
        CRect r = m_frameRect;
        r.NormalizeRect();
        m_bounds = angle > 0 ? TurnedBounds(r, m_position, angle) : r;
        return;
    }
    // The rectangle turns about its top-left corner, the text's position,
    // exactly as the background is drawn.
    CRect r = m_copyFit ? GetPlacedFormatRect() : m_textRect;
    r.NormalizeRect();
    if (angle > 0) {
        CPoint corners[4];
        RotateRectCorners(r.left, r.top, r.right, r.bottom, corners, angle);
        r = CRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
        for (const CPoint& p : corners) {
            r.left = std::min(r.left, p.x);
            r.top = std::min(r.top, p.y);
            r.right = std::max(r.right, p.x);
            r.bottom = std::max(r.bottom, p.y);
        }
    }
    m_bounds = r;
}

// --- drawing -----------------------------------------------------------------

void CText::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    const bool quiet = dc->IsPrinting() || (m_state & STATE_DATA_ENTRY);
    if (m_frameBox) {
        if (!(quiet && IsEmpty()))
            m_frameBox->Draw(dc, clip);
    } else {
        DrawBackground(dc);
    }
    for (const auto& line : m_lines)
        line->Draw(dc);
    if (m_bullets)
        m_bullets->DrawItems(dc);
    DrawTracker(dc);
}

void CText::DrawBackground(CDC* dc) const
{
    const bool printing = dc->IsPrinting();
    const bool dataEntry = (m_state & STATE_DATA_ENTRY) != 0;
    if ((printing || dataEntry) && IsEmpty())
        return;
    CPen pen;
    if (m_copyFit && !printing && !dataEntry && !m_ownedByTable)
        pen = CPen(PS_DOT, 0, m_textColour); // the format rectangle at design time
    else if (m_colouredBackground)
        pen = CPen(PS_SOLID, 0, m_backgroundColour);
    else
        return;
    const CBrush brush =
        m_colouredBackground && !IsEmpty() ? CBrush::Solid(m_backgroundColour) : CBrush::Null();
    const CRect r = m_copyFit ? GetPlacedFormatRect() : m_textRect;
    CPoint corners[4];
    RotateRectCorners(r.left, r.top, r.right, r.bottom, corners, GetAngle());

    const int saved = dc->SaveDC();
    dc->SelectPen(pen);
    dc->SelectBrush(brush);
    dc->Polygon(corners, 4);
    dc->RestoreDC(saved);
}

// --- creation ----------------------------------------------------------------

void CText::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    m_position = p;
    m_formatRect = CRect(p, p);
    m_maxLines = 1;
    ShowSample();
    Reformat(view, TRUE);
}

void CText::BeginCreateFrame(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] {
        m_copyFit = TRUE;
        m_position = p;
        m_formatRect = CRect(p, p);
    });
}

void CText::TrackCreate(CView* view, int x, int y, BOOL)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] {
        m_formatRect.left = std::min(m_position.x, p.x);
        m_formatRect.right = std::max(m_position.x, p.x);
        m_formatRect.top = std::min(m_position.y, p.y);
        m_formatRect.bottom = std::max(m_position.y, p.y);
    });
}

void CText::EndCreate(CView* view, unsigned)
{
    m_position = m_formatRect.TopLeft();
    GrowFrameToFit();
    // Four lines fill the rectangle, unless four average characters do not
    // fit its width.
    m_font.FitLineHeight(m_formatRect.Height() / 4);
    int height = m_font.GetHeight();
    const int average = m_font.GetTextMetrics().tmAveCharWidth;
    if (average > 0 && m_formatRect.Width() < 4 * average)
        height = RoundHalfUp(m_formatRect.Width() * 0.25 / average * height);
    height = std::max(std::min(height, m_maxHeight), m_minHeight);
    m_font.SetHeight(height);
    ShowSample();
    Reformat(view, FALSE);
}

void CText::SetBounds(CView* view, const CRect& bounds)
{
    CRect r = bounds;
    r.NormalizeRect();
    m_copyFit = TRUE;
    m_formatRect = r;
    const int quarter = GetAngle() / 90 * 90;
    if (quarter != GetAngle()) {
        m_font.SetRotation(quarter);
        ApplyFont();
    }
    m_position = QuarterTurnCorner(r, quarter);
    // On its side the text is laid out in its own axes.
    if (quarter == 90 || quarter == 270)
        m_formatRect = CRect(r.left, r.top, r.left + r.Height(), r.top + r.Width());
    Reformat(view, FALSE);
    m_startRect = m_trackRect;
}

// --- moving, resizing and turning ----------------------------------------------

BOOL CText::KeepsAspectRatio() const
{
    if (!m_copyFit)
        return TRUE;
    return GetAngle() % 90 != 0;
}

BOOL CText::IsHandleEnabled(int handle) const
{
    const bool side = handle == HANDLE_TOP || handle == HANDLE_RIGHT || handle == HANDLE_BOTTOM ||
                      handle == HANDLE_LEFT;
    if (!side)
        return TRUE;
    return m_copyFit && GetAngle() % 90 == 0;
}

void CText::ConstrainAspect()
{
    const bool corner = m_handle == HANDLE_TOP_LEFT || m_handle == HANDLE_TOP_RIGHT ||
                        m_handle == HANDLE_BOTTOM_RIGHT || m_handle == HANDLE_BOTTOM_LEFT;
    if (m_copyFit || !m_frameBox || !corner) {
        CElement::ConstrainAspect();
        return;
    }
    if (m_textRect.Width() == 0 || m_textRect.Height() == 0)
        return;
    // The text keeps its proportions; the frame's margins and line stay.
    const double ratio = double(m_textRect.Width()) / double(m_textRect.Height());
    const int dx = m_horzMargin + m_frameBox->m_thickness;
    const int dy = m_vertMargin + m_frameBox->m_thickness;
    CRect& r = m_trackRect;
    r.InflateRect(-dx, -dy, -dx, -dy);
    const double width = r.Width();
    const double height = r.Height();
    if (height != 0.0 && width / height <= ratio) {
        const int w = RoundHalfAway(height * ratio);
        if (m_handle == HANDLE_TOP_LEFT || m_handle == HANDLE_BOTTOM_LEFT)
            r.left = r.right - w;
        else
            r.right = r.left + w;
    } else {
        const int h = RoundHalfAway(width / ratio);
        if (m_handle == HANDLE_TOP_LEFT || m_handle == HANDLE_TOP_RIGHT)
            r.top = r.bottom - h;
        else
            r.bottom = r.top + h;
    }
    r.InflateRect(dx, dy, dx, dy);
}

void CText::ApplyTrackRect(CView* view)
{
    CRect track = m_trackRect;
    CRect start = m_startRect;
    track.NormalizeRect();
    start.NormalizeRect();
    if (track == start)
        return;
    if (m_frameBox) {
        const int dx = m_horzMargin + m_frameBox->m_thickness;
        const int dy = m_vertMargin + m_frameBox->m_thickness;
        track.InflateRect(-dx, -dy, -dx, -dy);
        start.InflateRect(-dx, -dy, -dx, -dy);
    }
    if (start.Width() == 0 || start.Height() == 0)
        return;
    const double sx = double(track.Width()) / start.Width();
    const double sy = double(track.Height()) / start.Height();
    const auto scaled = [](int length, double factor) { return RoundHalfUp(length * factor); };
    const CRect reference = m_copyFit ? GetPlacedFormatRect() : m_textRect;
    const int scaledX = RoundHalfAway((m_position.x - start.left) * sx) + track.left;
    const int scaledY = RoundHalfAway((m_position.y - start.top) * sy) + track.top;

    int width = 0;
    int height = 0;
    switch (GetAngle() / 90) {
    case 1:
        m_position = CPoint(track.right, scaledY);
        width = scaled(reference.Width(), sy);
        height = scaled(reference.Height(), sx);
        break;
    case 2:
        m_position = CPoint(scaledX, track.bottom);
        width = scaled(reference.Width(), sx);
        height = scaled(reference.Height(), sy);
        break;
    case 3:
        m_position = CPoint(track.left, scaledY);
        width = scaled(reference.Width(), sy);
        height = scaled(reference.Height(), sx);
        break;
    default:
        m_position = CPoint(scaledX, track.top);
        width = scaled(reference.Width(), sx);
        height = scaled(reference.Height(), sy);
        break;
    }

    if (m_copyFit) {
        const CSize oldSize(m_formatRect.Width(), m_formatRect.Height());
        m_formatRect =
            CRect(m_position.x, m_position.y, m_position.x + width, m_position.y + height);
        if (oldSize != CSize(width, height)) {
            Reformat(view, FALSE);
            GrowFrameToFit();
            m_sampleRichText = m_richText;
        } else {
            Reformat(view, TRUE);
        }
        return;
    }

    if (height != reference.Height() && reference.Height() > 0) {
        const int old = m_font.GetHeight();
        const double factor = double(height) / reference.Height();
        if (m_font.SetHeight(RoundHalfUp(factor * old)) != old) {
            m_richText.SetDefaultFont(m_font, m_textColour);
            m_sampleRichText = m_richText;
            SplitLines(m_text);
        }
    }
    Reformat(view, TRUE);
}

void CText::Rotate(CView* view)
{
    m_font.SetRotation(GetAngle() + RotationStepDegrees());
    ApplyFont();
    Reformat(view, FALSE);
}

void CText::RotateAbout(CView* view, CPoint centre)
{
    CPoint p = m_position;
    RotatePointRadians(p, centre.x, centre.y, App().general.rotationAngle);
    m_formatRect.OffsetRect(p.x - m_position.x, p.y - m_position.y);
    m_position = p;
    Rotate(view);
}

// --- element queries -----------------------------------------------------------

int CText::GetContextMenuId() const
{
    return kTextContextMenu;
}

int CText::GetTypeCode() const
{
    return TYPE_TEXT;
}

QString CText::GetTypeName() const
{
    return QStringLiteral("Text");
}

int CText::GetProgressWeight() const
{
    return 1 + static_cast<int>(m_lines.size()) + (m_bullets ? 1 : 0);
}

QString CText::GetText() const
{
    return m_text;
}

QString CText::GetSampleData() const
{
    return m_sampleText;
}

BOOL CText::IsEmpty() const
{
    return m_text.isEmpty();
}

BOOL CText::IsSpellCheckForced() const
{
    return m_forceSpellCheck;
}

// --- fonts and colours -----------------------------------------------------------

BOOL CText::GetFont(CLogFont& font) const
{
    font = m_font;
    return TRUE;
}

void CText::SetFont(CView* view, const CLogFont& font)
{
    m_font = font;
    ApplyFont();
    Reformat(view, FALSE);
}

BOOL CText::GetColour(COLORREF& colour) const
{
    colour = m_textColour;
    return TRUE;
}

BOOL CText::GetFill(COLORREF& colour) const
{
    colour = m_backgroundColour;
    return m_colouredBackground;
}

BOOL CText::GetOutlineColour(COLORREF& colour) const
{
    if (!m_frameBox)
        return FALSE;
    colour = m_frameBox->m_outlineColour;
    return TRUE;
}

BOOL CText::GetBulletColour(COLORREF& colour) const
{
    if (!m_bullets)
        return FALSE;
    colour = m_bullets->GetColour();
    return TRUE;
}

void CText::CopyColoursFrom(const CElement* element)
{
    if (!element)
        return;
    COLORREF colour = 0;
    if (element->GetColour(colour)) {
        m_textColour = colour;
        ShowSample();
    }
    if (m_colouredBackground && element->GetFill(colour)) {
        m_backgroundColour = colour;
        if (m_frameBox)
            m_frameBox->m_fillColour = colour;
    }
    if (m_frameBox && element->GetOutlineColour(colour))
        m_frameBox->m_outlineColour = colour;
    if (m_bullets && element->GetBulletColour(colour))
        m_bullets->SetColour(colour);
    Reformat(CurrentView(), FALSE);
}

void CText::SetFrameBox(const CBox* box)
{
    m_frameBox = box ? std::make_unique<CBox>(*box) : std::make_unique<CBox>();
}

void CText::RemoveFrameBox()
{
    m_frameBox.reset();
}

void CText::SetBullets(const CTextBullets* bullets)
{
    if (bullets)
        m_bullets.reset(bullets->Clone());
    else
        m_bullets.reset(g_makeBullets ? g_makeBullets() : nullptr);
}

void CText::RemoveBullets()
{
    m_bullets.reset();
    m_bulletLines.clear();
}

// --- sample and data ---------------------------------------------------------------

void CText::Refresh()
{
    ShowSample();
    GrowFrameToFit();
    Reformat(CurrentView(), FALSE);
}

void CText::SetSampleData(CView* view, const QString& text)
{
    m_sampleText = text;
    ShowSample();
    GrowFrameToFit();
    Reformat(view, FALSE);
}

QString CText::GetDataText(BOOL sampleOnly)
{
    const CDataLinkSeam* link = App().dataLink;
    const bool dataStore = link && link->GetLinkKind() == 1;
    if (m_dataSource == SOURCE_KEYBOARD && m_useSampleData && !dataStore) {
        // What was entered last, with its mark-up; the prefix and suffix
        // come back with the data rules.
        return m_richText.ToMarkup(GetEnteredData(), StartOffset());
    }
    return CElement::GetDataText(sampleOnly);
}

void CText::SetDataText(const QString& text, int, const QString&, BOOL final)
{
    if (KeepsStartOnlyData())
        return;
    CView* view = CurrentView();
    Invalidate(view, TRUE);
    QString plain = text;
    m_richText.Parse(plain, StartOffset(), m_font, m_textColour);
    SetTextFromLines(plain);
    if (m_copyFit && !final) {
        m_bulletLines.clear();
        WrapAsTyped();
        Reformat(view, TRUE);
    } else {
        Reformat(view, FALSE);
    }
    Invalidate(view, FALSE);
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

void CText::BeginDataEntry()
{
    TakeUpEntryData(TRUE, true);
    CElement::BeginDataEntry();
}

void CText::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        ShowSample();
        Reformat(CurrentView(), FALSE);
    }
    CElement::EndDataEntry();
}

// --- archive -----------------------------------------------------------------

void CText::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_position << m_text << DWORD(m_colouredBackground) << DWORD(m_textColour)
           << DWORD(m_backgroundColour) << m_textRect << m_formatRect << DWORD(m_forceSpellCheck);
        ar << DWORD(m_horzJustify) << DWORD(m_vertJustify) << DWORD(m_copyFit) << DWORD(m_minHeight)
           << DWORD(m_maxHeight) << DWORD(m_preserveBreaks) << DWORD(m_maxLines);
        ar << DWORD(m_lineSpaceMode) << DWORD(m_lineSpaceAmount);
        m_font.Serialize(ar);
        m_sampleRichText.Serialize(ar);
        ar << DWORD(m_frameBox ? 1 : 0);
        if (m_frameBox)
            m_frameBox->Serialize(ar);
        ar << m_frameRect << DWORD(m_horzMargin) << DWORD(m_vertMargin);
        ar << DWORD(m_bullets ? 1 : 0);
        if (m_bullets) {
            m_bullets->Serialize(ar);
            ar.WritePlainArray(m_bulletLines);
        }
        ar << m_sampleText;
        return;
    }

    const int version = App().fileVersion;
    const CPoint position = ReadStoredPoint(ar);
    const QString text = ar.ReadString();
    const BOOL colouredBackground = ar.ReadInt();
    const COLORREF textColour = ar.ReadDWord();
    const COLORREF backgroundColour = ar.ReadDWord();
    const CRect textRect = ReadStoredRect(ar);
    const CRect formatRect = ReadStoredRect(ar);
    if (version < 110) {
        m_filterType = ar.ReadInt();
        m_caseCoercion = ar.ReadInt();
    }
    const BOOL forceSpellCheck = version >= 105 ? ar.ReadInt() : 0;
    const int horzJustify = ar.ReadInt();
    const int vertJustify = ar.ReadInt();
    const BOOL copyFit = ar.ReadInt();
    const int minHeight = ar.ReadInt();
    const int maxHeight = ar.ReadInt();
    const BOOL preserveBreaks = ar.ReadInt();
    const int maxLines = ar.ReadInt();
    int lineSpaceMode = LINESPACE_OWN;
    int lineSpaceAmount = 100;
    if (version >= 240) {
        lineSpaceMode = ar.ReadInt();
        lineSpaceAmount = ar.ReadInt();
    }
    CLogFont font;
    font.Serialize(ar);
    CRichText sampleRichText;
    if (version >= 260) {
        sampleRichText.Serialize(ar);
    } else {
        // Formatting items of old files: a number, a string and eight bytes
        // each, all superseded by the mark-up.
        const DWORD items = ar.ReadCount(4 + 1 + 8);
        for (DWORD i = 0; i < items; ++i) {
            ar.ReadInt();
            ar.ReadString();
            ar.ReadBytes(8);
        }
        sampleRichText.BuildRuns(font, textColour);
    }
    std::unique_ptr<CBox> frameBox;
    if (ar.ReadInt() != 0) {
        frameBox = std::make_unique<CBox>();
        frameBox->Serialize(ar);
    }
    const CRect frameRect = ReadStoredRect(ar);
    const int horzMargin = ar.ReadInt();
    const int vertMargin = ar.ReadInt();
    CheckCoordinate(horzMargin);
    CheckCoordinate(vertMargin);
    std::unique_ptr<CTextBullets> bullets;
    std::vector<DWORD> bulletLines;
    if (version >= 104 && ar.ReadInt() != 0) {
        if (!g_makeBullets)
            throw CArchiveException(CArchiveException::badClass,
                                    "archive: bullet lists cannot be read");
        bullets.reset(g_makeBullets());
        bullets->Serialize(ar);
        ar.ReadPlainArray(bulletLines);
    }
    const QString sampleText = version >= 110 ? ar.ReadString() : text;

    m_position = position;
    m_text = text;
    m_colouredBackground = colouredBackground;
    m_textColour = textColour;
    m_backgroundColour = backgroundColour;
    m_textRect = textRect;
    m_formatRect = formatRect;
    m_forceSpellCheck = forceSpellCheck;
    m_horzJustify = horzJustify;
    m_vertJustify = vertJustify;
    m_copyFit = copyFit;
    m_minHeight = minHeight;
    m_maxHeight = maxHeight;
    m_preserveBreaks = preserveBreaks;
    m_maxLines = maxLines;
    m_lineSpaceMode = lineSpaceMode;
    m_lineSpaceAmount = lineSpaceAmount;
    m_font = font;
    m_sampleRichText = sampleRichText;
    m_frameBox = std::move(frameBox);
    m_frameRect = frameRect;
    m_horzMargin = horzMargin;
    m_vertMargin = vertMargin;
    m_bullets = std::move(bullets);
    m_bulletLines = std::move(bulletLines);
    m_sampleText = sampleText;

    ClearLines();
    if (version >= 110 && version < 260)
        m_sampleText = NormalizeLineBreaks(m_sampleText);
    m_richText = m_sampleRichText;
    if (!m_copyFit)
        SplitLines(m_text);
    Reformat(nullptr, FALSE);
}

// --- text export -------------------------------------------------------------

void CText::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <text>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n",
                                       m_position.x, m_position.y));
    file.WriteString(ExportLine(4, "angle", GetAngle()));
    file.WriteString(ExportLine(4, "text-colour", ColourToHtml(m_textColour)));
    file.WriteString(ExportLine(4, "coloured-background", m_colouredBackground));
    file.WriteString(ExportLine(4, "background-colour", ColourToHtml(m_backgroundColour)));
    file.WriteString(ExportLine(4, "copy-fit", m_copyFit));
    file.WriteString(
        QString::asprintf("    <format-rectangle units=\"TMM\" width=\"%d\" height=\"%d\"/>\n",
                          m_formatRect.Width(), m_formatRect.Height()));
    file.WriteString(QString::asprintf("    <justification horizontal=\"%d\" vertical=\"%d\"/>\n",
                                       m_horzJustify, m_vertJustify));
    file.WriteString(QString::asprintf("    <point-size-range min=\"%d\" max=\"%d\"/>\n",
                                       m_minHeight, m_maxHeight));
    file.WriteString(ExportLine(4, "max-lines", m_maxLines));
    file.WriteString(ExportLine(4, "preserve-breaks", m_preserveBreaks));
    file.WriteString(ExportLine(4, "line-space-mode", m_lineSpaceMode));
    file.WriteString(ExportLine(4, "line-space-amount", m_lineSpaceAmount));
    file.WriteString(ExportLine(4, "force-spell-check", m_forceSpellCheck));
    file.WriteString(QStringLiteral("\n"));
    m_font.WriteXml(file);
    if (m_frameBox) {
        file.WriteString(QStringLiteral("    <border>\n\n"));
        file.WriteString(QString::asprintf("        <thickness units=\"TMM\" value=\"%d\"/>\n",
                                           m_frameBox->m_thickness));
        file.WriteString(
            QString::asprintf("        <margin units=\"TMM\" horizontal=\"%d\" vertical=\"%d\"/>\n",
                              m_horzMargin, m_vertMargin));
        file.WriteString(ExportLine(8, "corner-type", m_frameBox->m_cornerType));
        file.WriteString(ExportLine(8, "colour", ColourToHtml(m_frameBox->m_outlineColour)));
        file.WriteString(QStringLiteral("\n    </border>\n\n"));
    }
    if (m_bullets) {
        const CBulletSettings bullets = m_bullets->GetSettings();
        file.WriteString(QStringLiteral("    <bullets>\n\n"));
        file.WriteString(ExportLine(8, "style", bullets.style));
        file.WriteString(ExportLine(8, "symbol", bullets.symbol));
        file.WriteString(ExportLine(8, "prefix", bullets.prefix));
        file.WriteString(ExportLine(8, "suffix", bullets.suffix));
        file.WriteString(ExportLine(8, "start-value", bullets.startValue));
        file.WriteString(
            QString::asprintf("        <offset units=\"TMM\" value=\"%d\"/>\n", bullets.offset));
        file.WriteString(ExportLine(8, "relative-size", bullets.relativeSize));
        file.WriteString(ExportLine(8, "colour", ColourToHtml(m_bullets->GetColour())));
        file.WriteString(QStringLiteral("\n    </bullets>\n\n"));
    }
    file.WriteString(QStringLiteral("    <sample-data>") + HtmlEscape(m_sampleText) +
                     QStringLiteral("</sample-data>\n"));
    file.WriteString(QStringLiteral("\n  </text>\n\n"));
}
