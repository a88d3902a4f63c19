#pragma once

namespace kl {

// Reads the user's settings into the session: capitals-only typing, the
// lock and confidentiality switches, the active fiscal year and the user's
// business unit ("   1" when the user has none).
void IniContable();

}  // namespace kl
