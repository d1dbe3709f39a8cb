#include "OleObject.h"

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "ElementList.h"
#include "LogFont.h"
#include "TextExport.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>

IMPLEMENT_PERSISTENT(COleObject, CElement, 1)

namespace {

// What the placeholder says.
constexpr const char* kPlaceholderLabel = "OLE object";

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

// A little reader over bytes that answers "no" instead of throwing.
class CLookAhead
{
public:
    CLookAhead(QByteArrayView bytes, qsizetype pos) : m_bytes(bytes), m_pos(pos) {}

    qsizetype Pos() const { return m_pos; }
    bool Has(qsizetype n) const { return n >= 0 && m_bytes.size() - m_pos >= n; }
    std::optional<quint16> Word()
    {
        if (!Has(2))
            return std::nullopt;
        const quint16 v = qFromLittleEndian<quint16>(m_bytes.data() + m_pos);
        m_pos += 2;
        return v;
    }
    std::optional<quint32> DWord()
    {
        if (!Has(4))
            return std::nullopt;
        const quint32 v = qFromLittleEndian<quint32>(m_bytes.data() + m_pos);
        m_pos += 4;
        return v;
    }
    std::optional<QByteArrayView> Bytes(qsizetype n)
    {
        if (!Has(n))
            return std::nullopt;
        const QByteArrayView v = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return v;
    }
    // A single-byte string of the archive, refused when it is long or holds
    // control characters (names, prompts and sources of elements never do).
    bool String(qsizetype maxLength)
    {
        if (!Has(1))
            return false;
        qsizetype length = quint8(m_bytes[m_pos++]);
        if (length == 0xFF) {
            const auto w = Word();
            if (!w || *w == 0xFFFF)
                return false;
            length = *w;
        }
        if (length > maxLength)
            return false;
        const auto text = Bytes(length);
        if (!text)
            return false;
        return std::all_of(text->begin(), text->end(),
                           [](char c) { return quint8(c) >= 0x20 && quint8(c) != 0x7F; });
    }
    bool Flag()
    {
        const auto v = DWord();
        return v && *v <= 1;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// The start of an element's common record: its name, data-source kind,
// entry index, prompt, source name and the two flags that follow.
bool LooksLikeElementRecord(CLookAhead r)
{
    if (!r.String(255))
        return false;
    const auto kind = r.DWord();
    if (!kind || *kind > 10)
        return false;
    if (!r.DWord())
        return false;
    return r.String(1024) && r.String(255) && r.Flag() && r.Flag();
}

bool IsElementClassName(QByteArrayView name)
{
    for (const char* candidate : CElementList::ElementClassNames()) {
        if (name == QByteArrayView(candidate)) {
            const CRuntimeClass* cls = CRuntimeClass::FromName(candidate);
            return cls && cls->IsDerivedFrom(RUNTIME_CLASS(CElement));
        }
    }
    return false;
}

// An element's class tag followed by the start of its record.
bool LooksLikeElement(QByteArrayView bytes, qsizetype pos, const CArchive& ar)
{
    CLookAhead r(bytes, pos);
    const auto tag = r.Word();
    if (!tag)
        return false;
    if (*tag == 0xFFFF) {
        const auto schema = r.Word();
        const auto length = r.Word();
        if (!schema || *schema != 1 || !length || *length == 0 || *length > 64)
            return false;
        const auto name = r.Bytes(*length);
        if (!name || !IsElementClassName(*name))
            return false;
    } else if ((*tag & 0x8000) && *tag != 0xFFFF) {
        const CRuntimeClass* cls = ar.LoadedClass(*tag & 0x7FFF);
        if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CElement)))
            return false;
    } else {
        return false;
    }
    return LooksLikeElementRecord(r);
}

// The part of the sign after the element list, for a sign without a
// database link: the unlinked database block, the data-view settings and
// the column widths, with the page labels left to follow.
bool LooksLikeSignTail(QByteArrayView bytes, qsizetype pos, int version)
{
    CLookAhead r(bytes, pos);
    const auto connected = r.DWord();
    if (!connected || *connected != 0)
        return false;
    if (version >= 110) {
        const auto docking = r.DWord();
        if (!docking || (*docking != 2 && *docking != 3))
            return false;
    }
    if (version >= 300 && !r.Flag())
        return false;
    if (version >= 200) {
        if (!r.Flag())
            return false;
        const auto count = r.Word();
        if (!count || *count == 0xFFFF || !r.Bytes(qsizetype(*count) * 4))
            return false;
    }
    // Page labels follow from version 250 on; before it the sign ends here.
    return version >= 250 || !r.Has(1);
}

} // namespace

// --- construction ------------------------------------------------------------

COleObject::COleObject() = default;
COleObject::~COleObject() = default;

CElement* CopyOleObjectElement(const CElement& element)
{
    const auto* object = dynamic_cast<const COleObject*>(&element);
    if (!object)
        return nullptr;
    auto* copy = new COleObject(*object);
    copy->m_notYetPlaced = 0;
    return copy;
}

namespace {
struct COleReadState
{
    int elementsFollowing = 0;
};
} // namespace

int& COleObject::ElementsFollowing()
{
    return App().Get<COleReadState>().elementsFollowing;
}

// --- archive -----------------------------------------------------------------

qsizetype COleObject::FindFollowingRecord(QByteArrayView bytes, const CArchive& ar,
                                          int elementsFollowing, int fileVersion)
{
    for (qsizetype pos = 0; pos + 4 <= bytes.size(); ++pos) {
        if (elementsFollowing > 0 ? LooksLikeElement(bytes, pos, ar)
                                  : LooksLikeSignTail(bytes, pos, fileVersion))
            return pos;
    }
    return -1;
}

void COleObject::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        // Nothing of an object's own data exists on this system: only the
        // frame is written.
        ar << m_position;
        return;
    }
    CRect position;
    ar >> position;
    constexpr int limit = 1 << 20;
    position.left = std::clamp(position.left, -limit, limit);
    position.top = std::clamp(position.top, -limit, limit);
    position.right = std::clamp(position.right, -limit, limit);
    position.bottom = std::clamp(position.bottom, -limit, limit);
    position.NormalizeRect();
    m_position = position;
    m_notYetPlaced = 0;

    // The object's own data runs to where the next record begins.
    const qsizetype skip =
        FindFollowingRecord(ar.PeekRemaining(), ar, ElementsFollowing(), App().fileVersion);
    if (skip < 0)
        throw CArchiveException(CArchiveException::generic,
                                "archive: the end of an OLE object's data cannot be found");
    ar.Skip(skip);
    m_leftOut = true;
    RecalcPosition(nullptr);
}

// --- geometry and drawing ----------------------------------------------------

void COleObject::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] {
        m_position = CRect(p.x, p.y, p.x + m_position.Width(), p.y + m_position.Height());
        m_notYetPlaced = 0;
    });
}

void COleObject::RecalcPosition(CView*)
{
    m_bounds = m_position;
}

void COleObject::ApplyTrackRect(CView*)
{
    CRect r = m_trackRect;
    r.NormalizeRect();
    m_position = r;
}

BOOL COleObject::IsHandleEnabled(int handle) const
{
    return handle == HANDLE_TOP_LEFT || handle == HANDLE_TOP_RIGHT ||
           handle == HANDLE_BOTTOM_RIGHT || handle == HANDLE_BOTTOM_LEFT;
}

void COleObject::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }
    // A grey frame with its diagonals and the label in the middle.
    const int saved = dc->SaveDC();
    dc->SelectPen(CPen(PS_SOLID, 0, MakeRGB(128, 128, 128)));
    dc->SelectBrush(CBrush::Null());
    dc->Rectangle(m_position);
    const CRect& r = m_position;
    dc->MoveTo(r.left, r.top);
    dc->LineTo(r.right - 1, r.bottom - 1);
    dc->MoveTo(r.right - 1, r.top);
    dc->LineTo(r.left, r.bottom - 1);
    LogFontFields lf = CLogFont::DefaultLogFont();
    lf.lfHeight = std::clamp(m_position.Height() / 4, 10, 47);
    dc->SelectFont(CLogFont(lf).GetDrawingFont());
    dc->SetTextColor(MakeRGB(64, 64, 64));
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(MakeRGB(255, 255, 255));
    dc->SetTextAlign(TA_CENTER | TA_BASELINE);
    dc->TextOut(m_position.left + m_position.Width() / 2, m_position.top + m_position.Height() / 2,
                QString::fromLatin1(kPlaceholderLabel));
    dc->RestoreDC(saved);
    DrawTracker(dc);
}

// --- types and verbs ---------------------------------------------------------

int COleObject::GetContextMenuId() const
{
    return kContextMenu;
}

int COleObject::GetTypeCode() const
{
    return TYPE_OLE;
}

QString COleObject::GetTypeName() const
{
    return QStringLiteral("OleObject");
}

BOOL COleObject::EditObject()
{
    return TRUE;
}

BOOL COleObject::OpenObject()
{
    return TRUE;
}

// --- text export -------------------------------------------------------------

void COleObject::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <object>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(QStringLiteral("    <type=%1>\n").arg(QLatin1String(kPlaceholderLabel)));
    file.WriteString(QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n",
                                       m_position.left, m_position.top));
    file.WriteString(QString::asprintf("    <size units=\"TMM\" width=\"%d\" height=\"%d\"/>\n",
                                       m_position.Width(), m_position.Height()));
    file.WriteString(QStringLiteral("\n  </object>\n\n"));
}
