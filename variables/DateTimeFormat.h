// Date and time texts with the program's own week number.
#pragma once

#include <QString>

#include <ctime>

// The program's week number of a local date: weeks start on Monday and week
// 1 holds the year's first Thursday; the last days of December stay in the
// old year's last week (52 or 53).
int ProgramWeekNumber(const std::tm& local);

// The time as local time in the strftime format; empty when the time has no
// local time, the format is empty or the result is empty.
QString FormatLocalTime(const QString& format, std::time_t when);

// The time as local time in the strftime format, every "%U" and then every
// "%W" first replaced by the two-digit week number. Empty when the time has
// no local time or the format is empty.
QString FormatDateTime(const QString& format, std::time_t when);
