#include "platform/ado/transaction_scope.h"

#include "platform/ado/provider.h"

namespace kl::ado {

long transactionLevel(const Connection& connection) {
    const Provider* provider = connection.provider();
    return provider ? provider->transactionLevel() : 0;
}

StepResult TransactionScope::begin() {
    if (open_) return std::nullopt;
    if (StepResult e = cnn_.BeginTrans()) return e;
    open_ = true;
    return std::nullopt;
}

StepResult TransactionScope::commit() {
    // Committing what was never begun, or was already undone, keeps nothing:
    // saying so beats a success nobody can find in the database.
    if (!open_) return cnn_.CommitTrans();
    open_ = false;
    if (StepResult e = cnn_.CommitTrans()) {
        cnn_.RollbackTrans();
        return e;
    }
    return std::nullopt;
}

void TransactionScope::rollback() {
    if (!open_) return;
    open_ = false;
    cnn_.RollbackTrans();
}

}  // namespace kl::ado
