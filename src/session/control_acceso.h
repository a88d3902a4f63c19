#pragma once

#include <QDateTime>
#include <QString>

namespace kl {

// The module's time-stamp forms in its classic format notation: day, month
// and year of two digits; hour (24-hour clock) and minutes.
QString FormatoFecha();  // "dd/mm/yy"
QString FormatoHora();   // "hh:mm"
// The moment as the access log keeps it: FormatoFecha & " " & FormatoHora.
QString marcaDeAcceso(const QDateTime& momento);

// The access check and the entry row of this run in CONTROL_ACCESO: the
// task the logged-in user reaches this program through, found by the
// executable's own name in TA_MENU.Proceso (empty when none; the user is
// not stopped), the computer, the system user and the entry
// time. Keeps the new row's ID in the session. Every failure is silently
// passed over: the access log must never keep the program from starting.
void ControlAcceso();

// Writes the exit time into this run's row, and only while it has none.
// Nothing to do when no entry row was written. A failure is shown in a plain
// message box.
void RegistraEgreso();

}  // namespace kl
