#pragma once

// Adapts statements written in SQL Server's dialect to SQLite, inside the
// embedded provider. Works on tokens, so quoted literals, bracketed names
// and nesting are respected.

#include "platform/runerror.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace kl::ado::sqlite {

// One statement of a batch: either SQLite text or a call of one of the
// database's procedures.
struct Statement {
    QString sql;
    QString procedure;      // set when the statement calls a procedure
    QStringList arguments;  // the call's argument values, literals unquoted
    bool isProcedureCall() const { return !procedure.isEmpty(); }
};

// Tells whether a name is one of the database's procedures (so that a bare
// "kv_CreaCalendario 'a','b'" is recognised as a call).
using ProcedureLookup = std::function<bool(const QString& name)>;

// Adapts a batch (one or more statements separated by ";" or GO lines).
// Malformed text (an unterminated literal or bracket, a TOP without its
// number...) gives an error numbered as ADO's syntax error.
std::variant<std::vector<Statement>, RunError> adapt(QStringView sqlServerText,
                                                     const ProcedureLookup& isProcedure = {});

// The table a statement of the form
//   SELECT [TOP n [PERCENT]] <columns> FROM <table> [with(nolock)] [WHERE ...] [ORDER BY ...]
// reads, without brackets or owner; nullopt for anything else (joins,
// several tables, grouping, subqueries in FROM). Recordsets opened on such a
// statement can write their rows back to that table.
std::optional<QString> singleTableOf(QStringView sqlServerText);

}  // namespace kl::ado::sqlite
