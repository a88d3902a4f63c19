// libFuzzer target for the skin files: a binary skin is refused and keeps
// the skin before; any other dresses a window without breaking it.

#include "fuzz/offscreen_application.h"
#include "fuzz/skin_properties.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kl::properties::ensureOffscreenApplication();
    static const QTemporaryDir folder;
    static kl::properties::SkinnedWindow* window = new kl::properties::SkinnedWindow;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::skinViolation(QDir(folder.path()), *window, bytes).isEmpty())
        __builtin_trap();
    return 0;
}
