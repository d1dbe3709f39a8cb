#include "DevMode.h"

#include "Codec1252.h"
#include "Rounding.h"

#include <QPrinter>
#include <QSizeF>

#include <algorithm>
#include <cstdlib>

namespace {

// Tenths of a millimetre from thousandths, truncating, within a short.
short TenthsFromUm(int um)
{
    return static_cast<short>(std::clamp(um / 100, 0, 32767));
}

// Whether two sizes in tenths of a millimetre agree to within a millimetre.
bool SameSize(int w1, int h1, int w2, int h2)
{
    return std::abs(w1 - w2) <= 10 && std::abs(h1 - h2) <= 10;
}

QString FormKey(const QString& name)
{
    // Compared as the block can hold it: 31 Windows-1252 characters.
    return FromWindows1252(ToWindows1252(name.left(CDevMode::kNameBytes - 1)));
}

} // namespace

CDevMode CDevMode::ForPrinter(const QString& printerName)
{
    const QString name = CPrinterDevices::IsVirtualPrinter(printerName)
                             ? QString::fromLatin1(CPrinterDevices::kVirtualPrinterName)
                             : CPrinterDevices::FindPrinter(printerName);
    if (name.isEmpty())
        return {};
    CDevMode dm(QByteArray(kPublicSize, '\0'));
    dm.SetDeviceName(name);
    dm.SetLayoutVersion(kLayoutVersion);
    dm.SetSize(kPublicSize);
    dm.SetDriverExtra(0);
    dm.SetFields(DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                 DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLLATE | DM_FORMNAME);
    dm.SetOrientation(1);
    const QList<PrinterForm> forms = CPrinterDevices::Forms(name);
    if (!forms.isEmpty()) {
        const int index = std::clamp(CPrinterDevices::DefaultFormIndex(name), 0,
                                     static_cast<int>(forms.size()) - 1);
        dm.SetForm(index, forms[index]);
    }
    dm.SetCopies(1);
    dm.SetCollate(DMCOLLATE_TRUE);
    const QList<PrinterBin> bins = CPrinterDevices::Bins(name);
    dm.SetDefaultSource(
        static_cast<short>(bins.isEmpty() ? CPrinterDevices::kAutoSelectBin : bins[0].number));
    const int dpi = CPrinterDevices::Resolution(name);
    dm.SetPrintQuality(static_cast<short>(dpi));
    dm.SetYResolution(static_cast<short>(dpi));
    return dm;
}

int CDevMode::StoredSize() const
{
    const int claimed = static_cast<int>(Size()) + static_cast<int>(DriverExtra());
    return std::min(claimed, BlockSize());
}

bool CDevMode::IsWellFormed() const
{
    return BlockSize() >= offFields + 4 && Size() >= offFields + 4 &&
           static_cast<int>(Size()) + static_cast<int>(DriverExtra()) <= BlockSize();
}

void CDevMode::TrimToStoredSize()
{
    if (StoredSize() < BlockSize())
        m_block.truncate(StoredSize());
}

WORD CDevMode::GetWord(int offset) const
{
    if (!Holds(offset, 2))
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(m_block.constData()) + offset;
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

void CDevMode::SetWord(int offset, WORD value)
{
    if (!Holds(offset, 2))
        return;
    m_block[offset] = static_cast<char>(value & 0xFF);
    m_block[offset + 1] = static_cast<char>(value >> 8);
}

DWORD CDevMode::GetDWord(int offset) const
{
    if (!Holds(offset, 4))
        return 0;
    return static_cast<DWORD>(GetWord(offset)) | (static_cast<DWORD>(GetWord(offset + 2)) << 16);
}

void CDevMode::SetDWord(int offset, DWORD value)
{
    if (!Holds(offset, 4))
        return;
    SetWord(offset, static_cast<WORD>(value & 0xFFFF));
    SetWord(offset + 2, static_cast<WORD>(value >> 16));
}

QString CDevMode::GetText(int offset) const
{
    if (offset < 0 || offset >= BlockSize())
        return {};
    // A field cut short by the block's end reads up to the end.
    const int available = std::min(kNameBytes, BlockSize() - offset);
    const char* start = m_block.constData() + offset;
    const char* end = std::find(start, start + available, '\0');
    return FromWindows1252(start, end - start);
}

void CDevMode::SetText(int offset, const QString& text)
{
    if (!Holds(offset, kNameBytes))
        return;
    const QByteArray bytes = ToWindows1252(text).left(kNameBytes - 1);
    std::fill_n(m_block.data() + offset, kNameBytes, '\0');
    std::copy(bytes.cbegin(), bytes.cend(), m_block.data() + offset);
}

int CDevMode::PrivateOffset() const
{
    return std::min(static_cast<int>(Size()), BlockSize());
}

int CDevMode::PrivateSize() const
{
    return std::min(static_cast<int>(DriverExtra()), BlockSize() - PrivateOffset());
}

QByteArray CDevMode::ReadPrivate(int offset, int length) const
{
    if (offset < 0 || length < 0 || offset > PrivateSize() - length)
        return {};
    return m_block.mid(PrivateOffset() + offset, length);
}

bool CDevMode::WritePrivate(int offset, const QByteArray& bytes)
{
    const int length = static_cast<int>(bytes.size());
    if (offset < 0 || offset > PrivateSize() - length)
        return false;
    std::copy(bytes.cbegin(), bytes.cend(), m_block.data() + PrivateOffset() + offset);
    return true;
}

QPageSize::PageSizeId CDevMode::PageSizeIdForPaperNumber(int paperSize)
{
    if (paperSize <= 0)
        return QPageSize::Custom;
    return QPageSize::id(paperSize);
}

QPageSize CDevMode::PageSize(const QList<PrinterForm>& forms, const QPageSize& fallback) const
{
    const DWORD fields = Fields();
    const QString formName = FormName();
    if ((fields & DM_FORMNAME) && !formName.isEmpty()) {
        for (const PrinterForm& form : forms) {
            if (FormKey(form.name).compare(formName, Qt::CaseInsensitive) == 0)
                return form.pageSize;
        }
    }

    const bool hasDimensions = (fields & DM_PAPERWIDTH) && (fields & DM_PAPERLENGTH) &&
                               PaperWidth() > 0 && PaperLength() > 0;
    const QPageSize::PageSizeId id = PageSizeIdForPaperNumber(PaperSize());
    if (id != QPageSize::Custom) {
        const QPageSize standard(id);
        const QSizeF mm = CPrinterDevices::SizeMm(standard);
        const int w = RoundHalfUp(mm.width() * 10.0);
        const int h = RoundHalfUp(mm.height() * 10.0);
        if (!hasDimensions || SameSize(w, h, PaperWidth(), PaperLength()))
            return standard;
    }

    if (hasDimensions) {
        for (const PrinterForm& form : forms) {
            if (form.widthUm / 100 == PaperWidth() && form.heightUm / 100 == PaperLength())
                return form.pageSize;
        }
        return QPageSize(QSizeF(PaperWidth() / 10.0, PaperLength() / 10.0), QPageSize::Millimeter,
                         QString(), QPageSize::FuzzyMatch);
    }
    return fallback;
}

QPageLayout::Orientation CDevMode::PageOrientation() const
{
    return Orientation() == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void CDevMode::SetForm(int index, const PrinterForm& form)
{
    SetPaperSize(static_cast<short>(index + 1));
    SetFormName(form.name);
    SetPaperWidth(TenthsFromUm(form.widthUm));
    SetPaperLength(TenthsFromUm(form.heightUm));
    AddFields(DM_PAPERSIZE | DM_FORMNAME | DM_PAPERWIDTH | DM_PAPERLENGTH);
}

void CDevMode::ApplyTo(QPrinter& qprinter, const QList<PrinterForm>& forms) const
{
    qprinter.setPageSize(PageSize(forms, qprinter.pageLayout().pageSize()));
    qprinter.setPageOrientation(PageOrientation());
    qprinter.setCopyCount(std::max<int>(1, Copies()));
    qprinter.setCollateCopies(Collate() == DMCOLLATE_TRUE);
    if (PrintQuality() > 0)
        qprinter.setResolution(PrintQuality());
}

void CDevMode::ReadFrom(const QPrinter& qprinter, const QList<PrinterForm>& forms)
{
    const QPageSize size = qprinter.pageLayout().pageSize();
    const PrinterForm wanted = CPrinterDevices::MakeForm(size.name(), size);
    int index = -1;
    for (int i = 0; i < forms.size() && index < 0; ++i) {
        if (forms[i].pageSize.isEquivalentTo(size))
            index = i;
    }
    for (int i = 0; i < forms.size() && index < 0; ++i) {
        if (forms[i].widthUm / 100 == wanted.widthUm / 100 &&
            forms[i].heightUm / 100 == wanted.heightUm / 100)
            index = i;
    }
    if (index >= 0) {
        SetForm(index, forms[index]);
    } else {
        // A size the printer does not list: its Windows number when it has
        // one, with the exact dimensions and no form name.
        SetPaperSize(static_cast<short>(std::max(0, size.windowsId())));
        SetFormName(QString());
        SetFields(Fields() & ~DWORD(DM_FORMNAME));
        SetPaperWidth(TenthsFromUm(wanted.widthUm));
        SetPaperLength(TenthsFromUm(wanted.heightUm));
        AddFields(DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH);
    }
    SetOrientation(qprinter.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1);
    SetCopies(static_cast<short>(std::clamp(qprinter.copyCount(), 1, 32767)));
    SetCollate(qprinter.collateCopies() ? DMCOLLATE_TRUE : DMCOLLATE_FALSE);
    const int dpi = qprinter.resolution();
    if (dpi > 0) {
        SetPrintQuality(static_cast<short>(std::min(dpi, 32767)));
        SetYResolution(static_cast<short>(std::min(dpi, 32767)));
    }
    if (qprinter.outputFormat() == QPrinter::PdfFormat)
        SetDeviceName(QString::fromLatin1(CPrinterDevices::kVirtualPrinterName));
    else if (!qprinter.printerName().isEmpty())
        SetDeviceName(qprinter.printerName());
}
