#pragma once

// The functions the embedded engine answers in place of SQL Server's, in one
// table (defined with their bodies in sqlite_functions.cpp). The dialect
// adapter reads it to respell a call and check its number of arguments
// (LEN(x) -> kl_len(x)); registerFunctions() registers every row that has a
// body, with each number of arguments the row allows. A function added here
// is therefore known to both, with one arity.

#include <QStringView>

#include <span>

struct sqlite3_context;
struct sqlite3_value;

namespace kl::ado::sqlite {

using FunctionBody = void (*)(sqlite3_context*, int, sqlite3_value**);

struct EngineFunction {
    // As SQL Server spells it; nullptr for the engine's own helpers, which
    // adapted text and the column guards call by their engine name.
    const char* sqlServerName;
    const char* engineName;
    int minArguments;
    int maxArguments;  // -1: any number
    // The call yields a text, so "+" next to it joins texts.
    bool returnsText;
    // The first argument is a date part written as a word (DATEPART(dw, x)),
    // passed on as a text literal ('dw').
    bool datePartFirst;
    bool deterministic;
    FunctionBody body;  // nullptr: one of SQLite's own (ifnull, substr...)
};

std::span<const EngineFunction> engineFunctions();
// The row of a SQL Server function, by its name in upper case; nullptr when
// the engine has no function of its own for it.
const EngineFunction* sqlServerFunction(QStringView upperName);

}  // namespace kl::ado::sqlite
