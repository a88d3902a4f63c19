// Widens one account level of an embedded database, as the configuration's
// accept does, so that a test can kill it halfway:
//     renumber_child FILE LEVEL DIGITS LINES_PER_BATCH
// Exit status 0 when the renumbering was committed.

#include "config/renumeracion.h"
#include "dblayer/db_dll.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Runs unattended: no window ever needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fputs("uso: renumber_child ARCHIVO NIVEL DIGITOS RENGLONES_POR_TANDA\n", stderr);
        return 2;
    }
    kl::db::DB_Dll& db = kl::db::sharedDb();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = args[1];
    db.gUsuario = QStringLiteral("sa");
    db.OpenServerADODB(false, kl::ado::adUseClient, QString(), true, false);
    if (!db.gOpenFlag) return 3;
    auto guardados = kl::config::LeeDigitosGuardados();
    if (!guardados) return 4;
    const kl::DigitosNiveles anteriores = *guardados;
    kl::DigitosNiveles nuevos = anteriores;
    nuevos[args[2].toInt() - 1] = static_cast<std::int16_t>(args[3].toInt());
    const kl::config::ResultadoRenumeracion r =
        kl::config::RenumeraNiveles(anteriores, nuevos, {}, {args[4].toLongLong()});
    if (r.estado != kl::config::ResultadoRenumeracion::Estado::Hecha) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(r.error.description));
        return 1;
    }
    std::printf("%lld cuentas, %lld renglones\n", static_cast<long long>(r.cuentas),
                static_cast<long long>(r.renglones));
    return 0;
}
