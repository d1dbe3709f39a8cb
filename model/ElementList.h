// The sign's ordered list of elements. It owns them; list order is paint
// order, head first and tail on top.
#pragma once

#include "Element.h"

#include <QStringList>
#include <functional>
#include <vector>

class CElementList : public CObject
{
    DECLARE_PERSISTENT(CElementList)

public:
    CElementList();
    ~CElementList() override;
    CElementList(const CElementList&) = delete;
    CElementList& operator=(const CElementList&) = delete;

    // The element classes that the factory can make, in the order their
    // names are tried.
    static const std::vector<const char*>& ElementClassNames();

    CElement* CreateElement(const QString& className);
    BOOL AddHead(CElement* element);
    BOOL AddTail(CElement* element);
    BOOL AddTailSafe(CElement* element);
    void SetAt(int position, CElement* element);
    BOOL Remove(CElement* element);
    BOOL RemoveAndDelete(CElement* element);
    CElement* RemoveHead();
    void DeleteAll();

    BOOL Contains(const CElement* element) const;
    int Find(const CElement* element) const; // list position, or -1
    CElement* FindByName(const QString& name) const;
    CElement* HitTest(int x, int y) const;
    CElement* FindSmallest() const;

    // Draws every element but the one given as left out (the element a tool
    // holds until the click that places it).
    void Draw(CDC* dc, const CRect& clip, const CElement* leftOut = nullptr) const;
    void UpdateAllRects(CView* view);
    BOOL ValidateName(const CElement* element, QString& name) const;

    BOOL HasLinkedElements() const;
    BOOL HasDataEntryElements() const;
    BOOL HasFieldLink(const QString* name) const;
    BOOL HasSourceKind(int kind) const;
    int GetProgressWeight() const;

    void BeginDataEntry();
    void RestoreData();
    void EndDataEntry();
    BOOL ValidateData();
    void OnPrinterChanged(CPrinter* printer);
    void ScaleAllToPaper(CView* view, double factor);
    // Turns every element a quarter turn for a new page orientation and moves
    // it so the layout keeps its place on the turned sign.
    void RotateAllForOrientation(CView* view, bool landscape, int signWidth, int signHeight);

    void BreakDataLinks();
    BOOL CheckDataLinks();
    // Checks the spelling of the fixed texts (texts and arc texts) in list
    // order: scope 0 every element, 1 the selected ones, 2 the others. A
    // corrected text is put back and modified set to TRUE; FALSE when the
    // user cancelled.
    BOOL CheckSpelling(CView* view, int scope, BOOL& modified);
    // The names of the data-linked elements in list order, and the index of
    // the given name among them (else 0; -1 when there are none).
    int FillComboWithLinked(QStringList& items, const QString& name) const;
    int FillListWithLinked(QStringList& items) const;

    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file);

    int GetCount() const { return static_cast<int>(m_elements.size()); }
    bool IsEmpty() const { return m_elements.empty(); }
    CElement* GetAt(int position) const { return m_elements[static_cast<std::size_t>(position)]; }
    const std::vector<CElement*>& Elements() const { return m_elements; }
    auto begin() const { return m_elements.begin(); }
    auto end() const { return m_elements.end(); }

    // Tables register their cell elements when they enter the list and
    // unregister them when they leave; the table element sets these.
    static std::function<void(CElement* table, CElementList& list)> s_registerTable;
    static std::function<void(CElement* table, CElementList& list)> s_unregisterTable;

private:
    BOOL Insert(std::size_t position, CElement* element, bool registerTable);
    void Registered(CElement* element);
    void Unregistered(CElement* element);

    std::vector<CElement*> m_elements;
};

// The sign's element list.
CElementList& TheElementList();
