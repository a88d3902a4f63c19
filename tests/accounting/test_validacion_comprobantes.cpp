#include "accounting_db.h"
#include "demo.h"

#include "accounting/lbc_asiento.h"
#include "dblayer/db_dll.h"
#include "platform/dialogs.h"

namespace kl::accounting::test {
namespace {

// Sales invoices (FC, numbered by the company) and purchase invoices (FCC,
// numbered by the supplier) in their journals; the pads of FC for business
// unit 1; the sales journal's summaries of the active period 3.
class ValidacionTest : public AccountingDbTest {
  protected:
    void SetUp() override {
        AccountingDbTest::SetUp();
        exec(
            "INSERT INTO MA_SUBDIARIOSCOMPROBANTES (SUBDIARIO, TC) VALUES ('VENTAS', 'FC'), "
            "('VENTAS', 'NC'), ('COMPRAS', 'FCC')");
        exec(
            "INSERT INTO TA_COMPROBANTES (CODIGO, DESCRIPCION, MODIFICANUMERACION, LETRAS, "
            "A_ULTIMO_NRO, A_NRO_DESDE, A_NRO_HASTA) VALUES ('  FC', 'Factura', 0, 'AB', 124, 1, "
            "99999999), ('  NC', 'Nota de crédito', 0, 'AB', 0, 0, 0), ('  AB', 'Numerada A', "
            "0, 'AB', 5, 1, 999), ('  BA', 'Numerada A', 0, 'BA', 5, 1, 999), ('  SL', 'Sin "
            "letras', 0, '', 0, 0, 0), ('FCC', 'Factura de compra', 1, 'ABC', 0, 0, 0)");
        exec(
            "INSERT INTO TA_TALONARIOS (CODIGO, UNEGOCIO, TALONARIO, A_SUC_DEFAULT, "
            "A_ULTIMO_NRO, M_SUC_DEFAULT, M_ULTIMO_NRO) VALUES ('  FC', '   1', 4, 9, 900, 0, 0), "
            "('  FC', '   1', 2, 3, 124, 5, 77)");
        exec(
            "INSERT INTO MV_CONTROL_AS_RES (SUBDIARIO, PERIODO, ID, FECHA_DESDE, FECHA_HASTA, "
            "ANULADO) VALUES ('VENTAS', 3, 1, '2026-01-01 00:00:00', '2026-01-31 00:00:00', 0), "
            "('VENTAS', 3, 7, '2026-03-01 00:00:00', '2026-03-31 00:00:00', 1), ('VENTAS', 2, 8, "
            "'2025-03-01 00:00:00', '2025-03-31 00:00:00', 0)");
        traced();
    }

    // A sales invoice A of point of sale 0003 in entry 14 of March.
    void addInvoice(const QString& numero, int periodo = 3) {
        addLine({.periodo = periodo,
                 .numero = 14,
                 .tipoReg = "VENTAS",
                 .tc = "  FC",
                 .sucursal = "0003",
                 .comprobante = numero,
                 .letra = "A",
                 .cabCuenta = "C0001"});
    }

    Lbc_Asiento reglas_{3};
};

// ---- ValidaFechaSubdiario.

TEST_F(ValidacionTest, ADateCoveredByAnActiveSummaryIsRefused) {
    struct Case {
        const char* fecha;
        const char* subdiario;
        bool valida;
    };
    for (const Case& c :
         {Case{"15/01/2026", "VENTAS", false}, Case{"31/01/2026", " VENTAS ", false},
          Case{"15/03/2026", "VENTAS", true},  // its summary was reversed
          Case{"15/02/2026", "VENTAS", true}, Case{"15/01/2026", "COMPRAS", true}}) {
        bool valida = !c.valida;
        EXPECT_FALSE(reglas_.ValidaFechaSubdiario(c.fecha, c.subdiario, valida));
        EXPECT_EQ(valida, c.valida) << c.fecha << " " << c.subdiario;
    }
    bool valida = true;
    EXPECT_TRUE(reglas_.ValidaFechaSubdiario("no es fecha", "VENTAS", valida));
    EXPECT_TRUE(boxes_.shown().empty()) << "the caller handles it";
}

// ---- ValidaSubdiarioTC and ValidaTCRegistraciones.

TEST_F(ValidacionTest, JournalsTakeTheirVoucherTypes) {
    EXPECT_TRUE(Lbc_Asiento::ValidaSubdiarioTC(" VENTAS ", "fc "));
    EXPECT_FALSE(Lbc_Asiento::ValidaSubdiarioTC("VENTAS", "FCC"));
    EXPECT_FALSE(Lbc_Asiento::ValidaSubdiarioTC("O'Higgins", "FC"));
    EXPECT_TRUE(Lbc_Asiento::ValidaTCRegistraciones(" FCC "));
    EXPECT_FALSE(Lbc_Asiento::ValidaTCRegistraciones("REC"));
    EXPECT_FALSE(Lbc_Asiento::ValidaTCRegistraciones("F'C"));
    const QStringList sql = traced();
    EXPECT_TRUE(
        sql.contains("SELECT * FROM MA_SUBDIARIOSCOMPROBANTES WHERE "
                     "RTRIM(LTRIM(SUBDIARIO)) = 'O''Higgins'"));
    EXPECT_TRUE(sql.contains("SELECT TC FROM MA_SUBDIARIOSCOMPROBANTES WHERE TC='F''C'"));
    EXPECT_TRUE(boxes_.shown().empty());
}

// ---- DeterminaLetra.

TEST_F(ValidacionTest, LetterFollowsTheCompanysAndTheClientsTaxCondition) {
    struct Case {
        const char* empresa;  // nullptr: key absent
        const char* cliente;
        const char* letra;
    };
    for (const Case& c : {Case{nullptr, "1", "Z"}, Case{"1", "3", "B"}, Case{"1", "2", "A"},
                          Case{"1", "", "A"}, Case{"2", "1", "C"}}) {
        if (c.empresa) setKey("CONDIVA", c.empresa);
        EXPECT_EQ(Lbc_Asiento::DeterminaLetra(c.cliente), c.letra)
            << (c.empresa ? c.empresa : "-") << " " << c.cliente;
    }
}

// ---- DatosComprobante.

TEST_F(ValidacionTest, PadDataComeFromTheLowestPadOfTheUnitOrOfAnyUnit) {
    struct Case {
        const char* tc;
        const char* letraDada;
        const char* unidad;
        const char* suc;
        const char* nro;
        const char* letra;
        int talonario;
    };
    for (const Case& c : {Case{"FC", "A", "", "0003", "00000124", "A", 2},
                          Case{" FC ", "m", "1", "0005", "00000077", "m", 2},
                          Case{"FC", "A", "2", "0003", "00000124", "A", 2},  // no pad of unit 2
                          Case{"ZZ", "A", "", "", "", "", 0},                // no pad at all
                          Case{"FC", "Q", "", "suc", "nro", "Q", 7},         // unchanged
                          Case{"FC", "", "", "suc", "nro", "", 7}}) {
        Lbc_Asiento reglas(3);
        QString suc = "suc", nro = "nro", letra = c.letraDada;
        traced();
        if (c.talonario == 7) {
            EXPECT_EQ(reglas.gTalonario(), 0);
            reglas.DatosComprobante(c.tc, suc, nro, letra, c.unidad);
            EXPECT_TRUE(traced().isEmpty()) << "returns at once";
        } else {
            reglas.DatosComprobante(c.tc, suc, nro, letra, c.unidad);
            EXPECT_EQ(reglas.gTalonario(), c.talonario) << c.tc << c.letraDada << c.unidad;
        }
        EXPECT_EQ(suc, c.suc) << c.tc << c.letraDada << c.unidad;
        EXPECT_EQ(nro, c.nro) << c.tc << c.letraDada << c.unidad;
        EXPECT_EQ(letra, c.letra);
    }
    traced();
    Lbc_Asiento reglas(3);
    QString suc, nro, letra = "A";
    reglas.DatosComprobante("FC", suc, nro, letra, "1");
    EXPECT_EQ(traced().value(0),
              "SELECT * FROM V_TA_CPTE WHERE CODIGO = '  FC' AND UNEGOCIO = '   1' ORDER BY "
              "TALONARIO ASC");
}

// ---- ComprobanteEntrada.

TEST_F(ValidacionTest, IncomingTypesAreKnownOrHaveNoCountersForTheirLastLetter) {
    EXPECT_FALSE(Lbc_Asiento::ComprobanteEntrada("fc"));
    EXPECT_TRUE(Lbc_Asiento::ComprobanteEntrada("ncc"));
    EXPECT_TRUE(traced().isEmpty()) << "known codes need no query";

    for (const auto& [tc, entrada] : std::vector<std::pair<const char*, bool>>{
             {"AB", true}, {"BA", false}, {"SL", false}, {"XX", false}})
        EXPECT_EQ(Lbc_Asiento::ComprobanteEntrada(tc), entrada) << tc;
    EXPECT_EQ(traced().value(0), "SELECT * FROM TA_COMPROBANTES WHERE CODIGO = '  AB'");
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
    const QStringList sql = traced();
    EXPECT_TRUE(sql.contains(
        "SELECT TOP 1 *  FROM MV_ASIENTOS WHERE TIPO_REG = 'VENTAS' AND  TC = '  FC' AND "
        "SUCURSAL = '0003' AND NUMERO = '00000124' AND LETRA = 'A' and Fecha = '2026-03-16'"));
    EXPECT_TRUE(
        sql.contains("SELECT TOP 1 *  FROM MV_ASIENTOS WHERE TC = '  FC' AND SUCURSAL = "
                     "'0003' AND NUMERO = '00000124' AND LETRA = 'A'"));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ValidacionTest, ADuplicateOfASelfNumberedTypeOffersTheNextNumber) {
    addInvoice("00000124");
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
    for (int n = 0; n < kRecorded; ++n)
        filas << QStringLiteral(
                     "(3, 3, 14, '2026-03-16 00:00:00', 'VENTAS', '110101001', 'D', "
                     "'  FC', '0003', '%1', 'A')")
                     .arg(1000 + n);
    exec(
        "INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], FECHA, TIPO_REG, "
        "CUENTA, [DEBE-HABER], TC, SUCURSAL, NUMERO, LETRA) VALUES " +
        filas.join(", "));
    QString numero = "1000", mensaje;
    for (int n = 0; n < kRecorded; ++n) boxes_.answer(answer::Yes);
    EXPECT_TRUE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    EXPECT_EQ(numero, QString::number(1000 + kRecorded));
    ASSERT_EQ(boxes_.shown().size(), size_t{kRecorded});
    EXPECT_TRUE(boxes_.shown().back().text.endsWith("0003-00001200 A"));

    // Refusing the third offer restores the number that offer replaced.
    numero = "1000";
    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::No);
    EXPECT_FALSE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    EXPECT_EQ(numero, "1002");
    EXPECT_EQ(mensaje, "Comprobante duplicado");
}

TEST_F(ValidacionTest, AVoucherOfATypeNumberedElsewhereNamesItsEntry) {
    addLine({.mes = 3,
             .numero = 14,
             .tipoReg = "COMPRAS",
             .tc = " FCC",
             .sucursal = "0002",
             .comprobante = "00004501",
             .letra = "A"});
    QString numero = "00004501", mensaje;
    AsientoDelComprobante donde;
    EXPECT_FALSE(reglas_.ValidaComprobante("FCC", "0002", numero, "A", mensaje, {}, {}, &donde));
    EXPECT_EQ(mensaje, "Comprobante registrado en el Asiento 3-14\r\n Para el subdiario: COMPRAS");
    EXPECT_EQ(donde.MesOP, "3");
    EXPECT_EQ(donde.NroAsiento, "14");
    EXPECT_EQ(donde.PeriodoModif, "3");
    EXPECT_EQ(numero, "00004501");
    EXPECT_TRUE(boxes_.shown().empty());

    exec("UPDATE MV_ASIENTOS SET TIPO_REG = ''");
    EXPECT_FALSE(reglas_.ValidaComprobante("FCC", "0002", numero, "A", mensaje));
    EXPECT_EQ(mensaje, "Comprobante registrado en el Asiento 3-14");
}

TEST_F(ValidacionTest, VoucherTextsHaveTheirQuotesDoubled) {
    QString numero = "1'2", mensaje;
    EXPECT_TRUE(reglas_.ValidaComprobante("F'C", "0'3", numero, "'", mensaje, "x'y", "1'1"));
    for (const QString& sql : traced()) {
        if (!sql.startsWith("SELECT TOP 1 *  FROM MV_ASIENTOS")) continue;
        EXPECT_TRUE(
            sql.contains("TC = ' F''C' AND SUCURSAL = '0''3' AND NUMERO = '1''2' AND "
                         "LETRA = ''''"))
            << sql.toStdString();
    }
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ValidacionTest, AFailureIsShownInAPlainBoxAndRefusesTheVoucher) {
    exec("DROP TABLE MV_ASIENTOS");
    QString numero = "00000124", mensaje;
    // The layer's own notice for the failed open, then the method's box.
    boxes_.answer(answer::Abort).answer(answer::Ok);
    EXPECT_FALSE(reglas_.ValidaComprobante("FC", "0003", numero, "A", mensaje));
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[1].style, mb::OkOnly);
    EXPECT_EQ(boxes_.shown()[1].title, defaultTitle());
    EXPECT_TRUE(boxes_.shown()[1].text.contains("cerrado")) << "the description alone";
    EXPECT_EQ(numero, "00000124");
}

// ---- AsientoResumenAnulado.

TEST_F(ValidacionTest, AReversedSummaryIsReported) {
    boxes_.answer(answer::Ok);
    EXPECT_TRUE(reglas_.AsientoResumenAnulado(" VENTAS ", "03-7"));
    EXPECT_EQ(traced().value(0),
              "SELECT * FROM MV_CONTROL_AS_RES WHERE SUBDIARIO='VENTAS' AND ID=7 AND "
              "MONTH(FECHA_DESDE) = 03 AND PERIODO = 3");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "Este Asiento Resumen ya fue Contrasentado!!!");
    EXPECT_EQ(boxes_.shown()[0].style & mb::IconMask, mb::Critical);
    EXPECT_EQ(boxes_.shown()[0].title, defaultTitle());

    for (const char* activo : {"01-1", "02-7", "03-8"}) {
        EXPECT_FALSE(reglas_.AsientoResumenAnulado("VENTAS", activo)) << activo;
    }
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST_F(ValidacionTest, ASummaryNameWithoutMonthOrNumberGoesToTheErrorNotice) {
    for (const char* nombre : {"037", "03-7 OR 1=1", "x-7"}) {
        boxes_.answer(answer::Abort);
        EXPECT_FALSE(reglas_.AsientoResumenAnulado("VENTAS", nombre));
        ASSERT_FALSE(boxes_.shown().empty());
        EXPECT_TRUE(boxes_.shown().back().title.contains("AsientoResumenAnulado")) << nombre;
        EXPECT_TRUE(traced().isEmpty());
    }
}

// ---- ExisteEnMVAsientos and ExisteEnMVAsientos2.

TEST_F(ValidacionTest, VoucherLinesAreFoundWithOrWithoutTheSupplier) {
    addLine({.tc = "FC",
             .sucursal = "0003",
             .comprobante = "00000124",
             .letra = "A",
             .cabCuenta = "C0001"});
    EXPECT_TRUE(Lbc_Asiento::ExisteEnMVAsientos(" FC ", "0003", "00000124", " A "));
    EXPECT_TRUE(Lbc_Asiento::ExisteEnMVAsientos("FC", "0003", "00000124", "A", QString(" C0001 ")));
    EXPECT_FALSE(Lbc_Asiento::ExisteEnMVAsientos("FC", "0003", "00000124", "A", QString("C0002")));
    const QStringList sql = traced();
    EXPECT_EQ(sql.value(0),
              "SELECT * FROM MV_ASIENTOS  WITH(NOLOCK) WHERE TC = 'FC' AND "
              "SUCURSAL = '0003' AND NUMERO = '00000124' AND LETRA = 'A'");
    EXPECT_EQ(sql.value(1),
              "SELECT * FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = 'FC' AND "
              "SUCURSAL = '0003' AND NUMERO = '00000124' AND LETRA = 'A' AND "
              "CABCUENTA = 'C0001'");

    ado::Recordset lineas;
    EXPECT_TRUE(
        Lbc_Asiento::ExisteEnMVAsientos("FC", "0003", "00000124", "A", std::nullopt, &lineas));
    EXPECT_EQ(lineas.value("CABCUENTA").toString(), "C0001") << "left open for the caller";
}

TEST_F(ValidacionTest, EntryLinesOfASupplierAreSoughtInTheFiscalYearGiven) {
    addLine({.periodo = 2,
             .numero = 14,
             .tc = "FC",
             .sucursal = "0003",
             .comprobante = "1",
             .letra = "A",
             .cabCuenta = "P0001"});
    addLine({.periodo = 2,
             .numero = 14,
             .tc = "FC",
             .sucursal = "0003",
             .comprobante = "2",
             .letra = "A",
             .cabCuenta = "P0001",
             .esResumen = true});
    struct Case {
        const char* numero;
        const char* periodo;
        std::optional<QString> proveedor;
        bool existe;
    };
    for (const Case& c :
         {Case{"1", "9", std::nullopt, true},  // any fiscal year
          Case{"1", "2", QString("P0001"), true}, Case{"1", "3", QString("P0001"), false},
          Case{"1", "2", QString("P0002"), false},
          Case{"2", "2", std::nullopt, false}}) {  // summary lines do not count
        EXPECT_EQ(Lbc_Asiento::ExisteEnMVAsientos2("FC", "0003", c.numero, "A", "VENTAS", " 14 ",
                                                   " 3 ", c.periodo, c.proveedor),
                  c.existe)
            << c.numero << " " << c.periodo;
    }
    const QStringList sql = traced();
    EXPECT_EQ(sql.value(0),
              "SELECT * FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = 'FC' AND "
              "SUCURSAL = '0003' AND NUMERO = '1' AND LETRA = 'A' AND [NUMERO "
              "ASIENTO] = 14  AND MES_OPERATIVO = 3 AND (ESRESUMEN = 0)");
    EXPECT_EQ(sql.value(1),
              "SELECT * FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = 'FC' AND "
              "SUCURSAL = '0003' AND NUMERO = '1' AND LETRA = 'A' AND [NUMERO "
              "ASIENTO] = 14 AND Periodo = 2 AND MES_OPERATIVO = 3  AND (ESRESUMEN "
              "= 0) AND CABCUENTA = 'P0001'");
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ValidacionTest, EntryLinesRefuseNumbersThatAreNoWholeNumbers) {
    struct Case {
        const char* asiento;
        const char* mes;
        const char* periodo;
    };
    for (const Case& c :
         {Case{"14 OR 1=1", "3", "2"}, Case{"14", "", "2"}, Case{"14", "3", "2) OR (1=1"}}) {
        boxes_.answer(answer::Abort);
        EXPECT_FALSE(Lbc_Asiento::ExisteEnMVAsientos2("FC", "0003", "1", "A", "", c.asiento, c.mes,
                                                      c.periodo, QString("P0001")));
        ASSERT_FALSE(boxes_.shown().empty());
        EXPECT_TRUE(boxes_.shown().back().title.contains("ExisteEnMVAsientos2"));
        EXPECT_TRUE(traced().isEmpty());
    }
}

// ---- Accounts.

TEST_F(ValidacionTest, AccountsThatTakePostings) {
    exec(
        "INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, TITULO, DADA_DE_BAJA, BLOQUEO, BIENES, "
        "AJUSTE) VALUES ('110101001', 'Caja', 0, 0, 0, 0, 1), ('1101', 'Caja y bancos', 1, 0, 0, "
        "0, 0), ('110101002', 'Caja chica', 0, 1, 0, 0, 0), ('110101003', 'Caja en dólares', 0, "
        "0, 1, 0, 0), ('120102001', 'Rodados', 0, 0, 0, 1, 1)");
    exec("INSERT INTO MA_CUENTASADIC (CODIGO, CUIT) VALUES ('110101001', '30-50001091-2')");
    struct Case {
        QString codigo;
        bool imputable;
        bool existe;
    };
    for (const Case& c : {Case{" 110101001 ", true, true}, Case{"1101", false, true},
                          Case{"110101002", false, false}, Case{"110101003", false, false},
                          Case{"999", false, false}, Case{"1'1", false, false}}) {
        EXPECT_EQ(Lbc_Asiento::CuentaImputable(c.codigo), c.imputable) << c.codigo.toStdString();
        Value nombre("sin tocar");
        EXPECT_EQ(Lbc_Asiento::ExisteCuentas(c.codigo, nullptr, &nombre), c.existe)
            << c.codigo.toStdString();
        if (!c.existe) {
            EXPECT_EQ(nombre, Value("sin tocar"));
        }
    }
    EXPECT_TRUE(Lbc_Asiento::CuentaImputable(QString("110101001") + QChar(0)));
    Value titulo, nombre, bienes, ajuste;
    EXPECT_TRUE(Lbc_Asiento::ExisteCuentas("120102001", &titulo, &nombre, &bienes, &ajuste));
    EXPECT_FALSE(titulo.toBool());
    EXPECT_EQ(nombre.toString(), "Rodados");
    EXPECT_TRUE(bienes.toBool());
    EXPECT_TRUE(ajuste.toBool());

    ado::Recordset datos;
    EXPECT_TRUE(Lbc_Asiento::ExisteDatosAdicionales(" 110101001 ", datos));
    EXPECT_EQ(datos.State(), ado::adStateClosed);
    EXPECT_FALSE(Lbc_Asiento::ExisteDatosAdicionales("1101", datos));
    EXPECT_TRUE(boxes_.shown().empty());
}

// ---- On the demo company's books.

// The rules on the demo company's books, as a data-entry program meets them.
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

TEST_F(DemoBooksTest, SalesVouchersJournalsAndSummariesAgree) {
    Lbc_Asiento reglas(3);
    QString suc, nro, letra = "A";
    reglas.DatosComprobante("FC", suc, nro, letra, "1");
    EXPECT_EQ(suc, "0003");
    ASSERT_FALSE(nro.isEmpty());

    // The last invoice is recorded; the next one is free.
    QString mensaje;
    boxes_.answer(answer::Yes);
    QString numero = nro;
    EXPECT_TRUE(reglas.ValidaComprobante("FC", suc, numero, letra, mensaje));
    EXPECT_EQ(numero.toLongLong(), nro.toLongLong() + 1);

    EXPECT_TRUE(Lbc_Asiento::ValidaSubdiarioTC("VENTAS", "FC"));
    EXPECT_TRUE(Lbc_Asiento::ComprobanteEntrada("FCC"));
    EXPECT_EQ(Lbc_Asiento::DeterminaLetra("5"), "B");
    bool valida = true;
    EXPECT_FALSE(reglas.ValidaFechaSubdiario("16/03/2026", "VENTAS", valida));
    EXPECT_FALSE(valida);
    boxes_.answer(answer::Ok);
    EXPECT_TRUE(reglas.AsientoResumenAnulado("VENTAS", "02-2"));
    EXPECT_FALSE(reglas.AsientoResumenAnulado("VENTAS", "02-3"));
    EXPECT_GT(reglas.UltimoNumeroAsiento(Value(3)), 1);
    EXPECT_EQ(Lbc_Asiento::UltimoIDBienDeUso(), "9");
    EXPECT_EQ(boxes_.shown().size(), 2u);
}

}  // namespace
}  // namespace kl::accounting::test
