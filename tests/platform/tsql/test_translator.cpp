#include "platform/tsql/translator.h"
#include "support/printers.h"

#include "platform/ado/ado.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/stored_forms.h"
#include "support/embedded_translation.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <initializer_list>
#include <memory>

namespace kl::ado::sqlite {
namespace {

using kl::test::adapt;
using tsql::singleTableOf;
using tsql::Statement;

bool isCalendarProcedure(const QString& name) {
    return name.compare(u"kv_CreaCalendario", Qt::CaseInsensitive) == 0;
}

// The adapted statements as text; a call shows as CALL name(a|b), a failure
// as ERROR: and its description.
QStringList adapted(const QString& text) {
    auto result = adapt(text, isCalendarProcedure);
    if (const RunError* e = std::get_if<RunError>(&result))
        return {QStringLiteral("ERROR: ") + e->description};
    QStringList out;
    for (const Statement& s : std::get<std::vector<Statement>>(result))
        out << (s.isProcedureCall()
                    ? QStringLiteral("CALL %1(%2)").arg(s.procedure, s.arguments.join(u'|'))
                    : s.sql);
    return out;
}

QString one(const QString& text) {
    const QStringList all = adapted(text);
    return all.size() == 1 ? all.front() : u'<' + all.join(QStringLiteral(" ; ")) + u'>';
}

RunError failureOf(const QString& text) {
    auto result = adapt(text, isCalendarProcedure);
    const RunError* e = std::get_if<RunError>(&result);
    return e ? *e : RunError{};
}

struct Case {
    const char* input;
    const char* expected;
};

void expectAdapted(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(one(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected));
    }
}

TEST(DialectTokens, LiteralsNamesAndCommentsAreRespected) {
    expectAdapted({
        {"SELECT 'O''Higgins' FROM T", "SELECT 'O''Higgins' COLLATE KL_CI FROM T"},
        {"SELECT 'SELECT TOP 5 * FROM x with(nolock) -- ISNULL(' + a FROM T",
         "SELECT 'SELECT TOP 5 * FROM x with(nolock) -- ISNULL(' || a FROM T"},
        {"SELECT N'Año' FROM T", "SELECT 'Año' COLLATE KL_CI FROM T"},
        {"SELECT [NUMERO ASIENTO], [DEBE-HABER] FROM MV_ASIENTOS",
         "SELECT [NUMERO ASIENTO], [DEBE-HABER] FROM MV_ASIENTOS"},
        {"SELECT \"FECHA DESDE\" FROM MV_EJERCICIOS", "SELECT [FECHA DESDE] FROM MV_EJERCICIOS"},
        {"SELECT [a]]b] FROM [Tabla \"x\"]", "SELECT \"a]b\" FROM [Tabla \"x\"]"},
        {"SELECT A -- comentario ' sin cerrar\nFROM T", "SELECT A  \nFROM T"},
        {"SELECT /* uno /* dos */ tres */ A FROM T", "SELECT   A FROM T"},
        {"SELECT 1.5e3, .5, 0x1F, a FROM T WHERE b !> 2 AND c !< 1",
         "SELECT 1.5e3, .5, 0x1F, a FROM T WHERE b <= 2 AND c >= 1"},
    });
}

TEST(DialectTokens, JetDatesBecomeStoredDates) {
    expectAdapted({
        {"SELECT * FROM T WHERE F = #12/31/2024#",
         "SELECT * FROM T WHERE F = '2024-12-31 00:00:00'"},
        {"SELECT * FROM T WHERE F = #31/12/2024#",
         "SELECT * FROM T WHERE F = '2024-12-31 00:00:00'"},
        {"SELECT * FROM T WHERE F = #02/01/2024#",
         "SELECT * FROM T WHERE F = '2024-02-01 00:00:00'"},
        {"SELECT * FROM T WHERE F = #2024-02-29 10:30:00#",
         "SELECT * FROM T WHERE F = '2024-02-29 10:30:00'"},
        {"SELECT * FROM T WHERE F >= #1/2/24 3:05 PM#",
         "SELECT * FROM T WHERE F >= '2024-01-02 15:05:00'"},
        {"SELECT #01/02/2024# + 1", "SELECT '2024-01-02 00:00:00' + 1"},
    });
}

TEST(DialectTop, BecomesLimitAtTheEndOfItsQuery) {
    expectAdapted({
        {"SELECT TOP 1 * FROM TA_CONDIVA with(nolock)  WHERE LTRIM(RTRIM(codigo)) ='1' ",
         "SELECT * FROM TA_CONDIVA  WHERE LTRIM(RTRIM(codigo)) COLLATE KL_CI ='1' LIMIT 1"},
        {"SELECT top 1  * FROM MV_ASIENTOS WHERE PERIODO = 2024 AND EsAjuste = 1",
         "SELECT  * FROM MV_ASIENTOS WHERE PERIODO = 2024 AND EsAjuste = 1 LIMIT 1"},
        {"SELECT TOP 1000 CODIGO,DESCRIPCION FROM T  ORDER BY DESCRIPCION",
         "SELECT CODIGO,DESCRIPCION FROM T  ORDER BY DESCRIPCION LIMIT 1000"},
        {"SELECT TOP (5) a FROM t", "SELECT a FROM t LIMIT (5)"},
        {"SELECT DISTINCT TOP 3 a FROM t", "SELECT DISTINCT a FROM t LIMIT 3"},
        {"SELECT TOP 100 PERCENT a FROM t ORDER BY a", "SELECT a FROM t ORDER BY a"},
        {"INSERT INTO t (a) SELECT TOP 2 b FROM u", "INSERT INTO t (a) SELECT b FROM u LIMIT 2"},
        {"SELECT * FROM t WHERE x IN (SELECT TOP 3 y FROM u ORDER BY y)",
         "SELECT * FROM t WHERE x IN (SELECT y FROM u ORDER BY y LIMIT 3)"},
        {"SELECT a, (SELECT TOP 1 b FROM u WHERE u.k = t.k ORDER BY b DESC) AS m FROM t",
         "SELECT a, (SELECT b FROM u WHERE u.k = t.k ORDER BY b DESC LIMIT 1) AS m FROM t"},
        {"SELECT TOP 5 a FROM t UNION ALL SELECT TOP 2 b FROM u ORDER BY 1",
         "SELECT * FROM (SELECT a FROM t LIMIT 5) UNION ALL SELECT * FROM (SELECT b FROM u LIMIT "
         "2) ORDER BY 1"},
        {"SELECT a FROM t UNION SELECT TOP 1 b FROM u",
         "SELECT a FROM t UNION SELECT * FROM (SELECT b FROM u LIMIT 1)"},
        {"SELECT a FROM t UNION SELECT b FROM u", "SELECT a FROM t UNION SELECT b FROM u"},
    });
}

TEST(DialectTop, TheFamilyTreeQueryKeepsItsInnerLimit) {
    EXPECT_EQ(one("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia "
                  "FROM v_ta_familias a   Where a.IdFamilia < b.IdFamilia And "
                  "(Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY "
                  "idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' "
                  "ORDER BY IdFamilia"),
              "SELECT IdFamilia, Descripcion, (SELECT idfamilia FROM v_ta_familias a   Where "
              "a.IdFamilia < b.IdFamilia And (kl_len(LTrim(RTrim(a.IdFamilia))) < "
              "kl_len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia DESC LIMIT 1) AS [relative] "
              "FROM V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia");
}

TEST(DialectTop, WithoutAPlainRowCountIsRefused) {
    for (const char* text :
         {"SELECT TOP", "SELECT TOP a FROM t", "SELECT TOP 1.5 a FROM t",
          "SELECT TOP 50 PERCENT a FROM t", "SELECT TOP 5 WITH TIES a FROM t ORDER BY a"}) {
        SCOPED_TRACE(text);
        const RunError e = failureOf(text);
        EXPECT_EQ(e.number, err::Syntax);
        EXPECT_TRUE(e.description.contains(u"TOP")) << e.description.toStdString();
    }
}

TEST(DialectHints, TableHintsAndOwnersAreDropped) {
    expectAdapted({
        {"SELECT * FROM T with(nolock) WHERE A = 1", "SELECT * FROM T WHERE A = 1"},
        {"SELECT * FROM T WITH (NOLOCK) WHERE A = 1", "SELECT * FROM T WHERE A = 1"},
        {"SELECT * FROM T With ( NoLock ) WHERE A = 1", "SELECT * FROM T WHERE A = 1"},
        {"SELECT * FROM T WITH(NOLOCK, INDEX(IX_A))", "SELECT * FROM T"},
        {"SELECT * FROM T (NOLOCK) WHERE A = 1", "SELECT * FROM T WHERE A = 1"},
        {"SELECT * FROM T x(nolock)", "SELECT * FROM T x"},
        {"SELECT * FROM dbo.T", "SELECT * FROM T"},
        {"SELECT * FROM [dbo].[T]", "SELECT * FROM [T]"},
        {"SELECT * FROM KL.dbo.T", "SELECT * FROM T"},
        {"SELECT * FROM A with(nolock) INNER JOIN dbo.B WITH (NOLOCK) ON A.X = B.X",
         "SELECT * FROM A INNER JOIN B ON A.X = B.X"},
        {"WITH x AS (SELECT 1 AS a) SELECT a FROM x", "WITH x AS (SELECT 1 AS a) SELECT a FROM x"},
    });
}

TEST(DialectFunctions, TakeTheirSqliteSpelling) {
    expectAdapted({
        {"SELECT ISNULL(SUM(IMPORTE),0) FROM MV_ASIENTOS",
         "SELECT IFNULL(SUM(IMPORTE),0) FROM MV_ASIENTOS"},
        {"SELECT * FROM TA_USUARIOS WHERE LEN (NOMBRE) > 0",
         "SELECT * FROM TA_USUARIOS WHERE kl_len (NOMBRE) > 0"},
        {"SELECT * FROM MV_ASIENTOS WHERE VAL(PERIODO) = 2024",
         "SELECT * FROM MV_ASIENTOS WHERE kl_val(PERIODO) = 2024"},
        {"SELECT CHARINDEX('a', b), CHARINDEX('a', b, 3) FROM T",
         "SELECT kl_charindex('a', b), kl_charindex('a', b, 3) FROM T"},
        {"SELECT SUBSTRING(a, 1, 2), LEFT(a, 2), RIGHT(a, 2) FROM T",
         "SELECT kl_substring(a, 1, 2), kl_left(a, 2), kl_right(a, 2) FROM T"},
        {"SELECT REPLICATE('0', 4), SPACE(2), STR(n, 10, 2) FROM T",
         "SELECT kl_replicate('0', 4), kl_space(2), kl_str(n, 10, 2) FROM T"},
        {"UPDATE CONTROL_ACCESO SET EGRESO = GETDATE(), X = CURRENT_TIMESTAMP",
         "UPDATE CONTROL_ACCESO SET EGRESO = kl_getdate(), X = kl_getdate()"},
        {"SELECT YEAR(FECHA), MONTH(FECHA), DAY(FECHA) FROM T",
         "SELECT kl_datepart('year', FECHA), kl_datepart('month', FECHA), kl_datepart('day', "
         "FECHA) FROM T"},
        {"SELECT DATEPART(dw, F), DATENAME(Weekday, F), DATEADD(dd, 1, F), DATEDIFF(mm, F, G) "
         "FROM T",
         "SELECT kl_datepart('dw', F), kl_datename('weekday', F), kl_dateadd('dd', 1, F), "
         "kl_datediff('mm', F, G) FROM T"},
        {"SELECT CONVERT(NVARCHAR, FECHA, 103), CONVERT(int, '12'), CAST(x AS numeric(18, 2)) "
         "FROM T",
         "SELECT kl_convert('NVARCHAR', FECHA, 103), kl_convert('int', '12'), "
         "kl_convert('numeric(18,2)', x) FROM T"},
        {"SELECT ISDATE(a), ISNUMERIC(b), SCOPE_IDENTITY(), @@IDENTITY",
         "SELECT kl_isdate(a), kl_isnumeric(b), last_insert_rowid(), last_insert_rowid()"},
        {"SELECT CONVERT(INT, SUBSTRING(CODIGO, 1, LEN(CODIGO) - 1)), ISNULL(LEN(RTRIM(x)), 0) "
         "FROM T",
         "SELECT kl_convert('INT', kl_substring(CODIGO, 1, kl_len(CODIGO) - 1)), "
         "IFNULL(kl_len(RTRIM(x)), 0) FROM T"},
        // Names that only look like functions stay as they are.
        {"SELECT t.LEN, x.YEAR, Len FROM t", "SELECT t.LEN, x.YEAR, Len FROM t"},
        {"INSERT INTO DAY (a) VALUES (1)", "INSERT INTO DAY (a) VALUES (1)"},
    });
}

TEST(DialectFunctions, WrongArgumentsAreRefused) {
    for (const char* text :
         {"SELECT ISNULL(a) FROM T", "SELECT SUBSTRING(a, 1) FROM T", "SELECT LEN() FROM T",
          "SELECT CHARINDEX('a', b, 1, 2) FROM T", "SELECT DATEPART(siglo, F) FROM T",
          "SELECT DATEADD('dd', 1, F) FROM T", "SELECT CONVERT(, x) FROM T",
          "SELECT CONVERT(1 + 2, x) FROM T", "SELECT CAST(x) FROM T", "SELECT ISNULL(a,, b)"}) {
        SCOPED_TRACE(text);
        const RunError e = failureOf(text);
        EXPECT_EQ(e.number, err::Syntax);
        EXPECT_FALSE(e.description.isEmpty());
    }
    EXPECT_EQ(failureOf("SELECT ISNULL(a) FROM T").description,
              "La función ISNULL requiere 2 argumentos (posición 8).");
}

TEST(DialectConcatenation, PlusJoinsVisibleTextsAndLeavesUnknownOperandsToRunTime) {
    expectAdapted({
        {"SELECT 'a' + b FROM T", "SELECT 'a' || b FROM T"},
        {"SELECT RTRIM(a) + b + c FROM T", "SELECT RTRIM(a) || b || c FROM T"},
        {"SELECT a + b, a + 1 FROM T", "SELECT kl_plus(a, b) COLLATE KL_CI, a + 1 FROM T"},
        {"SELECT a + b + c - 1, a + b + 1, 1 + a + b FROM T",
         "SELECT kl_plus(a, b, c) COLLATE KL_CI - 1, kl_plus(a, b) COLLATE KL_CI + 1, 1 + a + b "
         "FROM T"},
        {"SELECT a - b + c, a + b * 2 + c, -a + b, a + b & c FROM T",
         "SELECT a - b + c, a + b * 2 + c, -a + b, a + b & c FROM T"},
        {"SELECT COUNT(*) + x, t.a+u.b FROM T",
         "SELECT COUNT(*) + x, kl_plus(t.a, u.b) COLLATE KL_CI FROM T"},
        {"SELECT * FROM T WHERE CODIGO + DESCRIPCION = '1ACTIVO' AND (x + y) > 2",
         "SELECT * FROM T WHERE kl_plus(CODIGO, DESCRIPCION) COLLATE KL_CI = '1ACTIVO' AND "
         "(kl_plus(x, y) COLLATE KL_CI) > "
         "2"},
        {"SELECT 'a' + b * 2, 'Nro ' + 1, CONVERT(VARCHAR, n) + 'x' + 1 FROM T",
         "SELECT kl_plus('a', b * 2) COLLATE KL_CI, kl_plus('Nro ', 1) COLLATE KL_CI, "
         "kl_plus(kl_convert('VARCHAR', n), 'x', "
         "1) COLLATE KL_CI FROM T"},
        {"SELECT a - 1 + 'x' FROM T", "SELECT a - 1 + 'x' FROM T"},
        {"SELECT CONVERT(VARCHAR(10), n) + '%', CONVERT(INT, n) + 1 FROM T",
         "SELECT kl_convert('VARCHAR(10)', n) || '%', kl_convert('INT', n) + 1 FROM T"},
        {"SELECT ISNULL(a, '') + b, ISNULL(a, 0) + b FROM T",
         "SELECT IFNULL(a, '') || b, kl_plus(IFNULL(a, 0), b) COLLATE KL_CI FROM T"},
        {"SELECT (a + 'x') + b FROM T", "SELECT (a || 'x') || b FROM T"},
        {"SELECT CASE WHEN a = 1 THEN 'x' ELSE 'y' END + b FROM T",
         "SELECT CASE WHEN a = 1 THEN 'x' ELSE 'y' END || b FROM T"},
        {"SELECT * FROM T WHERE x LIKE '%' + @p + '%' AND c = d + e",
         "SELECT * FROM T WHERE x LIKE '%' || @p || '%' AND c = kl_plus(d, e) COLLATE KL_CI"},
        {"SELECT 'a' + b alias, SUBSTRING(a, 1, 2) + LTRIM(b) FROM T",
         "SELECT 'a' || b alias, kl_substring(a, 1, 2) || LTRIM(b) FROM T"},
        {"SELECT DATENAME(dw, F) + ' ' + t.c FROM T",
         "SELECT kl_datename('dw', F) || ' ' || t.c FROM T"},
    });
}

TEST(DialectStatements, SqlServerFormsTakeSqliteForms) {
    expectAdapted({
        {"DELETE AUX_SUBDIARIOS WHERE RTRIM(LTRIM(USUARIO)) = 'ADMIN'",
         "DELETE FROM AUX_SUBDIARIOS WHERE RTRIM(LTRIM(USUARIO)) COLLATE KL_CI = 'ADMIN'"},
        {"DELETE FROM T WHERE A = 1", "DELETE FROM T WHERE A = 1"},
        {"DELETE dbo.T", "DELETE FROM T"},
        {"TRUNCATE TABLE AUX_SUBDIARIOS", "DELETE FROM AUX_SUBDIARIOS"},
        {"BEGIN TRANSACTION", "BEGIN"},
        {"begin tran", "BEGIN"},
        {"COMMIT TRAN renumeracion", "COMMIT"},
        {"ROLLBACK TRANSACTION", "ROLLBACK"},
        {"COMMIT", "COMMIT"},
        {"RAISERROR('Fecha no válida', 16, 1)", "SELECT kl_error('Fecha no válida')"},
        {"CREATE NONCLUSTERED INDEX IX_CUENTA ON dbo.MV_ASIENTOS (CUENTA)",
         "CREATE INDEX IX_CUENTA ON MV_ASIENTOS (CUENTA)"},
    });
    EXPECT_TRUE(adapted("SET NOCOUNT ON").isEmpty());
    EXPECT_TRUE(adapted("SET DATEFORMAT dmy").isEmpty());
    EXPECT_TRUE(adapted("SET TRANSACTION ISOLATION LEVEL READ COMMITTED").isEmpty());
    EXPECT_TRUE(adapted("set identity_insert T on").isEmpty());
}

TEST(DialectStatements, IfExistsFoldsIntoItsStatement) {
    expectAdapted({
        {"IF NOT EXISTS (SELECT * FROM T) INSERT INTO T VALUES (1)",
         "INSERT INTO T SELECT 1 WHERE (NOT EXISTS (SELECT * FROM T))"},
        {"IF NOT EXISTS (SELECT * FROM T WHERE K = 'a') INSERT INTO T (K, V) VALUES ('a', 2)",
         "INSERT INTO T (K, V) SELECT 'a', 2 WHERE (NOT EXISTS (SELECT * FROM T WHERE K = 'a'))"},
        {"IF EXISTS (SELECT * FROM U) INSERT INTO T (K) SELECT TOP 1 K FROM U",
         "INSERT INTO T (K) SELECT * FROM (SELECT K FROM U LIMIT 1) WHERE (EXISTS (SELECT * FROM "
         "U))"},
        {"IF EXISTS (SELECT TOP 1 * FROM T WHERE A = 1) UPDATE T SET B = 2 WHERE C = 3",
         "UPDATE T SET B = 2 WHERE (EXISTS (SELECT * FROM T WHERE A = 1 LIMIT 1)) AND (C = 3)"},
        {"IF (SELECT COUNT(*) FROM T) = 0 DELETE U",
         "DELETE FROM U WHERE ((SELECT COUNT(*) FROM T) = 0)"},
    });
    for (const char* text : {"IF EXISTS (SELECT * FROM T) CREATE TABLE X (A INT)",
                             "IF EXISTS (SELECT * FROM T) DELETE T ELSE DELETE U",
                             "IF EXISTS (SELECT * FROM T) BEGIN DELETE T END",
                             "IF INSERT INTO T VALUES (1)", "IF EXISTS (SELECT * FROM T)"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failureOf(text).number, err::Syntax);
    }
}

TEST(DialectStatements, AlterTableAddsOneColumnAtATime) {
    // A nullable column with a default: SQL Server leaves the rows it
    // already has NULL, so they are emptied again.
    EXPECT_EQ(adapted("ALTER TABLE dbo.TA_USUARIOS ADD EMAIL VARCHAR(60) Not Null  CONSTRAINT "
                      "DF_TA_USUARIOS_EMAIL DEFAULT ('')"),
              QStringList{"ALTER TABLE TA_USUARIOS ADD COLUMN EMAIL VARCHAR(60) COLLATE KL_CI Not "
                          "Null DEFAULT ('')"});
    EXPECT_EQ(adapted("ALTER TABLE TA_USUARIOS ADD NIVEL INT Null  CONSTRAINT DF_N DEFAULT (3), "
                      "OBS text, FLAG BIT NULL DEFAULT 0 WITH VALUES"),
              (QStringList{"ALTER TABLE TA_USUARIOS ADD COLUMN NIVEL INT Null DEFAULT (3)",
                           "UPDATE TA_USUARIOS SET NIVEL = NULL",
                           "ALTER TABLE TA_USUARIOS ADD COLUMN OBS text COLLATE KL_CI",
                           "ALTER TABLE TA_USUARIOS ADD COLUMN FLAG BIT NULL DEFAULT 0"}));
    EXPECT_EQ(one("ALTER TABLE T DROP COLUMN X"), "ALTER TABLE T DROP COLUMN X");
    for (const char* text :
         {"ALTER TABLE T ALTER COLUMN X INT", "ALTER TABLE T ADD CONSTRAINT PK PRIMARY KEY (X)",
          "ALTER TABLE T DROP CONSTRAINT DF_X", "ALTER TABLE T ADD ID INT IDENTITY(1,1)",
          "ALTER TABLE T ADD", "ALTER TABLE T ADD A INT,"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failureOf(text).number, err::Syntax);
    }
}

TEST(DialectStatements, CreateTableKeepsDeclaredTypesAndNumbersIdentityRows) {
    expectAdapted({
        {"CREATE TABLE [dbo].[CONTROL_ACCESO] ([ID] [int] IDENTITY(1,1) NOT NULL, [USUARIO] "
         "[varchar](20) NULL, [INGRESO] DATETIME DEFAULT GETDATE(), CONSTRAINT [PK_CA] PRIMARY "
         "KEY CLUSTERED ([ID] ASC)) ON [PRIMARY]",
         "CREATE TABLE [CONTROL_ACCESO] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
         "[USUARIO] varchar(20) COLLATE KL_CI NULL, [INGRESO] DATETIME COLLATE KL_FECHA DEFAULT "
         "(kl_getdate()))"},
        {"CREATE TABLE T (ID INT IDENTITY PRIMARY KEY, IMPORTE MONEY, NOMBRE NVARCHAR(40) "
         "COLLATE Modern_Spanish_CI_AS, CLAVE CHAR(8) COLLATE Latin1_General_BIN)",
         "CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, IMPORTE MONEY, NOMBRE "
         "NVARCHAR(40) COLLATE KL_CI, CLAVE CHAR(8) COLLATE BINARY)"},
        {"CREATE TABLE T (A [tipo raro], B [int])", "CREATE TABLE T (A [tipo raro], B int)"},
        {"CREATE TABLE T (A INT REFERENCES U (B) ON DELETE CASCADE ON UPDATE NO ACTION)",
         "CREATE TABLE T (A INT REFERENCES U (B) ON DELETE CASCADE ON UPDATE NO ACTION)"},
    });
    EXPECT_EQ(failureOf("CREATE TABLE T (ID INT IDENTITY(1,1), K CHAR(2) PRIMARY KEY)").number,
              err::Syntax);
}

TEST(DialectProcedures, CallsComeBackAsProcedureAndArguments) {
    expectAdapted({
        {"kv_CreaCalendario '01/01/2026','31/12/2026'",
         "CALL kv_CreaCalendario(01/01/2026|31/12/2026)"},
        {"EXEC dbo.kv_CreaCalendario N'O''Higgins', 12, -3.5, #12/31/2026#",
         "CALL kv_CreaCalendario(O'Higgins|12|-3.5|2026-12-31 00:00:00)"},
        {"EXECUTE [otro_procedimiento]", "CALL otro_procedimiento()"},
        {"exec p abc", "CALL p(abc)"},
        // Not a procedure the database knows: left for SQLite to judge.
        {"otro_procedimiento 'a'", "otro_procedimiento 'a'"},
    });
    auto result = adapt(u"EXEC p NULL, ''");
    const auto& calls = std::get<std::vector<Statement>>(result);
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].arguments.size(), 2);
    EXPECT_TRUE(calls[0].arguments[0].isNull());
    EXPECT_FALSE(calls[0].arguments[1].isNull());
    EXPECT_TRUE(calls[0].arguments[1].isEmpty());
    for (const char* text : {"EXEC p @desde = '01/01/2026'", "EXEC p @x", "EXEC p 'a',",
                             "EXEC p ('a')", "EXEC p 'a' 'b'", "EXEC"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(failureOf(text).number, err::Syntax);
    }
}

TEST(DialectBatches, SplitWhereSqlServerEndsAStatement) {
    EXPECT_EQ(adapted("SELECT 1; SELECT ';' ;;"),
              (QStringList{"SELECT 1", "SELECT ';' COLLATE KL_CI"}));
    EXPECT_EQ(adapted("SELECT a FROM t\r\nGO\r\nSELECT b FROM u\r\n  go  \r\n"),
              (QStringList{"SELECT a FROM t", "SELECT b FROM u"}));
    EXPECT_EQ(adapted("SELECT a, go FROM t"), QStringList{"SELECT a, go FROM t"});
    EXPECT_EQ(
        adapted("BEGIN TRANSACTION\r\nINSERT INTO A (X) VALUES (1)\r\nGO\r\nUPDATE B SET "
                "Y = 2\r\nCOMMIT TRANSACTION"),
        (QStringList{"BEGIN", "INSERT INTO A (X) VALUES (1)", "UPDATE B SET Y = 2", "COMMIT"}));
    EXPECT_EQ(adapted("SET NOCOUNT ON\r\nIF NOT EXISTS (SELECT * FROM T) INSERT INTO T VALUES "
                      "(1)\r\nSELECT * FROM T"),
              (QStringList{"INSERT INTO T SELECT 1 WHERE (NOT EXISTS (SELECT * FROM T))",
                           "SELECT * FROM T"}));
    EXPECT_EQ(adapted("SELECT 1 SELECT 2 UNION SELECT 3 INSERT INTO A SELECT 4 UNION ALL SELECT 5 "
                      "CREATE VIEW V AS SELECT 6 INSERT INTO A VALUES (7) SELECT 8"),
              (QStringList{"SELECT 1", "SELECT 2 UNION SELECT 3",
                           "INSERT INTO A SELECT 4 UNION ALL SELECT 5", "CREATE VIEW V AS SELECT 6",
                           "INSERT INTO A VALUES (7)", "SELECT 8"}));
    EXPECT_EQ(adapted("IF NOT EXISTS (SELECT * FROM T) INSERT INTO T SELECT 1 SELECT 2"),
              (QStringList{"INSERT INTO T SELECT * FROM (SELECT 1) WHERE (NOT EXISTS (SELECT * "
                           "FROM T))",
                           "SELECT 2"}));
    EXPECT_EQ(adapted("INSERT INTO A VALUES (1) UPDATE B SET Y = 2 DELETE C EXEC "
                      "kv_CreaCalendario 'a','b'"),
              (QStringList{"INSERT INTO A VALUES (1)", "UPDATE B SET Y = 2", "DELETE FROM C",
                           "CALL kv_CreaCalendario(a|b)"}));
    EXPECT_EQ(adapted("CREATE TRIGGER TR AFTER INSERT ON T BEGIN UPDATE U SET N = N + 1; DELETE "
                      "FROM V; END; SELECT 1"),
              (QStringList{"CREATE TRIGGER TR AFTER INSERT ON T BEGIN UPDATE U SET N = N + 1; "
                           "DELETE FROM V; END",
                           "SELECT 1"}));
    EXPECT_EQ(adapted("BEGIN TRAN alta\nkv_CreaCalendario '01/01/2026','31/12/2026'\nCOMMIT"),
              (QStringList{"BEGIN", "CALL kv_CreaCalendario(01/01/2026|31/12/2026)", "COMMIT"}));
    EXPECT_TRUE(adapted(" ;\n GO \n -- nada\n").isEmpty());
}

TEST(SingleTableOf, NamesTheTableOfASimpleRead) {
    for (const auto& [text, table] : std::initializer_list<std::pair<const char*, const char*>>{
             {"SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'X'", "TA_CONFIGURACION"},
             {"SELECT * FROM MV_EJERCICIOS ORDER BY PERIODO", "MV_EJERCICIOS"},
             {"SELECT TOP 1 * FROM TA_CONDIVA with(nolock)  WHERE LTRIM(RTRIM(codigo)) ='1' ",
              "TA_CONDIVA"},
             {"select top 1  * from [dbo].[MV_ASIENTOS] WITH (NOLOCK) where PERIODO = 2024",
              "MV_ASIENTOS"},
             {"SELECT TOP 100 PERCENT a, (SELECT MAX(b) FROM u) AS m FROM T x WHERE a IN (SELECT "
              "c FROM v)",
              "T"},
             {"SELECT * FROM T AS x", "T"},
             {"SELECT * FROM T (NOLOCK);", "T"},
             {"SELECT * FROM [FECHA DESDE]", "FECHA DESDE"},
             {"SELECT * FROM KL.dbo.CONTROL_ACCESO", "CONTROL_ACCESO"},
         }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(singleTableOf(QString::fromUtf8(text)), QString::fromUtf8(table));
    }
}

TEST(SingleTableOf, NothingForJoinsGroupsAndOtherShapes) {
    for (const char* text : {
             "SELECT * FROM A INNER JOIN B ON A.X = B.X",
             "SELECT * FROM A, B",
             "SELECT * FROM A a LEFT JOIN B b ON a.X = b.X",
             "SELECT X, COUNT(*) FROM A GROUP BY X",
             "SELECT X FROM A WHERE Y = 1 GROUP BY X HAVING COUNT(*) > 1",
             "SELECT X FROM A UNION SELECT X FROM B",
             "SELECT * FROM (SELECT * FROM A) q",
             "SELECT DISTINCT X FROM A",
             "SELECT * INTO B FROM A",
             "UPDATE A SET X = 1",
             "SELECT 1",
             "SELECT * FROM A; SELECT * FROM B",
             "SELECT * FROM A WHERE X = 'sin cerrar",
             "",
         }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(singleTableOf(QString::fromUtf8(text)), std::nullopt);
    }
}

TEST(DialectMalformed, GivesASyntaxErrorWithASpanishDescription) {
    const std::initializer_list<std::pair<const char*, const char*>> cases = {
        {"SELECT 'O''Higgins FROM T",
         "Falta la comilla de cierre del texto que empieza en la "
         "posición 8."},
        {"SELECT [NUMERO ASIENTO FROM T",
         "Falta el corchete de cierre del nombre que empieza en "
         "la posición 8."},
        {"SELECT \"A FROM T",
         "Falta la comilla doble de cierre del nombre que empieza en la "
         "posición 8."},
        {"SELECT A /* sin cierre",
         "Falta el cierre */ del comentario que empieza en la posición "
         "10."},
        {"SELECT * FROM T WHERE F = #12/31/2024",
         "Falta el # de cierre de la fecha que empieza en "
         "la posición 27."},
        {"SELECT * FROM T WHERE F = #13/13/2024#",
         "La fecha #13/13/2024# de la posición 27 no es "
         "válida."},
        {"SELECT ISNULL(", "Falta el paréntesis de cierre del que se abre en la posición 14."},
        {"SELECT (a))", "Sobra un paréntesis de cierre en la posición 11."},
        {"SELECT (a\nGO\n)", "Falta el paréntesis de cierre del que se abre en la posición 8."},
        {"SELECT a { b", "Carácter no válido «{» en la posición 10."},
        {"SELECT a \x01", "Carácter no válido «U+0001» en la posición 10."},
        {"SELECT []", "Nombre vacío en la posición 8."},
        {"dbo.ALTER TABLE T ADD A INT", "Sintaxis incorrecta cerca de la posición 1."},
        {"SELECT TOP", "Falta el número de filas después de TOP (posición 8)."},
        {"SET @x = 1",
         "Esta sentencia SET no se admite en la base de datos embebida (posición 1)."},
        {"BEGIN DELETE T END",
         "Un bloque BEGIN ... END no se admite en la base de datos embebida "
         "(posición 1)."},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        const RunError e = failureOf(QString::fromUtf8(text));
        EXPECT_EQ(e.number, err::Syntax);
        EXPECT_EQ(e.description, QString::fromUtf8(message));
        EXPECT_FALSE(e.source.isEmpty());
    }
}

TEST(DialectMalformed, ANulCharacterIsRefusedEvenInsideALiteral) {
    // SQLite would read the statement only up to it.
    const QString text = QStringLiteral("SELECT 'a") + QChar(0) + QStringLiteral("b' FROM T");
    EXPECT_EQ(failureOf(text).description, "Carácter no válido «U+0000» en la posición 10.");
}

TEST(DialectMalformed, DeepLongAndRepeatedInputsStaySafe) {
    EXPECT_EQ(failureOf(QString(100000, u'(')).number, err::Syntax);
    EXPECT_EQ(failureOf(QString(100000, u')')).number, err::Syntax);
    const QString nested = QString(199, u'(') + u'1' + QString(199, u')');
    EXPECT_EQ(one(QStringLiteral("SELECT ") + nested), QStringLiteral("SELECT ") + nested);
    EXPECT_EQ(failureOf(QStringLiteral("SELECT ") + QString(201, u'(') + u'1' + QString(201, u')'))
                  .number,
              err::Syntax);

    QString chain = QStringLiteral("SELECT 'a'");
    for (int i = 0; i < 20000; ++i) chain += QStringLiteral(" + c");
    const QString joined = one(chain);
    EXPECT_EQ(joined.count(QStringLiteral("||")), 20000);

    const QString longText = QString(200000, u'x');
    EXPECT_EQ(one(QStringLiteral("SELECT '") + longText + QStringLiteral("' FROM T")),
              QStringLiteral("SELECT '") + longText + QStringLiteral("' COLLATE KL_CI FROM T"));
    // An unclosed CASE and a run of operators are SQLite's to refuse.
    EXPECT_TRUE(std::holds_alternative<std::vector<Statement>>(
        adapt(QStringLiteral("SELECT CASE CASE CASE ") + QString(5000, u'+'))));
}

// ------------------------------------------------------------ on SQLite

class DialectOnSqlite : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(db_.open(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE),
                  SQLITE_OK);
        ASSERT_EQ(registerFunctions(db_.handle()), SQLITE_OK);
        const StepResult created = db_.exec(QString::fromUtf8(R"(
            CREATE TABLE TA_CONDIVA (CODIGO VARCHAR(4) COLLATE KL_CI, DESCRIPCION VARCHAR(40));
            INSERT INTO TA_CONDIVA VALUES ('1', 'Responsable Inscripto'), ('5', 'Consumidor Final');
            CREATE TABLE TA_CONFIGURACION (GRUPO, CLAVE VARCHAR(50) COLLATE KL_CI, VALOR, VALORAUX);
            INSERT INTO TA_CONFIGURACION VALUES ('DATOS', 'USA CONTRASEÑA', 'SI', NULL);
            CREATE TABLE CONTROL_ACCESO (ID INTEGER PRIMARY KEY AUTOINCREMENT, USUARIO, EGRESO DATETIME);
            INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('ADMIN');
            CREATE TABLE TA_TAREAS (USUARIO, TAREA);
            CREATE TABLE TA_MENU (Proceso, Clave, Nombre);
            INSERT INTO TA_TAREAS VALUES ('ADMIN', 7);
            INSERT INTO TA_MENU VALUES ('C:\KL\klconfig.exe', 7, 'Configuración');
            CREATE TABLE MV_EJERCICIOS (PERIODO INT, DESCRIPCION, [FECHA DESDE] DATETIME,
                [FECHA HASTA] DATETIME, CERRADO BIT DEFAULT 0, CANCELACION BIT DEFAULT 0,
                CIERRE BIT DEFAULT 0, APERTURA BIT DEFAULT 0);
            INSERT INTO MV_EJERCICIOS (PERIODO, [FECHA DESDE], [FECHA HASTA])
                VALUES (2025, '2025-01-01 00:00:00', '2025-12-31 00:00:00'),
                       (2026, '2026-01-01 00:00:00', '2026-12-31 00:00:00');
            CREATE TABLE MV_ASIENTOS (PERIODO, MES_OPERATIVO INT, [NUMERO ASIENTO] INT, TIPO_REG,
                TC, SUCURSAL, NUMERO, LETRA, FECHA DATETIME, CUENTA, [DEBE-HABER], IMPORTE MONEY,
                EsAjuste BIT DEFAULT 0, ESRESUMEN BIT DEFAULT 0);
            INSERT INTO MV_ASIENTOS VALUES
                ('2026', 1, 1, 'VE', 'FA', '0001', '00000001', 'A', '2026-01-05 00:00:00', '1101', 'D', 121, 0, 0),
                ('2026', 1, 1, 'VE', 'FA', '0001', '00000001', 'A', '2026-01-05 00:00:00', '4101', 'H', 121, 0, 0),
                ('2026', 2, 2, 'VE', 'FA', '0001', '00000002', 'A', '2026-02-01 00:00:00', '1101', 'D', 50, 0, 0);
            CREATE TABLE MA_CALENDARIO (Fecha DATETIME, nolaborable BIT DEFAULT 0);
            INSERT INTO MA_CALENDARIO (Fecha) VALUES ('2026-01-04 00:00:00'), ('2026-01-05 00:00:00'),
                ('2025-01-05 00:00:00');
            CREATE TABLE AUX_SUBDIARIOS (USUARIO, PERIODO);
            INSERT INTO AUX_SUBDIARIOS VALUES (' ADMIN ', '2026'), ('OTRO', '2026');
            CREATE TABLE V_TA_FAMILIAS (IdFamilia, Descripcion);
            INSERT INTO V_TA_FAMILIAS VALUES ('01', 'A'), ('0101', 'B'), ('02', 'C'), ('0201', 'D');
            CREATE TABLE TA_USUARIOS (NOMBRE, CLAVE);
            INSERT INTO TA_USUARIOS VALUES ('ADMIN', 'x');
        )"));
        ASSERT_FALSE(created) << created->description.toStdString();
    }

    // Adapts and runs a batch; answers the rows of its last statement as
    // "a|b" lines (NULL shows as nothing), or ERROR: and SQLite's message.
    QStringList run(const QString& text) {
        auto result = adapt(text, isCalendarProcedure);
        if (const RunError* e = std::get_if<RunError>(&result))
            return {QStringLiteral("ERROR: ") + e->description};
        QStringList rows;
        for (const Statement& s : std::get<std::vector<Statement>>(result)) {
            rows.clear();
            const QByteArray sql = s.sql.toUtf8();
            SqliteStatement statement;
            const char* tail = nullptr;
            if (statement.prepare(db_.handle(), sql.constData(), static_cast<int>(sql.size()),
                                  &tail) != SQLITE_OK)
                return {QStringLiteral("ERROR: ") + db_.message() + QStringLiteral(" in ") + s.sql};
            EXPECT_STREQ(tail, "") << "one statement each: " << s.sql.toStdString();
            int step = 0;
            while ((step = statement.step()) == SQLITE_ROW) {
                QStringList columns;
                for (int i = 0; i < sqlite3_column_count(statement.get()); ++i)
                    columns << statement.text(i);
                rows << columns.join(u'|');
            }
            if (step != SQLITE_DONE) return {QStringLiteral("ERROR: ") + db_.message()};
        }
        return rows;
    }

    SqliteDatabase db_;
};

TEST_F(DialectOnSqlite, TheProgramsStatementsRun) {
    for (const char* text : {
             "SELECT TOP 1 * FROM TA_CONDIVA with(nolock)  WHERE LTRIM(RTRIM(codigo)) ='1' ",
             "SELECT TOP 1 * FROM TA_CONDIVA with(nolock)  WHERE codigo = 1",
             "SELECT * FROM TA_CONDIVA with(nolock)   WHERE codigo ='5'",
             "SELECT TOP 1 * FROM MV_EJERCICIOS with(nolock)  WHERE PERIODO = #01/01/2026#",
             "SELECT MAX(PERIODO) AS MAYOR FROM MV_EJERCICIOS WHERE CERRADO = 0",
             "SELECT MIN(PERIODO) AS MENOR FROM MV_EJERCICIOS  with(nolock)  WHERE CERRADO = 0",
             "SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre   FROM "
             "TA_TAREAS INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave   WHERE "
             "(TA_TAREAS.USUARIO = 'ADMIN') AND (TA_MENU.Proceso LIKE '%klconfig%')",
             "UPDATE CONTROL_ACCESO  SET EGRESO = '09/12/2026 10:00:00' WHERE EGRESO IS NULL AND  "
             "ID = 1",
             "SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'usa contraseña'",
             "UPDATE MV_ASIENTOS SET CUENTA = '01101' WHERE CUENTA = '1101'",
             "UPDATE MV_EJERCICIOS SET CERRADO = 1, CANCELACION = 1, CIERRE = 1, APERTURA = 1 "
             "WHERE PERIODO = 2026 ",
             "SELECT * FROM MV_ASIENTOS WHERE VAL(PERIODO) = 2026 AND (FECHA <= "
             "'2025-12-31 00:00:00' OR FECHA >= '2027-01-01 00:00:00' )",
             "SELECT DISTINCT Periodo,[MES_OPERATIVO],[NUMERO ASIENTO] FROM MV_ASIENTOS WHERE "
             "RTRIM(LTRIM(TIPO_REG)) = 'VE' AND FECHA >= '2026-01-01 00:00:00' AND FECHA <= "
             "'2026-12-31 00:00:00' ORDER BY [MES_OPERATIVO],[NUMERO ASIENTO]",
             "SELECT * FROM MV_ASIENTOS  WITH(NOLOCK) WHERE TC = 'FA' AND SUCURSAL = '0001' AND "
             "NUMERO = '00000001' AND LETRA = 'A' AND [NUMERO ASIENTO] = 1  AND MES_OPERATIVO = 1 "
             "AND (ESRESUMEN = 0)",
             "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WHERE MES_OPERATIVO "
             "= 1 AND PERIODO = '2026' AND TIPO_REG = 'VE' ",
             "SELECT ISNULL(SUM(IMPORTE),0) FROM MV_ASIENTOS WHERE CONVERT(NVARCHAR, FECHA, 103) "
             "= '05/01/2026'",
             "SELECT * FROM TA_USUARIOS WHERE LEN (NOMBRE) > 0 AND CLAVE = ''",
             "SELECT TOP 1000 CODIGO,DESCRIPCION FROM TA_CONDIVA  ORDER BY DESCRIPCION",
         }) {
        SCOPED_TRACE(text);
        const QStringList rows = run(QString::fromUtf8(text));
        EXPECT_TRUE(rows.isEmpty() || !rows.front().startsWith(u"ERROR"))
            << rows.front().toStdString();
    }
}

TEST_F(DialectOnSqlite, LookupsReadTheRowsSqlServerWould) {
    EXPECT_EQ(run("SELECT TOP 1 DESCRIPCION FROM TA_CONDIVA with(nolock)  WHERE "
                  "LTRIM(RTRIM(codigo)) ='1' "),
              QStringList{"Responsable Inscripto"});
    EXPECT_EQ(run("SELECT TOP 1 PERIODO FROM MV_EJERCICIOS ORDER BY PERIODO DESC"),
              QStringList{"2026"});
    EXPECT_EQ(run("SELECT PERIODO FROM MV_EJERCICIOS WHERE [FECHA DESDE] = #01/01/2026#"),
              QStringList{"2026"});
    EXPECT_EQ(run("SELECT TOP 1 CODIGO FROM TA_CONDIVA UNION ALL SELECT TOP 1 CODIGO FROM "
                  "TA_CONDIVA ORDER BY 1 DESC"),
              (QStringList{"1", "1"}));
    EXPECT_EQ(run("SELECT COUNT(*) FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] IN (SELECT TOP 1 "
                  "[NUMERO ASIENTO] FROM MV_ASIENTOS ORDER BY [NUMERO ASIENTO] DESC)"),
              QStringList{"1"});
    EXPECT_EQ(run("SELECT 'O''Higgins' + ' ' + RTRIM(DESCRIPCION) + CHAR(33) FROM TA_CONDIVA WHERE "
                  "CODIGO = '5'"),
              QStringList{"O'Higgins Consumidor Final!"});
    EXPECT_EQ(run("SELECT ISNULL(SUM(IMPORTE),0) FROM MV_ASIENTOS WHERE CONVERT(NVARCHAR, FECHA, "
                  "103) = '05/01/2026' UNION ALL SELECT ISNULL(SUM(IMPORTE),0) FROM MV_ASIENTOS "
                  "WHERE YEAR(FECHA) = 2025"),
              (QStringList{"242", "0"}));
    EXPECT_EQ(run("SELECT LEN('ab  '), VAL(' 12.5x'), CHARINDEX('b', 'ABC'), SUBSTRING('ABCD', 2, "
                  "2), ISNULL(NULL, 'x')"),
              QStringList{"2|12.5|2|BC|x"});
}

TEST_F(DialectOnSqlite, PlusOfTwoColumnsJoinsTextsAndAddsNumbersAsSqlServer) {
    EXPECT_EQ(run("SELECT CODIGO + DESCRIPCION FROM TA_CONDIVA WHERE CODIGO + DESCRIPCION = "
                  "'1Responsable Inscripto'"),
              QStringList{"1Responsable Inscripto"});
    EXPECT_EQ(run("SELECT IMPORTE + IMPORTE, [NUMERO ASIENTO] + MES_OPERATIVO + 1, CUENTA + "
                  "[DEBE-HABER] + LETRA FROM MV_ASIENTOS WHERE NUMERO = '00000002'"),
              QStringList{"100|5|1101DA"});
    EXPECT_EQ(run("SELECT VALORAUX + CLAVE FROM TA_CONFIGURACION"), QStringList{""})
        << "Null joined to a text is Null";
}

TEST_F(DialectOnSqlite, TheFamilyTreeFindsEachParent) {
    EXPECT_EQ(run("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia "
                  "FROM v_ta_familias a   Where a.IdFamilia < b.IdFamilia And "
                  "(Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY "
                  "idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' "
                  "ORDER BY IdFamilia"),
              (QStringList{"01|A|", "0101|B|01", "02|C|", "0201|D|02"}));
}

TEST_F(DialectOnSqlite, TheWizardMarksTheSundaysOfItsYear) {
    EXPECT_EQ(run("update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
                  "('Domingo','Sunday') AND YEAR(FECHA) = 2026"),
              QStringList{});
    EXPECT_EQ(run("SELECT Fecha FROM MA_CALENDARIO WHERE nolaborable = 1"),
              QStringList{"2026-01-04 00:00:00"});
}

TEST_F(DialectOnSqlite, WritesChangeWhatTheyShould) {
    EXPECT_EQ(run("DELETE AUX_SUBDIARIOS WHERE RTRIM(LTRIM(USUARIO)) = 'ADMIN'; SELECT USUARIO "
                  "FROM AUX_SUBDIARIOS"),
              QStringList{"OTRO"});
    const QString once =
        "IF NOT EXISTS (SELECT * FROM TA_CONDIVA WHERE CODIGO = '6') INSERT INTO "
        "TA_CONDIVA (CODIGO, DESCRIPCION) VALUES ('6', 'Monotributo')";
    run(once);
    run(once);
    EXPECT_EQ(run("SELECT COUNT(*) FROM TA_CONDIVA WHERE CODIGO = '6'"), QStringList{"1"});
    EXPECT_EQ(run("IF EXISTS (SELECT * FROM TA_CONDIVA WHERE CODIGO = '9') DELETE TA_CONDIVA; "
                  "SELECT COUNT(*) FROM TA_CONDIVA"),
              QStringList{"3"});
    EXPECT_EQ(run("BEGIN TRAN\nUPDATE TA_CONDIVA SET DESCRIPCION = 'x'\nROLLBACK TRAN\nSELECT "
                  "DESCRIPCION FROM TA_CONDIVA WHERE CODIGO = '1'"),
              QStringList{"Responsable Inscripto"});
    EXPECT_EQ(run("RAISERROR('Fecha no válida', 16, 1)"),
              QStringList{QStringLiteral("ERROR: ") +
                          raisedError(native::UserError, QStringLiteral("Fecha no válida"))});
}

TEST_F(DialectOnSqlite, AddedColumnsTreatExistingRowsAsSqlServerDoes) {
    EXPECT_EQ(run("ALTER TABLE dbo.TA_USUARIOS ADD EMAIL VARCHAR(60) Not Null  CONSTRAINT "
                  "DF_TA_USUARIOS_EMAIL DEFAULT ('sin correo'); ALTER TABLE dbo.TA_USUARIOS ADD "
                  "NIVEL INT Null  CONSTRAINT DF_TA_USUARIOS_NIVEL DEFAULT (3)"),
              QStringList{});
    EXPECT_EQ(run("INSERT INTO TA_USUARIOS (NOMBRE) VALUES ('NUEVO'); SELECT NOMBRE, EMAIL, NIVEL "
                  "FROM TA_USUARIOS ORDER BY NOMBRE"),
              (QStringList{"ADMIN|sin correo|", "NUEVO|sin correo|3"}));
    EXPECT_EQ(run("SELECT COUNT(*) FROM TA_USUARIOS WHERE EMAIL = 'SIN CORREO'"), QStringList{"2"});
}

TEST_F(DialectOnSqlite, CreatedTablesNumberTheirIdentityRows) {
    EXPECT_EQ(run("CREATE TABLE [dbo].[ACCESOS] ([ID] [int] IDENTITY(1,1) NOT NULL, [USUARIO] "
                  "[varchar](20) NULL, [INGRESO] DATETIME DEFAULT GETDATE(), CONSTRAINT [PK_A] "
                  "PRIMARY KEY CLUSTERED ([ID] ASC)) ON [PRIMARY]\nGO\nINSERT INTO ACCESOS "
                  "(USUARIO) VALUES ('A')\nINSERT INTO ACCESOS (USUARIO) VALUES ('b')\nSELECT "
                  "SCOPE_IDENTITY()"),
              QStringList{"2"});
    const QStringList second = run("SELECT ID, INGRESO FROM ACCESOS WHERE USUARIO = 'B'");
    ASSERT_EQ(second.size(), 1);
    EXPECT_TRUE(second.front().startsWith(QDate::currentDate().toString(u"'2|'yyyy-MM-dd")))
        << second.front().toStdString();
    EXPECT_EQ(run("CREATE TRIGGER TR AFTER INSERT ON ACCESOS BEGIN UPDATE TA_CONDIVA SET "
                  "DESCRIPCION = 'tocada' WHERE CODIGO = '1'; DELETE FROM AUX_SUBDIARIOS; END; "
                  "INSERT INTO ACCESOS (USUARIO) VALUES ('c'); SELECT DESCRIPCION FROM TA_CONDIVA "
                  "WHERE CODIGO = '1'"),
              QStringList{"tocada"});
}

// ------------------------------------------------------------ robustness

// The fuzzer's seed statements, each also cut short, with a character
// replaced and with one inserted at every position: adapt() answers
// statements or a syntax error, never anything else.
TEST(DialectRobustness, SeedsAndTheirMutationsNeverBreakIt) {
    const QDir corpus(QStringLiteral(KL_SOURCE_DIR "/tests/fuzz/corpus/dialect"));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_GE(files.size(), 10);
    int variants = 0, failures = 0;
    auto check = [&](const QString& text) {
        ++variants;
        auto result = adapt(text, isCalendarProcedure);
        if (const RunError* e = std::get_if<RunError>(&result)) {
            ++failures;
            EXPECT_EQ(e->number, err::Syntax) << text.toStdString();
            EXPECT_FALSE(e->description.isEmpty()) << text.toStdString();
        } else {
            for (const Statement& s : std::get<std::vector<Statement>>(result))
                EXPECT_TRUE(s.isProcedureCall() || !s.sql.isEmpty()) << text.toStdString();
        }
        singleTableOf(text);
    };
    for (const QString& name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString seed = QString::fromUtf8(file.readAll());
        SCOPED_TRACE(name.toStdString());
        auto whole = adapt(seed, isCalendarProcedure);
        EXPECT_TRUE(std::holds_alternative<std::vector<Statement>>(whole));
        for (qsizetype i = 0; i <= seed.size(); ++i) {
            check(seed.left(i));
            for (QChar c : QStringView(u"'[](#\"/-;")) {
                QString inserted = seed;
                check(inserted.insert(i, c));
                if (i < seed.size()) {
                    QString replaced = seed;
                    replaced[i] = c;
                    check(replaced);
                }
            }
        }
        check(seed + u';' + seed);
    }
    EXPECT_GT(failures, 0);
    EXPECT_LT(failures, variants);
}

}  // namespace
}  // namespace kl::ado::sqlite
