#include "platform/ado/busy_wait.h"

#include <utility>

namespace kl::ado {

namespace {

BusyWaitObserver& observer() {
    static BusyWaitObserver instance;
    return instance;
}

}  // namespace

void setBusyWaitObserver(BusyWaitObserver o) {
    observer() = std::move(o);
}

bool keepWaitingForLock(int waitedMs) {
    if (waitedMs < kBusyWaitSilentMs || !observer()) return true;
    // A copy: the observer may replace itself while the notice runs events.
    const BusyWaitObserver current = observer();
    return current(waitedMs);
}

}  // namespace kl::ado
