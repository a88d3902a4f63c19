#pragma once

#include "platform/runerror.h"
#include "platform/value.h"
#include "session/sesion.h"

#include <QString>

#include <array>

namespace kl {

// The module's settings are key/value rows of TA_CONFIGURACION. Each read is
// one query (no cache: another program of the module may have changed the
// key meanwhile). Keys are compared by the database, whose collation ignores
// case ("usa contraseña" finds "USA CONTRASEÑA").

// The value of the key, and its auxiliary value through `valorAux`. A key
// without a row reads as " " (one blank, so it is never "SI" and trims to
// empty) with an empty auxiliary value. A failure shows the error notice of
// "Cfg"; leaving there gives "" and leaves `valorAux` as it was.
QString Cfg(const QString& clave, QString& valorAux);
QString Cfg(const QString& clave);

// Inserts or updates the key's row: CLAVE trimmed and upper-cased, VALOR the
// value as trimmed text, VALORAUX only when `valorAux` is not empty. Uses the
// table the first Cfg set. A failure shows the error notice of "GrabaDfg".
void GrabaDfg(const QString& clave, const Value& valor, const QString& valorAux,
              bool politicaNegocio, const QString& grupo);

// The digit keys of the six account levels, in level order.
inline constexpr std::array<const char*, kNivelesCuenta> kClavesDigitosNivel = {
    "DIGITOS_CAPITULO", "DIGITOS_SUBCAPITULO", "DIGITOS_RUBRO",
    "DIGITOS_SUBRUBRO", "DIGITOS_CUENTA",      "DIGITOS_SUBCUENTA"};

// Fill gDigitosNivel and gPosicionNivel from the digit keys. A stored count
// that does not fit a level (an absurd value) is a failure that ends them;
// the levels already read keep their new values.
StepResult LeeDigitosNiveles();
StepResult CalculaPosicionesNiveles();

}  // namespace kl
