#pragma once

// The process's shared access layer over an embedded test database, as a
// session leaves it once connected, and released again between tests.

#include <QString>

namespace kl::test {

// Connects the shared layer to the embedded database `file` as `usuario`
// (the connection dialog may be shown); true when it is open.
bool connectSharedDb(const QString& file, const QString& usuario);

// Drops the shared layer's connection and the session's record, so the next
// test starts from a program that has not connected yet.
void releaseSharedSession();

}  // namespace kl::test
