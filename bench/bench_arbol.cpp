// The tree lookup on a generated chart of 100,000 accounts of six levels:
// the tree model built in one pass and shown, against widget items inserted
// one at a time, each under the parent a prefix search finds (the longest
// prefix of its code among the items already in the tree, looked up by key
// from the longest down); then the time of a search keystroke.
//
// The window is also timed as the operator meets it: the chart read from
// an embedded database, built and shown.
//
//     QT_QPA_PLATFORM=offscreen bench_arbol

#include "database_file.h"
#include "schema.h"

#include "dblayer/db_dll.h"
#include "lookup/arbol_codigos.h"
#include "lookup/lib_frmcons3tree.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Wall-clock and processor milliseconds. The machine may be shared: the
// processor time is what the code itself spent, whatever else runs.
struct Medida {
    double pared = 0;
    double cpu = 0;
    Medida menor(const Medida& otra) const {
        return {std::min(pared, otra.pared), std::min(cpu, otra.cpu)};
    }
};

class Reloj {
  public:
    Reloj() : cpu_(cpuMs()) { pared_.start(); }
    Medida medida() const {
        return {static_cast<double>(pared_.nsecsElapsed()) / 1e6, cpuMs() - cpu_};
    }

  private:
    static double cpuMs() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    }
    QElapsedTimer pared_;
    double cpu_;
};

constexpr int kCuentas = 100000;
// Characters of each level, as a chart of accounts numbers them, and how
// many accounts each account holds on the next level.
constexpr int kDigitos[6] = {1, 1, 2, 2, 3, 3};
constexpr int kHijos[6] = {5, 5, 6, 8, 10, 8};

void generar(std::vector<kl::FilaArbol>& filas, const QString& padre, int nivel) {
    if (nivel == 6) return;
    for (int i = 1; i <= kHijos[nivel] && static_cast<int>(filas.size()) < kCuentas; ++i) {
        const QString codigo =
            padre + QStringLiteral("%1").arg(i, kDigitos[nivel], 10, QLatin1Char('0'));
        filas.push_back(
            {codigo, QStringLiteral("Cuenta de nivel %1 número %2").arg(nivel + 1).arg(i), {}});
        generar(filas, codigo, nivel + 1);
    }
}

// Lets the view lay out and paint what it shows.
void mostrar(QWidget& ventana) {
    ventana.show();
    QApplication::processEvents();
    ventana.repaint();
    QApplication::processEvents();
}

Medida modeloYVista(std::vector<kl::FilaArbol> filas) {
    // The model keeps the rows read, as the window hands them over.
    const Reloj reloj;
    kl::ArbolCodigos arbol;
    arbol.armar(std::move(filas), [](const kl::RunError&) { return kl::answer::Abort; });
    QTreeView vista;
    vista.setHeaderHidden(true);
    vista.setUniformRowHeights(true);
    vista.setModel(&arbol);
    vista.expand(arbol.indiceDe(kl::ArbolCodigos::kRaiz));
    mostrar(vista);
    const Medida medida = reloj.medida();
    if (arbol.cantidadNodos() != kCuentas + 1) std::printf("  ¡faltan nodos!\n");
    return medida;
}

Medida itemsUnoAUno(const std::vector<kl::FilaArbol>& filas) {
    const Reloj reloj;
    QTreeWidget vista;
    vista.setHeaderHidden(true);
    vista.setUniformRowHeights(true);
    mostrar(vista);
    auto* raiz = new QTreeWidgetItem(&vista, {QStringLiteral("Consulta...")});
    raiz->setExpanded(true);
    QHash<QString, QTreeWidgetItem*> porClave{{QStringLiteral("A"), raiz}};
    for (const kl::FilaArbol& fila : filas) {
        const QString clave = (QStringLiteral("A") + fila.codigo).toUpper();
        QTreeWidgetItem* padre = raiz;
        for (qsizetype largo = clave.size() - 1; largo > 1; --largo) {
            if (QTreeWidgetItem* hallado = porClave.value(clave.left(largo))) {
                padre = hallado;
                break;
            }
        }
        auto* item =
            new QTreeWidgetItem(padre, {fila.codigo + QStringLiteral(" - ") + fila.descripcion});
        porClave.insert(clave, item);
    }
    mostrar(vista);
    return reloj.medida();
}

// An embedded database whose chart holds the rows; false when it fails.
bool baseConPlan(const QString& archivo, const std::vector<kl::FilaArbol>& filas) {
    std::vector<std::vector<kl::Value>> cuentas;
    cuentas.reserve(filas.size());
    for (const kl::FilaArbol& fila : filas) cuentas.push_back({fila.codigo, fila.descripcion});
    const kl::StepResult fallo =
        kl::klbase::createDatabaseFile(archivo, [&](kl::klbase::Database& base) {
            if (kl::StepResult f = kl::klbase::createSchema(base)) return f;
            return base.insertRows(QStringLiteral("MA_CUENTAS"),
                                   {QStringLiteral("CODIGO"), QStringLiteral("DESCRIPCION")},
                                   cuentas);
        });
    if (fallo) std::fprintf(stderr, "%s\n", qUtf8Printable(fallo->description));
    if (fallo) return false;
    kl::db::DB_Dll& db = kl::db::sharedDb();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = archivo;
    db.gUsuario = QStringLiteral("sa");
    db.OpenServerADODB(false, kl::ado::adUseClient, QString(), true, false);
    return db.gOpenFlag;
}

// Keystrokes that type `texto` into the search box: the median and the
// slowest of `veces`.
struct Teclas {
    Medida mediana;
    double peor = 0;
};

Teclas tecla(kl::Lib_FrmCons3Tree& ventana, const QString& texto, int veces) {
    std::vector<double> pared, cpu;
    for (int i = 0; i < veces; ++i) {
        ventana.CmbSearch->setEditText(QString());
        QApplication::processEvents();
        const Reloj reloj;
        ventana.CmbSearch->setEditText(texto);
        QApplication::processEvents();
        const Medida esta = reloj.medida();
        pared.push_back(esta.pared);
        cpu.push_back(esta.cpu);
    }
    std::sort(pared.begin(), pared.end());
    std::sort(cpu.begin(), cpu.end());
    return {{pared[pared.size() / 2], cpu[cpu.size() / 2]}, pared.back()};
}

void informar(const char* que, const Medida& m) {
    std::printf("  %-44s %8.1f ms (procesador %7.1f ms)\n", que, m.pared, m.cpu);
}

void informar(const char* que, const Teclas& t) {
    std::printf("  %-44s %8.2f ms (procesador %6.2f ms, la peor %6.2f ms)\n", que, t.mediana.pared,
                t.mediana.cpu, t.peor);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<kl::FilaArbol> filas;
    generar(filas, QString(), 0);
    std::printf("Árbol de %zu cuentas en seis niveles\n", filas.size());

    // The faster of three runs of each, alternating.
    Medida modelo{1e9, 1e9};
    Medida items{1e9, 1e9};
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        modelo = modelo.menor(modeloYVista(filas));
        items = items.menor(itemsUnoAUno(filas));
    }
    informar("modelo armado en una pasada y mostrado:", modelo);
    informar("items insertados uno a uno (base):", items);
    std::printf("  el modelo es %.1f veces más rápido (%.1f en procesador)\n",
                items.pared / modelo.pared, items.cpu / modelo.cpu);

    QTemporaryDir carpeta;
    if (!baseConPlan(carpeta.filePath(QStringLiteral("plan.db")), filas)) return 1;
    const Reloj reloj;
    kl::Lib_FrmCons3Tree ventana;
    ventana.sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS ORDER BY CODIGO");
    ventana.CampoDevuelto = QStringLiteral("CODIGO");
    mostrar(ventana);
    std::printf("La ventana, con el plan leído de la base (%d nodos):\n",
                ventana.arbol().cantidadNodos());
    informar("leída, armada y mostrada:", reloj.medida());

    std::printf("Una tecla en la búsqueda (mediana de 20):\n");
    informar("que halla el primer código:", tecla(ventana, QStringLiteral("1"), 20));
    informar("que halla el último código:", tecla(ventana, filas.back().codigo, 20));
    informar("que no halla nada (recorre todo el árbol):",
             tecla(ventana, QStringLiteral("zzz"), 20));
    return 0;
}
