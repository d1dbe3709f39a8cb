// The table's format text: which texts make which rows and cells, which are
// refused, and that damaged or oversized texts neither crash nor slow the
// parser down.
#include "TableFormat.h"

#include "Damage.h"
#include "Growth.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using Cell = STableCellFormat;
using Row = STableRowFormat;

struct AcceptedCase
{
    const char* name;
    const char* text;
    std::vector<Row> rows;
};

Cell C(int width, int type = -1, int horz = 0, int vert = 0)
{
    return Cell{width, type, horz, vert};
}

Row R(int height, std::vector<Cell> cells, bool separator = false)
{
    return Row{height, separator, std::move(cells)};
}

std::string Describe(const std::vector<Row>& rows)
{
    std::string out;
    for (const Row& row : rows) {
        out += "row " + std::to_string(row.height) + (row.separator ? " sep" : "") + ":";
        for (const Cell& c : row.cells)
            out += " [" + std::to_string(c.width) + " t" + std::to_string(c.type) + " h" +
                   std::to_string(c.paddingHorz) + " v" + std::to_string(c.paddingVert) + "]";
        out += "\n";
    }
    return out;
}

TEST(TableFormatTest, AcceptedTextsGiveTheirRowsAndCells)
{
    const AcceptedCase cases[] = {
        {"the default text of a new table", nullptr, {R(10000, {C(10000)})}},
        {"capitals, line breaks and tabs, a text cell",
         "<TABLE>\r\n\t<TR>\n\t\t<TD TYPE=\"3\"></TD>\n\t</TR>\n</TABLE>",
         {R(10000, {C(10000, 3)})}},
        {"no rows at all", "<table></table>", {}},
        {"blanks inside tags and attributes",
         "< table >< t r he ight = \"2 5 %\" >< td wid th=\"4 0%\"  >< / td ></tr></table>",
         {R(2500, {C(4000)})}},
        {"one stated height, the rest shared",
         "<table><tr height=\"30%\"><td></td></tr><tr><td></td></tr><tr><td></td></tr></table>",
         {R(3000, {C(10000)}), R(3500, {C(10000)}), R(3500, {C(10000)})}},
        {"shares are cut down to whole hundredths",
         "<table><tr></tr><tr></tr><tr></tr></table>",
         {R(3333, {}), R(3333, {}), R(3333, {})}},
        {"stated heights short of the whole are kept",
         "<table><tr height=\"20%\"></tr><tr height=\"30%\"></tr></table>",
         {R(2000, {}), R(3000, {})}},
        {"a height over the whole is capped",
         "<table><tr height=\"150%\"><td></td></tr></table>",
         {R(10000, {C(10000)})}},
        {"rows share what full-height rows leave: nothing",
         "<table><tr height=\"100%\"></tr><tr></tr></table>",
         {R(10000, {}), R(0, {})}},
        {"widths per row, each row on its own",
         "<table><tr><td width=\"60%\"></td><td></td><td></td></tr>"
         "<tr><td width=\"100%\"></td></tr></table>",
         {R(5000, {C(6000), C(2000), C(2000)}), R(5000, {C(10000)})}},
        {"width without its closing quote",
         "<table><tr><td width=\"50%></td><td></td></tr></table>",
         {R(10000, {C(5000), C(5000)})}},
        {"paddings, capped at the whole",
         "<table><tr><td padding-horz=\"200%\" padding-vert=\"15%\"></td></tr></table>",
         {R(10000, {C(10000, -1, 100, 15)})}},
        {"every attribute of a cell together",
         "<table><tr height=\"40%\" separator><td width=\"25%\" type=\"4\" padding-horz=\"5%\" "
         "padding-vert=\"10%\"></td><td type=\"5\"></td></tr></table>",
         {R(4000, {C(2500, 4, 5, 10), C(7500, 5)}, true)}},
        {"separator known by its first seven letters",
         "<table><tr separat></tr><tr SEPARATORS></tr></table>",
         {R(5000, {}, true), R(5000, {}, true)}},
        {"type without digits is a line",
         "<table><tr><td type=\"\"></td></tr></table>",
         {R(10000, {C(10000, 0)})}},
        {"types without an element class are kept as written",
         "<table><tr><td type=\"6\"></td><td type=\"7\"></td><td type=\"11\"></td>"
         "<td type=\"99999999999999\"></td></tr></table>",
         {R(10000, {C(2500, 6), C(2500, 7), C(2500, 11), C(2500, 2147483647)})}},
        {"unknown attributes and stray characters are passed over",
         "<table><tr class=\"x\" height=\"50%\"><td align=\"left\" type=\"9\"></td></tr></table>",
         {R(5000, {C(10000, 9)})}},
        {"a later attribute overrides an earlier one",
         "<table><tr height=\"10%\" height=\"20%\"></tr></table>",
         {R(2000, {})}},
        {"anything after the closing tag is ignored",
         "<table><tr><td></td></tr></table><tr>rubbish",
         {R(10000, {C(10000)})}},
        {"a huge height is capped, not wrapped",
         "<table><tr height=\"99999999999999999999%\"></tr></table>",
         {R(10000, {})}},
    };
    for (const AcceptedCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString text = c.text ? QString::fromUtf8(c.text) : CTableFormat::DefaultText();
        std::optional<CTableFormat> format = CTableFormat::Parse(text);
        ASSERT_TRUE(format.has_value());
        EXPECT_EQ(format->rows, c.rows) << "got\n"
                                        << Describe(format->rows) << "expected\n"
                                        << Describe(c.rows);
    }
}

TEST(TableFormatTest, RefusedTexts)
{
    const struct
    {
        const char* name;
        const char* text;
    } cases[] = {
        {"empty", ""},
        {"no opening tag", "<tr><td></td></tr></table>"},
        {"text before the opening tag", "x<table></table>"},
        {"opening tag misspelt", "<tabel></table>"},
        {"no closing tag", "<table><tr><td></td></tr>"},
        {"closing tag cut short", "<table></tabl"},
        {"row tag never closed", "<table><tr height=\"10%\""},
        {"row without its end tag", "<table><tr><td></td></table>"},
        {"row end misspelt", "<table><tr><td></td></rt></table>"},
        {"cell with content", "<table><tr><td>x</td></tr></table>"},
        {"cell without its end tag", "<table><tr><td></tr></table>"},
        {"cell tag never closed", "<table><tr><td type=\"3\""},
        {"height of 0", "<table><tr height=\"0%\"></tr></table>"},
        {"height without digits", "<table><tr height=\"%\"></tr></table>"},
        {"height without quotes", "<table><tr height=30%></tr></table>"},
        {"height without per cent", "<table><tr height=\"30\"></tr></table>"},
        {"height without its closing quote", "<table><tr height=\"30%></tr></table>"},
        {"negative height", "<table><tr height=\"-30%\"></tr></table>"},
        {"heights over the whole",
         "<table><tr height=\"60%\"></tr><tr height=\"50%\"></tr></table>"},
        {"widths over the whole",
         "<table><tr><td width=\"60%\"></td><td width=\"50%\"></td></tr></table>"},
        {"widths over the whole in a later row",
         "<table><tr></tr><tr><td width=\"100%\"></td><td width=\"1%\"></td></tr></table>"},
        {"width of 0", "<table><tr><td width=\"0%\"></td></tr></table>"},
        {"width without quotes", "<table><tr><td width=50%></td></tr></table>"},
        {"horizontal padding of 0", "<table><tr><td padding-horz=\"0%\"></td></tr></table>"},
        {"vertical padding without per cent",
         "<table><tr><td padding-vert=\"5\"></td></tr></table>"},
        {"type without quotes", "<table><tr><td type=3></td></tr></table>"},
        {"type without its closing quote", "<table><tr><td type=\"3></td></tr></table>"},
        {"negative type", "<table><tr><td type=\"-1\"></td></tr></table>"},
        {"cell outside a row", "<table><td></td></table>"},
        {"a table written inside a cell", "<table><tr><td><table></table></td></tr></table>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<CTableFormat> format = CTableFormat::Parse(QString::fromUtf8(c.text));
        EXPECT_FALSE(format.has_value()) << Describe(format->rows);
    }
}

TEST(TableFormatTest, ElementClassesByCellType)
{
    const struct
    {
        int type;
        const char* className;
    } cases[] = {
        {-1, ""},           {0, "CLine"},     {1, "CBox"}, {2, "CEllipse"},  {3, "CText"},
        {4, "CPriceField"}, {5, "CImage"},    {6, ""},     {7, ""},          {8, "CSymbol"},
        {9, "CTable"},      {10, "CArcText"}, {11, ""},    {2147483647, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(CTableFormat::ElementClassForType(c.type), QString::fromLatin1(c.className));
    }
}

// Whatever a damaged text parses to stays within the ranges the layout
// relies on.
TEST(TableFormatTest, DamagedTextsParseToSoundStructuresOrNothing)
{
    const QByteArray seed =
        "<table>\n\t<tr height=\"30%\" separator>\n\t\t<td width=\"40%\" type=\"3\" "
        "padding-horz=\"5%\" padding-vert=\"10%\"></td>\n\t\t<td type=\"9\"></td>\n\t</tr>\n"
        "\t<tr>\n\t\t<td type=\"5\"></td>\n\t</tr>\n</table>\n";
    ASSERT_TRUE(CTableFormat::Parse(QString::fromUtf8(seed)).has_value());
    std::mt19937 rng(20261210);
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = DamagedTextCopy(seed, rng);
        std::optional<CTableFormat> format = CTableFormat::Parse(QString::fromUtf8(bytes));
        if (!format)
            continue;
        ++accepted;
        SCOPED_TRACE(bytes.toStdString());
        long long heights = 0;
        for (const Row& row : format->rows) {
            EXPECT_GE(row.height, 0);
            heights += row.height;
            long long widths = 0;
            for (const Cell& cell : row.cells) {
                EXPECT_GE(cell.width, 0);
                widths += cell.width;
                EXPECT_GE(cell.type, -1);
                EXPECT_GE(cell.paddingHorz, 0);
                EXPECT_LE(cell.paddingHorz, 100);
                EXPECT_GE(cell.paddingVert, 0);
                EXPECT_LE(cell.paddingVert, 100);
            }
            EXPECT_LE(widths, CTableFormat::kFull);
        }
        EXPECT_LE(heights, CTableFormat::kFull);
    }
    // The damage leaves some texts valid, so the checks above did run.
    EXPECT_GT(accepted, 0);
}

TEST(TableFormatTest, LongTextsParseInOnePass)
{
    const int rows = 20000;
    QString many = QStringLiteral("<table>");
    for (int i = 0; i < rows; ++i)
        many += QStringLiteral("<tr>\n<td type=\"3\"></td><td></td>\n</tr>\n");
    many += QStringLiteral("</table>");
    // One tag full of characters the parser must pass over one by one, and a
    // number of a million digits.
    QString padded = QStringLiteral("<table><tr ") + QString(2'000'000, u'x') +
                     QStringLiteral("><td></td></tr></table>");
    QString digits = QStringLiteral("<table><tr height=\"") + QString(1'000'000, u'9') +
                     QStringLiteral("%\"></tr></table>");

    std::optional<CTableFormat> a = CTableFormat::Parse(many);
    std::optional<CTableFormat> b = CTableFormat::Parse(padded);
    std::optional<CTableFormat> c = CTableFormat::Parse(digits);

    ASSERT_TRUE(a && b && c);
    ASSERT_EQ(a->rows.size(), size_t(rows));
    EXPECT_EQ(a->rows.back().cells, (std::vector<Cell>{C(5000, 3), C(5000)}));
    EXPECT_EQ(a->rows.front().height, CTableFormat::kFull / rows);
    EXPECT_EQ(b->rows, (std::vector<Row>{R(10000, {C(10000)})}));
    EXPECT_EQ(c->rows, (std::vector<Row>{R(10000, {})}));

    // Sixteen times the text takes about sixteen times as long: a parser that
    // copied the rest of the text at each step would take 256.
    const std::function<QString(int)> texts[] = {
        [](int n) {
            QString rows = QStringLiteral("<table>");
            for (int i = 0; i < n / 50; ++i)
                rows += QStringLiteral("<tr>\n<td type=\"3\"></td><td></td>\n</tr>\n");
            return rows + QStringLiteral("</table>");
        },
        [](int n) {
            return QStringLiteral("<table><tr ") + QString(n, u'x') +
                   QStringLiteral("><td></td></tr></table>");
        },
        [](int n) {
            return QStringLiteral("<table><tr height=\"") + QString(n, u'9') +
                   QStringLiteral("%\"></tr></table>");
        },
    };
    for (std::size_t k = 0; k < std::size(texts); ++k) {
        const auto parse = [&](int n) -> qint64 {
            const QString text = texts[k](n);
            const CCpuTimer timer;
            EXPECT_TRUE(CTableFormat::Parse(text));
            return timer.Nanoseconds();
        };
        EXPECT_LT(Growth(parse, 2'000'000), kLinearGrowthBound) << "text " << k;
    }
}

} // namespace
