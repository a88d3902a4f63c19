#include "platform/sqlite_engine/errors.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

namespace kl::ado::sqlite {

namespace {

// The object a message like "no such table: X" names.
QString namedObject(const QString& message, const QString& prefix) {
    return message.mid(message.indexOf(prefix) + prefix.size()).trimmed();
}

Error fromRaised(const RaisedError& raised) {
    switch (raised.nativeError) {
        case native::Truncation:
            return makeError(err::DataOverflow, QStringLiteral("22001"), raised.nativeError,
                             raised.text);
        case native::BadDate:
            return makeError(err::Conversion, QStringLiteral("22007"), raised.nativeError,
                             raised.text);
        case 245:
        case 8114:
            return makeError(err::Conversion, QStringLiteral("22018"), raised.nativeError,
                             raised.text);
        default:
            return makeError(err::Syntax, QStringLiteral("42000"), raised.nativeError, raised.text);
    }
}

Error constraintError(int code, const QString& message) {
    const QString detail = QStringLiteral(" (SQLite: %1)").arg(message);
    switch (code) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            return makeError(err::Constraint, QStringLiteral("23000"), 2627,
                             QStringLiteral("Infracción de la restricción PRIMARY KEY: no se puede "
                                            "insertar una clave duplicada.") +
                                 detail);
        case SQLITE_CONSTRAINT_UNIQUE:
            return makeError(
                err::Constraint, QStringLiteral("23000"), 2601,
                QStringLiteral("No se puede insertar una fila de clave duplicada.") + detail);
        case SQLITE_CONSTRAINT_NOTNULL:
            return makeError(err::Constraint, QStringLiteral("23000"), 515,
                             QStringLiteral("No se puede insertar el valor NULL en la columna; la "
                                            "columna no admite valores NULL.") +
                                 detail);
        case SQLITE_CONSTRAINT_FOREIGNKEY:
            return makeError(err::Constraint, QStringLiteral("23000"), 547,
                             QStringLiteral("La instrucción está en conflicto con una restricción "
                                            "FOREIGN KEY.") +
                                 detail);
        default:
            return makeError(
                err::Constraint, QStringLiteral("23000"), 547,
                QStringLiteral("La instrucción está en conflicto con una restricción.") + detail);
    }
}

Error generalError(const QString& message) {
    if (message.contains(u"no such table:")) {
        const QString name = namedObject(message, QStringLiteral("no such table:"));
        return makeError(err::NoSuchTable, QStringLiteral("42S02"), 208,
                         QStringLiteral("El nombre de objeto '%1' no es válido.").arg(name));
    }
    if (message.contains(u"no such column:")) {
        const QString name = namedObject(message, QStringLiteral("no such column:"));
        return makeError(err::Syntax, QStringLiteral("42S22"), 207,
                         QStringLiteral("El nombre de columna '%1' no es válido.").arg(name));
    }
    if (message.contains(u"no such function:")) {
        const QString name = namedObject(message, QStringLiteral("no such function:"));
        return makeError(
            err::Syntax, QStringLiteral("42000"), 195,
            QStringLiteral("'%1' no es un nombre de función integrada reconocido.").arg(name));
    }
    if (message.contains(u"already exists")) {
        return makeError(err::Syntax, QStringLiteral("42S01"), 2714,
                         QStringLiteral("Ya hay un objeto con ese nombre en la base de datos. "
                                        "(SQLite: %1)")
                             .arg(message));
    }
    if (message.contains(u"duplicate column name")) {
        return makeError(err::Syntax, QStringLiteral("42S21"), 2705,
                         QStringLiteral("Los nombres de columna de cada tabla deben ser "
                                        "únicos. (SQLite: %1)")
                             .arg(message));
    }
    return makeError(err::Syntax, QStringLiteral("42000"), 102,
                     QStringLiteral("Sintaxis incorrecta. (SQLite: %1)").arg(message));
}

}  // namespace

Error makeError(long number, const QString& sqlState, long nativeError,
                const QString& description) {
    Error e;
    e.Number = number;
    e.Description = description;
    e.Source = QString::fromLatin1(kSource);
    e.SQLState = sqlState;
    e.NativeError = nativeError;
    return e;
}

Error lostConnection(const QString& file, const QString& detail) {
    return makeError(
        err::ProviderFailure, QStringLiteral("08S01"), err::NativeNetwork,
        QStringLiteral("Se perdió la conexión con la base de datos \"%1\": %2").arg(file, detail));
}

Error damagedDatabase(const QString& file, const QString& detail) {
    return makeError(err::ProviderFailure, QStringLiteral("HY000"), 824,
                     QStringLiteral("La base de datos \"%1\" está dañada (%2). No se grabará "
                                    "nada más en ella: verifíquela con \"klbase verificar\" y "
                                    "restáurela de una copia de seguridad.")
                         .arg(file, detail));
}

QString openFailureReason(int code, const QString& message, const OpenCircumstances& around) {
    const QString permiso = QStringLiteral(
        "no hay permiso para escribir en la carpeta del archivo (el motor guarda allí sus "
        "archivos de trabajo).");
    const QString sinEspacio = QStringLiteral("no queda espacio libre en el disco.");
    switch (code & 0xff) {
        case SQLITE_CORRUPT:
            return QStringLiteral(
                       "el archivo está dañado (SQLite: %1). Verifíquelo con "
                       "\"klbase verificar\".")
                .arg(message);
        case SQLITE_NOTADB:
            return QStringLiteral("el archivo no es una base de datos.");
        case SQLITE_FULL:
            return sinEspacio;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("otro puesto tiene bloqueada la base de datos.");
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
            if (around.diskFull) return sinEspacio;
            if (!around.folderWritable) return permiso;
            if (!around.fileWritable)
                return QStringLiteral("no hay permiso para escribir el archivo.");
            return QStringLiteral("el archivo no se puede abrir (SQLite: %1).").arg(message);
        default:
            return QStringLiteral("el archivo no se puede abrir (SQLite: %1).").arg(message);
    }
}

Error errorFromSqlite(int code, const QString& message) {
    if (const std::optional<RaisedError> raised = parseRaisedError(message))
        return fromRaised(*raised);
    const QString detail = QStringLiteral(" (SQLite: %1)").arg(message);
    switch (code & 0xff) {
        case SQLITE_CONSTRAINT:
            return constraintError(code, message);
        case SQLITE_ERROR:
            return generalError(message);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return makeError(err::Timeout, QStringLiteral("HYT00"), 1222,
                             QStringLiteral("Se agotó el tiempo de espera: otro proceso tiene "
                                            "bloqueada la base de datos.") +
                                 detail);
        case SQLITE_MISMATCH:
            return makeError(err::Conversion, QStringLiteral("22018"), 245,
                             QStringLiteral("Error de conversión del tipo de datos.") + detail);
        case SQLITE_TOOBIG:
            return makeError(
                err::DataOverflow, QStringLiteral("22001"), native::Truncation,
                QStringLiteral("Los datos de cadena o binarios se truncarían.") + detail);
        case SQLITE_READONLY:
            return makeError(err::ProviderFailure, QStringLiteral("42000"), 3906,
                             QStringLiteral("No se puede actualizar la base de datos porque es de "
                                            "solo lectura.") +
                                 detail);
        case SQLITE_FULL:
            return makeError(
                err::ProviderFailure, QStringLiteral("HY000"), 1105,
                QStringLiteral("No hay espacio en el disco para la base de datos.") + detail);
        case SQLITE_INTERRUPT:
            return makeError(err::Timeout, QStringLiteral("HYT00"), 0,
                             QStringLiteral("La operación fue cancelada.") + detail);
        default:
            return makeError(err::ProviderFailure, QStringLiteral("HY000"), code,
                             QStringLiteral("Error del motor de base de datos.") + detail);
    }
}

}  // namespace kl::ado::sqlite
