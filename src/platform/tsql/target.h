#pragma once

// The engine the adapted text is written for. The translator knows SQL
// Server's dialect; what it respells for an engine (SQL Server's functions
// as the engine's own, the collation its texts compare with) the engine's
// side supplies as a Target, so that a second engine is a second Target and
// not a second translator:
//
//     tsql::adapt(text, sqlite::embeddedTarget(), isProcedure)
//       "SELECT LEN(NOMBRE) FROM T"  ->  "SELECT kl_len(NOMBRE) FROM T"

#include <QStringView>

namespace kl::tsql {

// A function the engine answers in place of SQL Server's.
struct FunctionSpelling {
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
};

// What the adapter asks of a type written in SQL Server's spelling
// ("varchar(2)", "money", "datetime").
struct TypeOfName {
    enum class Kind { Other, Text, Currency, Date };
    Kind kind = Kind::Other;
    long maxLength = 0;  // a text's declared length; 0 when unbounded
};

struct Target {
    // Where the engines' statements differ, the adapter asks which one it
    // writes for. The embedded engine (SQLite) is the only one today.
    enum class Engine { Sqlite };
    Engine engine = Engine::Sqlite;
    // The collation text columns and text comparisons get.
    const char* textCollation = "";
    // The engine's spelling of a SQL Server function, by its name in upper
    // case; nullptr when the engine has no function of its own for it.
    const FunctionSpelling* (*function)(QStringView upperName) = nullptr;
    // The collation date columns get, so that a date written as text
    // compares as the date it names; "" when the engine needs none.
    const char* dateCollation = "";
    TypeOfName (*typeOf)(QStringView declared) = nullptr;
    // Whether a text names a date as SQL Server reads one (day first).
    bool (*namesDate)(QStringView text) = nullptr;
};

}  // namespace kl::tsql
