#include "login/registro_conexion.h"

#include "dblayer/db_dll.h"
#include "login/bases_txt.h"
#include "platform/ado/ado.h"
#include "platform/ado/connection_string.h"
#include "platform/textfile.h"
#include "session/brimcor2.h"

namespace kl {

bool ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                       const QString& Password, const QString& Proveedor) {
    db::DB_Dll& db = db::sharedDb();
    bool resultado = true;
    if (db.gOpenFlag) {
        // The flag outlives a failed open; a connection that is already
        // closed says nothing about the one under test.
        const StepResult cerrada = db.gCnn->Close();
        if (cerrada && cerrada->number != ado::err::ObjectClosed) resultado = false;
    }
    using ado::connectionStringValue;
    const QString conexion =
        QStringLiteral("PROVIDER=") + Proveedor + QStringLiteral(";") + QStringLiteral("Server=") +
        connectionStringValue(Servidor) + QStringLiteral(";") + QStringLiteral("Database =") +
        connectionStringValue(Dbname) + QStringLiteral(";") + QStringLiteral("UId=") +
        connectionStringValue(Usuario) + QStringLiteral(";") + QStringLiteral("Pwd=") +
        connectionStringValue(Password) + QStringLiteral(";");
    if (db.gCnn->Open(conexion, QString(), QString(), -1)) return false;
    if (db.gCnn->Close()) resultado = false;
    return resultado;
}

StepResult GrabaConexion(const QString& Nombre, const QString& Base, const QString& Usuario,
                         const QString& Clave, const QString& Servidor, bool EsOracle) {
    login::LineaBases linea;
    linea.nombre = Nombre;
    linea.base = Base;
    linea.usuario = Usuario;
    linea.clave = Brimcor2::CodificaTexto(Clave);
    linea.servidor = EsOracle ? QStringLiteral("#") + Servidor : Servidor;
    return login::agregaLineaBases(login::rutaBasesParaEscribir(), linea);
}

namespace login {

bool esServidorIncorporado(const QString& servidor) {
    return servidor.trimmed().compare(QLatin1String(kServidorIncorporado), Qt::CaseInsensitive) ==
           0;
}

QString parteServidor(const QString& servidor) {
    const QString texto = servidor.toUpper().trimmed();
    const qsizetype dosPuntos = texto.indexOf(u':');
    return dosPuntos < 0 ? texto : texto.left(dosPuntos);
}

QString nombreConexion(const QString& base, const QString& servidor) {
    return base.toUpper().trimmed() + QStringLiteral(" / ") + parteServidor(servidor);
}

QString motivoNoRegistrable(const QString& base, const QString& servidor) {
    const QString texto = base + servidor;
    if (texto.contains(u','))
        return QStringLiteral(
            "La conexion no se puede registrar: la base de datos y el servidor no pueden "
            "contener comas, porque BASES.TXT separa sus campos con comas.");
    if (texto.contains(u'\r') || texto.contains(u'\n'))
        return QStringLiteral(
            "La conexion no se puede registrar: la base de datos y el servidor no pueden "
            "contener saltos de linea.");
    if (!cp1252::canEncode(texto))
        return QStringLiteral(
            "La conexion no se puede registrar: la base de datos o el servidor tienen "
            "caracteres que BASES.TXT no puede guardar.");
    return QString();
}

bool fallaIgnorada(long numero) {
    return numero == ado::err::ObjectClosed || numero == ado::err::hresult(0x80070420) ||
           numero == 1056 || numero == ado::err::AutomationError || numero == 20480;
}

QString textoFallaRegistro(const RunError& e) {
    // Str() of a positive number starts with the blank its sign would take.
    const QString numero =
        e.number < 0 ? QString::number(e.number) : QStringLiteral(" ") + QString::number(e.number);
    return QStringLiteral("SQL Server start failed.  ") + u'\r' +
           QStringLiteral("SQL-DMO error:  ") + numero + u' ' + e.description;
}

QString argumentoODBC(const QString& servidor, const QString& base) {
    return QStringLiteral("Server=") + servidor + QStringLiteral(";DB=") + base +
           QStringLiteral(";");
}

}  // namespace login
}  // namespace kl
