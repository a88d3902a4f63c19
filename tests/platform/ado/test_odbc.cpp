// The ODBC provider: the ODBC strings the layer's connection strings become,
// the drivers KL000p.INI names, how the drivers' diagnostics become ADO's
// errors, a real failed connection through FreeTDS, and what only the
// ODBC path to an embedded database has (the shared data-layer tests run
// over it as the "OdbcSqlite" backend).

#include "backends.h"
#include "odbc_test_drivers.h"
#include "platform/ado/ado.h"
#include "platform/ado/odbc/odbc_connection_string.h"
#include "platform/ado/odbc/odbc_diagnostics.h"
#include "platform/ado/odbc/odbc_dialect.h"
#include "platform/ado/odbc/odbc_provider.h"
#include "platform/ado/odbc/odbc_rows.h"
#include "platform/ado/odbc/odbc_settings.h"
#include "platform/ado/odbc/odbc_sqlite_dialect.h"
#include "platform/textfile.h"
#include "support/closed_port.h"
#include "support/embedded_db.h"
#include "support/trace_lines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::ado::odbc {
namespace {

using kl::test::EmbeddedDb;

ConnectionSettings parsed(const QString& text) {
    const std::optional<ConnectionSettings> s = parseConnectionString(text);
    EXPECT_TRUE(s) << text.toStdString();
    return s.value_or(ConnectionSettings{});
}

QString odbcText(const QString& text, DriverFamily family = DriverFamily::FreeTds,
                 const OdbcDrivers& drivers = OdbcDrivers{}) {
    return odbcConnectionString(parsed(text), drivers, family, QStringLiteral("/m/kl.so")).text;
}

// ---- connection strings --------------------------------------------------------

TEST(OdbcConnectionStrings, SqlServerStringsNameTheConfiguredDriverAndKeepTheLogin) {
    EXPECT_EQ(odbcText("PROVIDER=SQLOLEDB;Server=SRV01\\CONTA;Database =CONTAB;UId=sa;Pwd=clave;"),
              "DRIVER=FreeTDS;SERVER=SRV01\\CONTA;DATABASE=CONTAB;UID=sa;PWD=clave;");
    OdbcDrivers drivers;
    drivers.sqlServer = "ODBC Driver 18 for SQL Server";
    EXPECT_EQ(odbcText("PROVIDER=SQLOLEDB;Server=SRV01;Database =CONTAB;UId=sa;Pwd=;",
                       DriverFamily::Other, drivers),
              "DRIVER=ODBC Driver 18 for SQL Server;SERVER=SRV01;DATABASE=CONTAB;UID=sa;PWD=;");
}

TEST(OdbcConnectionStrings, FreeTdsTakesThePortApartAndKeepsTheInstance) {
    struct Case {
        const char* server;
        const char* odbc;
    };
    for (const Case& c : {Case{"SRV01,1433", "SERVER=SRV01;PORT=1433;"},
                          Case{"SRV01\\CONTA", "SERVER=SRV01\\CONTA;"},
                          Case{"SRV01\\CONTA,1500", "SERVER=SRV01;PORT=1500;"},
                          Case{"tcp:10.0.0.5,1433", "SERVER=10.0.0.5;PORT=1433;"},
                          Case{"(local)", "SERVER=localhost;"},
                          Case{".\\SQLEXPRESS", "SERVER=localhost\\SQLEXPRESS;"}}) {
        const QString text = odbcText(QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =C;"
                                                     "UId=u;Pwd=p;")
                                          .arg(QString::fromLatin1(c.server)));
        EXPECT_EQ(text, QStringLiteral("DRIVER=FreeTDS;%1DATABASE=C;UID=u;PWD=p;")
                            .arg(QString::fromLatin1(c.odbc)))
            << c.server;
    }
    // Other drivers read SQL Server's own forms.
    EXPECT_TRUE(odbcText("PROVIDER=SQLOLEDB;Server=SRV01,1433;Database =C;UId=u;Pwd=p;",
                         DriverFamily::Other)
                    .contains(";SERVER=SRV01,1433;"));
}

TEST(OdbcConnectionStrings, ExtendedPropertiesTakeTheirOdbcNames) {
    const ConnectionSettings s = parsed(
        "PROVIDER=SQLOLEDB;Server=S;Database =C;UId=u;Pwd=p;Application Name=klconfig;"
        "Workstation ID=PC1;Connect Timeout=2;Integrated Security=SSPI;Packet Size=4096;");
    const OdbcConnectionString odbc =
        odbcConnectionString(s, OdbcDrivers{}, DriverFamily::FreeTds, QString());
    EXPECT_EQ(odbc.text,
              "DRIVER=FreeTDS;SERVER=S;DATABASE=C;UID=u;PWD=p;APP=klconfig;WSID=PC1;"
              "Trusted_Connection=Yes;Packet Size=4096;");
    EXPECT_EQ(odbc.loginTimeout, 2);
    EXPECT_EQ(odbcConnectionString(parsed("PROVIDER=SQLOLEDB;Server=S;"), OdbcDrivers{},
                                   DriverFamily::FreeTds, QString())
                  .loginTimeout,
              kDefaultLoginTimeout);
}

TEST(OdbcConnectionStrings, ValuesThatWouldEndThePairGoInBraces) {
    EXPECT_TRUE(odbcText("PROVIDER=SQLOLEDB;Server=S;Database =C;UId=u;Pwd=\"a;b}c\";")
                    .endsWith(";PWD={a;b}}c};"));
    EXPECT_EQ(odbcValue(" x"), "{ x}");
    EXPECT_EQ(odbcValue("sin nada"), "sin nada");
}

TEST(OdbcConnectionStrings, OracleStringsNameTheOracleDriverAndTheDataSource) {
    OdbcDrivers drivers;
    drivers.oracle = "Oracle 21";
    EXPECT_EQ(odbcText("Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=kl;Password=clave;",
                       DriverFamily::Other, drivers),
              "DRIVER=Oracle 21;DBQ=XE;UID=kl;PWD=clave;");
}

TEST(OdbcConnectionStrings, OdbcStringsPassAndSqliteGetsTheEngineFunctions) {
    EXPECT_EQ(
        odbcText("PROVIDER=MSDASQL;Driver=SQLite3;Database=/d/c.db;", DriverFamily::SqliteOdbc),
        "Driver=SQLite3;Database=/d/c.db;NoCreat=1;Timeout=1;LoadExt=/m/kl.so;");
    EXPECT_EQ(odbcText("PROVIDER=MSDASQL;Driver=SQLite3;Database=/d/c.db;LoadExt=/x/otro.so;"
                       "NoCreat=0;Timeout=100000;",
                       DriverFamily::SqliteOdbc),
              "Driver=SQLite3;Database=/d/c.db;NoCreat=1;Timeout=1;LoadExt=/x/otro.so,/m/kl.so;");
    EXPECT_EQ(odbcText("DSN=Contable;UID=u;PWD=p;Connect Timeout=3;", DriverFamily::Other),
              "DSN=Contable;UID=u;PWD=p;");
    OdbcDrivers drivers;
    drivers.sqlServer = drivers.oracle = "SQLite3";
    EXPECT_EQ(odbcText("PROVIDER=SQLOLEDB;Server=SRV;Database =/d/c.db;UId=sa;Pwd=;",
                       DriverFamily::SqliteOdbc, drivers),
              "DRIVER=SQLite3;SERVER=SRV;DATABASE=/d/c.db;UID=sa;PWD=;NoCreat=1;Timeout=1;LoadExt=/"
              "m/kl.so;");
    EXPECT_EQ(odbcText("Provider=OraOLEDB.Oracle.1;Data Source=/d/c.db;User Id=kl;Password=;",
                       DriverFamily::SqliteOdbc, drivers),
              "DRIVER=SQLite3;DBQ=/d/c.db;UID=kl;PWD=;NoCreat=1;Timeout=1;LoadExt=/m/kl.so;");
}

TEST(OdbcConnectionStrings, WhichStringsGoThroughOdbcAndWithWhichDriver) {
    OdbcDrivers drivers;
    drivers.sqlServer = "TDS";
    drivers.oracle = "ORA";
    struct Case {
        const char* text;
        bool odbc;
        const char* driver;
    };
    for (const Case& c :
         {Case{"PROVIDER=SQLOLEDB;Server=SRV;Database =C;", true, "TDS"},
          Case{"PROVIDER=SQLOLEDB;Server=sqlite;Database =/a.db;", false, "TDS"},
          Case{"Provider=OraOLEDB.Oracle.1;Data Source=XE;", true, "ORA"},
          Case{"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =/a.mdb;", false, ""},
          Case{"PROVIDER=MSDASQL;Driver={SQLite3};Database=/a.db;", true, "{SQLite3}"},
          Case{"Driver=FreeTDS;Server=S;", true, "FreeTDS"}, Case{"DSN=Contable;", true, ""},
          Case{"Provider=IBMDADB2;Database=C;", false, ""}}) {
        const ConnectionSettings s = parsed(QString::fromLatin1(c.text));
        EXPECT_EQ(reachedThroughOdbc(s), c.odbc) << c.text;
        if (c.odbc) {
            EXPECT_EQ(driverFor(s, drivers), c.driver) << c.text;
        }
    }
    EXPECT_EQ(dsnOf(parsed("DSN=Contable;")), "Contable");
    EXPECT_EQ(familyOfLibrary("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so"),
              DriverFamily::FreeTds);
    EXPECT_EQ(familyOfLibrary("libsqlite3odbc.so"), DriverFamily::SqliteOdbc);
    EXPECT_EQ(familyOfLibrary("/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.so"),
              DriverFamily::Other);
}

// ---- drivers from KL000p.INI ---------------------------------------------------

// The user's configuration folder is a temporary one, so the computer's own
// settings files play no part.
class OdbcSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user_.path()));
    }
    void TearDown() override {
        if (previous_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previous_);
    }
    QString writeIni(const QString& folder, const QString& name, const QString& text) {
        const QString file = QDir(folder).filePath(name);
        EXPECT_TRUE(kl::cp1252::writeFile(file, text));
        return file;
    }
    QTemporaryDir user_;
    QByteArray previous_;
};

TEST_F(OdbcSettings, DriversComeFromTheOdbcSectionAndBlanksKeepTheDefaults) {
    const QString ini =
        writeIni(user_.path(), "KL000p.INI",
                 "[Iconos]\r\nIconoDelSistema=kl.ico\r\n[ODBC]\r\nDriverSQLServer=MS SQL\r\n"
                 "DriverOracle=\r\n");
    const OdbcDrivers drivers = readDrivers(ini);
    EXPECT_EQ(drivers.sqlServer, "MS SQL");
    EXPECT_EQ(drivers.oracle, "Oracle");
    EXPECT_EQ(readDrivers(QString()).sqlServer, "FreeTDS");
}

TEST_F(OdbcSettings, TheSettingsFileIsFoundInTheUsersFolderWhateverItsLetterCase) {
    EXPECT_EQ(configuredDrivers().sqlServer, "FreeTDS");
    writeIni(user_.path(), "kl000p.ini", "[odbc]\r\ndriversqlserver=Otro\r\n");
    EXPECT_EQ(configuredDrivers().sqlServer, "Otro");
}

TEST_F(OdbcSettings, TheProgramsFolderComesFirst) {
    QTemporaryDir program;
    writeIni(user_.path(), "KL000p.INI", "[ODBC]\r\nDriverSQLServer=DelUsuario\r\n");
    const QString first = writeIni(program.path(), "KL000P.ini", "[ODBC]\r\n");
    EXPECT_EQ(findSettingsFile("KL000p.INI", {program.path(), user_.path()}), first);
    EXPECT_EQ(findSettingsFile("KL000p.INI", {program.path() + "/no"}), QString());
    EXPECT_EQ(settingsFolders().value(1), user_.path());
}

// ---- errors --------------------------------------------------------------------

TEST(OdbcErrors, SqlStatesBecomeTheNumbersTheLayerTests) {
    struct Case {
        const char* state;
        long native;
        Phase phase;
        long number;
        long nativeShown;
    };
    for (const Case& c :
         {Case{"08001", 17, Phase::Opening, err::ProviderFailure, 17},
          Case{"08S01", 20009, Phase::Opening, err::ProviderFailure, 20009},
          Case{"HYT00", 0, Phase::Opening, err::ProviderFailure, 0},
          Case{"08S01", 20004, Phase::Working, err::ProviderFailure, err::NativeNetwork},
          Case{"08003", 0, Phase::Working, err::ProviderFailure, err::NativeNetwork},
          Case{"22001", 8152, Phase::Working, err::DataOverflow, 8152},
          Case{"22007", 241, Phase::Working, err::Conversion, 241},
          Case{"23000", 2627, Phase::Working, err::Constraint, 2627},
          Case{"42S02", 208, Phase::Working, err::NoSuchTable, 208},
          Case{"42000", 102, Phase::Working, err::Syntax, 102},
          Case{"37000", 156, Phase::Working, err::Syntax, 156},
          Case{"HYT00", 0, Phase::Working, err::Timeout, 0},
          Case{"25000", 3902, Phase::Working, err::NoTransaction, 3902},
          Case{"HY000", 50000, Phase::Working, err::ProviderFailure, 50000},
          Case{"IM002", 0, Phase::Opening, err::ProviderFailure, 0}}) {
        const Error e =
            serverError(Diagnostic{c.state, c.native, "[FreeTDS][SQL Server]Texto"}, c.phase);
        EXPECT_EQ(e.Number, c.number) << c.state;
        EXPECT_EQ(e.NativeError, c.nativeShown) << c.state;
        EXPECT_EQ(e.SQLState, c.state);
        EXPECT_EQ(e.Description, "Texto");
        EXPECT_EQ(e.Source, "[FreeTDS][SQL Server]");
    }
}

TEST(OdbcErrors, TheDriversPrefixesAreTheSource) {
    const MessageParts parts =
        splitMessage("[unixODBC][Driver Manager]Data source name not found [sic]");
    EXPECT_EQ(parts.origin, "[unixODBC][Driver Manager]");
    EXPECT_EQ(parts.text, "Data source name not found [sic]");
    EXPECT_EQ(splitMessage("Sin prefijo").origin, "");
    EXPECT_FALSE(
        serverError(Diagnostic{"HY000", 0, "Sin prefijo"}, Phase::Working).Source.isEmpty());
}

// ---- FreeTDS: a server that cannot be reached ---------------------------------

using kl::test::closedPort;

class FreeTds : public OdbcSettings {
  protected:
    void SetUp() override {
        OdbcSettings::SetUp();
        kl::test::useTestOdbcDrivers();
        if (!kl::test::testOdbcDriverRegistered("FreeTDS"))
            GTEST_SKIP() << "FreeTDS's ODBC driver is not installed (setup.sh installs tdsodbc)";
        traceFile_ = user_.filePath("traza.sql");
        qputenv("KL_TRAZA_SQL", QFile::encodeName(traceFile_));
    }
    void TearDown() override {
        qunsetenv("KL_TRAZA_SQL");
        OdbcSettings::TearDown();
    }
    QString unreachable(const QString& password) const {
        return QStringLiteral(
                   "PROVIDER=SQLOLEDB;Server=127.0.0.1,%1;Database =CONTAB;UId=sa;"
                   "Pwd=%2;")
            .arg(closedPort())
            .arg(password);
    }
    QString traceFile_;
    Connection cnn_;
};

TEST_F(FreeTds, AServerNobodyListensOnFailsWithTheDriversDiagnostics) {
    const StepResult e = cnn_.Open(unreachable("Clave.Secreta"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::ProviderFailure);
    EXPECT_EQ(cnn_.State(), adStateClosed);
    ASSERT_FALSE(cnn_.errors().empty());
    const Error& first = cnn_.errors().Item(0);
    EXPECT_TRUE(first.SQLState.startsWith("08")) << first.SQLState.toStdString();
    EXPECT_EQ(first.Number, err::ProviderFailure);
    EXPECT_EQ(first.Description,
              "Unable to connect: Adaptive Server is unavailable or does not exist");
    EXPECT_EQ(first.NativeError, 20009) << "FreeTDS's own number passes";
    EXPECT_TRUE(first.Source.contains("FreeTDS"));
    EXPECT_EQ(e->description, first.Description);
    for (const Error& each : cnn_.errors()) {
        EXPECT_FALSE(each.Description.contains("Clave.Secreta"));
        EXPECT_FALSE(each.Source.contains("Clave.Secreta"));
    }
    EXPECT_FALSE(QFileInfo::exists(traceFile_)) << "opening runs no statement";
}

TEST_F(FreeTds, ADriverTheComputerLacksIsNamedWithItsSettingsKey) {
    QFile ini(QDir(user_.path()).filePath("KL000p.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ODBC]\r\nDriverSQLServer=No Instalado\r\n");
    ini.close();
    ASSERT_TRUE(cnn_.Open(unreachable("x")));
    const Error& first = cnn_.errors().Item(0);
    EXPECT_EQ(first.Number, err::ProviderFailure);
    EXPECT_TRUE(
        first.Description.startsWith("El controlador ODBC \"No Instalado\" no está "
                                     "instalado"))
        << first.Description.toStdString();
    EXPECT_TRUE(first.Description.contains("clave DriverSQLServer"));

    ASSERT_TRUE(cnn_.Open("Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=kl;Password=x;"));
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains("\"Oracle\""));
    EXPECT_TRUE(cnn_.errors().Item(0).Description.contains("clave DriverOracle"));
}

// ---- an embedded database through SQLite's ODBC driver -------------------------

class OdbcSqlite : public ::testing::Test {
  protected:
    void SetUp() override {
        kl::test::useTestOdbcDrivers();
        file_ = kl::test::createEmbeddedTestDatabase(folder_, "conta.db");
        connection_ = kl::test::odbcSqliteConnectionString(file_);
    }
    EmbeddedDb folder_;
    QString file_;
    QString connection_;
    Connection cnn_;
};

TEST_F(OdbcSqlite, TheDriverReportsTheEngineAndTheFileIsTheDatabase) {
    ASSERT_FALSE(cnn_.Open(connection_));
    EXPECT_EQ(cnn_.engine(), Engine::Sqlite);
    EXPECT_EQ(cnn_.dateLiteral(QDateTime(QDate(2026, 12, 31), QTime(10, 5))),
              "'2026-12-31 10:05:00'");
    EXPECT_EQ(cnn_.DefaultDatabase(), file_);
    EXPECT_FALSE(cnn_.setDefaultDatabase("conta"));
    EXPECT_EQ(cnn_.setDefaultDatabase("OTRA")->number, err::ProviderFailure);
}

TEST_F(OdbcSqlite, AMissingFileFailsWithoutCreatingOne) {
    const QString missing = folder_.path("no_existe.db");
    const StepResult e = cnn_.Open(kl::test::odbcSqliteConnectionString(missing));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number, err::ProviderFailure);
    EXPECT_TRUE(e->description.contains(missing)) << e->description.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(OdbcSqlite, TextsTheEmbeddedEngineWroteReadTheSameAndBack) {
    ASSERT_TRUE(EmbeddedDb::exec(file_,
                                 "INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('1', "
                                 "'Peña Ñandú')"));
    ASSERT_FALSE(cnn_.Open(connection_));
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(
        cnn_.Execute("SELECT NOMBRE FROM MA_CUENTAS WHERE NOMBRE LIKE 'peña%'", nullptr, &rs));
    ASSERT_FALSE(rs->EOF());
    EXPECT_EQ(rs->value(0).toString(), "Peña Ñandú");
    ASSERT_FALSE(cnn_.Execute("INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('2', 'Ñoño')"));
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT NOMBRE FROM MA_CUENTAS WHERE CODIGO = '2'"), "Ñoño")
        << "written as UTF-8, as the embedded engine reads it";
}

TEST_F(OdbcSqlite, PasswordsNeverReachTheTrace) {
    QTemporaryDir dir;
    const QString trace = dir.filePath("traza.sql");
    qputenv("KL_TRAZA_SQL", QFile::encodeName(trace));
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.Execute("UPDATE TA_CONFIGURACION SET VALOR = 'secreto' WHERE CLAVE = 'x'"));
    qunsetenv("KL_TRAZA_SQL");
    EXPECT_EQ(kl::test::traceText(trace),
              "UPDATE TA_CONFIGURACION SET VALOR = '********' WHERE CLAVE = 'x'\n");
}

TEST_F(OdbcSqlite, TheCatalogueKeepsTheEnginesOwnTablesOut) {
    ASSERT_FALSE(cnn_.Open(connection_));
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(cnn_.OpenSchema(adSchemaTables, {}, rs));
    for (; !rs->EOF(); rs->MoveNext()) {
        EXPECT_FALSE(rs->value("TABLE_NAME").toString().startsWith("KL_"));
        EXPECT_FALSE(rs->value("TABLE_NAME").toString().startsWith("sqlite_"));
        EXPECT_EQ(rs->value("TABLE_SCHEMA").toString(), "dbo");
    }
}

TEST_F(OdbcSqlite, ValuesOfEveryKindAreStoredAsTheEmbeddedEngineStoresThem) {
    ASSERT_FALSE(cnn_.Open(connection_));
    Recordset rs;
    ASSERT_FALSE(rs.Open("SELECT * FROM TIPOS", cnn_, adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.AddNew());
    ASSERT_FALSE(rs.setValue("C_INT", 7));
    ASSERT_FALSE(rs.setValue("C_FLOAT", 0.1));
    ASSERT_FALSE(rs.setValue("C_MONEY", Value::currencyFromScaled(-12345678)));
    ASSERT_FALSE(rs.setValue("C_DT", QDateTime(QDate(2026, 12, 31), QTime(10, 5, 9))));
    ASSERT_FALSE(rs.setValue("C_BIT", true));
    ASSERT_FALSE(rs.setValue("C_VC", "Año ñandú"));
    ASSERT_FALSE(rs.setValue("C_TEXT", QString(5000, u'x')));
    ASSERT_FALSE(rs.Update());
    EXPECT_EQ(EmbeddedDb::scalar(file_,
                                 "SELECT C_INT || '|' || C_FLOAT || '|' || C_MONEY || '|' || "
                                 "C_DT || '|' || C_BIT || '|' || C_VC || '|' || "
                                 "length(C_TEXT) || '|' || typeof(C_NUM) FROM TIPOS"),
              "7|0.1|-1234.5678|2026-12-31 10:05:09|1|Año ñandú|5000|null");
    // And they read back as they went.
    EXPECT_EQ(rs.value("C_MONEY").currencyScaled(), -12345678);
    EXPECT_EQ(rs.value("C_DT").toDateTime(), QDateTime(QDate(2026, 12, 31), QTime(10, 5, 9)));
    EXPECT_EQ(rs.value("C_TEXT").toString().size(), 5000) << "long texts come in pieces";
}

TEST_F(OdbcSqlite, AFailingProcedureInsideATransactionUndoesOnlyItself) {
    ASSERT_FALSE(cnn_.Open(connection_));
    ASSERT_FALSE(cnn_.BeginTrans());
    ASSERT_FALSE(cnn_.Execute("INSERT INTO MV_ASIENTOS (NUMERO, CUENTA) VALUES (9, 'ANTES')"));
    EXPECT_TRUE(cnn_.Execute("kv_Asentar '1101','-5'"));
    ASSERT_FALSE(cnn_.CommitTrans());
    EXPECT_EQ(EmbeddedDb::scalar(file_, "SELECT group_concat(CUENTA) FROM MV_ASIENTOS"), "ANTES");
    EXPECT_TRUE(cnn_.CommitTrans()) << "the procedure left no level open";
}

TEST_F(OdbcSqlite, SqlitesDriverNamedForSqlServerStillGetsTheEnginesFunctions) {
    QTemporaryDir user;
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.path()));
    ASSERT_TRUE(kl::cp1252::writeFile(QDir(user.path()).filePath("KL000p.INI"),
                                      "[ODBC]\r\nDriverSQLServer=SQLite3\r\n"));
    const StepResult opened =
        cnn_.Open("PROVIDER=SQLOLEDB;Server=SRV01;Database =" + file_ + ";UId=sa;Pwd=;");
    if (previous.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", previous);
    ASSERT_FALSE(opened) << opened->description.toStdString();
    ASSERT_TRUE(EmbeddedDb::exec(file_,
                                 "INSERT INTO MA_CUENTAS (CODIGO, NOMBRE) VALUES ('11', "
                                 "'Caja  ')"));
    std::unique_ptr<Recordset> rs;
    ASSERT_FALSE(
        cnn_.Execute("SELECT TOP 1 LEN(NOMBRE), CODIGO + NOMBRE FROM MA_CUENTAS "
                     "with(nolock) WHERE CODIGO = '11'",
                     nullptr, &rs));
    ASSERT_FALSE(rs->EOF());
    EXPECT_EQ(rs->value(0).toString(), "4");
    EXPECT_EQ(rs->value(1).toString(), "11Caja  ");
}

TEST(OdbcValues, CurrencyTextsAreReadExactly) {
    EXPECT_EQ(scaledCurrency(u"1234.5"), 12345000);
    EXPECT_EQ(scaledCurrency(u" -0.0001 "), -1);
    EXPECT_EQ(scaledCurrency(u"10.25005"), 102501) << "a fifth decimal rounds";
    EXPECT_EQ(scaledCurrency(u"-10.25005"), -102501);
    EXPECT_EQ(scaledCurrency(u"12."), 120000);
    EXPECT_EQ(scaledCurrency(u"922337203685477.5807"), 9223372036854775807LL);
    EXPECT_FALSE(scaledCurrency(u"922337203685478"));
    EXPECT_FALSE(scaledCurrency(u"922337203685477.58075"));
    EXPECT_FALSE(scaledCurrency(u"1e5"));
    EXPECT_FALSE(scaledCurrency(u""));
    EXPECT_FALSE(scaledCurrency(u"-"));
}

// ---- dialects ------------------------------------------------------------------

TEST(OdbcDialects, TheEngineTheDriverReportsDecides) {
    const ConnectionSettings sqlServer = parsed("PROVIDER=SQLOLEDB;Server=S;");
    const ConnectionSettings oracle = parsed("Provider=OraOLEDB.Oracle.1;Data Source=XE;");
    EXPECT_EQ(makeDialect("Microsoft SQL Server", oracle)->engine(), Engine::SqlServer);
    EXPECT_EQ(makeDialect("SQLite", sqlServer)->engine(), Engine::Sqlite);
    EXPECT_EQ(makeDialect("Oracle", sqlServer)->engine(), Engine::Oracle);
    EXPECT_EQ(makeDialect("", oracle)->engine(), Engine::Oracle);
    EXPECT_EQ(makeDialect("PostgreSQL", sqlServer)->engine(), Engine::PostgreSql);
}

TEST(OdbcDialects, SqlServerGetsTheProgramsSqlUnchanged) {
    const std::unique_ptr<Dialect> d =
        makeDialect("Microsoft SQL Server", parsed("PROVIDER=SQLOLEDB;Server=S;"));
    OdbcProvider closed;
    const QString sql = "SELECT TOP 1 * FROM MA_CUENTAS with(nolock) WHERE CODIGO = '1'";
    const Statements st = d->statements(sql, closed);
    ASSERT_TRUE(std::holds_alternative<std::vector<tsql::Statement>>(st));
    ASSERT_EQ(std::get<0>(st).size(), 1u);
    EXPECT_EQ(std::get<0>(st).front().sql, sql);
    EXPECT_EQ(d->quoteIdentifier("FECHA DESDE"), "[FECHA DESDE]");
    EXPECT_EQ(d->quoteIdentifier("a]b"), "[a]]b]");
    EXPECT_TRUE(d->identityInInsertBatch()) << "SCOPE_IDENTITY() sees only its own batch";
    EXPECT_EQ(d->identityQuery(), "SELECT SCOPE_IDENTITY()");
    EXPECT_FALSE(d->listed("sys", "objects"));
    EXPECT_FALSE(d->listed("INFORMATION_SCHEMA", "TABLES"));
    EXPECT_TRUE(d->listed("dbo", "MA_CUENTAS"));

    const std::unique_ptr<Dialect> o = makeDialect("Oracle", ConnectionSettings{});
    EXPECT_EQ(o->quoteIdentifier("FECHA DESDE"), "\"FECHA DESDE\"");
    EXPECT_EQ(o->identityQuery(), "");
}

TEST(OdbcDialects, LeadingWordsSkipBlanksAndComments) {
    EXPECT_EQ(leadingWords(u"  -- nota\n/* otra */ begin tran x", 3),
              QStringList({"BEGIN", "TRAN", "X"}));
    EXPECT_EQ(leadingWords(u";;", 2), QStringList());
}

// ---- procedure bodies through SQLite's ODBC driver ------------------------------

TEST(ProcedureBodies, ParametersBecomeOneMarkerEach) {
    const MarkedStatement m = markParameters(
        "INSERT INTO T VALUES (@desde, '@no', [@tampoco], \"@ni\", @hasta) -- @nada\n"
        "/* @menos */ WHERE @desde > 0");
    EXPECT_EQ(m.sql,
              "INSERT INTO T VALUES (?, '@no', [@tampoco], \"@ni\", ?) -- @nada\n"
              "/* @menos */ WHERE ? > 0");
    EXPECT_EQ(m.parameters, QStringList({"@desde", "@hasta", "@desde"}));
    EXPECT_EQ(markParameters("SELECT ?").parameters, QStringList{QString()});
}

TEST(ProcedureBodies, StatementsEndWhereSqliteEndsThem) {
    EXPECT_EQ(splitStatements("INSERT INTO T VALUES ('a;b'); -- fin; \n"
                              "CREATE TRIGGER X AFTER INSERT ON T BEGIN SELECT 1; END;"
                              "  ;\nUPDATE T SET A = 1"),
              QStringList({"INSERT INTO T VALUES ('a;b')",
                           "-- fin; \nCREATE TRIGGER X AFTER INSERT ON T BEGIN SELECT 1; END",
                           "UPDATE T SET A = 1"}));
}

}  // namespace
}  // namespace kl::ado::odbc
