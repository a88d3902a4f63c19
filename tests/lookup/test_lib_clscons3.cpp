#include "lookup/lib_clscons3.h"

#include "cli.h"
#include "database_file.h"
#include "demo.h"
#include "national_tables.h"
#include "schema.h"

#include "dblayer/db_dll.h"
#include "lookup/fake_windows.h"
#include "lookup/mascaras_consultas.h"
#include "platform/textfile.h"
#include "session/ejecuta_programa.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"
#include "support/shared_db/shared_db.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace kl {
namespace {

using consultas::test::ScopedFakeWindows;

class LookupEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        releaseSharedConsultas();
        kl::test::releaseSharedSession();
        file_ = dir_.filePath(QStringLiteral("contab.db"));
        const StepResult created =
            klbase::createDatabaseFile(file_, [](klbase::Database& database) -> StepResult {
                if (StepResult failed = klbase::createSchema(database)) return failed;
                return klbase::writeNationalTables(database);
            });
        ASSERT_FALSE(created) << created->description.toStdString();
        ASSERT_TRUE(kl::test::connectSharedDb(file_, QStringLiteral("ADMIN")));
    }
    void TearDown() override {
        releaseSharedConsultas();
        kl::test::releaseSharedSession();
    }

    void clave(const char* nombre, const char* valor) {
        ASSERT_TRUE(kl::test::EmbeddedDb::exec(
            file_, QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('%1', '%2')")
                       .arg(QString::fromLatin1(nombre), QString::fromLatin1(valor))));
    }

    // Masks on, the file in the test's folder.
    Lib_ClsCons3& engine() {
        Lib_ClsCons3& e = sharedConsultas();
        e.gUsarMascarasConsultas = true;
        e.gRutaMascaraConsultas = dir_.filePath(QStringLiteral("consultas.kvw"));
        return e;
    }

    void buscaTabla(const QString& tabla, QString where = {}) {
        Coleccion ninguna;
        QString busqueda;
        engine().ConsultaSearch(tabla, ninguna, QStringLiteral("4"), busqueda, where, QString(),
                                false, QString());
    }

    QTemporaryDir dir_;
    QString file_;
    ScopedFakeWindows windows_;
};

TEST_F(LookupEngine, SettingsAreReadOnceAtCreationAndTheRowLimitAtEveryLookup) {
    clave("Stk_Nivel2", "255");
    clave("MostrarStockenConsultas", "SI");
    clave("UsaConsultaLike", "si");
    clave("TopConsArt", "3");
    buscaTabla(QStringLiteral("TA_CONDIVA"));
    ASSERT_TRUE(kl::test::EmbeddedDb::exec(
        file_, "UPDATE TA_CONFIGURACION SET VALOR = '2' WHERE CLAVE = 'TopConsArt'"));
    ASSERT_TRUE(kl::test::EmbeddedDb::exec(
        file_, "UPDATE TA_CONFIGURACION SET VALOR = 'NO' WHERE CLAVE = 'UsaConsultaLike'"));
    buscaTabla(QStringLiteral("TA_CONDIVA"));

    ASSERT_EQ(windows_->listas.size(), 2u);
    const consultas::PedidoLista& primera = windows_->listas[0];
    EXPECT_EQ(primera.sql,
              "SELECT TOP 3 CODIGO,DESCRIPCION,ABREVIATURA FROM TA_CONDIVA  ORDER BY "
              "DESCRIPCION");
    EXPECT_EQ(windows_->listas[1].sql.left(13), "SELECT TOP 2 ");
    EXPECT_EQ(primera.StkNivel1.toString(), "0");
    EXPECT_EQ(primera.StkNivel2.toString(), "255");
    EXPECT_EQ(primera.MuestraStock, "SI");
    EXPECT_TRUE(windows_->listas[1].CfgUsaConsultaLIKE);
    EXPECT_FALSE(primera.OrdenarPorLwv);
    EXPECT_EQ(primera.FiltroInicial, "4");
    EXPECT_EQ(primera.gConnString, db::sharedDb().gConnString);
}

TEST_F(LookupEngine, TheChosenRowStaysAndTheOneShotSettingsAreCleared) {
    Lib_ClsCons3& e = engine();
    windows_->eleccion = {Value(QStringLiteral("3")),
                          std::make_shared<QList<Value>>(QList<Value>{Value("EX")}), nullptr};
    e.CampoDevuelto = QStringLiteral("CODIGO");
    e.Checks = true;
    auto pedidos = std::make_shared<QList<Value>>(QList<Value>{Value("ABREVIATURA")});
    Coleccion cmps = pedidos;
    QString busqueda, where;
    e.ConsultaSearch("SELECT CODIGO FROM TA_CONDIVA", cmps, {}, busqueda, where, {}, false, "01");
    ASSERT_EQ(windows_->listas.size(), 1u);
    EXPECT_EQ(windows_->listas[0].CampoDevuelto, "CODIGO");
    EXPECT_TRUE(windows_->listas[0].CheckBoxes);
    EXPECT_TRUE(windows_->listas[0].OrdenarPorLwv);
    EXPECT_EQ(windows_->listas[0].ValoresDefault, "01");
    EXPECT_EQ(e.ValorDevuelto.toString(), "3");
    ASSERT_TRUE(e.Valores);
    EXPECT_EQ(e.Valores->size(), 1);
    EXPECT_FALSE(e.Checks);
    EXPECT_EQ(e.CampoDevuelto, "");
    EXPECT_FALSE(cmps);
    EXPECT_TRUE(pedidos->isEmpty());

    windows_->eleccion = {};
    buscaTabla(QStringLiteral("TA_CONDIVA"));
    EXPECT_TRUE(e.ValorDevuelto.isEmpty());
    EXPECT_FALSE(e.Valores);
}

TEST_F(LookupEngine, TheTreeWindowGetsTheStatementAndGivesBackItsChoice) {
    Lib_ClsCons3& e = engine();
    e.CampoDevuelto = QStringLiteral("CODIGO");
    windows_->eleccion.ValorDevuelto = QStringLiteral("1.1");
    Coleccion ninguna;
    QString busqueda, where;
    e.ConsultaSearch("MA_CUENTAS", ninguna, {}, busqueda, where, "SELECT CODIGO FROM MA_CUENTAS",
                     true, {});
    ASSERT_EQ(windows_->arboles.size(), 1u);
    EXPECT_TRUE(windows_->listas.empty());
    EXPECT_EQ(windows_->arboles[0].sql, "SELECT CODIGO FROM MA_CUENTAS");
    EXPECT_EQ(windows_->arboles[0].CampoDevuelto, "CODIGO");
    EXPECT_EQ(e.ValorDevuelto.toString(), "1.1");
}

TEST_F(LookupEngine, AMaskOfOneColumnIsRefusedWithoutAWindow) {
    QFile mascaras(dir_.filePath(QStringLiteral("consultas.kvw")));
    ASSERT_TRUE(mascaras.open(QIODevice::WriteOnly));
    mascaras.write(consultas::registroMascara({"", "TA_CONDIVA", "CODIGO", ""}));
    mascaras.close();
    engine().ValorDevuelto = QStringLiteral("antes");
    kl::test::ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    buscaTabla(QStringLiteral("TA_CONDIVA"));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Debe configurar la consulta para esta tabla");
    EXPECT_EQ(boxes.shown()[0].title, "Aviso al operador");
    EXPECT_TRUE(windows_->listas.empty());
    EXPECT_EQ(engine().ValorDevuelto.toString(), "antes");
}

TEST_F(LookupEngine, ATableThatDoesNotExistOrALostConnectionShowNothingButTheEmptyList) {
    kl::test::ScopedDialogs boxes;
    buscaTabla(QStringLiteral("NO_EXISTE"), QStringLiteral("x=1"));
    kl::test::releaseSharedSession();
    releaseSharedConsultas();
    buscaTabla(QStringLiteral("TA_CONDIVA"));
    ASSERT_EQ(windows_->listas.size(), 2u);
    EXPECT_EQ(windows_->listas[0].sql, "SELECT TOP 1000  *  FROM NO_EXISTE WHERE  (x=1)  ");
    EXPECT_EQ(windows_->listas[1].sql, "SELECT TOP 1000  *  FROM TA_CONDIVA ");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(LookupEngine, ThePickersShowTheirOptionsAndReturnTheChoice) {
    Lib_ClsCons3& e = engine();
    windows_->eleccion = {Value(QStringLiteral("Dos")),
                          std::make_shared<QList<Value>>(QList<Value>{Value("Uno")}), nullptr};
    EXPECT_EQ(e.CheckOpciones("Elija", nullptr, {"1Uno", "0Dos", "Tres"}), "");
    EXPECT_EQ(e.Valores->value(0).toString(), "Uno");
    EXPECT_EQ(e.CheckOpciones("Una sola", nullptr, {"1Uno"}), "");
    EXPECT_EQ(e.MenuOpciones("Menú", {"Uno", "Dos"}), "Dos");

    const QString lineas = dir_.filePath(QStringLiteral("lineas.txt"));
    ASSERT_TRUE(cp1252::writeFile(lineas, QStringLiteral("Año 2024\r\nAño 2025\r\n")));
    EXPECT_EQ(e.ConsultaDesdeArchivo("Años", lineas, ";"), "Dos");

    ASSERT_EQ(windows_->opciones.size(), 4u);
    const auto& checks = windows_->opciones[0];
    EXPECT_TRUE(checks.conCasillas);
    EXPECT_EQ(checks.filas, (QStringList{"Uno", "Dos", "res"}));
    EXPECT_EQ(checks.marcadas, (QList<bool>{true, false, false}));
    EXPECT_EQ(checks.largoMayor, 5);
    EXPECT_TRUE(windows_->opciones[1].filas.isEmpty());
    EXPECT_FALSE(windows_->opciones[2].conCasillas);
    EXPECT_EQ(windows_->opciones[2].filas, (QStringList{"Uno", "Dos"}));
    EXPECT_EQ(windows_->opciones[3].filas, (QStringList{"Año 2024", "Año 2025"}));
    EXPECT_EQ(windows_->opciones[3].largoMayor, 8);
}

TEST_F(LookupEngine, AFileThatCannotBeReadIsReportedAndChoosesNothing) {
    kl::test::ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    const QString falta = dir_.filePath(QStringLiteral("falta.txt"));
    EXPECT_EQ(engine().ConsultaDesdeArchivo("Años", falta, ";"), "");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "No existe el archivo " + falta + " que desea consultar consulta ");
    EXPECT_TRUE(windows_->opciones.empty());
}

TEST_F(LookupEngine, ASiblingProgramGetsTheSessionsParametersOrTheOperatorIsTold) {
    db::DB_Dll& db = db::sharedDb();
    db.gServidor = "srv";
    db.gDBName = "contab";
    db.gUsuario = "ADMIN";
    db.gUserPassWord = "clave";
    EXPECT_EQ(parametrosPrograma("VT_CLIENTES"),
              " ; @server=srv; @dbname=contab; @usuario=ADMIN; @Password=clave; "
              "@ParametroAdicional=VT_CLIENTES; brim@ ;");
    kl::test::ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    qint64 tarea = -1;
    EjecutaPrograma("SHELL:NO_EXISTE_V_TA_TABLAS", "", tarea);
    EXPECT_EQ(tarea, 0);
    ASSERT_EQ(boxes.shown().size(), 1u);
    // The dialog service shows the carriage return as a line break.
    EXPECT_EQ(boxes.shown()[0].text,
              "Opcion no Implementada!\nComuniquese con su proveedor de sistemas");
    EXPECT_EQ(boxes.shown()[0].title, "Atención");
}

// klbase's sample masks over the demo database: every one gives a statement
// the embedded engine runs, with rows.
TEST(SampleMasks, EveryDemoTableGetsALookupThatRunsAndAnExistingFileIsKept) {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("demo.db"));
    const QString path = dir.filePath(QStringLiteral("consultas.kvw"));
    QString texto;
    QTextStream out(&texto), err(&texto);
    ASSERT_EQ(klbase::runCommand({"demo", base}, out, err), 0) << texto.toStdString();
    ASSERT_EQ(klbase::runCommand({"mascaras", path}, out, err), 0) << texto.toStdString();
    EXPECT_EQ(QFileInfo(path).size() % consultas::kLargoRegistro, 0);
    EXPECT_NE(klbase::runCommand({"mascaras", path}, out, err), 0);

    releaseSharedConsultas();
    ASSERT_TRUE(kl::test::connectSharedDb(base, QStringLiteral("ADMIN")));
    ScopedFakeWindows windows;
    Lib_ClsCons3& engine = sharedConsultas();
    for (const char* tabla :
         {"TA_ESTADOS", "TA_MONEDAS", "TA_CONDIVA", "MV_EJERCICIOS", "MA_CUENTAS"}) {
        SCOPED_TRACE(tabla);
        engine.gUsarMascarasConsultas = true;
        engine.gRutaMascaraConsultas = path;
        Coleccion ninguna;
        QString busqueda, where;
        engine.ConsultaSearch(QString::fromLatin1(tabla), ninguna, {}, busqueda, where, {}, false,
                              {});
        ASSERT_FALSE(windows->listas.empty());
        QString sql = windows->listas.back().sql;
        EXPECT_TRUE(sql.contains("with(nolock)")) << sql.toStdString();
        ado::Recordset filas;
        db::sharedDb().AbrirRecordset(sql, filas);
        ASSERT_EQ(filas.State(), ado::adStateOpen) << sql.toStdString();
        EXPECT_FALSE(filas.EOF()) << sql.toStdString();
    }
    releaseSharedConsultas();
    kl::test::releaseSharedSession();
}

}  // namespace
}  // namespace kl
