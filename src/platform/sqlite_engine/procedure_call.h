#pragma once

// A call of one of an embedded database's procedures (the rows of
// KL_PROCEDIMIENTOS), checked and given its arguments as SQL Server does:
// the same errors whichever way the database is reached (the SQLite library
// or SQLite's ODBC driver). Each of those runs the body's statements itself.

#include "platform/ado/ado.h"
#include "platform/tsql/translator.h"
#include "platform/value.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace kl::ado::sqlite {

// A procedure's row: its columns PARAMETROS and CUERPO.
struct StoredProcedure {
    QString parameters;
    QString body;
};

class ProcedureCall {
  public:
    // Reads a procedure's PARAMETROS and CUERPO; its one marker takes the
    // procedure's name.
    static QString definitionQuery();

    // `stored` is nullopt when the database holds no such procedure (or no
    // procedure table).
    static std::variant<ProcedureCall, Error> check(const tsql::Statement& call,
                                                    const std::optional<StoredProcedure>& stored);

    const QString& body() const { return body_; }

    // The value passed for a parameter the body names ("@desde", any letter
    // case): text, or null for a NULL argument.
    std::variant<Value, Error> argument(const QString& parameter) const;

  private:
    ProcedureCall(QStringList parameters, QStringList arguments, QString body);

    QStringList parameters_;
    QStringList arguments_;  // one for each parameter, in order
    QString body_;
};

}  // namespace kl::ado::sqlite
