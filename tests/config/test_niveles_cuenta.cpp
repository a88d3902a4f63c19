#include "config/niveles_cuenta.h"
#include "support/printers.h"

#include "config/aceptacion.h"
#include "config/renumeracion.h"
#include "config_fixture.h"
#include "progress/dll_display.h"
#include "progress/lbf_ctrldisplay.h"
#include "session/claves_configuracion.h"

#include <QPushButton>
#include <QTimer>

#include <ostream>

namespace kl::config::test {
namespace {

const DigitosNiveles kEjemplo = {1, 1, 2, 2, 3, 3};

DigitosNiveles con(DigitosNiveles digitos, int nivel, int valor) {
    digitos[nivel - 1] = static_cast<std::int16_t>(valor);
    return digitos;
}

TEST(CodigoRenumerado, WidensOnlyTheLevelsACodeReaches) {
    const DigitosNiveles nivel2 = con(kEjemplo, 2, 2);
    EXPECT_EQ(codigoRenumerado("1103", kEjemplo, nivel2), "10103");
    EXPECT_EQ(codigoRenumerado("1", kEjemplo, nivel2), "1");
    EXPECT_EQ(codigoRenumerado("110305001", kEjemplo, nivel2), "1010305001");

    const DigitosNiveles nivel1 = con(kEjemplo, 1, 2);
    EXPECT_EQ(codigoRenumerado("1103", kEjemplo, nivel1), "01103");
    EXPECT_EQ(codigoRenumerado("2", kEjemplo, nivel1), "02");
    // A code cut inside a level does not reach it; its tail is kept.
    EXPECT_EQ(codigoRenumerado("110", kEjemplo, con(kEjemplo, 3, 3)), "110");
    EXPECT_EQ(codigoRenumerado(" 1103 ", kEjemplo, kEjemplo), "1103");
}

TEST(CodigoRenumerado, TwoGrownLevelsAreLocatedWithTheWidthsApplied) {
    const DigitosNiveles nuevos = con(con(kEjemplo, 2, 2), 4, 3);
    EXPECT_EQ(codigoRenumerado("110305", kEjemplo, nuevos), "10103005");
    EXPECT_EQ(codigoRenumerado("1103", kEjemplo, nuevos), "10103");
    // Applying the levels one after the other gives the same codes.
    const DigitosNiveles paso = con(kEjemplo, 2, 2);
    EXPECT_EQ(codigoRenumerado(codigoRenumerado("110305", kEjemplo, paso), paso, nuevos),
              "10103005");
}

TEST(CodigoRenumerado, LettersArePaddedAsTextAndEmptyLevelsNeedCharacters) {
    const DigitosNiveles nivel3 = con(kEjemplo, 3, 3);
    EXPECT_EQ(codigoRenumerado("11A3", kEjemplo, nivel3), "110A3");
    EXPECT_EQ(codigoRenumerado("11B3", kEjemplo, nivel3), "110B3");
    const DigitosNiveles cinco = {1, 1, 2, 2, 3, 0};
    // Accounts ending where the empty sixth level would start stay as they are.
    EXPECT_EQ(codigoRenumerado("110305001", cinco, con(cinco, 6, 2)), "110305001");
}

TEST(CalculaRenumeracion, MapsOnlyChangedCodesLongestFirst) {
    const MapaRenumeracion mapa =
        calculaRenumeracion({"1", "11", "1103", "110305"}, kEjemplo, con(kEjemplo, 2, 2));
    ASSERT_EQ(mapa.cambios.size(), 3u);
    EXPECT_EQ(mapa.cambios[0].anterior, "110305");
    EXPECT_EQ(mapa.cambios[0].nuevo, "1010305");
    EXPECT_EQ(mapa.cambios[2].anterior, "11");
    EXPECT_EQ(mapa.cambios[2].nuevo, "101");
    EXPECT_TRUE(mapa.colisiones.isEmpty());
}

TEST(CalculaRenumeracion, ListsCodesThatWouldEndEqual) {
    const MapaRenumeracion mapa = calculaRenumeracion({"1103", " 1103", "1104", "11a5", "11A5 "},
                                                      kEjemplo, con(kEjemplo, 2, 2));
    ASSERT_EQ(mapa.colisiones.size(), 2);
    EXPECT_EQ(mapa.colisiones[0], "1103 y 1103 pasarían a 10103");
    EXPECT_EQ(mapa.colisiones[1], "11a5 y 11A5 pasarían a 101a5");
}

// A chart and journal in the embedded database, the stored structure being
// the worked example's 1, 1, 2, 2, 3 and 3 digits.
class AccountLevels : public ConfigDbTest {
  protected:
    void SetUp() override {
        ConfigDbTest::SetUp();
        ASSERT_TRUE(exec(R"sql(
CREATE TABLE MA_CUENTAS (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CODIGO VARCHAR(20) NOT NULL COLLATE KL_CI UNIQUE,
  DESCRIPCION VARCHAR(60) COLLATE KL_CI);
CREATE TABLE MV_ASIENTOS (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CUENTA VARCHAR(20) NOT NULL COLLATE KL_CI,
  IMPORTE MONEY NOT NULL DEFAULT 0);
CREATE INDEX IX_MV_ASIENTOS_CUENTA ON MV_ASIENTOS (CUENTA);
INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1'), ('11'), ('1103'), ('110305'), ('2'), ('21'),
  ('2101');
INSERT INTO MV_ASIENTOS (CUENTA, IMPORTE) VALUES ('1103', 10), ('110305', 20), ('2101', 30),
  ('1103', 40), ('9999', 50), ('110305', 60), ('2101', 70), ('1103', 80);
)sql"));
        store(kEjemplo);
        form_.fillValid();
        setForm(kEjemplo);
        opciones_.renglonesPorTanda = 3;
        niveles_.setOpciones(opciones_);
    }
    void TearDown() override {
        releaseDllDisplay();
        ConfigDbTest::TearDown();
    }

    void store(const DigitosNiveles& d) {
        for (int i = 0; i < kNivelesCuenta; ++i) {
            ASSERT_TRUE(
                exec(QStringLiteral("INSERT OR REPLACE INTO TA_CONFIGURACION (GRUPO, CLAVE, "
                                    "VALOR) VALUES ('DATOS', '%1', '%2')")
                         .arg(kClavesDigitosNivel[i])
                         .arg(d[i])));
        }
    }
    void setForm(const DigitosNiveles& d) {
        for (int i = 0; i < kNivelesCuenta; ++i)
            form_.set(kClavesDigitosNivel[i], QString::number(d[i]));
    }
    QString chart() const {
        return scalar(
            "SELECT group_concat(CODIGO, ',') FROM (SELECT CODIGO FROM MA_CUENTAS ORDER "
            "BY ID)");
    }
    QString journal() const {
        return scalar(
            "SELECT group_concat(CUENTA, ',') FROM (SELECT CUENTA FROM MV_ASIENTOS ORDER BY ID)");
    }
    QString storedDigits() const {
        QStringList values;
        for (const char* key : kClavesDigitosNivel)
            values << scalar(
                QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(key));
        return values.join(",");
    }
    bool accept() {
        return AceptaConfiguracion(
            {form_, validacion_, &niveles_, [](const QString&) { return true; }, false, {}});
    }
    void expectUntouched() {
        EXPECT_EQ(chart(), kChart);
        EXPECT_EQ(journal(), kJournal);
        EXPECT_EQ(storedDigits(), "1,1,2,2,3,3");
        EXPECT_EQ(scalar("SELECT count(*) FROM sqlite_master WHERE name LIKE '#%'"), "0");
    }
    const ShownBox& box(size_t i) const { return boxes_.shown().at(i); }

    static inline const QString kChart = "1,11,1103,110305,2,21,2101";
    static inline const QString kJournal = "1103,110305,2101,1103,9999,110305,2101,1103";
    static inline const QString kPregunta2 =
        "Se ha modificado la Cantidad de Digitos \nEl Sistema Actualizará el Plan de Cuentas y "
        "los Movimientos cargados\nEste proceso puede demorar algunos minutos...-Desea "
        "confirmar los Cambios?\nCampo: digitos_SubCapitulo";

    ValidacionConfiguracion validacion_{form_};
    NivelesCuenta niveles_{form_};
    OpcionesRenumeracion opciones_;
};

TEST_F(AccountLevels, UnchangedDigitsAskNothingAndTouchNothing) {
    EXPECT_TRUE(accept());
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(chart(), kChart);
    EXPECT_EQ(journal(), kJournal);
    for (const QString& sql : traced())
        EXPECT_FALSE(sql.contains("UPDATE MA_CUENTAS")) << sql.toStdString();
}

TEST_F(AccountLevels, AReducedLevelIsRefusedBeforeAnythingElse) {
    form_.set("DIGITOS_RUBRO", "1");
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(box(0).text,
              "No se puede reducir la cantidad de Digitos, unicamente podra ser aumentado\n"
              "Restaure el Valor Anterior o Cancele las modificaciones");
    EXPECT_EQ(box(0).style, mb::OkOnly | mb::Critical);
    EXPECT_EQ(box(0).title, "Atención");
    expectUntouched();
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION WHERE CLAVE = 'NOMBRE'"), "0");
}

TEST_F(AccountLevels, AnEmptiedFieldReadsAsZeroAndStopsBeforeTheRequiredCheck) {
    form_.set("DIGITOS_CUENTA", "");
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(box(0).text.startsWith("No se puede reducir"));
    expectUntouched();
}

TEST_F(AccountLevels, DecliningTheQuestionChangesNothing) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::No);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(box(0).text, kPregunta2);
    EXPECT_EQ(box(0).style, mb::YesNo | mb::Information);
    EXPECT_EQ(box(0).title, "Atención");
    expectUntouched();
}

TEST_F(AccountLevels, AConfirmedLevelFollowedByARefusalChangesNothing) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    form_.set("DIGITOS_CUENTA", "2");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    EXPECT_FALSE(accept());
    EXPECT_EQ(boxes_.shown().size(), 2u);
    expectUntouched();
}

TEST_F(AccountLevels, AnInvalidFieldAfterTheConfirmationChangesNothing) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    form_.set("PIVA", "200");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    EXPECT_FALSE(accept());
    expectUntouched();
}

TEST_F(AccountLevels, DigitSumOver15IsRefusedAfterTheConfirmations) {
    store({1, 1, 2, 2, 3, 0});
    setForm({3, 3, 3, 3, 3, 1});
    // No code reaches levels 5 and 6: only the first four are asked.
    for (int i = 0; i < 4; ++i) boxes_.answer(answer::Yes);
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 5u);
    EXPECT_EQ(box(4).text,
              "La Suma de los dígitos de las cuentas no debe ser mayor a 15 verifíquelo por "
              "favor!!!");
    EXPECT_EQ(box(4).title, "Aviso al operador");
    EXPECT_EQ(chart(), kChart);
    EXPECT_EQ(journal(), kJournal);
    EXPECT_EQ(storedDigits(), "1,1,2,2,3,0");
}

TEST_F(AccountLevels, DigitSumOf15Passes) {
    store({1, 1, 2, 2, 2, 0});
    setForm({3, 3, 3, 3, 2, 1});
    EXPECT_TRUE(niveles_.ValidaDigitos());
    setForm({3, 3, 3, 3, 3, 1});
    EXPECT_FALSE(niveles_.ValidaDigitos());
}

TEST_F(AccountLevels, ALevelWithNothingToRenumberIsSavedWithoutAQuestion) {
    struct Caso {
        const char* nombre;
        const char* preparacion;
        DigitosNiveles formulario;
        const char* guardados;
    };
    const Caso casos[] = {
        {"no stored digits", "DELETE FROM TA_CONFIGURACION", kEjemplo, "1,1,2,2,3,3"},
        {"no code reaches level 6", "", con(kEjemplo, 6, 4), "1,1,2,2,3,4"},
        {"an empty chart", "DELETE FROM MA_CUENTAS", con(kEjemplo, 1, 2), "2,1,2,2,3,3"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        store(kEjemplo);
        if (*caso.preparacion) {
            ASSERT_TRUE(exec(caso.preparacion));
        }
        const QString chartBefore = chart();
        setForm(caso.formulario);
        EXPECT_TRUE(accept());
        EXPECT_TRUE(boxes_.shown().empty());
        EXPECT_EQ(storedDigits(), caso.guardados);
        EXPECT_EQ(chart(), chartBefore);
        EXPECT_EQ(journal(), kJournal);
    }
}

TEST_F(AccountLevels, GrowingLevelTwoRewritesChartJournalAndKeysTogether) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes);
    ASSERT_TRUE(niveles_.VerificaNiveles());
    ASSERT_TRUE(niveles_.ValidaDigitos());
    ASSERT_TRUE(niveles_.AplicaNiveles());
    EXPECT_EQ(chart(), "1,101,10103,1010305,2,201,20101");
    // The line of 9999, an account missing from the chart, keeps it.
    EXPECT_EQ(journal(), "10103,1010305,20101,10103,9999,1010305,20101,10103");
    EXPECT_EQ(storedDigits(), "1,2,2,2,3,3");
    EXPECT_EQ(sesion().gDigitosNivel, (DigitosNiveles{1, 2, 2, 2, 3, 3}));
    EXPECT_EQ(sesion().gPosicionNivel, (DigitosNiveles{1, 3, 5, 7, 10, 13}));
    EXPECT_EQ(scalar("SELECT count(*) FROM sqlite_master WHERE name LIKE '#%'"), "0");
    // A second accept finds nothing left to widen.
    EXPECT_TRUE(niveles_.VerificaNiveles());
    EXPECT_TRUE(niveles_.AplicaNiveles());
    EXPECT_EQ(chart(), "1,101,10103,1010305,2,201,20101");
}

TEST_F(AccountLevels, OtherColumnsHoldingAccountCodesMoveWithTheirAccounts) {
    ASSERT_TRUE(exec(R"sql(
CREATE TABLE MA_CUENTASADIC (CODIGO VARCHAR(20) NOT NULL COLLATE KL_CI PRIMARY KEY,
  CUIT VARCHAR(13));
INSERT INTO MA_CUENTASADIC VALUES ('1103', '20-1'), ('110305', '20-2'), ('2101', '20-3');
ALTER TABLE MV_ASIENTOS ADD COLUMN CABCUENTA VARCHAR(20);
UPDATE MV_ASIENTOS SET CABCUENTA = '2101' WHERE ID = 1;
CREATE TABLE MA_BIENES (CODIGO INT PRIMARY KEY, CUENTA VARCHAR(20));
INSERT INTO MA_BIENES VALUES (1, '110305');
CREATE TABLE TA_CAJAS (IDCAJAS VARCHAR(4) PRIMARY KEY, CUENTA VARCHAR(20));
INSERT INTO TA_CAJAS VALUES ('C1', '1103'), ('C2', NULL);
)sql"));
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes);
    EXPECT_TRUE(accept());
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT group_concat(CODIGO || '=' || CUIT, ',') FROM (SELECT * FROM MA_CUENTASADIC "
         "ORDER BY CUIT)",
         "10103=20-1,1010305=20-2,20101=20-3"},
        {"SELECT CABCUENTA FROM MV_ASIENTOS WHERE ID = 1", "20101"},
        {"SELECT CUENTA FROM MA_BIENES", "1010305"},
        {"SELECT group_concat(ifnull(CUENTA, '-'), ',') FROM TA_CAJAS", "10103,-"},
    };
    for (const auto& c : cases) EXPECT_EQ(scalar(c.sql), c.expected) << c.sql;
}

TEST_F(AccountLevels, GrowingLevelOnePadsEveryCodeThroughTheWholeAccept) {
    form_.set("DIGITOS_CAPITULO", "2");
    boxes_.answer(answer::Yes);
    EXPECT_TRUE(accept());
    EXPECT_EQ(chart(), "01,011,01103,0110305,02,021,02101");
    EXPECT_EQ(journal(), "01103,0110305,02101,01103,9999,0110305,02101,01103");
    EXPECT_EQ(storedDigits(), "2,1,2,2,3,3");
}

TEST_F(AccountLevels, TwoLevelsGrownInOneAccept) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    form_.set("DIGITOS_SUBRUBRO", "3");
    boxes_.answer(answer::Yes).answer(answer::Yes);
    EXPECT_TRUE(accept());
    EXPECT_TRUE(box(1).text.endsWith("Campo: digitos_SubRubro"));
    EXPECT_EQ(chart(), "1,101,10103,10103005,2,201,20101");
    EXPECT_EQ(journal(), "10103,10103005,20101,10103,9999,10103005,20101,10103");
    EXPECT_EQ(storedDigits(), "1,2,2,3,3,3");
}

TEST_F(AccountLevels, ACodeAnotherAccountHeldIsNotMergedIntoIt) {
    // 10103 is a stray code cut inside level 4: it is rewritten as well
    // (to 100103), never merged with 1103's new code.
    ASSERT_TRUE(
        exec("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('10103');"
             "INSERT INTO MV_ASIENTOS (CUENTA) VALUES ('10103');"));
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes);
    EXPECT_TRUE(accept());
    EXPECT_EQ(scalar("SELECT count(*) FROM MV_ASIENTOS WHERE CUENTA = '10103'"), "3");
    EXPECT_EQ(scalar("SELECT count(*) FROM MV_ASIENTOS WHERE CUENTA = '100103'"), "1");
}

TEST_F(AccountLevels, CollidingCodesAreRefusedWithNothingChanged) {
    ASSERT_TRUE(exec("INSERT INTO MA_CUENTAS (CODIGO) VALUES (' 1103')"));
    const QString before = chart();
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(box(1).text,
              "No se puede actualizar el Plan de Cuentas: con la nueva cantidad de dígitos estas "
              "cuentas quedarían con el mismo código:\n1103 y 1103 pasarían a 10103\nNo se "
              "modificó ninguna cuenta ni ningún movimiento.");
    EXPECT_EQ(box(1).style, mb::OkOnly | mb::Critical);
    EXPECT_EQ(chart(), before);
    EXPECT_EQ(journal(), kJournal);
    EXPECT_EQ(storedDigits(), "1,1,2,2,3,3");
}

TEST_F(AccountLevels, JournalLinesOfAMissingAccountWouldJoinANewCodeAndAreRefused) {
    ASSERT_TRUE(exec("INSERT INTO MV_ASIENTOS (CUENTA) VALUES ('10103')"));
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    EXPECT_FALSE(accept());
    EXPECT_TRUE(box(1).text.contains("10103 (movimientos de una cuenta que no está en el plan)"));
    EXPECT_EQ(chart(), kChart);
    EXPECT_EQ(storedDigits(), "1,1,2,2,3,3");
}

TEST_F(AccountLevels, AFailureHalfWayLeavesEverythingAsBefore) {
    // The sixth line sits in the second batch of journal lines.
    ASSERT_TRUE(
        exec("CREATE TRIGGER FALLA BEFORE UPDATE OF CUENTA ON MV_ASIENTOS "
             "WHEN OLD.ID = 6 BEGIN SELECT RAISE(ABORT, 'disco lleno'); END;"));
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_TRUE(box(1).text.contains("disco lleno")) << box(1).text.toStdString();
    EXPECT_EQ(box(1).style, mb::OkOnly);
    EXPECT_EQ(box(1).title, "Error en Grabación");
    expectUntouched();
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION WHERE CLAVE = 'NOMBRE'"), "0");
}

TEST_F(AccountLevels, CancellingTheNoticeRollsBackSaysSoAndShowsTheStoredDigitsAgain) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    // The operator presses the button once the notice is up.
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&press] {
        if (Lbf_CtrlDisplay* w = dllDisplay().window(); w && w->isVisible()) {
            w->CmdDisplayCancelar()->click();
            press.stop();
        }
    });
    press.start(0);
    EXPECT_FALSE(accept());
    expectUntouched();
    EXPECT_EQ(dllDisplay().window(), nullptr);
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(box(1).text,
              "Se canceló la actualización del Plan de Cuentas: no se modificó ninguna cuenta, "
              "ningún movimiento ni la cantidad de dígitos.");
    EXPECT_EQ(box(1).style, mb::OkOnly | mb::Information);
    EXPECT_EQ(form_.text("DIGITOS_SUBCAPITULO"), "1");
    // Accepting again neither asks nor renumbers.
    EXPECT_TRUE(accept());
    EXPECT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(chart(), kChart);
}

TEST_F(AccountLevels, TheNoticeShowsTheCounts) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes);
    QStringList lines;
    ASSERT_TRUE(niveles_.VerificaNiveles());
    ResultadoRenumeracion r = RenumeraNiveles(
        kEjemplo, con(kEjemplo, 2, 2),
        [&](const Avance& a) {
            lines << QStringLiteral("%1/%2 %3/%4")
                         .arg(a.cuentas)
                         .arg(a.totalCuentas)
                         .arg(a.renglones)
                         .arg(a.totalRenglones);
            return true;
        },
        opciones_);
    EXPECT_EQ(r.estado, ResultadoRenumeracion::Estado::Hecha);
    EXPECT_EQ(r.cuentas, 5);
    EXPECT_EQ(r.renglones, 7);
    EXPECT_EQ(lines.first(), "0/5 0/8");
    EXPECT_EQ(lines.last(), "5/5 8/8");
}

TEST_F(AccountLevels, AStructureChangedMeanwhileIsNotRewritten) {
    form_.set("DIGITOS_SUBCAPITULO", "2");
    boxes_.answer(answer::Yes).answer(answer::Ok);
    ASSERT_TRUE(niveles_.VerificaNiveles());
    // Another station widened level 1 in the meantime.
    ASSERT_TRUE(exec("UPDATE TA_CONFIGURACION SET VALOR = '2' WHERE CLAVE = 'DIGITOS_CAPITULO'"));
    EXPECT_FALSE(niveles_.AplicaNiveles());
    EXPECT_EQ(box(1).title, "Error en Grabación");
    EXPECT_EQ(chart(), kChart);
}

}  // namespace
}  // namespace kl::config::test
