// Widening an account level on klbase "volumen" databases, three ways, each
// measured in a process of its own so that its peak memory is its own:
// - the program's set-based rewrite from the whole mapping;
// - the statement-per-account rewrite (a recordset walk of the chart, one
//   UPDATE of the journal per account);
// - the same set-based rewrite as plain SQL on SQLite's API with the column
//   guards suspended: the floor any method through the layer can approach.
//
//     bench_renumeracion [FOLDER]
//
// The databases are made in FOLDER (default: the temporary folder) on first
// use and kept: volumen_5000_1000000.db and volumen_5000_10000000.db.

#include "medicion.h"

#include "config/renumeracion.h"
#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/sqlite_engine/guards.h"
#include "session/claves_configuracion.h"
#include "sqlite_db.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kNivel = 2;          // subcapítulo
constexpr int kNuevosDigitos = 2;  // from 1
constexpr int kCuentas = 5000;

bool setBased() {
    auto guardados = kl::config::LeeDigitosGuardados();
    if (!guardados) return false;
    const kl::DigitosNiveles anteriores = *guardados;
    kl::DigitosNiveles nuevos = anteriores;
    nuevos[kNivel - 1] = kNuevosDigitos;
    return kl::config::RenumeraNiveles(anteriores, nuevos, {}).estado ==
           kl::config::ResultadoRenumeracion::Estado::Hecha;
}

// The rewrite as first written: each account's new code saved through the
// chart's recordset, then its journal lines moved by one statement.
bool literal() {
    kl::db::DB_Dll& db = kl::db::sharedDb();
    if (kl::LeeDigitosNiveles() || kl::CalculaPosicionesNiveles()) return false;
    const int e = kl::sesion().gPosicionNivel[kNivel - 1];
    const int d = kl::sesion().gDigitosNivel[kNivel - 1];
    const int s = e - d;
    if (db.gCnn->BeginTrans()) return false;
    kl::ado::Recordset rs;
    QString sql = QStringLiteral("Select * from Ma_Cuentas");
    db.AbrirRecordset(sql, rs, nullptr, kl::ado::adOpenDynamic, kl::ado::adLockOptimistic);
    if (rs.State() != kl::ado::adStateOpen) return false;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        const QString code = rs.value(QStringLiteral("Codigo")).toString();
        const QString trimmed = code.trimmed();
        if (trimmed.size() < e) continue;
        const QString rest = trimmed.size() > e ? code.mid(e) : QString();
        const auto value = static_cast<long long>(kl::conv::leadingNumber(code.mid(s, d)));
        const QString nuevo =
            (code.left(s) +
             QString::number(value).rightJustified(kNuevosDigitos, QLatin1Char('0')) +
             rest.trimmed())
                .trimmed();
        if (rs.setValue(QStringLiteral("Codigo"), nuevo) || rs.Update()) return false;
        QString update = QStringLiteral("UPDATE MV_ASIENTOS SET CUENTA = '") + nuevo +
                         QStringLiteral("' WHERE CUENTA = '") + code + QStringLiteral("'");
        long affected = 0;
        db.EjecutaConsultaSQL(update, affected);
    }
    rs.Close();
    return !db.gCnn->CommitTrans();
}

// Plain SQL on the file, the guards dropped for the rewrite and put back
// after it: the mapping into a temporary table, the chart longest codes
// first, the journal in one statement with its account index rebuilt.
bool direct(const QString& file) {
    using kl::klbase::Statement;
    auto guardados = kl::config::LeeDigitosGuardados();
    if (!guardados) return false;
    const kl::DigitosNiveles anteriores = *guardados;
    kl::DigitosNiveles nuevos = anteriores;
    nuevos[kNivel - 1] = kNuevosDigitos;
    kl::db::sharedDb().gCnn->Close();

    kl::klbase::Database db;
    if (db.open(file, kl::klbase::Database::Mode::OpenExisting)) return false;
    kl::klbase::Transaction transaction(db);
    QStringList codes, guards, indexes;
    if (transaction.begin() || db.texts(QStringLiteral("SELECT CODIGO FROM MA_CUENTAS"), codes) ||
        db.texts(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' AND "
                                "name LIKE 'KL\\_GUARD\\_%' ESCAPE '\\'"),
                 guards) ||
        db.texts(QStringLiteral("SELECT name || char(9) || sql FROM sqlite_master WHERE type = "
                                "'index' AND tbl_name = 'MV_ASIENTOS' AND sql LIKE '%(CUENTA%'"),
                 indexes))
        return false;
    for (const QString& guard : guards)
        if (db.exec(QStringLiteral("DROP TRIGGER [%1]").arg(guard))) return false;
    Statement insert;
    if (db.exec(QStringLiteral("CREATE TEMP TABLE MAPA (ANTERIOR VARCHAR(50) COLLATE KL_CI "
                               "PRIMARY KEY, NUEVO VARCHAR(50), LARGO INT)")) ||
        db.prepare(QStringLiteral("INSERT INTO MAPA VALUES (?1, ?2, ?3)"), insert))
        return false;
    QList<int> lengths;
    for (const QString& code : codes) {
        const QString nuevo = kl::config::codigoRenumerado(code, anteriores, nuevos);
        if (nuevo == code) continue;
        insert.bind(1, code);
        insert.bind(2, nuevo);
        insert.bind(3, static_cast<int>(code.trimmed().size()));
        if (insert.run()) return false;
        if (!lengths.contains(code.trimmed().size())) lengths << code.trimmed().size();
    }
    std::sort(lengths.rbegin(), lengths.rend());
    for (int length : lengths) {
        if (db.exec(QStringLiteral("UPDATE MA_CUENTAS SET CODIGO = (SELECT NUEVO FROM MAPA WHERE "
                                   "ANTERIOR = MA_CUENTAS.CODIGO) WHERE CODIGO IN (SELECT "
                                   "ANTERIOR FROM MAPA WHERE LARGO = %1)")
                        .arg(length)))
            return false;
    }
    for (const QString& index : indexes)
        if (db.exec(QStringLiteral("DROP INDEX [%1]").arg(index.section(u'\t', 0, 0))))
            return false;
    if (db.exec(QStringLiteral("UPDATE MV_ASIENTOS SET CUENTA = (SELECT NUEVO FROM MAPA WHERE "
                               "ANTERIOR = MV_ASIENTOS.CUENTA) WHERE CUENTA IN (SELECT ANTERIOR "
                               "FROM MAPA)")))
        return false;
    for (const QString& index : indexes)
        if (db.exec(index.section(u'\t', 1))) return false;
    if (kl::ado::sqlite::installAllColumnGuards(db.handle())) return false;
    return !transaction.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // Runs unattended: no window ever needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (kl::bench::esMedicion(args)) {
        return kl::bench::mide(args, [](const QString& how) {
            if (how == QLatin1String("directo")) return direct(kl::db::sharedDb().gDBName);
            return how == QLatin1String("literal") ? literal() : setBased();
        });
    }
    using kl::bench::Figura;
    using kl::bench::imprime;

    const QDir folder(args.size() > 1 ? args[1] : QDir::tempPath());
    std::printf("Nivel %d de 1 a %d dígitos, %d cuentas\n", kNivel, kNuevosDigitos, kCuentas);
    const QString million = kl::bench::baseVolumen(folder, kCuentas, 1000000);
    if (million.isEmpty()) return 1;
    std::printf("1.000.000 renglones:\n");
    const Figura lit = kl::bench::corre(QStringLiteral("literal"), million);
    imprime("una sentencia por cuenta", lit);
    const Figura set1 = kl::bench::corre(QStringLiteral("conjuntos"), million);
    imprime("por conjuntos, desde el mapa completo", set1);
    const Figura raw = kl::bench::corre(QStringLiteral("directo"), million);
    imprime("SQL directo, sin las guardas", raw);
    if (lit.ok && set1.ok)
        std::printf("  por conjuntos / una por cuenta: %.2f (CPU %.2f)\n",
                    set1.segundos / lit.segundos, set1.cpu / lit.cpu);
    if (raw.ok && set1.ok)
        std::printf("  por conjuntos / SQL directo sin guardas: %.2f (CPU %.2f)\n",
                    set1.segundos / raw.segundos, set1.cpu / raw.cpu);

    const QString tenMillion = kl::bench::baseVolumen(folder, kCuentas, 10000000);
    if (tenMillion.isEmpty()) return 1;
    std::printf("10.000.000 renglones:\n");
    const Figura set10 = kl::bench::corre(QStringLiteral("conjuntos"), tenMillion);
    imprime("por conjuntos, desde el mapa completo", set10);
    if (set1.ok && set10.ok)
        std::printf(
            "  10.000.000 / 1.000.000: %.2f veces el tiempo (CPU %.2f), %.2f veces la "
            "memoria\n",
            set10.segundos / set1.segundos, set10.cpu / set1.cpu, set10.megabytes / set1.megabytes);
    return lit.ok && set1.ok && raw.ok && set10.ok ? 0 : 1;
}
