#pragma once

// The translator as the embedded provider runs it: for the embedded engine.

#include "platform/sqlite_engine/function_table.h"
#include "platform/tsql/translator.h"

namespace kl::test {

inline std::variant<std::vector<tsql::Statement>, RunError> adapt(
    QStringView text, const tsql::ProcedureLookup& isProcedure = {}) {
    return tsql::adapt(text, ado::sqlite::embeddedTarget(), isProcedure);
}

}  // namespace kl::test
