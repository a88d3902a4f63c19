#include "platform/error_numbers.h"
#include "session/claves_configuracion.h"

#include "session/sesion.h"
#include "session_db.h"

#include <gtest/gtest.h>

namespace kl::test {
namespace {

class KeyStore : public SessionDbTest {
  protected:
    void SetUp() override {
        SessionDbTest::SetUp();
        connect();
    }
    void key(const QString& clave, const QString& valor,
             const QString& aux = QStringLiteral("NULL")) {
        exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR, VALORAUX) "
                            "VALUES ('DATOS', '%1', %2, %3)")
                 .arg(clave, valor, aux));
    }
    void digits(const QStringList& values) {
        for (int i = 0; i < kNivelesCuenta; ++i)
            key(QString::fromLatin1(kClavesDigitosNivel[i]), u'\'' + values[i] + u'\'');
    }
};

TEST_F(KeyStore, ReadsTheValueAndTheAuxiliaryValue) {
    key("NOMBRE", "'Distribuidora del Plata S.A.'", "'extra'");
    QString aux = "antes";
    EXPECT_EQ(Cfg("NOMBRE", aux), u"Distribuidora del Plata S.A.");
    EXPECT_EQ(aux, u"extra");
    EXPECT_EQ(sesion().gTablaConfiguracion, u"TA_CONFIGURACION");
    EXPECT_EQ(traced(), QStringList{"SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = "
                                    "'NOMBRE'"});
}

TEST_F(KeyStore, AMissingKeyReadsAsOneBlankWithNoAuxiliaryValue) {
    QString aux = "antes";
    EXPECT_EQ(Cfg("NO_EXISTE", aux), u" ");
    EXPECT_EQ(aux, u"");
}

TEST_F(KeyStore, NullColumnsReadAsEmptyTexts) {
    key("VACIA", "NULL");
    QString aux = "antes";
    EXPECT_EQ(Cfg("VACIA", aux), u"");
    EXPECT_EQ(aux, u"");
}

TEST_F(KeyStore, TheKeyIsTrimmedAndFoundWhateverItsCase) {
    key("USA CONTRASEÑA", "'SI'");
    key("UsaMultilesMonedas", "'NO'");
    EXPECT_EQ(Cfg("usa contraseña"), u"SI");
    EXPECT_EQ(Cfg("  Usa Contraseña  "), u"SI");
    EXPECT_EQ(Cfg("USAMULTILESMONEDAS"), u"NO");
    const QStringList statements = traced();
    ASSERT_EQ(statements.size(), 3);
    EXPECT_EQ(statements[0],
              u"SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'usa contraseña'");
    EXPECT_EQ(statements[1],
              u"SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'Usa Contraseña'");
}

TEST_F(KeyStore, TheTwoBracketedDateKeysUpperCaseTheWholeStatement) {
    key("[FECHA DESDE]", "'01/01/2026'");
    EXPECT_EQ(Cfg("[fecha desde]"), u"01/01/2026");
    Cfg("[Fecha Hasta]");
    Cfg("fecha desde");
    EXPECT_EQ(
        traced(),
        (QStringList{"SELECT VALOR, VALORAUX FROM TA_CONFIGURACION WHERE CLAVE = '[FECHA DESDE]'",
                     "SELECT VALOR, VALORAUX FROM TA_CONFIGURACION WHERE CLAVE = '[FECHA HASTA]'",
                     "SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'fecha desde'"}));
}

TEST_F(KeyStore, AQuoteInAKeyIsDoubledAndCannotChangeTheStatement) {
    key("CLAVE''RARA", "'valor'");
    key("OTRA", "'secreto'");
    EXPECT_EQ(Cfg("CLAVE'RARA"), u"valor");
    EXPECT_EQ(Cfg("X' OR CLAVE = 'OTRA"), u" ");
    EXPECT_EQ(traced().first(),
              u"SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'CLAVE''RARA'");
}

TEST_F(KeyStore, AFailedReadShowsTheNoticeAndLeavingGivesAnEmptyText) {
    sesion().gTablaConfiguracion = "NO_HAY_TABLA";
    // The layer's own notice for the open, then the key store's for the read.
    boxes_.answer(answer::Abort).answer(answer::Abort);
    QString aux = "antes";
    EXPECT_EQ(Cfg("NOMBRE", aux), u"");
    EXPECT_EQ(aux, u"antes");
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[1].title, u"Error en Cfg");
    EXPECT_EQ(boxes_.shown()[1].style, mb::AbortRetryIgnore | mb::Critical);
}

TEST_F(KeyStore, IgnoringAFailedReadGoesOnWithNothingRead) {
    sesion().gTablaConfiguracion = "NO_HAY_TABLA";
    boxes_.answer(answer::Abort).answer(answer::Ignore);
    // Ignoring goes on: nothing was read, so the result stays empty.
    EXPECT_EQ(Cfg("NOMBRE"), u"");
    EXPECT_EQ(boxes_.shown().size(), 2u);
}

TEST_F(KeyStore, GrabaDfgInsertsThenUpdatesTheKey) {
    Cfg("PERIODO");  // the table is named by the first read
    GrabaDfg("Periodo", Value(7), QString(), false, "DATOS");
    EXPECT_EQ(scalar("SELECT CLAVE || '|' || VALOR || '|' || GRUPO || '|' || PoliticaNegocio || "
                     "'|' || IFNULL(VALORAUX, 'NULL') FROM TA_CONFIGURACION"),
              u"PERIODO|7|DATOS|0|NULL");
    GrabaDfg("Periodo", Value(8), QString(), false, "DATOS");
    EXPECT_EQ(scalar("SELECT COUNT(*) || '|' || MAX(VALOR) FROM TA_CONFIGURACION"), u"1|8");
    EXPECT_EQ(Cfg("periodo"), u"8");
    EXPECT_EQ(traced().filter("SELECT * FROM").first(),
              u"SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'Periodo'");
}

TEST_F(KeyStore, GrabaDfgTrimsAndUpperCasesAndKeepsTheAuxiliaryValueUnlessGiven) {
    Cfg("x");
    GrabaDfg(" usa contraseña ", Value(QStringLiteral("  SI  ")), "  aux  ", true, "DATOS");
    EXPECT_EQ(scalar("SELECT CLAVE || '|' || VALOR || '|' || VALORAUX || '|' || PoliticaNegocio "
                     "FROM TA_CONFIGURACION"),
              u"USA CONTRASEÑA|SI|aux|1");
    GrabaDfg("USA CONTRASEÑA", Value(QStringLiteral("NO")), QString(), false, "DATOS");
    EXPECT_EQ(scalar("SELECT COUNT(*) || '|' || VALOR || '|' || VALORAUX FROM TA_CONFIGURACION"),
              u"1|NO|aux");
}

TEST_F(KeyStore, GrabaDfgWithAQuoteInTheKeyWritesThatKey) {
    Cfg("x");
    GrabaDfg("O'Brien", Value(1), QString(), false, "DATOS");
    GrabaDfg("O'Brien", Value(2), QString(), false, "DATOS");
    EXPECT_EQ(scalar("SELECT COUNT(*) || '|' || CLAVE || '|' || VALOR FROM TA_CONFIGURACION"),
              u"1|O'BRIEN|2");
}

TEST_F(KeyStore, AFailedWriteShowsTheNoticeOfGrabaDfg) {
    sesion().gTablaConfiguracion = "NO_HAY_TABLA";
    boxes_.answer(answer::Abort);
    GrabaDfg("PERIODO", Value(1), QString(), false, "DATOS");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].title, u"Error en GrabaDfg");
}

TEST_F(KeyStore, DigitsAndPositionsOfTheSixLevels) {
    digits({"1", "1", "2", "2", "4", "0"});
    EXPECT_FALSE(LeeDigitosNiveles());
    EXPECT_FALSE(CalculaPosicionesNiveles());
    EXPECT_EQ(sesion().gDigitosNivel, (DigitosNiveles{1, 1, 2, 2, 4, 0}));
    EXPECT_EQ(sesion().gPosicionNivel, (DigitosNiveles{1, 2, 4, 6, 10, 10}));
}

TEST_F(KeyStore, DigitTextsReadTheirLeadingNumberRoundedHalfToEven) {
    digits({"2.5", "  2.5", "3abc", "3.5", "", "x"});
    EXPECT_FALSE(LeeDigitosNiveles());
    EXPECT_EQ(sesion().gDigitosNivel, (DigitosNiveles{2, 2, 3, 4, 0, 0}));
    // Positions round each running sum: 2.5 -> 2, 2 + 2.5 = 4.5 -> 4, 4 + 3 = 7, 7 + 3.5 = 10.5
    // -> 10.
    EXPECT_FALSE(CalculaPosicionesNiveles());
    EXPECT_EQ(sesion().gPosicionNivel, (DigitosNiveles{2, 4, 7, 10, 10, 10}));
}

TEST_F(KeyStore, MissingDigitKeysReadAsZero) {
    EXPECT_FALSE(LeeDigitosNiveles());
    EXPECT_EQ(sesion().gDigitosNivel, (DigitosNiveles{0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyStore, AnAbsurdDigitCountEndsTheReading) {
    digits({"3", "99999", "2", "2", "2", "2"});
    sesion().gDigitosNivel = {9, 9, 9, 9, 9, 9};
    const StepResult failure = LeeDigitosNiveles();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, ado::err::Overflow);
    EXPECT_EQ(sesion().gDigitosNivel, (DigitosNiveles{3, 9, 9, 9, 9, 9}));
    EXPECT_TRUE(CalculaPosicionesNiveles());
}

}  // namespace
}  // namespace kl::test
