// The undo history of element changes, and the element copy that its
// snapshots (and the Duplicate command) are made with.
#pragma once

#include "Element.h"

#include <memory>
#include <vector>

enum UndoKind : int
{
    UNDO_ADDED = 0,
    UNDO_DELETED = 1,
    UNDO_CHANGED = 2,
    UNDO_GROUP_BEGIN = 3,
    UNDO_GROUP_END = 4,
};

// A new element of the same class with the same content, or null when the
// class has no copy (or memory runs out). The copy is a new element: it has
// no identity in the undo history.
CElement* CloneElement(const CElement* element);

// Element classes register how they are copied, by type code; barcodes
// choose their class by symbology inside their copy function.
using ElementCopyFunction = CElement* (*)(const CElement& element);
void RegisterElementCopy(int typeCode, ElementCopyFunction copy);

struct CUndoRecord
{
    int kind = UNDO_ADDED;
    // The element the step concerns, by its identity in the history (0 for
    // group markers): the object in the list changes as steps are replayed.
    quint64 identity = 0;
    std::unique_ptr<CElement> copy; // the saved snapshot, if any
};

class CUndoHistory
{
public:
    CUndoHistory();
    ~CUndoHistory();
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    // Records a step: kind 0 after adding an element to the list, 1 before
    // removing one, 2 before changing one, 3 and 4 (with no element) around
    // an operation on several elements.
    void Record(int kind, CElement* element);
    BOOL Undo(CView* view);
    BOOL Redo(CView* view);
    void Clear();
    // Records that name the old element now name the new one.
    void ReplaceElement(CElement* oldElement, CElement* newElement);

    // Whether Undo or Redo has a step to replay; steps that plainly change
    // nothing (their element has left the sign) do not count.
    BOOL CanUndo() const;
    BOOL CanRedo() const;
    int GetCount() const { return static_cast<int>(m_records.size()); }
    int GetCurrent() const { return m_current; }
    const CUndoRecord& GetRecord(int index) const { return *m_records[std::size_t(index)]; }

private:
    CElement* LiveElement(quint64 identity) const;
    bool IsEmptyStep(const CUndoRecord& record) const;
    bool IsStepOfGoneElement(const CUndoRecord& record) const;
    bool HasStep(int index) const { return index >= 0 && index < GetCount(); }
    void UndoRecord(CUndoRecord& record, CView* view);
    void RedoRecord(CUndoRecord& record, CView* view);
    void Exchange(CUndoRecord& record, CView* view);
    void TakeOut(CUndoRecord& record);
    void PutBack(CUndoRecord& record, CView* view);
    void TrimToDepth();
    int StepCount() const;

    std::vector<std::unique_ptr<CUndoRecord>> m_records;
    int m_current = -1;
    quint64 m_nextIdentity = 1;
};

// The sign's undo history.
CUndoHistory& TheUndoHistory();
