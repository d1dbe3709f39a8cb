// Interfaces through which lower layers reach services that higher layers
// provide: the design view, the layout aids, the progress window, the
// database link and the data-path map. A layer below never includes the
// classes that implement them.
#pragma once

#include "Types.h"

#include <QString>

class CObject;

// A window that shows the sign: converts between its logical units (tenths
// of a millimetre) and device pixels, and repaints areas of itself.
class CViewSeam
{
public:
    virtual ~CViewSeam() = default;
    virtual CPoint LPtoDP(CPoint p) const = 0;
    virtual CPoint DPtoLP(CPoint p) const = 0;
    // Distances and sizes: the scale only, no origin.
    virtual CSize LPtoDPSize(CSize s) const = 0;
    virtual CSize DPtoLPSize(CSize s) const = 0;
    // Marks a device rectangle for repainting.
    virtual void InvalidateRect(const CRect& deviceRect, bool erase) = 0;
};

// Snapping of moved and resized elements to the grid and the guides.
class CSnapSeam
{
public:
    virtual ~CSnapSeam() = default;
    virtual CPoint SnapPoint(int x, int y) const = 0;
    virtual void SnapRectToGuides(CViewSeam* view, CRect& rect) const = 0;
};

// The one modeless progress window while a sign is loaded or saved or a
// picture is processed. It cannot be cancelled.
class CProgressSeam
{
public:
    virtual ~CProgressSeam() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetStep(int step) = 0;
    virtual void StepIt() = 0;
    virtual void SetPos(int pos) = 0;
};

// What the model asks of the sign's database link.
class CDataLinkSeam
{
public:
    virtual ~CDataLinkSeam() = default;
    // -1 none, 0 external database, 1 data store.
    virtual int GetLinkKind() const = 0;
    // The current record's value of a field (in a data store: of the column
    // named after an element or variable); empty on failure.
    virtual QString GetFieldValue(const QString& field) = 0;
    // Records held by the data store; 0 for other links.
    virtual int GetStoreRecordCount() = 0;
    // Whether the current table has a column of that name (case ignored).
    virtual bool TableHasColumn(const QString& name) = 0;
};

// What the model asks of the data-path map.
class CDataPathSeam
{
public:
    virtual ~CDataPathSeam() = default;
    virtual void AddElement(CObject* element) = 0;
    virtual void RemoveElement(CObject* element) = 0;
    virtual int GetDependentCount(const CObject* elementOrVariable) const = 0;
    // Unlinks and deletes a variable's node; the variable list calls it
    // before it deletes a variable that feeds nothing.
    virtual void RemoveVariable(CObject* /*variable*/) {}
};
