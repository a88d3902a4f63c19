#include "support/shared_db/shared_db.h"

#include "dblayer/db_dll.h"
#include "session/sesion.h"

namespace kl::test {

void releaseSharedSession() {
    db::releaseSharedDb();
    sesion() = Sesion{};
}

}  // namespace kl::test
