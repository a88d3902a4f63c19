#include "config/aceptacion.h"

#include "platform/dialogs.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

#include <functional>

namespace kl::config {

namespace {

const QString kFuente = QStringLiteral("frmConfiguracion");

}  // namespace

bool AceptaConfiguracion(const Aceptacion& a) {
    // A check that stops the accept clears `sigue`; the steps after it then
    // do nothing. A failure escaping a step goes to the error notice, whose
    // answer repeats the step, passes over it or ends the accept.
    bool sigue = true;
    auto paso = [&sigue](std::function<bool()> cuerpo) -> Step {
        return [&sigue, cuerpo = std::move(cuerpo)]() -> StepResult {
            if (!sigue) return std::nullopt;
            return guarded(
                [&]() -> StepResult {
                    sigue = cuerpo();
                    return std::nullopt;
                },
                kFuente);
        };
    };
    const bool completa = runSteps(
        {paso([&] {
             if (a.enPantalla &&
                 MsgBox(QStringLiteral("¿Desea conservar esta configuracion la próxima vez que "
                                       "inicie el sistema?"),
                        mb::YesNo | mb::Question, QStringLiteral("Configuracion")) == answer::Yes) {
                 sesion().gImagenFondo = a.rutaElegida;
             }
             return true;
         }),
         paso([&] {
             if (const ControlEnlazado* pass = buscaNombre(QStringLiteral("ChkPass")))
                 AvisoContrasena(a.form.valor(*pass));
             return true;
         }),
         paso([&] { return !a.estructura || a.estructura->VerificaNiveles(); }),
         paso([&] { return a.validacion.ValidaCampos(); }), paso([&] {
             if (!a.estructura || a.estructura->ValidaDigitos()) return true;
             MsgBox(QStringLiteral("La Suma de los dígitos de las cuentas no debe ser mayor a 15 "
                                   "verifíquelo por favor!!!"),
                    mb::OkOnly | mb::Critical, QStringLiteral("Aviso al operador"));
             return false;
         }),
         paso([&] {
             if (!a.estructura) return true;
             // The renumbering's transaction is rolled back before a failure
             // leaves it; all that is left is to tell the operator.
             bool aplicada = false;
             const StepResult failure = guarded(
                 [&]() -> StepResult {
                     aplicada = a.estructura->AplicaNiveles();
                     return std::nullopt;
                 },
                 kFuente);
             if (failure) {
                 MsgBox(failure->description, mb::OkOnly, QStringLiteral("Error en Grabación"));
                 return false;
             }
             return aplicada;
         }),
         // A failed save has been undone and shown; the window stays open
         // with what the operator typed.
         paso([&] { return GrabaClaves(a.form, a.grabaEjercicio, a.cargados); })},
        Brimcor2::avisoErrorPara(QString()));
    return completa && sigue;
}

}  // namespace kl::config
