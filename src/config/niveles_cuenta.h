#pragma once

// The account-structure checks of the configuration's accept: no level may
// lose digits, each level that gains them is confirmed by the operator, and
// the six counts may not add up to more than 15. Nothing is rewritten while
// the checks run; the confirmed widths are applied in one go once every
// check of the accept has passed.

#include "config/aceptacion.h"
#include "config/formulario_configuracion.h"
#include "config/renumeracion.h"
#include "session/sesion.h"

#include <QString>

#include <optional>

namespace kl::config {

class NivelesCuenta : public EstructuraCuentas {
  public:
    explicit NivelesCuenta(FormularioConfiguracion& form);

    // Levels 1 to 6; false at the first level reduced or not confirmed.
    bool VerificaNiveles() override;
    bool ValidaDigitos() override;
    // Renumbers the chart and the journal to the confirmed widths under the
    // progress notice; false (everything as it was) on a collision, a
    // cancel or a failure, each shown to the operator.
    bool AplicaNiveles() override;

    // One level (1 to 6): compares its digits box with its stored key.
    bool VerificaNivel(int nivel);

    // The journal lines rewritten per statement (between two progress
    // reports).
    void setOpciones(const OpcionesRenumeracion& opciones) { opciones_ = opciones; }

  private:
    // Whether some account code is longer than the stored levels before
    // level i + 1 (0-based i), asked of MA_CUENTAS once per check.
    bool hayCodigosQueAlcanzan(int i);
    bool Renumera();

    FormularioConfiguracion& form_;
    DigitosNiveles guardados_{};
    DigitosNiveles confirmados_{};
    OpcionesRenumeracion opciones_;
    std::optional<int> largoMayor_;
};

// The digit count a text stands for: its leading number, rounded half to
// even, as the stored keys are read.
int digitosDeTexto(const QString& texto);

}  // namespace kl::config
