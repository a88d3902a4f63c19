#include "dblayer/messages.h"

#include "dblayer/program_info.h"

namespace kl::db {

namespace {

const QString kCR = QStringLiteral("\r");
const QString kCRLF = QStringLiteral("\r\n");

}  // namespace

QString connectionErrorText(const ado::Error& e, const QString& servidor, const QString& usuario) {
    return QStringLiteral(" Estado de Sql: ") + e.SQLState + kCR +
           QStringLiteral("Numero de Error: ") + QString::number(e.Number) + kCR +
           QStringLiteral("Descripcion: ") + e.Description + kCR +
           QStringLiteral("Codigo Nativo: ") + QString::number(e.NativeError) + kCR + kCRLF +
           QStringLiteral("Nombre de Proceso: ") + executableName() + kCR + kCRLF + kCRLF +
           QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + kCRLF +
           QStringLiteral(
               "2. Verifique el nombre del servidor, quizas necesite agregarle el "
               "nombre de la instancia, por ejemplo : ") +
           servidor + QStringLiteral("\\BRIMCOR") + kCRLF +
           QStringLiteral("3. Verifique si el inicio de sesion para el usuario ") + usuario +
           QStringLiteral(" existe") + kCRLF + kCRLF + kCRLF +
           QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
}

QString lostConnectionText(const QString& dbName, const QString& servidor) {
    return kCRLF + kCRLF + kCRLF + QStringLiteral("Se perdio la conexion con la base de datos ") +
           dbName + kCRLF + QStringLiteral(" Servidor ") + servidor + kCRLF + kCRLF +
           QStringLiteral("Elija SI para reintentar conectarse") + kCRLF +
           QStringLiteral("Elija NO para cerrar la aplicacion") + kCRLF + kCRLF + kCRLF;
}

}  // namespace kl::db
