// kl_plus: SQL Server's + where the statement does not show the operands'
// types.

#include "platform/sqlite_engine/functions.h"

#include "platform/conversions.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <cmath>

namespace kl::ado::sqlite::functions {

namespace {

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

}  // namespace

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

}  // namespace kl::ado::sqlite::functions
