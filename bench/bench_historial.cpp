// What the history of changes and the safety copies cost, each against its
// baseline in the same run:
// - the online copy of a klbase "volumen" database of 1,000,000 journal
//   lines against `cp` of the same file (target: at most 1.5 times);
// - the configuration's accept with every key changed, on a demo database
//   with the history table and on one without it (target: at most 5 %
//   more).
// Rounds alternate between the two sides and each figure is the median.
//
//     bench_historial [FOLDER]
//
// The volume database is made in FOLDER (default: the temporary folder) on
// first use and kept.

#include "medicion.h"

#include "cli.h"
#include "config/claves_formulario.h"
#include "dblayer/db_dll.h"
#include "platform/ado/sqlite/sqlite_backup.h"
#include "sqlite_db.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRondas = 5;
constexpr int kAceptaciones = 10;

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void quita(const QString& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(file + suffix);
}

// Every text box the same text, every check box as `marcada`.
class Formulario : public kl::config::FormularioConfiguracion {
  public:
    QString texto(const kl::config::ControlEnlazado&) const override { return valor_; }
    void setTexto(const kl::config::ControlEnlazado&, const QString&) override {}
    int valor(const kl::config::ControlEnlazado&) const override { return marcada_; }
    void setValor(const kl::config::ControlEnlazado&, int) override {}
    void setDescripcionCondIva(const QString&) override {}
    void seleccionaPestana(kl::config::Pestana) override {}
    kl::StepResult daFoco(const kl::config::ControlEnlazado&) override { return std::nullopt; }
    void cambia(int n) {
        valor_ = QString::number(n % 2 ? 7 : 8);
        marcada_ = n % 2;
    }

  private:
    QString valor_;
    int marcada_ = 0;
};

bool copias(const QString& base, const QDir& carpeta) {
    const QString porCp = carpeta.filePath(QStringLiteral("copia_cp.db"));
    const QString enLinea = carpeta.filePath(QStringLiteral("copia_en_linea.db"));
    std::vector<double> cp, respaldo;
    for (int ronda = 0; ronda < kRondas; ++ronda) {
        quita(porCp);
        quita(enLinea);
        QElapsedTimer reloj;
        reloj.start();
        if (QProcess::execute(QStringLiteral("cp"), {base, porCp}) != 0) return false;
        cp.push_back(static_cast<double>(reloj.nsecsElapsed()) / 1e6);
        reloj.restart();
        if (kl::StepResult e = kl::ado::sqlite::onlineBackup(base, enLinea)) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(e->description));
            return false;
        }
        respaldo.push_back(static_cast<double>(reloj.nsecsElapsed()) / 1e6);
    }
    const double a = mediana(cp), b = mediana(respaldo);
    std::printf("Copia de %.1f MB (1.000.000 renglones), mediana de %d rondas:\n",
                static_cast<double>(QFileInfo(base).size()) / (1024.0 * 1024.0), kRondas);
    std::printf("  cp                 %8.0f ms\n", a);
    std::printf("  respaldo en linea  %8.0f ms  (%.2f veces cp; objetivo <= 1,50)\n", b, b / a);
    quita(porCp);
    quita(enLinea);
    return true;
}

// kAceptaciones accepts, each changing every key, on the file; in ms.
double acepta(const QString& file, int& vuelta) {
    if (!kl::bench::conecta(file)) return -1;
    Formulario form;
    QElapsedTimer reloj;
    reloj.start();
    for (int i = 0; i < kAceptaciones; ++i) {
        form.cambia(++vuelta);
        if (!kl::config::GrabaClaves(form, {})) return -1;
    }
    const double ms = static_cast<double>(reloj.nsecsElapsed()) / 1e6;
    kl::db::releaseSharedDb();
    return ms;
}

bool sinHistorial(const QString& file) {
    kl::klbase::Database db;
    return !db.open(file, kl::klbase::Database::Mode::OpenExisting) &&
           !db.exec(QStringLiteral("DROP TABLE MV_HISTORIAL_CAMBIOS"));
}

std::int64_t filas(const QString& file) {
    kl::klbase::Database db;
    std::int64_t n = 0;
    if (db.open(file, kl::klbase::Database::Mode::OpenExisting) ||
        db.scalar(QStringLiteral("SELECT count(*) FROM MV_HISTORIAL_CAMBIOS"), n))
        return 0;
    return n;
}

bool aceptaciones(const QDir& carpeta) {
    const QString con = carpeta.filePath(QStringLiteral("demo_con_historial.kldb"));
    const QString sin = carpeta.filePath(QStringLiteral("demo_sin_historial.kldb"));
    quita(con);
    quita(sin);
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    if (kl::klbase::runCommand({QStringLiteral("demo"), con}, out, err) != 0 ||
        !QFile::copy(con, sin) || !sinHistorial(sin))
        return false;
    std::vector<double> tiempoCon, tiempoSin;
    int vueltaCon = 0, vueltaSin = 0;
    for (int ronda = 0; ronda < kRondas; ++ronda) {
        tiempoSin.push_back(acepta(sin, vueltaSin));
        tiempoCon.push_back(acepta(con, vueltaCon));
        if (tiempoSin.back() < 0 || tiempoCon.back() < 0) return false;
    }
    const double a = mediana(tiempoSin) / kAceptaciones, b = mediana(tiempoCon) / kAceptaciones;
    std::printf(
        "Aceptar la configuración con todas las claves cambiadas (%lld filas de historial "
        "por aceptación), mediana de %d rondas de %d:\n",
        static_cast<long long>(filas(con) / (kRondas * kAceptaciones)), kRondas, kAceptaciones);
    std::printf("  sin historial  %8.1f ms por aceptación\n", a);
    std::printf("  con historial  %8.1f ms por aceptación  (%+.1f %%; objetivo <= +5 %%)\n", b,
                (b / a - 1.0) * 100.0);
    quita(con);
    quita(sin);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir carpeta(app.arguments().size() > 1 ? app.arguments()[1] : QDir::tempPath());
    const QString base = kl::bench::baseVolumen(carpeta, 5000, 1000000);
    if (base.isEmpty() || !copias(base, carpeta)) return 1;
    return aceptaciones(carpeta) ? 0 : 1;
}
