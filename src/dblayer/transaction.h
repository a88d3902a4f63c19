#pragma once

// The one way to run a group of statements all-or-nothing on the access
// layer's connection:
//
//     db::Transaction t;  // on the shared layer's connection
//     if (StepResult e = t.begin()) return e;
//     if (StepResult e = t.execute("DELETE AUX_SUBDIARIOS WHERE USUARIO = 'ANA'")) return e;
//     if (StepResult e = t.execute("INSERT INTO AUX_SUBDIARIOS ...")) return e;
//     return t.commit();  // both or neither; leaving without it rolls back
//
// Statements are rewritten as the layer's own calls rewrite them: for a user
// who is not an administrator "MA_CUENTAS" reads "SS_MA_CUENTAS" (write
// "@Admin_MA_CUENTAS" for the full table), and on an Oracle connection they
// are translated. Each runs once, on the connection the transaction began
// on: a lost connection fails the statement and is never restored behind
// the caller's back, since closing it undoes the transaction's earlier
// statements and a repeated one would commit on its own. The layer's own
// calls follow the same rule while a transaction is open.

#include "dblayer/db_dll.h"
#include "platform/ado/transaction_scope.h"

#include <QString>

#include <memory>

namespace kl::db {

class Transaction {
  public:
    explicit Transaction(DB_Dll& db = sharedDb());
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    [[nodiscard]] StepResult begin();
    // A refused commit is rolled back and reported.
    [[nodiscard]] StepResult commit();
    // Undoes the statements now; the destructor does it otherwise.
    void rollback();
    bool isOpen() const { return scope_.open(); }

    // Runs one statement; with `rows`, they receive what it returns
    // (forward-only, read-only). A failure carries the provider's own text.
    [[nodiscard]] StepResult execute(const QString& sql, long* affected = nullptr,
                                     std::unique_ptr<ado::Recordset>* rows = nullptr);
    // Opens `rs` on the statement with the cursor and lock asked for, to add
    // or change rows.
    [[nodiscard]] StepResult open(const QString& sql, ado::Recordset& rs, int cursorType,
                                  int lockType);
    // Every row of a read, handed over one by one and closed before the
    // caller writes: a read left open would be copied into memory whole by
    // the first write.
    template <typename OnRow>
    [[nodiscard]] StepResult read(const QString& sql, OnRow onRow) {
        std::unique_ptr<ado::Recordset> rs;
        if (StepResult e = execute(sql, nullptr, &rs)) return e;
        for (; rs && rs->State() == ado::adStateOpen && !rs->EOF();) {
            onRow(*rs);
            if (StepResult e = rs->MoveNext()) return e;
        }
        return std::nullopt;
    }

    // The last failure was the connection's: nothing more can be written
    // through it.
    bool connectionLost() const;

    // The connection, for what goes to it directly (deferring indexes);
    // withDetail gives its failures the provider's own text.
    ado::Connection& connection() const { return *cnn_; }
    StepResult withDetail(StepResult failure) const;
    DB_Dll& layer() const { return db_; }

  private:
    StepResult rewritten(const QString& sql, QString& statement) const;

    DB_Dll& db_;
    std::shared_ptr<ado::Connection> cnn_;
    ado::TransactionScope scope_;
};

}  // namespace kl::db
