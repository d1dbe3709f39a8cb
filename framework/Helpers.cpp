#include "Helpers.h"

#include "Rounding.h"
#include "Seams.h"

#include <QLocale>
#include <clocale>
#include <cmath>

namespace {

bool IsCrOrLf(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool IsLineBreakChar(QChar c)
{
    return c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The twelve-digit pi used by the whole-degree rotations.
constexpr double kPi12 = 3.14159265359;
constexpr double kDegreesToRadians = 0.017453292519944444;

double DegreesToRadians(int degrees)
{
    double radians = degrees * kDegreesToRadians;
    if (radians > kPi12)
        radians -= 2 * kPi12;
    return radians;
}

bool IsSpaceLike(QChar c)
{
    return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F);
}

// Where the currency symbol goes for a positive amount, in the stored
// numbering: 0 before, 1 after, 2 before with a space, 3 after with a space.
QString CurrencyPlacement(const QLocale& locale)
{
    const QString symbol = locale.currencySymbol();
    const QString sample = locale.toCurrencyString(1.0);
    if (symbol.isEmpty() || sample.isEmpty())
        return QString();
    if (sample.startsWith(symbol)) {
        const bool spaced = sample.size() > symbol.size() && IsSpaceLike(sample[symbol.size()]);
        return QString::number(spaced ? 2 : 0);
    }
    if (sample.endsWith(symbol)) {
        const qsizetype before = sample.size() - symbol.size() - 1;
        const bool spaced = before >= 0 && IsSpaceLike(sample[before]);
        return QString::number(spaced ? 3 : 1);
    }
    return QString::number(0);
}

// A monetary item of the C library's locale: the user's, taken from the
// environment the first time. The numeric items of the locale can differ
// from the monetary ones (a decimal comma with a monetary point, or the
// reverse), so prices never read them.
QString MonetaryItem(int item)
{
    static const bool monetarySet = std::setlocale(LC_MONETARY, "") != nullptr;
    Q_UNUSED(monetarySet);
    const std::lconv* conv = std::localeconv();
    const char* text = nullptr;
    if (conv)
        text = item == LOCALE_SMONDECIMALSEP ? conv->mon_decimal_point : conv->mon_thousands_sep;
    QString value = text ? QString::fromLocal8Bit(text) : QString();
    // The C and POSIX locales give no monetary decimal point at all; a price
    // still needs one to tell the units from the hundredths.
    if (item == LOCALE_SMONDECIMALSEP && value.isEmpty())
        value = QStringLiteral(".");
    return value;
}

} // namespace

QString HtmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'>') {
            out += u"&gt;";
        } else if (c == u'<') {
            out += u"&lt;";
        } else if (c == u'&') {
            out += u"&amp;";
        } else if (c == u'"') {
            out += u"&quot;";
        } else if (IsCrOrLf(c)) {
            while (i + 1 < text.size() && IsCrOrLf(text[i + 1]))
                ++i;
            out += u"<br>";
        } else {
            out += c;
        }
    }
    return out;
}

QString ColourToHtml(COLORREF colour)
{
    const auto hex = [](int v) { return QString::number(v, 16).toUpper().rightJustified(2, u'0'); };
    return u'#' + hex(GetRValue(colour)) + hex(GetGValue(colour)) + hex(GetBValue(colour));
}

QString ExpandLineBreaks(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\n')
            out += u'\r';
        out += c;
    }
    return out;
}

QString NormalizeLineBreaks(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsLineBreakChar(c)) {
            out += u'\n';
            if (i + 1 < text.size() && IsLineBreakChar(text[i + 1]))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString GetLocaleString(int item)
{
    const QLocale locale = QLocale::system();
    switch (item) {
    case LOCALE_SDECIMAL:
        return locale.decimalPoint();
    case LOCALE_STHOUSAND:
        return locale.groupSeparator();
    case LOCALE_SMONDECIMALSEP:
    case LOCALE_SMONTHOUSANDSEP:
        return MonetaryItem(item);
    case LOCALE_SCURRENCY:
        return locale.currencySymbol();
    case LOCALE_ICURRENCY:
        return CurrencyPlacement(locale);
    case LOCALE_SSHORTDATE:
        return locale.dateFormat(QLocale::ShortFormat);
    case LOCALE_STIMEFORMAT:
        return locale.timeFormat(QLocale::ShortFormat);
    default:
        return QString();
    }
}

void MmToInches(double& value)
{
    value =
        static_cast<double>(static_cast<long long>((value * 0.03937007874015748 + 0.005) * 100)) *
        0.01;
}

void InchesToMm(double& value)
{
    value = static_cast<double>(static_cast<long long>((value * 25.4 + 0.05) * 10)) * 0.1;
}

void RotatePoint(CPoint& point, int cx, int cy, int degrees)
{
    RotatePointRadians(point, cx, cy, DegreesToRadians(degrees));
}

void RotatePointRadians(CPoint& point, int cx, int cy, double radians)
{
    const double dx = double(point.x) - cx;
    const double dy = double(point.y) - cy;
    const double r = std::hypot(dx, dy);
    const double t = std::atan2(dy, dx) + radians;
    point.x = cx + RoundHalfAway(std::cos(t) * r);
    point.y = cy + RoundHalfAway(std::sin(t) * r);
}

void RotateRectCorners(int left, int top, int right, int bottom, CPoint out[4], int degrees)
{
    const double a = DegreesToRadians(degrees);
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double w = double(right) - left;
    const double h = double(bottom) - top;
    const int hsx = RoundHalfAway(h * s);
    const int hcy = RoundHalfAway(h * c);
    out[0] = CPoint(left, top);
    out[1] = CPoint(left + RoundHalfAway(w * c), top + RoundHalfAway(w * s));
    out[2] = CPoint(out[1].x - hsx, out[1].y + hcy);
    out[3] = CPoint(left - hsx, top + hcy);
}

CPoint WindowLPtoDP(CViewSeam* view, CPoint point)
{
    return view ? view->LPtoDP(point) : point;
}

CPoint WindowDPtoLP(CViewSeam* view, CPoint point)
{
    return view ? view->DPtoLP(point) : point;
}

CSize WindowLPtoDPSize(CViewSeam* view, CSize size)
{
    return view ? view->LPtoDPSize(size) : size;
}

CSize WindowDPtoLPSize(CViewSeam* view, CSize size)
{
    return view ? view->DPtoLPSize(size) : size;
}

CRect WindowLPtoDPRect(CViewSeam* view, CPoint topLeft, CPoint bottomRight)
{
    if (!view)
        return CRect(topLeft, bottomRight);
    CRect rect(view->LPtoDP(topLeft), view->LPtoDP(bottomRight));
    rect.InflateRect(1, 1, 2, 2);
    return rect;
}
