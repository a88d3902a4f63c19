#include "platform/ado/transaction_scope.h"

namespace kl::ado {

StepResult TransactionScope::begin() {
    if (open_) return std::nullopt;
    if (StepResult e = cnn_.BeginTrans()) return e;
    open_ = true;
    return std::nullopt;
}

StepResult TransactionScope::commit() {
    if (!open_) return std::nullopt;
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
