// The sign's printer settings and the printer device: the settings block
// (DEVMODE) kept byte for byte with the sign, the printer's names, its
// resolution and printable area, and the state of a running print job.
#pragma once

#include "DC.h"
#include "DevMode.h"
#include "Object.h"
#include "Types.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class CArchive;
class CTextExportFile;
class QPrinter;
struct CPaperStock;

// Orientation values of the settings block.
enum : int
{
    DMORIENT_PORTRAIT = 1,
    DMORIENT_LANDSCAPE = 2,
};

class CPrinter : public CObject
{
    DECLARE_PERSISTENT(CPrinter)

public:
    CPrinter();
    ~CPrinter() override;
    CPrinter(const CPrinter&) = delete;
    CPrinter& operator=(const CPrinter&) = delete;

    // Fills the settings from the default printer when they are missing and
    // makes the device context; FALSE (after a message) when no printer data
    // can be had.
    BOOL EnsurePrinter();
    void Reset(BOOL rebuild, int orientation = 0xFFFF);
    // Makes the named printer, with its default settings, the one that
    // EnsurePrinter takes; does not rebuild this object.
    BOOL SelectPrinterByName(const QString& printerName);
    // Makes the printer with these settings the one that EnsurePrinter
    // takes, and rebuilds this object from it (what Print Setup does on OK).
    BOOL SetApplicationPrinter(const QString& printerName, const CDevMode& devMode);
    // The printer that EnsurePrinter takes: the one selected, else the
    // default printer.
    QString ApplicationPrinterName() const;
    BOOL ReadPartnerBlock(const CDevMode& devMode);
    BOOL IsNativeBarcodeSupported(int symbology) const;
    BOOL IsNativeRotationSupported(int quarterTurns) const;
    BOOL SetOrientation(int orientation);
    int GetOrientation(); // DMORIENT_*, after EnsurePrinter
    bool IsLandscape() { return GetOrientation() != DMORIENT_PORTRAIT; }
    BOOL SelectFormForStock(const CPaperStock& stock);
    QString GetPaperSourceName();
    // The bin names in driver order, and the index of the current one (else 0).
    int FillPaperSourceCombo(QStringList& items);
    BOOL SelectPaperSource(const QString& name);
    QString GetDeviceName();
    BOOL ApplyStoredDevMode(DWORD platformId, CDevMode devMode);
    // Points a QPrinter at this printer with these settings, for a print job.
    BOOL SetUpQPrinter(QPrinter& qprinter);

    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file);

    // The settings block, the device context measured on the printer, its
    // resolution and the printable part of the page (tenths of a millimetre
    // from the page's top-left corner); valid after EnsurePrinter.
    const CDevMode& GetDevMode() const { return m_devMode; }
    CDevMode& DevMode() { return m_devMode; }
    CDC* GetDC() { return m_dc.get(); }
    int GetPixelsPerInchX() const { return m_ppiX; }
    int GetPixelsPerInchY() const { return m_ppiY; }
    const CRect& GetPrintableArea() const { return m_printableArea; }
    const QString& GetDriver() const { return m_driver; }
    const QString& GetPort() const { return m_port; }

    // The platform id written into signs; this system counts as the NT family.
    static constexpr DWORD kPlatformId = 2;

    // Print job state, driven by the print loop.
    BOOL m_driverDoesCopies = 0;
    BOOL m_jobOpen = 0;
    int m_labelPosition = 0;
    int m_copies = 1;
    int m_positionAtLastCopiesEdit = 0;

    // The partner driver's block, when its settings carry one.
    BOOL m_partnerBlockPresent = 0;
    std::array<BYTE, 519> m_partnerBlock{};

private:
    BOOL BuildDC();
    void MergeAndRebuild(bool rebuildDC = true);
    void WriteHostTag();
    void ApplyStoredOrientation(short orientation);

    CDevMode m_devMode; // empty until EnsurePrinter
    QString m_driver;
    QString m_device;
    QString m_port;
    std::unique_ptr<CDC> m_dc;
    int m_ppiX = 0;
    int m_ppiY = 0;
    CRect m_printableArea;

    // The printer chosen by name or by Print Setup, with its settings; none
    // until then, and EnsurePrinter takes the default printer.
    QString m_appPrinter;
    CDevMode m_appDevMode;
};

// The sign's printer.
CPrinter& ThePrinter();
