// libFuzzer target: typed dates read back from the dd/mm/yyyy they are shown
// as, and numbers read the same whatever follows them.

#include "fuzz/input_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::conversionsViolation(QString::fromUtf8(bytes)).isEmpty()) __builtin_trap();
    return 0;
}
