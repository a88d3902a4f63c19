#pragma once

#include <QString>

namespace kl::db {

// How OpenLocalADODB goes on after the database file refused to open, by the
// SQL state of the provider's first error. A database that asks for a
// password is offered the stored password once (when the layer is told to
// use it); after that the operator is asked each time, and an empty answer
// gives up, so the opening always ends.
class LocalOpenRecovery {
  public:
    enum class Next { ChooseFile, OpenAgain, GiveUp };

    LocalOpenRecovery(bool useStoredPassword, const QString& storedPassword);

    Next afterFailure(const QString& sqlState);
    // Appended to the connection string; empty until a password is needed.
    const QString& passwordClause() const { return clause_; }

  private:
    bool storedPasswordLeft_;
    QString storedPassword_;
    QString clause_;
};

}  // namespace kl::db
