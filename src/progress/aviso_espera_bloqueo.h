#pragma once

// The notice the operator sees while the database waits for another
// station's lock: after a couple of quiet seconds it says what is going on
// and offers to stop waiting, and it goes away once the wait is over.

namespace kl {

// Makes the data layer's lock waits show this notice, for the whole process.
void instalaAvisoEsperaBloqueo();

}  // namespace kl
