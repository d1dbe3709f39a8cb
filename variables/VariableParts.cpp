#include "VariableParts.h"

#include "MacroScript.h"
#include "PriceFormatList.h"
#include "PrintingParts.h"
#include "SignData.h"
#include "VariableList.h"

void RegisterVariableSignParts()
{
    RegisterPrintingSignParts();
    CVariableList::RegisterVariableType(VARIABLE_MACRO, &CMacroScript::Make);
    CSignHooks& hooks = SignHooks();
    hooks.parts[SIGN_PART_PRICE_FORMATS] = {
        [](CArchive& ar) { ThePriceFormatList().Serialize(ar); }, nullptr};
    hooks.parts[SIGN_PART_VARIABLES] = {[](CArchive& ar) { TheVariableList().Serialize(ar); },
                                        [](CTextExportFile& f) { TheVariableList().WriteXml(f); }};
    hooks.variableItemCount = [] { return TheVariableList().GetItemCount(); };
    hooks.removeUnusedVariables = [] { TheVariableList().RemoveUnusedVariables(); };
    hooks.removeCombinationScripts = [] { TheVariableList().RemoveCombinationScripts(); };
    hooks.deleteAllVariables = [] { TheVariableList().DeleteAll(); };
}
