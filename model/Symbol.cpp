#include "Symbol.h"

#include "Archive.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "LogFont.h"
#include "Rounding.h"
#include "TextExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

IMPLEMENT_PERSISTENT(CSymbol, CElement, 1)

namespace {

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

int ClampCoordinate(int v)
{
    return std::clamp(v, -CSymbol::kMaxStoredCoordinate, CSymbol::kMaxStoredCoordinate);
}

int NormalAngle(int degrees)
{
    return ((degrees % 360) + 360) % 360;
}

} // namespace

CSymbolDefaults::CSymbolDefaults()
{
    font.lfHeight = 94;
    font.lfWeight = 400;
    font.lfOutPrecision = 4;
    font.lfPitchAndFamily = 2;
    font.lfFaceName = QStringLiteral("Tabrel Symbol 1");
}

// --- construction ------------------------------------------------------------

CSymbol::CSymbol()
{
    const CSymbolDefaults& d = CSymbolDefaults::Current();
    const CLogFont font(CLogFont::BoundRecord(d.font));
    m_text.CreateOwnFont(&font);
    m_text.SetColour(d.symbolColour);
    m_colouredBackground = d.colouredBackground;
    m_backgroundColour = d.backgroundColour;
    RecalcFrame();
}

CSymbol::~CSymbol() = default;

CElement* CopySymbolElement(const CElement& element)
{
    const auto* symbol = dynamic_cast<const CSymbol*>(&element);
    return symbol ? new CSymbol(*symbol) : nullptr;
}

// --- geometry ----------------------------------------------------------------

int CSymbol::GetAngle() const
{
    const int a = m_text.GetFont().GetLogFont().lfOrientation;
    if (a < 1)
        return 0;
    return NormalAngle(360 - a / 10);
}

void CSymbol::RecalcFrame()
{
    const CPoint p = m_text.GetOrigin();
    m_frame = CRect(p.x, p.y, p.x + (m_text.GetTextWidth() + 5) / 10,
                    p.y + int(m_text.GetFont().GetHeight()));
}

void CSymbol::RecalcPosition(CView*)
{
    RecalcFrame();
    const int angle = GetAngle();
    m_orientation = angle;
    if (angle == 0) {
        m_bounds = m_frame;
        return;
    }
    CPoint corners[4];
    RotateRectCorners(m_frame.left, m_frame.top, m_frame.right, m_frame.bottom, corners, angle);
    CRect r(corners[0], corners[0]);
    for (const CPoint& c : corners) {
        r.left = std::min(r.left, c.x);
        r.top = std::min(r.top, c.y);
        r.right = std::max(r.right, c.x);
        r.bottom = std::max(r.bottom, c.y);
    }
    m_bounds = r;
}

CPoint CSymbol::OriginInRect(const CRect& r, int angle) const
{
    // The text's top-left turns with the text: it is the corner of the
    // bounds that the turned frame starts from.
    return QuarterTurnCorner(r, NormalAngle(angle));
}

void CSymbol::Changed(CView* view)
{
    UpdateRects(view);
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

void CSymbol::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] { m_text.SetOrigin(p.x, p.y); });
}

void CSymbol::ApplyTrackRect(CView*)
{
    CRect r = m_trackRect;
    r.NormalizeRect();
    CRect start = m_startRect;
    start.NormalizeRect();
    if (r == start)
        return;
    const double sx = start.Width() > 0 ? double(r.Width()) / start.Width() : 1.0;
    const double sy = start.Height() > 0 ? double(r.Height()) / start.Height() : 1.0;
    const CPoint p = m_text.GetOrigin();
    const CPoint moved(r.left + RoundHalfAway((p.x - start.left) * sx),
                       r.top + RoundHalfAway((p.y - start.top) * sy));
    // The extent across the text: the height of an upright or upside-down
    // text, the width of a sideways one.
    const int angle = GetAngle();
    const bool sideways = (angle > 45 && angle < 135) || (angle > 225 && angle < 315);
    const int oldExtent = sideways ? start.Width() : start.Height();
    const int newExtent = sideways ? r.Width() : r.Height();
    if (oldExtent > 0 && newExtent != oldExtent)
        m_text.SetHeight(
            std::max(1, RoundHalfUp(double(m_text.GetFont().GetHeight()) * newExtent / oldExtent)));
    m_text.SetOrigin(moved.x, moved.y);
    RecalcPosition(nullptr);
}

void CSymbol::SetBounds(CView* view, const CRect& bounds)
{
    Redraw(view, [this, bounds] {
        CRect r = bounds;
        r.NormalizeRect();
        const int angle = NormalAngle((GetAngle() + 45) / 90 * 90);
        const bool sideways = angle == 90 || angle == 270;
        m_text.SetHeight(std::max(1, sideways ? r.Width() : r.Height()));
        m_text.SetRotation(angle);
        const CPoint p = OriginInRect(r, angle);
        m_text.SetOrigin(p.x, p.y);
        RecalcPosition(nullptr);
        m_trackRect = m_bounds;
        m_startRect = m_trackRect;
    });
}

void CSymbol::Rotate(CView* view)
{
    const int step = RoundHalfAway(App().general.rotationAngle * 180.0 / std::numbers::pi);
    Redraw(view, [this, step] { m_text.SetRotation(GetAngle() + step); });
}

void CSymbol::RotateAbout(CView* view, CPoint centre)
{
    const double radians = App().general.rotationAngle;
    const int step = RoundHalfAway(radians * 180.0 / std::numbers::pi);
    Redraw(view, [this, centre, radians, step] {
        CPoint p = m_text.GetOrigin();
        RotatePointRadians(p, centre.x, centre.y, radians);
        m_text.SetOrigin(p.x, p.y);
        m_text.SetRotation(GetAngle() + step);
    });
}

BOOL CSymbol::IsHandleEnabled(int handle) const
{
    return handle == HANDLE_TOP_LEFT || handle == HANDLE_TOP_RIGHT ||
           handle == HANDLE_BOTTOM_RIGHT || handle == HANDLE_BOTTOM_LEFT;
}

void CSymbol::Refresh()
{
    Redraw(CurrentView(), [] {});
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

// --- pane setters ------------------------------------------------------------

void CSymbol::SetAngle(CView* view, int degrees)
{
    Redraw(view, [this, degrees] { m_text.SetRotation(NormalAngle(degrees)); });
}

void CSymbol::SetOrigin(CView* view, int x, int y)
{
    Redraw(view, [this, x, y] { m_text.SetOrigin(ClampCoordinate(x), ClampCoordinate(y)); });
}

void CSymbol::SetPointSize(CView* view, double points)
{
    Redraw(view, [this, points] { m_text.SetPointSize(points); });
}

void CSymbol::SetFontHeight(CView* view, int height)
{
    Redraw(view, [this, height] { m_text.SetHeight(height); });
}

void CSymbol::SetColour(CView* view, COLORREF colour)
{
    Redraw(view, [this, colour] { m_text.SetColour(colour); });
}

void CSymbol::SetBackground(CView* view, BOOL coloured, COLORREF colour)
{
    Redraw(view, [this, coloured, colour] {
        m_colouredBackground = coloured;
        m_backgroundColour = colour;
    });
}

void CSymbol::SetFace(CView* view, const QString& face, DWORD faceData)
{
    Redraw(view, [this, &face, faceData] {
        CLogFont font = m_text.GetFont();
        font.SetFaceFromList(face, faceData);
        m_text.SetFont(&font);
    });
}

// --- drawing -----------------------------------------------------------------

void CSymbol::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }
    if (m_colouredBackground) {
        CPoint corners[4];
        RotateRectCorners(m_frame.left, m_frame.top, m_frame.right, m_frame.bottom, corners,
                          GetAngle());
        const int saved = dc->SaveDC();
        dc->SelectPen(CPen(PS_SOLID, 0, m_backgroundColour));
        dc->SelectBrush(CBrush::Solid(m_backgroundColour));
        dc->Polygon(corners, 4);
        dc->RestoreDC(saved);
    }
    m_text.Draw(dc);
    DrawTracker(dc);
}

// --- types -------------------------------------------------------------------

int CSymbol::GetTypeCode() const
{
    return TYPE_SYMBOL;
}

QString CSymbol::GetTypeName() const
{
    return QStringLiteral("Symbol");
}

// --- data --------------------------------------------------------------------

void CSymbol::SetDataText(const QString& text, int, const QString&, BOOL)
{
    if (KeepsStartOnlyData())
        return;
    Redraw(CurrentView(), [this, &text] { m_text.SetText(text); });
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

void CSymbol::BeginDataEntry()
{
    TakeUpEntryData(FALSE, false);
    CElement::BeginDataEntry();
}

void CSymbol::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED)
        Redraw(CurrentView(), [this] { m_text.SetText(m_symbolText); });
    CElement::EndDataEntry();
}

QString CSymbol::GetText() const
{
    return m_text.GetText();
}

QString CSymbol::GetSampleData() const
{
    return m_symbolText;
}

void CSymbol::SetSampleData(CView* view, const QString& text)
{
    Redraw(view, [this, &text] {
        m_text.SetText(text);
        m_symbolText = m_text.GetText();
    });
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

BOOL CSymbol::GetColour(COLORREF& colour) const
{
    colour = m_text.GetColour();
    return TRUE;
}

// --- archive -----------------------------------------------------------------

void CSymbol::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        m_text.Serialize(ar);
        ar << DWORD(m_colouredBackground) << DWORD(m_backgroundColour) << m_frame << m_symbolText;
        return;
    }

    CTextBase text(m_text);
    text.Serialize(ar);
    const BOOL coloured = ar.ReadInt();
    const COLORREF background = ar.ReadDWord();
    CRect frame;
    ar >> frame; // made again from the text below
    const QString symbolText = ar.ReadString();

    // A text base stored without a font of its own keeps the one it had.
    if (!text.OwnsFont()) {
        const CLogFont font = text.GetFont();
        text.CreateOwnFont(&font);
    }
    const CPoint origin = text.GetOrigin();
    text.SetOrigin(ClampCoordinate(origin.x), ClampCoordinate(origin.y));
    text.SetColour(text.GetColour() & 0xFFFFFF);
    m_text = text;
    m_colouredBackground = coloured ? TRUE : FALSE;
    m_backgroundColour = background & 0xFFFFFF;
    m_symbolText = symbolText;
    RecalcPosition(nullptr);
}

// --- text export -------------------------------------------------------------

void CSymbol::WriteXml(CTextExportFile& file)
{
    const CPoint p = m_text.GetOrigin();
    file.WriteString(QStringLiteral("  <text>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(
        QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n", p.x, p.y));
    file.WriteString(ExportLine(4, "angle", GetAngle()));
    file.WriteString(ExportLine(4, "text-colour", ColourToHtml(m_text.GetColour())));
    file.WriteString(ExportLine(4, "coloured-background", m_colouredBackground));
    file.WriteString(ExportLine(4, "background-colour", ColourToHtml(m_backgroundColour)));
    file.WriteString(QStringLiteral("    <sample-data>") + HtmlEscape(m_symbolText) +
                     QStringLiteral("</sample-data>\n"));
    file.WriteString(QStringLiteral("\n  </text>\n\n"));
}
