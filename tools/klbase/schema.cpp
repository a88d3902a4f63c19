#include "schema.h"

#include "history_table.h"
#include "procedures.h"

#include "platform/sqlite_engine/guards.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <algorithm>
#include <vector>

namespace kl::klbase {

namespace {

const QString kSource = QStringLiteral("klbase");

// The letters a voucher can carry; voucher types and pads keep counters per letter.
const QStringList& voucherLetters() {
    static const QStringList letters{"A", "B", "C", "X", "E", "M", "R"};
    return letters;
}

QString perLetterColumns(const QStringList& suffixes) {
    QString columns;
    for (const QString& letter : voucherLetters()) {
        for (const QString& suffix : suffixes)
            columns += QStringLiteral(",\n  %1%2 INT NOT NULL DEFAULT 0").arg(letter, suffix);
    }
    return columns;
}

// Version 1. Text columns carry KL_CI, as every text column of a SQL Server
// database carries the server's case-insensitive collation.
QStringList baseTables() {
    return {
        QStringLiteral("CREATE TABLE KL_VERSION (VERSION INT NOT NULL)"),
        ado::sqlite::procedureTableDdl(),

        // Configuration keys.
        QStringLiteral("CREATE TABLE TA_CONFIGURACION (\n"
                       "  GRUPO VARCHAR(50) COLLATE KL_CI,\n"
                       "  CLAVE VARCHAR(50) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  VALOR VARCHAR(255) COLLATE KL_CI,\n"
                       "  VALORAUX VARCHAR(255) COLLATE KL_CI,\n"
                       "  DESCRIPCION VARCHAR(255) COLLATE KL_CI,\n"
                       "  PoliticaNegocio BIT NOT NULL DEFAULT 0,\n"
                       "  fechahora_grabacion DATETIME,\n"
                       "  fechahora_modificacion DATETIME)"),

        // Session: users, menu tasks, access log.
        QStringLiteral("CREATE TABLE TA_USUARIOS (\n"
                       "  NOMBRE VARCHAR(50) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  NOMBRE_COMPLETO VARCHAR(100) COLLATE KL_CI,\n"
                       "  CLAVE VARCHAR(50) COLLATE KL_CI,\n"
                       "  ADMINISTRADOR BIT NOT NULL DEFAULT 0,\n"
                       "  UNEGOCIO VARCHAR(4) COLLATE KL_CI,\n"
                       "  BAJA BIT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE TA_MENU (\n"
                       "  CLAVE VARCHAR(10) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  NOMBRE VARCHAR(100) COLLATE KL_CI,\n"
                       "  PROCESO VARCHAR(100) COLLATE KL_CI,\n"
                       "  PADRE VARCHAR(10) COLLATE KL_CI,\n"
                       "  ORDEN INT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE TA_TAREAS (\n"
                       "  USUARIO VARCHAR(50) NOT NULL COLLATE KL_CI,\n"
                       "  TAREA VARCHAR(10) NOT NULL COLLATE KL_CI,\n"
                       "  PRIMARY KEY (USUARIO, TAREA))"),
        QStringLiteral("CREATE TABLE CONTROL_ACCESO (\n"
                       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "  MAQUINA VARCHAR(50) COLLATE KL_CI,\n"
                       "  USUARIO VARCHAR(50) COLLATE KL_CI,\n"
                       "  FORMULARIO VARCHAR(50) COLLATE KL_CI,\n"
                       "  TAREA VARCHAR(100) COLLATE KL_CI,\n"
                       "  INGRESO DATETIME,\n"
                       "  NOMBREUSUARIO VARCHAR(50) COLLATE KL_CI,\n"
                       "  EGRESO DATETIME)"),

        // National reference tables.
        QStringLiteral("CREATE TABLE TA_CONDIVA (\n"
                       "  CODIGO VARCHAR(2) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(50) COLLATE KL_CI,\n"
                       "  ABREVIATURA VARCHAR(5) COLLATE KL_CI)"),
        QStringLiteral("CREATE TABLE TA_ESTADOS (\n"
                       "  CODIGO VARCHAR(4) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(60) COLLATE KL_CI,\n"
                       "  CODIGO_ISO VARCHAR(5) COLLATE KL_CI)"),
        QStringLiteral("CREATE TABLE TA_MONEDAS (\n"
                       "  CODIGO INT NOT NULL PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(50) COLLATE KL_CI,\n"
                       "  SIMBOLO VARCHAR(5) COLLATE KL_CI,\n"
                       "  CODIGO_AFIP VARCHAR(3) COLLATE KL_CI)"),
        // One rate column per currency code: MONEDA1 is the local currency.
        QStringLiteral("CREATE TABLE TA_COTIZACION (\n"
                       "  FECHA_HORA DATETIME NOT NULL PRIMARY KEY,\n"
                       "  MONEDA1 MONEY NOT NULL DEFAULT 1,\n"
                       "  MONEDA2 MONEY NOT NULL DEFAULT 1,\n"
                       "  MONEDA3 MONEY NOT NULL DEFAULT 1,\n"
                       "  MONEDA4 MONEY NOT NULL DEFAULT 1,\n"
                       "  MONEDA5 MONEY NOT NULL DEFAULT 1)"),

        // Fiscal years and their calendar.
        QStringLiteral("CREATE TABLE MV_EJERCICIOS (\n"
                       "  PERIODO INT NOT NULL PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(50) COLLATE KL_CI,\n"
                       "  [FECHA DESDE] DATETIME,\n"
                       "  [FECHA HASTA] DATETIME,\n"
                       "  CERRADO BIT NOT NULL DEFAULT 0,\n"
                       "  CANCELACION BIT NOT NULL DEFAULT 0,\n"
                       "  CIERRE BIT NOT NULL DEFAULT 0,\n"
                       "  APERTURA BIT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE MA_CALENDARIO (\n"
                       "  FECHA DATETIME NOT NULL PRIMARY KEY,\n"
                       "  NOLABORABLE BIT NOT NULL DEFAULT 0,\n"
                       "  DESCRIPCION VARCHAR(50) COLLATE KL_CI)"),

        // Chart of accounts and journal. Codes are at most 15 digits (the
        // level structure's limit) plus room for a check digit.
        QStringLiteral("CREATE TABLE MA_CUENTAS (\n"
                       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "  CODIGO VARCHAR(20) NOT NULL COLLATE KL_CI UNIQUE,\n"
                       "  DESCRIPCION VARCHAR(60) COLLATE KL_CI,\n"
                       "  TITULO BIT NOT NULL DEFAULT 0,\n"
                       "  DADA_DE_BAJA BIT NOT NULL DEFAULT 0,\n"
                       "  BLOQUEO BIT NOT NULL DEFAULT 0,\n"
                       "  BIENES BIT NOT NULL DEFAULT 0,\n"
                       "  AJUSTE BIT NOT NULL DEFAULT 0,\n"
                       "  CCOSTO BIT NOT NULL DEFAULT 0,\n"
                       "  MONEDA INT NOT NULL DEFAULT 1,\n"
                       "  CONFIDENCIAL BIT NOT NULL DEFAULT 0,\n"
                       "  fechahora_grabacion DATETIME,\n"
                       "  fechahora_modificacion DATETIME)"),
        QStringLiteral("CREATE TABLE MA_CUENTASADIC (\n"
                       "  CODIGO VARCHAR(20) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  CUIT VARCHAR(13) COLLATE KL_CI,\n"
                       "  CBU VARCHAR(22) COLLATE KL_CI,\n"
                       "  OBSERVACIONES VARCHAR(255) COLLATE KL_CI)"),
        QStringLiteral("CREATE TABLE MV_ASIENTOS (\n"
                       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "  PERIODO INT NOT NULL,\n"
                       "  MES_OPERATIVO INT NOT NULL,\n"
                       "  [NUMERO ASIENTO] INT NOT NULL,\n"
                       "  RENGLON INT NOT NULL DEFAULT 1,\n"
                       "  FECHA DATETIME NOT NULL,\n"
                       "  TIPO_REG VARCHAR(10) NOT NULL COLLATE KL_CI DEFAULT '',\n"
                       "  CUENTA VARCHAR(20) NOT NULL COLLATE KL_CI,\n"
                       "  [DEBE-HABER] VARCHAR(1) NOT NULL COLLATE KL_CI,\n"
                       "  IMPORTE MONEY NOT NULL DEFAULT 0,\n"
                       "  DETALLE VARCHAR(100) COLLATE KL_CI,\n"
                       "  CCOSTO VARCHAR(10) COLLATE KL_CI,\n"
                       "  TC VARCHAR(4) COLLATE KL_CI,\n"
                       "  SUCURSAL VARCHAR(4) COLLATE KL_CI,\n"
                       "  NUMERO VARCHAR(8) COLLATE KL_CI,\n"
                       "  LETRA VARCHAR(1) COLLATE KL_CI,\n"
                       "  CABCUENTA VARCHAR(20) COLLATE KL_CI,\n"
                       "  CABIMPORTE MONEY,\n"
                       "  ESRESUMEN BIT NOT NULL DEFAULT 0,\n"
                       "  ESAJUSTE BIT NOT NULL DEFAULT 0,\n"
                       "  AJUSTE_HASTA VARCHAR(10) COLLATE KL_CI,\n"
                       "  MONEDA INT NOT NULL DEFAULT 1,\n"
                       "  COTIZACION MONEY NOT NULL DEFAULT 1,\n"
                       "  USUARIO VARCHAR(50) COLLATE KL_CI,\n"
                       "  fechahora_grabacion DATETIME)"),

        // Subsidiary journals and vouchers. Voucher type codes are stored
        // right-aligned to four characters, as the module looks them up.
        QStringLiteral("CREATE TABLE MA_SUBDIARIOSCOMPROBANTES (\n"
                       "  SUBDIARIO VARCHAR(10) NOT NULL COLLATE KL_CI,\n"
                       "  TC VARCHAR(4) NOT NULL COLLATE KL_CI,\n"
                       "  PRIMARY KEY (SUBDIARIO, TC))"),
        QStringLiteral("CREATE TABLE MV_CONTROL_AS_RES (\n"
                       "  SUBDIARIO VARCHAR(10) NOT NULL COLLATE KL_CI,\n"
                       "  PERIODO INT NOT NULL,\n"
                       "  ID INT NOT NULL,\n"
                       "  FECHA_DESDE DATETIME,\n"
                       "  FECHA_HASTA DATETIME,\n"
                       "  ANULADO BIT NOT NULL DEFAULT 0,\n"
                       "  PRIMARY KEY (SUBDIARIO, PERIODO, ID))"),
        QStringLiteral("CREATE TABLE TA_COMPROBANTES (\n"
                       "  CODIGO VARCHAR(4) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(50) COLLATE KL_CI,\n"
                       "  MODIFICANUMERACION BIT NOT NULL DEFAULT 0,\n"
                       "  LETRAS VARCHAR(7) COLLATE KL_CI") +
            perLetterColumns({"_ULTIMO_NRO", "_NRO_DESDE", "_NRO_HASTA"}) + QStringLiteral(")"),
        QStringLiteral("CREATE TABLE TA_TALONARIOS (\n"
                       "  CODIGO VARCHAR(4) NOT NULL COLLATE KL_CI,\n"
                       "  UNEGOCIO VARCHAR(4) NOT NULL COLLATE KL_CI,\n"
                       "  TALONARIO INT NOT NULL,\n"
                       "  DESCRIPCION VARCHAR(50) COLLATE KL_CI") +
            perLetterColumns({"_SUC_DEFAULT", "_ULTIMO_NRO"}) +
            QStringLiteral(",\n  PRIMARY KEY (CODIGO, UNEGOCIO, TALONARIO))"),
        QStringLiteral("CREATE TABLE AUX_SUBDIARIOS (\n"
                       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "  USUARIO VARCHAR(50) COLLATE KL_CI,\n"
                       "  PERIODO INT,\n"
                       "  MES_OPERATIVO INT,\n"
                       "  [NUMERO ASIENTO] INT,\n"
                       "  FECHA DATETIME,\n"
                       "  TC VARCHAR(4) COLLATE KL_CI,\n"
                       "  SUCURSAL VARCHAR(4) COLLATE KL_CI,\n"
                       "  NUMERO VARCHAR(8) COLLATE KL_CI,\n"
                       "  LETRA VARCHAR(1) COLLATE KL_CI,\n"
                       "  CABIMPORTE MONEY,\n"
                       "  CUENTA_D VARCHAR(20) COLLATE KL_CI,\n"
                       "  DESCRIPCION_D VARCHAR(60) COLLATE KL_CI,\n"
                       "  IMPORTE_D MONEY,\n"
                       "  CONCEPTO VARCHAR(100) COLLATE KL_CI,\n"
                       "  CUENTA_H VARCHAR(20) COLLATE KL_CI,\n"
                       "  DESCRIPCION_H VARCHAR(60) COLLATE KL_CI,\n"
                       "  IMPORTE_H MONEY)"),

        // Fixed assets.
        QStringLiteral("CREATE TABLE MA_BIENES (\n"
                       "  CODIGO INT NOT NULL PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(100) COLLATE KL_CI,\n"
                       "  CUENTA VARCHAR(20) COLLATE KL_CI,\n"
                       "  FECHA_ALTA DATETIME,\n"
                       "  VALOR_ORIGEN MONEY NOT NULL DEFAULT 0,\n"
                       "  VIDA_UTIL INT NOT NULL DEFAULT 0,\n"
                       "  DADO_DE_BAJA BIT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE MA_BIENES_NOVEDADES (\n"
                       "  CODIGO INT NOT NULL,\n"
                       "  ID INT NOT NULL,\n"
                       "  FECHA DATETIME,\n"
                       "  DETALLE VARCHAR(100) COLLATE KL_CI,\n"
                       "  IMPORTE MONEY NOT NULL DEFAULT 0,\n"
                       "  PRIMARY KEY (CODIGO, ID))"),

        // Hierarchies the tree lookup shows: codes grow by digits per level.
        QStringLiteral("CREATE TABLE TA_CCOSTO (\n"
                       "  CODIGO VARCHAR(10) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(60) COLLATE KL_CI)"),
        QStringLiteral("CREATE TABLE MA_POSICIONES (\n"
                       "  IDPOSICION VARCHAR(12) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(100) COLLATE KL_CI)"),
        QStringLiteral("CREATE TABLE TA_FAMILIAS (\n"
                       "  IDFAMILIA VARCHAR(10) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(60) COLLATE KL_CI,\n"
                       "  CONFIDENCIAL BIT NOT NULL DEFAULT 0)"),

        // Stock and cash tables behind the module's lookup views.
        QStringLiteral("CREATE TABLE TA_DEPOSITO (\n"
                       "  IDDEPOSITO VARCHAR(4) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(60) COLLATE KL_CI,\n"
                       "  UNIDAD VARCHAR(4) COLLATE KL_CI,\n"
                       "  CONFIDENCIAL BIT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE TA_CAJAS (\n"
                       "  IDCAJAS VARCHAR(4) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(60) COLLATE KL_CI,\n"
                       "  CUENTA VARCHAR(20) COLLATE KL_CI,\n"
                       "  CONFIDENCIAL BIT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE MA_ARTICULOS (\n"
                       "  IDARTICULO VARCHAR(25) NOT NULL COLLATE KL_CI PRIMARY KEY,\n"
                       "  DESCRIPCION VARCHAR(100) COLLATE KL_CI,\n"
                       "  IDFAMILIA VARCHAR(10) COLLATE KL_CI,\n"
                       "  UNIDAD VARCHAR(10) COLLATE KL_CI,\n"
                       "  PUNTOPEDIDO NUMERIC(18,2) NOT NULL DEFAULT 0,\n"
                       "  STOCK NUMERIC(18,2) NOT NULL DEFAULT 0,\n"
                       "  PRECIO1 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO2 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO3 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO4 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO5 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO6 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO7 MONEY NOT NULL DEFAULT 0,\n"
                       "  PRECIO8 MONEY NOT NULL DEFAULT 0,\n"
                       "  ALICUOTA_IVA NUMERIC(5,2) NOT NULL DEFAULT 21,\n"
                       "  SUSPENDIDO BIT NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE MV_FALTANTES (\n"
                       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "  FECHAHORA DATETIME,\n"
                       "  IDARTICULO VARCHAR(25) COLLATE KL_CI,\n"
                       "  DESCRIPCION VARCHAR(100) COLLATE KL_CI,\n"
                       "  USUARIO VARCHAR(50) COLLATE KL_CI)"),
    };
}

// One upgrade step: the statements that take a file from version - 1 to
// version.
struct UpgradeStep {
    int version;
    QStringList statements;
    // Run after the statements, for what SQL cannot say.
    StepResult (*work)(Database&) = nullptr;
};

// Version 3: date columns compare a quoted date as the date it names.
StepResult collateDates(Database& db) {
    int changed = 0;
    return ado::sqlite::collateDateColumns(db.handle(), changed);
}

const std::vector<UpgradeStep>& upgradeSteps() {
    static const std::vector<UpgradeStep> steps{
        {2,
         {QStringLiteral("ALTER TABLE TA_USUARIOS ADD COLUMN EMAIL VARCHAR(60) NOT NULL "
                         "COLLATE KL_CI DEFAULT ''")},
         nullptr},
        {3, {}, collateDates},
        // The history of changes.
        {4, historyTableStatements(), nullptr},
    };
    return steps;
}

struct Index {
    int since;
    QString ddl;
};

const std::vector<Index>& indexes() {
    static const std::vector<Index> all{
        {1, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_MV_ASIENTOS_CUENTA ON MV_ASIENTOS "
                           "(CUENTA)")},
        {1, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_MV_ASIENTOS_ASIENTO ON MV_ASIENTOS "
                           "(PERIODO, MES_OPERATIVO, [NUMERO ASIENTO])")},
        // Lines without a voucher (most of the general journal) stay out of it.
        {1, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_MV_ASIENTOS_COMPROBANTE ON MV_ASIENTOS "
                           "(TC, SUCURSAL, NUMERO, LETRA) WHERE TC IS NOT NULL")},
        {1, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_AUX_SUBDIARIOS_USUARIO ON "
                           "AUX_SUBDIARIOS (USUARIO)")},
        {1, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_CONTROL_ACCESO_USUARIO ON "
                           "CONTROL_ACCESO (NOMBREUSUARIO)")},
    };
    return all;
}

// A view; when `writesTo` names a table, the view passes inserts, updates and
// deletes on to it, as SQL Server does for a view over one table. A view
// with `masked` columns shows every row of `writesTo` with those columns
// Null where `maskWhen` holds (its select is built from the table's columns).
struct View {
    int since;
    QString name;
    QString select;
    QString writesTo;
    QStringList masked = {};
    QString maskWhen = {};
};

const QString kConfidentialLine = QStringLiteral(
    "EXISTS (SELECT 1 FROM MA_CUENTAS C WHERE C.CODIGO = MV_ASIENTOS.CUENTA AND "
    "C.CONFIDENCIAL = 1)");
const QString kNotConfidentialLine = "NOT " + kConfidentialLine;

QString dailyBalances(const QString& source, const QString& extraKey) {
    return QStringLiteral(
               "SELECT CUENTA, PERIODO, FECHA%2, "
               "SUM(CASE WHEN [DEBE-HABER] = 'D' THEN IMPORTE ELSE 0 END) AS DEBE, "
               "SUM(CASE WHEN [DEBE-HABER] = 'H' THEN IMPORTE ELSE 0 END) AS HABER "
               "FROM %1 GROUP BY CUENTA, PERIODO, FECHA%2")
        .arg(source, extraKey);
}

const std::vector<View>& views() {
    static const std::vector<View> all{
        {1, "V_MV_FALTANTES", "SELECT * FROM MV_FALTANTES", "MV_FALTANTES"},
        {1, "V_TA_FAMILIAS", "SELECT * FROM TA_FAMILIAS", "TA_FAMILIAS"},
        {1, "V_TA_DEPOSITO", "SELECT * FROM TA_DEPOSITO", "TA_DEPOSITO"},
        {1, "V_TA_CAJAS", "SELECT * FROM TA_CAJAS", "TA_CAJAS"},
        {1, "V_MA_ARTICULOS", "SELECT * FROM MA_ARTICULOS", "MA_ARTICULOS"},
        {1, "VT_MA_ARTICULOS",
         "SELECT A.*, F.DESCRIPCION AS FAMILIA FROM MA_ARTICULOS A "
         "LEFT JOIN TA_FAMILIAS F ON F.IDFAMILIA = A.IDFAMILIA",
         ""},
        {1, "V_TA_CPTE", "SELECT * FROM TA_TALONARIOS", "TA_TALONARIOS"},
        {1, "VT_TA_CPTE", "SELECT CODIGO, DESCRIPCION FROM TA_COMPROBANTES", ""},
        {1, "AC_CUENTASDIARIO", dailyBalances("MV_ASIENTOS", ""), ""},
        {1, "AC_CUENTASDIARIO_CCOSTO", dailyBalances("MV_ASIENTOS", ", CCOSTO"), ""},

        // Restricted views for users who are not administrators.
        {1, "SS_MA_CUENTAS", "SELECT * FROM MA_CUENTAS WHERE CONFIDENCIAL = 0", "MA_CUENTAS"},
        // Journal lines stay visible, so that statements over them (such as
        // the renumbering of an account) reach every line; only the amounts
        // of confidential accounts are hidden.
        {1, "SS_MV_ASIENTOS", "", "MV_ASIENTOS", {"IMPORTE", "CABIMPORTE"}, kConfidentialLine},
        {1, "SS_V_TA_DEPOSITO", "SELECT * FROM TA_DEPOSITO WHERE CONFIDENCIAL = 0", "TA_DEPOSITO"},
        {1, "SS_V_TA_FAMILIAS", "SELECT * FROM TA_FAMILIAS WHERE CONFIDENCIAL = 0", "TA_FAMILIAS"},
        {1, "SS_V_TA_CAJAS", "SELECT * FROM TA_CAJAS WHERE CONFIDENCIAL = 0", "TA_CAJAS"},
        {1, "SS_AC_CUENTASDIARIO", dailyBalances("MV_ASIENTOS WHERE " + kNotConfidentialLine, ""),
         ""},
        {1, "SS_AC_CUENTAS_DIARIO_CCOSTO",
         dailyBalances("MV_ASIENTOS WHERE " + kNotConfidentialLine, ", CCOSTO"), ""},
    };
    return all;
}

QString bracketed(const QString& name) {
    return QLatin1Char('[') + name + QLatin1Char(']');
}

struct ColumnInfo {
    QString name;
    QString defaultValue;  // SQL text of the default, empty when none
    bool key = false;
};

StepResult columnsOf(Database& db, const QString& table, std::vector<ColumnInfo>& out) {
    Statement query;
    if (StepResult failed = db.prepare("PRAGMA table_info(" + bracketed(table) + ")", query))
        return failed;
    out.clear();
    for (;;) {
        bool row = false;
        if (StepResult failed = query.step(row)) return failed;
        if (!row) return std::nullopt;
        out.push_back(
            {query.text(1), query.isNull(4) ? QString() : query.text(4), query.integer(5) > 0});
    }
}

// INSTEAD OF triggers that hand a view's writes to its table, by the table's
// primary key. Unset columns of an insert take the table's defaults; an
// update writes only the columns it changed, so masked values never reach
// the table.
StepResult installWriteTriggers(Database& db, const View& view) {
    std::vector<ColumnInfo> viewColumns, tableColumns;
    if (StepResult failed = columnsOf(db, view.name, viewColumns)) return failed;
    if (StepResult failed = columnsOf(db, view.writesTo, tableColumns)) return failed;

    QStringList names, values, assignments, keys;
    for (const ColumnInfo& column : tableColumns) {
        const bool shown = std::any_of(viewColumns.begin(), viewColumns.end(),
                                       [&](const ColumnInfo& c) { return c.name == column.name; });
        const QString name = bracketed(column.name);
        if (column.key) keys << name + " = OLD." + name;
        if (!shown) continue;
        names << name;
        values << (column.defaultValue.isEmpty()
                       ? "NEW." + name
                       : "COALESCE(NEW." + name + ", " + column.defaultValue + ")");
        // Binary, so that a change of letter case counts as a change.
        assignments << name + " = CASE WHEN NEW." + name + " IS OLD." + name +
                           " COLLATE BINARY THEN " + name + " ELSE NEW." + name + " END";
    }
    if (keys.isEmpty())
        return RunError{1,
                        QStringLiteral("La tabla %1 de la vista %2 no tiene clave primaria")
                            .arg(view.writesTo, view.name),
                        kSource};

    const QString prefix =
        QStringLiteral("CREATE TRIGGER KL_VISTA_%1_%2 INSTEAD OF %3 ON %1 BEGIN ");
    const QString where = " WHERE " + keys.join(" AND ") + "; END";
    return db.exec(prefix.arg(view.name, "INS", "INSERT") + "INSERT INTO " + view.writesTo + " (" +
                   names.join(", ") + ") VALUES (" + values.join(", ") + "); END;\n" +
                   prefix.arg(view.name, "UPD", "UPDATE") + "UPDATE " + view.writesTo + " SET " +
                   assignments.join(", ") + where + ";\n" + prefix.arg(view.name, "DEL", "DELETE") +
                   "DELETE FROM " + view.writesTo + where);
}

StepResult selectOf(Database& db, const View& view, QString& select) {
    if (view.masked.isEmpty()) {
        select = view.select;
        return std::nullopt;
    }
    std::vector<ColumnInfo> columns;
    if (StepResult failed = columnsOf(db, view.writesTo, columns)) return failed;
    QStringList shown;
    for (const ColumnInfo& column : columns) {
        const QString name = bracketed(column.name);
        shown << (view.masked.contains(column.name, Qt::CaseInsensitive)
                      ? "CASE WHEN " + view.maskWhen + " THEN NULL ELSE " + name + " END AS " + name
                      : name);
    }
    select = "SELECT " + shown.join(", ") + " FROM " + view.writesTo;
    return std::nullopt;
}

// Views are rebuilt from scratch, so they and their triggers follow the
// tables' columns of this version.
StepResult installViews(Database& db, int version) {
    for (const View& view : views()) {
        if (view.since > version) continue;
        QString select;
        if (StepResult failed = db.exec("DROP VIEW IF EXISTS " + view.name)) return failed;
        if (StepResult failed = selectOf(db, view, select)) return failed;
        if (StepResult failed = db.exec("CREATE VIEW " + view.name + " AS " + select))
            return failed;
        if (!view.writesTo.isEmpty()) {
            if (StepResult failed = installWriteTriggers(db, view)) return failed;
        }
    }
    return std::nullopt;
}

StepResult installIndexes(Database& db, int version) {
    for (const Index& index : indexes()) {
        if (index.since > version) continue;
        if (StepResult failed = db.exec(index.ddl)) return failed;
    }
    return std::nullopt;
}

StepResult installGuards(Database& db) {
    return ado::sqlite::installAllColumnGuards(db.handle());
}

StepResult setVersion(Database& db, int version) {
    return db.exec(QStringLiteral("DELETE FROM KL_VERSION; INSERT INTO KL_VERSION (VERSION) "
                                  "VALUES (%1)")
                       .arg(version));
}

StepResult runStatements(Database& db, const QStringList& statements) {
    for (const QString& sql : statements) {
        if (StepResult failed = db.exec(sql)) return failed;
    }
    return std::nullopt;
}

StepResult runStep(Database& db, const UpgradeStep& step) {
    if (StepResult failed = runStatements(db, step.statements)) return failed;
    return step.work ? step.work(db) : std::nullopt;
}

// Tables, upgrade steps, views and procedures of `version`.
StepResult createStructure(Database& db, int version) {
    Transaction transaction(db);
    if (StepResult failed = transaction.begin()) return failed;
    if (StepResult failed = runStatements(db, baseTables())) return failed;
    for (const UpgradeStep& step : upgradeSteps()) {
        if (step.version > version) break;
        if (StepResult failed = runStep(db, step)) return failed;
    }
    if (StepResult failed = installViews(db, version)) return failed;
    if (StepResult failed = installProcedures(db)) return failed;
    if (StepResult failed = setVersion(db, version)) return failed;
    return transaction.commit();
}

StepResult finishObjects(Database& db, int version) {
    Transaction transaction(db);
    if (StepResult failed = transaction.begin()) return failed;
    if (StepResult failed = installIndexes(db, version)) return failed;
    if (StepResult failed = installGuards(db)) return failed;
    return transaction.commit();
}

}  // namespace

StepResult createSchema(Database& db, int version) {
    if (version < 1 || version > kSchemaVersion)
        return RunError{1, QStringLiteral("Versión de esquema desconocida: %1").arg(version),
                        kSource};
    if (StepResult failed = createStructure(db, version)) return failed;
    return finishObjects(db, version);
}

StepResult createSchemaForBulkLoad(Database& db) {
    return createStructure(db, kSchemaVersion);
}

StepResult finishSchema(Database& db) {
    return finishObjects(db, kSchemaVersion);
}

StepResult schemaVersion(Database& db, int& version) {
    std::int64_t found = 0;
    if (db.scalar(QStringLiteral("SELECT VERSION FROM KL_VERSION"), found) || found < 1)
        return RunError{1,
                        QStringLiteral("El archivo no es una base de datos creada por klbase "
                                       "(no tiene la tabla KL_VERSION)"),
                        kSource};
    version = static_cast<int>(found);
    return std::nullopt;
}

StepResult upgradeSchema(Database& db, int& from) {
    if (StepResult failed = schemaVersion(db, from)) return failed;
    if (from > kSchemaVersion)
        return RunError{1,
                        QStringLiteral("La base tiene la versión %1 del esquema, posterior a la "
                                       "versión %2 que conoce esta versión de klbase")
                            .arg(from)
                            .arg(kSchemaVersion),
                        kSource};
    for (const UpgradeStep& step : upgradeSteps()) {
        if (step.version <= from) continue;
        Transaction transaction(db);
        if (StepResult failed = transaction.begin()) return failed;
        StepResult failed = runStep(db, step);
        if (!failed) failed = installViews(db, step.version);
        if (!failed) failed = installProcedures(db);
        if (!failed) failed = installIndexes(db, step.version);
        if (!failed) failed = installGuards(db);
        if (!failed) failed = setVersion(db, step.version);
        if (failed) {
            failed->description = QStringLiteral("Paso a la versión %1: %2")
                                      .arg(step.version)
                                      .arg(failed->description);
            return failed;
        }
        if (StepResult committed = transaction.commit()) return committed;
    }
    return std::nullopt;
}

}  // namespace kl::klbase
