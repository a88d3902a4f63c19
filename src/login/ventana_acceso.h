#pragma once

namespace kl {

// Makes the login window frmAcceso the access layer's way of asking for the
// connection data (OpenServerADODB's fallback). The program calls it once
// at start-up, before the session connects; until then the layer has no
// window to show and reports the request cancelled.
void installLoginWindow();

}  // namespace kl
