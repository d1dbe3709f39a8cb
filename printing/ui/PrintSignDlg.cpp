#include "PrintSignDlg.h"

#include "AppContext.h"
#include "Messages.h"
#include "PageLabels.h"
#include "Paper.h"
#include "PrintQueue.h"
#include "Printer.h"
#include "SheetReuseWarningDlg.h"
#include "SignData.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

QSpinBox* NumberBox(QWidget* parent, int id)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(IdName(id));
    box->setAccelerated(true);
    box->setMinimumWidth(90);
    return box;
}

} // namespace

CPrintSignDlg::CPrintSignDlg(const CSignData& document, QWidget* parent)
    : QDialog(parent), m_document(document)
{
    setObjectName(IdName(IDD));
    setWindowTitle(tr("Print"));

    const CPaperStock* stock = ThePaper().Current();
    m_labelsPerSheet = stock ? std::max(1, stock->LabelsPerSheet()) : 1;

    CPrinter& printer = ThePrinter();
    auto* where = new QGroupBox(tr("Destination"), this);
    auto* whereForm = new QFormLayout(where);
    m_destinationBox = new QComboBox(where);
    m_destinationBox->setObjectName(IdName(IDC_DESTINATION));
    m_destinationBox->addItem(tr("Printer"));
    m_destinationBox->addItem(tr("File"));
    if (ThePrintQueue().IsAvailable())
        m_destinationBox->addItem(tr("Queue"));
    whereForm->addRow(tr("&Print to:"), m_destinationBox);
    auto* printerName =
        new QLabel(printer.EnsurePrinter() ? printer.GetDeviceName() : QString(), where);
    printerName->setObjectName(QStringLiteral("printerName"));
    whereForm->addRow(tr("Printer:"), printerName);
    auto* paperName = new QLabel(
        stock ? (m_labelsPerSheet == 1
                     ? tr("%1 (1 label per sheet)").arg(stock->name)
                     : tr("%1 (%2 labels per sheet)").arg(stock->name).arg(m_labelsPerSheet))
              : QString(),
        where);
    paperName->setObjectName(QStringLiteral("paperName"));
    whereForm->addRow(tr("Paper:"), paperName);

    auto* amounts = new QGroupBox(tr("Copies"), this);
    auto* amountsForm = new QFormLayout(amounts);
    m_copiesBox = NumberBox(amounts, IDC_COPIES);
    m_copiesBox->setRange(1, kMaxCopies);
    amountsForm->addRow(tr("Number of &copies:"), m_copiesBox);
    m_skipBox = NumberBox(amounts, IDC_SKIP);
    m_skipBox->setRange(0, m_labelsPerSheet - 1);
    amountsForm->addRow(tr("&Skip labels:"), m_skipBox);
    m_skipNote = new QLabel(tr("Labels already used on the first sheet."), amounts);
    m_skipNote->setEnabled(false);
    amountsForm->addRow(QString(), m_skipNote);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(IdName(IDOK));
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Print"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(IdName(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPrintSignDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrintSignDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(amounts);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_copiesBox->setValue(std::clamp(m_copies, 1, kMaxCopies));
    m_skipBox->setValue(std::clamp(m_skip, 0, m_labelsPerSheet - 1));
    m_destinationBox->setCurrentIndex(
        std::clamp(m_destination, 0, static_cast<int>(m_destinationBox->count()) - 1));
    OnDestinationChanged(m_destinationBox->currentIndex());
    connect(m_destinationBox, &QComboBox::currentIndexChanged, this,
            &CPrintSignDlg::OnDestinationChanged);
    m_copiesBox->setFocus();
    m_copiesBox->selectAll();
}

void CPrintSignDlg::OnDestinationChanged(int index)
{
    if (index == DEST_QUEUE && m_document.GetPathName().isEmpty()) {
        AppMessageBoxId(IDS_SAVE_BEFORE_QUEUE, MB_OK | MB_ICONEXCLAMATION);
        m_destinationBox->setCurrentIndex(DEST_PRINTER); // comes back here
        return;
    }
    // A queued sign is printed later on a fresh sheet; a one-label stock has
    // nothing to skip.
    if (index == DEST_QUEUE)
        m_skipBox->setValue(0);
    const bool canSkip = index != DEST_QUEUE && m_labelsPerSheet >= 2;
    m_skipBox->setEnabled(canSkip);
    m_skipNote->setEnabled(canSkip);
}

bool CPrintSignDlg::ReadNumber(QSpinBox* box, int low, int high, int& value)
{
    bool ok = false;
    const int typed = box->cleanText().trimmed().toInt(&ok);
    if (ok && typed >= low && typed <= high) {
        value = typed;
        return true;
    }
    AppMessageBox(tr("Please enter an integer between %1 and %2.").arg(low).arg(high),
                  MB_OK | MB_ICONEXCLAMATION);
    box->setFocus();
    box->selectAll();
    return false;
}

void CPrintSignDlg::accept()
{
    int copies = 0;
    int skip = 0;
    if (!ReadNumber(m_copiesBox, 1, kMaxCopies, copies))
        return;
    if (m_skipBox->isEnabled() && !ReadNumber(m_skipBox, 0, m_labelsPerSheet - 1, skip))
        return;
    m_destination = m_destinationBox->currentIndex();
    m_copies = copies;
    m_skip = m_skipBox->isEnabled() ? skip : 0;
    QDialog::accept();
}

BOOL ConfirmSheetReuse(QWidget* parent, int skip)
{
    if (skip < 1 || !CSheetReuseWarningDlg::IsEnabled())
        return TRUE;
    CSheetReuseWarningDlg warning(parent);
    const bool yes = warning.exec() == QDialog::Accepted;
    if (warning.DontWarnAgain())
        CSheetReuseWarningDlg::Disable();
    return yes ? TRUE : FALSE;
}

BOOL PrintSignTo(const CSignData& document, int destination, int copies, int skip,
                 const QString& file)
{
    if (destination == CPrintSignDlg::DEST_QUEUE) {
        CPrintQueue& queue = ThePrintQueue();
        if (!queue.AddSign(document, copies))
            return FALSE;
        return queue.Submit();
    }
    ThePageLabels().m_pageNumber = 1;
    CPrinter& printer = ThePrinter();
    const BOOL printed = printer.PrintSign(document, copies, file, skip);
    const BOOL ended = printer.EndJob();
    return printed && ended ? TRUE : FALSE;
}
