// The matrix symbols: Data Matrix (and GS1 Data Matrix), PDF417 and QR Code.
// Each keeps its own parameters, encodes its data through CSymbolMatrix and
// draws the modules into the symbol bitmap on whole printer dots; the
// bitmap is then placed, turned and drawn like any barcode's. None of them
// carries human-readable text or takes a style.
#pragma once

#include "Barcode.h"

class CSymbolMatrix;
struct SymbolOptions;

// Shared by the matrix symbols: the fixed-size placeholder and the module
// drawing.
namespace MatrixSymbols {
// Module pixels of an x-dimension in hundredths of a mil at a resolution
// (at least one).
int ModulePixels(long long hundredthsOfMil, int resolution);
// The bytes a symbol encodes for its data, after the symbol's escapes: text
// of ASCII characters as it is; text beyond ASCII as UTF-8 (utf8 set), so a
// reader returns the characters typed; data with byte escapes (%Hhh, %Dnnn)
// byte for byte, each character below 256 as that byte.
QByteArray EncoderBytes(CBarcode& symbol, const QString& data, bool& utf8);
} // namespace MatrixSymbols

class CDataMatrix : public CBarcode
{
    DECLARE_PERSISTENT(CDataMatrix)

public:
    // Every symbol is ECC 200, the only kind readers still take. The format
    // for square symbols is the default; other formats allow rectangles as
    // well; rows and columns of an ECC 200 size fix the size.
    static constexpr DWORD kSquareFormat = 5;

    CDataMatrix();
    CDataMatrix(const CDataMatrix&) = default;

    void Serialize(CArchive& ar) override;
    BOOL IsHandleEnabled(int handle) const override;
    void WriteXml(CTextExportFile& file) override;
    void Regenerate() override;
    void ShowInvalid() override;
    BOOL PrepareData() override;

    // The parameter block, in its stored order.
    DWORD m_eccType = 26;
    DWORD m_format = kSquareFormat;
    DWORD m_rows = 0;
    DWORD m_columns = 0;
    DWORD m_xDimension = 2000; // hundredths of a mil

protected:
    CDataMatrix(int symbologyId, const QString& defaultData);
    // The bytes handed to the encoder, with the options they need; GS1
    // symbols give an element string.
    virtual QByteArray EncoderInput(SymbolOptions& options) const;
};

class CGS1DMatrix : public CDataMatrix
{
    DECLARE_PERSISTENT(CGS1DMatrix)

public:
    CGS1DMatrix();
    CGS1DMatrix(const CGS1DMatrix&) = default;

    // "%1" marks a function 1 and one always leads the data.
    BOOL PrepareData() override;
    // Linked to GS1 data, the element takes its element string.
    void SetDataSource(int kind, const QString& sourceName) override;
    void EndDataEntry() override;

protected:
    QByteArray EncoderInput(SymbolOptions& options) const override;
};

class CPDF417 : public CBarcode
{
    DECLARE_PERSISTENT(CPDF417)

public:
    CPDF417();
    CPDF417(const CPDF417&) = default;

    void Serialize(CArchive& ar) override;
    BOOL IsHandleEnabled(int handle) const override;
    void WriteXml(CTextExportFile& file) override;
    void Regenerate() override;
    void ShowInvalid() override;

    // The parameter block, in its stored order. Symbol type 0 takes the
    // columns whose symbol comes nearest the height to width ratio; 1 and 2
    // keep the columns given. Error-correction type 0 (a percentage) leaves
    // the level to the encoder, which takes it from the data's length; 1
    // uses the level.
    DWORD m_symbolType = 0;
    DWORD m_aspectRatio = 102; // a * 100 + b for a:b
    DWORD m_rowCount = 90;
    DWORD m_columnCount = 30;
    DWORD m_eccType = 0;
    DWORD m_eccLevel = 3;
    DWORD m_eccPercent = 10;
    DWORD m_xDimension = 1299; // hundredths of a mil
    DWORD m_rowAspect = 3;     // row height in module widths
    DWORD m_truncate = 0;
    DWORD m_forceBinary = 0;
};

class CQRCode : public CBarcode
{
    DECLARE_PERSISTENT(CQRCode)

public:
    static constexpr float kDefaultModuleWidth = 15.0f; // mils

    CQRCode();
    CQRCode(const CQRCode&) = default;

    void Serialize(CArchive& ar) override;
    BOOL IsHandleEnabled(int handle) const override;
    void Regenerate() override;
    void ShowInvalid() override;
    // %%, %Dnnn and %Hhh become the characters they stand for; anything else
    // is taken as it is.
    int ExpandEscapes(QString& text) override;
    void OnPrinterChanged(CPrinter* printer) override;
    void Refresh() override;

    // Snaps the module width to whole printer dots (at least one) and stores
    // it; returns the dots.
    int SnapModuleWidth();
    // The width in mils snapped to whole dots at a resolution.
    static float SnappedWidth(float mils, int resolution);

    int m_level = 0; // error correction: 0 L, 1 M, 2 Q, 3 H
    int m_mask = -1; // -1 lets the encoder choose
    float m_moduleWidth = kDefaultModuleWidth;
};

// Tells the element copy how to copy each of these classes.
void RegisterMatrixSymbolCopies();
