#pragma once

// The journal-entry side's rules on dates and fiscal years (MV_EJERCICIOS):
// the state of the active year, the end of the last one, whether a new
// year's dates collide with the years defined, the dates of one year and the
// operating-date window.

#include "platform/ado/ado.h"
#include "platform/runerror.h"
#include "platform/value.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kl::accounting {

class AvanceSubdiarios;
struct ResultadoSubdiarios;

// One row of MV_EJERCICIOS as the rules read it.
struct Ejercicio {
    std::int64_t periodo = 0;
    QDate fechaDesde;  // invalid when the column is Null
    QDate fechaHasta;
    bool cerrado = false;
    bool cancelacion = false;
    bool cierre = false;
    bool apertura = false;
};

// The text as a 16-bit integer, as the module converts a period number:
// blanks around it allowed, decimals rounded half to even. A text that is
// no number is a type mismatch (13), one out of range an overflow (6).
StepResult aEntero16(const QString& text, std::int16_t& out);

class Lbc_Asiento {
  public:
    explicit Lbc_Asiento(std::int16_t periodoActivo) : periodoActivo_(periodoActivo) {}

    // An instance on the active year of the configuration (key PERIODO).
    // When the key holds no period number the operator is told so and there
    // is no instance: the caller goes on without the rules.
    static std::optional<Lbc_Asiento> Crear();

    std::int16_t periodoActivo() const { return periodoActivo_; }

    // True when work in the active period is allowed; otherwise Mensaje says
    // why. A non-empty Periodo becomes the active period first. Failures go
    // to the error notice; leaving it answers false.
    bool ValidaEstadoPeriodoActual(QString& Mensaje, Value* lCierre = nullptr,
                                   Value* lCancelacion = nullptr, bool* lNoCreado = nullptr,
                                   const QString& Periodo = QString());

    // The last day of the year with the highest number; an invalid date (the
    // zero date) when there is no year or the operator left the notice.
    QDate FechaHastaUltimoPeriodo();

    // True when the range [Fecha_Desde, Fecha_Hasta] shares no day with any
    // year but lPeriodo's own (a year being edited never collides with
    // itself). False on any failure, which `error` then receives.
    bool ValidaRangoFechaEjercicio(const QString& Fecha_Desde, const QString& Fecha_Hasta,
                                   const std::optional<QString>& lPeriodo = std::nullopt,
                                   RunError* error = nullptr);

    // The year's dates as dd/mm/yyyy (the active period's when none is
    // given). No such year: the operator is told and both stay empty.
    StepResult EjercicioRango(QString& desde, QString& hasta,
                              std::optional<std::int64_t> Periodo = std::nullopt);

    // Whether the nearest year before QueEjercicio is closed (Cerrado or
    // Cierre); true when there is none. -1 stands for the active period and
    // is replaced by it. A failure answers false and fills `error`.
    bool EjercicioAnteriorCerrado(QString& QueEjercicio, RunError* error = nullptr);

    // Whether the period has journal lines on or outside either bound.
    bool ExistenMovFueraPeriodo(const QString& Periodo, const QString& NFecha_Desde,
                                const QString& NFecha_Hasta);

    // The number of days of the month; a month or year that has no day
    // (month 13) is an error.
    static StepResult UltimoDiaMes(const QString& mes, const QString& anio, std::int16_t& dias);

    // Checks a typed date against the operating-date window (keys
    // FECHAOPERDESDE and FECHAOPERHASTA). Only sets lHayError, never clears
    // it; a window key that holds no date is returned as a failure.
    static StepResult FechaValidada(const QString& Campo, QString& Mensaje, bool& lHayError);

    // Replaces the session user's rows of AUX_SUBDIARIOS with the entries
    // of journal TipoSub dated from Fecha_Desde to Fecha_Hasta, debit lines
    // beside credit lines (auxiliar_subdiarios.h). An empty Fecha_Desde
    // becomes "01/01/1990", in the caller's text too. EsArchivoLegal (true)
    // only changes the notice's title. Failures go to the error notice;
    // leaving it undoes the whole run. Without `avance` the program's
    // progress notice is shown.
    ResultadoSubdiarios GeneraAuxiliarSubdiarios(QString& Fecha_Desde, QString& Fecha_Hasta,
                                                 const QString& TipoSub,
                                                 const Value& EsArchivoLegal = Value(),
                                                 AvanceSubdiarios* avance = nullptr);

  private:
    std::int16_t periodoActivo_ = 0;
};

// A recordset the layer could not open reads as having no rows; after a
// failed open that would pass for "nothing there", so reading it is the
// failure ADO reports for a closed object.
StepResult requiereAbierto(const ado::Recordset& rs);

// The rows of MV_EJERCICIOS a statement selects, in its order.
StepResult leeEjercicios(const QString& sentencia, std::vector<Ejercicio>& out);

// The texts the rules give the operator.
namespace mensajes {
QString noHayEjercicios();
}  // namespace mensajes

}  // namespace kl::accounting
