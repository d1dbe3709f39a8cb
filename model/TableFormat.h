// The structure of a table element as its format text describes it: rows
// top to bottom, each with cells left to right, in an HTML-like notation:
//
//   <table>
//     <tr height="30%" separator>
//       <td width="40%" type="3" padding-horz="5%" padding-vert="10%"></td>
//     </tr>
//   </table>
//
// Parsing is pure: it builds a new structure and reports whether the text
// was valid, so a table keeps its present rows and cells until a text has
// parsed in full.
//
// Units: row heights and cell widths in hundredths of a per cent of the
// table's height or width (0..10000); paddings in per cent of the cell's
// width or row's height (0..100).
#pragma once

#include <QString>

#include <optional>
#include <vector>

struct STableCellFormat
{
    int width = 0;
    int type = -1; // element type code; -1 and codes without a class: empty
    int paddingHorz = 0;
    int paddingVert = 0;

    bool operator==(const STableCellFormat&) const = default;
};

struct STableRowFormat
{
    int height = 0;
    bool separator = false;
    std::vector<STableCellFormat> cells;

    bool operator==(const STableRowFormat&) const = default;
};

class CTableFormat
{
public:
    // The whole of a table: the sum of its row heights and of each row's
    // cell widths.
    static constexpr int kFull = 10000;
    // The deepest a table may sit inside other tables' cells; a reader
    // refuses anything deeper, so a hostile file cannot recurse without end.
    static constexpr int kMaxNesting = 8;
    // The format text of a table newly drawn with the mouse: one row with
    // one empty cell, both full size.
    static const QString& DefaultText();

    // Parses text. Blanks, tabs and line breaks are ignored and tag and
    // attribute names compared without regard to case. Returns nothing when
    // the text is not a valid format: a missing or misspelt tag, a height,
    // width or padding of 0 or without digits, heights (or a row's widths)
    // adding up to more than the whole. Rows without a height share what the
    // others leave, equally; cells without a width likewise within their row.
    // When asked, problem tells what was wrong and where (line and column of
    // the text as typed), and is emptied for a valid text.
    static std::optional<CTableFormat> Parse(const QString& text, QString* problem = nullptr);

    // The element class made for a cell of this type, or an empty string for
    // a cell that holds no element (-1, barcode 6, OLE object 7, above 10).
    static QString ElementClassForType(int type);

    std::vector<STableRowFormat> rows;

    bool operator==(const CTableFormat&) const = default;
};
