// SUM in place of SQLite's own: exact for amounts.

#include "platform/sqlite_engine/functions.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

namespace kl::ado::sqlite::functions {

namespace {

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

}  // namespace

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

}  // namespace kl::ado::sqlite::functions
