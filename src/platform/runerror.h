#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>

namespace kl {

// A run-time failure as the module's routines report it: a number, a text
// and the component it came from. Failures travel as values, never as
// exceptions across a routine's boundary.
struct RunError {
    long number = 0;
    QString description;
    QString source;
};

// What a routine's step yields: nothing when it worked, the error otherwise.
using StepResult = std::optional<RunError>;
using Step = std::function<StepResult()>;

// The notice that decides what follows a failed step; returns the
// message-box answer shown to the operator.
using FailureNotice = std::function<int(const RunError&)>;

// Message-box answers the notices return.
namespace answer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace answer

enum class StepOutcome { Done, Ignored, Abandoned };

// Runs one step; on failure asks the notice: Retry runs the step again,
// Ignore goes on (Ignored), any other answer leaves (Abandoned).
StepOutcome runStep(const Step& step, const FailureNotice& notice);

// Runs a routine's steps in order under the same rule. Returns false when
// the operator left the routine; the remaining steps then do not run.
bool runSteps(std::initializer_list<Step> steps, const FailureNotice& notice);

// Wraps a step that may throw (a third-party call) so that its exception
// becomes a RunError and never crosses the routine's boundary.
StepResult guarded(const std::function<StepResult()>& body, const QString& source);

}  // namespace kl
