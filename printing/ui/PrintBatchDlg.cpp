#include "PrintBatchDlg.h"

#include "AppContext.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Paper.h"
#include "PictureButton.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "Seams.h"
#include "SheetPreviewWnd.h"
#include "SheetReuseWarningDlg.h"
#include "Strings.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

// Data-source kind of an incrementing number.
constexpr int kIncrementingNumber = 4;

} // namespace

CPrintBatchDlg::CPrintBatchDlg(CPrintRunSeam& driver, CSheetPreviewWnd* sheet, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_driver(driver), m_sheet(sheet)
{
    setObjectName(IdName(IDD));
    setWindowTitle(tr("Print"));
    setModal(false);

    auto* destinationBox = new QGroupBox(tr("Destination"), this);
    auto* destination = new QVBoxLayout(destinationBox);
    m_destination = new QComboBox(destinationBox);
    m_destination->setObjectName(IdName(IDC_DESTINATION));
    m_destination->addItems({tr("Printer"), tr("File"), tr("Queue")});
    if (!m_driver.IsQueueAvailable())
        m_destination->removeItem(2);
    m_destinationText = new QLabel(destinationBox);
    m_destinationText->setObjectName(IdName(IDC_DESTINATION_TEXT));
    m_destinationText->setWordWrap(true);
    m_destinationText->setMinimumWidth(200);
    destination->addWidget(m_destination);
    destination->addWidget(m_destinationText);

    auto* countsBox = new QGroupBox(tr("Quantity"), this);
    auto* counts = new QGridLayout(countsBox);
    m_copies = new QSpinBox(countsBox);
    m_copies->setObjectName(IdName(IDC_COPIES));
    m_copies->setRange(0, kMaxCount);
    m_batchLabel = new QLabel(tr("Serialised Batch:"), countsBox);
    m_batchLabel->setObjectName(IdName(IDC_BATCH_LABEL));
    m_batch = new QSpinBox(countsBox);
    m_batch->setObjectName(IdName(IDC_BATCH));
    m_batch->setRange(1, kMaxCount);
    m_sheetUsageLabel = new QLabel(tr("Sheet Usage:"), countsBox);
    m_sheetUsageLabel->setObjectName(IdName(IDC_SHEET_USAGE_LABEL));
    m_sheetUsage = new QSpinBox(countsBox);
    m_sheetUsage->setObjectName(IdName(IDC_SHEET_USAGE));
    m_ofLabel = new QLabel(tr("of"), countsBox);
    m_ofLabel->setObjectName(IdName(IDC_OF_LABEL));
    m_perSheet = new QLabel(countsBox);
    m_perSheet->setObjectName(IdName(IDC_PER_SHEET));
    counts->addWidget(new QLabel(tr("Identical Copies:"), countsBox), 0, 0);
    counts->addWidget(m_copies, 0, 1);
    counts->addWidget(m_batchLabel, 1, 0);
    counts->addWidget(m_batch, 1, 1);
    counts->addWidget(m_sheetUsageLabel, 2, 0);
    counts->addWidget(m_sheetUsage, 2, 1);
    counts->addWidget(m_ofLabel, 2, 2);
    counts->addWidget(m_perSheet, 2, 3);
    counts->setColumnStretch(4, 1);

    // A flat picture button with the program's print picture.
    auto* printButton = new CPictureButton(tr("&Print"), this);
    printButton->SetIcon(QStringLiteral(":/icons/print.png"));
    m_print = printButton;
    m_print->setObjectName(IdName(IDC_PRINT));
    m_print->setDefault(true);
    m_restart = new QPushButton(tr("&Restart"), this);
    m_restart->setObjectName(IdName(IDC_RESTART));
    m_return = new QPushButton(this);
    m_return->setObjectName(IdName(IDC_RETURN));
    m_idleReturnText = LoadStringId(IDS_RETURN_TO_LABEL_DESIGN);
    m_return->setMinimumWidth(m_return->fontMetrics().horizontalAdvance(m_idleReturnText) + 24);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_print);
    buttons->addWidget(m_restart);
    buttons->addStretch(1);
    buttons->addWidget(m_return);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(destinationBox);
    outer->addWidget(countsBox);
    outer->addLayout(buttons);

    // The values.
    m_destinationText->setText(ThePrinter().EnsurePrinter() ? ThePrinter().GetDeviceName()
                                                            : QString());
    m_copies->setValue(InitialCopies().toInt());
    m_batch->setValue(1);
    const bool serialised = TheElementList().HasSourceKind(kIncrementingNumber);
    m_batch->setVisible(serialised);
    m_batchLabel->setVisible(serialised);
    const int perSheet = LabelsPerSheet();
    m_sheetUsage->setRange(0, std::max(0, perSheet - 1));
    m_sheetUsage->setValue(0);
    m_perSheet->setText(QString::number(perSheet));
    for (QWidget* w :
         {static_cast<QWidget*>(m_sheetUsage), static_cast<QWidget*>(m_sheetUsageLabel),
          static_cast<QWidget*>(m_ofLabel), static_cast<QWidget*>(m_perSheet)})
        w->setVisible(perSheet > 1);
    SetReturnText(m_idleReturnText);

    m_blink.setInterval(kBlinkMs);
    connect(&m_blink, &QTimer::timeout, this, &CPrintBatchDlg::OnBlink);
    connect(m_destination, &QComboBox::activated, this, &CPrintBatchDlg::OnDestination);
    connect(m_copies, &QSpinBox::valueChanged, this, [this] { OnCopiesEdited(); });
    connect(m_sheetUsage, &QSpinBox::valueChanged, this, [this] {
        if (m_sheetUsage->hasFocus())
            OnSheetUsageEdited();
    });
    connect(m_print, &QPushButton::clicked, this, &CPrintBatchDlg::OnPrint);
    connect(m_restart, &QPushButton::clicked, this, &CPrintBatchDlg::OnRestart);
    connect(m_return, &QPushButton::clicked, this, &CPrintBatchDlg::reject);
    // The print accelerator: Ctrl+P in the bar prints.
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    print->setContext(Qt::WidgetWithChildrenShortcut);
    connect(print, &QShortcut::activated, this, &CPrintBatchDlg::PrintByAccelerator);
    UpdateControls();
    adjustSize();
    m_placement = QRect(pos(), size());
}

void CPrintBatchDlg::PrintByAccelerator()
{
    if (m_print->isEnabled())
        OnPrint();
}

void CPrintBatchDlg::SetPlacement(const QRect& rect)
{
    move(rect.topLeft());
    resize(rect.size());
    m_placement = rect;
}

CPrintBatchDlg::~CPrintBatchDlg()
{
    m_blink.stop();
}

int CPrintBatchDlg::LabelsPerSheet() const
{
    const CPaperStock* stock = ThePaper().Current();
    return stock ? std::max(1, stock->LabelsPerSheet()) : 1;
}

QString CPrintBatchDlg::InitialCopies() const
{
    const QString fromData = m_driver.CopiesFromData();
    return fromData.isEmpty() ? QStringLiteral("1") : fromData;
}

int CPrintBatchDlg::Destination() const
{
    return m_destination->currentIndex();
}

QString CPrintBatchDlg::EjectText() const
{
    const CPaperStock* stock = ThePaper().Current();
    return LoadStringId(stock && stock->continuous ? IDS_EJECT_LABELS : IDS_EJECT_SHEET);
}

void CPrintBatchDlg::SetIdleReturnText(const QString& text)
{
    const bool idle = m_return->text() == m_idleReturnText;
    m_idleReturnText = text;
    m_return->setMinimumWidth(
        std::max(m_return->minimumWidth(), m_return->fontMetrics().horizontalAdvance(text) + 24));
    if (idle)
        SetReturnText(text);
}

void CPrintBatchDlg::SetReturnText(const QString& text)
{
    m_return->setText(text);
}

void CPrintBatchDlg::UpdateControls()
{
    CPrinter& printer = ThePrinter();
    const bool running = printer.m_jobOpen || m_driver.IsQueueJobPending();
    m_restart->setEnabled(running);
    m_destination->setEnabled(!running);
    const bool freshSheet = printer.m_labelPosition % LabelsPerSheet() == 0;
    m_sheetUsage->setEnabled(freshSheet && Destination() != 2);
}

void CPrintBatchDlg::OnDestination(int index)
{
    CPrinter& printer = ThePrinter();
    m_destinationText->setVisible(index != 2);
    if (index == 1) {
        // The program's "Print to File" box, else a plain save dialog.
        const QString suggested = QStringLiteral("Output.pdf");
        QString file;
        if (CPrinter::s_choosePrintFile) {
            file = CPrinter::s_choosePrintFile(suggested);
        } else {
            file = QFileDialog::getSaveFileName(this, LoadStringId(IDS_PRINT_TO_FILE), suggested,
                                                tr("PDF Files (*.pdf);;All Files (*)"));
        }
        if (file.isEmpty()) {
            m_destination->setCurrentIndex(0);
            m_destinationText->setText(printer.GetDeviceName());
        } else {
            m_file = file;
            m_destinationText->setText(file);
        }
    } else if (index == 2) {
        if (!m_driver.IsSignSaved()) {
            AppMessageBox(LoadStringId(IDS_SAVE_BEFORE_QUEUE), MB_OK | MB_ICONEXCLAMATION);
            m_destination->setCurrentIndex(0);
            m_destinationText->setVisible(true);
            m_destinationText->setText(printer.GetDeviceName());
        } else {
            m_sheetUsage->setValue(0);
        }
    } else {
        m_destinationText->setText(printer.GetDeviceName());
    }
    UpdateControls();
}

void CPrintBatchDlg::OnCopiesEdited()
{
    // The driver's copies are fixed when a job starts: a change ends the
    // job it was started for.
    CPrinter& printer = ThePrinter();
    printer.m_positionAtLastCopiesEdit = printer.m_labelPosition;
    if (printer.m_jobOpen && printer.m_driverDoesCopies && LabelsPerSheet() == 1)
        printer.EndJob();
    UpdateControls();
}

void CPrintBatchDlg::OnSheetUsageEdited()
{
    if (m_sheet)
        m_sheet->SetUsed(std::clamp(m_sheetUsage->value(), 0, LabelsPerSheet() - 1));
}

void CPrintBatchDlg::OnPrint()
{
    const int batch = std::clamp(m_batch->value(), 1, kMaxCount);
    const int copies = std::min(m_copies->value(), kMaxCount);
    if (copies <= 0)
        return;
    CPrinter& printer = ThePrinter();
    const int perSheet = LabelsPerSheet();
    const bool freshSheet = printer.m_labelPosition % perSheet == 0;
    int usage = freshSheet ? std::clamp(m_sheetUsage->value(), 0, perSheet - 1) : 0;
    if (usage >= 1 && printer.m_labelPosition == 0 && CSheetReuseWarningDlg::IsEnabled()) {
        CSheetReuseWarningDlg warning(this);
        const int answer = warning.exec();
        if (warning.DontWarnAgain())
            CSheetReuseWarningDlg::Disable();
        if (answer != QDialog::Accepted) {
            m_sheetUsage->setValue(0);
            if (m_sheet)
                m_sheet->SetUsed(0);
            return;
        }
    }
    if (m_sheet && usage != m_sheet->UsedCount() && freshSheet && printer.m_labelPosition == 0)
        m_sheet->SetUsed(usage);

    const int destination = Destination();
    m_driver.AdjustPrintDepth(false);
    const BOOL printed = m_driver.PrintEnteredData(batch, copies, destination,
                                                   destination == 1 ? m_file : QString(), usage);
    m_driver.AdjustPrintDepth(true);
    // A run of many signs that goes on shows where the sheet stands when its
    // last sign, or the one it stops at, has printed.
    if (printed && printer.m_signsAhead > 0 && !printer.m_cancel)
        return;

    m_sheetUsage->setValue(printer.m_labelPosition % perSheet);
    if (printer.IsSheetStarted()) {
        m_ejectText = EjectText();
        SetReturnText(m_ejectText);
        m_blinkPhase = false;
        m_blink.start();
    } else {
        m_blink.stop();
        SetReturnText(m_idleReturnText);
    }
    UpdateControls();
}

void CPrintBatchDlg::OnBlink()
{
    m_blinkPhase = !m_blinkPhase;
    SetReturnText(m_blinkPhase ? QString() : m_ejectText);
}

void CPrintBatchDlg::OnRestart()
{
    m_driver.EndPrintRun();
    m_batch->setValue(1);
    {
        const QSignalBlocker blocker(m_copies);
        m_copies->setValue(InitialCopies().toInt());
    }
    m_sheetUsage->setValue(0);
    if (m_sheet)
        m_sheet->Reset();
    m_blink.stop();
    SetReturnText(m_idleReturnText);
    UpdateControls();
}

void CPrintBatchDlg::reject()
{
    if (ThePrinter().IsSheetStarted() || m_driver.IsQueueJobPending()) {
        OnRestart();
        return;
    }
    m_driver.LeaveDataEntryIfIdle();
}
