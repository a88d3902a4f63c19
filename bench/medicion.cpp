#include "medicion.h"

#include "cli.h"
#include "dblayer/db_dll.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <sys/resource.h>

#include <cstdio>

namespace kl::bench {

namespace {

const QString kMedir = QStringLiteral("medir");

void quitaCopia(const QString& copia) {
    for (const char* sufijo : {"", "-wal", "-shm"}) QFile::remove(copia + sufijo);
}

}  // namespace

QString baseVolumen(const QDir& carpeta, qint64 cuentas, qint64 renglones, const QString& sufijo,
                    const std::function<bool(const QString&)>& prepara) {
    const QString archivo = carpeta.filePath(
        QStringLiteral("volumen_%1_%2%3.db").arg(cuentas).arg(renglones).arg(sufijo));
    if (QFile::exists(archivo)) return archivo;
    std::printf("Creando %s...\n", qUtf8Printable(archivo));
    std::fflush(stdout);
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    if (klbase::runCommand({QStringLiteral("volumen"), archivo, QString::number(cuentas),
                            QString::number(renglones)},
                           out, err) != 0) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(errText));
        return QString();
    }
    if (prepara && !prepara(archivo)) {
        quitaCopia(archivo);
        return QString();
    }
    return archivo;
}

bool conecta(const QString& archivo) {
    db::DB_Dll& db = db::sharedDb();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = archivo;
    db.gUsuario = QStringLiteral("sa");
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    return db.gOpenFlag;
}

bool esMedicion(const QStringList& argumentos) {
    return argumentos.size() == 4 && argumentos[1] == kMedir;
}

int mide(const QStringList& argumentos, const std::function<bool(const QString&)>& metodo) {
    if (!conecta(argumentos[3])) return 3;
    QElapsedTimer reloj;
    reloj.start();
    const bool hecho = metodo(argumentos[2]);
    const qint64 ms = reloj.elapsed();
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    const auto cpu = [](const timeval& t) { return t.tv_sec * 1000LL + t.tv_usec / 1000; };
    std::printf("%lld %lld %ld\n", static_cast<long long>(ms),
                cpu(uso.ru_utime) + cpu(uso.ru_stime), uso.ru_maxrss);
    return hecho ? 0 : 1;
}

Figura corre(const QString& como, const QString& base) {
    const QString copia = base + QStringLiteral(".medicion");
    quitaCopia(copia);
    Figura f;
    if (!QFile::copy(base, copia)) return f;
    QProcess hijo;
    hijo.start(QCoreApplication::applicationFilePath(), {kMedir, como, copia});
    hijo.waitForFinished(-1);
    const QStringList partes = QString::fromUtf8(hijo.readAllStandardOutput()).split(u' ');
    f.ok = hijo.exitCode() == 0 && partes.size() == 3;
    if (f.ok) {
        f.segundos = partes[0].toDouble() / 1000.0;
        f.cpu = partes[1].toDouble() / 1000.0;
        f.megabytes = partes[2].trimmed().toDouble() / 1024.0;
    }
    quitaCopia(copia);
    return f;
}

void imprime(const char* que, const Figura& f) {
    if (!f.ok) {
        std::printf("  %-42s FALLÓ\n", que);
    } else {
        std::printf("  %-42s %8.2f s (CPU %7.2f s)  %7.1f MB\n", que, f.segundos, f.cpu,
                    f.megabytes);
    }
    std::fflush(stdout);
}

}  // namespace kl::bench
