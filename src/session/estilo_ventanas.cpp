#include "session/estilo_ventanas.h"

#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "platform/module_settings.h"
#include "platform/settings_files.h"
#include "platform/ui/skin.h"
#include "session/brimcor2.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace kl {

namespace {

QString enEstilos(const QString& nombre) {
    return QStringLiteral("Styles") + QDir::separator() + nombre;
}

}  // namespace

void AsignaIcono(QWidget& window) {
    const QString nombre = readModuleSetting(
        QStringLiteral("Iconos"), QStringLiteral("IconoDelSistema"), QStringLiteral("ICONKVT"));
    const QString recurso = QStringLiteral(":/icons/") + nombre.trimmed();
    if (!nombre.trimmed().isEmpty() && QFile::exists(recurso)) window.setWindowIcon(QIcon(recurso));
    if (QString::fromLatin1(window.metaObject()->className())
            .compare(QStringLiteral("FRMMDI"), Qt::CaseInsensitive) == 0) {
        return;
    }
    Brimcor2::AjustaVentana(&window);
    // The flat-toolbar setting has nothing to act on: Qt draws toolbars flat
    // and the program's windows have none.
    DoEvents();
}

ArchivoDeEstilo archivoDeEstilo(int numero) {
    switch (numero) {
        case 1:
            return {enEstilos(QStringLiteral("Vista.cjstyles")), QString()};
        case 2:
            return {enEstilos(QStringLiteral("WinXP.Luna.cjstyles")), QString()};
        case 3:
            return {enEstilos(QStringLiteral("WinXP.Royale.cjstyles")), QString()};
        case 4:
            return {enEstilos(QStringLiteral("iTunes")), QStringLiteral("Normalitunes.ini")};
        default:
            return {enEstilos(QStringLiteral("Office2007.cjstyles")), QString()};
    }
}

int numeroDeEstilo() {
    const QString seccion = Brimcor2::UsuarioWindows().toUpper() + QStringLiteral("Styles");
    const QString numero = readSetting(QString::fromLatin1(kUserSettingsFile), seccion,
                                       QStringLiteral("Styles"), QStringLiteral("1"));
    // A number too big for an int still picks the skin of "any other number".
    const double valor = conv::roundHalfEven(conv::leadingNumber(numero));
    return static_cast<int>(std::clamp(valor, static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

StepResult AplicaEstiloVisual(QWidget& window, SkinFramework& skin) {
    const ArchivoDeEstilo estilo = archivoDeEstilo(numeroDeEstilo());
    // Beside the program, or in the installed layout's data folder.
    const QString carpeta = Brimcor2::AgregaBarra(
        QDir::toNativeSeparators(shippedFolder(QStringLiteral("Styles"), Shipped::Data)));
    if (StepResult falla = skin.LoadSkin(carpeta + estilo.archivo, estilo.ini)) return falla;
    // The program's skin first: the window then wears it without a second
    // restyling of its controls.
    skin.SetApplyOptions(skin.ApplyOptions() | SkinFramework::ApplyToApplication);
    skin.ApplyWindow(window);
    return std::nullopt;
}

}  // namespace kl
