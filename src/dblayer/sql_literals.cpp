#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "platform/error_numbers.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace kl::db {

namespace {

// The code a classifier looks at; nullopt for anything that is not a whole
// number (a Null, a text of other characters).
std::optional<int> typeCodeOf(const Value& Qtype) {
    if (Qtype.kind() == Value::Kind::Text) {
        const QString text = Qtype.toString().trimmed();
        bool ok = false;
        const int code = text.toInt(&ok);
        return ok ? std::optional<int>(code) : std::nullopt;
    }
    if (!Qtype.isNumeric()) return std::nullopt;
    const double code = Qtype.toDouble();
    if (code != static_cast<double>(static_cast<int>(code))) return std::nullopt;
    return static_cast<int>(code);
}

bool isOneOf(const Value& Qtype, std::initializer_list<int> codes) {
    const std::optional<int> code = typeCodeOf(Qtype);
    return code && std::find(codes.begin(), codes.end(), *code) != codes.end();
}

}  // namespace

bool DB_Dll::adodate(const Value& Qtype) {
    return isOneOf(Qtype, {ado::adDate, ado::adDBDate, 137, 134, ado::adDBTimeStamp, 64});
}

bool DB_Dll::ADOText(const Value& Qtype) {
    return isOneOf(Qtype, {8, ado::adLongVarChar, ado::adLongVarWChar, ado::adVarChar,
                           ado::adVarWChar, ado::adWChar, ado::adChar});
}

bool DB_Dll::ADONumeric(const Value& Qtype) {
    return isOneOf(Qtype, {ado::adBigInt, 14, ado::adDouble, ado::adInteger, ado::adNumeric,
                           ado::adSingle, ado::adSmallInt, ado::adTinyInt, 21, 19, 18, 17});
}

bool DB_Dll::ADOCurrency(const Value& Qtype) {
    return isOneOf(Qtype, {ado::adCurrency});
}

bool DB_Dll::ADOBoolean(const Value& Qtype) {
    return isOneOf(Qtype, {ado::adBoolean});
}

QString DB_Dll::ADOComilla(const Value& Qtype) {
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

// A quote inside a text is doubled, so the value can never end the literal
// early.
Value DB_Dll::SQLValue(const Value& Valor, const QString& delimiter) {
    if (delimiter == u"@") {
        const QString amount = Valor.isNull() ? QStringLiteral("0") : Valor.toString();
        // Four decimals at most, "." as separator, no trailing zeros.
        return Value(Value::currency(conv::leadingNumber(amount)).toString().replace(u',', u'.'));
    }
    if (Valor.isNull()) return Value(QStringLiteral("NULL"));
    if (delimiter == u"'") return Value(sqlQuoted(Valor.toString()));
    return Value(Valor.toString());
}

Value DB_Dll::SQLValue2(const Value& Valor, const QString& delimiter) {
    return SQLValue(Valor, delimiter);
}

QString DB_Dll::AddBrackets(const QString& rObjName) {
    if (!rObjName.startsWith(u'[') && rObjName.contains(u' ')) return u'[' + rObjName + u']';
    return rObjName;
}

StepResult DB_Dll::StripBrackets(const QString& rsObjName, QString& stripped) {
    if (!rsObjName.startsWith(u'[')) {
        stripped = rsObjName;
        return std::nullopt;
    }
    if (rsObjName.size() < 2) {
        return RunError{ado::err::InvalidArgument,
                        QStringLiteral("Llamada a procedimiento o argumento no válido: el nombre "
                                       "\"[\" no tiene nada entre corchetes."),
                        QStringLiteral("DB_Dll.StripBrackets")};
    }
    stripped = rsObjName.mid(1, rsObjName.size() - 2);
    return std::nullopt;
}

QString DB_Dll::StripOwner(QString& rsTblName) {
    const qsizetype dot = rsTblName.indexOf(u'.');
    if (dot >= 0) rsTblName = rsTblName.mid(dot + 1);
    return rsTblName;
}

QString DB_Dll::stSTF(QString& rsName, int rnPart) {
    const qsizetype dots = rsName.count(u'.');
    if (dots == 0) return rsName;
    if (dots == 1) {
        const qsizetype dot = rsName.indexOf(u'.');
        return rnPart != 0 ? rsName.mid(dot + 1) : rsName.left(dot);
    }
    return StripOwner(rsName);
}

QString DB_Dll::StripFileName(const QString& rsFileName) {
    const qsizetype backslash = rsFileName.lastIndexOf(u'\\');
    return backslash < 0 ? QString() : rsFileName.left(backslash);
}

}  // namespace kl::db
