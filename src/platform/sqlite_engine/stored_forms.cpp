#include "platform/sqlite_engine/stored_forms.h"

#include "platform/ado/ado.h"
#include "platform/conversions.h"

namespace kl::ado::sqlite {

namespace {

bool readDigits(QStringView text, qsizetype& pos, int count, int& out) {
    if (pos + count > text.size()) return false;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (!c.isDigit()) return false;
        value = value * 10 + c.digitValue();
    }
    pos += count;
    out = value;
    return true;
}

// "hh:mm[:ss[.fff]]" from pos to the end of the text.
std::optional<QTime> readTime(QStringView text, qsizetype pos) {
    int h = 0, m = 0, s = 0, ms = 0;
    if (!readDigits(text, pos, 2, h) || pos >= text.size() || text[pos++] != u':' ||
        !readDigits(text, pos, 2, m))
        return std::nullopt;
    if (pos < text.size()) {
        if (text[pos++] != u':' || !readDigits(text, pos, 2, s)) return std::nullopt;
        if (pos < text.size()) {
            if (text[pos++] != u'.') return std::nullopt;
            int digits = 0;
            while (pos < text.size() && text[pos].isDigit() && digits < 3) {
                ms = ms * 10 + text[pos++].digitValue();
                ++digits;
            }
            while (digits++ < 3) ms *= 10;
            while (pos < text.size() && text[pos].isDigit()) ++pos;
            if (pos != text.size()) return std::nullopt;
        }
    }
    const QTime time(h, m, s, ms);
    if (!time.isValid()) return std::nullopt;
    return time;
}

// The machine forms: "yyyy-MM-dd[( |T)hh:mm[:ss[.fff]]]" and "yyyyMMdd[ hh:mm[:ss]]".
std::optional<QDateTime> parseMachineForm(QStringView text) {
    qsizetype pos = 0;
    int y = 0, mo = 0, d = 0;
    if (!readDigits(text, pos, 4, y)) return std::nullopt;
    if (pos < text.size() && text[pos] == u'-') {
        ++pos;
        if (!readDigits(text, pos, 2, mo) || pos >= text.size() || text[pos++] != u'-' ||
            !readDigits(text, pos, 2, d))
            return std::nullopt;
    } else if (!readDigits(text, pos, 2, mo) || !readDigits(text, pos, 2, d)) {
        return std::nullopt;
    }
    const QDate date(y, mo, d);
    if (!date.isValid()) return std::nullopt;
    if (pos == text.size()) return QDateTime(date, QTime(0, 0));
    if (text[pos] != u' ' && text[pos] != u'T') return std::nullopt;
    const std::optional<QTime> time = readTime(text, pos + 1);
    if (!time) return std::nullopt;
    return QDateTime(date, *time);
}

int digitsAt(QStringView text, qsizetype from) {
    int n = 0;
    while (from + n < text.size() && text[from + n].isDigit()) ++n;
    return n;
}

}  // namespace

QString storedDate(const QDateTime& value) {
    return value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

std::optional<QDateTime> parseDateText(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty()) return std::nullopt;
    if (digitsAt(text, 0) >= 4) {
        if (std::optional<QDateTime> machine = parseMachineForm(text)) return machine;
    }
    return kl::conv::parseDateTime(text, kl::conv::kSqlServerTwoDigitYearEnd);
}

QString raisedError(long nativeError, const QString& text) {
    return QStringLiteral("kl-%1: %2").arg(nativeError).arg(text);
}

std::optional<RaisedError> parseRaisedError(QStringView message) {
    const qsizetype start = message.indexOf(u"kl-");
    if (start < 0) return std::nullopt;
    qsizetype pos = start + 3;
    const int digits = digitsAt(message, pos);
    if (digits == 0 || pos + digits + 1 >= message.size() || message[pos + digits] != u':')
        return std::nullopt;
    RaisedError out;
    out.nativeError = message.mid(pos, digits).toLong();
    out.text = message.mid(pos + digits + 1).trimmed().toString();
    return out;
}

QString procedureTableDdl() {
    return QStringLiteral(
        "CREATE TABLE IF NOT EXISTS KL_PROCEDIMIENTOS (NOMBRE TEXT PRIMARY KEY COLLATE KL_CI, "
        "PARAMETROS TEXT NOT NULL DEFAULT '', CUERPO TEXT NOT NULL)");
}

DeclaredType parseDeclaredType(QStringView declared) {
    using Category = DeclaredType::Category;
    const QString text = declared.trimmed().toString().toUpper();
    qsizetype nameEnd = 0;
    while (nameEnd < text.size() && (text[nameEnd].isLetterOrNumber() || text[nameEnd] == u'_'))
        ++nameEnd;
    const QString name = text.left(nameEnd);
    QStringList args;
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.indexOf(u')', open);
    if (open >= 0 && close > open) {
        for (const QString& part : text.mid(open + 1, close - open - 1).split(u','))
            args << part.trimmed();
    }
    const long size = args.isEmpty() ? 0 : args.first().toLong();
    const bool isMax = !args.isEmpty() && args.first() == u"MAX";

    DeclaredType t;
    auto set = [&t](Category c, int type, long definedSize) {
        t.category = c;
        t.adoType = type;
        t.definedSize = definedSize;
    };
    auto text_type = [&](int type, int longType) {
        if (size > 0) {
            set(Category::Text, type, size);
            t.maxLength = size;
        } else if (isMax || args.isEmpty()) {
            set(Category::Text, isMax ? longType : type, isMax ? 2147483647 : 8000);
        }
    };

    if (name == u"INT" || name == u"INTEGER" || name == u"MEDIUMINT") {
        set(Category::Integer, adInteger, 4);
    } else if (name == u"SMALLINT") {
        set(Category::Integer, adSmallInt, 2);
    } else if (name == u"TINYINT") {
        set(Category::Integer, adTinyInt, 1);
    } else if (name == u"BIGINT") {
        set(Category::Integer, adBigInt, 8);
    } else if (name == u"FLOAT" || name == u"REAL" || name == u"DOUBLE") {
        set(Category::Float, adDouble, 8);
    } else if (name == u"MONEY" || name == u"SMALLMONEY") {
        set(Category::Currency, adCurrency, 8);
    } else if (name == u"NUMERIC" || name == u"DECIMAL") {
        set(Category::Numeric, adNumeric, 19);
        t.precision = args.isEmpty() ? 18 : args.at(0).toInt();
        t.scale = args.size() < 2 ? 0 : args.at(1).toInt();
    } else if (name == u"BIT" || name == u"BOOLEAN") {
        set(Category::Boolean, adBoolean, 2);
    } else if (name == u"DATETIME" || name == u"SMALLDATETIME" || name == u"DATETIME2") {
        set(Category::Date, adDBTimeStamp, 16);
    } else if (name == u"DATE") {
        set(Category::Date, adDBDate, 6);
    } else if (name == u"VARCHAR") {
        text_type(adVarChar, adLongVarChar);
    } else if (name == u"NVARCHAR") {
        text_type(adVarWChar, adLongVarWChar);
    } else if (name == u"CHAR" || name == u"CHARACTER") {
        text_type(adChar, adLongVarChar);
    } else if (name == u"NCHAR") {
        text_type(adWChar, adLongVarWChar);
    } else if (name == u"TEXT") {
        set(Category::Text, adLongVarChar, 2147483647);
    } else if (name == u"NTEXT") {
        set(Category::Text, adLongVarWChar, 1073741823);
    } else if (name == u"BLOB" || name == u"IMAGE" || name == u"VARBINARY" || name == u"BINARY") {
        set(Category::Binary, adVarBinary, size > 0 ? size : 2147483647);
    }
    return t;
}

}  // namespace kl::ado::sqlite
