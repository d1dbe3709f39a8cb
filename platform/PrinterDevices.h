// The printers the system can print on: the CUPS printers that Qt reports,
// and the built-in virtual printer "Tabrel PDF" that writes PDF files. The
// virtual printer is always present and always listed first, so that the
// programs work (and the tests are deterministic) on a machine without any
// printer.
//
// The default printer is the one named by the environment variable
// TABREL_DEFAULT_PRINTER when it is set (whether or not such a printer
// exists), else the CUPS default, else the virtual printer.
#pragma once

#include "Types.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPrinter;

// A paper size a printer offers, in thousandths of a millimetre, portrait.
struct PrinterForm
{
    QString name;
    int widthUm = 0;
    int heightUm = 0;
    QPageSize pageSize;
};

// A paper source (bin) with the number the settings block stores for it.
struct PrinterBin
{
    QString name;
    int number = 0;
};

class CPrinterDevices
{
public:
    static constexpr const char* kVirtualPrinterName = "Tabrel PDF";
    static constexpr int kVirtualPrinterDpi = 600;
    // The bin that every printer offers: the printer picks the source itself.
    static constexpr int kAutoSelectBin = 7;

    // Every printer, the virtual one first.
    static QStringList PrinterNames();
    static QString DefaultPrinterName();
    // The printer's name as listed, found case-insensitively; empty when
    // there is no such printer.
    static QString FindPrinter(const QString& name);
    static bool IsVirtualPrinter(const QString& name);

    // The printer's paper sizes in a stable order; empty for an unknown
    // printer.
    static QList<PrinterForm> Forms(const QString& printer);
    // Index into Forms() of the printer's default paper size (0 when it is
    // not among the forms).
    static int DefaultFormIndex(const QString& printer);
    static QList<PrinterBin> Bins(const QString& printer);

    // The printer's default resolution and the resolutions it supports
    // (dots per inch; the list may be empty when the printer does not say).
    static int Resolution(const QString& printer);
    static QList<int> SupportedResolutions(const QString& printer);

    // The printable part of a page of that size and orientation, in tenths
    // of a millimetre from the page's top-left corner. The whole page for
    // the virtual printer, and for any printer when its margins cannot be
    // asked (no application object).
    static CRect PrintableArea(const QString& printer, const QPageSize& size,
                               QPageLayout::Orientation orientation);

    // The output port: the printer name for CUPS printers, "PDF:" for the
    // virtual printer.
    static QString Port(const QString& printer);
    // "CUPS" or the virtual printer's name.
    static QString DriverName(const QString& printer);

    // Points a QPrinter at the printer: PDF output at 600 dpi without
    // margins for the virtual printer, the CUPS queue otherwise.
    static void SetUpQPrinter(QPrinter& qprinter, const QString& printer);

    // The page size in thousandths of a millimetre, portrait.
    static PrinterForm MakeForm(const QString& name, const QPageSize& size);
    // The page size in millimetres, portrait, exact for sizes defined in
    // inches.
    static QSizeF SizeMm(const QPageSize& size);
};
