// The engine's SQL functions as a loadable SQLite module, for embedded
// databases reached through SQLite's ODBC driver, which loads it into each
// of its connections (LoadExt=<this module>): the collation and functions of
// registerFunctions() (stored_forms.h), and kl_instalar_guardas(), which
// brings the column guards in step with the schema after it changed
// (guards.h). Only the entry point is visible outside the module.

#include "platform/sqlite_engine/guards.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

namespace {

void installGuards(sqlite3_context* context, int, sqlite3_value**) {
    if (const kl::StepResult e =
            kl::ado::sqlite::installAllColumnGuards(sqlite3_context_db_handle(context))) {
        const QByteArray text = e->description.toUtf8();
        sqlite3_result_error(context, text.constData(), static_cast<int>(text.size()));
        return;
    }
    sqlite3_result_int(context, 1);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db,
                                                                             char** error,
                                                                             const void*) {
    int rc = kl::ado::sqlite::registerFunctions(db);
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_function_v2(db, "kl_instalar_guardas", 0, SQLITE_UTF8, nullptr,
                                        installGuards, nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK && error) *error = sqlite3_mprintf("%s", sqlite3_errmsg(db));
    return rc;
}
