#include "UndoHistory.h"

#include "AppContext.h"
#include "Archive.h"
#include "ElementList.h"
#include "SignData.h"
#include "Table.h"

#include <array>
#include <new>

namespace {

constexpr int kTypeCodes = TYPE_ARC_TEXT + 1;

std::array<ElementCopyFunction, kTypeCodes>& CopyFunctions()
{
    static std::array<ElementCopyFunction, kTypeCodes> functions{};
    return functions;
}

// A snapshot of the element for the history: the same identity.
CElement* Snapshot(const CElement* element)
{
    CElement* copy = CloneElement(element);
    if (copy) {
        copy->m_undoIdentity = element->m_undoIdentity;
        if (const auto* table = dynamic_cast<const CTable*>(element))
            table->LendCellIdentities(*static_cast<CTable*>(copy));
    }
    return copy;
}

void AddToDataPaths(CElement* element)
{
    if (CDataPathSeam* paths = App().dataPaths)
        paths->AddElement(element);
}

void RemoveFromDataPaths(CElement* element)
{
    if (CDataPathSeam* paths = App().dataPaths)
        paths->RemoveElement(element);
}

// What the element would write into a sign: two elements that write the
// same bytes show and print the same. Empty when it cannot be written.
QByteArray Content(const CElement* element)
{
    QByteArray data;
    CAppContext& app = App();
    const int oldVersion = app.fileVersion;
    CProgressSeam* progress = app.progress;
    app.progress = nullptr;
    app.fileVersion = CSignData::kFileVersion;
    try {
        CArchive ar(&data, CArchive::store);
        ar.WriteObList(std::vector<CElement*>{const_cast<CElement*>(element)});
    } catch (...) {
        data.clear();
    }
    app.fileVersion = oldVersion;
    app.progress = progress;
    return data;
}

} // namespace

void RegisterElementCopy(int typeCode, ElementCopyFunction copy)
{
    if (typeCode >= 0 && typeCode < kTypeCodes)
        CopyFunctions()[std::size_t(typeCode)] = copy;
}

CElement* CloneElement(const CElement* element)
{
    if (!element)
        return nullptr;
    const int type = element->GetTypeCode();
    if (type < 0 || type >= kTypeCodes)
        return nullptr;
    const ElementCopyFunction copy = CopyFunctions()[std::size_t(type)];
    if (!copy)
        return nullptr;
    try {
        CElement* clone = copy(*element);
        if (clone)
            clone->m_undoIdentity = 0;
        return clone;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CUndoHistory& TheUndoHistory()
{
    return App().Get<CUndoHistory>();
}

CUndoHistory::CUndoHistory() = default;
CUndoHistory::~CUndoHistory() = default;

void CUndoHistory::Clear()
{
    m_records.clear();
    m_current = -1;
}

CElement* CUndoHistory::LiveElement(quint64 identity) const
{
    if (identity == 0)
        return nullptr;
    for (CElement* element : TheElementList()) {
        if (element->m_undoIdentity == identity)
            return element;
    }
    return nullptr;
}

void CUndoHistory::Record(int kind, CElement* element)
{
    const bool namesElement = kind == UNDO_ADDED || kind == UNDO_DELETED || kind == UNDO_CHANGED;
    if (namesElement && !element)
        return;
    if (namesElement && element->m_undoIdentity == 0)
        element->m_undoIdentity = m_nextIdentity++;

    auto record = std::make_unique<CUndoRecord>();
    record->kind = kind;
    record->identity = namesElement ? element->m_undoIdentity : 0;
    if (kind == UNDO_DELETED || kind == UNDO_CHANGED) {
        record->copy.reset(Snapshot(element));
        if (!record->copy)
            return; // no copy, no step; the change itself goes ahead
        record->copy->ReleaseCachedData();
    }

    // A new step loses the redo branch.
    m_records.resize(std::size_t(m_current + 1));
    try {
        m_records.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return;
    }
    TrimToDepth();
    m_current = GetCount() - 1;
}

// A change step whose element is gone, or holds what the step saved (a
// pane opened and left without an edit), changes nothing when it is
// replayed: Undo and Redo pass over it, so that each press shows a change.
bool CUndoHistory::IsEmptyStep(const CUndoRecord& record) const
{
    if (record.kind != UNDO_CHANGED)
        return false;
    const CElement* listed = LiveElement(record.identity);
    if (!listed || !record.copy)
        return true;
    const QByteArray now = Content(listed);
    return !now.isEmpty() && now == Content(record.copy.get());
}

// The number of steps that Undo can take: a group counts as one.
int CUndoHistory::StepCount() const
{
    int steps = 0;
    bool inGroup = false;
    for (const auto& record : m_records) {
        if (record->kind == UNDO_GROUP_BEGIN) {
            inGroup = true;
            ++steps;
        } else if (record->kind == UNDO_GROUP_END) {
            inGroup = false;
        } else if (!inGroup) {
            ++steps;
        }
    }
    return steps;
}

// Drops the oldest steps beyond the configured depth. A group goes whole, so
// that no group ever loses its beginning.
void CUndoHistory::TrimToDepth()
{
    const int depth = std::max(1, App().general.undoLevels);
    while (StepCount() > depth && !m_records.empty()) {
        std::size_t drop = 1;
        if (m_records.front()->kind == UNDO_GROUP_BEGIN) {
            while (drop < m_records.size() && m_records[drop - 1]->kind != UNDO_GROUP_END)
                ++drop;
        }
        m_records.erase(m_records.begin(), m_records.begin() + std::ptrdiff_t(drop));
    }
}

// The snapshot and the listed element change places.
void CUndoHistory::Exchange(CUndoRecord& record, CView* view)
{
    CElement* listed = LiveElement(record.identity);
    if (!listed || !record.copy)
        return;
    CElementList& list = TheElementList();
    CElement* restored = record.copy.release();
    // A cell's earlier state takes its place in its table as well.
    if (listed->m_ownedByTable) {
        if (auto* owner = dynamic_cast<CTable*>(listed->m_ownerTable))
            owner->ReplaceCellElement(listed, restored);
    }
    list.SetAt(list.Find(listed), restored);
    restored->ResetState(view);
    if (CDataPathSeam* paths = App().dataPaths)
        paths->ReplaceElement(listed, restored);
    record.copy.reset(listed);
    listed->ReleaseCachedData();
}

// The listed element leaves the list; the record keeps it.
void CUndoHistory::TakeOut(CUndoRecord& record)
{
    if (CElement* element = LiveElement(record.identity)) {
        TheElementList().Remove(element);
        RemoveFromDataPaths(element);
        record.copy.reset(element);
        element->ReleaseCachedData();
    }
}

// The record's element comes back on top of the list; nothing happens when
// it never left.
void CUndoHistory::PutBack(CUndoRecord& record, CView* view)
{
    if (!record.copy || LiveElement(record.identity))
        return;
    CElement* restored = record.copy.release();
    if (!TheElementList().AddTail(restored)) {
        record.copy.reset(restored);
        return;
    }
    restored->ResetState(view);
    AddToDataPaths(restored);
}

void CUndoHistory::UndoRecord(CUndoRecord& record, CView* view)
{
    switch (record.kind) {
    case UNDO_ADDED:
        TakeOut(record);
        break;
    case UNDO_DELETED:
        PutBack(record, view);
        break;
    case UNDO_CHANGED:
        Exchange(record, view);
        break;
    default:
        break;
    }
}

void CUndoHistory::RedoRecord(CUndoRecord& record, CView* view)
{
    switch (record.kind) {
    case UNDO_ADDED:
        PutBack(record, view);
        break;
    case UNDO_DELETED:
        TakeOut(record);
        break;
    case UNDO_CHANGED:
        Exchange(record, view);
        break;
    default:
        break;
    }
}

bool CUndoHistory::IsStepOfGoneElement(const CUndoRecord& record) const
{
    return record.kind == UNDO_CHANGED && !LiveElement(record.identity);
}

BOOL CUndoHistory::CanUndo() const
{
    int index = m_current;
    while (HasStep(index) && IsStepOfGoneElement(*m_records[std::size_t(index)]))
        --index;
    return HasStep(index);
}

BOOL CUndoHistory::CanRedo() const
{
    int index = m_current + 1;
    while (HasStep(index) && IsStepOfGoneElement(*m_records[std::size_t(index)]))
        ++index;
    return HasStep(index);
}

BOOL CUndoHistory::Undo(CView* view)
{
    while (HasStep(m_current) && IsEmptyStep(*m_records[std::size_t(m_current)]))
        --m_current;
    if (!HasStep(m_current))
        return FALSE;
    if (m_records[std::size_t(m_current)]->kind == UNDO_GROUP_END) {
        --m_current;
        while (m_current >= 0) {
            CUndoRecord& record = *m_records[std::size_t(m_current)];
            if (record.kind == UNDO_GROUP_BEGIN)
                break;
            UndoRecord(record, view);
            --m_current;
        }
        if (m_current >= 0)
            --m_current; // past the group begin
    } else {
        UndoRecord(*m_records[std::size_t(m_current)], view);
        --m_current;
    }
    return TRUE;
}

BOOL CUndoHistory::Redo(CView* view)
{
    while (HasStep(m_current + 1) && IsEmptyStep(*m_records[std::size_t(m_current + 1)]))
        ++m_current;
    if (!HasStep(m_current + 1))
        return FALSE;
    ++m_current;
    if (m_records[std::size_t(m_current)]->kind == UNDO_GROUP_BEGIN) {
        while (m_current + 1 < GetCount()) {
            ++m_current;
            CUndoRecord& record = *m_records[std::size_t(m_current)];
            if (record.kind == UNDO_GROUP_END)
                break;
            RedoRecord(record, view);
        }
    } else {
        RedoRecord(*m_records[std::size_t(m_current)], view);
    }
    return TRUE;
}

void CUndoHistory::ReplaceElement(CElement* oldElement, CElement* newElement)
{
    if (!oldElement || !newElement)
        return;
    if (oldElement->m_undoIdentity == 0)
        oldElement->m_undoIdentity = m_nextIdentity++;
    newElement->m_undoIdentity = oldElement->m_undoIdentity;
    oldElement->m_undoIdentity = 0;
}
