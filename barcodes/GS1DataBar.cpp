#include "GS1DataBar.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "GS1AIInfo.h"
#include "Helpers.h"
#include "Messages.h"
#include "SymbolMatrix.h"
#include "TextExport.h"
#include "UccEanData.h"

#include <algorithm>
#include <cmath>
#include <new>

IMPLEMENT_PERSISTENT(CGS1DataBar, CBarcode, 1)

namespace {

constexpr int kMaxHeightFactor = 50;
// The most segments an Expanded symbol has: a row this wide is never stacked.
constexpr DWORD kSegmentsInOneRow = 22;

SymbolKind KindOf(int type)
{
    switch (type) {
    case CGS1DataBar::kTruncated:
        return SymbolKind::DataBarTruncated;
    case CGS1DataBar::kStacked:
        return SymbolKind::DataBarStacked;
    case CGS1DataBar::kStackedOmnidirectional:
        return SymbolKind::DataBarStackedOmni;
    case CGS1DataBar::kLimited:
        return SymbolKind::DataBarLimited;
    case CGS1DataBar::kExpanded:
        return SymbolKind::DataBarExpanded;
    default:
        return SymbolKind::DataBarOmni;
    }
}

// Module pixels of an x-dimension in inches, as every barcode scales its
// lengths: hundred-thousandths of an inch truncated, then rounded to pixels.
int ModulePixels(float inches, int resolution)
{
    double t = double(inches) * 100000.0;
    if (!(t > 0.0))
        t = 0.0;
    t = std::min(t, 100000.0);
    const long long pixels =
        (static_cast<long long>(resolution) * static_cast<long long>(t) + 49999) / 100000;
    return static_cast<int>(std::max<long long>(1, pixels));
}

template <class T> CBarcode* CopyAs(const CBarcode& barcode)
{
    const T* same = dynamic_cast<const T*>(&barcode);
    return same ? new T(*same) : nullptr;
}

// The encoder's form of the data: the GTIN of the fixed kinds as its 13
// digits, Expanded's element strings with their identifiers in brackets.
// Expanded data written without brackets is taken when it is a GTIN alone
// ("01" and up to 14 digits, "#" free); empty when it cannot be read.
QByteArray EncoderInput(int type, const QString& prepared)
{
    if (type != CGS1DataBar::kExpanded)
        return prepared.toLatin1();
    QString text = prepared.trimmed();
    // A GTIN alone may be given without its identifier's brackets.
    if (text.size() >= 3 && text.size() <= 16 && text.startsWith(QStringLiteral("01")) &&
        !text.contains(u'#')) {
        QString gtin = text.mid(2);
        for (QChar c : gtin) {
            if (c < u'0' || c > u'9')
                return {};
        }
        if (gtin.size() == 14)
            gtin.chop(1);
        gtin = gtin.rightJustified(13, u'0');
        return ("[01]" + gtin + QString::number(CGS1DataBar::CheckDigit(gtin))).toLatin1();
    }
    QString bracketed;
    if (text.startsWith(u'(')) {
        QString element;
        if (!GS1BracketedToElementString(text, element, nullptr) ||
            !GS1ElementStringToBracketed(element, bracketed))
            return {};
    } else {
        // An element string; "#" marks each function 1.
        text.replace(u'#', QStringLiteral("%1"));
        if (!GS1ElementStringToBracketed(text, bracketed))
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

} // namespace

CGS1DataBar::CGS1DataBar() : CBarcode(SYM_GS1_DATABAR)
{
    CLogFont font(CBarcodePreferences::Current().DefaultFont());
    font.SetHeight(font.PointsToHeight(6));
    for (CTextBase& part : m_texts)
        part.CreateOwnFont(&font);
    m_showHumanReadable = TRUE;
    m_data = m_sampleData = QStringLiteral("0112345678");
    m_humanReadable = QStringLiteral("(01)00000123456784");
    Regenerate();
    RecalcPosition(nullptr);
}

BOOL CGS1DataBar::IsHandleEnabled(int) const
{
    return FALSE;
}

int CGS1DataBar::CheckDigit(const QString& digits)
{
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const int d = digits[i].digitValue();
        if (d < 0)
            continue;
        sum += d * weight;
        weight = weight == 3 ? 1 : 3;
    }
    return (10 - sum % 10) % 10;
}

void CGS1DataBar::SetDataBarType(int index)
{
    m_type = std::clamp(index + 1, 1, 6);
    m_showHumanReadable = m_type == kStacked || m_type == kStackedOmnidirectional ? FALSE : TRUE;
    Regenerate();
    RecalcPosition(nullptr);
}

BOOL CGS1DataBar::PrepareData()
{
    QString text;
    text.reserve(m_data.size());
    for (qsizetype i = 0; i < m_data.size(); ++i) {
        const QChar c = m_data[i];
        if (c == u'%' && i + 1 < m_data.size()) {
            if (m_data[i + 1] == u'%') {
                text += u'%';
                ++i;
                continue;
            }
            if (m_data[i + 1] == u'1') {
                text += u'#';
                ++i;
                continue;
            }
        }
        text += c;
    }
    if (m_type != kExpanded) {
        for (QChar c : text) {
            if (!(c.unicode() >= '0' && c.unicode() <= '9') && c != u'#')
                return FALSE;
        }
        // Only the identifier of a GTIN is dropped, never two digits of it.
        if (text.size() >= 3 && text.startsWith(QStringLiteral("01")))
            text.remove(0, 2);
        text = text.rightJustified(13, u'0').left(13);
    }
    m_expandedData = text;
    return TRUE;
}

void CGS1DataBar::Regenerate()
{
    m_invalid = FALSE;
    if (!PrepareData()) {
        m_symbolValid = FALSE;
        ShowInvalid();
        LayoutHumanReadable();
        return;
    }
    m_symbolValid = TRUE;
    m_bitmap = QImage();
    try {
        QString text = m_expandedData;
        ExpandEscapes(text);
        const QByteArray input = EncoderInput(m_type, text);
        // Expanded with fewer segments per row than a symbol can hold is
        // drawn stacked, that many segments to a row.
        SymbolKind kind = KindOf(m_type);
        SymbolOptions options;
        if (m_type == kExpanded && m_setting >= 2 && m_setting < kSegmentsInOneRow) {
            kind = SymbolKind::DataBarExpandedStacked;
            options.dataBarSegments = static_cast<int>(m_setting);
        }
        CSymbolMatrix grid;
        if (input.isEmpty() || !grid.Encode(kind, input, options)) {
            m_symbolValid = FALSE;
            ShowInvalid();
            LayoutHumanReadable();
            return;
        }
        const int m = ModulePixels(m_xDimension, ResolutionAlong());
        if (!PlaceModules(grid, m, m * std::clamp(m_heightFactor, 1, kMaxHeightFactor))) {
            m_symbolValid = FALSE;
            LayoutHumanReadable();
            return;
        }
        // The human-readable text: the element string in brackets, the
        // GTIN with its check digit.
        if (m_type == kExpanded) {
            QString hr = QString::fromLatin1(input);
            hr.replace(u'[', u'(').replace(u']', u')');
            m_humanReadable = hr;
        } else {
            const QString gtin = QString::fromLatin1(input);
            m_humanReadable = QStringLiteral("(01)") + gtin + QString::number(CheckDigit(gtin));
        }
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        m_symbolValid = FALSE;
        ShowInvalid();
        LayoutHumanReadable();
        return;
    }
    m_height = std::max(1, static_cast<int>(std::lround(m_bitmapSize.cy * 254.0 /
                                                        std::max(1, ResolutionAcross()))));
    LayoutHumanReadable();
}

void CGS1DataBar::ShowInvalid()
{
    ShowFixedPlaceholder();
}

void CGS1DataBar::LayoutHumanReadable()
{
    if (!m_symbolValid) {
        m_humanReadable.clear();
        ClearText();
        PlaceAll();
        return;
    }
    // Expanded shows the GS1 data's own line, the current values in it.
    if (m_type == kExpanded) {
        if (const CUccEanData* data = FindGS1Data(m_dataSource, m_sourceName))
            m_humanReadable = data->GetHumanReadable();
    }
    CBarcode::LayoutHumanReadable();
}

void CGS1DataBar::SetDataSource(int kind, const QString& sourceName)
{
    CElement::SetDataSource(kind, sourceName);
    if (const CUccEanData* data = FindGS1Data(kind, sourceName)) {
        m_data = m_sampleData = data->GetBarcodeData();
        Regenerate();
    }
}

void CGS1DataBar::EndDataEntry()
{
    if (CUccEanData* data = FindGS1Data(m_dataSource, m_sourceName))
        data->EndPrintRun();
    CBarcode::EndDataEntry();
}

void CGS1DataBar::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_data << m_sampleData << m_origin.x << m_origin.y << DWORD(m_orientation)
           << DWORD(m_showHumanReadable);
        for (CTextBase& part : m_texts)
            part.Serialize(ar);
        ar << DWORD(m_hJustify) << DWORD(m_vJustify) << DWORD(m_type) << m_xDimension
           << DWORD(m_heightFactor) << m_setting;
        return;
    }
    ar >> m_data >> m_sampleData;
    const int x = ar.ReadInt();
    const int y = ar.ReadInt();
    m_origin = ClampedOrigin(x, y);
    m_orientation = QuarterTurn(ar.ReadInt());
    m_showHumanReadable = ar.ReadInt() != 0 ? TRUE : FALSE;
    for (CTextBase& part : m_texts)
        part.Serialize(ar);
    m_hJustify = std::clamp(ar.ReadInt(), 0, 2);
    m_vJustify = std::clamp(ar.ReadInt(), 0, 1);
    m_type = ar.ReadInt();
    if (m_type < kOmnidirectional || m_type > kExpanded)
        m_type = kOmnidirectional;
    float width = 0;
    ar >> width;
    m_xDimension = std::isfinite(width) && width > 0 ? std::min(width, 1.0f) : 0.015f;
    m_heightFactor = std::clamp(ar.ReadInt(), 1, kMaxHeightFactor);
    m_setting = ar.ReadDWord();
    EnsureTextFonts();
    Regenerate();
    RecalcPosition(nullptr);
}

void CGS1DataBar::WriteXml(CTextExportFile& file)
{
    WriteOwnBlockHead(file);
    WriteOwnBlockTail(file);
}

void RegisterDataBarCopies()
{
    CBarcode::RegisterCopy(SYM_GS1_DATABAR, &CopyAs<CGS1DataBar>);
}
