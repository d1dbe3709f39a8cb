// The "Printing" window: names the document, the printer and the port or
// file while a print job runs, and offers Cancel. It is modeless, but while
// it is shown it is the only window that takes input, so that the print
// loop can let Qt deliver events between cells.
#pragma once

#include "Printer.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

class CPrintAbortDlg : public QDialog, public CPrintWindowSeam
{
    Q_OBJECT

public:
    enum
    {
        IDD = 167
    };
    enum : int
    {
        IDC_DOCUMENT_NAME = 1158,
        IDC_PRINTER_NAME = 1159,
        IDC_PORT_OR_FILE = 1160,
    };

    CPrintAbortDlg(const QString& document, const QString& printer, const QString& thirdLine,
                   QWidget* parent = nullptr);
    ~CPrintAbortDlg() override;

    void Show() override;
    void Hide() override;

    // Cancel, Escape and closing the window only ask the job to stop: the
    // window stays until the job ends.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CentreOverOwner();

    bool m_placed = false;
};

// Makes print jobs open the Printing window.
void InstallPrintWindow();
