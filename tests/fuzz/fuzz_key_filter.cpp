// libFuzzer target for the typing filters of the configuration's text
// boxes: whatever is typed or pasted, a box holds only what its filters let
// through, and the caret keeps its place.

#include "fuzz/key_filter_properties.h"
#include "fuzz/offscreen_application.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kl::properties::ensureOffscreenApplication();
    static QLineEdit* caja = new QLineEdit;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::config::properties::checkFiltros(*caja, bytes).isEmpty()) __builtin_trap();
    return 0;
}
