#include "lookup/def_qconsulta.h"

#include "lookup/fake_windows.h"
#include "lookup/lib_clscons3.h"
#include "lookup/mascaras_consultas.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl {
namespace {

using consultas::test::ScopedFakeWindows;

TEST(LookupDefinitions, EachNameTakesTheColumnsOfTheFirstRowItMatches) {
    const struct {
        const char* tabla;
        const char* reescrita;
        const char* display;
        const char* cl1;
        const char* cl2;
    } casos[] = {
        {"VT_Clientes", "VT_Clientes", "Razon_Social", "Codigo", ""},
        {"vt_proveedores", "vt_proveedores", "Razon_Social", "Codigo", ""},
        {"TA_COMPROBANTES", "VT_TA_Cpte", "Descripcion", "Codigo", ""},
        {"V_TA_Cpte", "VT_TA_Cpte", "Descripcion", "Codigo", ""},
        {"V_TA_PERCEPCION", "V_TA_PERCEPCION", "DESCRIPCION", "IDPERCEPCION", ""},
        {"V_TA_RETENCIONES", "V_TA_RETENCIONES", "DESCRIPCION", "IDRETENCION", ""},
        {"V_TA_UNIDADNEGOCIO", "V_TA_UNIDADNEGOCIO", "DESCRIPCION", "CODIGO", ""},
        {"v_ta_politicaprecios", "v_ta_politicaprecios", "Descripcion", "codigo", ""},
        {"V_TA_CATEGORIAARTICULO", "V_TA_CATEGORIAARTICULO", "DESCRIPCION", "idcategoria", ""},
        {"v_ta_bancos", "v_ta_bancos", "DESCRIPCION", "IDbanco", ""},
        {"V_TA_Tareas", "V_TA_Tareas", "DESCRIPCION", "IDTarea", ""},
        {"V_TA_Unidad", "V_TA_Unidad", "DESCRIPCION", "IDUnidad", ""},
        {"V_TA_Tecnicos", "V_TA_Tecnicos", "NOMBRE", "IDTecnico", ""},
        {"V_TA_Cajas", "V_TA_Cajas", "DESCRIPCION", "IDCajas", ""},
        {"V_TA_CPRA_VTA", "V_TA_CPRA_VTA", "DESCRIPCION", "IDCOND_CPRA_VTA", ""},
        {"V_TA_TipoArticulo", "V_TA_TipoArticulo", "DESCRIPCION", "IDTIPO", ""},
        {"P_TA_IDIOMAS", "P_TA_IDIOMAS", "Descripcion", "IDIDIOMA", ""},
        {"P_MA_Empresas", "P_MA_Empresas", "NombreEmpresa", "IDEmpresa", ""},
        {"P_TA_Areas", "P_TA_Areas", "Descripcion", "IDAreas", ""},
        {"P_TA_FormasDePago", "P_TA_FormasDePago", "Descripcion", "IDFormasDePago", ""},
        {"P_SINDICATOS", "P_SINDICATOS", "Descripcion", "IdSindicato", ""},
        {"P_TA_Funciones", "P_TA_Funciones", "DESCRIPCION", "IDFunciones", ""},
        {"TA_Rubros", "TA_Rubros", "DESCRIPCION", "IDRubro", ""},
        {"TA_MotivoStock", "TA_MotivoStock", "DESCRIPCION", "IDMotivoStock", ""},
        {"TA_TipoArticulo", "TA_TipoArticulo", "DESCRIPCION", "IDTIPO", ""},
        {"P_MA_Clientes", "P_MA_Clientes", "RAZON_SOCIAL", "IDCLIENTE", ""},
        {"TA_Cpte", "TA_Cpte", "DESCRIPCION", "CODIGO", "DESCRIPCION"},
        {"V_TA_VENDEDORES", "V_TA_VENDEDORES", "NOMBRE", "idvendedor", "NOMBRE"},
        {"V_MA_ARTICULOS", "V_MA_ARTICULOS", "DESCRIPCION", "IDARTICULO", "DESCRIPCION"},
        {"V_MV_COTIZAR", "V_MV_COTIZAR", "COT_OBSERVACIONES", "IDARTICULO", "COT_OBSERVACIONES"},
        {"MA_ARTICULOS", "MA_ARTICULOS", "DESCRIPCION", "IDARTICULO", "DESCRIPCION"},
        {"MA_MODELOS", "MA_MODELOS", "NOMBRE", "NOMBRE", "NOMBRE"},
        {"MA_CHOFERES", "MA_CHOFERES", "APELLIDO", "CODIGO", "NOMBRES"},
        {"MA_DESTINATARIOS", "MA_DESTINATARIOS", "NOMBRE", "CODIGO", "NOMBRE"},
        {"MA_VEHICULOS", "MA_VEHICULOS", "PATENTE,TIPO_VEHICULO,MARCA,MODELO,TIPO", "PATENTE",
         "MODELO"},
        {"MV_EJERCICIOS", "MV_EJERCICIOS", "DESCRIPCION", "PERIODO", "DESCRIPCION"},
        {"TA_USUARIOS", "TA_USUARIOS", "NOMBRE", "NOMBRE", ""},
        {"TA_ESTADOS", "TA_ESTADOS", "DESCRIPCION", "CODIGO", "DESCRIPCION"},
        {"ta_condiva", "ta_condiva", "DESCRIPCION", "CODIGO", "DESCRIPCION"},
        {"ma_proveedores", "ma_proveedores", "Razon_Social", "Codigo", "Razon_Social"},
        {"MA_AGENTES", "MA_AGENTES", "Razon_Social", "Codigo", "Razon_Social"},
        {"MA_CLIENTES_X", "MA_CLIENTES_X", "Razon_Social", "Codigo", "Codigo_sucursal"},
        {"MA_CUENTAS", "MA_CUENTAS", "Descripcion", "Codigo", "Descripcion"},
        {"[MA_CAMPOS]", "[MA_CAMPOS]", "nombre", "Codigo", "nombre"},
        {"mv_proyectos", "mv_proyectos", "ASUNTO", "ID", "ASUNTO"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.tabla);
        const auto d = definicionConsulta(QString::fromLatin1(c.tabla));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->Tabla, c.reescrita);
        EXPECT_EQ(d->CmpDisplay, c.display);
        EXPECT_EQ(d->Cl1, c.cl1);
        EXPECT_EQ(d->Cl2, c.cl2);
    }
    for (const char* ninguna : {"[MA_OTRA", "MV_OTRO", "V_OTRA", "", "TA"})
        EXPECT_FALSE(definicionConsulta(QString::fromLatin1(ninguna))) << ninguna;
}

class DefinirConsultaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        releaseSharedConsultas();
        Lib_ClsCons3& engine = sharedConsultas();
        engine.gUsarMascarasConsultas = true;
        engine.gRutaMascaraConsultas = dir_.filePath(QStringLiteral("consultas.kvw"));
    }
    void TearDown() override { releaseSharedConsultas(); }

    void escribeMascaras() {
        QFile file(dir_.filePath(QStringLiteral("consultas.kvw")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(consultas::registroMascara(
            {QStringLiteral("Provincias"), "TA_ESTADOS", "CODIGO|DESCRIPCION|", "PAIS = 1"}));
    }

    QTemporaryDir dir_;
    ScopedFakeWindows windows_;
};

TEST_F(DefinirConsultaTest, TheMaskFileAndTheProgramDecideWhetherMasksAreUsed) {
    EXPECT_FALSE(usaMascarasConsultas(dir_.path(), QStringLiteral("klconfig")));
    escribeMascaras();
    EXPECT_TRUE(usaMascarasConsultas(dir_.path(), QStringLiteral("klconfig")));
    for (const char* ajeno : {"KVTRANS", "hrmapp", "Qbx"})
        EXPECT_FALSE(usaMascarasConsultas(dir_.path(), QString::fromLatin1(ajeno))) << ajeno;
}

TEST_F(DefinirConsultaTest, TheMaskPathShowsTheTablesMaskAndReturnsTheChosenCode) {
    escribeMascaras();
    windows_->eleccion.ValorDevuelto = QStringLiteral("12 ");
    QString tabla = "TA_ESTADOS", display, cl1, cl2, where;
    DefinirConsulta(tabla, display, cl1, cl2, false, where, true);
    ASSERT_EQ(windows_->listas.size(), 1u);
    EXPECT_EQ(windows_->listas[0].sql,
              "SELECT TOP 1000 CODIGO,DESCRIPCION FROM TA_ESTADOS  with(nolock)  WHERE PAIS = 1 "
              "ORDER BY CODIGO");
    EXPECT_EQ(windows_->listas[0].CampoDevuelto, "CODIGO");
    EXPECT_EQ(cl1, "12 ");
    EXPECT_EQ(display, "DESCRIPCION");
    EXPECT_EQ(sharedConsultas().CampoDevuelto, "");
}

TEST_F(DefinirConsultaTest, WithoutAMaskTheFallbackStatementRunsAndCancellingEmptiesTheCode) {
    QString tabla = "TA_MONEDAS", display, cl1, cl2, where;
    DefinirConsulta(tabla, display, cl1, cl2, false, where, true);
    ASSERT_EQ(windows_->listas.size(), 1u);
    EXPECT_EQ(windows_->listas[0].sql, "select DESCRIPCION,CODIGO from TA_MONEDAS ");
    EXPECT_TRUE(windows_->listas[0].OrdenarPorLwv);
    EXPECT_EQ(cl1, "");
}

TEST_F(DefinirConsultaTest, ClientTablesReturnTheirCode) {
    QString tabla = "vt_clientes", display, cl1, cl2, where = "ZONA=1";
    DefinirConsulta(tabla, display, cl1, cl2, false, where, true);
    ASSERT_EQ(windows_->listas.size(), 1u);
    EXPECT_EQ(windows_->listas[0].sql, "select Razon_Social,CODIGO from vt_clientes ZONA=1");
    EXPECT_EQ(windows_->listas[0].CampoDevuelto, "CODIGO");
    EXPECT_EQ(where, " (ZONA=1) ");
}

TEST_F(DefinirConsultaTest, ShowingWithoutMasksFillsAnEmptyDisplayWithAnAsterisk) {
    QString tabla = "[MA_OTRA", display, cl1 = "CODIGO", cl2, where;
    DefinirConsulta(tabla, display, cl1, cl2, true, where, false);
    EXPECT_EQ(display, " * ");
    ASSERT_EQ(windows_->listas.size(), 1u);
    EXPECT_EQ(windows_->listas[0].sql, "select  * ,CODIGO from [MA_OTRA ");
}

TEST_F(DefinirConsultaTest, WithoutMasksAndWithoutShowingOnlyTheColumnsComeBack) {
    QString tabla = "TA_ESTADOS", display, cl1, cl2, where;
    DefinirConsulta(tabla, display, cl1, cl2, false, where, false);
    EXPECT_TRUE(windows_->listas.empty());
    EXPECT_EQ(cl1, "CODIGO");
    QString otra = "MV_OTRO", d2 = "d", c1 = "c1", c2 = "c2";
    DefinirConsulta(otra, d2, c1, c2, false, where, false);
    EXPECT_EQ(d2 + c1 + c2, "dc1c2");
}

}  // namespace
}  // namespace kl
