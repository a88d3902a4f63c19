// libFuzzer target for the SQL Server -> SQLite dialect adapter: any text
// gives statements or a syntax error, and every statement it gives is
// lexically complete SQLite (closed literals, names and comments).

#include "platform/sqlite_engine/function_table.h"
#include "platform/tsql/translator.h"

#include "platform/ado/ado.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>

namespace {

bool looksLikeProcedure(const QString& name) {
    return name.startsWith(u"kv_", Qt::CaseInsensitive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto result = kl::tsql::adapt(text, kl::ado::sqlite::embeddedTarget(), looksLikeProcedure);
    if (const auto* error = std::get_if<kl::RunError>(&result)) {
        if (error->number != kl::ado::err::Syntax || error->description.isEmpty()) __builtin_trap();
    } else {
        for (const auto& statement : std::get<std::vector<kl::tsql::Statement>>(result)) {
            if (statement.isProcedureCall()) continue;
            if (statement.sql.isEmpty()) __builtin_trap();
            // A trigger's body may be cut short by the input itself.
            if (statement.sql.contains(u"TRIGGER", Qt::CaseInsensitive)) continue;
            const QByteArray sql = statement.sql.toUtf8() + ";";
            if (!sqlite3_complete(sql.constData())) __builtin_trap();
        }
    }
    kl::tsql::singleTableOf(text);
    return 0;
}
