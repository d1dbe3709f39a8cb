#include "ShellParts.h"

#include "BarcodeParts.h"
#include "VariableParts.h"

void RegisterAllClasses()
{
    RegisterVariableSignParts();
    RegisterBarcodeClasses();
}
