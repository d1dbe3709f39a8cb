#include "VariableParts.h"

#include "Combination.h"
#include "MacroScript.h"
#include "PriceFormatList.h"
#include "PrintingParts.h"
#include "ScriptStore.h"
#include "SignData.h"
#include "VariableList.h"

void RegisterVariableSignParts()
{
    RegisterPrintingSignParts();
    CVariableList::RegisterVariableType(VARIABLE_MACRO, &CMacroScript::Make);
    CVariableList::RegisterVariableType(VARIABLE_COMBINATION, &CCombination::Make);
    // A closed sign's combinations take their generated scripts with them.
    CVariableList::s_removeGeneratedScript = [](CVariable& variable) {
        if (const auto* combination = dynamic_cast<const CCombination*>(&variable))
            TheScriptStore().RemoveScript(combination->m_scriptName);
    };
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
