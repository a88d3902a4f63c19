#pragma once

// Loading every bound key into its control and writing every control back
// to TA_CONFIGURACION, with the rules each kind of control follows, and the
// small per-control behaviour in between (the capitals-only key filter, the
// password-option notice).

#include "config/bound_controls.h"
#include "config/config_form.h"

#include <QString>

#include <functional>

namespace kl::config {

// Writes the fiscal year shown in the panel to the row of the given number
// of MV_EJERCICIOS (the fiscal-year panel's GrabaEjercicio).
using GrabaEjercicioFn = std::function<void(const QString& periodo)>;

// Every bound key into its control, in the table's order. A key without a
// row shows an empty box or a clear box; afterwards an empty PERIODO box
// shows "1" and the VAT condition's description is looked up. Failures are
// left to the key store's notice and the next control is loaded.
void CargaClaves(FormularioConfiguracion& form);

// Every control the save writes, under the progress notice: a missing key
// is inserted (text-box keys and values in capitals, check-box keys as
// tagged), an existing one updated (the text as typed), each with its time.
// Then the fiscal year shown is written and the session's active period is
// read again. The first failure stops the walk (rows written stay written)
// and is shown to the operator; returns false then.
bool GrabaClaves(FormularioConfiguracion& form, const GrabaEjercicioFn& grabaEjercicio);

// The progress line shown while a control is written: its Tag, else a text
// box's DataField, else the component's default text.
QString textoProgreso(const ControlEnlazado& control);

// The character code a key press turns into: with capitals-only typing on,
// digits, "." and the letters A-Z, Ñ (either case) become capitals; every
// other character (accented vowels, blanks, other punctuation) passes.
// Codes are Windows-1252, which agrees with Unicode for every character
// the rule touches.
int FiltraMayusculas(int codigo, bool soloMayusculas);

// The notice after a change of the password option, given the state of
// ChkPass: the option takes effect at the next login.
void AvisoContrasena(int estadoChkPass);

}  // namespace kl::config
