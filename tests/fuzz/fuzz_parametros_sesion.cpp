// libFuzzer target: any session parameter string gives clean values, and
// those values written again for a sibling program read back the same.

#include "fuzz/parametros_sesion_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::parametrosSesionViolation(QString::fromUtf8(bytes)).isEmpty())
        __builtin_trap();
    return 0;
}
