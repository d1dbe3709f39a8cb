// The retail symbols: EAN-13, EAN-8, UPC-A, UPC-E and UPC-E with number
// system 1, with the digit groups printed under the halves of the symbol
// and the longer guard bars, and the 2- or 5-digit add-on symbol that EAN-13
// and UPC-A may carry to their right.
#pragma once

#include "Barcode.h"

#include <array>

// The add-on symbol of an EAN-13 or UPC-A element, owned by the element. It
// is laid out in the element's frame: its bars start at the element's bar
// rectangle's right edge and share its bottom.
class CBarcodeAddOn : public CObject
{
public:
    explicit CBarcodeAddOn(int digits);
    CBarcodeAddOn(const CBarcodeAddOn& other) = default;
    ~CBarcodeAddOn() override;
    CBarcodeAddOn& operator=(const CBarcodeAddOn&) = delete;

    // Keeps the text when it is exactly the digit count of decimal digits.
    BOOL PrepareData(const QString& text);
    // Guard, then each digit in set A or B by the parity of the text, the
    // digits separated by a space and a bar.
    void BuildPattern();
    // The add-on bitmap: the gap after the main symbol (gapModules modules:
    // 8 after EAN-13, 9 after UPC-A as the retail standard asks), the bars,
    // a 5-module quiet zone.
    void LayoutBars(int heightPixels, const std::array<WORD, CBarcode::kWidthClasses>& widths,
                    int gapModules = 8);
    // The digits above the add-on bars and ">" at its right, in the font of
    // the source; with no source (or no text) the text is cleared.
    void LayoutHumanReadable(const CTextBase* fontSource, int orientation);
    // Takes the element's orientation and turns the bitmap with it.
    void Rotate(int orientation, int resolutionAlong);
    // The bar rectangle in the element's frame, from the element's.
    void PlaceBars(const CRect& ownerBarLocal, int resolutionAlong, int resolutionAcross);
    // Nothing is shown.
    void ShowInvalid();
    // Draws the bars at the owner's bitmap resolution (across and down the
    // page, dots per inch) and the text.
    void Draw(CDC* dc, CSize bitmapDpi) const;

    // Set A (FALSE) or set B (TRUE) for each digit of a text.
    static std::vector<bool> Parities(const QString& digits);

    int m_digits = 0;
    QString m_text; // the digits of the last PrepareData; empty: nothing shown
    int m_orientation = 0;
    std::vector<BYTE> m_pattern;
    CRect m_barRect;
    QImage m_bitmap;       // turned with the element
    int m_bitmapWidth = 0; // before turning, pixels
    int m_bitmapHeight = 0;
    int m_digitsCentrePixels = 0;     // from the bitmap's left edge
    int m_digitsCentre = 0;           // the same in tenths of a millimetre
    std::array<CTextBase, 2> m_texts; // the digits and ">"
    CRect m_textRect;

    // The layout in the element's frame.
    CRect m_barLocal;
    std::array<CRect, 2> m_textLocal;
};

// What the five retail symbologies share.
class CEanUpc : public CBarcode
{
    DECLARE_RUNTIME(CEanUpc)

public:
    BOOL PrepareData() override;
    void BuildPattern() override;
    void LayoutBars() override;
    void LayoutHumanReadable() override;
    BOOL AllowsAddOn() const override;

    // The GS1 modulo-10 check digit of a digit string: weights 3 and 1
    // alternating from the rightmost digit (weight 3).
    static int CheckDigit(const QString& digits);
    // The eleven digits of the UPC-A number that six UPC-E digits stand
    // for, with the number system digit in front.
    static QString ExpandUpcE(const QString& six, QChar numberSystem);

    // Guard-bar extension in inches: 1.65 mm for EAN, 1.66 mm for UPC.
    static constexpr double kEanGuardExtension = 0.06496062992125984;
    static constexpr double kUpcGuardExtension = 0.06535433070866142;
    // Light modules between the main symbol and its add-on.
    static constexpr int kEanAddOnGap = 8;
    static constexpr int kUpcAddOnGap = 9;

    // Centres of the digit groups and the place of UPC-A's check digit, in
    // tenths of a millimetre from the symbol bitmap's left edge.
    int m_leftCentre = 0;
    int m_rightCentre = 0;
    int m_rightDigitPosition = 0;

protected:
    explicit CEanUpc(int symbologyId);
    CEanUpc(const CEanUpc&) = default;

private:
    // Light margins left and right of the bars, in modules.
    int LeftQuietModules() const;
    int RightQuietModules() const;
};

class CEan13 : public CEanUpc
{
    DECLARE_PERSISTENT(CEan13)

public:
    CEan13();
    CEan13(const CEan13&) = default;
};

class CEan8 : public CEanUpc
{
    DECLARE_PERSISTENT(CEan8)

public:
    CEan8();
    CEan8(const CEan8&) = default;
};

class CUpcA : public CEanUpc
{
    DECLARE_PERSISTENT(CUpcA)

public:
    CUpcA();
    CUpcA(const CUpcA&) = default;
};

class CUpcE : public CEanUpc
{
    DECLARE_PERSISTENT(CUpcE)

public:
    CUpcE();
    CUpcE(const CUpcE&) = default;
};

class CUpcESys1 : public CEanUpc
{
    DECLARE_PERSISTENT(CUpcESys1)

public:
    CUpcESys1();
    CUpcESys1(const CUpcESys1&) = default;
};

// Tells the element copy how to copy each retail class.
void RegisterEanUpcCopies();
