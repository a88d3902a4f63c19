#pragma once

// Adapts the statements of a batch one by one: session options and
// transaction statements, procedure calls, IF [NOT] EXISTS folded into the
// statement it guards, ALTER TABLE and CREATE TABLE in SQLite's terms,
// RAISERROR; everything else through the expression rewriter.

#include "platform/tsql/tokens.h"
#include "platform/tsql/translator.h"

#include <variant>

namespace kl::tsql {

std::variant<std::vector<Statement>, RunError> adaptStatements(std::vector<Nodes> statements,
                                                               const Target& target,
                                                               const ProcedureLookup& isProcedure);

}  // namespace kl::tsql
