#pragma once

// Kills a child process at random moments of its run, for the tests that
// prove a save is all old or all new whenever the program dies.

#include <QProcess>
#include <QString>

#include <functional>
#include <random>

namespace kl::config::test {

struct Muertes {
    int muertos = 0;
    unsigned semilla = 0;
};

// Up to 40 tries until `muertes` children were killed: each starts with
// `arranca` (which returns the file it works on), is killed at a moment
// between 0 and `hastaMs`, and is then judged by `comprueba`, given the
// file and a text that tells the seed and the moment.
inline Muertes mataAlAzar(qint64 hastaMs, int muertes,
                          const std::function<QString(QProcess&)>& arranca,
                          const std::function<void(const QString&, const QString&)>& comprueba) {
    Muertes m;
    m.semilla = std::random_device{}();
    std::mt19937 azar(m.semilla);
    std::uniform_int_distribution<qint64> momento(0, hastaMs);
    for (int intento = 0; intento < 40 && m.muertos < muertes; ++intento) {
        QProcess victima;
        const QString archivo = arranca(victima);
        const qint64 at = momento(azar);
        if (!victima.waitForFinished(static_cast<int>(at))) {
            victima.kill();
            victima.waitForFinished();
            ++m.muertos;
        }
        comprueba(archivo, QStringLiteral("seed %1, killed after %2 ms").arg(m.semilla).arg(at));
    }
    return m;
}

}  // namespace kl::config::test
