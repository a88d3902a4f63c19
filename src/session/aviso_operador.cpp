#include "session/aviso_operador.h"

#include "dblayer/error_log.h"
#include "platform/error_numbers.h"
#include "platform/textfile.h"
#include "session/brimcor2.h"

#include <QDir>

#include <cstdio>

namespace kl {

namespace {

void informaRegistroFallido(const QString& archivo) {
    std::fprintf(stderr, "%s\n",
                 QStringLiteral("No se pudo escribir el registro de errores %1")
                     .arg(QDir::toNativeSeparators(archivo))
                     .toLocal8Bit()
                     .constData());
}

}  // namespace

QString carpetaRegistroErrores() {
    QString carpeta;
    if (!qEnvironmentVariable("TEMP").isEmpty()) carpeta = qEnvironmentVariable("TMP").trimmed();
    if (carpeta.isEmpty()) carpeta = Brimcor2::CarpetaSistema();
    carpeta = Brimcor2::AgregaBarra(carpeta);
    if (!carpeta.endsWith(QDir::separator())) carpeta += QDir::separator();
    return carpeta;
}

QString archivoRegistroErrores() {
    return carpetaRegistroErrores() + QStringLiteral("KVERR.LOG");
}

int AvisoOperador(const RunError& errObj, int botones, const QString& rutina) {
    const QString archivo = archivoRegistroErrores();
    // Opening for appending creates the log, also when there is nothing to show.
    const bool registroAbierto = db::appendErrorLog(archivo, QString());
    if (!registroAbierto) informaRegistroFallido(archivo);
    if (errObj.number == ado::err::AlreadyShown) return 0;

    const db::ErrorNoticeText aviso =
        db::errorNoticeText(errObj, rutina, QStringLiteral(" Aviso al operador!!! "));
    const int respuesta = MsgBox(aviso.message, botones, aviso.title);
    if (registroAbierto && !db::logErrorNotice(archivo, rutina, aviso.message, respuesta))
        informaRegistroFallido(archivo);
    return respuesta;
}

FailureNotice avisoOperadorPara(const QString& rutina) {
    return [rutina](const RunError& e) { return AvisoOperador(e, kEstiloAvisoOperador, rutina); };
}

QString destinoParaShell(const QString& destino) {
    if (!destino.contains(u'"') && destino.contains(u' ')) return u'"' + destino + u'"';
    return destino;
}

bool AbreDocumento(const QString& destino, bool mostrar) {
    return Brimcor2::EjecutaDocumento(destinoParaShell(destino), mostrar ? 6 : 0);
}

}  // namespace kl
