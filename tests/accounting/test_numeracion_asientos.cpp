#include "support/accounting_db/accounting_db.h"

#include "accounting/lbc_asiento.h"

namespace kl::accounting::test {
namespace {

class NumeracionTest : public AccountingDbTest {};

// ---- UltimoNumeroAsiento.

TEST_F(NumeracionTest, NextNumberOfAMonthCountsItsJournalOnly) {
    Lbc_Asiento reglas(3);
    EXPECT_EQ(reglas.UltimoNumeroAsiento(Value(3)), 1) << "no entries yet";
    EXPECT_EQ(traced().value(0),
              "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WHERE "
              "MES_OPERATIVO = 3 AND PERIODO = '3' AND (TIPO_REG = '\u00FFRS' OR TIPO_REG = '') ");

    for (int numero = 1; numero <= 7; ++numero) addLine({.numero = numero});
    addLine({.numero = 12, .tipoReg = "VENTAS"});
    addLine({.mes = 4, .numero = 30});
    addLine({.periodo = 2, .numero = 40});
    EXPECT_EQ(reglas.UltimoNumeroAsiento(Value(3)), 8);
    EXPECT_EQ(reglas.UltimoNumeroAsiento(Value(3), QString("VENTAS")), 13);
    EXPECT_EQ(reglas.UltimoNumeroAsiento(Value(3), QString("  ")), 8) << "a blank type is none";
    EXPECT_EQ(reglas.UltimoNumeroAsiento(Value(3), std::nullopt, Value("2")), 41);
    traced();

    EXPECT_EQ(reglas.UltimoNumeroAsiento(Value("3"), QString("O'H")), 1);
    EXPECT_TRUE(traced().value(0).endsWith("AND TIPO_REG = 'O''H' "));
    EXPECT_TRUE(boxes_.shown().empty());
}

// ---- Display forms.

TEST_F(NumeracionTest, DisplayFormsOfAnEntryNumber) {
    QString display;
    EXPECT_FALSE(Lbc_Asiento::FormatDisplayNroAsiento(Value(125), QDate(2026, 3, 15), display));
    EXPECT_EQ(display, "03-0000125");
    EXPECT_TRUE(Lbc_Asiento::FormatDisplayNroAsiento(Value("abc"), QDate(2026, 3, 15), display));

    struct Case {
        const char* texto;
        const char* fmt;    // FMTNroAsiento
        const char* plano;  // FormatNroAsiento
    };
    for (const Case& c :
         {Case{"030000125", "03-0000125", "30000125"}, Case{"03125", "03-0000125", "3125"},
          Case{"03-0000125", "03-0000125", "125"}, Case{"12", "12", "12"}}) {
        EXPECT_EQ(Lbc_Asiento::FMTNroAsiento(c.texto), c.fmt) << c.texto;
        EXPECT_EQ(Lbc_Asiento::FormatNroAsiento(c.texto), c.plano) << c.texto;
    }
}

TEST_F(NumeracionTest, SeparatorRemovedKeepsBothPartsWithoutLeadingZeros) {
    struct Case {
        QString texto;
        std::optional<int> tipo;
        QString separador;
        Value esperado;
    };
    for (const Case& c :
         {Case{"03-0000125", std::nullopt, "-", Value("3125")},
          Case{"03-0000125", 3, "-", Value(3125)}, Case{"03-0000125", 8, "-", Value("3125")},
          Case{"03/0000125", std::nullopt, "/", Value("3125")}, Case{"0000125", 3, "-", Value(125)},
          Case{"", 3, "-", Value("")}}) {
        Value resultado;
        EXPECT_FALSE(Lbc_Asiento::EliminaCarNroAsiento(c.texto, resultado, c.tipo, c.separador));
        EXPECT_EQ(resultado, c.esperado) << c.texto.toStdString();
    }
    Value resultado;
    EXPECT_TRUE(Lbc_Asiento::EliminaCarNroAsiento("abc", resultado, 3));
}

// ---- CalculoDV.

TEST_F(NumeracionTest, CheckValueWeighsDigitsAndKeepsTwo) {
    for (const auto& [codigo, dv] : std::vector<std::pair<Value, int>>{
             {Value("123"), 38},    // 9x1 + 7x2 + 5x3
             {Value("99999"), 22},  // 225
             {Value(""), 0},
             {Value::null(), 0},
             {Value("ABC"), 0},
             {Value("1.2"), 19},           // the dot counts 0 but takes its weight
             {Value("111111"), 34},        // the weights start again at 9
             {Value("99999999999"), 53}})  // 531: divided while 100 or more
        EXPECT_EQ(Lbc_Asiento::CalculoDV(codigo), dv) << codigo.toString().toStdString();
}

// ---- UltimoAjuste.

TEST_F(NumeracionTest, LastAdjustmentOfTheActivePeriod) {
    Lbc_Asiento reglas(3);
    QString fecha = "x", periodo = "x";
    Value numero;
    EXPECT_FALSE(reglas.UltimoAjuste(fecha, periodo, numero));
    EXPECT_TRUE(fecha.isEmpty());
    EXPECT_TRUE(periodo.isEmpty());
    EXPECT_EQ(numero.toInt64(), 0);
    EXPECT_EQ(traced().value(0),
              "SELECT top 1  * FROM MV_ASIENTOS WHERE PERIODO = 3 AND EsAjuste = 1");

    addLine({.periodo = 2, .numero = 9, .esAjuste = true, .ajusteHasta = "12/2025"});
    addLine({.numero = 14, .fecha = "2026-03-31", .esAjuste = true, .ajusteHasta = "03/2026"});
    EXPECT_FALSE(reglas.UltimoAjuste(fecha, periodo, numero));
    EXPECT_EQ(fecha, "31/03/2026");
    EXPECT_EQ(periodo, "03/2026");
    EXPECT_EQ(numero.toInt64(), 14);
}

// ---- Fixed assets.

TEST_F(NumeracionTest, NextFixedAssetCodesStartAtOne) {
    EXPECT_EQ(Lbc_Asiento::UltimoIDBienDeUso(), "1");
    EXPECT_EQ(Lbc_Asiento::UltimoIDNovedadBienDeUso("3"), "1");
    exec("INSERT INTO MA_BIENES (CODIGO, DESCRIPCION) VALUES (3, 'Rodado'), (8, 'Autoelevador')");
    exec("INSERT INTO MA_BIENES_NOVEDADES (CODIGO, ID) VALUES (3, 1), (3, 2), (8, 1)");
    traced();
    EXPECT_EQ(Lbc_Asiento::UltimoIDBienDeUso(), "9");
    EXPECT_EQ(Lbc_Asiento::UltimoIDNovedadBienDeUso(" 3 "), "3");
    EXPECT_EQ(traced().value(1),
              "SELECT MAX(ID) AS [ELID] FROM MA_BIENES_novedades WHERE CODIGO = 3");
}

}  // namespace
}  // namespace kl::accounting::test
