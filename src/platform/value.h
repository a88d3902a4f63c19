#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <variant>

namespace kl {

// The variant value the module's data travels in: field values, control
// values, configuration values. Empty (never assigned) and Null (a database
// NULL) are distinct states, as are a Null and an empty text.
class Value {
  public:
    enum class Kind { Empty, Null, Boolean, Integer, Double, Currency, Date, Text };

    Value() = default;
    Value(bool b) : data_(b) {}
    Value(int i) : data_(static_cast<std::int64_t>(i)) {}
    Value(std::int64_t i) : data_(i) {}
    Value(double d) : data_(d) {}
    Value(const QDateTime& dt) : data_(dt) {}
    Value(const QDate& d) : data_(QDateTime(d, QTime(0, 0))) {}
    Value(const QString& s) : data_(s) {}
    Value(const char* s) : data_(QString::fromUtf8(s)) {}

    static Value null();
    // Currency holds four decimals exactly, as a scaled integer.
    static Value currency(double amount);
    static Value currencyFromScaled(std::int64_t tenThousandths);

    Kind kind() const;
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNull() const { return kind() == Kind::Null; }
    // Integer, Double or Currency (a text is not numeric here, whatever it holds).
    bool isNumeric() const;

    // Conversions follow one set of rules (see conversions.h): text reads
    // its leading number, Null and Empty read as 0 / "" / false.
    // Text forms: booleans "1"/"0" (what a bit column and its SQL take),
    // numbers with "." and no trailing decimal zeros, dates dd/mm/yyyy plus
    // " hh:mm:ss" when the time is not midnight.
    QString toString() const;
    // Booleans are 1/0; dates count days since 30/12/1899.
    double toDouble() const;
    // Rounded to the nearest integer, halves to even; saturates.
    std::int64_t toInt64() const;
    // Texts "SI", "TRUE", "VERDADERO" (any case) and non-zero numbers are true.
    bool toBool() const;
    // A date value, a text recognised as a date or a day number; invalid otherwise.
    QDateTime toDateTime() const;
    std::int64_t currencyScaled() const;
    // The text a Text value holds, read in place; null for other kinds.
    const QString* text() const { return std::get_if<QString>(&data_); }
    // Becomes the Text decoded from `utf8`, as QString::fromUtf8 decodes it.
    // A text this value holds alone is written over when it has the room,
    // so a cursor reading row after row into the same values allocates
    // nothing for their texts.
    void setTextFromUtf8(QByteArrayView utf8);
    // Trades contents with `other`; two texts trade their buffers only.
    void swap(Value& other) noexcept { data_.swap(other.data_); }

    // Same kind and same value: the integer 1 differs from the text "1".
    bool operator==(const Value& other) const;

  private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct CurrencyTag {
        std::int64_t scaled = 0;
        bool operator==(const CurrencyTag&) const = default;
    };
    std::variant<std::monostate, NullTag, bool, std::int64_t, double, CurrencyTag, QDateTime,
                 QString>
        data_;
};

}  // namespace kl
