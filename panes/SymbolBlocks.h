// What the barcode panes share: the edit bracket every barcode edit runs
// in, and the blocks more than one of them shows: the position with its
// orientation, the style with its check digit and height, and the
// human-readable text with its face, size, style and placement.
#pragma once

#include "ElementView.h"
#include "PaneBlock.h"
#include "PositionSizeBlock.h"

class CBarcode;
class CFontColourBlock;
class CListCtrlEx;

// The base of the barcode panes: an edit of the symbol keeps its Undo step,
// the data follows the sample data (with the data rules when the element
// has a data source), the symbol is made anew and the sign is marked
// modified.
class CBarcodePaneBase : public CElementView
{
    Q_OBJECT

public:
    using CElementView::CElementView;

    // Null while the pane is being filled or once the element has gone.
    CBarcode* BeginEdit(QObject* control);
    // newLayout: the bars are laid out anew first (a new style).
    void EndEdit(CBarcode* barcode, bool newLayout = false);
    // The bracket the pane lends its blocks.
    CPaneBlock::Edits Edits();
    // Whether the printer draws the symbology itself.
    static bool NativeFor(const CBarcode* barcode);
};

// X (1002), Y (1005) and the orientation (1012) of a symbol.
class CSymbolPositionBlock : public CPositionSizeBlock
{
    Q_OBJECT

public:
    CSymbolPositionBlock(Edits edits, QWidget* parent);
    void Bind(CBarcode* barcode);
    // Shows the element's position again (after a drag on the canvas).
    void Refresh();

private:
    QComboBox* m_orientation = nullptr;
};

// The style list (1039) with its description (1200), "New..." (1538) and
// "Edit..." (1537), "Calculate Check Digit" (1201) and the symbol height
// (1007). checkEditable: the check box writes the element (else it only
// shows the check digit's state).
class CBarcodeStyleBlock : public CPaneBlock
{
    Q_OBJECT

public:
    CBarcodeStyleBlock(const QString& title, bool checkEditable, Edits edits, QWidget* parent);
    void Bind(CBarcode* barcode);
    // Shows the element's height again.
    void Refresh();
    // The description and the enabling of "New..." and "Edit...".
    void ApplyEnabling();

private:
    void OnStyleChosen();
    void OnNewStyle();
    void OnEditStyle();

    QComboBox* m_style = nullptr;
    QLabel* m_description = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_edit = nullptr;
    QCheckBox* m_calcCheck = nullptr;
    QLineEdit* m_height = nullptr;
};

// The human-readable text of a symbol: "Show Human-Readable" (1198),
// "Include Check Digit(s)" (1199), the font block with the printer's faces
// (1164), the note on the chosen one (1165), the point size (1040) and the
// style (1539), then the justification (1079) and the position (1080).
class CHumanReadableBlock : public CPaneBlock
{
    Q_OBJECT

public:
    CHumanReadableBlock(Edits edits, QWidget* parent);
    void Bind(CBarcode* barcode);
    // The check boxes and the font controls by the symbology and the
    // element's flags.
    void ApplyEnabling();
    // Writes the flags, the font (to all four text parts) and the placement.
    void Apply();

private:
    QCheckBox* m_show = nullptr;
    QCheckBox* m_showCheck = nullptr;
    CFontColourBlock* m_font = nullptr;
    QComboBox* m_justify = nullptr;
    QComboBox* m_position = nullptr;
};
