#include "lookup/lib_frmcons3.h"

#include "dblayer/db_dll.h"
#include "platform/ui/windows.h"
#include "session/sesion.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"
#include "support/shared_db/shared_db.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace kl::test {
namespace {

// A list lookup over an embedded database holding the tables it reads.
class ListaTest : public testing::Test {
  protected:
    void SetUp() override {
        db::releaseSharedDb();
        sesion() = Sesion{};
        file_ = db_.create(
            "consulta.db",
            "CREATE TABLE T (CODIGO VARCHAR(10), NOMBRE VARCHAR(200), PRECIO MONEY);"
            "INSERT INTO T VALUES ('01', '  Juan Perez ', 10), ('05', 'abeja', 5),"
            " ('5', 'Abrojo', NULL), ('02', 'O''Higgins', 1), ('0', NULL, 2), ('7', 'zeta', 3);"
            "CREATE TABLE V_MA_ARTICULOS (idarticulo VARCHAR(25), Descripcion VARCHAR(60),"
            " PUNTOPEDIDO MONEY, Stock MONEY, PRECIO1 MONEY);"
            "INSERT INTO V_MA_ARTICULOS VALUES ('A1', 'Sin punto', 0, 3, 1),"
            " ('A2', 'Sobra', 2, 5, 1), ('A3', 'Falta', 2, 1, 1), ('A4', 'Justo', 2, 2, 1);"
            "CREATE TABLE V_MV_FALTANTES (FechaHora VARCHAR(30), IdArticulo VARCHAR(25),"
            " Descripcion VARCHAR(60), Usuario VARCHAR(30));"
            "CREATE TABLE TA_CONFIGURACION (GRUPO VARCHAR(20), CLAVE VARCHAR(50),"
            " VALOR VARCHAR(255), VALORAUX VARCHAR(255), DESCRIPCION VARCHAR(255),"
            " PoliticaNegocio BIT, fechahora_grabacion DATETIME, fechahora_modificacion DATETIME);"
            "INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR) VALUES ('X', 'NOM_PCLASE1',"
            " 'Lista');");
        ASSERT_FALSE(file_.isEmpty());
        db::sharedDb().setArchivoErrores(Value(db_.path("KVERR.LOG")));
        ASSERT_TRUE(connectSharedDb(file_, "ADMIN"));
        ventana_.ArchivoAnchos = db_.path("CONSULTASLEN.KVW");
    }
    void TearDown() override { releaseSharedSession(); }

    void carga(const QString& sql) {
        ventana_.sql = sql;
        ventana_.Load();
    }
    QStringList columna(int c) {
        QStringList valores;
        for (int f = 0; f < ventana_.filas().rowCount(); ++f)
            valores += ventana_.filas().celda(f, c);
        return valores;
    }
    int seleccionada() {
        const QModelIndexList filas = ventana_.ListView1->selectionModel()->selectedRows();
        return filas.isEmpty() ? -1 : filas.first().row();
    }
    void tecla(QWidget* destino, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent evento(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(destino, &evento);
    }
    QStringList valores() {
        QStringList textos;
        if (ventana_.Valores)
            for (const Value& v : *ventana_.Valores) textos += v.toString();
        return textos;
    }

    EmbeddedDb db_;
    QString file_;
    Lib_FrmCons3 ventana_;
};

TEST_F(ListaTest, LoadingShowsEveryRowTrimmedWithColumnsSizedByTheirFields) {
    carga("select CODIGO,NOMBRE,PRECIO from T order by CODIGO");
    EXPECT_EQ(ventana_.filas().encabezados(), (QStringList{"CODIGO", "NOMBRE", "PRECIO"}));
    EXPECT_EQ(columna(1), (QStringList{"", "Juan Perez", "O'Higgins", "abeja", "Abrojo", "zeta"}));
    // As many characters as the field holds, at most 60, measured in the
    // list's font; a short column also fits its search box (the room a
    // two-character code needs is checked apart).
    const QFontMetrics medida(ventana_.ListView1->font());
    const int margen =
        ventana_.ListView1->columnWidth(1) - medida.horizontalAdvance(QString(60, u'X'));
    EXPECT_GT(margen, 0);
    EXPECT_LT(margen, medida.horizontalAdvance(u'X'));
    EXPECT_GE(ventana_.ListView1->columnWidth(0),
              medida.horizontalAdvance(QString(10, u'X')) + margen);
    EXPECT_GE(ventana_.ListView1->columnWidth(2),
              medida.horizontalAdvance(QString(12, u'X')) + margen);
    EXPECT_EQ(ventana_.tabla(), "T");
    EXPECT_EQ(ventana_.CmbSearch()[1]->accessibleName(), "NOMBRE");
    EXPECT_EQ(ventana_.ListView1->accessibleName(), "Consulta");
}

TEST_F(ListaTest, TypingInASearchBoxSelectsTheFirstRowStartingWithIt) {
    carga("select CODIGO,NOMBRE from T order by CODIGO");
    QComboBox* nombre = ventana_.CmbSearch()[1];
    const struct {
        const char* texto;
        int fila;
    } casos[] = {{"ab", 3}, {"AB", 3}, {"Abr", 4}, {"", 0}, {"juan", 1}};
    for (const auto& c : casos) {
        nombre->setEditText(c.texto);
        EXPECT_EQ(seleccionada(), c.fila) << c.texto;
    }
    EXPECT_EQ(ventana_.Busqueda(1, "nadie"), 0);
    EXPECT_EQ(ventana_.IndiceColumna(" nombre "), 2);
}

TEST_F(ListaTest, TypingInTheListGoesOnWithTheSearch) {
    ventana_.sql = "select CODIGO,NOMBRE from T order by CODIGO";
    ventana_.show();
    ventana_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana_));
    ventana_.CmbSearch()[1]->setEditText("a");
    ventana_.CmbSearch()[1]->setFocus();
    ASSERT_TRUE(ventana_.CmbSearch()[1]->hasFocus());
    tecla(ventana_.CmbSearch()[1], Qt::Key_Down);
    tecla(ventana_.ListView1, Qt::Key_B);
    EXPECT_EQ(ventana_.CmbSearch()[1]->currentText(), "aB");
    EXPECT_EQ(seleccionada(), 3);
}

TEST_F(ListaTest, F5NarrowsTheStatementAndNewSearchBringsTheFirstBack) {
    ventana_.CfgUsaConsultaLIKE = true;
    carga("select CODIGO,NOMBRE from T order by NOMBRE");
    ventana_.CmbSearch()[1]->setEditText("o'hig");
    tecla(ventana_.CmbSearch()[1], Qt::Key_F5);
    EXPECT_EQ(ventana_.sql,
              "select CODIGO,NOMBRE from T  where NOMBRE like '%o''hig%' order by NOMBRE  ");
    EXPECT_EQ(columna(0), QStringList{"02"});
    EXPECT_EQ(ventana_.CmbSearch()[1]->currentText(), "");
    ventana_.CmdNueva->click();
    EXPECT_EQ(ventana_.filas().rowCount(), 6);
}

TEST_F(ListaTest, AnF5StatementThatFailsLeavesTheListEmptyAndUsable) {
    carga("select CODIGO,NOMBRE from T");
    ScopedDialogs boxes;
    boxes.answer(answer::Abort);
    ventana_.CmbSearch()[0]->setProperty("DataField", "NO_EXISTE");
    ventana_.NuevaBusqueda(0);
    EXPECT_EQ(ventana_.filas().rowCount(), 0);
    EXPECT_EQ(ventana_.filas().columnCount(), 2);
    ventana_.CmdNueva->click();
    EXPECT_EQ(ventana_.filas().rowCount(), 6);
}

TEST_F(ListaTest, AcceptReturnsTheChosenRowsValuesAndCancelReturnsNothing) {
    ventana_.CampoDevuelto = "CODIGO";
    ventana_.CmpsDevueltos = nuevaColeccion();
    ventana_.CmpsDevueltos->append(Value("NOMBRE"));
    ventana_.CmpsDevueltos->append(Value("NO_HAY"));
    carga("select CODIGO,NOMBRE from T order by CODIGO");
    ventana_.CmbSearch()[1]->setEditText("zet");
    tecla(ventana_.ListView1, Qt::Key_Return);
    EXPECT_EQ(ventana_.ValorDevuelto, Value("7"));
    EXPECT_EQ(valores(), (QStringList{"zeta", ""}));
    EXPECT_EQ(ventana_.result(), QDialog::Accepted);

    tecla(&ventana_, Qt::Key_Escape);
    EXPECT_TRUE(ventana_.ValorDevuelto.isEmpty());
    EXPECT_FALSE(ventana_.Valores);
    EXPECT_FALSE(ventana_.CmpsDevueltos);
    EXPECT_EQ(ventana_.result(), QDialog::Rejected);
}

TEST_F(ListaTest, AcceptWithNoRowSelectedReturnsAnEmptyValue) {
    ventana_.CampoDevuelto = "CODIGO";
    carga("select CODIGO,NOMBRE from T where 1=0");
    ventana_.CmdAceptar->click();
    EXPECT_TRUE(ventana_.ValorDevuelto.isEmpty());
}

TEST_F(ListaTest, TheModalWindowOpensWithTheFocusInTheFirstSearchBox) {
    ventana_.sql = "select CODIGO,NOMBRE from T order by CODIGO";
    ventana_.CampoDevuelto = "CODIGO";
    ModalDriver modal([](QDialog& w) {
        auto& lista = static_cast<Lib_FrmCons3&>(w);
        EXPECT_TRUE(lista.CmbSearch()[0]->hasFocus() ||
                    lista.CmbSearch()[0]->lineEdit()->hasFocus());
        lista.CmbSearch()[0]->setEditText("02");
        lista.ListView1->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(lista.ListView1, &enter);
    });
    EXPECT_EQ(showModal(ventana_), QDialog::Accepted);
    EXPECT_EQ(ventana_.ValorDevuelto, Value("02"));
}

TEST_F(ListaTest, CheckMarksStartFromTheDefaultValuesAndComeBackInListOrder) {
    ventana_.CheckBoxes = true;
    ventana_.CampoDevuelto = "CODIGO";
    ventana_.ValoresDefault = "01,05";
    carga("select CODIGO,NOMBRE from T order by CODIGO");
    EXPECT_EQ(columna(0), (QStringList{"0", "01", "02", "05", "5", "7"}));
    ventana_.CmdAceptar->click();
    EXPECT_EQ(valores(), (QStringList{"0", "01", "05", "5"}));

    ventana_.CmdTodos->click();
    ventana_.CmbSearch()[0]->setEditText("05");
    tecla(ventana_.ListView1, Qt::Key_Space);
    ventana_.Valores = nuevaColeccion();
    ventana_.CmdAceptar->click();
    EXPECT_EQ(valores(), (QStringList{"02", "05", "7"}));
}

TEST_F(ListaTest, QuantityKeysChangeTheQuantityColumnAndItsMark) {
    ventana_.CheckBoxes = true;
    ventana_.UsaCantidades = true;
    ventana_.CampoDevuelto = "CODIGO";
    carga("select CODIGO, 0 as [**Cantidad**] from T order by CODIGO");
    ventana_.CmbSearch()[0]->setEditText("02");
    const auto cantidad = [&] { return ventana_.filas().celda(2, 1); };
    tecla(ventana_.ListView1, Qt::Key_Insert);
    tecla(ventana_.ListView1, Qt::Key_Insert);
    EXPECT_EQ(cantidad(), "2.0");
    EXPECT_TRUE(ventana_.filas().marcada(2));
    tecla(ventana_.ListView1, Qt::Key_Delete);
    EXPECT_EQ(cantidad(), "1.0");
    tecla(ventana_.ListView1, Qt::Key_Delete);
    EXPECT_EQ(cantidad(), "0.00");
    EXPECT_FALSE(ventana_.filas().marcada(2));

    ScopedDialogs boxes;
    boxes.text("3.5");
    tecla(ventana_.ListView1, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(boxes.shown().at(0).title, "Carga de Datos");
    EXPECT_EQ(cantidad(), "3.50");
    ventana_.CmdAceptar->click();
    EXPECT_EQ(valores(), QStringList{"02"});
    ASSERT_EQ(ventana_.Cantidades->size(), 1);
    EXPECT_EQ(ventana_.Cantidades->at(0).toDouble(), 3.5);
}

TEST_F(ListaTest, ClickingAHeaderSortsDescendingThenAscending) {
    carga("select CODIGO,NOMBRE from T order by CODIGO");
    ventana_.ListView1->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(columna(1).first(), "zeta");
    ventana_.ListView1->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(columna(1), (QStringList{"", "abeja", "Abrojo", "Juan Perez", "O'Higgins", "zeta"}));
}

TEST_F(ListaTest, WidthsComeFromTheFileAndAreSavedOnUnloadWhenAsked) {
    QFile anchos(ventana_.ArchivoAnchos);
    ASSERT_TRUE(anchos.open(QIODevice::WriteOnly));
    const int tpp = twipsPerPixelX();
    anchos.write(QStringLiteral("\"T\",\"%1|%2|\"\r\n").arg(100 * tpp).arg(50 * tpp).toLatin1());
    anchos.close();
    carga("select CODIGO,NOMBRE from T");
    EXPECT_EQ(ventana_.ListView1->columnWidth(0), 100);
    EXPECT_EQ(ventana_.ListView1->columnWidth(1), 50);
    ventana_.ListView1->setColumnWidth(1, 70);
    ventana_.GrabarCfg = true;
    ventana_.Form_Unload();
    ASSERT_TRUE(anchos.open(QIODevice::ReadOnly));
    EXPECT_EQ(anchos.readAll(),
              QStringLiteral("\"T\",\"%1|%2|\"\r\n").arg(100 * tpp).arg(70 * tpp).toLatin1());
}

TEST_F(ListaTest, AWidthsLineOfNonsenseGivesColumnsAScreenCanShow) {
    QFile anchos(ventana_.ArchivoAnchos);
    ASSERT_TRUE(anchos.open(QIODevice::WriteOnly));
    anchos.write("\"T\"\r\n\"T\",\"-500|1e300|\"\r\n");
    anchos.close();
    carga("select CODIGO,NOMBRE from T");
    EXPECT_EQ(ventana_.ListView1->columnWidth(0), 0);
    EXPECT_EQ(ventana_.ListView1->columnWidth(1), 1'000'000 / twipsPerPixelX());
    EXPECT_EQ(ventana_.filas().rowCount(), 6);
}

TEST_F(ListaTest, ArticleLookupsColourByStockNameTheirPricesAndReportMissingOnes) {
    ventana_.MuestraStock = "si";
    ventana_.StkNivel1 = Value(0x0000FF);  // red
    ventana_.StkNivel2 = Value(0x00FF00);
    ventana_.StkNivel3 = Value(0xFF0000);
    ventana_.StkNivel4 = Value(0x00FFFF);
    carga(
        "select idarticulo,Descripcion,PUNTOPEDIDO,Stock,PRECIO1 from V_MA_ARTICULOS "
        "order by idarticulo");
    EXPECT_EQ(ventana_.filas().encabezados().last(), "Lista");
    QStringList colores;
    for (int f = 0; f < 4; ++f)
        colores += ventana_.filas().index(f, 1).data(Qt::ForegroundRole).value<QColor>().name();
    EXPECT_EQ(colores, (QStringList{"#ff0000", "#00ff00", "#0000ff", "#ffff00"}));

    ventana_.CmbSearch()[0]->setEditText("A3");
    ScopedDialogs boxes;
    boxes.answer(answer::Yes);
    ventana_.ReportaFaltante();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "Desea informar el articulo A3 Falta\ncomo un faltante de stock?");
    EXPECT_EQ(EmbeddedDb::scalar(file_,
                                 "SELECT trim(IdArticulo) || '|' || Descripcion || '|' "
                                 "|| Usuario FROM V_MV_FALTANTES"),
              "A3|Falta|ADMIN");
}

TEST_F(ListaTest, ThePickersFillOneColumnAndReadTheMarksOrTheChosenText) {
    for (const bool casillas : {true, false}) {
        Lib_FrmCons3 picker;
        picker.Load();
        picker.CheckBoxes = casillas;
        picker.CampoDevuelto = "Opciones";
        picker.EncabezadoUnico("Opciones");
        picker.AgregaFila("Uno", true);
        picker.AgregaFila("Dos");
        picker.AgregaFila("Tres", true);
        picker.CmbSearch()[0]->setEditText("do");
        picker.CmdAceptar->click();
        if (casillas) {
            ASSERT_EQ(picker.Valores->size(), 2);
            EXPECT_EQ(picker.Valores->at(1), Value("Tres"));
        } else {
            EXPECT_EQ(picker.ValorDevuelto, Value("Dos"));
        }
    }
}

TEST_F(ListaTest, NewStartsTheTablesMaintenanceProgram) {
    const struct {
        const char* tabla;
        const char* programa;
        const char* parametro;
    } casos[] = {
        {"V_TA_RUBROS", "SHELL:V_TA_TABLAS", "V_TA_RUBROS"},
        {"vt_clientes", "SHELL:V_MA_CLIENTES", "1"},
        {"VT_PROVEEDORES", "SHELL:V_MA_CLIENTES", "0"},
        {"v_ta_tecnicos", "SHELL:V_TA_Tecnicos", ""},
        {"VT_MA_ARTICULOS", "SHELL:V_MA_ARTICULOS", ""},
        {"TA_MONEDAS", "SHELL:V_TA_TABLAS", "TA_MONEDAS"},
    };
    for (const auto& c : casos) {
        const Lib_FrmCons3::ProgramaAlta alta = Lib_FrmCons3::programaParaTabla(c.tabla);
        EXPECT_EQ(alta.programa, c.programa) << c.tabla;
        EXPECT_EQ(alta.parametro, c.parametro) << c.tabla;
    }
    QStringList lanzados;
    const auto anterior = Lib_FrmCons3::installLanzador(
        [&](const QString& p, const QString& a) { lanzados << p << a; });
    carga("select CODIGO from T");
    ventana_.CmdNuevo->click();
    Lib_FrmCons3::installLanzador(anterior);
    EXPECT_EQ(lanzados, (QStringList{"SHELL:V_TA_TABLAS", "T"}));
}

// What the operator sees of the window: the current search box in cyan
// under the default skin, the window over the one that opened it, no
// column too narrow for its header or a typed code, and the boxes named
// after their columns while he types.
TEST_F(ListaTest, TheSearchBoxWithTheFocusIsCyanUnderTheDefaultSkin) {
    QFile skin(QStringLiteral(KL_SOURCE_DIR "/resources/Styles/Vista.cjstyles"));
    ASSERT_TRUE(skin.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(skin.readAll()));
    ventana_.sql = "select CODIGO,NOMBRE from T order by CODIGO";
    ventana_.show();
    ventana_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana_));
    const auto fondo = [this](QComboBox* caja) {
        const QImage imagen = ventana_.grab().toImage();
        return imagen.pixelColor(caja->lineEdit()->mapTo(&ventana_, QPoint(2, 2)));
    };
    QComboBox* nombre = ventana_.CmbSearch()[1];
    nombre->setFocus();
    QTest::keyClicks(nombre, "ab");
    EXPECT_EQ(fondo(nombre), QColor(0, 255, 255));
    EXPECT_EQ(fondo(ventana_.CmbSearch()[0]), QColor(Qt::white));
    for (QAccessibleInterface* nombrada :
         {QAccessible::queryAccessibleInterface(nombre),
          QAccessible::queryAccessibleInterface(nombre->lineEdit())})
        EXPECT_EQ(nombrada->text(QAccessible::Name), "NOMBRE");
    ventana_.ListView1->setFocus();
    EXPECT_EQ(fondo(nombre), QColor(Qt::white));
    qApp->setStyleSheet(QString());
}

TEST_F(ListaTest, TheWindowOpensOverTheWindowThatAsked) {
    QWidget dueno;
    dueno.setGeometry(300, 200, 500, 400);
    dueno.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dueno));
    Lib_FrmCons3 lista(&dueno);
    lista.ArchivoAnchos = ventana_.ArchivoAnchos;
    lista.sql = "select CODIGO from T";
    lista.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&lista));
    const QPoint desvio = lista.frameGeometry().center() - dueno.frameGeometry().center();
    EXPECT_LE(desvio.manhattanLength(), 40) << desvio.x() << "," << desvio.y();
}

TEST_F(ListaTest, AColumnOfTwoCharactersShowsItsHeaderAndRoomToTypeACode) {
    ASSERT_TRUE(test::EmbeddedDb::exec(file_,
                                       "CREATE TABLE CC (CODIGO VARCHAR(2));"
                                       "INSERT INTO CC VALUES ('01'), ('02');"));
    ventana_.sql = "select CODIGO from CC";
    ventana_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana_));
    const QHeaderView* cabecera = ventana_.ListView1->horizontalHeader();
    EXPECT_GE(cabecera->sectionSize(0), cabecera->sectionSizeHint(0));
    QLineEdit* caja = ventana_.CmbSearch()[0]->lineEdit();
    EXPECT_GE(caja->width(), caja->fontMetrics().horizontalAdvance("XX"));
}

}  // namespace
}  // namespace kl::test
