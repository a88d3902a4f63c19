// libFuzzer target: any bytes read from a shared file are written back
// unchanged, and any text Windows-1252 holds comes back from its bytes.

#include "fuzz/input_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::windows1252Violation(bytes).isEmpty()) __builtin_trap();
    return 0;
}
