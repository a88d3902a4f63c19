// The engine's functions on PostgreSQL, installed through the layer as the
// schema installs them: every function the embedded engine knows is there
// with the arguments it takes, and each answers what SQL Server answers
// (a Spanish login: DATEFIRST 1, dates read day first).

#include "platform/ado/ado.h"
#include "platform/ado/odbc/postgres_functions.h"
#include "platform/sqlite_engine/function_table.h"
#include "support/postgres_cluster/postgres_cluster.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <map>

namespace kl::ado::odbc {
namespace {

using kl::test::PostgresCluster;

class PostgresFunctions : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        PostgresCluster* pg = PostgresCluster::shared();
        if (!pg || !pg->createDatabase(QStringLiteral("funciones"))) return;
        cnn_ = new Connection;
        if (cnn_->Open(pg->odbcConnectionString(QStringLiteral("funciones")))) return;
        for (const QString& statement : postgresFunctionStatements()) {
            if (const StepResult e = cnn_->Execute(statement)) {
                installError_ = e->description + QStringLiteral("\n") + statement;
                return;
            }
        }
    }
    static void TearDownTestSuite() {
        delete cnn_;
        cnn_ = nullptr;
    }
    void SetUp() override {
        if (!PostgresCluster::shared())
            GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
        ASSERT_TRUE(cnn_ && cnn_->State() == adStateOpen);
        ASSERT_TRUE(installError_.isEmpty()) << installError_.toStdString();
    }
    // The first column of the first row as text; NULL for Null.
    static QString answer(const QString& sql) {
        std::unique_ptr<Recordset> rs;
        if (const StepResult e = cnn_->Execute(sql, nullptr, &rs))
            return QStringLiteral("<error: ") + e->description + u'>';
        const Value v = rs->value(0);
        return v.isNull() ? QStringLiteral("NULL") : v.toString();
    }

    static inline Connection* cnn_ = nullptr;
    static inline QString installError_;
};

TEST_F(PostgresFunctions, InstallingThemAgainReplacesThem) {
    for (const QString& statement : postgresFunctionStatements())
        ASSERT_FALSE(cnn_->Execute(statement)) << statement.toStdString();
}

// The embedded engine's rows and the server's functions that stand for
// them; SQLite's own functions have the server's own too.
TEST_F(PostgresFunctions, EveryFunctionTheEmbeddedEngineKnowsIsThereWithItsArguments) {
    const std::map<QString, QStringList> serverNames = {
        {"IFNULL", {"coalesce"}},
        {"substr", {"substr"}},
        {"upper", {"upper"}},
        {"lower", {"lower"}},
        {"last_insert_rowid", {"lastval"}},
        {"like", {"kl_like"}},
        {"kl_convert", {"kl_convert_texto", "kl_convert_fecha"}},
    };
    for (const sqlite::EngineFunction& f : sqlite::engineFunctions()) {
        const QString name = QLatin1String(f.engineName);
        SCOPED_TRACE(name.toStdString());
        if (name == u"IFNULL") continue;  // COALESCE is the server's syntax, not a function
        const auto mapped = serverNames.find(name);
        const QStringList names = mapped == serverNames.end() ? QStringList{name} : mapped->second;
        for (const QString& server : names) {
            // CONVERT's type becomes the function's name on the server.
            const bool convert = server.startsWith(u"kl_convert_");
            const int least = convert ? 1 : f.minArguments;
            // Any number of operands nests two-operand calls.
            const int most = convert ? 2 : f.maxArguments < 0 ? f.minArguments : f.maxArguments;
            for (int count = least; count <= most; ++count) {
                EXPECT_NE(answer(QStringLiteral("SELECT count(*) FROM pg_proc WHERE proname = "
                                                "'%1' AND pronargs - pronargdefaults <= %2 AND "
                                                "pronargs >= %2")
                                     .arg(server)
                                     .arg(count)),
                          "0")
                    << server.toStdString() << " with " << count << " arguments";
            }
        }
    }
}

// What SQL Server answers, from its documentation; NULL stands for Null, and
// a condition reads 1 or 0.
TEST_F(PostgresFunctions, EachAnswersWhatSqlServerAnswers) {
    struct Case {
        const char* select;
        const char* sqlServer;
    };
    for (const Case& c : {
             // Texts: LEN ignores trailing blanks, CHARINDEX ignores case.
             Case{"kl_len('ab  ')", "2"},
             {"kl_len(NULL)", "NULL"},
             {"kl_len('  ab')", "4"},
             {"kl_charindex('B', 'abcb')", "2"},
             {"kl_charindex('b', 'abcb', 3)", "4"},
             {"kl_charindex('Ñ', 'añb')", "2"},
             {"kl_charindex('', 'abc')", "0"},
             {"kl_charindex('b', NULL)", "NULL"},
             {"kl_left('abc', 2)", "ab"},
             {"kl_right('abc', 2)", "bc"},
             {"kl_left('abc', 9)", "abc"},
             {"kl_replicate('ab', 3)", "ababab"},
             {"kl_replicate('ab', -1)", "NULL"},
             {"'[' || kl_space(3) || ']'", "[   ]"},
             {"kl_str(123.456, 8, 2)", "  123.46"},
             {"kl_str(123.456)", "       123"},
             {"kl_str(123456, 3)", "***"},
             {"kl_str(1234.5, 5, 2)", " 1235"},
             {"upper('ñandú')", "ÑANDÚ"},
             {"substr('ABCD', 2, 2)", "BC"},
             {"kl_substring('abc', 0, 2)", "a"},
             {"kl_substring('abc', -1, 3)", "a"},
             {"kl_substring('abc', 2, 9)", "bc"},
             {"kl_replace('abcABC', 'b', 'x')", "axcAxC"},
             {"kl_replace('canción', 'O', '0')", "canción"},
             {"kl_round(748.58, -1)", "750"},
             {"kl_round(748.58, -2)", "700"},
             {"kl_round(748.58, -4)", "0"},
             {"kl_round(150.75, 0, 1)", "150"},
             {"kl_round(2.5::float8, 0)", "3"},
             // LIKE: case ignored, accents counted, the text's trailing blanks
             // ignored, the pattern's counted; sets.
             {"kl_like('Cuenta 1', 'cuenta _')", "1"},
             {"kl_like('Ñandú', 'ñ%')", "1"},
             {"kl_like('a', 'á')", "0"},
             {"kl_like('ab  ', 'ab')", "1"},
             {"kl_like('ab', 'ab ')", "0"},
             {"kl_like('C5', 'c[0-9]')", "1"},
             {"kl_like('C5', 'c[^0-9]')", "0"},
             {"kl_like('50%', '50!%', '!')", "1"},
             {"kl_like('a\\b', 'a\\b')", "1"},
             {"kl_like('a.b', 'a_b')", "1"},
             {"kl_like('axb', 'a.b')", "0"},
             {"kl_like(NULL, 'a')", "NULL"},
             // Numbers.
             {"kl_val(' 1 2.5x')", "12.5"},
             {"kl_val('abc')", "0"},
             {"kl_val(NULL)", "0"},
             {"kl_isnumeric('12,5')", "1"},
             {"kl_isnumeric(' 1e3 ')", "1"},
             {"kl_isnumeric('x')", "0"},
             {"kl_plus('1', '2')", "12"},
             {"kl_plus('1', 2)", "3"},
             {"kl_plus('a', NULL::text)", "NULL"},
             // Dates: day first, Monday day 1, Spanish names.
             {"kl_fecha('10/12/26 05:20')", "10/12/2026 05:20:00"},
             {"kl_fecha('20261210 05:20:00')", "10/12/2026 05:20:00"},
             {"kl_fecha('2026-12-10')", "10/12/2026"},
             {"kl_fecha('31/02/2026')", "NULL"},
             {"kl_fecha('')", "01/01/1900"},
             {"kl_isdate('31/12/2026')", "1"},
             {"kl_isdate('12/31/2026')", "0"},
             {"kl_datepart('dw', '2026-12-06')", "7"},
             {"kl_datepart('WEEKDAY', '2026-12-07')", "1"},
             {"kl_datepart('wk', '2026-01-04')", "1"},
             {"kl_datepart('wk', '2026-01-05')", "2"},
             {"kl_datepart('yy', '2024-12-31 23:59:59')", "2024"},
             {"kl_datename('month', '2026-01-15')", "Enero"},
             {"kl_datename('dw', '2026-12-06')", "Domingo"},
             {"kl_datename('dw', '2026-12-09')", "Miércoles"},
             {"kl_datename('dd', '2026-12-06')", "6"},
             {"kl_dateadd('mm', 1, '2026-01-31')", "28/02/2026"},
             {"kl_dateadd('dd', -1, '2026-03-01')", "28/02/2026"},
             {"kl_dateadd('hh', 1.9, '2026-03-01')", "01/03/2026 01:00:00"},
             {"kl_datediff('day', '2024-12-31', '2025-01-01')", "1"},
             {"kl_datediff('month', '2024-12-31 23:59:59', '2025-01-01')", "1"},
             {"kl_datediff('yy', '2024-12-31', '2025-01-01')", "1"},
             {"kl_datediff('wk', '2026-12-05', '2026-12-06')", "1"},
             {"kl_datediff('hh', '2026-01-01 10:59', '2026-01-01 11:00')", "1"},
             {"kl_convert_texto('2026-12-10 05:20', 103)", "10/12/2026"},
             {"kl_convert_texto('2026-12-10 05:20', 112)", "20261210"},
             {"kl_convert_texto('2026-12-10 05:20', 120)", "2026-12-10 05:20:00"},
             {"kl_convert_fecha('12/10/2026', 101)", "10/12/2026"},
             {"kl_convert_fecha('10/12/2026', 103)", "10/12/2026"},
             {"kl_plus(timestamp '2026-12-10', 1)", "11/12/2026"},
             {"kl_getdate() IS NOT NULL", "1"},
         }) {
        SCOPED_TRACE(c.select);
        EXPECT_EQ(answer("SELECT " + QString::fromUtf8(c.select)), QString::fromUtf8(c.sqlServer));
    }
}

// A text column is bpchar with the collation kl_ci: = and DISTINCT ignore
// case and trailing blanks and count accents, ORDER BY sorts as Spanish does
// (Ñ after N), the declared size counts characters before trailing blanks.
// The server refuses LIKE on such a column: statements reach it as kl_like.
TEST_F(PostgresFunctions, TextColumnsCompareAsSqlServerComparesThem) {
    ASSERT_FALSE(
        cnn_->Execute("CREATE TEMPORARY TABLE textos (v bpchar COLLATE kl_ci "
                      "CHECK (char_length(v) <= 6))"));
    ASSERT_FALSE(
        cnn_->Execute("INSERT INTO textos VALUES ('Caja'), ('CAJA  '), ('caja'), "
                      "('Cája'), ('Banco'), ('ñandú'), ('Nación'), ('Oro'), "
                      "('Banco6      ')"));
    EXPECT_TRUE(cnn_->Execute("INSERT INTO textos VALUES ('Banco77')"));
    struct Case {
        const char* select;
        const char* sqlServer;
    };
    for (const Case& c : {
             Case{"count(*) FROM textos WHERE v = 'caja'", "3"},
             {"count(*) FROM textos WHERE v = 'CAJA   '", "3"},
             {"count(*) FROM textos WHERE v = 'CÁJA'", "1"},
             {"count(DISTINCT v) FROM textos", "7"},
             {"count(*) FROM (SELECT v FROM textos GROUP BY v) g", "7"},
             {"string_agg(v, ',' ORDER BY v) FROM textos WHERE v <> 'caja'",
              "Banco,Banco6,Cája,Nación,ñandú,Oro"},
             {"count(*) FROM textos WHERE kl_like(v, 'CAJ_')", "3"},
             {"max(kl_len(v)) FROM textos WHERE v = 'caja'", "4"},
         }) {
        SCOPED_TRACE(c.select);
        EXPECT_EQ(answer("SELECT " + QString::fromUtf8(c.select)), QString::fromUtf8(c.sqlServer));
    }
    EXPECT_TRUE(answer("SELECT count(*) FROM textos WHERE v LIKE 'caja'")
                    .contains("nondeterministic collations are not supported for LIKE"));
}

// Errors carry SQL Server's number and text, as the embedded engine's do.
TEST_F(PostgresFunctions, WhatSqlServerRefusesFailsWithItsNumber) {
    struct Case {
        const char* select;
        long nativeError;
        const char* text;
    };
    for (const Case& c : {
             Case{"kl_left('abc', -1)", 536,
                  "Se pasó un parámetro de longitud no válido a la función LEFT."},
             {"kl_datepart('siglo', '2026-01-01')", 155,
              "'siglo' no es una opción de DATEPART reconocida."},
             {"kl_convert_fecha('31/31/2026')", 241,
              "Error de conversión al convertir una cadena de caracteres en fecha y/u hora."},
             {"kl_plus('ab', 1)", 245,
              "Error de conversión al convertir el valor 'ab' al tipo de datos numeric."},
             {"kl_error('El importe debe ser mayor que cero')", 50000,
              "El importe debe ser mayor que cero"},
         }) {
        SCOPED_TRACE(c.select);
        ASSERT_TRUE(cnn_->Execute("SELECT " + QString::fromUtf8(c.select)));
        const Error& e = cnn_->errors().Item(0);
        EXPECT_EQ(e.NativeError, c.nativeError);
        EXPECT_EQ(e.Description, QString::fromUtf8(c.text));
    }
}

// The server's faults as SQL Server numbers them, so the layer's notices
// and the program's checks of NativeError read the same.
TEST_F(PostgresFunctions, TheServersFaultsReachTheLayerAsSqlServerNumbersThem) {
    PostgresCluster* pg = PostgresCluster::shared();
    ASSERT_FALSE(
        cnn_->Execute("DROP TABLE IF EXISTS fallas; CREATE TABLE fallas (c varchar(3) "
                      "PRIMARY KEY, n integer NOT NULL CHECK (n >= 0))"));
    ASSERT_FALSE(cnn_->Execute("INSERT INTO fallas VALUES ('a', 1), ('z', 1)"));
    ASSERT_TRUE(pg->psql("funciones",
                         "DROP ROLE IF EXISTS lector; CREATE ROLE lector LOGIN PASSWORD "
                         "'lector.clave';"));
    Connection lector;
    ASSERT_FALSE(lector.Open(pg->odbcConnectionString("funciones", "lector", "lector.clave")));
    Connection other;
    ASSERT_FALSE(other.Open(pg->odbcConnectionString("funciones")));
    long level = 0;
    ASSERT_FALSE(other.BeginTrans(&level));
    ASSERT_FALSE(other.Execute("UPDATE fallas SET n = 2 WHERE c = 'z'"));
    ASSERT_FALSE(cnn_->Execute("SET lock_timeout = '200ms'"));

    struct Case {
        Connection* on;
        const char* sql;
        long number;
        long nativeError;
        const char* sqlState;
    };
    for (const Case& c : {
             Case{cnn_, "INSERT INTO fallas VALUES ('a', 1)", err::Constraint, 2627, "23000"},
             {cnn_, "INSERT INTO fallas VALUES ('b', NULL)", err::Constraint, 515, "23000"},
             {cnn_, "INSERT INTO fallas VALUES ('b', -1)", err::Constraint, 547, "23000"},
             {cnn_, "INSERT INTO fallas VALUES ('abcd', 1)", err::DataOverflow, 8152, "22001"},
             {cnn_, "SELECT * FROM no_hay", err::NoSuchTable, 208, "42S02"},
             {cnn_, "SELECT no_hay FROM fallas", err::Syntax, 207, "42S22"},
             {cnn_, "SELECT 1 / 0", err::Syntax, 8134, "22012"},
             {cnn_, "SELECT kl_left('a', -1)", err::Syntax, 536, "42000"},
             {&lector, "SELECT * FROM fallas", err::hresult(0x80040E09), 229, "42000"},
             {cnn_, "UPDATE fallas SET n = 3 WHERE c = 'z'", err::Timeout, 1222, "HYT00"},
         }) {
        SCOPED_TRACE(c.sql);
        ASSERT_TRUE(c.on->Execute(c.sql));
        const Error& e = c.on->errors().Item(0);
        EXPECT_EQ(e.Number, c.number) << e.Description.toStdString();
        EXPECT_EQ(e.NativeError, c.nativeError);
        EXPECT_EQ(e.SQLState, c.sqlState);
    }
    other.RollbackTrans();
    cnn_->Execute("SET lock_timeout = 0");
}

// Another station holding the row: the write waits up to the command
// timeout and then fails as a timeout, never longer.
TEST_F(PostgresFunctions, AWriteWaitingForAnotherStationsLockEndsAtTheCommandTimeout) {
    PostgresCluster* pg = PostgresCluster::shared();
    ASSERT_FALSE(
        cnn_->Execute("DROP TABLE IF EXISTS espera; CREATE TABLE espera (n integer); "
                      "INSERT INTO espera VALUES (1)"));
    Connection station;
    ASSERT_FALSE(station.Open(pg->odbcConnectionString("funciones")));
    ASSERT_FALSE(station.BeginTrans());
    ASSERT_FALSE(station.Execute("UPDATE espera SET n = 2"));
    cnn_->setCommandTimeout(1);
    QElapsedTimer waited;
    waited.start();
    ASSERT_TRUE(cnn_->Execute("UPDATE espera SET n = 3"));
    EXPECT_GE(waited.elapsed(), 900);
    EXPECT_LT(waited.elapsed(), 3000);
    EXPECT_EQ(cnn_->errors().Item(0).Number, err::Timeout)
        << cnn_->errors().Item(0).Description.toStdString();
    station.RollbackTrans();
    cnn_->setCommandTimeout(30);
    EXPECT_FALSE(cnn_->Execute("UPDATE espera SET n = 3"));
}

}  // namespace
}  // namespace kl::ado::odbc
