#include "session/control_acceso.h"

#include "dblayer/db_dll.h"
#include "dblayer/program_info.h"
#include "dblayer/sql_text.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

namespace kl {

namespace {

// The classic notation's "mm" is the month in a date and the minutes in a
// time; Qt spells the month "MM" and the 24-hour clock "HH".
QString formaQtDeFecha(QString forma) {
    return forma.replace(QStringLiteral("mm"), QStringLiteral("MM"));
}

QString formaQtDeHora(QString forma) {
    return forma.replace(QStringLiteral("hh"), QStringLiteral("HH"));
}

}  // namespace

QString FormatoFecha() {
    return QStringLiteral("dd/mm/yy");
}

QString FormatoHora() {
    return QStringLiteral("hh:mm");
}

QString marcaDeAcceso(const QDateTime& momento) {
    return momento.toString(formaQtDeFecha(FormatoFecha())) + u' ' +
           momento.toString(formaQtDeHora(FormatoHora()));
}

void ControlAcceso() {
    Sesion& s = sesion();
    db::DB_Dll& db = db::sharedDb();
    // The executable as it was started: a copy named KL000PR is the main menu.
    const QString programa = db::executableName();
    if (s.gUsuarioLogeado.isEmpty()) s.gUsuarioLogeado = db.gUsuario;

    // A user with a quote in the name (O'Brien) must find his tasks, and
    // cannot change the statement.
    QString sql =
        QStringLiteral(
            "SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , "
            "TA_MENU.Nombre ") +
        QStringLiteral(" FROM TA_TAREAS INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave ") +
        QStringLiteral(" WHERE (TA_TAREAS.USUARIO = ") + db::sqlQuoted(s.gUsuarioLogeado) +
        QStringLiteral(") AND (TA_MENU.Proceso LIKE ") + db::sqlQuoted(u'%' + programa + u'%') +
        u')';
    ado::Recordset tareas;
    db.AbrirRecordset(sql, tareas);
    QString tarea;
    if (tareas.State() == ado::adStateOpen && !tareas.EOF()) {
        tarea = Brimcor2::ValorNoNulo(tareas.value(QStringLiteral("Nombre")));
    } else if (programa.compare(QStringLiteral("KL000PR"), Qt::CaseInsensitive) == 0) {
        tarea = QStringLiteral("Menu Principal");
    }
    db.CierraRecordset(tareas);

    // Each statement's failure is passed over and the next one runs: the
    // access log must never keep the program from starting. A recordset that
    // did not open makes the following statements fail harmlessly.
    ado::Recordset acceso;
    acceso.Open(QStringLiteral("Select top 1 * from Control_Acceso"), *db.gCnn, ado::adOpenDynamic,
                ado::adLockOptimistic);
    acceso.AddNew();
    acceso.setValue(QStringLiteral("Maquina"), Brimcor2::NombreMaquina().trimmed().toUpper());
    acceso.setValue(QStringLiteral("Usuario"), Brimcor2::UsuarioWindows().trimmed().toUpper());
    acceso.setValue(QStringLiteral("Formulario"), QString());
    acceso.setValue(QStringLiteral("Tarea"), tarea.trimmed().toUpper());
    acceso.setValue(QStringLiteral("Ingreso"), marcaDeAcceso(QDateTime::currentDateTime()));
    acceso.setValue(QStringLiteral("NombreUsuario"), s.gUsuarioLogeado);
    if (!acceso.Update()) {
        const Value id = acceso.value(QStringLiteral("ID"));
        if (!id.isEmpty() && !id.isNull()) s.gIdAcceso = id;
    }
}

void RegistraEgreso() {
    const Value& id = sesion().gIdAcceso;
    if (id.isEmpty() || id.isNull()) return;
    db::DB_Dll& db = db::sharedDb();
    QString sql = QStringLiteral("UPDATE CONTROL_ACCESO ") + QStringLiteral(" SET EGRESO = '") +
                  marcaDeAcceso(QDateTime::currentDateTime()) + u'\'' +
                  QStringLiteral(" WHERE EGRESO IS NULL AND ") + QStringLiteral(" ID = ") +
                  QString::number(id.toInt64());
    long afectados = 0;
    db.EjecutaConsultaSQL(sql, afectados);
    const ado::Errors& errores = db.gCnn->errors();
    if (!errores.empty()) MsgBox(errores.Item(0).Description);
}

}  // namespace kl
