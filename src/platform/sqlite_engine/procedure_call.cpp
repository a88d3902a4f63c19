#include "platform/sqlite_engine/procedure_call.h"

#include "platform/sqlite_engine/errors.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <algorithm>
#include <utility>

namespace kl::ado::sqlite {

namespace {

Error syntaxError(long nativeError, const QString& description) {
    return makeError(err::Syntax, QStringLiteral("42000"), nativeError, description);
}

}  // namespace

ProcedureCall::ProcedureCall(QStringList parameters, QStringList arguments, QString body)
    : parameters_(std::move(parameters)),
      arguments_(std::move(arguments)),
      body_(std::move(body)) {}

QString ProcedureCall::definitionQuery() {
    return QStringLiteral("SELECT PARAMETROS, CUERPO FROM %1 WHERE NOMBRE = ?")
        .arg(QLatin1String(kProcedureTable));
}

std::variant<ProcedureCall, Error> ProcedureCall::check(
    const tsql::Statement& call, const std::optional<StoredProcedure>& stored) {
    if (!stored) {
        return syntaxError(
            2812,
            QStringLiteral("No se encontró el procedimiento almacenado '%1'.").arg(call.procedure));
    }
    QStringList parameters;
    for (const QString& name : stored->parameters.split(u',', Qt::SkipEmptyParts))
        if (!name.trimmed().isEmpty()) parameters << name.trimmed();
    if (call.arguments.size() > parameters.size()) {
        return syntaxError(8144, QStringLiteral("Se especificaron demasiados argumentos para el "
                                                "procedimiento o la función %1.")
                                     .arg(call.procedure));
    }
    if (call.arguments.size() < parameters.size()) {
        return syntaxError(201, QStringLiteral("El procedimiento o la función '%1' espera el "
                                               "parámetro '%2', que no se ha especificado.")
                                    .arg(call.procedure, parameters.at(call.arguments.size())));
    }
    return ProcedureCall(std::move(parameters), call.arguments, stored->body);
}

std::variant<Value, Error> ProcedureCall::argument(const QString& parameter) const {
    const auto at = std::find_if(parameters_.begin(), parameters_.end(), [&](const QString& p) {
        return p.compare(parameter, Qt::CaseInsensitive) == 0;
    });
    if (at == parameters_.end()) {
        return syntaxError(
            137, QStringLiteral("Debe declarar la variable escalar \"%1\".").arg(parameter));
    }
    const QString& value = arguments_.at(at - parameters_.begin());
    return value.isNull() ? Value::null() : Value(value);
}

}  // namespace kl::ado::sqlite
