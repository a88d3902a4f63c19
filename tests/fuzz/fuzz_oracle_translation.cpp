// libFuzzer target for the translation into Oracle's dialect: any text is
// translated or refused with the invalid-argument error, never anything else.

#include "fuzz/rewriting_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString valor =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::db::properties::translationViolation(valor).isEmpty()) __builtin_trap();
    return 0;
}
