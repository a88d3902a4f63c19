#include "history_table.h"

#include "platform/sqlite_engine/function_table.h"
#include "platform/tsql/translator.h"

namespace kl::klbase {

namespace {

// The program's statement in the engine's dialect.
QStringList adapted(const QString& sqlServerText) {
    auto result = tsql::adapt(sqlServerText, ado::sqlite::embeddedTarget());
    QStringList statements;
    if (auto* list = std::get_if<std::vector<tsql::Statement>>(&result)) {
        for (const tsql::Statement& s : *list) statements << s.sql;
    }
    return statements;
}

}  // namespace

QStringList historyTableStatements() {
    const QString table = QString::fromLatin1(historial::kTabla);
    QStringList statements;
    for (QString s : adapted(historial::sentenciaCreacion()))
        statements << s.replace(QStringLiteral("CREATE TABLE "),
                                QStringLiteral("CREATE TABLE IF NOT EXISTS "));
    for (const char* what : {"UPDATE", "DELETE"}) {
        statements << QStringLiteral(
                          "CREATE TRIGGER IF NOT EXISTS KL_%1_SIN_%2 BEFORE %2 ON %1 BEGIN "
                          "SELECT RAISE(ABORT, 'El historial de cambios no se modifica ni se "
                          "borra'); END")
                          .arg(table, QLatin1String(what));
    }
    return statements;
}

StepResult recordChange(Database& db, const historial::Cambio& change) {
    // The computer and the system user as the program writes them; the
    // program is klbase, whoever runs its code.
    historial::Puesto puesto = historial::puestoActual();
    puesto.programa = QStringLiteral("klbase");
    for (const QString& sql : adapted(historial::sentenciaRegistro(change, puesto))) {
        if (StepResult failed = db.exec(sql)) return failed;
    }
    return std::nullopt;
}

}  // namespace kl::klbase
