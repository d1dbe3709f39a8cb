#include "RulerPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>

CRulerPage::CRulerPage(const CGrid::SheetValues& values, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    m_units = new QComboBox(this);
    m_units->setObjectName(QStringLiteral("id%1").arg(IDC_UNITS));
    // The index is the unit: 0 metric, 1 inches.
    m_units->addItems({tr("Centimetres"), tr("Inches")});
    m_units->setCurrentIndex(values.units == 1 ? 1 : 0);
    m_showRuler = new QCheckBox(tr("&Show Ruler"), this);
    m_showRuler->setObjectName(QStringLiteral("id%1").arg(IDC_SHOW_RULER));
    m_showRuler->setChecked(values.showRuler);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("&Display Units"), m_units);
    layout->addRow(m_showRuler);
}

void CRulerPage::Read(CGrid::SheetValues& values) const
{
    values.units = m_units->currentIndex() == 1 ? 1 : 0;
    values.showRuler = m_showRuler->isChecked();
}
