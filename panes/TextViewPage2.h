// The "Formatting" page of the text pane: the colours, the copy-fit frame
// with its size range and justification, the line spacing and line limit,
// and the data rules with the spelling check before printing.
#pragma once

#include "PaneControls.h"

class CDataRulesBlock;
class CLogFont;
class CText;
class CTextView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class CTextViewPage2 : public CPanePage
{
    Q_OBJECT

public:
    CTextViewPage2(CTextView* pane, QWidget* parent);

    // Shows the element's values.
    void SetElement(CText* text);
    // Entering the page: the copy-fit values and the rules' enabling.
    void Refresh(bool full) override;
    void RefreshGeometry() override;
    void LoadCopyFit(CText* text);
    void LoadRules(CText* text);
    // The size range lists offer the face's sizes.
    void LoadSizeLists(const CLogFont& font);
    // The rules' enabling for the element's data source.
    void ApplyRulesEnabling();

    CDataRulesBlock* RulesBlock() const { return m_rules; }

private:
    void OnCopyFit();
    void OnFrameSize(bool height, int tenths);
    void OnJustify();
    void OnSpacingMode(int mode);
    void OnSpacing();
    void OnRestrict();
    void OnSizeRange(bool minimum, const QString& text);
    void ApplyCopyFitEnabling();

    CTextView* m_pane;
    COLORREF m_textColour = 0;
    CColourSwatch* m_textSwatch = nullptr;
    COLORREF m_backgroundColour = 0;
    QCheckBox* m_coloured = nullptr;
    QWidget* m_backgroundRow[3] = {};
    QCheckBox* m_copyFit = nullptr;
    QLineEdit* m_frameHeight = nullptr;
    QLineEdit* m_frameWidth = nullptr;
    QComboBox* m_horz = nullptr;
    QComboBox* m_vert = nullptr;
    QComboBox* m_minSize = nullptr;
    QComboBox* m_maxSize = nullptr;
    QComboBox* m_spacingMode = nullptr;
    QSpinBox* m_spacing = nullptr;
    QLabel* m_spacingUnit = nullptr;
    QCheckBox* m_preserve = nullptr;
    QCheckBox* m_restrict = nullptr;
    QSpinBox* m_lineCount = nullptr;
    CDataRulesBlock* m_rules = nullptr;
    QCheckBox* m_spellCheck = nullptr;
};
