#pragma once

// What the benchmarks share: klbase "volumen" databases made once and kept,
// the shared access layer connected to one, and each method measured in a
// child process of its own, so that its peak memory is its own:
//
//     int main(int argc, char** argv) {
//         QApplication app(argc, argv);
//         if (esMedicion(app.arguments())) return mide(app.arguments(), metodo);
//         const Figura f = corre("conjuntos", baseVolumen(carpeta, 5000, 1000000));
//         imprime("por conjuntos", f);
//     }

#include <QDir>
#include <QString>
#include <QStringList>

#include <functional>

namespace kl::bench {

// The "volumen" base of `cuentas` accounts and `renglones` lines in the
// folder, made on first use; `prepara`, when given, finishes a new one
// (it gets the file's path). "" when it cannot be made.
QString baseVolumen(const QDir& carpeta, qint64 cuentas, qint64 renglones,
                    const QString& sufijo = QString(),
                    const std::function<bool(const QString&)>& prepara = {});

// The shared access layer on the file, as user "sa".
bool conecta(const QString& archivo);

// In the child: the arguments are those `corre` passes.
bool esMedicion(const QStringList& argumentos);
// Runs `metodo(como)` on the file the arguments name and prints
// "wall-ms cpu-ms peak-kilobytes". The CPU time (user + system) is what to
// compare on a shared, busy machine.
int mide(const QStringList& argumentos, const std::function<bool(const QString& como)>& metodo);

struct Figura {
    bool ok = false;
    double segundos = 0;
    double cpu = 0;
    double megabytes = 0;
};

// Measures `como` on a copy of `base` in a child process.
Figura corre(const QString& como, const QString& base);
void imprime(const char* que, const Figura& f);

}  // namespace kl::bench
