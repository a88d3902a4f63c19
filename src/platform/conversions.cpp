#include "platform/conversions.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

namespace kl::conv {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// What std::from_chars leaves undecided: a number too large for a double is
// infinite, one too small is zero. Decided by the position of the first
// significant digit relative to the decimal point.
double outOfRange(const std::string& ascii) {
    const bool negative = ascii.front() == '-';
    const std::size_t e = ascii.find('e');
    const std::string mantissa = ascii.substr(0, e);
    long magnitude = 0;
    if (e != std::string::npos) {
        for (std::size_t k = e + 1; k < ascii.size(); ++k) {
            if (ascii[k] >= '0' && ascii[k] <= '9' && magnitude < 100000) {
                magnitude = magnitude * 10 + (ascii[k] - '0');
            }
        }
        if (ascii.find('-', e) != std::string::npos) magnitude = -magnitude;
    }
    const std::size_t point = mantissa.find('.');
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    if (firstSignificant == std::string::npos) return 0;
    const std::size_t pointAt = point == std::string::npos ? mantissa.size() : point;
    magnitude += firstSignificant < pointAt ? long(pointAt - firstSignificant)
                                            : -long(firstSignificant - pointAt - 1);
    if (magnitude <= 0) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
}

// A number at the start of a text: how many characters it takes and its value.
struct ScannedNumber {
    qsizetype length = 0;
    double value = 0;
};

// Grammar: [sign] digits [sep digits] | [sign] sep digits, then an optional
// exponent that only counts when digits follow it. The decimal separator is
// "." unless the text has none, in which case "," is accepted (typed amounts).
ScannedNumber scanNumber(QStringView text) {
    const QChar separator = text.contains(u'.') ? u'.' : u',';
    qsizetype i = 0;
    const qsizetype n = text.size();
    std::string ascii;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii += char(text[i++].unicode());
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ascii += char(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == separator) {
        qsizetype j = i + 1;
        std::string fraction;
        while (j < n && isDigit(text[j])) fraction += char(text[j++].unicode());
        if (digits > 0 || !fraction.empty()) {
            ascii += '.';
            ascii += fraction;
            digits += qsizetype(fraction.size());
            i = j;
        }
    }
    if (digits == 0) return {};
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) exponent += char(text[j++].unicode());
        const qsizetype firstExponentDigit = j;
        while (j < n && isDigit(text[j])) exponent += char(text[j++].unicode());
        if (j > firstExponentDigit) {
            ascii += exponent;
            i = j;
        }
    }
    // std::from_chars rejects a leading '+'.
    const char* begin = ascii.data() + (ascii.front() == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(begin, ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) value = outOfRange(ascii);
    return {i, value};
}

qsizetype skipBlanks(QStringView text, qsizetype from = 0) {
    while (from < text.size() && text[from].isSpace()) ++from;
    return from;
}

// Reads 1..maxDigits digits at `pos`; returns -1 when there is none.
int readNumber(QStringView text, qsizetype& pos, int maxDigits, int* digitCount = nullptr) {
    int value = 0;
    int count = 0;
    while (pos < text.size() && isDigit(text[pos]) && count < maxDigits) {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++count;
    }
    if (digitCount) *digitCount = count;
    if (count == 0) return -1;
    // A longer run of digits is not a date field.
    if (pos < text.size() && isDigit(text[pos])) return -1;
    return value;
}

int expandTwoDigitYear(int year, int lastYear) {
    const int century = lastYear - lastYear % 100;
    return century + year <= lastYear ? century + year : century - 100 + year;
}

std::optional<QDate> readDatePart(QStringView text, qsizetype& pos, int lastTwoDigitYear) {
    int firstDigits = 0;
    const int first = readNumber(text, pos, 4, &firstDigits);
    if (first < 0 || pos >= text.size()) return std::nullopt;
    const QChar separator = text[pos];
    if (separator != u'/' && separator != u'-' && separator != u'.') return std::nullopt;
    ++pos;
    const int second = readNumber(text, pos, 2);
    if (second < 0 || pos >= text.size() || text[pos] != separator) return std::nullopt;
    ++pos;
    int lastDigits = 0;
    const int last = readNumber(text, pos, 4, &lastDigits);
    if (last < 0) return std::nullopt;

    int day, month, year;
    if (firstDigits == 4) {
        if (lastDigits > 2) return std::nullopt;
        year = first;
        month = second;
        day = last;
    } else {
        if (firstDigits > 2 || lastDigits == 3) return std::nullopt;
        day = first;
        month = second;
        year = lastDigits == 4 ? last : expandTwoDigitYear(last, lastTwoDigitYear);
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

// hh:mm[:ss[.fff]]; the fraction that database texts carry is dropped.
std::optional<QTime> readTimePart(QStringView text, qsizetype& pos) {
    const int hours = readNumber(text, pos, 2);
    if (hours < 0 || pos >= text.size() || text[pos] != u':') return std::nullopt;
    ++pos;
    const int minutes = readNumber(text, pos, 2);
    if (minutes < 0) return std::nullopt;
    int seconds = 0;
    if (pos < text.size() && text[pos] == u':') {
        ++pos;
        seconds = readNumber(text, pos, 2);
        if (seconds < 0) return std::nullopt;
        if (pos < text.size() && text[pos] == u'.') {
            ++pos;
            while (pos < text.size() && isDigit(text[pos])) ++pos;
        }
    }
    const QTime time(hours, minutes, seconds);
    if (!time.isValid()) return std::nullopt;
    return time;
}

}  // namespace

double leadingNumber(QStringView text) {
    return scanNumber(text.mid(skipBlanks(text))).value;
}

bool isNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    return scanNumber(trimmed).length == trimmed.size();
}

// Rounds on the shortest decimal text of the value, so that 2.675 (stored as
// 2.67499999...) rounds as the 2.675 the operator typed.
double roundHalfEven(double value, int decimals) {
    return roundDecimal(value, decimals, Rounding::HalfEven);
}

double roundDecimal(double value, int decimals, Rounding mode) {
    if (!std::isfinite(value) || value == 0) return value;
    // Fixed buffers: amounts are rounded as every row of a lookup is read.
    char buffer[64];
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    const bool negative = text.front() == '-';
    char digits[32];
    std::size_t count = 0;
    for (std::size_t k = negative ? 1 : 0; k < e; ++k) {
        if (text[k] != '.') digits[count++] = text[k];
    }
    int exponent = 0;
    const char* exponentText = text.data() + e + 1;
    if (*exponentText == '+') ++exponentText;
    std::from_chars(exponentText, end, exponent);
    // The digits stand for d0.d1d2... x 10^exponent; `keep` of them reach
    // down to the 10^-decimals place.
    const long keep = long(exponent) + 1 + decimals;
    if (keep >= long(count)) return value;
    if (keep < 0) return negative ? -0.0 : 0.0;

    std::uint64_t units = 0;
    for (long k = 0; k < keep; ++k) units = units * 10 + std::uint64_t(digits[k] - '0');
    const std::string_view rest(digits + keep, count - std::size_t(keep));
    const bool exactHalf =
        rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos;
    const bool up = mode == Rounding::TowardZero ? false
                    : mode == Rounding::HalfAwayFromZero
                        ? rest[0] >= '5'
                        : rest[0] > '5' || (rest[0] == '5' && (!exactHalf || units % 2 == 1));
    if (up) ++units;

    // Parsing "units e-decimals" gives the double nearest the rounded decimal.
    char rounded[48];
    char* r = std::to_chars(rounded, rounded + 24, units).ptr;
    *r++ = 'e';
    r = std::to_chars(r, std::end(rounded), -decimals).ptr;
    double result = 0;
    std::from_chars(rounded, r, result);
    return negative ? -result : result;
}

std::int64_t roundHalfEvenToInt(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = roundHalfEven(value, 0);
    // Out-of-range values saturate instead of wrapping.
    if (rounded >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
    if (rounded <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(rounded);
}

std::optional<QDateTime> parseDateTime(QStringView text, int lastTwoDigitYear) {
    const QStringView trimmed = text.trimmed();
    qsizetype pos = 0;
    const std::optional<QDate> date = readDatePart(trimmed, pos, lastTwoDigitYear);
    if (!date) return std::nullopt;
    QTime time(0, 0);
    if (pos < trimmed.size()) {
        const qsizetype afterDate = pos;
        if (trimmed[pos] == u'T') {
            ++pos;
        } else {
            pos = skipBlanks(trimmed, pos);
            if (pos == afterDate) return std::nullopt;
        }
        const std::optional<QTime> readTime = readTimePart(trimmed, pos);
        if (!readTime || pos != trimmed.size()) return std::nullopt;
        time = *readTime;
    }
    return QDateTime(*date, time);
}

std::optional<QDate> parseDate(QStringView text) {
    const std::optional<QDateTime> dateTime = parseDateTime(text);
    if (!dateTime) return std::nullopt;
    return dateTime->date();
}

QString formatDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString formatDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid()) return QString();
    if (dateTime.time() == QTime(0, 0)) return formatDate(dateTime.date());
    return formatDate(dateTime.date()) + u' ' +
           dateTime.time().toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace kl::conv
