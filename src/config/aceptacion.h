#pragma once

// Accepting the configuration window, up to the save: the background-image
// question, the password-option notice, the account-structure checks, the
// validation of every field and the save of every key.

#include "config/claves_formulario.h"
#include "config/formulario_configuracion.h"
#include "config/validacion_configuracion.h"

#include <QString>

namespace kl::config {

// The checks of the account structure the accept flow runs; the chart of
// accounts' level structure provides them.
class EstructuraCuentas {
  public:
    virtual ~EstructuraCuentas() = default;
    // Compares each level's digit box with its stored key, level 1 to 6,
    // asking to confirm each level that grows; false ends the accept (a
    // level reduced, or growth not confirmed).
    virtual bool VerificaNiveles() = 0;
    // True when the six digit counts add up to at most 15.
    virtual bool ValidaDigitos() = 0;
    // Runs once every check of the accept has passed, before the save:
    // applies what VerificaNiveles confirmed; false ends the accept.
    virtual bool AplicaNiveles() { return true; }
};

struct Aceptacion {
    FormularioConfiguracion& form;
    ValidacionConfiguracion& validacion;
    // nullptr: the structure checks pass.
    EstructuraCuentas* estructura = nullptr;
    GrabaEjercicioFn grabaEjercicio;
    // Whether "&Pantalla" is the current tab, and the image chosen there.
    bool enPantalla = false;
    QString rutaElegida;
    // What the window's load found stored; nullptr: every key is written.
    const ValoresCargados* cargados = nullptr;
};

// True when every key was saved, so the window is to unload; false when a
// check or the save stopped it (a failed save is undone and shown), and the
// window stays open with the operator's values.
bool AceptaConfiguracion(const Aceptacion& aceptacion);

}  // namespace kl::config
