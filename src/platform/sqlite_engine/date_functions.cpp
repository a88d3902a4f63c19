// The date functions: kl_fecha, GETDATE, DATEPART, DATENAME, DATEADD,
// DATEDIFF, ISDATE.

#include "platform/sqlite_engine/functions.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <optional>

namespace kl::ado::sqlite::functions {

namespace {

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

}  // namespace

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

namespace {

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

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

// KL_FECHA (stored_forms.h). The key of a text: the stored form itself;
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

}  // namespace kl::ado::sqlite::functions
