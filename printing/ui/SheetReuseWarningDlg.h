// The warning before printing on a sheet that is partly used already.
#pragma once

#include <QDialog>

class QCheckBox;

class CSheetReuseWarningDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 314
    };
    enum : int
    {
        IDC_DONT_WARN = 1462,
    };

    explicit CSheetReuseWarningDlg(QWidget* parent = nullptr);

    // "Don't warn me again", whichever button closed the dialog.
    bool DontWarnAgain() const;

    // The profile switch: the warning is shown while it is not 0.
    static bool IsEnabled();
    static void Disable();

private:
    QCheckBox* m_dontWarn = nullptr;
};
