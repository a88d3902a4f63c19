#pragma once

// The lookups of the running program: the list and tree windows the engine
// shows, the lookups of the access layer's QConsulta and QGridConsulta, and
// the launcher behind the list's "N&uevo". The session start-up installs
// them; tests install their own doubles instead.

namespace kl {

void instalaConsultasDelPrograma();

}  // namespace kl
