#include "backends.h"

#include "odbc_test_drivers.h"

namespace kl::test {

QString createEmbeddedTestDatabase(EmbeddedDb& folder, const QString& name) {
    return folder.create(
        name,
        QStringLiteral(
            "CREATE TABLE CONTROL_ACCESO (ID INTEGER PRIMARY KEY AUTOINCREMENT, USUARIO "
            "VARCHAR(20) COLLATE KL_CI, ENTRADA DATETIME COLLATE KL_FECHA, SALIDA DATETIME COLLATE "
            "KL_FECHA);"
            "CREATE TABLE TA_CONFIGURACION (CLAVE VARCHAR(30) COLLATE KL_CI PRIMARY KEY, VALOR "
            "VARCHAR(50) COLLATE KL_CI);"
            "CREATE TABLE MA_CUENTAS (CODIGO VARCHAR(12) COLLATE KL_CI PRIMARY KEY, NOMBRE "
            "VARCHAR(40) COLLATE KL_CI, IMPUTABLE BIT NOT NULL DEFAULT 0, SALDO MONEY, ALTA DATE "
            "COLLATE KL_FECHA);"
            "CREATE TABLE MV_ASIENTOS (NUMERO INT, CUENTA VARCHAR(12) COLLATE KL_CI, IMPORTE "
            "FLOAT, FECHA DATETIME COLLATE KL_FECHA);"
            "CREATE INDEX IX_MV_ASIENTOS_NUMERO ON MV_ASIENTOS (NUMERO);"
            "CREATE TABLE TIPOS (C_INT INT, C_SMALL SMALLINT, C_TINY TINYINT, C_BIG BIGINT, "
            "C_FLOAT FLOAT, C_MONEY MONEY, C_DT DATETIME COLLATE KL_FECHA, C_DATE DATE COLLATE "
            "KL_FECHA, C_BIT BIT, C_NUM "
            "NUMERIC(18,2), C_VC VARCHAR(50), C_NVC NVARCHAR(30), C_CHAR CHAR(8), C_TEXT TEXT);"
            "CREATE VIEW V_CUENTAS AS SELECT CODIGO, NOMBRE FROM MA_CUENTAS;"
            "INSERT INTO KL_PROCEDIMIENTOS (NOMBRE, PARAMETROS, CUERPO) VALUES ('kv_Asentar', "
            "'@cuenta, @importe', "
            "'INSERT INTO MV_ASIENTOS (NUMERO, CUENTA, IMPORTE) VALUES (1, @cuenta, "
            "kl_val(@importe)); SELECT CASE WHEN kl_val(@importe) <= 0 THEN kl_error(''El "
            "importe debe ser mayor que cero'') END; INSERT INTO MV_ASIENTOS (NUMERO, CUENTA, "
            "IMPORTE) VALUES (1, ''CAJA'', -kl_val(@importe))');"));
}

std::vector<AdoBackend> adoBackends() {
    return {
        AdoBackend{"Embedded",
                   [](EmbeddedDb& folder, const QString& name) {
                       return EmbeddedDb::connectionString(
                           createEmbeddedTestDatabase(folder, name));
                   }},
        // The same file through unixODBC and SQLite's ODBC driver.
        AdoBackend{"OdbcSqlite", [](EmbeddedDb& folder, const QString& name) {
                       useTestOdbcDrivers();
                       return odbcSqliteConnectionString(createEmbeddedTestDatabase(folder, name));
                   }}};
}

}  // namespace kl::test
