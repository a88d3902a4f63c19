// klbase: the files it creates, the demo company's consistency, the volume
// generator, schema upgrades, and the database's kv_CreaCalendario as the
// module's programs reach it through the data-access layer.

#include "cli.h"
#include "company.h"
#include "fuzz/klbase_arguments_properties.h"
#include "fuzz/seed_replay.h"
#include "klbase_run.h"
#include "schema.h"
#include "sqlite_db.h"
#include "support/printers.h"

#include "config/validacion_configuracion.h"
#include "platform/ado/ado.h"
#include "platform/ado/odbc/odbc_settings.h"
#include "platform/conversions.h"
#include "platform/sqlite_engine/stored_forms.h"
#include "support/embedded_db.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <numeric>

namespace kl::klbase {
namespace {

// A file opened with the raw API, for reading back what klbase wrote.
class File {
  public:
    explicit File(const QString& path) {
        EXPECT_FALSE(db_.open(path, Database::Mode::OpenExisting));
    }

    std::int64_t number(const QString& sql) {
        std::int64_t value = -1;
        if (StepResult failed = db_.scalar(sql, value))
            ADD_FAILURE() << sql.toStdString() << ": " << failed->description.toStdString();
        return value;
    }
    QStringList texts(const QString& sql) {
        QStringList values;
        if (StepResult failed = db_.texts(sql, values))
            ADD_FAILURE() << sql.toStdString() << ": " << failed->description.toStdString();
        return values;
    }
    QString text(const QString& sql) {
        const QStringList values = texts(sql);
        return values.isEmpty() ? QStringLiteral("<sin filas>") : values.first();
    }
    StepResult exec(const QString& sql) { return db_.exec(sql); }
    QString configuration(const QString& key) {
        return text("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = '" + key + "'");
    }
    QStringList columns(const QString& table) {
        return texts("SELECT name FROM pragma_table_info('" + table + "')");
    }

  private:
    Database db_;
};

// What the module's programs read or write, by table or view.
const std::map<QString, QStringList>& programTables() {
    static const std::map<QString, QStringList> tables{
        {"TA_CONFIGURACION",
         {"GRUPO", "CLAVE", "VALOR", "VALORAUX", "DESCRIPCION", "PoliticaNegocio",
          "fechahora_grabacion", "fechahora_modificacion"}},
        {"CONTROL_ACCESO",
         {"ID", "Maquina", "Usuario", "Formulario", "Tarea", "Ingreso", "NombreUsuario", "EGRESO"}},
        {"TA_TAREAS", {"USUARIO", "TAREA"}},
        {"TA_MENU", {"Clave", "Proceso", "Nombre"}},
        {"TA_USUARIOS", {"nombre", "Administrador", "UNegocio"}},
        {"MV_EJERCICIOS",
         {"PERIODO", "DESCRIPCION", "FECHA DESDE", "FECHA HASTA", "CERRADO", "CANCELACION",
          "CIERRE", "APERTURA"}},
        {"MA_CUENTAS",
         {"Codigo", "DESCRIPCION", "DADA_DE_BAJA", "BLOQUEO", "Titulo", "BIENES", "Ajuste"}},
        {"MV_ASIENTOS",
         {"CUENTA", "TIPO_REG", "FECHA", "Periodo", "Mes_Operativo", "numero asiento", "DEBE-HABER",
          "Importe", "Detalle", "TC", "Sucursal", "Numero", "letra", "Cabimporte", "CABCUENTA",
          "ESRESUMEN", "EsAjuste", "Ajuste_Hasta"}},
        {"MA_CALENDARIO", {"Fecha", "nolaborable"}},
        {"TA_COTIZACION", {"FECHA_HORA", "Moneda1", "Moneda2", "Moneda3", "Moneda4", "Moneda5"}},
        {"TA_CONDIVA", {"codigo", "DESCRIPCION"}},
        {"TA_ESTADOS", {"Codigo", "DESCRIPCION"}},
        {"TA_MONEDAS", {"CODIGO", "DESCRIPCION"}},
        {"AUX_SUBDIARIOS",
         {"Usuario", "Periodo", "Mes_Operativo", "numero asiento", "fecha", "TC", "Sucursal",
          "Numero", "letra", "Cabimporte", "cuenta_D", "descripcion_D", "importe_D", "Concepto",
          "cuenta_H", "descripcion_H", "importe_H"}},
        {"MV_CONTROL_AS_RES",
         {"SUBDIARIO", "PERIODO", "ID", "Fecha_Desde", "Fecha_Hasta", "Anulado"}},
        {"MA_SUBDIARIOSCOMPROBANTES", {"SUBDIARIO", "TC"}},
        {"TA_COMPROBANTES",
         {"CODIGO", "ModificaNumeracion", "Letras", "A_ULTIMO_NRO", "A_NRO_DESDE", "A_NRO_HASTA",
          "R_ULTIMO_NRO", "R_NRO_DESDE", "R_NRO_HASTA"}},
        {"V_TA_CPTE",
         {"CODIGO", "UNEGOCIO", "TALONARIO", "A_SUC_DEFAULT", "A_ULTIMO_NRO", "M_SUC_DEFAULT",
          "M_ULTIMO_NRO"}},
        {"MA_CUENTASADIC", {"Codigo"}},
        {"MA_BIENES", {"CODIGO"}},
        {"MA_BIENES_novedades", {"CODIGO", "ID"}},
        {"TA_CCOSTO", {"CODIGO", "DESCRIPCION"}},
        {"MA_POSICIONES", {"IDPOSICION"}},
        {"V_MV_FALTANTES", {"FechaHora", "IdArticulo", "Descripcion", "Usuario"}},
        {"V_TA_FAMILIAS", {"IdFamilia", "Descripcion"}},
        {"V_TA_DEPOSITO", {"Descripcion", "Unidad", "IdDeposito"}},
        {"V_TA_CAJAS", {"IDCajas", "DESCRIPCION"}},
        {"V_MA_ARTICULOS",
         {"idarticulo", "Descripcion", "PUNTOPEDIDO", "Stock", "PRECIO1", "PRECIO8", "SUSPENDIDO"}},
        {"VT_MA_ARTICULOS", {"idarticulo", "Descripcion", "SUSPENDIDO"}},
        {"VT_TA_CPTE", {"Codigo", "Descripcion"}},
        {"AC_CUENTASDIARIO", {"CUENTA"}},
        {"AC_CUENTASDIARIO_CCOSTO", {"CUENTA", "CCOSTO"}},
        {"SS_MA_CUENTAS", {"CODIGO", "DESCRIPCION"}},
        {"SS_MV_ASIENTOS", {"CUENTA", "numero asiento"}},
        {"SS_V_TA_DEPOSITO", {"IdDeposito"}},
        {"SS_V_TA_FAMILIAS", {"IdFamilia"}},
        {"SS_V_TA_CAJAS", {"IDCajas"}},
        {"SS_AC_CUENTASDIARIO", {"CUENTA"}},
        {"SS_AC_CUENTAS_DIARIO_CCOSTO", {"CUENTA", "CCOSTO"}},
        {"MV_HISTORIAL_CAMBIOS",
         {"ID", "FECHAHORA", "NOMBREUSUARIO", "MAQUINA", "USUARIO", "PROGRAMA", "OPERACION",
          "CLAVE", "VALOR_ANTERIOR", "VALOR_NUEVO", "DETALLE"}},
    };
    return tables;
}

bool containsIgnoringCase(const QStringList& list, const QString& name) {
    return list.contains(name, Qt::CaseInsensitive);
}

class KlbaseFiles : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// ---- crear -------------------------------------------------------------------------------

class KlbaseCrear : public KlbaseFiles {
  protected:
    void SetUp() override {
        file_ = path("nueva.kldb");
        const CliResult run = klbase({"crear", file_});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("versión %1").arg(kSchemaVersion)))
            << run.out.toStdString();
    }
    QString file_;
};

TEST_F(KlbaseCrear, HasEveryTableViewAndColumnTheProgramsUse) {
    File db(file_);
    const QStringList objects =
        db.texts("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')");
    for (const auto& [table, columns] : programTables()) {
        ASSERT_TRUE(containsIgnoringCase(objects, table)) << table.toStdString();
        const QStringList present = db.columns(table);
        for (const QString& column : columns)
            EXPECT_TRUE(containsIgnoringCase(present, column))
                << table.toStdString() << "." << column.toStdString();
    }
    EXPECT_EQ(
        db.text("SELECT PARAMETROS FROM KL_PROCEDIMIENTOS WHERE NOMBRE = 'kv_creacalendario'"),
        "@desde,@hasta");
}

TEST_F(KlbaseCrear, DeclaresSqlServerTypesForTheProvider) {
    File db(file_);
    auto type = [&](const QString& table, const QString& column) {
        return db.text("SELECT type FROM pragma_table_info('" + table + "') WHERE name = '" +
                       column + "'");
    };
    for (const auto& [table, column] :
         std::vector<std::pair<QString, QString>>{{"MV_EJERCICIOS", "FECHA DESDE"},
                                                  {"MV_EJERCICIOS", "FECHA HASTA"},
                                                  {"MV_ASIENTOS", "FECHA"},
                                                  {"MA_CALENDARIO", "FECHA"},
                                                  {"TA_COTIZACION", "FECHA_HORA"},
                                                  {"CONTROL_ACCESO", "INGRESO"},
                                                  {"CONTROL_ACCESO", "EGRESO"},
                                                  {"TA_CONFIGURACION", "fechahora_grabacion"}})
        EXPECT_EQ(type(table, column), "DATETIME")
            << table.toStdString() << "." << column.toStdString();
    EXPECT_EQ(type("TA_CONFIGURACION", "CLAVE"), "VARCHAR(50)");
    EXPECT_EQ(type("MA_CUENTAS", "CODIGO"), "VARCHAR(20)");
    EXPECT_EQ(type("MV_ASIENTOS", "IMPORTE"), "MONEY");
    EXPECT_EQ(type("MV_EJERCICIOS", "CERRADO"), "BIT");
}

TEST_F(KlbaseCrear, GivesTheDefaultsAndKeysTheProgramsRelyOn) {
    File db(file_);
    // A year inserted without flags starts open.
    ASSERT_FALSE(db.exec("INSERT INTO MV_EJERCICIOS (PERIODO, DESCRIPCION) VALUES (1, 'E')"));
    EXPECT_EQ(db.number("SELECT CERRADO + CANCELACION + CIERRE + APERTURA FROM MV_EJERCICIOS"), 0);
    // The access log numbers its rows and never reuses a number.
    ASSERT_FALSE(
        db.exec("INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('A');"
                "INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('B');"
                "DELETE FROM CONTROL_ACCESO WHERE ID = 2;"
                "INSERT INTO CONTROL_ACCESO (USUARIO) VALUES ('C')"));
    EXPECT_EQ(db.texts("SELECT ID FROM CONTROL_ACCESO ORDER BY ID"), QStringList({"1", "3"}));
    // Keys and codes compare as SQL Server's collation does.
    ASSERT_FALSE(
        db.exec("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('USA CONTRASEÑA', 'SI')"));
    EXPECT_EQ(db.configuration("usa contraseña"), "SI");
    EXPECT_TRUE(db.exec("INSERT INTO TA_CONFIGURACION (CLAVE) VALUES ('usa contraseña ')"));
    ASSERT_FALSE(db.exec("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1a')"));
    EXPECT_TRUE(db.exec("INSERT INTO MA_CUENTAS (CODIGO) VALUES ('1A')")) << "codes are unique";
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM pragma_index_list('MV_ASIENTOS') l, "
                        "pragma_index_info(l.name) i WHERE i.name = 'CUENTA'"),
              1);
}

TEST_F(KlbaseCrear, GuardsTextSizesAndDatesAsSqlServerDoes) {
    File db(file_);
    const StepResult tooLong = db.exec("INSERT INTO TA_ESTADOS (CODIGO) VALUES ('12345')");
    ASSERT_TRUE(tooLong);
    const auto raised = ado::sqlite::parseRaisedError(tooLong->description);
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->nativeError, ado::sqlite::native::Truncation);
    ASSERT_FALSE(db.exec("INSERT INTO MA_CALENDARIO (FECHA) VALUES ('31/12/2026')"));
    EXPECT_EQ(db.text("SELECT FECHA FROM MA_CALENDARIO"), "2026-12-31 00:00:00");
}

TEST_F(KlbaseCrear, CarriesTheNationalTables) {
    File db(file_);
    EXPECT_EQ(db.texts("SELECT CODIGO FROM TA_CONDIVA ORDER BY CODIGO"),
              QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(db.text("SELECT DESCRIPCION FROM TA_CONDIVA WHERE CODIGO = '1'"),
              "IVA Responsable Inscripto");
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM TA_ESTADOS"), 24);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM TA_MONEDAS"), 5);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM TA_CONFIGURACION"), 0) << "no company yet";
}

TEST_F(KlbaseCrear, WritableViewsPassTheirWritesOn) {
    File db(file_);
    // The list lookup reports a missing article with a date as the machine writes it.
    ASSERT_FALSE(
        db.exec("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
                "values('09/03/2026 10:15:00','                   ACE001','Aceite','sa')"));
    EXPECT_EQ(db.text("SELECT FECHAHORA FROM MV_FALTANTES"), "2026-03-09 10:15:00");

    ASSERT_FALSE(
        db.exec("INSERT INTO MA_CUENTAS (CODIGO, CONFIDENCIAL) VALUES ('1', 0), ('2', 1);"
                "INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], FECHA, "
                "CUENTA, [DEBE-HABER], IMPORTE) VALUES (1, 1, 1, '2026-01-02 00:00:00', "
                "'1', 'D', 10), (1, 1, 1, '2026-01-02 00:00:00', '2', 'H', 10)"));
    EXPECT_EQ(db.texts("SELECT CODIGO FROM SS_MA_CUENTAS"), QStringList({"1"}));
    EXPECT_EQ(db.texts("SELECT CUENTA || ':' || IFNULL(IMPORTE, 'oculto') FROM SS_MV_ASIENTOS "
                       "ORDER BY CUENTA"),
              QStringList({"1:10", "2:oculto"}));
    // A renumbering run by a user who is not an administrator goes through the
    // restricted view: every line follows its account, hidden amounts stay.
    ASSERT_FALSE(
        db.exec("UPDATE SS_MV_ASIENTOS SET CUENTA = '01' WHERE CUENTA = '1';"
                "UPDATE SS_MV_ASIENTOS SET CUENTA = '02' WHERE CUENTA = '2'"));
    EXPECT_EQ(db.texts("SELECT CUENTA || ':' || IMPORTE FROM MV_ASIENTOS ORDER BY CUENTA"),
              QStringList({"01:10", "02:10"}));
    ASSERT_FALSE(
        db.exec("UPDATE SS_MV_ASIENTOS SET DETALLE = 'x' WHERE CUENTA = '02';"
                "UPDATE SS_MV_ASIENTOS SET DETALLE = 'X' WHERE CUENTA = '02'"));
    EXPECT_EQ(db.text("SELECT DETALLE FROM MV_ASIENTOS WHERE CUENTA = '02'"), "X")
        << "a change of case is a change";
    ASSERT_FALSE(db.exec("DELETE FROM SS_MA_CUENTAS"));
    EXPECT_EQ(db.texts("SELECT CODIGO FROM MA_CUENTAS"), QStringList({"2"}));
}

TEST_F(KlbaseCrear, NeverReplacesAFile) {
    const QByteArray before = [&] {
        QFile f(file_);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    for (const char* command : {"crear", "demo"}) {
        const CliResult again = klbase({command, file_});
        EXPECT_EQ(again.status, 1);
        EXPECT_TRUE(again.err.contains("ya existe")) << again.err.toStdString();
    }
    const CliResult volume = klbase({"volumen", file_, "10", "10"});
    EXPECT_EQ(volume.status, 1);
    QFile f(file_);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// The books are the owner's business, and so are the engine's files beside
// them: the write-ahead log and its index, the rollback journal.
TEST_F(KlbaseCrear, IsItsOwnersAloneAsAreTheEnginesFilesBesideIt) {
    const auto ownerOnly = [](const QString& name) {
        return QFileInfo::exists(name) && (QFile::permissions(name) & 0x0077) == 0;
    };
    File db(file_);
    ASSERT_FALSE(db.exec("CREATE TABLE ESCRITA (A INT)"));
    for (const char* suffix : {"", "-wal", "-shm"})
        EXPECT_TRUE(ownerOnly(file_ + suffix)) << suffix;
    ASSERT_FALSE(db.exec("PRAGMA journal_mode = DELETE"));
    ASSERT_FALSE(db.exec("BEGIN; INSERT INTO ESCRITA VALUES (1)"));
    EXPECT_TRUE(ownerOnly(file_ + "-journal"));
    ASSERT_FALSE(db.exec("COMMIT"));
}

TEST_F(KlbaseCrear, VerifyGivesAVerdictAndAStatus) {
    const CliResult sana = klbase({"verificar", file_});
    EXPECT_EQ(sana.status, 0) << sana.err.toStdString();
    EXPECT_TRUE(sana.out.contains(QString::fromUtf8("está sana"))) << sana.out.toStdString();

    QFile f(file_);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    for (qint64 at = 3 * 4096; at < f.size(); at += 3 * 4096) {
        f.seek(at + 8);
        f.write(QByteArray(64, '\x7f'));
    }
    f.close();
    const CliResult danada = klbase({"verificar", file_});
    EXPECT_EQ(danada.status, 1);
    EXPECT_TRUE(danada.err.contains(QString::fromUtf8("está dañada"))) << danada.err.toStdString();
}

TEST_F(KlbaseFiles, VerifyCallsNothingSoundThatIsNoDatabase) {
    QFile(path("vacio.kldb")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("carpeta.kldb"));
    const struct {
        const char* archivo;
        const char* dice;
    } casos[] = {
        {"vacio.kldb", "está vacío: no es una base de datos"},
        {"carpeta.kldb", "es una carpeta, no un archivo de base de datos"},
        {"no_existe.kldb", "No existe el archivo"},
    };
    for (const auto& caso : casos) {
        const CliResult run = klbase({"verificar", path(caso.archivo)});
        EXPECT_EQ(run.status, 1) << caso.archivo;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(caso.dice))) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains("sana")) << caso.archivo;
    }
    EXPECT_EQ(QFileInfo(path("vacio.kldb")).size(), 0) << "the empty file stays as it was";
}

TEST(KlbaseCommandLine, ALookupWithoutAMaskOrdersByNothing) {
    const CliResult run = klbase({"busqueda", "/no/existe/consultas.kvw", "MA_CUENTAS"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "SELECT TOP 1000  *  FROM MA_CUENTAS \n");
}

TEST_F(KlbaseFiles, LeavesNothingBehindWhenItCannotCreate) {
    const CliResult run = klbase({"crear", path("no/existe/base.kldb")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("No existe la carpeta")) << run.err.toStdString();
    EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(KlbaseCommandLine, ExplainsItsUse) {
    const CliResult alone = klbase({});
    EXPECT_EQ(alone.status, 0);
    for (const char* command : {"crear", "demo", "volumen", "actualizar"})
        EXPECT_TRUE(alone.out.contains(QStringLiteral("klbase %1").arg(command)));
    const CliResult unknown = klbase({"borrar", "x"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("orden desconocida: borrar"));
    EXPECT_TRUE(unknown.err.contains("Uso:"));
    EXPECT_EQ(klbase({"crear"}).status, 2);
    EXPECT_EQ(klbase({"volumen", "x.kldb", "diez", "10"}).status, 2);
}

// ---- schema versions ---------------------------------------------------------------------

class KlbaseVersions : public KlbaseFiles {
  protected:
    // A file as the first version of klbase made it, with a user in it.
    QString versionOne() {
        const QString file = path("v1.kldb");
        Database db;
        EXPECT_FALSE(db.open(file, Database::Mode::CreateNew));
        EXPECT_FALSE(createSchema(db, 1));
        EXPECT_FALSE(
            db.exec("INSERT INTO TA_USUARIOS (NOMBRE, ADMINISTRADOR) VALUES ('ADMIN', 1)"));
        return file;
    }
};

TEST_F(KlbaseVersions, NewFilesCarryTheCurrentVersion) {
    ASSERT_EQ(klbase({"crear", path("a.kldb")}).status, 0);
    File db(path("a.kldb"));
    EXPECT_EQ(db.number("SELECT VERSION FROM KL_VERSION"), kSchemaVersion);
    EXPECT_TRUE(containsIgnoringCase(db.columns("TA_USUARIOS"), "EMAIL"));
    const CliResult again = klbase({"actualizar", path("a.kldb")});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.contains(QStringLiteral("ya tiene la versión %1").arg(kSchemaVersion)))
        << again.out.toStdString();
}

TEST_F(KlbaseVersions, UpgradesAVersionOneFileInPlace) {
    const QString file = versionOne();
    {
        File before(file);
        ASSERT_EQ(before.number("SELECT VERSION FROM KL_VERSION"), 1);
        ASSERT_FALSE(containsIgnoringCase(before.columns("TA_USUARIOS"), "EMAIL"));
    }
    const CliResult run = klbase({"actualizar", file});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("de la versión 1 a la versión %1").arg(kSchemaVersion)))
        << run.out.toStdString();

    File db(file);
    EXPECT_EQ(db.number("SELECT VERSION FROM KL_VERSION"), kSchemaVersion);
    EXPECT_EQ(db.text("SELECT NOMBRE || '|' || ADMINISTRADOR || '|' || EMAIL FROM TA_USUARIOS"),
              "ADMIN|1|");
    // The new column is guarded like the rest.
    EXPECT_TRUE(db.exec("UPDATE TA_USUARIOS SET EMAIL = '" + QString(61, u'x') + "'"));
}

// Files of version 2 stored dates in date columns without KL_FECHA: the
// upgrade gives it to them in place, and the rows read the same.
TEST_F(KlbaseVersions, AVersionTwoFileKeepsItsLinesAndComparesItsDatesAsDates) {
    const QString file = path("v2.kldb");
    const QString amounts =
        "SELECT group_concat(IMPORTE, '|') FROM (SELECT IMPORTE FROM "
        "MV_ASIENTOS ORDER BY ID)";
    QString before;
    {
        Database db;
        ASSERT_FALSE(db.open(file, Database::Mode::CreateNew));
        ASSERT_FALSE(createSchema(db, 2));
        ASSERT_FALSE(db.exec(
            "CREATE INDEX IX_FECHA ON MV_ASIENTOS (FECHA); INSERT INTO MV_ASIENTOS (PERIODO, "
            "MES_OPERATIVO, [NUMERO ASIENTO], FECHA, CUENTA, [DEBE-HABER], IMPORTE) VALUES "
            "(1, 2, 1, '01/02/2024', '1', 'D', 1234.56), (1, 2, 1, '01/02/2024', '2', 'H', "
            "1234.56), (1, 2, 2, '02/02/2024 10:30', '1', 'D', 0.1), (1, 2, 2, '02/02/2024', "
            "'2', 'H', 0.1)"));
        File old(file);
        before = old.text(amounts);
        ASSERT_EQ(old.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '01/02/2024'"), 0);
    }
    const CliResult run = klbase({"actualizar", file});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    File db(file);
    EXPECT_EQ(db.number("SELECT VERSION FROM KL_VERSION"), kSchemaVersion);
    EXPECT_EQ(db.text(amounts), before);
    EXPECT_EQ(before, "1234.56|1234.56|0.1|0.1");
    EXPECT_EQ(db.text("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE FECHA = '01/02/2024'"), 2);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE FECHA >= '02/02/2024'"), 2);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS INDEXED BY IX_FECHA WHERE FECHA < "
                        "'02/02/24 10:00'"),
              3);
    EXPECT_TRUE(db.text("SELECT sql FROM sqlite_master WHERE name = 'CONTROL_ACCESO'")
                    .contains("INGRESO DATETIME COLLATE KL_FECHA"));
    // A second run finds nothing to do.
    EXPECT_EQ(klbase({"actualizar", file}).status, 0);
}

TEST_F(KlbaseVersions, AFailedStepLeavesTheFileAsItWas) {
    const QString file = versionOne();
    {
        File db(file);
        // Someone added the column by hand: the step's ALTER TABLE fails.
        ASSERT_FALSE(db.exec("ALTER TABLE TA_USUARIOS ADD COLUMN EMAIL TEXT"));
    }
    const CliResult run = klbase({"actualizar", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("Paso a la versión 2")) << run.err.toStdString();
    File db(file);
    EXPECT_EQ(db.number("SELECT VERSION FROM KL_VERSION"), 1);
}

TEST_F(KlbaseVersions, RefusesFilesItDoesNotKnow) {
    ASSERT_EQ(klbase({"crear", path("nueva.kldb")}).status, 0);
    {
        File db(path("nueva.kldb"));
        ASSERT_FALSE(db.exec("UPDATE KL_VERSION SET VERSION = 99"));
    }
    const CliResult newer = klbase({"actualizar", path("nueva.kldb")});
    EXPECT_EQ(newer.status, 1);
    EXPECT_TRUE(newer.err.contains("versión 99")) << newer.err.toStdString();

    Database foreign;
    ASSERT_FALSE(foreign.open(path("ajena.db"), Database::Mode::CreateNew));
    ASSERT_FALSE(foreign.exec("CREATE TABLE T (X INT)"));
    foreign.close();
    const CliResult alien = klbase({"actualizar", path("ajena.db")});
    EXPECT_EQ(alien.status, 1);
    EXPECT_TRUE(alien.err.contains("KL_VERSION")) << alien.err.toStdString();

    const CliResult missing = klbase({"actualizar", path("falta.kldb")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(QFileInfo::exists(path("falta.kldb"))) << "upgrading never creates a file";
}

// ---- demo --------------------------------------------------------------------------------

// Positions (1-based, cumulative) where the levels of the demo's structure end.
QList<int> levelEnds() {
    QList<int> ends;
    int position = 0;
    for (int digits : kDigitosNivel) {
        if (digits == 0) continue;
        position += digits;
        ends << position;
    }
    return ends;
}

// A CUIT's check digit, as AFIP computes it.
bool validCuit(const QString& cuit) {
    static const QRegularExpression form(QStringLiteral("^(\\d{2})-(\\d{8})-(\\d)$"));
    const QRegularExpressionMatch m = form.match(cuit);
    if (!m.hasMatch()) return false;
    const QString digits = m.captured(1) + m.captured(2);
    const int weights[] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (int i = 0; i < 10; ++i) sum += digits[i].digitValue() * weights[i];
    const int check = (11 - sum % 11) % 11;
    return check < 10 && check == m.captured(3).toInt();
}

class KlbaseDemo : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        file_ = dir_->filePath("demo.kldb");
        const CliResult run = klbase({"demo", file_});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        output_ = run.out;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QTemporaryDir* dir_;
    static QString file_;
    static QString output_;
};
QTemporaryDir* KlbaseDemo::dir_ = nullptr;
QString KlbaseDemo::file_;
QString KlbaseDemo::output_;

TEST_F(KlbaseDemo, AccountCodesFollowTheLevelStructureOfTheConfiguration) {
    File db(file_);
    const char* keys[] = {"DIGITOS_CAPITULO", "DIGITOS_SUBCAPITULO", "DIGITOS_RUBRO",
                          "DIGITOS_SUBRUBRO", "DIGITOS_CUENTA",      "DIGITOS_SUBCUENTA"};
    int sum = 0;
    for (int level = 0; level < 6; ++level) {
        EXPECT_EQ(db.configuration(keys[level]).toInt(), kDigitosNivel[level]) << keys[level];
        sum += db.configuration(keys[level]).toInt();
    }
    EXPECT_LE(sum, 15);

    const QList<int> ends = levelEnds();
    const QStringList codes = db.texts("SELECT CODIGO FROM MA_CUENTAS");
    EXPECT_GE(codes.size(), 200);
    for (const QString& code : codes) {
        const qsizetype level = ends.indexOf(static_cast<int>(code.size()));
        ASSERT_GE(level, 0) << "code of no level: " << code.toStdString();
        if (level > 0) {
            EXPECT_TRUE(codes.contains(code.left(ends[level - 1])))
                << "no parent for " << code.toStdString();
        }
        EXPECT_EQ(db.number("SELECT TITULO FROM MA_CUENTAS WHERE CODIGO = '" + code + "'"),
                  code.size() < ends.last() ? 1 : 0)
            << code.toStdString();
    }
}

TEST_F(KlbaseDemo, JournalPostsBalancedEntriesToPostableAccounts) {
    File db(file_);
    EXPECT_GT(db.number("SELECT COUNT(*) FROM MV_ASIENTOS"), 2000);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS A LEFT JOIN MA_CUENTAS C "
                        "ON C.CODIGO = A.CUENTA WHERE C.CODIGO IS NULL OR C.TITULO = 1"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM (SELECT PERIODO, MES_OPERATIVO, TIPO_REG, "
                        "[NUMERO ASIENTO] FROM MV_ASIENTOS GROUP BY 1, 2, 3, 4 HAVING "
                        "ROUND(SUM(CASE [DEBE-HABER] WHEN 'D' THEN IMPORTE ELSE -IMPORTE END), 2) "
                        "<> 0 OR COUNT(*) < 2)"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE [DEBE-HABER] NOT IN ('D', 'H') "
                        "OR IMPORTE <= 0"),
              0);
    // Each journal numbers its entries 1, 2, 3... within the month.
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM (SELECT PERIODO, MES_OPERATIVO, TIPO_REG FROM "
                        "MV_ASIENTOS GROUP BY 1, 2, 3 HAVING MAX([NUMERO ASIENTO]) <> "
                        "COUNT(DISTINCT [NUMERO ASIENTO]))"),
              0);
    // Lines lie inside their fiscal year.
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS A JOIN MV_EJERCICIOS E ON "
                        "E.PERIODO = A.PERIODO WHERE A.FECHA < E.[FECHA DESDE] OR "
                        "A.FECHA > E.[FECHA HASTA]"),
              0);
    EXPECT_EQ(db.configuration("ULTIMOASIENTO").toLongLong(),
              db.number("SELECT MAX([NUMERO ASIENTO]) FROM MV_ASIENTOS WHERE TIPO_REG = '' AND "
                        "PERIODO = 3 AND MES_OPERATIVO = (SELECT MAX(MES_OPERATIVO) FROM "
                        "MV_ASIENTOS WHERE PERIODO = 3)"));
}

TEST_F(KlbaseDemo, ClosedYearsEndWithEveryAccountSettled) {
    File db(file_);
    // Result accounts are cancelled into the year's result and the closing
    // entry settles the rest; the next year's opening entry brings it back.
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM (SELECT PERIODO, CUENTA FROM MV_ASIENTOS WHERE "
                        "PERIODO IN (1, 2) GROUP BY 1, 2 HAVING ROUND(SUM(CASE [DEBE-HABER] "
                        "WHEN 'D' THEN IMPORTE ELSE -IMPORTE END), 2) <> 0)"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE DETALLE LIKE 'Asiento de cierre%'"),
              db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE DETALLE = 'Asiento de apertura "
                        "del ejercicio'"));
}

TEST_F(KlbaseDemo, HasThreeConsecutiveYearsWithTheLastOneOpenAndActive) {
    File db(file_);
    EXPECT_EQ(db.texts("SELECT PERIODO || ' ' || CERRADO || CANCELACION || CIERRE || APERTURA "
                       "FROM MV_EJERCICIOS ORDER BY PERIODO"),
              QStringList({"1 1111", "2 1111", "3 0000"}));
    EXPECT_EQ(db.configuration("PERIODO"), "3");
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_EJERCICIOS A JOIN MV_EJERCICIOS B ON "
                        "B.PERIODO = A.PERIODO + 1 WHERE date(B.[FECHA DESDE]) <> "
                        "date(A.[FECHA HASTA], '+1 day')"),
              0);
    EXPECT_EQ(db.text("SELECT DESCRIPCION || ' ' || [FECHA DESDE] || ' ' || [FECHA HASTA] FROM "
                      "MV_EJERCICIOS WHERE CERRADO = 0"),
              "Ejercicio 2026 2026-01-01 00:00:00 2026-12-31 00:00:00");
    EXPECT_EQ(db.configuration("DESCRIPCION"), "Ejercicio 2026");
    EXPECT_EQ(db.configuration("[FECHA DESDE]"), "01/01/2026");
    EXPECT_EQ(db.configuration("[FECHA HASTA]"), "31/12/2026");
    EXPECT_EQ(db.configuration("EJERCICIO_CERRADO"), "NO");
}

// What the journal-entry rules read: the subsidiary journals' summaries,
// their voucher types and the pads' last numbers.
TEST_F(KlbaseDemo, SubsidiaryJournalsCloseEachMonthWithASummaryAndOneWasReversed) {
    File db(file_);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM (SELECT DISTINCT PERIODO, MES_OPERATIVO, TIPO_REG "
                        "FROM MV_ASIENTOS WHERE TIPO_REG <> '') A WHERE (SELECT COUNT(*) FROM "
                        "MV_CONTROL_AS_RES R WHERE R.SUBDIARIO = A.TIPO_REG AND R.PERIODO = "
                        "A.PERIODO AND R.ANULADO = 0 AND CAST(strftime('%m', R.FECHA_DESDE) AS "
                        "INT) = A.MES_OPERATIVO AND date(R.FECHA_HASTA) = date(R.FECHA_DESDE, "
                        "'+1 month', '-1 day')) <> 1"),
              0);
    EXPECT_EQ(db.texts("SELECT SUBDIARIO || ' ' || PERIODO || ' ' || ID || ' ' || "
                       "date(FECHA_DESDE) FROM MV_CONTROL_AS_RES WHERE ANULADO = 1"),
              QStringList({"VENTAS 3 2 2026-02-01"}));
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM (SELECT SUBDIARIO, PERIODO FROM MV_CONTROL_AS_RES "
                        "GROUP BY 1, 2 HAVING MIN(ID) <> 1 OR MAX(ID) <> COUNT(*))"),
              0);
    // Every voucher of a journal is of a type the journal takes.
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS A WHERE TIPO_REG <> '' AND NOT EXISTS "
                        "(SELECT 1 FROM MA_SUBDIARIOSCOMPROBANTES S WHERE S.SUBDIARIO = "
                        "A.TIPO_REG AND S.TC = TRIM(A.TC))"),
              0);
    // The sales invoices' pad goes on from the last invoice recorded.
    EXPECT_EQ(db.number("SELECT A_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = '  FC'"),
              db.number("SELECT MAX(CAST(NUMERO AS INT)) FROM MV_ASIENTOS WHERE TC = '  FC' AND "
                        "LETRA = 'A'"));
}

// The configuration window's checks on accept, key by key.
TEST_F(KlbaseDemo, AcceptingTheConfigurationUnchangedPassesEveryCheck) {
    File db(file_);
    for (const QString& key : config::clavesRequeridas())
        EXPECT_FALSE(db.configuration(key).trimmed().isEmpty()) << key.toStdString();
    for (const char* key : {"PIVA", "PIVAREC", "PRES3337", "PPIBC", "PPIBP", "PPIBCM", "PPIBPCM"}) {
        const QString value = db.configuration(key);
        EXPECT_TRUE(conv::isNumber(value)) << key;
        EXPECT_GE(conv::leadingNumber(value), 0) << key;
        EXPECT_LE(conv::leadingNumber(value), 100) << key;
    }
    for (const char* key : {"MTPIBC", "MTPIBP", "ULTIMOASIENTO", "MRES3337"})
        EXPECT_TRUE(conv::isNumber(db.configuration(key))) << key;
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM TA_ESTADOS WHERE LTRIM(RTRIM(CODIGO)) = '" +
                        db.configuration("CPBAIB") + "'"),
              1);
    const int condicion = db.configuration("CONDIVA").toInt();
    EXPECT_TRUE(condicion >= 1 && condicion <= 6);
    EXPECT_EQ(db.text("SELECT DESCRIPCION FROM TA_CONDIVA WHERE CODIGO = '" +
                      db.configuration("CONDIVA") + "'"),
              "IVA Responsable Inscripto");

    const auto yearFrom = conv::parseDate(db.configuration("[FECHA DESDE]"));
    const auto yearTo = conv::parseDate(db.configuration("[FECHA HASTA]"));
    const auto from = conv::parseDate(db.configuration("FECHAOPERDESDE"));
    const auto to = conv::parseDate(db.configuration("FECHAOPERHASTA"));
    ASSERT_TRUE(yearFrom && yearTo && from && to);
    EXPECT_TRUE(*yearFrom <= *from && *from <= *to && *to <= *yearTo);
    EXPECT_TRUE(validCuit(db.configuration("CUIT"))) << db.configuration("CUIT").toStdString();

    // Every key the window binds has a row, within the length its box takes.
    const std::map<QString, int> textBoxes{
        {"NOMBRE", 100},
        {"CALLE", 50},
        {"NUMERO", 0},
        {"PISO", 0},
        {"DEPARTAMENTO", 2},
        {"LOCALIDAD", 100},
        {"CPOSTAL", 0},
        {"TELEFONO", 100},
        {"PROVINCIA", 100},
        {"PAIS", 100},
        {"CUIT", 100},
        {"CONDIVA", 0},
        {"NROIGJ", 35},
        {"NOMBRE_INDICE1", 100},
        {"NOMBRE_INDICE2", 100},
        {"NOMBRE_INDICE3", 100},
        {"NOMBRE_INDICE4", 100},
        {"FECHAOPERDESDE", 10},
        {"FECHAOPERHASTA", 10},
        {"UTILITARIOCD-W", 0},
        {"PIVA", 0},
        {"PIVAREC", 0},
        {"PIVADIF", 0},
        {"PRES3337", 0},
        {"MRES3337", 0},
        {"PPIBC", 0},
        {"PPIBCM", 0},
        {"MTPIBC", 0},
        {"PPIBP", 0},
        {"PPIBPCM", 0},
        {"MTPIBP", 0},
        {"CPBAIB", 4},
        {"NIVEL_1", 20},
        {"NIVEL_2", 20},
        {"NIVEL_3", 20},
        {"NIVEL_4", 20},
        {"NIVEL_5", 20},
        {"NIVEL_6", 20},
        {"FECHAULTIMADEPURACION", 10},
        {"PERIODO", 0},
        {"DESCRIPCION", 50},
        {"[FECHA DESDE]", 10},
        {"[FECHA HASTA]", 10},
        {"ULTIMOASIENTO", 0},
    };
    for (const auto& [key, length] : textBoxes) {
        const QString value = db.configuration(key);
        EXPECT_NE(value, "<sin filas>") << key.toStdString();
        if (length > 0) {
            EXPECT_LE(value.size(), length) << key.toStdString();
        }
    }
    for (const char* key : {"USACCOSTO", "USADATOSADIC", "USA CONTRASEÑA", "USA BIENES DE USO",
                            "MODIFICA_ASIENTO", "UsaMultilesMonedas", "ESCRIBE_SOLO_MAYUSCULAS",
                            "USADIGITOVERIFICADOR", "CuentasAlfanumericas", "Rubro_Imputable",
                            "EJERCICIO_CERRADO", "SS_BloqueoActivo", "SS_CONFIDENCIALIDAD"})
        EXPECT_TRUE(QStringList({"SI", "NO"}).contains(db.configuration(key))) << key;
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM TA_CONFIGURACION WHERE CLAVE = 'IMAGEN DE FONDO' "
                        "AND GRUPO IS NULL"),
              1);
}

TEST_F(KlbaseDemo, StartsForTheAdministratorAndFindsTheConfigurationTask) {
    File db(file_);
    EXPECT_EQ(db.text("SELECT ADMINISTRADOR FROM TA_USUARIOS WHERE LTRIM(RTRIM(NOMBRE)) = 'ADMIN'"),
              "1");
    EXPECT_EQ(db.text("SELECT ADMINISTRADOR FROM TA_USUARIOS WHERE NOMBRE = 'operador'"), "0");
    EXPECT_EQ(db.text("SELECT UNEGOCIO FROM TA_USUARIOS WHERE NOMBRE = 'ADMIN'"), "   1");
    auto task = [&](const QString& user) {
        return db.texts(
            "SELECT TA_MENU.Nombre FROM TA_TAREAS INNER JOIN TA_MENU ON "
            "TA_TAREAS.TAREA = TA_MENU.Clave WHERE (TA_TAREAS.USUARIO = '" +
            user + "') AND (TA_MENU.Proceso LIKE '%klconfig%')");
    };
    EXPECT_EQ(task("ADMIN"), QStringList({"Configuración del Sistema"}));
    EXPECT_TRUE(task("OPERADOR").isEmpty()) << "the operator may run it, without a task";
}

TEST_F(KlbaseDemo, CalendarsAndRatesCoverEveryDayOfTheYears) {
    File db(file_);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MA_CALENDARIO"), 366 + 365 + 365);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MA_CALENDARIO WHERE strftime('%w', FECHA) = '0' "
                        "AND NOLABORABLE = 0"),
              0);
    EXPECT_EQ(db.text("SELECT NOLABORABLE || ' ' || DESCRIPCION FROM MA_CALENDARIO WHERE FECHA = "
                      "'2025-07-09 00:00:00'"),
              "1 Día de la Independencia");
    EXPECT_EQ(db.text("SELECT DESCRIPCION FROM MA_CALENDARIO WHERE FECHA = '2024-03-29 00:00:00'"),
              "Viernes Santo");
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MA_CALENDARIO C LEFT JOIN TA_COTIZACION T ON "
                        "T.FECHA_HORA = C.FECHA WHERE T.FECHA_HORA IS NULL"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM TA_COTIZACION WHERE MONEDA1 <> 1 OR MONEDA2 < 800 OR "
                        "MONEDA2 > 1700"),
              0);
    EXPECT_LT(
        db.number("SELECT MONEDA2 FROM TA_COTIZACION WHERE FECHA_HORA = '2024-01-02 00:00:00'"),
        db.number("SELECT MONEDA2 FROM TA_COTIZACION WHERE FECHA_HORA = '2026-01-02 00:00:00'"));
}

TEST_F(KlbaseDemo, RestrictedViewsHidePayAndDirectorsFees) {
    File db(file_);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MA_CUENTAS") -
                  db.number("SELECT COUNT(*) FROM SS_MA_CUENTAS"),
              db.number("SELECT COUNT(*) FROM MA_CUENTAS WHERE CONFIDENCIAL = 1"));
    EXPECT_GT(db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE CUENTA = '530101003'"), 0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM SS_MV_ASIENTOS WHERE CUENTA = '530101003' AND "
                        "IMPORTE IS NOT NULL"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM SS_MV_ASIENTOS"),
              db.number("SELECT COUNT(*) FROM MV_ASIENTOS"));
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM SS_AC_CUENTASDIARIO WHERE CUENTA = '530101003'"), 0);
    EXPECT_LT(db.number("SELECT COUNT(*) FROM SS_V_TA_CAJAS"),
              db.number("SELECT COUNT(*) FROM V_TA_CAJAS"));
}

// The README tells administrators to read the file with SQLite's shell after
// ".load" of the functions module: without it the KL_CI collation is unknown.
TEST_F(KlbaseDemo, OpensInSqlitesShellWithTheFunctionsModuleLoaded) {
    const QString shell = QStandardPaths::findExecutable("sqlite3");
    if (shell.isEmpty()) GTEST_SKIP() << "SQLite's shell is not installed (setup.sh installs it)";
    const auto answer = [&](const QString& input) {
        QProcess process;
        process.start(shell, {"-batch", "-readonly", file_});
        process.write(input.toUtf8());
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())
            .trimmed();
    };
    const QString query =
        "SELECT DESCRIPCION || '|' || kl_len(DESCRIPCION) FROM MA_CUENTAS "
        "WHERE CODIGO = (SELECT CODIGO FROM MA_CUENTAS WHERE DESCRIPCION = "
        "'CAJA EN PESOS');\n";
    EXPECT_EQ(answer(".load " + ado::odbc::sqliteFunctionsModule() + "\n" + query),
              "Caja en pesos|13");
    EXPECT_TRUE(answer("SELECT COUNT(*) FROM MA_CUENTAS WHERE DESCRIPCION = 'caja en pesos';\n")
                    .contains("no such collation sequence: KL_CI"));
}

TEST_F(KlbaseDemo, IsTheSameOnEveryRun) {
    EXPECT_TRUE(output_.contains("Cuentas: 273")) << output_.toStdString();
    const QString second = dir_->filePath("otra.kldb");
    ASSERT_EQ(klbase({"demo", second}).status, 0);
    const QString digest =
        "SELECT COUNT(*) || ' ' || ROUND(SUM(IMPORTE), 2) || ' ' || GROUP_CONCAT(CUENTA, '') "
        "FROM MV_ASIENTOS";
    EXPECT_EQ(File(second).text(digest), File(file_).text(digest));
}

// ---- volumen -----------------------------------------------------------------------------

TEST_F(KlbaseFiles, VolumeBuildsExactlyTheAccountsAndLinesAsked) {
    const CliResult run = klbase({"volumen", path("v.kldb"), "1000", "10001"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    File db(path("v.kldb"));
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MA_CUENTAS"), 1000);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS"), 10001);
    const QList<int> ends = levelEnds();
    const QStringList codes = db.texts("SELECT CODIGO FROM MA_CUENTAS");
    for (const QString& code : codes) {
        const qsizetype level = ends.indexOf(static_cast<int>(code.size()));
        ASSERT_GE(level, 0) << code.toStdString();
        if (level > 0) {
            ASSERT_TRUE(codes.contains(code.left(ends[level - 1]))) << code.toStdString();
        }
    }
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS A LEFT JOIN MA_CUENTAS C ON "
                        "C.CODIGO = A.CUENTA WHERE C.CODIGO IS NULL OR C.TITULO = 1"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM (SELECT MES_OPERATIVO, [NUMERO ASIENTO] FROM "
                        "MV_ASIENTOS GROUP BY 1, 2 HAVING ROUND(SUM(CASE [DEBE-HABER] WHEN 'D' "
                        "THEN IMPORTE ELSE -IMPORTE END), 2) <> 0)"),
              0);
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS WHERE FECHA < '2026-01-01' OR "
                        "FECHA > '2026-12-31 23:59:59'"),
              0);
    // Built after the rows, the indexes and guards are there all the same.
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM pragma_index_list('MV_ASIENTOS') l, "
                        "pragma_index_info(l.name) i WHERE i.name = 'CUENTA'"),
              1);
    EXPECT_TRUE(db.exec("UPDATE MV_ASIENTOS SET [DEBE-HABER] = 'DH' WHERE ID = 1"));
    EXPECT_EQ(db.configuration("PERIODO"), "1");
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_EJERCICIOS WHERE CERRADO = 0"), 1);
}

TEST_F(KlbaseFiles, VolumeTakesTheSmallestFigures) {
    ASSERT_EQ(klbase({"volumen", path("a.kldb"), "1", "0"}).status, 0);
    EXPECT_EQ(File(path("a.kldb")).texts("SELECT CODIGO FROM MA_CUENTAS"), QStringList({"1"}));
    ASSERT_EQ(klbase({"volumen", path("b.kldb"), "3", "2"}).status, 0);
    File db(path("b.kldb"));
    EXPECT_EQ(db.texts("SELECT CODIGO FROM MA_CUENTAS ORDER BY CODIGO"),
              QStringList({"1", "11", "1101"}));
    EXPECT_EQ(db.number("SELECT COUNT(*) FROM MV_ASIENTOS"), 2);
}

TEST_F(KlbaseFiles, VolumeRefusesFiguresItCannotBuild) {
    for (const QStringList& figures :
         {QStringList{"0", "10"}, QStringList{"10", "1"}, QStringList{"10", "-4"},
          QStringList{"999999999999", "10"}}) {
        const CliResult run = klbase({"volumen", path("x.kldb"), figures[0], figures[1]});
        EXPECT_EQ(run.status, 1) << figures.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_EQ(klbase({"volumen", path("x.kldb"), "10", "muchos"}).status, 2);
    EXPECT_FALSE(QFileInfo::exists(path("x.kldb")));
}

// ---- through the data-access layer -------------------------------------------------------

class KlbaseThroughTheLayer : public KlbaseFiles {
  protected:
    void open(const QString& file) {
        ASSERT_FALSE(cnn_.Open(kl::test::EmbeddedDb::connectionString(file)));
    }
    // Runs a statement as the programs do; the connection's Errors tell the outcome.
    void execute(const QString& sql) { cnn_.Execute(sql); }
    QString firstError() const {
        return cnn_.errors().empty() ? QString() : cnn_.errors().Item(0).Description;
    }
    QString value(const QString& sql, const QString& field) {
        ado::Recordset rs;
        if (StepResult failed = rs.Open(sql, cnn_)) {
            ADD_FAILURE() << sql.toStdString() << ": " << failed->description.toStdString();
            return QString();
        }
        return rs.EOF() ? QStringLiteral("<sin filas>") : rs.value(field).toString();
    }
    ado::Connection cnn_;
};

TEST_F(KlbaseThroughTheLayer, CreaCalendarioBuildsEachDayOnce) {
    ASSERT_EQ(klbase({"crear", path("c.kldb")}).status, 0);
    open(path("c.kldb"));
    const QString count = "SELECT COUNT(*) AS N FROM MA_CALENDARIO";

    execute("kv_CreaCalendario '01/01/2026','31/12/2026'");
    EXPECT_EQ(firstError(), "");
    EXPECT_EQ(value(count, "N"), "365");
    execute("EXEC kv_CreaCalendario '01/01/2026','31/12/2026'");
    EXPECT_EQ(firstError(), "");
    EXPECT_EQ(value(count, "N"), "365") << "days that exist are kept";
    EXPECT_EQ(value("SELECT TOP 1 FECHA FROM MA_CALENDARIO ORDER BY FECHA", "FECHA"), "01/01/2026");
    EXPECT_EQ(value("SELECT COUNT(*) AS N FROM MA_CALENDARIO WHERE NOLABORABLE = 0", "N"), "365");

    // The wizard's next statement marks the Sundays.
    execute(
        "update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
        "('Domingo','Sunday') AND YEAR(FECHA) = 2026");
    EXPECT_EQ(firstError(), "");
    EXPECT_EQ(value("SELECT COUNT(*) AS N FROM MA_CALENDARIO WHERE NOLABORABLE = 1", "N"), "52");

    // The stored form is accepted too, and a range may span years.
    execute("kv_CreaCalendario '2026-12-01 00:00:00','2027-01-31 00:00:00'");
    EXPECT_EQ(firstError(), "");
    EXPECT_EQ(value(count, "N"), "396");
}

TEST_F(KlbaseThroughTheLayer, CreaCalendarioReportsBadDatesAndWritesNothing) {
    ASSERT_EQ(klbase({"crear", path("c.kldb")}).status, 0);
    open(path("c.kldb"));
    execute("kv_CreaCalendario '32/01/2026','31/12/2026'");
    EXPECT_TRUE(firstError().contains("32/01/2026")) << firstError().toStdString();
    execute("kv_CreaCalendario '01/01/2026','hoy'");
    EXPECT_TRUE(firstError().contains("fecha hasta")) << firstError().toStdString();
    execute("kv_CreaCalendario '31/12/2026','01/01/2026'");
    EXPECT_TRUE(firstError().contains("posterior")) << firstError().toStdString();
    execute("kv_CreaCalendario '01/01/2026'");
    EXPECT_FALSE(firstError().isEmpty()) << "a missing date is an error too";
    EXPECT_EQ(value("SELECT COUNT(*) AS N FROM MA_CALENDARIO", "N"), "0");
}

// What the program's start-up and exit do on the demo, as the README starts it.
TEST_F(KlbaseThroughTheLayer, DemoServesTheProgramsStartUp) {
    ASSERT_EQ(klbase({"demo", path("demo.kldb")}).status, 0);
    open(path("demo.kldb"));
    EXPECT_EQ(value("SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) "
                    "='ADMIN' ",
                    "Administrador"),
              "1");
    EXPECT_EQ(value("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre "
                    " FROM TA_TAREAS INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave "
                    " WHERE (TA_TAREAS.USUARIO = 'ADMIN') AND (TA_MENU.Proceso LIKE '%klconfig%')",
                    "Nombre"),
              "Configuración del Sistema");
    EXPECT_EQ(value("SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'usa contraseña'",
                    "VALOR"),
              "NO");
    EXPECT_EQ(value("SELECT VALOR, VALORAUX FROM TA_CONFIGURACION WHERE CLAVE = '[FECHA HASTA]'",
                    "VALOR"),
              "31/12/2026");

    ado::Recordset log;
    ASSERT_FALSE(log.Open("Select top 1 * from Control_Acceso", cnn_, ado::adOpenDynamic,
                          ado::adLockOptimistic));
    ASSERT_FALSE(log.AddNew());
    ASSERT_FALSE(log.setValue("Maquina", "PC01"));
    ASSERT_FALSE(log.setValue("Usuario", "JPEREZ"));
    ASSERT_FALSE(log.setValue("Formulario", ""));
    ASSERT_FALSE(log.setValue("Tarea", "CONFIGURACIÓN DEL SISTEMA"));
    ASSERT_FALSE(log.setValue("Ingreso", "09/03/26 18:30"));
    ASSERT_FALSE(log.setValue("NombreUsuario", "ADMIN"));
    ASSERT_FALSE(log.Update());
    const QString id = log.value("ID").toString();
    EXPECT_EQ(id, "5") << "after the demo's four earlier runs";
    execute("UPDATE CONTROL_ACCESO  SET EGRESO = '09/03/26 19:05' WHERE EGRESO IS NULL AND  ID = " +
            id);
    EXPECT_EQ(firstError(), "");
    EXPECT_EQ(value("SELECT EGRESO FROM CONTROL_ACCESO WHERE ID = " + id, "EGRESO"),
              "09/03/2026 19:05:00");
}

TEST(KlbaseCommandLine, TheFuzzersSeedsEndWithAStatusAndReplaceNoFile) {
    const QTemporaryDir folder;
    kl::properties::checkPrefixes("klbase_arguments", [&](const QByteArray& bytes) {
        return properties::argumentsViolation(QDir(folder.path()), bytes);
    });
}

}  // namespace
}  // namespace kl::klbase
