#include "session/ini_contable.h"

#include "session/sesion.h"
#include "session_db.h"

#include <gtest/gtest.h>

namespace kl::test {
namespace {

class UserSettings : public SessionDbTest {
  protected:
    void SetUp() override {
        SessionDbTest::SetUp();
        connect();
    }
    void key(const QString& clave, const QString& valor) {
        exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR) VALUES ('DATOS', "
                            "'%1', '%2')")
                 .arg(clave, valor));
    }
    void user(const QString& nombre, const QString& unidad) {
        exec(QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE, UNEGOCIO) VALUES ('%1', %2)")
                 .arg(nombre, unidad));
    }
};

TEST_F(UserSettings, ReadsEverySettingOfTheUser) {
    key("ESCRIBE_SOLO_MAYUSCULAS", "si");
    key("SS_BLOQUEOACTIVO", "SI");
    key("PERIODO", "2026");
    key("SS_CONFIDENCIALIDAD", "Si");
    user("ADMIN", "'12'");
    sesion().gUsuarioLogeado = "ADMIN";
    IniContable();
    const Sesion& s = sesion();
    EXPECT_TRUE(s.gSoloMayusculas);
    EXPECT_TRUE(s.gBloqueoActivo);
    EXPECT_EQ(s.gPeriodo, u"2026");
    EXPECT_TRUE(s.gConfidencialidad);
    EXPECT_EQ(s.gUNegocio, u"  12");
}

TEST_F(UserSettings, MissingKeysAreNotSiAndThePeriodKeepsTheBlank) {
    key("ESCRIBE_SOLO_MAYUSCULAS", "NO");
    key("SS_CONFIDENCIALIDAD", "SIEMPRE");
    IniContable();
    const Sesion& s = sesion();
    EXPECT_FALSE(s.gSoloMayusculas);
    EXPECT_FALSE(s.gBloqueoActivo);
    EXPECT_EQ(s.gPeriodo, u" ");
    EXPECT_FALSE(s.gConfidencialidad);
}

TEST_F(UserSettings, AUserWithoutBusinessUnitGetsUnitOne) {
    user("SINUNIDAD", "NULL");
    user("BLANCO", "'  '");
    for (const QString& nombre :
         {QStringLiteral("SINUNIDAD"), QStringLiteral("BLANCO"), QStringLiteral("NADIE")}) {
        sesion().gUsuarioLogeado = nombre;
        IniContable();
        EXPECT_EQ(sesion().gUNegocio, u"   1") << nombre.toStdString();
    }
}

TEST_F(UserSettings, AQuoteInTheUserNameFindsThatUser) {
    user("O''BRIEN", "'7'");
    sesion().gUsuarioLogeado = "O'Brien";
    IniContable();
    EXPECT_EQ(sesion().gUNegocio, u"   7");
}

}  // namespace
}  // namespace kl::test
