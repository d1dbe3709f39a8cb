#include "Element.h"

#include "AppContext.h"
#include "Codec1252.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "Helpers.h"
#include "Messages.h"
#include "Rounding.h"
#include "TextExport.h"

#include <cmath>

IMPLEMENT_PERSISTENT(CElement, CObject, 1)

CElement::CElement() = default;
CElement::~CElement() = default;

CView* CElement::CurrentView()
{
    return App().currentView;
}

// --- the common record -------------------------------------------------------

void CElement::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_name << DWORD(m_dataSource) << DWORD(m_dataEntryIndex) << m_prompt << m_sourceName
           << DWORD(m_dbReadOnly) << DWORD(m_notPrinted) << DWORD(m_startDataOnly)
           << DWORD(m_mustEnterData) << DWORD(m_useSampleData) << DWORD(m_filterType)
           << m_filterList << DWORD(m_caseCoercion) << m_prefix << m_suffix
           << DWORD(m_lengthConstraint) << DWORD(m_lengthLimit) << DWORD(m_truncation)
           << DWORD(m_paddingMode) << m_paddingChar << DWORD(m_nativePrint);
        App().StepProgress();
        return;
    }

    const int version = App().fileVersion;
    ar >> m_name;
    int kind = ar.ReadInt();
    m_dataEntryIndex = ar.ReadInt();
    ar >> m_prompt >> m_sourceName;
    m_dbReadOnly = ar.ReadInt();
    m_notPrinted = ar.ReadInt();
    if (version >= 110) {
        m_startDataOnly = ar.ReadInt();
        m_mustEnterData = ar.ReadInt();
        m_useSampleData = ar.ReadInt();
        m_filterType = ar.ReadInt();
        ar >> m_filterList;
        m_caseCoercion = ar.ReadInt();
        ar >> m_prefix >> m_suffix;
        m_lengthConstraint = ar.ReadInt();
        m_lengthLimit = ar.ReadInt();
        m_truncation = ar.ReadInt();
        m_paddingMode = ar.ReadInt();
        ar >> m_paddingChar;
        if (version >= 240)
            m_nativePrint = ar.ReadInt();
    }
    // Older files numbered the variable kinds differently.
    if (version < 330) {
        if (kind >= 8)
            kind += 2;
    } else if (version < 400) {
        if (kind >= 9)
            kind += 1;
    }
    m_dataSource = kind;
    App().StepProgress();
}

void CElement::WriteXml(CTextExportFile& file)
{
    file.WriteString(ExportLine(4, "name", m_name));
    file.WriteString(ExportLine(4, "data-source", m_dataSource));
    file.WriteString(ExportLine(4, "source-name", m_sourceName));
    file.WriteString(ExportLine(4, "data-entry-index", m_dataEntryIndex));
    file.WriteString(ExportLine(4, "prompt", m_prompt));
    file.WriteString(ExportLine(4, "not-printed", m_notPrinted));
    file.WriteString(ExportLine(4, "database-read-only", m_dbReadOnly));
    file.WriteString(ExportLine(4, "start-data-only", m_startDataOnly));
    file.WriteString(ExportLine(4, "must-enter-data", m_mustEnterData));
    file.WriteString(ExportLine(4, "use-sample-data", m_useSampleData));
    file.WriteString(ExportLine(4, "filter-type", m_filterType));
    file.WriteString(ExportLine(4, "filter-list", m_filterList));
    file.WriteString(ExportLine(4, "case-coercion", m_caseCoercion));
    file.WriteString(ExportLine(4, "prefix", m_prefix));
    file.WriteString(ExportLine(4, "suffix", m_suffix));
    file.WriteString(ExportLine(4, "length-constraint", m_lengthConstraint));
    file.WriteString(ExportLine(4, "length-limit", m_lengthLimit));
    file.WriteString(ExportLine(4, "truncation", m_truncation));
    file.WriteString(ExportLine(4, "padding-mode", m_paddingMode));
    file.WriteString(ExportLine(4, "padding-char", int(m_paddingChar)));
    file.WriteString(ExportLine(4, "native-print", m_nativePrint));
}

// --- the operations that element classes override -------------------------------

void CElement::SetDataSource(int kind, const QString& sourceName)
{
    m_dataSource = kind;
    m_sourceName = sourceName;
}

void CElement::BeginCreate(CView*, int, int) {}
void CElement::TrackCreate(CView*, int, int, BOOL) {}
void CElement::EndCreate(CView*, unsigned) {}
void CElement::RecalcPosition(CView*) {}
void CElement::Draw(CDC*, const CRect&) {}
BOOL CElement::KeepsAspectRatio() const
{
    return FALSE;
}
void CElement::ApplyTrackRect(CView*) {}
void CElement::Rotate(CView*) {}
void CElement::RotateAbout(CView*, CPoint) {}
BOOL CElement::IsHandleEnabled(int) const
{
    return TRUE;
}
int CElement::GetContextMenuId() const
{
    return kElementContextMenu;
}
void CElement::Reserved1() {}
void CElement::Reserved2() {}
void CElement::Reserved3() {}
void CElement::Reserved4() {}
int CElement::GetTypeCode() const
{
    return TYPE_BASE;
}
QString CElement::GetTypeName() const
{
    return QString();
}
BOOL CElement::ResamplePicture(CView*)
{
    return FALSE;
}
BOOL CElement::InvertPicture(CView*)
{
    return FALSE;
}
BOOL CElement::GreyscalePicture(CView*)
{
    return FALSE;
}
void CElement::SetDataText(const QString&, int, const QString&, BOOL) {}
void CElement::RestoreData() {}
void CElement::OnPrinterChanged(CPrinter*) {}
int CElement::GetProgressWeight() const
{
    return 1;
}
BOOL CElement::GetFont(CLogFont&) const
{
    return FALSE;
}
void CElement::SetFont(CView*, const CLogFont&) {}
int CElement::GetThickness() const
{
    return 0;
}
void CElement::SetThickness(CView*, int) {}
void CElement::ReleaseCachedData() {}
void CElement::Reformat() {}
QString CElement::GetText() const
{
    return QString();
}
QString CElement::GetSampleData() const
{
    return QString();
}
void CElement::SetSampleData(CView*, const QString&) {}
BOOL CElement::IsEmpty() const
{
    return FALSE;
}
BOOL CElement::IsSpellCheckForced() const
{
    return FALSE;
}
BOOL CElement::EditObject()
{
    return FALSE;
}
BOOL CElement::OpenObject()
{
    return FALSE;
}
BOOL CElement::GetColour(COLORREF&) const
{
    return FALSE;
}
BOOL CElement::GetFill(COLORREF&) const
{
    return FALSE;
}
BOOL CElement::GetOutlineColour(COLORREF&) const
{
    return FALSE;
}
BOOL CElement::GetBulletColour(COLORREF&) const
{
    return FALSE;
}
BOOL CElement::GetCrossOutColour(COLORREF&) const
{
    return FALSE;
}
void CElement::CopyColoursFrom(const CElement*) {}
void CElement::SetBounds(CView*, const CRect&) {}
void CElement::OnCellDataChanged() {}

void CElement::BreakDataLink()
{
    if (m_dataSource == SOURCE_DATABASE)
        m_dataSource = SOURCE_KEYBOARD;
}

void CElement::Refresh()
{
    CView* view = CurrentView();
    Redraw(view, [] {});
}

void CElement::ResetState(CView* view)
{
    m_state = 0;
    UpdateRects(view);
}

QString CElement::GetEnteredData() const
{
    const QString text = GetText();
    const qsizetype strip = m_prefix.size() + m_suffix.size();
    if (text.size() <= strip)
        return QString();
    return text.mid(m_prefix.size(), text.size() - strip);
}

// --- rectangles and handles --------------------------------------------------

void CElement::UpdateRects(CView* view)
{
    RecalcPosition(view);

    if (!(m_state & STATE_SELECTED) && !m_ownedByTable) {
        if (m_dataSource != SOURCE_FIXED) {
            m_invalidRect = m_bounds;
            m_invalidRect.InflateRect(1, 1, 2, 2);
            m_bounds = m_invalidRect;
        }
        return;
    }
    if (m_state & STATE_TRACKING) {
        m_trackRect = m_bounds;
        m_bounds.InflateRect(1, 1, 2, 2);
        return;
    }
    if (m_ownedByTable)
        return;

    m_invalidRect = m_bounds;
    m_invalidRect.InflateRect(1, 1, 2, 2);
    const CSize handle = WindowDPtoLPSize(view, CSize(8, 8));
    const int cx = handle.cx;
    const int cy = handle.cy;
    const int w = m_invalidRect.Width();
    const int h = m_invalidRect.Height();

    auto moved = [](CRect r, int dx, int dy) {
        r.OffsetRect(dx, dy);
        return r;
    };
    m_handles[0] = CRect(m_invalidRect.left - cx, m_invalidRect.top - cy, m_invalidRect.left,
                         m_invalidRect.top);
    m_handles[2] = moved(m_handles[0], w + cx, 0);
    m_handles[4] = moved(m_handles[2], 0, h + cy);
    m_handles[6] = moved(m_handles[4], -(w + cx), 0);
    m_handles[1] = moved(m_handles[0], (w + cx) / 2, 0);
    m_handles[3] = moved(m_handles[2], 0, (h + cy) / 2);
    m_handles[5] = moved(m_handles[4], -((w + cx) / 2), 0);
    m_handles[7] = moved(m_handles[6], 0, -((h + cy) / 2));
    for (CRect& r : m_handles) {
        r.right += 1;
        r.bottom += 1;
    }
    m_bounds = CRect(m_handles[0].TopLeft(), m_handles[4].BottomRight());
}

void CElement::Invalidate(CView* view, BOOL erase)
{
    if (!view)
        return;
    view->InvalidateRect(WindowLPtoDPRect(view, m_bounds.TopLeft(), m_bounds.BottomRight()),
                         erase != 0);
}

BOOL CElement::IsVisibleIn(const CDC* dc, const CRect& clip) const
{
    if (dc->IsPrinting())
        return TRUE;
    return clip.Intersects(m_bounds);
}

BOOL CElement::IsTracking(const CDC* dc) const
{
    if (dc->IsPrinting())
        return FALSE;
    return (m_state & STATE_TRACKING) && !(m_state & STATE_TRACK_COMMITTED);
}

void CElement::DrawTracker(CDC* dc)
{
    if (dc->IsPrinting() || m_ownedByTable)
        return;
    const COLORREF outline = App().general.variableOutline;
    const COLORREF grey = MakeRGB(128, 128, 128);

    auto outlineRect = [dc](const CRect& r, const CPen& pen) {
        const CPen oldPen = dc->SelectPen(pen);
        const CBrush oldBrush = dc->SelectBrush(CBrush::Null());
        dc->Rectangle(r);
        dc->SelectBrush(oldBrush);
        dc->SelectPen(oldPen);
    };

    if (m_state & STATE_DATA_ENTRY) {
        if (m_state & STATE_CURRENT_FIELD)
            outlineRect(m_invalidRect, CPen(PS_DOT, 0, outline));
        return;
    }
    if (m_state & STATE_TRACKING) {
        outlineRect(m_trackRect, CPen(PS_DOT, 0, grey));
        return;
    }
    if (m_state & STATE_SELECTED) {
        const CPen framePen(PS_INSIDEFRAME, 1, grey);
        const CBrush fill =
            CBrush::Solid((m_state & STATE_PRIMARY) ? grey : MakeRGB(255, 255, 255));
        const CPen oldPen = dc->SelectPen(framePen);
        const CBrush oldBrush = dc->SelectBrush(fill);
        for (int i = 0; i < 8; ++i) {
            if (IsHandleEnabled(i))
                dc->Rectangle(m_handles[i]);
        }
        dc->SelectBrush(CBrush::Null());
        dc->Rectangle(m_invalidRect);
        dc->SelectBrush(oldBrush);
        dc->SelectPen(oldPen);
        return;
    }
    if (m_dataSource != SOURCE_FIXED)
        outlineRect(m_invalidRect, CPen(PS_DOT, 0, outline));
}

int CElement::HitTestHandle(int x, int y) const
{
    if (!(m_state & STATE_SELECTED))
        return HANDLE_NONE;
    for (int i = 0; i < 8; ++i) {
        if (IsHandleEnabled(i) && m_handles[i].PtInRect(CPoint(x, y)))
            return i;
    }
    return HANDLE_NONE;
}

// --- selection, moving and resizing ------------------------------------------

void CElement::Select(CView* view, int mode)
{
    Redraw(view, [this, mode] {
        switch (mode) {
        case 0:
            m_state &= ~DWORD(STATE_SELECTED | STATE_PRIMARY);
            break;
        case 1:
            m_state |= STATE_SELECTED;
            m_state &= ~DWORD(STATE_PRIMARY);
            break;
        case 2:
            m_state |= STATE_SELECTED | STATE_PRIMARY;
            break;
        default:
            break;
        }
    });
}

void CElement::BeginMove(CView* view)
{
    m_state |= STATE_TRACKING;
    UpdateRects(view);
    m_startRect = m_trackRect;
    m_dragPoint = m_trackRect.TopLeft();
}

static CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

void CElement::TrackMove(CView* view, int dx, int dy)
{
    const CPoint p = SnapPoint(m_dragPoint.x + dx, m_dragPoint.y + dy);
    m_trackRect.OffsetRect(p.x - m_trackRect.left, p.y - m_trackRect.top);
    if (const CSnapSeam* snap = App().snap)
        snap->SnapRectToGuides(view, m_trackRect);
    m_bounds = m_trackRect;
    m_state &= ~DWORD(STATE_TRACK_COMMITTED);
}

void CElement::EndMove(CView* view)
{
    ApplyTrackRect(view);
    m_state &= ~DWORD(STATE_TRACKING | STATE_TRACK_COMMITTED);
    UpdateRects(view);
}

void CElement::EndResize(CView* view)
{
    EndMove(view);
}

void CElement::CommitTrack(CView* view)
{
    ApplyTrackRect(view);
    UpdateRects(view);
    m_startRect = m_trackRect;
    m_state |= STATE_TRACK_COMMITTED;
}

namespace {

// The edges of the tracking rectangle that each handle drags.
struct HandleEdges
{
    bool left, top, right, bottom;
};

constexpr HandleEdges kHandleEdges[8] = {
    {true, true, false, false},  // top-left
    {false, true, false, false}, // top
    {false, true, true, false},  // top-right
    {false, false, true, false}, // right
    {false, false, true, true},  // bottom-right
    {false, false, false, true}, // bottom
    {true, false, false, true},  // bottom-left
    {true, false, false, false}, // left
};

} // namespace

void CElement::BeginResize(CView* view, int handle)
{
    BeginMove(view);
    if (handle >= 0 && handle < 8) {
        // The handle's point on the tracking rectangle: a dragged edge, or
        // the middle of the side for the edge handles.
        const CRect& r = m_trackRect;
        const HandleEdges& e = kHandleEdges[handle];
        m_anchor.x = e.left ? r.left : e.right ? r.right : r.left + (r.right - r.left) / 2;
        m_anchor.y = e.top ? r.top : e.bottom ? r.bottom : r.top + (r.bottom - r.top) / 2;
    }
    m_handle = handle;
}

void CElement::TrackResize(CView*, int dx, int dy, BOOL keepAspect)
{
    if (KeepsAspectRatio())
        keepAspect = TRUE;
    const CPoint p = SnapPoint(m_anchor.x + dx, m_anchor.y + dy);
    if (m_handle >= 0 && m_handle < 8) {
        const HandleEdges& e = kHandleEdges[m_handle];
        CRect& r = m_trackRect;
        if (e.left)
            r.left = p.x;
        if (e.top)
            r.top = p.y;
        if (e.right)
            r.right = p.x;
        if (e.bottom)
            r.bottom = p.y;
    }
    if (keepAspect)
        ConstrainAspect();
    m_bounds = m_trackRect;
    m_state &= ~DWORD(STATE_TRACK_COMMITTED);
}

void CElement::ConstrainAspect()
{
    const bool corner = m_handle == HANDLE_TOP_LEFT || m_handle == HANDLE_TOP_RIGHT ||
                        m_handle == HANDLE_BOTTOM_RIGHT || m_handle == HANDLE_BOTTOM_LEFT;
    if (!corner || m_startRect.Height() == 0)
        return;
    const double ratio = double(m_startRect.Width()) / double(m_startRect.Height());
    if (ratio == 0.0)
        return;
    CRect& r = m_trackRect;
    const double width = r.Width();
    const double height = r.Height();
    const bool widthFollows = height != 0.0 && width / height <= ratio;
    // A dragged edge can cross the opposite one, so lengths may be negative.
    if (widthFollows) {
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
}

// --- paper changes -----------------------------------------------------------

double CElement::ScaleFactor(int newWidth, int newHeight, int oldWidth, int oldHeight,
                             bool portrait)
{
    if (!portrait)
        std::swap(newWidth, newHeight);
    if (oldWidth <= 0 || oldHeight <= 0)
        return 1.0;
    return std::min(double(newWidth) / oldWidth, double(newHeight) / oldHeight);
}

void CElement::ScaleToPaper(CView* view, double factor)
{
    m_state |= STATE_SELECTED | STATE_TRACKING;
    UpdateRects(view);
    m_startRect = m_trackRect;
    CRect& r = m_trackRect;
    const int width = r.Width();
    const int height = r.Height();
    r.left = RoundHalfAway(r.left * factor);
    r.top = RoundHalfAway(r.top * factor);
    r.right = r.left + RoundHalfAway(width * factor);
    r.bottom = r.top + RoundHalfAway(height * factor);
    ApplyTrackRect(view);
    m_state &= ~DWORD(STATE_SELECTED | STATE_PRIMARY | STATE_TRACKING);
    UpdateRects(view);
}

// --- names -------------------------------------------------------------------

void CElement::AssignDefaultName()
{
    const CElementList& list = TheElementList();
    const QString type = GetTypeName();
    for (int n = 1;; ++n) {
        const QString candidate = type + QString::number(n);
        const CElement* other = list.FindByName(candidate);
        if (!other || other == this) {
            m_name = candidate;
            m_prompt = candidate;
            return;
        }
    }
}

// --- data entry --------------------------------------------------------------

CPoint QuarterTurnCorner(const CRect& r, int degrees)
{
    switch (degrees) {
    case 90:
        return CPoint(r.right, r.top);
    case 180:
        return CPoint(r.right, r.bottom);
    case 270:
        return CPoint(r.left, r.bottom);
    default:
        return CPoint(r.left, r.top);
    }
}

bool CElement::KeepsStartOnlyData() const
{
    return App().Get<CElementPrintState>().LabelPosition() > 0 && m_startDataOnly &&
           m_dataSource != SOURCE_INCREMENTING;
}

void CElement::TakeUpEntryData(BOOL final, bool propagate)
{
    if (m_dataSource != SOURCE_KEYBOARD && m_dataSource != SOURCE_DATABASE)
        return;
    SetDataText(GetDataText(FALSE), m_dataSource, m_sourceName, final);
    if (!propagate)
        return;
    if (CDataPathSeam* paths = App().dataPaths)
        paths->PropagateElement(this);
}

void CElement::BeginDataEntry()
{
    Redraw(CurrentView(), [this] { m_state = STATE_DATA_ENTRY; });
}

void CElement::EndDataEntry()
{
    CView* view = CurrentView();
    if (!view)
        return;
    Redraw(view, [this] { m_state &= ~DWORD(STATE_DATA_ENTRY | STATE_CURRENT_FIELD); });
}

void CElement::SetDataEntryHighlight(BOOL on)
{
    Redraw(CurrentView(), [this, on] {
        if (on)
            m_state |= STATE_CURRENT_FIELD;
        else
            m_state &= ~DWORD(STATE_CURRENT_FIELD);
    });
}

QString CElement::GetDataText(BOOL sampleOnly)
{
    CDataLinkSeam* link = App().dataLink;
    switch (m_dataSource) {
    case SOURCE_DATABASE:
        return link ? link->GetFieldValue(m_sourceName) : QString();
    case SOURCE_KEYBOARD:
        if (!sampleOnly && link && link->GetLinkKind() == 1 && link->GetStoreRecordCount() > 0)
            return link->GetFieldValue(m_name);
        return m_useSampleData ? GetSampleData() : QString();
    default:
        return QString();
    }
}

BOOL CElement::ValidateData()
{
    if (m_dataSource == SOURCE_FIXED)
        return TRUE;
    const QString text = GetEnteredData();
    if (text.isEmpty() && m_mustEnterData) {
        AppMessageBoxIdArgs(IDS_DATA_MUST_BE_SUPPLIED, {m_name});
        return FALSE;
    }
    const QString limit = QString::number(m_lengthLimit);
    if ((m_lengthConstraint == 1 || m_lengthConstraint == 2) && text.size() > m_lengthLimit) {
        AppMessageBoxIdArgs(IDS_DATA_TOO_LONG, {m_name, limit});
        return FALSE;
    }
    if ((m_lengthConstraint == 1 || m_lengthConstraint == 3) && text.size() < m_lengthLimit) {
        AppMessageBoxIdArgs(IDS_DATA_TOO_SHORT, {m_name, limit});
        return FALSE;
    }
    return TRUE;
}

namespace {

bool IsLineBreakChar(QChar c)
{
    return c.unicode() >= 10 && c.unicode() <= 13;
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsWordEnd(QChar c)
{
    return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u' ' || c == u',' ||
           c == u'.';
}

} // namespace

void CElement::FormatDataText(QString& text) const
{
    if (m_dataSource == SOURCE_FIXED)
        return;

    if (m_filterType != 0) {
        QString kept;
        kept.reserve(text.size());
        for (QChar c : text) {
            bool keep = IsLineBreakChar(c);
            if (!keep) {
                switch (m_filterType) {
                case 1:
                    keep = c.isLetter() || c == u' ';
                    break;
                case 2:
                    keep = IsAsciiDigit(c);
                    break;
                case 3:
                    keep = c.isLetter() || IsAsciiDigit(c) || c == u' ';
                    break;
                case 4:
                    keep = m_filterList.contains(c);
                    break;
                default:
                    keep = true;
                    break;
                }
            }
            if (keep)
                kept += c;
        }
        text = kept;
    }

    switch (m_caseCoercion) {
    case 1:
        text = text.toUpper();
        break;
    case 2:
        text = text.toLower();
        break;
    case 3: {
        qsizetype i = 0;
        while (i < text.size()) {
            while (i < text.size() && IsWordEnd(text[i]))
                ++i;
            qsizetype end = i;
            while (end < text.size() && !IsWordEnd(text[end]))
                ++end;
            if (end > i) {
                const QString word = text.mid(i, end - i);
                if (word != word.toUpper()) {
                    text.replace(i, end - i, word.left(1).toUpper() + word.mid(1).toLower());
                }
            }
            i = end;
        }
        break;
    }
    case 4: {
        text = text.toLower();
        bool capitalise = true;
        for (QChar& c : text) {
            if (capitalise && c.isLetter()) {
                c = c.toUpper();
                capitalise = false;
            } else if (c == u'.' || c == u'\n') {
                capitalise = true;
            }
        }
        break;
    }
    default:
        break;
    }

    const bool maxLimited = m_lengthConstraint == 1 || m_lengthConstraint == 2;
    const bool minLimited = m_lengthConstraint == 1 || m_lengthConstraint == 3;
    if (maxLimited && m_truncation != 0 && m_lengthLimit >= 0 && text.size() > m_lengthLimit)
        text = m_truncation == 1 ? text.right(m_lengthLimit) : text.left(m_lengthLimit);
    // A padding character of 0 would put control characters into the data.
    if (minLimited && m_paddingMode != 0 && m_paddingChar != 0 && text.size() < m_lengthLimit) {
        const char byte = static_cast<char>(m_paddingChar);
        const QString pad(m_lengthLimit - text.size(), FromWindows1252(&byte, 1).at(0));
        text = m_paddingMode == 1 ? pad + text : text + pad;
    }

    if (!text.isEmpty())
        text = m_prefix + text + m_suffix;
}
