#pragma once

// Loading every bound key into its control and writing every control back
// to TA_CONFIGURACION, with the rules each kind of control follows, and the
// small per-control behaviour in between (the capitals-only key filter, the
// password-option notice).

#include "config/controles_enlazados.h"
#include "config/formulario_configuracion.h"

#include <QHash>
#include <QString>

#include <functional>

namespace kl::config {

// Writes the fiscal year shown in the panel to the row of the given number
// of MV_EJERCICIOS (the fiscal-year panel's GrabaEjercicio); false when the
// operator left its error notice.
using GrabaEjercicioFn = std::function<bool(const QString& periodo)>;

// What the load found stored for each key (upper case): a text box's
// trimmed text, "SI" or "NO" for a check box. The save tells by it the
// operator's changes from those another station made meanwhile.
using ValoresCargados = QHash<QString, QString>;

// Every bound key into its control, in the table's order. A key without a
// row shows an empty box or a clear box; afterwards an empty PERIODO box
// shows "1" and the VAT condition's description is looked up. Failures are
// left to the key store's notice and the next control is loaded.
ValoresCargados CargaClaves(FormularioConfiguracion& form);

// Every control the save writes, under the progress notice: a missing key
// is inserted (text-box keys and values in capitals, check-box keys as
// tagged), an existing one updated (the text as typed), each with its time.
// Given what the load found, a key the operator left as loaded is not
// written over a value another station stored since; when both changed it
// the operator is asked which to keep.
// Then the fiscal year shown is written and the session's active period is
// read again. All of it is one transaction: the first failure stops the
// walk, undoes every row written so far and is shown to the operator, and
// the caller keeps the window open with what was typed; returns false then.
bool GrabaClaves(FormularioConfiguracion& form, const GrabaEjercicioFn& grabaEjercicio,
                 const ValoresCargados* cargados = nullptr);

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
