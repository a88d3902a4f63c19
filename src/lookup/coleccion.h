#pragma once

#include "platform/value.h"

#include <QList>

#include <optional>

namespace kl {

// A collection the lookups hand back (the values chosen, the columns asked
// for, the quantities typed), or none at all: a lookup that was cancelled
// releases its collections, and callers tell that apart from an empty one.
using Coleccion = std::optional<QList<Value>>;

}  // namespace kl
