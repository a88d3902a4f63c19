// The program's lookups over the real list window: the access layer's
// QGridConsulta and QConsulta, and the engine's pickers, driven as an
// operator would.

#include "database_file.h"
#include "national_tables.h"
#include "schema.h"

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "lookup/consultas_programa.h"
#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/lib_frmcons3tree.h"
#include "platform/textfile.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"
#include "support/shared_db/shared_db.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl {
namespace {

Lib_FrmCons3& lista(QDialog& w) {
    return static_cast<Lib_FrmCons3&>(w);
}

void tecla(QWidget* destino, int key) {
    QKeyEvent evento(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(destino, &evento);
}

QStringList filas(Lib_FrmCons3& ventana, int columna = 0) {
    QStringList textos;
    for (int f = 0; f < ventana.filas().rowCount(); ++f)
        textos << ventana.filas().celda(f, columna);
    return textos;
}

class ProgramLookups : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        kl::test::releaseSharedSession();
        releaseSharedConsultas();
        const QString file = dir_.filePath(QStringLiteral("contab.db"));
        const StepResult created =
            klbase::createDatabaseFile(file, [](klbase::Database& database) -> StepResult {
                if (StepResult failed = klbase::createSchema(database)) return failed;
                return klbase::writeNationalTables(database);
            });
        ASSERT_FALSE(created) << created->description.toStdString();
        ASSERT_TRUE(kl::test::connectSharedDb(file, QStringLiteral("ADMIN")));
        instalaConsultasDelPrograma();
    }
    void TearDown() override {
        consultas::installVentanasConsulta(nullptr);
        db::installLookupWindows(nullptr);
        Lib_FrmCons3::installLanzador(nullptr);
        releaseSharedConsultas();
        kl::test::releaseSharedSession();
    }

    QTemporaryDir dir_;
};

TEST_F(ProgramLookups, TheVatConditionsGridReturnsTheCodeOfTheRowTheOperatorPicks) {
    kl::test::ModalDriver modals([](QDialog& w) {
        Lib_FrmCons3& ventana = lista(w);
        EXPECT_EQ(ventana.windowTitle(), "Consulta...");
        EXPECT_EQ(filas(ventana), (QStringList{"1", "2", "3", "4", "5", "6"}));
        ventana.CmbSearch()[0]->setEditText("4");
        tecla(ventana.ListView1, Qt::Key_Return);
    });
    QString codigo = QStringLiteral("CODIGO"), abreviatura = QStringLiteral("ABREVIATURA");
    EXPECT_TRUE(
        db::sharedDb().QGridConsulta("SELECT CODIGO,DESCRIPCION,ABREVIATURA FROM Ta_CONDIVA ",
                                     codigo, db::sharedDb().gConnString, &abreviatura));
    EXPECT_EQ(codigo, "4");
    EXPECT_EQ(abreviatura, "CF");
}

TEST_F(ProgramLookups, ATableLookupReturnsTheChosenCodeAndCancellingChoosesNothing) {
    kl::test::ModalDriver modals;
    modals
        .then([](QDialog& w) {
            Lib_FrmCons3& ventana = lista(w);
            EXPECT_EQ(ventana.filas().encabezados(), (QStringList{"CODIGO", "DESCRIPCION"}));
            ventana.CmbSearch()[1]->setEditText("mendoza");
            ventana.CmdAceptar->click();
        })
        .then([](QDialog& w) { lista(w).CmdCancelar->click(); });
    for (const char* esperado : {"913", "CODIGO"}) {
        double rsp = 0;
        QString cl1 = "CODIGO", cl2 = "DESCRIPCION", display = "DESCRIPCION";
        db::sharedDb().QConsulta("TA_ESTADOS", rsp, cl1, cl2, display);
        EXPECT_EQ(rsp != 0, cl1 != "CODIGO");
        EXPECT_EQ(cl1, esperado);
    }
}

TEST_F(ProgramLookups, ThePickersShowOneColumnHeadedWithTheTitle) {
    const QString archivo = dir_.filePath(QStringLiteral("lineas.txt"));
    ASSERT_TRUE(cp1252::writeFile(archivo, QStringLiteral("Año 2024\r\nAño 2025\r\n")));
    kl::test::ModalDriver modals;
    modals
        .then([](QDialog& w) {
            Lib_FrmCons3& ventana = lista(w);
            EXPECT_EQ(ventana.windowTitle(), "Monedas");
            EXPECT_TRUE(ventana.CmdNueva->isHidden());
            EXPECT_EQ(ventana.filas().encabezados(), QStringList{"Monedas"});
            EXPECT_EQ(filas(ventana), (QStringList{"Peso", "Dolar", "Euro"}));
            EXPECT_TRUE(ventana.filas().marcada(0));
            EXPECT_FALSE(ventana.filas().marcada(1));
            ventana.filas().marca(2, true);
            ventana.CmdAceptar->click();
        })
        .then([](QDialog& w) {
            Lib_FrmCons3& ventana = lista(w);
            ventana.ListView1->selectRow(1);
            ventana.CmdAceptar->click();
        })
        .then([](QDialog& w) {
            Lib_FrmCons3& ventana = lista(w);
            EXPECT_EQ(filas(ventana), (QStringList{"Año 2024", "Año 2025"}));
            ventana.CmdCancelar->click();
        });
    Lib_ClsCons3& engine = sharedConsultas();
    EXPECT_EQ(engine.CheckOpciones("Monedas", nullptr, {"1Peso", "0Dolar", "xEuro"}), "");
    ASSERT_TRUE(engine.Valores);
    EXPECT_EQ(engine.Valores->size(), 2);
    EXPECT_EQ(engine.Valores->value(1).toString(), "Euro");
    EXPECT_EQ(engine.MenuOpciones("Menú", {"Abrir", "Cerrar"}), "Cerrar");
    EXPECT_EQ(engine.ConsultaDesdeArchivo("Años", archivo, ";"), "");
}

TEST_F(ProgramLookups, ATreeLookupShowsTheTreeWindowAndReturnsTheChosenCode) {
    ASSERT_TRUE(kl::test::EmbeddedDb::exec(dir_.filePath(QStringLiteral("contab.db")),
                                           "INSERT INTO TA_CCOSTO VALUES ('1', 'Administracion'), "
                                           "('11', 'Compras'), ('2', 'Ventas')"));
    const QString sql = QStringLiteral("SELECT CODIGO,DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");
    kl::test::ModalDriver modals([&sql](QDialog& w) {
        auto& arbol = static_cast<Lib_FrmCons3Tree&>(w);
        EXPECT_EQ(arbol.sql, sql);
        arbol.CmbSearch->setEditText("11");
        arbol.CmdAceptar->click();
    });
    Lib_ClsCons3& engine = sharedConsultas();
    engine.CampoDevuelto = QStringLiteral("CODIGO");
    Coleccion ninguna;
    QString busqueda, where;
    engine.ConsultaSearch(sql, ninguna, {}, busqueda, where, {}, true, {});
    EXPECT_EQ(engine.ValorDevuelto.toString(), "11");
}

}  // namespace
}  // namespace kl
