#include "VariableDialogs.h"

#include "Combination.h"
#include "CombinationDlg.h"
#include "ElementList.h"

void InstallVariableDialogs()
{
    CCombination::s_dialog = [](QWidget* parent, CCombination& working) {
        QStringList linked;
        TheElementList().FillListWithLinked(linked);
        CCombinationDlg dialog(working, linked, parent);
        return dialog.exec() == QDialog::Accepted;
    };
}
