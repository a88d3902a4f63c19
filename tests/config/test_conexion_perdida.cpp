// A connection lost halfway through a write that must be all-or-nothing: the
// accept's save, the renumbering, the fiscal-year wizard and the subsidiary
// report. The database file goes away under the open connection, as a
// server does when the network drops, and is back once the routine has
// returned. Reconnecting would have undone the transaction's first writes
// and gone on without it; each routine must instead fail, undo everything
// and tell the operator.

#include "accounting/auxiliar_subdiarios.h"
#include "accounting/ejercicio_nuevo.h"
#include "accounting/lbc_asiento.h"
#include "config/claves_formulario.h"
#include "config/controles_enlazados.h"
#include "config/renumeracion.h"
#include "progress/dll_display.h"
#include "progress/lbf_ctrldisplay.h"
#include "session/claves_configuracion.h"
#include "session/sesion.h"
#include "support/accounting_db/accounting_db.h"

#include <QFile>
#include <QTimer>

#include <memory>

namespace kl::config::test {
namespace {

const QString kPerdida = QStringLiteral("Se perdió la conexión");

// Records every box and answers it as an operator who gives up: No to a
// question, Abort to an error notice, OK otherwise.
class OperadorQueDesiste final : public ScriptedDialogs {
  public:
    int messageBox(const QString& text, int style, const QString& title) override {
        switch (style & mb::ButtonsMask) {
            case mb::AbortRetryIgnore:
                queueButton(answer::Abort);
                break;
            case mb::YesNo:
                queueButton(answer::No);
                break;
            default:
                queueButton(answer::Ok);
                break;
        }
        if (onBox) onBox(text);
        return ScriptedDialogs::messageBox(text, style, title);
    }
    std::function<void(const QString&)> onBox;
};

// Every text box "7", every check box ticked.
class FormularioSiete final : public FormularioConfiguracion {
  public:
    QString texto(const ControlEnlazado&) const override { return QStringLiteral("7"); }
    void setTexto(const ControlEnlazado&, const QString&) override {}
    int valor(const ControlEnlazado&) const override { return 1; }
    void setValor(const ControlEnlazado&, int) override {}
    void setDescripcionCondIva(const QString&) override {}
    void seleccionaPestana(Pestana) override {}
    StepResult daFoco(const ControlEnlazado&) override { return std::nullopt; }
};

class ConexionPerdida : public accounting::test::AccountingDbTest {
  protected:
    void SetUp() override {
        AccountingDbTest::SetUp();
        sesion().gUsuarioLogeado = QStringLiteral("ADMIN");
        previous_ = installDialogs(operador_);
    }
    void TearDown() override {
        if (cortada_) vuelve();
        installDialogs(previous_);
        AccountingDbTest::TearDown();
    }

    void corta() {
        if (cortada_) return;
        ASSERT_TRUE(QFile::rename(file_, file_ + QStringLiteral(".aparte")));
        cortada_ = true;
    }
    void vuelve() {
        ASSERT_TRUE(QFile::rename(file_ + QStringLiteral(".aparte"), file_));
        cortada_ = false;
    }

    // Every row of the table, in a stable order.
    QString tabla(const QString& nombre) const {
        QStringList valores;
        const QString nombres =
            scalar(QStringLiteral("SELECT group_concat(name, ',') FROM pragma_table_info('%1')")
                       .arg(nombre));
        for (const QString& columna : nombres.split(u','))
            valores << QStringLiteral("quote([%1])").arg(columna);
        return scalar(QStringLiteral("SELECT group_concat(fila, char(10)) FROM (SELECT %1 AS fila "
                                     "FROM %2 ORDER BY 1)")
                          .arg(valores.join(QStringLiteral(" || '|' || ")), nombre));
    }

    // The operator saw the lost connection in a notice, and the layer never
    // asked to reconnect nor ended the program.
    void expectToldWithoutReconnecting() const {
        bool dicho = false;
        for (const ShownBox& box : operador_->shown()) {
            EXPECT_NE(box.title, "AVISO AL OPERADOR") << box.text.toStdString();
            dicho = dicho || box.text.contains(kPerdida);
        }
        EXPECT_TRUE(dicho);
        EXPECT_EQ(programEnds(), 0);
    }

    std::shared_ptr<OperadorQueDesiste> operador_ = std::make_shared<OperadorQueDesiste>();
    bool cortada_ = false;

  private:
    std::shared_ptr<DialogService> previous_;
};

TEST_F(ConexionPerdida, TheAcceptsSaveKeepsTheOldKeysAndShowsTheNotice) {
    // A key another station changed since the window loaded it: its question
    // comes once the keys before it are written.
    QString clave;
    int textos = 0;
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (c.tipo == TipoControl::TextBox && seGraba(c) && ++textos == 8) clave = c.dataField;
    }
    ASSERT_FALSE(clave.isEmpty());
    setKey(clave, "1");
    const ValoresCargados cargados{{clave.trimmed().toUpper(), QStringLiteral("1")}};
    setKey(clave, "2");
    const QString antes = tabla("TA_CONFIGURACION");
    operador_->onBox = [&](const QString& text) {
        if (text.startsWith(QStringLiteral("Otro puesto modificó"))) corta();
    };

    FormularioSiete form;
    EXPECT_FALSE(GrabaClaves(form, {}, &cargados));
    vuelve();
    EXPECT_EQ(tabla("TA_CONFIGURACION"), antes);
    ASSERT_EQ(operador_->shown().size(), 2u);
    EXPECT_TRUE(operador_->shown()[1].title.endsWith(" - AbrirRecordset Aviso al operador!!! - 5 "))
        << operador_->shown()[1].title.toStdString();
    expectToldWithoutReconnecting();
}

TEST_F(ConexionPerdida, TheRenumberingLeavesChartJournalAndDigitsAsTheyWere) {
    const DigitosNiveles anteriores{1, 1, 2, 2, 3, 3};
    for (int nivel = 0; nivel < kNivelesCuenta; ++nivel)
        setKey(kClavesDigitosNivel[nivel], QString::number(anteriores[nivel]));
    exec(
        "INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES ('1', 'Activo'), ('11', 'Caja'), "
        "('1103', 'Fondo fijo'), ('110305', 'Chica'), ('2', 'Pasivo'), ('2101', 'Varios')");
    for (const char* cuenta : {"1103", "110305", "2101", "1103", "110305", "2101"})
        addLine({.cuenta = QString::fromLatin1(cuenta)});
    const QString cuentas = tabla("MA_CUENTAS");
    const QString asientos = tabla("MV_ASIENTOS");
    const QString claves = tabla("TA_CONFIGURACION");

    DigitosNiveles nuevos = anteriores;
    nuevos[1] = 2;
    int informes = 0;
    const ResultadoRenumeracion r = RenumeraNiveles(
        anteriores, nuevos,
        [&](const Avance&) {
            // Some accounts and lines have moved by the third report.
            if (++informes == 3) corta();
            return true;
        },
        OpcionesRenumeracion{2});
    vuelve();
    EXPECT_EQ(r.estado, ResultadoRenumeracion::Estado::Fallida);
    EXPECT_TRUE(r.error.description.contains(kPerdida)) << r.error.description.toStdString();
    EXPECT_GE(informes, 3);
    EXPECT_EQ(tabla("MA_CUENTAS"), cuentas);
    EXPECT_EQ(tabla("MV_ASIENTOS"), asientos);
    EXPECT_EQ(tabla("TA_CONFIGURACION"), claves);
    EXPECT_EQ(programEnds(), 0);
}

TEST_F(ConexionPerdida, TheWizardCreatesNoYearNoCalendarAndNoRates) {
    addYear(1, "2025-01-01", "2025-12-31");
    setKey("UsaMultilesMonedas", "SI");
    const QString antes = tabla("MV_EJERCICIOS") + tabla("MA_CALENDARIO") + tabla("TA_COTIZACION");
    // The year and its calendar are written when the exchange-rate days'
    // notice comes up; the connection drops there.
    QTimer corte;
    QObject::connect(&corte, &QTimer::timeout, [&] {
        if (Lbf_CtrlDisplay* w = dllDisplay().window(); w && w->isVisible()) {
            corta();
            corte.stop();
        }
    });
    corte.start(0);

    accounting::CreacionEjercicio creacion(false);
    creacion.Actualizar_Datos({"", "Ejercicio 2026", "01/01/2026", "31/12/2026"});
    ASSERT_TRUE(cortada_);
    vuelve();
    EXPECT_FALSE(creacion.creado());
    EXPECT_EQ(tabla("MV_EJERCICIOS") + tabla("MA_CALENDARIO") + tabla("TA_COTIZACION"), antes);
    for (const ShownBox& box : operador_->shown())
        EXPECT_NE(box.text, "El ejercicio se creó con éxito");
    expectToldWithoutReconnecting();
}

// Drops the connection when the report reaches an entry.
class CortaEnAsiento final : public accounting::AvanceSubdiarios {
  public:
    CortaEnAsiento(std::int64_t asiento, std::function<void()> corte)
        : asiento_(asiento), corte_(std::move(corte)) {}
    void inicia(const QString&) override {}
    bool muestra(const QString&, const QString&, std::int64_t n, std::int64_t) override {
        if (n == asiento_) corte_();
        return false;
    }
    bool confirmaAbortar() override { return false; }
    void reanuda(const QString&, const QString&, const QString&) override {}
    void termina() override {}

  private:
    std::int64_t asiento_;
    std::function<void()> corte_;
};

TEST_F(ConexionPerdida, TheReportKeepsTheUsersEarlierRows) {
    exec(
        "INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES ('1101', 'Caja'), "
        "('4101', 'Ventas')");
    for (int numero : {1, 2, 3}) {
        for (const char* lado : {"D", "H"}) {
            exec(
                QStringLiteral("INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], "
                               "FECHA, TIPO_REG, CUENTA, [DEBE-HABER], IMPORTE) VALUES (2026, 3, "
                               "%1, '2026-03-10 00:00:00', 'VENTAS', '%2', '%3', 1)")
                    .arg(numero)
                    .arg(QString::fromLatin1(*lado == 'D' ? "1101" : "4101"),
                         QString::fromLatin1(lado)));
        }
    }
    exec("INSERT INTO AUX_SUBDIARIOS (USUARIO, CUENTA_D) VALUES ('ADMIN', 'anterior')");
    const QString antes = tabla("AUX_SUBDIARIOS");

    CortaEnAsiento avance(2, [this] { corta(); });
    QString desde = QStringLiteral("01/03/2026");
    QString hasta = QStringLiteral("31/03/2026");
    const accounting::ResultadoSubdiarios r =
        accounting::Lbc_Asiento(2026).GeneraAuxiliarSubdiarios(
            desde, hasta, QStringLiteral("VENTAS"), Value(), &avance);
    vuelve();
    EXPECT_EQ(r.estado, accounting::ResultadoSubdiarios::Estado::Deshecho);
    EXPECT_EQ(tabla("AUX_SUBDIARIOS"), antes);
    expectToldWithoutReconnecting();
}

}  // namespace
}  // namespace kl::config::test
