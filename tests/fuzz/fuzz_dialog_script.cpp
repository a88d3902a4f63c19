// libFuzzer target for the script of answers (KL_GUION_AVISOS): each line
// gives one answer or one problem, and the boxes take the answers in order.

#include "fuzz/dialog_script_properties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::dialogScriptViolation(bytes).isEmpty()) __builtin_trap();
    return 0;
}
