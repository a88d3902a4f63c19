#include "embedded_db.h"

namespace kl::db::test {
namespace {

class Queries : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        connectTo(file_);
    }

    Value datos(const QString& tabla, const QString& valor, const QString& devuelto,
                const QString& campo, const Value& tipo, const QString& condicion = QString(),
                bool usaTrim = true) {
        Value t = tipo;
        return db().DatosTabla(tabla, valor, devuelto, campo, t, condicion, usaTrim, false);
    }
};

TEST_F(Queries, DatosTablaTextLookups) {
    EXPECT_EQ(datos("TA_CONDIVA", " 1 ", "DESCRIPCION", "codigo", 8).toString(),
              "Responsable Inscripto");
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1 * FROM TA_CONDIVA with(nolock)  WHERE LTRIM(RTRIM(codigo)) ='1' ");

    EXPECT_EQ(datos("CLIENTES", "Perez", "CODIGO", "NOMBRE", 8, QString(), false).toString(), "1");
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE NOMBRE ='Perez' ");

    EXPECT_EQ(datos("CLIENTES", "Perez", "CODIGO", "NOMBRE", 8, "CODIGO > 1", false).toString(),
              "");
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE NOMBRE ='Perez'  AND CODIGO > 1");

    // A condition of blanks adds nothing.
    datos("CLIENTES", "Perez", "CODIGO", "NOMBRE", 8, "   ", false);
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE NOMBRE ='Perez' ");
}

TEST_F(Queries, DatosTablaOtherTypes) {
    EXPECT_EQ(datos("CLIENTES", "2abc", "NOMBRE", "CODIGO", 3).toString(), "Gomez");
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE CODIGO = 2");
    EXPECT_EQ(datos("CLIENTES", "10.5", "NOMBRE", "SALDO", 5, "CODIGO = 1").toString(), "Perez");
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE SALDO = 10.5 AND CODIGO = 1");
    EXPECT_EQ(datos("CLIENTES", "x", "NOMBRE", "CODIGO", 4).toString(), "");
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE CODIGO = 0");

    EXPECT_EQ(datos("CLIENTES", "3", "NOMBRE", "CODIGO", 20).toString(), "Diaz");
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE CODIGO = 3");

    EXPECT_EQ(datos("CLIENTES", " 01/02/2024 ", "NOMBRE", "NOMBRE", 7).toString(), "");
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE NOMBRE = #01/02/2024# ");
}

TEST_F(Queries, DatosTablaQuoteTypeBecomesText) {
    Value tipo("'");
    EXPECT_EQ(db().DatosTabla("TA_CONDIVA", "6", "DESCRIPCION", "codigo", tipo, "", true, false)
                  .toString(),
              "Monotributo");
    EXPECT_EQ(tipo, Value(8));
}

TEST_F(Queries, DatosTablaGivesTextAndEmptyForNullOrNoRow) {
    EXPECT_EQ(datos("TA_USUARIOS", "SINDATO", "Administrador", "nombre", 8), Value(QString()));
    EXPECT_EQ(datos("TA_USUARIOS", "NADIE", "Administrador", "nombre", 8), Value(QString()));
    EXPECT_EQ(datos("CLIENTES", "1", "SALDO", "CODIGO", 3), Value("10.5"));
}

TEST_F(Queries, QuotesInsideValuesAreDoubled) {
    EXPECT_EQ(datos("CLIENTES", "O'Higgins", "NOMBRE", "LOCALIDAD", 8).toString(), "Perez");
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE LTRIM(RTRIM(LOCALIDAD)) "
              "='O''Higgins' ");
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "O'Higgins", "LOCALIDAD"));
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1  * FROM CLIENTES with(nolock)  WHERE LTRIM(RTRIM(LOCALIDAD)) "
              "='O''Higgins'");
    EXPECT_TRUE(db().ExisteEnTablaST("CLIENTES", "O'Higgins", "LOCALIDAD"));
    EXPECT_EQ(lastTraced(), "SELECT * FROM CLIENTES with(nolock)   WHERE LOCALIDAD ='O''Higgins'");
    // A value cannot end the literal and add its own SQL.
    EXPECT_FALSE(db().ExisteEnTabla("CLIENTES", "x' OR '1'='1", "NOMBRE"));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Queries, ExisteEnTablaStatements) {
    EXPECT_TRUE(db().ExisteEnTabla("TA_CONDIVA", " 6 ", "codigo"));
    EXPECT_EQ(lastTraced(),
              "SELECT TOP 1  * FROM TA_CONDIVA with(nolock)  WHERE LTRIM(RTRIM(codigo)) ='6'");
    EXPECT_FALSE(db().ExisteEnTabla("TA_CONDIVA", "9", "codigo"));

    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", " 2 ", "CODIGO", nullptr, 7));
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE CODIGO = 2 ");
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "3x", "CODIGO", nullptr, 3));
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE CODIGO = 3");
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "'Salta'", "LOCALIDAD", nullptr, 200));
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE LOCALIDAD = 'Salta'");
}

TEST_F(Queries, ExisteEnTablaConditionReplacesTheComparison) {
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "ignorado", "ignorado", nullptr, 8,
                                   " WHERE NOMBRE = 'Diaz'"));
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)   WHERE NOMBRE = 'Diaz'");
    EXPECT_FALSE(db().ExisteEnTabla("CLIENTES", "", "", nullptr, 8, "NOMBRE = 'Nadie'"));
    EXPECT_EQ(lastTraced(), "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE NOMBRE = 'Nadie'");
}

TEST_F(Queries, ExisteEnTablaLeavesTheGivenRecordsetOnTheRow) {
    ado::Recordset rs;
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "2", "CODIGO", &rs, 3));
    ASSERT_EQ(rs.State(), ado::adStateOpen);
    EXPECT_EQ(rs.value("NOMBRE").toString(), "Gomez");
    EXPECT_EQ(rs.CursorType(), ado::adOpenForwardOnly);
    EXPECT_EQ(rs.LockType(), ado::adLockReadOnly);

    // Not read-only: the recordset keeps its own cursor and lock.
    QString sql = "SELECT * FROM CLIENTES";
    db().AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "3", "CODIGO", &rs, 3, QString(), false));
    EXPECT_EQ(rs.CursorType(), ado::adOpenDynamic);
    EXPECT_EQ(rs.LockType(), ado::adLockOptimistic);
    EXPECT_EQ(rs.value("NOMBRE").toString(), "Diaz");

    EXPECT_FALSE(db().ExisteEnTabla("CLIENTES", "9", "CODIGO", &rs, 3));
    EXPECT_EQ(rs.State(), ado::adStateOpen);
}

TEST_F(Queries, ExisteEnTablaSTComparesUntrimmedOnEveryRow) {
    EXPECT_TRUE(db().ExisteEnTablaST("CLIENTES", " Tandil ", "LOCALIDAD"));
    EXPECT_EQ(lastTraced(), "SELECT * FROM CLIENTES with(nolock)   WHERE LOCALIDAD =' Tandil '");
    EXPECT_FALSE(db().ExisteEnTablaST("CLIENTES", "Tandil", "LOCALIDAD"));
    EXPECT_TRUE(db().ExisteEnTablaST("CLIENTES", " 1 ", "CODIGO", nullptr, 7));
    EXPECT_EQ(lastTraced(), "SELECT * FROM CLIENTES with(nolock)   WHERE CODIGO = 1 ");
    EXPECT_TRUE(db().ExisteEnTablaST("CLIENTES", "2", "CODIGO", nullptr, 5));
    EXPECT_EQ(lastTraced(), "SELECT * FROM CLIENTES with(nolock)   WHERE CODIGO = 2");
    EXPECT_TRUE(db().ExisteEnTablaST("CLIENTES", "", "", nullptr, 8, "CODIGO = 1"));
    EXPECT_EQ(lastTraced(), "SELECT * FROM CLIENTES with(nolock)   WHERE CODIGO = 1");
    EXPECT_TRUE(db().ExisteEnTablaST("CLIENTES", "", "", nullptr, 8, " WHERE CODIGO = 1"));
    EXPECT_EQ(lastTraced(), "SELECT * FROM CLIENTES with(nolock)    WHERE CODIGO = 1");
}

Value valueOf(const ValueOrError& result) {
    if (const auto* e = std::get_if<RunError>(&result)) {
        ADD_FAILURE() << e->description.toStdString();
        return Value();
    }
    return std::get<Value>(result);
}

TEST_F(Queries, BuscaMaximoMinimoUltimoCodigo) {
    EXPECT_EQ(valueOf(db().BuscaMaximo("CLIENTES", "CODIGO")).toDouble(), 3);
    EXPECT_EQ(lastTraced(), "SELECT MAX(CODIGO) AS MAYOR FROM CLIENTES");
    QString condicion = " CODIGO < 3 ";
    EXPECT_EQ(valueOf(db().BuscaMaximo("CLIENTES", "CODIGO", Value(), &condicion)).toDouble(), 2);
    EXPECT_EQ(lastTraced(), "SELECT MAX(CODIGO) AS MAYOR FROM CLIENTES WHERE CODIGO < 3");
    EXPECT_EQ(valueOf(db().BuscaMaximo("CLIENTES", "NOMBRE", 7)), Value("Perez"));
    EXPECT_EQ(valueOf(db().BuscaMaximo("CLIENTES", "NOMBRE")).toDouble(), 0);

    EXPECT_EQ(valueOf(db().BuscaMinimo("CLIENTES", "CODIGO")).toDouble(), 1);
    EXPECT_EQ(lastTraced(), "SELECT MIN(CODIGO) AS MENOR FROM CLIENTES  with(nolock) ");
    EXPECT_EQ(valueOf(db().BuscaMinimo("CLIENTES", "CODIGO", Value(), " CODIGO > 1")).toDouble(),
              2);
    EXPECT_EQ(lastTraced(),
              "SELECT MIN(CODIGO) AS MENOR FROM CLIENTES  with(nolock)  WHERE CODIGO > 1");

    EXPECT_EQ(valueOf(db().BuscaUltimoCodigo("CLIENTES", "CODIGO", 3, " CODIGO < 3")).toDouble(),
              2);
    EXPECT_EQ(lastTraced(), "SELECT MAX(CODIGO) AS MAYOR FROM CLIENTES WHERE  CODIGO < 3");
    EXPECT_EQ(valueOf(db().BuscaUltimoCodigo("CLIENTES", "CODIGO", 3, "  ")).toDouble(), 3);
    EXPECT_EQ(lastTraced(), "SELECT MAX(CODIGO) AS MAYOR FROM CLIENTES");
}

TEST_F(Queries, BuscaMaximoSkipsArticleCodesStartingWithZero) {
    QString condicion;
    EXPECT_EQ(valueOf(db().BuscaMaximo("V_MA_ARTICULOS", "IdArticulo", Value(), &condicion)),
              Value(5000.0));
    EXPECT_EQ(traced(), (QStringList{"SELECT MAX(IdArticulo) AS MAYOR FROM V_MA_ARTICULOS",
                                     "SELECT MAX(IdArticulo) AS MAYOR FROM V_MA_ARTICULOS WHERE "
                                     "substring(ltrim(idarticulo),1,1)<>'0'"}));
    EXPECT_EQ(condicion, " substring(ltrim(idarticulo),1,1)<>'0'");

    condicion = "idarticulo <> ' 5000'";
    EXPECT_EQ(valueOf(db().BuscaMaximo("v_ma_articulos", "IdArticulo", 7, &condicion)),
              Value(" 1234"));
    EXPECT_EQ(condicion, "idarticulo <> ' 5000' and substring(ltrim(idarticulo),1,1)<>'0'");
}

TEST_F(Queries, BuscaMaximoFailureReachesTheCaller) {
    const ValueOrError result = db().BuscaMaximo("NO_EXISTE", "X");
    ASSERT_TRUE(std::holds_alternative<RunError>(result));
    EXPECT_EQ(std::get<RunError>(result).number, ado::err::NoSuchTable);
    EXPECT_TRUE(std::holds_alternative<RunError>(db().BuscaMinimo("NO_EXISTE", "X")));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Queries, AbrirRecordsetHandsBackTheStatementAsRun) {
    ado::Recordset rs;
    QString sql = "SELECT NOMBRE FROM CLIENTES WHERE CODIGO = 2";
    db().AbrirRecordset(sql, rs);
    ASSERT_EQ(rs.State(), ado::adStateOpen);
    EXPECT_EQ(rs.value("NOMBRE").toString(), "Gomez");
    EXPECT_EQ(sql, "SELECT NOMBRE FROM CLIENTES WHERE CODIGO = 2");

    // An open recordset is closed and opened on the new statement.
    sql = "SELECT NOMBRE FROM CLIENTES WHERE CODIGO = 3";
    db().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.value("NOMBRE").toString(), "Diaz");
}

TEST_F(Queries, AbrirRecordsetWithAnotherConnectionKeepsIt) {
    const QString other = path("otra.db");
    writeSqlite(other, "CREATE TABLE X (A INT); INSERT INTO X VALUES (7);");
    auto connection = std::make_shared<ado::Connection>();
    ASSERT_FALSE(connection->Open(connectionString(other)));
    ado::Recordset rs;
    QString sql = "SELECT A FROM X";
    db().AbrirRecordset(sql, rs, connection);
    EXPECT_EQ(rs.value("A").toString(), "7");
    EXPECT_EQ(db().gCnn, connection);
}

TEST_F(Queries, CierraRecordsetClosesWhateverState) {
    ado::Recordset never;
    db().CierraRecordset(never);
    EXPECT_EQ(never.State(), ado::adStateClosed);

    ado::Recordset rs;
    QString sql = "SELECT * FROM CLIENTES";
    db().AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic);
    ASSERT_FALSE(rs.AddNew());
    ASSERT_FALSE(rs.setValue("CODIGO", Value(4)));
    db().CierraRecordset(rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    EXPECT_FALSE(db().ExisteEnTabla("CLIENTES", "4", "CODIGO", nullptr, 3));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(Queries, EjecutaConsultaSQLRemovesTheAdministratorMarker) {
    QString sql = "UPDATE @admin_CLIENTES SET SALDO = 0 WHERE CODIGO < 3";
    long affected = 0;
    db().EjecutaConsultaSQL(sql, affected);
    EXPECT_EQ(sql, "UPDATE CLIENTES SET SALDO = 0 WHERE CODIGO < 3");
    EXPECT_EQ(lastTraced(), sql);
    EXPECT_EQ(affected, 2);
    EXPECT_TRUE(db().gCnn->errors().empty());

    std::unique_ptr<ado::Recordset> rows;
    sql = "SELECT NOMBRE FROM @Admin_CLIENTES ORDER BY CODIGO DESC";
    db().EjecutaConsultaSQL(sql, affected, &rows);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->value("NOMBRE").toString(), "Diaz");

    sql = "INSERT INTO CLIENTES (CODIGO) VALUES (8)";
    db().EjecutaConsultaRSQL(sql, affected);
    EXPECT_EQ(affected, 1);
    EXPECT_TRUE(db().ExisteEnTabla("CLIENTES", "8", "CODIGO", nullptr, 3));
}

TEST_F(Queries, WithoutLookupWindowsInstalledNothingIsChosen) {
    double rsp = 0;
    QString codigo = "CODIGO", nombre = "NOMBRE", display = "NOMBRE", uno = "1", dos = "2";
    db().QConsulta("CLIENTES", rsp, codigo, nombre, display);
    EXPECT_FALSE(db().QGridConsulta("SELECT * FROM CLIENTES", uno, db().gConnString, &dos));
    EXPECT_EQ(rsp, 0);
    EXPECT_EQ(codigo + uno + dos, "CODIGO12");
    EXPECT_TRUE(boxes_.shown().empty());
}

}  // namespace
}  // namespace kl::db::test
