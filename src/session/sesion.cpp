#include "session/sesion.h"

namespace kl {

Sesion& sesion() {
    static Sesion record;
    return record;
}

}  // namespace kl
