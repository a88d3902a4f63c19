#pragma once

// The rewriting applied to a statement's text at every nesting level: table
// hints and owners dropped, SQL Server's functions respelt as the engine's
// (the target's functions), TOP as LIMIT, "+" between texts as "||" and between
// operands of unknown type as kl_plus.

#include "platform/tsql/target.h"
#include "platform/tsql/tokens.h"

namespace kl::tsql {

StepResult rewriteExpressions(Nodes& seq, const Target& target);

}  // namespace kl::tsql
