// The check sums of the CSUM$ function.
#include "ScriptExpression.h"

#include <cstdint>
#include <vector>

namespace {

const char kCode39Table[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr int kCode39Count = 44;

QString Digit(int value)
{
    return QString(QChar(u'0' + value));
}

// Code 39, modulo 43.
QString Code39(const QString& data)
{
    if (data.isEmpty())
        return QString();
    qsizetype i = data.startsWith(u'*') ? 1 : 0;
    std::int64_t sum = 0;
    for (; i < data.size(); ++i) {
        const char16_t c = data.at(i).toUpper().unicode();
        int value = -1;
        for (int k = 0; k < kCode39Count; ++k) {
            if (c == char16_t(kCode39Table[k])) {
                value = k;
                break;
            }
        }
        if (value < 0)
            return QString();
        if (c == u'*')
            break;
        sum += value;
    }
    return QString(QChar(char16_t(kCode39Table[sum % 43])));
}

// The digits of the text with spaces skipped; false for any other character.
bool DigitsSkippingSpaces(const QString& data, std::vector<int>& digits)
{
    for (const QChar c : data) {
        if (c == u' ')
            continue;
        if (c < u'0' || c > u'9')
            return false;
        digits.push_back(c.unicode() - u'0');
    }
    return true;
}

// Modulo 10 with the weight 3 on the rightmost digit.
QString Modulo10Weight3Right(const QString& data)
{
    std::vector<int> digits;
    if (!DigitsSkippingSpaces(data, digits) || digits.empty())
        return QString();
    std::int64_t sum = 0;
    bool three = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, three = !three)
        sum += three ? 3 * *it : *it;
    return Digit(int((10 - sum % 10) % 10));
}

// Modulo 10 over every character, padded to an even length.
QString Modulo10EveryCharacter(const QString& data)
{
    if (data.isEmpty())
        return QString();
    const QString text = data.size() % 2 ? QStringLiteral("0") + data : data;
    std::int64_t sum = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::int64_t value = std::int64_t(text.at(i).unicode()) - u'0';
        sum += i % 2 ? 3 * value : value;
    }
    return Digit(int((10 - sum % 10) % 10));
}

QString DigitSum(const QString& data)
{
    std::vector<int> digits;
    if (data.isEmpty() || !DigitsSkippingSpaces(data, digits))
        return QString();
    std::int64_t sum = 0;
    for (const int d : digits)
        sum += d;
    return Digit(int((10 - sum % 10) % 10));
}

// The last count digits of the text, padded on the left with zeros.
std::vector<int> PriceDigits(const QString& data, int count)
{
    QString digits(count, u'0');
    for (const QChar c : data) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
    digits = digits.right(count);
    std::vector<int> result;
    for (const QChar c : digits)
        result.push_back(c.unicode() - u'0');
    return result;
}

int WeightTwoMinus(int d)
{
    const int twice = 2 * d;
    return (twice > 9 ? twice - 1 : twice) % 10;
}

int WeightThree(int d)
{
    return (3 * d) % 10;
}

constexpr int kWeightFiveMinus[10] = {0, 5, 9, 4, 8, 3, 7, 2, 6, 1};
constexpr int kWeightFivePlus[10] = {0, 5, 1, 6, 2, 7, 3, 8, 4, 9};
constexpr int kFiveMinusInverse[10] = {0, 2, 4, 6, 8, 1, 3, 5, 7, 9};

QString FourDigitPrice(const QString& data)
{
    const std::vector<int> d = PriceDigits(data, 4);
    const int sum =
        WeightTwoMinus(d[0]) + WeightTwoMinus(d[1]) + WeightThree(d[2]) + kWeightFiveMinus[d[3]];
    return Digit((3 * sum) % 10);
}

QString FiveDigitPrice(const QString& data)
{
    const std::vector<int> d = PriceDigits(data, 5);
    const int sum = kWeightFivePlus[d[0]] + WeightTwoMinus(d[1]) + kWeightFiveMinus[d[2]] +
                    kWeightFivePlus[d[3]] + WeightTwoMinus(d[4]);
    return Digit(kFiveMinusInverse[sum % 10]);
}

// Eight-bit cyclic check over hexadecimal characters.
QString Cyclic8(const QString& data)
{
    std::vector<int> values;
    values.reserve(std::size_t(data.size()) + 2);
    for (const QChar ch : data) {
        const char16_t c = ch.toUpper().unicode();
        if (c >= u'0' && c <= u'9')
            values.push_back(c - u'0');
        else if (c >= u'A' && c <= u'F')
            values.push_back(c - u'A' + 10);
        else if (c == u'X')
            values.push_back(10);
        else
            return QString();
    }
    const std::size_t n = values.size();
    values.push_back(0);
    values.push_back(0);
    struct Mask
    {
        int bit, here, next, after;
    };
    constexpr Mask kMasks[4] = {{1, 14, 2, 1}, {2, 12, 5, 2}, {4, 8, 11, 4}, {8, 0, 7, 9}};
    for (std::size_t i = 0; i < n; ++i) {
        for (const Mask& m : kMasks) {
            if (values[i] & m.bit) {
                values[i] ^= m.here;
                values[i + 1] ^= m.next;
                values[i + 2] ^= m.after;
            }
        }
    }
    auto hex = [](int v) { return QChar(v < 10 ? u'0' + v : u'A' + v - 10); };
    return QString(hex(values[n])) + hex(values[n + 1]);
}

} // namespace

QString ScriptCheckSum(int algorithm, const QString& data)
{
    switch (algorithm) {
    case 0:
        return Code39(data);
    case 1:
    case 3:
        return Modulo10Weight3Right(data);
    case 2:
        return Modulo10EveryCharacter(data);
    case 4:
        return DigitSum(data);
    case 5:
        return FourDigitPrice(data);
    case 6:
        return FiveDigitPrice(data);
    case 7:
        return Cyclic8(data);
    default:
        return QString();
    }
}
