#include "startup/inicio_sesion.h"

#include "dblayer/program_info.h"
#include "lookup/lib_clscons3.h"
#include "platform/settings_files.h"
#include "platform/textfile.h"
#include "session/brimcor2.h"
#include "session/sesion.h"
#include "session/session_db.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace kl::test {
namespace {

class Startup : public SessionDbTest {
  protected:
    void SetUp() override {
        SessionDbTest::SetUp();
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
        QDir().mkpath(path("config"));
        exec(
            "INSERT INTO TA_USUARIOS (NOMBRE, UNEGOCIO) VALUES ('ADMIN', '2');"
            "INSERT INTO TA_MENU (CLAVE, NOMBRE, PROCESO) VALUES "
            "('0101', 'Configuración del Sistema', '" +
            procesoDelPrograma() +
            "');"
            "INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', '0101');"
            "INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('PERIODO', '3');");
        sharedConsultas() = Lib_ClsCons3{};
    }
    void TearDown() override {
        setCommandLine(QString());
        EstableceRutaAplicacion(QString());
        sharedConsultas() = Lib_ClsCons3{};
        qputenv("XDG_CONFIG_HOME", previousConfig_);
        SessionDbTest::TearDown();
    }
    void startWith(const QString& database, const QString& extra = QString()) {
        setCommandLine("@Server=sqlite;@DbName=" + database +
                       ";@Usuario=ADMIN;@Password=;@UsuarioLogeado=JUAN;@Caja=3;@Menu=M;"
                       "@ParametroAdicional=A=B;" +
                       extra);
    }

  private:
    QByteArray previousConfig_;
};

TEST_F(Startup, TheParameterStringLeadsToAWholeSession) {
    startWith(file_);
    IniciaSesion();
    const Sesion& s = sesion();
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gServidor, u"sqlite");
    EXPECT_EQ(db().gDBName, file_);
    EXPECT_EQ(db().gUsuario, u"ADMIN");
    EXPECT_EQ(db().gCnn->CommandTimeout(), 360);
    EXPECT_EQ(s.gCaja, u"3");
    EXPECT_EQ(s.gMenu, u"M");
    EXPECT_EQ(s.gParametroAdicional, u"AB");
    // The connection's user replaces the menu's one.
    EXPECT_EQ(s.gUsuarioLogeado, u"ADMIN");
    EXPECT_EQ(s.gSeccionMaquina,
              Brimcor2::NombreMaquina().toUpper() + u'|' + Brimcor2::UsuarioWindows().toUpper());
    EXPECT_TRUE(s.gFlatToolbars);
    EXPECT_EQ(s.gPeriodo, u"3");
    EXPECT_EQ(s.gUNegocio, u"   2");

    const QString folder = Brimcor2::AgregaBarra(QDir::toNativeSeparators(kl::programFolder()));
    EXPECT_EQ(RutaAplicacion(), folder);
    const Lib_ClsCons3& consultas = sharedConsultas();
    EXPECT_EQ(consultas.gConnString, db().gConnString);
    EXPECT_TRUE(consultas.gUsarMascarasConsultas);
    EXPECT_EQ(consultas.gRutaMascaraConsultas, folder + "consultas.kvw");

    EXPECT_EQ(scalar("SELECT COUNT(*) || '|' || TAREA || '|' || NOMBREUSUARIO || '|' || "
                     "IFNULL(EGRESO, 'NULL') FROM CONTROL_ACCESO"),
              u"1|CONFIGURACIÓN DEL SISTEMA|ADMIN|NULL");
    EXPECT_EQ(programEnds(), 0);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Startup, TheShutdownWritesTheExitAndReleasesTheSharedObjects) {
    startWith(file_);
    IniciaSesion();
    const QString id = sesion().gIdAcceso.toString();
    FinalizaSesion();
    EXPECT_NE(scalar("SELECT EGRESO FROM CONTROL_ACCESO WHERE ID = " + id), u"<null>");
    EXPECT_EQ(RutaAplicacion(), u"");
    // The next use of the access layer starts afresh, unconnected.
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_EQ(db().gDBName, u"");
}

TEST_F(Startup, AFlatToolbarsSettingOfZeroTurnsThemOff) {
    const QString section =
        Brimcor2::NombreMaquina().toUpper() + u'|' + Brimcor2::UsuarioWindows().toUpper();
    ASSERT_TRUE(
        cp1252::writeFile(path("config/KL000p.INI"), "[" + section + "]\r\nFlatToolbars=0\r\n"));
    startWith(file_);
    IniciaSesion();
    EXPECT_FALSE(sesion().gFlatToolbars);
}

TEST_F(Startup, AnOpenConnectionIsKeptAndTheStringNotRead) {
    connect("ADMIN");
    startWith("/otra/base.db");
    IniciaSesion();
    EXPECT_EQ(db().gDBName, file_);
    EXPECT_EQ(sesion().gCaja, u"");
    EXPECT_EQ(sesion().gUsuarioLogeado, u"ADMIN");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CONTROL_ACCESO"), u"1");
}

TEST_F(Startup, WithoutAConnectionTheProgramEndsAndWritesNothing) {
    startWith(path("no/existe/contab.db"));
    boxes_.answer(answer::No);  // the layer asks whether to try again
    testing::internal::CaptureStderr();
    IniciaSesion();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(programEnds(), 1);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].style, mb::YesNo | mb::Critical);
    EXPECT_NE(QString::fromLocal8Bit(err).indexOf(
                  db::executableName() + ": no se pudo conectar con la base de datos \"" +
                  path("no/existe/contab.db") + "\" del servidor \"sqlite\"; el programa termina."),
              -1)
        << err;
    EXPECT_TRUE(sesion().gIdAcceso.isEmpty());
    EXPECT_EQ(sharedConsultas().gConnString, u"");
    EXPECT_EQ(RutaAplicacion(), u"");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CONTROL_ACCESO"), u"0");
}

// No server named: the login window comes at once (test_inicio_con_acceso
// shows it), with no failed connection and no question before it; closed,
// the program ends.
TEST_F(Startup, AnEmptyCommandLineAsksNothingBeforeTheLoginWindow) {
    setCommandLine(QString());
    testing::internal::CaptureStderr();
    IniciaSesion();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(db().gServidor, u"");
    EXPECT_EQ(db().gDBName, u"");
    EXPECT_EQ(db().gUsuario, u"");
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(programEnds(), 1);
}

TEST_F(Startup, AQuotedUserFromTheCommandLineCannotChangeTheAccessCheck) {
    setCommandLine("@Server=sqlite;@DbName=" + file_ + ";@Usuario=X') OR ('1' LIKE '1;@Password=;");
    IniciaSesion();
    // The embedded engine takes any user; the access row is written for the
    // odd name, without the administrator's task.
    EXPECT_EQ(scalar("SELECT COUNT(*) || '|' || TAREA || '|' || NOMBREUSUARIO FROM "
                     "CONTROL_ACCESO"),
              u"1||X') OR ('1' LIKE '1");
}

}  // namespace
}  // namespace kl::test
