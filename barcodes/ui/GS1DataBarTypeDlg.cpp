#include "GS1DataBarTypeDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CGS1DataBarTypeDlg::CGS1DataBarTypeDlg(QWidget* parent, int index) : QDialog(parent)
{
    setWindowTitle(tr("Select GS1 DataBar Type"));
    auto* layout = new QVBoxLayout(this);
    m_group = new QButtonGroup(this);
    const struct
    {
        const char* text;
        int id;
    } kinds[] = {{"Omnidirectional", 1505}, {"Truncated", 1506},          {"Stacked", 1507},
                 {"Stacked Omnidirectional", 1508}, {"Limited", 1557}, {"Expanded", 1558}};
    int i = 0;
    for (const auto& kind : kinds) {
        auto* radio = new QRadioButton(tr(kind.text), this);
        radio->setObjectName(QStringLiteral("id%1").arg(kind.id));
        m_group->addButton(radio, i++);
        layout->addWidget(radio);
    }
    SelectIndex(index);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CGS1DataBarTypeDlg::SelectedIndex() const
{
    return std::max(0, m_group->checkedId());
}

void CGS1DataBarTypeDlg::SelectIndex(int index)
{
    if (QAbstractButton* button = m_group->button(std::clamp(index, 0, 5)))
        button->setChecked(true);
}
