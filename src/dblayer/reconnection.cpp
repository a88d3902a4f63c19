#include "dblayer/reconnection.h"

#include "dblayer/application_hooks.h"

namespace kl::db {

Reconnection runReconnection(int& counter, const std::function<bool()>& attempt,
                             const std::function<bool()>& operatorRetries) {
    if (attempt()) {
        ++counter;
        return counter < 3 ? Reconnection::RepeatStatement : Reconnection::GeneralHandling;
    }
    for (;;) {
        if (attempt()) return Reconnection::RepeatStatement;
        ++counter;
        if (counter >= 3 && !operatorRetries()) {
            endProgram();
            return Reconnection::ProgramEnded;
        }
    }
}

}  // namespace kl::db
