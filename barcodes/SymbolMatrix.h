// Two-dimensional and stacked symbols as a grid of modules, encoded in
// memory by libzint. The program draws the grid itself, module by module on
// whole printer dots, so no picture of the symbol is ever scaled.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

// The symbols made through this layer.
enum class SymbolKind
{
    DataMatrix,
    Pdf417,
    CompactPdf417, // "truncated": right row indicators and stop pattern left out
    QrCode,
    DataBarOmni,
    DataBarTruncated,
    DataBarStacked,
    DataBarStackedOmni,
    DataBarLimited,
    DataBarExpanded,
    DataBarExpandedStacked, // rows of dataBarSegments segments
};

struct SymbolOptions
{
    // Data Matrix: square symbols only (else rectangles are allowed too),
    // or a size of the ECC 200 table (rows and columns; 0 for the smallest
    // that holds the data).
    bool squareOnly = true;
    int rows = 0;
    int columns = 0;
    // Data Matrix and QR: the data is a GS1 element string written with the
    // application identifiers in brackets, "[01]09501101530003[10]AB1".
    bool gs1 = false;
    // Data Matrix, PDF417 and QR: the data is text in UTF-8, encoded with
    // the ECI that tells a reader so (else the data is bytes, taken as
    // ISO 8859-1 by readers).
    bool utf8 = false;
    // PDF417: data columns 1..30 in pdfColumns (0 chooses), error-correction
    // level 0..8 (-1 chooses by the data's length).
    int pdfColumns = 0;
    int eccLevel = -1;
    // DataBar Expanded Stacked: segments per row, an even number 2..20.
    int dataBarSegments = 22;
    // QR: error-correction level 0..3 (L, M, Q, H) and mask 0..7 (-1 chooses).
    int qrLevel = 0;
    int qrMask = -1;
};

class CSymbolMatrix
{
public:
    // Largest grid libzint makes; a symbol never exceeds it.
    static constexpr int kMaxRows = 200;
    static constexpr int kMaxColumns = 1152;

    // Encodes the bytes; FALSE (and an empty grid) when the data cannot be
    // encoded in this kind, with libzint's reason in error.
    bool Encode(SymbolKind kind, const QByteArray& data, const SymbolOptions& options,
                QString* error = nullptr);

    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    // The ECC 200 sizes, rows by columns, in the table's order: the squares
    // from 10 x 10 to 144 x 144, then the rectangles.
    static const std::vector<std::pair<int, int>>& DataMatrixSizes();
    bool IsDark(int row, int column) const
    {
        return m_dark[std::size_t(row) * std::size_t(m_columns) + std::size_t(column)] != 0;
    }
    // The height of a row in modules (separator rows of stacked symbols are
    // one module high, matrix symbols' rows one each).
    int RowHeight(int row) const { return m_rowHeights[std::size_t(row)]; }
    int TotalHeight() const;

private:
    int m_rows = 0;
    int m_columns = 0;
    std::vector<std::uint8_t> m_dark;
    std::vector<int> m_rowHeights;
};
