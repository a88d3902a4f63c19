#include "platform/runerror.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace kl {
namespace {

// A step that fails `failures` times before it works, counting its runs.
struct FlakyStep {
    int failures = 0;
    int runs = 0;
    StepResult operator()() {
        ++runs;
        if (runs <= failures) return RunError{53, QStringLiteral("No se encontró el archivo"), {}};
        return std::nullopt;
    }
};

// A notice that gives the queued answers in order and records what it saw.
struct QueuedNotice {
    explicit QueuedNotice(std::vector<int> queued = {}) : answers(std::move(queued)) {}
    int operator()(const RunError& error) {
        seen.push_back(error.number);
        return answers.at(seen.size() - 1);
    }
    std::vector<int> answers;
    std::vector<long> seen;
};

TEST(RunStep, ASucceedingStepAsksNothing) {
    FlakyStep step;
    QueuedNotice notice;
    EXPECT_EQ(runStep(std::ref(step), std::ref(notice)), StepOutcome::Done);
    EXPECT_EQ(step.runs, 1);
    EXPECT_TRUE(notice.seen.empty());
}

TEST(RunStep, RetryRunsTheStepAgainUntilItWorks) {
    FlakyStep step{2};
    QueuedNotice notice({answer::Retry, answer::Retry});
    EXPECT_EQ(runStep(std::ref(step), std::ref(notice)), StepOutcome::Done);
    EXPECT_EQ(step.runs, 3);
    EXPECT_EQ(notice.seen, (std::vector<long>{53, 53}));
}

TEST(RunStep, IgnoreAndOtherAnswers) {
    for (const auto& [reply, outcome] : {std::pair{answer::Ignore, StepOutcome::Ignored},
                                         {answer::Abort, StepOutcome::Abandoned},
                                         {answer::Ok, StepOutcome::Abandoned},
                                         {answer::Cancel, StepOutcome::Abandoned}}) {
        FlakyStep step{5};
        QueuedNotice notice({reply});
        EXPECT_EQ(runStep(std::ref(step), std::ref(notice)), outcome) << reply;
        EXPECT_EQ(step.runs, 1);
    }
}

TEST(RunSteps, IgnoreGoesOnWithTheNextStep) {
    std::vector<int> ran;
    QueuedNotice notice({answer::Ignore});
    const bool finished = runSteps({[&]() -> StepResult {
                                        ran.push_back(1);
                                        return RunError{5, {}, {}};
                                    },
                                    [&]() -> StepResult {
                                        ran.push_back(2);
                                        return std::nullopt;
                                    }},
                                   std::ref(notice));
    EXPECT_TRUE(finished);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(RunSteps, AbortLeavesTheRemainingStepsUnrun) {
    std::vector<int> ran;
    QueuedNotice notice({answer::Retry, answer::Abort});
    const bool finished = runSteps({[&]() -> StepResult {
                                        ran.push_back(1);
                                        return std::nullopt;
                                    },
                                    [&]() -> StepResult {
                                        ran.push_back(2);
                                        return RunError{91, {}, {}};
                                    },
                                    [&]() -> StepResult {
                                        ran.push_back(3);
                                        return std::nullopt;
                                    }},
                                   std::ref(notice));
    EXPECT_FALSE(finished);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 2}));
}

TEST(Guarded, ExceptionsBecomeRunErrors) {
    const StepResult failure = guarded(
        []() -> StepResult { throw std::runtime_error("disco lleno"); }, QStringLiteral("Cfg"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->description, u"disco lleno");
    EXPECT_EQ(failure->source, u"Cfg");
    const StepResult unknown = guarded([]() -> StepResult { throw 7; }, QStringLiteral("X"));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->description, u"Error inesperado");
    EXPECT_FALSE(guarded([]() -> StepResult { return std::nullopt; }, QStringLiteral("X")));
}

}  // namespace
}  // namespace kl
