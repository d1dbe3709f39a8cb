// The pane of the linear and postal barcodes: a "Barcode" tab with the
// symbology, position, orientation, data, add-on, name, print options and
// data source, and a "Formatting" tab with the style, check digit, height,
// data rules and human-readable text.
#pragma once

#include "ElementView.h"

class CBarcode;
class CDataRulesBlock;
class QTabWidget;

class CBarcodeView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 381;

    explicit CBarcodeView(CBarcode* barcode, QWidget* parent = nullptr);
    void UpdateFromElement() override;

    // Whether a symbology is edited in this pane (the two-dimensional and
    // GS1 symbols have panes of their own).
    static bool EditsSymbology(int symbologyId);

private:
    QWidget* BuildBarcodePage();
    QWidget* BuildFormattingPage();
    void Load(CBarcode* barcode);
    // Page 2's enabling for the element's values.
    void ApplyEnabling();
    // Before an edit: the element's state is kept for Undo (the pane's
    // opening kept the state before the first edit; typing on in the same
    // box adds no further step).
    CBarcode* BeginEdit(QObject* control);
    // After an edit: the data follows the sample data (with the data rules
    // when the element has a data source) and the symbol is made anew.
    void EndEdit(CBarcode* barcode, bool newLayout = false);
    void OnAddOn(int digits);
    void OnNewStyle();
    void OnEditStyle();
    void ApplyHumanReadable();
    // The note on the chosen face: drawn alike on screen and printer, or not.
    void ShowFaceNote();

    QTabWidget* m_tabs = nullptr;
    QObject* m_lastEdit = nullptr;
    int m_edits = 0;

    // Barcode page.
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QComboBox* m_orientation = nullptr;
    QLabel* m_symbology = nullptr;
    QPushButton* m_change = nullptr;
    QLineEdit* m_data = nullptr;
    QRadioButton* m_addOnNone = nullptr;
    QRadioButton* m_addOnTwo = nullptr;
    QRadioButton* m_addOnFive = nullptr;

    // Formatting page.
    QComboBox* m_style = nullptr;
    QLabel* m_styleDescription = nullptr;
    QPushButton* m_newStyle = nullptr;
    QPushButton* m_editStyle = nullptr;
    QCheckBox* m_calcCheck = nullptr;
    QLineEdit* m_height = nullptr;
    CDataRulesBlock* m_rules = nullptr;
    QCheckBox* m_showHuman = nullptr;
    QCheckBox* m_showCheck = nullptr;
    QComboBox* m_face = nullptr;
    QLabel* m_faceNote = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_fontStyle = nullptr;
    QComboBox* m_justify = nullptr;
    QComboBox* m_position = nullptr;
};
