// libFuzzer target: any INI file's lines never break the reader, what it
// answers stands in the file, and a section appended after them is found.

#include "fuzz/input_properties.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!kl::properties::iniViolation(folder.filePath(QStringLiteral("fuzz.ini")), bytes).isEmpty())
        __builtin_trap();
    return 0;
}
