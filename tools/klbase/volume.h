#pragma once

// Large generated databases for benchmarks of the account renumbering: the
// company's configuration with one open fiscal year, a chart of a given
// number of accounts on the company's level structure, and a given number
// of journal lines in balanced entries spread over the year. Rows stream
// through one prepared statement inside one transaction, so memory does not
// grow with the number of lines.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <cstdint>

namespace kl::klbase {

struct VolumeSummary {
    std::int64_t cuentas = 0;
    std::int64_t asientos = 0;
    std::int64_t renglones = 0;
};

// Checks the figures before anything is built.
StepResult checkVolume(std::int64_t accounts, std::int64_t lines);

// Fills a database whose schema was made by createSchemaForBulkLoad; the
// caller finishes the schema afterwards.
StepResult fillVolume(Database& db, std::int64_t accounts, std::int64_t lines,
                      VolumeSummary& summary);

}  // namespace kl::klbase
