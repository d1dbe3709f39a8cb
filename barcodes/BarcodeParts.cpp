#include "BarcodeParts.h"

#include "Barcode.h"
#include "Code128.h"
#include "Code39.h"
#include "DataMatrix.h"
#include "GS1DataBar.h"
#include "EanUpc.h"
#include "Interleaved.h"
#include "Messages.h"
#include "MsiPlessey.h"
#include "Postal.h"
#include "UccEanData.h"
#include "UndoHistory.h"

#include <new>

void RegisterBarcodeClasses()
{
    // Every barcode class is copied by its symbology; registering the copies
    // also brings each class's run-time record into the program, so that the
    // element factory and the sign reader can make them by name.
    RegisterElementCopy(TYPE_BARCODE, &CBarcode::CopyElement);
    RegisterCode128Copies();
    RegisterEanUpcCopies();
    RegisterCode39Copies();
    RegisterInterleavedCopies();
    RegisterMsiPlesseyCopies();
    RegisterPostalCopies();
    RegisterMatrixSymbolCopies();
    RegisterDataBarCopies();
    RegisterGS1DataVariable();
}

const char* BarcodeClassName(int symbologyId)
{
    static const char* const kClasses[kSymbologyCount] = {
        "CCode39",    nullptr,     "CCode93",         "CInterleaved2of5",
        "CCode128A",  "CCode128B", "CCode128C",       "CCode128Auto",
        "CEan8",      "CEan13",    "CUpcA",           "CUpcE",
        "CPostnet",   nullptr,     "CCodabar",        "CEan128",
        "CEan128A",   "CEan128B",  "CEan128C",        "CPlessey",
        "CMsi",       "CTelepen",  "CTelepenNumeric", "CRoyalMail",
        "CPDF417",    "CMS7",      "CUpcESys1",       "CDataMatrix",
        "CUccEan128", "CITF14",    "CGS1DMatrix",     "CGS1DataBar",
        "CQRCode",
    };
    if (symbologyId < 0 || symbologyId >= kSymbologyCount || !kClasses[symbologyId])
        return nullptr;
    const CRuntimeClass* cls = CRuntimeClass::FromName(kClasses[symbologyId]);
    if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CBarcode)))
        return nullptr;
    return kClasses[symbologyId];
}

CBarcode* NewBarcode(int symbologyId)
{
    const char* name = BarcodeClassName(symbologyId);
    if (!name)
        return nullptr;
    try {
        return static_cast<CBarcode*>(CRuntimeClass::FromName(name)->CreateObject());
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return nullptr;
    }
}
