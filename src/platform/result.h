#pragma once

// A value, or the failure that kept it from being computed: what a routine
// returns when it has something to give back, as StepResult is what a step
// returns when it has nothing.
//
//     Result<DigitosNiveles> guardados = LeeDigitosGuardados();
//     if (!guardados) return guardados.error();
//     const DigitosNiveles anteriores = *guardados;

#include "platform/runerror.h"

#include <utility>
#include <variant>

namespace kl {

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::move(value)) {}
    Result(RunError failure) : v_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(v_); }
    T& value() { return std::get<T>(v_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const RunError& error() const { return std::get<RunError>(v_); }

  private:
    std::variant<T, RunError> v_;
};

}  // namespace kl
