#include "support/shared_db/shared_db.h"

#include "dblayer/db_dll.h"
#include "session/sesion.h"

namespace kl::test {

bool connectSharedDb(const QString& file, const QString& usuario) {
    db::DB_Dll& shared = db::sharedDb();
    shared.gServidor = QStringLiteral("sqlite");
    shared.gDBName = file;
    shared.gUsuario = usuario;
    shared.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    return shared.gOpenFlag;
}

void releaseSharedSession() {
    db::releaseSharedDb();
    sesion() = Sesion{};
}

}  // namespace kl::test
