// The pane of a price element: a "Text" tab with the name, print options,
// position, angle, typefaces, the sample amounts and the data source, and a
// "Formatting" tab with the price format, the copy-fit frame and its
// justification, the colours and the cross-out. Every edit goes straight
// into the element, can be undone and marks the sign modified.
#pragma once

#include "ElementView.h"

class CPriceField;
class QTabWidget;

class CPriceView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 375;

    explicit CPriceView(CPriceField* price, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    QWidget* BuildTextPage();
    QWidget* BuildFormattingPage();
    void Load(CPriceField* price);
    void LoadFont(CPriceField* price);
    void FillFormats(CPriceField* price);
    // Page 2's enabling for the element's values.
    void ApplyEnabling();
    // Before an edit: the element's state is kept for Undo (the pane's
    // opening kept the state before the first edit; typing on in the same
    // box adds no further step).
    CPriceField* BeginEdit(QObject* control);
    // After an edit: the element shows its sample amounts again, laid out.
    void EndEdit(CPriceField* price);

    // The font rules of the Text tab.
    void OnFaceChosen();
    void StyleRule(CPriceField* price);
    void OnSizeEdited();
    void OnAdvanced();
    void OnSingleTypeface();
    // The frame, justification and format as the controls hold them.
    void ApplyFrame(QObject* control);
    void ApplyCrossOut(QObject* control);
    void OnViewFormats();

    QTabWidget* m_tabs = nullptr;
    QObject* m_lastEdit = nullptr;
    int m_edits = 0;
    CLogFont m_workingFont;

    // Text page.
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_angle = nullptr;
    QComboBox* m_face = nullptr;
    QLabel* m_faceKind = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_style = nullptr;
    QCheckBox* m_single = nullptr;
    QPushButton* m_advanced = nullptr;
    QLineEdit* m_primary = nullptr;
    QLineEdit* m_secondary = nullptr;

    // Formatting page.
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
