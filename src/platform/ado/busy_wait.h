#pragma once

// Waiting for another station's lock, in sight of the operator. The
// embedded engine waits while another program holds the database's write
// lock; a few seconds pass unnoticed, but a longer wait with a still window
// looks like a hung program. So the engine tells the program how long it
// has waited, about ten times a second once two seconds have gone by, and
// the program shows a notice with a cancel button:
//
//     ado::setBusyWaitObserver([](int waitedMs) {
//         notice.show("Esperando que otro puesto libere la base de datos...");
//         return !notice.cancelled();  // false: stop waiting
//     });
//
// Giving up makes the statement fail as a lock time-out, which the step
// that ran it handles as any connection error. The data layer knows no
// window: the observer is installed by the program from above.

#include "platform/ado/ado.h"

#include <functional>

namespace kl::ado {

// Milliseconds waited so far; returns false to stop waiting.
using BusyWaitObserver = std::function<bool(int waitedMs)>;

// Replaces the observer; an empty one waits silently until the time-out.
void setBusyWaitObserver(BusyWaitObserver observer);

// How long a wait goes unshown.
inline constexpr int kBusyWaitSilentMs = 2000;

// For the providers, each time they are about to wait some more: true to
// keep waiting. Quiet waits and waits without an observer always go on.
bool keepWaitingForLock(int waitedMs);

// Whether the last wait ended because the observer stopped it (the
// operator's "Cancelar"), not because its time ran out; asking clears it,
// so the provider reports that one statement as cancelled.
bool takeLockWaitCancelled();

// The providers' lock time-out as the operator caused it, when he stopped
// the wait: no time ran out. Any other error is returned as it is.
Error withCancelledWait(Error e);

}  // namespace kl::ado
