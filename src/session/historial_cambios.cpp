#include "session/historial_cambios.h"

#include "dblayer/db_dll.h"
#include "dblayer/program_info.h"
#include "dblayer/sql_text.h"
#include "dblayer/transaction.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"
#include "session/sesion.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <memory>

namespace kl::historial {

namespace {

const QString kNombreTabla = QString::fromLatin1(kTabla);

// Whether the layer's connection has the table, asked once per connection:
// a reconnection makes a new one, and the database may have been upgraded
// meanwhile.
struct Estado {
    // Weak, so that a new connection is never taken for a freed one.
    std::weak_ptr<ado::Connection> conexion;
    bool disponible = false;
    bool avisado = false;
};

Estado& estado() {
    static Estado e;
    return e;
}

bool disponible(db::DB_Dll& db) {
    Estado& e = estado();
    if (e.conexion.lock() != db.gCnn) {
        e.conexion = db.gCnn;
        e.disponible = db.ExisteTablaDB(kNombreTabla);
    }
    return e.disponible;
}

// Straight to the connection: the layer's own execution would reconnect
// and repeat a failed statement outside the caller's transaction.
StepResult ejecuta(db::DB_Dll& db, const QString& sql) {
    QString sentencia;
    if (StepResult e = db.ORACLE_Dicc(sql, sentencia)) return e;
    return db.gCnn->Execute(sentencia);
}

QString texto(const QString& valor) {
    return db::sqlQuoted(valor.left(kLargoValor));
}

}  // namespace

QString sentenciaCreacion() {
    return QStringLiteral(
               "CREATE TABLE %1 (\n"
               "  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,\n"
               "  FECHAHORA DATETIME NOT NULL,\n"
               "  NOMBREUSUARIO VARCHAR(50) NULL,\n"
               "  MAQUINA VARCHAR(50) NULL,\n"
               "  USUARIO VARCHAR(50) NULL,\n"
               "  PROGRAMA VARCHAR(50) NULL,\n"
               "  OPERACION VARCHAR(30) NOT NULL,\n"
               "  CLAVE VARCHAR(100) NULL,\n"
               "  VALOR_ANTERIOR VARCHAR(%2) NULL,\n"
               "  VALOR_NUEVO VARCHAR(%2) NULL,\n"
               "  DETALLE VARCHAR(%2) NULL)")
        .arg(kNombreTabla)
        .arg(kLargoValor);
}

Puesto puestoActual() {
    const Sesion& s = sesion();
    return {s.gUsuarioLogeado.isEmpty() ? db::sharedDb().gUsuario : s.gUsuarioLogeado,
            Brimcor2::NombreMaquina().trimmed().toUpper(),
            Brimcor2::UsuarioWindows().trimmed().toUpper(), db::executableName()};
}

QString sentenciaRegistro(const std::vector<Cambio>& cambios, size_t desde, size_t hasta,
                          const Puesto& p) {
    QStringList filas;
    for (size_t i = desde; i < hasta; ++i) {
        const Cambio& c = cambios[i];
        filas << QStringLiteral("(GETDATE(), %1, %2, %3, %4, %5, %6, %7, %8, %9)")
                     .arg(db::sqlQuoted(p.usuarioPrograma.left(50)),
                          db::sqlQuoted(p.maquina.left(50)),
                          db::sqlQuoted(p.usuarioSistema.left(50)),
                          db::sqlQuoted(p.programa.left(50)), db::sqlQuoted(c.operacion.left(30)),
                          db::sqlQuoted(c.clave.left(100)), texto(c.anterior), texto(c.nuevo),
                          texto(c.detalle));
    }
    return QStringLiteral(
               "INSERT INTO %1 (FECHAHORA, NOMBREUSUARIO, MAQUINA, USUARIO, PROGRAMA, OPERACION, "
               "CLAVE, VALOR_ANTERIOR, VALOR_NUEVO, DETALLE) VALUES ")
               .arg(kNombreTabla) +
           filas.join(QStringLiteral(", "));
}

QString sentenciaRegistro(const Cambio& c, const Puesto& p) {
    return sentenciaRegistro({c}, 0, 1, p);
}

void PreparaHistorial() {
    db::DB_Dll& db = db::sharedDb();
    if (!db.gCnn || disponible(db)) return;
    // Another station may create it between the question and the statement:
    // the table being there is what counts.
    const StepResult creada = ejecuta(db, sentenciaCreacion());
    estado().conexion.reset();
    if (disponible(db)) return;
    Estado& e = estado();
    if (e.avisado) return;
    e.avisado = true;
    MsgBox(QStringLiteral("No se registrarán los cambios de la configuración: la base de datos no "
                          "tiene la tabla del historial de cambios (%1) y no se pudo crear.\r\r"
                          "%2\r\rPida al administrador que ejecute \"klbase actualizar\" o que "
                          "cree la tabla.")
               .arg(kNombreTabla, creada ? creada->description : QString()),
           mb::OkOnly | mb::Exclamation, QStringLiteral("Aviso al operador"));
}

StepResult RegistraCambio(const Cambio& cambio) {
    return RegistraCambios({cambio});
}

StepResult RegistraCambios(const std::vector<Cambio>& cambios) {
    // SQL Server takes at most 1000 rows in one VALUES.
    constexpr size_t kFilasPorInsert = 500;
    db::DB_Dll& db = db::sharedDb();
    if (cambios.empty() || !db.gCnn || !disponible(db)) return std::nullopt;
    const Puesto puesto = puestoActual();
    for (size_t desde = 0; desde < cambios.size(); desde += kFilasPorInsert) {
        const size_t hasta = std::min(cambios.size(), desde + kFilasPorInsert);
        if (StepResult e = ejecuta(db, sentenciaRegistro(cambios, desde, hasta, puesto))) return e;
    }
    return std::nullopt;
}

StepResult EjecutaRegistrando(const QString& sql, long& afectados, const Cambio& cambio) {
    afectados = 0;
    if (!db::sharedDb().gCnn)
        return RunError{ado::err::ConnectionClosed,
                        QStringLiteral("No hay conexión con la base de datos."), kNombreTabla};
    db::Transaction transaccion;
    if (StepResult e = transaccion.begin()) return e;
    if (StepResult e = transaccion.execute(sql, &afectados)) return e;
    if (afectados > 0) {
        if (StepResult e = RegistraCambio(cambio)) return transaccion.withDetail(e);
    }
    return transaccion.commit();
}

Cambio cambioRenumeracion(const DigitosNiveles& anteriores, const DigitosNiveles& nuevos,
                          std::int64_t cuentas, std::int64_t renglones) {
    auto estructura = [](const DigitosNiveles& d) {
        QStringList partes;
        for (std::int16_t n : d) partes << QString::number(n);
        return partes.join(u'-');
    };
    QStringList claves, niveles;
    for (int i = 0; i < kNivelesCuenta; ++i) {
        if (anteriores[i] == nuevos[i]) continue;
        claves << QString::fromLatin1(kClavesDigitosNivel[i]);
        niveles << QStringLiteral("nivel %1 de %2 a %3 dígitos")
                       .arg(i + 1)
                       .arg(anteriores[i])
                       .arg(nuevos[i]);
    }
    const QLocale local(QLocale::Spanish, QLocale::Argentina);
    return {QString::fromUtf8(kRenumeracion), claves.join(QStringLiteral(", ")),
            estructura(anteriores), estructura(nuevos),
            niveles.join(QStringLiteral("; ")) +
                QStringLiteral("; %1 cuentas y %2 renglones de asientos renumerados")
                    .arg(local.toString(static_cast<qlonglong>(cuentas)),
                         local.toString(static_cast<qlonglong>(renglones)))};
}

Cambio cambioEjercicioNuevo(int periodo, const QString& nombre, const QString& desde,
                            const QString& hasta) {
    return {
        QString::fromUtf8(kEjercicioNuevo), QStringLiteral("Ejercicio %1").arg(periodo), QString(),
        QStringLiteral("%1, del %2 al %3").arg(nombre.trimmed(), desde.trimmed(), hasta.trimmed())};
}

const QStringList& columnasLectura() {
    // What changed first, who changed it after: the list shows the first
    // columns whole.
    static const QStringList columnas{"Fecha y hora",   "Operacion",           "Clave",
                                      "Valor anterior", "Valor nuevo",         "Usuario",
                                      "Maquina",        "Usuario del sistema", "Detalle"};
    return columnas;
}

QString sentenciaLectura(const Filtro& f, const ado::Connection& cnn) {
    static const char* const kOrigen[] = {"FECHAHORA",      "OPERACION",   "CLAVE",
                                          "VALOR_ANTERIOR", "VALOR_NUEVO", "NOMBREUSUARIO",
                                          "MAQUINA",        "USUARIO",     "DETALLE"};
    QStringList columnas;
    for (qsizetype i = 0; i < columnasLectura().size(); ++i)
        columnas
            << QStringLiteral("%1 AS [%2]").arg(QLatin1String(kOrigen[i]), columnasLectura()[i]);
    QStringList condiciones;
    if (!f.clave.trimmed().isEmpty())
        condiciones << QStringLiteral("CLAVE LIKE ") +
                           db::sqlQuoted(u'%' + f.clave.trimmed() + u'%');
    if (f.desde)
        condiciones << QStringLiteral("FECHAHORA >= ") +
                           cnn.dateLiteral(QDateTime(*f.desde, QTime(0, 0)));
    if (f.hasta)
        condiciones << QStringLiteral("FECHAHORA < ") +
                           cnn.dateLiteral(QDateTime(f.hasta->addDays(1), QTime(0, 0)));
    QString sql = QStringLiteral("SELECT ") + columnas.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM ") + kNombreTabla;
    if (!condiciones.isEmpty())
        sql += QStringLiteral(" WHERE ") + condiciones.join(QStringLiteral(" AND "));
    return sql + QStringLiteral(" ORDER BY ID DESC");
}

}  // namespace kl::historial
