#pragma once

// The summary entries of the demo's subsidiary journals: each month posted
// closes with one summary per journal, a row of MV_CONTROL_AS_RES covering
// the month, numbered per journal within the fiscal year (the module names
// it by month and number, 03-4). In the open year the sales journal's
// February summary was reversed and summarized again.

#include "fiscal_year.h"
#include "sqlite_db.h"

#include "platform/runerror.h"

#include <vector>

namespace kl::klbase {

StepResult writeSummaryEntries(Database& db, const std::vector<FiscalYear>& years,
                               int monthsOfOpenYear);

}  // namespace kl::klbase
