// The linear symbologies beside the Code 128 and EAN/UPC families: one
// symbol of each, with what a reader gives back (format None where no
// reader of the tests reads the symbology; those are compared bar for bar
// with libzint instead).
#pragma once

#include "BarcodeTestSupport.h"

namespace barcode_test {

inline const std::vector<SymbolCase>& LinearSymbols()
{
    using F = ZXing::BarcodeFormat;
    static const std::vector<SymbolCase> cases = {
        // Code 39 shows and encodes its modulo-43 check character.
        {"Code 39", "CCode39", "CODE39", 0, F::Code39, "CODE39W"},
        {"Code 93", "CCode93", "CODE 93-TEST.$/+", 0, F::Code93, "CODE 93-TEST.$/+"},
        {"Codabar", "CCodabar", "A12345-$:/.+B", 0, F::Codabar, "A12345-$:/.+B"},
        {"Interleaved 2 of 5", "CInterleaved2of5", "12345", 0, F::ITF, "123457"},
        {"ITF-14", "CITF14", "1540014128876", 0, F::ITF, "15400141288763"},
        {"MSI", "CMsi", "123456", 0, F::None, ""},
        {"Plessey", "CPlessey", "12AB56", 0, F::None, ""},
        {"MS 7", "CMS7", "123456", 0, F::None, ""},
        {"Telepen", "CTelepen", "Telepen", 0, F::None, ""},
        {"Telepen Numeric", "CTelepenNumeric", "123456", 0, F::None, ""},
        {"Postnet", "CPostnet", "123456789", 0, F::None, ""},
        {"Royal Mail 4-state", "CRoyalMail", "LU178XE", 0, F::None, ""},
    };
    return cases;
}

// A reader for these symbologies: Codabar with its start and stop
// characters, Code 39 as typed.
inline Decoded DecodeLinear(const QImage& image, ZXing::BarcodeFormats formats)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                ZXing::ImageFormat::Lum, int(grey.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setReturnCodabarStartEnd(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    Decoded out;
    out.valid = result.isValid();
    out.format = result.format();
    out.text = result.text();
    return out;
}

} // namespace barcode_test
