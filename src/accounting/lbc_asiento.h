#pragma once

// The journal-entry side's rules on dates and fiscal years (MV_EJERCICIOS):
// the state of the active year, the end of the last one, whether a new
// year's dates collide with the years defined, the dates of one year and the
// operating-date window. The data-entry programs also find here the numbering
// of entries (numeracion_asientos.cpp) and the checks on vouchers, journals
// and accounts made before an entry is recorded (validacion_comprobantes.cpp).

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
// The same for a 32-bit integer, as the module converts an entry number.
StepResult aEntero32(const QString& text, std::int32_t& out);
// The date a text holds (dd/mm/yyyy and the forms conv::parseDate knows); a
// text that holds none is a type mismatch (13).
StepResult aFecha(const QString& text, QDate& out);

// Where a voucher already recorded sits in the journal; the strings are the
// line's columns as read (Null read as empty).
struct AsientoDelComprobante {
    QString MesOP;
    QString NroAsiento;
    QString PeriodoModif;
};

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

    // ---- Entry numbering (numeracion_asientos.cpp). Entry numbers have a
    // plain form (125) and a display form: the two-digit operating month, "-"
    // and the number in seven digits (03-0000125).

    // The next free number of the operating month in the general journal
    // (or in TipoReg's journal), in the active period or in Periodo. The
    // month and the period must be whole numbers. Failures go to the error
    // notice; leaving it answers 0.
    std::int32_t UltimoNumeroAsiento(const Value& mesOperativo,
                                     const std::optional<QString>& TipoReg = std::nullopt,
                                     const std::optional<Value>& Periodo = std::nullopt);
    // 125 on a day of March gives 03-0000125. A number that is no number
    // fails.
    static StepResult FormatDisplayNroAsiento(const Value& numero, const QDate& fecha,
                                              QString& display);
    // The display form of a compact text: 03125 and 030000125 give
    // 03-0000125; texts shorter than three characters come back unchanged.
    static QString FMTNroAsiento(const QString& texto);
    // The plain number of a display form: 03-0000125 gives 125.
    static QString FormatNroAsiento(const QString& display);
    // Both parts without the separator and their leading zeros: 03-0000125
    // gives the text 3125, or the number 3125 when TipoResultado is 2 or 3.
    static StepResult EliminaCarNroAsiento(const QString& texto, Value& resultado,
                                           std::optional<int> TipoResultado = std::nullopt,
                                           const QString& Separador = QStringLiteral("-"));
    // The check value (0 to 99) of an account code: digits weighted 9, 7, 5,
    // 3, 1 in turn, the sum divided by ten until it has two digits.
    static std::int16_t CalculoDV(const Value& cuenta);
    // The last inflation-adjustment entry of the active period: its date
    // (dd/mm/yyyy), the date it adjusts to and its number; empty and 0 when
    // there is none.
    StepResult UltimoAjuste(QString& fecha, QString& periodo, Value& NroAsiento) const;
    // The next fixed-asset code, and the next change number of one asset
    // (whose code must be a whole number); "1" when there are none yet, an
    // empty text when the operator left the error notice.
    static QString UltimoIDBienDeUso();
    static QString UltimoIDNovedadBienDeUso(const QString& codigo);

    // ---- Voucher and journal checks (validacion_comprobantes.cpp). Voucher
    // type and business-unit codes are looked up right-aligned to four
    // characters. Unless said otherwise, failures go to the error notice
    // under the method's name and leaving it answers what was reached (false
    // for an answer not yet given).

    // False when an active summary entry of the journal covers the date. A
    // date that is no date fails, for the caller to handle.
    StepResult ValidaFechaSubdiario(const QString& fecha, const QString& Subdiario,
                                    bool& valida) const;
    // Whether the journal takes the voucher type.
    static bool ValidaSubdiarioTC(const QString& Subdiario, const QString& TC);
    // Whether some journal takes the voucher type.
    static bool ValidaTCRegistraciones(const QString& Tipo);
    // The letter of a voucher for a client of the tax condition given, after
    // the company's own condition (key CONDIVA): A, B, C, or Z when the key
    // is not set.
    static QString DeterminaLetra(const QString& COND_IVA_CLIEN);
    // The default point of sale ("0003") and last number ("00000124") of the
    // voucher type for the letter L (one of ABCXEMR, in any case), from its
    // lowest pad of the business unit Uneg, or of any unit when that has
    // none. An empty or unknown letter changes nothing; no pad at all
    // empties the three outputs.
    void DatosComprobante(const QString& TC, QString& suc, QString& Nro, QString& L,
                          const QString& Uneg);
    // The pad DatosComprobante found last; 0 when none.
    std::int16_t gTalonario() const { return gTalonario_; }
    // Whether the type is one the company receives: a few known codes, else
    // a type whose last letter has no counters of its own.
    static bool ComprobanteEntrada(const QString& TC);
    // True when the voucher may be recorded. A voucher already in the
    // journal is refused with Mensaje naming its entry (and `registrado`
    // receives where), unless the type numbers itself: then the operator is
    // offered the next number, which replaces Numero when accepted and is
    // checked the same way; refusing restores the number and answers false.
    // Failures are shown in a plain box and answer false.
    bool ValidaComprobante(const QString& TC, const QString& Sucursal, QString& Numero,
                           const QString& letra, QString& Mensaje,
                           const QString& FechaAsto = QString(), const QString& Cuenta = QString(),
                           AsientoDelComprobante* registrado = nullptr);
    // Whether the summary entry named "month-ID" (03-7) of the journal in
    // the active period was reversed; the operator is told so when it was.
    bool AsientoResumenAnulado(const QString& Subdiario, const QString& NroAsiento_ConFomato);
    // Whether the voucher (of the supplier, when given) has journal lines;
    // lrcsaux, when given, is left open on them.
    static bool ExisteEnMVAsientos(const QString& TC, const QString& suc, const QString& Nro,
                                   const QString& L,
                                   const std::optional<QString>& Proveedor = std::nullopt,
                                   ado::Recordset* lrcsaux = nullptr);
    // The same within one entry, counting no summary lines; with a supplier
    // also within the fiscal year Periodo. Entry number, month and period
    // must be whole numbers. TipoReg is not used.
    static bool ExisteEnMVAsientos2(const QString& TC, const QString& suc, const QString& Nro,
                                    const QString& L, const QString& TipoReg,
                                    const QString& NroAsiento, const QString& MesOP,
                                    const QString& Periodo,
                                    const std::optional<QString>& Proveedor = std::nullopt,
                                    ado::Recordset* lrcsaux = nullptr);
    // Whether the account exists, is neither retired nor blocked, and is not
    // a heading.
    static bool CuentaImputable(const QString& Cuenta);
    // Whether the account exists and is neither retired nor blocked; the
    // outputs given receive its heading flag, name, fixed-asset flag and
    // adjustment flag.
    static bool ExisteCuentas(const QString& Valor_Buscado, Value* Tipo = nullptr,
                              Value* NombreLeido = nullptr, Value* BiendeUso = nullptr,
                              Value* Ajustable = nullptr);
    // Whether the account has additional data; LRsTmp is left closed.
    static bool ExisteDatosAdicionales(const QString& Valor_Buscado, ado::Recordset& LRsTmp);

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
    std::int16_t gTalonario_ = 0;
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
