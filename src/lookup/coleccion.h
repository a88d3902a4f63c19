#pragma once

#include "platform/value.h"

#include <QList>

#include <memory>

namespace kl {

// The module's collections travel by reference between the lookup engine and
// its windows, and "no collection" is a state of its own (a cancelled lookup
// leaves the engine's Valores without one), so a collection is a shared list
// that may be null.
using Coleccion = std::shared_ptr<QList<Value>>;

inline Coleccion nuevaColeccion() {
    return std::make_shared<QList<Value>>();
}

}  // namespace kl
