// libFuzzer target for the reader of the saved query masks (consultas.kvw):
// any bytes give a mask or none, never a crash.

#include "fuzz/mascaras_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::consultas::properties::checkMascaras(bytes).isEmpty()) __builtin_trap();
    return 0;
}
