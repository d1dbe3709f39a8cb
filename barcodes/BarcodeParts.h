// Makes the barcode classes known to the rest of the program: the element
// factory, the element copy and the sign's side files.
#pragma once

void RegisterBarcodeClasses();

class CBarcode;

// The element class of a symbology, or null when this program has none for
// it (ids 1 and 13, and the symbols whose classes are not built in).
const char* BarcodeClassName(int symbologyId);
// A new element of the symbology that belongs to no list (previews), or
// null when there is no class for it.
CBarcode* NewBarcode(int symbologyId);
