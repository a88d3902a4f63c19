#include "lookup/lib_frmcons3tree.h"

#include "database_file.h"
#include "schema.h"

#include "dblayer/db_dll.h"
#include "platform/ui/windows.h"
#include "support/database_test/database_test.h"
#include "support/scripted_dialogs.h"
#include "support/shared_db/shared_db.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace kl {
namespace {

class VentanaArbol : public test::DatabaseTest {
  protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        file_ = path(QStringLiteral("contab.db"));
        const StepResult creada = klbase::createDatabaseFile(
            file_, [](klbase::Database& base) { return klbase::createSchema(base); });
        ASSERT_FALSE(creada) << creada->description.toStdString();
        ASSERT_TRUE(exec(QStringLiteral(R"(
            INSERT INTO TA_FAMILIAS (IDFAMILIA, DESCRIPCION) VALUES ('01', 'Almacén'),
                ('0101', 'Aceites'), ('0102', 'Conservas'), ('02', 'Bebidas'), ('0201', 'Gaseosas');
            INSERT INTO TA_CCOSTO VALUES ('01', 'Administración'), ('0101', 'Gerencia');
            INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES ('1', 'ACTIVO'),
                ('11', 'Caja'), ('111', 'Caja en pesos'), ('2', 'PASIVO');
            INSERT INTO MA_POSICIONES VALUES ('15', 'Grasas'), ('1512', 'Aceites de girasol');
        )")));
        ASSERT_TRUE(connectShared(file_, QStringLiteral("ADMIN")));
    }

    void TearDown() override {
        test::releaseSharedSession();
        DatabaseTest::TearDown();
    }

    // The window loaded with `sql`, as the engine leaves it before showing it.
    static void cargar(Lib_FrmCons3Tree& ventana, const QString& sql, const QString& campo,
                       bool casillas = false) {
        ventana.sql = sql;
        ventana.CampoDevuelto = campo;
        ventana.CheckBoxes = casillas;
        ventana.Form_Load();
    }

    static QStringList hijosDe(Lib_FrmCons3Tree& ventana, const QString& clave) {
        ArbolCodigos& arbol = ventana.arbol();
        const QModelIndex padre = arbol.indiceDe(arbol.buscarClave(clave));
        QStringList textos;
        for (int fila = 0; fila < arbol.rowCount(padre); ++fila)
            textos << arbol.index(fila, 0, padre).data().toString();
        return textos;
    }

    static void elegir(Lib_FrmCons3Tree& ventana, const QString& clave) {
        ventana.TreeV->setCurrentIndex(
            ventana.arbol().indiceDe(ventana.arbol().buscarClave(clave)));
    }
};

TEST_F(VentanaArbol, BuildsTheFamiliesFromTheirOwnStatement) {
    Lib_FrmCons3Tree ventana;
    cargar(ventana, QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"),
           QStringLiteral("IDFAMILIA"));
    EXPECT_EQ(hijosDe(ventana, "A"), (QStringList{"01 - Almacén", "02 - Bebidas"}));
    EXPECT_EQ(hijosDe(ventana, "A01"), (QStringList{"0101 - Aceites", "0102 - Conservas"}));
    EXPECT_EQ(hijosDe(ventana, "A02"), QStringList{"0201 - Gaseosas"});
    // The statement as the module has always run it; the "@Admin_" marker
    // asks for the full table, and the access layer takes it out.
    EXPECT_EQ(ventana.sql.toStdString(),
              "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM "
              "@Admin_v_ta_familias a   Where a.IdFamilia < b.IdFamilia And "
              "(Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY "
              "idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER "
              "BY IdFamilia");
    const QStringList corridas = traced();
    ASSERT_EQ(corridas.size(), 1);
    // This user is no administrator: the families come from their restricted
    // view, the parents from the full one.
    EXPECT_EQ(corridas[0], QString(ventana.sql)
                               .remove(QStringLiteral("@Admin_"))
                               .replace(QStringLiteral("dbo.V_TA_FAMILIAS"),
                                        QStringLiteral("dbo.SS_V_TA_FAMILIAS")));
    EXPECT_TRUE(ventana.Valores != nullptr);
}

TEST_F(VentanaArbol, BuildsAnyOtherStatementByTheCodesPrefixes) {
    Lib_FrmCons3Tree ventana;
    cargar(ventana, QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS ORDER BY CODIGO"),
           QStringLiteral("CODIGO"));
    EXPECT_EQ(hijosDe(ventana, "A"), (QStringList{"1 - ACTIVO", "2 - PASIVO"}));
    EXPECT_EQ(hijosDe(ventana, "A1"), QStringList{"11 - Caja"});
    EXPECT_EQ(hijosDe(ventana, "A11"), QStringList{"111 - Caja en pesos"});
    EXPECT_TRUE(ventana.TreeV->isExpanded(ventana.arbol().indiceDe(ArbolCodigos::kRaiz)));
}

TEST_F(VentanaArbol, AcceptLooksTheChosenCodeUpInItsMasterTables) {
    struct Caso {
        const char* campo;
        const char* clave;
        QStringList tablas;  // in the order they are asked
        Value valor;
    };
    const Caso casos[] = {
        {"CODIGO", "A0101", {"TA_CCOSTO"}, Value("0101")},
        {"codigo", "A111", {"TA_CCOSTO", "MA_CUENTAS"}, Value("111")},
        {"IDFAMILIA", "A0102", {"V_TA_FAMILIAS"}, Value("0102")},
        {"IDPOSICION", "A1512", {"MA_POSICIONES"}, Value("1512")},
        // In neither master table: nothing is returned.
        {"CODIGO", "A9", {"TA_CCOSTO", "MA_CUENTAS"}, Value()},
        // Any other field asks nothing and leaves the value as it was.
        {"OTRO", "A1", {}, Value("antes")},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.clave);
        Lib_FrmCons3Tree ventana;
        cargar(ventana,
               QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS UNION ALL SELECT "
                              "IDFAMILIA, DESCRIPCION FROM TA_FAMILIAS UNION ALL SELECT "
                              "IDPOSICION, DESCRIPCION FROM MA_POSICIONES UNION ALL SELECT '9', "
                              "'Sin cuenta'"),
               QString::fromLatin1(caso.campo));
        ventana.ValorDevuelto = Value("antes");
        elegir(ventana, QString::fromLatin1(caso.clave));
        traced();
        ventana.CmdAceptar->click();

        QStringList tablas;
        for (const QString& linea : traced())
            for (const char* tabla : {"TA_CCOSTO", "MA_CUENTAS", "V_TA_FAMILIAS", "MA_POSICIONES"})
                if (linea.contains(QLatin1String(tabla) + QStringLiteral(" with(nolock)")))
                    tablas << QString::fromLatin1(tabla);
        EXPECT_EQ(tablas.join(u' ').toStdString(), caso.tablas.join(u' ').toStdString());
        EXPECT_EQ(ventana.ValorDevuelto, caso.valor);
        EXPECT_EQ(ventana.result(), QDialog::Accepted);
    }
}

TEST_F(VentanaArbol, AcceptWithCheckBoxesReturnsTheCheckedCodesInTreeOrder) {
    struct Caso {
        const char* campo;
        QString sql;
        QStringList marcar;
        QList<Value> valores;
    };
    const Caso casos[] = {
        {"CODIGO",
         "SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS",
         {"A2", "A1"},
         {Value("1"), Value("11"), Value("111"), Value("2")}},
        {"IDFAMILIA", "SELECT * FROM V_TA_FAMILIAS", {"A02"}, {Value("02"), Value("0201")}},
        // Positions are looked up; a code that is not one is left out.
        {"IDPOSICION",
         "SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES UNION ALL SELECT '159', 'x'",
         {"A15"},
         {Value("15"), Value("1512")}},
        // The root names no code of its own.
        {"CODIGO",
         "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO",
         {"A"},
         {Value("01"), Value("0101")}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.campo);
        Lib_FrmCons3Tree ventana;
        cargar(ventana, caso.sql, QString::fromLatin1(caso.campo), true);
        for (const QString& clave : caso.marcar)
            ventana.arbol().marcar(ventana.arbol().buscarClave(clave), Qt::Checked);
        ventana.CmdAceptar->click();
        ASSERT_TRUE(ventana.Valores != nullptr);
        EXPECT_EQ(*ventana.Valores, caso.valores);
    }
}

TEST_F(VentanaArbol, CancelReturnsNothingAndNoCollection) {
    Lib_FrmCons3Tree ventana;
    test::ModalDriver modal([](QDialog& dialogo) {
        auto& arbol = static_cast<Lib_FrmCons3Tree&>(dialogo);
        EXPECT_EQ(arbol.arbol().cantidadNodos(), 5);  // loaded when shown
        QTest::keyClick(&dialogo, Qt::Key_Escape);
    });
    ventana.sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS");
    ventana.CampoDevuelto = QStringLiteral("CODIGO");
    ventana.ValorDevuelto = Value("1");
    ventana.CmpsDevueltos = std::make_shared<QList<Value>>(QList<Value>{Value("DESCRIPCION")});
    EXPECT_EQ(showModal(ventana), QDialog::Rejected);
    EXPECT_TRUE(ventana.ValorDevuelto.isEmpty());
    EXPECT_FALSE(ventana.Valores != nullptr);
    EXPECT_FALSE(ventana.CmpsDevueltos != nullptr);
}

TEST_F(VentanaArbol, TypingSelectsAndF5FiltersTheDescriptionsOnTheServer) {
    Lib_FrmCons3Tree ventana;
    cargar(ventana, QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS ORDER BY CODIGO"),
           QStringLiteral("CODIGO"));
    ventana.CmbSearch->setEditText(QStringLiteral("caja en"));
    EXPECT_EQ(ventana.TreeV->currentIndex().data().toString(), "111 - Caja en pesos");

    traced();
    ventana.CmbSearch->setEditText(QStringLiteral("O'Higgins"));
    QTest::keyClick(ventana.CmbSearch, Qt::Key_F5);
    // (The access layer shows this user the accounts' restricted view.)
    EXPECT_EQ(traced().join(u'|').toStdString(),
              "SELECT CODIGO, DESCRIPCION FROM SS_MA_CUENTAS  where Descripcion like "
              "'%O''Higgins%' ORDER BY CODIGO");
    EXPECT_EQ(ventana.lblFieldName->text(), "Descripcion");
    EXPECT_EQ(ventana.CmbSearch->currentText(), "");
    EXPECT_EQ(ventana.arbol().cantidadNodos(), 1);

    // "&Nueva Busqueda" builds again from the statement as it now stands.
    ventana.CmdNueva->click();
    EXPECT_EQ(traced().size(), 1);
}

TEST(VentanaArbolF5, JoinsTheConditionBeforeTheOrder) {
    const struct {
        const char* sentencia;
        const char* resultado;
    } casos[] = {
        {"SELECT C, D FROM T", "SELECT C, D FROM T where Descripcion like '%ca%' "},
        {"SELECT C, D FROM T WHERE X=1 ORDER BY C",
         "SELECT C, D FROM T WHERE X=1  and Descripcion like '%ca%' ORDER BY C"},
        {"SELECT C, D FROM T order by C",
         "SELECT C, D FROM T  where Descripcion like '%ca%' order by C"},
    };
    for (const auto& caso : casos)
        EXPECT_EQ(Lib_FrmCons3Tree::conFiltroDescripcion(QString::fromLatin1(caso.sentencia),
                                                         QStringLiteral("ca")),
                  QString::fromLatin1(caso.resultado));
}

TEST_F(VentanaArbol, ARepeatedCodeIsReportedThroughTheErrorNotice) {
    test::ScopedDialogs avisos;
    avisos.answer(answer::Ignore);
    Lib_FrmCons3Tree ventana;
    cargar(ventana, QStringLiteral("SELECT '1', 'a' UNION ALL SELECT '1', 'b'"),
           QStringLiteral("CODIGO"));
    EXPECT_EQ(hijosDe(ventana, "A"), QStringList{"1 - a"});
    ASSERT_EQ(avisos.shown().size(), 1u);
    EXPECT_TRUE(avisos.shown()[0].title.contains("ArmarTreeVAutomatico"))
        << avisos.shown()[0].title.toStdString();
    EXPECT_TRUE(avisos.shown()[0].text.contains("\"1\" está repetido"));
}

TEST_F(VentanaArbol, AStatementThatFailsLeavesTheRootAlone) {
    test::ScopedDialogs avisos;
    avisos.answer(answer::Abort);  // the access layer's own notice
    Lib_FrmCons3Tree ventana;
    cargar(ventana, QStringLiteral("SELECT CODIGO, DESCRIPCION FROM NO_EXISTE"),
           QStringLiteral("CODIGO"));
    EXPECT_EQ(avisos.shown().size(), 1u);
    EXPECT_EQ(ventana.arbol().cantidadNodos(), 1);
    ventana.CmdAceptar->click();
    EXPECT_TRUE(ventana.ValorDevuelto.isEmpty());
}

}  // namespace
}  // namespace kl
