#include "ShellParts.h"

#include "BarcodeParts.h"
#include "DatabaseLink.h"
#include "ModelClasses.h"
#include "VariableParts.h"

void RegisterAllClasses()
{
    RegisterModelElementClasses();
    RegisterVariableSignParts();
    RegisterBarcodeClasses();
    RegisterDatabaseSignParts();
}
