// The "Effects" page of the text pane: the border around the text and the
// bullets (a symbol, or numbers or letters) before its paragraphs.
#pragma once

#include "PaneControls.h"

class CText;
class CTextView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class CListCtrlEx;
class QRadioButton;
class QSpinBox;

class CTextViewPage3 : public CPanePage
{
    Q_OBJECT

public:
    CTextViewPage3(CTextView* pane, QWidget* parent);

    // Shows the element's values.
    void SetElement(CText* text);
    // Entering the page: the enabling.
    void Refresh(bool full) override;
    // A turned text cannot take a border; the bullet kind enables its own
    // controls.
    void ApplyEnabling();

private:
    void OnBorder(QObject* control);
    void LoadBullets(CText* text);
    void OnBullets(QObject* control);
    void ShowSymbol();
    void ShowStart();

    CTextView* m_pane;
    COLORREF m_borderColour = 0;
    COLORREF m_bulletColour = 0;
    QCheckBox* m_border = nullptr;
    QLineEdit* m_thickness = nullptr;
    QComboBox* m_corners = nullptr;
    QLineEdit* m_horzMargin = nullptr;
    QLineEdit* m_vertMargin = nullptr;
    QPushButton* m_borderSelect = nullptr;
    QLabel* m_turnedNote = nullptr;
    QRadioButton* m_bulletNone = nullptr;
    QRadioButton* m_bulletSymbol = nullptr;
    QRadioButton* m_bulletList = nullptr;
    CListCtrlEx* m_bulletFaces = nullptr;
    QLabel* m_symbol = nullptr;
    QSpinBox* m_symbolSpin = nullptr;
    QComboBox* m_numbering = nullptr;
    QLineEdit* m_bulletPrefix = nullptr;
    QLineEdit* m_bulletSuffix = nullptr;
    QLineEdit* m_start = nullptr;
    QSpinBox* m_startSpin = nullptr;
    QLineEdit* m_offset = nullptr;
    QSpinBox* m_relativeSize = nullptr;
    QPushButton* m_bulletSelect = nullptr;
    int m_symbolCode = 0x6C;
    int m_startValue = 1;
    QString m_bulletFace;
};
