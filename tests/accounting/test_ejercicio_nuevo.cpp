#include "support/accounting_db/accounting_db.h"

#include "accounting/ejercicio_nuevo.h"
#include "platform/dialogs.h"
#include "progress/dll_display.h"

namespace kl::accounting::test {
namespace {

class EjercicioNuevoTest : public AccountingDbTest {
  protected:
    static CamposEjercicio campos(const QString& desde, const QString& hasta,
                                  const QString& nombre = "Ejercicio", const QString& nro = "1") {
        return {nro, nombre, desde, hasta};
    }
    Lbc_Asiento reglas_{0};
};

// ---- The steps' checks.

TEST_F(EjercicioNuevoTest, StepZeroWantsANumber) {
    EXPECT_EQ(RechazoPaso(0, campos("", "", "", "abc"), reglas_), "El campo debe ser numérico!!!");
    EXPECT_EQ(RechazoPaso(0, campos("", "", "", "  "), reglas_), "El campo debe ser numérico!!!");
    EXPECT_FALSE(RechazoPaso(0, campos("", "", "", " 5 "), reglas_));
}

TEST_F(EjercicioNuevoTest, StepZeroWantsAWholeNumberFromOneTo32767) {
    const QString fuera = "El número de Ejercicio debe ser un número entero entre 1 y 32767";
    for (const char* nro : {"70000", "32768", "0", "-1", "1.5", "1,5"})
        EXPECT_EQ(RechazoPaso(0, campos("", "", "", nro), reglas_), fuera) << nro;
    for (const char* nro : {"1", "32767", " 007 "})
        EXPECT_FALSE(RechazoPaso(0, campos("", "", "", nro), reglas_)) << nro;
}

TEST_F(EjercicioNuevoTest, ANumberOutOfRangeCreatesNoYearEvenWhenTheFailureIsIgnored) {
    struct Caso {
        bool pedirNumero;
        const char* typed;
        int existente;
    };
    for (const Caso& caso : {Caso{true, "70000", 0}, Caso{false, "", 32767}}) {
        if (caso.existente) addYear(caso.existente, "2020-01-01", "2020-12-31");
        const QString antes = scalar("SELECT COUNT(*) FROM MV_EJERCICIOS");
        boxes_.answer(answer::Ignore);
        CreacionEjercicio creacion(caso.pedirNumero);
        creacion.Actualizar_Datos({caso.typed, "Otro", "01/01/2024", "31/12/2024"});
        EXPECT_FALSE(creacion.creado()) << caso.typed;
        EXPECT_EQ(creacion.pNuevo_Ejercicio, 0);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM MV_EJERCICIOS"), antes);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO"), "0");
        ASSERT_FALSE(boxes_.shown().empty());
        EXPECT_TRUE(boxes_.shown().back().text.contains("Desbordamiento")) << caso.typed;
    }
}

TEST_F(EjercicioNuevoTest, StepOneWantsAName) {
    EXPECT_EQ(RechazoPaso(1, campos("", "", "   "), reglas_),
              "Es necesario que ingrese un nombre de ejercicio");
    EXPECT_FALSE(RechazoPaso(1, campos("", "", "2024"), reglas_));
}

TEST_F(EjercicioNuevoTest, StepTwoChecksTheDatesInOrder) {
    EXPECT_EQ(RechazoPaso(2, campos("31/02/2024", "x"), reglas_), "La Fecha Desde no es válida");
    EXPECT_EQ(RechazoPaso(2, campos("01/01/2024", "x"), reglas_), "La Fecha Hasta no es válida");
    EXPECT_EQ(RechazoPaso(2, campos("01/01/2024", "31/12/2023"), reglas_),
              "La Fecha Desde debe ser menor o igual a la Fecha Hasta");
    EXPECT_FALSE(RechazoPaso(2, campos("01/01/2024", "01/01/2024"), reglas_));
}

TEST_F(EjercicioNuevoTest, StepTwoRefusesDatesThatCollideWithAYear) {
    addYear(1, "2024-03-01", "2024-12-31");
    const QString choque = "El rango de fechas ingresado interfiere con los de otro Ejercicio";
    EXPECT_EQ(RechazoPaso(2, campos("31/12/2024", "30/12/2025"), reglas_), choque);
    EXPECT_EQ(RechazoPaso(2, campos("01/01/2024", "31/01/2025"), reglas_), choque);
    EXPECT_FALSE(RechazoPaso(2, campos("01/01/2025", "31/12/2025"), reglas_));
}

TEST_F(EjercicioNuevoTest, RefusalIsShownToTheOperator) {
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(ValidaTab(1, campos("", "", ""), reglas_));
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "Es necesario que ingrese un nombre de ejercicio");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly | mb::Critical);
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al operador");
    EXPECT_TRUE(ValidaTab(1, campos("", "", "2024"), reglas_));
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

// ---- The proposed dates.

TEST(ProponeFechas, NextYearFollowsTheLastWithoutGaps) {
    const FechasPropuestas comun = ProponeFechas(QDate(2005, 12, 31));
    EXPECT_EQ(comun.desde, "01/01/2006");
    EXPECT_EQ(comun.hasta, "31/12/2006");
    const FechasPropuestas bisiesto = ProponeFechas(QDate(2004, 2, 29));
    EXPECT_EQ(bisiesto.desde, "01/03/2004");
    EXPECT_EQ(bisiesto.hasta, "28/02/2005");
    const FechasPropuestas ninguno = ProponeFechas(QDate());
    EXPECT_TRUE(ninguno.desde.isEmpty());
    EXPECT_TRUE(ninguno.hasta.isEmpty());
}

// ---- Creating a year.

TEST_F(EjercicioNuevoTest, FirstYearFromAnEmptyDatabase) {
    QString mensaje;
    bool noCreado = false;
    EXPECT_FALSE(reglas_.ValidaEstadoPeriodoActual(mensaje, nullptr, nullptr, &noCreado));
    ASSERT_TRUE(noCreado);

    const CamposEjercicio typed{" 7 ", "Ejercicio 2024", "01/01/2024", "31/12/2024"};
    for (int paso : {0, 1, 2}) EXPECT_TRUE(ValidaTab(paso, typed, reglas_)) << paso;
    CreacionEjercicio creacion(true);
    boxes_.answer(answer::Ok);
    traced();
    creacion.Actualizar_Datos(typed);

    EXPECT_TRUE(creacion.creado());
    EXPECT_EQ(creacion.pNuevo_Ejercicio, 7);
    EXPECT_EQ(creacion.pFecha_Desde, "01/01/2024");
    EXPECT_EQ(creacion.pFecha_Hasta, "31/12/2024");
    EXPECT_EQ(creacion.pDescripcion, "Ejercicio 2024");
    EXPECT_EQ(scalar("SELECT PERIODO || '|' || DESCRIPCION || '|' || [FECHA DESDE] || '|' || "
                     "[FECHA HASTA] || '|' || CERRADO FROM MV_EJERCICIOS"),
              "7|Ejercicio 2024|2024-01-01 00:00:00|2024-12-31 00:00:00|0");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO"), "366");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO WHERE NOLABORABLE = 1"), "52");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO WHERE NOLABORABLE = 1 AND "
                     "strftime('%w', FECHA) <> '0'"),
              "0");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TA_COTIZACION"), "0");
    const QStringList sql = traced();
    EXPECT_TRUE(sql.contains("kv_CreaCalendario '01/01/2024','31/12/2024'"));
    EXPECT_EQ(sql.count("update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
                        "('Domingo','Sunday') AND YEAR(FECHA) = 2024"),
              2);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "El ejercicio se creó con éxito");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly | mb::Information);
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al operador");
}

TEST_F(EjercicioNuevoTest, NextYearIsNumberedAfterTheHighestAndMarksSundaysInBothYears) {
    addYear(1, "2023-07-01", "2024-06-30");
    addYear(2, "2024-07-01", "2025-06-30");
    const FechasPropuestas propuestas = ProponeFechas(reglas_.FechaHastaUltimoPeriodo());
    EXPECT_EQ(propuestas.desde, "01/07/2025");
    EXPECT_EQ(propuestas.hasta, "30/06/2026");
    const CamposEjercicio typed{"", "2025/26", propuestas.desde, propuestas.hasta};
    for (int paso : {1, 2}) EXPECT_TRUE(ValidaTab(paso, typed, reglas_)) << paso;
    CreacionEjercicio creacion(false);
    boxes_.answer(answer::Ok);
    creacion.Actualizar_Datos(typed);
    EXPECT_TRUE(creacion.creado());
    EXPECT_EQ(creacion.pNuevo_Ejercicio, 3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO"), "365");
    // Sundays of July-December 2025 and of January-June 2026.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO WHERE NOLABORABLE = 1"), "52");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO WHERE NOLABORABLE = 1 AND "
                     "FECHA >= '2026-01-01'"),
              "26");
}

TEST_F(EjercicioNuevoTest, ARefusedRowCreatesNothingAndGoesToTheNotice) {
    addYear(1, "2023-01-01", "2023-12-31");
    CreacionEjercicio creacion(true);
    boxes_.answer(answer::Abort);
    creacion.Actualizar_Datos({"1", "Otro", "01/01/2024", "31/12/2024"});
    EXPECT_FALSE(creacion.creado());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MV_EJERCICIOS"), "1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO"), "0");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].title.contains("Actualizar_Datos"));
}

TEST_F(EjercicioNuevoTest, CalendarComplaintsAreShownAndTheCreationGoesOn) {
    exec("DROP TABLE MA_CALENDARIO");
    CreacionEjercicio creacion(true);
    boxes_.answer(answer::Ok).answer(answer::Ok).answer(answer::Ok).answer(answer::Ok);
    creacion.Actualizar_Datos({"1", "2024", "01/01/2024", "31/12/2024"});
    EXPECT_TRUE(creacion.creado());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MV_EJERCICIOS"), "1");
    // The calendar and the two Sunday updates, each with the database's
    // own text and no title, then the success.
    ASSERT_EQ(boxes_.shown().size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(boxes_.shown()[i].text.isEmpty());
        EXPECT_EQ(boxes_.shown()[i].style, mb::OkOnly);
    }
    EXPECT_EQ(boxes_.shown()[3].text, "El ejercicio se creó con éxito");
}

TEST_F(EjercicioNuevoTest, RatesAreFilledOnlyForTheMissingDaysWhenSeveralCurrencies) {
    setKey("UsaMultilesMonedas", "si");
    exec(
        "INSERT INTO TA_COTIZACION (FECHA_HORA, MONEDA1, MONEDA2, MONEDA3, MONEDA4, MONEDA5) "
        "VALUES ('2024-01-01 00:00:00', 1, 950, 1000, 5, 6), "
        "('2024-06-15 00:00:00', 1, 900, 1001, 7, 8), "
        "('2023-12-31 00:00:00', 1, 2, 3, 4, 5)");
    CreacionEjercicio creacion(true);
    boxes_.answer(answer::Ok);
    creacion.Actualizar_Datos({"1", "2024", "01/01/2024", "31/12/2024"});
    ASSERT_TRUE(creacion.creado());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TA_COTIZACION"), "367");
    EXPECT_EQ(scalar("SELECT MONEDA2 || '|' || MONEDA5 FROM TA_COTIZACION WHERE FECHA_HORA = "
                     "'2024-06-15 00:00:00'"),
              "900|8");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TA_COTIZACION WHERE FECHA_HORA >= '2024-01-01' AND "
                     "MONEDA1 = 1 AND MONEDA2 = 1 AND MONEDA3 = 1 AND MONEDA4 = 1 AND MONEDA5 = 1"),
              "364");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TA_COTIZACION WHERE FECHA_HORA > '2024-12-31 00:00:00'"),
              "0");
    // The progress notice is gone once the days are in.
    EXPECT_EQ(dllDisplay().window(), nullptr);
}

TEST_F(EjercicioNuevoTest, RatesAreLeftAloneWithOneCurrency) {
    setKey("UsaMultilesMonedas", "NO");
    CreacionEjercicio creacion(true);
    boxes_.answer(answer::Ok);
    creacion.Actualizar_Datos({"1", "2024", "01/01/2024", "31/01/2024"});
    ASSERT_TRUE(creacion.creado());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TA_COTIZACION"), "0");
    for (const QString& s : traced()) EXPECT_FALSE(s.contains("TA_COTIZACION")) << s.toStdString();
}

TEST_F(EjercicioNuevoTest, RatesOfAYearThatDoesNotExistAreNotTouched) {
    CrearDiasCotizacion(9);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TA_COTIZACION"), "0");
    EXPECT_TRUE(boxes_.shown().empty());
}

}  // namespace
}  // namespace kl::accounting::test
