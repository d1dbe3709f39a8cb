// The pane of a price element: two pages on a tab strip, "Text"
// (CPriceViewPage1: the name, print options, position, angle, typefaces,
// the sample amounts and the data source) and "Formatting"
// (CPriceViewPage2: the price format, the copy-fit frame and its
// justification, the colours and the cross-out). Every edit goes straight
// into the element, can be undone and marks the sign modified.
#pragma once

#include "ElementView.h"

class CFontColourBlock;
class CPositionSizeBlock;
class CPriceField;
class CPriceView;

class CPriceViewPage1 : public CPanePage
{
    Q_OBJECT

public:
    CPriceViewPage1(CPriceView* pane, QWidget* parent);

    // Shows the element's values.
    void SetElement(CPriceField* price);
    void RefreshGeometry() override;

private:
    void LoadFont(CPriceField* price);
    // The font rules of the page.
    void OnFaceChosen(const QString& face);
    void StyleRule(CPriceField* price);
    void OnSizeEdited();
    void OnAdvanced();
    void OnSingleTypeface();

    CPriceView* m_pane;
    CLogFont m_workingFont;
    CPositionSizeBlock* m_position = nullptr;
    CFontColourBlock* m_font = nullptr;
    QCheckBox* m_single = nullptr;
    QPushButton* m_advanced = nullptr;
    QLineEdit* m_primary = nullptr;
    QLineEdit* m_secondary = nullptr;
};

class CPriceViewPage2 : public CPanePage
{
    Q_OBJECT

public:
    CPriceViewPage2(CPriceView* pane, QWidget* parent);

    // Shows the element's values.
    void SetElement(CPriceField* price);
    // Entering the page: the enabling for the element's values.
    void Refresh(bool full) override;
    void RefreshGeometry() override;
    void ApplyEnabling();

private:
    void FillFormats(CPriceField* price);
    // The frame, justification and format as the controls hold them.
    void ApplyFrame(QObject* control);
    void ApplyCrossOut(QObject* control);
    void OnViewFormats();

    CPriceView* m_pane;
    COLORREF m_textColour = 0;
    COLORREF m_backgroundColour = 0;
    COLORREF m_crossOutColour = 0;
    QComboBox* m_format = nullptr;
    QPushButton* m_view = nullptr;
    QCheckBox* m_copyFit = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_width = nullptr;
    QComboBox* m_horz = nullptr;
    QComboBox* m_vert = nullptr;
    QCheckBox* m_background = nullptr;
    std::vector<QWidget*> m_backgroundRow;
    QCheckBox* m_crossOut = nullptr;
    std::vector<QWidget*> m_crossOutRow;
    QComboBox* m_pattern = nullptr;
    QLineEdit* m_thickness = nullptr;
    QComboBox* m_endType = nullptr;
};

class CPriceView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 375;

    explicit CPriceView(CPriceField* price, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    friend class CPriceViewPage1;
    friend class CPriceViewPage2;

    // Before an edit: the element's state is kept for Undo (the pane's
    // opening kept the state before the first edit; typing on in the same
    // box adds no further step).
    CPriceField* BeginEdit(QObject* control);
    // After an edit: the element shows its sample amounts again, laid out.
    void EndEdit(CPriceField* price);

    CTab* m_tabs = nullptr;
    CPriceViewPage1* m_page1 = nullptr;
    CPriceViewPage2* m_page2 = nullptr;
    CEditSteps m_steps;
};
