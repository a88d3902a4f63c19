#pragma once

#include <functional>

namespace kl::db {

enum class Reconnection { RepeatStatement, GeneralHandling, ProgramEnded };

// The layer's recovery from a lost connection. `attempt` reconnects once and
// tells whether it worked; `operatorRetries` asks the operator whether to go
// on trying. The counter belongs to the failing operation's call: each
// operation starts it where its own patience ends (0 allows four failed
// attempts before the operator is asked, 2 allows two). A connection
// restored at the first attempt still counts, so an operation that keeps
// losing it ends in its general failure handling. The operator's "no" ends
// the program (endProgram()).
Reconnection runReconnection(int& counter, const std::function<bool()>& attempt,
                             const std::function<bool()>& operatorRetries);

}  // namespace kl::db
