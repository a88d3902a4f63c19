#include "consulta.h"

#include "database_target.h"
#include "program_session.h"

#include "dblayer/db_dll.h"

#include <QFileInfo>

#include <memory>

namespace kl::klbase {

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

int failed(QTextStream& err, const QString& text) {
    err << QStringLiteral("klbase: %1\n").arg(text);
    err.flush();
    return kFailed;
}

int badUsage(QTextStream& err, const QString& usage) {
    err << QStringLiteral("klbase: cantidad de argumentos incorrecta\nUso: %1\n").arg(usage);
    err.flush();
    return kBadUsage;
}

// A value on one output line: tabs and line breaks written as \t, \r, \n.
QString cell(const Value& value) {
    if (value.isNull()) return QStringLiteral("NULL");
    QString text = value.toString();
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\r', QStringLiteral("\\r"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

void printRows(ado::Recordset& rs, QTextStream& out) {
    for (; !rs.EOF(); rs.MoveNext()) {
        QStringList values;
        for (int i = 0; i < rs.fieldCount(); ++i) values << cell(rs.value(i));
        out << values.join(u'\t') << u'\n';
    }
}

bool isRead(const QString& sql) {
    return sql.trimmed().startsWith(QStringLiteral("SELECT"), Qt::CaseInsensitive);
}

}  // namespace

// Reads go through AbrirRecordset and everything else through
// EjecutaConsultaSQL, as the program's own reads and writes do.
int ejecutaConsulta(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 3)
        return badUsage(err, QStringLiteral("klbase consulta ARCHIVO USUARIO \"SQL\""));
    const QString& file = arguments[0];
    if (!isConnectionString(file) && !QFileInfo(file).isFile())
        return failed(err, QStringLiteral("no existe la base de datos %1").arg(file));

    ProgramSession session(arguments[1]);
    if (!session.open(file)) {
        return failed(err, QStringLiteral("no se pudo abrir la base de datos %1: %2")
                               .arg(shownTarget(file), session.lastBox()));
    }
    db::DB_Dll& db = db::sharedDb();
    db.gCnn->errors().Clear();
    QString sql = arguments[2];
    if (isRead(sql)) {
        ado::Recordset rs;
        db.AbrirRecordset(sql, rs);
        out << sql << u'\n';
        if (rs.State() != ado::adStateOpen) {
            out.flush();
            return failed(err, QStringLiteral("la consulta falló: %1").arg(session.lastBox()));
        }
        printRows(rs, out);
    } else {
        long affected = 0;
        std::unique_ptr<ado::Recordset> rows;
        db.EjecutaConsultaSQL(sql, affected, &rows);
        out << sql << u'\n';
        if (!db.gCnn->errors().empty()) {
            out.flush();
            return failed(err, QStringLiteral("la sentencia falló: %1")
                                   .arg(db.gCnn->errors().Item(0).Description));
        }
        if (rows && rows->State() == ado::adStateOpen) printRows(*rows, out);
    }
    out.flush();
    return 0;
}

int traduceOracle(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 1) return badUsage(err, QStringLiteral("klbase oracle \"SQL\""));
    db::DB_Dll layer;
    layer.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;");
    QString translated;
    if (const StepResult failure = layer.ORACLE_Dicc(arguments[0], translated))
        return failed(err, failure->description);
    out << translated << u'\n';
    out.flush();
    return 0;
}

}  // namespace kl::klbase
