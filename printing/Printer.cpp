#include "Printer.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "ElementDefaults.h"
#include "Messages.h"
#include "Paper.h"
#include "PrinterDevices.h"
#include "Rounding.h"
#include "TextExport.h"

#include <QSizeF>

#include <algorithm>

IMPLEMENT_PERSISTENT(CPrinter, CObject, 1)

namespace {

// The partner block in the driver-private area. On the NT family, which this
// system counts itself among, it lies 8 bytes further in.
constexpr int kPartnerBase = CPrinter::kPlatformId == 2 ? 8 : 0;
constexpr WORD kPartnerMagic = 0xFCE2;
constexpr int kPartnerTagOffset = 2;
constexpr int kPartnerTagBytes = 32;
constexpr int kPartnerDataOffset = 34;
constexpr int kPartnerDataBytes = 519;
constexpr int kPartnerBlockBytes = kPartnerDataOffset + kPartnerDataBytes; // 553
constexpr int kPartnerSymbologyList = 262;
constexpr int kPartnerSymbologyCount = 255;
constexpr int kPartnerRotationMask = 517;
constexpr int kHostTagOffset = 995;
constexpr int kHostTagBytes = 16;
constexpr const char* kPartnerTag = "Tabrel/Ostrel Enabled";
constexpr const char* kHostTag = "Tabrel/Ostrel";

constexpr int kPaperSourceNameChars = 24;

// The application context's printer device context: this printer's.
struct PrinterDCHook
{
    CPrinter* printer;
    CDC* operator()() const { return printer->GetDC(); }
};

// Where the run is, as the elements ask it: this printer's label position.
struct LabelPositionHook
{
    const CPrinter* printer;
    int operator()() const { return printer->m_labelPosition; }
};

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

CPrinter& ThePrinter()
{
    return App().Get<CPrinter>();
}

CPrinter::CPrinter()
{
    // Elements that take data only at the start of a run ask where the run is.
    App().Get<CElementPrintState>().labelPosition = LabelPositionHook{this};
}

CPrinter::~CPrinter()
{
    if (auto* state = App().Find<CElementPrintState>()) {
        const auto* mine = state->labelPosition.target<LabelPositionHook>();
        if (mine && mine->printer == this)
            state->labelPosition = nullptr;
    }
    auto& hook = App().printerDC;
    if (const auto* mine = hook.target<PrinterDCHook>(); mine && mine->printer == this)
        hook = nullptr;
}

QString CPrinter::ApplicationPrinterName() const
{
    return m_appPrinter.isEmpty() ? CPrinterDevices::DefaultPrinterName() : m_appPrinter;
}

BOOL CPrinter::EnsurePrinter()
{
    if (m_devMode.IsEmpty()) {
        const QString name = ApplicationPrinterName();
        CDevMode devMode = m_appPrinter.isEmpty() ? CDevMode::ForPrinter(name) : m_appDevMode;
        const QString device = CPrinterDevices::IsVirtualPrinter(name)
                                   ? QString::fromLatin1(CPrinterDevices::kVirtualPrinterName)
                                   : CPrinterDevices::FindPrinter(name);
        if (devMode.IsEmpty() || device.isEmpty()) {
            Reset(FALSE);
            AppMessageBoxId(IDS_NO_PRINTER_DATA, MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
        devMode.TrimToStoredSize();
        m_devMode = std::move(devMode);
        m_driverDoesCopies = (m_devMode.Fields() & DM_COPIES) ? TRUE : FALSE;
        if (ReadPartnerBlock(m_devMode))
            WriteHostTag();
        m_driver = CPrinterDevices::DriverName(device);
        m_device = device;
        m_port = CPrinterDevices::Port(device);
    }
    if (!m_dc && !BuildDC()) {
        Reset(FALSE);
        AppMessageBoxId(IDS_NO_PRINTER_DATA, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    // Fonts are measured on this printer from now on, and elements that take
    // data only at the start of a run ask it where the run is.
    auto& position = App().Get<CElementPrintState>().labelPosition;
    if (const auto* mine = position.target<LabelPositionHook>(); !mine || mine->printer != this)
        position = LabelPositionHook{this};
    auto& hook = App().printerDC;
    if (const auto* mine = hook.target<PrinterDCHook>(); !mine || mine->printer != this)
        hook = PrinterDCHook{this};
    return TRUE;
}

void CPrinter::WriteHostTag()
{
    QByteArray tag(kHostTag);
    tag.resize(kHostTagBytes, '\0');
    m_devMode.WritePrivate(kPartnerBase + kHostTagOffset, tag);
}

BOOL CPrinter::BuildDC()
{
    m_dc.reset();
    if (m_devMode.IsEmpty())
        return FALSE;
    const bool isVirtual = CPrinterDevices::IsVirtualPrinter(m_device);
    if (!isVirtual && CPrinterDevices::FindPrinter(m_device).isEmpty())
        return FALSE;

    const QList<PrinterForm> forms = CPrinterDevices::Forms(m_device);
    const int defaultForm = CPrinterDevices::DefaultFormIndex(m_device);
    const QPageSize fallback =
        defaultForm < forms.size() ? forms[defaultForm].pageSize : QPageSize(QPageSize::A4);
    const QPageSize pageSize = m_devMode.PageSize(forms, fallback);
    const QPageLayout::Orientation orientation = m_devMode.PageOrientation();

    const int printerDpi = CPrinterDevices::Resolution(m_device);
    m_ppiX = m_devMode.PrintQuality() > 0 ? m_devMode.PrintQuality() : printerDpi;
    m_ppiY = m_devMode.YResolution() > 0 ? m_devMode.YResolution() : m_ppiX;

    QSizeF mm = CPrinterDevices::SizeMm(pageSize);
    if (orientation == QPageLayout::Landscape)
        mm.transpose();
    const CSize sizePx(RoundHalfUp(mm.width() / 25.4 * m_ppiX),
                       RoundHalfUp(mm.height() / 25.4 * m_ppiY));

    m_printableArea = CPrinterDevices::PrintableArea(m_device, pageSize, orientation);

    m_dc = std::make_unique<CDC>(nullptr, true);
    m_dc->SetDeviceCaps(m_ppiX, m_ppiY, sizePx);
    m_dc->SetTenthsMmMapping();
    return TRUE;
}

void CPrinter::MergeAndRebuild(bool rebuildDC)
{
    // There is no driver to merge with: check the block against what the
    // printer offers and keep everything else as it is.
    if (!m_devMode.IsEmpty() && (CPrinterDevices::IsVirtualPrinter(m_device) ||
                                 !CPrinterDevices::FindPrinter(m_device).isEmpty())) {
        const short orientation = m_devMode.Orientation();
        if (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE)
            m_devMode.SetOrientation(DMORIENT_PORTRAIT);
        if (m_devMode.Copies() < 1)
            m_devMode.SetCopies(1);
        const QList<int> supported = CPrinterDevices::SupportedResolutions(m_device);
        const short quality = m_devMode.PrintQuality();
        if (quality > 0 && !supported.isEmpty() && !supported.contains(quality)) {
            const int dpi = CPrinterDevices::Resolution(m_device);
            m_devMode.SetPrintQuality(static_cast<short>(dpi));
            m_devMode.SetYResolution(static_cast<short>(dpi));
        }
        const short yResolution = m_devMode.YResolution();
        if (yResolution > 0 && !supported.isEmpty() && !supported.contains(yResolution))
            m_devMode.SetYResolution(m_devMode.PrintQuality());
        m_driverDoesCopies = (m_devMode.Fields() & DM_COPIES) ? TRUE : FALSE;
    }
    if (rebuildDC)
        BuildDC();
}

void CPrinter::Reset(BOOL rebuild, int orientation)
{
    m_devMode = CDevMode();
    m_driver.clear();
    m_device.clear();
    m_port.clear();
    m_dc.reset();
    m_ppiX = m_ppiY = 0;
    m_printableArea = CRect();
    m_partnerBlockPresent = FALSE;
    m_partnerBlock.fill(0);
    if (!rebuild)
        return;
    if (EnsurePrinter() && orientation != 0xFFFF && orientation != m_devMode.Orientation())
        SetOrientation(orientation);
}

BOOL CPrinter::SelectPrinterByName(const QString& printerName)
{
    const QString name = CPrinterDevices::IsVirtualPrinter(printerName)
                             ? QString::fromLatin1(CPrinterDevices::kVirtualPrinterName)
                             : CPrinterDevices::FindPrinter(printerName);
    if (name.isEmpty())
        return FALSE;
    CDevMode devMode = CDevMode::ForPrinter(name);
    if (devMode.IsEmpty())
        return FALSE;
    m_appPrinter = name;
    m_appDevMode = std::move(devMode);
    return TRUE;
}

BOOL CPrinter::SetApplicationPrinter(const QString& printerName, const CDevMode& devMode)
{
    const QString name = CPrinterDevices::IsVirtualPrinter(printerName)
                             ? QString::fromLatin1(CPrinterDevices::kVirtualPrinterName)
                             : CPrinterDevices::FindPrinter(printerName);
    if (name.isEmpty() || !devMode.IsWellFormed())
        return FALSE;
    m_appPrinter = name;
    m_appDevMode = devMode;
    Reset(TRUE);
    return m_devMode.IsEmpty() ? FALSE : TRUE;
}

BOOL CPrinter::ReadPartnerBlock(const CDevMode& devMode)
{
    m_partnerBlockPresent = FALSE;
    m_partnerBlock.fill(0);
    if (devMode.DriverExtra() < kPartnerBlockBytes)
        return FALSE;
    const QByteArray block = devMode.ReadPrivate(kPartnerBase, kPartnerBlockBytes);
    if (block.size() != kPartnerBlockBytes)
        return FALSE;
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.constData());
    const WORD magic = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
    if (magic != kPartnerMagic)
        return FALSE;
    const char* tagStart = block.constData() + kPartnerTagOffset;
    const char* tagEnd = std::find(tagStart, tagStart + kPartnerTagBytes, '\0');
    if (!SameName(FromWindows1252(tagStart, tagEnd - tagStart), QString::fromLatin1(kPartnerTag)))
        return FALSE;
    std::copy_n(bytes + kPartnerDataOffset, kPartnerDataBytes, m_partnerBlock.begin());
    m_partnerBlockPresent = TRUE;
    return TRUE;
}

BOOL CPrinter::IsNativeBarcodeSupported(int symbology) const
{
    if (!m_partnerBlockPresent || symbology <= 0 || symbology > 255)
        return FALSE;
    const auto first = m_partnerBlock.begin() + kPartnerSymbologyList;
    return std::find(first, first + kPartnerSymbologyCount, static_cast<BYTE>(symbology)) !=
                   first + kPartnerSymbologyCount
               ? TRUE
               : FALSE;
}

BOOL CPrinter::IsNativeRotationSupported(int quarterTurns) const
{
    if (!m_partnerBlockPresent)
        return FALSE;
    const DWORD mask = m_partnerBlock[kPartnerRotationMask] |
                       (DWORD(m_partnerBlock[kPartnerRotationMask + 1]) << 8);
    const int bit = ((quarterTurns % 32) + 32) % 32;
    return (mask >> bit) & 1 ? TRUE : FALSE;
}

BOOL CPrinter::SetOrientation(int orientation)
{
    if (!EnsurePrinter())
        return FALSE;
    m_devMode.SetOrientation(static_cast<short>(orientation));
    m_devMode.AddFields(DM_ORIENTATION);
    MergeAndRebuild();
    return TRUE;
}

int CPrinter::GetOrientation()
{
    if (!EnsurePrinter())
        return DMORIENT_PORTRAIT;
    return m_devMode.Orientation();
}

BOOL CPrinter::SelectFormForStock(const CPaperStock& stock)
{
    if (!EnsurePrinter())
        return FALSE;
    const QList<PrinterForm> forms = CPrinterDevices::Forms(m_device);
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i].widthUm / 100 == stock.selectionWidth &&
            forms[i].heightUm / 100 == stock.selectionHeight) {
            m_devMode.SetForm(i, forms[i]);
            MergeAndRebuild();
            return TRUE;
        }
    }
    return FALSE;
}

QString CPrinter::GetPaperSourceName()
{
    if (!EnsurePrinter())
        return {};
    const int source = m_devMode.DefaultSource();
    for (const PrinterBin& bin : CPrinterDevices::Bins(m_device)) {
        if (bin.number == source)
            return bin.name.left(kPaperSourceNameChars);
    }
    return {};
}

int CPrinter::FillPaperSourceCombo(QStringList& items)
{
    items.clear();
    if (!EnsurePrinter())
        return 0;
    const short source = m_devMode.DefaultSource();
    int selected = -1;
    for (const PrinterBin& bin : CPrinterDevices::Bins(m_device)) {
        if (bin.number == source && selected < 0)
            selected = static_cast<int>(items.size());
        items.append(bin.name.left(kPaperSourceNameChars));
    }
    return std::max(selected, 0);
}

BOOL CPrinter::SelectPaperSource(const QString& name)
{
    if (!EnsurePrinter())
        return FALSE;
    for (const PrinterBin& bin : CPrinterDevices::Bins(m_device)) {
        if (SameName(bin.name, name) || SameName(bin.name.left(kPaperSourceNameChars), name)) {
            m_devMode.SetDefaultSource(static_cast<short>(bin.number));
            m_devMode.AddFields(DM_DEFAULTSOURCE);
            MergeAndRebuild(false);
            return TRUE;
        }
    }
    return FALSE;
}

QString CPrinter::GetDeviceName()
{
    EnsurePrinter();
    return m_device;
}

BOOL CPrinter::ApplyStoredDevMode(DWORD platformId, CDevMode devMode)
{
    // No driver here keeps private data of its own, so a block with another
    // dmDriverExtra is taken as well: its private bytes stay as they are and
    // go back into the sign when it is saved.
    if (platformId != kPlatformId || !devMode.IsWellFormed())
        return FALSE;
    if (!EnsurePrinter())
        return FALSE;
    devMode.TrimToStoredSize();
    m_devMode = std::move(devMode);
    MergeAndRebuild();
    return TRUE;
}

std::function<int()> CPrinter::s_printerSetupDialog;

int CPrinter::PrinterSetup()
{
    return s_printerSetupDialog ? s_printerSetupDialog() : 0;
}

BOOL CPrinter::SetUpQPrinter(QPrinter& qprinter)
{
    if (!EnsurePrinter())
        return FALSE;
    CPrinterDevices::SetUpQPrinter(qprinter, m_device);
    m_devMode.ApplyTo(qprinter, CPrinterDevices::Forms(m_device));
    return TRUE;
}

void CPrinter::ApplyStoredOrientation(short orientation)
{
    if (orientation == DMORIENT_PORTRAIT || orientation == DMORIENT_LANDSCAPE)
        SetOrientation(orientation);
}

void CPrinter::Serialize(CArchive& ar)
{
    EnsurePrinter();
    App().StepProgress();

    if (ar.IsStoring()) {
        const int size = m_devMode.StoredSize();
        ar << DWORD(size);
        ar.Write(m_devMode.Block().constData(), size);
        ar << m_driver << m_device << m_port;
        ar << kPlatformId;
        ar << DWORD(App().general.storePrinterSettings);
        return;
    }

    const int version = App().fileVersion;
    if (version >= 250) {
        const DWORD size = ar.ReadDWord();
        ar.EnsureRemaining(static_cast<qsizetype>(size));
        CDevMode stored(ar.ReadBytes(static_cast<qsizetype>(size)));
        QString driver;
        QString device;
        QString port;
        ar >> driver >> device >> port;
        const DWORD platformId = ar.ReadDWord();
        if (version >= 420 && ar.ReadDWord() == 0) {
            ApplyStoredOrientation(stored.Orientation());
            return;
        }
        // The device is compared with the printer's full name: dmDeviceName
        // holds at most 31 characters of it.
        if (!SameName(device, m_device)) {
            if (!SelectPrinterByName(device)) {
                ApplyStoredOrientation(stored.Orientation());
                return;
            }
            Reset(TRUE);
        }
        if (!ApplyStoredDevMode(platformId, std::move(stored))) {
            const QString text =
                FormatStringId(IDS_PRINTER_SETTINGS_NOT_APPLIED, {GetDeviceName()}) +
                LoadStringId(IDS_REVIEW_PRINTER_SETTINGS);
            AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        ReadPartnerBlock(m_devMode);
        return;
    }

    // The older layout: orientation, then (from 210) the device and paper.
    const short orientation = static_cast<short>(ar.ReadDWord());
    const bool hasPaper = version >= 210;
    QString device = m_device;
    short paperSize = m_devMode.PaperSize();
    short paperLength = m_devMode.PaperLength();
    short paperWidth = m_devMode.PaperWidth();
    short defaultSource = m_devMode.DefaultSource();
    if (hasPaper) {
        ar >> device;
        paperSize = static_cast<short>(ar.ReadDWord());
        paperLength = static_cast<short>(ar.ReadDWord());
        paperWidth = static_cast<short>(ar.ReadDWord());
        defaultSource = static_cast<short>(ar.ReadDWord());
    }
    if (m_devMode.IsEmpty())
        return;
    bool samePrinter = SameName(device, m_device);
    if (!samePrinter && SelectPrinterByName(device)) {
        Reset(TRUE);
        samePrinter = !m_devMode.IsEmpty();
    }
    m_devMode.SetOrientation(orientation);
    m_devMode.AddFields(DM_ORIENTATION);
    if (samePrinter && hasPaper) {
        m_devMode.SetDeviceName(device);
        // These numbers are Windows paper sizes, not indexes into this
        // printer's forms: the form name no longer applies.
        m_devMode.SetPaperSize(paperSize);
        m_devMode.SetPaperLength(paperLength);
        m_devMode.SetPaperWidth(paperWidth);
        m_devMode.SetDefaultSource(defaultSource);
        m_devMode.SetFormName(QString());
        m_devMode.SetFields((m_devMode.Fields() & ~DWORD(DM_FORMNAME)) | DM_PAPERSIZE |
                            DM_PAPERLENGTH | DM_PAPERWIDTH | DM_DEFAULTSOURCE);
    }
    MergeAndRebuild();
}

void CPrinter::WriteXml(CTextExportFile& file)
{
    EnsurePrinter();
    file.WriteString(QStringLiteral("<printer>\n\n"));
    file.WriteString(ExportLine(2, "driver", m_driver));
    file.WriteString(ExportLine(2, "device", m_device));
    file.WriteString(ExportLine(2, "port", m_port));
    file.WriteString(ExportLine(2, "orientation", m_devMode.Orientation()));
    file.WriteString(QStringLiteral("\n</printer>\n\n"));
}
