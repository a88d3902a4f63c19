#include "cli.h"

#include "consulta.h"
#include "database_file.h"
#include "database_target.h"
#include "demo.h"
#include "historial.h"
#include "national_tables.h"
#include "query_masks.h"
#include "respaldo.h"
#include "schema.h"
#include "subdiario.h"
#include "volume.h"

#include "platform/ado/busy_wait.h"

#include <QElapsedTimer>
#include <QLocale>

namespace kl::klbase {

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

QString usage() {
    return QStringLiteral(
               "Uso:\n"
               "  klbase crear ARCHIVO\n"
               "      crea una base de datos nueva con todas las tablas, vistas, índices y\n"
               "      procedimientos del módulo contable y las tablas nacionales (condiciones\n"
               "      de IVA, provincias, monedas)\n"
               "  klbase demo ARCHIVO\n"
               "      crea una base de datos nueva con una empresa de demostración: plan de\n"
               "      cuentas, tres ejercicios (el último abierto), asientos, usuarios ADMIN y\n"
               "      OPERADOR y la configuración completa\n"
               "  klbase volumen ARCHIVO CUENTAS RENGLONES\n"
               "      crea una base de datos nueva con un plan de CUENTAS cuentas y RENGLONES\n"
               "      renglones de asientos, para pruebas de rendimiento\n"
               "  klbase actualizar ARCHIVO\n"
               "      lleva una base de datos existente a la versión %1 del esquema\n"
               "  klbase consulta ARCHIVO USUARIO \"SQL\"\n"
               "      ejecuta una sentencia como la ejecutaría el programa para ese usuario y\n"
               "      muestra la sentencia ejecutada y las filas separadas por tabuladores\n"
               "  klbase oracle \"SQL\"\n"
               "      muestra la sentencia traducida para una conexión Oracle\n"
               "  klbase verificar ARCHIVO\n"
               "      revisa la integridad de una base de datos: termina con 0 si está sana\n"
               "      y con 1 si está dañada o no se puede leer\n"
               "  klbase subdiario ARCHIVO USUARIO SUBDIARIO DESDE HASTA [--pdf SALIDA.pdf]\n"
               "      genera el reporte del subdiario entre las fechas (dd/mm/aaaa; DESDE vacío\n"
               "      es 01/01/1990) en AUX_SUBDIARIOS para el usuario y, con --pdf, lo imprime\n"
               "  klbase mascaras ARCHIVO\n"
               "      escribe consultas de ejemplo (consultas.kvw) para las tablas de la base de\n"
               "      demostración: provincias, monedas, condiciones de IVA, ejercicios y cuentas\n"
               "  klbase busqueda MASCARAS TABLA\n"
               "      muestra la sentencia con la que el programa consulta TABLA según las\n"
               "      consultas guardadas en MASCARAS\n"
               "  klbase historial CONEXION [CLAVE] [--desde dd/mm/aaaa] [--hasta dd/mm/aaaa]\n"
               "                   [--csv ARCHIVO]\n"
               "      muestra el historial de cambios, el más reciente primero (con CLAVE, sólo\n"
               "      los de esa clave); con --csv lo escribe para una planilla (Windows-1252)\n"
               "  klbase respaldo ORIGEN DESTINO\n"
               "      copia la base de datos ORIGEN en DESTINO aunque haya programas usándola\n"
               "  klbase restaurar COPIA DESTINO\n"
               "      reemplaza la base DESTINO por la COPIA y lo anota en su historial\n"
               "consulta y subdiario aceptan, en lugar de ARCHIVO, una cadena de conexión ODBC,\n"
               "por ejemplo \"Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=5433;\n"
               "Database=conta;Uid=kl;Pwd=...\"\n"
               "klbase nunca reemplaza un archivo existente (salvo DESTINO al restaurar).\n")
        .arg(kSchemaVersion);
}

// A command that meets another program's lock says that it waits, once per
// wait, instead of sitting silent for seconds.
class LockWaitNotice {
  public:
    explicit LockWaitNotice(QTextStream& err) {
        // The observer is called through copies: what it remembers lives here.
        ado::setBusyWaitObserver([&err, last = &lastWaitedMs_](int waitedMs) {
            // Within one wait the time only grows.
            if (*last == 0 || waitedMs <= *last) {
                err << QStringLiteral(
                    "klbase: otro programa tiene bloqueada la base de datos; esperando que la "
                    "libere...\n");
                err.flush();
            }
            *last = waitedMs;
            return true;
        });
    }
    ~LockWaitNotice() { ado::setBusyWaitObserver({}); }
    LockWaitNotice(const LockWaitNotice&) = delete;
    LockWaitNotice& operator=(const LockWaitNotice&) = delete;

  private:
    int lastWaitedMs_ = 0;
};

int failure(QTextStream& err, const RunError& error) {
    err << QStringLiteral("klbase: %1\n").arg(error.description);
    err.flush();
    return kFailed;
}

int badUsage(QTextStream& err, const QString& text) {
    err << QStringLiteral("klbase: %1\n\n").arg(text) << usage();
    err.flush();
    return kBadUsage;
}

QString number(std::int64_t n) {
    return QLocale(QLocale::Spanish, QLocale::Argentina).toString(n);
}

int crear(const QString& path, QTextStream& out, QTextStream& err) {
    if (StepResult failed = createDatabaseFile(path, [](Database& db) -> StepResult {
            if (StepResult failed = createSchema(db)) return failed;
            return writeNationalTables(db);
        }))
        return failure(err, *failed);
    out << QStringLiteral("Base de datos creada: %1 (versión %2 del esquema)\n")
               .arg(path)
               .arg(kSchemaVersion);
    return 0;
}

int demo(const QString& path, QTextStream& out, QTextStream& err) {
    DemoSummary summary;
    if (StepResult failed = createDatabaseFile(path, [&summary](Database& db) -> StepResult {
            if (StepResult failed = createSchema(db)) return failed;
            return fillDemo(db, summary);
        }))
        return failure(err, *failed);
    out << QStringLiteral("Base de demostración creada: %1 (versión %2 del esquema)\n")
               .arg(path)
               .arg(kSchemaVersion)
        << QStringLiteral("  Empresa: Distribuidora del Plata S.A.\n")
        << QStringLiteral("  Cuentas: %1\n").arg(number(summary.cuentas))
        << QStringLiteral("  Ejercicios: %1 (el último abierto y vigente)\n")
               .arg(summary.ejercicios)
        << QStringLiteral("  Asientos: %1 con %2 renglones\n")
               .arg(number(summary.asientos), number(summary.renglones))
        << QStringLiteral("  Días de calendario: %1; cotizaciones: %2\n")
               .arg(number(summary.diasCalendario), number(summary.cotizaciones))
        << QStringLiteral("  Usuarios: ADMIN (administrador) y OPERADOR, sin contraseña\n");
    return 0;
}

bool readCount(const QString& text, std::int64_t& value) {
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok;
}

int volumen(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const QString& path = arguments[1];
    std::int64_t accounts = 0, lines = 0;
    if (!readCount(arguments[2], accounts))
        return badUsage(err,
                        QStringLiteral("CUENTAS debe ser un número entero: %1").arg(arguments[2]));
    if (!readCount(arguments[3], lines))
        return badUsage(
            err, QStringLiteral("RENGLONES debe ser un número entero: %1").arg(arguments[3]));
    if (StepResult failed = checkVolume(accounts, lines)) return failure(err, *failed);

    QElapsedTimer clock;
    clock.start();
    VolumeSummary summary;
    if (StepResult failed = createDatabaseFile(path, [&](Database& db) -> StepResult {
            if (StepResult failed = createSchemaForBulkLoad(db)) return failed;
            if (StepResult failed = fillVolume(db, accounts, lines, summary)) return failed;
            return finishSchema(db);
        }))
        return failure(err, *failed);
    out << QStringLiteral("Base de volumen creada: %1 (versión %2 del esquema)\n")
               .arg(path)
               .arg(kSchemaVersion)
        << QStringLiteral("  Cuentas: %1\n").arg(number(summary.cuentas))
        << QStringLiteral("  Asientos: %1 con %2 renglones\n")
               .arg(number(summary.asientos), number(summary.renglones))
        << QStringLiteral("  Tiempo: %1 s\n")
               .arg(QLocale(QLocale::Spanish, QLocale::Argentina)
                        .toString(static_cast<double>(clock.elapsed()) / 1000.0, 'f', 1));
    return 0;
}

int mascaras(const QString& path, QTextStream& out, QTextStream& err) {
    int count = 0;
    if (StepResult failed = writeSampleMasks(path, count)) return failure(err, *failed);
    out << QStringLiteral("Consultas de ejemplo escritas: %1 (%2 tablas)\n").arg(path).arg(count);
    return 0;
}

int actualizar(const QString& path, QTextStream& out, QTextStream& err) {
    Database db;
    if (StepResult failed = db.open(path, Database::Mode::OpenExisting))
        return failure(err, *failed);
    int from = 0;
    if (StepResult failed = upgradeSchema(db, from)) return failure(err, *failed);
    if (from == kSchemaVersion)
        out << QStringLiteral("La base %1 ya tiene la versión %2 del esquema.\n")
                   .arg(path)
                   .arg(kSchemaVersion);
    else
        out << QStringLiteral("Base %1 actualizada de la versión %2 a la versión %3 del esquema.\n")
                   .arg(path)
                   .arg(from)
                   .arg(kSchemaVersion);
    return 0;
}

// The engine's full integrity check: every page, every index entry. Damage
// ends with status 1 and the engine's own findings, so an administrator
// knows to restore a backup before anyone writes again.
int verificar(const QString& path, QTextStream& out, QTextStream& err) {
    Database db;
    if (StepResult failed = db.open(path, Database::Mode::OpenExisting))
        return failure(err, *failed);
    QStringList findings;
    if (StepResult failed = db.texts(QStringLiteral("PRAGMA integrity_check(100)"), findings)) {
        err << QStringLiteral("La base %1 está dañada: %2\n").arg(path, failed->description);
        err.flush();
        return kFailed;
    }
    if (findings == QStringList{QStringLiteral("ok")}) {
        out << QStringLiteral("La base %1 está sana.\n").arg(path);
        return 0;
    }
    err << QStringLiteral("La base %1 está dañada (%2 problemas encontrados):\n")
               .arg(path)
               .arg(findings.size());
    for (const QString& finding : findings) err << QStringLiteral("  %1\n").arg(finding);
    err.flush();
    return kFailed;
}

}  // namespace

int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.isEmpty()) {
        out << usage();
        return 0;
    }
    const QString command = arguments.first();
    struct Command {
        const char* name;
        int count;
    };
    const Command commands[] = {
        {"crear", 2},      {"demo", 2},      {"volumen", 4},    {"actualizar", 2}, {"consulta", 4},
        {"oracle", 2},     {"verificar", 2}, {"subdiario", -1}, {"mascaras", 2},   {"busqueda", 3},
        {"historial", -1}, {"respaldo", -1}, {"restaurar", -1}};
    const auto known =
        std::find_if(std::begin(commands), std::end(commands),
                     [&](const Command& c) { return command == QLatin1String(c.name); });
    if (known == std::end(commands))
        return badUsage(err, QStringLiteral("orden desconocida: %1").arg(command));
    if (known->count >= 0 && arguments.size() != known->count)
        return badUsage(err,
                        QStringLiteral("cantidad de argumentos incorrecta para %1").arg(command));

    // Orders that build or check a file refuse a connection string rather
    // than take it for a file's name.
    if (const char* const fileOnly[] = {"crear", "demo", "volumen", "actualizar", "verificar"};
        std::any_of(std::begin(fileOnly), std::end(fileOnly),
                    [&](const char* name) { return command == QLatin1String(name); })) {
        if (const QString refusal = fileOnlyRefusal(command, arguments[1]); !refusal.isEmpty())
            return failure(err, RunError{kFailed, refusal, QStringLiteral("klbase")});
    }

    const LockWaitNotice waitNotice(err);

    int status = kFailed;
    if (command == u"crear") status = crear(arguments[1], out, err);
    if (command == u"demo") status = demo(arguments[1], out, err);
    if (command == u"volumen") status = volumen(arguments, out, err);
    if (command == u"actualizar") status = actualizar(arguments[1], out, err);
    if (command == u"consulta") status = ejecutaConsulta(arguments.mid(1), out, err);
    if (command == u"oracle") status = traduceOracle(arguments.mid(1), out, err);
    if (command == u"verificar") status = verificar(arguments[1], out, err);
    if (command == u"subdiario") status = generaSubdiario(arguments.mid(1), out, err);
    if (command == u"mascaras") status = mascaras(arguments[1], out, err);
    if (command == u"historial") status = muestraHistorial(arguments.mid(1), out, err);
    if (command == u"respaldo") status = respaldo(arguments.mid(1), out, err);
    if (command == u"restaurar") status = restaurar(arguments.mid(1), out, err);
    if (command == u"busqueda") {
        out << lookupStatement(arguments[1], arguments[2]) << u'\n';
        status = 0;
    }
    out.flush();
    return status;
}

}  // namespace kl::klbase
