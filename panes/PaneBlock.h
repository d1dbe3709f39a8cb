// A group of controls that more than one pane shows, built once and bound
// to the element it edits. The pane lends it its edit bracket, so an edit
// made in a block keeps its Undo step, redraws the element and marks the
// sign modified just as the pane's own edits do.
#pragma once

#include "ElementView.h"

#include <QGroupBox>
#include <functional>

class CPaneBlock : public QGroupBox
{
    Q_OBJECT

public:
    // The pane's bracket around an edit.
    using Edits = CPaneEdits;

    CPaneBlock(const QString& title, Edits edits, QWidget* parent);

    // The element the block edits, or null once it has gone.
    CElement* Bound() const { return m_element.Get(); }
    template <class T> T* BoundAs() const { return dynamic_cast<T*>(Bound()); }

signals:
    // An edit in the block changed what other controls of the pane show.
    void edited();

protected:
    void SetBound(CElement* element) { m_element = CElementHandle(element); }
    // Runs one edit of the bound element between the pane's bracket.
    void Edit(QObject* control, const std::function<void(CElement*)>& change);
    // As Edit, for a change that may find nothing to do: when it returns
    // false the element is not redrawn nor the sign marked. True when the
    // change ran and altered the element.
    bool EditIf(QObject* control, const std::function<bool(CElement*)>& change);
    template <class T> void EditAs(QObject* control, const std::function<void(T*)>& change)
    {
        Edit(control, [&change](CElement* e) {
            if (auto* typed = dynamic_cast<T*>(e))
                change(typed);
        });
    }
    void MarkModified() const;
    const Edits& PaneEdits() const { return m_edits; }
    // True while the block fills its controls from the element.
    bool IsBinding() const { return m_binding; }
    void SetBinding(bool binding) { m_binding = binding; }
    // A length field whose edits apply only once the block is bound and
    // not filling its controls.
    QLineEdit* AddLengthRow(QGridLayout* grid, int row, const QString& label, int id,
                            int unitLabelId, LengthKind kind, std::function<void(int)> apply);

private:
    Edits m_edits;
    CElementHandle m_element;
    bool m_binding = false;
};
