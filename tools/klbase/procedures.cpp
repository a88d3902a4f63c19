#include "procedures.h"

#include <vector>

namespace kl::klbase {

namespace {

const QString kSource = QStringLiteral("klbase");

struct Procedure {
    QString name;
    QString parameters;
    QString body;
};

// kv_CreaCalendario: one MA_CALENDARIO row per day from @desde to @hasta,
// both included, working days until someone marks them otherwise. Days that
// already have a row keep it, so running it twice over a range is harmless.
// The dates arrive as typed (dd/mm/yyyy) or in the stored form.
Procedure createCalendar() {
    return {
        QStringLiteral("kv_CreaCalendario"), QStringLiteral("@desde,@hasta"),
        QStringLiteral("SELECT kl_error('La fecha desde del calendario no es válida: ' || "
                       "IFNULL(@desde, '')) WHERE kl_fecha(@desde) IS NULL;\n"
                       "SELECT kl_error('La fecha hasta del calendario no es válida: ' || "
                       "IFNULL(@hasta, '')) WHERE kl_fecha(@hasta) IS NULL;\n"
                       "SELECT kl_error('La fecha desde del calendario (' || @desde || ') es "
                       "posterior a la fecha hasta (' || @hasta || ')') "
                       "WHERE date(kl_fecha(@desde)) > date(kl_fecha(@hasta));\n"
                       "WITH RECURSIVE DIAS(DIA) AS (SELECT date(kl_fecha(@desde)) UNION ALL "
                       "SELECT date(DIA, '+1 day') FROM DIAS WHERE DIA < date(kl_fecha(@hasta))) "
                       "INSERT OR IGNORE INTO MA_CALENDARIO (FECHA, NOLABORABLE) "
                       "SELECT DIA || ' 00:00:00', 0 FROM DIAS")};
}

const std::vector<Procedure>& procedures() {
    static const std::vector<Procedure> all{createCalendar()};
    return all;
}

}  // namespace

StepResult installProcedures(Database& db) {
    Statement insert;
    if (StepResult failed = db.prepare(
            QStringLiteral("INSERT OR REPLACE INTO KL_PROCEDIMIENTOS (NOMBRE, PARAMETROS, CUERPO) "
                           "VALUES (?, ?, ?)"),
            insert))
        return failed;
    for (const Procedure& procedure : procedures()) {
        insert.bind(1, procedure.name);
        insert.bind(2, procedure.parameters);
        insert.bind(3, procedure.body);
        if (StepResult failed = insert.run()) return failed;
    }
    return std::nullopt;
}

StepResult runProcedure(Database& db, const QString& name, const QStringList& arguments) {
    Statement lookup;
    if (StepResult failed = db.prepare(
            QStringLiteral("SELECT PARAMETROS, CUERPO FROM KL_PROCEDIMIENTOS WHERE NOMBRE = ?"),
            lookup))
        return failed;
    lookup.bind(1, name);
    bool found = false;
    if (StepResult failed = lookup.step(found)) return failed;
    if (!found)
        return RunError{1, QStringLiteral("No existe el procedimiento %1").arg(name), kSource};
    const QStringList parameters = lookup.text(0).split(u',', Qt::SkipEmptyParts);
    const QByteArray body = lookup.text(1).toUtf8();
    if (arguments.size() != parameters.size())
        return RunError{1,
                        QStringLiteral("El procedimiento %1 espera %2 argumentos")
                            .arg(name)
                            .arg(parameters.size()),
                        kSource};

    if (StepResult failed = db.exec(QStringLiteral("SAVEPOINT KL_PROCEDIMIENTO"))) return failed;
    const char* next = body.constData();
    StepResult failed;
    while (!failed && *next) {
        Statement statement;
        failed = db.prepareNext(next, statement);
        if (failed || statement.isEmpty()) continue;
        for (int i = 0; i < parameters.size(); ++i)
            statement.bind(parameters[i].trimmed().toUtf8().constData(), arguments[i]);
        failed = statement.run();
    }
    if (failed) {
        db.exec(QStringLiteral("ROLLBACK TO KL_PROCEDIMIENTO; RELEASE KL_PROCEDIMIENTO"));
        return failed;
    }
    return db.exec(QStringLiteral("RELEASE KL_PROCEDIMIENTO"));
}

}  // namespace kl::klbase
