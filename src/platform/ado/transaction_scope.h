#pragma once

// The one way to make a group of writes all-or-nothing. A scope begins a
// transaction on a connection and, unless told to commit, rolls it back when
// it ends, whichever way the caller leaves: a failed step, an early return,
// an operator's Abort. Nothing half-written survives a path nobody thought of.
//
//     ado::TransactionScope t(*cnn);
//     if (StepResult e = t.begin()) return e;
//     if (StepResult e = cnn->Execute("DELETE FROM AUX_SUBDIARIOS WHERE ...")) return e;
//     if (StepResult e = cnn->Execute("INSERT INTO AUX_SUBDIARIOS ...")) return e;
//     return t.commit();  // both rows or neither
//
// A kill at any moment leaves the database as the engine's own journal
// leaves it: the last commit or nothing of this one.

#include "platform/ado/ado.h"

namespace kl::ado {

// How many transactions are open on the connection, 0 outside any (or when
// it is closed): closing the connection now would undo that many levels.
long transactionLevel(const Connection& connection);

class TransactionScope {
  public:
    explicit TransactionScope(Connection& connection) : cnn_(connection) {}
    ~TransactionScope() { rollback(); }
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

    StepResult begin();
    // Makes the writes permanent. A commit the engine refuses is rolled back
    // and reported, and so is a commit of a scope not open: the caller never
    // believes in writes that are not there.
    StepResult commit();
    // Undoes the writes now (the destructor does it otherwise); nothing when
    // the scope is not open.
    void rollback();

    bool open() const { return open_; }
    Connection& connection() const { return cnn_; }

  private:
    Connection& cnn_;
    bool open_ = false;
};

}  // namespace kl::ado
