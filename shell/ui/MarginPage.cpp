#include "MarginPage.h"

#include <QCheckBox>
#include <QVBoxLayout>

CMarginPage::CMarginPage(const CGrid::SheetValues& values, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    m_showMargins = new QCheckBox(tr("Show printer &margins"), this);
    m_showMargins->setObjectName(QStringLiteral("id%1").arg(IDC_SHOW_MARGINS));
    m_showMargins->setChecked(values.showMargins);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_showMargins);
    layout->addStretch();
}

void CMarginPage::Read(CGrid::SheetValues& values) const
{
    values.showMargins = m_showMargins->isChecked();
}
