#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The conversion rules used everywhere a text becomes a number or a date.
namespace kl::conv {

// The number a text starts with, after leading blanks: "3abc" -> 3,
// " 2.5" -> 2.5, "-4e2x" -> -400, no number -> 0. Accepts "." as the
// decimal separator (and "," when no "." is present, as typed in Argentina).
double leadingNumber(QStringView text);

// True when the whole text (blanks around it allowed) is a number.
bool isNumber(QStringView text);

// Rounds to `decimals` places, halves to even (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value, int decimals = 0);
// Rounds the decimal a double stands for (its shortest text) to `decimals`
// places, negative ones left of the point: 748.58 at -1 is 750.
enum class Rounding { HalfEven, HalfAwayFromZero, TowardZero };
double roundDecimal(double value, int decimals, Rounding mode);
std::int64_t roundHalfEvenToInt(double value);

// Recognises d/m/yyyy, dd/mm/yy, d-m-yyyy, d.m.yyyy, yyyy-mm-dd and
// yyyy/mm/dd, optionally followed by a time hh:mm[:ss]. A two-digit year
// falls in the hundred years ending with `lastTwoDigitYear`: Windows' window
// by default (00-29 are 2000s, 30-99 are 1900s); SQL Server's ends in 2049.
inline constexpr int kWindowsTwoDigitYearEnd = 2029;
inline constexpr int kSqlServerTwoDigitYearEnd = 2049;
std::optional<QDateTime> parseDateTime(QStringView text,
                                       int lastTwoDigitYear = kWindowsTwoDigitYearEnd);
std::optional<QDate> parseDate(QStringView text);

// Dates are shown and typed as dd/mm/yyyy.
QString formatDate(const QDate& date);
// dd/mm/yyyy hh:mm:ss, or just the date when the time is midnight.
QString formatDateTime(const QDateTime& dateTime);

}  // namespace kl::conv
