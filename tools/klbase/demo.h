#pragma once

// The demo database: an Argentine wholesale distributor with three fiscal
// years (2024 and 2025 closed, 2026 open and active), their calendars and
// exchange rates, a chart of accounts and the journal of every month posted
// so far, built so that the configuration window accepts it unchanged.

#include "sqlite_db.h"

#include "platform/runerror.h"

namespace kl::klbase {

struct DemoSummary {
    int cuentas = 0;
    int ejercicios = 0;
    int asientos = 0;
    int renglones = 0;
    int diasCalendario = 0;
    int cotizaciones = 0;
};

// Fills a database that has the schema and nothing else.
StepResult fillDemo(Database& db, DemoSummary& summary);

}  // namespace kl::klbase
