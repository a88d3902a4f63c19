// The column guards' cost on an UPDATE: one column changed on every row of a
// journal-shaped table of 1,000,000 rows, the guarded table against an
// unguarded copy of it in the same file, run after run in this process.
//
//     bench_guardas [FOLDER]
//
// The file is made in FOLDER (default: the temporary folder) and removed.

#include "platform/sqlite_engine/guards.h"
#include "sqlite_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kRows = 1000000;

// The journal's guarded columns: texts of a declared size and dates.
const char kColumns[] =
    "(ID INTEGER PRIMARY KEY, PERIODO VARCHAR(4), TIPO_REG VARCHAR(2), TC VARCHAR(2), "
    "SUCURSAL VARCHAR(4), NUMERO VARCHAR(8), LETRA VARCHAR(1), CUENTA VARCHAR(20) COLLATE "
    "KL_CI, [DEBE-HABER] VARCHAR(1), DETALLE VARCHAR(60), USUARIO VARCHAR(20), FECHA DATETIME, "
    "FECHA_VTO DATETIME, IMPORTE MONEY)";

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

struct Figure {
    double seconds = -1;
    double cpu = -1;
};

// Runs the statement on the table in a transaction rolled back afterwards,
// so that every run starts from the same rows.
Figure timed(kl::klbase::Database& db, const QString& statement, const QString& table) {
    Figure f;
    if (db.exec(QStringLiteral("BEGIN"))) return f;
    const double cpu = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    const bool ok = !db.exec(statement.arg(table));
    f.seconds = timer.nsecsElapsed() / 1e9;
    f.cpu = cpuSeconds() - cpu;
    db.exec(QStringLiteral("ROLLBACK"));
    if (!ok) f.seconds = f.cpu = -1;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());
    const QString file = folder.filePath(QStringLiteral("bench_guardas.db"));
    for (const char* suffix : {"", "-journal", "-wal"}) QFile::remove(file + suffix);
    kl::klbase::Database db;
    if (db.open(file, kl::klbase::Database::Mode::CreateNew)) return 1;
    std::printf("Creando %d renglones...\n", kRows);
    std::fflush(stdout);
    const QString fill = QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO %2 SELECT i, '2026', 'VE', 'FA', '0001', printf('%08d', i), 'A', "
        "printf('11010%04d', i % 5000), 'D', 'Venta según factura', 'ADMIN', "
        "'2026-01-05 00:00:00', '2026-02-05 00:00:00', i * 1.5 FROM n");
    if (db.exec(QStringLiteral("CREATE TABLE GUARDADA %1; CREATE TABLE SIN_GUARDAS %1")
                    .arg(QLatin1String(kColumns))) ||
        kl::ado::sqlite::installColumnGuards(db.handle(), QStringLiteral("GUARDADA")) ||
        db.exec(fill.arg(kRows).arg(QStringLiteral("GUARDADA"))) ||
        db.exec(fill.arg(kRows).arg(QStringLiteral("SIN_GUARDAS"))) ||
        db.exec(QStringLiteral("CREATE INDEX IX_G ON GUARDADA (CUENTA); CREATE INDEX IX_S ON "
                               "SIN_GUARDAS (CUENTA)")))
        return 1;

    struct Case {
        const char* what;
        const char* statement;
    };
    bool ok = true;
    for (const Case& c : {
             Case{"una columna de texto (CUENTA)",
                  "UPDATE %1 SET CUENTA = '0' || substr(CUENTA, 2)"},
             // In the stored form, as the program writes dates: checked,
             // nothing to convert.
             Case{"una columna de fecha (FECHA)", "UPDATE %1 SET FECHA = '2026-01-06 00:00:00'"},
             Case{"una columna sin guarda (IMPORTE)", "UPDATE %1 SET IMPORTE = IMPORTE + 1"},
         }) {
        const QString statement = QString::fromUtf8(c.statement);
        const Figure plain = timed(db, statement, QStringLiteral("SIN_GUARDAS"));
        const Figure guarded = timed(db, statement, QStringLiteral("GUARDADA"));
        ok = ok && plain.seconds >= 0 && guarded.seconds >= 0;
        std::printf("%s, %d renglones:\n", c.what, kRows);
        std::printf("  sin guardas   %7.2f s (CPU %6.2f s)\n", plain.seconds, plain.cpu);
        std::printf("  con guardas   %7.2f s (CPU %6.2f s)   %.2f veces (CPU %.2f)\n",
                    guarded.seconds, guarded.cpu, guarded.seconds / plain.seconds,
                    guarded.cpu / plain.cpu);
        std::fflush(stdout);
    }
    db.close();
    for (const char* suffix : {"", "-journal", "-wal"}) QFile::remove(file + suffix);
    return ok ? 0 : 1;
}
