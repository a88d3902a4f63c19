#pragma once

// Adapts statements written in SQL Server's dialect to another engine's
// (target.h; today the embedded engine, SQLite). Pure text: it reads no
// database, the engine's side tells it the engine's spellings. Works on tokens, so quoted literals,
// bracketed names and nesting are respected.
//
// SQL Server's functions become the engine's (LEN(x) -> kl_len(x)) as the
// target's function table says, which also gives the number of arguments
// each takes; YEAR/MONTH/DAY(d) -> kl_datepart('year', d); CAST(x AS type)
// -> kl_convert('type', x); a date part written as a word becomes a text
// literal ('dw'). Text columns declared by CREATE TABLE and ALTER TABLE ...
// ADD without a collation of their own get KL_CI, as do COLLATE *_CI_*
// clauses (other collations become BINARY).
//
// Rewrites: TOP n / TOP (n) -> LIMIT at the end of its (sub)query, a member of
// a UNION wrapped as SELECT * FROM (... LIMIT n); TOP 100 PERCENT dropped;
// table hints (with(nolock), (nolock)) and dbo. owners dropped; bracketed and
// double-quoted names written [name] (SQLite never reads a bracketed name as a
// text, unlike "name"); N'..' -> '..'; Jet #mm/dd/yyyy# -> the stored date
// form; DELETE t -> DELETE FROM t; TRUNCATE TABLE t -> DELETE FROM t; + between
// texts -> ||, + between operands of unknown type -> kl_plus (see joinTexts in
// the .cpp); IF [NOT] EXISTS (...) before one
// INSERT, UPDATE or DELETE folded into that statement; BEGIN/COMMIT/ROLLBACK
// TRAN[SACTION] -> BEGIN/COMMIT/ROLLBACK; SET NOCOUNT ON and other session
// options -> nothing; ALTER TABLE t ADD a ..., b ... -> one ADD COLUMN each,
// CONSTRAINT names dropped (a new nullable column with a default is emptied
// again, as SQL Server leaves existing rows NULL without WITH VALUES);
// CREATE TABLE keeps the declared types, drops CLUSTERED and ON [PRIMARY],
// and makes the IDENTITY column INTEGER PRIMARY KEY AUTOINCREMENT (it must be
// the primary key, or the table have none). Text SQLite cannot carry (a NUL
// character) or constructs it cannot express (IF ... ELSE, BEGIN ... END
// blocks, TOP n PERCENT other than 100, ALTER COLUMN...) are refused.

#include "platform/runerror.h"
#include "platform/tsql/target.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace kl::tsql {

// One statement of a batch: either SQLite text or a call of one of the
// database's procedures.
struct Statement {
    QString sql;
    QString procedure;      // set when the statement calls a procedure
    QStringList arguments;  // the call's argument values, literals unquoted;
                            // a NULL argument is a null QString
    bool isProcedureCall() const { return !procedure.isEmpty(); }
};

// Tells whether a name is one of the database's procedures (so that a bare
// "kv_CreaCalendario 'a','b'" is recognised as a call).
using ProcedureLookup = std::function<bool(const QString& name)>;

// Adapts a batch (one or more statements separated by ";", GO lines, or
// following each other as SQL Server allows). Malformed text (an
// unterminated literal or bracket, unbalanced parentheses, a TOP without its
// number...) and constructs SQLite cannot express give an error numbered as
// ADO's syntax error, with a Spanish description.
std::variant<std::vector<Statement>, RunError> adapt(QStringView sqlServerText,
                                                     const Target& target,
                                                     const ProcedureLookup& isProcedure = {});

// The table a statement of the form
//   SELECT [TOP n [PERCENT]] <columns> FROM <table> [[AS] alias] [with(nolock)]
//   [WHERE ...] [ORDER BY ...]
// reads, without brackets or owner; nullopt for anything else (DISTINCT,
// joins, several tables, grouping, unions, subqueries in FROM). Recordsets
// opened on such a statement can write their rows back to that table.
std::optional<QString> singleTableOf(QStringView sqlServerText);

}  // namespace kl::tsql
