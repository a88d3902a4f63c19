#pragma once

// The national reference tables every accounting database carries: the AFIP
// VAT conditions, the provinces with their Convenio Multilateral
// jurisdiction codes, and the currencies of the rate table.

#include "sqlite_db.h"

#include "platform/runerror.h"

namespace kl::klbase {

StepResult writeNationalTables(Database& db);

}  // namespace kl::klbase
