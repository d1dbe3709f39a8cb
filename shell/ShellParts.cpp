#include "ShellParts.h"

#include "BarcodeParts.h"
#include "DatabaseLink.h"
#include "LogFont.h"
#include "ModelClasses.h"
#include "SystemCallbacks.h"
#include "VariableParts.h"

void RegisterAllClasses()
{
    RegisterModelElementClasses();
    RegisterVariableSignParts();
    RegisterBarcodeClasses();
    RegisterDatabaseSignParts();
    // A fixed-size face allows the sizes of its regular fonts.
    FontHooks().enumSize = FontSizeEnumProc;
}
