#include "platform/ui/skin.h"

#include "platform/error_numbers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace kl {

namespace {

RunError skinError(long number, const QString& text) {
    return RunError{number, text, QStringLiteral("SkinFramework")};
}

}  // namespace

StepResult SkinFramework::LoadSkin(const QString& path, const QString& iniName) {
    const QString file =
        QFileInfo(path).isDir() && !iniName.isEmpty() ? QDir(path).filePath(iniName) : path;
    if (!QFileInfo(file).isFile()) {
        return skinError(err::FileNotFound,
                         QStringLiteral("No se encontró el archivo de estilo %1").arg(file));
    }
    QFile skin(file);
    if (!skin.open(QIODevice::ReadOnly)) {
        return skinError(75, QStringLiteral("No se puede leer el archivo de estilo %1").arg(file));
    }
    const QByteArray content = skin.readAll();
    // A binary skin of another skin engine would only fill the log with
    // parse warnings.
    if (content.contains('\0')) {
        return skinError(
            321, QStringLiteral("El archivo de estilo %1 no tiene un formato válido").arg(file));
    }
    styleSheet_ = QString::fromUtf8(content);
    return std::nullopt;
}

void SkinFramework::ApplyWindow(QWidget& window) {
    // Under a program-wide skin the window is dressed already: the same
    // sheet set on the window as well would have Qt restyle each of its
    // controls a second time (a tenth of a second on the configuration
    // window's start-up).
    const bool dressed =
        (options_ & ApplyToApplication) && qApp && qApp->styleSheet() == styleSheet_;
    const QString sheet = dressed ? QString() : styleSheet_;
    if (window.styleSheet() != sheet) window.setStyleSheet(sheet);
}

void SkinFramework::SetApplyOptions(int options) {
    options_ = options;
    if ((options_ & ApplyToApplication) && qApp) qApp->setStyleSheet(styleSheet_);
}

}  // namespace kl
