// The list lookup window on 100.000 rows of 5 columns read from an embedded
// database, against the same rows put into a widget-item list one item per
// row (as a classic list view is filled):
//   - the whole way: statement read, list filled and shown;
//   - the filling alone: the rows already in memory, list filled and shown;
//   - search keystrokes on the loaded window that find nothing (a whole
//     scan each);
//   - the memory the rows take against the size of their text.
// Each measurement runs in a process of its own so that its peak memory is
// its own, and the four take turns for several rounds; each figure is the
// median of its rounds. On a virtual machine a process's first touch of a
// memory page costs several microseconds and varies from one minute to the
// next, so a single round can be a third off either way. Times are wall and
// CPU (user + system): on a busy machine the CPU time is the one to compare.
//
//     bench_lista [FOLDER]
//
// The database is made in FOLDER (default: the temporary folder) on first
// use and kept: lista_100000.db.

#include "database_file.h"
#include "dblayer/db_dll.h"
#include "lookup/lib_frmcons3.h"
#include "medicion.h"
#include "platform/ado/ado.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QTableView>
#include <QTreeWidget>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFilas = 100000;
constexpr int kTeclas = 40;
constexpr int kRondas = 7;
const QString kSentencia =
    QStringLiteral("select CODIGO,NOMBRE,DOMICILIO,LOCALIDAD,SALDO from CLIENTES");

QString databaseFile(const QDir& folder) {
    const QString file = folder.filePath(QStringLiteral("lista_%1.db").arg(kFilas));
    if (QFile::exists(file)) return file;
    std::printf("Creando %s...\n", qUtf8Printable(file));
    const kl::StepResult made = kl::klbase::createDatabaseFile(file, [](kl::klbase::Database& db) {
        return db.exec(
            QStringLiteral(
                "CREATE TABLE CLIENTES (CODIGO VARCHAR(10), NOMBRE VARCHAR(40),"
                " DOMICILIO VARCHAR(40), LOCALIDAD VARCHAR(30), SALDO MONEY);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                " INSERT INTO CLIENTES SELECT printf('%06d', i),"
                " 'Cliente ' || ((i * 7919) % %1) || ' S.A.',"
                " 'Calle ' || (i % 977) || ' ' || (i % 3000),"
                " 'Localidad ' || (i % 500), (i % 100000) * 1.25 FROM n;")
                .arg(kFilas));
    });
    if (made) std::fprintf(stderr, "%s\n", qUtf8Printable(made->description));
    return made ? QString() : file;
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Wall and CPU milliseconds of one piece of work.
struct Medida {
    QElapsedTimer reloj;
    double cpu0 = cpuMs();
    Medida() { reloj.start(); }
    QString texto() const {
        return QStringLiteral("%1 %2")
            .arg(static_cast<double>(reloj.nsecsElapsed()) / 1e6)
            .arg(cpuMs() - cpu0);
    }
};

// Counts the paint events of every widget.
class PaintCounter : public QObject {
  public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// Shows the window and waits until it has painted. The first round of
// events paints every widget; a platform that exposes the window later gets
// a few seconds more.
void showAndPaint(QWidget& window) {
    PaintCounter painted;
    qApp->installEventFilter(&painted);
    window.show();
    QCoreApplication::processEvents();
    const QDeadlineTimer deadline(5000);
    while (painted.count == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    qApp->removeEventFilter(&painted);
}

std::vector<QStringList> readRows() {
    std::vector<QStringList> rows;
    kl::ado::Recordset rs;
    QString sql = kSentencia;
    kl::db::sharedDb().AbrirRecordset(sql, rs);
    for (; !rs.EOF(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.fieldCount(); ++i) row += rs.value(i).toString().trimmed();
        rows.push_back(row);
    }
    return rows;
}

void fillItems(QTreeWidget& list, const std::vector<QStringList>& rows) {
    list.setColumnCount(5);
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    for (const QStringList& row : rows) list.addTopLevelItem(new QTreeWidgetItem(row));
}

// "wall cpu peak": the statement read into a widget-item list and shown.
int measureItems() {
    const Medida medida;
    QTreeWidget list;
    fillItems(list, readRows());
    showAndPaint(list);
    std::printf("%s %ld\n", qUtf8Printable(medida.texto()), peakKb());
    return list.topLevelItemCount() == kFilas ? 0 : 1;
}

// "wall cpu": the rows already read, filled into a widget-item list or the
// lookup's table model and shown.
int measureFilling(bool items) {
    const std::vector<QStringList> rows = readRows();
    const Medida medida;
    QTreeWidget list;
    QTableView table;
    kl::consulta::FilasConsulta model;
    if (items) {
        fillItems(list, rows);
        showAndPaint(list);
    } else {
        model.ponEncabezados({"A", "B", "C", "D", "E"});
        model.empiezaCarga();
        for (const QStringList& row : rows) model.agregaFila(row);
        model.terminaCarga();
        table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table.setModel(&model);
        showAndPaint(table);
    }
    std::printf("%s\n", qUtf8Printable(medida.texto()));
    return 0;
}

// "wall cpu peak model-bytes text-chars heap-bytes key-wall-median
// key-wall-max key-cpu-median key-cpu-max": the window loaded and shown,
// then keystrokes in the second column's search box that find nothing.
int measureWindow() {
    const std::size_t heap0 = mallinfo2().uordblks + mallinfo2().hblkhd;
    const Medida medida;
    kl::Lib_FrmCons3 ventana;
    ventana.sql = kSentencia;
    ventana.Load();
    showAndPaint(ventana);
    const QString tiempos = medida.texto();
    const std::size_t heap = mallinfo2().uordblks + mallinfo2().hblkhd - heap0;

    kl::consulta::FilasConsulta& filas = ventana.filas();
    std::size_t texto = 0;
    for (int f = 0; f < filas.rowCount(); ++f)
        for (int c = 0; c < filas.columnCount(); ++c) texto += filas.celda(f, c).size();

    std::vector<double> wall, cpu;
    QComboBox* caja = ventana.CmbSearch()[1];
    for (int n = 0; n < kTeclas; ++n) {
        const Medida tecla;
        caja->setEditText(n % 2 ? QStringLiteral("Cliente x") : QStringLiteral("Cliente xy"));
        wall.push_back(static_cast<double>(tecla.reloj.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - tecla.cpu0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%s %ld %zu %zu %zu %.3f %.3f %.3f %.3f\n", qUtf8Printable(tiempos), peakKb(),
                filas.bytesOcupados(), texto, heap, wall[kTeclas / 2], wall.back(),
                cpu[kTeclas / 2], cpu.back());
    return filas.rowCount() == kFilas ? 0 : 1;
}

QStringList run(const QString& how, const QString& file) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("medir"), how, file});
    child.waitForFinished(-1);
    if (child.exitCode() != 0) return {};
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(u' ');
}

// Figure by figure, the median of the rounds' figures; empty when a round
// failed or gave a different number of figures.
QStringList medians(const std::vector<QStringList>& rounds, qsizetype figures) {
    QStringList result;
    for (qsizetype f = 0; f < figures; ++f) {
        std::vector<double> values;
        for (const QStringList& round : rounds) {
            if (round.size() != figures) return {};
            values.push_back(round[f].toDouble());
        }
        std::sort(values.begin(), values.end());
        result += QString::number(values[values.size() / 2], 'f', 3);
    }
    return result;
}

void line(const char* what, const QStringList& figures) {
    std::printf("  %-40s %7.0f ms (CPU %5.0f ms)", what, figures[0].toDouble(),
                figures[1].toDouble());
    if (figures.size() > 2) std::printf("  %6.1f MB pico", figures[2].toDouble() / 1024);
    std::printf("\n");
}

void ratio(const QStringList& slow, const QStringList& fast) {
    std::printf("  elementos / modelo: %.1f veces (CPU %.1f veces)\n",
                slow[0].toDouble() / fast[0].toDouble(), slow[1].toDouble() / fast[1].toDouble());
}

}  // namespace

int main(int argc, char** argv) {
    // Runs unattended: no window ever needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("medir")) {
        if (!kl::bench::conecta(args[3])) return 3;
        if (args[2] == QLatin1String("items")) return measureItems();
        if (args[2] == QLatin1String("relleno-items")) return measureFilling(true);
        if (args[2] == QLatin1String("relleno-modelo")) return measureFilling(false);
        return measureWindow();
    }

    const QString file = databaseFile(QDir(args.size() > 1 ? args[1] : QDir::tempPath()));
    if (file.isEmpty()) return 1;
    struct Medicion {
        QString how;
        qsizetype figures;
        std::vector<QStringList> rounds;
    };
    std::vector<Medicion> mediciones = {{QStringLiteral("items"), 3, {}},
                                        {QStringLiteral("ventana"), 10, {}},
                                        {QStringLiteral("relleno-items"), 2, {}},
                                        {QStringLiteral("relleno-modelo"), 2, {}}};
    for (int ronda = 0; ronda < kRondas; ++ronda)
        for (Medicion& m : mediciones) m.rounds.push_back(run(m.how, file));
    const QStringList items = medians(mediciones[0].rounds, 3);
    const QStringList window = medians(mediciones[1].rounds, 10);
    const QStringList fillItems = medians(mediciones[2].rounds, 2);
    const QStringList fillModel = medians(mediciones[3].rounds, 2);
    if (items.isEmpty() || window.isEmpty() || fillItems.isEmpty() || fillModel.isEmpty()) {
        std::printf("FALLÓ\n");
        return 1;
    }
    std::printf(
        "%d renglones de 5 columnas, leídos de la base, cargados y mostrados"
        " (mediana de %d rondas):\n",
        kFilas, kRondas);
    line("un elemento por renglón (QTreeWidget)", items);
    line("ventana Lib_FrmCons3 (modelo de tabla)", window);
    ratio(items, window);
    std::printf("Solo el llenado y la primera pintura, con los renglones ya leídos:\n");
    line("un elemento por renglón (QTreeWidget)", fillItems);
    line("modelo de tabla", fillModel);
    ratio(fillItems, fillModel);
    const double texto = window[4].toDouble();
    std::printf("Memoria de los renglones (texto: %.1f MB a un byte por carácter):\n", texto / 1e6);
    std::printf("  modelo %.1f MB = %.2f veces el texto; montículo tras la carga %.1f MB = %.2f\n",
                window[3].toDouble() / 1e6, window[3].toDouble() / texto,
                window[5].toDouble() / 1e6, window[5].toDouble() / texto);
    std::printf(
        "Búsqueda incremental, %d teclas sin resultado (recorrido completo): mediana %s ms, máx %s "
        "ms (CPU: mediana %s ms, máx %s ms)\n",
        kTeclas, qUtf8Printable(window[6]), qUtf8Printable(window[7]), qUtf8Printable(window[8]),
        qUtf8Printable(window[9]));
    return 0;
}
