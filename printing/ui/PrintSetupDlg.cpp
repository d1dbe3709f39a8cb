#include "PrintSetupDlg.h"

#include "Messages.h"
#include "Printer.h"
#include "PrinterDevices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

CPrintSetupDlg::CPrintSetupDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("printSetup"));
    setWindowTitle(tr("Print Setup"));

    auto* printerGroup = new QGroupBox(tr("Printer"), this);
    auto* printerForm = new QFormLayout(printerGroup);
    m_printer = new QComboBox(printerGroup);
    m_printer->setObjectName(IdName(IDC_PRINTER));
    m_printer->addItems(CPrinterDevices::PrinterNames());
    m_printer->setMinimumWidth(260);
    printerForm->addRow(tr("&Name:"), m_printer);
    m_where = new QLabel(printerGroup);
    m_where->setObjectName(QStringLiteral("printerWhere"));
    printerForm->addRow(tr("Where:"), m_where);

    auto* paperGroup = new QGroupBox(tr("Paper"), this);
    auto* paperForm = new QFormLayout(paperGroup);
    m_size = new QComboBox(paperGroup);
    m_size->setObjectName(IdName(IDC_PAPER_SIZE));
    paperForm->addRow(tr("Si&ze:"), m_size);
    m_source = new QComboBox(paperGroup);
    m_source->setObjectName(IdName(IDC_PAPER_SOURCE));
    paperForm->addRow(tr("&Source:"), m_source);

    auto* orientationGroup = new QGroupBox(tr("Orientation"), this);
    auto* orientationBox = new QVBoxLayout(orientationGroup);
    m_portrait = new QRadioButton(tr("P&ortrait"), orientationGroup);
    m_portrait->setObjectName(IdName(IDC_PORTRAIT));
    m_landscape = new QRadioButton(tr("L&andscape"), orientationGroup);
    m_landscape->setObjectName(IdName(IDC_LANDSCAPE));
    orientationBox->addWidget(m_portrait);
    orientationBox->addWidget(m_landscape);
    orientationBox->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(IdName(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(IdName(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lower = new QHBoxLayout;
    lower->addWidget(paperGroup, 1);
    lower->addWidget(orientationGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerGroup);
    layout->addLayout(lower);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    CPrinter& printer = ThePrinter();
    if (printer.EnsurePrinter()) {
        m_printer->setCurrentText(printer.GetDeviceName());
        m_devMode = printer.GetDevMode();
    }
    FillPrinter(m_printer->currentText());
    connect(m_printer, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        m_devMode = CDevMode::ForPrinter(name);
        FillPrinter(name);
    });
}

void CPrintSetupDlg::FillPrinter(const QString& printer)
{
    if (m_devMode.IsEmpty())
        m_devMode = CDevMode::ForPrinter(printer);
    m_where->setText(CPrinterDevices::Port(printer));

    const QList<PrinterForm> forms = CPrinterDevices::Forms(printer);
    m_size->clear();
    int current = -1;
    for (int i = 0; i < forms.size(); ++i) {
        m_size->addItem(forms[i].name);
        if (current < 0 && !m_devMode.FormName().isEmpty() &&
            forms[i].name.compare(m_devMode.FormName(), Qt::CaseInsensitive) == 0)
            current = i;
    }
    if (current < 0 && m_devMode.PaperSize() >= 1 && m_devMode.PaperSize() <= forms.size())
        current = m_devMode.PaperSize() - 1;
    if (current < 0)
        current = CPrinterDevices::DefaultFormIndex(printer);
    m_size->setCurrentIndex(current);

    m_source->clear();
    int bin = 0;
    for (const PrinterBin& b : CPrinterDevices::Bins(printer)) {
        if (b.number == m_devMode.DefaultSource())
            bin = m_source->count();
        m_source->addItem(b.name, b.number);
    }
    m_source->setCurrentIndex(bin);

    const bool landscape = m_devMode.Orientation() == DMORIENT_LANDSCAPE;
    m_landscape->setChecked(landscape);
    m_portrait->setChecked(!landscape);
}

QString CPrintSetupDlg::ChosenPrinter() const
{
    return m_printer->currentText();
}

CDevMode CPrintSetupDlg::ChosenSettings() const
{
    CDevMode devMode = m_devMode;
    const QList<PrinterForm> forms = CPrinterDevices::Forms(ChosenPrinter());
    const int size = m_size->currentIndex();
    if (size >= 0 && size < forms.size())
        devMode.SetForm(size, forms[size]);
    if (m_source->currentIndex() >= 0) {
        devMode.SetDefaultSource(static_cast<short>(m_source->currentData().toInt()));
        devMode.AddFields(DM_DEFAULTSOURCE);
    }
    devMode.SetOrientation(m_landscape->isChecked() ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    devMode.AddFields(DM_ORIENTATION);
    return devMode;
}

int PrinterSetup(QWidget* parent)
{
    CPrintSetupDlg dialog(parent);
    const int result = dialog.exec();
    if (result != QDialog::Accepted)
        return result;
    // The printer may have gone while the dialog was open.
    if (!ThePrinter().SetApplicationPrinter(dialog.ChosenPrinter(), dialog.ChosenSettings())) {
        AppMessageBoxId(IDS_NO_PRINTER_DATA, MB_OK | MB_ICONEXCLAMATION);
        return QDialog::Rejected;
    }
    return result;
}
