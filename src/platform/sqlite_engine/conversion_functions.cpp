// The conversions: CONVERT and CAST, Jet's VAL, ISNUMERIC, STR.

#include "platform/sqlite_engine/functions.h"

#include "platform/conversions.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <QDateTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace kl::ado::sqlite::functions {

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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

}  // namespace kl::ado::sqlite::functions
