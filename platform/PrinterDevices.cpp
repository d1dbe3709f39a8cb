#include "PrinterDevices.h"

#include "Rounding.h"

#include <QCoreApplication>
#include <QMarginsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSizeF>

#include <algorithm>
#include <utility>

namespace {

const QString& VirtualName()
{
    static const QString name = QString::fromLatin1(CPrinterDevices::kVirtualPrinterName);
    return name;
}

// The virtual printer's paper sizes, named as users know them.
const QList<PrinterForm>& VirtualForms()
{
    static const QList<PrinterForm> forms = [] {
        const std::pair<const char*, QPageSize::PageSizeId> sizes[] = {
            {"A0", QPageSize::A0},
            {"A1", QPageSize::A1},
            {"A2", QPageSize::A2},
            {"A3", QPageSize::A3},
            {"A4", QPageSize::A4},
            {"A5", QPageSize::A5},
            {"A6", QPageSize::A6},
            {"B4", QPageSize::B4},
            {"B5", QPageSize::B5},
            {"Letter", QPageSize::Letter},
            {"Legal", QPageSize::Legal},
            {"Executive", QPageSize::ExecutiveStandard},
            {"Tabloid", QPageSize::Tabloid},
            {"Envelope DL", QPageSize::EnvelopeDL},
            {"Envelope C4", QPageSize::EnvelopeC4},
            {"Envelope C5", QPageSize::EnvelopeC5},
            {"Envelope C6", QPageSize::EnvelopeC6},
        };
        QList<PrinterForm> list;
        for (const auto& [name, id] : sizes)
            list.append(CPrinterDevices::MakeForm(QString::fromLatin1(name), QPageSize(id)));
        return list;
    }();
    return forms;
}

constexpr int kVirtualDefaultForm = 4; // A4

// A QPrinter may only be made while an application object exists.
bool CanMakeQPrinter()
{
    return QCoreApplication::instance() != nullptr;
}

QPageSize DefaultPageSize(const QString& printer)
{
    if (CPrinterDevices::IsVirtualPrinter(printer))
        return VirtualForms().at(kVirtualDefaultForm).pageSize;
    const QPageSize size = QPrinterInfo::printerInfo(printer).defaultPageSize();
    return size.isValid() ? size : QPageSize(QPageSize::A4);
}

} // namespace

QStringList CPrinterDevices::PrinterNames()
{
    QStringList names{VirtualName()};
    for (const QString& name : QPrinterInfo::availablePrinterNames()) {
        if (!names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

QString CPrinterDevices::DefaultPrinterName()
{
    const QString forced = qEnvironmentVariable("TABREL_DEFAULT_PRINTER");
    if (!forced.isEmpty())
        return forced;
    const QString cupsDefault = QPrinterInfo::defaultPrinterName();
    return cupsDefault.isEmpty() ? VirtualName() : cupsDefault;
}

QString CPrinterDevices::FindPrinter(const QString& name)
{
    if (name.isEmpty())
        return {};
    for (const QString& known : PrinterNames()) {
        if (known.compare(name, Qt::CaseInsensitive) == 0)
            return known;
    }
    return {};
}

bool CPrinterDevices::IsVirtualPrinter(const QString& name)
{
    return name.compare(VirtualName(), Qt::CaseInsensitive) == 0;
}

QSizeF CPrinterDevices::SizeMm(const QPageSize& size)
{
    // From the units the size is defined in, so that inch sizes come out
    // exact (Executive is 184.15 mm wide, not Qt's rounded 184.2).
    if (size.definitionUnits() == QPageSize::Inch)
        return size.definitionSize() * 25.4;
    if (size.definitionUnits() == QPageSize::Millimeter)
        return size.definitionSize();
    return size.size(QPageSize::Millimeter);
}

PrinterForm CPrinterDevices::MakeForm(const QString& name, const QPageSize& size)
{
    const QSizeF mm = SizeMm(size);
    PrinterForm form;
    form.name = name;
    form.widthUm = RoundHalfUp(mm.width() * 1000.0);
    form.heightUm = RoundHalfUp(mm.height() * 1000.0);
    form.pageSize = size;
    return form;
}

QList<PrinterForm> CPrinterDevices::Forms(const QString& printer)
{
    if (IsVirtualPrinter(printer))
        return VirtualForms();
    const QString name = FindPrinter(printer);
    if (name.isEmpty())
        return {};
    QList<PrinterForm> forms;
    for (const QPageSize& size : QPrinterInfo::printerInfo(name).supportedPageSizes()) {
        if (size.isValid())
            forms.append(MakeForm(size.name(), size));
    }
    return forms;
}

int CPrinterDevices::DefaultFormIndex(const QString& printer)
{
    if (IsVirtualPrinter(printer))
        return kVirtualDefaultForm;
    const QList<PrinterForm> forms = Forms(printer);
    const PrinterForm wanted = MakeForm(QString(), DefaultPageSize(printer));
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i].pageSize.isEquivalentTo(wanted.pageSize))
            return i;
    }
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i].widthUm == wanted.widthUm && forms[i].heightUm == wanted.heightUm)
            return i;
    }
    return 0;
}

QList<PrinterBin> CPrinterDevices::Bins(const QString& printer)
{
    // Qt does not expose the CUPS input slots; every printer offers the one
    // source that lets it choose for itself.
    if (!IsVirtualPrinter(printer) && FindPrinter(printer).isEmpty())
        return {};
    return {PrinterBin{QStringLiteral("Automatically Select"), kAutoSelectBin}};
}

QList<int> CPrinterDevices::SupportedResolutions(const QString& printer)
{
    if (IsVirtualPrinter(printer))
        return {kVirtualPrinterDpi};
    const QString name = FindPrinter(printer);
    if (name.isEmpty())
        return {};
    QList<int> list = QPrinterInfo::printerInfo(name).supportedResolutions();
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    list.removeIf([](int dpi) { return dpi <= 0; });
    return list;
}

int CPrinterDevices::Resolution(const QString& printer)
{
    if (IsVirtualPrinter(printer))
        return kVirtualPrinterDpi;
    // Qt does not tell a CUPS printer's default resolution: take the finest
    // one up to 600 dpi, else the coarsest the printer offers.
    const QList<int> supported = SupportedResolutions(printer);
    if (supported.isEmpty())
        return 300;
    int best = 0;
    for (int dpi : supported) {
        if (dpi <= 600)
            best = dpi;
    }
    return best > 0 ? best : supported.front();
}

CRect CPrinterDevices::PrintableArea(const QString& printer, const QPageSize& size,
                                     QPageLayout::Orientation orientation)
{
    QSizeF full = SizeMm(size);
    if (orientation == QPageLayout::Landscape)
        full.transpose();
    QMarginsF margins;
    const QString name = FindPrinter(printer);
    if (!IsVirtualPrinter(printer) && !name.isEmpty() && CanMakeQPrinter()) {
        QPrinter qprinter(QPrinter::HighResolution);
        qprinter.setPrinterName(name);
        qprinter.setPageSize(size);
        qprinter.setPageOrientation(orientation);
        QPageLayout layout = qprinter.pageLayout();
        layout.setUnits(QPageLayout::Millimeter);
        margins = layout.minimumMargins();
        full = layout.fullRect(QPageLayout::Millimeter).size();
    }
    return CRect(RoundHalfUp(margins.left() * 10.0), RoundHalfUp(margins.top() * 10.0),
                 RoundHalfUp((full.width() - margins.right()) * 10.0),
                 RoundHalfUp((full.height() - margins.bottom()) * 10.0));
}

QString CPrinterDevices::Port(const QString& printer)
{
    // Qt does not give the device URI of a queue; the queue name is the port.
    if (IsVirtualPrinter(printer))
        return QStringLiteral("PDF:");
    const QString name = FindPrinter(printer);
    return name.isEmpty() ? printer : name;
}

QString CPrinterDevices::DriverName(const QString& printer)
{
    return IsVirtualPrinter(printer) ? VirtualName() : QStringLiteral("CUPS");
}

void CPrinterDevices::SetUpQPrinter(QPrinter& qprinter, const QString& printer)
{
    if (IsVirtualPrinter(printer)) {
        qprinter.setOutputFormat(QPrinter::PdfFormat);
        qprinter.setResolution(kVirtualPrinterDpi);
        qprinter.setFullPage(true);
        qprinter.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        return;
    }
    qprinter.setOutputFormat(QPrinter::NativeFormat);
    qprinter.setPrinterName(FindPrinter(printer));
}
