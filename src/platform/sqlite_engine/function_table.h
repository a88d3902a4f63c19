#pragma once

// The functions the embedded engine answers in place of SQL Server's, in one
// table (defined with their bodies in function_table.cpp). The dialect
// adapter reads it to respell a call and check its number of arguments
// (LEN(x) -> kl_len(x)); registerFunctions() registers every row that has a
// body, with each number of arguments the row allows. A function added here
// is therefore known to both, with one arity.

#include "platform/tsql/target.h"

#include <QStringView>

#include <span>

struct sqlite3_context;
struct sqlite3_value;

namespace kl::ado::sqlite {

using FunctionBody = void (*)(sqlite3_context*, int, sqlite3_value**);

// The spelling the translator reads, and what registering the function needs.
struct EngineFunction : tsql::FunctionSpelling {
    bool deterministic;
    FunctionBody body;  // nullptr: one of SQLite's own (ifnull, substr...)
};

std::span<const EngineFunction> engineFunctions();
// The row of a SQL Server function, by its name in upper case; nullptr when
// the engine has no function of its own for it.
const EngineFunction* sqlServerFunction(QStringView upperName);

// The embedded engine as the translator's target: these functions and the
// collation KL_CI.
const tsql::Target& embeddedTarget();

}  // namespace kl::ado::sqlite
