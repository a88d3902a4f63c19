#include "platform/ado/odbc/odbc_text.h"

#include <iterator>

namespace kl::ado::odbc {

namespace {

SQLSMALLINT nts(const QString& text) {
    return text.isEmpty() ? 0 : static_cast<SQLSMALLINT>(SQL_NTS);
}

}  // namespace

DriverString::DriverString(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16)
        wide_ = text.toStdU16String();
    else
        narrow_ = text.toUtf8();
}

QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

QString fromWide(const SQLWCHAR* text) {
    qsizetype length = 0;
    while (text[length] != 0) ++length;
    return fromWide(text, length);
}

SQLRETURN driverConnect(SQLHDBC connection, const QString& text, TextEncoding encoding) {
    DriverString s(text, encoding);
    if (encoding == TextEncoding::Utf16)
        return SQLDriverConnectW(connection, nullptr, s.wide(), SQL_NTS, nullptr, 0, nullptr,
                                 SQL_DRIVER_NOPROMPT);
    return SQLDriverConnect(connection, nullptr, s.narrow(), SQL_NTS, nullptr, 0, nullptr,
                            SQL_DRIVER_NOPROMPT);
}

SQLRETURN execDirect(SQLHSTMT statement, const QString& sql, TextEncoding encoding) {
    DriverString s(sql, encoding);
    if (encoding == TextEncoding::Utf16) return SQLExecDirectW(statement, s.wide(), SQL_NTS);
    return SQLExecDirect(statement, s.narrow(), SQL_NTS);
}

SQLRETURN listTables(SQLHSTMT statement, const QString& table, const QString& types,
                     TextEncoding encoding) {
    DriverString t(table, encoding), k(types, encoding);
    if (encoding == TextEncoding::Utf16)
        return SQLTablesW(statement, nullptr, 0, nullptr, 0, table.isEmpty() ? nullptr : t.wide(),
                          nts(table), k.wide(), SQL_NTS);
    return SQLTables(statement, nullptr, 0, nullptr, 0, table.isEmpty() ? nullptr : t.narrow(),
                     nts(table), k.narrow(), SQL_NTS);
}

SQLRETURN listColumns(SQLHSTMT statement, const QString& table, TextEncoding encoding) {
    DriverString t(table, encoding);
    if (encoding == TextEncoding::Utf16)
        return SQLColumnsW(statement, nullptr, 0, nullptr, 0, table.isEmpty() ? nullptr : t.wide(),
                           nts(table), nullptr, 0);
    return SQLColumns(statement, nullptr, 0, nullptr, 0, table.isEmpty() ? nullptr : t.narrow(),
                      nts(table), nullptr, 0);
}

SQLRETURN listPrimaryKeys(SQLHSTMT statement, const QString& table, TextEncoding encoding) {
    DriverString t(table, encoding);
    if (encoding == TextEncoding::Utf16)
        return SQLPrimaryKeysW(statement, nullptr, 0, nullptr, 0, t.wide(), SQL_NTS);
    return SQLPrimaryKeys(statement, nullptr, 0, nullptr, 0, t.narrow(), SQL_NTS);
}

QString infoText(SQLHDBC connection, SQLUSMALLINT info, TextEncoding encoding) {
    SQLSMALLINT length = 0;
    if (encoding == TextEncoding::Utf16) {
        SQLWCHAR buffer[256] = {};
        if (!SQL_SUCCEEDED(SQLGetInfoW(connection, info, buffer, sizeof buffer, &length)))
            return QString();
        return fromWide(buffer);
    }
    char buffer[512] = {};
    if (!SQL_SUCCEEDED(SQLGetInfo(connection, info, buffer, sizeof buffer, &length)))
        return QString();
    return QString::fromUtf8(buffer);
}

SQLRETURN setCurrentCatalog(SQLHDBC connection, const QString& name, TextEncoding encoding) {
    DriverString s(name, encoding);
    if (encoding == TextEncoding::Utf16)
        return SQLSetConnectAttrW(connection, SQL_ATTR_CURRENT_CATALOG, s.wide(), SQL_NTS);
    return SQLSetConnectAttr(connection, SQL_ATTR_CURRENT_CATALOG, s.narrow(), SQL_NTS);
}

std::optional<QString> currentCatalog(SQLHDBC connection, TextEncoding encoding) {
    SQLINTEGER length = 0;
    if (encoding == TextEncoding::Utf16) {
        SQLWCHAR buffer[256] = {};
        if (!SQL_SUCCEEDED(SQLGetConnectAttrW(connection, SQL_ATTR_CURRENT_CATALOG, buffer,
                                              sizeof buffer, &length)))
            return std::nullopt;
        return fromWide(buffer);
    }
    char buffer[512] = {};
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(connection, SQL_ATTR_CURRENT_CATALOG, buffer,
                                         sizeof buffer, &length)))
        return std::nullopt;
    return QString::fromUtf8(buffer);
}

ColumnDescription describeColumn(SQLHSTMT statement, SQLUSMALLINT column, TextEncoding encoding) {
    ColumnDescription d;
    SQLSMALLINT nameLength = 0, nullable = 0;
    if (encoding == TextEncoding::Utf16) {
        SQLWCHAR name[256] = {};
        SQLDescribeColW(statement, column, name, static_cast<SQLSMALLINT>(std::size(name)),
                        &nameLength, &d.sqlType, &d.size, &d.decimals, &nullable);
        d.name = fromWide(name);
    } else {
        char name[512] = {};
        SQLDescribeCol(statement, column, reinterpret_cast<SQLCHAR*>(name), sizeof name,
                       &nameLength, &d.sqlType, &d.size, &d.decimals, &nullable);
        d.name = QString::fromUtf8(name);
    }
    return d;
}

QString columnAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field,
                        TextEncoding encoding) {
    SQLSMALLINT length = 0;
    if (encoding == TextEncoding::Utf16) {
        SQLWCHAR buffer[256] = {};
        if (!SQL_SUCCEEDED(SQLColAttributeW(statement, column, field, buffer, sizeof buffer,
                                            &length, nullptr)))
            return QString();
        return fromWide(buffer);
    }
    char buffer[512] = {};
    if (!SQL_SUCCEEDED(
            SQLColAttribute(statement, column, field, buffer, sizeof buffer, &length, nullptr)))
        return QString();
    return QString::fromUtf8(buffer);
}

bool readText(SQLHSTMT statement, SQLUSMALLINT column, TextEncoding encoding,
              std::optional<QString>& out) {
    const bool wide = encoding == TextEncoding::Utf16;
    const SQLSMALLINT cType = wide ? SQL_C_WCHAR : SQL_C_CHAR;
    const qsizetype unit = wide ? 2 : 1;
    QByteArray bytes;
    char buffer[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(statement, column, cType, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) return false;
        if (indicator == SQL_NULL_DATA) {
            out.reset();
            return true;
        }
        // A piece that did not fit fills the buffer but for its terminator.
        const qsizetype room = static_cast<qsizetype>(sizeof buffer) - unit;
        const qsizetype got = indicator == SQL_NO_TOTAL || indicator > room
                                  ? room
                                  : static_cast<qsizetype>(indicator);
        bytes.append(buffer, got);
        if (rc == SQL_SUCCESS) break;
    }
    out = wide ? fromWide(reinterpret_cast<const SQLWCHAR*>(bytes.constData()), bytes.size() / 2)
               : QString::fromUtf8(bytes);
    return true;
}

bool diagnosticRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record,
                      TextEncoding encoding, QString& state, long& native, QString& message) {
    SQLINTEGER nativeError = 0;
    SQLSMALLINT length = 0;
    if (encoding == TextEncoding::Utf16) {
        SQLWCHAR code[6] = {};
        SQLRETURN rc =
            SQLGetDiagRecW(handleType, handle, record, code, &nativeError, nullptr, 0, &length);
        if (!SQL_SUCCEEDED(rc)) return false;
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        rc = SQLGetDiagRecW(handleType, handle, record, code, &nativeError,
                            reinterpret_cast<SQLWCHAR*>(text.data()),
                            static_cast<SQLSMALLINT>(text.size()), &length);
        if (!SQL_SUCCEEDED(rc)) return false;
        state = fromWide(code);
        message = QString::fromStdU16String(text).left(length);
    } else {
        SQLCHAR code[6] = {};
        SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, code, &nativeError, nullptr, 0, &length);
        if (!SQL_SUCCEEDED(rc)) return false;
        QByteArray text(length + 1, '\0');
        rc = SQLGetDiagRec(handleType, handle, record, code, &nativeError,
                           reinterpret_cast<SQLCHAR*>(text.data()),
                           static_cast<SQLSMALLINT>(text.size()), &length);
        if (!SQL_SUCCEEDED(rc)) return false;
        state = QString::fromLatin1(reinterpret_cast<const char*>(code));
        message = QString::fromUtf8(text.left(length));
    }
    native = nativeError;
    return true;
}

}  // namespace kl::ado::odbc
