#include "platform/ado/busy_wait.h"

#include "platform/error_numbers.h"

#include <utility>

namespace kl::ado {

namespace {

BusyWaitObserver& observer() {
    static BusyWaitObserver instance;
    return instance;
}

// Per thread: each thread's connections wait on their own.
thread_local bool stoppedByObserver = false;

}  // namespace

void setBusyWaitObserver(BusyWaitObserver o) {
    observer() = std::move(o);
}

bool keepWaitingForLock(int waitedMs) {
    if (waitedMs < kBusyWaitSilentMs || !observer()) {
        // Every wait starts quiet: what an earlier one ended with is over.
        stoppedByObserver = false;
        return true;
    }
    // A copy: the observer may replace itself while the notice runs events.
    const BusyWaitObserver current = observer();
    stoppedByObserver = !current(waitedMs);
    return !stoppedByObserver;
}

bool takeLockWaitCancelled() {
    return std::exchange(stoppedByObserver, false);
}

Error withCancelledWait(Error e) {
    if (e.Number != err::Timeout || !takeLockWaitCancelled()) return e;
    e.NativeError = 0;
    e.Description = QStringLiteral(
        "Se dejó de esperar a pedido del operador: otro puesto tiene bloqueada la base de datos.");
    return e;
}

}  // namespace kl::ado
