#include "Table.h"

#include "AppContext.h"
#include "DC.h"
#include "ElementList.h"
#include "Helpers.h"
#include "Line.h"
#include "UndoHistory.h"

#include <cstdlib>
#include <unordered_set>
#include <utility>

IMPLEMENT_PERSISTENT(CTable, CElement, 1)

namespace {

// How deep the table being read sits inside other tables' cells.
thread_local int t_readDepth = 0;

struct SReadDepth
{
    SReadDepth()
    {
        if (++t_readDepth > CTableFormat::kMaxNesting) {
            --t_readDepth;
            throw CArchiveException(CArchiveException::generic, "archive: tables nested too deep");
        }
    }
    ~SReadDepth() { --t_readDepth; }
    SReadDepth(const SReadDepth&) = delete;
    SReadDepth& operator=(const SReadDepth&) = delete;
};

[[noreturn]] void Refuse(const char* why)
{
    throw CArchiveException(CArchiveException::generic, why);
}

int ReadInRange(CArchive& ar, int low, int high, const char* why)
{
    const int value = ar.ReadInt();
    if (value < low || value > high)
        Refuse(why);
    return value;
}

// A count of entries of at least the given size each that the rest of the
// data can hold.
DWORD ReadCount(CArchive& ar, qsizetype entryBytes)
{
    const DWORD count = ar.ReadDWord();
    if (quint64(count) * quint64(entryBytes) > quint64(ar.BytesRemaining()))
        throw CArchiveException(CArchiveException::endOfFile, "archive: count exceeds the data");
    return count;
}

CElement* MakeCellElement(const QString& className)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName(className.toLatin1().constData());
    if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CElement)))
        return nullptr;
    return static_cast<CElement*>(cls->CreateObject());
}

CRect ReadStoredRect(CArchive& ar)
{
    CRect r;
    ar >> r;
    for (int v : {r.left, r.top, r.right, r.bottom}) {
        if (std::abs(qint64(v)) > CTable::kMaxStoredCoordinate)
            Refuse("archive: table rect out of range");
    }
    return r;
}

CRect Padded(const CRect& cell, const STableCell& c, int rowHeight)
{
    CRect inner = cell;
    if (c.paddingHorz) {
        const int dx = int(c.paddingHorz * 0.01 * c.computedWidth);
        inner.left += dx;
        inner.right -= dx;
    }
    if (c.paddingVert) {
        const int dy = int(c.paddingVert * 0.01 * rowHeight);
        inner.top += dy;
        inner.bottom -= dy;
    }
    return inner;
}

} // namespace

CTable::CTable() = default;

CTable::CTable(const CTable& other)
    : CElement(other), m_tableRect(other.m_tableRect), m_formatText(other.m_formatText),
      m_rows(other.m_rows), m_cellsUnlisted(true)
{
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (!cell.element)
                continue;
            cell.highlighted = 0;
            cell.element = CloneElement(cell.element);
            if (cell.element) {
                cell.element->m_ownedByTable = 1;
                cell.element->m_ownerTable = this;
            }
        }
    }
}

CElement* CTable::Copy(const CElement& element)
{
    const auto* source = dynamic_cast<const CTable*>(&element);
    if (!source)
        return nullptr;
    auto* copy = new CTable(*source);
    for (std::size_t i = 0; i < copy->m_rows.size(); ++i) {
        for (std::size_t j = 0; j < copy->m_rows[i].cells.size(); ++j) {
            if (source->m_rows[i].cells[j].element && !copy->m_rows[i].cells[j].element) {
                delete copy;
                return nullptr;
            }
        }
    }
    return copy;
}

CTable::~CTable()
{
    Clear();
}

void CTable::FreeRows(std::vector<STableRow>& rows, CElementList* list)
{
    for (STableRow& row : rows) {
        for (STableCell& cell : row.cells) {
            if (!cell.element)
                continue;
            // The list never deletes a cell: the cell leaves the data paths
            // and the list (where the table may already have taken it out)
            // and is deleted here.
            if (CDataPathSeam* paths = App().dataPaths)
                paths->RemoveElement(cell.element);
            if (list)
                list->Remove(cell.element);
            delete cell.element;
            cell.element = nullptr;
        }
    }
    rows.clear();
}

void CTable::Clear()
{
    // A table deleted with its sign finds no list: its cells left with it.
    FreeRows(m_rows, App().Find<CElementList>());
}

void CTable::UpdateFieldLinks()
{
    CDataPathSeam* paths = App().dataPaths;
    if (!paths)
        return;
    ForEachCellElement([paths](CElement* e) { paths->AddElement(e); });
}

void CTable::SetCellHighlight(CView* view, CElement* element, BOOL on)
{
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (cell.element != element)
                continue;
            cell.highlighted = on ? 1 : 0;
            if (view)
                view->InvalidateRect(
                    WindowLPtoDPRect(view, cell.cellRect.TopLeft(), cell.cellRect.BottomRight()),
                    true);
            return;
        }
    }
}

void CTable::RenameCopiedCells()
{
    const CElementList& list = TheElementList();
    ForEachCellElement([&list](CElement* e) {
        if (list.FindByName(e->m_name) != e)
            e->AssignDefaultName();
        if (auto* nested = dynamic_cast<CTable*>(e))
            nested->RenameCopiedCells();
    });
}

void CTable::RemoveCellElements()
{
    CElementList& list = TheElementList();
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (cell.element)
                list.Remove(cell.element);
        }
    }
}

BOOL CTable::SameStructure(const CTable& other) const
{
    if (m_rows.size() != other.m_rows.size())
        return FALSE;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].cells.size() != other.m_rows[i].cells.size())
            return FALSE;
    }
    return TRUE;
}

BOOL CTable::SetFormat(const QString& text)
{
    std::optional<CTableFormat> format = CTableFormat::Parse(text);
    if (!format)
        return FALSE;

    CElementList& list = TheElementList();
    std::vector<STableRow> rows;
    rows.reserve(format->rows.size());
    for (const STableRowFormat& rowFormat : format->rows) {
        STableRow& row = rows.emplace_back();
        row.height = rowFormat.height;
        row.separator = rowFormat.separator ? 1 : 0;
        for (const STableCellFormat& cellFormat : rowFormat.cells) {
            STableCell& cell = row.cells.emplace_back();
            cell.width = cellFormat.width;
            cell.type = cellFormat.type;
            cell.paddingHorz = cellFormat.paddingHorz;
            cell.paddingVert = cellFormat.paddingVert;
            if (CTableFormat::ElementClassForType(cell.type).isEmpty())
                continue;
            cell.element = NewCellElement(list, cell.type);
            if (!cell.element) {
                // A cell without the element its type asks for would be
                // written without it and misread on the way back in.
                FreeRows(rows, &list);
                return FALSE;
            }
        }
    }
    Clear();
    m_rows = std::move(rows);
    m_cellsUnlisted = false; // made in the list
    m_formatText = text;
    Layout(nullptr);
    return TRUE;
}

CElement* CTable::NewCellElement(CElementList& list, int type)
{
    const QString className = CTableFormat::ElementClassForType(type);
    CElement* element = className.isEmpty() ? nullptr : list.CreateElement(className);
    if (!element)
        return nullptr;
    element->m_ownedByTable = 1;
    element->m_ownerTable = this;
    switch (type) {
    case TYPE_TEXT:
        element->SetSampleData(nullptr, QStringLiteral("Sample Text"));
        break;
    case TYPE_PRICE:
        element->SetSampleData(nullptr, QStringLiteral("1.00"));
        break;
    case TYPE_SYMBOL:
        element->SetSampleData(nullptr, QStringLiteral("!"));
        break;
    case TYPE_LINE:
        if (auto* line = dynamic_cast<CLine*>(element)) {
            line->m_start = CPoint(0, 10);
            line->m_end = CPoint(10, 10);
        }
        break;
    default:
        break;
    }
    return element;
}

BOOL CTable::ApplyFormat(const QString& text)
{
    std::optional<CTableFormat> format = CTableFormat::Parse(text);
    if (!format)
        return FALSE;
    bool sameShape = format->rows.size() == m_rows.size();
    for (std::size_t i = 0; sameShape && i < m_rows.size(); ++i)
        sameShape = format->rows[i].cells.size() == m_rows[i].cells.size();
    if (!sameShape)
        return SetFormat(text);

    // The elements of the cells whose type changes are made first, so that
    // one that cannot be made leaves the table as it was.
    CElementList& list = TheElementList();
    std::vector<std::vector<CElement*>> made(m_rows.size());
    bool failed = false;
    for (std::size_t i = 0; i < m_rows.size() && !failed; ++i) {
        made[i].assign(m_rows[i].cells.size(), nullptr);
        for (std::size_t j = 0; j < m_rows[i].cells.size(); ++j) {
            const int type = format->rows[i].cells[j].type;
            if (type == m_rows[i].cells[j].type ||
                CTableFormat::ElementClassForType(type).isEmpty())
                continue;
            made[i][j] = NewCellElement(list, type);
            if (!made[i][j]) {
                failed = true;
                break;
            }
        }
    }
    if (failed) {
        for (std::vector<CElement*>& row : made) {
            for (CElement* element : row) {
                if (element) {
                    list.Remove(element);
                    delete element;
                }
            }
        }
        return FALSE;
    }

    CDataPathSeam* paths = App().dataPaths;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        STableRow& row = m_rows[i];
        const STableRowFormat& rowFormat = format->rows[i];
        row.height = rowFormat.height;
        row.separator = rowFormat.separator ? 1 : 0;
        for (std::size_t j = 0; j < row.cells.size(); ++j) {
            STableCell& cell = row.cells[j];
            const STableCellFormat& cellFormat = rowFormat.cells[j];
            if (cellFormat.type != cell.type) {
                if (cell.element) {
                    if (paths)
                        paths->RemoveElement(cell.element);
                    list.Remove(cell.element);
                    delete cell.element;
                }
                cell.element = made[i][j];
                cell.type = cellFormat.type;
                cell.highlighted = 0;
            }
            cell.width = cellFormat.width;
            cell.paddingHorz = cellFormat.paddingHorz;
            cell.paddingVert = cellFormat.paddingVert;
        }
    }
    m_formatText = text;
    Layout(nullptr);
    return TRUE;
}

CElement* CTable::SelectCellAt(CView* view, unsigned keyFlags, const CPoint& point)
{
    if (!m_tableRect.PtInRect(point))
        return nullptr;
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (!cell.element || !cell.cellRect.PtInRect(point))
                continue;
            if ((keyFlags & kControlKey) && cell.element->GetTypeCode() == TYPE_TABLE)
                return static_cast<CTable*>(cell.element)->SelectCellAt(view, keyFlags, point);
            return cell.element;
        }
    }
    return nullptr;
}

void CTable::ReplaceCellElement(CElement* element, CElement* replacement)
{
    if (!element || !replacement)
        return;
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (cell.element != element)
                continue;
            cell.element = replacement;
            cell.highlighted = 0;
            replacement->m_ownedByTable = 1;
            replacement->m_ownerTable = this;
            return;
        }
    }
}

void CTable::LendCellIdentities(CTable& copy) const
{
    if (!SameStructure(copy))
        return;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        for (std::size_t j = 0; j < m_rows[i].cells.size(); ++j) {
            const CElement* from = m_rows[i].cells[j].element;
            CElement* to = copy.m_rows[i].cells[j].element;
            if (!from || !to || from->GetTypeCode() != to->GetTypeCode())
                continue;
            to->m_undoIdentity = from->m_undoIdentity;
            if (from->GetTypeCode() == TYPE_TABLE)
                static_cast<const CTable*>(from)->LendCellIdentities(*static_cast<CTable*>(to));
        }
    }
}

void CTable::Layout(CView* view)
{
    const int tableWidth = m_tableRect.Width();
    const int tableHeight = m_tableRect.Height();
    int y = m_tableRect.top;
    for (STableRow& row : m_rows) {
        row.computedHeight = int(tableHeight * (row.height * 0.0001));
        int x = m_tableRect.left;
        for (STableCell& cell : row.cells) {
            cell.computedWidth = int(tableWidth * (cell.width * 0.0001));
            cell.cellRect = CRect(x, y, x + cell.computedWidth, y + row.computedHeight);
            cell.innerRect = Padded(cell.cellRect, cell, row.computedHeight);
            if (cell.element)
                cell.element->SetBounds(view, cell.innerRect);
            x += cell.computedWidth;
        }
        y += row.computedHeight;
    }
}

void CTable::BeginCreate(CView*, int x, int y)
{
    m_tableRect = CRect(x, y, x, y);
}

void CTable::TrackCreate(CView* view, int x, int y, BOOL)
{
    if (const CSnapSeam* snap = App().snap) {
        const CPoint p = snap->SnapPoint(x, y);
        x = p.x;
        y = p.y;
    }
    Invalidate(view, TRUE);
    if (x >= m_tableRect.left)
        m_tableRect.right = x;
    else
        m_tableRect.left = x;
    if (y >= m_tableRect.top)
        m_tableRect.bottom = y;
    else
        m_tableRect.top = y;
    if (m_formatText != CTableFormat::DefaultText() || m_rows.size() != 1)
        SetFormat(CTableFormat::DefaultText());
    UpdateRects(view);
    Layout(view);
    Invalidate(view, FALSE);
}

void CTable::RecalcPosition(CView* view)
{
    m_bounds = m_tableRect;
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (cell.element)
                cell.element->RecalcPosition(view);
        }
    }
}

void CTable::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    const bool designing = !dc->IsPrinting() && !(m_state & STATE_DATA_ENTRY);
    for (const STableRow& row : m_rows) {
        if (!designing && row.separator && row.hidden)
            continue;
        for (const STableCell& cell : row.cells) {
            if (cell.element)
                cell.element->Draw(dc, clip);
        }
    }
    if (designing)
        DrawOutline(dc);
    DrawTracker(dc);
}

void CTable::DrawOutline(CDC* dc) const
{
    const CPen oldPen = dc->SelectPen(CPen(PS_DOT, 0, MakeRGB(128, 128, 128)));
    const CBrush oldBrush = dc->SelectBrush(CBrush::Null());
    // A table inside a cell is framed by its owner's lines.
    if (!m_ownedByTable)
        dc->Rectangle(m_tableRect);
    int y = m_tableRect.top;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const STableRow& row = m_rows[i];
        if (i > 0) {
            dc->MoveTo(m_tableRect.left, y);
            dc->LineTo(m_tableRect.right, y);
        }
        int x = m_tableRect.left;
        for (std::size_t j = 0; j < row.cells.size(); ++j) {
            if (j > 0) {
                dc->MoveTo(x, y);
                dc->LineTo(x, y + row.computedHeight);
            }
            x += row.cells[j].computedWidth;
        }
        y += row.computedHeight;
    }
    for (const STableRow& row : m_rows) {
        for (const STableCell& cell : row.cells) {
            if (!cell.highlighted)
                continue;
            dc->SelectPen(CPen(PS_INSIDEFRAME, 10, MakeRGB(255, 0, 0)));
            dc->Rectangle(cell.cellRect);
        }
    }
    dc->SelectBrush(oldBrush);
    dc->SelectPen(oldPen);
}

void CTable::BeginMove(CView* view)
{
    CElement::BeginMove(view);
    ForEachCellElement([view](CElement* e) { e->BeginMove(view); });
}

void CTable::TrackMove(CView* view, int dx, int dy)
{
    CElement::TrackMove(view, dx, dy);
    ForEachCellElement([=](CElement* e) { e->TrackMove(view, dx, dy); });
}

void CTable::EndMove(CView* view)
{
    CElement::EndMove(view);
    ForEachCellElement([view](CElement* e) { e->EndMove(view); });
}

void CTable::BeginResize(CView* view, int handle)
{
    CElement::BeginResize(view, handle);
    ForEachCellElement([=](CElement* e) { e->BeginResize(view, handle); });
}

void CTable::TrackResize(CView* view, int dx, int dy, BOOL keepAspect)
{
    CElement::TrackResize(view, dx, dy, keepAspect);
    ForEachCellElement([=](CElement* e) { e->TrackResize(view, dx, dy, keepAspect); });
}

void CTable::EndResize(CView* view)
{
    CElement::EndResize(view);
    ForEachCellElement([view](CElement* e) { e->EndResize(view); });
}

void CTable::CommitTrack(CView* view)
{
    CElement::CommitTrack(view);
    ForEachCellElement([view](CElement* e) { e->CommitTrack(view); });
}

void CTable::ApplyTrackRect(CView* view)
{
    CRect r = m_trackRect;
    r.NormalizeRect();
    m_tableRect = r;
    Layout(view);
}

void CTable::EndDataEntry()
{
    // The rows come back to their designed places.
    Layout(CurrentView());
    CElement::EndDataEntry();
}

void CTable::ResetState(CView* view)
{
    CElement::ResetState(view);
    ForEachCellElement([view](CElement* e) { e->ResetState(view); });
    // Back from the undo history no cell's pane is shown.
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells)
            cell.highlighted = 0;
    }
}

void CTable::BreakDataLink()
{
    ForEachCellElement([](CElement* e) {
        if (e->m_dataSource == SOURCE_DATABASE)
            e->m_dataSource = SOURCE_KEYBOARD;
    });
}

void CTable::Refresh()
{
    CView* view = CurrentView();
    Redraw(view, [this, view] { Layout(view); });
    if (auto* owner = dynamic_cast<CTable*>(m_ownedByTable ? m_ownerTable : nullptr))
        owner->PlaceCellElement(view, this);
}

void CTable::PlaceCellElement(CView* view, CElement* element)
{
    for (STableRow& row : m_rows) {
        for (STableCell& cell : row.cells) {
            if (cell.element == element) {
                element->SetBounds(view, cell.innerRect);
                return;
            }
        }
    }
}

void CTable::OnCellDataChanged()
{
    CView* view = CurrentView();
    int y = m_tableRect.top;
    bool afterSeparator = false;
    for (STableRow& row : m_rows) {
        bool anyElement = false;
        bool allEmpty = true;
        for (const STableCell& cell : row.cells) {
            if (!cell.element)
                continue;
            anyElement = true;
            allEmpty = allEmpty && cell.element->IsEmpty();
        }
        if (anyElement && allEmpty)
            continue;
        if (row.separator && afterSeparator) {
            row.hidden = 1;
            continue;
        }
        int x = m_tableRect.left;
        for (STableCell& cell : row.cells) {
            const CRect cellRect(x, y, x + cell.computedWidth, y + row.computedHeight);
            x += cell.computedWidth;
            if (!cell.element || cellRect == cell.cellRect)
                continue;
            cell.cellRect = cellRect;
            cell.innerRect = Padded(cellRect, cell, row.computedHeight);
            cell.element->SetBounds(view, cell.innerRect);
        }
        afterSeparator = row.separator != 0;
        y += row.computedHeight;
        row.hidden = 0;
    }
}

int CTable::GetContextMenuId() const
{
    return kContextMenu;
}

int CTable::GetTypeCode() const
{
    return TYPE_TABLE;
}

QString CTable::GetTypeName() const
{
    return QStringLiteral("Table");
}

BOOL CTable::IsEmpty() const
{
    for (const STableRow& row : m_rows) {
        for (const STableCell& cell : row.cells) {
            if (!cell.element || !cell.element->IsEmpty())
                return FALSE;
        }
    }
    return TRUE;
}

void CTable::SetBounds(CView* view, const CRect& bounds)
{
    m_tableRect = bounds;
    Layout(view);
    if (view) {
        UpdateRects(view);
        Invalidate(view, TRUE);
        // A nested table laid out by its owner while both are dragged ends
        // its own drag where its owner put it, not at an emptied rect.
        m_trackRect = (m_state & STATE_TRACKING) ? m_tableRect : CRect();
    }
}

void CTable::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_tableRect << m_formatText;
        ar << DWORD(m_rows.size());
        for (const STableRow& row : m_rows) {
            ar << DWORD(row.cells.size());
            for (const STableCell& cell : row.cells) {
                ar << DWORD(cell.width) << DWORD(cell.computedWidth) << DWORD(cell.paddingHorz)
                   << DWORD(cell.paddingVert) << DWORD(cell.type);
                if (cell.element)
                    cell.element->Serialize(ar);
                ar << cell.cellRect << cell.innerRect;
            }
            ar << DWORD(row.height) << DWORD(row.computedHeight) << DWORD(row.separator);
        }
        return;
    }

    SReadDepth depth;
    const CRect tableRect = ReadStoredRect(ar);
    const QString formatText = ar.ReadString();
    std::vector<STableRow> rows;
    try {
        // A row takes at least its cell count and three numbers; a cell at
        // least five numbers and two rects.
        const DWORD rowCount = ReadCount(ar, 16);
        rows.reserve(rowCount);
        for (DWORD i = 0; i < rowCount; ++i) {
            STableRow& row = rows.emplace_back();
            const DWORD cellCount = ReadCount(ar, 52);
            row.cells.reserve(cellCount);
            for (DWORD j = 0; j < cellCount; ++j) {
                STableCell& cell = row.cells.emplace_back();
                cell.width = ReadInRange(ar, 0, CTableFormat::kFull, "archive: cell width");
                cell.computedWidth = ReadInRange(ar, -kMaxStoredCoordinate, kMaxStoredCoordinate,
                                                 "archive: cell width");
                cell.paddingHorz = ReadInRange(ar, 0, 100, "archive: cell padding");
                cell.paddingVert = ReadInRange(ar, 0, 100, "archive: cell padding");
                cell.type = ar.ReadInt();
                const QString className = CTableFormat::ElementClassForType(cell.type);
                if (!className.isEmpty()) {
                    // Made outside the list (the name comes from the file):
                    // the cells join the list with their table, so reading
                    // stays linear in the file's size.
                    CElement* element = MakeCellElement(className);
                    if (!element)
                        Refuse("archive: cell element cannot be made");
                    element->m_ownedByTable = 1;
                    element->m_ownerTable = this;
                    cell.element = element;
                    element->Serialize(ar);
                    element->m_ownedByTable = 1;
                    element->m_ownerTable = this;
                }
                cell.cellRect = ReadStoredRect(ar);
                cell.innerRect = ReadStoredRect(ar);
            }
            row.height = ReadInRange(ar, 0, CTableFormat::kFull, "archive: row height");
            row.computedHeight =
                ReadInRange(ar, -kMaxStoredCoordinate, kMaxStoredCoordinate, "archive: row height");
            row.separator = ar.ReadInt() != 0 ? 1 : 0;
        }
    } catch (...) {
        FreeRows(rows, nullptr);
        throw;
    }
    Clear();
    m_tableRect = tableRect;
    m_formatText = formatText;
    m_rows = std::move(rows);
    m_cellsUnlisted = true;
    RecalcPosition(nullptr);
}

void CTable::RegisterWithElementList()
{
    RegisterElementCopy(TYPE_TABLE, &CTable::Copy);
    CElementList::s_registerTable = [](CElement* element, CElementList& list) {
        auto* table = dynamic_cast<CTable*>(element);
        if (!table)
            return;
        // Cells already in the list (made there by the format) are looked
        // for once, from the end where they were added.
        std::unordered_set<const CElement*> missing;
        table->ForEachCellElement([&missing](CElement* e) { missing.insert(e); });
        if (!table->m_cellsUnlisted) {
            const std::vector<CElement*>& listed = list.Elements();
            for (auto it = listed.rbegin(); it != listed.rend() && !missing.empty(); ++it)
                missing.erase(*it);
        }
        table->m_cellsUnlisted = false;
        table->ForEachCellElement([&](CElement* e) {
            if (missing.contains(e))
                list.AddTail(e);
        });
    };
    CElementList::s_unregisterTable = [](CElement* element, CElementList& list) {
        auto* table = dynamic_cast<CTable*>(element);
        if (!table)
            return;
        table->ForEachCellElement([&list](CElement* e) { list.Remove(e); });
        table->m_cellsUnlisted = true;
    };
}
