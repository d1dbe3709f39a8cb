// The macro script variable's dialogs: the wizard for a new variable and
// "Macro Script Properties", each with the script editor page alone.
#pragma once

#include <QDialog>

class CMacroScript;
class CScriptPage1;
class QPushButton;

class CMacroScriptDlg : public QDialog
{
    Q_OBJECT

public:
    // As a wizard (Finish) when isNew, else as the property sheet (OK).
    CMacroScriptDlg(CMacroScript& working, const QStringList& linkedElements, bool isNew,
                    QWidget* parent = nullptr);

    CScriptPage1* Page() const { return m_page; }
    QPushButton* FinishButton() const { return m_finish; }

    // Closes only when the page may be left.
    void accept() override;

private:
    CScriptPage1* m_page = nullptr;
    QPushButton* m_finish = nullptr;
};
