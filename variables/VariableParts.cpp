#include "VariableParts.h"

#include "Combination.h"
#include "DateTime.h"
#include "IncNumber.h"
#include "OptionList.h"
#include "PriceCalculation.h"
#include "Element.h"
#include "ElementList.h"
#include "MacroScript.h"
#include "PriceFormatList.h"
#include "PriceField.h"
#include "PrintingParts.h"
#include "ScriptStore.h"
#include "SignData.h"
#include "VariableList.h"

namespace {

// Feeds every variable the current data of the elements and variables it
// takes, then gives each element fed by a variable the variable's value;
// afterwards the elements show their own samples again.
void ShowVariableData(BOOL printing)
{
    CElementList& elements = TheElementList();
    CVariableList& variables = TheVariableList();
    const auto fedBy = [&](const CElement& element) -> CVariable* {
        const int type = VariableTypeForSourceKind(element.m_dataSource);
        return type == VARIABLE_NONE ? nullptr : variables.FindVariable(type, element.m_sourceName);
    };
    if (!printing) {
        for (int i = 0; i < elements.GetCount(); ++i) {
            CElement* element = elements.GetAt(i);
            if (fedBy(*element) && !(element->m_state & STATE_DATA_ENTRY))
                element->EndDataEntry();
        }
        return;
    }
    for (int pass = 0; pass < 2; ++pass) {
        // Elements first, then variables, so that a variable fed by another
        // one takes the other's value computed from its own inputs.
        for (int v = 0; v < variables.GetCount(); ++v) {
            CVariable* variable = variables.GetAt(v);
            std::vector<int> kinds;
            QStringList names;
            // A script without inputs runs afresh for every sign (a date).
            if (variable->GetDataSources(kinds, names) == 0 && pass == 0)
                variable->ResetValue();
            for (std::size_t k = 0; k < kinds.size() && qsizetype(k) < names.size(); ++k) {
                const QString& name = names[qsizetype(k)];
                if (pass == 0 && kinds[k] == SOURCE_ELEMENT) {
                    if (const CElement* element = elements.FindByName(name))
                        variable->SetSourceValue(element->GetEnteredData(), kinds[k], name, FALSE);
                } else if (pass == 1 && VariableTypeForSourceKind(kinds[k]) != VARIABLE_NONE) {
                    CVariable* input =
                        variables.FindVariable(VariableTypeForSourceKind(kinds[k]), name);
                    if (input && input != variable)
                        variable->SetSourceValue(input->GetValue(), kinds[k], name, FALSE);
                }
            }
        }
    }
    for (int i = 0; i < elements.GetCount(); ++i) {
        CElement* element = elements.GetAt(i);
        if (CVariable* variable = fedBy(*element))
            element->SetDataText(variable->GetValue(), element->m_dataSource, element->m_sourceName,
                                 TRUE);
    }
}

} // namespace

void RegisterVariableSignParts()
{
    RegisterPrintingSignParts();
    RegisterPriceElement();
    CVariableList::RegisterVariableType(VARIABLE_OPTION_LIST, &COptionList::Make);
    CVariableList::RegisterVariableType(VARIABLE_INCREMENTING, &CIncNumber::Make);
    CVariableList::RegisterVariableType(VARIABLE_DATE_TIME, &CDateTime::Make);
    CVariableList::RegisterVariableType(VARIABLE_PRICE_CALC, &CPriceCalculation::Make);
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
    hooks.showVariableData = ShowVariableData;
}
