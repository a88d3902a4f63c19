#include "program_session.h"

#include "database_target.h"

#include "dblayer/db_dll.h"
#include "platform/ado/connection_string.h"

namespace kl::klbase {

namespace {

// The user setting the session reads at start-up.
bool readConfidencialidad(db::DB_Dll& db) {
    if (!db.ExisteTablaDB(QStringLiteral("TA_CONFIGURACION"))) return false;
    QString sql = QStringLiteral(
        "SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'SS_CONFIDENCIALIDAD'");
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    const bool on = rs.State() == ado::adStateOpen && !rs.EOF() &&
                    rs.value(QStringLiteral("VALOR"))
                            .toString()
                            .trimmed()
                            .compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
    db.CierraRecordset(rs);
    return on;
}

}  // namespace

int GivingUpDialogs::messageBox(const QString& text, int style, const QString&) {
    last_ = normalizeLineBreaks(text).replace(u'\n', u' ').trimmed();
    return escapeAnswer(style).value_or(answer::Abort);
}

ProgramSession::ProgramSession(const QString& user)
    : dialogs_(std::make_shared<GivingUpDialogs>()),
      previousDialogs_(installDialogs(dialogs_)),
      previousLink_(
          db::installSessionLink({[user] { return user; }, [this] { return confidencialidad_; }})) {
}

ProgramSession::~ProgramSession() {
    db::releaseSharedDb();
    db::installSessionLink(previousLink_);
    installDialogs(previousDialogs_);
}

bool ProgramSession::open(const QString& target) {
    db::DB_Dll& db = db::sharedDb();
    if (isConnectionString(target)) {
        // The string is the connection; its database is where the user's
        // rights are looked up, as at the program's start-up.
        const ado::ConnectionSettings s = *ado::parseConnectionString(target);
        db.gServidor = s.server;
        db.gDBName = s.database;
        db.gUsuario = s.user;
    } else {
        db.gServidor = QStringLiteral("sqlite");
        db.gDBName = target;
        db.gUsuario = QStringLiteral("sa");
    }
    db.OpenServerADODB(false, ado::adUseClient, isConnectionString(target) ? target : QString(),
                       true, true);
    if (!db.gOpenFlag || db.gCnn->State() != ado::adStateOpen) return false;
    confidencialidad_ = readConfidencialidad(db);
    return true;
}

}  // namespace kl::klbase
