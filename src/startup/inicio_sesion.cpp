#include "startup/inicio_sesion.h"

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "dblayer/program_info.h"
#include "dblayer/sql_text.h"
#include "lookup/consultas_programa.h"
#include "lookup/lib_clscons3.h"
#include "platform/conversions.h"
#include "platform/error_numbers.h"
#include "platform/module_settings.h"
#include "platform/settings_files.h"
#include "progress/dll_display.h"
#include "session/brimcor2.h"
#include "session/control_acceso.h"
#include "session/ini_contable.h"
#include "session/parametros_sesion.h"
#include "session/sesion.h"

#include <QDir>

#include <cstdio>
#include <utility>

namespace kl {

namespace {

QString& lineaDeComandos() {
    static QString parametros;
    return parametros;
}

// A person may start the program from a shell: say why it ends at once.
void terminaSinConexion(const db::DB_Dll& db) {
    const QString linea = QStringLiteral(
                              "%1: no se pudo conectar con la base de datos \"%2\" del "
                              "servidor \"%3\"; el programa termina.")
                              .arg(db::executableName(), db.gDBName, db.gServidor);
    std::fprintf(stderr, "%s\n", linea.toLocal8Bit().constData());
    std::fflush(stderr);
    db::endProgram();
}

}  // namespace

void setCommandLine(const QString& parametros) {
    lineaDeComandos() = parametros;
}

QString commandLine() {
    return lineaDeComandos();
}

void IniciaSesion() {
    Sesion& s = sesion();
    db::DB_Dll& db = db::sharedDb();
    // The layer proposes this user in the login window, checks whether he is
    // an administrator, and hides confidential tables as his settings say.
    db::SessionLink enlace;
    enlace.usuarioLogeado = [] { return sesion().gUsuarioLogeado; };
    enlace.confidencialidad = [] { return sesion().gConfidencialidad; };
    db::installSessionLink(std::move(enlace));

    const QString carpetaPrograma =
        Brimcor2::AgregaBarra(QDir::toNativeSeparators(kl::programFolder()));
    s.gSeccionMaquina =
        Brimcor2::NombreMaquina().toUpper() + u'|' + Brimcor2::UsuarioWindows().toUpper();
    const QString plano =
        readModuleSetting(s.gSeccionMaquina, QStringLiteral("FlatToolbars"), QStringLiteral("1"));
    s.gFlatToolbars = conv::leadingNumber(plano) != 0;

    if (!db.gOpenFlag) {
        const ParametrosSesion p = leeParametrosSesion(commandLine());
        s.gParametroAdicional = p.parametroAdicional;
        s.gMenu = p.menu;
        s.gUsuarioLogeado = p.usuarioLogeado;
        s.gCaja = p.caja;
        db.gUsuario = p.usuario;
        db.gDBName = p.baseDeDatos;
        db.gUserPassWord = p.password;
        db.gServidor = p.servidor;
        // A start without parameters (the desktop's menu entry) names no
        // server: the operator picks the database in the login window at
        // once, instead of after a driver's error about an empty server.
        const bool sinServidor = p.servidor.trimmed().isEmpty();
        db.OpenServerADODB(sinServidor, ado::adUseClient, QString(), true, true);
        if (!db.gOpenFlag) {
            terminaSinConexion(db);
            return;
        }
        db.gCnn->setCommandTimeout(360);
        // An invalid argument (5), and an item missing from a collection while
        // the connection reports nothing (3265), skip the statement; any other
        // failure ends the start-up, silently.
        const FailureNotice regla = [&db](const RunError& e) {
            const bool saltable = e.number == ado::err::InvalidArgument ||
                                  (e.number == ado::err::ItemNotFound && db.gCnn->errors().empty());
            return saltable ? answer::Ignore : answer::Abort;
        };
        if (runStep([&] { return db.gCnn->setDefaultDatabase(db.gDBName); }, regla) ==
            StepOutcome::Abandoned)
            return;
    }

    EstableceRutaAplicacion(carpetaPrograma);
    Lib_ClsCons3& consultas = sharedConsultas();
    consultas.gConnString = db.gConnString;
    consultas.gUsarMascarasConsultas = true;
    consultas.gRutaMascaraConsultas = carpetaPrograma + QStringLiteral("consultas.kvw");
    instalaConsultasDelPrograma();
    // From here on the user is the one the connection was made with.
    s.gUsuarioLogeado = db.gUsuario;
    IniContable();
    ControlAcceso();
}

void FinalizaSesion() {
    RegistraEgreso();
    // The shared component keeps no objects of its own: its operations are
    // plain functions.
    EstableceRutaAplicacion(QString());
    releaseSharedConsultas();
    releaseDllDisplay();
    db::releaseSharedDb();
}

}  // namespace kl
