#include "login/bases_txt.h"

#include "platform/settings_files.h"
#include "platform/textfile.h"
#include "session/textos.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace kl::login {

namespace {

constexpr int kCamposPorLinea = 5;
constexpr long kErrorAccesoArchivo = 75;

QString& carpetaInstalada() {
    static QString carpeta;
    return carpeta;
}

RunError errorDeArchivo(const QString& que, const QString& ruta) {
    return {kErrorAccesoArchivo,
            QStringLiteral("Error de acceso a la ruta o el archivo: no se pudo %1 %2")
                .arg(que, QDir::toNativeSeparators(ruta)),
            QStringLiteral("frmAcceso")};
}

}  // namespace

LineaBases leeLineaBases(const QString& linea) {
    QStringList campos = linea.split(u',');
    while (campos.size() < kCamposPorLinea) campos.append(QString());
    return {campos[0].trimmed(), campos[1].trimmed(), campos[2].trimmed(), campos[3].trimmed(),
            campos[4].trimmed()};
}

QString escribeLineaBases(const LineaBases& linea) {
    return QStringList{linea.nombre.trimmed(), linea.base.trimmed(), linea.usuario.trimmed(),
                       linea.clave.trimmed(), linea.servidor.trimmed()}
               .join(u',') +
           QStringLiteral("\r\n");
}

QStringList lineasDe(const QString& texto) {
    QString unificado = texto;
    unificado.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unificado.replace(u'\r', u'\n');
    QStringList lineas = unificado.split(u'\n');
    // What follows the last break is a line only when it holds something.
    if (lineas.last().isEmpty()) lineas.removeLast();
    return lineas;
}

StepResult leeBases(const QString& ruta, std::vector<LineaBases>& lineas) {
    const std::optional<QString> texto = cp1252::readFile(ruta, kLargoMaximoBases);
    if (!texto) return errorDeArchivo(QStringLiteral("leer"), ruta);
    lineas.clear();
    for (const QString& linea : lineasDe(*texto)) lineas.push_back(leeLineaBases(linea));
    return std::nullopt;
}

StepResult agregaLineaBases(const QString& ruta, const LineaBases& linea) {
    const QString carpeta = QFileInfo(ruta).absolutePath();
    if (!QDir().mkpath(carpeta) ||
        !cp1252::appendToFile(ruta, escribeLineaBases(linea), cp1252::FileAccess::OwnerOnly))
        return errorDeArchivo(QStringLiteral("escribir"), ruta);
    return std::nullopt;
}

QString carpetaPrograma() {
    const QString carpeta = carpetaInstalada().isEmpty() ? kl::programFolder() : carpetaInstalada();
    return Brimcor2::AgregaBarra(carpeta);
}

QString installCarpetaPrograma(const QString& carpeta) {
    return std::exchange(carpetaInstalada(), carpeta);
}

namespace {

KeptFilesFolders carpetasBases() {
    return keptFilesFolders(carpetaPrograma());
}

}  // namespace

QString rutaBases() {
    return keptFileToRead(QLatin1String(kArchivoBases), carpetasBases());
}

QString rutaBasesParaEscribir() {
    return keptFileToWrite(QLatin1String(kArchivoBases), carpetasBases());
}

}  // namespace kl::login
