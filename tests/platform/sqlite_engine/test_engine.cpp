// The engine's SQL functions, collation and column guards, on a raw
// connection as klbase uses them.

#include "platform/collation.h"
#include "platform/sqlite_engine/engine_rules.h"
#include "platform/sqlite_engine/guards.h"
#include "platform/sqlite_engine/handles.h"
#include "platform/sqlite_engine/stored_forms.h"
#include "support/embedded_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace kl::ado::sqlite {
namespace {

using collation::compareCi;
using collation::compareCiUtf8;
using collation::likeMatch;

using kl::test::EmbeddedDb;

class SqliteFunctions : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = db_.create(QStringLiteral("f.db"),
                           QStringLiteral("CREATE TABLE T (CLAVE VARCHAR(30) COLLATE KL_CI "
                                          "PRIMARY KEY, NOMBRE VARCHAR(5), FECHA DATETIME, "
                                          "DIA DATE, NOTAS TEXT, CODIGO CHAR(4));"
                                          "CREATE VIEW V_T AS SELECT CLAVE FROM T;"));
        ASSERT_FALSE(file_.isEmpty());
    }
    QString eval(const QString& expression) {
        return EmbeddedDb::scalar(file_, QStringLiteral("SELECT ") + expression);
    }
    EmbeddedDb db_;
    QString file_;
};

TEST_F(SqliteFunctions, CollationIgnoresCaseOfEveryLetterButNotAccents) {
    ASSERT_TRUE(EmbeddedDb::exec(file_, "INSERT INTO T (CLAVE) VALUES ('USA CONTRASEÑA')"));
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT count(*) FROM T WHERE CLAVE = 'usa contraseña'"),
              "1");
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT count(*) FROM T WHERE CLAVE = 'usa contrasena'"),
              "0");
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT count(*) FROM T WHERE CLAVE = 'USA CONTRASEÑA  '"),
              "1")
        << "trailing blanks do not count, as in SQL Server";
    EXPECT_TRUE(EmbeddedDb::scalar(file_, "INSERT INTO T (CLAVE) VALUES ('usa contraseña')")
                    .startsWith("<error: UNIQUE"))
        << "the key is unique under the collation";
}

TEST(Collation, OrdersAccentsNextToTheirLetterAndEnieAfterN) {
    EXPECT_LT(compareCi(u"Ábaco", u"ana"), 0);
    EXPECT_LT(compareCi(u"ábaco", u"abeja"), 0);
    EXPECT_LT(compareCi(u"a", u"á"), 0);
    EXPECT_NE(compareCi(u"a", u"á"), 0);
    EXPECT_LT(compareCi(u"NUBE", u"ñandú"), 0);
    EXPECT_LT(compareCi(u"ñandú", u"oso"), 0);
    EXPECT_EQ(compareCi(u"Peña", u"PEÑA"), 0);
    EXPECT_EQ(compareCiUtf8("abc ", 4, "ABC", 3), 0);
    EXPECT_LT(compareCiUtf8("abc", 3, "abd", 3), 0);
}

TEST(Collation, LikeFollowsSqlServerWildcards) {
    EXPECT_TRUE(likeMatch(u"%contraseña%", u"USA CONTRASEÑA"));
    EXPECT_TRUE(likeMatch(u"a_c", u"ABC"));
    EXPECT_FALSE(likeMatch(u"a_c", u"ABBC"));
    EXPECT_TRUE(likeMatch(u"[0-9]%", u"7 enanos"));
    EXPECT_FALSE(likeMatch(u"[0-9]%", u"siete"));
    EXPECT_TRUE(likeMatch(u"[^0-9]%", u"siete"));
    EXPECT_TRUE(likeMatch(u"1[01]%", u"1103"));
    EXPECT_FALSE(likeMatch(u"camion", u"camión"));
    EXPECT_TRUE(likeMatch(u"10!%", u"10%", QChar(u'!')));
    EXPECT_FALSE(likeMatch(u"10!%", u"105", QChar(u'!')));
    EXPECT_TRUE(likeMatch(u"%", u""));
    EXPECT_TRUE(likeMatch(u"[abc", u"[ABC")) << "an unclosed bracket is a plain character";
}

TEST_F(SqliteFunctions, LikeUpperAndLowerHandleSpanishLetters) {
    EXPECT_EQ(eval("'PEÑA' LIKE '%ña'"), "1");
    EXPECT_EQ(eval("upper('ñandú')"), "ÑANDÚ");
    EXPECT_EQ(eval("lower('ÁRBOL')"), "árbol");
    EXPECT_EQ(eval("upper(NULL) IS NULL"), "1");
}

TEST_F(SqliteFunctions, DatesTurnIntoTheStoredForm) {
    EXPECT_EQ(eval("kl_fecha('31/12/2026')"), "2026-12-31 00:00:00");
    EXPECT_EQ(eval("kl_fecha('31/12/26 10:00')"), "2026-12-31 10:00:00");
    EXPECT_EQ(eval("kl_fecha('2026-12-31')"), "2026-12-31 00:00:00");
    EXPECT_EQ(eval("kl_fecha('20261231 08:30:15')"), "2026-12-31 08:30:15");
    EXPECT_EQ(eval("kl_fecha('')"), "1900-01-01 00:00:00");
    EXPECT_EQ(eval("kl_fecha('31/02/2026')"), "<null>");
    EXPECT_EQ(eval("kl_fecha(NULL)"), "<null>");
    // The stored form is read apart; it must refuse what the full reading refuses.
    for (const char* stored : {"2026-12-31 23:59:59", "2024-02-29 00:00:00"})
        EXPECT_EQ(eval(QStringLiteral("kl_fecha('%1')").arg(QLatin1String(stored))), stored);
    for (const char* bad : {"2026-02-29 00:00:00", "2026-12-31 24:00:00", "2026-12-31 10:60:00",
                            "x026-12-31 00:00:00", "0000-01-01 00:00:00", "2026-13-01 00:00:00"})
        EXPECT_EQ(eval(QStringLiteral("kl_fecha('%1')").arg(QLatin1String(bad))), "<null>") << bad;
}

TEST_F(SqliteFunctions, DatePartsFollowASpanishLogin) {
    // 2026-01-04 is a Sunday.
    EXPECT_EQ(eval("kl_datename('dw', '2026-01-04')"), "Domingo");
    EXPECT_EQ(eval("kl_datename('weekday', '05/01/2026')"), "Lunes");
    EXPECT_EQ(eval("kl_datename('month', '2026-03-01')"), "Marzo");
    EXPECT_EQ(eval("kl_datepart('dw', '2026-01-04')"), "7");
    EXPECT_EQ(eval("kl_datepart('year', '31/12/2026')"), "2026");
    EXPECT_EQ(eval("kl_datepart('mm', '2026-12-31 10:00:00')"), "12");
    EXPECT_EQ(eval("kl_datepart('dd', '2026-12-31 10:00:00')"), "31");
    EXPECT_EQ(eval("kl_dateadd('dd', 1, '2026-12-31')"), "2027-01-01 00:00:00");
    EXPECT_EQ(eval("kl_dateadd('mm', 1, '2026-01-31')"), "2026-02-28 00:00:00");
    EXPECT_EQ(eval("kl_datediff('dd', '2026-01-01', '2026-12-31')"), "364");
    EXPECT_EQ(eval("kl_datediff('yy', '2025-12-31', '2026-01-01')"), "1");
    EXPECT_EQ(eval("kl_datediff('mm', '2026-01-31', '2026-02-01')"), "1");
    EXPECT_EQ(eval("kl_datediff('wk', '2026-01-03', '2026-01-04')"), "1")
        << "a Saturday to the next Sunday crosses one week boundary";
    EXPECT_EQ(eval("kl_isdate('31/12/2026')"), "1");
    EXPECT_EQ(eval("kl_isdate('hola')"), "0");
    EXPECT_NE(eval("kl_datepart('xx', '2026-01-01')").indexOf("DATEPART"), -1);
    EXPECT_NE(eval("kl_datepart('dd', 'hola')").indexOf("kl-241"), -1);
}

TEST_F(SqliteFunctions, TextAndNumberFunctionsActAsSqlServerAndJet) {
    EXPECT_EQ(eval("kl_val('  12.5abc')"), "12.5");
    EXPECT_EQ(eval("kl_val('1 2 3')"), "123.0");
    EXPECT_EQ(eval("kl_val('abc')"), "0.0");
    EXPECT_EQ(eval("kl_len('abc   ')"), "3");
    EXPECT_EQ(eval("kl_len('  abc')"), "5");
    EXPECT_EQ(eval("kl_len(NULL) IS NULL"), "1");
    EXPECT_EQ(eval("kl_charindex('Ñ', 'peña')"), "3");
    EXPECT_EQ(eval("kl_charindex('a', 'banana', 3)"), "4");
    EXPECT_EQ(eval("kl_charindex('z', 'banana')"), "0");
    EXPECT_EQ(eval("kl_left('abcdef', 2) || kl_right('abcdef', 2)"), "abef");
    EXPECT_EQ(eval("kl_replicate('0', 3) || kl_space(2) || '|'"), "000  |");
    EXPECT_EQ(eval("kl_str(3.14159, 6, 2)"), "  3.14");
    EXPECT_EQ(eval("kl_isnumeric('12.5') || kl_isnumeric('x')"), "10");
    EXPECT_EQ(eval("kl_convert('varchar(10)', '2026-12-31 00:00:00', 103)"), "31/12/2026");
    EXPECT_EQ(eval("kl_convert('varchar(8)', '2026-12-31 00:00:00', 112)"), "20261231");
    EXPECT_EQ(eval("kl_convert('int', '42')"), "42");
    EXPECT_EQ(eval("kl_convert('numeric(18,2)', '2.345')"), "2.35");
    EXPECT_EQ(eval("kl_convert('datetime', '12/31/2026', 101)"), "2026-12-31 00:00:00");
    EXPECT_EQ(eval("kl_convert('varchar(3)', 'abcdef')"), "abc");
    EXPECT_NE(eval("kl_convert('int', 'abc')").indexOf("kl-245"), -1);
}

// What SQL Server answers for a + b, by the operands' types (CAST shows a
// column's type there; here the values carry it).
TEST_F(SqliteFunctions, PlusJoinsTwoTextsAndAddsWhenANumberTakesPart) {
    struct Case {
        const char* operands;
        const char* sqlServer;
    };
    for (const Case& c : {
             Case{"'1', 'ACTIVO'", "1ACTIVO"},
             {"'', ''", ""},
             {"1, 2", "3"},
             {"'1', 2", "3"},
             {"2, ' 12 '", "14"},
             {"1.5, 1", "2.5"},
             {"'1.5', 1.0", "2.5"},
             {"NULL, 'a'", "<null>"},
             {"'a', NULL", "<null>"},
             {"NULL, 1", "<null>"},
             {"'a', 'b', 'c'", "abc"},
             {"'1', '2', 3", "15"},
             {"1, '2', '3'", "6"},
             {"'2024-12-31 00:00:00', 1", "2025-01-01 00:00:00"},
             {"9223372036854775807, 1", "9.22337203685478e+18"},
         }) {
        SCOPED_TRACE(c.operands);
        EXPECT_EQ(eval(QStringLiteral("kl_plus(%1)").arg(QLatin1String(c.operands))),
                  QString::fromUtf8(c.sqlServer));
    }
    for (const char* failing : {"'x', 1", "'1.5', 1", "1, 'abc'"}) {
        SCOPED_TRACE(failing);
        EXPECT_TRUE(
            eval(QStringLiteral("kl_plus(%1)").arg(QLatin1String(failing))).contains("kl-245"))
            << "a text that is no number does not convert (error 245)";
    }
}

TEST_F(SqliteFunctions, KlErrorRaisesTheGivenMessage) {
    EXPECT_EQ(eval("kl_error('La fecha desde no es válida')"),
              "<error: kl-50000: La fecha desde no es válida>");
    const std::optional<RaisedError> raised =
        parseRaisedError(u"kl-50000: La fecha desde no es válida");
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->nativeError, 50000);
    EXPECT_EQ(raised->text, "La fecha desde no es válida");
    EXPECT_FALSE(parseRaisedError(u"near \"x\": syntax error"));
}

TEST_F(SqliteFunctions, GuardsRefuseTextsLongerThanDeclared) {
    EXPECT_TRUE(EmbeddedDb::exec(file_, "INSERT INTO T (CLAVE, NOMBRE) VALUES ('A', 'cinco')"));
    EXPECT_EQ(EmbeddedDb::scalar(file_, "INSERT INTO T (CLAVE, NOMBRE) VALUES ('B', 'seis66')"),
              "<error: kl-8152: Los datos de cadena o binarios se truncarían.>");
    EXPECT_EQ(EmbeddedDb::scalar(file_, "UPDATE T SET NOMBRE = 'seis66' WHERE CLAVE = 'A'"),
              "<error: kl-8152: Los datos de cadena o binarios se truncarían.>");
    EXPECT_TRUE(EmbeddedDb::exec(file_, "INSERT INTO T (CLAVE, NOMBRE) VALUES ('C', 'tres   ')"))
        << "only trailing blanks beyond the size are dropped silently, as SQL Server does";
    EXPECT_TRUE(EmbeddedDb::exec(
        file_, "INSERT INTO T (CLAVE, NOTAS) VALUES ('D', printf('%.*c', 9000, 'x'))"))
        << "TEXT has no declared size";
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT NOMBRE FROM T WHERE CLAVE = 'A'"), "cinco");
}

TEST_F(SqliteFunctions, GuardsStoreDateTextsInOneFormAndRefuseOthers) {
    ASSERT_TRUE(EmbeddedDb::exec(file_,
                                 "INSERT INTO T (CLAVE, FECHA, DIA) VALUES ('A', "
                                 "'31/12/26 10:00', '2026-12-31')"));
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT FECHA || '|' || DIA FROM T"),
              "2026-12-31 10:00:00|2026-12-31 00:00:00");
    ASSERT_TRUE(EmbeddedDb::exec(file_, "UPDATE T SET FECHA = '01/02/2027' WHERE CLAVE = 'A'"));
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT FECHA FROM T"), "2027-02-01 00:00:00");
    EXPECT_EQ(EmbeddedDb::scalar(file_, "INSERT INTO T (CLAVE, FECHA) VALUES ('B', 'mañana')"),
              "<error: kl-241: Error de conversión al convertir una cadena de caracteres en "
              "fecha y/u hora.>");
    EXPECT_TRUE(EmbeddedDb::exec(file_, "INSERT INTO T (CLAVE, FECHA) VALUES ('C', NULL)"));
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT FECHA FROM T WHERE CLAVE = 'C'"), "<null>");
}

TEST_F(SqliteFunctions, AnUpdateIsCheckedOnTheColumnsItChangesOnly) {
    // A row written before the guards were installed keeps a value too long
    // for its column; SQL Server never checks what a statement leaves alone.
    ASSERT_TRUE(EmbeddedDb::exec(file_, "ALTER TABLE T ADD COLUMN EXTRA VARCHAR(2)"));
    ASSERT_TRUE(EmbeddedDb::exec(file_, "INSERT INTO T (CLAVE, EXTRA) VALUES ('A', 'largo')"));
    SqliteDatabase db;
    ASSERT_EQ(db.open(file_, SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(registerFunctions(db.handle()), SQLITE_OK);
    EXPECT_FALSE(installColumnGuards(db.handle(), QStringLiteral("T")));
    db.close();

    const QString truncation = "<error: kl-8152: Los datos de cadena o binarios se truncarían.>";
    const QString badDate =
        "<error: kl-241: Error de conversión al convertir una cadena de "
        "caracteres en fecha y/u hora.>";
    struct Case {
        const char* update;
        QString answer;  // the error, or the row's FECHA|NOMBRE|EXTRA afterwards
    };
    for (const Case& c : {
             Case{"FECHA = '31/12/2026 23:59:59'", "2026-12-31 23:59:59||largo"},
             Case{"NOMBRE = 'cinco'", "2026-12-31 23:59:59|cinco|largo"},
             Case{"NOMBRE = 'seis66'", truncation},
             Case{"FECHA = 'nunca'", badDate},
             Case{"FECHA = 'nunca', NOMBRE = 'seis66'", truncation},
             Case{"EXTRA = 'abc'", truncation},
             Case{"EXTRA = 'ab', FECHA = '2027-01-02'", "2027-01-02 00:00:00|cinco|ab"},
             Case{"FECHA = NULL", "|cinco|ab"},
         }) {
        SCOPED_TRACE(c.update);
        const QString result = EmbeddedDb::scalar(
            file_,
            QStringLiteral("UPDATE T SET %1 WHERE CLAVE = 'A'").arg(QString::fromUtf8(c.update)));
        EXPECT_EQ(result.startsWith("<error") ? result
                                              : EmbeddedDb::scalar(file_,
                                                                   "SELECT ifnull(FECHA, '') || "
                                                                   "'|' || ifnull(NOMBRE, '') || "
                                                                   "'|' || EXTRA FROM T"),
                  c.answer);
    }
}

TEST_F(SqliteFunctions, GuardsFollowSchemaChangesAndSkipViewsAndEngineTables) {
    ASSERT_TRUE(EmbeddedDb::exec(file_, "ALTER TABLE T ADD COLUMN EXTRA VARCHAR(2)"));
    EXPECT_TRUE(EmbeddedDb::exec(file_, "INSERT INTO T (CLAVE, EXTRA) VALUES ('A', 'abc')"))
        << "not guarded until the guards are installed again";
    SqliteDatabase db;
    ASSERT_EQ(db.open(file_, SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(registerFunctions(db.handle()), SQLITE_OK);
    const QString triggersBefore =
        EmbeddedDb::scalar(file_,
                           "SELECT group_concat(sql, '|') FROM sqlite_master WHERE "
                           "name = 'KL_GUARD_T_BI'");
    EXPECT_FALSE(installColumnGuards(db.handle(), QStringLiteral("t")));
    EXPECT_FALSE(installColumnGuards(db.handle(), QStringLiteral("V_T")));
    EXPECT_TRUE(installColumnGuards(db.handle(), QStringLiteral("NADA")));
    db.close();
    EXPECT_NE(
        EmbeddedDb::scalar(file_, "SELECT sql FROM sqlite_master WHERE name = 'KL_GUARD_T_BI'"),
        triggersBefore);
    EXPECT_TRUE(EmbeddedDb::scalar(file_, "INSERT INTO T (CLAVE, EXTRA) VALUES ('B', 'abc')")
                    .startsWith("<error: kl-8152"));
    EXPECT_EQ(EmbeddedDb::scalar(file_,
                                 "SELECT count(*) FROM sqlite_master WHERE type = "
                                 "'trigger' AND (tbl_name = 'V_T' OR tbl_name LIKE 'KL[_]%')"),
              "0");
}

TEST(EmbeddedEngine, TheFileAnswersToItsOwnNamesOnlyAndOthersAreError4060) {
    const QString file = QStringLiteral("/datos/conta.kldb");
    for (const char* name : {"/datos/conta.kldb", "conta.kldb", "CONTA", " conta ", "Empresa"})
        EXPECT_FALSE(otherDatabaseRefused(QString::fromUtf8(name), file, "empresa")) << name;
    const std::optional<Error> refused = otherDatabaseRefused("OTRA", file, "empresa");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->NativeError, 4060);
    EXPECT_EQ(refused->Description,
              "No se puede abrir la base de datos \"OTRA\" solicitada por el inicio de sesión.");
}

TEST(EmbeddedEngine, TheLockWaitIsTheCommandTimeoutAndZeroWaitsADay) {
    EXPECT_EQ(lockWaitMs(30), 30000);
    EXPECT_EQ(lockWaitMs(0), 86400000);
    EXPECT_EQ(lockWaitMs(-1), 86400000);
    EXPECT_EQ(lockWaitMs(100000000), 86400000) << "no overflow";
}

TEST(DeclaredTypes, MapToAdoTypesAndSizes) {
    struct Case {
        const char* declared;
        int type;
        long size;
        long maxLength;
    };
    for (const Case& c :
         {Case{"INT", 3, 4, 0}, Case{"integer", 3, 4, 0}, Case{"SMALLINT", 2, 2, 0},
          Case{"TINYINT", 16, 1, 0}, Case{"BIGINT", 20, 8, 0}, Case{"FLOAT", 5, 8, 0},
          Case{"REAL", 5, 8, 0}, Case{"MONEY", 6, 8, 0}, Case{"DATETIME", 135, 16, 0},
          Case{"SMALLDATETIME", 135, 16, 0}, Case{"DATE", 133, 6, 0}, Case{"BIT", 11, 2, 0},
          Case{"NUMERIC(18, 2)", 131, 19, 0}, Case{"VARCHAR(50)", 200, 50, 50},
          Case{"NVARCHAR (30)", 202, 30, 30}, Case{"CHAR(8)", 129, 8, 8},
          Case{"TEXT", 201, 2147483647, 0}, Case{"VARCHAR(MAX)", 201, 2147483647, 0},
          Case{"", 0, 0, 0}}) {
        const DeclaredType t = parseDeclaredType(QString::fromLatin1(c.declared));
        EXPECT_EQ(t.adoType, c.type) << c.declared;
        EXPECT_EQ(t.definedSize, c.size) << c.declared;
        EXPECT_EQ(t.maxLength, c.maxLength) << c.declared;
    }
    const DeclaredType numeric = parseDeclaredType(u"DECIMAL(10,3)");
    EXPECT_EQ(numeric.precision, 10);
    EXPECT_EQ(numeric.scale, 3);
}

TEST(StoredDates, ReadEveryFormTheModuleWrites) {
    const QDateTime expected(QDate(2026, 12, 31), QTime(10, 0));
    EXPECT_EQ(parseDateText(u"2026-12-31 10:00:00"), expected);
    EXPECT_EQ(parseDateText(u"31/12/2026 10:00"), expected);
    EXPECT_EQ(parseDateText(u"20261231 10:00:00"), expected);
    EXPECT_EQ(parseDateText(u"2026-12-31T10:00:00.000"), expected);
    EXPECT_FALSE(parseDateText(u"2026-13-01"));
    EXPECT_FALSE(parseDateText(u"no"));
    EXPECT_EQ(storedDate(expected), "2026-12-31 10:00:00");
}

}  // namespace
}  // namespace kl::ado::sqlite
