// Makes the barcode classes known to the rest of the program: the element
// factory, the element copy and the sign's side files.
#pragma once

void RegisterBarcodeClasses();
