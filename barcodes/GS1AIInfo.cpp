#include "GS1AIInfo.h"

#include <QRegularExpression>

#include <array>

namespace {

// clang-format off
constexpr GS1AIInfo kTable[] = {
    {0, "Serial Shipping Container Code (SSCC)",
     "SSCC", true, false, false, 0, true, "012345678123456788", "18 numeric digits"},
    {1, "Global Trade Item Number (GTIN)",
     "GTIN", true, false, false, 0, true, "01234567812342", "14 numeric digits"},
    {2, "GTIN of Items Contained Within Logistics Unit",
     "Content", true, false, false, 0, true, "01234567812342", "14 numeric digits"},
    {10, "Batch or Lot Number",
     "Batch or Lot Number", false, false, false, 0, false, "ABC123", "1..20 alphanumeric characters"},
    {11, "Production Date (YYMMDD)",
     "Production Date", true, false, false, 0, false, "051024", "6 numeric digits (YYMMDD)"},
    {12, "Due Date (YYMMDD)",
     "Due Date", true, false, false, 0, false, "051024", "6 numeric digits (YYMMDD)"},
    {13, "Packaging Date (YYMMDD)",
     "Packaging Date", true, false, false, 0, false, "051024", "6 numeric digits (YYMMDD)"},
    {15, "Best Before Date (YYMMDD)",
     "Best Before Date", true, false, false, 0, false, "051024", "6 numeric digits (YYMMDD)"},
    {17, "Expiration Date (YYMMDD)",
     "Expiration Date", true, false, false, 0, false, "051024", "6 numeric digits (YYMMDD)"},
    {20, "Product Variant",
     "Product Variant", true, false, false, 0, false, "12", "2 numeric digits"},
    {21, "Serial Number",
     "Serial Number", false, false, false, 0, false, "ABC123", "1..20 alphanumeric characters"},
    {22, "Secondary Data for Specific Health Industry Products",
     "Quantity/Date/Batch", false, false, false, 0, false, "2209953C0013", "1..29 alphanumeric characters"},
    {240, "Additional Product Identification",
     "Additional Product ID", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {241, "Customer Part Number",
     "Customer Part Number", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {242, "Made-to-Order Variation Number",
     "Variation Number", false, false, false, 0, false, "123456", "1..6 numeric digits"},
    {250, "Secondary Serial Number",
     "Secondary Serial Number", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {251, "Reference to Source Entity",
     "Reference to Source", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {253, "Global Document Type identifier (GDTI)",
     "GDTI", false, false, false, 0, true, "1234567890128123", "13..30 numeric digits"},
    {254, "GLN Extension Component",
     "GLN Extension", false, false, false, 0, false, "ABC123", "1..20 alphanumeric characters"},
    {30, "Variable Count",
     "Variable Count", false, false, false, 0, false, "12345678", "1..8 numeric digits"},
    {310, "Net Weight (Kg)",
     "Net Weight (Kg)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {311, "Length or 1st Dimension (Metres)",
     "Length (Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {312, "Width, Diameter or 2nd Dimension (Metres)",
     "Width (Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {313, "Depth, Thickness, Height or 3rd Dimension (Metres)",
     "Depth (Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {314, "Area (Square Metres)",
     "Area (Square Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {315, "Net Volume (Litres)",
     "Net Volume (Litres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {316, "Net Volume (Cubic Metres)",
     "Net Volume (Cubic Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {320, "Net Weight (Pounds)",
     "Net Weight (Pounds)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {321, "Length or 1st Dimension (Inches)",
     "Length (Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {322, "Length or 1st Dimension (Feet)",
     "Length (Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {323, "Length or 1st Dimension (Yards)",
     "Length (Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {324, "Width, Diameter or 2nd Dimension (Inches)",
     "Width (Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {325, "Width, Diameter or 2nd Dimension (Feet)",
     "Width (Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {326, "Width, Diameter or 2nd Dimension (Yards)",
     "Width (Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {327, "Depth, Thickness, Height or 3rd Dimension (Inches)",
     "Depth (Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {328, "Depth, Thickness, Height or 3rd Dimension (Feet)",
     "Depth (Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {329, "Depth, Thickness, Height or 3rd Dimension (Yards)",
     "Depth (Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {330, "Weight (Logistic) (Kg)",
     "Weight (Log) (Kg)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {331, "Length or 1st Dimension (Logistic)(Metres)",
     "Length (Log)(Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {332, "Width, Diameter or 2nd Dimension (Logistic)(Metres)",
     "Width (Log)(Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {333, "Depth, Thickness, Height or 3rd Dimension (Logistic)(Metres)",
     "Depth (Log)(Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {334, "Area (Logistic)(Square Metres)",
     "Area (Log)(Square Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {335, "Volume (Logistic)(Litres)",
     "Volume (Log)(Litres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {336, "Volume (Logistic)(Cubic Metres)",
     "Volume (Log)(Cubic Metres)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {337, "Kilograms Per Square Metre",
     "Kilograms Per Square Metre", true, false, true, 3, false, "123456", "6 numeric digits"},
    {340, "Weight (Logistic) (Pounds)",
     "Weight (Log) (Pounds)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {341, "Length or 1st Dimension (Logistics)(Inches)",
     "Length (Log)(Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {342, "Length or 1st Dimension (Logistics(Feet)",
     "Length (Log)(Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {343, "Length or 1st Dimension (Logistic)(Yards)",
     "Length (Log)(Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {344, "Width, Diameter or 2nd Dimension (Logistic)(Inches)",
     "Width (Log)(Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {345, "Width, Diameter or 2nd Dimension (Logistic)(Feet)",
     "Width (Log)(Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {346, "Width, Diameter or 2nd Dimension (Logistic)(Yards)",
     "Width (Log)(Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {347, "Depth, Thickness, Height or 3rd Dimension (Logistic)(Inches)",
     "Depth (Log)(Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {348, "Depth, Thickness, Height or 3rd Dimension (Logistic)(Feet)",
     "Depth (Log)(Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {349, "Depth, Thickness, Height or 3rd Dimension (Logistic)(Yards)",
     "Depth (Log)(Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {350, "Area (Square Inches)",
     "Area (Square Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {351, "Area (Square Feet)",
     "Area (Square Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {352, "Area (Square Yards)",
     "Area (Square Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {353, "Area (Logistic)(Square Inches)",
     "Area (Log)(Square Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {354, "Area (Logistic)(Square Feet)",
     "Area (Log)(Square Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {355, "Area (Logistic)(Square Yards)",
     "Area (Log)(Square Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {356, "Net Weight (Troy Ounces)",
     "Net Weight (Troy Ounces)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {357, "Net Weight (Ounces)",
     "Net Weight (Ounces)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {360, "Net Volume (Quarts)",
     "Net Volume (Quarts)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {361, "Net Volume (Gallons)",
     "Net Volume (Gallons)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {362, "Volume (Logistic) (Quarts)",
     "Volume (Log) (Quarts)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {363, "Volume (Log) (Gallons)",
     "Volume (Log) (Gallons)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {364, "Net Volume (Cubic Inches)",
     "Net Volume (Cubic Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {365, "Net Volume (Cubic Feet)",
     "Net Volume (Cubic Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {366, "Net Volume (Cubic Yards)",
     "Net Volume (Cubic Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {367, "Volume (Logistic) (Cubic Inches)",
     "Volume (Log) (Cubic Inches)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {368, "Volume (Logistic) (Cubic Feet)",
     "Volume (Log) (Cubic Feet)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {369, "Volume (Cubic Yards)",
     "Volume (Log)(Cubic Yards)", true, false, true, 3, false, "123456", "6 numeric digits"},
    {37, "Number of Items Contained in Unit",
     "Item Contained", false, false, false, 0, false, "1", "1..8 numeric digits"},
    {390, "Amount Payable (Single Monetary Area)",
     "Amount Payable", false, false, true, 2, false, "123456", "1.15 numeric digits"},
    {391, "Amount Payable and ISO Currency Code",
     "Amount Payable", false, false, true, 2, false, "123456", "4..18 numeric digits"},
    {392, "Amount Payable for a Variable Measure Trade Item (Single Monetary Area)",
     "Amount Payable", false, false, true, 2, false, "123456", "1.15 numeric digits"},
    {393, "Amount Payable for a Variable Measure Trade Item and ISO Currency Code",
     "Amount Payable", false, false, true, 2, false, "123456", "4..18 numeric digits"},
    {400, "Customer's Purchase Order Number",
     "Purchase Order", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {401, "Consignment Number",
     "Consignment Number", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {402, "Shipment Identification Number",
     "Shipment ID Number", true, true, false, 0, true, "12345678901234560", "17 numeric digits"},
    {403, "Routing Code",
     "Routing Code", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {410, "Ship To/Deliver To Location Code",
     "Ship/Deliver Location", true, false, false, 0, true, "0123456789012", "13 numeric digits"},
    {411, "Bill To/Invoice Location Code",
     "Bill/Invoice Location", true, false, false, 0, true, "0123456789012", "13 numeric digits"},
    {412, "Purchase From Location Code",
     "Purchase Location", true, false, false, 0, true, "0123456789012", "13 numeric digits"},
    {413, "Ship for - Deliver for - Forward to Location Code",
     "Ship/Deliver/Forward Location", true, false, false, 0, true, "0123456789012", "13 numeric digits"},
    {414, "Identification of a Physical Location",
     "Physical Location ID", true, false, false, 0, true, "0123456789012", "13 numeric digits"},
    {415, "Invoicing Party Location Code",
     "Invoicing Party Location", true, false, false, 0, true, "0123456789012", "13 numeric digits"},
    {420, "Ship To/Deliver To Postal Code (Single Postal Authority)",
     "Ship/Deliver SPA", false, false, false, 0, false, "0123456789012", "1..20 alphanumeric characters"},
    {421, "Ship To/Deliver To Postal Code (Multiple Postal Authority)",
     "Ship/Deliver MPA", false, false, false, 0, false, "0123456789012", "4..12 alphanumeric characters"},
    {422, "Country of Origin of a Trade Item",
     "Country of Origin", true, true, false, 0, false, "123", "3 numeric digits"},
    {423, "Country of Initial Processing",
     "Initial Processing Country", false, false, false, 0, false, "123456", "3..15 numeric digits"},
    {424, "Country of Processing",
     "Country of Processing", true, true, false, 0, false, "123", "3 numeric digits"},
    {425, "Country of Disassembly",
     "Country of Disassembly", true, true, false, 0, false, "123", "3 numeric digits"},
    {426, "Country Covering Full Process Chain",
     "Full Process Country", true, true, false, 0, false, "123", "3 numeric digits"},
    {7001, "NATO Stock Number (NSN)",
     "Nato Stock Number", true, true, false, 0, false, "1234567890123", "13 numeric digits"},
    {7002, "UN/ECE Meat Carcasses and Cuts Classification",
     "Meat Carcasses and Cuts", false, false, false, 0, false, "ABC123", "1..30 alphanumeric characters"},
    {7003, "Expiration Date and Time",
     "Expiration Date and Time", true, true, false, 0, false, "1234567890", "10 numeric digits"},
    {7030, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7031, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7032, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7033, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7034, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7035, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7036, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7037, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7038, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {7039, "Approval Number of Processor with ISO Country Code",
     "Approval Number of Processor", false, false, false, 0, false, "123ABC123", "4..30 alphanumeric characters"},
    {8001, "Roll Products - Width/Length/Core Diameter",
     "Roll Products", true, true, false, 0, false, "01234567890123", "14 numeric digits"},
    {8002, "Electronic Serial Number for Cellular Phone",
     "ESN for Cell Phone", false, false, false, 0, false, "ABC123", "1..20 alphanumeric characters"},
    {8003, "Global Returnable Asset Identifier (GRAI)",
     "GRAI", false, false, false, 0, true, "12345678901238ABC", "14..30 alphanumeric characters"},
    {8004, "Global Individual Asset Identifier (GIAI)",
     "GIAI", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {8005, "Price Per Unit of Measure",
     "Price Per Unit of Measure", true, true, false, 0, false, "123456", "6 numeric digits"},
    {8006, "Identification of the Components of a Trade Item",
     "GCTIN", true, true, false, 0, false, "123456789012345678", "18 numeric digits"},
    {8007, "International Bank Account Number (IBAN)",
     "IBAN", false, false, false, 0, false, "123456ABC", "1..34 alphanumeric characters"},
    {8008, "Date and Time of Production",
     "Production Date/Time", false, false, false, 0, false, "123456789012", "8..12 numeric digits"},
    {8018, "Global Service Relation Number (GSRN)",
     "GSRN", true, true, false, 0, true, "123456789012345675", "18 numeric digits"},
    {8020, "Payment Slip Reference Number",
     "Reference Number", false, false, false, 0, false, "123456ABC", "1..25 alphanumeric characters"},
    {8100, "GS1-128 Coupon Extended Code",
     "Coupon Extended Code", true, true, false, 0, false, "123456", "6 numeric digits"},
    {8101, "GS1-128 Coupon Extended Code",
     "Coupon Extended Code", true, true, false, 0, false, "1234567890", "10 numeric digits"},
    {8102, "GS1-128 Coupon Extended Code",
     "Coupon Extended Code", true, true, false, 0, false, "12", "2 numeric digits"},
    {90, "Information Mutually Agreed Between Trading Partners",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {91, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {92, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {93, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {94, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {95, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {96, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {97, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {98, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
    {99, "Company Internal Information",
     "Internal", false, false, false, 0, false, "123456ABC", "1..30 alphanumeric characters"},
};
// clang-format on

static_assert(std::size(kTable) == 131, "the table has 131 identifiers");

QString RowText(const GS1AIInfo& row)
{
    return QStringLiteral("%1").arg(row.ai, 2, 10, QChar(u'0'));
}

// The row an identifier as written stands for, with its decimal-point digit
// (-1 when the row takes none).
const GS1AIInfo* MatchIdentifier(const QString& written, int& decimals)
{
    decimals = -1;
    for (const GS1AIInfo& row : kTable) {
        const QString text = RowText(row);
        if (!row.decimalDigit && written == text)
            return &row;
        if (row.decimalDigit && written.size() == text.size() + 1 && written.startsWith(text) &&
            written.back().isDigit()) {
            decimals = written.back().digitValue();
            return &row;
        }
    }
    return nullptr;
}

bool IsDigits(const QString& text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// The 82 characters a GS1 field may hold.
bool IsGS1Character(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return true;
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
        return true;
    return QStringView(u"!\"%&'()*+,-./:;<=>?_").contains(c);
}

bool SeparatorAfter(const GS1AIInfo* row)
{
    return !row || !row->fixedLength || row->separatorAfterFixed;
}

QString Reason(const QString& what, const QString& identifier)
{
    return QStringLiteral("%1 (%2)").arg(what, identifier);
}

} // namespace

std::span<const GS1AIInfo> GS1AITable()
{
    return std::span<const GS1AIInfo>(kTable);
}

const GS1AIInfo* GetGS1AIInfo(int ai)
{
    for (const GS1AIInfo& row : kTable) {
        if (row.ai == ai)
            return &row;
    }
    return nullptr;
}

GS1FieldRule GS1RuleOf(const GS1AIInfo& info)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d+)(?:\\.\\.?(\\d+))? (numeric|alphanumeric)"));
    GS1FieldRule rule;
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(info.format));
    if (!m.hasMatch())
        return rule;
    rule.minLength = m.captured(1).toInt();
    rule.maxLength = m.captured(2).isEmpty() ? rule.minLength : m.captured(2).toInt();
    rule.numeric = m.captured(3) == QStringLiteral("numeric");
    return rule;
}

QString GS1AIText(int ai, int decimals)
{
    const GS1AIInfo* row = GetGS1AIInfo(ai);
    QString text = QStringLiteral("%1").arg(ai, 2, 10, QChar(u'0'));
    if (row && row->decimalDigit)
        text += QString::number(std::clamp(decimals, 0, 9));
    return text;
}

bool GS1NeedsSeparatorAfter(int ai)
{
    return SeparatorAfter(GetGS1AIInfo(ai));
}

int GS1CheckDigit(const QString& text)
{
    int sum = 0;
    int weight = 3;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == u' ')
            continue;
        if (c < u'0' || c > u'9')
            return -1;
        sum += (c.unicode() - u'0') * weight;
        weight = weight == 3 ? 1 : 3;
    }
    return (10 - sum % 10) % 10;
}

QString GS1WithCheckDigit(int ai, const QString& data)
{
    // The document type identifier's key is 12 digits, the returnable
    // asset's a 0 and 12 digits; a serial may follow either.
    const int key = ai == 253 ? 12 : ai == 8003 ? 13 : -1;
    if (key > 0 && data.size() >= key) {
        const QString head = data.left(key);
        const int digit = GS1CheckDigit(head);
        if (digit < 0 || !IsDigits(head))
            return data;
        return head + QString::number(digit) + data.mid(key);
    }
    const int digit = GS1CheckDigit(data);
    return digit < 0 ? data : data + QString::number(digit);
}

bool GS1BracketedToElementString(const QString& input, QString& elementString, QString* error)
{
    static const QRegularExpression group(QStringLiteral("\\((\\d{2,4})\\)"));
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString text = input.trimmed();
    QRegularExpressionMatch first = group.match(text);
    if (!first.hasMatch() || first.capturedStart() != 0)
        return fail(QStringLiteral("The data must begin with an application identifier in "
                                   "brackets, such as (01)"));
    QString out;
    const GS1AIInfo* previous = nullptr;
    bool any = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QRegularExpressionMatch m = group.match(text, pos);
        if (!m.hasMatch() || m.capturedStart() != pos)
            return fail(QStringLiteral("The data is not a list of bracketed identifiers and "
                                       "their fields"));
        const QString written = m.captured(1);
        int decimals = -1;
        const GS1AIInfo* row = MatchIdentifier(written, decimals);
        if (!row)
            return fail(Reason(QStringLiteral("Unknown application identifier"), written));
        // The field runs to the next bracketed identifier.
        qsizetype end = m.capturedEnd();
        QRegularExpressionMatch next = group.match(text, end);
        while (next.hasMatch()) {
            int d = 0;
            if (MatchIdentifier(next.captured(1), d))
                break;
            next = group.match(text, next.capturedEnd());
        }
        const qsizetype fieldEnd = next.hasMatch() ? next.capturedStart() : text.size();
        const QString field = text.mid(end, fieldEnd - end);
        const GS1FieldRule rule = GS1RuleOf(*row);
        if (field.size() < rule.minLength || field.size() > rule.maxLength)
            return fail(Reason(QStringLiteral("Wrong length of the field"), written));
        for (QChar c : field) {
            if (rule.numeric ? (c < u'0' || c > u'9') : !IsGS1Character(c))
                return fail(Reason(QStringLiteral("A character the field cannot hold"), written));
        }
        if (any && SeparatorAfter(previous))
            out += QStringLiteral("%1");
        out += written;
        out += QString(field).replace(u'%', QStringLiteral("%%"));
        previous = row;
        any = true;
        pos = fieldEnd;
    }
    elementString = out;
    return true;
}

bool GS1ElementStringToBracketed(const QString& input, QString& bracketed)
{
    QString text = input;
    if (text.startsWith(QStringLiteral("%1")))
        text.remove(0, 2);
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const GS1AIInfo* row = nullptr;
        int decimals = -1;
        QString written;
        for (int length = 2; length <= 4 && !row; ++length) {
            written = text.mid(pos, length);
            if (written.size() == length && IsDigits(written))
                row = MatchIdentifier(written, decimals);
        }
        if (!row)
            return false;
        pos += written.size();
        QString field;
        if (row->fixedLength) {
            const int length = GS1RuleOf(*row).maxLength;
            field = text.mid(pos, length);
            if (field.size() != length || field.contains(u'%'))
                return false;
            pos += length;
            if (text.mid(pos, 2) == QStringLiteral("%1"))
                pos += 2;
        } else {
            while (pos < text.size()) {
                if (text[pos] == u'%' && pos + 1 < text.size()) {
                    if (text[pos + 1] == u'%') {
                        field += u'%';
                        pos += 2;
                        continue;
                    }
                    if (text[pos + 1] == u'1') {
                        pos += 2;
                        break;
                    }
                }
                field += text[pos++];
            }
            if (field.isEmpty())
                return false;
        }
        out += u'(' + written + u')' + field;
    }
    if (out.isEmpty())
        return false;
    bracketed = out;
    return true;
}
