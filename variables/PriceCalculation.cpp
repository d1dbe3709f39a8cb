#include "PriceCalculation.h"

#include "AppContext.h"
#include "Element.h"
#include "ElementList.h"
#include "Helpers.h"
#include "PriceField.h"
#include "PriceFormat.h"
#include "Seams.h"
#include "TextExport.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <limits>

IMPLEMENT_PERSISTENT(CPriceCalculation, CVariable, 1)

std::function<bool(QWidget*, CPriceCalculation&, bool)> CPriceCalculation::s_dialog;

namespace {

// The largest magnitude, in thousandths, that the rounding works on.
constexpr double kMostThousandths = 9.0e15;

bool IsStoredInputKind(int kind)
{
    return kind == SOURCE_FIXED || kind == SOURCE_KEYBOARD || kind == SOURCE_DATABASE ||
           kind == SOURCE_ELEMENT;
}

} // namespace

double LeadingNumber(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    if (begin < end && *begin == '+')
        ++begin;
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

CPriceCalculation::CPriceCalculation() = default;
CPriceCalculation::~CPriceCalculation() = default;

void CPriceCalculation::Serialize(CArchive& ar)
{
    CVariable::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_type;
        for (const Input& input : m_inputs)
            ar << input.sourceKind << input.sourceName << input.prompt << input.data;
        ar << m_roundTo << m_roundUp << m_result;
        return;
    }
    const int type = ar.ReadInt();
    m_type = type >= 0 && type < kTypeCount ? type : CALC_DIFFERENCE;
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        Input& input = m_inputs[i];
        const int kind = RenumberStoredSourceKind(ar.ReadInt(), App().fileVersion);
        input.sourceKind = IsStoredInputKind(kind) ? kind : SOURCE_FIXED;
        ar >> input.sourceName >> input.prompt >> input.data;
    }
    double step = 0.01;
    ar >> step;
    // A step the pages never give (below a thousandth, not a number) is
    // taken as the smallest one they do.
    m_roundTo = std::isfinite(step) && step >= 0.001 && step <= 1.0e6 ? step : 0.01;
    m_roundUp = 0;
    const int roundUp = ar.ReadInt(); // stored always
    if (App().fileVersion >= 265)
        m_roundUp = roundUp != 0 ? TRUE : FALSE;
    ar >> m_result;
}

int CPriceCalculation::GetTypeCode() const
{
    return VARIABLE_PRICE_CALC;
}

QString CPriceCalculation::GetTypeName() const
{
    return QStringLiteral("Price Calculation");
}

BOOL CPriceCalculation::DoNewDialog(QWidget* parent)
{
    CPriceCalculation working(*this);
    if (!s_dialog || !s_dialog(parent, working, true))
        return FALSE;
    *this = working;
    Calculate();
    return TRUE;
}

BOOL CPriceCalculation::DoEditDialog(QWidget* parent)
{
    CPriceCalculation working(*this);
    if (!s_dialog || !s_dialog(parent, working, false))
        return FALSE;
    *this = working;
    Calculate();
    return TRUE;
}

int CPriceCalculation::GetDataSources(std::vector<int>& kinds, QStringList& names)
{
    for (const Input& input : m_inputs) {
        kinds.push_back(input.sourceKind);
        names << input.sourceName;
    }
    return 2;
}

void CPriceCalculation::SetSourceValue(const QString& value, int sourceKind,
                                       const QString& sourceName, BOOL)
{
    for (Input& input : m_inputs) {
        if (input.sourceKind == sourceKind && input.sourceName == sourceName)
            input.data = value;
    }
    Calculate();
}

QString CPriceCalculation::GetValue()
{
    return m_result;
}

void CPriceCalculation::ResetValue()
{
    CDataLinkSeam* link = App().dataLink;
    for (Input& input : m_inputs) {
        if (input.sourceKind == SOURCE_DATABASE && link)
            input.data = link->GetFieldValue(input.sourceName);
    }
    Calculate();
}

double CPriceCalculation::GetInput(int index) const
{
    if (index < 0 || index > 1)
        return 0.0;
    const Input& input = m_inputs[std::size_t(index)];
    // A percentage or a rate is a plain number.
    if (index == 1 && m_type >= CALC_DISCOUNTED_PRICE && m_type <= CALC_PURCHASE_TAX)
        return LeadingNumber(input.data);
    QString decimal;
    QString thousands;
    bool fromPrice = false;
    if (input.sourceKind == SOURCE_ELEMENT) {
        const auto* price =
            dynamic_cast<const CPriceField*>(TheElementList().FindByName(input.sourceName));
        if (price) {
            const CPriceFormat& format = price->GetFormat();
            decimal = format.m_partText[CPriceFormat::PART_DECIMAL_SEPARATOR];
            thousands = format.m_thousandsSeparator;
            fromPrice = true;
        }
    }
    if (!fromPrice) {
        decimal = GetLocaleString(LOCALE_SMONDECIMALSEP);
        thousands = GetLocaleString(LOCALE_SMONTHOUSANDSEP);
    }
    QString text = input.data;
    if (!thousands.isEmpty() && thousands != decimal)
        text.remove(thousands);
    if (!decimal.isEmpty()) {
        const qsizetype at = text.indexOf(decimal);
        if (at >= 0)
            text.replace(at, decimal.size(), QStringLiteral("."));
    }
    return LeadingNumber(text);
}

double CPriceCalculation::Compute(double a, double b) const
{
    switch (m_type) {
    case CALC_DIFFERENCE:
        return std::max(0.0, a - b);
    case CALC_DISCOUNT:
        // No price to take a discount from: no discount.
        if (a == 0.0)
            return 0.0;
        return std::max(0.0, (a - b) / a * 100.0);
    case CALC_DISCOUNTED_PRICE:
        b = b <= 0.0 ? 0.0 : std::min(b, 100.0);
        return a - a * 0.01 * b;
    case CALC_CURRENCY:
        return a * b;
    case CALC_PURCHASE_TAX:
        return a + a * 0.01 * b;
    default:
        return a;
    }
}

void CPriceCalculation::Calculate()
{
    double result = Compute(GetInput(0), GetInput(1));
    if (!std::isfinite(result))
        result = 0.0;
    // In whole thousandths: the result to the nearest one first, so that a
    // value such as 2.01, held as 2.00999..., is not cut to 2.00. Rounding
    // up adds half a hundredth; a negative result rounds the same way as
    // its magnitude.
    const double scaled = std::clamp(result * 1000.0, -kMostThousandths, kMostThousandths);
    long long v = std::llround(scaled);
    long long step = std::llround(std::clamp(m_roundTo, 0.001, 1.0e6) * 1000.0);
    if (step < 1)
        step = 1;
    if (m_roundUp)
        v += v < 0 ? -5 : 5;
    v = v / step * step;
    result = double(v) * 0.001;

    if (m_type == CALC_DISCOUNT) {
        m_result = QString::number(static_cast<long long>(result));
        return;
    }
    QString text = QString::asprintf("%.2f", result);
    if (text == QLatin1String("-0.00"))
        text = QStringLiteral("0.00");
    const QString decimal = GetLocaleString(LOCALE_SMONDECIMALSEP);
    const qsizetype at = text.indexOf(u'.');
    if (at >= 0 && !decimal.isEmpty())
        text.replace(at, 1, decimal);
    m_result = text;
}

void CPriceCalculation::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <price-calculation>\n\n"));
    CVariable::WriteXml(file);
    file.WriteString(QStringLiteral("    <type=\"%1\"/>\n").arg(m_type));
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        const Input& input = m_inputs[i];
        file.WriteString(
            QStringLiteral("    <source%1 type=\"%2\" name=\"%3\" prompt=\"%4\" data=\"%5\"/>\n")
                .arg(i)
                .arg(input.sourceKind)
                .arg(input.sourceName, input.prompt, input.data));
    }
    file.WriteString(QStringLiteral("    <rounding to=\"%1\" up=\"%2\"/>\n")
                         .arg(QString::asprintf("%.2f", m_roundTo))
                         .arg(m_roundUp));
    file.WriteString(QStringLiteral("\n  </price-calculation>\n\n"));
}

QString CPriceCalculation::TypeName(int type)
{
    static const char* const names[kTypeCount] = {"Price Difference", "Price Discount",
                                                  "Discounted Price", "Currency Conversion",
                                                  "Purchase Tax Addition"};
    return type >= 0 && type < kTypeCount ? QString::fromLatin1(names[type]) : QString();
}

QString CPriceCalculation::TypeDescription(int type)
{
    static const char* const texts[kTypeCount] = {
        "The difference between two prices expressed as a price.",
        "The difference between two prices expressed as a percentage.",
        "The result of applying a percentage discount to a price.",
        "The result of applying an exchange rate factor to a price.",
        "The result of adding a purchase tax percentage to a price.",
    };
    return type >= 0 && type < kTypeCount ? QString::fromLatin1(texts[type]) : QString();
}

QString CPriceCalculation::InputDescription(int type, int input)
{
    static const char* const texts[kTypeCount][2] = {
        {"Please specify, or select the source of, the greater of the two prices used to "
         "generate the price difference. This would typically be the original, or previous, "
         "price.",
         "Please specify, or select the source of, the lesser of the two prices used to "
         "generate the price difference. This would typically be the new, or discounted, "
         "price."},
        {"Please specify, or select the source of, the greater of the two prices used to "
         "generate the discount percentage. This would typically be the original, or "
         "previous, price.",
         "Please specify, or select the source of, the lesser of the two prices used to "
         "generate the discount percentage. This would typically be the new, or discounted, "
         "price."},
        {"Please specify, or select the source of, the price to which the discount should be "
         "applied.",
         "Please specify, or select the source of, the percentage discount to be applied to "
         "the input price."},
        {"Please specify, or select the source of, the price to which the exchange rate should "
         "be applied.",
         "Please specify, or select the source of, the exchange rate to be applied to the "
         "input price."},
        {"Please specify, or select the source of, the price to which the purchase tax is to "
         "be added i.e. the net price.",
         "Please specify, or select the source of, the purchase tax percentage to be added to "
         "the net price."},
    };
    if (type < 0 || type >= kTypeCount || input < 0 || input > 1)
        return QString();
    return QString::fromLatin1(texts[type][input]);
}
