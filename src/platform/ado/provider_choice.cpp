// The providers this program carries, and which one a connection string
// names. The connection/recordset layer (connection.cpp) knows providers only
// by the Provider interface; this file, linked whole into every program that
// links the layer, is the one place that names them, as the providers
// registered on a Windows machine are for ADO.

#include "platform/ado/odbc/odbc_connection_string.h"
#include "platform/ado/odbc/odbc_provider.h"
#include "platform/ado/provider.h"
#include "platform/ado/sqlite/sqlite_provider.h"

namespace kl::ado {

namespace {

Error unavailable(const ConnectionSettings& s) {
    Error e;
    e.Number = err::ProviderFailure;
    e.Source = QStringLiteral("ADODB.Connection");
    e.SQLState = QStringLiteral("08001");
    const QString provider = s.provider.isEmpty() ? QStringLiteral("MSDASQL") : s.provider;
    e.Description =
        QStringLiteral("El proveedor %1 no está disponible en este equipo").arg(provider);
    if (!s.server.isEmpty()) e.Description += QStringLiteral(" (servidor %1)").arg(s.server);
    e.Description +=
        QStringLiteral(". Use una base de datos incorporada (Server=sqlite;Database=<archivo>).");
    return e;
}

}  // namespace

std::unique_ptr<Provider> makeProvider(const ConnectionSettings& settings, ErrorList& errors) {
    if (!settings.embeddedFile.isEmpty() || settings.kind == ConnectionSettings::Kind::Jet)
        return std::make_unique<sqlite::SqliteProvider>();
    if (odbc::reachedThroughOdbc(settings)) return std::make_unique<odbc::OdbcProvider>();
    errors = {unavailable(settings)};
    return nullptr;
}

}  // namespace kl::ado
