#include "PriceDialogs.h"

#include "PriceFormatList.h"
#include "PriceFormatWizard.h"
#include "SelectPriceFormatDlg.h"

void InstallPriceDialogs()
{
    CPriceFormatList::Dialogs& dialogs = CPriceFormatList::s_dialogs;
    dialogs.wizard = [](QWidget* parent, CPriceFormat& format) {
        CPriceFormatWizard wizard(format, parent);
        return wizard.exec() == QDialog::Accepted;
    };
    dialogs.propertySheet = [](QWidget* parent, CPriceFormat& format) {
        CPriceFormatSheet sheet(format, parent);
        return sheet.exec() == QDialog::Accepted;
    };
    dialogs.select = [](QWidget* parent, const QString& initialName, bool includeStandard,
                        QString& chosenName) {
        CSelectPriceFormatDlg dialog(ThePriceFormatList(), initialName, includeStandard, parent);
        if (dialog.exec() != QDialog::Accepted || dialog.ChosenName().isEmpty())
            return false;
        chosenName = dialog.ChosenName();
        return true;
    };
}
