// The SQL functions and the collation every embedded connection registers;
// the functions' table is engine_functions.h's.

#include "platform/ado/collation.h"
#include "platform/ado/engine_functions.h"
#include "platform/ado/sqlite_support.h"
#include "platform/conversions.h"

#include <sqlite3.h>

#include <QDateTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace kl::ado::sqlite {

namespace {

QString textOf(sqlite3_value* v) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(v));
}

bool isNull(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_NULL;
}

void resultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, long nativeError, const QString& text) {
    const QByteArray utf8 = raisedError(nativeError, text).toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), static_cast<int>(utf8.size()));
}

const QDate& sqlServerEpoch() {
    static const QDate epoch(1900, 1, 1);
    return epoch;
}

// A date argument: a date text, or a number of days since 1900-01-01 as SQL
// Server reads numbers.
std::optional<QDateTime> dateOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_TEXT:
            return parseDateText(textOf(v));
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: {
            const double days = sqlite3_value_double(v);
            const double whole = std::floor(days);
            return QDateTime(sqlServerEpoch().addDays(static_cast<qint64>(whole)), QTime(0, 0))
                .addMSecs(static_cast<qint64>(std::llround((days - whole) * 86400000.0)));
        }
        default:
            return std::nullopt;
    }
}

enum class DatePart {
    Unknown,
    Year,
    Quarter,
    Month,
    DayOfYear,
    Day,
    Week,
    Weekday,
    Hour,
    Minute,
    Second,
    Millisecond
};

DatePart datePartOf(sqlite3_value* v) {
    const QString p = textOf(v).trimmed().toLower();
    if (p == u"yy" || p == u"yyyy" || p == u"year") return DatePart::Year;
    if (p == u"qq" || p == u"q" || p == u"quarter") return DatePart::Quarter;
    if (p == u"mm" || p == u"m" || p == u"month") return DatePart::Month;
    if (p == u"dy" || p == u"y" || p == u"dayofyear") return DatePart::DayOfYear;
    if (p == u"dd" || p == u"d" || p == u"day") return DatePart::Day;
    if (p == u"wk" || p == u"ww" || p == u"week") return DatePart::Week;
    if (p == u"dw" || p == u"w" || p == u"weekday") return DatePart::Weekday;
    if (p == u"hh" || p == u"hour") return DatePart::Hour;
    if (p == u"mi" || p == u"n" || p == u"minute") return DatePart::Minute;
    if (p == u"ss" || p == u"s" || p == u"second") return DatePart::Second;
    if (p == u"ms" || p == u"millisecond") return DatePart::Millisecond;
    return DatePart::Unknown;
}

// A Spanish login works with DATEFIRST 1: Monday is day 1, Sunday day 7.
int weekdayNumber(const QDate& d) {
    return d.dayOfWeek();
}

// Week of the year: week 1 holds 1 January, weeks start on Monday.
int weekOfYear(const QDate& d) {
    const QDate first(d.year(), 1, 1);
    return (d.dayOfYear() - 1 + weekdayNumber(first) - 1) / 7 + 1;
}

std::optional<long long> datePartValue(DatePart part, const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    switch (part) {
        case DatePart::Year:
            return d.year();
        case DatePart::Quarter:
            return (d.month() - 1) / 3 + 1;
        case DatePart::Month:
            return d.month();
        case DatePart::DayOfYear:
            return d.dayOfYear();
        case DatePart::Day:
            return d.day();
        case DatePart::Week:
            return weekOfYear(d);
        case DatePart::Weekday:
            return weekdayNumber(d);
        case DatePart::Hour:
            return t.hour();
        case DatePart::Minute:
            return t.minute();
        case DatePart::Second:
            return t.second();
        case DatePart::Millisecond:
            return t.msec();
        case DatePart::Unknown:
            break;
    }
    return std::nullopt;
}

void badDatePart(sqlite3_context* ctx, sqlite3_value* part) {
    resultError(ctx, 155,
                QStringLiteral("'%1' no es una opción de DATEPART reconocida.").arg(textOf(part)));
}

void badDate(sqlite3_context* ctx) {
    resultError(ctx, native::BadDate,
                QStringLiteral("Error de conversión al convertir una cadena de caracteres en "
                               "fecha y/u hora."));
}

// Resolves the date argument at `index`; false when the result is decided
// (NULL in, NULL out; a text that is no date is an error).
bool dateArgument(sqlite3_context* ctx, sqlite3_value* v, QDateTime& out) {
    if (isNull(v)) {
        sqlite3_result_null(ctx);
        return false;
    }
    const std::optional<QDateTime> dt = dateOf(v);
    if (!dt) {
        badDate(ctx);
        return false;
    }
    out = *dt;
    return true;
}

// ---- dates -------------------------------------------------------------

// The stored form itself: "yyyy-MM-dd hh:mm:ss" of a real date and time.
// Read from the bytes, since the guards ask kl_fecha about every date a
// statement writes, and the program writes dates in this form.
bool isStoredForm(const unsigned char* s, int length) {
    if (length != 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':')
        return false;
    const auto number = [s](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9') return -1;
            value = value * 10 + (s[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4), hour = number(11, 2), minute = number(14, 2),
              second = number(17, 2);
    return year > 0 && hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 &&
           second < 60 && QDate::isValid(year, number(5, 2), number(8, 2));
}

void klFecha(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_value* v = argv[0];
    if (sqlite3_value_type(v) != SQLITE_TEXT) {
        sqlite3_result_value(ctx, v);
        return;
    }
    if (isStoredForm(sqlite3_value_text(v), sqlite3_value_bytes(v))) {
        sqlite3_result_value(ctx, v);
        return;
    }
    const QString text = textOf(v);
    if (text.trimmed().isEmpty()) {
        resultText(ctx, storedDate(QDateTime(sqlServerEpoch(), QTime(0, 0))));
        return;
    }
    if (const std::optional<QDateTime> dt = parseDateText(text))
        resultText(ctx, storedDate(*dt));
    else
        sqlite3_result_null(ctx);
}

void klGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
    resultText(ctx, storedDate(QDateTime::currentDateTime()));
}

void klDatepart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const DatePart part = datePartOf(argv[0]);
    if (part == DatePart::Unknown) return badDatePart(ctx, argv[0]);
    QDateTime dt;
    if (!dateArgument(ctx, argv[1], dt)) return;
    sqlite3_result_int64(ctx, *datePartValue(part, dt));
}

void klDatename(sqlite3_context* ctx, int, sqlite3_value** argv) {
    static const char* const days[] = {"Lunes",   "Martes", "Miércoles", "Jueves",
                                       "Viernes", "Sábado", "Domingo"};
    static const char* const months[] = {"Enero",      "Febrero", "Marzo",     "Abril",
                                         "Mayo",       "Junio",   "Julio",     "Agosto",
                                         "Septiembre", "Octubre", "Noviembre", "Diciembre"};
    const DatePart part = datePartOf(argv[0]);
    if (part == DatePart::Unknown) return badDatePart(ctx, argv[0]);
    QDateTime dt;
    if (!dateArgument(ctx, argv[1], dt)) return;
    if (part == DatePart::Weekday)
        resultText(ctx, QString::fromUtf8(days[dt.date().dayOfWeek() - 1]));
    else if (part == DatePart::Month)
        resultText(ctx, QString::fromUtf8(months[dt.date().month() - 1]));
    else
        resultText(ctx, QString::number(*datePartValue(part, dt)));
}

void klDateadd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const DatePart part = datePartOf(argv[0]);
    if (part == DatePart::Unknown) return badDatePart(ctx, argv[0]);
    if (isNull(argv[1])) return sqlite3_result_null(ctx);
    QDateTime dt;
    if (!dateArgument(ctx, argv[2], dt)) return;
    const qint64 n = static_cast<qint64>(std::trunc(sqlite3_value_double(argv[1])));
    switch (part) {
        case DatePart::Year:
            dt = dt.addYears(static_cast<int>(n));
            break;
        case DatePart::Quarter:
            dt = dt.addMonths(static_cast<int>(n * 3));
            break;
        case DatePart::Month:
            dt = dt.addMonths(static_cast<int>(n));
            break;
        case DatePart::Week:
            dt = dt.addDays(n * 7);
            break;
        case DatePart::Hour:
            dt = dt.addSecs(n * 3600);
            break;
        case DatePart::Minute:
            dt = dt.addSecs(n * 60);
            break;
        case DatePart::Second:
            dt = dt.addSecs(n);
            break;
        case DatePart::Millisecond:
            dt = dt.addMSecs(n);
            break;
        default:
            dt = dt.addDays(n);
            break;
    }
    resultText(ctx, storedDate(dt));
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

void klDatediff(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const DatePart part = datePartOf(argv[0]);
    if (part == DatePart::Unknown) return badDatePart(ctx, argv[0]);
    QDateTime a, b;
    if (!dateArgument(ctx, argv[1], a) || !dateArgument(ctx, argv[2], b)) return;
    const QDate da = a.date(), db = b.date();
    const qint64 days = da.daysTo(db);
    // Boundaries crossed, as SQL Server counts them.
    const qint64 secsA = QDateTime(da, QTime(0, 0)).secsTo(a);
    const qint64 secsB = QDateTime(da, QTime(0, 0)).secsTo(b);
    qint64 result = 0;
    switch (part) {
        case DatePart::Year:
            result = db.year() - da.year();
            break;
        case DatePart::Quarter:
            result =
                (db.year() * 4 + (db.month() - 1) / 3) - (da.year() * 4 + (da.month() - 1) / 3);
            break;
        case DatePart::Month:
            result = (db.year() * 12 + db.month()) - (da.year() * 12 + da.month());
            break;
        case DatePart::Week:
            // Weeks end on Saturday for DATEDIFF whatever DATEFIRST says.
            result = floorDiv(days + da.dayOfWeek() % 7, 7);
            break;
        case DatePart::Hour:
            result = floorDiv(secsB, 3600) - floorDiv(secsA, 3600);
            break;
        case DatePart::Minute:
            result = floorDiv(secsB, 60) - floorDiv(secsA, 60);
            break;
        case DatePart::Second:
            result = secsB - secsA;
            break;
        case DatePart::Millisecond:
            result = a.msecsTo(b);
            break;
        default:
            result = days;
            break;
    }
    sqlite3_result_int64(ctx, result);
}

void klIsdate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_int(ctx, sqlite3_value_type(argv[0]) == SQLITE_TEXT &&
                                parseDateText(textOf(argv[0])).has_value());
}

// ---- numbers -------------------------------------------------------------

// Jet's VAL: blanks anywhere are skipped, "." is the decimal point, the
// number ends at the first other character.
double jetVal(QStringView text) {
    QString digits;
    bool seenPoint = false, seenExponent = false, seenDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
        if (c.isDigit() && c.unicode() < 0x80) {
            digits.append(c);
            seenDigit = true;
        } else if ((c == u'-' || c == u'+') && (digits.isEmpty() || digits.endsWith(u'E'))) {
            digits.append(c);
        } else if (c == u'.' && !seenPoint && !seenExponent) {
            digits.append(c);
            seenPoint = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && seenDigit &&
                   !seenExponent) {
            digits.append(u'E');
            seenExponent = true;
        } else {
            break;
        }
    }
    while (!digits.isEmpty() && !digits.back().isDigit() && digits.back() != u'.') digits.chop(1);
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok ? value : 0.0;
}

void klVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_double(ctx, 0.0);
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
        return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
    sqlite3_result_double(ctx, jetVal(textOf(argv[0])));
}

void klIsnumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return sqlite3_result_int(ctx, 1);
    sqlite3_result_int(ctx, type == SQLITE_TEXT && kl::conv::isNumber(textOf(argv[0])));
}

void klStr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    const int length = argc > 1 ? sqlite3_value_int(argv[1]) : 10;
    const int decimals = argc > 2 ? std::clamp(sqlite3_value_int(argv[2]), 0, 16) : 0;
    const double value = sqlite3_value_double(argv[0]);
    const double factor = std::pow(10.0, decimals);
    const double rounded = std::round(value * factor) / factor;
    QString text = QString::number(rounded, 'f', decimals);
    if (length <= 0) return sqlite3_result_null(ctx);
    if (text.size() > length) {
        // SQL Server drops decimals first, then gives asterisks.
        const QString whole = QString::number(std::round(value), 'f', 0);
        text = whole.size() <= length ? whole : QString(length, u'*');
    }
    resultText(ctx, text.rightJustified(length, u' '));
}

// ROUND(x, n[, f]): n places, left of the point when negative (748.58 at -1
// is 750); halves away from zero, or cut off when f is not 0. Rounded on
// the decimal the value stands for, so ROUND(2.675, 2) is 2.68.
void klRound(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    const int places = std::clamp(sqlite3_value_int(argv[1]), -40, 40);
    const bool cut = argc > 2 && !isNull(argv[2]) && sqlite3_value_int(argv[2]) != 0;
    const kl::conv::Rounding mode =
        cut ? kl::conv::Rounding::TowardZero : kl::conv::Rounding::HalfAwayFromZero;
    if (sqlite3_value_numeric_type(argv[0]) == SQLITE_INTEGER) {
        const qint64 value = sqlite3_value_int64(argv[0]);
        if (places >= 0 || std::llabs(value) > (qint64(1) << 53))
            return sqlite3_result_int64(ctx, value);
        return sqlite3_result_int64(
            ctx, static_cast<qint64>(kl::conv::roundDecimal(double(value), places, mode)));
    }
    sqlite3_result_double(ctx, kl::conv::roundDecimal(sqlite3_value_double(argv[0]), places, mode));
}

// ---- texts -------------------------------------------------------------

void klLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    QStringView text = textOf(argv[0]);
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    sqlite3_result_int64(ctx, n);
}

void klCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || (argc > 2 && isNull(argv[2])))
        return sqlite3_result_null(ctx);
    const QString needle = textOf(argv[0]);
    const QString text = textOf(argv[1]);
    const qint64 start = argc > 2 ? std::max<qint64>(1, sqlite3_value_int64(argv[2])) : 1;
    if (needle.isEmpty()) return sqlite3_result_int(ctx, 0);
    const qsizetype at = indexOfCi(needle, text, start - 1);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

bool lengthArgument(sqlite3_context* ctx, sqlite3_value* v, const char* function, qint64& out) {
    out = sqlite3_value_int64(v);
    if (out >= 0) return true;
    resultError(ctx, 536,
                QStringLiteral("Se pasó un parámetro de longitud no válido a la función %1.")
                    .arg(QLatin1String(function)));
    return false;
}

// SUBSTRING(x, start, length): a start below 1 counts the positions before
// the text (SUBSTRING('abc', 0, 2) is 'a'), never from its end.
void klSubstring(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2])) return sqlite3_result_null(ctx);
    qint64 length = 0;
    if (!lengthArgument(ctx, argv[2], "substring", length)) return;
    const qint64 start = sqlite3_value_int64(argv[1]);
    const qint64 first = std::max<qint64>(start, 1);
    const qint64 end = start > std::numeric_limits<qint64>::max() - length
                           ? std::numeric_limits<qint64>::max()
                           : start + length;
    if (end <= first) return resultText(ctx, QString());
    resultText(ctx, textOf(argv[0]).mid(first - 1, end - first));
}

// REPLACE(x, find, with): `find` is sought as the collation compares
// letters (REPLACE('abcABC', 'b', 'x') is 'axcAxC').
void klReplace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2])) return sqlite3_result_null(ctx);
    const QString text = textOf(argv[0]);
    const QString find = textOf(argv[1]);
    if (find.isEmpty()) return resultText(ctx, text);
    const QString with = textOf(argv[2]);
    const QString folded = foldCase(text);
    const QString foldedFind = foldCase(find);
    QString out;
    qsizetype from = 0;
    for (qsizetype at = folded.indexOf(foldedFind); at >= 0;
         at = folded.indexOf(foldedFind, from)) {
        out += QStringView(text).mid(from, at - from);
        out += with;
        from = at + find.size();
    }
    out += QStringView(text).mid(from);
    resultText(ctx, out);
}

void klLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!lengthArgument(ctx, argv[1], "LEFT", n)) return;
    resultText(ctx, textOf(argv[0]).left(n));
}

void klRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!lengthArgument(ctx, argv[1], "RIGHT", n)) return;
    resultText(ctx, textOf(argv[0]).right(n));
}

void klReplicate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_null(ctx);
    const QString text = textOf(argv[0]);
    if (text.size() * n > 8000) return sqlite3_result_error_toobig(ctx);
    resultText(ctx, text.repeated(n));
}

void klSpace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    const qint64 n = sqlite3_value_int64(argv[0]);
    if (n < 0) return sqlite3_result_null(ctx);
    if (n > 8000) return sqlite3_result_error_toobig(ctx);
    resultText(ctx, QString(n, u' '));
}

void klUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]).toUpper());
}

void klLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]).toLower());
}

// like(pattern, text[, escape]): SQLite hands the pattern first.
void klLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || (argc > 2 && isNull(argv[2])))
        return sqlite3_result_null(ctx);
    std::optional<QChar> escape;
    if (argc > 2) {
        const QString e = textOf(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    // The value's trailing blanks do not count ('abc  ' LIKE 'abc').
    const QString pattern = textOf(argv[0]);
    const QString text = textOf(argv[1]);
    bool matched = likeMatch(pattern, text, escape);
    if (!matched && text.endsWith(u' ')) {
        qsizetype n = text.size();
        while (n > 0 && text[n - 1] == u' ') --n;
        matched = likeMatch(pattern, QStringView(text).left(n), escape);
    }
    sqlite3_result_int(ctx, matched);
}

void klError(sqlite3_context* ctx, int, sqlite3_value** argv) {
    resultError(ctx, native::UserError, isNull(argv[0]) ? QString() : textOf(argv[0]));
}

// ---- CONVERT / CAST ----------------------------------------------------

QString formatDate(const QDateTime& dt, int style) {
    switch (style) {
        case 1:
            return dt.toString(QStringLiteral("MM/dd/yy"));
        case 101:
            return dt.toString(QStringLiteral("MM/dd/yyyy"));
        case 2:
            return dt.toString(QStringLiteral("yy.MM.dd"));
        case 102:
            return dt.toString(QStringLiteral("yyyy.MM.dd"));
        case 3:
            return dt.toString(QStringLiteral("dd/MM/yy"));
        case 103:
            return dt.toString(QStringLiteral("dd/MM/yyyy"));
        case 4:
            return dt.toString(QStringLiteral("dd.MM.yy"));
        case 104:
            return dt.toString(QStringLiteral("dd.MM.yyyy"));
        case 5:
            return dt.toString(QStringLiteral("dd-MM-yy"));
        case 105:
            return dt.toString(QStringLiteral("dd-MM-yyyy"));
        case 8:
        case 108:
            return dt.toString(QStringLiteral("hh:mm:ss"));
        case 11:
            return dt.toString(QStringLiteral("yy/MM/dd"));
        case 111:
            return dt.toString(QStringLiteral("yyyy/MM/dd"));
        case 12:
            return dt.toString(QStringLiteral("yyMMdd"));
        case 112:
            return dt.toString(QStringLiteral("yyyyMMdd"));
        case 20:
        case 120:
            return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        case 21:
        case 121:
            return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        case 23:
            return dt.toString(QStringLiteral("yyyy-MM-dd"));
        case 126:
            return dt.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
        default:
            return kl::conv::formatDateTime(dt);
    }
}

// A date text read with a CONVERT style: month first for the US styles.
std::optional<QDateTime> dateFromText(const QString& text, int style) {
    if (style == 1 || style == 101) {
        const QStringList parts = text.trimmed().split(u'/');
        if (parts.size() == 3) {
            QString swapped = parts.at(1) + u'/' + parts.at(0) + u'/' + parts.at(2);
            return parseDateText(swapped);
        }
        return std::nullopt;
    }
    return parseDateText(text);
}

// What kl_convert tells the call that takes its result about a MONEY or
// DECIMAL value, which the engine stores as a plain number: SQL Server
// turns money into an integer by rounding and writes it with two decimals,
// a decimal with its scale. The engine passes the mark from a call's result
// straight into the argument of the call around it, and nowhere else.
constexpr unsigned kMoneySubtype = 'M';
constexpr unsigned kDecimalSubtype = 100;  // + the scale

// A money text: style 1 with thousands' commas, style 2 with four decimals,
// any other with two.
QString moneyText(double value, int style) {
    const int decimals = style == 2 ? 4 : 2;
    const double rounded =
        kl::conv::roundDecimal(value, decimals, kl::conv::Rounding::HalfAwayFromZero);
    QString text = QString::number(rounded, 'f', decimals);
    if (style == 1) {
        const qsizetype digitsStart = text.startsWith(u'-') ? 1 : 0;
        for (qsizetype at = text.indexOf(u'.') - 3; at > digitsStart; at -= 3)
            text.insert(at, u',');
    }
    return text;
}

QString numberText(sqlite3_value* v, int style) {
    const unsigned subtype = sqlite3_value_subtype(v);
    if (subtype == kMoneySubtype) return moneyText(sqlite3_value_double(v), style);
    if (subtype >= kDecimalSubtype && subtype <= kDecimalSubtype + 38 &&
        sqlite3_value_type(v) == SQLITE_FLOAT)
        return QString::number(sqlite3_value_double(v), 'f', int(subtype - kDecimalSubtype));
    if (sqlite3_value_type(v) == SQLITE_INTEGER) return QString::number(sqlite3_value_int64(v));
    return QString::number(sqlite3_value_double(v), 'g', 15);
}

void conversionError(sqlite3_context* ctx, const QString& value, const QString& typeName) {
    resultError(
        ctx, 245,
        QStringLiteral("Error de conversión al convertir el valor '%1' al tipo de datos %2.")
            .arg(value, typeName));
}

void klConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    sqlite3_value* v = argv[1];
    if (isNull(v)) return sqlite3_result_null(ctx);
    const QString typeText = textOf(argv[0]);
    const DeclaredType target = parseDeclaredType(typeText);
    const int style = argc > 2 && !isNull(argv[2]) ? sqlite3_value_int(argv[2]) : -1;
    const int sourceType = sqlite3_value_type(v);
    using Category = DeclaredType::Category;
    switch (target.category) {
        case Category::Text: {
            QString text;
            if (sourceType == SQLITE_INTEGER || sourceType == SQLITE_FLOAT) {
                text = numberText(v, style);
            } else {
                text = textOf(v);
                if (style >= 0) {
                    if (const std::optional<QDateTime> dt = parseDateText(text))
                        text = formatDate(*dt, style);
                }
            }
            resultText(ctx, target.maxLength > 0 ? text.left(target.maxLength) : text);
            return;
        }
        case Category::Integer:
        case Category::Boolean: {
            qint64 value = 0;
            if (sourceType == SQLITE_INTEGER) {
                value = sqlite3_value_int64(v);
            } else if (sourceType == SQLITE_FLOAT) {
                const double number = sqlite3_value_double(v);
                value = static_cast<qint64>(
                    sqlite3_value_subtype(v) == kMoneySubtype
                        ? kl::conv::roundDecimal(number, 0, kl::conv::Rounding::HalfAwayFromZero)
                        : std::trunc(number));
            } else {
                bool ok = false;
                value = textOf(v).trimmed().toLongLong(&ok);
                if (!ok) return conversionError(ctx, textOf(v), typeText);
            }
            sqlite3_result_int64(ctx, target.category == Category::Boolean ? value != 0 : value);
            return;
        }
        case Category::Float:
        case Category::Currency:
        case Category::Numeric: {
            double value = 0;
            if (sourceType == SQLITE_INTEGER || sourceType == SQLITE_FLOAT) {
                value = sqlite3_value_double(v);
            } else {
                const QString text = textOf(v);
                if (!kl::conv::isNumber(text)) return conversionError(ctx, textOf(v), typeText);
                value = kl::conv::leadingNumber(text);
            }
            const int scale = target.category == Category::Currency  ? 4
                              : target.category == Category::Numeric ? target.scale
                                                                     : -1;
            if (scale >= 0)
                value = kl::conv::roundDecimal(value, scale, kl::conv::Rounding::HalfAwayFromZero);
            if (scale == 0)
                sqlite3_result_int64(ctx, static_cast<qint64>(value));
            else
                sqlite3_result_double(ctx, value);
            if (target.category == Category::Currency)
                sqlite3_result_subtype(ctx, kMoneySubtype);
            else if (target.category == Category::Numeric)
                sqlite3_result_subtype(ctx, kDecimalSubtype + std::clamp(scale, 0, 38));
            return;
        }
        case Category::Date: {
            std::optional<QDateTime> dt;
            if (sourceType == SQLITE_TEXT)
                dt = dateFromText(textOf(v), style);
            else
                dt = dateOf(v);
            if (!dt) return badDate(ctx);
            if (target.adoType == 133) dt->setTime(QTime(0, 0));
            resultText(ctx, storedDate(*dt));
            return;
        }
        default:
            sqlite3_result_value(ctx, v);
            return;
    }
}

// ---- + between operands whose types the statement does not show -------

// One operand of kl_plus, or a partial sum.
struct PlusValue {
    enum class Type { Null, Integer, Float, Text } type = Type::Null;
    qint64 integer = 0;
    double real = 0;
    QString text;

    static PlusValue of(sqlite3_value* v) {
        PlusValue p;
        switch (sqlite3_value_type(v)) {
            case SQLITE_INTEGER:
                p.type = Type::Integer;
                p.integer = sqlite3_value_int64(v);
                break;
            case SQLITE_FLOAT:
                p.type = Type::Float;
                p.real = sqlite3_value_double(v);
                break;
            case SQLITE_NULL:
                break;
            default:
                p.type = Type::Text;
                p.text = textOf(v);
        }
        return p;
    }
    double number() const { return type == Type::Integer ? static_cast<double>(integer) : real; }
};

// SQL Server converts the text operand to the other operand's type: an int
// takes only whole numbers, a decimal or float any number; a date-time (the
// stored form a DATETIME column holds) adds days. A text that does not
// convert is error 245, as there. Answers false after setting the error.
bool addTextToNumber(sqlite3_context* ctx, const QString& text, const PlusValue& number,
                     PlusValue& sum) {
    if (text.size() == 19 && text.at(4) == u'-' && text.at(10) == u' ') {
        if (const std::optional<QDateTime> dt = parseDateText(text)) {
            sum.type = PlusValue::Type::Text;
            sum.text = storedDate(dt->addMSecs(std::llround(number.number() * 86400000.0)));
            return true;
        }
    }
    const auto fail = [&](const char* type) {
        conversionError(ctx, text, QLatin1String(type));
        return false;
    };
    if (number.type == PlusValue::Type::Integer) {
        bool ok = false;
        const qint64 whole = text.trimmed().toLongLong(&ok);
        if (!ok) return fail("int");
        sum.type = PlusValue::Type::Integer;
        sum.integer = whole;
    } else {
        if (!kl::conv::isNumber(text)) return fail("float");
        sum.type = PlusValue::Type::Float;
        sum.real = kl::conv::leadingNumber(text);
    }
    return true;
}

// Adds or joins `next` into `sum`; false after setting an error.
bool plus(sqlite3_context* ctx, PlusValue& sum, const PlusValue& next) {
    using Type = PlusValue::Type;
    if (sum.type == Type::Null || next.type == Type::Null) {
        sum = PlusValue{};
        return true;
    }
    if (sum.type == Type::Text && next.type == Type::Text) {
        sum.text += next.text;
        return true;
    }
    PlusValue left = sum;
    PlusValue right = next;
    if (left.type == Type::Text) {
        if (!addTextToNumber(ctx, left.text, right, left)) return false;
        if (left.type == Type::Text) return sum = left, true;  // a date moved by days
    } else if (right.type == Type::Text) {
        if (!addTextToNumber(ctx, right.text, left, right)) return false;
        if (right.type == Type::Text) return sum = right, true;
    }
    qint64 whole = 0;
    if (left.type == Type::Integer && right.type == Type::Integer &&
        !__builtin_add_overflow(left.integer, right.integer, &whole)) {
        sum.type = Type::Integer;
        sum.integer = whole;
    } else {
        sum.type = Type::Float;
        sum.real = left.number() + right.number();
    }
    return true;
}

// kl_plus(a, b[, c...]): ((a + b) + c)... with SQL Server's meaning of +
// decided by the values' types: two texts join, a number on either side
// adds, Null gives Null.
void klPlus(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 2) return sqlite3_result_error(ctx, "kl_plus requires two operands", -1);
    PlusValue sum = PlusValue::of(argv[0]);
    for (int k = 1; k < argc; ++k)
        if (!plus(ctx, sum, PlusValue::of(argv[k]))) return;
    switch (sum.type) {
        case PlusValue::Type::Null:
            return sqlite3_result_null(ctx);
        case PlusValue::Type::Integer:
            return sqlite3_result_int64(ctx, sum.integer);
        case PlusValue::Type::Float:
            return sqlite3_result_double(ctx, sum.real);
        case PlusValue::Type::Text:
            return resultText(ctx, sum.text);
    }
}

// ---- SUM, exact for amounts -------------------------------------------

// SQLite adds floating-point numbers as doubles: a day's journal lines come
// to 39210677.160000004 and an entry's debits minus its credits to -9.3e-10,
// where SQL Server adds MONEY and DECIMAL values exactly. Amounts are stored
// as the doubles nearest their decimals, which have at most four places; so
// such values are added as whole ten-thousandths, and the total is the
// double nearest the exact decimal total (39210677.16, and 0 for a balanced
// entry). A value with more places (a FLOAT column) makes the whole sum a
// double one, compensated; integers alone give an integer, as SQLite's.
struct ExactSum {
    __int128 tenThousandths;
    double real, compensation;  // Neumaier's sum of every value
    qint64 values;              // not Null
    qint64 reals;               // of them, not integers
    qint64 inexact;             // of them, with more than four places
};

void addReal(ExactSum& s, double x) {
    const double t = s.real + x;
    s.compensation += std::fabs(s.real) >= std::fabs(x) ? (s.real - t) + x : (x - t) + s.real;
    s.real = t;
}

// Adds (sign 1) or takes away (-1, a window's row leaving the frame) a value.
void addToSum(ExactSum& s, sqlite3_value* v, int sign) {
    const int type = sqlite3_value_numeric_type(v);
    if (type == SQLITE_NULL) return;
    s.values += sign;
    if (type == SQLITE_INTEGER) {
        const qint64 whole = sqlite3_value_int64(v);
        s.tenThousandths += __int128(sign) * whole * 10000;
        addReal(s, double(sign) * double(whole));
        return;
    }
    const double x = sqlite3_value_double(v);
    s.reals += sign;
    addReal(s, sign * x);
    const double scaled = std::nearbyint(x * 10000.0);
    if (std::fabs(scaled) < 9.0e15 && scaled / 10000.0 == x)
        s.tenThousandths += __int128(sign) * static_cast<qint64>(scaled);
    else
        s.inexact += sign;
}

// The double nearest `tenThousandths` / 10000.
double decimalTotal(__int128 tenThousandths) {
    constexpr __int128 exactLimit = __int128(1) << 53;
    if (tenThousandths < exactLimit && tenThousandths > -exactLimit)
        return double(static_cast<qint64>(tenThousandths)) / 10000.0;
    char digits[48];
    char* end = std::end(digits);
    char* at = end;
    *--at = '4';
    *--at = '-';
    *--at = 'e';
    const bool negative = tenThousandths < 0;
    unsigned __int128 magnitude =
        negative ? 0 - static_cast<unsigned __int128>(tenThousandths) : tenThousandths;
    do {
        *--at = char('0' + int(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) *--at = '-';
    double total = 0;
    std::from_chars(at, end, total);
    return total;
}

void sumResult(sqlite3_context* ctx, const ExactSum* s) {
    if (!s || s->values == 0) return sqlite3_result_null(ctx);
    if (s->inexact != 0) return sqlite3_result_double(ctx, s->real + s->compensation);
    if (s->reals != 0) return sqlite3_result_double(ctx, decimalTotal(s->tenThousandths));
    const __int128 whole = s->tenThousandths / 10000;
    if (whole > std::numeric_limits<qint64>::max() || whole < std::numeric_limits<qint64>::min())
        return sqlite3_result_error(ctx, "integer overflow", -1);
    sqlite3_result_int64(ctx, static_cast<qint64>(whole));
}

// The engine's aggregate memory is zeroed but only 8-byte aligned, less
// than __int128 asks for: the state is copied in and out.
void addToSumState(sqlite3_context* ctx, sqlite3_value* v, int sign) {
    void* state = sqlite3_aggregate_context(ctx, sizeof(ExactSum));
    if (!state) return sqlite3_result_error_nomem(ctx);
    ExactSum s;
    std::memcpy(&s, state, sizeof s);
    addToSum(s, v, sign);
    std::memcpy(state, &s, sizeof s);
}

void sumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    addToSumState(ctx, argv[0], 1);
}

void sumInverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
    addToSumState(ctx, argv[0], -1);
}

void sumValue(sqlite3_context* ctx) {
    const void* state = sqlite3_aggregate_context(ctx, 0);
    if (!state) return sumResult(ctx, nullptr);
    ExactSum s;
    std::memcpy(&s, state, sizeof s);
    sumResult(ctx, &s);
}

// ---- collations ----------------------------------------------------------

// KL_FECHA (sqlite_support.h). The key of a text: the stored form itself;
// for another text that names a date (a blank one names 1900-01-01, as SQL
// Server reads it), that date's stored form; for any other, the text. Keys
// compare byte by byte, so the order is a total one and the stored forms of
// a column compare without being read as dates.
bool hasStoredShape(const char* s, int n) {
    return n == 19 && s[4] == '-' && s[7] == '-' && s[10] == ' ' && s[13] == ':' && s[16] == ':';
}

QByteArray dateKey(const char* s, int n) {
    if (hasStoredShape(s, n)) return QByteArray::fromRawData(s, n);
    const QString text = QString::fromUtf8(s, n);
    if (text.trimmed().isEmpty())
        return storedDate(QDateTime(sqlServerEpoch(), QTime(0, 0))).toUtf8();
    if (const std::optional<QDateTime> dt = parseDateText(text)) return storedDate(*dt).toUtf8();
    return QByteArray::fromRawData(s, n);
}

int collateDates(void*, int aLength, const void* a, int bLength, const void* b) {
    const auto* x = static_cast<const char*>(a);
    const auto* y = static_cast<const char*>(b);
    if (hasStoredShape(x, aLength) && hasStoredShape(y, bLength)) return std::memcmp(x, y, 19);
    const QByteArray kx = dateKey(x, aLength);
    const QByteArray ky = dateKey(y, bLength);
    const int common = std::memcmp(kx.constData(), ky.constData(),
                                   static_cast<size_t>(std::min(kx.size(), ky.size())));
    if (common != 0) return common;
    return kx.size() < ky.size() ? -1 : (kx.size() > ky.size() ? 1 : 0);
}

int collate(void*, int aLength, const void* a, int bLength, const void* b) {
    return compareCiUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b),
                         bLength);
}

// Meanings, where they are not SQL Server's own: kl_fecha(x) turns a date
// text in any accepted form (sqlite_support.h) into the stored form, NULL for
// a text that is no date; kl_getdate() is now in the stored form; kl_datepart
// and its kin read the parts 'yy','yyyy','year','mm','m','month','dd','d',
// 'day','dw','weekday','hh','hour','mi','n','minute','ss','s','second','dy',
// 'dayofyear','wk','ww','week','qq','q','quarter' with a Spanish login's
// DATEFIRST 1 (dw 1 = Monday); DATENAME gives weekday and month names as a
// Spanish login does, capitalised ("Domingo", "Enero"); kl_val is Jet's VAL;
// kl_convert takes the type as written ("varchar(10)", "datetime") and the
// date styles 3, 101, 102, 103, 105, 108, 111, 112, 120, 121, 23 and none;
// kl_error raises its message (RAISERROR); kl_plus is SQL Server's + where the
// statement does not show the operands' types: two texts join, a number on
// either side adds (a text that is no number: error 245; a stored date-time
// adds days), Null gives Null.
constexpr EngineFunction kFunctions[] = {
    // SQL Server name, engine name, arguments, text, date part, deterministic, body
    {"ISNULL", "IFNULL", 2, 2, false, false, true, nullptr},
    {"LEN", "kl_len", 1, 1, false, false, true, klLen},
    {"VAL", "kl_val", 1, 1, false, false, true, klVal},
    {"CHARINDEX", "kl_charindex", 2, 3, false, false, true, klCharindex},
    {"SUBSTRING", "kl_substring", 3, 3, true, false, true, klSubstring},
    {"REPLACE", "kl_replace", 3, 3, true, false, true, klReplace},
    {"ROUND", "kl_round", 2, 3, false, false, true, klRound},
    {"LEFT", "kl_left", 2, 2, true, false, true, klLeft},
    {"RIGHT", "kl_right", 2, 2, true, false, true, klRight},
    {"REPLICATE", "kl_replicate", 2, 2, true, false, true, klReplicate},
    {"SPACE", "kl_space", 1, 1, true, false, true, klSpace},
    {"STR", "kl_str", 1, 3, true, false, true, klStr},
    {"UPPER", "upper", 1, 1, true, false, true, klUpper},
    {"LOWER", "lower", 1, 1, true, false, true, klLower},
    {"GETDATE", "kl_getdate", 0, 0, false, false, false, klGetdate},
    {"ISDATE", "kl_isdate", 1, 1, false, false, true, klIsdate},
    {"ISNUMERIC", "kl_isnumeric", 1, 1, false, false, true, klIsnumeric},
    {"SCOPE_IDENTITY", "last_insert_rowid", 0, 0, false, false, false, nullptr},
    {"DATEPART", "kl_datepart", 2, 2, false, true, true, klDatepart},
    {"DATENAME", "kl_datename", 2, 2, true, true, true, klDatename},
    {"DATEADD", "kl_dateadd", 3, 3, false, true, true, klDateadd},
    {"DATEDIFF", "kl_datediff", 3, 3, false, true, true, klDatediff},
    // Whether CONVERT yields a text depends on its type argument.
    {"CONVERT", "kl_convert", 2, 3, false, false, true, klConvert},
    // LIKE with SQL Server's wildcards, also for the operator.
    {nullptr, "like", 2, 3, false, false, true, klLike},
    {nullptr, "kl_fecha", 1, 1, false, false, true, klFecha},
    {nullptr, "kl_error", 1, 1, false, false, false, klError},
    {nullptr, "kl_plus", 2, -1, false, false, true, klPlus},
};

}  // namespace

std::span<const EngineFunction> engineFunctions() {
    return kFunctions;
}

const EngineFunction* sqlServerFunction(QStringView upperName) {
    for (const EngineFunction& f : kFunctions)
        if (f.sqlServerName && upperName == QLatin1String(f.sqlServerName)) return &f;
    return nullptr;
}

int registerFunctions(sqlite3* db) {
    int rc = sqlite3_create_collation(db, kCollation, SQLITE_UTF8, nullptr, collate);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation(db, kDateCollation, SQLITE_UTF8, nullptr, collateDates);
    // In place of SQLite's own sum(), for every statement, view and tool.
    if (rc == SQLITE_OK)
        rc = sqlite3_create_window_function(
            db, "sum", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC, nullptr, sumStep,
            sumValue, sumValue, sumInverse, nullptr);
    if (rc != SQLITE_OK) return rc;
    for (const EngineFunction& f : kFunctions) {
        if (!f.body) continue;
        // Innocuous: the guards' triggers and the database's views call them.
        int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (f.body == klConvert) {
            flags |= SQLITE_SUBTYPE;
#ifdef SQLITE_RESULT_SUBTYPE
            flags |= SQLITE_RESULT_SUBTYPE;
#endif
        }
        const int first = f.maxArguments < 0 ? -1 : f.minArguments;
        for (int count = first; count <= f.maxArguments; ++count) {
            rc = sqlite3_create_function_v2(db, f.engineName, count, flags, nullptr, f.body,
                                            nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) return rc;
        }
    }
    return SQLITE_OK;
}

}  // namespace kl::ado::sqlite
