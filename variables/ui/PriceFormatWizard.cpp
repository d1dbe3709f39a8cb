#include "PriceFormatWizard.h"

#include "FormatNamePage.h"
#include "PriceElmtPage.h"
#include "PriceFormat.h"
#include "PriceSample.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

const std::vector<int>& CPriceFormatWizard::PartOrder()
{
    static const std::vector<int> order = {0, CPriceElmtPage::kThousandsSeparator, 2, 3, 4};
    return order;
}

CPriceFormatWizard::CPriceFormatWizard(CPriceFormat& format, QWidget* parent)
    : QWizard(parent), m_sample(std::make_unique<CPriceSample>(&format))
{
    setObjectName(QStringLiteral("priceFormatWizard"));
    setWindowTitle(tr("Price Format"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    // The pages' "&None", "&Never" and "&name" keep Alt+N; Next takes Alt+X.
    setButtonText(QWizard::NextButton, tr("Ne&xt >"));
    for (int part : PartOrder())
        addPage(new CPriceElmtPage(format, part, *m_sample, this));
    addPage(new CFormatNamePage(format, *m_sample, this));
    // Going back shows the page's sample again, as going forward does.
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (auto* page = qobject_cast<CPriceElmtPage*>(this->page(id)))
            page->Activate();
        else if (auto* name = qobject_cast<CFormatNamePage*>(this->page(id)))
            name->Activate();
    });
}

CPriceFormatWizard::~CPriceFormatWizard() = default;

CPriceFormatSheet::CPriceFormatSheet(CPriceFormat& format, QWidget* parent)
    : QDialog(parent), m_sample(std::make_unique<CPriceSample>(&format))
{
    setObjectName(QStringLiteral("priceFormatSheet"));
    setWindowTitle(tr("Price Format"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);
    for (int part : CPriceFormatWizard::PartOrder()) {
        auto* page = new CPriceElmtPage(format, part, *m_sample, m_tabs);
        m_pages.push_back(page);
        m_tabs->addTab(page, CPriceElmtPage::PartTitle(part));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Each tab shows its own price, its part in red.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && size_t(index) < m_pages.size())
            m_pages[size_t(index)]->Activate();
    });
    m_pages.front()->Activate();
}

CPriceFormatSheet::~CPriceFormatSheet() = default;

void CPriceFormatSheet::accept()
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (!m_pages[i]->CheckSize()) {
            m_tabs->setCurrentIndex(int(i));
            return;
        }
    }
    QDialog::accept();
}
