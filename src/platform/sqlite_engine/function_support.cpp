// What the engine's functions share: reading arguments, giving results and
// errors.

#include "platform/sqlite_engine/functions.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

namespace kl::ado::sqlite::functions {

QString textOf(sqlite3_value* v) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(v));
}

bool isNull(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_NULL;
}

void resultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, long nativeError, const QString& text) {
    const QByteArray utf8 = raisedError(nativeError, text).toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), static_cast<int>(utf8.size()));
}

const QDate& sqlServerEpoch() {
    static const QDate epoch(1900, 1, 1);
    return epoch;
}

// A date argument: a date text, or a number of days since 1900-01-01 as SQL
// Server reads numbers.
std::optional<QDateTime> dateOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_TEXT:
            return parseDateText(textOf(v));
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: {
            const double days = sqlite3_value_double(v);
            const double whole = std::floor(days);
            return QDateTime(sqlServerEpoch().addDays(static_cast<qint64>(whole)), QTime(0, 0))
                .addMSecs(static_cast<qint64>(std::llround((days - whole) * 86400000.0)));
        }
        default:
            return std::nullopt;
    }
}

void badDate(sqlite3_context* ctx) {
    resultError(ctx, native::BadDate,
                QStringLiteral("Error de conversión al convertir una cadena de caracteres en "
                               "fecha y/u hora."));
}

void conversionError(sqlite3_context* ctx, const QString& value, const QString& typeName) {
    resultError(
        ctx, 245,
        QStringLiteral("Error de conversión al convertir el valor '%1' al tipo de datos %2.")
            .arg(value, typeName));
}

}  // namespace kl::ado::sqlite::functions
