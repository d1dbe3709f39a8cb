// The base class of every drawable element of a sign: its name, bounds,
// selection handles and interaction state, and the data-path settings that
// say where its content comes from and how typed data is checked and shaped.
#pragma once

#include "Archive.h"
#include "Object.h"
#include "Seams.h"
#include "Types.h"

#include <QString>

class CDC;
class CLogFont;
class CPrinter;
class CTextExportFile;

using CView = CViewSeam;

// Data-source kinds of an element's content.
enum DataSourceKind : int
{
    SOURCE_FIXED = 0,
    SOURCE_KEYBOARD = 1,
    SOURCE_DATABASE = 2,
    SOURCE_OPTION_LIST = 3,
    SOURCE_INCREMENTING = 4,
    SOURCE_DATE_TIME = 5,
    SOURCE_PRICE_CALC = 6,
    SOURCE_MACRO = 7,
    SOURCE_GS1 = 8,
    SOURCE_COMBINATION = 9,
    SOURCE_ELEMENT = 10,
};

// Element state flags.
enum ElementState : DWORD
{
    STATE_SELECTED = 1,
    STATE_PRIMARY = 2,
    STATE_TRACKING = 4,
    STATE_TRACK_COMMITTED = 8,
    STATE_DATA_ENTRY = 16,
    STATE_CURRENT_FIELD = 32,
};

// Element type codes.
enum ElementType : int
{
    TYPE_BASE = -1,
    TYPE_LINE = 0,
    TYPE_BOX = 1,
    TYPE_ELLIPSE = 2,
    TYPE_TEXT = 3,
    TYPE_PRICE = 4,
    TYPE_PICTURE = 5,
    TYPE_BARCODE = 6,
    TYPE_OLE = 7,
    TYPE_SYMBOL = 8,
    TYPE_TABLE = 9,
    TYPE_ARC_TEXT = 10,
};

// Handle indexes, clockwise from the top-left corner.
enum Handle : int
{
    HANDLE_NONE = -1,
    HANDLE_TOP_LEFT = 0,
    HANDLE_TOP = 1,
    HANDLE_TOP_RIGHT = 2,
    HANDLE_RIGHT = 3,
    HANDLE_BOTTOM_RIGHT = 4,
    HANDLE_BOTTOM = 5,
    HANDLE_BOTTOM_LEFT = 6,
    HANDLE_LEFT = 7,
};

constexpr int kElementContextMenu = 121;

// The corner of a (normalised) rectangle that the top-left of a frame turned
// by a quarter turn starts from: 90, 180 and 270 degrees turn it, any other
// angle leaves it at the top-left.
CPoint QuarterTurnCorner(const CRect& r, int degrees);

class CElement : public CObject
{
    DECLARE_PERSISTENT(CElement)

public:
    CElement();
    CElement(const CElement& other) = default;
    CElement& operator=(const CElement& other) = default;
    ~CElement() override;

    // The common record that every element class writes first.
    void Serialize(CArchive& ar) override;

    // --- virtual operations, in their fixed order ---------------------------
    virtual void SetDataSource(int kind, const QString& sourceName);
    virtual void BeginCreate(CView* view, int x, int y);
    virtual void TrackCreate(CView* view, int x, int y, BOOL constrain);
    virtual void EndCreate(CView* view, unsigned flags);
    virtual void Select(CView* view, int mode);
    virtual void RecalcPosition(CView* view);
    virtual void Draw(CDC* dc, const CRect& clip);
    virtual void BeginMove(CView* view);
    virtual void TrackMove(CView* view, int dx, int dy);
    virtual void EndMove(CView* view);
    virtual void BeginResize(CView* view, int handle);
    virtual void TrackResize(CView* view, int dx, int dy, BOOL keepAspect);
    virtual void EndResize(CView* view);
    virtual BOOL KeepsAspectRatio() const;
    virtual void ConstrainAspect();
    virtual void ApplyTrackRect(CView* view);
    virtual void CommitTrack(CView* view);
    virtual void Rotate(CView* view);
    virtual void RotateAbout(CView* view, CPoint centre);
    virtual BOOL IsHandleEnabled(int handle) const;
    virtual int GetContextMenuId() const;
    virtual void Reserved1();
    virtual void Reserved2();
    virtual void Reserved3();
    virtual void Reserved4();
    virtual int GetTypeCode() const;
    virtual QString GetTypeName() const;
    virtual BOOL ResamplePicture(CView* view);
    virtual BOOL InvertPicture(CView* view);
    virtual BOOL GreyscalePicture(CView* view);
    virtual void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL flag);
    virtual void BeginDataEntry();
    virtual BOOL ValidateData();
    virtual void RestoreData();
    virtual void EndDataEntry();
    virtual QString GetDataText(BOOL sampleOnly);
    virtual void OnPrinterChanged(CPrinter* printer);
    virtual int GetProgressWeight() const;
    virtual BOOL GetFont(CLogFont& font) const;
    virtual void SetFont(CView* view, const CLogFont& font);
    virtual int GetThickness() const;
    virtual void SetThickness(CView* view, int value);
    virtual void ReleaseCachedData();
    virtual void ResetState(CView* view);
    virtual void Reformat();
    virtual QString GetText() const;
    virtual QString GetSampleData() const;
    virtual QString GetEnteredData() const;
    virtual void SetSampleData(CView* view, const QString& text);
    virtual BOOL IsEmpty() const;
    virtual BOOL IsSpellCheckForced() const;
    virtual void WriteXml(CTextExportFile& file);
    virtual BOOL EditObject();
    virtual BOOL OpenObject();
    virtual BOOL GetColour(COLORREF& colour) const;
    virtual BOOL GetFill(COLORREF& colour) const;
    virtual BOOL GetOutlineColour(COLORREF& colour) const;
    virtual BOOL GetBulletColour(COLORREF& colour) const;
    virtual BOOL GetCrossOutColour(COLORREF& colour) const;
    virtual void CopyColoursFrom(const CElement* element);
    virtual void SetBounds(CView* view, const CRect& bounds);
    virtual void OnCellDataChanged();
    virtual void BreakDataLink();
    virtual void Refresh();

    // --- non-virtual operations ---------------------------------------------
    void UpdateRects(CView* view);
    void Invalidate(CView* view, BOOL erase);
    BOOL IsVisibleIn(const CDC* dc, const CRect& clip) const;
    BOOL IsTracking(const CDC* dc) const;
    void DrawTracker(CDC* dc);
    int HitTestHandle(int x, int y) const;
    void SetDataEntryHighlight(BOOL on);
    // Scales the element by a factor about the sign's origin (a change of
    // paper type); see ScaleFactor for the factor of two sign sizes.
    // Elements with parts that must not scale with the rest replace it.
    virtual void ScaleToPaper(CView* view, double factor);
    static double ScaleFactor(int newWidth, int newHeight, int oldWidth, int oldHeight,
                              bool portrait);
    void AssignDefaultName();
    void FormatDataText(QString& text) const;

    BOOL IsSelected() const { return (m_state & STATE_SELECTED) != 0; }
    BOOL IsPrimary() const { return (m_state & STATE_PRIMARY) != 0; }

    // --- fields, in declaration order ---------------------------------------
    QString m_name;
    BOOL m_notPrinted = 0;
    CRect m_bounds;
    int m_orientation = 0;
    CRect m_handles[8];
    DWORD m_state = 0;
    CRect m_invalidRect;
    CRect m_startRect;
    CRect m_trackRect;
    CPoint m_dragPoint;
    CPoint m_anchor;
    int m_handle = HANDLE_NONE;
    int m_dataSource = SOURCE_FIXED;
    QString m_sourceName;
    QString m_prompt;
    BOOL m_dbReadOnly = 1;
    BOOL m_startDataOnly = 0;
    BOOL m_mustEnterData = 0;
    BOOL m_useSampleData = 1;
    int m_dataEntryIndex = 0;
    int m_filterType = 0;
    QString m_filterList;
    int m_caseCoercion = 0;
    QString m_prefix;
    QString m_suffix;
    int m_lengthConstraint = 0;
    int m_lengthLimit = -1;
    int m_truncation = 0;
    int m_paddingMode = 0;
    BYTE m_paddingChar = 0;
    BOOL m_nativePrint = 0;
    BOOL m_ownedByTable = 0;
    CElement* m_ownerTable = nullptr;

    // The element's identity in the undo history: 0 until the history first
    // records it. The history's own snapshots share it; CloneElement gives a
    // new element none.
    quint64 m_undoIdentity = 0;

protected:
    // The view that elements redraw themselves in outside a drawing call.
    static CView* CurrentView();
    // Past the first label of a print run, start-only data stays as it was:
    // SetDataText leaves the element alone while this holds.
    bool KeepsStartOnlyData() const;
    // At the start of data entry a typed or linked element takes up the data
    // it holds (final: laid out as it prints); with propagate the data then
    // reaches the elements and variables it feeds.
    void TakeUpEntryData(BOOL final, bool propagate);
    // Invalidate with erasing, change, recompute, invalidate without erasing.
    template <class F> void Redraw(CView* view, F&& change)
    {
        Invalidate(view, TRUE);
        change();
        UpdateRects(view);
        Invalidate(view, FALSE);
    }
};
