#include "DataSourceMap.h"
#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "MacroScript.h"
#include "SignData.h"
#include "Variable.h"
#include "VariableList.h"

namespace {

// The print step of the variables' data with the map: after the variables'
// own step, every value that starts a data path (typed, from the database,
// or a variable without inputs) is passed down the map, so that elements fed
// by other elements and chains of variables show what their sources
// compute; afterwards the elements show their samples again.
struct CMapVariableData
{
    std::function<void(BOOL)> previous;

    void operator()(BOOL printing) const
    {
        if (previous)
            previous(printing);
        if (!printing)
            return;
        CDataSourceMap& map = TheDataSourceMap();
        CVariableList& variables = TheVariableList();
        for (int i = 0; i < variables.GetCount(); ++i) {
            CVariable* variable = variables.GetAt(i);
            const CDataSourceNode* node = map.FindNode(variable);
            if (node && node->sources.empty() && !node->dependents.empty())
                map.PropagateVariable(variable);
        }
        CElementList& elements = TheElementList();
        for (int i = 0; i < elements.GetCount(); ++i) {
            CElement* element = elements.GetAt(i);
            const CDataSourceNode* node = map.FindNode(element);
            if (node && node->sources.empty() && !node->dependents.empty())
                map.PropagateElement(element);
        }
    }
};

} // namespace

void RegisterDatabaseSignParts()
{
    // The map and the link of the context in force take their seats.
    TheDataSourceMap();
    TheDatabaseLink();

    CSignHooks& hooks = SignHooks();
    hooks.parts[SIGN_PART_DATABASE] = {[](CArchive& ar) { TheDatabaseLink().Serialize(ar); },
                                       [](CTextExportFile& f) { TheDatabaseLink().WriteXml(f); }};
    hooks.isDataStore = [] { return TheDatabaseLink().GetLinkKind() == 1; };
    hooks.disconnectDatabase = [] { TheDatabaseLink().Disconnect(); };
    hooks.clearDataPaths = [] { TheDataSourceMap().RemoveAll(); };
    hooks.rebuildDataPaths = [] { TheDataSourceMap().Rebuild(); };
    // Saving drops the variables that feed nothing; the map is first made
    // again from the lists, so that a link an edit did not report cannot
    // cost the user a variable that is in use.
    hooks.removeUnusedVariables = [] {
        TheDataSourceMap().Rebuild();
        TheVariableList().RemoveUnusedVariables();
    };

    // While a sign prints, the variables compute their values as before, and
    // then every value that starts a data path is passed down the map. A
    // second registration keeps the variables' own step underneath, once.
    CMapVariableData data;
    if (const auto* installed = hooks.showVariableData.target<CMapVariableData>())
        data.previous = installed->previous;
    else
        data.previous = hooks.showVariableData;
    hooks.showVariableData = data;

    // A macro script without inputs that runs afresh passes its new value on.
    CMacroScript::s_propagateValue = [](CVariable& variable) {
        TheDataSourceMap().PropagateVariable(&variable);
    };
}
