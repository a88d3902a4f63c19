#include "platform/runerror.h"

#include "platform/error_numbers.h"

#include <exception>

namespace kl {

StepOutcome runStep(const Step& step, const FailureNotice& notice) {
    for (;;) {
        StepResult failure = step();
        if (!failure) return StepOutcome::Done;
        const int reply = notice(*failure);
        if (reply == answer::Retry) continue;
        return reply == answer::Ignore ? StepOutcome::Ignored : StepOutcome::Abandoned;
    }
}

bool runSteps(std::initializer_list<Step> steps, const FailureNotice& notice) {
    for (const Step& step : steps) {
        if (runStep(step, notice) == StepOutcome::Abandoned) return false;
    }
    return true;
}

StepResult guarded(const std::function<StepResult()>& body, const QString& source) {
    try {
        return body();
    } catch (const std::exception& e) {
        return RunError{err::AutomationError, QString::fromLocal8Bit(e.what()), source};
    } catch (...) {
        return RunError{err::AutomationError, QStringLiteral("Error inesperado"), source};
    }
}

}  // namespace kl
