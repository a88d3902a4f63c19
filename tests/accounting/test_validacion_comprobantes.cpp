#include "demo.h"
#include "support/accounting_db/accounting_db.h"

#include "accounting/lbc_asiento.h"
#include "platform/dialogs.h"

#include <functional>

namespace kl::accounting::test {
namespace {

// A line of voucher `numero` of type `tc` (as stored), point of sale 0003,
// letter A, in entry 14 of March of period 3.
Renglon voucherLine(const QString& tc, const QString& numero, const QString& tipoReg = {}) {
    Renglon r;
    r.numero = 14;
    r.tipoReg = tipoReg;
    r.tc = tc;
    r.sucursal = QStringLiteral("0003");
    r.comprobante = numero;
    r.letra = QStringLiteral("A");
    r.cabCuenta = QStringLiteral("P0001");
    return r;
}

// Sales invoices (FC, numbered by the company) and purchase invoices (FCC,
// numbered by the supplier) in their journals; the pads of FC for business
// unit 1; the sales journal's summaries of the active period 3.
class ValidacionTest : public AccountingDbTest {
  protected:
    void SetUp() override {
        AccountingDbTest::SetUp();
        exec(
            "INSERT INTO MA_SUBDIARIOSCOMPROBANTES (SUBDIARIO, TC) VALUES ('VENTAS', 'FC'), "
            "('COMPRAS', 'FCC')");
        exec(
            "INSERT INTO TA_COMPROBANTES (CODIGO, MODIFICANUMERACION, LETRAS, A_ULTIMO_NRO, "
            "A_NRO_DESDE, A_NRO_HASTA) VALUES ('  FC', 0, 'AB', 124, 1, 99999999), ('  AB', 0, "
            "'AB', 5, 1, 999), ('  BA', 0, 'BA', 5, 1, 999), ('  SL', 0, '', 0, 0, 0), ('FCC', "
            "1, 'ABC', 0, 0, 0)");
        exec(
            "INSERT INTO TA_TALONARIOS (CODIGO, UNEGOCIO, TALONARIO, A_SUC_DEFAULT, "
            "A_ULTIMO_NRO, M_SUC_DEFAULT, M_ULTIMO_NRO) VALUES ('  FC', '   1', 4, 9, 900, 0, 0), "
            "('  FC', '   1', 2, 3, 124, 5, 77)");
        exec(
            "INSERT INTO MV_CONTROL_AS_RES (SUBDIARIO, PERIODO, ID, FECHA_DESDE, FECHA_HASTA, "
            "ANULADO) VALUES ('VENTAS', 3, 1, '2026-01-01 00:00:00', '2026-01-31 00:00:00', 0), "
            "('VENTAS', 3, 7, '2026-03-01 00:00:00', '2026-03-31 00:00:00', 1)");
        traced();
    }

    Lbc_Asiento reglas_{3};
};

TEST_F(ValidacionTest, ADateCoveredByAnActiveSummaryIsRefused) {
    for (const auto& [fecha, subdiario, valida] : std::vector<std::tuple<QString, QString, bool>>{
             {"31/01/2026", " VENTAS ", false},
             {"15/03/2026", "VENTAS", true},  // its summary was reversed
             {"15/02/2026", "VENTAS", true},
             {"15/01/2026", "COMPRAS", true}}) {
        bool answer = !valida;
        EXPECT_FALSE(reglas_.ValidaFechaSubdiario(fecha, subdiario, answer));
        EXPECT_EQ(answer, valida) << fecha.toStdString();
    }
    bool answer = true;
    EXPECT_TRUE(reglas_.ValidaFechaSubdiario("no es fecha", "VENTAS", answer)) << "for the caller";
}

TEST_F(ValidacionTest, JournalsTakeTheirVoucherTypes) {
    EXPECT_TRUE(Lbc_Asiento::ValidaSubdiarioTC(" VENTAS ", "fc "));
    EXPECT_FALSE(Lbc_Asiento::ValidaSubdiarioTC("VENTAS", "FCC"));
    EXPECT_TRUE(Lbc_Asiento::ValidaTCRegistraciones(" FCC "));
    EXPECT_FALSE(Lbc_Asiento::ValidaTCRegistraciones("REC"));
}

TEST_F(ValidacionTest, LetterFollowsTheCompanysAndTheClientsTaxCondition) {
    for (const auto& [empresa, cliente, letra] : std::vector<std::tuple<QString, QString, QString>>{
             {"", "1", "Z"}, {"1", "3", "B"}, {"1", "2", "A"}, {"1", "", "A"}, {"2", "1", "C"}}) {
        if (!empresa.isEmpty()) setKey("CONDIVA", empresa);
        EXPECT_EQ(Lbc_Asiento::DeterminaLetra(cliente), letra) << empresa.toStdString();
    }
}

TEST_F(ValidacionTest, PadDataComeFromTheLowestPadOfTheUnitOrOfAnyUnit) {
    struct Case {
        const char *tc, *unidad, *letraDada, *suc, *nro, *letra;
        int talonario;
    };
    for (const Case& c : {Case{"FC", "", "A", "0003", "00000124", "A", 2},
                          Case{" FC ", "1", "m", "0005", "00000077", "m", 2},
                          Case{"FC", "2", "A", "0003", "00000124", "A", 2},  // no pad of unit 2
                          Case{"ZZ", "", "A", "", "", "", 0},                // no pad at all
                          Case{"FC", "", "Q", "suc", "nro", "Q", 0},         // unchanged
                          Case{"FC", "", "", "suc", "nro", "", 0}}) {
        Lbc_Asiento reglas(3);
        QString suc = "suc", nro = "nro", letra = c.letraDada;
        reglas.DatosComprobante(c.tc, suc, nro, letra, c.unidad);
        EXPECT_EQ(QStringList({suc, nro, letra}), QStringList({c.suc, c.nro, c.letra}))
            << c.tc << "/" << c.unidad << "/" << c.letraDada;
        EXPECT_EQ(reglas.gTalonario(), c.talonario);
    }
}

TEST_F(ValidacionTest, IncomingTypesAreKnownOrHaveNoCountersForTheirLastLetter) {
    EXPECT_FALSE(Lbc_Asiento::ComprobanteEntrada("fc"));
    EXPECT_TRUE(Lbc_Asiento::ComprobanteEntrada("ncc"));
    EXPECT_TRUE(traced().isEmpty()) << "known codes need no query";
    for (const auto& [tc, entrada] : std::vector<std::pair<const char*, bool>>{
             {"AB", true}, {"BA", false}, {"SL", false}, {"XX", false}})
        EXPECT_EQ(Lbc_Asiento::ComprobanteEntrada(tc), entrada) << tc;
    EXPECT_TRUE(boxes_.shown().empty());

    // A counter without value is a failure for the error notice.
    exec("DROP TABLE TA_COMPROBANTES");
    exec(
        "CREATE TABLE TA_COMPROBANTES (CODIGO VARCHAR(4), LETRAS VARCHAR(7), A_ULTIMO_NRO INT, "
        "A_NRO_DESDE INT, A_NRO_HASTA INT)");
    exec("INSERT INTO TA_COMPROBANTES VALUES ('  NU', 'A', NULL, 0, 0)");
    boxes_.answer(answer::Abort);
    EXPECT_FALSE(Lbc_Asiento::ComprobanteEntrada("NU"));
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].title.contains("ComprobanteEntrada"));
}

// ---- ValidaComprobante.

TEST_F(ValidacionTest, AVoucherNotInTheJournalMayBeRecorded) {
    QString numero = "00000124", mensaje = "sin tocar";
    EXPECT_TRUE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje, "2026-03-16"));
    EXPECT_EQ(numero, "00000124");
    EXPECT_EQ(mensaje, "sin tocar");
    EXPECT_TRUE(traced().contains(
        "SELECT TOP 1 *  FROM MV_ASIENTOS WHERE TIPO_REG = 'VENTAS' AND  TC = '  FC' AND "
        "SUCURSAL = '0003' AND NUMERO = '00000124' AND LETRA = 'A' and Fecha = '2026-03-16'"));

    numero = "1'2";
    EXPECT_TRUE(reglas_.ValidaComprobante("F'C", "0'3", numero, "'", mensaje, "x'y", "1'1"));
    for (const QString& sql : traced()) {
        if (!sql.startsWith("SELECT TOP 1 *  FROM MV_ASIENTOS")) continue;
        EXPECT_TRUE(
            sql.contains("TC = ' F''C' AND SUCURSAL = '0''3' AND NUMERO = '1''2' AND LETRA = ''''"))
            << sql.toStdString();
    }
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ValidacionTest, ADuplicateOfASelfNumberedTypeOffersTheNextNumber) {
    addLine(voucherLine("  FC", "00000124", "VENTAS"));
    QString numero = "00000124", mensaje;
    boxes_.answer(answer::No);
    EXPECT_FALSE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    EXPECT_EQ(numero, "00000124");
    EXPECT_EQ(mensaje, "Comprobante duplicado");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text,
              "El Comprobante Duplicado, el nuevo numero es: 0003-00000125 A");
    EXPECT_EQ(boxes_.shown()[0].style, mb::YesNo | mb::Exclamation);
    EXPECT_EQ(boxes_.shown()[0].title, "Atencion");

    mensaje.clear();
    boxes_.answer(answer::Yes);
    EXPECT_TRUE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    EXPECT_EQ(numero, "125");
    EXPECT_TRUE(mensaje.isEmpty());
}

TEST_F(ValidacionTest, ARunOfRecordedNumbersAsksForEachAndKeepsTheLastOneOffered) {
    constexpr int kRecorded = 200;
    QStringList filas;
    for (int n = 1000; n < 1000 + kRecorded; ++n)
        filas << QStringLiteral(
                     "(3, 3, 14, '2026-03-16', 'VENTAS', '1', 'D', '  FC', '0003', "
                     "'%1', 'A')")
                     .arg(n);
    exec(
        "INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], FECHA, TIPO_REG, "
        "CUENTA, [DEBE-HABER], TC, SUCURSAL, NUMERO, LETRA) VALUES " +
        filas.join(", "));
    QString numero = "1000", mensaje;
    for (int n = 0; n < kRecorded; ++n) boxes_.answer(answer::Yes);
    EXPECT_TRUE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    EXPECT_EQ(numero, "1200");
    ASSERT_EQ(boxes_.shown().size(), size_t{kRecorded});
    EXPECT_TRUE(boxes_.shown().back().text.endsWith("0003-00001200 A"));

    // Refusing the third offer restores the number that offer replaced.
    numero = "1000";
    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::No);
    EXPECT_FALSE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    EXPECT_EQ(numero, "1002");
}

TEST_F(ValidacionTest, AVoucherOfATypeNumberedElsewhereNamesItsEntry) {
    addLine(voucherLine(" FCC", "00004501", "COMPRAS"));
    QString numero = "00004501", mensaje;
    AsientoDelComprobante donde;
    EXPECT_FALSE(reglas_.ValidaComprobante("FCC", "0003", numero, "A", mensaje, {}, {}, &donde));
    EXPECT_EQ(mensaje, "Comprobante registrado en el Asiento 3-14\r\n Para el subdiario: COMPRAS");
    EXPECT_EQ(QStringList({donde.MesOP, donde.NroAsiento, donde.PeriodoModif}),
              QStringList({"3", "14", "3"}));
    EXPECT_TRUE(boxes_.shown().empty());

    exec("UPDATE MV_ASIENTOS SET TIPO_REG = ''");
    EXPECT_FALSE(reglas_.ValidaComprobante("FCC", "0003", numero, "A", mensaje));
    EXPECT_EQ(mensaje, "Comprobante registrado en el Asiento 3-14");
}

// The first search asks for the line of the entry's own date, written as
// the operator types it: that line is named even when a line of another
// date comes first.
TEST_F(ValidacionTest, TheVoucherFoundFirstIsTheOneOfTheEntrysDate) {
    Renglon otroDia = voucherLine(" FCC", "00004501", "COMPRAS");
    otroDia.numero = 20;
    otroDia.fecha = QStringLiteral("2026-03-20");
    addLine(otroDia);
    addLine(voucherLine(" FCC", "00004501", "COMPRAS"));
    for (const char* fecha : {"16/03/2026", "16/03/26", "20260316"}) {
        SCOPED_TRACE(fecha);
        QString numero = "00004501", mensaje;
        AsientoDelComprobante donde;
        EXPECT_FALSE(
            reglas_.ValidaComprobante("FCC", "0003", numero, "A", mensaje, fecha, {}, &donde));
        EXPECT_EQ(donde.NroAsiento, "14");
    }
}

TEST_F(ValidacionTest, AVoucherCheckThatFailsShowsTheErrorInAPlainBox) {
    exec("DROP TABLE MV_ASIENTOS");
    QString numero = "00000124", mensaje;
    // The layer's own notice for the failed open, then the method's box.
    boxes_.answer(answer::Abort).answer(answer::Ok);
    EXPECT_FALSE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[1].style, mb::OkOnly);
    EXPECT_EQ(boxes_.shown()[1].title, defaultTitle());
    EXPECT_TRUE(boxes_.shown()[1].text.contains("cerrado")) << "the description alone";
}

TEST_F(ValidacionTest, AReversedSummaryIsReported) {
    boxes_.answer(answer::Ok);
    EXPECT_TRUE(reglas_.AsientoResumenAnulado(" VENTAS ", "03-7"));
    EXPECT_EQ(traced().value(0),
              "SELECT * FROM MV_CONTROL_AS_RES WHERE SUBDIARIO='VENTAS' AND ID=7 AND "
              "MONTH(FECHA_DESDE) = 03 AND PERIODO = 3");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "Este Asiento Resumen ya fue Contrasentado!!!");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly | mb::Critical);
    for (const char* activo : {"01-1", "02-7", "03-8"})
        EXPECT_FALSE(reglas_.AsientoResumenAnulado("VENTAS", activo)) << activo;
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

// ---- ExisteEnMVAsientos and ExisteEnMVAsientos2.

TEST_F(ValidacionTest, VoucherLinesAreFoundWithOrWithoutTheSupplier) {
    addLine(voucherLine("FC", "00000124"));
    EXPECT_TRUE(Lbc_Asiento::ExisteEnMVAsientos(" FC ", "0003", "00000124", " A "));
    EXPECT_TRUE(Lbc_Asiento::ExisteEnMVAsientos("FC", "0003", "00000124", "A", QString(" P0001")));
    EXPECT_FALSE(Lbc_Asiento::ExisteEnMVAsientos("FC", "0003", "00000124", "A", QString("P0002")));
    ado::Recordset lineas;
    EXPECT_TRUE(
        Lbc_Asiento::ExisteEnMVAsientos("FC", "0003", "00000124", "A", std::nullopt, &lineas));
    EXPECT_EQ(lineas.value("CABCUENTA").toString(), "P0001") << "left open for the caller";
}

TEST_F(ValidacionTest, EntryLinesOfASupplierAreSoughtInTheFiscalYearGiven) {
    Renglon linea = voucherLine("FC", "1");
    linea.periodo = 2;
    addLine(linea);
    linea.comprobante = "2";
    linea.esResumen = true;
    addLine(linea);
    struct Case {
        const char *numero, *periodo;
        std::optional<QString> proveedor;
        bool existe;
    };
    for (const Case& c :
         {Case{"1", "9", std::nullopt, true},  // any fiscal year
          Case{"1", "2", QString("P0001"), true}, Case{"1", "3", QString("P0001"), false},
          Case{"1", "2", QString("P0002"), false},
          Case{"2", "2", std::nullopt, false}}) {  // summary lines do not count
        EXPECT_EQ(Lbc_Asiento::ExisteEnMVAsientos2("FC", "0003", c.numero, "A", "", " 14 ", " 3 ",
                                                   c.periodo, c.proveedor),
                  c.existe)
            << c.numero << " " << c.periodo;
    }
    EXPECT_EQ(traced().value(1),
              "SELECT * FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = 'FC' AND SUCURSAL = '0003' AND "
              "NUMERO = '1' AND LETRA = 'A' AND [NUMERO ASIENTO] = 14 AND Periodo = 2 AND "
              "MES_OPERATIVO = 3  AND (ESRESUMEN = 0) AND CABCUENTA = 'P0001'");
}

// Numbers placed in a statement without quotes.
TEST_F(ValidacionTest, ValuesThatAreNoWholeNumbersNeverReachAStatement) {
    struct Case {
        const char* rutina;
        std::function<void()> llamada;
    };
    const Case cases[] = {
        {"UltimoNumeroAsiento", [&] { reglas_.UltimoNumeroAsiento(Value("3 OR 1=1")); }},
        {"UltimoNumeroAsiento",
         [&] { reglas_.UltimoNumeroAsiento(Value(3), std::nullopt, Value("3.5")); }},
        {"UltimoIdNovedadBienDeUso", [] { Lbc_Asiento::UltimoIDNovedadBienDeUso("3 OR 1=1"); }},
        {"AsientoResumenAnulado", [&] { reglas_.AsientoResumenAnulado("VENTAS", "03-7 OR 1=1"); }},
        {"AsientoResumenAnulado", [&] { reglas_.AsientoResumenAnulado("VENTAS", "x-7"); }},
        {"AsientoResumenAnulado", [&] { reglas_.AsientoResumenAnulado("VENTAS", "037"); }},
        {"ExisteEnMVAsientos2",
         [] {
             Lbc_Asiento::ExisteEnMVAsientos2("FC", "0003", "1", "A", "", "14 OR 1=1", "3", "");
         }},
        {"ExisteEnMVAsientos2",
         [] { Lbc_Asiento::ExisteEnMVAsientos2("FC", "0003", "1", "A", "", "14", "", ""); }},
        {"ExisteEnMVAsientos2",
         [] {
             Lbc_Asiento::ExisteEnMVAsientos2("FC", "0003", "1", "A", "", "14", "3", "2) OR (1=1",
                                              QString("P0001"));
         }},
    };
    for (const Case& c : cases) {
        boxes_.answer(answer::Abort);
        c.llamada();
        ASSERT_FALSE(boxes_.shown().empty());
        EXPECT_TRUE(boxes_.shown().back().title.contains(c.rutina)) << c.rutina;
        EXPECT_TRUE(traced().isEmpty()) << c.rutina;
    }
}

TEST_F(ValidacionTest, AccountsThatTakePostings) {
    exec(
        "INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, TITULO, DADA_DE_BAJA, BLOQUEO, BIENES, "
        "AJUSTE) VALUES ('110101001', 'Caja', 0, 0, 0, 0, 0), ('1101', 'Caja y bancos', 1, 0, 0, "
        "0, 0), ('110101002', 'Caja chica', 0, 1, 0, 0, 0), ('110101003', 'Caja en dólares', 0, "
        "0, 1, 0, 0), ('120102001', 'Rodados', 0, 0, 0, 1, 1)");
    exec("INSERT INTO MA_CUENTASADIC (CODIGO) VALUES ('110101001')");
    for (const auto& [codigo, imputable, existe] :
         std::vector<std::tuple<QString, bool, bool>>{{" 110101001 ", true, true},
                                                      {"1101", false, true},        // a heading
                                                      {"110101002", false, false},  // retired
                                                      {"110101003", false, false},  // blocked
                                                      {"999", false, false}}) {
        EXPECT_EQ(Lbc_Asiento::CuentaImputable(codigo), imputable) << codigo.toStdString();
        EXPECT_EQ(Lbc_Asiento::ExisteCuentas(codigo), existe) << codigo.toStdString();
    }
    EXPECT_TRUE(Lbc_Asiento::CuentaImputable(QString("110101001") + QChar(0)));
    Value titulo, nombre("sin tocar"), bienes, ajuste;
    EXPECT_FALSE(Lbc_Asiento::ExisteCuentas("110101002", &titulo, &nombre));
    EXPECT_EQ(nombre, Value("sin tocar"));
    EXPECT_TRUE(Lbc_Asiento::ExisteCuentas("120102001", &titulo, &nombre, &bienes, &ajuste));
    EXPECT_EQ(
        QStringList({titulo.toString(), nombre.toString(), bienes.toString(), ajuste.toString()}),
        QStringList({"0", "Rodados", "1", "1"}));

    ado::Recordset datos;
    EXPECT_TRUE(Lbc_Asiento::ExisteDatosAdicionales(" 110101001 ", datos));
    EXPECT_EQ(datos.State(), ado::adStateClosed);
    EXPECT_FALSE(Lbc_Asiento::ExisteDatosAdicionales("1101", datos));
    EXPECT_TRUE(boxes_.shown().empty());
}

// ---- On the demo company's books.

class DemoBooksTest : public AccountingDbTest {
  protected:
    void SetUp() override {
        AccountingDbTest::SetUp();
        klbase::Database demo;
        ASSERT_FALSE(demo.open(file_, klbase::Database::Mode::OpenExisting));
        klbase::DemoSummary resumen;
        const StepResult filled = klbase::fillDemo(demo, resumen);
        ASSERT_FALSE(filled) << filled->description.toStdString();
    }
};

TEST_F(DemoBooksTest, TheNextSalesInvoiceFollowsThePadAndTheReversedSummaryIsKnown) {
    Lbc_Asiento reglas(3);
    QString suc, nro, letra = "A", mensaje;
    reglas.DatosComprobante("FC", suc, nro, letra, "1");
    EXPECT_EQ(suc, "0003");
    QString numero = nro;
    boxes_.answer(answer::Yes).answer(answer::Ok);
    EXPECT_TRUE(reglas.ValidaComprobante("FC", suc, numero, letra, mensaje));
    EXPECT_EQ(numero.toLongLong(), nro.toLongLong() + 1) << "the pad's last one is recorded";
    EXPECT_TRUE(reglas.AsientoResumenAnulado("VENTAS", "02-2"));
    EXPECT_FALSE(reglas.AsientoResumenAnulado("VENTAS", "02-3"));
    EXPECT_EQ(boxes_.shown().size(), 2u);
}

}  // namespace
}  // namespace kl::accounting::test
