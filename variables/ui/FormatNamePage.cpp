#include "FormatNamePage.h"

#include "MessageBox.h"
#include "PriceFormat.h"
#include "PriceFormatList.h"
#include "PriceSample.h"
#include "PriceSampleWnd.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CFormatNamePage::CFormatNamePage(CPriceFormat& format, CPriceSample& sample, QWidget* parent)
    : QWizardPage(parent), m_format(format), m_sample(sample)
{
    setObjectName(QStringLiteral("formatName"));
    setWindowTitle(tr("Price Format Name"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(tr("Price Format Name"), this);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    layout->addWidget(caption);
    auto* prompt = new QLabel(tr("Please supply a unique \n&name for this price format :"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(64);
    prompt->setBuddy(m_name);
    layout->addWidget(prompt);
    layout->addWidget(m_name);
    m_sampleWnd = new CPriceSampleWnd(&m_sample, this);
    layout->addWidget(m_sampleWnd, 1);
    setFinalPage(true);
}

void CFormatNamePage::Activate()
{
    m_sample.ShowPrice(QStringLiteral("42.00"));
    m_sample.HighlightPart(-1);
    m_sampleWnd->update();
}

void CFormatNamePage::initializePage()
{
    Activate();
}

bool CFormatNamePage::validatePage()
{
    const QString name = m_name->text();
    if (name.isEmpty() || ThePriceFormatList().FindFormat(name)) {
        AppMessageBox(tr("Invalid or non-unique price format name"));
        m_name->selectAll();
        m_name->setFocus();
        return false;
    }
    m_format.m_name = name;
    return true;
}
