#include "DataMatrix.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "GS1AIInfo.h"
#include "Helpers.h"
#include "Messages.h"
#include "Rounding.h"
#include "SymbolMatrix.h"
#include "TextExport.h"
#include "UccEanData.h"

#include <algorithm>
#include <cmath>
#include <new>

IMPLEMENT_PERSISTENT(CDataMatrix, CBarcode, 1)
IMPLEMENT_PERSISTENT(CGS1DMatrix, CDataMatrix, 1)
IMPLEMENT_PERSISTENT(CPDF417, CBarcode, 1)
IMPLEMENT_PERSISTENT(CQRCode, CBarcode, 1)

namespace {

// The default data of the matrix symbols: a verse of several lines.
const char* const kVerse = "Four shelves of labels, priced and neat,\r\n"
                           "A barcode here, a name, a date;\r\n"
                           "Scan each one before the street\r\n"
                           "Comes in to buy - and none too late.";

// Most of an x-dimension a file may give: a tenth of an inch per module.
constexpr long long kMaxXDimension = 10000; // hundredths of a mil

// One byte per character: a character below 256 (typed, or made by an
// escape) is that byte; any other is its Windows-1252 byte ('?' when it has
// none), as the sign file keeps it.
QByteArray Latin1Bytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() < 0x100)
            bytes.append(char(static_cast<unsigned char>(c.unicode())));
        else
            bytes.append(ToWindows1252(QString(c)));
    }
    return bytes;
}

} // namespace

QByteArray MatrixSymbols::EncoderBytes(CBarcode& symbol, const QString& data, bool& utf8)
{
    QString text = data;
    symbol.ExpandEscapes(text);
    utf8 = false;
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1();
    // Bytes written as escapes are kept as those bytes. Without them the
    // text is the characters typed: a reader returns them through the
    // UTF-8 ECI, whatever its default character set.
    QString plain = data;
    plain.replace(QStringLiteral("%%"), QString());
    QString expandedPlain = plain;
    symbol.ExpandEscapes(expandedPlain);
    if (expandedPlain != plain)
        return Latin1Bytes(text);
    utf8 = true;
    return text.toUtf8();
}

namespace {

// A GS1 text for the encoder, with the identifiers in square brackets:
// written in brackets as people read it (checked against the identifiers'
// rules), or as the element string a symbol carries, "%1" between fields.
// Empty when it is neither.
QByteArray GS1EncoderText(const QString& text)
{
    QString bracketed;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u'(')) {
        QString element;
        if (!GS1BracketedToElementString(trimmed, element, nullptr) ||
            !GS1ElementStringToBracketed(element, bracketed))
            return {};
    } else if (!GS1ElementStringToBracketed(trimmed, bracketed)) {
        return {};
    }
    for (QChar& c : bracketed) {
        if (c == u'(')
            c = u'[';
        else if (c == u')')
            c = u']';
    }
    return bracketed.toLatin1();
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

} // namespace

int MatrixSymbols::ModulePixels(long long hundredthsOfMil, int resolution)
{
    // round(x-dimension * 0.00001 * resolution), half up.
    const long long scaled = hundredthsOfMil * static_cast<long long>(resolution);
    return static_cast<int>(std::max<long long>(1, (scaled + 50000) / 100000));
}

// --- Data Matrix ---------------------------------------------------------------------

CDataMatrix::CDataMatrix() : CDataMatrix(SYM_DATAMATRIX, QString::fromLatin1(kVerse)) {}

CDataMatrix::CDataMatrix(int symbologyId, const QString& defaultData) : CBarcode(symbologyId)
{
    m_data = m_sampleData = defaultData;
    Regenerate();
    RecalcPosition(nullptr);
}

BOOL CDataMatrix::IsHandleEnabled(int) const
{
    return FALSE;
}

BOOL CDataMatrix::PrepareData()
{
    m_expandedData = m_data;
    return TRUE;
}

QByteArray CDataMatrix::EncoderInput(SymbolOptions& options) const
{
    options.gs1 = false;
    return MatrixSymbols::EncoderBytes(const_cast<CDataMatrix&>(*this), m_expandedData,
                                       options.utf8);
}

void CDataMatrix::Regenerate()
{
    m_invalid = FALSE;
    if (!PrepareData()) {
        ShowInvalid();
        return;
    }
    m_bitmap = QImage();
    try {
        SymbolOptions options;
        const QByteArray input = EncoderInput(options);
        options.squareOnly = m_format == kSquareFormat;
        options.rows = static_cast<int>(m_rows);
        options.columns = static_cast<int>(m_columns);
        CSymbolMatrix grid;
        if (input.isEmpty() || !grid.Encode(SymbolKind::DataMatrix, input, options)) {
            ShowInvalid();
            return;
        }
        const int m = MatrixSymbols::ModulePixels(m_xDimension, ResolutionAlong());
        PlaceModules(grid, m, m);
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        ShowInvalid();
    }
}

void CDataMatrix::ShowInvalid()
{
    ShowFixedPlaceholder();
}

void CDataMatrix::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_eccType << m_format << m_rows << m_columns << m_xDimension;
        ar << m_data << m_sampleData << m_origin.x << m_origin.y << DWORD(m_orientation);
        return;
    }
    m_eccType = ar.ReadDWord();
    m_format = ar.ReadDWord();
    m_rows = std::min<DWORD>(ar.ReadDWord(), CSymbolMatrix::kMaxRows);
    m_columns = std::min<DWORD>(ar.ReadDWord(), CSymbolMatrix::kMaxRows);
    m_xDimension = static_cast<DWORD>(std::clamp<long long>(ar.ReadDWord(), 1, kMaxXDimension));
    ar >> m_data >> m_sampleData;
    const int x = ar.ReadInt();
    const int y = ar.ReadInt();
    m_origin = ClampedOrigin(x, y);
    m_orientation = QuarterTurn(ar.ReadInt());
    EnsureTextFonts();
    Regenerate();
    RecalcPosition(nullptr);
}

void CDataMatrix::WriteXml(CTextExportFile& file)
{
    WriteOwnBlockHead(file);
    file.WriteString(QStringLiteral("<ecc-type=\"%1\"/>\n").arg(m_eccType));
    file.WriteString(QStringLiteral("<format=\"%1\"/>\n").arg(m_format));
    file.WriteString(
        QStringLiteral("<size rows=\"%1\" columns=\"%2\"/>\n").arg(m_rows).arg(m_columns));
    file.WriteString(QStringLiteral("<x-dimension units=\"mil\" value=\"%1\"/>\n")
                         .arg(m_xDimension / 100.0, 0, 'f', 2));
    WriteOwnBlockTail(file);
}

// --- GS1 Data Matrix -----------------------------------------------------------------

// The element string of an SSCC with its check digit.
CGS1DMatrix::CGS1DMatrix()
    : CDataMatrix(SYM_GS1_DATAMATRIX, QStringLiteral("(00)123456789012345675"))
{
}

BOOL CGS1DMatrix::PrepareData()
{
    // "%1" is a function 1 ("~1"); "%%" stays a percent sign.
    QString text;
    text.reserve(m_data.size() + 2);
    for (qsizetype i = 0; i < m_data.size(); ++i) {
        if (m_data[i] == u'%' && i + 1 < m_data.size()) {
            const QChar next = m_data[i + 1];
            if (next == u'1' || next == u'%') {
                text += next == u'1' ? QStringLiteral("~1") : QStringLiteral("%%");
                ++i;
                continue;
            }
        }
        text += m_data[i];
    }
    if (!text.startsWith(QStringLiteral("~1")))
        text.prepend(QStringLiteral("~1"));
    m_expandedData = text;
    return TRUE;
}

QByteArray CGS1DMatrix::EncoderInput(SymbolOptions& options) const
{
    // The prepared text, so the leading function 1 is kept and every other
    // one separates two fields.
    options.gs1 = true;
    QString text = m_expandedData.mid(2);
    text.replace(QStringLiteral("~1"), QStringLiteral("%1"));
    return GS1EncoderText(text);
}

void CGS1DMatrix::SetDataSource(int kind, const QString& sourceName)
{
    CElement::SetDataSource(kind, sourceName);
    if (const CUccEanData* data = FindGS1Data(kind, sourceName)) {
        m_data = m_sampleData = data->GetBarcodeData();
        Regenerate();
    }
}

void CGS1DMatrix::EndDataEntry()
{
    if (CUccEanData* data = FindGS1Data(m_dataSource, m_sourceName))
        data->EndPrintRun();
    CDataMatrix::EndDataEntry();
}

// --- PDF417 --------------------------------------------------------------------------

CPDF417::CPDF417() : CBarcode(SYM_PDF417)
{
    m_data = m_sampleData = QString::fromLatin1(kVerse);
    Regenerate();
    RecalcPosition(nullptr);
}

BOOL CPDF417::IsHandleEnabled(int) const
{
    return FALSE;
}

void CPDF417::Regenerate()
{
    m_invalid = FALSE;
    m_bitmap = QImage();
    try {
        SymbolOptions options;
        const QByteArray bytes = MatrixSymbols::EncoderBytes(*this, m_data, options.utf8);
        if (m_eccType != 0)
            options.eccLevel = static_cast<int>(std::min<DWORD>(m_eccLevel, 8));
        const SymbolKind kind = m_truncate ? SymbolKind::CompactPdf417 : SymbolKind::Pdf417;
        const int aspect = static_cast<int>(std::clamp<DWORD>(m_rowAspect, 1, 20));
        CSymbolMatrix grid;
        if (m_symbolType != 0) {
            options.pdfColumns = static_cast<int>(std::clamp<DWORD>(m_columnCount, 1, 30));
            if (!grid.Encode(kind, bytes, options)) {
                ShowInvalid();
                return;
            }
        } else {
            // The columns whose symbol comes nearest the height to width
            // ratio asked for.
            const int h = std::clamp(static_cast<int>(m_aspectRatio / 100), 1, 10);
            const int w = std::clamp(static_cast<int>(m_aspectRatio % 100), 1, 10);
            const double wanted = double(h) / w;
            double best = -1;
            for (int columns = 1; columns <= 30; ++columns) {
                options.pdfColumns = columns;
                CSymbolMatrix trial;
                if (!trial.Encode(kind, bytes, options))
                    continue;
                const double ratio = double(trial.TotalHeight()) * aspect / trial.Columns();
                const double off = std::abs(std::log(ratio / wanted));
                if (best < 0 || off < best) {
                    best = off;
                    grid = trial;
                }
            }
            if (best < 0) {
                ShowInvalid();
                return;
            }
        }
        const int m = MatrixSymbols::ModulePixels(m_xDimension, ResolutionAlong());
        PlaceModules(grid, m, m * aspect);
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        ShowInvalid();
    }
}

void CPDF417::ShowInvalid()
{
    ShowFixedPlaceholder();
}

void CPDF417::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_symbolType << m_aspectRatio << m_rowCount << m_columnCount << m_eccType
           << m_eccLevel << m_eccPercent << m_xDimension << m_rowAspect << m_truncate
           << m_forceBinary;
        ar << m_data << m_sampleData << m_origin.x << m_origin.y << DWORD(m_orientation);
        return;
    }
    m_symbolType = ar.ReadDWord();
    m_aspectRatio = ar.ReadDWord();
    m_rowCount = std::min<DWORD>(ar.ReadDWord(), 90);
    m_columnCount = std::min<DWORD>(ar.ReadDWord(), 30);
    m_eccType = ar.ReadDWord();
    m_eccLevel = std::min<DWORD>(ar.ReadDWord(), 8);
    m_eccPercent = std::min<DWORD>(ar.ReadDWord(), 100);
    m_xDimension = static_cast<DWORD>(std::clamp<long long>(ar.ReadDWord(), 1, kMaxXDimension));
    m_rowAspect = std::clamp<DWORD>(ar.ReadDWord(), 1, 20);
    m_truncate = ar.ReadDWord() != 0 ? 1 : 0;
    m_forceBinary = ar.ReadDWord() != 0 ? 1 : 0;
    ar >> m_data >> m_sampleData;
    const int x = ar.ReadInt();
    const int y = ar.ReadInt();
    m_origin = ClampedOrigin(x, y);
    m_orientation = QuarterTurn(ar.ReadInt());
    EnsureTextFonts();
    Regenerate();
    RecalcPosition(nullptr);
}

void CPDF417::WriteXml(CTextExportFile& file)
{
    WriteOwnBlockHead(file);
    file.WriteString(
        QStringLiteral("<error-correction type=\"%1\" level=\"%2\" percentage=\"%3\"/>\n")
            .arg(m_eccType)
            .arg(m_eccLevel)
            .arg(m_eccPercent));
    file.WriteString(
        QStringLiteral("<module x-dimension units=\"mil\" value=\"%1\" aspect-ratio=\"%2:1\"/>\n")
            .arg(m_xDimension / 100.0, 0, 'f', 2)
            .arg(m_rowAspect));
    file.WriteString(
        QStringLiteral("<symbol type=\"%1\" aspect-ratio=\"%2:%3\" rows=\"%4\" columns=\"%5\"/>\n")
            .arg(m_symbolType)
            .arg(m_aspectRatio / 100)
            .arg(m_aspectRatio % 100)
            .arg(m_rowCount)
            .arg(m_columnCount));
    file.WriteString(QStringLiteral("<truncate=\"%1\"/>\n").arg(m_truncate));
    file.WriteString(QStringLiteral("<force-binary=\"%1\"/>\n").arg(m_forceBinary));
    WriteOwnBlockTail(file);
}

// --- QR Code -------------------------------------------------------------------------

CQRCode::CQRCode() : CBarcode(SYM_QRCODE)
{
    m_data = m_sampleData = QStringLiteral("https://www.example.com/");
    SnapModuleWidth();
    Regenerate();
    RecalcPosition(nullptr);
}

BOOL CQRCode::IsHandleEnabled(int) const
{
    return FALSE;
}

float CQRCode::SnappedWidth(float mils, int resolution)
{
    if (resolution <= 0)
        resolution = 600;
    const double dot = 1000.0 / resolution;
    double width = std::isfinite(mils) ? double(mils) : double(kDefaultModuleWidth);
    width = std::clamp(width, 0.0, 1000.0);
    const long long dots = std::max<long long>(1, std::llround(width / dot));
    return static_cast<float>(dots * dot);
}

int CQRCode::SnapModuleWidth()
{
    const int resolution = ResolutionAlong();
    m_moduleWidth = SnappedWidth(m_moduleWidth, resolution);
    return std::max(1, static_cast<int>(std::lround(m_moduleWidth * resolution / 1000.0)));
}

int CQRCode::ExpandEscapes(QString& text)
{
    if (!text.contains(u'%'))
        return static_cast<int>(text.size());
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'%' || i + 1 >= text.size()) {
            out += c;
            ++i;
            continue;
        }
        const QChar letter = text[i + 1];
        if (letter == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        const bool decimal = letter == u'D' || letter == u'd';
        const bool hex = letter == u'H' || letter == u'h';
        const qsizetype digits = decimal ? 3 : 2;
        if ((!decimal && !hex) || i + 2 + digits > text.size()) {
            // Not an escape, or too short for one: the sign stays.
            out += c;
            ++i;
            continue;
        }
        bool ok = true;
        int value = 0;
        for (qsizetype k = 0; k < digits && ok; ++k) {
            const int d = decimal ? (text[i + 2 + k].isDigit() ? text[i + 2 + k].digitValue() : -1)
                                  : QString(text[i + 2 + k]).toInt(&ok, 16);
            if (d < 0 || !ok) {
                ok = false;
                break;
            }
            value = value * (decimal ? 10 : 16) + d;
        }
        if (!ok || value > 255) {
            // A malformed escape stands for the percent sign; what follows
            // is read as it is.
            out += u'%';
            i += 2;
            continue;
        }
        out += QChar(char16_t(value));
        i += 2 + digits;
    }
    text = out;
    return static_cast<int>(text.size());
}

void CQRCode::Regenerate()
{
    m_invalid = FALSE;
    m_bitmap = QImage();
    try {
        SymbolOptions options;
        const QByteArray bytes = MatrixSymbols::EncoderBytes(*this, m_data, options.utf8);
        options.qrLevel = std::clamp(m_level, 0, 3);
        options.qrMask = m_mask >= 0 && m_mask <= 7 ? m_mask : -1;
        CSymbolMatrix grid;
        if (!grid.Encode(SymbolKind::QrCode, bytes, options)) {
            ShowInvalid();
            return;
        }
        const int m = SnapModuleWidth();
        PlaceModules(grid, m, m);
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        ShowInvalid();
    }
}

void CQRCode::ShowInvalid()
{
    ShowFixedPlaceholder();
}

void CQRCode::OnPrinterChanged(CPrinter*)
{
    Redraw(CurrentView(), [this] {
        SnapModuleWidth();
        Regenerate();
    });
}

void CQRCode::Refresh()
{
    Redraw(CurrentView(), [this] { Regenerate(); });
}

void CQRCode::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << DWORD(m_level) << DWORD(m_mask) << m_moduleWidth;
        ar << m_data << m_sampleData << m_origin.x << m_origin.y << DWORD(m_orientation);
        return;
    }
    m_level = std::clamp(ar.ReadInt(), 0, 3);
    m_mask = ar.ReadInt();
    if (m_mask < -1 || m_mask > 7)
        m_mask = -1;
    float width = 0;
    ar >> width;
    m_moduleWidth =
        std::isfinite(width) && width > 0 ? std::min(width, 1000.0f) : kDefaultModuleWidth;
    ar >> m_data >> m_sampleData;
    const int x = ar.ReadInt();
    const int y = ar.ReadInt();
    m_origin = ClampedOrigin(x, y);
    m_orientation = QuarterTurn(ar.ReadInt());
    EnsureTextFonts();
    SnapModuleWidth();
    Regenerate();
    RecalcPosition(nullptr);
}

void RegisterMatrixSymbolCopies()
{
    CBarcode::RegisterCopy(SYM_DATAMATRIX, &CopyAs<CDataMatrix>);
    CBarcode::RegisterCopy(SYM_GS1_DATAMATRIX, &CopyAs<CGS1DMatrix>);
    CBarcode::RegisterCopy(SYM_PDF417, &CopyAs<CPDF417>);
    CBarcode::RegisterCopy(SYM_QRCODE, &CopyAs<CQRCode>);
}
