#include "RotationOriginDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

CRotationOriginDlg::CRotationOriginDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Rotation Origin"));

    m_bold = font();
    m_bold.setBold(true);
    m_bold.setStyleHint(QFont::SansSerif);

    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    for (int i = 0; i < 9; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("id%1").arg(kButtonIds[i]));
        button->setFont(m_bold);
        button->setFixedSize(36, 36);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { OnOrigin(i); });
        grid->addWidget(button, i / 3, i % 3);
        m_buttons[i] = button;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Select required rotation origin"), this));
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(grid);
    centred->addStretch();
    layout->addLayout(centred);
    layout->addWidget(buttons);

    // The top-left corner, whatever was chosen the last time.
    m_buttons[0]->setText(QStringLiteral("X"));
    m_buttons[0]->setDefault(true);
    m_origin = 0;
}

QPushButton* CRotationOriginDlg::OriginButton(int index) const
{
    return index >= 0 && index < 9 ? m_buttons[index] : nullptr;
}

void CRotationOriginDlg::OnOrigin(int index)
{
    if (index < 0 || index > 8)
        return;
    m_buttons[m_origin]->setText(QString());
    m_buttons[index]->setText(QStringLiteral("X"));
    m_origin = index;
}
