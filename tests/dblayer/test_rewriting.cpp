#include "dblayer/restricted_views.h"
#include "embedded_db.h"
#include "fuzz/rewriting_properties.h"
#include "platform/error_numbers.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>

#include <utility>
#include <vector>

namespace kl::db::test {
namespace {

// ------------------------------------------------------- restricted views

const StatementReader kOperator{false, true, QStringLiteral("klconfig")};

struct Redirected {
    const char* table;
    const char* view;
};

const Redirected kEveryTable[] = {
    {"MA_CUENTAS", "SS_MA_CUENTAS"},
    {"V_TA_DEPOSITO", "SS_V_TA_DEPOSITO"},
    {"MV_ASIENTOS", "SS_MV_ASIENTOS"},
    {"V_TA_FAMILIAS", "SS_V_TA_FAMILIAS"},
    {"V_TA_CAJAS", "SS_V_TA_CAJAS"},
    {"AC_CUENTASDIARIO", "SS_AC_CUENTASDIARIO"},
    {"AC_CUENTASDIARIO_CCOSTO", "SS_AC_CUENTAS_DIARIO_CCOSTO"},
};

TEST(RestrictedViews, EveryTableWhereverItStands) {
    // Before and after the name: the classic five forms, then the last
    // word, brackets, a schema, a subquery, a list, a join over lines,
    // double quotes, an ODBC escape, blanks inside brackets, a database.
    const std::pair<const char*, const char*> forms[] = {
        {" ", " Z"},       {"(", " Z"},   {" ", ".Z"},     {"(", ".Z"},
        {",", ".Z"},       {" ", ""},     {" [", "] Z"},   {" dbo.", " Z"},
        {" [dbo].[", "]"}, {" (", ")"},   {",", " Z"},     {" JOIN\n", "\tZ"},
        {" \"", "\" Z"},   {" {", ".X}"}, {" [", "  ] Z"}, {" x.dbo.", ",Z"}};
    for (const Redirected& r : kEveryTable) {
        for (const auto& [before, after] : forms) {
            const QString written = QString("SELECT X FROM Y") + before + r.table + after;
            EXPECT_EQ(withRestrictedViews(written, kOperator).toStdString(),
                      (QString("SELECT X FROM Y") + before + r.view + after).toStdString());
        }
    }
}

TEST(RestrictedViews, StatementsAsTheProgramWritesThem) {
    const std::pair<const char*, const char*> statements[] = {
        {"SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS",
         "SELECT CODIGO, DESCRIPCION FROM SS_MA_CUENTAS"},
        {"select top 1 * from V_TA_Cajas", "select top 1 * from SS_V_TA_CAJAS"},
        {"MA_CUENTAS WHERE X=1", "SS_MA_CUENTAS WHERE X=1"},
        {"SELECT IdFamilia, (SELECT TOP 1 idfamilia FROM @Admin_v_ta_familias a ORDER BY 1) AS "
         "[relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>''",
         "SELECT IdFamilia, (SELECT TOP 1 idfamilia FROM v_ta_familias a ORDER BY 1) AS "
         "[relative] FROM dbo.SS_V_TA_FAMILIAS b Where IdFamilia<>''"},
        {"SELECT * FROM T WHERE CUENTA IN (SELECT CODIGO FROM MA_CUENTAS)",
         "SELECT * FROM T WHERE CUENTA IN (SELECT CODIGO FROM SS_MA_CUENTAS)"},
        {"SELECT A.* FROM MV_ASIENTOS A INNER JOIN MA_CUENTAS ON A.CUENTA=MA_CUENTAS.CODIGO",
         "SELECT A.* FROM SS_MV_ASIENTOS A INNER JOIN SS_MA_CUENTAS ON "
         "A.CUENTA=SS_MA_CUENTAS.CODIGO"},
        {"SELECT COUNT(*) FROM MA_CUENTAS MA_CUENTAS WHERE X=1",
         "SELECT COUNT(*) FROM SS_MA_CUENTAS SS_MA_CUENTAS WHERE X=1"},
        {"SELECT 1 FROM AC_CUENTASDIARIO_CCOSTO ,AC_CUENTASDIARIO.X",
         "SELECT 1 FROM SS_AC_CUENTAS_DIARIO_CCOSTO ,SS_AC_CUENTASDIARIO.X"},
    };
    for (const auto& [written, sent] : statements)
        EXPECT_EQ(withRestrictedViews(written, kOperator), sent) << written;
}

TEST(RestrictedViews, ValuesCommentsAndOtherNamesStayAsWritten) {
    for (const char* statement : {
             "SELECT * FROM XMA_CUENTAS WHERE X=1",
             "SELECT * FROM MA_CUENTAS_HIST",
             "SELECT * FROM MA_CUENTASADIC",
             "SELECT * FROM SS_MA_CUENTAS",
             "SELECT @MA_CUENTAS, #MA_CUENTAS FROM T",
             "SELECT * FROM [MA_CUENTAS X]",
             "SELECT * FROM [ MA_CUENTAS]",
             "INSERT INTO H (TABLA, TEXTO) VALUES ('MA_CUENTAS', ' FROM MV_ASIENTOS ')",
             "SELECT 'it''s (MA_CUENTAS)' FROM T",
             "SELECT 1 FROM T -- MA_CUENTAS",
             "SELECT /* MA_CUENTAS /* V_TA_CAJAS */ MV_ASIENTOS */ 1 FROM T",
         }) {
        EXPECT_EQ(withRestrictedViews(statement, kOperator), statement);
    }
}

TEST(RestrictedViews, QuotesAreReadAsTheServerReadsThem) {
    // A quote inside brackets, a comment or a doubled quote opens no literal,
    // so the table after it is redirected; an unclosed literal is refused by
    // the server whole.
    const std::pair<const char*, const char*> statements[] = {
        {"SELECT [it's] FROM MA_CUENTAS", "SELECT [it's] FROM SS_MA_CUENTAS"},
        {"SELECT \"it's\" FROM MA_CUENTAS", "SELECT \"it's\" FROM SS_MA_CUENTAS"},
        {"-- it's\nSELECT * FROM MA_CUENTAS", "-- it's\nSELECT * FROM SS_MA_CUENTAS"},
        {"/* /* */ ' */ SELECT * FROM MA_CUENTAS WHERE '' = ''",
         "/* /* */ ' */ SELECT * FROM SS_MA_CUENTAS WHERE '' = ''"},
        {"SELECT 'O''Brien', [a]]b] FROM MA_CUENTAS",
         "SELECT 'O''Brien', [a]]b] FROM SS_MA_CUENTAS"},
        {"SELECT * FROM MA_CUENTAS WHERE X = 'a", "SELECT * FROM SS_MA_CUENTAS WHERE X = 'a"},
    };
    for (const auto& [written, sent] : statements)
        EXPECT_EQ(withRestrictedViews(written, kOperator), sent) << written;
}

TEST(RestrictedViews, NamesInAnyCaseBecomeTheView) {
    EXPECT_EQ(withRestrictedViews("select * from ma_cuentas where x=1", kOperator),
              "select * from SS_MA_CUENTAS where x=1");
    EXPECT_EQ(withRestrictedViews("SELECT * FROM V_TA_Cajas WHERE A=1", kOperator),
              "SELECT * FROM SS_V_TA_CAJAS WHERE A=1");
}

TEST(RestrictedViews, TheMarkerMeansTheFullTable) {
    EXPECT_EQ(withRestrictedViews("SELECT * FROM MA_CUENTAS WHERE X=1", kOperator),
              "SELECT * FROM SS_MA_CUENTAS WHERE X=1");
    EXPECT_EQ(withRestrictedViews("SELECT * FROM @Admin_MA_CUENTAS WHERE X=1", kOperator),
              "SELECT * FROM MA_CUENTAS WHERE X=1");
    EXPECT_EQ(withRestrictedViews("SELECT * FROM @ADMIN_V_TA_CAJAS C, V_TA_CAJAS D", kOperator),
              "SELECT * FROM V_TA_CAJAS C, SS_V_TA_CAJAS D");
    EXPECT_EQ(withRestrictedViews("DELETE FROM @admin_AC_CUENTASDIARIO WHERE 1=1", kOperator),
              "DELETE FROM AC_CUENTASDIARIO WHERE 1=1");
    // Removing one marker must not leave another one behind.
    EXPECT_EQ(withRestrictedViews("SELECT * FROM @Adm@Admin_in_T", kOperator), "SELECT * FROM T");
}

TEST(RestrictedViews, AdministratorsOnlyLoseTheMarkers) {
    const StatementReader admin{true, true, QStringLiteral("klconfig")};
    EXPECT_EQ(withRestrictedViews("INSERT INTO @Admin_V_TA_Cajas (IDCAJAS) VALUES('1')", admin),
              "INSERT INTO V_TA_Cajas (IDCAJAS) VALUES('1')");
    EXPECT_EQ(withRestrictedViews("SELECT * FROM MA_CUENTAS WHERE X=1", admin),
              "SELECT * FROM MA_CUENTAS WHERE X=1");
}

TEST(RestrictedViews, WithConfidentialityOffJournalStatementsReachEveryFullTable) {
    const StatementReader open{false, false, QStringLiteral("klconfig")};
    EXPECT_EQ(
        withRestrictedViews("SELECT * FROM MV_ASIENTOS A, @Admin_V_TA_CAJAS K WHERE A.CUENTA IN "
                            "(SELECT CODIGO FROM MA_CUENTAS WHERE X=1)",
                            open),
        "SELECT * FROM MV_ASIENTOS A, V_TA_CAJAS K WHERE A.CUENTA IN "
        "(SELECT CODIGO FROM MA_CUENTAS WHERE X=1)");
    // Without the journal in it, the statement is redirected as always.
    EXPECT_EQ(withRestrictedViews("SELECT * FROM MA_CUENTAS WHERE X=1", open),
              "SELECT * FROM SS_MA_CUENTAS WHERE X=1");
    // With confidentiality on, the journal has its view too.
    EXPECT_EQ(withRestrictedViews("SELECT * FROM MV_ASIENTOS WHERE X=1", kOperator),
              "SELECT * FROM SS_MV_ASIENTOS WHERE X=1");
}

TEST(RestrictedViews, SomeProgramsReadTheFullViews) {
    const QString statement = "SELECT * FROM V_TA_DEPOSITO D, V_TA_FAMILIAS F, V_TA_CAJAS C";
    auto as = [&](const char* program) {
        return withRestrictedViews(statement, {false, true, QString::fromUtf8(program)});
    };
    EXPECT_EQ(as("V_CONS_KARDEX"),
              "SELECT * FROM V_TA_DEPOSITO D, SS_V_TA_FAMILIAS F, SS_V_TA_CAJAS C");
    EXPECT_EQ(as("rp_existencias"),
              "SELECT * FROM V_TA_DEPOSITO D, SS_V_TA_FAMILIAS F, SS_V_TA_CAJAS C");
    EXPECT_EQ(as("KVTRANS"), "SELECT * FROM SS_V_TA_DEPOSITO D, V_TA_FAMILIAS F, SS_V_TA_CAJAS C");
    EXPECT_EQ(as("Qbx"), "SELECT * FROM SS_V_TA_DEPOSITO D, V_TA_FAMILIAS F, SS_V_TA_CAJAS C");
    EXPECT_EQ(as("klconfig"),
              "SELECT * FROM SS_V_TA_DEPOSITO D, SS_V_TA_FAMILIAS F, SS_V_TA_CAJAS C");
}

// The layer's own rule: its administrator flag, the session's switch and
// this program's name (not one of the exempted programs).
class LayerRewriting : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        writeSqlite(file_, R"sql(
CREATE TABLE MA_CUENTAS (CODIGO VARCHAR(10), DESCRIPCION VARCHAR(40), CONFIDENCIAL INT);
INSERT INTO MA_CUENTAS VALUES ('1', 'Caja', 0), ('2', 'Honorarios directorio', 1);
CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS WHERE CONFIDENCIAL = 0;
CREATE TABLE MV_ASIENTOS (ASIENTO INT, CUENTA VARCHAR(10), IMPORTE FLOAT);
INSERT INTO MV_ASIENTOS VALUES (1, '1', 100), (2, '2', 500);
CREATE VIEW SS_MV_ASIENTOS AS SELECT * FROM MV_ASIENTOS WHERE CUENTA <> '2';
)sql");
    }

    void connectAs(const char* user, bool confidencialidad) {
        installSessionLink({[u = QString::fromUtf8(user)] { return u; },
                            [confidencialidad] { return confidencialidad; }});
        connectTo(file_);
    }

    QString first(QString sql) {
        ado::Recordset rs;
        db().AbrirRecordset(sql, rs);
        ran_ = sql;
        return rs.State() == ado::adStateOpen && !rs.EOF() ? rs.value(0).toString() : "-";
    }

    QString ran_;
};

TEST_F(LayerRewriting, AnOperatorReadsTheRestrictedViews) {
    connectAs("OPERADOR", true);
    ASSERT_FALSE(db().gEsAdmin);
    EXPECT_EQ(first("SELECT COUNT(*) FROM MA_CUENTAS WHERE 1 = 1"), "1");
    EXPECT_EQ(ran_, "SELECT COUNT(*) FROM SS_MA_CUENTAS WHERE 1 = 1");
    EXPECT_EQ(lastTraced(), ran_);
    EXPECT_EQ(first("SELECT SUM(IMPORTE) FROM MV_ASIENTOS WHERE 1 = 1"), "100");
    EXPECT_EQ(first("SELECT COUNT(*) FROM @Admin_MA_CUENTAS WHERE 1 = 1"), "2");
    EXPECT_EQ(ran_, "SELECT COUNT(*) FROM MA_CUENTAS WHERE 1 = 1");
    EXPECT_FALSE(db().ExisteEnTabla("MA_CUENTAS", "2", "CODIGO"));
    EXPECT_TRUE(db().ExisteEnTabla("MA_CUENTAS", "1", "CODIGO"));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(LayerRewriting, WithConfidentialityOffTheJournalIsOpen) {
    connectAs("OPERADOR", false);
    EXPECT_EQ(first("SELECT SUM(IMPORTE) FROM MV_ASIENTOS WHERE 1 = 1"), "600");
    EXPECT_EQ(first("SELECT COUNT(*) FROM MV_ASIENTOS A, MA_CUENTAS C WHERE A.CUENTA = C.CODIGO"),
              "2");
    EXPECT_EQ(first("SELECT COUNT(*) FROM MA_CUENTAS WHERE 1 = 1"), "1");
}

TEST_F(LayerRewriting, AnAdministratorReadsTheFullTables) {
    connectAs("ADMIN", true);
    ASSERT_TRUE(db().gEsAdmin);
    EXPECT_EQ(first("SELECT COUNT(*) FROM MA_CUENTAS WHERE 1 = 1"), "2");
    EXPECT_EQ(first("SELECT SUM(IMPORTE) FROM @admin_MV_ASIENTOS WHERE 1 = 1"), "600");
    EXPECT_EQ(ran_, "SELECT SUM(IMPORTE) FROM MV_ASIENTOS WHERE 1 = 1");
    EXPECT_EQ(db().SS_TSinonimos("SELECT * FROM @ADMIN_MA_CUENTAS"), "SELECT * FROM MA_CUENTAS");
}

// ------------------------------------------------------------ ORACLE_Dicc

class OracleDicc : public testing::Test {
  protected:
    OracleDicc() { layer_.gConnString = "Provider=OraOLEDB.Oracle.1;Data Source=CONTA;"; }

    QString translated(const QString& valor) {
        QString out = "(sin traducir)";
        const StepResult failure = layer_.ORACLE_Dicc(valor, out);
        EXPECT_FALSE(failure) << valor.toStdString() << ": "
                              << (failure ? failure->description.toStdString() : "");
        return out;
    }

    void expectRefused(const QString& valor) {
        QString out = "(sin traducir)";
        const StepResult failure = layer_.ORACLE_Dicc(valor, out);
        ASSERT_TRUE(failure) << valor.toStdString();
        EXPECT_EQ(failure->number, ado::err::InvalidArgument);
        EXPECT_FALSE(failure->description.isEmpty());
        EXPECT_EQ(out, "(sin traducir)");
    }

    DB_Dll layer_;
};

TEST_F(OracleDicc, TheWorkedExamples) {
    EXPECT_EQ(translated("SELECT TOP 1 * FROM MA_CUENTAS WHERE CODIGO = '1' ORDER BY CODIGO"),
              "SELECT  * FROM MA_CUENTAS WHERE CODIGO = '1'    AND ROWNUM <= 1  ORDER BY CODIGO");
    EXPECT_EQ(translated("SELECT TOP 5 CODIGO FROM MA_CUENTAS"),
              "SELECT  CODIGO FROM MA_CUENTAS  WHERE ROWNUM <= 5  ");
    EXPECT_EQ(translated("SELECT [NOMBRE] FROM TA_USUARIOS WHERE LEN (NOMBRE) > 0 AND CLAVE = ''"),
              "SELECT \"NOMBRE\" FROM TA_USUARIOS WHERE LENGTH(NOMBRE) > 0 AND CLAVE  IS NULL ");
    EXPECT_EQ(translated("SELECT ISNULL(SUM(IMPORTE),0) FROM MV_ASIENTOS WHERE "
                         "CONVERT(NVARCHAR, FECHA, 103) = '01/02/2024'"),
              "SELECT NVL(SUM(IMPORTE),0) FROM MV_ASIENTOS WHERE TO_CHAR( FECHA, 'DD/MM/YYYY') = "
              "TO_DATE('01/02/2024','DD/MM/YYYY')");
}

TEST_F(OracleDicc, OnlyAnOracleConnectionTranslates) {
    layer_.gConnString = "PROVIDER=SQLOLEDB;Server=SRV01;Database =CONTAB;UId=sa;Pwd=;";
    for (const char* valor :
         {"SELECT TOP 5 CODIGO FROM MA_CUENTAS", "len", "SELECT TOP ", "SELECT 'x FROM T"}) {
        EXPECT_EQ(translated(valor), valor);
    }
    layer_.gConnString = "provider=oraoledb.oracle.1;data source=x;";
    EXPECT_EQ(translated("SELECT [A] FROM T"), "SELECT \"A\" FROM T");
}

TEST_F(OracleDicc, SingleWordsOnlyChangeForLen) {
    EXPECT_EQ(translated("len"), "LENGTH");
    EXPECT_EQ(translated("Len"), "LENGTH");
    EXPECT_EQ(translated("CODIGO"), "CODIGO");
    EXPECT_EQ(translated("[CODIGO]"), "[CODIGO]");
    EXPECT_EQ(translated(" len "), " len ");
    EXPECT_EQ(translated(""), "");
}

TEST_F(OracleDicc, RowLimits) {
    EXPECT_EQ(translated("SELECT TOP 3 CUENTA, SUM(IMPORTE) FROM MV_ASIENTOS WHERE X = 1 "
                         "GROUP BY CUENTA ORDER BY CUENTA"),
              "SELECT  CUENTA, SUM(IMPORTE) FROM MV_ASIENTOS WHERE X = 1    AND ROWNUM <= 3  "
              "GROUP BY CUENTA ORDER BY CUENTA ");
    EXPECT_EQ(translated("select top 2 * from t"), "select  * from t  WHERE ROWNUM <= 2  ");
    EXPECT_EQ(translated("SELECT TOP 2 A FROM T ORDER BY A"),
              "SELECT  A FROM T    WHERE ROWNUM <= 2  ORDER BY A");
}

TEST_F(OracleDicc, LenWithUpToFourBlanks) {
    EXPECT_EQ(translated("SELECT * FROM T WHERE LEN(A) > 0 OR LEN    (B) > 0 OR xLEN(C) > 0"),
              "SELECT * FROM T WHERE LENGTH(A) > 0 OR LENGTH(B) > 0 OR xLEN(C) > 0");
    EXPECT_EQ(translated("SELECT * FROM T WHERE LEN     (A) > 0"),
              "SELECT * FROM T WHERE LEN     (A) > 0");
}

TEST_F(OracleDicc, DateLiteralsAreWrappedOnce) {
    EXPECT_EQ(translated("SELECT * FROM E WHERE A = '01/02/2024' OR B = '01/02/2024'"),
              "SELECT * FROM E WHERE A = TO_DATE('01/02/2024','DD/MM/YYYY') OR "
              "B = TO_DATE('01/02/2024','DD/MM/YYYY')");
    // Two spellings of the same day.
    EXPECT_EQ(translated("SELECT * FROM E WHERE D >= '1/2/2024' AND H <= '01/02/2024' OR "
                         "D = '1/2/2024'"),
              "SELECT * FROM E WHERE D >= TO_DATE('01/02/2024','DD/MM/YYYY') AND "
              "H <= TO_DATE('01/02/2024','DD/MM/YYYY') OR D = TO_DATE('01/02/2024','DD/MM/YYYY')");
    EXPECT_EQ(translated("SELECT * FROM E WHERE D = '2024-02-01'"),
              "SELECT * FROM E WHERE D = TO_DATE('01/02/2024','DD/MM/YYYY')");
    // A time of day stays: the range's last day keeps its rows.
    EXPECT_EQ(translated("SELECT * FROM E WHERE F >= '01/12/2024' AND F <= '31/12/2024 23:59:59' "
                         "OR G = '1/2/2024 10:05' OR H = '01/02/2024 10:05:00' OR I = '31/12/2024 "
                         "00:00:00'"),
              "SELECT * FROM E WHERE F >= TO_DATE('01/12/2024','DD/MM/YYYY') AND F <= "
              "TO_DATE('31/12/2024 23:59:59','DD/MM/YYYY HH24:MI:SS') OR G = TO_DATE('01/02/2024 "
              "10:05:00','DD/MM/YYYY HH24:MI:SS') OR H = TO_DATE('01/02/2024 "
              "10:05:00','DD/MM/YYYY HH24:MI:SS') OR I = TO_DATE('31/12/2024','DD/MM/YYYY')");
    EXPECT_EQ(translated("SELECT * FROM E WHERE A = 'ABC' AND B = '1' AND C = '1/2'"),
              "SELECT * FROM E WHERE A = 'ABC' AND B = '1' AND C = '1/2'");
}

TEST_F(OracleDicc, FunctionsAndConversions) {
    EXPECT_EQ(translated("SELECT SUBSTRING(CODIGO,1,2), charindex('.', CODIGO), "
                         "CONVERT(INT, NIVEL), isnull(X,0) FROM MA_CUENTAS"),
              "SELECT SUBSTR(CODIGO,1,2), InStr('.', CODIGO), TO_NUMBER( NIVEL), NVL(X,0) "
              "FROM MA_CUENTAS");
}

TEST_F(OracleDicc, EmptyTextsAreNullOnlyInTheConditions) {
    EXPECT_EQ(translated("UPDATE T SET A = '' WHERE B='' AND C = ''"),
              "UPDATE T SET A = '' WHERE B IS NULL  AND C  IS NULL ");
    EXPECT_EQ(translated("UPDATE T SET A = ''"), "UPDATE T SET A = ''");
}

TEST_F(OracleDicc, Style103OnlyAsAnArgumentOfTheConversion) {
    EXPECT_EQ(translated("SELECT CONVERT(NVARCHAR, ISNULL(FECHA, GETDATE()), 103) FROM T"),
              "SELECT TO_CHAR( NVL(FECHA, GETDATE()), 'DD/MM/YYYY') FROM T");
    // A 103 after the conversion is a number.
    EXPECT_EQ(
        translated("SELECT convert(nvarchar, FECHA, 103) FROM MV_ASIENTOS WHERE ASIENTO = 103"),
        "SELECT TO_CHAR( FECHA, 'DD/MM/YYYY') FROM MV_ASIENTOS WHERE ASIENTO = 103");
    EXPECT_EQ(translated("SELECT CONVERT(VARCHAR, FECHA, 103) FROM T"),
              "SELECT CONVERT(VARCHAR, FECHA, 103) FROM T");
}

TEST_F(OracleDicc, TextItCannotCutIsRefused) {
    expectRefused("SELECT TOP ");
    expectRefused("SELECT TOP 5");
    expectRefused("SELECT TOP 5 ");
    expectRefused("SELECT * FROM T WHERE A = 'x");
    expectRefused("SELECT * FROM T WHERE A = 'O''Higgins' OR B = '");
}

// ------------------------------------------------------- Oracle batches

// An embedded database whose connection string names ORACLE: the layer
// then runs its scripts statement by statement, as on an Oracle server.
class OracleBatch : public EmbeddedDbTest {
  protected:
    void SetUp() override {
        EmbeddedDbTest::SetUp();
        oracleFile_ = path("ORACLE.db");
        writeSqlite(oracleFile_, R"sql(
CREATE TABLE A (X INT);
CREATE TABLE B (Y INT);
INSERT INTO B VALUES (0);
CREATE TABLE T (V INT);
)sql");
        db().gServidor = "sqlite";
        db().gDBName = oracleFile_;
        db().gUsuario = "sa";
        db().OpenServerADODB(false, ado::adUseClient, QString(), false, true);
        ASSERT_TRUE(db().gOpenFlag);
        ASSERT_TRUE(db().gCnn->ConnectionString().contains("ORACLE"));
        traced();
    }

    long run(QString& script, long affected = 0) {
        db().EjecutaConsultaSQL(script, affected);
        return affected;
    }

    QString column(const QString& sql) {
        std::unique_ptr<ado::Recordset> rows;
        EXPECT_FALSE(db().gCnn->Execute(sql, nullptr, &rows));
        QStringList values;
        for (; rows && !rows->EOF(); rows->MoveNext()) values << rows->value(0).toString();
        return values.join(',');
    }

    QString oracleFile_;
};

TEST_F(OracleBatch, TheWorkedScriptRunsInOneTransaction) {
    QString script =
        "BEGIN TRANSACTION\r\nINSERT INTO A (X) VALUES (1)\r\nGO\r\nUPDATE B SET Y = 2\r\n"
        "COMMIT TRANSACTION";
    QString prepared = script;
    oracle::prepareScript(prepared);
    EXPECT_EQ(prepared, "SET TRANSACTION INSERT INTO A (X) VALUES (1) UPDATE B SET Y = 2 COMMIT");

    EXPECT_EQ(run(script), 2);
    EXPECT_EQ(traced(), QStringList({"INSERT INTO A (X) VALUES (1)", "UPDATE B SET Y = 2"}));
    EXPECT_EQ(script, "");
    EXPECT_TRUE(db().gCnn->errors().empty());
    EXPECT_EQ(column("SELECT X FROM A"), "1");
    EXPECT_EQ(column("SELECT Y FROM B"), "2");
    // Committed: no transaction is left open.
    EXPECT_TRUE(db().gCnn->CommitTrans());
}

TEST_F(OracleBatch, ARolledBackScriptLeavesNothing) {
    QString script = "BEGIN TRANS\r\nINSERT INTO A (X) VALUES (5)\r\nROLLBACK TRANSACTION";
    run(script);
    EXPECT_EQ(column("SELECT COUNT(*) FROM A"), "0");
}

TEST_F(OracleBatch, ScriptsWithLineFeedsAlone) {
    QString script = "BEGIN TRANS\nINSERT INTO A (X) VALUES (4)\nCOMMIT TRANS\n";
    run(script);
    EXPECT_EQ(traced(), QStringList({"INSERT INTO A (X) VALUES (4)"}));
    EXPECT_EQ(column("SELECT X FROM A"), "4");
    EXPECT_TRUE(db().gCnn->CommitTrans());
}

TEST_F(OracleBatch, FilteredStatementsDoNotRun) {
    QString script = "SET NOCOUNT ON\r\nIF NOT EXISTS (SELECT * FROM T) INSERT INTO T VALUES (1)";
    run(script);
    EXPECT_EQ(traced(), QStringList({"INSERT INTO T VALUES (1)"}));
    EXPECT_EQ(column("SELECT V FROM T"), "1");
    traced();

    // Any statement naming SET NOCOUNT is dropped whole.
    script = "set nocount off\r\nDELETE FROM T WHERE V = 1\r\nUPDATE B SET NOCOUNT = 1";
    run(script);
    EXPECT_EQ(traced(), QStringList({"DELETE FROM T WHERE V = 1"}));
}

TEST_F(OracleBatch, TextBeforeTheFirstKeywordNeverRuns) {
    QString script = "SELECT 1 FROM DUAL";
    EXPECT_EQ(run(script, 7), 7);
    EXPECT_TRUE(traced().isEmpty());
    script = "EXEC kv_Proceso 1 INSERT INTO A (X) VALUES (8)";
    run(script);
    EXPECT_EQ(traced(), QStringList({"INSERT INTO A (X) VALUES (8)"}));
}

TEST_F(OracleBatch, StatementsFollowingEachOtherAreCutAtTheirKeywords) {
    QString fill =
        "INSERT INTO A (X) VALUES (1) insert into A (X) values (2) INSERT INTO A (X) "
        "VALUES (1)";
    EXPECT_EQ(run(fill), 3);
    traced();
    QString script = "DELETE FROM A WHERE X = 1 DELETE FROM B";
    EXPECT_EQ(run(script, 10), 13);
    EXPECT_EQ(traced(), QStringList({"DELETE FROM A WHERE X = 1", "DELETE FROM B"}));
}

TEST_F(OracleBatch, StatementsAreTranslatedOnTheirWay) {
    QString script = "INSERT INTO A ([X]) VALUES (6)";
    run(script);
    EXPECT_EQ(traced(), QStringList({"INSERT INTO A (\"X\") VALUES (6)"}));
    EXPECT_EQ(column("SELECT X FROM A"), "6");
}

TEST_F(OracleBatch, AFailingStatementEndsTheScript) {
    QString script =
        "INSERT INTO A (X) VALUES (1) INSERT INTO NOPE VALUES (1) INSERT INTO A (X) "
        "VALUES (3)";
    run(script);
    EXPECT_FALSE(db().gCnn->errors().empty());
    EXPECT_EQ(column("SELECT X FROM A"), "1");
    EXPECT_EQ(script, "INSERT INTO NOPE VALUES (1) INSERT INTO A (X) VALUES (3)");
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(OracleBatch, AFailureInsideATransactionLeavesItOpen) {
    QString script =
        "BEGIN TRANSACTION INSERT INTO A (X) VALUES (7) INSERT INTO NOPE VALUES (1) "
        "COMMIT TRANSACTION";
    run(script);
    EXPECT_FALSE(db().gCnn->CommitTrans());
    EXPECT_EQ(column("SELECT X FROM A"), "7");
}

TEST_F(OracleBatch, KeywordsAreFoundInsideLiteralsToo) {
    // COMMITTED holds COMMIT: the first statement loses its closing quote
    // and cannot be translated, so nothing runs.
    QString script = "UPDATE B SET Y = 1 WHERE 'x' <> 'COMMITTED'";
    run(script);
    EXPECT_TRUE(traced().isEmpty());
    EXPECT_EQ(column("SELECT Y FROM B"), "0");
}

TEST_F(OracleBatch, TheNoRowsWarningAloneIsCleared) {
    auto warning = [](long number) {
        ado::Error e;
        e.Number = number;
        e.Description = "aviso";
        return e;
    };
    QString script = "SELECT 1 FROM DUAL";
    db().gCnn->errors().add(warning(265929));
    run(script);
    EXPECT_TRUE(db().gCnn->errors().empty());

    db().gCnn->errors().add(warning(265929));
    db().gCnn->errors().add(warning(265929));
    script = "SELECT 1 FROM DUAL";
    run(script);
    EXPECT_EQ(db().gCnn->errors().Count(), 2);

    db().gCnn->errors().Clear();
    db().gCnn->errors().add(warning(265930));
    script = "SELECT 1 FROM DUAL";
    run(script);
    EXPECT_EQ(db().gCnn->errors().Count(), 1);
}

TEST_F(OracleBatch, RecordsetsAreTranslatedAndUncutTextIsReported) {
    ado::Recordset rs;
    QString sql = "SELECT [X] FROM A WHERE SUBSTRING('ab', 1, 1) = 'a'";
    db().AbrirRecordset(sql, rs);
    EXPECT_EQ(sql, "SELECT \"X\" FROM A WHERE SUBSTR('ab', 1, 1) = 'a'");
    EXPECT_EQ(rs.State(), ado::adStateOpen);

    sql = "SELECT TOP 5";
    boxes_.answer(answer::Abort);
    db().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.startsWith("Ha ocurrido el Siguiente Error (5) "));
}

// -------------------------------------------------------------- robustness

// The fuzzers' seeds, each cut short and with a character inserted or
// replaced at every position, checked for the promises the fuzzers check.
std::vector<QString> seedsOf(const char* corpus) {
    const QDir dir(QStringLiteral(KL_SOURCE_DIR "/tests/fuzz/corpus/") + corpus);
    std::vector<QString> seeds;
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly)) seeds.push_back(QString::fromUtf8(file.readAll()));
    }
    return seeds;
}

template <typename Check>
void checkVariants(const char* corpus, QStringView inserted, const Check& check) {
    const std::vector<QString> seeds = seedsOf(corpus);
    ASSERT_GE(seeds.size(), 7u) << corpus;
    int checked = 0;
    auto expectSound = [&](const QString& text) {
        ++checked;
        const QString broken = check(text);
        EXPECT_TRUE(broken.isEmpty()) << text.toStdString() << "\n" << broken.toStdString();
    };
    for (const QString& seed : seeds) {
        expectSound(seed + u' ' + seed);
        for (qsizetype i = 0; i <= seed.size(); ++i) {
            expectSound(seed.left(i));
            for (QChar c : inserted) {
                expectSound(QString(seed).insert(i, c));
                if (i < seed.size()) expectSound(QString(seed).replace(i, 1, c));
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(RewritingRobustness, RestrictedViewsOfTheSeedsAndTheirVariants) {
    checkVariants("restricted_views", u" (.,{@_'[]\"-*/", [](const QString& text) {
        for (const StatementReader& reader : properties::readers()) {
            const QString broken = properties::restrictedViewsViolation(text, reader);
            if (!broken.isEmpty()) return broken;
        }
        return QString();
    });
}

TEST(RewritingRobustness, OracleTranslationOfTheSeedsAndTheirVariants) {
    checkVariants("oracle_translation", u"' [](", properties::translationViolation);
}

TEST(RewritingRobustness, OracleScriptsOfTheSeedsAndTheirVariants) {
    checkVariants("oracle_script", u"\r\n '", properties::scriptSplitViolation);
}

}  // namespace
}  // namespace kl::db::test
