#include "subdiario.h"

#include "database_target.h"
#include "program_session.h"
#include "subdiario_pdf.h"

#include "accounting/auxiliar_subdiarios.h"
#include "accounting/lbc_asiento.h"
#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "session/sesion.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

namespace kl::klbase {

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
const QString kUso =
    QStringLiteral("klbase subdiario ARCHIVO USUARIO SUBDIARIO DESDE HASTA [--pdf SALIDA.pdf]");

int failed(QTextStream& err, const QString& text) {
    err << QStringLiteral("klbase: %1\n").arg(text);
    err.flush();
    return kFailed;
}

int badUsage(QTextStream& err, const QString& text) {
    err << QStringLiteral("klbase: %1\nUso: %2\n").arg(text, kUso);
    err.flush();
    return kBadUsage;
}

// A bar on the terminal instead of the notice, redrawn when the percentage
// changes; nobody can ask it to stop.
class BarraTerminal final : public accounting::AvanceSubdiarios {
  public:
    explicit BarraTerminal(QTextStream& err) : err_(err) {}

    void inicia(const QString& titulo) override {
        err_ << titulo << u'\n';
        err_.flush();
    }
    bool muestra(const QString&, const QString& linea2, std::int64_t n,
                 std::int64_t total) override {
        const int porcentaje = static_cast<int>(n * 100 / std::max<std::int64_t>(1, total));
        if (porcentaje == porcentaje_) return false;
        porcentaje_ = porcentaje;
        const int llenos = porcentaje * kAncho / 100;
        err_ << QStringLiteral("\r%1 % [%2%3] %4")
                    .arg(porcentaje, 3)
                    .arg(QString(llenos, u'#'), QString(kAncho - llenos, u' '), linea2);
        err_.flush();
        return false;
    }
    bool confirmaAbortar() override { return false; }
    void reanuda(const QString&, const QString&, const QString&) override {}
    void termina() override {
        err_ << u'\n';
        err_.flush();
    }

  private:
    static constexpr int kAncho = 40;
    QTextStream& err_;
    int porcentaje_ = -1;
};

QString cantidad(std::int64_t n, const char* una, const char* varias) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? una : varias));
}

bool esFecha(const QString& text) {
    return conv::parseDate(text.trimmed()).has_value();
}

}  // namespace

int generaSubdiario(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    QString pdf;
    const qsizetype opcion = args.indexOf(QStringLiteral("--pdf"));
    if (opcion >= 0) {
        if (opcion + 1 >= args.size()) return badUsage(err, QStringLiteral("falta SALIDA.pdf"));
        pdf = args[opcion + 1];
        args.remove(opcion, 2);
    }
    if (args.size() != 5) return badUsage(err, QStringLiteral("cantidad de argumentos incorrecta"));
    const QString& file = args[0];
    const QString& usuario = args[1];
    const QString& subdiario = args[2];
    QString desde = args[3];
    QString hasta = args[4];
    if (!desde.trimmed().isEmpty() && !esFecha(desde))
        return badUsage(err, QStringLiteral("DESDE debe ser una fecha dd/mm/aaaa: %1").arg(desde));
    if (!esFecha(hasta))
        return badUsage(err, QStringLiteral("HASTA debe ser una fecha dd/mm/aaaa: %1").arg(hasta));
    if (!isConnectionString(file) && !QFileInfo(file).isFile())
        return failed(err, QStringLiteral("no existe la base de datos %1").arg(file));

    // The PDF writer needs fonts, which come with a GUI application; a
    // terminal has no screen to show one on.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char nombre[] = "klbase";
        static char* argv[] = {nombre, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    ProgramSession session(usuario);
    if (!session.open(file)) {
        return failed(err, QStringLiteral("no se pudo abrir la base de datos %1: %2")
                               .arg(shownTarget(file), session.lastBox()));
    }
    // Rows for a user who does not exist would only be rows nobody can read.
    if (!db::sharedDb().ExisteEnTabla(QStringLiteral("TA_USUARIOS"), usuario,
                                      QStringLiteral("NOMBRE")))
        return failed(err, QStringLiteral("no existe el usuario %1 en la base de datos %2")
                               .arg(usuario.trimmed(), file));
    sesion().gUsuarioLogeado = usuario;
    BarraTerminal barra(err);
    const accounting::ResultadoSubdiarios r = accounting::Lbc_Asiento(0).GeneraAuxiliarSubdiarios(
        desde, hasta, subdiario, Value(), &barra);
    if (r.estado != accounting::ResultadoSubdiarios::Estado::Completo)
        return failed(err, QStringLiteral("el reporte no se generó: %1").arg(session.lastBox()));
    // The entries counted are the ones the report shows: an entry whose lines
    // are neither debits nor credits gives no row.
    out << QStringLiteral("Subdiario %1del %2 al %3: %4, %5 en AUX_SUBDIARIOS para %6")
               .arg(subdiario.trimmed().isEmpty() ? QString() : subdiario.trimmed() + u' ', desde,
                    hasta, cantidad(r.asientosConFilas, "asiento", "asientos"),
                    cantidad(r.filas, "fila", "filas"), usuario);
    if (r.asientos > r.asientosConFilas)
        out << QStringLiteral(" (%1 sin renglones de debe ni haber)")
                   .arg(cantidad(r.asientos - r.asientosConFilas, "asiento", "asientos"));
    out << u'\n';
    if (pdf.isEmpty()) return 0;

    const Value empresa = db::sharedDb().DatosTabla(
        QStringLiteral("TA_CONFIGURACION"), QStringLiteral("NOMBRE"), QStringLiteral("VALOR"),
        QStringLiteral("CLAVE"), Value(db::DB_Dll::kTipoTexto), QString(), true, true);
    Impreso impreso;
    if (StepResult e = imprimeSubdiario(usuario,
                                        {empresa.toString().trimmed(), subdiario.trimmed(),
                                         conv::formatDate(*conv::parseDate(desde)),
                                         conv::formatDate(*conv::parseDate(hasta.trimmed()))},
                                        pdf, impreso))
        return failed(err, e->description);
    out << QStringLiteral("Impreso en %1 (%2)\n")
               .arg(pdf, cantidad(impreso.paginas, "página", "páginas"));
    return 0;
}

}  // namespace kl::klbase
