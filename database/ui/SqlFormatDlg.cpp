#include "SqlFormatDlg.h"

#include "DatabaseLink.h"
#include "Messages.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The link's characters in the dialog's order.
char* Slots(CDatabaseLink& link, int i)
{
    char* const all[7] = {&link.m_nameDelimiters[0],
                          &link.m_nameDelimiters[1],
                          &link.m_stringDelimiters[0],
                          &link.m_stringDelimiters[1],
                          &link.m_dateDelimiters[0],
                          &link.m_dateDelimiters[1],
                          &link.m_wildcard};
    return all[i];
}

} // namespace

CSqlFormatDlg::CSqlFormatDlg(CDatabaseLink& link, QWidget* parent) : QDialog(parent), m_link(link)
{
    setWindowTitle(tr("SQL Format"));
    setObjectName(QStringLiteral("SqlFormatDlg"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* rows[] = {"Name Delimiters", "String Delimiters", "Date Delimiters",
                          "Wildcard Character"};
    const int ids[7] = {IDC_NAME_OPEN, IDC_NAME_CLOSE, IDC_STRING_OPEN, IDC_STRING_CLOSE,
                        IDC_DATE_OPEN, IDC_DATE_CLOSE, IDC_WILDCARD};
    for (int row = 0; row < 4; ++row)
        grid->addWidget(new QLabel(tr(rows[row]), this), row, 0);
    for (int i = 0; i < 7; ++i) {
        m_edits[i] = new QLineEdit(this);
        m_edits[i]->setObjectName(QStringLiteral("id%1").arg(ids[i]));
        m_edits[i]->setMaxLength(1);
        m_edits[i]->setFixedWidth(40);
        m_edits[i]->setText(QString(QChar::fromLatin1(*Slots(link, i))));
        grid->addWidget(m_edits[i], i / 2, 1 + i % 2);
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("idOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("idCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSqlFormatDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CSqlFormatDlg::accept()
{
    // Each must be one visible character that a sign file can keep; an
    // empty edit or any other character is refused and nothing is stored.
    char chosen[7];
    for (int i = 0; i < 7; ++i) {
        const QString text = m_edits[i]->text();
        const char16_t c = text.isEmpty() ? 0 : text[0].unicode();
        if (c <= u' ' || c >= 127) {
            AppMessageBoxId(IDS_INVALID_DELIMITER, MB_OK | MB_ICONEXCLAMATION);
            m_edits[i]->setFocus();
            m_edits[i]->selectAll();
            return;
        }
        chosen[i] = char(c);
    }
    for (int i = 0; i < 7; ++i)
        *Slots(m_link, i) = chosen[i];
    QDialog::accept();
}

bool RunSqlFormat(QWidget* parent, CDatabaseLink& link)
{
    CSqlFormatDlg dialog(link, parent);
    return dialog.exec() == QDialog::Accepted;
}
