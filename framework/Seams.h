// Interfaces through which lower layers reach services that higher layers
// provide: the design view, the layout aids, the progress window, the
// database link and the data-path map. A layer below never includes the
// classes that implement them.
#pragma once

#include "Types.h"

#include <QString>
#include <QStringList>

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
    // A field's values over every record of the current table or view, in
    // the link's record order; empty when there is none or no link.
    virtual QStringList GetColumnValues(const QString& /*field*/) { return {}; }
    // The field names of the current table or view in their order; empty
    // when no database is connected.
    virtual QStringList GetFieldNames() { return {}; }
};

// What the model asks of the data-path map.
class CDataPathSeam
{
public:
    virtual ~CDataPathSeam() = default;
    virtual void AddElement(CObject* element) = 0;
    virtual void RemoveElement(CObject* element) = 0;
    virtual int GetDependentCount(const CObject* elementOrVariable) const = 0;
    // Whether the element may leave the sign: FALSE, after telling the
    // user, while it feeds another element's or variable's data.
    virtual BOOL CanDeleteElement(CObject* element)
    {
        return GetDependentCount(element) > 0 ? FALSE : TRUE;
    }
    // Unlinks and deletes a variable's node; the variable list calls it
    // before it deletes a variable that feeds nothing.
    virtual void RemoveVariable(CObject* /*variable*/) {}
    // Gives a variable made on a pane its node, linked to its sources, and
    // links whatever already names it.
    virtual void AddVariable(CObject* /*variable*/) {}
    // Brings an element's node up to date after its name or data path
    // changed; the elements and variables it feeds follow a new name. FALSE,
    // after telling the user, when a source was refused because it would
    // close a circle.
    virtual BOOL UpdateElement(CObject* /*element*/, const QString& /*oldName*/) { return TRUE; }
    // An earlier state of an element takes the place of the listed one
    // (undo and redo): the listed one has left the element list.
    virtual void ReplaceElement(CObject* listed, CObject* restored)
    {
        RemoveElement(listed);
        AddElement(restored);
    }
    // Whether the variable's inputs, as it now names them, keep clear of a
    // circle: FALSE, after telling the user, when one of them is the
    // variable itself or is fed by it. A variable being edited as a copy is
    // matched to the map's by its type and name.
    virtual BOOL CheckCircularPath(CObject* /*variable*/) { return TRUE; }
    // Passes the element's current data on to everything it feeds.
    virtual void PropagateElement(CObject* /*element*/) {}
};

// What the print batch dialog of the print station asks of the data-entry
// side: its per-record print driver.
class CPrintRunSeam
{
public:
    virtual ~CPrintRunSeam() = default;
    // Prints the batch: that many records, each with the copies, to the
    // printer (destination 0), a print file (1) or the print queue (2),
    // leaving sheetUsage cells free on the run's first sheet. FALSE when it
    // stopped (a record's data was refused, printing failed or was
    // cancelled).
    virtual BOOL PrintEnteredData(int batch, int copies, int destination, const QString& file,
                                  int sheetUsage) = 0;
    // Ends the run: ejects the partly filled sheet and ends the job, or
    // hands the pending queue job over.
    virtual void EndPrintRun() = 0;
    // One more run in progress (ending false) or one less (ending true).
    virtual void AdjustPrintDepth(bool ending) = 0;
    // Leaves the print station when no run is in progress.
    virtual void LeaveDataEntryIfIdle() = 0;
    // The identical copies to start with: field 0 of the current record when
    // the database link takes the copies from the data; else empty.
    virtual QString CopiesFromData() { return QString(); }
    // Whether a queue job is being collected.
    virtual bool IsQueueJobPending() const { return false; }
    // Whether the print-queue program is installed (its folder is known).
    virtual bool IsQueueAvailable() const { return false; }
    // Whether the sign has been saved (the queue needs its path).
    virtual bool IsSignSaved() const { return false; }
};
