// The login window and a settings value with the files a real installation
// holds (a dozen connections in BASES.TXT, a few lines of KL000p.INI)
// against runaway copies of 100 MB: the window from its construction to its
// first paint, the value (a key the file lacks) from the call to its answer.
//
//   bench_archivos [megabytes]

#include "login/bases_txt.h"
#include "login/frm_acceso.h"
#include "platform/ini.h"
#include "platform/ui/first_paint.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

using namespace kl;

void escribe(const QString& ruta, const QByteArray& linea, qint64 bytes) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    QByteArray bloque;
    while (bloque.size() < std::min<qint64>(bytes, 1 << 20)) bloque += linea;
    for (qint64 escritos = 0; escritos < bytes; escritos += bloque.size()) archivo.write(bloque);
}

qint64 ventanaPintada() {
    QElapsedTimer reloj;
    reloj.start();
    frmAcceso ventana;
    ventana.Form_Load();
    ventana.show();
    qint64 ms = -1;
    afterFirstPaint(ventana, [&] { ms = reloj.elapsed(); });
    while (ms < 0) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return ms;
}

double valorLeido(const QString& ini) {
    QElapsedTimer reloj;
    reloj.start();
    // A key the file lacks: every line is looked at.
    LeeIni(ini, QStringLiteral("ODBC"), QStringLiteral("DriverSQLServer"));
    return double(reloj.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const qint64 megas = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100;
    QTemporaryDir carpeta;
    login::installCarpetaPrograma(carpeta.path());
    const QString bases = QDir(carpeta.path()).filePath(QStringLiteral("BASES.TXT"));
    const QString ini = QDir(carpeta.path()).filePath(QStringLiteral("KL000p.INI"));
    const QByteArray conexion = "CONTAB / SRV01,CONTAB,CONTAB,abc,SRV01\r\n";
    const QByteArray ajuste = "[Iconos]\r\nIconoDelSistema=ICONKVT\r\n";

    std::printf("Archivos reales contra copias de %lld MB\n", static_cast<long long>(megas));
    escribe(bases, conexion, 12 * conexion.size());
    escribe(ini, ajuste, ajuste.size());
    const qint64 ventanaReal = ventanaPintada();
    const double iniReal = valorLeido(ini);
    escribe(bases, conexion, megas << 20);
    escribe(ini, ajuste, megas << 20);
    const qint64 ventanaGrande = ventanaPintada();
    const double iniGrande = valorLeido(ini);
    std::printf("  ventana de acceso pintada: %6lld ms con 12 conexiones, %6lld ms con %lld MB\n",
                static_cast<long long>(ventanaReal), static_cast<long long>(ventanaGrande),
                static_cast<long long>(megas));
    std::printf("  un valor de KL000p.INI:    %9.2f ms con 2 líneas,  %9.2f ms con %lld MB\n",
                iniReal, iniGrande, static_cast<long long>(megas));
    return 0;
}
