#include "BarcodeParts.h"

#include "Barcode.h"
#include "Code128.h"
#include "Code39.h"
#include "EanUpc.h"
#include "Interleaved.h"
#include "MsiPlessey.h"
#include "Postal.h"
#include "UndoHistory.h"

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
}
