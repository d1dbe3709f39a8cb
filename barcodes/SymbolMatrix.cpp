#include "SymbolMatrix.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The ECI that marks data as UTF-8.
constexpr int kEciUtf8 = 26;

struct ZintDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

int ZintSymbology(SymbolKind kind)
{
    switch (kind) {
    case SymbolKind::DataMatrix:
        return BARCODE_DATAMATRIX;
    case SymbolKind::Pdf417:
        return BARCODE_PDF417;
    case SymbolKind::CompactPdf417:
        return BARCODE_PDF417COMP;
    case SymbolKind::QrCode:
        return BARCODE_QRCODE;
    case SymbolKind::DataBarOmni:
    case SymbolKind::DataBarTruncated:
        return BARCODE_DBAR_OMN;
    case SymbolKind::DataBarStacked:
        return BARCODE_DBAR_STK;
    case SymbolKind::DataBarStackedOmni:
        return BARCODE_DBAR_OMNSTK;
    case SymbolKind::DataBarLimited:
        return BARCODE_DBAR_LTD;
    case SymbolKind::DataBarExpanded:
        return BARCODE_DBAR_EXP;
    case SymbolKind::DataBarExpandedStacked:
        return BARCODE_DBAR_EXPSTK;
    }
    return BARCODE_QRCODE;
}

// The height in modules of a row libzint leaves to the caller: the heights
// the DataBar standard gives each kind; one module for matrix rows.
int DefaultRowHeight(SymbolKind kind)
{
    switch (kind) {
    case SymbolKind::DataBarOmni:
    case SymbolKind::DataBarStackedOmni:
        return 33;
    case SymbolKind::DataBarTruncated:
        return 13;
    case SymbolKind::DataBarLimited:
        return 10;
    case SymbolKind::DataBarExpanded:
    case SymbolKind::DataBarExpandedStacked:
        return 34;
    default:
        return 1;
    }
}

} // namespace

bool CSymbolMatrix::Encode(SymbolKind kind, const QByteArray& data, const SymbolOptions& options,
                           QString* error)
{
    m_rows = m_columns = 0;
    m_dark.clear();
    m_rowHeights.clear();
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (data.isEmpty())
        return fail(QStringLiteral("No data"));

    std::unique_ptr<zint_symbol, ZintDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return fail(QStringLiteral("Insufficient memory"));
    zint_symbol& s = *symbol;
    s.symbology = ZintSymbology(kind);
    s.input_mode = DATA_MODE;
    switch (kind) {
    case SymbolKind::DataMatrix: {
        const auto& sizes = DataMatrixSizes();
        const auto size =
            std::find(sizes.begin(), sizes.end(), std::make_pair(options.rows, options.columns));
        if (size != sizes.end())
            s.option_2 = int(size - sizes.begin()) + 1;
        else if (options.squareOnly)
            s.option_3 = DM_SQUARE;
        if (options.gs1)
            s.input_mode = GS1_MODE;
        break;
    }
    case SymbolKind::Pdf417:
    case SymbolKind::CompactPdf417:
        if (options.eccLevel >= 0 && options.eccLevel <= 8)
            s.option_1 = options.eccLevel;
        if (options.pdfColumns >= 1 && options.pdfColumns <= 30)
            s.option_2 = options.pdfColumns;
        break;
    case SymbolKind::QrCode:
        s.option_1 = std::clamp(options.qrLevel, 0, 3) + 1;
        if (options.qrMask >= 0 && options.qrMask <= 7)
            s.option_3 = (options.qrMask + 1) << 8;
        if (options.gs1)
            s.input_mode = GS1_MODE;
        break;
    case SymbolKind::DataBarExpanded:
        s.input_mode = GS1_MODE;
        break;
    case SymbolKind::DataBarExpandedStacked:
        s.input_mode = GS1_MODE;
        // libzint counts the columns of a row in pairs of segments.
        s.option_2 = std::clamp(options.dataBarSegments / 2, 1, 11);
        break;
    default:
        break;
    }

    if (options.utf8 && s.input_mode == DATA_MODE &&
        (kind == SymbolKind::DataMatrix || kind == SymbolKind::Pdf417 ||
         kind == SymbolKind::CompactPdf417 || kind == SymbolKind::QrCode)) {
        s.input_mode = UNICODE_MODE;
        s.eci = kEciUtf8;
    }

    const int result = ZBarcode_Encode(&s, reinterpret_cast<const unsigned char*>(data.constData()),
                                       int(data.size()));
    if (result >= ZINT_ERROR)
        return fail(QString::fromLatin1(s.errtxt));
    if (s.rows <= 0 || s.width <= 0 || s.rows > kMaxRows || s.width > kMaxColumns)
        return fail(QStringLiteral("Data too long"));

    m_rows = s.rows;
    m_columns = s.width;
    m_dark.assign(std::size_t(m_rows) * std::size_t(m_columns), 0);
    m_rowHeights.assign(std::size_t(m_rows), 1);
    const int fallback = DefaultRowHeight(kind);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const bool dark = (s.encoded_data[r][c >> 3] >> (c & 7)) & 1;
            m_dark[std::size_t(r) * std::size_t(m_columns) + std::size_t(c)] = dark ? 1 : 0;
        }
        const float height = s.row_height[r];
        m_rowHeights[std::size_t(r)] =
            height >= 0.5f && height < 1000.0f ? int(std::lround(height)) : fallback;
    }
    if (kind == SymbolKind::DataBarTruncated || kind == SymbolKind::DataBarOmni ||
        kind == SymbolKind::DataBarLimited || kind == SymbolKind::DataBarExpanded) {
        // One row of the kind's own height, whatever libzint would draw.
        for (int& h : m_rowHeights)
            h = fallback;
    }
    return true;
}

const std::vector<std::pair<int, int>>& CSymbolMatrix::DataMatrixSizes()
{
    // libzint numbers the sizes in this order, from 1.
    static const std::vector<std::pair<int, int>> sizes = {
        {10, 10}, {12, 12}, {14, 14}, {16, 16}, {18, 18},   {20, 20},   {22, 22},   {24, 24},
        {26, 26}, {32, 32}, {36, 36}, {40, 40}, {44, 44},   {48, 48},   {52, 52},   {64, 64},
        {72, 72}, {80, 80}, {88, 88}, {96, 96}, {104, 104}, {120, 120}, {132, 132}, {144, 144},
        {8, 18},  {8, 32},  {12, 26}, {12, 36}, {16, 36},   {16, 48},
    };
    return sizes;
}

int CSymbolMatrix::TotalHeight() const
{
    int total = 0;
    for (int h : m_rowHeights)
        total += h;
    return total;
}
