#include "EditTextDlg.h"

#include "WaitCursor.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CEditTextDlg::CEditTextDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Edit Text"));
    auto* layout = new QVBoxLayout(this);
    m_field = new QPlainTextEdit(this);
    m_field->setObjectName(QStringLiteral("id1049"));
    layout->addWidget(m_field, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditTextDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(420, 260);
}

void CEditTextDlg::InitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;
    CWaitCursor wait;
    m_field->setPlainText(m_text);
    m_field->setEnabled(!m_readOnly);
}

int CEditTextDlg::exec()
{
    InitDialog();
    return QDialog::exec();
}

void CEditTextDlg::showEvent(QShowEvent* event)
{
    InitDialog();
    QDialog::showEvent(event);
}

void CEditTextDlg::accept()
{
    // A read-only text comes back as it went in.
    if (!m_readOnly)
        m_text = m_field->toPlainText();
    QDialog::accept();
}
