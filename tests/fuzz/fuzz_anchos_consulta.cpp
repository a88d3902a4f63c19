// libFuzzer target for CONSULTASLEN.KVW: any file gives widths a column can
// take, and writing one table's widths leaves the other tables' alone.

#include "fuzz/anchos_properties.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString archivo = folder.filePath(QStringLiteral("CONSULTASLEN.KVW"));
    if (!kl::consulta::properties::checkAnchos(archivo, bytes).isEmpty()) __builtin_trap();
    return 0;
}
