// libFuzzer target: any BASES.TXT gives clean entries that are written and
// read back unchanged, with passwords that survive their encoding.

#include "fuzz/bases_txt_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::basesTxtViolation(bytes).isEmpty()) __builtin_trap();
    return 0;
}
