#include "BarcodeView.h"

#include "Barcode.h"
#include "Commands.h"
#include "DataRulesBlock.h"
#include "EanUpc.h"
#include "MainFrame.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace PaneBuild;

bool CBarcodeView::EditsSymbology(int id)
{
    switch (id) {
    case SYM_PDF417:
    case SYM_DATAMATRIX:
    case SYM_GS1_128:
    case SYM_GS1_DATAMATRIX:
    case SYM_GS1_DATABAR:
    case SYM_QRCODE:
        return false;
    default:
        return true;
    }
}

CBarcodeView::CBarcodeView(CBarcode* barcode, QWidget* parent)
    : CBarcodePaneBase(barcode, kFormId, tr("Barcode"), parent)
{
    m_tabs = new CTab(Form()->parentWidget());
    Form()->addWidget(m_tabs);
    m_page1 = new CBarcodeViewPage1(*this, m_tabs);
    m_page1->AddPaneBlocks({AddNameBlock(), AddPrintOptions(false), AddSourceBlock(true)});
    m_page2 = new CBarcodeViewPage2(*this, m_tabs);
    m_tabs->AddPage(m_page1, tr("Barcode"));
    m_tabs->AddPage(m_page2, tr("Formatting"));
    if (barcode)
        Load(barcode);
    SetLoading(false);
}

void CBarcodeView::Load(CBarcode* b)
{
    SetLoading(true);
    LoadCommonBlocks(b, NativeFor(b));
    m_page1->BindElement(b);
    m_page2->BindElement(b);
    SetLoading(false);
}

void CBarcodeView::UpdateFromElement()
{
    m_page1->RefreshGeometry();
    m_page2->RefreshGeometry();
}

// --- the Barcode page ------------------------------------------------------------------

CBarcodeViewPage1::CBarcodeViewPage1(CBarcodeView& pane, QWidget* parent)
    : CPanePage(parent), m_pane(pane)
{
    Named(this, 382);
    m_layout = new QVBoxLayout(this);

    QGridLayout* symbology = AddGroup(m_layout, tr("Symbology"));
    m_symbology = Named(new QLabel(symbology->parentWidget()), 1181);
    m_change = Named(new QPushButton(tr("Change..."), symbology->parentWidget()), 1241);
    symbology->addWidget(m_symbology, 0, 0);
    symbology->addWidget(m_change, 0, 1);
    connect(m_change, &QPushButton::clicked, this, &CBarcodeViewPage1::OnChange);

    m_position = new CSymbolPositionBlock(pane.Edits(), this);
    m_layout->addWidget(m_position);

    QGridLayout* data = AddGroup(m_layout, tr("Data"));
    m_data = Named(new QLineEdit(data->parentWidget()), 1049);
    data->addWidget(m_data, 0, 0, 1, 3);
    connect(m_data, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CBarcode* b = m_pane.BeginEdit(m_data)) {
            b->m_sampleData = text;
            m_pane.EndEdit(b);
        }
    });
    m_addOnNone = Named(new QRadioButton(tr("None"), data->parentWidget()), 1220);
    m_addOnTwo = Named(new QRadioButton(tr("Two Digit"), data->parentWidget()), 1391);
    m_addOnFive = Named(new QRadioButton(tr("Five Digit"), data->parentWidget()), 1392);
    auto* addOns = new QButtonGroup(this);
    addOns->addButton(m_addOnNone, 0);
    addOns->addButton(m_addOnTwo, 2);
    addOns->addButton(m_addOnFive, 5);
    data->addWidget(new QLabel(tr("Add-on:"), data->parentWidget()), 1, 0);
    data->addWidget(m_addOnNone, 1, 1);
    data->addWidget(m_addOnTwo, 2, 1);
    data->addWidget(m_addOnFive, 3, 1);
    connect(addOns, &QButtonGroup::idClicked, this, &CBarcodeViewPage1::OnAddOn);
}

void CBarcodeViewPage1::AddPaneBlocks(std::initializer_list<QWidget*> blocks)
{
    for (QWidget* block : blocks)
        m_layout->addWidget(block);
    m_layout->addStretch(1);
}

void CBarcodeViewPage1::BindElement(CBarcode* b)
{
    m_symbology->setText(QString::fromLatin1(b->Symbology().name));
    m_data->setText(b->m_sampleData);
    const bool addOns = b->AllowsAddOn();
    for (QRadioButton* r : {m_addOnNone, m_addOnTwo, m_addOnFive})
        r->setEnabled(addOns);
    const int digits = b->GetAddOnDigits();
    (digits == 2 ? m_addOnTwo : digits == 5 ? m_addOnFive : m_addOnNone)->setChecked(true);
    m_position->Bind(b);
}

void CBarcodeViewPage1::RefreshGeometry()
{
    m_position->Refresh();
}

void CBarcodeViewPage1::OnChange()
{
    // The change replaces this pane: it runs once the click is over.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CMainFrame*>(w)) {
            QPointer<CMainFrame> target(frame);
            QTimer::singleShot(0, frame, [target] {
                if (!target)
                    return;
                target->UpdateActionsNow();
                if (auto* action = target->findChild<QAction*>(
                        QStringLiteral("cmd_%1").arg(ID_CHANGE_SYMBOLOGY)))
                    action->trigger();
            });
            return;
        }
    }
}

void CBarcodeViewPage1::OnAddOn(int digits)
{
    CBarcode* b = m_pane.BeginEdit(m_addOnNone);
    if (!b)
        return;
    if (digits == b->GetAddOnDigits())
        return;
    if (b->m_addOn) {
        // The add-on's digits are cut only when the data really ends in
        // them: data the add-on never took keeps every character.
        const QString& taken = b->m_addOn->m_text;
        if (!taken.isEmpty() && b->m_sampleData.endsWith(taken) && !b->IsShowingInvalid()) {
            b->m_sampleData.chop(taken.size());
            b->m_data = b->m_sampleData;
        }
        b->SetAddOnDigits(0);
    }
    if (digits == 2 || digits == 5) {
        b->SetAddOnDigits(digits);
        b->m_sampleData += digits == 2 ? QStringLiteral("12") : QStringLiteral("12345");
    }
    m_pane.EndEdit(b);
    m_data->setText(b->m_sampleData);
}

// --- the Formatting page ---------------------------------------------------------------

CBarcodeViewPage2::CBarcodeViewPage2(CBarcodeView& pane, QWidget* parent) : CPanePage(parent)
{
    Named(this, 383);
    auto* layout = new QVBoxLayout(this);
    const CPaneBlock::Edits edits = pane.Edits();
    m_style = new CBarcodeStyleBlock(tr("Style"), true, edits, this);
    layout->addWidget(m_style);
    m_rules = new CDataRulesBlock(true, CDataRulesBlock::LENGTH_LINKED, edits, this);
    layout->addWidget(m_rules);
    m_human = new CHumanReadableBlock(edits, this);
    layout->addWidget(m_human);
    layout->addStretch(1);
    // The check digit decides what the human-readable text may include.
    connect(m_style, &CPaneBlock::edited, this, &CBarcodeViewPage2::ApplyEnabling);
}

void CBarcodeViewPage2::BindElement(CBarcode* b)
{
    m_style->Bind(b);
    m_rules->Bind(b);
    m_human->Bind(b);
    ApplyEnabling();
}

void CBarcodeViewPage2::RefreshGeometry()
{
    m_style->Refresh();
}

void CBarcodeViewPage2::Refresh(bool)
{
    ApplyEnabling();
}

void CBarcodeViewPage2::ApplyEnabling()
{
    m_style->ApplyEnabling();
    m_rules->ApplyEnabling();
    m_human->ApplyEnabling();
}

void CBarcodeViewPage2::ApplyHumanReadable()
{
    m_human->Apply();
}
