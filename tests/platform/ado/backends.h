#pragma once

// The databases the layer's integration tests run against. Each backend
// makes a fresh database holding the same small schema and says how to
// reach it: the embedded engine, and the same file through unixODBC and
// SQLite's ODBC driver (the ODBC provider's path, with the dialect adapted
// as for the embedded engine). A server backend (SQL Server, Oracle) joins
// the list with its own creation step.
//
// Schema: CONTROL_ACCESO (ID identity, USUARIO VARCHAR(20), ENTRADA,
// SALIDA DATETIME); TA_CONFIGURACION (CLAVE VARCHAR(30) key, VALOR
// VARCHAR(50)); MA_CUENTAS (CODIGO VARCHAR(12) key, NOMBRE VARCHAR(40),
// IMPUTABLE BIT default 0, SALDO MONEY, ALTA DATE); MV_ASIENTOS (NUMERO INT,
// CUENTA VARCHAR(12), IMPORTE FLOAT, FECHA DATETIME; no key); TIPOS (one
// column of each type); view V_CUENTAS; procedure kv_Asentar @cuenta,@importe
// (two journal lines, refuses an amount <= 0 after writing the first).

#include "support/embedded_db.h"
#include "support/printers.h"

#include <QString>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace kl::test {

struct AdoBackend {
    std::string name;
    // Creates a database in the folder and returns its connection string.
    std::function<QString(EmbeddedDb& folder, const QString& name)> create;
};

std::vector<AdoBackend> adoBackends();
inline void PrintTo(const AdoBackend& backend, std::ostream* out) {
    *out << backend.name;
}

// The embedded database with the schema above, made with the raw API.
QString createEmbeddedTestDatabase(EmbeddedDb& folder, const QString& name);

}  // namespace kl::test
