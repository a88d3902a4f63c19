#include "fiscal_year.h"

#include "procedures.h"

#include "platform/conversions.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

namespace kl::klbase {

namespace {

// Easter Sunday (anonymous Gregorian algorithm).
QDate easter(int year) {
    const int a = year % 19, b = year / 100, c = year % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QString stored(const QDate& day) {
    return ado::sqlite::storedDate(QDateTime(day, QTime(0, 0)));
}

}  // namespace

std::vector<std::pair<QDate, QString>> nationalHolidays(int year) {
    const QDate pascua = easter(year);
    return {
        {QDate(year, 1, 1), "Año Nuevo"},
        {pascua.addDays(-48), "Carnaval"},
        {pascua.addDays(-47), "Carnaval"},
        {QDate(year, 3, 24), "Día de la Memoria por la Verdad y la Justicia"},
        {QDate(year, 4, 2), "Día del Veterano y de los Caídos en Malvinas"},
        {pascua.addDays(-2), "Viernes Santo"},
        {QDate(year, 5, 1), "Día del Trabajador"},
        {QDate(year, 5, 25), "Día de la Revolución de Mayo"},
        {QDate(year, 6, 17), "Paso a la Inmortalidad del Gral. Güemes"},
        {QDate(year, 6, 20), "Paso a la Inmortalidad del Gral. Belgrano"},
        {QDate(year, 7, 9), "Día de la Independencia"},
        {QDate(year, 8, 17), "Paso a la Inmortalidad del Gral. San Martín"},
        {QDate(year, 10, 12), "Día del Respeto a la Diversidad Cultural"},
        {QDate(year, 11, 20), "Día de la Soberanía Nacional"},
        {QDate(year, 12, 8), "Inmaculada Concepción de María"},
        {QDate(year, 12, 25), "Navidad"},
    };
}

StepResult writeFiscalYear(Database& db, const FiscalYear& year) {
    const int flag = year.cerrado ? 1 : 0;
    if (StepResult failed = db.insertRows("MV_EJERCICIOS",
                                          {"PERIODO", "DESCRIPCION", "FECHA DESDE", "FECHA HASTA",
                                           "CERRADO", "CANCELACION", "CIERRE", "APERTURA"},
                                          {{year.periodo, year.descripcion, stored(year.desde),
                                            stored(year.hasta), flag, flag, flag, flag}}))
        return failed;

    if (StepResult failed =
            runProcedure(db, QStringLiteral("kv_CreaCalendario"),
                         {conv::formatDate(year.desde), conv::formatDate(year.hasta)}))
        return failed;

    Statement sundays;
    if (StepResult failed = db.prepare(
            QStringLiteral("UPDATE MA_CALENDARIO SET NOLABORABLE = 1 WHERE FECHA BETWEEN ? AND ? "
                           "AND strftime('%w', FECHA) = '0'"),
            sundays))
        return failed;
    if (StepResult failed = sundays.run({stored(year.desde), stored(year.hasta)})) return failed;

    Statement holiday;
    if (StepResult failed =
            db.prepare(QStringLiteral("UPDATE MA_CALENDARIO SET NOLABORABLE = 1, DESCRIPCION = ? "
                                      "WHERE FECHA = ?"),
                       holiday))
        return failed;
    for (int calendarYear = year.desde.year(); calendarYear <= year.hasta.year(); ++calendarYear) {
        for (const auto& [day, name] : nationalHolidays(calendarYear)) {
            if (StepResult failed = holiday.run({name, stored(day)})) return failed;
        }
    }
    return std::nullopt;
}

}  // namespace kl::klbase
