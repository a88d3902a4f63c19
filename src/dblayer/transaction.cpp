#include "dblayer/transaction.h"

#include "dblayer/oracle_dialect.h"
#include "dblayer/sql_text.h"

namespace kl::db {

Transaction::Transaction(DB_Dll& db) : db_(db), cnn_(db.gCnn), scope_(*cnn_) {}

StepResult Transaction::begin() {
    return withDetail(scope_.begin());
}

StepResult Transaction::commit() {
    return withDetail(scope_.commit());
}

void Transaction::rollback() {
    scope_.rollback();
}

StepResult Transaction::rewritten(const QString& sql, QString& statement) const {
    statement = db_.SS_TSinonimos(sql);
    if (!oracle::isOracle(cnn_->ConnectionString())) return std::nullopt;
    QString translated;
    if (StepResult e = db_.ORACLE_Dicc(statement, translated)) return e;
    statement = translated;
    return std::nullopt;
}

StepResult Transaction::execute(const QString& sql, long* affected,
                                std::unique_ptr<ado::Recordset>* rows) {
    QString statement;
    if (StepResult e = rewritten(sql, statement)) return e;
    long n = 0;
    if (StepResult e = cnn_->Execute(statement, &n, rows)) return withDetail(e);
    if (affected) *affected = n;
    return std::nullopt;
}

StepResult Transaction::open(const QString& sql, ado::Recordset& rs, int cursorType, int lockType) {
    QString statement;
    if (StepResult e = rewritten(sql, statement)) return e;
    if (rs.State() != ado::adStateClosed) {
        if (StepResult e = rs.Close()) return e;
    }
    return withDetail(rs.Open(statement, *cnn_, cursorType, lockType));
}

bool Transaction::connectionLost() const {
    const ado::Errors& errors = cnn_->errors();
    return cnn_->State() == ado::adStateClosed ||
           (!errors.empty() && errors.Item(0).NativeError == ado::err::NativeNetwork);
}

// The provider's own text says more than ADO's generic one.
StepResult Transaction::withDetail(StepResult failure) const {
    if (failure && !cnn_->errors().empty())
        failure->description = cnn_->errors().Item(0).Description;
    return failure;
}

}  // namespace kl::db
