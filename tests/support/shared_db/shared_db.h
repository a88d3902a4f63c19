#pragma once

// The process's shared access layer over an embedded test database, as a
// session leaves it once connected, and released again between tests.

#include "support/database_test/database_test.h"

namespace kl::test {

// Drops the shared layer's connection and the session's record, so the next
// test starts from a program that has not connected yet.
void releaseSharedSession();

}  // namespace kl::test
