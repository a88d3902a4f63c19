#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "dblayer/local_open.h"
#include "dblayer/messages.h"
#include "dblayer/sql_text.h"
#include "platform/ado/connection_string.h"
#include "platform/conversions.h"

namespace kl::db {

namespace {

constexpr int kOraclePlatform = 1;

}  // namespace

QString DB_Dll::buildServerConnectionString() const {
    if (containsText(gServidor, QStringLiteral("#"))) {
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") +
               ado::connectionStringValue(gDBName) + QStringLiteral(";User Id=") +
               ado::connectionStringValue(gUsuario) + QStringLiteral(";Password=") +
               ado::connectionStringValue(gUserPassWord) + QStringLiteral(";");
    }
    return QStringLiteral("PROVIDER=") + pSQLOLEDB() + QStringLiteral(";") +
           QStringLiteral("Server=") + ado::connectionStringValue(gServidor) + QStringLiteral(";") +
           QStringLiteral("Database =") + ado::connectionStringValue(gDBName) +
           QStringLiteral(";") + QStringLiteral("UId=") + ado::connectionStringValue(gUsuario) +
           QStringLiteral(";") + QStringLiteral("Pwd=") +
           ado::connectionStringValue(gUserPassWord) + QStringLiteral(";") + gExtended;
}

QString DB_Dll::buildLocalConnectionString(const QString& CadenaID,
                                           const QString& CadenaPWD) const {
    return QStringLiteral("PROVIDER=") + gProveedor + QStringLiteral(";") +
           QStringLiteral("Data Source =") + ado::connectionStringValue(gDBName) +
           QStringLiteral(";") + CadenaID + QStringLiteral("=") +
           ado::connectionStringValue(gUsuario) + QStringLiteral(";") + CadenaPWD +
           QStringLiteral("=") + ado::connectionStringValue(gUserPassWord) + QStringLiteral(";") +
           gExtended;
}

// The login window hands back the database name as login name and password
// too: the convention under which it tests and registers connections.
bool DB_Dll::askConnectionData() {
    LoginBoxes initial;
    initial.TxtDbName = gDBName;
    initial.TxtServidor = gServidor;
    initial.TxtUserId = usuarioLogeado();
    initial.TxtUserPassword = gUsuarioClave;
    initial.CboPlataformaDB = 0;
    const LoginAnswer reply = loginPrompt().show(initial);
    if (!reply.Aceptar) {
        gOpenFlag = false;
        return false;
    }
    gOpenFlag = true;
    gDBName = reply.boxes.TxtDbName;
    gServidor = reply.boxes.TxtServidor;
    gUsuario = reply.boxes.TxtDbName;
    gUserPassWord = reply.boxes.TxtDbName;
    if (reply.boxes.CboPlataformaDB >= kOraclePlatform) {
        gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
        if (!containsText(gServidor, QStringLiteral("#"))) gServidor.prepend(u'#');
    } else {
        gProveedor = pSQLOLEDB();
    }
    return true;
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, long lCursor, const QString& ConnString,
                             bool ValidaAdmin, bool MuestraError) {
    gOpenFlag = true;
    // An open connection is closed and opened once more, but only once per call.
    bool retried = false;
    auto closeForRetry = [&](const RunError& e) {
        if (e.number != ado::err::AlreadyOpen || retried) return false;
        retried = true;
        gCnn->Close();
        return true;
    };
    const FailureNotice notice = [&](const RunError& e) {
        if (!MuestraError) {
            if (closeForRetry(e)) return answer::Retry;
            gOpenFlag = false;
            return answer::Abort;
        }
        if (!gCnn->errors().empty()) {
            const ado::Error first = gCnn->errors().Item(0);
            const int reply =
                MsgBox(connectionErrorText(first, gServidor, gUsuario), mb::YesNo | mb::Critical,
                       QStringLiteral(" Error de Conexion a Base de Datos"));
            if (reply != answer::Yes) {
                gOpenFlag = false;
                return answer::Abort;
            }
            gCnn->errors().Clear();
            if (!askConnectionData()) return answer::Abort;
            gConnString = buildServerConnectionString();
            return answer::Retry;
        }
        if (closeForRetry(e)) return answer::Retry;
        MsgBox(e.description);
        // The operator was told; the flag must not claim a connection that
        // is not there.
        gOpenFlag = gOpenFlag && gCnn->State() == ado::adStateOpen;
        return answer::Abort;
    };

    if (gProveedor.isEmpty()) gProveedor = QStringLiteral("SQLOLEDB");
    if (ConnString.trimmed().isEmpty()) {
        gConnString = buildServerConnectionString();
    } else {
        gConnString = ConnString;
    }
    if (PideParametrosSQL) {
        if (!askConnectionData()) return;
        gConnString = buildServerConnectionString();
    }
    gCnn->setCursorLocation(static_cast<int>(lCursor));
    const Step open = [&] { return gCnn->Open(gConnString, QString(), QString(), -1); };
    if (runStep(open, notice) == StepOutcome::Abandoned) return;
    if (!ValidaAdmin) {
        gEsAdmin = true;
        return;
    }
    if (gDBName.trimmed().isEmpty()) return;
    const Step useDatabase = [&] { return gCnn->setDefaultDatabase(gDBName); };
    if (runStep(useDatabase, notice) == StepOutcome::Abandoned) return;
    if (!ExisteTablaDB(QStringLiteral("TA_USUARIOS"))) return;
    if (!MuestraError) {
        gEsAdmin = true;
        return;
    }
    const Value administrador =
        DatosTabla(QStringLiteral("ta_usuarios"), usuarioLogeado(), QStringLiteral("Administrador"),
                   QStringLiteral("nombre"), Value(kTipoTexto), QString(), true, false);
    gEsAdmin = conv::leadingNumber(administrador.toString()) == 1;
}

void DB_Dll::ReintentaConectar() {
    gOpenFlag = false;
    gCnn->setCommandTimeout(90);
    const FailureNotice notice = [&](const RunError& e) {
        gOpenFlag = false;
        // A server that cannot be reached: the caller's reconnection decides.
        if (e.number == ado::err::ProviderFailure) return answer::Abort;
        return TratamientoErrores(e, kBotonesError, QStringLiteral("AbrirRecordset"));
    };
    runSteps({[&]() -> StepResult {
                  StepResult closed = gCnn->Close();
                  if (closed && closed->number == ado::err::ObjectClosed) return std::nullopt;
                  return closed;
              },
              [&] { return gCnn->Open(gCnn->ConnectionString(), gUsuario, gUserPassWord, -1); },
              [&]() -> StepResult {
                  // Only an open connection counts as reconnected, whatever was ignored.
                  gOpenFlag = gCnn->State() == ado::adStateOpen;
                  return std::nullopt;
              }},
             notice);
}

bool DB_Dll::chooseLocalFile() {
    CmdDlg.title = QStringLiteral("Buscar Base de Datos");
    CmdDlg.filter = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
    const QString chosen = dialogs().openFile(CmdDlg);
    if (chosen.isEmpty()) return false;
    CmdDlg.initialFile = chosen;
    gDBName = chosen;
    return true;
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                            const QString& CadenaPWD) {
    LocalOpenRecovery recovery(gIgnoraPassWord.toBool(), gUserPassWord);
    for (;;) {
        if (gDBName.trimmed().isEmpty() && !chooseLocalFile()) return;
        const QString connection =
            (ConnString.isEmpty() ? buildLocalConnectionString(CadenaID, CadenaPWD) : ConnString) +
            recovery.passwordClause();
        const StepResult failure = gCnn->Open(connection, QString(), QString(), -1);
        if (!failure) {
            gConnString = connection;
            return;
        }
        const QString sqlState =
            gCnn->errors().empty() ? QString() : gCnn->errors().Item(0).SQLState;
        switch (recovery.afterFailure(sqlState)) {
            case LocalOpenRecovery::Next::ChooseFile:
                if (!chooseLocalFile()) return;
                break;
            case LocalOpenRecovery::Next::OpenAgain:
                break;
            case LocalOpenRecovery::Next::GiveUp:
                MsgBox(
                    QString::number(failure->number) + QStringLiteral("  ") + failure->description,
                    mb::Critical);
                return;
        }
    }
}

}  // namespace kl::db
