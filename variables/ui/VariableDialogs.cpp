#include "VariableDialogs.h"

#include "Combination.h"
#include "CombinationDlg.h"
#include "DateTime.h"
#include "DateTimePage.h"
#include "IncNumber.h"
#include "IncPage.h"
#include "OptionList.h"
#include "OptionListPage.h"
#include "PriceCalcPage.h"
#include "PriceCalculation.h"
#include "ElementList.h"
#include "MacroScriptDlg.h"
#include "PriceDialogs.h"

void InstallVariableDialogs()
{
    InstallPriceDialogs();
    CMacroScript::s_dialog = [](QWidget* parent, CMacroScript& working, bool isNew) {
        QStringList linked;
        TheElementList().FillListWithLinked(linked);
        CMacroScriptDlg dialog(working, linked, isNew, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    CCombination::s_dialog = [](QWidget* parent, CCombination& working) {
        QStringList linked;
        TheElementList().FillListWithLinked(linked);
        CCombinationDlg dialog(working, linked, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    CDateTime::s_dialog = &RunDateTimeSheet;
    CPriceCalculation::s_dialog = &RunPriceCalcSheet;
    CIncNumber::s_dialog = &RunIncNumberSheet;
    COptionList::s_dialog = &RunOptionListSheet;
}
