#include "SelectPriceFormatDlg.h"

#include "PriceFormatList.h"
#include "PriceSample.h"
#include "PriceSampleWnd.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

CSelectPriceFormatDlg::CSelectPriceFormatDlg(const CPriceFormatList& list,
                                             const QString& initialName, bool includeStandard,
                                             QWidget* parent)
    : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("selectPriceFormat"));
    setWindowTitle(tr("Select Price Format"));
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("formats"));
    list.FillListBox(m_names, includeStandard);
    m_sample = std::make_unique<CPriceSample>(list.GetStandardFormat());
    m_sample->ShowPrice(QStringLiteral("42.00"));
    m_sample->HighlightPart(-1);
    m_sampleWnd = new CPriceSampleWnd(m_sample.get(), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(m_names, 1);
    row->addWidget(m_sampleWnd, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);

    const QList<QListWidgetItem*> found = m_names->findItems(initialName, Qt::MatchExactly);
    if (!found.isEmpty())
        m_names->setCurrentItem(found.front());
    else if (m_names->count() > 0)
        m_names->setCurrentRow(0);
    OnSelection();
    connect(m_names, &QListWidget::currentRowChanged, this, [this] { OnSelection(); });
    // A double-click chooses, as OK does.
    connect(m_names, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

CSelectPriceFormatDlg::~CSelectPriceFormatDlg() = default;

void CSelectPriceFormatDlg::OnSelection()
{
    const QListWidgetItem* item = m_names->currentItem();
    m_chosen = item ? item->text() : QString();
    const CPriceFormat* format = m_list.FindFormat(m_chosen);
    m_sample->SetWorkingFormat(format ? format : m_list.GetStandardFormat());
    m_sampleWnd->update();
}
