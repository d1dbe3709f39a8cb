#include "DateTimeFormat.h"

#include <QByteArray>

#include <algorithm>
#include <vector>

namespace {

// Correction of the week formula by the weekday of 1 January, Sunday first.
constexpr int kWeekCorrection[7] = {-1, 0, 1, 2, 3, -3, -2};

bool IsLeapYear(long long year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int WeekFormula(int januaryFirstWeekday, int dayOfYear)
{
    return (kWeekCorrection[januaryFirstWeekday] + dayOfYear + 6) / 7;
}

} // namespace

int ProgramWeekNumber(const std::tm& local)
{
    const int yday = std::clamp(local.tm_yday, 0, 365);
    const int wday = std::clamp(local.tm_wday, 0, 6);
    // Weekday of 1 January of the date's year.
    const int januaryFirst = ((wday - yday % 7) % 7 + 7) % 7;
    const int week = WeekFormula(januaryFirst, yday + 1);
    if (week >= 1)
        return week;
    // 31 December of the year before.
    const long long previousYear = static_cast<long long>(local.tm_year) + 1900 - 1;
    const int previousDays = IsLeapYear(previousYear) ? 366 : 365;
    const int previousJanuaryFirst = ((januaryFirst - previousDays % 7) % 7 + 7) % 7;
    return WeekFormula(previousJanuaryFirst, previousDays);
}

namespace {

QString Strftime(const QString& pattern, const std::tm& local)
{
    const QByteArray bytes = pattern.toLocal8Bit();
    // strftime gives 0 both for a result that does not fit and for an empty
    // one; the buffer grows until it surely fits (no conversion gives more
    // than a few dozen characters), then the result counts as empty.
    const std::size_t most = std::size_t(bytes.size()) * 64 + 256;
    for (std::size_t size = 256;; size *= 4) {
        std::vector<char> buffer(std::min(size, most));
        const std::size_t length =
            std::strftime(buffer.data(), buffer.size(), bytes.constData(), &local);
        if (length > 0)
            return QString::fromLocal8Bit(buffer.data(), qsizetype(length));
        if (buffer.size() >= most)
            return QString();
    }
}

} // namespace

QString FormatLocalTime(const QString& format, std::time_t when)
{
    std::tm local{};
    if (format.isEmpty() || !localtime_r(&when, &local))
        return QString();
    return Strftime(format, local);
}

QString FormatDateTime(const QString& format, std::time_t when)
{
    std::tm local{};
    if (format.isEmpty() || !localtime_r(&when, &local))
        return QString();
    QString pattern = format;
    if (pattern.contains(QLatin1String("%U")) || pattern.contains(QLatin1String("%W"))) {
        const QString week = QString::asprintf("%02d", ProgramWeekNumber(local));
        pattern.replace(QLatin1String("%U"), week);
        pattern.replace(QLatin1String("%W"), week);
    }
    return Strftime(pattern, local);
}
