#include "consulta.h"

#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "platform/dialogs.h"

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

// Nobody is there to answer the layer's boxes: each gets the answer that
// gives up (Abort, No, Cancel), and its text tells what went wrong.
class GivingUpDialogs final : public DialogService {
  public:
    int messageBox(const QString& text, int style, const QString&) override {
        last_ = normalizeLineBreaks(text).replace(u'\n', u' ').trimmed();
        return escapeAnswer(style).value_or(answer::Abort);
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const FileDialogRequest&) override { return QString(); }
    std::optional<QDate> pickDate(const QDate&) override { return std::nullopt; }

    QString lastText() const { return last_; }

  private:
    QString last_;
};

// The shared layer connected to the file for the user, as at the program's
// start-up; everything is put back as it was when the order ends.
class ProgramSession {
  public:
    explicit ProgramSession(const QString& user)
        : dialogs_(std::make_shared<GivingUpDialogs>()),
          previousDialogs_(installDialogs(dialogs_)),
          previousLink_(db::installSessionLink(
              {[user] { return user; }, [this] { return confidencialidad_; }})) {}
    ~ProgramSession() {
        db::releaseSharedDb();
        db::installSessionLink(previousLink_);
        installDialogs(previousDialogs_);
    }
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    bool open(const QString& file) {
        db::DB_Dll& db = db::sharedDb();
        db.gServidor = QStringLiteral("sqlite");
        db.gDBName = file;
        db.gUsuario = QStringLiteral("sa");
        db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        if (!db.gOpenFlag || db.gCnn->State() != ado::adStateOpen) return false;
        confidencialidad_ = readConfidencialidad(db);
        return true;
    }

    QString lastBox() const { return dialogs_->lastText(); }

  private:
    // The user setting the session reads at start-up.
    static bool readConfidencialidad(db::DB_Dll& db) {
        if (!db.ExisteTablaDB(QStringLiteral("TA_CONFIGURACION"))) return false;
        QString sql = QStringLiteral(
            "SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = 'SS_CONFIDENCIALIDAD'");
        ado::Recordset rs;
        db.AbrirRecordset(sql, rs);
        const bool on = rs.State() == ado::adStateOpen && !rs.EOF() &&
                        rs.value(QStringLiteral("VALOR"))
                                .toString()
                                .trimmed()
                                .compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
        db.CierraRecordset(rs);
        return on;
    }

    std::shared_ptr<GivingUpDialogs> dialogs_;
    std::shared_ptr<DialogService> previousDialogs_;
    db::SessionLink previousLink_;
    bool confidencialidad_ = false;
};

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
    if (!QFileInfo(file).isFile())
        return failed(err, QStringLiteral("no existe la base de datos %1").arg(file));

    ProgramSession session(arguments[1]);
    if (!session.open(file)) {
        return failed(err, QStringLiteral("no se pudo abrir la base de datos %1: %2")
                               .arg(file, session.lastBox()));
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
