// The font block of the panes that show text: the face list (1164) with a
// picture for each face's kind and the note on the face chosen (1165), the
// point sizes the face allows (1040), the style (1039), Underline (1038),
// Strikeout (1037) and the colour of the text (1043 with its "Select..."
// 1044). One block serves the text, arc text and price panes, the
// human-readable text of the barcode panes, and any pane that shows a font.
//
// The block shows a font and reports what the user chose. A pane that has
// rules of its own around a font edit listens to the signals; a pane whose
// element simply takes the font binds the block to it (Bind), and the block
// then writes the element's font itself.
#pragma once

#include "ElementView.h"

#include <QGroupBox>
#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class CListCtrlEx;

class CFontColourBlock : public QGroupBox
{
    Q_OBJECT

public:
    enum Option : int
    {
        // Underline and Strikeout.
        EFFECTS = 0x02,
        // The colour of the text, with its "Select...".
        COLOUR = 0x04,
        // The style box is 1539, for a page whose 1039 is the symbol's
        // style list (the human-readable text of a barcode).
        SYMBOL_TEXT = 0x08,
    };

    // The pane's bracket around an edit of a bound block, as the data rules
    // block has it: begin returns the element to edit (null while the pane
    // is being filled or once the element has gone) and keeps its state for
    // Undo; end redraws the element and marks the sign modified.
    struct Edits
    {
        std::function<CElement*(QObject* control)> begin;
        std::function<void(CElement* element)> end;
    };

    explicit CFontColourBlock(int options, QWidget* parent = nullptr);

    // --- the face lists ---------------------------------------------------------
    // Fills a face list with the printer's faces, each with its data word
    // (the item data) and the picture of its kind.
    static void FillFaces(CListCtrlEx* list);
    // Selects the face in the list, adding it at the top when the printer
    // lacks it; returns its row.
    static int SelectFace(CListCtrlEx* list, const QString& face);
    // Whether a face list's data word is that of a TrueType face.
    static bool IsTrueType(DWORD faceData);
    // The point-size list's entries for the font's face.
    static QStringList SizeItems(const CLogFont& font);

    // --- showing ------------------------------------------------------------------
    // Shows the font: face (with its note), sizes, size, style, effects.
    // Reports nothing.
    void ShowFont(const CLogFont& font);
    // Shows a size without filling the list again.
    void ShowSize(const QString& points);
    // The colour field the swatch shows and edits (with COLOUR).
    void SetColourField(COLORREF* colour);

    // --- reading --------------------------------------------------------------------
    // The font with the style, Underline and Strikeout the block shows; the
    // size stays the font's own.
    CLogFont ReadStyle(const CLogFont& font) const;

    // --- binding ---------------------------------------------------------------------
    // The block writes the bound element's font itself: a face keeps the
    // size (snapped to what the face allows), a size keeps the face, and a
    // style keeps both. The colour, when shown, is written by colourApply.
    void Bind(CElement* element, Edits edits, std::function<void(CElement*)> colourApply = {});

    CListCtrlEx* Faces() const { return m_faces; }
    QLabel* FaceKind() const { return m_faceKind; }
    QComboBox* Size() const { return m_size; }
    QComboBox* Style() const { return m_style; }
    QCheckBox* Underline() const { return m_underline; }
    QCheckBox* StrikeOut() const { return m_strikeOut; }
    CColourSwatch* Colour() const { return m_colour; }
    QGridLayout* Grid() const { return m_grid; }
    // The grid row below the block's own rows, for a pane's additions.
    int NextRow() const { return m_nextRow; }

signals:
    // A face chosen in the list, with its data word.
    void faceChosen(const QString& face, DWORD faceData);
    // A number of points typed or chosen in the size list.
    void sizeChosen(double points);
    // Style, Underline or Strikeout changed.
    void styleChosen();
    // A colour chosen with "Select..." (already in the colour field).
    void colourChosen();

private:
    void OnFace();
    void OnSize(const QString& text);
    void ShowFaceKind(DWORD faceData);
    // The bound element's edits.
    void EditFont(QObject* control, const std::function<void(CLogFont&)>& change);

    QGridLayout* m_grid = nullptr;
    CListCtrlEx* m_faces = nullptr;
    QLabel* m_faceKind = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_style = nullptr;
    QCheckBox* m_underline = nullptr;
    QCheckBox* m_strikeOut = nullptr;
    CColourSwatch* m_colour = nullptr;
    QWidget* m_colourSelect = nullptr;
    COLORREF m_ownColour = 0;
    int m_nextRow = 0;
    int m_faceRow = -1; // the face shown, selected again after a click on no item
    bool m_showing = false;

    CElementHandle m_element;
    Edits m_edits;
    std::function<void(CElement*)> m_colourApply;
};
