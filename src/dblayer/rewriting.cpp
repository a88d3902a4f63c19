#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "dblayer/oracle_dialect.h"
#include "dblayer/program_info.h"
#include "dblayer/restricted_views.h"
#include "dblayer/sql_text.h"

namespace kl::db {

namespace {

// The warning the Oracle provider leaves after a statement that returns no
// rows (hexadecimal 40EC9).
constexpr long kNoRowsWarning = 265929;

}  // namespace

QString DB_Dll::SS_TSinonimos(const QString& statement) const {
    return withRestrictedViews(statement, {gEsAdmin, confidencialidad(), executableName()});
}

StepResult DB_Dll::ORACLE_Dicc(const QString& valor, QString& translated) const {
    if (!oracle::isOracle(gConnString)) {
        translated = valor;
        return std::nullopt;
    }
    return oracle::translate(valor, translated);
}

QString DB_Dll::FiltraSentenciaOracle(QString& statement) const {
    if (oracle::isDiscarded(statement)) statement.clear();
    return statement;
}

// The script is consumed statement by statement: after a failure it begins
// with the statement that failed, so that running it again goes on from there.
StepResult DB_Dll::EjecutaLoteOracle(QString& script, long& RecordsAffected) {
    oracle::prepareScript(script);
    while (const std::optional<oracle::ScriptStatement> next = oracle::firstStatement(script)) {
        QString statement = next->text;
        StepResult failure;
        if (statement.compare(QStringLiteral("SET TRANSACTION"), Qt::CaseInsensitive) == 0) {
            failure = gCnn->BeginTrans();
        } else if (statement.compare(QStringLiteral("COMMIT"), Qt::CaseInsensitive) == 0) {
            failure = gCnn->CommitTrans();
        } else if (statement.compare(QStringLiteral("ROLLBACK"), Qt::CaseInsensitive) == 0) {
            failure = gCnn->RollbackTrans();
        } else if (!statement.isEmpty()) {
            QString translated;
            failure = ORACLE_Dicc(statement, translated);
            if (!failure && !FiltraSentenciaOracle(translated).trimmed().isEmpty()) {
                long affected = -1;
                failure = gCnn->Execute(translated, &affected, nullptr, -1);
                // -1: the provider does not tell.
                if (!failure && affected > 0) RecordsAffected += affected;
            }
        }
        if (failure) return failure;
        script.remove(0, next->end);
    }
    ado::Errors& errors = gCnn->errors();
    if (errors.Count() == 1 && errors.Item(0).Number == kNoRowsWarning) errors.Clear();
    return std::nullopt;
}

}  // namespace kl::db
