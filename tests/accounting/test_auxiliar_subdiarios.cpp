#include "accounting/auxiliar_subdiarios.h"
#include "accounting/lbc_asiento.h"
#include "support/accounting_db/accounting_db.h"

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "progress/dll_display.h"
#include "progress/lbf_ctrldisplay.h"
#include "session/sesion.h"
#include "subdiario_literal/subdiario_literal.h"
#include "support/embedded_db.h"

#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>

namespace kl::accounting::test {

namespace {

using Estado = ResultadoSubdiarios::Estado;

// The rows of a user in the order they were written, one text per row,
// "~" for Null.
QString consultaFilas(const QString& usuario) {
    QStringList columnas;
    for (const char* c : {"USUARIO", "PERIODO", "MES_OPERATIVO", "[NUMERO ASIENTO]", "FECHA", "TC",
                          "SUCURSAL", "NUMERO", "LETRA", "CABIMPORTE", "CUENTA_D", "DESCRIPCION_D",
                          "IMPORTE_D", "CONCEPTO", "CUENTA_H", "DESCRIPCION_H", "IMPORTE_H"})
        columnas << QStringLiteral("IFNULL(CAST(%1 AS TEXT), '~')").arg(c);
    return QStringLiteral(
               "SELECT group_concat(fila, char(10)) FROM (SELECT %1 AS fila FROM "
               "AUX_SUBDIARIOS WHERE USUARIO = '%2' ORDER BY ID)")
        .arg(columnas.join(QStringLiteral(" || '|' || ")), usuario);
}

class AuxiliarSubdiariosTest : public AccountingDbTest {
  protected:
    void SetUp() override {
        AccountingDbTest::SetUp();
        sesion().gUsuarioLogeado = QStringLiteral("ADMIN");
        exec(
            QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES "
                           "('1101', 'Caja'), ('1102', 'Banco Nación'), ('2101', 'Proveedores'), "
                           "('4101', 'Ventas'), ('4102', 'Intereses ganados')"));
    }

    // One line: "D" or "H", the account, the amount; dates as yyyy-mm-dd hh:mm.
    void linea(const QString& subdiario, int mes, int numero, const QString& fecha,
               const QString& dh, const QString& cuenta, const QString& importe,
               int periodo = 2026) {
        exec(QStringLiteral("INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], "
                            "FECHA, TIPO_REG, CUENTA, [DEBE-HABER], IMPORTE, DETALLE, TC, "
                            "SUCURSAL, NUMERO, LETRA, CABIMPORTE) VALUES (%1, %2, %3, '%4', '%5', "
                            "'%6', '%7', %8, 'Factura', 'FC', '0001', '00000125', 'A', 1500)")
                 .arg(periodo)
                 .arg(mes)
                 .arg(numero)
                 .arg(fecha, subdiario, cuenta, dh, importe));
    }

    ResultadoSubdiarios genera(QString desde, const QString& hasta,
                               const QString& subdiario = QStringLiteral("VENTAS"),
                               AvanceSubdiarios* avance = nullptr) {
        desde_ = desde;
        QString h = hasta;
        return Lbc_Asiento(2026).GeneraAuxiliarSubdiarios(desde_, h, subdiario, Value(), avance);
    }

    QStringList filas(const QString& usuario = QStringLiteral("ADMIN")) {
        const QString all = scalar(consultaFilas(usuario));
        return all == u"<null>" ? QStringList() : all.split(u'\n');
    }

    QString desde_;
    kl::test::SinAvance sinAviso_;
};

TEST_F(AuxiliarSubdiariosTest, PairsDebitAndCreditLinesAsTheLongerSideDrives) {
    // 3 debits / 1 credit: debit-driven, date as read; 1 debit / 2 credits:
    // credit-driven, the day without its time; an entry with neither side
    // gives no row; an account missing from the chart has no name.
    linea("VENTAS", 3, 125, "2026-03-10 09:30:00", "D", "1102", "50");
    linea("VENTAS", 3, 125, "2026-03-10 09:30:00", "D", "1101", "100");
    linea("VENTAS", 3, 125, "2026-03-10 09:30:00", "D", "9999", "25");
    linea("VENTAS", 3, 125, "2026-03-10 09:30:00", "H", "4101", "175");
    linea("VENTAS", 3, 126, "2026-03-11 18:45:00", "D", "1101", "121");
    linea("VENTAS", 3, 126, "2026-03-11 18:45:00", "h", "4102", "21");
    linea("VENTAS", 3, 126, "2026-03-11 18:45:00", "H", "4101", "100");
    linea("VENTAS", 3, 127, "2026-03-12 00:00:00", "X", "1101", "1");
    linea("COMPRAS", 3, 125, "2026-03-10 00:00:00", "D", "2101", "7");

    const ResultadoSubdiarios r = genera("01/03/2026", "31/03/2026");
    EXPECT_EQ(r.estado, Estado::Completo);
    EXPECT_EQ(r.asientos, 3);
    const QString cpte = QStringLiteral("FC|0001|00000125|A|1500");
    EXPECT_EQ(
        filas(),
        QStringList({
            "ADMIN|2026|3|125|2026-03-10 09:30:00|" + cpte +
                "|1101|Caja|100|Factura|4101|Ventas|175",
            "ADMIN|2026|3|125|2026-03-10 09:30:00|" + cpte + "|1102|Banco Nación|50|Factura|~|~|~",
            "ADMIN|2026|3|125|2026-03-10 09:30:00|" + cpte + "|9999||25|Factura|~|~|~",
            "ADMIN|2026|3|126|2026-03-11 00:00:00|" + cpte +
                "|1101|Caja|121|Factura|4101|Ventas|100",
            "ADMIN|2026|3|126|2026-03-11 00:00:00|" + cpte +
                "|~|~|~|Factura|4102|Intereses ganados|21",
        }));
    EXPECT_EQ(dllDisplay().window(), nullptr);
}

TEST_F(AuxiliarSubdiariosTest, ReplacesOnlyTheUsersOwnRowsAndShowsNoNoticeWithoutEntries) {
    exec("INSERT INTO AUX_SUBDIARIOS (USUARIO, CUENTA_D) VALUES (' ADMIN ', '1'), ('OTRO', '2')");
    linea("VENTAS", 1, 1, "2026-01-05 00:00:00", "D", "1101", "1");

    const ResultadoSubdiarios r = genera("01/02/2026", "28/02/2026");
    EXPECT_EQ(r.estado, Estado::Completo);
    EXPECT_EQ(r.filas, 0);
    EXPECT_EQ(scalar("SELECT group_concat(USUARIO) FROM AUX_SUBDIARIOS"), "OTRO");
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(dllDisplay().window(), nullptr);
}

TEST_F(AuxiliarSubdiariosTest, AQuoteInTheUserOrJournalNameStaysInsideItsText) {
    sesion().gUsuarioLogeado = QStringLiteral("D'ANGELO");
    exec("INSERT INTO AUX_SUBDIARIOS (USUARIO, CUENTA_D) VALUES ('D''ANGELO', 'anterior')");
    linea("D''ARTE", 3, 1, "2026-03-10 00:00:00", "D", "1101", "1");
    EXPECT_EQ(genera("01/03/2026", "31/03/2026", "D'ARTE").estado, Estado::Completo);
    EXPECT_EQ(scalar("SELECT group_concat(USUARIO || ':' || CUENTA_D) FROM AUX_SUBDIARIOS"),
              "D'ANGELO:1101");
}

TEST_F(AuxiliarSubdiariosTest, AnEmptyFromDateBecomesTheFirstOf1990InTheCallersText) {
    linea("VENTAS", 1, 1, "1995-01-05 00:00:00", "D", "1101", "1", 1995);
    linea("VENTAS", 1, 2, "2026-06-05 00:00:00", "D", "1101", "1");
    genera("  ", "31/12/2025");
    EXPECT_EQ(desde_, "01/01/1990");
    EXPECT_EQ(filas().size(), 1);
}

TEST_F(AuxiliarSubdiariosTest, ACreditDrivenRowAfter2029KeepsItsCentury) {
    linea("VENTAS", 1, 1, "2031-01-05 10:00:00", "H", "4101", "1", 2031);
    genera("01/01/2031", "31/01/2031");
    EXPECT_EQ(scalar("SELECT FECHA FROM AUX_SUBDIARIOS"), "2031-01-05 00:00:00");
}

TEST_F(AuxiliarSubdiariosTest, EntriesOfSeveralYearsComeYearByYear) {
    // Every year numbers its entries from 1 again: the same month and number
    // in three years are three entries, each in its own year.
    for (int periodo : {2026, 2024, 2025}) {
        const QString fecha = QStringLiteral("%1-03-10 00:00:00").arg(periodo);
        linea("VENTAS", 3, 1, fecha, "D", "1101", QString::number(periodo), periodo);
        linea("VENTAS", 3, 2, fecha, "D", "1102", "1", periodo);
    }
    linea("VENTAS", 1, 7, "2025-01-10 00:00:00", "D", "1101", "7", 2025);
    const ResultadoSubdiarios r = genera("01/01/2024", "31/12/2026");
    EXPECT_EQ(r.asientos, 7);
    EXPECT_EQ(r.asientosConFilas, 7);
    QStringList claves;
    for (const QString& fila : filas()) claves << fila.section(u'|', 1, 3);
    EXPECT_EQ(claves, QStringList({"2024|3|1", "2024|3|2", "2025|1|7", "2025|3|1", "2025|3|2",
                                   "2026|3|1", "2026|3|2"}));
}

TEST_F(AuxiliarSubdiariosTest, AUserWhoIsNoAdministratorGetsNoConfidentialNameNorAmount) {
    exec(
        "INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, CONFIDENCIAL) VALUES "
        "('5301', 'Honorarios de directores', 1)");
    linea("VENTAS", 3, 1, "2026-03-10 00:00:00", "D", "5301", "900");
    linea("VENTAS", 3, 1, "2026-03-10 00:00:00", "H", "1101", "900");
    const db::SessionLink antes =
        db::installSessionLink({[] { return sesion().gUsuarioLogeado; }, [] { return true; }});
    const struct {
        bool administrador;
        const char* fila;
    } casos[] = {
        {true, "5301|Honorarios de directores|900|Factura|1101|Caja|900"},
        {false, "5301||~|Factura|1101|Caja|900"},
    };
    for (const auto& caso : casos) {
        db().gEsAdmin = caso.administrador;
        ASSERT_EQ(genera("01/03/2026", "31/03/2026").estado, Estado::Completo);
        const QStringList escritas = filas();
        ASSERT_EQ(escritas.size(), 1);
        EXPECT_EQ(escritas[0].section(u'|', 10), caso.fila) << caso.administrador;
    }
    db::installSessionLink(antes);
}

// The program's notice, with the operator pressing its cancel button before
// entry `pulsaEn`.
class CancelaEn : public AvanceSubdiarios {
  public:
    explicit CancelaEn(std::int64_t pulsaEn) : pulsaEn_(pulsaEn) {}
    void inicia(const QString& t) override { cartel_.inicia(t); }
    bool muestra(const QString& a, const QString& b, std::int64_t n, std::int64_t total) override {
        if (n == pulsaEn_) dllDisplay().window()->CmdDisplayCancelar()->click();
        const bool cancelado = cartel_.muestra(a, b, n, total);
        caption = dllDisplay().window()->windowTitle();
        lineas << dllDisplay().window()->LblCtrol(0)->text() + u'/' +
                      dllDisplay().window()->LblCtrol(1)->text();
        return cancelado;
    }
    bool confirmaAbortar() override { return cartel_.confirmaAbortar(); }
    void reanuda(const QString& t, const QString& a, const QString& b) override {
        cartel_.reanuda(t, a, b);
        lineas << dllDisplay().window()->LblCtrol(0)->text() + u'/' +
                      dllDisplay().window()->LblCtrol(1)->text();
    }
    void termina() override { cartel_.termina(); }

    QString caption;
    QStringList lineas;

  private:
    CartelSubdiarios cartel_;
    std::int64_t pulsaEn_;
};

TEST_F(AuxiliarSubdiariosTest, CancellingAsksAndYesKeepsTheEntriesDoneWhileNoGoesOn) {
    for (int n : {1, 2, 3}) {
        linea("VENTAS", 3, n, "2026-03-10 00:00:00", "D", "1101", "1");
        linea("VENTAS", 3, n, "2026-03-10 00:00:00", "H", "4101", "1");
    }
    const QString pregunta = QStringLiteral("¿Realmente desea abortar el proceso?");
    {
        boxes_.answer(answer::Yes);
        CancelaEn avance(2);
        EXPECT_EQ(genera("01/03/2026", "31/03/2026", "VENTAS", &avance).estado, Estado::Abortado);
        EXPECT_EQ(filas().size(), 1);
        EXPECT_EQ(avance.caption, "Generando Reporte de Subdiarios");
        EXPECT_EQ(avance.lineas, QStringList({"Generando el Reporte/0003-0000001",
                                              "Generando el Reporte/0003-0000002"}));
        EXPECT_EQ(boxes_.shown().back().text, pregunta);
        EXPECT_EQ(boxes_.shown().back().style, mb::YesNo | mb::Question);
        EXPECT_EQ(dllDisplay().window(), nullptr);
    }
    {
        boxes_.answer(answer::No);
        CancelaEn avance(2);
        EXPECT_EQ(genera("01/03/2026", "31/03/2026", "VENTAS", &avance).estado, Estado::Completo);
        EXPECT_EQ(filas().size(), 3);
        EXPECT_EQ(avance.lineas,
                  QStringList(
                      {"Generando el Reporte/0003-0000001", "Generando el Reporte/0003-0000002",
                       "Generando el Reporte /0003-0000002", "Generando el Reporte/0003-0000003"}));
    }
}

TEST_F(AuxiliarSubdiariosTest, AFailedRowIsRetriedIgnoredOrUndoesTheWholeRun) {
    exec("INSERT INTO AUX_SUBDIARIOS (USUARIO, CUENTA_D) VALUES ('ADMIN', 'anterior')");
    exec(
        "CREATE TRIGGER RECHAZA BEFORE INSERT ON AUX_SUBDIARIOS WHEN NEW.CUENTA_D = '1102' "
        "BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END");
    linea("VENTAS", 3, 1, "2026-03-10 00:00:00", "D", "1101", "1");
    linea("VENTAS", 3, 2, "2026-03-10 00:00:00", "D", "1102", "1");
    struct Caso {
        std::vector<int> respuestas;
        Estado estado;
        QStringList cuentas;
    };
    const Caso casos[] = {
        {{answer::Retry, answer::Ignore}, Estado::Completo, {"1101"}},
        {{answer::Abort}, Estado::Deshecho, {"anterior"}},
    };
    for (const Caso& c : casos) {
        exec(
            "DELETE FROM AUX_SUBDIARIOS; INSERT INTO AUX_SUBDIARIOS (USUARIO, CUENTA_D) VALUES "
            "('ADMIN', 'anterior')");
        for (int a : c.respuestas) boxes_.answer(a);
        EXPECT_EQ(genera("01/03/2026", "31/03/2026").estado, c.estado);
        EXPECT_EQ(scalar("SELECT group_concat(CUENTA_D) FROM AUX_SUBDIARIOS"),
                  c.cuentas.join(u','));
        EXPECT_TRUE(boxes_.shown().back().title.contains("GeneraAuxiliarSubdiarios"));
        EXPECT_EQ(dllDisplay().window(), nullptr);
    }
}

// Random journals: several journals, two fiscal years with the same entry
// numbers, lines dated on both sides of the range, unbalanced and one-sided
// entries, repeated accounts, Null texts and vouchers, lines with a time.
void generaDiario(const QString& archivo, quint32 semilla) {
    QRandomGenerator rnd(semilla);
    QStringList valores;
    const QStringList cuentas{"1101", "1102", "2101", "4101", "4102", "5999"};
    const QStringList subdiarios{"VENTAS", "COMPRAS", "CAJA"};
    for (int periodo : {2025, 2026}) {
        for (int numero = 1; numero <= 60; ++numero) {
            const int mes = 1 + numero % 3;
            const QString subdiario = subdiarios[rnd.bounded(3)];
            const QString dia = QStringLiteral("%1-%2-%3 %4")
                                    .arg(periodo)
                                    .arg(mes, 2, 10, QLatin1Char('0'))
                                    .arg(1 + rnd.bounded(28), 2, 10, QLatin1Char('0'))
                                    .arg(rnd.bounded(4) == 0 ? "17:25:00" : "00:00:00");
            const int renglones = rnd.bounded(7);
            for (int r = 0; r < renglones; ++r) {
                const auto nulo = [&](const QString& v) {
                    return rnd.bounded(5) == 0 ? QStringLiteral("NULL") : "'" + v + "'";
                };
                const QString dh = QStringList{"D", "H", "D", "H", "d", "H", "D"}[rnd.bounded(7)];
                valores << QStringLiteral(
                               "(%1, %2, %3, '%4', '%5', '%6', '%7', %8, %9, %10, %11, "
                               "%12, %13, %14)")
                               .arg(periodo)
                               .arg(mes)
                               .arg(numero)
                               .arg(r == 1 && rnd.bounded(4) == 0 ? "2024-12-31 00:00:00" : dia)
                               .arg(subdiario, cuentas[rnd.bounded(6)], dh)
                               .arg(rnd.bounded(100000) / 100.0)
                               .arg(nulo("Renglón " + QString::number(r)), nulo("FC"), nulo("0001"),
                                    nulo(QString::number(numero)), nulo("B"))
                               .arg(rnd.bounded(3) == 0 ? QStringLiteral("NULL")
                                                        : QString::number(rnd.bounded(1000)));
            }
        }
    }
    ASSERT_TRUE(kl::test::EmbeddedDb::exec(
        archivo,
        "INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], FECHA, "
        "TIPO_REG, CUENTA, [DEBE-HABER], IMPORTE, DETALLE, TC, SUCURSAL, NUMERO, LETRA, "
        "CABIMPORTE) VALUES " +
            valores.join(", ")));
}

TEST_F(AuxiliarSubdiariosTest, WritesTheSameRowsAsTheEntryByEntryReport) {
    for (quint32 semilla : {1u, 2u, 3u}) {
        exec("DELETE FROM MV_ASIENTOS; DELETE FROM AUX_SUBDIARIOS");
        generaDiario(file_, semilla);
        struct Corrida {
            const char* usuario;
            const char* subdiario;
            const char* desde;
            const char* hasta;
        };
        for (const Corrida& c : {Corrida{"ADMIN", "VENTAS", "01/01/2025", "31/12/2026"},
                                 Corrida{"OPERADOR", "COMPRAS", "15/02/2025", "20/03/2026"},
                                 Corrida{"ADMIN", " CAJA ", "", "31/03/2025"}}) {
            sesion().gUsuarioLogeado = c.usuario;
            QString desde = c.desde;
            QString hasta = c.hasta;
            const ResultadoSubdiarios r = Lbc_Asiento(2026).GeneraAuxiliarSubdiarios(
                desde, hasta, c.subdiario, Value(true), &sinAviso_);
            ASSERT_EQ(r.estado, Estado::Completo);
            const QStringList conjuntos = filas(c.usuario);
            desde = c.desde;
            ASSERT_TRUE(kl::test::GeneraAuxiliarSubdiariosLiteral(desde, hasta, c.subdiario));
            EXPECT_EQ(conjuntos, filas(c.usuario)) << semilla << ' ' << c.subdiario;
            EXPECT_EQ(r.filas, conjuntos.size());
            EXPECT_GT(conjuntos.size(), 10);
        }
    }
}

}  // namespace

}  // namespace kl::accounting::test
