#pragma once

#include "platform/value.h"

#include <QString>

#include <array>
#include <cstdint>

namespace kl {

// The account structure has six levels, from the chapter to the sub-account.
inline constexpr int kNivelesCuenta = 6;
using DigitosNiveles = std::array<std::int16_t, kNivelesCuenta>;

// The session record of the main module: what the start-up learnt about this
// run and the user's settings. One instance lives for the whole program; it
// starts empty and only the start-up, the key store and the configuration
// window fill it.
struct Sesion {
    // "<COMPUTER>|<USER>", the section of KL000p.INI for this seat.
    QString gSeccionMaquina;
    bool gFlatToolbars = false;
    QString gParametroAdicional;
    QString gMenu;
    QString gCaja;
    // First the main menu's @UsuarioLogeado; once connected, the layer's user.
    QString gUsuarioLogeado;
    bool gSoloMayusculas = false;
    bool gBloqueoActivo = false;
    // The active fiscal year's number as stored (" " when the key is missing).
    QString gPeriodo;
    // Four characters, right-aligned.
    QString gUNegocio;
    bool gConfidencialidad = false;
    // ID of this run's CONTROL_ACCESO row; Empty until the row exists.
    Value gIdAcceso;

    QString gTablaConfiguracion;
    DigitosNiveles gDigitosNivel{};
    // Cumulative end position of each level inside an account code.
    DigitosNiveles gPosicionNivel{};

    // The background image confirmed in this run.
    QString gImagenFondo;
};

Sesion& sesion();

}  // namespace kl
