// The pane of the linear and postal barcodes: a "Barcode" tab with the
// symbology, position, orientation, data, add-on, name, print options and
// data source, and a "Formatting" tab with the style, check digit, height,
// data rules and human-readable text.
#pragma once

#include "PaneControls.h"
#include "SymbolBlocks.h"

class CBarcode;
class CBarcodeView;
class CDataRulesBlock;

// The "Barcode" page (382).
class CBarcodeViewPage1 : public CPanePage
{
    Q_OBJECT

public:
    CBarcodeViewPage1(CBarcodeView& pane, QWidget* parent);
    // The name, print options and source blocks the pane made for the page.
    void AddPaneBlocks(std::initializer_list<QWidget*> blocks);
    // Shows the element's symbology, data, add-on, position and orientation.
    void BindElement(CBarcode* barcode);
    void RefreshGeometry() override;

private:
    void OnChange();
    void OnAddOn(int digits);

    CBarcodeView& m_pane;
    QVBoxLayout* m_layout = nullptr;
    QLabel* m_symbology = nullptr;
    QPushButton* m_change = nullptr;
    CSymbolPositionBlock* m_position = nullptr;
    QLineEdit* m_data = nullptr;
    QRadioButton* m_addOnNone = nullptr;
    QRadioButton* m_addOnTwo = nullptr;
    QRadioButton* m_addOnFive = nullptr;
};

// The "Formatting" page (383).
class CBarcodeViewPage2 : public CPanePage
{
    Q_OBJECT

public:
    CBarcodeViewPage2(CBarcodeView& pane, QWidget* parent);
    // Shows the element's style, check digit, height, data rules and
    // human-readable text.
    void BindElement(CBarcode* barcode);
    void RefreshGeometry() override;
    // Entering the page re-applies its enabling.
    void Refresh(bool full) override;
    // The enabling for the element's data source and flags.
    void ApplyEnabling();
    // The human-readable flags, font and placement into the element.
    void ApplyHumanReadable();

private:
    CBarcodeStyleBlock* m_style = nullptr;
    CDataRulesBlock* m_rules = nullptr;
    CHumanReadableBlock* m_human = nullptr;
};

class CBarcodeView : public CBarcodePaneBase
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
    friend class CBarcodeViewPage1;
    void Load(CBarcode* barcode);

    CTab* m_tabs = nullptr;
    CBarcodeViewPage1* m_page1 = nullptr;
    CBarcodeViewPage2* m_page2 = nullptr;
};
