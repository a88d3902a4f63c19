#pragma once

// The fiscal-year panel of the configuration window: the years of
// MV_EJERCICIOS walked with a slider, the fields of the year shown, closing
// and reopening a year, and what the fiscal-year wizard is asked and what
// its outcome writes. The window only forwards its events here.

#include "accounting/lbc_asiento.h"
#include "config/controles_enlazados.h"
#include "config/formulario_configuracion.h"
#include "config/validacion_configuracion.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace kl::config {

// The period rules the window owns, created on first use and shared by the
// field validation and the panel.
class ReglasPeriodo : public ReglasEjercicio {
  public:
    // The configuration asks only rules that never read the active period,
    // so a PERIODO key that holds no number yet (a first-time
    // configuration) must not keep the operator from creating the first
    // year: the rules then stand on period 0.
    accounting::Lbc_Asiento& asiento();

    Result<bool> ValidaRangoFechaEjercicio(const QString& Fecha_Desde, const QString& Fecha_Hasta,
                                           const Value& lPeriodo) override;

  private:
    std::optional<accounting::Lbc_Asiento> asiento_;
};

// What the panel needs of the window beyond the bound controls' values.
class ControlesPanel {
  public:
    virtual ~ControlesPanel() = default;
    virtual void habilita(const ControlEnlazado& control, bool enabled) = 0;
    virtual void habilitaSlider(bool enabled) = 0;
    // One step per year.
    virtual void setRangoSlider(int minimo, int maximo) = 0;
    virtual int posicionSlider() const = 0;
    // Moves the slider without running its change handling.
    virtual void setPosicionSlider(int posicion) = 0;
};

// What the wizard is given to create a year.
struct PedidoAsistente {
    // No year exists: the wizard asks for the first year's number, and the
    // year it creates becomes the active one.
    bool primerEjercicio = false;
    // The dates proposed; the from-date is locked unless primerEjercicio.
    QString fechaDesde;
    QString fechaHasta;
};

class PanelEjercicios {
  public:
    PanelEjercicios(FormularioConfiguracion& form, ControlesPanel& controles,
                    std::shared_ptr<ReglasPeriodo> reglas);

    // Rebuilds the panel from the table and shows the year of the key
    // PERIODO. Failures go to the error notice of "Datos_Ejercicio".
    void Datos_Ejercicios(bool cargando);
    // Shows the year with that number; without a row the fields keep what
    // they showed. A failure is shown to the operator.
    void CargaEjercicio(std::int64_t periodo);
    // Shows the year of the slider's position; once the window has loaded,
    // the operating-date window follows that year's dates.
    void SldrEjercicio_Change(bool cargando);
    // Writes the year shown to the row of that number, adding the row when
    // there is none. Failures go to the error notice.
    bool GrabaEjercicio(const QString& periodo);

    // Reopen or close the year shown after the operator confirms twice;
    // the panel then shows the slider's year again.
    void CmdAbrirEjercicio_Click();
    void CmdCerrarEjercicio_Click();

    // Before the wizard: whether it creates the first year and the dates
    // it proposes after the last one.
    PedidoAsistente preparaAsistente();
    // After the wizard: the first year it created becomes the active one
    // (key PERIODO); closing it without creating writes nothing. The panel
    // is rebuilt either way.
    void asistenteCerrado(const PedidoAsistente& pedido, bool creado, std::int16_t nuevoEjercicio);

  private:
    void marcaEjercicio(bool cerrar);

    FormularioConfiguracion& form_;
    ControlesPanel& controles_;
    std::shared_ptr<ReglasPeriodo> reglas_;
};

}  // namespace kl::config
