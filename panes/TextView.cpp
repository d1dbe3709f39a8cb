#include "TextView.h"

#include "TextViewPage1.h"
#include "TextViewPage2.h"
#include "TextViewPage3.h"

#include "Text.h"
#include "UndoHistory.h"

CTextView::CTextView(CText* text, QWidget* parent) : CElementView(text, kFormId, tr("Text"), parent)
{
    m_tabs = new CTab(Form()->parentWidget());
    Form()->addWidget(m_tabs);
    m_page1 = new CTextViewPage1(this, m_tabs);
    m_page2 = new CTextViewPage2(this, m_tabs);
    m_page3 = new CTextViewPage3(this, m_tabs);
    m_tabs->AddPage(m_page1, tr("Text"));
    m_tabs->AddPage(m_page2, tr("Formatting"));
    m_tabs->AddPage(m_page3, tr("Effects"));
    // The source block (of the base) changes the kind of data: the rules
    // follow.
    connect(this, &CElementView::elementEdited, this, [this] {
        if (!IsLoading()) {
            m_page2->ApplyRulesEnabling();
            m_page1->RefreshSize();
            m_page1->ShowStampSample();
        }
    });
    if (text) {
        SetLoading(true);
        m_page1->SetElement(text);
        m_page2->SetElement(text);
        m_page3->SetElement(text);
        UpdateFromElement();
        m_page2->ApplyRulesEnabling();
        m_page1->RefreshSize();
    }
    SetLoading(false);
}

CTextView::~CTextView() = default;

void CTextView::UpdateFromElement()
{
    m_page1->RefreshGeometry();
    m_page2->RefreshGeometry();
}

CText* CTextView::BeginEdit(QObject* control)
{
    if (IsLoading())
        return nullptr;
    auto* t = ElementAs<CText>();
    if (!t)
        return nullptr;
    // The pane's opening normally kept the state before the first edit;
    // when it did not (the text tool's new text), the first edit keeps it.
    CUndoHistory& history = TheUndoHistory();
    bool kept = true;
    if (m_steps.Count() == 0) {
        const int current = history.GetCurrent();
        kept = current >= 0 && current < history.GetCount() &&
               history.GetRecord(current).kind == UNDO_CHANGED &&
               history.GetRecord(current).identity == t->m_undoIdentity;
    }
    if (m_steps.Starts(control, kept))
        history.Record(UNDO_CHANGED, t);
    return t;
}

void CTextView::EndEdit(CText* t)
{
    ElementEdited(t);
    t->RecalcPosition(PaneBuild::View());
}
