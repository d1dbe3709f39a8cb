#include "ArcText.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "ResourceIds.h"
#include "Rounding.h"
#include "Strings.h"
#include "TextBase.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

IMPLEMENT_PERSISTENT(CArcText, CElement, 1)

namespace {

constexpr double kDegreesPerRadian = 57.29577951307855;
constexpr double kRadiansPerDegree = 0.017453292519944444;
// Resolution used when no printer is installed.
constexpr double kStandInDpi = 600.0;

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

int ClampLength(qint64 value, qint64 low)
{
    return int(std::clamp<qint64>(value, low, CArcText::kMaxStoredLength));
}

// The glyph's turn: whole degrees of the angle plus the quarter turn that
// stands the character on the circle; never exactly a multiple of 90, so no
// glyph is drawn by a device's special upright or sideways path.
int GlyphRotation(double thetaRadians, int quarter)
{
    int r = RoundHalfAway(thetaRadians * kDegreesPerRadian) + quarter;
    if (r % 90 == 0)
        r += 1;
    return r;
}

double PrinterDpi()
{
    if (App().printerDC) {
        if (const CDC* dc = App().printerDC(); dc && dc->GetDeviceDpiX() > 0)
            return dc->GetDeviceDpiX();
    }
    return kStandInDpi;
}

} // namespace

// --- construction ------------------------------------------------------------

CArcText::CArcText()
{
    const CTextDefaults& text = CTextDefaults::Current();
    m_font = text.font;
    m_colour = text.colour;
    m_sampleText = m_displayedText = LoadStringId(IDS_DEFAULT_SAMPLE_TEXT);
}

CArcText::CArcText(const CArcText& other) = default;
CArcText& CArcText::operator=(const CArcText& other) = default;
CArcText::~CArcText() = default;

CElement* CopyArcTextElement(const CElement& element)
{
    const auto* arc = dynamic_cast<const CArcText*>(&element);
    return arc ? new CArcText(*arc) : nullptr;
}

// --- layout ------------------------------------------------------------------

CArcLayout CArcText::Layout(const QString& text, const std::vector<int>& widths, int radius,
                            int height, int startAngle, int alignment, int direction)
{
    CArcLayout layout;
    height = std::max(height, 0);
    // The characters stand between the circle and one font height inside
    // it: that inner circle must have room, or every step would divide by
    // zero or turn backwards.
    layout.radius = std::max(radius, height + 1);
    const double inner = double(layout.radius) - height;
    const qsizetype count = std::min<qsizetype>(text.size(), qsizetype(widths.size()));
    const auto width = [&widths](qsizetype i) { return double(std::max(widths[i], 0)); };

    int a = startAngle;
    if (alignment == ARC_ALIGN_CENTRE || alignment == ARC_ALIGN_END) {
        double sweep = 0;
        for (qsizetype i = 0; i < count; ++i)
            sweep += std::atan(width(i) / inner);
        layout.sweepDegrees = RoundHalfUp(sweep * kDegreesPerRadian);
        const int part =
            alignment == ARC_ALIGN_CENTRE ? layout.sweepDegrees / 2 : layout.sweepDegrees;
        a = direction == ARC_ANTICLOCKWISE ? startAngle + part : startAngle - part;
    }
    layout.startAngle = a;

    double theta = (a - 2) * kRadiansPerDegree;
    const bool clockwise = direction != ARC_ANTICLOCKWISE;
    const double pointRadius = clockwise ? layout.radius : inner;
    layout.glyphs.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        CArcGlyph glyph;
        glyph.character = text.at(i);
        glyph.point = CPoint(RoundHalfAway(std::cos(theta) * pointRadius),
                             RoundHalfAway(std::sin(theta) * pointRadius));
        glyph.rotation = GlyphRotation(theta, clockwise ? 90 : 270);
        layout.glyphs.push_back(glyph);
        if (i + 1 < count) {
            const double step = std::atan((width(i) + width(i + 1)) * 0.5 / inner);
            theta += clockwise ? step : -step;
        }
    }
    return layout;
}

CArcLayout CArcText::CurrentLayout() const
{
    const QString text = FromWindows1252(ToWindows1252(m_displayedText));
    std::vector<int> widths;
    widths.reserve(size_t(text.size()));
    for (QChar c : text)
        widths.push_back((m_font.GetCharWidth(c) + 5) / 10);
    return Layout(text, widths, m_radius, m_font.GetHeight(), m_startAngle, m_alignment,
                  m_direction);
}

// --- rendering ---------------------------------------------------------------

void CArcText::Render()
{
    m_picture = QImage();
    m_pictureDpi = 0;
    if (m_square.Width() <= 0 || m_square.Height() <= 0)
        return;

    double dpi = PrinterDpi();
    const auto pixels = [&dpi](int tenths) { return RoundHalfUp(tenths * dpi / 254.0); };
    // A large square is rendered more coarsely rather than into a picture
    // no memory could hold.
    const double area = double(pixels(m_square.Width())) * pixels(m_square.Height());
    if (area > double(kMaxPicturePixels))
        dpi *= std::sqrt(double(kMaxPicturePixels) / area);
    int width = std::max(1, pixels(m_square.Width()));
    int height = std::max(1, pixels(m_square.Height()));
    while (qint64(width) * height > kMaxPicturePixels) {
        dpi *= 0.995;
        width = std::max(1, pixels(m_square.Width()));
        height = std::max(1, pixels(m_square.Height()));
    }

    CImageDC dc(width, height, dpi, dpi);
    // The circle's centre is the logical origin, y down, one logical unit a
    // tenth of a millimetre.
    dc.SetWindowOrg(0, 0);
    dc.SetWindowExt(m_square.Width(), m_square.Height());
    dc.SetViewportExt(width, height);
    dc.SetViewportOrg(width / 2, height / 2);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.SetTextColor(m_colour);
    dc.SetBkMode(TRANSPARENT);

    LogFontFields lf = m_font.GetDrawingFont();
    const CArcLayout layout = CurrentLayout();
    for (const CArcGlyph& glyph : layout.glyphs) {
        const int turn = ((glyph.rotation % 360) + 360) % 360;
        lf.lfEscapement = lf.lfOrientation = turn == 0 ? 0 : (360 - turn) * 10;
        dc.SelectFont(lf);
        dc.TextOut(glyph.point.x, glyph.point.y, QString(glyph.character));
    }
    m_picture = dc.Image().convertToFormat(QImage::Format_RGB32);
    m_pictureDpi = dpi;
}

// --- archive -----------------------------------------------------------------

void CArcText::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_centreX << m_centreY << m_radius << m_startAngle << m_square << m_displayedText;
        m_font.Serialize(ar);
        ar << DWORD(m_alignment) << DWORD(m_direction) << m_sampleText << DWORD(m_colour)
           << DWORD(m_forceSpellCheck);
        return;
    }

    const int centreX = ar.ReadInt();
    const int centreY = ar.ReadInt();
    const int radius = ar.ReadInt();
    const int startAngle = ar.ReadInt();
    CRect square;
    ar >> square;
    const QString displayed = ar.ReadString();
    CLogFont font;
    font.Serialize(ar);
    const int alignment = ar.ReadInt();
    const int direction = ar.ReadInt();
    const QString sample = ar.ReadString();
    const COLORREF colour = ar.ReadDWord();
    const BOOL forceSpellCheck = ar.ReadInt();

    // Whatever the file holds is brought into what the element can show.
    m_centreX = ClampLength(centreX, -kMaxStoredLength);
    m_centreY = ClampLength(centreY, -kMaxStoredLength);
    m_radius = ClampLength(radius, 0);
    m_startAngle = ((startAngle % 360) + 360) % 360;
    square.left = ClampLength(square.left, -kMaxStoredLength);
    square.top = ClampLength(square.top, -kMaxStoredLength);
    square.right = ClampLength(square.right, -kMaxStoredLength);
    square.bottom = ClampLength(square.bottom, -kMaxStoredLength);
    square.NormalizeRect();
    m_square = square;
    m_displayedText = displayed;
    m_font = font;
    m_alignment = std::clamp(alignment, 0, 2);
    m_direction = std::clamp(direction, 0, 1);
    m_sampleText = sample;
    m_colour = colour & 0xFFFFFF;
    m_forceSpellCheck = forceSpellCheck ? TRUE : FALSE;
    Render();
    RecalcPosition(nullptr);
}

// --- geometry ----------------------------------------------------------------

void CArcText::SquareFromCircle()
{
    m_square = CRect(m_centreX - m_radius, m_centreY - m_radius, m_centreX + m_radius,
                     m_centreY + m_radius);
}

void CArcText::CircleFromSquare()
{
    m_centreX = m_square.left + m_square.Width() / 2;
    m_centreY = m_square.top + m_square.Height() / 2;
    m_radius = std::min(m_square.Width(), m_square.Height()) / 2;
    m_font.SetHeight(RoundHalfUp(m_radius * 0.2));
}

void CArcText::RecalcPosition(CView*)
{
    m_bounds = m_square;
}

void CArcText::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] { m_square = CRect(p.x, p.y, p.x, p.y); });
}

void CArcText::TrackCreate(CView* view, int x, int y, BOOL)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] {
        CRect r = m_square;
        if (p.x < r.left)
            r.left = p.x;
        else
            r.right = p.x;
        if (p.y < r.top)
            r.top = p.y;
        else
            r.bottom = p.y;
        if (r.Width() <= r.Height())
            r.right = r.left + r.Height();
        else
            r.bottom = r.top + r.Width();
        m_square = r;
    });
}

void CArcText::EndCreate(CView* view, unsigned)
{
    Redraw(view, [this] {
        m_square.NormalizeRect();
        CircleFromSquare();
        Render();
    });
}

void CArcText::SetBounds(CView* view, const CRect& bounds)
{
    Redraw(view, [this, bounds] {
        m_square = bounds;
        m_square.NormalizeRect();
        CircleFromSquare();
        Render();
        m_trackRect = m_square;
        m_startRect = m_trackRect;
    });
}

BOOL CArcText::KeepsAspectRatio() const
{
    return TRUE;
}

void CArcText::ApplyTrackRect(CView*)
{
    CRect r = m_trackRect;
    r.NormalizeRect();
    CRect start = m_startRect;
    start.NormalizeRect();
    if (r == start)
        return;
    m_square = r;
    m_centreX = r.left + r.Width() / 2;
    m_centreY = r.top + r.Height() / 2;
    if (r.Width() == start.Width() && r.Height() == start.Height())
        return;
    const int oldRadius = m_radius;
    m_radius = std::min(r.Width(), r.Height()) / 2;
    if (oldRadius > 0)
        m_font.SetHeight(int(double(m_radius) / double(oldRadius) * double(m_font.GetHeight())));
    Render();
}

BOOL CArcText::IsHandleEnabled(int handle) const
{
    return handle == HANDLE_TOP_LEFT || handle == HANDLE_TOP_RIGHT ||
           handle == HANDLE_BOTTOM_RIGHT || handle == HANDLE_BOTTOM_LEFT;
}

void CArcText::Refresh()
{
    Redraw(CurrentView(), [this] {
        m_displayedText = m_sampleText;
        SquareFromCircle();
        Render();
    });
}

// --- drawing -----------------------------------------------------------------

void CArcText::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (m_picture.isNull()) {
        const int saved = dc->SaveDC();
        dc->SelectPen(CPen(PS_DOT, 0, 0));
        dc->SelectBrush(CBrush::Null());
        dc->Ellipse(m_square);
        dc->RestoreDC(saved);
    } else if (!(dc->IsPrinting() && m_notPrinted)) {
        const int saved = dc->SaveDC();
        dc->SetSmoothImages(!dc->IsPrinting());
        dc->DrawImage(m_picture, m_square);
        dc->RestoreDC(saved);
    }
    DrawTracker(dc);
}

// --- types -------------------------------------------------------------------

int CArcText::GetContextMenuId() const
{
    return kElementContextMenu;
}

int CArcText::GetTypeCode() const
{
    return TYPE_ARC_TEXT;
}

QString CArcText::GetTypeName() const
{
    return QStringLiteral("Text");
}

// --- data --------------------------------------------------------------------

void CArcText::SetDataText(const QString& text, int, const QString&, BOOL final)
{
    if (KeepsStartOnlyData())
        return;
    m_displayedText = text;
    if (final)
        Redraw(CurrentView(), [this] { Render(); });
}

void CArcText::BeginDataEntry()
{
    TakeUpEntryData(TRUE, false);
    CElement::BeginDataEntry();
}

void CArcText::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        m_displayedText = m_sampleText;
        Redraw(CurrentView(), [this] { Render(); });
    }
    CElement::EndDataEntry();
}

void CArcText::OnPrinterChanged(CPrinter*)
{
    // The font measures on the new printer too.
    m_font.BuildMetrics();
    Render();
}

BOOL CArcText::GetFont(CLogFont& font) const
{
    font = m_font;
    return TRUE;
}

void CArcText::SetFont(CView* view, const CLogFont& font)
{
    Redraw(view, [this, &font] {
        m_font = font;
        Render();
    });
}

void CArcText::Reformat()
{
    Render();
}

QString CArcText::GetText() const
{
    return m_displayedText;
}

QString CArcText::GetSampleData() const
{
    return m_sampleText;
}

void CArcText::SetSampleData(CView* view, const QString& text)
{
    Redraw(view, [this, &text] {
        m_sampleText = m_displayedText = text;
        Render();
    });
}

BOOL CArcText::IsEmpty() const
{
    return m_displayedText.isEmpty();
}

BOOL CArcText::IsSpellCheckForced() const
{
    return m_forceSpellCheck;
}

BOOL CArcText::GetColour(COLORREF& colour) const
{
    colour = m_colour;
    return TRUE;
}

void CArcText::CopyColoursFrom(const CElement* element)
{
    COLORREF colour = 0;
    if (!element || !element->GetColour(colour))
        return;
    Redraw(CurrentView(), [this, colour] {
        m_colour = colour;
        Render();
    });
}

// --- text export -------------------------------------------------------------

void CArcText::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <arc-text>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(
        QString::asprintf("    <centre units=\"TMM\" x=\"%d\" y=\"%d\"/>\n", m_centreX, m_centreY));
    file.WriteString(QString::asprintf("    <radius units=\"TMM\" value=\"%d\"/>\n", m_radius));
    file.WriteString(ExportLine(4, "start-angle", m_startAngle));
    file.WriteString(ExportLine(4, "alignment", m_alignment));
    file.WriteString(ExportLine(4, "direction", m_direction));
    file.WriteString(ExportLine(4, "text-colour", ColourToHtml(m_colour)));
    file.WriteString(ExportLine(4, "force-spell-check", m_forceSpellCheck));
    file.WriteString(QStringLiteral("\n"));
    m_font.WriteXml(file);
    file.WriteString(QStringLiteral("    <sample-data>") + HtmlEscape(m_sampleText) +
                     QStringLiteral("</sample-data>\n"));
    file.WriteString(QStringLiteral("\n  </arc-text>\n\n"));
}
