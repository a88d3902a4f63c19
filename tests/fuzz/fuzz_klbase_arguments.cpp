// libFuzzer target for klbase's command line: any arguments end with a
// status and the usage when they are wrong, and no file is ever replaced.

#include "fuzz/klbase_arguments_properties.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::klbase::properties::argumentsViolation(QDir(folder.path()), bytes).isEmpty())
        __builtin_trap();
    return 0;
}
