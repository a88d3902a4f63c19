#include "demo_summaries.h"

#include "demo_catalogues.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

#include <map>

namespace kl::klbase {

StepResult writeSummaryEntries(Database& db, const std::vector<FiscalYear>& years,
                               int monthsOfOpenYear) {
    const QString journals[] = {kSubdiarioVentas, kSubdiarioCompras, kSubdiarioTesoreria};
    constexpr int kReversedMonth = 2;
    std::vector<std::vector<Value>> rows;
    for (const FiscalYear& year : years) {
        std::map<QString, int> ids;
        const int months = year.cerrado ? 12 : monthsOfOpenYear;
        for (int m = 0; m < months; ++m) {
            const QDate first = year.desde.addMonths(m);
            const QString desde = ado::sqlite::storedDate(QDateTime(first, QTime(0, 0)));
            const QString hasta = ado::sqlite::storedDate(
                QDateTime(first.addDays(first.daysInMonth() - 1), QTime(0, 0)));
            for (const QString& journal : journals) {
                const bool redone =
                    !year.cerrado && m + 1 == kReversedMonth && journal == kSubdiarioVentas;
                if (redone)
                    rows.push_back({journal, year.periodo, ++ids[journal], desde, hasta, 1});
                rows.push_back({journal, year.periodo, ++ids[journal], desde, hasta, 0});
            }
        }
    }
    return db.insertRows("MV_CONTROL_AS_RES",
                         {"SUBDIARIO", "PERIODO", "ID", "FECHA_DESDE", "FECHA_HASTA", "ANULADO"},
                         rows);
}

}  // namespace kl::klbase
