// The table of the engine's functions (their bodies, by family, in
// *_functions.cpp) and the registration of them and the collation on a
// connection.

#include "platform/sqlite_engine/function_table.h"

#include "platform/collation.h"
#include "platform/sqlite_engine/functions.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

namespace kl::ado::sqlite {

namespace {

using namespace functions;

int collate(void*, int aLength, const void* a, int bLength, const void* b) {
    return collation::compareCiUtf8(static_cast<const char*>(a), aLength,
                                    static_cast<const char*>(b), bLength);
}

// Meanings, where they are not SQL Server's own: kl_fecha(x) turns a date
// text in any accepted form (stored_forms.h) into the stored form, NULL for
// a text that is no date; kl_getdate() is now in the stored form; kl_datepart
// and its kin read the parts 'yy','yyyy','year','mm','m','month','dd','d',
// 'day','dw','weekday','hh','hour','mi','n','minute','ss','s','second','dy',
// 'dayofyear','wk','ww','week','qq','q','quarter' with a Spanish login's
// DATEFIRST 1 (dw 1 = Monday); DATENAME gives weekday and month names as a
// Spanish login does, capitalised ("Domingo", "Enero"); kl_val is Jet's VAL;
// kl_convert takes the type as written ("varchar(10)", "datetime") and the
// date styles 3, 101, 102, 103, 105, 108, 111, 112, 120, 121, 23 and none;
// kl_error raises its message (RAISERROR); kl_plus is SQL Server's + where the
// statement does not show the operands' types: two texts join, a number on
// either side adds (a text that is no number: error 245; a stored date-time
// adds days), Null gives Null.
constexpr EngineFunction kFunctions[] = {
    // SQL Server name, engine name, arguments, text, date part, deterministic, body
    {"ISNULL", "IFNULL", 2, 2, false, false, true, nullptr},
    {"LEN", "kl_len", 1, 1, false, false, true, klLen},
    {"VAL", "kl_val", 1, 1, false, false, true, klVal},
    {"CHARINDEX", "kl_charindex", 2, 3, false, false, true, klCharindex},
    {"SUBSTRING", "kl_substring", 3, 3, true, false, true, klSubstring},
    {"REPLACE", "kl_replace", 3, 3, true, false, true, klReplace},
    {"ROUND", "kl_round", 2, 3, false, false, true, klRound},
    {"LEFT", "kl_left", 2, 2, true, false, true, klLeft},
    {"RIGHT", "kl_right", 2, 2, true, false, true, klRight},
    {"REPLICATE", "kl_replicate", 2, 2, true, false, true, klReplicate},
    {"SPACE", "kl_space", 1, 1, true, false, true, klSpace},
    {"STR", "kl_str", 1, 3, true, false, true, klStr},
    {"UPPER", "upper", 1, 1, true, false, true, klUpper},
    {"LOWER", "lower", 1, 1, true, false, true, klLower},
    {"GETDATE", "kl_getdate", 0, 0, false, false, false, klGetdate},
    {"ISDATE", "kl_isdate", 1, 1, false, false, true, klIsdate},
    {"ISNUMERIC", "kl_isnumeric", 1, 1, false, false, true, klIsnumeric},
    {"SCOPE_IDENTITY", "last_insert_rowid", 0, 0, false, false, false, nullptr},
    {"DATEPART", "kl_datepart", 2, 2, false, true, true, klDatepart},
    {"DATENAME", "kl_datename", 2, 2, true, true, true, klDatename},
    {"DATEADD", "kl_dateadd", 3, 3, false, true, true, klDateadd},
    {"DATEDIFF", "kl_datediff", 3, 3, false, true, true, klDatediff},
    // Whether CONVERT yields a text depends on its type argument.
    {"CONVERT", "kl_convert", 2, 3, false, false, true, klConvert},
    // LIKE with SQL Server's wildcards, also for the operator.
    {nullptr, "like", 2, 3, false, false, true, klLike},
    {nullptr, "kl_fecha", 1, 1, false, false, true, klFecha},
    {nullptr, "kl_error", 1, 1, false, false, false, klError},
    {nullptr, "kl_plus", 2, -1, false, false, true, klPlus},
};

}  // namespace

std::span<const EngineFunction> engineFunctions() {
    return kFunctions;
}

const EngineFunction* sqlServerFunction(QStringView upperName) {
    for (const EngineFunction& f : kFunctions)
        if (f.sqlServerName && upperName == QLatin1String(f.sqlServerName)) return &f;
    return nullptr;
}

const tsql::Target& embeddedTarget() {
    static const tsql::Target target{
        tsql::Target::Engine::Sqlite,
        kCollation,
        [](QStringView upperName) -> const tsql::FunctionSpelling* {
            return sqlServerFunction(upperName);
        },
        kDateCollation,
        [](QStringView declared) {
            using Kind = tsql::TypeOfName::Kind;
            const DeclaredType t = parseDeclaredType(declared);
            const Kind kind = t.category == DeclaredType::Category::Text       ? Kind::Text
                              : t.category == DeclaredType::Category::Currency ? Kind::Currency
                              : t.category == DeclaredType::Category::Date     ? Kind::Date
                                                                               : Kind::Other;
            return tsql::TypeOfName{kind, t.maxLength};
        },
        [](QStringView text) { return parseDateText(text).has_value(); }};
    return target;
}

int registerFunctions(sqlite3* db) {
    int rc = sqlite3_create_collation(db, kCollation, SQLITE_UTF8, nullptr, collate);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation(db, kDateCollation, SQLITE_UTF8, nullptr, collateDates);
    // In place of SQLite's own sum(), for every statement, view and tool.
    if (rc == SQLITE_OK)
        rc = sqlite3_create_window_function(
            db, "sum", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC, nullptr, sumStep,
            sumValue, sumValue, sumInverse, nullptr);
    if (rc != SQLITE_OK) return rc;
    for (const EngineFunction& f : kFunctions) {
        if (!f.body) continue;
        // Innocuous: the guards' triggers and the database's views call them.
        int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (f.body == klConvert) {
            flags |= SQLITE_SUBTYPE;
#ifdef SQLITE_RESULT_SUBTYPE
            flags |= SQLITE_RESULT_SUBTYPE;
#endif
        }
        const int first = f.maxArguments < 0 ? -1 : f.minArguments;
        for (int count = first; count <= f.maxArguments; ++count) {
            rc = sqlite3_create_function_v2(db, f.engineName, count, flags, nullptr, f.body,
                                            nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) return rc;
        }
    }
    return SQLITE_OK;
}

}  // namespace kl::ado::sqlite
