#include "dblayer/local_open.h"
#include "dblayer/messages.h"
#include "embedded_db.h"

#include <QFile>

#include <deque>
#include <vector>

namespace kl::db::test {
namespace {

// Answers the login window from a queue and keeps what it was shown; with
// nothing queued the window is cancelled.
class ScriptedLogin final : public LoginPrompt {
  public:
    LoginAnswer show(const LoginBoxes& initial) override {
        shown.push_back(initial);
        if (answers.empty()) return {false, initial};
        LoginAnswer next = answers.front();
        answers.pop_front();
        return next;
    }
    std::vector<LoginBoxes> shown;
    std::deque<LoginAnswer> answers;
};

LoginAnswer accepted(const QString& server, const QString& database, int platform = 0) {
    LoginAnswer a;
    a.Aceptar = true;
    a.boxes.TxtServidor = server;
    a.boxes.TxtDbName = database;
    a.boxes.TxtUserId = QStringLiteral("ADMIN");
    a.boxes.CboPlataformaDB = platform;
    return a;
}

class Connections : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        previousLogin_ = installLoginPrompt(login_);
    }
    void TearDown() override {
        installLoginPrompt(previousLogin_);
        EmbeddedDbTest::TearDown();
    }

    // The connection error dialog's text for the connection's first error,
    // as it is shown: every line break one "\n".
    QString shownConnectionError(const QString& server, const QString& user) {
        return normalizeLineBreaks(
            expectedConnectionError(db().gCnn->errors().Item(0), server, user));
    }

    static QString expectedConnectionError(const ado::Error& e, const QString& server,
                                           const QString& user) {
        return QStringLiteral(" Estado de Sql: ") + e.SQLState +
               "\rNumero de Error: " + QString::number(e.Number) +
               "\rDescripcion: " + e.Description +
               "\rCodigo Nativo: " + QString::number(e.NativeError) +
               "\r\r\nNombre de Proceso: test_dblayer\r\r\n\r\n"
               "1. Verifique el Usuario, contraseña y base de datos\r\n"
               "2. Verifique el nombre del servidor, quizas necesite agregarle el nombre de la "
               "instancia, por ejemplo : " +
               server + "\\BRIMCOR\r\n3. Verifique si el inicio de sesion para el usuario " + user +
               " existe\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? ";
    }

    std::shared_ptr<ScriptedLogin> login_ = std::make_shared<ScriptedLogin>();

  private:
    std::shared_ptr<LoginPrompt> previousLogin_;
};

// With the login window asked for and cancelled, the string is built and
// nothing is opened.
TEST_F(Connections, SqlServerStringAsTheProviderGetsIt) {
    db().gServidor = "SRV01\\CONTA";
    db().gDBName = "CONTAB";
    db().gUsuario = "sa";
    db().gProveedor = "OraOLEDB.Oracle.1";
    db().OpenServerADODB(true, ado::adUseClient, QString(), true, true);
    EXPECT_EQ(db().gConnString,
              "PROVIDER=SQLOLEDB;Server=SRV01\\CONTA;Database =CONTAB;UId=sa;Pwd=;");
    EXPECT_EQ(db().gProveedor, "OraOLEDB.Oracle.1");
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateClosed);
    EXPECT_TRUE(boxes_.shown().empty());

    db().gExtended = "Application Name=klconfig;";
    db().gUserPassWord = "x";
    db().OpenServerADODB(true, ado::adUseClient, QString(), true, true);
    EXPECT_EQ(db().gConnString,
              "PROVIDER=SQLOLEDB;Server=SRV01\\CONTA;Database =CONTAB;UId=sa;Pwd=x;"
              "Application Name=klconfig;");
}

TEST_F(Connections, AHashInTheServerMakesTheOracleString) {
    db().gServidor = "#SRV01";
    db().gDBName = "CONTAB";
    db().gUsuario = "sa";
    db().gUserPassWord = "clave";
    db().gExtended = "X=1;";
    db().OpenServerADODB(true, ado::adUseClient, QString(), true, true);
    EXPECT_EQ(db().gConnString,
              "Provider=OraOLEDB.Oracle.1;Data Source=CONTAB;User Id=sa;Password=clave;");
    EXPECT_EQ(db().gProveedor, "SQLOLEDB");
}

TEST_F(Connections, GivenStringIsUsedVerbatimWithoutTheLoginWindow) {
    const QString given = connectionString(file_);
    db().OpenServerADODB(false, ado::adUseClient, given, false, false);
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_TRUE(db().gEsAdmin);
    EXPECT_EQ(db().gConnString, given);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db().gCnn->CursorLocation(), ado::adUseClient);
    EXPECT_TRUE(login_->shown.empty());
}

TEST_F(Connections, LoginWindowIsFilledAndItsValuesComeBack) {
    db().gDBName = "VIEJA";
    db().gServidor = "SRV";
    db().gUsuarioClave = "propuesta";
    login_->answers.push_back(accepted("sqlite", file_));
    db().OpenServerADODB(true, ado::adUseClient, QString(), false, false);

    ASSERT_EQ(login_->shown.size(), 1u);
    EXPECT_EQ(login_->shown[0].TxtDbName, "VIEJA");
    EXPECT_EQ(login_->shown[0].TxtServidor, "SRV");
    EXPECT_EQ(login_->shown[0].TxtUserId, "ADMIN");
    EXPECT_EQ(login_->shown[0].TxtUserPassword, "propuesta");
    EXPECT_EQ(login_->shown[0].CboPlataformaDB, 0);
    // The database's name is login name and password.
    EXPECT_EQ(db().gUsuario, file_);
    EXPECT_EQ(db().gUserPassWord, file_);
    EXPECT_EQ(db().gProveedor, "SQLOLEDB");
    EXPECT_EQ(db().gConnString, "PROVIDER=SQLOLEDB;Server=sqlite;Database =" + file_ +
                                    ";UId=" + file_ + ";Pwd=" + file_ + ";");
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
}

TEST_F(Connections, OracleChosenInTheLoginWindowMarksTheServer) {
    login_->answers.push_back(accepted("ORASRV", "XE", 1));
    db().OpenServerADODB(true, ado::adUseClient, QString(), false, false);
    EXPECT_EQ(db().gServidor, "#ORASRV");
    EXPECT_EQ(db().gProveedor, "OraOLEDB.Oracle.1");
    EXPECT_TRUE(db().gConnString.startsWith("Provider=OraOLEDB.Oracle.1;Data Source=XE;"));

    login_->answers.push_back(accepted("ORA#2", "XE", 1));
    db().OpenServerADODB(true, ado::adUseClient, QString(), false, false);
    EXPECT_EQ(db().gServidor, "ORA#2");
}

TEST_F(Connections, EmptyProviderBecomesSqlOledbAndAnotherStays) {
    db().OpenServerADODB(false, ado::adUseClient, connectionString(file_), false, false);
    EXPECT_EQ(db().gProveedor, "SQLOLEDB");
    releaseSharedDb();
    db().gProveedor = "Mio";
    db().OpenServerADODB(false, ado::adUseClient, connectionString(file_), false, false);
    EXPECT_EQ(db().gProveedor, "Mio");
}

TEST_F(Connections, AdministratorIsReadFromTheUsersTable) {
    db().gServidor = "sqlite";
    db().gDBName = file_;
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_TRUE(db().gEsAdmin);
    EXPECT_EQ(traced().join('\n'),
              "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) ='ADMIN' ");

    struct Case {
        const char* user;
        bool admin;
    };
    for (const Case c : {Case{"OPERADOR", false}, Case{"SINDATO", false}, Case{"TEXTO", true},
                         Case{"NADIE", false}, Case{"O'Brien", false}}) {
        installSessionLink({[u = QString::fromUtf8(c.user)] { return u; }});
        db().gCnn->Close();
        db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        EXPECT_EQ(db().gEsAdmin, c.admin) << c.user;
        EXPECT_TRUE(db().gOpenFlag) << c.user;
    }
}

TEST_F(Connections, AdministratorCheckNeedsTheUsersTable) {
    const QString other = path("otra.db");
    writeSqlite(other, "CREATE TABLE X (A INT);");
    for (const bool before : {true, false}) {
        releaseSharedDb();
        db().gEsAdmin = before;
        db().gServidor = "sqlite";
        db().gDBName = other;
        db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        EXPECT_TRUE(db().gOpenFlag);
        EXPECT_EQ(db().gEsAdmin, before);
    }
    // Without the error dialog the table's presence is enough.
    releaseSharedDb();
    installSessionLink({[] { return QStringLiteral("OPERADOR"); }});
    db().gServidor = "sqlite";
    db().gDBName = file_;
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    EXPECT_TRUE(db().gEsAdmin);
    EXPECT_TRUE(traced().isEmpty());
}

TEST_F(Connections, AnOpenConnectionIsClosedAndOpenedOnceMore) {
    connectTo(file_);
    db().OpenServerADODB(false, ado::adUseClient, QString(), false, false);
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
}

TEST_F(Connections, FailedOpenShowsTheConnectionErrorAndNoGivesUp) {
    db().gServidor = "sqlite";
    db().gDBName = path("no_existe.db");
    db().gUsuario = "sa";
    boxes_.answer(answer::No);
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);

    EXPECT_FALSE(db().gOpenFlag);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    const ShownBox& box = boxes_.shown()[0];
    EXPECT_EQ(box.title, " Error de Conexion a Base de Datos");
    EXPECT_EQ(box.style, mb::YesNo | mb::Critical);
    ASSERT_FALSE(db().gCnn->errors().empty());
    EXPECT_EQ(db().gCnn->errors().Item(0).Number, ado::err::ProviderFailure);
    EXPECT_EQ(box.text, shownConnectionError("sqlite", "sa"));
    EXPECT_TRUE(box.text.startsWith(" Estado de Sql: 08001\nNumero de Error: -2147467259\n"));
}

TEST_F(Connections, ConnectionErrorTextLineBreaksAsWritten) {
    ado::Error e;
    e.SQLState = "08001";
    e.Number = ado::err::ProviderFailure;
    e.Description = "No se puede abrir";
    e.NativeError = 4060;
    const QString text = connectionErrorText(e, "SRV01", "sa");
    EXPECT_EQ(text, expectedConnectionError(e, "SRV01", "sa"));
    EXPECT_TRUE(
        text.startsWith(" Estado de Sql: 08001\rNumero de Error: -2147467259\rDescripcion: "
                        "No se puede abrir\rCodigo Nativo: 4060\r\r\nNombre de Proceso: "));
    EXPECT_TRUE(
        text.endsWith("SRV01\\BRIMCOR\r\n3. Verifique si el inicio de sesion para el "
                      "usuario sa existe\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? "));
}

TEST_F(Connections, UnreadableFileAndYesAsksForAnotherConnection) {
    const QString garbage = path("basura.db");
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, '\x5a'));
    f.close();
    db().gServidor = "sqlite";
    db().gDBName = garbage;
    db().gUsuario = "sa";
    boxes_.answer(answer::Yes);
    login_->answers.push_back(accepted("sqlite", file_));
    db().OpenServerADODB(false, ado::adUseClient, QString(), false, true);

    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains(garbage));
    EXPECT_EQ(login_->shown.size(), 1u);
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db().gDBName, file_);
}

TEST_F(Connections, YesAndThenCancellingTheLoginWindowGivesUp) {
    db().gServidor = "sqlite";
    db().gDBName = path("no_existe.db");
    boxes_.answer(answer::Yes);
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_EQ(login_->shown.size(), 1u);
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST_F(Connections, WithoutTheErrorDialogAFailedOpenIsSilent) {
    db().gServidor = "sqlite";
    db().gDBName = path("no_existe.db");
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Connections, ReconnectingReopensTheSameConnection) {
    connectTo(file_);
    db().ReintentaConectar();
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->CommandTimeout(), 90);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);

    // A closed connection is simply opened.
    db().gCnn->Close();
    db().ReintentaConectar();
    EXPECT_TRUE(db().gOpenFlag);
}

TEST_F(Connections, ReconnectingToAnUnreachableDatabaseIsSilent) {
    connectTo(file_);
    removeDatabase();
    db().ReintentaConectar();
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_TRUE(boxes_.shown().empty());
    restoreDatabase();
    db().ReintentaConectar();
    EXPECT_TRUE(db().gOpenFlag);
}

TEST_F(Connections, LocalDatabaseStringAndFileDialog) {
    db().gProveedor = db().pJETOLEDB40();
    db().gDBName = file_;
    db().gUsuario = "Admin";
    db().OpenLocalADODB(QString(), "User ID", "Password");
    EXPECT_EQ(db().gConnString, "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =" + file_ +
                                    ";User ID=Admin;Password=;");
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
    EXPECT_TRUE(boxes_.shown().empty());

    // Without a file the operator chooses one.
    releaseSharedDb();
    db().gProveedor = db().pJETOLEDB35();
    boxes_.file(file_);
    db().OpenLocalADODB(QString(), "User ID", "Password");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].kind, BoxKind::File);
    EXPECT_EQ(boxes_.shown()[0].title, "Buscar Base de Datos");
    EXPECT_EQ(boxes_.shown()[0].text, "Base de Datos de Microsoft Access |*.MDB");
    EXPECT_EQ(db().gDBName, file_);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
    EXPECT_TRUE(db().gConnString.startsWith("PROVIDER=Microsoft.Jet.OLEDB.3.51;"));
}

TEST_F(Connections, LocalDatabaseThatCannotBeOpenedIsChosenAgain) {
    db().gProveedor = db().pJETOLEDB40();
    db().gDBName = path("no_existe.mdb");
    boxes_.file(path("tampoco.mdb")).file(QString());
    db().OpenLocalADODB(QString(), "User ID", "Password");
    EXPECT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(db().gCnn->State(), ado::adStateClosed);

    boxes_.file(file_);
    db().gDBName = path("no_existe.mdb");
    db().OpenLocalADODB(QString(), "User ID", "Password");
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db().gDBName, file_);
}

TEST_F(Connections, LocalDatabaseOtherFailuresShowNumberAndDescription) {
    db().gDBName = file_;
    boxes_.answer(answer::Ok);
    db().OpenLocalADODB("esto no es una cadena", "User ID", "Password");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].style, mb::Critical);
    EXPECT_TRUE(boxes_.shown()[0].text.startsWith("-2147467259  "))
        << boxes_.shown()[0].text.toStdString();
}

// A database that asks for a password: the stored one once, then the
// operator until an empty answer.
TEST_F(Connections, LocalDatabasePasswordIsNeverRetriedWithoutEnd) {
    using Next = LocalOpenRecovery::Next;
    LocalOpenRecovery stored(true, "guardada");
    EXPECT_EQ(stored.afterFailure("3031"), Next::OpenAgain);
    EXPECT_EQ(stored.passwordClause(), "Jet OLEDB:Database Password=guardada;");
    boxes_.text("tecleada").text(QString());
    EXPECT_EQ(stored.afterFailure("3031"), Next::OpenAgain);
    EXPECT_EQ(stored.passwordClause(), " Jet OLEDB:Database Password=tecleada;");
    EXPECT_EQ(stored.afterFailure("3031"), Next::GiveUp);
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[0].kind, BoxKind::Input);
    EXPECT_EQ(boxes_.shown()[0].text, "ingrese el password:");
    EXPECT_EQ(boxes_.shown()[0].title, "Password Access");

    LocalOpenRecovery asked(false, "guardada");
    boxes_.cancelInput();
    EXPECT_EQ(asked.afterFailure("3031"), Next::GiveUp);
    EXPECT_EQ(asked.passwordClause(), "");
    for (const char* state : {"3024", "3051", "3044", "08001"}) {
        EXPECT_EQ(asked.afterFailure(state), Next::ChooseFile) << state;
    }
    EXPECT_EQ(asked.afterFailure("42000"), Next::GiveUp);
}

TEST(ProviderNames, AreTheProvidersOwnNames) {
    DB_Dll db;
    EXPECT_EQ(db.pJETOLEDB40(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(db.pJETOLEDB35(), "Microsoft.Jet.OLEDB.3.51");
    EXPECT_EQ(db.pSQLOLEDB(), "SQLOLEDB");
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
}

TEST(StripConnect, DropsTheConnectionNameAndTheBlankBeforeTheArrow) {
    DB_Dll db;
    EXPECT_EQ(db.StripConnect("ABC"), "ABC");
    EXPECT_EQ(db.StripConnect("ABC ->X"), "ABC");
    EXPECT_EQ(db.StripConnect("CLIENTES ->local"), "CLIENTES");
    EXPECT_EQ(db.StripConnect("AB->X"), "A");
    EXPECT_EQ(db.StripConnect("->X"), "");
}

TEST(SharedInstance, IsOneUntilReleased) {
    DB_Dll* first = &sharedDb();
    EXPECT_EQ(&sharedDb(), first);
    sharedDb().gDBName = "X";
    releaseSharedDb();
    EXPECT_EQ(sharedDb().gDBName, "");
    releaseSharedDb();
}

}  // namespace
}  // namespace kl::db::test
