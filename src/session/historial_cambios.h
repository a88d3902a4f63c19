#pragma once

// The history of changes, MV_HISTORIAL_CAMBIOS: one row for every change an
// administrator makes to what decides how the module books (a key of the
// configuration, a fiscal year closed, reopened or created, a renumbering
// of the chart, a database restored from a copy). The row says when, who
// (the program user, the computer and the system user, as the access log
// writes them), what and from what to what.
//
// A row is written inside the transaction of its change, through the same
// connection, so the two are one: a change rolled back leaves no row and no
// change is committed without its row.
//
//     ado::TransactionScope t(*db.gCnn);
//     if (StepResult e = t.begin()) return e;
//     ... the change ...
//     if (StepResult e = RegistraCambio({historial::kCierre, "Ejercicio 4",
//                                        "Abierto", "Cerrado"}))
//         return e;  // rolled back with the change
//     return t.commit();
//
// The rows are only ever inserted and read. A database made before the
// table existed gets it on the configuration's first load (PreparaHistorial);
// a user who may not create it works on without a history, told so once.

#include "platform/runerror.h"
#include "session/sesion.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace kl::ado {
class Connection;
}

namespace kl::historial {

inline constexpr char kTabla[] = "MV_HISTORIAL_CAMBIOS";

// What a row records; the texts of OPERACION.
inline constexpr char kCambioClave[] = "Cambio de clave";
inline constexpr char kCierre[] = "Cierre de ejercicio";
inline constexpr char kReapertura[] = "Reapertura de ejercicio";
inline constexpr char kEjercicioNuevo[] = "Ejercicio nuevo";
inline constexpr char kRenumeracion[] = "Renumeración";
inline constexpr char kRestauracion[] = "Restauración";

// The longest text a column of values holds; longer ones are cut.
inline constexpr int kLargoValor = 255;

// The table, in SQL Server's dialect.
QString sentenciaCreacion();

struct Cambio {
    QString operacion;
    QString clave;
    QString anterior;
    QString nuevo;
    QString detalle = {};
};

// Who makes the change and from where.
struct Puesto {
    QString usuarioPrograma;  // gUsuarioLogeado
    QString maquina;
    QString usuarioSistema;
    QString programa;
};
// This run's: the logged-in user (else the layer's), the computer and the
// system user in capitals, the executable's name.
Puesto puestoActual();

// The INSERT of one row, in SQL Server's dialect, dated GETDATE().
QString sentenciaRegistro(const Cambio& cambio, const Puesto& puesto);
// The INSERT of the rows from `desde` up to `hasta`.
QString sentenciaRegistro(const std::vector<Cambio>& cambios, size_t desde, size_t hasta,
                          const Puesto& puesto);

// Creates the table on the layer's connection when it is missing. When it
// cannot be created the operator is told, once per run, that no history is
// kept. Never fails: the history must not keep anyone from working.
void PreparaHistorial();

// Writes the row on the layer's connection, inside the caller's open
// transaction; nothing when the database has no history table. A failure
// is the caller's to roll back.
StepResult RegistraCambio(const Cambio& cambio);
// The same for several changes, in as few statements as the server takes.
StepResult RegistraCambios(const std::vector<Cambio>& cambios);

// One statement and its row in one transaction on the layer's connection;
// the row only when the statement changed some row. `afectados` receives
// the rows it changed. A failure rolls both back and carries the
// provider's own text.
StepResult EjecutaRegistrando(const QString& sql, long& afectados, const Cambio& cambio);

// The rows of a renumbering and of a year the wizard created.
Cambio cambioRenumeracion(const DigitosNiveles& anteriores, const DigitosNiveles& nuevos,
                          std::int64_t cuentas, std::int64_t renglones);
Cambio cambioEjercicioNuevo(int periodo, const QString& nombre, const QString& desde,
                            const QString& hasta);

// The rows to show, newest first: optionally of one key (any row whose
// CLAVE holds the text, letter case ignored) and from/to a day (both
// included).
struct Filtro {
    QString clave;
    std::optional<QDate> desde;
    std::optional<QDate> hasta;
};
// The SELECT with the columns' captions, dates as the connection's engine
// compares them.
QString sentenciaLectura(const Filtro& filtro, const ado::Connection& cnn);

// The captions of sentenciaLectura's columns, in order.
const QStringList& columnasLectura();

}  // namespace kl::historial
