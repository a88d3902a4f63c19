#pragma once

// Registering a tested connection in BASES.TXT: the test against the
// server, the line written, and the rules "Registrar" follows on failure.

#include "platform/runerror.h"

#include <QString>
#include <QStringList>

namespace kl {

// Can a connection with these values be opened? Tries it on the shared
// access layer's connection, which it leaves closed. Never fails: any
// failure gives false.
bool ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                       const QString& Password, const QString& Proveedor);

// Appends the connection to BASES.TXT (login::rutaBasesParaEscribir()), the password
// encoded with CodificaTexto and, for Oracle, "#" before the server.
StepResult GrabaConexion(const QString& Nombre, const QString& Base, const QString& Usuario,
                         const QString& Clave, const QString& Servidor, bool EsOracle);

namespace login {

// The server a connection string names for the embedded engine.
inline constexpr char kServidorIncorporado[] = "sqlite";
bool esServidorIncorporado(const QString& servidor);

// The server as a display name shows it: trimmed, in capitals, cut before
// its first ":" (the port).
QString parteServidor(const QString& servidor);
// The display name BASES.TXT keeps: CONTAB / SRV01\SQL.
QString nombreConexion(const QString& base, const QString& servidor);

// Why a connection cannot be kept in BASES.TXT (a comma would split its
// fields, a line break its line, and characters outside Windows-1252 would
// come back as "?"); "" when it can.
QString motivoNoRegistrable(const QString& base, const QString& servidor);

// Failures the registration passes over: a connection already closed
// (3704), a service already running (hexadecimal 80070420, 1056) and the
// two "object not available" errors (440, 20480).
bool fallaIgnorada(long numero);
// The message any other failure of the registration shows.
QString textoFallaRegistro(const RunError& e);

// ODBC.exe, the module's outside utility that is started after a
// registration when it stands in the program's folder.
inline constexpr char kUtilidadODBC[] = "ODBC.exe";
// Its command line after the program: Server=<server>;DB=<database>;
QString argumentoODBC(const QString& servidor, const QString& base);

}  // namespace login
}  // namespace kl
