#include "login/acceso_directo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

namespace kl::login {

namespace {

constexpr long kErrorAccesoArchivo = 75;
constexpr char kRecursoIcono[] = ":/icons/ICONKVT";
constexpr int kLadoIcono = 256;

// A string value of a desktop entry: backslashes and line breaks escaped.
QString valorEntrada(const QString& texto) {
    QString valor;
    for (const QChar c : texto) {
        if (c == u'\\') {
            valor += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            valor += QStringLiteral("\\n");
        } else if (c == u'\r') {
            valor += QStringLiteral("\\r");
        } else {
            valor += c;
        }
    }
    return valor;
}

// The Exec key quotes the program and escapes inside the quotes what a
// shell would read; "%" introduces field codes and is doubled. The result
// is then a string value like any other.
QString ejecutable(const QString& programa) {
    QString citado = QStringLiteral("\"");
    for (const QChar c : programa) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') citado += u'\\';
        citado += c;
        if (c == u'%') citado += u'%';
    }
    citado += u'"';
    return valorEntrada(citado);
}

RunError falla(const QString& ruta) {
    return {
        kErrorAccesoArchivo,
        QStringLiteral("No se pudo crear el acceso directo %1").arg(QDir::toNativeSeparators(ruta)),
        QStringLiteral("frmAcceso")};
}

}  // namespace

QString carpetaEscritorio() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString contenidoEntradaEscritorio(const QString& nombre, const QString& programa,
                                   const QString& icono) {
    QString texto = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.0\n");
    texto += QStringLiteral("Name=") + valorEntrada(nombre) + u'\n';
    texto += QStringLiteral("Exec=") + ejecutable(programa) + u'\n';
    texto += QStringLiteral("Path=") + valorEntrada(QFileInfo(programa).absolutePath()) + u'\n';
    if (!icono.isEmpty()) texto += QStringLiteral("Icon=") + valorEntrada(icono) + u'\n';
    texto += QStringLiteral("Terminal=false\n");
    return texto;
}

StepResult creaAccesoDirecto(const QString& carpeta, const QString& programa, const QIcon& icono,
                             AccesoDirecto* creado) {
    const QString nombre = QFileInfo(programa).completeBaseName().trimmed();
    const QDir destino(carpeta);
    const QString entrada = destino.filePath(nombre + QStringLiteral(".desktop"));
    if (!QDir().mkpath(carpeta)) return falla(entrada);

    QString archivoIcono;
    if (!icono.isNull()) {
        archivoIcono = destino.filePath(u'.' + nombre + QStringLiteral(".png"));
        const QPixmap imagen = icono.pixmap(icono.actualSize(QSize(kLadoIcono, kLadoIcono)));
        if (!imagen.save(archivoIcono, "PNG")) return falla(archivoIcono);
    }

    // Desktop entries are UTF-8, whatever the module's own files use.
    QSaveFile archivo(entrada);
    const QByteArray texto = contenidoEntradaEscritorio(nombre, programa, archivoIcono).toUtf8();
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(texto) != texto.size() ||
        !archivo.commit())
        return falla(entrada);
    QFile::setPermissions(
        entrada, QFile::permissions(entrada) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    if (creado) *creado = {entrada, archivoIcono};
    return std::nullopt;
}

QIcon iconoPrograma() {
    if (QFile::exists(QLatin1String(kRecursoIcono))) return QIcon(QLatin1String(kRecursoIcono));
    return QGuiApplication::windowIcon();
}

}  // namespace kl::login
