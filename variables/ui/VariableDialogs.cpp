#include "VariableDialogs.h"

#include "Combination.h"
#include "CombinationDlg.h"
#include "ElementList.h"
#include "MacroScriptDlg.h"

void InstallVariableDialogs()
{
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
}
