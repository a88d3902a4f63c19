#include "platform/value.h"

#include "platform/conversions.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace kl {

namespace {

constexpr std::int64_t kCurrencyScale = 10000;

// Dates travel as numbers the way the module's other programs count them:
// days since 30/12/1899, the time as the fraction of a day.
const QDateTime& dateEpoch() {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    return epoch;
}

double dateToSerial(const QDateTime& dt) {
    if (!dt.isValid()) return 0;
    const qint64 days = dateEpoch().date().daysTo(dt.date());
    const double fraction = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return double(days) + (days < 0 ? -fraction : fraction);
}

QDateTime serialToDate(double serial) {
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) return {};
    const double days = std::trunc(serial);
    const qint64 msecs = std::llround(std::fabs(serial - days) * 86400000.0);
    return QDateTime(dateEpoch().date().addDays(qint64(days)), QTime(0, 0).addMSecs(int(msecs)));
}

std::int64_t saturate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

// Shortest text that reads back as the same double, "." as the decimal
// separator, plain digits over the range amounts and counts live in.
QString doubleText(double d) {
    if (std::isnan(d)) return QStringLiteral("NaN");
    if (std::isinf(d)) return d > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    const double magnitude = std::fabs(d);
    const auto format = (d == 0 || (magnitude >= 1e-10 && magnitude < 1e16))
                            ? std::chars_format::fixed
                            : std::chars_format::scientific;
    char buffer[400];
    const auto printed = std::to_chars(buffer, buffer + sizeof buffer, d, format);
    QString text = QString::fromLatin1(buffer, printed.ptr - buffer);
    return text == u"-0" ? QStringLiteral("0") : text;
}

QString currencyText(std::int64_t scaled) {
    // Written into a small buffer: a lookup shows this for every amount of
    // a hundred thousand rows.
    char buffer[32];
    char* end = buffer;
    if (scaled < 0) *end++ = '-';
    // Work on the unsigned magnitude so the most negative value stays exact.
    const std::uint64_t magnitude =
        scaled < 0 ? std::uint64_t(0) - std::uint64_t(scaled) : std::uint64_t(scaled);
    end = std::to_chars(end, std::end(buffer), magnitude / kCurrencyScale).ptr;
    std::uint64_t fraction = magnitude % kCurrencyScale;
    if (fraction != 0) {
        *end++ = '.';
        for (std::uint64_t unit = kCurrencyScale / 10; fraction != 0; unit /= 10) {
            *end++ = static_cast<char>('0' + fraction / unit);
            fraction %= unit;
        }
    }
    return QString::fromLatin1(buffer, end - buffer);
}

}  // namespace

void Value::setTextFromUtf8(QByteArrayView utf8) {
    // Plain ASCII, nearly every text a database holds, is widened over the
    // held text without a branch per character and checked once after;
    // anything else, or a text shared or too small, is decoded anew.
    QString* held = std::get_if<QString>(&data_);
    if (held && held->isDetached() && held->capacity() >= utf8.size()) {
        const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
        const qsizetype size = utf8.size();
        held->resize(size);
        auto* out = reinterpret_cast<char16_t*>(held->data());
        unsigned char all = 0;
        for (qsizetype i = 0; i < size; ++i) {
            all |= in[i];
            out[i] = in[i];
        }
        if (all < 0x80) return;
    }
    data_ = QString::fromUtf8(utf8);
}

Value Value::null() {
    Value v;
    v.data_ = NullTag{};
    return v;
}

Value Value::currency(double amount) {
    // Amounts read from a column nearly always have four decimals or fewer:
    // scaled, they lie next to a whole number, and rounding the decimal text
    // could only land on the same one. The text is needed near a half, where
    // 2.67505 (stored as 2.675049999...) must round as typed. Below 1e9 the
    // scaling's own error stays far under the quarter that separates them.
    const double scaled = amount * kCurrencyScale;
    if (std::fabs(amount) < 1e9) {
        const double whole = std::round(scaled);
        if (std::fabs(scaled - whole) < 0.25) return currencyFromScaled(saturate(whole));
    }
    return currencyFromScaled(
        saturate(std::round(conv::roundHalfEven(amount, 4) * kCurrencyScale)));
}

Value Value::currencyFromScaled(std::int64_t tenThousandths) {
    Value v;
    v.data_ = CurrencyTag{tenThousandths};
    return v;
}

Value::Kind Value::kind() const {
    // The variant's alternatives are declared in the order of Kind.
    return static_cast<Kind>(data_.index());
}

bool Value::isNumeric() const {
    const Kind k = kind();
    return k == Kind::Integer || k == Kind::Double || k == Kind::Currency;
}

QString Value::toString() const {
    switch (kind()) {
        case Kind::Empty:
        case Kind::Null:
            return QString();
        case Kind::Boolean:
            return std::get<bool>(data_) ? QStringLiteral("1") : QStringLiteral("0");
        case Kind::Integer:
            return QString::number(std::get<std::int64_t>(data_));
        case Kind::Double:
            return doubleText(std::get<double>(data_));
        case Kind::Currency:
            return currencyText(std::get<CurrencyTag>(data_).scaled);
        case Kind::Date:
            return conv::formatDateTime(std::get<QDateTime>(data_));
        case Kind::Text:
            return std::get<QString>(data_);
    }
    return QString();
}

double Value::toDouble() const {
    switch (kind()) {
        case Kind::Empty:
        case Kind::Null:
            return 0;
        case Kind::Boolean:
            return std::get<bool>(data_) ? 1 : 0;
        case Kind::Integer:
            return double(std::get<std::int64_t>(data_));
        case Kind::Double:
            return std::get<double>(data_);
        case Kind::Currency:
            return double(std::get<CurrencyTag>(data_).scaled) / kCurrencyScale;
        case Kind::Date:
            return dateToSerial(std::get<QDateTime>(data_));
        case Kind::Text:
            return conv::leadingNumber(std::get<QString>(data_));
    }
    return 0;
}

std::int64_t Value::toInt64() const {
    switch (kind()) {
        case Kind::Integer:
            return std::get<std::int64_t>(data_);
        case Kind::Currency: {
            const std::int64_t scaled = std::get<CurrencyTag>(data_).scaled;
            std::int64_t whole = scaled / kCurrencyScale;
            const std::int64_t rest = scaled % kCurrencyScale;
            const std::int64_t half = kCurrencyScale / 2;
            if (rest > half || (rest == half && whole % 2 != 0)) ++whole;
            if (rest < -half || (rest == -half && whole % 2 != 0)) --whole;
            return whole;
        }
        default:
            return conv::roundHalfEvenToInt(toDouble());
    }
}

bool Value::toBool() const {
    if (kind() == Kind::Boolean) return std::get<bool>(data_);
    if (kind() == Kind::Text) {
        const QString text = std::get<QString>(data_).trimmed();
        for (const char* yes : {"SI", "SÍ", "TRUE", "VERDADERO"}) {
            if (text.compare(QString::fromUtf8(yes), Qt::CaseInsensitive) == 0) return true;
        }
    }
    if (kind() == Kind::Currency) return std::get<CurrencyTag>(data_).scaled != 0;
    return toDouble() != 0;
}

QDateTime Value::toDateTime() const {
    switch (kind()) {
        case Kind::Date:
            return std::get<QDateTime>(data_);
        case Kind::Text:
            return conv::parseDateTime(std::get<QString>(data_)).value_or(QDateTime());
        case Kind::Integer:
        case Kind::Double:
        case Kind::Currency:
            return serialToDate(toDouble());
        default:
            return {};
    }
}

std::int64_t Value::currencyScaled() const {
    switch (kind()) {
        case Kind::Currency:
            return std::get<CurrencyTag>(data_).scaled;
        case Kind::Integer: {
            const std::int64_t i = std::get<std::int64_t>(data_);
            constexpr std::int64_t limit =
                std::numeric_limits<std::int64_t>::max() / kCurrencyScale;
            if (i > limit) return std::numeric_limits<std::int64_t>::max();
            if (i < -limit) return std::numeric_limits<std::int64_t>::min();
            return i * kCurrencyScale;
        }
        default:
            return currency(toDouble()).currencyScaled();
    }
}

bool Value::operator==(const Value& other) const {
    return data_ == other.data_;
}

}  // namespace kl
