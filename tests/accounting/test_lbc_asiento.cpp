#include "support/accounting_db/accounting_db.h"

#include "accounting/lbc_asiento.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"

namespace kl::accounting::test {
namespace {

const QString kNoHay = QStringLiteral(
    "No se han creado Ejercicios!!!\rPara crear un Ejercicio debe hacerlo desde la configuración "
    "del sistema");

class LbcAsientoTest : public AccountingDbTest {};

// ---- Creation from the key PERIODO.

TEST_F(LbcAsientoTest, CreationTakesTheActivePeriodFromTheKey) {
    setKey("PERIODO", " 3 ");
    const std::optional<Lbc_Asiento> reglas = Lbc_Asiento::Crear();
    ASSERT_TRUE(reglas);
    EXPECT_EQ(reglas->periodoActivo(), 3);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(LbcAsientoTest, CreationWithoutANumberTellsTheOperatorAndGivesNoInstance) {
    for (const char* valor : {"", "abc", "70000"}) {
        if (*valor) setKey("PERIODO", valor);
        boxes_.answer(answer::Ok);
        EXPECT_FALSE(Lbc_Asiento::Crear()) << valor;
        ASSERT_FALSE(boxes_.shown().empty());
        EXPECT_TRUE(boxes_.shown().back().text.contains("PERIODO"));
        EXPECT_EQ(boxes_.shown().back().style & mb::IconMask, mb::Critical);
        EXPECT_EQ(boxes_.shown().back().title, "Aviso al operador");
    }
}

// ---- ValidaEstadoPeriodoActual.

TEST_F(LbcAsientoTest, StateWithoutYearsAsksToCreateOne) {
    Lbc_Asiento reglas(1);
    QString mensaje;
    bool noCreado = false;
    EXPECT_FALSE(reglas.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, &noCreado));
    EXPECT_TRUE(noCreado);
    EXPECT_EQ(mensaje, kNoHay);
    EXPECT_EQ(traced().value(0), "SELECT * FROM MV_EJERCICIOS ORDER BY PERIODO");
}

TEST_F(LbcAsientoTest, StateOfAPeriodWithoutRowIsAllowed) {
    addYear(1, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(7);
    QString mensaje = "sin tocar";
    EXPECT_TRUE(reglas.ValidaEstadoPeriodoActual(mensaje));
    EXPECT_EQ(mensaje, "sin tocar");
}

TEST_F(LbcAsientoTest, StateFollowsThePreviousYearsClosing) {
    addYear(1, "2023-01-01", "2023-12-31", true);
    addYear(2, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(2);
    QString mensaje;
    Value cierre;
    Value cancelacion;
    EXPECT_TRUE(reglas.ValidaEstadoPeriodoActual(mensaje, &cierre, &cancelacion));
    EXPECT_EQ(cierre, Value(false));
    EXPECT_EQ(cancelacion, Value(false));
    EXPECT_TRUE(mensaje.isEmpty());

    exec("UPDATE MV_EJERCICIOS SET CERRADO = 0 WHERE PERIODO = 1");
    EXPECT_FALSE(reglas.ValidaEstadoPeriodoActual(mensaje));
    EXPECT_EQ(mensaje, "El Periodo anterior (1) no tiene realizado el cierre");

    // The first year has no previous one.
    mensaje.clear();
    EXPECT_TRUE(reglas.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, nullptr, "1"));
    EXPECT_EQ(reglas.periodoActivo(), 1);
}

TEST_F(LbcAsientoTest, StateOfAClosedOrCancelledYearIsRefused) {
    struct Case {
        bool cerrado;
        bool cancelacion;
        const char* mensaje;
    };
    const Case cases[] = {
        {true, true,
         "El Periodo tiene realizado el Cierre y la Cancelacion de saldos de cuentas de "
         "resultados"},
        {true, false, "El Periodo tiene realizado el Cierre de libros contables "},
        {false, true,
         "El Periodo tiene realizada la Cancelacion de saldos de cuentas de resultados"},
    };
    addYear(1, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(1);
    for (const Case& c : cases) {
        exec(QStringLiteral("UPDATE MV_EJERCICIOS SET CERRADO = %1, CANCELACION = %2")
                 .arg(int{c.cerrado})
                 .arg(int{c.cancelacion}));
        QString mensaje;
        Value cierre;
        Value cancelacion;
        EXPECT_FALSE(reglas.ValidaEstadoPeriodoActual(mensaje, &cierre, &cancelacion));
        EXPECT_EQ(mensaje, c.mensaje);
        EXPECT_EQ(cierre, Value(c.cerrado));
        EXPECT_EQ(cancelacion, Value(c.cancelacion));
    }
}

TEST_F(LbcAsientoTest, StateWithANonNumericPeriodGoesToTheErrorNotice) {
    addYear(1, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(1);
    QString mensaje;
    boxes_.answer(answer::Abort);
    EXPECT_FALSE(reglas.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, nullptr, "dos"));
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].title.contains("ValidaEstadoPeriodoActual"));
    EXPECT_EQ(reglas.periodoActivo(), 1);

    // Ignore goes on with the period the instance had.
    boxes_.answer(answer::Ignore);
    EXPECT_TRUE(reglas.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, nullptr, "dos"));
    EXPECT_EQ(boxes_.shown().size(), 2u);
}

TEST_F(LbcAsientoTest, StateWhenTheTableCannotBeReadIsNoAnswerOfNoYears) {
    exec("DROP TABLE MV_EJERCICIOS");
    Lbc_Asiento reglas(1);
    QString mensaje;
    bool noCreado = false;
    // The layer's own notice for the failed open, then the rule's.
    boxes_.answer(answer::Abort).answer(answer::Abort);
    EXPECT_FALSE(reglas.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, &noCreado));
    EXPECT_FALSE(noCreado);
    EXPECT_TRUE(mensaje.isEmpty());
    EXPECT_EQ(boxes_.shown().size(), 2u);
}

// ---- FechaHastaUltimoPeriodo.

TEST_F(LbcAsientoTest, LastDayIsThatOfTheHighestYear) {
    Lbc_Asiento reglas(1);
    EXPECT_FALSE(reglas.FechaHastaUltimoPeriodo().isValid());
    addYear(2, "2005-01-01", "2005-12-31");
    addYear(1, "2004-01-01", "2004-12-31");
    EXPECT_EQ(reglas.FechaHastaUltimoPeriodo(), QDate(2005, 12, 31));
}

// ---- ValidaRangoFechaEjercicio.

TEST_F(LbcAsientoTest, RangeWithoutYearsIsFree) {
    Lbc_Asiento reglas(1);
    EXPECT_TRUE(reglas.ValidaRangoFechaEjercicio("01/01/2024", "31/12/2024"));
}

TEST_F(LbcAsientoTest, RangeTouchingAYearIncludesItsBounds) {
    addYear(1, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(1);
    EXPECT_FALSE(reglas.ValidaRangoFechaEjercicio("31/12/2024", "30/12/2025"));
    EXPECT_FALSE(reglas.ValidaRangoFechaEjercicio("01/06/2023", "01/01/2024"));
    EXPECT_TRUE(reglas.ValidaRangoFechaEjercicio("01/01/2025", "31/12/2025"));
    EXPECT_TRUE(reglas.ValidaRangoFechaEjercicio("01/01/2023", "31/12/2023"));
}

TEST_F(LbcAsientoTest, RangeOfTheYearBeingEditedNeverCollidesWithItself) {
    addYear(1, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(1);
    EXPECT_TRUE(reglas.ValidaRangoFechaEjercicio("31/12/2024", "30/12/2025", QString("1")));
    EXPECT_TRUE(reglas.ValidaRangoFechaEjercicio("01/01/2024", "30/06/2024", QString(" 1 ")));
    EXPECT_FALSE(reglas.ValidaRangoFechaEjercicio("31/12/2024", "30/12/2025", QString("2")));
    // Another year still collides.
    addYear(2, "2025-01-01", "2025-12-31");
    EXPECT_FALSE(reglas.ValidaRangoFechaEjercicio("01/01/2024", "01/01/2025", QString("1")));
    EXPECT_TRUE(reglas.ValidaRangoFechaEjercicio("01/01/2025", "31/12/2025", QString("2")));
}

TEST_F(LbcAsientoTest, RangeThatEnclosesAWholeYearIsRefused) {
    addYear(1, "2024-03-01", "2024-09-30");
    Lbc_Asiento reglas(1);
    EXPECT_FALSE(reglas.ValidaRangoFechaEjercicio("01/01/2024", "31/12/2024"));
    EXPECT_FALSE(reglas.ValidaRangoFechaEjercicio("01/04/2024", "30/04/2024"));
}

TEST_F(LbcAsientoTest, RangeWithAnUnreadableDateIsRefusedWithTheError) {
    addYear(1, "2024-01-01", "2024-12-31");
    Lbc_Asiento reglas(1);
    RunError error;
    EXPECT_FALSE(
        reglas.ValidaRangoFechaEjercicio("32/01/2030", "31/12/2030", std::nullopt, &error));
    EXPECT_EQ(error.number, ado::err::TypeMismatch);
    EXPECT_TRUE(boxes_.shown().empty());
}

// ---- EjercicioRango and EjercicioAnteriorCerrado.

TEST_F(LbcAsientoTest, RangeOfOneYearAsShownDates) {
    addYear(4, "2024-07-01", "2025-06-30");
    Lbc_Asiento reglas(4);
    QString desde = "x";
    QString hasta = "y";
    EXPECT_FALSE(reglas.EjercicioRango(desde, hasta));
    EXPECT_EQ(desde, "01/07/2024");
    EXPECT_EQ(hasta, "30/06/2025");
    EXPECT_EQ(traced().value(0), "SELECT * FROM MV_EJERCICIOS WHERE PERIODO = 4");

    boxes_.answer(answer::Ok);
    EXPECT_FALSE(reglas.EjercicioRango(desde, hasta, 9));
    EXPECT_TRUE(desde.isEmpty());
    EXPECT_TRUE(hasta.isEmpty());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, normalizeLineBreaks(kNoHay));
}

TEST_F(LbcAsientoTest, PreviousYearClosedByEitherFlag) {
    Lbc_Asiento reglas(3);
    QString que = "-1";
    EXPECT_TRUE(reglas.EjercicioAnteriorCerrado(que));
    EXPECT_EQ(que, "3");
    addYear(1, "2022-01-01", "2022-12-31");
    addYear(2, "2023-01-01", "2023-12-31", false, false, true);
    addYear(3, "2024-01-01", "2024-12-31");
    EXPECT_TRUE(reglas.EjercicioAnteriorCerrado(que));
    EXPECT_EQ(traced().back(), "SELECT * FROM MV_EJERCICIOS WHERE PERIODO < 3 ORDER BY PERIODO");
    que = "2";
    EXPECT_FALSE(reglas.EjercicioAnteriorCerrado(que));
}

// ---- ExistenMovFueraPeriodo.

TEST_F(LbcAsientoTest, LinesOnEitherBoundCountAsOutside) {
    const auto addLine = [&](const char* fecha) {
        exec(
            QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO) SELECT '1' WHERE NOT EXISTS "
                           "(SELECT 1 FROM MA_CUENTAS WHERE CODIGO = '1')"));
        exec(QStringLiteral("INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], "
                            "FECHA, CUENTA, [DEBE-HABER]) VALUES (1, 1, 1, '%1 00:00:00', '1', "
                            "'D')")
                 .arg(fecha));
    };
    Lbc_Asiento reglas(1);
    addLine("2024-06-15");
    EXPECT_FALSE(reglas.ExistenMovFueraPeriodo("1", "01/01/2024", "31/12/2024"));
    EXPECT_FALSE(reglas.ExistenMovFueraPeriodo("2", "01/07/2024", "31/12/2024"));
    addLine("2024-12-31");
    EXPECT_TRUE(reglas.ExistenMovFueraPeriodo("1", "01/01/2024", "31/12/2024"));
    const QStringList sql = traced();
    ASSERT_FALSE(sql.isEmpty());
    EXPECT_TRUE(sql.back().startsWith(
        "SELECT * FROM MV_ASIENTOS WHERE PERIODO = 1 AND (FECHA <= '2024-01-01"))
        << sql.back().toStdString();
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(LbcAsientoTest, LinesWithAnUnreadableDateGoToTheErrorNotice) {
    Lbc_Asiento reglas(1);
    // The layer's notice for the refused statement, then the rule's.
    boxes_.answer(answer::Abort).answer(answer::Abort);
    EXPECT_FALSE(reglas.ExistenMovFueraPeriodo("1", "no es fecha", "31/12/2024"));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_TRUE(boxes_.shown()[1].title.contains("ExistenMovFueraPeriodo"));
}

// ---- UltimoDiaMes and FechaValidada.

TEST(UltimoDiaMes, CountsTheDaysOfTheMonth) {
    struct Case {
        const char* mes;
        const char* anio;
        int dias;
    };
    for (const Case& c : {Case{"2", "2004", 29}, Case{"2", "2005", 28}, Case{"4", "2005", 30},
                          Case{"12", "2005", 31}, Case{"02", "2000", 29}, Case{"2", "1900", 28}}) {
        std::int16_t dias = 0;
        EXPECT_FALSE(Lbc_Asiento::UltimoDiaMes(c.mes, c.anio, dias)) << c.mes << "/" << c.anio;
        EXPECT_EQ(dias, c.dias) << c.mes << "/" << c.anio;
    }
}

TEST(UltimoDiaMes, AMonthWithoutDaysIsAnError) {
    for (const char* mes : {"13", "0", "x"}) {
        std::int16_t dias = 5;
        const StepResult failed = Lbc_Asiento::UltimoDiaMes(mes, "2005", dias);
        ASSERT_TRUE(failed) << mes;
        EXPECT_EQ(dias, 5);
    }
}

TEST_F(LbcAsientoTest, TypedDateInsideTheOperatingWindow) {
    setKey("FECHAOPERDESDE", "01/03/2024");
    setKey("FECHAOPERHASTA", "31/03/2024");
    struct Case {
        const char* campo;
        bool error;
        const char* mensaje;
    };
    const Case cases[] = {
        {"   ", true, "Debe ingresar una fecha"},
        {"30/02/2024", true, "La fecha ingresada no es correcta!!"},
        {"01/03/2024", false, ""},
        {"31/03/2024", false, ""},
        {"29/02/2024", true, "La fecha ingresada No es una Fecha Operativa posible!"},
        {"01/04/2024", true, "La fecha ingresada No es una Fecha Operativa posible!"},
    };
    for (const Case& c : cases) {
        QString mensaje;
        bool hayError = false;
        EXPECT_FALSE(Lbc_Asiento::FechaValidada(c.campo, mensaje, hayError)) << c.campo;
        EXPECT_EQ(hayError, c.error) << c.campo;
        EXPECT_EQ(mensaje, c.mensaje) << c.campo;
    }
    // The rule never clears an error found before.
    QString mensaje;
    bool hayError = true;
    EXPECT_FALSE(Lbc_Asiento::FechaValidada("15/03/2024", mensaje, hayError));
    EXPECT_TRUE(hayError);
}

TEST_F(LbcAsientoTest, TypedDateWithAnUnreadableWindowIsAFailure) {
    setKey("FECHAOPERDESDE", "pronto");
    setKey("FECHAOPERHASTA", "31/03/2024");
    QString mensaje;
    bool hayError = false;
    const StepResult failed = Lbc_Asiento::FechaValidada("15/03/2024", mensaje, hayError);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->number, ado::err::TypeMismatch);
    EXPECT_FALSE(hayError);
}

}  // namespace
}  // namespace kl::accounting::test
