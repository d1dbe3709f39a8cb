// "Print Setup": the printer, its paper size and source, and the
// orientation, over the sign's printer settings.
#pragma once

#include "DevMode.h"
#include "Types.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;

class CPrintSetupDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        IDC_PRINTER = 1139,
        IDC_PAPER_SIZE = 1137,
        IDC_PAPER_SOURCE = 1138,
        IDC_PORTRAIT = 1056,
        IDC_LANDSCAPE = 1057,
    };

    // Seeded with the sign's printer and its settings.
    explicit CPrintSetupDlg(QWidget* parent = nullptr);

    // The chosen printer and its settings, valid after OK.
    QString ChosenPrinter() const;
    CDevMode ChosenSettings() const;

private:
    void FillPrinter(const QString& printer);

    QComboBox* m_printer = nullptr;
    QLabel* m_where = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_source = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    CDevMode m_devMode; // the settings of the printer shown
};

// Runs Print Setup; on OK the chosen printer with its settings becomes the
// sign's printer and the printer object is rebuilt from it. The dialog's
// result (QDialog::Accepted on OK).
int PrinterSetup(QWidget* parent);
