// GS1 DataBar in its six kinds. The symbol is encoded through CSymbolMatrix
// and drawn module by module; the human-readable text shows the element
// string with its application identifiers in brackets and the GTIN's check
// digit.
#pragma once

#include "Barcode.h"

class CGS1DataBar : public CBarcode
{
    DECLARE_PERSISTENT(CGS1DataBar)

public:
    enum Kind : int
    {
        kOmnidirectional = 1,
        kTruncated = 2,
        kStacked = 3,
        kStackedOmnidirectional = 4,
        kLimited = 5,
        kExpanded = 6,
    };

    CGS1DataBar();
    CGS1DataBar(const CGS1DataBar&) = default;

    void Serialize(CArchive& ar) override;
    BOOL IsHandleEnabled(int handle) const override;
    void WriteXml(CTextExportFile& file) override;
    void Regenerate() override;
    void ShowInvalid() override;
    // "%%" is a percent sign and "%1" a function 1 ("#"). Expanded takes
    // any text; the other kinds take digits: a leading "01" is the
    // identifier and is dropped, the GTIN is padded with zeros to 13 digits
    // (its check digit is the encoder's).
    BOOL PrepareData() override;
    void LayoutHumanReadable() override;
    // Linked to GS1 data, the element takes its element string.
    void SetDataSource(int kind, const QString& sourceName) override;
    void EndDataEntry() override;

    // The kind chosen in the type dialog (index 0..5); the stacked kinds
    // hide the human-readable text, the others show it.
    void SetDataBarType(int index);
    int GetDataBarType() const { return m_type; }

    // The GS1 check digit of a run of digits (modulo 10, weights 3 and 1
    // from the right).
    static int CheckDigit(const QString& digits);

    int m_type = kOmnidirectional;
    float m_xDimension = 0.015f; // inches
    int m_heightFactor = 1;
    DWORD m_setting = 22; // kept for the file
    BOOL m_symbolValid = FALSE;
};

void RegisterDataBarCopies();
