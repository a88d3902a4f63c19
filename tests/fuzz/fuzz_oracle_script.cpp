// libFuzzer target for the cutting of a SQL Server script into the
// statements the Oracle batch runner executes.

#include "fuzz/rewriting_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString script =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::db::properties::scriptSplitViolation(script).isEmpty()) __builtin_trap();
    return 0;
}
