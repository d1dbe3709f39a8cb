#include "MacroScriptDlg.h"

#include "ScriptPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

CMacroScriptDlg::CMacroScriptDlg(CMacroScript& working, const QStringList& linkedElements,
                                 bool isNew, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(isNew ? tr("Macro Script") : tr("Macro Script Properties"));
    m_page = new CScriptPage1(working, linkedElements, this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_finish = buttons->button(QDialogButtonBox::Ok);
    if (isNew)
        m_finish->setText(tr("Finish"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CMacroScriptDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_page, 1);
    layout->addWidget(buttons);
    resize(640, 520);
}

void CMacroScriptDlg::accept()
{
    if (m_page->CanLeave())
        QDialog::accept();
}
