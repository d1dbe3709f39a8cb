#include "PriceField.h"

#include "AppContext.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "Helpers.h"
#include "PriceFormat.h"
#include "PriceFormatList.h"
#include "PricePreferences.h"
#include "Rounding.h"
#include "TextExport.h"
#include "UndoHistory.h"
#include "WaitCursor.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>

IMPLEMENT_PERSISTENT(CPriceField, CElement, 1)

namespace {

using P = CPriceFormat;

// Stored coordinates beyond these cannot come from a sign; a record holding
// them is damaged.
constexpr int kMaxStoredCoordinate = 1 << 20;

// Ink is measured on fonts of at most this height (tenths of a millimetre),
// this many distinct characters at a time.
constexpr int kMaxInkHeight = 600;
constexpr qsizetype kInkChunk = 16;

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

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

void CheckCoordinate(int v)
{
    if (std::abs(qint64(v)) > kMaxStoredCoordinate)
        throw CArchiveException(CArchiveException::generic,
                                "archive: price coordinate out of range");
}

int Normalized(int degrees)
{
    return int((qint64(degrees) % 360 + 360) % 360);
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

// A height scaled by a format ratio: the product plus 0.5, truncated.
int ScaledHeight(int height, double ratio)
{
    return std::max(ClampToInt(height * ratio + 0.5), 1);
}

// The ink rows of a text in its part's font, drawn upright: top and bottom
// (inclusive), both 0 when nothing could be measured.
struct CInk
{
    int top = 0;
    int bottom = 0;
    int Height() const { return bottom - top + 1; }
};

CInk InkOf(const CTextBase& part, const QString& text)
{
    if (text.isEmpty())
        return {};
    // Which rows hold ink depends neither on the order of the characters
    // nor on repeats: each distinct character is measured once, a few at a
    // time, and a large font on a smaller copy, so that measuring stays
    // small whatever the text and the size.
    QString distinct;
    for (QChar c : text) {
        if (!distinct.contains(c))
            distinct += c;
    }
    const int height = part.GetFont().GetHeight();
    const CTextBase* measured = &part;
    std::optional<CTextBase> smaller;
    double scale = 1.0;
    if (height > kMaxInkHeight) {
        smaller.emplace(part);
        smaller->SetHeight(kMaxInkHeight);
        scale = double(height) / std::max(smaller->GetFont().GetHeight(), 1);
        measured = &*smaller;
    }
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (qsizetype at = 0; at < distinct.size(); at += kInkChunk) {
        const QString chunk = distinct.mid(at, kInkChunk);
        CRect r;
        if (!measured->MeasureText(r, &chunk))
            continue;
        top = std::min(top, r.top);
        bottom = std::max(bottom, r.bottom);
    }
    if (top > bottom)
        return {};
    return {ClampToInt(top * scale), ClampToInt(bottom * scale)};
}

} // namespace

// --- construction ------------------------------------------------------------

CPriceField::CPriceField()
{
    const CPricePreferences& d = CPricePreferences::Current();
    for (int i = 0; i < kPartCount; ++i) {
        const CLogFont font(CLogFont::BoundRecord(d.partFonts[size_t(i)]));
        m_parts[size_t(i)].CreateOwnFont(&font);
        m_parts[size_t(i)].SetColour(d.textColour);
    }
    m_colouredBackground = d.colouredBackground;
    m_backgroundColour = d.backgroundColour;
    m_crossOutPattern = std::clamp(d.crossOutPattern, 0, 2);
    for (CLine& stroke : m_strokes) {
        stroke.m_colour = d.crossOutColour;
        stroke.m_thickness = std::max(d.crossOutThickness, 0);
        stroke.m_endStyle = std::clamp(d.crossOutEndStyle, 0, 3);
    }
    const CPriceFormatList& formats = ThePriceFormatList();
    m_formatName = formats.FindFormat(d.format) ? d.format : CPriceFormatList::StandardFormatName();
    ShowSampleAmounts();
    ApplyFormat();
    RecalcLayout(nullptr);
}

CPriceField::~CPriceField() = default;

CElement* CopyPriceElement(const CElement& element)
{
    if (!element.IsKindOf(RUNTIME_CLASS(CPriceField)))
        return nullptr;
    return new CPriceField(static_cast<const CPriceField&>(element));
}

void RegisterPriceElement()
{
    RegisterElementCopy(TYPE_PRICE, &CopyPriceElement);
    CPriceFormatList::s_isFormatUsed = [](const QString& name) {
        const CElementList& elements = TheElementList();
        for (int i = 0; i < elements.GetCount(); ++i) {
            const auto* price = dynamic_cast<const CPriceField*>(elements.GetAt(i));
            if (price && price->GetFormat().m_name == name)
                return true;
        }
        return false;
    };
}

// --- the format ----------------------------------------------------------------

const CPriceFormat& CPriceField::GetFormat() const
{
    if (m_workingFormat)
        return *m_workingFormat;
    const CPriceFormatList& formats = ThePriceFormatList();
    if (const CPriceFormat* format = formats.FindFormat(m_formatName))
        return *format;
    return *formats.GetStandardFormat();
}

void CPriceField::SetFormat(CView* view, const CPriceFormat* format)
{
    Invalidate(view, TRUE);
    m_formatName = format ? format->m_name : CPriceFormatList::StandardFormatName();
    ApplyFormat();
    RecalcLayout(view);
}

QString CPriceField::DecimalSeparator() const
{
    const QString separator = GetFormat().GetPartText(P::PART_DECIMAL_SEPARATOR);
    return separator.isEmpty() ? GetLocaleString(LOCALE_SMONDECIMALSEP) : separator;
}

// --- splitting and the format rules ---------------------------------------------

QString CPriceField::DigitsOf(const QString& text)
{
    QString digits;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return digits;
}

bool CPriceField::ReadsAsZero(const QString& text)
{
    for (QChar c : text) {
        if (c >= u'1' && c <= u'9')
            return false;
    }
    return true;
}

void CPriceField::SplitPrice(const QString& text, const QString& separator, QString& units,
                             QString& hundredths)
{
    units.clear();
    hundredths.clear();
    qsizetype split = -1;
    if (!separator.isEmpty())
        split = text.indexOf(separator);
    if (split < 0) {
        const QString system = GetLocaleString(LOCALE_SMONDECIMALSEP);
        if (!system.isEmpty())
            split = text.indexOf(system);
    }
    if (split < 0)
        split = text.size();
    for (qsizetype i = 0; i < split && units.size() < kMaxUnitsDigits; ++i) {
        if (text[i] >= u'0' && text[i] <= u'9')
            units += text[i];
    }
    for (qsizetype i = split; i < text.size() && hundredths.size() < 2; ++i) {
        if (text[i] >= u'0' && text[i] <= u'9')
            hundredths += text[i];
    }
    if (hundredths.size() == 1)
        hundredths += u'0';
}

void CPriceField::SplitPrice(const QString& text, QString& units, QString& hundredths) const
{
    SplitPrice(text, GetFormat().GetPartText(P::PART_DECIMAL_SEPARATOR), units, hundredths);
}

void CPriceField::ApplyFormat()
{
    const CPriceFormat& format = GetFormat();
    CTextBase& secondary = m_parts[P::PART_SECONDARY_AMOUNT];
    const auto zero = [&secondary] { return ReadsAsZero(secondary.GetText()); };
    if (format.m_secondaryNeverShow)
        secondary.SetText(QString());
    else if (zero() && secondary.GetText().isEmpty())
        secondary.SetText(QStringLiteral("00"));
    if (format.m_secondaryAlwaysShow && secondary.GetText().isEmpty())
        secondary.SetText(QStringLiteral("00"));
    if (zero() && !format.m_showZeroSecondary) {
        secondary.SetText(QString());
        return;
    }
    if (format.m_showZeroSecondary && zero() && secondary.GetText().isEmpty() &&
        !format.m_secondaryNeverShow)
        secondary.SetText(QStringLiteral("00"));
}

void CPriceField::ShowSampleAmounts()
{
    m_parts[P::PART_PRIMARY_AMOUNT].SetText(m_units);
    m_parts[P::PART_SECONDARY_AMOUNT].SetText(m_hundredths);
}

// --- layout ----------------------------------------------------------------------

void CPriceField::SizeParts()
{
    const CPriceFormat& format = GetFormat();
    std::array<CTextBase, kPartCount>& part = m_parts;
    const int h = m_parts[P::PART_PRIMARY_AMOUNT].GetFont().GetHeight();
    const auto sized = [&](int index, const QString& text, double ratio) {
        part[size_t(index)].SetText(text);
        part[size_t(index)].SetHeight(ScaledHeight(h, ratio));
    };
    const QString symbol = format.GetPartText(P::PART_PRIMARY_SYMBOL);
    const QString separator = format.GetPartText(P::PART_DECIMAL_SEPARATOR);
    const QString secondarySymbol = format.GetPartText(P::PART_SECONDARY_SYMBOL);
    CTextBase& secondary = part[P::PART_SECONDARY_AMOUNT];

    if (!ReadsAsZero(part[P::PART_PRIMARY_AMOUNT].GetText())) {
        sized(P::PART_PRIMARY_SYMBOL, symbol, format.GetPartRatio(P::PART_PRIMARY_SYMBOL));
        GroupUnits();
        if (!secondary.GetText().isEmpty()) {
            sized(P::PART_DECIMAL_SEPARATOR, separator,
                  format.GetPartRatio(P::PART_DECIMAL_SEPARATOR));
            secondary.SetHeight(ScaledHeight(h, format.GetPartRatio(P::PART_SECONDARY_AMOUNT)));
        } else {
            part[P::PART_DECIMAL_SEPARATOR].SetText(QString());
        }
        part[P::PART_SECONDARY_SYMBOL].SetText(QString());
        return;
    }

    if (!secondarySymbol.isEmpty()) {
        // A price below one unit shown in the secondary unit: 99 and its symbol.
        sized(P::PART_SECONDARY_SYMBOL, secondarySymbol,
              format.GetPartRatio(P::PART_SECONDARY_SYMBOL));
        if (secondary.GetText().isEmpty())
            secondary.SetText(QStringLiteral("0"));
        for (int index : {0, 1, 2})
            part[size_t(index)].SetText(QString());
        if (!ReadsAsZero(secondary.GetText()))
            secondary.StripLeadingZeros();
        if (!secondary.GetText().isEmpty())
            secondary.SetHeight(h);
        return;
    }

    if (format.m_showPrimaryAmount) {
        sized(P::PART_PRIMARY_SYMBOL, symbol, format.GetPartRatio(P::PART_PRIMARY_SYMBOL));
        part[P::PART_PRIMARY_AMOUNT].SetText(QStringLiteral("0"));
    } else {
        part[P::PART_PRIMARY_SYMBOL].SetText(QString());
        part[P::PART_PRIMARY_AMOUNT].SetText(QString());
    }
    part[P::PART_SECONDARY_SYMBOL].SetText(QString());
    if (!secondary.GetText().isEmpty()) {
        if (format.m_showPrimaryAmount) {
            sized(P::PART_DECIMAL_SEPARATOR, separator,
                  format.GetPartRatio(P::PART_DECIMAL_SEPARATOR));
            secondary.SetHeight(ScaledHeight(h, format.GetPartRatio(P::PART_SECONDARY_AMOUNT)));
        } else {
            sized(P::PART_DECIMAL_SEPARATOR, separator, 1.0);
            secondary.SetHeight(h);
        }
    } else {
        part[P::PART_DECIMAL_SEPARATOR].SetText(QString());
    }
}

void CPriceField::GroupUnits()
{
    CTextBase& units = m_parts[P::PART_PRIMARY_AMOUNT];
    const QString digits = DigitsOf(units.GetText());
    const QString separator = GetFormat().m_thousandsSeparator;
    if (separator.isEmpty()) {
        units.SetText(digits);
        return;
    }
    QString grouped;
    const qsizetype first = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (i - first) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    units.SetText(grouped);
}

void CPriceField::MeasureLayout()
{
    qint64 width = 0;
    for (const CTextBase& part : m_parts)
        width += part.GetTextWidth();
    const int h = m_parts[P::PART_PRIMARY_AMOUNT].GetFont().GetHeight();
    m_layoutRect =
        CRect(m_position.x, m_position.y, ClampToInt(qint64(m_position.x) + (width + 5) / 10),
              ClampToInt(qint64(m_position.y) + h));
}

CRect CPriceField::GetPlacedFormatRect() const
{
    return CRect(m_position.x, m_position.y,
                 ClampToInt(qint64(m_position.x) + m_formatRect.Width()),
                 ClampToInt(qint64(m_position.y) + m_formatRect.Height()));
}

void CPriceField::JustifyLayout()
{
    CRect w = GetPlacedFormatRect();
    const int width = m_layoutRect.Width();
    const int height = m_layoutRect.Height();
    if (!m_copyFit) {
        if (m_horzJustify == 1) {
            const int d = (width - w.Width()) / 2;
            w.left -= d;
            w.right += d;
            m_layoutRect.OffsetRect(w.left - m_layoutRect.left, 0);
        } else if (m_horzJustify == 2) {
            w.left = w.right - width;
            m_layoutRect.OffsetRect(w.left - m_layoutRect.left, 0);
        }
    }
    if (m_horzJustify == 1)
        m_layoutRect.OffsetRect(ClampToInt((double(w.Width()) - width + 1.0) * 0.5), 0);
    else if (m_horzJustify == 2)
        m_layoutRect.OffsetRect(w.Width() - width, 0);
    if (m_copyFit) {
        if (m_vertJustify == 1)
            m_layoutRect.OffsetRect(0, ClampToInt((double(w.Height()) - height + 1.0) * 0.5));
        else if (m_vertJustify == 2)
            m_layoutRect.OffsetRect(0, w.Height() - height);
    }
}

std::pair<int, int> CPriceField::InkRows(const CTextBase& part, const QString& text) const
{
    // The key holds all that the drawing depends on: the font as drawn, its
    // height and the text's width in it (which follows the metrics in use),
    // and the text.
    const CLogFont& font = part.GetFont();
    const LogFontFields f = font.GetDrawingFont();
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                            .arg(f.lfHeight)
                            .arg(f.lfWidth)
                            .arg(f.lfWeight)
                            .arg(int(f.lfItalic) | int(f.lfUnderline) << 1 |
                                 int(f.lfStrikeOut) << 2 | int(f.lfCharSet) << 8)
                            .arg(int(f.lfQuality) | int(f.lfPitchAndFamily) << 8)
                            .arg(font.GetHeight())
                            .arg(font.GetTextWidth(text))
                            .arg(f.lfFaceName, text);
    if (const auto found = m_inkRows.constFind(key); found != m_inkRows.cend())
        return *found;
    const CInk ink = InkOf(part, text);
    // A few fonts and texts are in use at a time.
    if (m_inkRows.size() >= 64)
        m_inkRows.clear();
    return m_inkRows[key] = {ink.top, ink.bottom};
}

void CPriceField::PlaceParts()
{
    const CPriceFormat& format = GetFormat();
    const bool after = format.m_symbolAfterAmount != 0;
    // The order the parts follow each other in.
    const int order[kPartCount] = {after ? 1 : 0, after ? 2 : 1, after ? 3 : 2, after ? 0 : 3, 4};
    std::array<qint64, kPartCount> offset{};
    qint64 sum = 0;
    for (int index : order) {
        offset[size_t(index)] = sum;
        // The secondary symbol follows the amounts, never the trailing symbol.
        if (!(after && index == P::PART_PRIMARY_SYMBOL))
            sum += m_parts[size_t(index)].GetTextWidth();
    }
    if (after)
        offset[P::PART_PRIMARY_SYMBOL] = offset[P::PART_SECONDARY_SYMBOL];

    const CTextBase& primary = m_parts[P::PART_PRIMARY_AMOUNT];
    const QString zero = QStringLiteral("0");
    const auto inkOf = [this](const CTextBase& part, const QString& text) {
        const auto [top, bottom] = InkRows(part, text);
        return CInk{top, bottom};
    };
    const CInk reference = inkOf(primary, zero);
    const int referenceAscent = primary.GetFont().GetTextMetrics().tmAscent;
    for (int i = 0; i < kPartCount; ++i) {
        CTextBase& part = m_parts[size_t(i)];
        const int x = ClampToInt(qint64(m_layoutRect.left) + (offset[size_t(i)] + 5) / 10);
        int y = m_layoutRect.top;
        if (i != P::PART_PRIMARY_AMOUNT && !part.GetText().isEmpty()) {
            const bool symbol = i == P::PART_PRIMARY_SYMBOL || i == P::PART_SECONDARY_SYMBOL;
            const CInk ink = inkOf(part, symbol ? part.GetText() : zero);
            switch (format.GetPartAlignment(i)) {
            case P::ALIGN_TOP:
                y += reference.top - ink.top;
                break;
            case P::ALIGN_CENTRE:
                y += reference.top - ink.top + (reference.Height() - ink.Height()) / 2;
                break;
            case P::ALIGN_BOTTOM:
                y += reference.bottom - ink.bottom;
                break;
            default:
                y += referenceAscent - part.GetFont().GetTextMetrics().tmAscent;
                break;
            }
        }
        CPoint origin(x, y);
        if (m_angle != 0)
            RotatePoint(origin, m_position.x, m_position.y, m_angle);
        part.SetOrigin(origin.x, origin.y);
    }
}

void CPriceField::PlaceStrokes()
{
    if (!m_crossOut)
        return;
    const int half = m_strokes[0].m_thickness / 2;
    CRect r = m_layoutRect;
    r.InflateRect(-half, -half, -half, -half);
    CPoint corners[4] = {
        {r.left, r.bottom}, {r.right, r.top}, {r.left, r.top}, {r.right, r.bottom}};
    for (CPoint& p : corners)
        RotatePoint(p, m_position.x, m_position.y, m_angle);
    // The first stroke rises from the bottom-left, the second falls from
    // the top-left.
    m_strokes[0].SetPoints(nullptr, corners[0], corners[1]);
    m_strokes[1].SetPoints(nullptr, corners[2], corners[3]);
}

void CPriceField::RecalcLayout(CView* view)
{
    CWaitCursor wait;
    Invalidate(view, TRUE);
    SizeParts();
    MeasureLayout();
    if (m_copyFit) {
        const CRect format = GetPlacedFormatRect();
        const int width = m_layoutRect.Width();
        const int height = m_layoutRect.Height();
        if (width > 0 && height > 0 && format.Width() > 0 && format.Height() > 0) {
            const double factor =
                std::min(double(format.Width()) / width, double(format.Height()) / height);
            CTextBase& primary = m_parts[P::PART_PRIMARY_AMOUNT];
            primary.SetHeight(ClampToInt(primary.GetFont().GetHeight() * factor));
            SizeParts();
            MeasureLayout();
        }
    }
    JustifyLayout();
    PlaceParts();
    PlaceStrokes();
    UpdateRects(view);
    Invalidate(view, FALSE);
}

void CPriceField::RecalcPosition(CView* view)
{
    CRect r = m_layoutRect;
    if (m_copyFit || m_horzJustify != 0)
        r = CRect::Union(r, GetPlacedFormatRect());
    r.NormalizeRect();
    m_orientation = m_angle / 90 * 90;
    if (m_angle != 0)
        r = TurnedBounds(r, m_position, m_angle);
    m_bounds = r;
    if (m_crossOut) {
        for (CLine& stroke : m_strokes)
            stroke.RecalcPosition(view);
    }
}

BOOL CPriceField::HasUniformTypeface() const
{
    const CLogFont& first = m_parts[0].GetFont();
    for (int i = 1; i < kPartCount; ++i) {
        const CLogFont& font = m_parts[size_t(i)].GetFont();
        if (font.GetFaceName().compare(first.GetFaceName(), Qt::CaseInsensitive) != 0 ||
            font.GetStyleIndex() != first.GetStyleIndex())
            return FALSE;
    }
    return TRUE;
}

// --- drawing -------------------------------------------------------------------

void CPriceField::DrawBackground(CDC* dc) const
{
    CPoint corners[4] = {{m_layoutRect.left, m_layoutRect.top},
                         {m_layoutRect.right, m_layoutRect.top},
                         {m_layoutRect.right, m_layoutRect.bottom},
                         {m_layoutRect.left, m_layoutRect.bottom}};
    for (CPoint& p : corners)
        RotatePoint(p, m_position.x, m_position.y, m_angle);
    const int saved = dc->SaveDC();
    dc->SelectPen(CPen(PS_SOLID, 0, m_backgroundColour));
    dc->SelectBrush(CBrush::Solid(m_backgroundColour));
    dc->Polygon(corners, 4);
    dc->RestoreDC(saved);
}

void CPriceField::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }
    if (m_dataSource != SOURCE_FIXED && IsEmpty()) {
        DrawTracker(dc);
        return;
    }
    if (m_colouredBackground)
        DrawBackground(dc);
    for (const CTextBase& part : m_parts)
        part.Draw(dc);
    if (m_crossOut) {
        if (m_crossOutPattern != CROSS_OUT_DOWNWARD)
            m_strokes[0].Draw(dc, clip);
        if (m_crossOutPattern != CROSS_OUT_UPWARD)
            m_strokes[1].Draw(dc, clip);
    }
    DrawTracker(dc);
}

// --- creation, moving, resizing and turning ----------------------------------------

void CPriceField::BeginCreate(CView* view, int x, int y)
{
    m_position = SnapPoint(x, y);
    m_parts[P::PART_PRIMARY_SYMBOL].SetText(GetFormat().GetPartText(P::PART_PRIMARY_SYMBOL));
    RecalcLayout(view);
}

BOOL CPriceField::KeepsAspectRatio() const
{
    return (m_dataSource != SOURCE_FIXED && m_copyFit) ? FALSE : TRUE;
}

BOOL CPriceField::IsHandleEnabled(int handle) const
{
    switch (handle) {
    case HANDLE_TOP_LEFT:
    case HANDLE_TOP_RIGHT:
    case HANDLE_BOTTOM_RIGHT:
    case HANDLE_BOTTOM_LEFT:
        return TRUE;
    default:
        break;
    }
    if (m_copyFit)
        return TRUE;
    if (m_horzJustify == 0)
        return FALSE;
    if (m_angle == 0 || m_angle == 180)
        return handle == HANDLE_RIGHT || handle == HANDLE_LEFT;
    if (m_angle == 90 || m_angle == 270)
        return handle == HANDLE_TOP || handle == HANDLE_BOTTOM;
    return FALSE;
}

void CPriceField::ApplyTrackRect(CView* view)
{
    CRect track = m_trackRect;
    CRect start = m_startRect;
    track.NormalizeRect();
    start.NormalizeRect();
    if (track == start || start.Width() == 0 || start.Height() == 0)
        return;
    const double sx = double(track.Width()) / start.Width();
    const double sy = double(track.Height()) / start.Height();
    // The position keeps its place in the bounds.
    m_position = CPoint(RoundHalfAway((m_position.x - start.left) * sx) + track.left,
                        RoundHalfAway((m_position.y - start.top) * sy) + track.top);
    const bool sideways = m_angle == 90 || m_angle == 270;
    const double fx = sideways ? sy : sx;
    const double fy = sideways ? sx : sy;
    if (fx != 1.0 || fy != 1.0) {
        const int width = ClampToInt(m_formatRect.Width() * fx + 0.5);
        const int height = ClampToInt(m_formatRect.Height() * fy + 0.5);
        m_formatRect = CRect(m_position.x, m_position.y, ClampToInt(qint64(m_position.x) + width),
                             ClampToInt(qint64(m_position.y) + height));
        if (!m_copyFit) {
            for (CTextBase& part : m_parts)
                part.SetHeight(ClampToInt(part.GetFont().GetHeight() * fy + 0.5));
        }
    }
    RecalcLayout(view);
}

void CPriceField::SetAngle(CView* view, int degrees)
{
    Invalidate(view, TRUE);
    m_angle = Normalized(degrees);
    for (CTextBase& part : m_parts)
        part.SetRotation(m_angle);
    RecalcLayout(view);
}

void CPriceField::Rotate(CView* view)
{
    // A turn to the left is negative: it rounds as a turn to the right does.
    const double step = App().general.rotationAngle * 57.29577951307855;
    SetAngle(view, m_angle + RoundHalfAway(step));
}

void CPriceField::RotateAbout(CView* view, CPoint centre)
{
    RotatePointRadians(m_position, centre.x, centre.y, App().general.rotationAngle);
    Rotate(view);
}

void CPriceField::SetBounds(CView* view, const CRect& bounds)
{
    CRect r = bounds;
    r.NormalizeRect();
    m_copyFit = TRUE;
    m_formatRect = r;
    m_angle = m_angle / 90 * 90;
    for (CTextBase& part : m_parts)
        part.SetRotation(m_angle);
    m_position = QuarterTurnCorner(r, m_angle);
    // On its side the price is laid out in its own axes.
    if (m_angle == 90 || m_angle == 270)
        m_formatRect = CRect(r.left, r.top, r.left + r.Height(), r.top + r.Width());
    RecalcLayout(view);
}

// --- element queries -------------------------------------------------------------

int CPriceField::GetTypeCode() const
{
    return TYPE_PRICE;
}

QString CPriceField::GetTypeName() const
{
    return QStringLiteral("Price");
}

int CPriceField::GetProgressWeight() const
{
    return 8;
}

QString CPriceField::GetText() const
{
    QString units = DigitsOf(m_parts[P::PART_PRIMARY_AMOUNT].GetText());
    if (units.isEmpty())
        units = QStringLiteral("0");
    const QString hundredths = m_parts[P::PART_SECONDARY_AMOUNT].GetText();
    QString text = units + DecimalSeparator();
    if (hundredths.isEmpty())
        text += QStringLiteral("00");
    else if (hundredths.size() == 1)
        text += u'0' + hundredths;
    else
        text += hundredths;
    return text;
}

QString CPriceField::GetSampleData() const
{
    QString text = DigitsOf(m_units);
    if (text.isEmpty())
        text = QStringLiteral("0");
    if (!m_hundredths.isEmpty()) {
        text += DecimalSeparator();
        if (m_hundredths.size() == 1)
            text += u'0';
        text += m_hundredths;
    }
    return text;
}

QString CPriceField::GetEnteredData() const
{
    return GetText();
}

BOOL CPriceField::IsEmpty() const
{
    return ReadsAsZero(DigitsOf(m_parts[P::PART_PRIMARY_AMOUNT].GetText())) &&
                   ReadsAsZero(DigitsOf(m_parts[P::PART_SECONDARY_AMOUNT].GetText()))
               ? TRUE
               : FALSE;
}

// --- fonts and colours -------------------------------------------------------------

BOOL CPriceField::GetFont(CLogFont& font) const
{
    font = m_parts[P::PART_PRIMARY_AMOUNT].GetFont();
    return TRUE;
}

void CPriceField::SetFont(CView* view, const CLogFont& font)
{
    Invalidate(view, TRUE);
    for (CTextBase& part : m_parts) {
        part.SetFont(&font);
        part.SetRotation(m_angle);
    }
    RecalcLayout(view);
}

BOOL CPriceField::GetColour(COLORREF& colour) const
{
    colour = m_parts[P::PART_PRIMARY_AMOUNT].GetColour();
    return TRUE;
}

BOOL CPriceField::GetFill(COLORREF& colour) const
{
    colour = m_backgroundColour;
    return m_colouredBackground;
}

BOOL CPriceField::GetCrossOutColour(COLORREF& colour) const
{
    colour = m_strokes[0].m_colour;
    return m_crossOut;
}

void CPriceField::SetTextColour(CView* view, COLORREF colour)
{
    Redraw(view, [this, colour] {
        for (CTextBase& part : m_parts)
            part.SetColour(colour);
    });
}

void CPriceField::SetCrossOutColour(CView* view, COLORREF colour)
{
    Redraw(view, [this, colour] {
        for (CLine& stroke : m_strokes)
            stroke.m_colour = colour;
    });
}

void CPriceField::SetCrossOutLine(CView* view, int thickness, int endStyle)
{
    Invalidate(view, TRUE);
    for (CLine& stroke : m_strokes) {
        stroke.m_thickness = std::max(thickness, 0);
        stroke.m_endStyle = std::clamp(endStyle, 0, 3);
    }
    RecalcLayout(view);
}

void CPriceField::CopyColoursFrom(const CElement* element)
{
    if (!element)
        return;
    COLORREF colour = 0;
    if (element->GetColour(colour)) {
        for (CTextBase& part : m_parts)
            part.SetColour(colour);
    }
    if (m_colouredBackground && element->GetFill(colour))
        m_backgroundColour = colour;
    if (element->GetCrossOutColour(colour)) {
        for (CLine& stroke : m_strokes)
            stroke.m_colour = colour;
    }
    RecalcLayout(CurrentView());
}

// --- sample and data ----------------------------------------------------------------

void CPriceField::Refresh()
{
    CView* view = CurrentView();
    Invalidate(view, TRUE);
    ShowSampleAmounts();
    ApplyFormat();
    RecalcLayout(view);
}

void CPriceField::SetSampleData(CView* view, const QString& text)
{
    Invalidate(view, TRUE);
    SplitPrice(text, m_units, m_hundredths);
    ShowSampleAmounts();
    ApplyFormat();
    RecalcLayout(view);
}

void CPriceField::SetDataText(const QString& text, int, const QString&, BOOL)
{
    if (KeepsStartOnlyData())
        return;
    CView* view = CurrentView();
    Invalidate(view, TRUE);
    QString units;
    QString hundredths;
    SplitPrice(text, units, hundredths);
    m_parts[P::PART_PRIMARY_AMOUNT].SetText(units);
    m_parts[P::PART_SECONDARY_AMOUNT].SetText(hundredths);
    ApplyFormat();
    RecalcLayout(view);
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

void CPriceField::BeginDataEntry()
{
    TakeUpEntryData(TRUE, true);
    CElement::BeginDataEntry();
}

void CPriceField::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        ShowSampleAmounts();
        ApplyFormat();
        RecalcLayout(CurrentView());
    }
    CElement::EndDataEntry();
}

// --- archive -----------------------------------------------------------------

void CPriceField::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_position;
        for (CTextBase& part : m_parts)
            part.Serialize(ar);
        ar << DWORD(m_colouredBackground) << DWORD(m_backgroundColour) << DWORD(m_angle)
           << DWORD(m_crossOut) << DWORD(m_crossOutPattern);
        for (CLine& stroke : m_strokes)
            stroke.Serialize(ar);
        ar << m_units << m_hundredths;
        ar << DWORD(m_horzJustify) << DWORD(m_vertJustify) << DWORD(m_copyFit);
        ar << m_formatRect;
        ar << m_formatName;
        return;
    }

    const int version = App().fileVersion;
    CPoint position;
    ar >> position;
    CheckCoordinate(position.x);
    CheckCoordinate(position.y);
    std::array<CTextBase, kPartCount> parts = m_parts;
    for (CTextBase& part : parts) {
        part.Serialize(ar);
        // A part always draws with a font of its own.
        if (!part.OwnsFont()) {
            const CLogFont font = part.GetFont();
            part.CreateOwnFont(&font);
        }
    }
    const BOOL colouredBackground = ar.ReadInt() != 0;
    const COLORREF backgroundColour = ar.ReadDWord();
    const int angle = version >= 260 ? Normalized(ar.ReadInt()) : 0;
    const BOOL crossOut = ar.ReadInt() != 0;
    const int pattern = std::clamp(ar.ReadInt(), 0, 2);
    std::array<CLine, 2> strokes;
    for (CLine& stroke : strokes)
        stroke.Serialize(ar);
    const QString units = DigitsOf(ar.ReadString()).left(kMaxUnitsDigits);
    const QString hundredths = DigitsOf(ar.ReadString()).left(2);
    const int horzJustify = std::clamp(ar.ReadInt(), 0, 2);
    const int vertJustify = std::clamp(ar.ReadInt(), 0, 2);
    const BOOL copyFit = ar.ReadInt() != 0;
    CRect formatRect;
    ar >> formatRect;
    for (int v : {formatRect.left, formatRect.top, formatRect.right, formatRect.bottom})
        CheckCoordinate(v);
    formatRect.NormalizeRect();
    const QString formatName = ar.ReadString();

    m_position = position;
    m_parts = parts;
    m_colouredBackground = colouredBackground;
    m_backgroundColour = backgroundColour;
    m_angle = angle;
    m_crossOut = crossOut;
    m_crossOutPattern = pattern;
    m_strokes = strokes;
    m_units = units;
    m_hundredths = hundredths;
    m_horzJustify = horzJustify;
    m_vertJustify = vertJustify;
    m_copyFit = copyFit;
    m_formatRect = formatRect;
    m_formatName = ThePriceFormatList().FindFormat(formatName)
                       ? formatName
                       : CPriceFormatList::StandardFormatName();
    for (CTextBase& part : m_parts)
        part.SetRotation(m_angle);
    RecalcLayout(nullptr);
}

// --- text export -------------------------------------------------------------

void CPriceField::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <price>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n",
                                       m_position.x, m_position.y));
    file.WriteString(ExportLine(4, "angle", m_angle));
    file.WriteString(ExportLine(4, "text-colour", ColourToHtml(m_parts[0].GetColour())));
    file.WriteString(ExportLine(4, "coloured-background", m_colouredBackground));
    file.WriteString(ExportLine(4, "background-colour", ColourToHtml(m_backgroundColour)));
    file.WriteString(ExportLine(4, "copy-fit", m_copyFit));
    file.WriteString(
        QString::asprintf("    <format-rectangle units=\"TMM\" width=\"%d\" height=\"%d\"/>\n",
                          m_formatRect.Width(), m_formatRect.Height()));
    file.WriteString(QString::asprintf("    <justification horizontal=\"%d\" vertical=\"%d\"/>\n",
                                       m_horzJustify, m_vertJustify));
    file.WriteString(QStringLiteral("\n"));
    for (const CTextBase& part : m_parts)
        part.GetFont().WriteXml(file);
    if (m_crossOut) {
        file.WriteString(QStringLiteral("    <cross-out>\n\n"));
        file.WriteString(ExportLine(8, "pattern", m_crossOutPattern));
        file.WriteString(QString::asprintf("        <thickness units=\"TMM\" value=\"%d\"/>\n",
                                           m_strokes[0].m_thickness));
        file.WriteString(ExportLine(8, "end-style", m_strokes[0].m_endStyle));
        file.WriteString(ExportLine(8, "colour", ColourToHtml(m_strokes[0].m_colour)));
        file.WriteString(QStringLiteral("\n    </cross-out>\n\n"));
    }
    ThePriceFormatList().WriteXml(file, GetFormat());
    file.WriteString(QStringLiteral("    <sample-data>") + m_units + u'.' + m_hundredths +
                     QStringLiteral("</sample-data>\n"));
    file.WriteString(QStringLiteral("\n  </price>\n\n"));
}
