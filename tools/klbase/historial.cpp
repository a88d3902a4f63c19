#include "historial.h"

#include "order_messages.h"
#include "program_session.h"

#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/textfile.h"
#include "session/historial_cambios.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace kl::klbase {

namespace {

const QString kUso = QStringLiteral(
    "klbase historial CONEXION [CLAVE] [--desde dd/mm/aaaa] [--hasta dd/mm/aaaa] "
    "[--csv ARCHIVO]");

using Fila = QStringList;

QString textoDe(const Value& v) {
    if (v.kind() == Value::Kind::Date) return conv::formatDateTime(v.toDateTime());
    return v.isNull() || v.isEmpty() ? QString() : v.toString().trimmed();
}

// A field as a spreadsheet reads it back: quoted when it holds the
// separator, a quote or a line break, inner quotes doubled.
QString campoCsv(QString texto) {
    if (!texto.contains(u';') && !texto.contains(u'"') && !texto.contains(u'\n') &&
        !texto.contains(u'\r'))
        return texto;
    return u'"' + texto.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString csv(const std::vector<Fila>& filas) {
    QString texto;
    auto linea = [&texto](const Fila& fila) {
        QStringList campos;
        for (const QString& campo : fila) campos << campoCsv(campo);
        texto += campos.join(u';') + QStringLiteral("\r\n");
    };
    linea(historial::columnasLectura());
    for (const Fila& fila : filas) linea(fila);
    return texto;
}

// Columns as wide as their widest text (up to a limit), separated by two
// blanks; longer texts are cut with "...".
QString tabla(const std::vector<Fila>& filas) {
    constexpr qsizetype kAnchoMaximo = 40;
    const QStringList& titulos = historial::columnasLectura();
    std::vector<qsizetype> anchos;
    for (const QString& t : titulos) anchos.push_back(t.size());
    for (const Fila& f : filas)
        for (qsizetype i = 0; i < f.size(); ++i)
            anchos[i] = std::min(kAnchoMaximo, std::max(anchos[i], f[i].size()));
    QString texto;
    auto linea = [&](const Fila& fila) {
        QStringList campos;
        for (qsizetype i = 0; i < fila.size(); ++i) {
            QString c = fila[i].simplified();
            if (c.size() > anchos[i]) c = c.left(anchos[i] - 3) + QStringLiteral("...");
            campos << c.leftJustified(anchos[i]);
        }
        texto += campos.join(QStringLiteral("  ")).trimmed() + u'\n';
    };
    linea(titulos);
    for (const Fila& f : filas) linea(f);
    return texto;
}

bool abre(ProgramSession& session, const QString& conexion) {
    // A connection string opens as the program opens it; anything else
    // names an embedded file.
    if (!conexion.contains(u'=')) return session.open(conexion);
    db::DB_Dll& db = db::sharedDb();
    db.OpenServerADODB(false, ado::adUseClient, conexion, true, true);
    return db.gOpenFlag && db.gCnn && db.gCnn->State() == ado::adStateOpen;
}

}  // namespace

int muestraHistorial(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    historial::Filtro filtro;
    QString archivoCsv;
    for (const char* opcion : {"--desde", "--hasta", "--csv"}) {
        const qsizetype at = args.indexOf(QLatin1String(opcion));
        if (at < 0) continue;
        if (at + 1 >= args.size())
            return orderBadUsage(err, QStringLiteral("falta el valor de %1").arg(opcion), kUso);
        const QString valor = args[at + 1];
        args.remove(at, 2);
        if (QLatin1String(opcion) == QLatin1String("--csv")) {
            archivoCsv = valor;
            continue;
        }
        const std::optional<QDate> dia = conv::parseDate(valor.trimmed());
        if (!dia)
            return orderBadUsage(
                err, QStringLiteral("%1 debe ser una fecha dd/mm/aaaa: %2").arg(opcion, valor),
                kUso);
        (QLatin1String(opcion) == QLatin1String("--desde") ? filtro.desde : filtro.hasta) = *dia;
    }
    if (args.isEmpty() || args.size() > 2)
        return orderBadUsage(err, QStringLiteral("cantidad de argumentos incorrecta"), kUso);
    if (args.size() == 2) filtro.clave = args[1];
    if (!archivoCsv.isEmpty() && QFileInfo::exists(archivoCsv))
        return orderFailed(err, QStringLiteral("El archivo %1 ya existe; klbase no reemplaza "
                                               "archivos existentes.")
                                    .arg(archivoCsv));

    ProgramSession session(QStringLiteral("sa"));
    if (!abre(session, args[0]))
        return orderFailed(err, QStringLiteral("no se pudo abrir la base de datos %1: %2")
                                    .arg(args[0], session.lastBox()));
    db::DB_Dll& db = db::sharedDb();
    if (!db.ExisteTablaDB(QString::fromLatin1(historial::kTabla)))
        return orderFailed(err, QStringLiteral("la base %1 no tiene historial de cambios (%2); "
                                               "\"klbase actualizar\" lo crea")
                                    .arg(args[0], QString::fromLatin1(historial::kTabla)));
    QString sql = historial::sentenciaLectura(filtro, *db.gCnn);
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    if (rs.State() != ado::adStateOpen)
        return orderFailed(
            err, QStringLiteral("no se pudo leer el historial: %1").arg(session.lastBox()));
    std::vector<Fila> filas;
    for (; !rs.EOF(); rs.MoveNext()) {
        Fila fila;
        for (int i = 0; i < rs.fieldCount(); ++i) fila << textoDe(rs.value(i));
        filas.push_back(fila);
    }
    db.CierraRecordset(rs);

    if (archivoCsv.isEmpty()) {
        out << tabla(filas);
        return 0;
    }
    if (!cp1252::writeFile(archivoCsv, csv(filas)))
        return orderFailed(err, QStringLiteral("no se pudo escribir %1").arg(archivoCsv));
    out << QStringLiteral("Historial escrito en %1: %2 cambios\n")
               .arg(archivoCsv)
               .arg(filas.size());
    return 0;
}

}  // namespace kl::klbase
