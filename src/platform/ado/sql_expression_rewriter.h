#pragma once

// The rewriting applied to a statement's text at every nesting level: table
// hints and owners dropped, SQL Server's functions respelt as the engine's
// (engine_functions.h), TOP as LIMIT, "+" between texts as "||" and between
// operands of unknown type as kl_plus.

#include "platform/ado/sql_tokens.h"

namespace kl::ado::sqlite::dialect {

StepResult rewriteExpressions(Nodes& seq);

}  // namespace kl::ado::sqlite::dialect
