#pragma once

// The process's access layer connected to an embedded database file, as
// the benchmarks measure the program's work on it.

#include "dblayer/db_dll.h"

#include <QString>

inline bool connectEmbedded(const QString& file) {
    kl::db::DB_Dll& db = kl::db::sharedDb();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = file;
    db.gUsuario = QStringLiteral("sa");
    db.OpenServerADODB(false, kl::ado::adUseClient, QString(), true, false);
    return db.gOpenFlag;
}
