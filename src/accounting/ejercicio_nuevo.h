#pragma once

// The data work of the fiscal-year wizard: the checks of its steps, the
// dates it proposes, and the creation of the year (the MV_EJERCICIOS row,
// its calendar, Sundays as non-working days and the exchange-rate days).
// The window only gathers the texts and shows the refusals.

#include "accounting/lbc_asiento.h"
#include "platform/runerror.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

namespace kl::accounting {

// The wizard's four fields as typed (keys NRO_PERIODO, NOMBRE, FECHA_DESDE,
// FECHA_HASTA).
struct CamposEjercicio {
    QString nroPeriodo;
    QString nombre;
    QString fechaDesde;
    QString fechaHasta;
};

// A fiscal year's number as typed: a whole number from 1 to 32767, blanks
// around it allowed; nothing otherwise.
std::optional<std::int16_t> numeroDeEjercicio(const QString& text);

// The refusal of a step's fields, or nothing when they pass. Step 2 also
// asks the period rules whether the dates collide with another year; a
// failure of that question refuses the dates as colliding.
std::optional<QString> RechazoPaso(int paso, const CamposEjercicio& campos, Lbc_Asiento& reglas);
// RechazoPaso, with the refusal shown to the operator (critical icon, title
// "Aviso al operador"); true when the step passes.
bool ValidaTab(int paso, const CamposEjercicio& campos, Lbc_Asiento& reglas);

// The dates the wizard proposes after a year that ends on `ultimoHasta`:
// the next day and the same day a year later, as dd/mm/yyyy. No year (an
// invalid date) proposes nothing.
struct FechasPropuestas {
    QString desde;
    QString hasta;
};
FechasPropuestas ProponeFechas(const QDate& ultimoHasta);

// Creates one fiscal year from the wizard's fields, which the steps' checks
// have passed. Failures go to the component's error notice of
// "Actualizar_Datos"; the database's complaints about the calendar and the
// Sundays are shown and the creation goes on.
class CreacionEjercicio {
  public:
    // When `pedirNroEjercicioInicial`, the number is the one typed (first
    // year); otherwise the highest existing number plus one.
    explicit CreacionEjercicio(bool pedirNroEjercicioInicial)
        : pedirNroEjercicioInicial_(pedirNroEjercicioInicial) {}

    void Actualizar_Datos(const CamposEjercicio& campos);

    // True once the year's row was saved: only then does pNuevo_Ejercicio
    // name a year that exists.
    bool creado() const { return creado_; }

    std::int16_t pNuevo_Ejercicio = 0;
    QString pFecha_Desde;
    QString pFecha_Hasta;
    QString pDescripcion;

  private:
    bool pedirNroEjercicioInicial_;
    bool creado_ = false;
};

// Fills the exchange-rate days of the year `Periodo` (the notice of
// "CrearDiasCotizacion").
void CrearDiasCotizacion(std::int64_t Periodo);
// Adds a TA_COTIZACION row with every rate at 1 for each day after `desde`
// up to `hasta` that has none, under the progress notice. Days with rates
// keep them.
void LlenarHuecos(const QDate& desde, const QDate& hasta);

}  // namespace kl::accounting
