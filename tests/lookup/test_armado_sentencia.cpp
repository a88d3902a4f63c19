#include "lookup/armado_sentencia.h"

#include <gtest/gtest.h>

namespace kl::consultas {
namespace {

TEST(LookupCondition, IsPutBetweenParenthesesUnlessItAlreadyOpensOneOrIsASingleCharacter) {
    const struct {
        QString where, esperado;
    } casos[] = {
        {"x=1", " (x=1) "}, {"(x=1)", "(x=1)"}, {"x", "x"},
        {"", ""},           {"  x ", "  x "},   {" x=1", " ( x=1) "},
    };
    for (const auto& c : casos)
        EXPECT_EQ(condicionEntreParentesis(c.where), c.esperado) << c.where.toStdString();
}

TEST(LookupRowLimit, IsTopConsArtRoundedOr1000WhenItIsNotAPositiveNumber) {
    const struct {
        QString valor;
        long limite;
    } casos[] = {{" ", 1000},  {"", 1000},   {"250", 250}, {"abc", 1000}, {"0", 1000},
                 {"-5", 1000}, {"12.5", 12}, {"13.5", 14}, {"0.4", 1000}};
    for (const auto& c : casos) EXPECT_EQ(limiteFilas(c.valor), c.limite) << c.valor.toStdString();
}

struct Caso {
    const char* nombre;
    PedidoConsulta pedido;
    std::optional<MascaraConsulta> mascara;
    std::optional<QStringList> columnas;
    QString sql;
    QString campoBusqueda = {};
    QString where = {};
    bool faltaConfigurar = false;
};

MascaraConsulta mascara(const QString& tabla, const QString& columnas,
                        const QString& condicion = {}) {
    return {QString(), tabla, columnas, condicion};
}

PedidoConsulta tabla(const QString& nombre, const QString& where = {},
                     const QString& opcional = {}) {
    return {.sql = nombre,
            .CampoBusqueda = {},
            .Where = where,
            .SentenciaOpcional = opcional,
            .usarMascaras = true,
            .topConsArt = QStringLiteral(" ")};
}

const QStringList kColumnasT{"ID", "CODIGO", "DESCRIPCION", "PRECIO"};

TEST(LookupStatement, EveryPathBuildsItsTextExactly) {
    PedidoConsulta conTop = tabla("T");
    conTop.topConsArt = "250";
    PedidoConsulta sinMascaras = tabla("T");
    sinMascaras.usarMascaras = false;
    PedidoConsulta conBusqueda = tabla("TA_ESTADOS");
    conBusqueda.CampoBusqueda = "DESCRIPCION";

    const Caso casos[] = {
        {"a table without a mask, by its own columns", tabla("T"), std::nullopt, kColumnasT,
         "SELECT TOP 1000 CODIGO,DESCRIPCION,PRECIO FROM T  ORDER BY DESCRIPCION"},
        {"the configured row limit", conTop, std::nullopt, kColumnasT,
         "SELECT TOP 250 CODIGO,DESCRIPCION,PRECIO FROM T  ORDER BY DESCRIPCION"},
        {"masks switched off leave the mask unread", sinMascaras, mascara("T", "X|Y|"), kColumnasT,
         "SELECT TOP 1000 CODIGO,DESCRIPCION,PRECIO FROM T  ORDER BY DESCRIPCION"},
        {"a condition without a mask", tabla("T", "x=1"), std::nullopt, kColumnasT,
         "SELECT TOP 1000 CODIGO,DESCRIPCION,PRECIO FROM T WHERE  (x=1)   ORDER BY DESCRIPCION", "",
         " (x=1) "},
        {"the first column searches when none describes", tabla("T"), std::nullopt,
         QStringList{"FECHAHORA_GRABACION", "CODIGO", "PRECIO"},
         "SELECT TOP 1000 CODIGO,PRECIO FROM T  ORDER BY CODIGO"},
        {"the last describing column wins", tabla("T"), std::nullopt,
         QStringList{"NOMBRE", "CODIGO", "Detalle", "fechahora_modificacion"},
         "SELECT TOP 1000 NOMBRE,CODIGO,Detalle FROM T  ORDER BY Detalle"},
        {"two tables show their ID and search by it", tabla("v_mv_mutuales"), std::nullopt,
         QStringList{"CODIGO", "ID", "NOMBRE"},
         "SELECT TOP 1000 CODIGO,ID,NOMBRE FROM v_mv_mutuales  ORDER BY NOMBRE"},
        {"a fixed view", tabla("v_ta_unidad"), std::nullopt, std::nullopt,
         "SELECT TOP 1000 Descripcion,IdUnidad FROM v_ta_unidad  ORDER BY IdUnidad"},
        {"another fixed view", tabla("V_TA_DEPOSITO"), std::nullopt, std::nullopt,
         "SELECT TOP 1000 Descripcion,Unidad,IdDeposito FROM V_TA_DEPOSITO  ORDER BY IdDeposito"},
        {"a table that cannot be read has no empty ORDER BY", tabla("NO_EXISTE"), std::nullopt,
         std::nullopt, "SELECT TOP 1000  *  FROM NO_EXISTE "},
        {"the caller's statement when there is no mask",
         tabla("TA_ESTADOS", "", "select DESCRIPCION,CODIGO from TA_ESTADOS "), std::nullopt,
         kColumnasT, "select DESCRIPCION,CODIGO from TA_ESTADOS "},
        {"a mask with its columns", tabla("TA_CONDIVA"),
         mascara("TA_CONDIVA", "CODIGO|DESCRIPCION|"), std::nullopt,
         "SELECT TOP 1000 CODIGO,DESCRIPCION FROM TA_CONDIVA  with(nolock)  ORDER BY CODIGO",
         "CODIGO"},
        {"a mask's condition wins over the caller's", tabla("TA_ESTADOS", "x=1"),
         mascara("TA_ESTADOS", "|CODIGO|DESCRIPCION", "PAIS = 1"), std::nullopt,
         "SELECT TOP 1000 CODIGO,DESCRIPCION FROM TA_ESTADOS  with(nolock)  WHERE PAIS = 1 ORDER "
         "BY CODIGO",
         "CODIGO", " (x=1) "},
        {"the caller's condition when the mask has none", tabla("TA_ESTADOS", "x=1"),
         mascara("TA_ESTADOS", "CODIGO|DESCRIPCION|"), std::nullopt,
         "SELECT TOP 1000 CODIGO,DESCRIPCION FROM TA_ESTADOS  with(nolock)  WHERE  (x=1)  ORDER BY "
         "CODIGO",
         "CODIGO", " (x=1) "},
        {"the caller's search column", conBusqueda, mascara("TA_ESTADOS", "CODIGO|DESCRIPCION|"),
         std::nullopt,
         "SELECT TOP 1000 CODIGO,DESCRIPCION FROM TA_ESTADOS  with(nolock)  ORDER BY DESCRIPCION",
         "DESCRIPCION"},
        {"an empty first column searches nothing", tabla("TA_ESTADOS"),
         mascara("TA_ESTADOS", "||CODIGO|"), std::nullopt,
         "SELECT TOP 1000 ,CODIGO FROM TA_ESTADOS with(nolock) "},
        {"active clients by default", tabla("VT_CLIENTES"),
         mascara("VT_CLIENTES", "CODIGO|RAZON_SOCIAL|"), std::nullopt,
         "SELECT TOP 1000 CODIGO,RAZON_SOCIAL FROM VT_CLIENTES  with(nolock)  WHERE Dada_De_Baja "
         "= 0 ORDER BY CODIGO",
         "CODIGO"},
        {"the caller's condition instead of the clients' default", tabla("vt_clientes", "ZONA=2"),
         mascara("vt_clientes", "CODIGO|RAZON_SOCIAL|"), std::nullopt,
         "SELECT TOP 1000 CODIGO,RAZON_SOCIAL FROM vt_clientes  with(nolock)  WHERE  (ZONA=2)  "
         "ORDER BY CODIGO",
         "CODIGO", " (ZONA=2) "},
        {"articles go to their view and skip the suspended", tabla("V_MA_ARTICULOS"),
         mascara("V_MA_ARTICULOS", "IDARTICULO|DESCRIPCION|"), std::nullopt,
         "SELECT TOP 1000 IDARTICULO,DESCRIPCION FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
         "SUSPENDIDO = 0 ORDER BY IDARTICULO",
         "IDARTICULO"},
        {"a mask of a single column", tabla("TA_ESTADOS"), mascara("TA_ESTADOS", "CODIGO|"),
         std::nullopt, "", "", "", true},
        {"a mask without columns", tabla("TA_ESTADOS"), mascara("TA_ESTADOS", ""), std::nullopt, "",
         "", "", true},
        {"a whole statement, with the caller's condition",
         tabla("select * from V_MA_ARTICULOS a join v_ma_articulos b on 1=1", "x=1"), std::nullopt,
         std::nullopt,
         "select * from VT_MA_ARTICULOS a join VT_MA_ARTICULOS b on 1=1 WHERE  (x=1) ", "",
         " WHERE  (x=1) "},
        {"a whole statement whose condition names WHERE", tabla("SELECT A FROM T ", "WHERE A=1"),
         std::nullopt, std::nullopt, "SELECT A FROM T  (WHERE A=1) ", "", " (WHERE A=1) "},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        PedidoConsulta pedido = c.pedido;
        QStringList pedidas;
        const FuentesConsulta fuentes{
            .mascara = [&](const QString& t) -> std::optional<MascaraConsulta> {
                if (c.mascara && c.mascara->tabla.compare(t.trimmed(), Qt::CaseInsensitive) == 0)
                    return c.mascara;
                return std::nullopt;
            },
            .columnas =
                [&](const QString& t) {
                    pedidas << t;
                    return c.columnas;
                },
        };
        const SentenciaArmada armada = armaSentencia(pedido, fuentes);
        EXPECT_EQ(armada.sql, c.sql);
        EXPECT_EQ(armada.faltaConfigurar, c.faltaConfigurar);
        EXPECT_EQ(pedido.CampoBusqueda, c.campoBusqueda);
        EXPECT_EQ(pedido.Where, c.where);
    }
}

}  // namespace
}  // namespace kl::consultas
