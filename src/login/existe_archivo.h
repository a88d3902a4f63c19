#pragma once

#include <QString>

namespace kl {

// True when the file can be opened for reading; never fails (a folder, a
// missing file or one without read permission gives false).
bool ExisteArchivo(const QString& path);

}  // namespace kl
