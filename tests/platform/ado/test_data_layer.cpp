// The layer's ADO behaviour on real databases, for every backend in
// adoBackends(): statements and their errors, transactions, the schema
// catalogue, procedures, recordsets and their writes.

#include "backends.h"
#include "platform/ado/ado.h"
#include "platform/ado/transaction_scope.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace kl::ado {
namespace {

using kl::test::AdoBackend;
using kl::test::EmbeddedDb;

void moveNext(Recordset& rs) {
    const StepResult e = rs.MoveNext();
    ASSERT_FALSE(e) << e->description.toStdString();
}

class DataLayer : public ::testing::TestWithParam<AdoBackend> {
  protected:
    void SetUp() override {
        connectionString_ = GetParam().create(folder_, QStringLiteral("conta.db"));
        ASSERT_FALSE(connectionString_.isEmpty());
        ASSERT_FALSE(cnn_.Open(connectionString_));
    }

    void run(const QString& sql) {
        const StepResult e = cnn_.Execute(sql);
        ASSERT_FALSE(e) << sql.toStdString() << ": " << e->description.toStdString();
    }
    // The first column of the first row, as text; "<eof>" without rows.
    QString scalar(const QString& sql) {
        std::unique_ptr<Recordset> rs;
        const StepResult e = cnn_.Execute(sql, nullptr, &rs);
        if (e) return "<error: " + e->description + ">";
        return rs->EOF() ? QStringLiteral("<eof>") : rs->value(0).toString();
    }
    // Each "SELECT <select>" gives `sqlServer` in its first column, as SQL
    // Server's documentation answers; NULL stands for Null.
    struct Answer {
        const char* select;
        const char* sqlServer;
    };
    void expectAnswers(std::initializer_list<Answer> answers) {
        for (const Answer& c : answers) {
            SCOPED_TRACE(c.select);
            std::unique_ptr<Recordset> rs;
            const StepResult e =
                cnn_.Execute("SELECT " + QString::fromUtf8(c.select), nullptr, &rs);
            ASSERT_FALSE(e) << e->description.toStdString();
            ASSERT_FALSE(rs->EOF());
            const Value v = rs->value(0);
            EXPECT_EQ(v.isNull() ? QStringLiteral("NULL") : v.toString(),
                      QString::fromUtf8(c.sqlServer));
        }
    }
    void addAccounts(int count) {
        for (int i = 1; i <= count; ++i)
            run(QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('%1', 'Cuenta %1')")
                    .arg(i));
    }

    EmbeddedDb folder_;
    QString connectionString_;
    Connection cnn_;
};

// ---- statements and errors ---------------------------------------------------

TEST_P(DataLayer, FailedStatementsCarryAdosNumbersAndSucceedingOnesClearTheList) {
    struct Case {
        const char* sql;
        long number;
        const char* sqlState;
        long native;
    };
    run("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('1', 'Activo')");
    for (const Case& c : {Case{"SELEC * FROM MA_CUENTAS", err::Syntax, "42000", 0},
                          Case{"SELECT * FROM NO_EXISTE", err::NoSuchTable, "42S02", 208},
                          Case{"INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('1', 'Otra')",
                               err::Constraint, "23000", 0},
                          Case{"INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('2', "
                               "'Un nombre de cuenta que pasa los cuarenta caracteres')",
                               err::DataOverflow, "22001", err::NativeTruncation},
                          Case{"INSERT INTO CONTROL_ACCESO (USUARIO, ENTRADA) VALUES ('A', 'ayer')",
                               err::Conversion, "22007", 241}}) {
        const StepResult e = cnn_.Execute(QString::fromUtf8(c.sql));
        ASSERT_TRUE(e) << c.sql;
        EXPECT_EQ(e->number, c.number) << c.sql;
        ASSERT_EQ(cnn_.errors().Count(), 1) << c.sql;
        const Error& first = cnn_.errors().Item(0);
        EXPECT_EQ(first.Number, c.number) << c.sql;
        EXPECT_EQ(first.SQLState, c.sqlState) << c.sql;
        if (c.native != 0) {
            EXPECT_EQ(first.NativeError, c.native) << c.sql;
        }
        EXPECT_EQ(e->description, first.Description);
        EXPECT_FALSE(first.Source.isEmpty());

        run("SELECT 1");
        EXPECT_TRUE(cnn_.errors().empty()) << "a statement that works clears the list";
    }
    cnn_.Execute(
        "INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('3', "
        "'Un nombre de cuenta que pasa los cuarenta caracteres')");
    EXPECT_EQ(cnn_.errors().Item(0).Description, "Los datos de cadena o binarios se truncarían.");
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "1");
}

// What SQL Server answers, from its documentation (a Spanish login: DATEFIRST
// 1, CONCAT_NULL_YIELDS_NULL and ANSI_NULLS on); NULL stands for Null.
TEST_P(DataLayer, ExpressionsAnswerWhatSqlServerAnswers) {
    addAccounts(3);
    run("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('9', NULL)");
    expectAnswers({
        // Null and its functions.
        {"NULL + 1", "NULL"},
        {"'a' + NULL", "NULL"},
        {"ISNULL(NULL, 'x')", "x"},
        {"COALESCE(NULL, NULL, 3)", "3"},
        {"NULLIF(1, 1)", "NULL"},
        {"LEN(NULL)", "NULL"},
        {"CHARINDEX('b', NULL)", "NULL"},
        {"CASE WHEN NULL = NULL THEN 'si' ELSE 'no' END", "no"},
        {"COUNT(NOMBRE) FROM MA_CUENTAS", "3"},
        {"COUNT(*) FROM MA_CUENTAS WHERE NOMBRE = NULL", "0"},
        {"COUNT(*) FROM MA_CUENTAS WHERE NOMBRE <> 'Cuenta 1'", "2"},
        // Numbers, texts and +.
        {"7 / 2", "3"},
        {"7 % 3", "1"},
        {"'1' + '2'", "12"},
        {"CONVERT(INT, '12') + 1", "13"},
        {"LEN('ab  ')", "2"},
        {"RTRIM('ab  ') + 'c'", "abc"},
        {"SUBSTRING('ABCD', 2, 2)", "BC"},
        {"UPPER('ñandú')", "ÑANDÚ"},
        {"CODIGO + NOMBRE FROM MA_CUENTAS WHERE CODIGO + NOMBRE = '2CUENTA 2'", "2Cuenta 2"},
        {"MIN(CODIGO + CODIGO) FROM MA_CUENTAS", "11"},
        {"MAX(LEN(CODIGO) + LEN(NOMBRE)) FROM MA_CUENTAS", "9"},
        // A call's text keeps the database's collation; compared with a
        // number it is converted.
        {"COUNT(*) FROM MA_CUENTAS WHERE RTRIM(LTRIM(NOMBRE)) = 'cuenta 1'", "1"},
        {"COUNT(*) FROM MA_CUENTAS WHERE UPPER(NOMBRE) IN ('cuenta 2')", "1"},
        {"COUNT(*) FROM MA_CUENTAS WHERE 'x' + NOMBRE = 'XCUENTA 3'", "1"},
        {"COUNT(*) FROM MA_CUENTAS WHERE RTRIM(CODIGO) = 2", "1"},
        {"COUNT(*) FROM MA_CUENTAS WHERE 2 < LTRIM(CODIGO)", "2"},
        {"COUNT(*) FROM MA_CUENTAS WHERE RTRIM(CODIGO) > 10", "0"},
        // Dates.
        {"DATEDIFF(day, '2024-12-31', '2025-01-01')", "1"},
        {"DATEDIFF(month, '2024-12-31 23:59:59', '2025-01-01')", "1"},
        {"DATEPART(dw, '2026-12-06')", "7"},
        {"YEAR('2024-12-31 23:59:59')", "2024"},
        {"DATENAME(month, '2026-01-15')", "Enero"},
        // TOP, in subqueries too.
        {"COUNT(*) FROM (SELECT TOP 2 CODIGO FROM MA_CUENTAS ORDER BY CODIGO DESC) x", "2"},
        {"CODIGO FROM MA_CUENTAS WHERE CODIGO IN (SELECT TOP 1 CODIGO FROM MA_CUENTAS "
         "ORDER BY CODIGO DESC)",
         "9"},
        {"TOP 1 CODIGO FROM MA_CUENTAS WHERE CODIGO > (SELECT TOP 1 CODIGO FROM MA_CUENTAS "
         "ORDER BY CODIGO) ORDER BY CODIGO",
         "2"},
        {"COUNT(*) FROM (SELECT TOP 100 PERCENT CODIGO FROM MA_CUENTAS ORDER BY CODIGO) x", "4"},
    });
}

// A date column compared with a quoted date in every form SQL Server reads
// under DATEFORMAT dmy, and two-digit years up to 2049.
TEST_P(DataLayer, DatesQuotedAsTextAnswerWhatSqlServerAnswers) {
    for (const char* fecha :
         {"01/02/2024", "01/02/2024", "01/02/2024 10:30", "02/02/2024", "03/02/2024 23:59:59"})
        run(QStringLiteral("INSERT INTO MV_ASIENTOS (NUMERO, FECHA) VALUES (1, '%1')").arg(fecha));
    expectAnswers({
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '01/02/2024'", "2"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '20240201'", "2"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '1/2/24'", "2"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE '01/02/2024' = FECHA", "2"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '01/02/2024 10:30'", "1"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '20240201 10:30:00'", "1"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA >= '01/02/2024' AND FECHA <= '02/02/2024'", "4"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA BETWEEN '01/02/24' AND '02/02/24'", "4"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA > '01/02/2024 10:00'", "3"},
        {"COUNT(*) FROM MV_ASIENTOS WHERE FECHA IN ('02/02/2024', '03/02/2024 23:59:59')", "2"},
        {"COUNT(*) FROM (SELECT FECHA AS F FROM MV_ASIENTOS) x WHERE F < '20240202'", "3"},
        {"COUNT(DISTINCT FECHA) FROM MV_ASIENTOS", "4"},
        {"YEAR(CAST('01/01/30' AS DATETIME))", "2030"},
        {"YEAR(CAST('31/12/49 10:00' AS DATETIME))", "2049"},
        {"YEAR(CAST('01/01/50' AS DATETIME))", "1950"},
    });
    run("INSERT INTO CONTROL_ACCESO (USUARIO, ENTRADA) VALUES ('A', '05/03/30 08:15')");
    EXPECT_EQ(scalar("SELECT YEAR(ENTRADA) FROM CONTROL_ACCESO"), "2030");
}

// MONEY and DECIMAL are exact to their scale: sums, an entry's balance,
// conversions and their texts; ROUND as SQL Server rounds.
TEST_P(DataLayer, AmountsAnswerWhatSqlServerAnswers) {
    for (const char* row : {"'1', 0.1", "'2', 0.2", "'3', 0.3", "'4', 39210677.06"})
        run(QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, SALDO) VALUES (%1)").arg(row));
    expectAnswers({
        {"SUM(SALDO) FROM MA_CUENTAS WHERE CODIGO IN ('1', '2')", "0.3"},
        {"SUM(SALDO) FROM MA_CUENTAS WHERE CODIGO <> '3'", "39210677.36"},
        {"ISNULL(SUM(CASE WHEN CODIGO = '3' THEN -SALDO ELSE SALDO END), 0) FROM MA_CUENTAS "
         "WHERE CODIGO < '4'",
         "0"},
        {"SUM(SALDO) - SUM(SALDO) FROM MA_CUENTAS", "0"},
        {"SUM(CODIGO) FROM MA_CUENTAS", "10"},
        {"SUM(SALDO) FROM MA_CUENTAS WHERE CODIGO = 'ninguna'", "NULL"},
        {"CAST(10 AS MONEY) / 3", "3.3333"},
        {"CAST(CAST(2.5 AS MONEY) AS INT)", "3"},
        {"CAST(2.5 AS INT)", "2"},
        {"CONVERT(VARCHAR(20), CAST(1234.5 AS MONEY))", "1234.50"},
        {"CONVERT(VARCHAR(20), CAST(1234.5 AS MONEY), 1)", "1,234.50"},
        {"CONVERT(VARCHAR(20), CAST(1234.5 AS MONEY), 2)", "1234.5000"},
        {"CAST(CAST(1 AS DECIMAL(5,2)) AS VARCHAR(10))", "1.00"},
        {"CAST(2.675 AS DECIMAL(5,2))", "2.68"},
        {"ROUND(748.58, -1)", "750"},
        {"ROUND(748.58, -2)", "700"},
        {"ROUND(748.58, -4)", "0"},
        {"ROUND(748.58, 1)", "748.6"},
        {"ROUND(-2.5, 0)", "-3"},
        {"ROUND(150.75, 0, 1)", "150"},
        {"ROUND(1234, -2)", "1200"},
    });
}

// Values that are no table column compare under the database's collation
// and blank padding as the columns do.
TEST_P(DataLayer, TextsOutsideTableColumnsAnswerWhatSqlServerAnswers) {
    expectAnswers({
        {"CASE WHEN 'abc' = 'ABC' THEN 'si' ELSE 'no' END", "si"},
        {"CASE WHEN 'abc' = 'abc   ' THEN 'si' ELSE 'no' END", "si"},
        {"CASE WHEN '' = '   ' THEN 'si' ELSE 'no' END", "si"},
        {"CASE WHEN 'a' = 'á' THEN 'si' ELSE 'no' END", "no"},
        {"NULLIF('a', 'A')", "NULL"},
        {"CASE 'A' WHEN 'a' THEN 'si' ELSE 'no' END", "si"},
        {"MAX(x) FROM (SELECT 'a' AS x UNION ALL SELECT 'B') t", "B"},
        {"MIN(x) FROM (SELECT 'b' x UNION ALL SELECT 'A') t", "A"},
        {"COUNT(*) FROM (SELECT 'x' AS c UNION SELECT 'X' UNION SELECT 'x   ') u", "1"},
        {"COUNT(*) FROM (SELECT c FROM (SELECT 'abc' AS c UNION ALL SELECT 'ABC ') d GROUP BY "
         "c) g",
         "1"},
        {"REPLACE('abcABC', 'b', 'x')", "axcAxC"},
        {"CASE WHEN 'abc  ' LIKE 'abc' THEN 'si' ELSE 'no' END", "si"},
        {"CASE WHEN 'abc' LIKE 'abc ' THEN 'si' ELSE 'no' END", "no"},
        {"ISNULL(CAST(NULL AS VARCHAR(2)), 'abcdef')", "ab"},
        {"ISNULL(CAST('xyz' AS VARCHAR(5)), 'abcdef')", "xyz"},
        {"SUBSTRING('abc', 0, 2)", "a"},
        {"SUBSTRING('abc', -1, 3)", "a"},
        {"SUBSTRING('abc', 2, 10)", "bc"},
    });
}

TEST_P(DataLayer, AConversionSqlServerRefusesFailsWithItsNumber) {
    for (const char* select :
         {"'ab' + 1", "CONVERT(INT, 'x')", "COUNT(*) FROM MA_CUENTAS WHERE RTRIM('x') = 1"}) {
        SCOPED_TRACE(select);
        std::unique_ptr<Recordset> rs;
        const StepResult e = cnn_.Execute(QStringLiteral("SELECT ") + select, nullptr, &rs);
        ASSERT_TRUE(e);
        EXPECT_EQ(cnn_.errors().Item(0).NativeError, 245);
    }
}

TEST_P(DataLayer, TheIdentityOfAnInsertIsReadBackBySql) {
    run("INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('ADMIN')");
    run("INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('OTRO')");
    EXPECT_EQ(scalar("SELECT @@IDENTITY"), "2");
    EXPECT_EQ(scalar("SELECT SCOPE_IDENTITY()"), "2");
    EXPECT_EQ(scalar("SELECT USUARIO FROM CONTROL_ACCESO WHERE ID = @@IDENTITY"), "OTRO");
}

// Another program holding the file's write lock: a write waits up to the
// command timeout, then fails as a timeout; a lock let go in time is waited
// for.
TEST_P(DataLayer, AWriteWaitsForAnotherProgramsLockUpToTheCommandTimeout) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder_.path("conta.db").toUtf8().constData(), &other), SQLITE_OK);
    const auto lock = [&] {
        return sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    };
    const auto unlock = [&] { sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr); };

    cnn_.setCommandTimeout(1);
    ASSERT_EQ(lock(), SQLITE_OK);
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(cnn_.Execute("INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('ESPERA')"));
    EXPECT_GE(waited.elapsed(), 900);
    // Not the ODBC driver's own 100 s on top.
    EXPECT_LT(waited.elapsed(), 2500);
    EXPECT_EQ(cnn_.errors().Item(0).Number, err::Timeout);

    cnn_.setCommandTimeout(30);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        unlock();
    });
    const StepResult e = cnn_.Execute("INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('ESPERA')");
    releaser.join();
    EXPECT_FALSE(e) << e->description.toStdString();
    sqlite3_close(other);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CONTROL_ACCESO"), "1");
}

TEST_P(DataLayer, RecordsAffectedCountsTheStatementsRows) {
    addAccounts(3);
    long affected = 0;
    ASSERT_FALSE(cnn_.Execute("UPDATE MA_CUENTAS SET ALTA = '01/02/2026'", &affected));
    EXPECT_EQ(affected, 3) << "the date guard's own writes are not counted";
    ASSERT_FALSE(cnn_.Execute("DELETE FROM MA_CUENTAS WHERE CODIGO = '2'", &affected));
    EXPECT_EQ(affected, 1);
    ASSERT_FALSE(cnn_.Execute("SELECT * FROM MA_CUENTAS", &affected));
    EXPECT_EQ(affected, -1);
}

TEST_P(DataLayer, TextKeysCompareAsSqlServerDoes) {
    run("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('USA CONTRASEÑA', 'SI')");
    EXPECT_EQ(scalar("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'usa contraseña'"), "SI");
    EXPECT_EQ(scalar("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE LIKE 'usa%ña'"), "SI");
    EXPECT_EQ(scalar("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'usa contrasena'"), "<eof>");
    EXPECT_EQ(scalar("SELECT UPPER('contraseña')"), "CONTRASEÑA");
}

TEST_P(DataLayer, NullAndEmptyTextStayApart) {
    run("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('NULO', NULL)");
    run("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('VACIO', '')");
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT CLAVE, VALOR FROM TA_CONFIGURACION ORDER BY CLAVE", cnn_));
    EXPECT_EQ(rs.value("CLAVE").toString(), "NULO");
    EXPECT_TRUE(rs.value("VALOR").isNull());
    ASSERT_FALSE(rs.MoveNext());
    EXPECT_FALSE(rs.value("VALOR").isNull());
    EXPECT_EQ(rs.value("VALOR").kind(), Value::Kind::Text);
    EXPECT_EQ(rs.value("VALOR").toString(), "");
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION WHERE VALOR IS NULL"), "1");
}

TEST_P(DataLayer, DateTextsAreStoredAsDatesAndReadBackAsDates) {
    run("INSERT INTO CONTROL_ACCESO (USUARIO, ENTRADA, SALIDA) VALUES ('A', '31/12/2026', "
        "'31/12/26 10:00')");
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT ENTRADA, SALIDA FROM CONTROL_ACCESO", cnn_));
    EXPECT_EQ(rs.value("ENTRADA").kind(), Value::Kind::Date);
    EXPECT_EQ(rs.value("ENTRADA").toDateTime(), QDateTime(QDate(2026, 12, 31), QTime(0, 0)));
    EXPECT_EQ(rs.value("SALIDA").toDateTime(), QDateTime(QDate(2026, 12, 31), QTime(10, 0)));
    EXPECT_EQ(scalar("SELECT count(*) FROM CONTROL_ACCESO WHERE ENTRADA < SALIDA"), "1");
    EXPECT_EQ(scalar("SELECT YEAR(ENTRADA) FROM CONTROL_ACCESO"), "2026");
}

// ---- transactions ------------------------------------------------------------

TEST_P(DataLayer, TransactionsNestAndRollBackEverythingOfTheirLevel) {
    long level = 0;
    ASSERT_FALSE(cnn_.BeginTrans(&level));
    EXPECT_EQ(level, 1);
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')");
    ASSERT_FALSE(cnn_.BeginTrans(&level));
    EXPECT_EQ(level, 2);
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('2')");
    ASSERT_FALSE(cnn_.RollbackTrans());
    ASSERT_FALSE(cnn_.CommitTrans());
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "1");

    // A failure inside a transaction, then the rollback: nothing remains.
    ASSERT_FALSE(cnn_.BeginTrans());
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('3')");
    EXPECT_TRUE(cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')"));
    ASSERT_FALSE(cnn_.RollbackTrans());
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "1");
}

TEST_P(DataLayer, EndingATransactionThatWasNeverBegunFails) {
    for (StepResult e : {cnn_.CommitTrans(), cnn_.RollbackTrans()}) {
        ASSERT_TRUE(e);
        EXPECT_EQ(e->number, err::NoTransaction);
        EXPECT_EQ(cnn_.errors().Count(), 1);
    }
}

TEST_P(DataLayer, TransactionsWrittenAsSqlShareTheSameLevels) {
    run("BEGIN TRANSACTION");
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')");
    run("ROLLBACK TRANSACTION");
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "0");
    ASSERT_FALSE(cnn_.BeginTrans());
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('2')");
    run("COMMIT TRANSACTION");
    EXPECT_TRUE(cnn_.CommitTrans()) << "the SQL COMMIT ended the transaction";
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "1");
}

TEST_P(DataLayer, ClosingRollsBackAnOpenTransaction) {
    ASSERT_FALSE(cnn_.BeginTrans());
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')");
    ASSERT_FALSE(cnn_.Close());
    ASSERT_FALSE(cnn_.Open(connectionString_));
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "0");
}

TEST_P(DataLayer, AScopeKeepsItsWritesOnlyWhenCommitted) {
    {
        TransactionScope t(cnn_);
        ASSERT_FALSE(t.begin());
        run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1')");
    }  // left without a commit, as an early return would
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "0");

    TransactionScope t(cnn_);
    ASSERT_FALSE(t.begin());
    run("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('2')");
    ASSERT_FALSE(t.commit());
    EXPECT_FALSE(t.open());
    EXPECT_TRUE(t.commit()) << "nothing is open to commit";
    t.rollback();  // nothing left to undo
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "1");
}

// ---- schema ------------------------------------------------------------------

TEST_P(DataLayer, TheTableCatalogueListsTablesAndViewsOnly) {
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(cnn_.OpenSchema(adSchemaTables, {}, rs));
    QStringList tables, views;
    for (; !rs->EOF(); rs->MoveNext()) {
        const QString name = rs->value("TABLE_NAME").toString();
        (rs->value("TABLE_TYPE").toString() == "VIEW" ? views : tables) << name;
    }
    tables.sort();
    EXPECT_EQ(tables, QStringList({"CONTROL_ACCESO", "MA_CUENTAS", "MV_ASIENTOS",
                                   "TA_CONFIGURACION", "TIPOS"}));
    EXPECT_EQ(views, QStringList{"V_CUENTAS"});
}

TEST_P(DataLayer, TheColumnCatalogueIsRestrictedByTableWithoutRegardToCase) {
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(
        cnn_.OpenSchema(adSchemaColumns, {cnn_.DefaultDatabase(), "", "ma_cuentas", ""}, rs));
    QStringList columns;
    for (; !rs->EOF(); rs->MoveNext()) {
        columns << rs->value("COLUMN_NAME").toString();
        EXPECT_EQ(rs->value("TABLE_NAME").toString(), "MA_CUENTAS");
        if (columns.last() == "NOMBRE") {
            EXPECT_EQ(rs->value("DATA_TYPE").toInt64(), adVarChar);
            EXPECT_EQ(rs->value("CHARACTER_MAXIMUM_LENGTH").toInt64(), 40);
        }
        if (columns.last() == "SALDO") {
            EXPECT_EQ(rs->value("DATA_TYPE").toInt64(), adCurrency);
        }
    }
    EXPECT_EQ(columns, QStringList({"CODIGO", "NOMBRE", "IMPUTABLE", "SALDO", "ALTA"}));
    EXPECT_EQ(cnn_.OpenSchema(99, {}, rs)->number, err::ReadOnly);
}

TEST_P(DataLayer, ColumnsAddedLaterAreListedAndGuarded) {
    run("ALTER TABLE dbo.MA_CUENTAS ADD EMAIL VARCHAR(10) Null  CONSTRAINT DF_MA_CUENTAS_EMAIL "
        "DEFAULT ('')");
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(cnn_.OpenSchema(adSchemaColumns, {"", "", "MA_CUENTAS", "email"}, rs));
    ASSERT_FALSE(rs->EOF());
    EXPECT_EQ(rs->value("CHARACTER_MAXIMUM_LENGTH").toInt64(), 10);
    const StepResult e =
        cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO, EMAIL) VALUES ('1', 'demasiado largo')");
    ASSERT_TRUE(e);
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, err::NativeTruncation);
}

// ---- procedures --------------------------------------------------------------

TEST_P(DataLayer, ProceduresRunWithTheirArgumentsByPosition) {
    run("kv_Asentar '1101','250.5'");
    run("EXEC KV_ASENTAR '1102', '10'");
    EXPECT_EQ(scalar("SELECT count(*) FROM MV_ASIENTOS"), "4");
    EXPECT_EQ(scalar("SELECT IMPORTE FROM MV_ASIENTOS WHERE CUENTA = '1101'"), "250.5");
    EXPECT_EQ(scalar("SELECT sum(IMPORTE) FROM MV_ASIENTOS"), "0");
}

TEST_P(DataLayer, AFailingProcedureLeavesNothingAndExplainsWhy) {
    const StepResult e = cnn_.Execute("kv_Asentar '1101','-5'");
    ASSERT_TRUE(e);
    ASSERT_EQ(cnn_.errors().Count(), 1);
    EXPECT_EQ(cnn_.errors().Item(0).Description, "El importe debe ser mayor que cero");
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, 50000);
    EXPECT_EQ(scalar("SELECT count(*) FROM MV_ASIENTOS"), "0") << "the first line was undone";

    EXPECT_TRUE(cnn_.Execute("kv_Asentar '1101'"));
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains("@importe"));
    EXPECT_TRUE(cnn_.Execute("kv_Asentar '1', '2', '3'"));
}

// ---- recordsets: cursors -----------------------------------------------------

TEST_P(DataLayer, ForwardOnlyCursorsOnlyGoForward) {
    addAccounts(3);
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS ORDER BY CODIGO", cnn_));
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs.RecordCount(), -1);
    EXPECT_FALSE(rs.BOF());
    QStringList seen;
    for (; !rs.EOF(); moveNext(rs)) seen << rs.value("codigo").toString();
    EXPECT_EQ(seen, QStringList({"1", "2", "3"}));
    EXPECT_EQ(rs.MoveNext()->number, err::EofOrBof);
    EXPECT_EQ(rs.MovePrevious()->number, err::CantFetchBackward);
    EXPECT_EQ(rs.setValue("NOMBRE", "x")->number, err::ReadOnly);
    EXPECT_EQ(rs.AddNew()->number, err::ReadOnly);
    // Starting again runs the statement again.
    ASSERT_FALSE(rs.MoveFirst());
    EXPECT_EQ(rs.value("CODIGO").toString(), "1");
    ASSERT_FALSE(rs.MoveLast());
    EXPECT_EQ(rs.value("CODIGO").toString(), "3");
    // Showing the same row again keeps its values.
    ASSERT_FALSE(rs.CancelUpdate());
    ASSERT_FALSE(rs.MoveLast());
    EXPECT_EQ(rs.value("CODIGO").toString(), "3");
    Recordset again;
    ASSERT_FALSE(again.Open("SELECT * FROM MA_CUENTAS ORDER BY CODIGO", cnn_));
    ASSERT_FALSE(again.MoveFirst());
    EXPECT_EQ(again.value("CODIGO").toString(), "1");
}

TEST_P(DataLayer, ClientCursorsKnowTheirCount) {
    addAccounts(3);
    cnn_.setCursorLocation(adUseClient);
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS", cnn_));
    ASSERT_FALSE(rs.MoveNext());
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.value("CODIGO").toString(), "2") << "counting does not move the cursor";
}

TEST_P(DataLayer, ScrollableCursorsMoveBothWays) {
    addAccounts(3);
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS ORDER BY CODIGO", cnn_, adOpenStatic));
    EXPECT_EQ(rs.RecordCount(), 3);
    ASSERT_FALSE(rs.MoveLast());
    EXPECT_EQ(rs.value("CODIGO").toString(), "3");
    ASSERT_FALSE(rs.MovePrevious());
    EXPECT_EQ(rs.value("CODIGO").toString(), "2");
    ASSERT_FALSE(rs.MoveFirst());
    ASSERT_FALSE(rs.MovePrevious());
    EXPECT_TRUE(rs.BOF());
    EXPECT_FALSE(rs.EOF());
    EXPECT_TRUE(rs.value("CODIGO").isEmpty());
    EXPECT_EQ(rs.MovePrevious()->number, err::EofOrBof);
    ASSERT_FALSE(rs.MoveNext());
    EXPECT_EQ(rs.value("CODIGO").toString(), "1");
}

TEST_P(DataLayer, AnEmptyResultIsAtBothEnds) {
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS", cnn_, adOpenDynamic, adLockOptimistic));
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EOF());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_EQ(rs.MoveNext()->number, err::EofOrBof);
    EXPECT_EQ(rs.setValue("NOMBRE", "x")->number, err::EofOrBof);
}

TEST_P(DataLayer, RecordsetStateErrorsAreAdosOwn) {
    Recordset rs;
    EXPECT_EQ(rs.Close()->number, err::ObjectClosed);
    EXPECT_EQ(rs.MoveNext()->number, err::ObjectClosed);
    Connection closed;
    EXPECT_EQ(rs.Open("SELECT 1", closed)->number, err::ConnectionClosed);
    ASSERT_FALSE(rs.Open("SELECT 1", cnn_));
    EXPECT_EQ(rs.Open("SELECT 1", cnn_)->number, err::AlreadyOpen);
    ASSERT_FALSE(rs.Close());
    EXPECT_EQ(rs.State(), adStateClosed);
    // A statement without rows leaves the recordset closed.
    ASSERT_FALSE(rs.Open("DELETE FROM MA_CUENTAS", cnn_));
    EXPECT_EQ(rs.State(), adStateClosed);
    // A failing statement reports through the connection.
    EXPECT_EQ(rs.Open("SELECT * FROM NO_EXISTE", cnn_)->number, err::NoSuchTable);
    EXPECT_EQ(cnn_.errors().Count(), 1);
}

TEST_P(DataLayer, FieldsAreFoundByIndexAndByNameWithoutRegardToCase) {
    addAccounts(1);
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT CODIGO, NOMBRE AS Descripcion FROM MA_CUENTAS", cnn_));
    ASSERT_EQ(rs.fieldCount(), 2);
    EXPECT_EQ(rs.field(1)->Name, "Descripcion");
    EXPECT_EQ(rs.field("DESCRIPCION"), rs.field(1));
    EXPECT_EQ(rs.value("descripcion").toString(), "Cuenta 1");
    EXPECT_EQ(rs.field("NO_ESTA"), nullptr);
    EXPECT_EQ(rs.field(2), nullptr);
    EXPECT_TRUE(rs.value("NO_ESTA").isEmpty());
    ASSERT_FALSE(rs.Close());
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS", cnn_, adOpenDynamic, adLockOptimistic));
    EXPECT_EQ(rs.setValue("NO_ESTA", 1)->number, err::ItemNotFound);
    EXPECT_EQ(rs.setValue(99, 1)->number, err::ItemNotFound);
}

TEST_P(DataLayer, FieldTypesAndSizesComeFromTheDeclaredTypes) {
    run("INSERT INTO TIPOS VALUES (1, 2, 3, 4, 1.5, 10.25, '31/12/2026 10:00', '2026-12-31', 1, "
        "12.5, 'vc', 'nvc', 'ch', 'texto')");
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT *, count(*) AS CUANTOS, 'abc' AS LITERAL FROM TIPOS", cnn_));
    struct Case {
        const char* name;
        int type;
        long size;
    };
    for (const Case& c :
         {Case{"C_INT", adInteger, 4}, Case{"C_SMALL", adSmallInt, 2}, Case{"C_TINY", adTinyInt, 1},
          Case{"C_BIG", adBigInt, 8}, Case{"C_FLOAT", adDouble, 8}, Case{"C_MONEY", adCurrency, 8},
          Case{"C_DT", adDBTimeStamp, 16}, Case{"C_DATE", adDBDate, 6}, Case{"C_BIT", adBoolean, 2},
          Case{"C_NUM", adNumeric, 19}, Case{"C_VC", adVarChar, 50}, Case{"C_NVC", adVarWChar, 30},
          Case{"C_CHAR", adChar, 8}, Case{"C_TEXT", adLongVarChar, 2147483647},
          Case{"CUANTOS", adInteger, 4}, Case{"LITERAL", adVarChar, 3}}) {
        const Field* f = rs.field(QString::fromLatin1(c.name));
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(f->Type, c.type) << c.name;
        EXPECT_EQ(f->DefinedSize, c.size) << c.name;
    }
    EXPECT_EQ(rs.value("C_MONEY").kind(), Value::Kind::Currency);
    EXPECT_EQ(rs.value("C_MONEY").currencyScaled(), 102500);
    EXPECT_EQ(rs.value("C_BIT").kind(), Value::Kind::Boolean);
    EXPECT_EQ(rs.value("C_DATE").toDateTime().date(), QDate(2026, 12, 31));
    EXPECT_EQ(rs.value("C_INT").kind(), Value::Kind::Integer);
    EXPECT_EQ(rs.value("C_NUM").toDouble(), 12.5);
}

// ---- recordsets: writes ------------------------------------------------------

TEST_P(DataLayer, AddNewReadsTheIdentityBack) {
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM CONTROL_ACCESO WHERE ID = 0", cnn_, adOpenDynamic,
                         adLockOptimistic));
    for (int i = 1; i <= 2; ++i) {
        ASSERT_FALSE(rs.AddNew());
        EXPECT_FALSE(rs.EOF());
        EXPECT_TRUE(rs.value("ID").isNull());
        ASSERT_FALSE(rs.setValue("USUARIO", "ADMIN"));
        ASSERT_FALSE(rs.setValue("ENTRADA", QDateTime(QDate(2026, 3, 1), QTime(9, 30))));
        ASSERT_FALSE(rs.Update());
        EXPECT_EQ(rs.value("ID").toInt64(), i);
    }
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(scalar("SELECT max(ID) FROM CONTROL_ACCESO"), "2");
    EXPECT_EQ(scalar("SELECT ENTRADA FROM CONTROL_ACCESO WHERE ID = 2"), "01/03/2026 09:30:00");
}

TEST_P(DataLayer, NewRowsShowWhatTheTableStored) {
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS", cnn_, adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.AddNew());
    ASSERT_FALSE(rs.setValue("CODIGO", "1"));
    ASSERT_FALSE(rs.setValue("ALTA", "31/12/2026"));
    ASSERT_FALSE(rs.Update());
    EXPECT_EQ(rs.value("IMPUTABLE").toBool(), false) << "the column's default";
    EXPECT_FALSE(rs.value("IMPUTABLE").isNull());
    EXPECT_EQ(rs.value("ALTA").kind(), Value::Kind::Date);
}

TEST_P(DataLayer, UpdateChangesTheRowFoundByItsKey) {
    addAccounts(3);
    Recordset rs;
    ASSERT_FALSE(rs.Open("Select * from Ma_Cuentas WHERE CODIGO = '2'", cnn_, adOpenDynamic,
                         adLockOptimistic));
    ASSERT_FALSE(rs.setValue("NOMBRE", "Bancos"));
    ASSERT_FALSE(rs.setValue("SALDO", Value::currency(1234.5)));
    ASSERT_FALSE(rs.Update());
    EXPECT_TRUE(cnn_.errors().empty());
    EXPECT_EQ(scalar("SELECT NOMBRE FROM MA_CUENTAS WHERE CODIGO = '2'"), "Bancos");
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS WHERE NOMBRE = 'Bancos'"), "1");
    EXPECT_EQ(scalar("SELECT SALDO FROM MA_CUENTAS WHERE CODIGO = '2'"), "1234.5");
}

TEST_P(DataLayer, RowsOfATableWithoutKeyAreFoundByTheirLocator) {
    for (int i = 0; i < 3; ++i)
        run("INSERT INTO MV_ASIENTOS (NUMERO, CUENTA, IMPORTE) VALUES (1, '1101', 10)");
    Recordset rs;
    ASSERT_FALSE(
        rs.Open("SELECT CUENTA, IMPORTE FROM MV_ASIENTOS", cnn_, adOpenDynamic, adLockOptimistic));
    ASSERT_EQ(rs.fieldCount(), 2) << "the locator read along is no field";
    ASSERT_FALSE(rs.MoveNext());
    ASSERT_FALSE(rs.setValue("IMPORTE", 99.0));
    ASSERT_FALSE(rs.Update());
    EXPECT_EQ(scalar("SELECT count(*) FROM MV_ASIENTOS WHERE IMPORTE = 99"), "1");
}

TEST_P(DataLayer, AnotherWritersChangeMakesTheUpdateFail) {
    addAccounts(2);
    Connection other;
    ASSERT_FALSE(other.Open(connectionString_));
    Recordset mine, theirs;
    ASSERT_FALSE(mine.Open("SELECT * FROM MA_CUENTAS WHERE CODIGO = '1'", cnn_, adOpenDynamic,
                           adLockOptimistic));
    ASSERT_FALSE(theirs.Open("SELECT * FROM MA_CUENTAS WHERE CODIGO = '1'", other, adOpenDynamic,
                             adLockOptimistic));
    ASSERT_FALSE(theirs.setValue("NOMBRE", "Caja"));
    ASSERT_FALSE(theirs.Update());

    ASSERT_FALSE(mine.setValue("NOMBRE", "Bancos"));
    const StepResult e = mine.Update();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::RowChanged);
    ASSERT_EQ(cnn_.errors().Count(), 1);
    EXPECT_TRUE(cnn_.errors().Item(0).Description.startsWith(
        "La fila fue modificada o eliminada por otro usuario"));
    EXPECT_EQ(scalar("SELECT NOMBRE FROM MA_CUENTAS WHERE CODIGO = '1'"), "Caja");
    // The edit stays pending: it can be cancelled, then the recordset closes.
    EXPECT_EQ(mine.Close()->number, err::NotAllowedInContext);
    ASSERT_FALSE(mine.CancelUpdate());
    EXPECT_EQ(mine.value("NOMBRE").toString(), "Cuenta 1");
    ASSERT_FALSE(mine.Close());

    // A column the other writer did not touch can still be written.
    ASSERT_FALSE(mine.Open("SELECT * FROM MA_CUENTAS WHERE CODIGO = '2'", cnn_, adOpenDynamic,
                           adLockOptimistic));
    ASSERT_FALSE(other.Execute("UPDATE MA_CUENTAS SET NOMBRE = 'Otro' WHERE CODIGO = '2'"));
    ASSERT_FALSE(mine.setValue("SALDO", Value::currency(5)));
    EXPECT_FALSE(mine.Update());
    // A row the other writer removed cannot.
    ASSERT_FALSE(other.Execute("DELETE FROM MA_CUENTAS WHERE CODIGO = '2'"));
    ASSERT_FALSE(mine.setValue("NOMBRE", "Nuevo"));
    EXPECT_EQ(mine.Update()->number, err::RowChanged);
    mine.CancelUpdate();
}

TEST_P(DataLayer, AFailedWriteKeepsTheEditPending) {
    addAccounts(1);
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS", cnn_, adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.setValue("NOMBRE", "Un nombre de cuenta que pasa los cuarenta caracteres"));
    const StepResult e = rs.Update();
    ASSERT_TRUE(e);
    EXPECT_EQ(cnn_.errors().Item(0).NativeError, err::NativeTruncation);
    EXPECT_EQ(rs.Close()->number, err::NotAllowedInContext);
    ASSERT_FALSE(rs.setValue("NOMBRE", "Corto"));
    ASSERT_FALSE(rs.Update());
    EXPECT_EQ(scalar("SELECT NOMBRE FROM MA_CUENTAS"), "Corto");
}

TEST_P(DataLayer, MovingOnSavesThePendingEdit) {
    addAccounts(2);
    Recordset rs;
    ASSERT_FALSE(
        rs.Open("SELECT * FROM MA_CUENTAS ORDER BY CODIGO", cnn_, adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.setValue("NOMBRE", "Primera"));
    ASSERT_FALSE(rs.MoveNext());
    EXPECT_EQ(scalar("SELECT NOMBRE FROM MA_CUENTAS WHERE CODIGO = '1'"), "Primera");
    ASSERT_FALSE(rs.AddNew());
    ASSERT_FALSE(rs.setValue("CODIGO", "3"));
    ASSERT_FALSE(rs.CancelUpdate());
    EXPECT_EQ(rs.value("CODIGO").toString(), "2") << "back on the row before AddNew";
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS"), "2");
}

TEST_P(DataLayer, RecordsetsOverJoinsCannotWrite) {
    addAccounts(1);
    run("INSERT INTO MV_ASIENTOS (NUMERO, CUENTA) VALUES (1, '1')");
    Recordset rs;
    ASSERT_FALSE(
        rs.Open("SELECT C.NOMBRE, A.NUMERO FROM MA_CUENTAS C INNER JOIN MV_ASIENTOS A "
                "ON A.CUENTA = C.CODIGO",
                cnn_, adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.setValue("NOMBRE", "x"));
    EXPECT_TRUE(rs.Update());
    ASSERT_FALSE(rs.CancelUpdate());
}

// The renumbering walk: every row of a dynamic recordset rewritten, the
// journal updated through the connection between rows.
TEST_P(DataLayer, WalkingAndRewritingEveryRowVisitsEachRowOnce) {
    addAccounts(20);
    for (int i = 1; i <= 20; ++i)
        run(QStringLiteral("INSERT INTO MV_ASIENTOS (NUMERO, CUENTA) VALUES (%1, '%1')").arg(i));
    ASSERT_FALSE(cnn_.BeginTrans());
    Recordset rs;
    ASSERT_FALSE(rs.Open("Select * from Ma_Cuentas", cnn_, adOpenDynamic, adLockOptimistic));
    int visited = 0;
    for (; !rs.EOF() && visited <= 20; moveNext(rs)) {
        const QString old = rs.value("CODIGO").toString();
        const QString renumbered = "N" + old;
        ASSERT_FALSE(rs.setValue("CODIGO", renumbered));
        ASSERT_FALSE(rs.Update());
        run("UPDATE MV_ASIENTOS SET CUENTA = '" + renumbered + "' WHERE CUENTA = '" + old + "'");
        ++visited;
    }
    ASSERT_FALSE(cnn_.CommitTrans());
    EXPECT_EQ(visited, 20);
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS WHERE CODIGO LIKE 'N%'"), "20");
    EXPECT_EQ(scalar("SELECT count(*) FROM MA_CUENTAS WHERE CODIGO LIKE 'NN%'"), "0");
    EXPECT_EQ(scalar("SELECT count(*) FROM MV_ASIENTOS WHERE CUENTA LIKE 'N%'"), "20");
}

// A forward-only walk that writes the rows it walks over never sees its
// own writes again.
TEST_P(DataLayer, AForwardOnlyWalkDoesNotSeeItsOwnWrites) {
    for (int i = 1; i <= 50; ++i)
        run(QStringLiteral("INSERT INTO MV_ASIENTOS (NUMERO, CUENTA) VALUES (%1, 'C')").arg(i));
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT NUMERO FROM MV_ASIENTOS WHERE NUMERO > 0 ORDER BY NUMERO", cnn_));
    int visited = 0;
    for (; !rs.EOF() && visited <= 50; moveNext(rs)) {
        run(QStringLiteral("UPDATE MV_ASIENTOS SET NUMERO = NUMERO + 1000 WHERE NUMERO = %1")
                .arg(rs.value("NUMERO").toInt64()));
        ++visited;
    }
    EXPECT_EQ(visited, 50);
    EXPECT_EQ(scalar("SELECT min(NUMERO) FROM MV_ASIENTOS"), "1001");
}

TEST_P(DataLayer, ExecuteHandsBackAForwardOnlyReadOnlyRecordset) {
    addAccounts(2);
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(cnn_.Execute("SELECT * FROM MA_CUENTAS ORDER BY CODIGO", nullptr, &rs));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->CursorType(), adOpenForwardOnly);
    EXPECT_EQ(rs->LockType(), adLockReadOnly);
    EXPECT_EQ(rs->value("CODIGO").toString(), "1");
    ASSERT_FALSE(cnn_.Execute("DELETE FROM MA_CUENTAS", nullptr, &rs));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), adStateClosed);
}

TEST_P(DataLayer, ARecordsetOutlivingItsConnectionFailsCleanly) {
    addAccounts(3);
    Recordset rs;
    {
        Connection shortLived;
        ASSERT_FALSE(shortLived.Open(connectionString_));
        ASSERT_FALSE(rs.Open("SELECT * FROM MA_CUENTAS ORDER BY CODIGO", shortLived, adOpenDynamic,
                             adLockOptimistic));
    }
    ASSERT_FALSE(rs.MoveNext());
    EXPECT_EQ(rs.value("CODIGO").toString(), "2");
    ASSERT_FALSE(rs.setValue("NOMBRE", "x"));
    EXPECT_EQ(rs.Update()->number, err::ConnectionClosed);
    ASSERT_FALSE(rs.CancelUpdate());
}

TEST_P(DataLayer, TablesOpenByName) {
    addAccounts(2);
    Recordset rs;
    ASSERT_FALSE(rs.Open("MA_CUENTAS", cnn_, adOpenStatic, adLockReadOnly, 2));
    EXPECT_EQ(rs.RecordCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataLayer, ::testing::ValuesIn(kl::test::adoBackends()),
                         [](const ::testing::TestParamInfo<AdoBackend>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace kl::ado
