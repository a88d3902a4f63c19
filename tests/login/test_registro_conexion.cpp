#include "login/registro_conexion.h"
#include "login_fixture.h"
#include "platform/ado/ado.h"
#include "session/brimcor2.h"
#include "support/embedded_db.h"

#include <vector>

namespace kl::test {
namespace {

TEST(NombreConexion, DatabaseAndServerInCapitalsWithoutThePort) {
    EXPECT_EQ(login::nombreConexion(" contab ", "srv01\\sql"), "CONTAB / SRV01\\SQL");
    EXPECT_EQ(login::nombreConexion("CONTAB", " srv01:1500 "), "CONTAB / SRV01");
    EXPECT_EQ(login::parteServidor("a:1:2"), "A");
    EXPECT_EQ(login::nombreConexion("", ""), " / ");
}

TEST(NombreConexion, RefusedWhenBasesTxtCouldNotKeepIt) {
    EXPECT_EQ(login::motivoNoRegistrable("CONTAB", "SRV01:1500"), "");
    EXPECT_EQ(login::motivoNoRegistrable(QString::fromUtf8("Año"), "/tmp/x y.db"), "");
    for (const auto& [base, servidor] :
         std::vector<std::pair<QString, QString>>{{"CON,TAB", "SRV01"}, {"CONTAB", "SRV,01"}}) {
        const QString motivo = login::motivoNoRegistrable(base, servidor);
        EXPECT_TRUE(motivo.contains("comas")) << motivo.toStdString();
        EXPECT_TRUE(motivo.contains("BASES.TXT")) << motivo.toStdString();
    }
    EXPECT_TRUE(login::motivoNoRegistrable("A\nB", "S").contains("saltos de linea"));
    EXPECT_TRUE(login::motivoNoRegistrable(QString::fromUtf8("база"), "S").contains("caracteres"));
}

TEST(FallasDeRegistro, OnlyTheKnownNumbersArePassedOver) {
    for (long numero : {3704L, ado::err::hresult(0x80070420), 1056L, 440L, 20480L})
        EXPECT_TRUE(login::fallaIgnorada(numero)) << numero;
    for (long numero : {0L, 3705L, 75L, ado::err::ProviderFailure, 0x80070420L})
        EXPECT_FALSE(login::fallaIgnorada(numero)) << numero;
}

TEST(FallasDeRegistro, MessageShowsTheNumberAsStrDoes) {
    EXPECT_EQ(login::textoFallaRegistro({75, "Error de acceso", "x"}),
              "SQL Server start failed.  \rSQL-DMO error:   75 Error de acceso");
    EXPECT_EQ(login::textoFallaRegistro({ado::err::ProviderFailure, "Falla", "x"}),
              "SQL Server start failed.  \rSQL-DMO error:  -2147467259 Falla");
}

TEST(FallasDeRegistro, OdbcCommandLine) {
    EXPECT_EQ(login::argumentoODBC("SRV01", "CONTAB"), "Server=SRV01;DB=CONTAB;");
}

class Registro : public LoginTest {
  protected:
    EmbeddedDb files_;
};

TEST_F(Registro, GrabaConexionEncodesThePasswordAndMarksOracle) {
    ASSERT_FALSE(
        GrabaConexion("CONTAB / SRV01", "CONTAB", "CONTAB", "clave secreta", "SRV01:1500", false));
    ASSERT_FALSE(GrabaConexion("ORA / SRV", "ORA", "ORA", "ORA", "SRV", true));
    const QStringList lineas = leeBases().split("\r\n");
    ASSERT_EQ(lineas.size(), 3) << leeBases().toStdString();
    EXPECT_EQ(lineas[2], "");
    const login::LineaBases primera = login::leeLineaBases(lineas[0]);
    EXPECT_EQ(primera.nombre, "CONTAB / SRV01");
    EXPECT_EQ(primera.servidor, "SRV01:1500");
    EXPECT_NE(primera.clave, "clave secreta");
    EXPECT_EQ(Brimcor2::DecodificaTexto(primera.clave), "clave secreta");
    EXPECT_EQ(login::leeLineaBases(lineas[1]).servidor, "#SRV");
}

TEST_F(Registro, ExisteBaseDeDatosOpensAndClosesTheLayersConnection) {
    const QString file = files_.create("contab.db", "CREATE TABLE T (A INT);");
    db::DB_Dll& db = db::sharedDb();
    EXPECT_TRUE(ExisteBaseDeDatos("sqlite", file, "CONTAB", "CONTAB", "SQLOLEDB"));
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
    EXPECT_FALSE(ExisteBaseDeDatos("sqlite", file + ".no", "X", "X", "SQLOLEDB"));
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
    EXPECT_FALSE(db.gCnn->errors().empty());
}

TEST_F(Registro, ExisteBaseDeDatosClosesAnOpenConnectionFirst) {
    const QString file = files_.create("contab.db", "CREATE TABLE T (A INT);");
    const QString other = files_.create("otra.db", "CREATE TABLE T (A INT);");
    db::DB_Dll& db = db::sharedDb();
    ASSERT_FALSE(db.gCnn->Open(EmbeddedDb::connectionString(other)));
    db.gOpenFlag = true;
    EXPECT_TRUE(ExisteBaseDeDatos("sqlite", file, "CONTAB", "CONTAB", "SQLOLEDB"));
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
}

// The layer keeps its flag up after a failed open: the connection it would
// close is closed already, which is no fault of the one being tested.
TEST_F(Registro, ExisteBaseDeDatosIsNotMisledByAStaleFlag) {
    const QString file = files_.create("contab.db", "CREATE TABLE T (A INT);");
    db::sharedDb().gOpenFlag = true;
    EXPECT_TRUE(ExisteBaseDeDatos("sqlite", file, "CONTAB", "CONTAB", "SQLOLEDB"));
}

}  // namespace
}  // namespace kl::test
