#pragma once

// A fiscal year as the module's fiscal-year wizard leaves it: its row in
// MV_EJERCICIOS and its calendar, built by the database's own
// kv_CreaCalendario, with Sundays and the national holidays marked as
// non-working days.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QDate>
#include <QString>

#include <utility>
#include <vector>

namespace kl::klbase {

struct FiscalYear {
    int periodo = 1;
    QString descripcion;
    QDate desde;
    QDate hasta;
    // Closed years carry all four flags, as the panel's close button sets them.
    bool cerrado = false;
};

StepResult writeFiscalYear(Database& db, const FiscalYear& year);

// Argentina's national holidays of a calendar year: the fixed dates at their
// nominal day, Carnival and Good Friday.
std::vector<std::pair<QDate, QString>> nationalHolidays(int year);

}  // namespace kl::klbase
