#include "BarcodeParts.h"

void RegisterBarcodeClasses() {}
