#include "login/existe_archivo.h"

#include <QFile>

namespace kl {

bool ExisteArchivo(const QString& path) {
    if (path.isEmpty()) return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

}  // namespace kl
