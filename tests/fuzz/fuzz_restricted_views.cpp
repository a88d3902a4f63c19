// libFuzzer target for the confidentiality rewriting: for every reader, no
// marker reaches the database and, for a non-administrator, no reference a
// restricted view covers is left pointing at the full table.

#include "fuzz/rewriting_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString statement =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const kl::db::StatementReader& reader : kl::db::properties::readers()) {
        if (!kl::db::properties::restrictedViewsViolation(statement, reader).isEmpty())
            __builtin_trap();
    }
    return 0;
}
