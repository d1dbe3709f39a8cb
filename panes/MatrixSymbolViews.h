// The panes of the two-dimensional symbols: PDF417, Data Matrix and QR
// Code. One form each, with the position, the data (and its Edit Text
// dialog), a Format group of the symbol's own, the data rules, the element
// name, print options and data source. The GS1 symbols (GS1 Data Matrix,
// GS1 DataBar) take their data from a GS1 data variable: their panes have
// no data box and no rules, and their source is that variable, edited or
// made anew from the pane. GS1-128 has its pane here too, for the same
// source.
#pragma once

#include "SymbolBlocks.h"

#include <functional>
#include <optional>

class CBarcode;
class CDataRulesBlock;
class CDataMatrix;
class CGS1DataBar;
class CPDF417;
class CQRCode;
class QSpinBox;

class CMatrixSymbolView : public CBarcodePaneBase
{
    Q_OBJECT

public:
    void UpdateFromElement() override;

protected:
    // gs1: the data comes from a GS1 data variable.
    CMatrixSymbolView(CBarcode* barcode, int formId, const QString& title, bool gs1,
                      QWidget* parent);

    // Position and Data groups, then (after the Format group the pane adds)
    // the rules, name, print options and source.
    void BuildHead();
    void BuildTail();
    // A titled group on the form.
    QGridLayout* AddGroup(const QString& title);
    // Fills the shared groups from the element.
    void LoadShared(CBarcode* barcode);
    // The rules' enabling for the element's source, then the pane's own.
    void ApplyEnabling();
    virtual void ApplyFormatEnabling() {}
    // What the GS1 Barcode Data dialog is given: 1 keeps the data a GTIN
    // alone, -1 leaves the entries to the user.
    virtual int GS1Mode() const { return -1; }

    // The human-readable group of the symbols that show their data in
    // text (GS1-128 and GS1 DataBar).
    void BuildHumanReadable();
    CHumanReadableBlock* m_human = nullptr;

    // Starts an edit of the Format group (the control that changed, else
    // control). The typed X dimension in mils is read into mils; it stays
    // unset while the box holds no number above 0, so the width is kept
    // and the other values are written. A width out of range is refused
    // after telling the user: nothing is edited.
    CBarcode* BeginFormatEdit(const QComboBox* xDimension, QObject* control,
                              std::optional<double>& mils);
    // A width chosen from the X dimension box's list; set writes it.
    void OnListedWidth(QComboBox* xDimension, int index,
                       const std::function<void(CBarcode*, double mils)>& set);
    // An X dimension box: typed mils, or one of the listed widths.
    static QComboBox* XDimensionBox(QWidget* parent);
    static QString TwoDecimals(double value);
    // The printer's dots per inch across the page (the proof resolution
    // when one is set).
    static int PrinterDpi();

private:
    void OnEditText();
    void BuildGS1Source();
    void OnEditGS1Source();
    void OnNewGS1Source();

    bool m_gs1 = false;
    QLabel* m_gs1Name = nullptr;
    QPushButton* m_gs1Edit = nullptr;
    QPushButton* m_gs1New = nullptr;

    CSymbolPositionBlock* m_position = nullptr;
    QLineEdit* m_data = nullptr;
    QPushButton* m_editText = nullptr;
    CDataRulesBlock* m_rules = nullptr;
};

class CPDF417View : public CMatrixSymbolView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 385;
    explicit CPDF417View(CPDF417* pdf, QWidget* parent = nullptr);

    void ApplyParameters();
    void OnDefaults();

protected:
    void ApplyFormatEnabling() override;

private:
    void Load(CPDF417* pdf);

    QRadioButton* m_percentMode = nullptr;
    QRadioButton* m_levelMode = nullptr;
    QSpinBox* m_percent = nullptr;
    QSpinBox* m_level = nullptr;
    QComboBox* m_xDimension = nullptr;
    QSpinBox* m_moduleAspect = nullptr;
    QRadioButton* m_aspectMode = nullptr;
    QRadioButton* m_rowsMode = nullptr;
    QCheckBox* m_limits = nullptr;
    QSpinBox* m_aspectHeight = nullptr;
    QSpinBox* m_aspectWidth = nullptr;
    QSpinBox* m_rows = nullptr;
    QSpinBox* m_columns = nullptr;
    QCheckBox* m_truncated = nullptr;
    QCheckBox* m_binary = nullptr;
    QPushButton* m_defaults = nullptr;
};

class CDataMatrixView : public CMatrixSymbolView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 384;
    explicit CDataMatrixView(CDataMatrix* matrix, QWidget* parent = nullptr);

    void OnTypeChanged(int index);
    void ApplyParameters();
    // The sizes offered for a type, "Auto (smallest)" first.
    void FillSizeList(int typeIndex);

protected:
    CDataMatrixView(CDataMatrix* matrix, int formId, const QString& title, bool gs1,
                    QWidget* parent);

private:
    void Load(CDataMatrix* matrix);

    int m_typeIndex = 5;
    QComboBox* m_type = nullptr;
    QComboBox* m_format = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_xDimension = nullptr;
};

class CQRCodeView : public CMatrixSymbolView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 412;
    explicit CQRCodeView(CQRCode* qr, QWidget* parent = nullptr);

    void ApplyParameters();

private:
    void Load(CQRCode* qr);

    QComboBox* m_level = nullptr;
    QComboBox* m_mask = nullptr;
    QComboBox* m_xDimension = nullptr;
};

class CGS1DMatrixView : public CDataMatrixView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 390;
    explicit CGS1DMatrixView(CDataMatrix* matrix, QWidget* parent = nullptr);
};

class CGS1DataBarView : public CMatrixSymbolView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 396;
    explicit CGS1DataBarView(CGS1DataBar* dataBar, QWidget* parent = nullptr);

    // Type, X dimension, separator height and segments per row, all four.
    void ApplyFormat();

protected:
    void ApplyFormatEnabling() override;
    int GS1Mode() const override;

private:
    void Load(CGS1DataBar* dataBar);

    QComboBox* m_type = nullptr;
    QComboBox* m_xDimension = nullptr;
    QComboBox* m_separator = nullptr;
    QComboBox* m_segments = nullptr;
};

class CUccEanView : public CMatrixSymbolView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 386;
    explicit CUccEanView(CBarcode* barcode, QWidget* parent = nullptr);
    void UpdateFromElement() override;

protected:
    void ApplyFormatEnabling() override;

private:
    void Load(CBarcode* barcode);

    CBarcodeStyleBlock* m_style = nullptr;
};
