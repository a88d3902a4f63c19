#include "fuzz/anchos_properties.h"
#include "fuzz/seed_replay.h"
#include "lookup/anchos_consulta.h"
#include "lookup/filas_consulta.h"
#include "lookup/sentencias_consulta.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::consulta {
namespace {

struct CasoBusqueda {
    const char* ultima;
    const char* campo;
    const char* texto;
    bool usaLike;
    const char* esperada;
};

TEST(SentenciasConsulta, NuevaBusquedaAddsTheConditionBeforeGroupingAndOrder) {
    const CasoBusqueda casos[] = {
        {"select CODIGO,NOMBRE from T order by NOMBRE ", "NOMBRE", "san jo", true,
         "select CODIGO,NOMBRE from T  where NOMBRE like '%san%jo%' order by NOMBRE "},
        {"select CODIGO,NOMBRE from T ", "NOMBRE", "A*B", false,
         "select CODIGO,NOMBRE from T  where NOMBRE like 'A%B%' "},
        {"select C from T where X=1 ORDER BY C ", "C", "7", false,
         "select C from T where X=1  and C like '7%' ORDER BY C "},
        {"select C, count(*) from T group by C order by C ", "C", "x", false,
         "select C, count(*) from T  where C like 'x%' group by C order by C "},
        {"select IDARTICULO from V_MA_ARTICULOS ", "IDARTICULO", "10", false,
         "select IDARTICULO from V_MA_ARTICULOS  where v_ma_articulos.IDARTICULO like '10%' "},
        {"select IDARTICULO from STK_MA_ARTICULOS ", "IDARTICULO", "10", false,
         "select IDARTICULO from STK_MA_ARTICULOS  where stk_ma_articulos.IDARTICULO like '10%' "},
        // A quote typed by the operator stays inside the pattern.
        {"select NOMBRE from T ", "NOMBRE", "O'Hig' or 1=1 --", true,
         "select NOMBRE from T  where NOMBRE like '%O''Hig''%or%1=1%--%' "},
        {"select NOMBRE from T ", "NOMBRE", "d'a*", false,
         "select NOMBRE from T  where NOMBRE like 'd''a%%' "},
    };
    for (const CasoBusqueda& c : casos) {
        EXPECT_EQ(sentenciaNuevaBusqueda(c.ultima, c.campo, c.texto, c.usaLike), c.esperada)
            << c.ultima << " / " << c.texto;
    }
}

TEST(SentenciasConsulta, TheMissingArticleReportQuotesEveryValue) {
    EXPECT_EQ(sentenciaFaltante("09/12/2026 10:00:00", "A1", "  Tuerca 1/2'' ", "o'neil"),
              "INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
              "values('09/12/2026 10:00:00','                       A1','Tuerca 1/2''''',"
              "'o''neil')");
}

TEST(SentenciasConsulta, TheTableIsTheWordAfterFrom) {
    EXPECT_EQ(tablaDeSentencia("SELECT TOP 10 A FROM VT_CLIENTES  with(nolock) "), "VT_CLIENTES");
    EXPECT_EQ(tablaDeSentencia("select a from t "), "t");
    EXPECT_EQ(tablaDeSentencia("select 1"), "");
}

class AnchosConsulta : public testing::Test {
  protected:
    void escribe(const QByteArray& bytes) {
        QFile f(archivo_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray lee() {
        QFile f(archivo_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
    QString archivo_ = dir_.filePath(QStringLiteral("CONSULTASLEN.KVW"));
};

TEST_F(AnchosConsulta, TheLaterLineForATableWinsOnReading) {
    escribe(
        "\"VT_CLIENTES\",\"1440|2880|\"\r\n\"OTRA\",\"10|\"\r\n"
        "\"vt_clientes\",\"1000|2000|3000|\"\r\n");
    EXPECT_EQ(leeAnchos(archivo_, "VT_CLIENTES"), (QList<double>{1000, 2000, 3000}));
    EXPECT_EQ(leeAnchos(archivo_, "OTRA"), (QList<double>{10}));
    EXPECT_EQ(leeAnchos(archivo_, "NINGUNA"), std::nullopt);
    EXPECT_EQ(leeAnchos(dir_.filePath("NO_ESTA.KVW"), "OTRA"), std::nullopt);
}

TEST_F(AnchosConsulta, SavingLeavesOneLineForTheTableAndKeepsTheOthers) {
    escribe("\"VT_CLIENTES\",\"1|\"\r\n\"A\xD1O\",\"10|\"\r\n\"VT_CLIENTES\",\"2|\"\r\n");
    ASSERT_TRUE(grabaAnchos(archivo_, "VT_CLIENTES", {1440, 2880}));
    EXPECT_EQ(lee(), "\"A\xD1O\",\"10|\"\r\n\"VT_CLIENTES\",\"1440|2880|\"\r\n");
    EXPECT_EQ(leeAnchos(archivo_, QString::fromUtf8("AÑO")), (QList<double>{10}));
}

TEST_F(AnchosConsulta, SavingCreatesAMissingFileAndNeverLeavesATemporaryOne) {
    ASSERT_TRUE(grabaAnchos(archivo_, "T", {15}));
    EXPECT_EQ(lee(), "\"T\",\"15|\"\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"CONSULTASLEN.KVW"});
}

TEST(FilasConsulta, SearchFindsThePrefixIgnoringCaseInListOrder) {
    FilasConsulta filas;
    filas.ponEncabezados({"C", "N"});
    filas.agregaFila({"1", "Zeta"});
    filas.agregaFila({"2", "abeja"});
    filas.agregaFila({"3", "Abrojo"});
    filas.agregaFila({"4", "ÁRBOL"});
    EXPECT_EQ(filas.busca(1, u" AB "), 1);
    EXPECT_EQ(filas.busca(1, u"árb"), 3);
    EXPECT_EQ(filas.busca(1, u""), 0);
    EXPECT_EQ(filas.busca(1, u"x"), -1);
    filas.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(filas.celda(0, 1), "Zeta");
    EXPECT_EQ(filas.celda(1, 1), "ÁRBOL");
    EXPECT_EQ(filas.busca(1, u"ab"), 2);
    EXPECT_EQ(filas.celda(2, 1), "Abrojo");
}

TEST(FilasConsulta, ATextBeyondLatin1KeepsEveryCellAsRead) {
    FilasConsulta filas;
    filas.ponEncabezados({"C", "N"});
    filas.empiezaCarga();
    filas.agregaFila({"1", "Año"});
    filas.agregaFila({"2", "Cuota 10 €"});
    filas.agregaFila({"3", "ÑANDÚ"});
    filas.terminaCarga();
    EXPECT_EQ(filas.celda(0, 1), "Año");
    EXPECT_EQ(filas.celda(1, 1), "Cuota 10 €");
    EXPECT_EQ(filas.busca(1, u"ñandú"), 2);
    filas.ponCelda(0, 1, "Ñu");
    filas.sort(1);
    EXPECT_EQ(filas.celda(1, 1), "ÑANDÚ");
    EXPECT_EQ(filas.celda(2, 1), "Ñu");
}

TEST(FilasConsulta, CellsOfEveryLengthReadBackTrimmedBeforeAndAfterTurningWide) {
    const QStringList largos = {QString(), QString(254, u'a'), QString(255, u'b'),
                                QString(70000, u'c'), QStringLiteral("  con blancos  ")};
    for (const bool ancho : {false, true}) {
        FilasConsulta filas;
        filas.ponEncabezados({"C", "N", "F"});
        filas.empiezaCarga();
        for (const QString& texto : largos) filas.agregaFila({texto, texto, QStringLiteral("fin")});
        filas.agregaFila({QStringLiteral("corta")});
        if (ancho) filas.agregaFila({QStringLiteral("€")});
        filas.terminaCarga();
        for (int f = 0; f < largos.size(); ++f) {
            EXPECT_EQ(filas.celda(f, 1), largos[f].trimmed()) << ancho << f;
            EXPECT_EQ(filas.celda(f, 2), "fin") << ancho << f;
        }
        EXPECT_EQ(filas.celda(5, 0), "corta");
        EXPECT_EQ(filas.celda(5, 2), "");
        EXPECT_EQ(filas.busca(1, u"CON"), 4);
        EXPECT_EQ(filas.busca(2, u"fin"), 0);
    }
}

TEST(AnchosConsultaSemillas, GiveNumbersAndLeaveOtherTablesAlone) {
    const QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath("CONSULTASLEN.KVW");
    kl::properties::checkPrefixes("anchos_consulta", [&](const QByteArray& bytes) {
        return properties::checkAnchos(archivo, bytes);
    });
}

}  // namespace
}  // namespace kl::consulta
