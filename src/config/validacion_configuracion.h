#pragma once

// The check of one configuration field against the rule of its key, and of
// all of them before the window is accepted. The verdict is shown to the
// operator here, and handed back so the window can act on it.

#include "config/controles_enlazados.h"
#include "config/formulario_configuracion.h"
#include "platform/result.h"
#include "platform/value.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace kl::config {

// A message box as shown: text, style (buttons + icon) and title ("" is the
// program's default title).
struct Aviso {
    QString texto;
    int estilo = 0;
    QString titulo;
};

struct Veredicto {
    bool valido = true;
    // The boxes shown, in order.
    std::vector<Aviso> avisos;
    // The tab selected; Ninguna when the tab was left as it was.
    Pestana pestana = Pestana::Ninguna;
    // Whether the field was given the focus.
    bool foco = false;
};

// The keys whose text boxes hold a number (percentages and amounts), in
// capitals. Every program of the module reads them with a decimal point.
const QStringList& clavesNumericas();

// What is wrong with a CUIT as typed: not 11 digits (hyphens allowed), or
// a check digit that does not match (weights 5,4,3,2,7,6,5,4,3,2, modulus
// 11). Nothing for a right one or an empty box. Only ever a notice: the
// value is kept and the accept goes on.
std::optional<QString> ObservacionCuit(const QString& cuit);

// The keys whose text boxes may not be left empty, in capitals.
const QStringList& clavesRequeridas();

// The period rule the to-date of the fiscal year is checked with.
class ReglasEjercicio {
  public:
    virtual ~ReglasEjercicio() = default;
    // True when neither date falls inside a fiscal year other than lPeriodo.
    // An error that keeps the rule from answering (the rules cannot be set
    // up) comes back as the error.
    virtual Result<bool> ValidaRangoFechaEjercicio(const QString& Fecha_Desde,
                                                   const QString& Fecha_Hasta,
                                                   const Value& lPeriodo) = 0;
};

class ValidacionConfiguracion {
  public:
    explicit ValidacionConfiguracion(FormularioConfiguracion& form);

    // Until the period rules are given, every fiscal-year range passes.
    void setReglasEjercicio(std::shared_ptr<ReglasEjercicio> reglas);

    // One text box: clears the field-error flag and sets it when the field
    // fails. Only the PERIODO rule (operating dates reset to the year shown)
    // and the CONDIVA rule (its description) write into other controls.
    Veredicto ValidaCampo(const ControlEnlazado& campo);

    // Every text box in the window's order, stopping at the first invalid
    // one; true when all pass.
    bool ValidaCampos();

    bool errorCampo() const { return errorCampo_; }

  private:
    struct Campo;

    // A number typed with a decimal comma ("21,5") is rewritten in its box
    // with a point, so that the stored text means 21.5 to every reader
    // rather than 21.
    void puntoDecimal(const ControlEnlazado& control);
    using Resultado = std::variant<std::monostate, QString, RunError>;

    Veredicto faltaValor(const ControlEnlazado& campo, const QString& key);
    Resultado reglaDeValor(const Campo& campo);
    Resultado reglaFechaOperativa(const Campo& campo, bool desde);
    Resultado reglaFechaEjercicio(const Campo& campo, bool desde);
    Resultado reglaCondIva(const Campo& campo);
    Resultado reglaPeriodo(const Campo& campo);
    Veredicto errorInesperado(const ControlEnlazado& campo, const RunError& error);
    void muestra(Veredicto& veredicto, const Aviso& aviso);

    FormularioConfiguracion& form_;
    std::shared_ptr<ReglasEjercicio> reglas_;
    bool errorCampo_ = false;
};

}  // namespace kl::config
