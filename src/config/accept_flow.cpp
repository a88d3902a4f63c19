#include "config/accept_flow.h"

#include "platform/dialogs.h"
#include "session/sesion.h"

namespace kl::config {

bool AceptaConfiguracion(const Aceptacion& a) {
    if (a.enPantalla &&
        MsgBox(QStringLiteral(
                   "¿Desea conservar esta configuracion la próxima vez que inicie el sistema?"),
               mb::YesNo | mb::Question, QStringLiteral("Configuracion")) == answer::Yes) {
        sesion().gImagenFondo = a.rutaElegida;
    }
    if (const ControlEnlazado* pass = buscaNombre(QStringLiteral("ChkPass")))
        AvisoContrasena(a.form.valor(*pass));
    if (a.estructura && !a.estructura->VerificaNiveles()) return false;
    if (!a.validacion.ValidaCampos()) return false;
    if (a.estructura && !a.estructura->ValidaDigitos()) {
        MsgBox(QStringLiteral("La Suma de los dígitos de las cuentas no debe ser mayor a 15 "
                              "verifíquelo por favor!!!"),
               mb::OkOnly | mb::Critical, QStringLiteral("Aviso al operador"));
        return false;
    }
    if (a.estructura && !a.estructura->AplicaNiveles()) return false;
    GrabaClaves(a.form, a.grabaEjercicio);
    return true;
}

}  // namespace kl::config
