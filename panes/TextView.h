// The pane of a text element: three pages on a tab strip, "Text"
// (CTextViewPage1), "Formatting" (CTextViewPage2) and "Effects"
// (CTextViewPage3). Every edit goes into the element at once, can be undone
// and marks the sign modified.
#pragma once

#include "ElementView.h"

class CText;
class CTextViewPage1;
class CTextViewPage2;
class CTextViewPage3;

class CTextView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 371;

    explicit CTextView(CText* text, QWidget* parent = nullptr);
    ~CTextView() override;
    void UpdateFromElement() override;

    CTextViewPage1* Page1() const { return m_page1; }
    CTextViewPage2* Page2() const { return m_page2; }
    CTextViewPage3* Page3() const { return m_page3; }

    // While one lives the pane counts as loading, so that what a page puts
    // into its controls is not taken for the user's edit; it leaves the
    // flag as it found it.
    class CFilling
    {
    public:
        explicit CFilling(CTextView* pane) : m_pane(pane), m_was(pane->IsLoading())
        {
            pane->SetLoading(true);
        }
        ~CFilling() { m_pane->SetLoading(m_was); }
        CFilling(const CFilling&) = delete;
        CFilling& operator=(const CFilling&) = delete;

    private:
        CTextView* m_pane;
        bool m_was;
    };

private:
    friend class CTextViewPage1;
    friend class CTextViewPage2;
    friend class CTextViewPage3;

    // Before an edit: the element's state is kept for Undo (the pane's
    // opening kept the state before the first edit; typing on in the same
    // control adds no further step). Null while loading or once the element
    // has gone.
    CText* BeginEdit(QObject* control);
    // After an edit: the element lays itself out again and redraws, and
    // the sign is marked modified.
    void EndEdit(CText* text);

    CTab* m_tabs = nullptr;
    CTextViewPage1* m_page1 = nullptr;
    CTextViewPage2* m_page2 = nullptr;
    CTextViewPage3* m_page3 = nullptr;
    CEditSteps m_steps;
};
