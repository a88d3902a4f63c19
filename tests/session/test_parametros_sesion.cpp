#include "session/parametros_sesion.h"

#include "fuzz/parametros_sesion_properties.h"
#include "fuzz/seed_replay.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace kl {
namespace {

TEST(ParametrosSesion, TheMainMenusStringGivesEveryValue) {
    const ParametrosSesion p = leeParametrosSesion(QStringLiteral(
        "@Server=SRV01;@DbName=CONTAB;@Usuario=sa;@Password=;@UsuarioLogeado=JUAN;@Caja=1;"
        "@Menu=M;@ParametroAdicional=;"));
    EXPECT_EQ(p.servidor, u"SRV01");
    EXPECT_EQ(p.baseDeDatos, u"CONTAB");
    EXPECT_EQ(p.usuario, u"sa");
    EXPECT_EQ(p.password, u"");
    EXPECT_EQ(p.usuarioLogeado, u"JUAN");
    EXPECT_EQ(p.caja, u"1");
    EXPECT_EQ(p.menu, u"M");
    EXPECT_EQ(p.parametroAdicional, u"");
}

TEST(ParametrosSesion, ItemsComeInAnyOrder) {
    const ParametrosSesion p = leeParametrosSesion(
        QStringLiteral("@Caja=7;@DbName=CONTAB;@Menu=X;@Server=SRV02\\CONTA;@Usuario=op;"));
    EXPECT_EQ(p.caja, u"7");
    EXPECT_EQ(p.baseDeDatos, u"CONTAB");
    EXPECT_EQ(p.menu, u"X");
    EXPECT_EQ(p.servidor, u"SRV02\\CONTA");
    EXPECT_EQ(p.usuario, u"op");
}

TEST(ParametrosSesion, KeysIgnoreCaseAndValuesKeepIt) {
    const ParametrosSesion p = leeParametrosSesion(QStringLiteral("@server=SRV;@DBNAME=Db;"));
    EXPECT_EQ(p.servidor, u"SRV");
    EXPECT_EQ(p.baseDeDatos, u"Db");
    EXPECT_EQ(valorDeParametro(QStringLiteral("@SERVER=MiServidor;"), QStringLiteral("@Server")),
              u"MiServidor");
}

TEST(ParametrosSesion, TextBetweenKeyAndEqualsStaysAndBlanksAreTrimmed) {
    EXPECT_EQ(valorDeParametro(QStringLiteral("@Server =X;"), QStringLiteral("@Server")), u"X");
    EXPECT_EQ(valorDeParametro(QStringLiteral("@Server  =  SRV 01  ;"), QStringLiteral("@Server")),
              u"SRV 01");
    EXPECT_EQ(valorDeParametro(QStringLiteral("@ServerX=Y;"), QStringLiteral("@Server")), u"XY");
}

TEST(ParametrosSesion, EveryEqualsSignIsLost) {
    EXPECT_EQ(valorDeParametro(QStringLiteral("@ParametroAdicional=A=B;"),
                               QStringLiteral("@ParametroAdicional")),
              u"AB");
    EXPECT_EQ(valorDeParametro(QStringLiteral("@Password=cl=ave==;"), QStringLiteral("@Password")),
              u"clave");
}

TEST(ParametrosSesion, ASemicolonEndsTheValue) {
    const ParametrosSesion p =
        leeParametrosSesion(QStringLiteral("@Usuario=sa;@Password=ab;cd;@Caja=2;"));
    EXPECT_EQ(p.password, u"ab");
    EXPECT_EQ(p.caja, u"2");
}

TEST(ParametrosSesion, AnItemWithoutItsSemicolonIsEmpty) {
    EXPECT_EQ(valorDeParametro(QStringLiteral("@DbName=CONTAB"), QStringLiteral("@DbName")), u"");
    const ParametrosSesion p = leeParametrosSesion(QStringLiteral("@Server=SRV;@DbName=CONTAB"));
    EXPECT_EQ(p.servidor, u"SRV");
    EXPECT_EQ(p.baseDeDatos, u"");
    // Nothing in the string has a ";".
    const ParametrosSesion sinFin =
        leeParametrosSesion(QStringLiteral("@Server=SRV @DbName=CONTAB @Usuario=sa"));
    EXPECT_EQ(sinFin.servidor, u"");
    EXPECT_EQ(sinFin.baseDeDatos, u"");
    EXPECT_EQ(sinFin.usuario, u"");
}

TEST(ParametrosSesion, UsuarioFindsTheFirstOfItsOccurrencesEvenInsideUsuarioLogeado) {
    const ParametrosSesion p =
        leeParametrosSesion(QStringLiteral("@UsuarioLogeado=JUAN;@Usuario=sa;"));
    EXPECT_EQ(p.usuario, u"LogeadoJUAN");
    EXPECT_EQ(p.usuarioLogeado, u"JUAN");
    // Written in the menu's order both come out right.
    const ParametrosSesion enOrden =
        leeParametrosSesion(QStringLiteral("@Usuario=sa;@UsuarioLogeado=JUAN;"));
    EXPECT_EQ(enOrden.usuario, u"sa");
    EXPECT_EQ(enOrden.usuarioLogeado, u"JUAN");
}

TEST(ParametrosSesion, TheFirstOfDuplicateKeysWins) {
    const ParametrosSesion p =
        leeParametrosSesion(QStringLiteral("@Server=UNO;@Server=DOS;@server=TRES;"));
    EXPECT_EQ(p.servidor, u"UNO");
}

TEST(ParametrosSesion, UnknownTextBetweenItemsIsIgnored) {
    const ParametrosSesion p = leeParametrosSesion(
        QStringLiteral("basura @Otro=1; @Server=SRV; más texto;@DbName=CONTAB;fin"));
    EXPECT_EQ(p.servidor, u"SRV");
    EXPECT_EQ(p.baseDeDatos, u"CONTAB");
    EXPECT_EQ(p.caja, u"");
}

TEST(ParametrosSesion, EmptyAndBlankStringsGiveEmptyValues) {
    for (const QString& parametros :
         {QString(), QStringLiteral("   "), QStringLiteral(";;;"), QStringLiteral("=;=;")}) {
        const ParametrosSesion p = leeParametrosSesion(parametros);
        EXPECT_EQ(p.servidor, u"");
        EXPECT_EQ(p.baseDeDatos, u"");
        EXPECT_EQ(p.usuario, u"");
        EXPECT_EQ(p.password, u"");
        EXPECT_EQ(p.usuarioLogeado, u"");
        EXPECT_EQ(p.caja, u"");
        EXPECT_EQ(p.menu, u"");
        EXPECT_EQ(p.parametroAdicional, u"");
    }
}

TEST(ParametrosSesion, AKeyAtTheVeryEndOrWithOnlyBlanksGivesEmpty) {
    EXPECT_EQ(valorDeParametro(QStringLiteral("@Caja"), QStringLiteral("@Caja")), u"");
    EXPECT_EQ(valorDeParametro(QStringLiteral("@Caja;"), QStringLiteral("@Caja")), u"");
    EXPECT_EQ(valorDeParametro(QStringLiteral("@Caja=   ;"), QStringLiteral("@Caja")), u"");
}

TEST(ParametrosSesion, ValuesKeepQuotesAccentsAndBlanksInside) {
    const ParametrosSesion p = leeParametrosSesion(
        QStringLiteral("@Usuario=sa;@UsuarioLogeado=O'Brien;@DbName=Contabilidad Año 2026;"));
    EXPECT_EQ(p.usuarioLogeado, u"O'Brien");
    EXPECT_EQ(p.baseDeDatos, u"Contabilidad Año 2026");
}

TEST(ParametrosSesion, AVeryLongStringIsReadWhole) {
    const QString relleno(10000, u'x');
    const ParametrosSesion p = leeParametrosSesion(
        relleno + QStringLiteral(";@Server=SRV;@ParametroAdicional=") + relleno + u';');
    EXPECT_EQ(p.servidor, u"SRV");
    EXPECT_EQ(p.parametroAdicional, relleno);
    // 10,000 characters without any item.
    const ParametrosSesion nada = leeParametrosSesion(QString(10000, u';'));
    EXPECT_EQ(nada.servidor, u"");
}

TEST(ParametrosSesion, FuzzSeedsGiveCleanValuesThatReadBackWhenWrittenAgain) {
    properties::checkPrefixes("parametros_sesion", [](const QByteArray& bytes) {
        return properties::parametrosSesionViolation(QString::fromUtf8(bytes));
    });
}

}  // namespace
}  // namespace kl
