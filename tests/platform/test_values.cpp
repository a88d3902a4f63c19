#include "platform/conversions.h"
#include "platform/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace kl {
namespace {

using conv::isNumber;
using conv::leadingNumber;
using conv::parseDate;
using conv::parseDateTime;
using conv::roundHalfEven;
using conv::roundHalfEvenToInt;

TEST(LeadingNumber, ReadsTheNumberATextStartsWith) {
    EXPECT_DOUBLE_EQ(leadingNumber(u"3abc"), 3);
    EXPECT_DOUBLE_EQ(leadingNumber(u" 2.5"), 2.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"-4e2x"), -400);
    EXPECT_DOUBLE_EQ(leadingNumber(u"+7"), 7);
    EXPECT_DOUBLE_EQ(leadingNumber(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"12,5"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1.5,3"), 1.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"7e"), 7);
    EXPECT_DOUBLE_EQ(leadingNumber(u"7e+"), 7);
}

TEST(LeadingNumber, NoNumberReadsZero) {
    EXPECT_EQ(leadingNumber(u""), 0);
    EXPECT_EQ(leadingNumber(u" "), 0);
    EXPECT_EQ(leadingNumber(u"abc"), 0);
    EXPECT_EQ(leadingNumber(u"-"), 0);
    EXPECT_EQ(leadingNumber(u"."), 0);
}

TEST(LeadingNumber, ExtremeExponentsSaturateInsteadOfFailing) {
    EXPECT_EQ(leadingNumber(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(u"-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(u"1e-999"), 0);
    EXPECT_EQ(leadingNumber(u"1e99999999999999999999"), std::numeric_limits<double>::infinity());
}

TEST(IsNumber, WholeTextMustBeANumber) {
    EXPECT_TRUE(isNumber(u"12"));
    EXPECT_TRUE(isNumber(u" -12.50 "));
    EXPECT_TRUE(isNumber(u"1e5"));
    EXPECT_TRUE(isNumber(u"3,25"));
    EXPECT_FALSE(isNumber(u""));
    EXPECT_FALSE(isNumber(u"  "));
    EXPECT_FALSE(isNumber(u"3abc"));
    EXPECT_FALSE(isNumber(u"1.2.3"));
    EXPECT_FALSE(isNumber(u"-"));
    EXPECT_FALSE(isNumber(u"1e"));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    EXPECT_EQ(roundHalfEven(0.4), 0);
    EXPECT_EQ(roundHalfEven(0.04), 0);
}

TEST(RoundHalfEven, RoundsTheDecimalTheOperatorTyped) {
    EXPECT_DOUBLE_EQ(roundHalfEven(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(roundHalfEven(2.665, 2), 2.66);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.00005, 4), 1.0);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.00015, 4), 1.0002);
    EXPECT_DOUBLE_EQ(roundHalfEven(-0.125, 2), -0.12);
    EXPECT_DOUBLE_EQ(roundHalfEven(9.995, 2), 10.0);
    EXPECT_DOUBLE_EQ(roundHalfEven(1234.5, -1), 1230);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.1, 4), 0.1);
}

TEST(RoundHalfEven, ToIntegerSaturates) {
    EXPECT_EQ(roundHalfEvenToInt(2.5), 2);
    EXPECT_EQ(roundHalfEvenToInt(-7.6), -8);
    EXPECT_EQ(roundHalfEvenToInt(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(roundHalfEvenToInt(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(roundHalfEvenToInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ParseDate, AcceptsTheUsualLayouts) {
    const QDate expected(2024, 3, 5);
    for (const char16_t* text : {u"5/3/2024", u"05/03/2024", u"05/03/24", u"5-3-2024", u"5.3.2024",
                                 u"2024-03-05", u"2024/3/5", u" 05/03/2024 "}) {
        EXPECT_EQ(parseDate(text), expected) << QString::fromUtf16(text).toStdString();
    }
}

TEST(ParseDate, TwoDigitYearsPivotAtThirty) {
    EXPECT_EQ(parseDate(u"1/1/00")->year(), 2000);
    EXPECT_EQ(parseDate(u"1/1/29")->year(), 2029);
    EXPECT_EQ(parseDate(u"1/1/30")->year(), 1930);
    EXPECT_EQ(parseDate(u"1/1/99")->year(), 1999);
}

TEST(ParseDate, RejectsWhatIsNotADate) {
    for (const char16_t* text :
         {u"", u"31/02/2024", u"29/02/2023", u"32/01/2024", u"1/13/2024", u"0/1/2024", u"1/1/202",
          u"1/1", u"1-1/2024", u"01/01/2024x", u"2024-01-05-", u"123/1/2024", u"abc", u"2024-1-123",
          u"2024-01-01 25:00", u"2024-01-01 10"}) {
        EXPECT_FALSE(parseDate(text)) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_TRUE(parseDate(u"29/02/2024"));
}

TEST(ParseDateTime, ReadsAnOptionalTime) {
    EXPECT_EQ(parseDateTime(u"05/03/2024 14:30"), QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
    EXPECT_EQ(parseDateTime(u"05/03/2024 14:30:15"),
              QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)));
    EXPECT_EQ(parseDateTime(u"2024-03-05 14:30:15.123"),
              QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)));
    EXPECT_EQ(parseDateTime(u"2024-03-05T08:00:00"), QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
    EXPECT_EQ(parseDateTime(u"5/3/2024"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    EXPECT_FALSE(parseDateTime(u"05/03/202414:30"));
    EXPECT_FALSE(parseDateTime(u"05/03/2024 14:60"));
}

TEST(FormatDate, ShowsDayMonthYear) {
    EXPECT_EQ(conv::formatDate(QDate(2024, 3, 5)), u"05/03/2024");
    EXPECT_EQ(conv::formatDate(QDate()), u"");
    EXPECT_EQ(conv::formatDateTime(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), u"05/03/2024");
    EXPECT_EQ(conv::formatDateTime(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7))),
              u"05/03/2024 09:05:07");
}

TEST(Value, KindsAreDistinct) {
    EXPECT_EQ(Value().kind(), Value::Kind::Empty);
    EXPECT_EQ(Value::null().kind(), Value::Kind::Null);
    EXPECT_EQ(Value(true).kind(), Value::Kind::Boolean);
    EXPECT_EQ(Value(3).kind(), Value::Kind::Integer);
    EXPECT_EQ(Value(3.5).kind(), Value::Kind::Double);
    EXPECT_EQ(Value::currency(3.5).kind(), Value::Kind::Currency);
    EXPECT_EQ(Value(QDate(2024, 1, 1)).kind(), Value::Kind::Date);
    EXPECT_EQ(Value("x").kind(), Value::Kind::Text);
    EXPECT_NE(Value::null(), Value());
    EXPECT_NE(Value::null(), Value(""));
    EXPECT_NE(Value(1), Value("1"));
    EXPECT_EQ(Value(1), Value(std::int64_t(1)));
    EXPECT_TRUE(Value(2).isNumeric());
    EXPECT_TRUE(Value::currency(2).isNumeric());
    EXPECT_FALSE(Value("2").isNumeric());
}

TEST(Value, TextForms) {
    EXPECT_EQ(Value().toString(), u"");
    EXPECT_EQ(Value::null().toString(), u"");
    EXPECT_EQ(Value(true).toString(), u"1");
    EXPECT_EQ(Value(false).toString(), u"0");
    EXPECT_EQ(Value(-42).toString(), u"-42");
    EXPECT_EQ(Value(12.5).toString(), u"12.5");
    EXPECT_EQ(Value(0.1 + 0.2).toString(), u"0.30000000000000004");
    EXPECT_EQ(Value(1e6).toString(), u"1000000");
    EXPECT_EQ(Value(-0.0).toString(), u"0");
    EXPECT_EQ(Value(1e20).toString(), u"1e+20");
    EXPECT_EQ(Value::currency(12.5).toString(), u"12.5");
    EXPECT_EQ(Value::currency(7).toString(), u"7");
    EXPECT_EQ(Value::currency(-1.05).toString(), u"-1.05");
    EXPECT_EQ(Value::currency(-0.0001).toString(), u"-0.0001");
    EXPECT_EQ(Value::currencyFromScaled(std::numeric_limits<std::int64_t>::min()).toString(),
              u"-922337203685477.5808");
    EXPECT_EQ(Value(QDate(2024, 3, 5)).toString(), u"05/03/2024");
    EXPECT_EQ(Value(QDateTime(QDate(2024, 3, 5), QTime(13, 0, 1))).toString(),
              u"05/03/2024 13:00:01");
    EXPECT_EQ(Value("ñandú").toString(), u"ñandú");
}

TEST(Value, CurrencyKeepsFourDecimalsHalvesToEven) {
    EXPECT_EQ(Value::currency(1.23456).currencyScaled(), 12346);
    EXPECT_EQ(Value::currency(0.00005).currencyScaled(), 0);
    EXPECT_EQ(Value::currency(0.00015).currencyScaled(), 2);
    EXPECT_EQ(Value::currency(-2.00025).currencyScaled(), -20002);
    EXPECT_EQ(Value("12,5").currencyScaled(), 125000);
    EXPECT_EQ(Value(3).currencyScaled(), 30000);
    EXPECT_EQ(Value::null().currencyScaled(), 0);
    EXPECT_DOUBLE_EQ(Value::currency(1.5).toDouble(), 1.5);
}

TEST(Value, TextFromUtf8ReadsAsFromUtf8WhateverTheValueHeld) {
    const QByteArray texts[] = {
        "", "abc", "a longer plain text than before", "año €", "\xEF\xBB\xBFbom", "bad \xFF byte"};
    const Value held[] = {Value(), Value(12), Value(QString(40, u'x')),
                          Value(QStringLiteral("ab"))};
    for (const QByteArray& utf8 : texts) {
        for (Value value : held) {
            value.setTextFromUtf8(utf8);
            EXPECT_EQ(value, Value(QString::fromUtf8(utf8))) << utf8.constData();
        }
    }
    // A copy sharing the text keeps it.
    Value value(QString(40, u'x'));
    const Value copy = value;
    value.setTextFromUtf8("new");
    EXPECT_EQ(copy.toString(), QString(40, u'x'));
    EXPECT_EQ(value.toString(), "new");
}

TEST(Value, CurrencyRoundsEveryAmountAsItsDecimalText) {
    // Amounts near a whole number of ten-thousandths take a shorter way
    // than those near a half; both must give what rounding the text gives.
    std::uint64_t seed = 88172645463325252ULL;
    for (int n = 0; n < 20000; ++n) {
        seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
        const double units = static_cast<double>(seed % 2000000000000ULL) - 1e12;
        const double amount = n % 2 ? units / 1e5 : units / 1e4 + (n % 4 == 2 ? 1e-9 : 0);
        const auto expected =
            static_cast<std::int64_t>(std::round(kl::conv::roundHalfEven(amount, 4) * 10000));
        ASSERT_EQ(Value::currency(amount).currencyScaled(), expected) << amount;
    }
}

TEST(Value, NumbersFromEveryKind) {
    EXPECT_EQ(Value::null().toDouble(), 0);
    EXPECT_EQ(Value().toInt64(), 0);
    EXPECT_EQ(Value(true).toInt64(), 1);
    EXPECT_EQ(Value(" 2.5").toInt64(), 2);
    EXPECT_EQ(Value("3abc").toInt64(), 3);
    EXPECT_EQ(Value(3.5).toInt64(), 4);
    EXPECT_EQ(Value::currency(2.5).toInt64(), 2);
    EXPECT_EQ(Value::currency(-3.5).toInt64(), -4);
    EXPECT_EQ(Value::currency(-2.5).toInt64(), -2);
    EXPECT_EQ(Value::currency(2.5001).toInt64(), 3);
    EXPECT_EQ(Value(QDate(1900, 1, 1)).toDouble(), 2);
    EXPECT_DOUBLE_EQ(Value(QDateTime(QDate(1899, 12, 30), QTime(12, 0))).toDouble(), 0.5);
}

TEST(Value, Booleans) {
    EXPECT_FALSE(Value().toBool());
    EXPECT_FALSE(Value::null().toBool());
    EXPECT_TRUE(Value(" si ").toBool());
    EXPECT_TRUE(Value("Verdadero").toBool());
    EXPECT_FALSE(Value("NO").toBool());
    EXPECT_TRUE(Value("-1").toBool());
    EXPECT_FALSE(Value("0").toBool());
    EXPECT_TRUE(Value(0.5).toBool());
    EXPECT_TRUE(Value::currency(0.0001).toBool());
    EXPECT_FALSE(Value(0).toBool());
}

TEST(Value, Dates) {
    const QDateTime march5(QDate(2024, 3, 5), QTime(0, 0));
    EXPECT_EQ(Value(QDate(2024, 3, 5)).toDateTime(), march5);
    EXPECT_EQ(Value("05/03/2024").toDateTime(), march5);
    EXPECT_FALSE(Value("31/02/2024").toDateTime().isValid());
    EXPECT_FALSE(Value::null().toDateTime().isValid());
    EXPECT_FALSE(Value(true).toDateTime().isValid());
    // Day numbers and dates convert both ways.
    EXPECT_EQ(Value(Value(march5).toDouble()).toDateTime(), march5);
    const QDateTime withTime(QDate(2024, 3, 5), QTime(18, 45, 30));
    EXPECT_EQ(Value(Value(withTime).toDouble()).toDateTime(), withTime);
    EXPECT_EQ(Value(2).toDateTime(), QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
    EXPECT_FALSE(Value(1e300).toDateTime().isValid());
}

}  // namespace
}  // namespace kl
