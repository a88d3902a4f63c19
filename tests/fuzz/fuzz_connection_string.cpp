// libFuzzer target: values written with connectionStringValue read back
// exactly from their pairs, and any text read as a connection string keeps
// its password among the secrets.

#include "fuzz/input_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::connectionStringViolation(QString::fromUtf8(bytes)).isEmpty())
        __builtin_trap();
    return 0;
}
