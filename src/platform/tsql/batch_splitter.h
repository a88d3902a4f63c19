#pragma once

// Cuts a batch into statements as SQL Server reads it: at ";" outside
// BEGIN/CASE ... END, at GO lines, and where a statement keyword starts a
// new statement ("INSERT ... VALUES (1) SELECT * FROM T" is two).

#include "platform/tsql/tokens.h"

namespace kl::tsql {

std::vector<Nodes> splitBatch(Nodes tree);

// Nodes of a statement that ends by itself: "SET NOCOUNT ON", "BEGIN TRAN",
// "COMMIT TRANSACTION name"...; 0 when top[i] starts no such statement.
size_t selfDelimitedLength(const Nodes& top, size_t i);

}  // namespace kl::tsql
