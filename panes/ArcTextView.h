// The arc text pane: the circle's centre and radius, the start angle, the
// font, the text, its alignment and direction along the arc, the colour, the
// spelling option and the data source.
#pragma once

#include "ElementView.h"

class CArcText;
class CFontColourBlock;
class CPositionSizeBlock;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

class CArcTextView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 389;

    explicit CArcTextView(CArcText* arc, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    void ApplyCircle(int centreX, int centreY, int radius);
    void OnTextEdited();
    void OnArrangement();
    void UpdateSpellCheck();

    QCheckBox* m_doNotPrint = nullptr;
    CFontColourBlock* m_font = nullptr;
    CPositionSizeBlock* m_position = nullptr;
    QLineEdit* m_radius = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QComboBox* m_alignment = nullptr;
    QComboBox* m_direction = nullptr;
    QCheckBox* m_spellCheck = nullptr;
    COLORREF m_colour = 0;
};
