#pragma once

// The safety copy taken before a structural change of an embedded database
// (a renumbering of the chart, a year the wizard creates): the whole file,
// copied with the engine's online backup into the user's data folder as
//     conta-2026-12-10-0930-renumeracion.kldb
// (the database's name, the day and time, the operation), keeping the
// newest ones. KL000p.INI, section [Respaldos], key CopiasDeSeguridad says
// how many (5 when missing; 0 takes none). A server database gets no copy:
// that is the server's own backup's job.

#include "platform/runerror.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace kl {
class Dll_Display;
}

namespace kl::config {

inline constexpr int kCopiasPorOmision = 5;

// The copies to keep, from the settings file; kCopiasPorOmision when it
// says nothing usable.
int copiasAConservar();
int copiasAConservar(const QString& archivoIni);

// The copy's file name for the database file at `base`.
QString nombreCopia(const QString& base, const QDateTime& momento, const QString& operacion);

// The copies of `base` in `carpeta` beyond the newest `conservar`, oldest
// first.
QStringList copiasSobrantes(const QString& carpeta, const QString& base, int conservar);

// The embedded file the layer is connected to; nothing for a server
// database.
std::optional<QString> archivoConectado();

// Takes the copy under the progress notice, which names it, then drops the
// copies beyond the newest ones; `cartel` is the change's own notice when
// it is open already, else the copy opens one of its own. A copy that
// fails asks whether to go on without it (default No). True when the
// change may go on: the copy was made, none is wanted, the database is a
// server's, or the operator chose to go on.
bool CopiaAntesDe(const QString& operacion, Dll_Display* cartel = nullptr);

// The copy's path in `carpeta`: nombreCopia's name, numbered after the
// copies already made within the same minute.
QString destinoCopia(const QString& base, const QString& carpeta, const QString& operacion,
                     const QDateTime& momento);

}  // namespace kl::config
