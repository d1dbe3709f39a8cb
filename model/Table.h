// The table element: its rectangle divided into rows and cells by a format
// text (see TableFormat.h), each cell holding one element of another class.
// The cell elements stand in the sign's element list like any other, marked
// as owned by their table: the table lays them out, draws them, saves them
// inside its own record and deletes them.
//
// Units: the table rect, computed sizes and cell rects in tenths of a
// millimetre; heights and widths in hundredths of a per cent; paddings in
// per cent.
#pragma once

#include "Element.h"
#include "TableFormat.h"

#include <vector>

class CElementList;

struct STableCell
{
    int width = 0;
    int computedWidth = 0;
    int type = -1;
    int paddingHorz = 0;
    int paddingVert = 0;
    CElement* element = nullptr; // owned by the table; null for an empty cell
    CRect cellRect;
    CRect innerRect;
    BOOL highlighted = 0; // not stored
};

struct STableRow
{
    std::vector<STableCell> cells;
    int height = 0;
    int computedHeight = 0;
    int separator = 0;
    int hidden = 0; // set by the re-flow, not stored
};

class CTable : public CElement
{
    DECLARE_PERSISTENT(CTable)

public:
    static constexpr int kContextMenu = 357;
    static constexpr int kMaxStoredCoordinate = 1 << 20;

    CTable();
    // Copies the rows and cells with a copy of every cell element, owned by
    // the new table. The copies join the sign's list when the table does.
    // Use Copy: a cell element without a copy leaves its cell empty here.
    CTable(const CTable& other);
    CTable& operator=(const CTable&) = delete;

    // A copy of the table, or null when a cell element could not be copied
    // (a cell without the element its type asks for would be written without
    // it).
    static CElement* Copy(const CElement& element);
    ~CTable() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void TrackCreate(CView* view, int x, int y, BOOL constrain) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    void BeginMove(CView* view) override;
    void TrackMove(CView* view, int dx, int dy) override;
    void EndMove(CView* view) override;
    void BeginResize(CView* view, int handle) override;
    void TrackResize(CView* view, int dx, int dy, BOOL keepAspect) override;
    void EndResize(CView* view) override;
    void ApplyTrackRect(CView* view) override;
    void CommitTrack(CView* view) override;
    int GetContextMenuId() const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void EndDataEntry() override;
    void ResetState(CView* view) override;
    BOOL IsEmpty() const override;
    void SetBounds(CView* view, const CRect& bounds) override;
    // Re-flows the rows after a cell's data changed: a row whose elements
    // are all empty takes no space, and of separator rows that come together
    // only the first is shown.
    void OnCellDataChanged() override;
    void BreakDataLink() override;
    void Refresh() override;

    // Builds the rows and cells of a format text and makes the cell elements
    // in the sign's list. FALSE, with the table as it was, when the text is
    // not valid or an element could not be made for one of its cells.
    BOOL SetFormat(const QString& text);
    // What the pane's Apply does with an edited format text: as SetFormat,
    // except that when the text has as many rows, and each row as many
    // cells, as the table has now, every cell whose type is unchanged keeps
    // its element (and what the user put into it); only cells of a new type
    // get a new element. FALSE, with the table as it was, when the text is
    // not valid or an element could not be made.
    BOOL ApplyFormat(const QString& text);
    // The element whose pane a double click at point (inside the table)
    // asks for: that of the cell under the point; with the Ctrl key flag
    // (kControlKey) down, a nested table's own cell under the point. Null
    // outside the table or over a cell without an element.
    static constexpr unsigned kControlKey = 8;
    CElement* SelectCellAt(CView* view, unsigned keyFlags, const CPoint& point);
    // Another element takes the place of a cell's element (Undo swapping a
    // cell for its earlier state); the cell's mark goes.
    void ReplaceCellElement(CElement* element, CElement* replacement);
    // The copy's cells (and theirs, in nested tables) take the undo
    // identities of this table's cells, so that the undo steps naming a
    // cell still find it after the table itself was swapped for a copy.
    void LendCellIdentities(CTable& copy) const;
    // Computes row heights and cell rects from the table rect and gives each
    // cell element its inner rect.
    void Layout(CView* view);
    // Deletes every cell element (taking it out of the sign's list first)
    // and every row.
    void Clear();
    // Registers every cell element with the sign's data paths.
    void UpdateFieldLinks();
    // Marks the cell holding element while its value is being entered.
    void SetCellHighlight(CView* view, CElement* element, BOOL on);
    // Cells (in nested tables too) whose name another element of the sign
    // already has take names of their own: a duplicated or pasted table's
    // cells must not take the data paths of the cells they were copied from.
    void RenameCopiedCells();
    // Takes every cell element out of the sign's list without deleting it.
    void RemoveCellElements();
    BOOL SameStructure(const CTable& other) const;
    // Gives a cell element that changed its own size back its cell's inner
    // rect.
    void PlaceCellElement(CView* view, CElement* element);

    // Sets the list's hooks that add a table's cells when the table enters
    // the list and take them out when it leaves.
    static void RegisterWithElementList();

    // --- fields, in declaration order ---------------------------------------
    CRect m_tableRect;
    QString m_formatText;
    std::vector<STableRow> m_rows;

private:
    // True while the cell elements are known to stand outside the sign's
    // list (read from a file, copied, or taken out with the table), so the
    // table adds them without looking for them when it joins the list.
    bool m_cellsUnlisted = false;

    // The dotted grey lines of the table, its rows and cells, and the red
    // frame of a highlighted cell, shown while designing.
    void DrawOutline(CDC* dc) const;
    // A new element for a cell of that type, made in the sign's list and
    // owned by this table, with its sample; null when none could be made.
    CElement* NewCellElement(CElementList& list, int type);
    template <class F> void ForEachCellElement(F&& f)
    {
        for (STableRow& row : m_rows) {
            for (STableCell& cell : row.cells) {
                if (cell.element)
                    f(cell.element);
            }
        }
    }
    static void FreeRows(std::vector<STableRow>& rows, CElementList* list);
};
