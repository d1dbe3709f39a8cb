#include "ElementList.h"

#include "AppContext.h"
#include "Codec1252.h"
#include "OleObject.h"
#include "DC.h"
#include "Messages.h"
#include "SpellOCX.h"
#include "TextExport.h"
#include "UndoHistory.h"
#include "WaitCursor.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <unordered_set>

IMPLEMENT_PERSISTENT(CElementList, CObject, 1)

namespace {

const char* const kOleObjectLeftOut =
    "This sign holds an OLE object (an object of another Windows program). OLE objects "
    "cannot be shown or kept on this system, so it was left out. Everything else in the sign "
    "has been read.";
const char* const kOleObjectsLeftOut =
    "This sign holds %1 OLE objects (objects of other Windows programs). OLE objects "
    "cannot be shown or kept on this system, so they were left out. Everything else in the "
    "sign has been read.";

} // namespace

std::function<void(CElement*, CElementList&)> CElementList::s_registerTable;
std::function<void(CElement*, CElementList&)> CElementList::s_unregisterTable;

CElementList& TheElementList()
{
    return App().Get<CElementList>();
}

CElementList::CElementList() = default;

CElementList::~CElementList()
{
    DeleteAll();
}

const std::vector<const char*>& CElementList::ElementClassNames()
{
    static const std::vector<const char*> names = {
        "CLine",
        "CBox",
        "CEllipse",
        "CText",
        "CPriceField",
        "CImage",
        "CCode39",
        "CCode93",
        "CInterleaved2of5",
        "CEan13",
        "CEan8",
        "CUpcA",
        "CUpcE",
        "CCode128A",
        "CCode128B",
        "CCode128C",
        "CCode128Auto",
        "CCodabar",
        "CEan128",
        "CEan128A",
        "CEan128B",
        "CEan128C",
        "CPlessey",
        "CMsi",
        "CTelepen",
        "CTelepenNumeric",
        "CRoyalMail",
        "CPostnet",
        "CPDF417",
        "CMS7",
        "CUpcESys1",
        "CDataMatrix",
        "CUccEan128",
        "CITF14",
        "CGS1DMatrix",
        "CQRCode",
        "CGS1DataBar",
        "COleObject",
        "CSymbol",
        "CTable",
        "CArcText",
    };
    return names;
}

CElement* CElementList::CreateElement(const QString& className)
{
    CWaitCursor wait;
    const QByteArray name = className.toLatin1();
    for (const char* candidate : ElementClassNames()) {
        if (name != candidate)
            continue;
        const CRuntimeClass* cls = CRuntimeClass::FromName(candidate);
        if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CElement)))
            return nullptr; // a class this build does not have
        CElement* element = nullptr;
        try {
            element = static_cast<CElement*>(cls->CreateObject());
        } catch (const std::bad_alloc&) {
            AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
            return nullptr;
        }
        if (!element)
            return nullptr;
        if (!AddTail(element)) {
            delete element;
            return nullptr;
        }
        element->AssignDefaultName();
        return element;
    }
    return nullptr;
}

void CElementList::Registered(CElement* element)
{
    if (element->GetTypeCode() == TYPE_TABLE && s_registerTable)
        s_registerTable(element, *this);
}

void CElementList::Unregistered(CElement* element)
{
    if (element->GetTypeCode() == TYPE_TABLE && s_unregisterTable)
        s_unregisterTable(element, *this);
}

BOOL CElementList::Insert(std::size_t position, CElement* element, bool registerTable)
{
    try {
        m_elements.insert(m_elements.begin() + static_cast<std::ptrdiff_t>(position), element);
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return FALSE;
    }
    if (registerTable)
        Registered(element);
    return TRUE;
}

BOOL CElementList::AddHead(CElement* element)
{
    return Insert(0, element, true);
}

BOOL CElementList::AddTail(CElement* element)
{
    return Insert(m_elements.size(), element, true);
}

BOOL CElementList::AddTailSafe(CElement* element)
{
    return Insert(m_elements.size(), element, false);
}

void CElementList::SetAt(int position, CElement* element)
{
    if (position < 0 || position >= GetCount())
        return;
    // The element that held the place leaves the list: a table takes its
    // cells with it.
    CElement* replaced = m_elements[static_cast<std::size_t>(position)];
    m_elements[static_cast<std::size_t>(position)] = element;
    if (replaced && replaced != element)
        Unregistered(replaced);
    Registered(element);
}

int CElementList::Find(const CElement* element) const
{
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i] == element)
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CElementList::Contains(const CElement* element) const
{
    return Find(element) >= 0;
}

BOOL CElementList::Remove(CElement* element)
{
    const int position = Find(element);
    if (position < 0)
        return FALSE;
    m_elements.erase(m_elements.begin() + position);
    Unregistered(element);
    return TRUE;
}

BOOL CElementList::RemoveAndDelete(CElement* element)
{
    if (!Remove(element))
        return FALSE;
    if (!element->m_ownedByTable)
        delete element;
    return TRUE;
}

CElement* CElementList::RemoveHead()
{
    if (m_elements.empty())
        return nullptr;
    CElement* element = m_elements.front();
    m_elements.erase(m_elements.begin());
    Unregistered(element);
    return element;
}

void CElementList::DeleteAll()
{
    // Cells belong to their tables: collect the free elements first, so that
    // a table deleting its cells never leaves a dangling pointer behind here.
    std::vector<CElement*> owned;
    owned.reserve(m_elements.size());
    for (CElement* element : m_elements) {
        if (!element->m_ownedByTable)
            owned.push_back(element);
    }
    m_elements.clear();
    for (CElement* element : owned)
        delete element;
}

CElement* CElementList::FindByName(const QString& name) const
{
    for (CElement* element : m_elements) {
        if (element->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return element;
    }
    return nullptr;
}

static qint64 Area(const CRect& r)
{
    return qint64(r.Width()) * qint64(r.Height());
}

CElement* CElementList::HitTest(int x, int y) const
{
    CElement* best = nullptr;
    qint64 bestArea = 0;
    for (CElement* element : m_elements) {
        if (!element->m_bounds.PtInRect(CPoint(x, y)))
            continue;
        const qint64 area = Area(element->m_bounds);
        if (!best || area < bestArea) {
            best = element;
            bestArea = area;
        }
    }
    return best;
}

CElement* CElementList::FindSmallest() const
{
    CElement* best = nullptr;
    qint64 bestArea = 0;
    for (CElement* element : m_elements) {
        const qint64 area = Area(element->m_bounds);
        if (!best || area < bestArea) {
            best = element;
            bestArea = area;
        }
    }
    return best;
}

void CElementList::Draw(CDC* dc, const CRect& clip, const CElement* leftOut) const
{
    const bool printing = dc->IsPrinting();
    for (CElement* element : m_elements) {
        if (element == leftOut || element->m_ownedByTable || (printing && element->m_notPrinted))
            continue;
        element->Draw(dc, clip);
    }
}

void CElementList::UpdateAllRects(CView* view)
{
    for (CElement* element : m_elements)
        element->UpdateRects(view);
}

// A name is stored in the sign as Windows-1252: a letter that the file
// cannot hold would come back as '?', so only letters it holds count.
static bool IsStorable(QChar c)
{
    return ToWindows1252Char(c) != '?';
}

static bool IsNameStart(QChar c)
{
    return c.isLetter() && IsStorable(c);
}

static bool IsNameChar(QChar c)
{
    return (c.isLetterOrNumber() && IsStorable(c)) || c == u'_';
}

BOOL CElementList::ValidateName(const CElement* element, QString& name) const
{
    name = name.trimmed();
    bool valid = !name.isEmpty() && IsNameStart(name[0]);
    for (qsizetype i = 1; valid && i < name.size(); ++i)
        valid = IsNameChar(name[i]);
    if (valid && !(element && element->m_name.compare(name, Qt::CaseInsensitive) == 0)) {
        const CElement* other = FindByName(name);
        valid = other == nullptr || other == element;
    }
    if (!valid) {
        AppMessageBoxId(IDS_INVALID_ELEMENT_NAME);
        return FALSE;
    }
    return TRUE;
}

BOOL CElementList::HasLinkedElements() const
{
    for (const CElement* element : m_elements) {
        if (element->m_dataSource != SOURCE_FIXED)
            return TRUE;
    }
    return FALSE;
}

BOOL CElementList::HasDataEntryElements() const
{
    return HasSourceKind(SOURCE_KEYBOARD);
}

BOOL CElementList::HasFieldLink(const QString* name) const
{
    for (const CElement* element : m_elements) {
        if (element->m_dataSource != SOURCE_DATABASE)
            continue;
        if (!name || element->m_sourceName.compare(*name, Qt::CaseInsensitive) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL CElementList::HasSourceKind(int kind) const
{
    for (const CElement* element : m_elements) {
        if (element->m_dataSource == kind)
            return TRUE;
    }
    return FALSE;
}

int CElementList::GetProgressWeight() const
{
    int weight = 0;
    for (const CElement* element : m_elements)
        weight += element->GetProgressWeight();
    return weight;
}

void CElementList::BeginDataEntry()
{
    for (CElement* element : m_elements)
        element->BeginDataEntry();
}

void CElementList::RestoreData()
{
    for (CElement* element : m_elements)
        element->RestoreData();
}

void CElementList::EndDataEntry()
{
    for (CElement* element : m_elements)
        element->EndDataEntry();
}

BOOL CElementList::ValidateData()
{
    for (CElement* element : m_elements) {
        if (!element->ValidateData())
            return FALSE;
    }
    return TRUE;
}

void CElementList::OnPrinterChanged(CPrinter* printer)
{
    for (CElement* element : m_elements)
        element->OnPrinterChanged(printer);
}

void CElementList::ScaleAllToPaper(CView* view, double factor)
{
    // An element in a table cell follows its cell when the table scales;
    // scaling it again on its own would shrink it twice and out of the cell.
    for (CElement* element : m_elements) {
        if (!element->m_ownedByTable)
            element->ScaleToPaper(view, factor);
    }
}

// The element's own rectangle, without the handles and outlines that its
// bounds take on while it is selected: the offsets below must not depend on
// the size of the decorations.
static CRect Geometry(CElement* element, CView* view)
{
    element->RecalcPosition(view);
    const CRect geometry = element->m_bounds;
    element->UpdateRects(view);
    return geometry;
}

void CElementList::RotateAllForOrientation(CView* view, bool landscape, int signWidth,
                                           int signHeight)
{
    if (m_elements.empty())
        return;
    CGeneralPreferences& prefs = App().general;
    const double savedAngle = prefs.rotationAngle;
    prefs.rotationAngle = landscape ? 3 * M_PI / 2 : M_PI / 2;

    // One undo step for the whole turn; each element is recorded before it
    // changes, so that the step has something to undo.
    CUndoHistory& history = TheUndoHistory();
    history.Record(UNDO_GROUP_BEGIN, nullptr);
    // A copy: rotating must not be disturbed by a change of the list.
    const std::vector<CElement*> elements = m_elements;
    for (CElement* element : elements) {
        if (element->m_ownedByTable)
            continue;
        history.Record(UNDO_CHANGED, element);
        element->Select(view, 2);
        const CRect old = Geometry(element, view);
        element->Rotate(view);
        if (landscape && element->GetTypeCode() == TYPE_BARCODE) {
            element->Rotate(view);
            element->Rotate(view);
        }
        const CRect now = Geometry(element, view);
        int dx, dy;
        if (landscape) {
            dx = old.top - now.left;
            dy = signHeight - now.bottom - old.left;
        } else {
            dx = signWidth - old.bottom - now.left;
            dy = old.left - now.top;
        }
        element->BeginMove(view);
        element->TrackMove(view, dx, dy);
        element->EndMove(view);
        element->Select(view, 0);
    }
    history.Record(UNDO_GROUP_END, nullptr);
    prefs.rotationAngle = savedAngle;
}

void CElementList::BreakDataLinks()
{
    for (CElement* element : m_elements) {
        if (element->m_dataSource == SOURCE_DATABASE)
            element->BreakDataLink();
    }
}

BOOL CElementList::CheckDataLinks()
{
    CDataLinkSeam* link = App().dataLink;
    BOOL allKept = TRUE;
    for (CElement* element : m_elements) {
        if (element->m_dataSource != SOURCE_DATABASE)
            continue;
        if (!link || !link->TableHasColumn(element->m_sourceName)) {
            element->BreakDataLink();
            allKept = FALSE;
        }
    }
    return allKept;
}

int CElementList::FillComboWithLinked(QStringList& items, const QString& name) const
{
    FillListWithLinked(items);
    if (items.isEmpty())
        return -1;
    const qsizetype index = items.indexOf(name);
    return index >= 0 ? static_cast<int>(index) : 0;
}

int CElementList::FillListWithLinked(QStringList& items) const
{
    items.clear();
    for (const CElement* element : m_elements) {
        if (element->m_dataSource != SOURCE_FIXED)
            items.append(element->m_name);
    }
    return static_cast<int>(items.size());
}

void CElementList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        DWORD count = 0;
        for (const CElement* element : m_elements) {
            if (!element->m_ownedByTable)
                ++count;
        }
        ar.WriteCount(count);
        for (const CElement* element : m_elements) {
            if (!element->m_ownedByTable)
                ar.WriteObject(element);
        }
        return;
    }
    // A damaged file may list one element twice; the elements listed so far
    // are kept in a hashed set so that the check stays linear in the file.
    std::unordered_set<const CElement*> listed(m_elements.begin(), m_elements.end());
    const DWORD count = ar.ReadCount(2);
    int leftOut = 0;
    for (DWORD i = 0; i < count; ++i) {
        COleObject::ElementsFollowing() = int(std::min<DWORD>(count - i - 1, 0x7FFFFFFF));
        CElement* element = ar.ReadObjectOf<CElement>();
        if (!element)
            continue;
        // An OLE object's own data cannot be read here: the object is left
        // out and the rest of the sign read as usual. The archive forgets it
        // too, so that a later reference to it reads as damage.
        if (const auto* object = dynamic_cast<const COleObject*>(element);
            object && object->WasLeftOut()) {
            ar.DiscardObject(element);
            ++leftOut;
            continue;
        }
        if (listed.contains(element))
            throw CArchiveException(CArchiveException::badIndex, "archive: element listed twice");
        const std::size_t before = m_elements.size();
        if (!AddTail(element)) {
            ar.DiscardObject(element);
            throw CArchiveException(CArchiveException::generic, "archive: out of memory");
        }
        // a table lists its cells as it is added
        for (std::size_t j = before; j < m_elements.size(); ++j)
            listed.insert(m_elements[j]);
    }
    if (leftOut > 0) {
        AppMessageBox(leftOut == 1 ? QString::fromLatin1(kOleObjectLeftOut)
                                   : QString::fromLatin1(kOleObjectsLeftOut).arg(leftOut),
                      MB_ICONINFORMATION);
        if (App().loadOutcome == 0)
            App().loadOutcome = 3;
    }
}

void CElementList::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("<elements>\n\n"));
    for (CElement* element : m_elements)
        element->WriteXml(file);
    file.WriteString(QStringLiteral("</elements>\n\n"));
}

BOOL CElementList::CheckSpelling(CView* view, int scope, BOOL& modified)
{
    CSpellOCX& speller = CSpellOCX::Current();
    // The list as it stands: a corrected text never adds or removes elements.
    const std::vector<CElement*> elements = m_elements;
    for (CElement* element : elements) {
        const int type = element->GetTypeCode();
        if ((type != TYPE_TEXT && type != TYPE_ARC_TEXT) || element->m_dataSource != SOURCE_FIXED)
            continue;
        if ((scope == 1 && !element->IsSelected()) || (scope == 2 && element->IsSelected()))
            continue;
        QString corrected;
        switch (speller.CheckText(element->GetSampleData(), corrected)) {
        case 1:
            element->SetSampleData(view, corrected);
            modified = TRUE;
            break;
        case 2:
            return FALSE;
        default:
            break;
        }
    }
    return TRUE;
}
